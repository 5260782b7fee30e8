#include "format/ProgRecord.h"

#include <array>
#include <cstring>

namespace dbase {

using namespace progrec;

namespace {

void SetFavMaskText(std::string& s, unsigned mask) {
    // Eight digits at a time from a table of every byte's digits.
    static constexpr auto kDigits = [] {
        std::array<std::array<char, 8>, 256> t{};
        for (unsigned b = 0; b < 256; ++b)
            for (unsigned i = 0; i < 8; ++i) t[b][i] = (b >> (7 - i)) & 1 ? '1' : '0';
        return t;
    }();
    if (s.size() != 16) s.resize(16);
    std::memcpy(s.data(), kDigits[(mask >> 8) & 0xFF].data(), 8);
    std::memcpy(s.data() + 8, kDigits[mask & 0xFF].data(), 8);
}

// Decodes all but SatIndex.
void DecodeProgFields(const ProgRec& r, ProgData& d) {
    SetDecText(d.PcrPid, PcrPid::Read(r));
    d.IsFree = static_cast<uint8_t>(IsFree::Read(r));
    d.IsRadio = static_cast<uint8_t>(IsRadio::Read(r));
    d.Used = static_cast<uint8_t>(Used::Read(r));
    SetDecText(d.PvtPid, PvtPid::Read(r));
    d.TpIndex = TpIndex::Read(r);
    d.AudioTracks = static_cast<uint8_t>(AudioTracks::Read(r));
    d.AudioSel = static_cast<uint8_t>(AudioSel::Read(r));
    d.VidFlags = static_cast<uint8_t>(VidFlags::Read(r));
    SetDecText(d.VidPid, VidPid::Read(r));
    d.AudFlags = static_cast<uint8_t>(AudFlags::Read(r));
    SetDecText(d.AudPid, AudPid::Read(r));
    SetDecText(d.ServiceId, ServiceId::Read(r));
    SetFavMaskText(d.FavMask, FavMask::Read(r));
    SetDecText(d.PmtPid, PmtPid::Read(r));
    d.Skip = static_cast<uint8_t>(Skip::Read(r));
    d.Lock = static_cast<uint8_t>(Lock::Read(r));
    d.ProgByte23 = static_cast<uint8_t>(ProgByte23::Read(r));
    Name::GetText(r, d.Name);
    const auto ca = CaIds::Bytes(r);
    std::copy(ca.begin(), ca.end(), d.CaIds.begin());
}

} // namespace

void DecodeProg(const ProgRec& r, const TpTable& tps, ProgData& d) {
    DecodeProgFields(r, d);
    d.SatIndex = d.TpIndex < static_cast<uint32_t>(kTpSlots) ? tps.data[d.TpIndex].SatIndex : 255;
}

void DecodeProg(const ProgRec& r, std::span<const uint8_t, kTpSlots> tpSatellites, ProgData& d) {
    DecodeProgFields(r, d);
    d.SatIndex = d.TpIndex < static_cast<uint32_t>(kTpSlots) ? tpSatellites[d.TpIndex] : 255;
}

ProgData DecodeProg(const ProgRec& r, const TpTable& tps) {
    ProgData d;
    DecodeProg(r, tps, d);
    return d;
}

std::string FavMaskText(uint16_t mask) {
    std::string s;
    SetFavMaskText(s, mask);
    return s;
}

uint16_t FavMaskValue(const std::string& text) {
    uint16_t v = 0;
    for (size_t i = 0; i < text.size() && i < 16; ++i)
        if (text[i] == '1') v |= static_cast<uint16_t>(1u << (15 - i));
    return v;
}

ProgRec NewProgRec(const NewProgFields& f) {
    ProgRec r{};
    PcrPid::Set(r, f.pcr);
    IsFree::Set(r, f.free ? 1 : 0);
    IsRadio::Set(r, f.radio ? 1 : 0);
    Used::Set(r, 1);
    PvtPid::Set(r, f.pvt);
    TpIndex::Set(r, f.tp);
    AudioTracks::Set(r, f.tracks);
    VidPid::Set(r, f.vid);
    AudPid::Set(r, f.aud);
    ServiceId::Set(r, f.sid);
    FavMask::Set(r, f.fav);
    PmtPid::Set(r, f.pmt);
    Skip::Set(r, f.skip ? 1 : 0);
    Lock::Set(r, f.lock ? 1 : 0);
    Name::SetText(r, f.name);
    return r;
}

void WriteProgName(ProgRec& r, std::string_view name) { Name::SetText(r, name); }

void SetProgTransponder(ProgRec& r, ProgData& d, uint32_t tp) {
    TpIndex::Set(r, tp);
    d.TpIndex = tp;
}

void SetProgLock(ProgRec& r, ProgData& d, bool on) {
    Lock::Set(r, on ? 1 : 0);
    d.Lock = on ? 1 : 0;
}

void SetProgSkip(ProgRec& r, ProgData& d, bool on) {
    Skip::Set(r, on ? 1 : 0);
    d.Skip = on ? 1 : 0;
}

void SetProgFavMask(ProgRec& r, ProgData& d, uint16_t mask) {
    FavMask::Set(r, mask);
    d.FavMask = FavMaskText(mask);
}

} // namespace dbase

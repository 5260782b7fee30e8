#include "format/TpRecord.h"

#include <string_view>
#include <utility>

namespace dbase {

using namespace tprec;

namespace {
constexpr std::string_view kFecNames[] = {"Auto", "1/2", "2/3", "3/4", "5/6", "6/7", "7/8"};
} // namespace

const char* FecName(int code) { return code >= 0 && code <= 6 ? kFecNames[code].data() : ""; }

void DecodeTp(const TpRec& r, TpData& d) {
    SetDecText(d.Freq, Freq::Read(r));
    d.Used = static_cast<uint8_t>(Used::Read(r));
    d.Pol = static_cast<uint8_t>(Pol::Read(r));
    if (d.PolText.size() != 1) d.PolText.resize(1);
    d.PolText[0] = d.Pol == 0 ? 'H' : d.Pol == 1 ? 'V' : '?';
    d.Fec = static_cast<uint8_t>(Fec::Read(r));
    d.FecText = d.Fec <= 6 ? kFecNames[d.Fec] : std::string_view();
    d.TpByte3 = static_cast<uint8_t>(Byte3::Read(r));
    d.SatIndex = static_cast<uint8_t>(SatIndex::Read(r));
    d.TpNo = TpNo::Read(r);
    SetDecText(d.SymRate, SymRate::Read(r));
}

TpData DecodeTp(const TpRec& r) {
    TpData d;
    DecodeTp(r, d);
    return d;
}

TpRec EmptyTpRec() {
    TpRec r{};
    Byte3::Set(r, 0xFF);
    Reserved::Fill(r, 0xFF);
    return r;
}

TpData EmptyTpData() {
    TpData d;
    d.Used = 0;
    d.SatIndex = 255;
    return d;
}

TpRec NewTpRec(int sat, int tpNo, unsigned freq, unsigned symRate, unsigned pol, unsigned fec) {
    TpRec r = EmptyTpRec();
    Used::Set(r, 1);
    SatIndex::Set(r, static_cast<unsigned>(sat));
    TpNo::Set(r, static_cast<unsigned>(tpNo));
    WriteTpTuning(r, freq, symRate, pol, fec);
    return r;
}

void WriteTpTuning(TpRec& r, unsigned freq, unsigned symRate, unsigned pol, unsigned fec) {
    Freq::Set(r, freq);
    SymRate::Set(r, symRate);
    Pol::Set(r, pol);
    Fec::Set(r, fec);
}

void SetTpSatellite(TpRec& r, TpData& d, uint8_t sat) {
    SatIndex::Set(r, sat);
    d.SatIndex = sat;
}

void SetTpNumber(TpRec& r, TpData& d, uint8_t tpNo) {
    TpNo::Set(r, tpNo);
    d.TpNo = tpNo;
}

void SwapTpSlots(TpRec& ra, TpData& da, TpRec& rb, TpData& db) {
    std::swap(ra, rb);
    std::swap(da, db);
    std::swap(da.TpNo, db.TpNo);
    const unsigned a = TpNo::Get(ra);
    TpNo::Set(ra, TpNo::Get(rb));
    TpNo::Set(rb, a);
}

} // namespace dbase

#include "Image.h"

#include "Bits.h"

#include <algorithm>
#include <cstring>

namespace dbase {

const char* FecName(int code) {
    static const char* const names[] = {"Auto", "1/2", "2/3", "3/4", "5/6", "6/7", "7/8"};
    return code >= 0 && code <= 6 ? names[code] : "";
}

namespace {

// Sets `s` to the decimal text of `v`, reusing its storage.
void SetDec(std::string& s, unsigned v) {
    size_t n = 1;
    for (unsigned x = v; x >= 10; x /= 10) ++n;
    s.resize(n);
    for (size_t i = n; i-- > 0; v /= 10) s[i] = static_cast<char>('0' + v % 10);
}

// Sets `s` to the bytes of `field` up to its first NUL.
void SetField(std::string& s, std::span<const uint8_t> field) {
    size_t n = 0;
    while (n < field.size() && field[n] != 0) ++n;
    s.resize(n);
    std::copy_n(field.begin(), n, s.begin());
}

void SetTrimmedField(std::string& s, std::span<const uint8_t> field) {
    SetField(s, field);
    while (!s.empty() && s.back() == ' ') s.pop_back();
}

void SetFavMask(std::string& s, uint16_t mask) {
    s.resize(16);
    for (int i = 0; i < 16; ++i) s[static_cast<size_t>(i)] = (mask >> (15 - i)) & 1 ? '1' : '0';
}

} // namespace

void DecodeSat(const SatRec& r, SatData& d) {
    SetDec(d.LnbLow, GetU16(r, 0));
    SetDec(d.LnbHigh, GetU16(r, 2));
    d.Longitude = TenthsText(GetU16(r, 6));
    d.LnbType = r[8];
    d.Power12V = r[9];
    d.Tone22K = r[10];
    d.Diseqc10 = r[11];
    d.LnbPower = r[12];
    d.Diseqc11 = r[13];
    d.SatByte14 = r[14];
    d.Motor = r[15];
    SetTrimmedField(d.Name, std::span(r).subspan(17, 18));
}

void DecodeTp(const TpRec& r, TpData& d) {
    SetDec(d.Freq, GetU16(r, 0) & 0x3FFF);
    d.Used = (r[2] >> 1) & 1;
    d.Pol = static_cast<uint8_t>(CappedField((r[2] >> 2) & 3, 2, 2));
    d.PolText.assign(1, d.Pol == 0 ? 'H' : d.Pol == 1 ? 'V' : '?');
    d.Fec = static_cast<uint8_t>(CappedField(r[2] >> 4, 4, 6));
    d.FecText = FecName(d.Fec);
    d.TpByte3 = r[3];
    d.SatIndex = r[4];
    d.TpNo = r[5];
    SetDec(d.SymRate, GetU16(r, 6));
}

std::string FavMaskText(uint16_t mask) {
    std::string s;
    SetFavMask(s, mask);
    return s;
}

uint16_t FavMaskValue(const std::string& text) {
    uint16_t v = 0;
    for (size_t i = 0; i < text.size() && i < 16; ++i)
        if (text[i] == '1') v |= static_cast<uint16_t>(1u << (15 - i));
    return v;
}

void DecodeProg(const ProgRec& r, const TpTable& tps, ProgData& d) {
    const uint16_t w0 = GetU16(r, 0);
    SetDec(d.PcrPid, w0 >> 3);
    d.IsFree = (w0 >> 2) & 1;
    d.IsRadio = (w0 >> 1) & 1;
    d.Used = w0 & 1;
    SetDec(d.PvtPid, GetU16(r, 2) & 0x1FFF);
    d.TpIndex = CappedField(GetU16(r, 4), 16, 5000);
    d.AudioTracks = static_cast<uint8_t>(CappedField(r[9], 8, 63));
    d.AudioSel = static_cast<uint8_t>(CappedField(r[10], 8, 63));
    const uint16_t vid = GetU16(r, 12), aud = GetU16(r, 14);
    d.VidFlags = static_cast<uint8_t>(vid >> 13);
    SetDec(d.VidPid, vid & 0x1FFF);
    d.AudFlags = static_cast<uint8_t>(aud >> 13);
    SetDec(d.AudPid, aud & 0x1FFF);
    SetDec(d.ServiceId, GetU16(r, 16));
    SetFavMask(d.FavMask, GetU16(r, 18));
    SetDec(d.PmtPid, CappedField(GetU16(r, 20), 16, 8191));
    d.Skip = (r[22] >> 1) & 1;
    d.Lock = r[22] & 1;
    d.ProgByte23 = static_cast<uint8_t>(CappedField(r[23], 8, 7));
    SetField(d.Name, std::span(r).subspan(24, 15));
    for (int i = 0; i < 4; ++i) d.CaIds[i] = r[40 + i];
    d.SatIndex = d.TpIndex < static_cast<uint32_t>(kTpSlots) ? tps.data[d.TpIndex].SatIndex : 255;
}

void DecodeAudio(const AudioRec& r, AudioData& d) {
    const uint16_t w = GetU16(r, 0);
    SetDec(d.Pid, (w >> 1) & 0x1FFF);
    d.Used = w & 1;
    d.ProgIndex = GetU16(r, 2);
    SetField(d.Lang, std::span(r).subspan(4, 3));
}

SatData DecodeSat(const SatRec& r) {
    SatData d;
    DecodeSat(r, d);
    return d;
}

TpData DecodeTp(const TpRec& r) {
    TpData d;
    DecodeTp(r, d);
    return d;
}

ProgData DecodeProg(const ProgRec& r, const TpTable& tps) {
    ProgData d;
    DecodeProg(r, tps, d);
    return d;
}

AudioData DecodeAudio(const AudioRec& r) {
    AudioData d;
    DecodeAudio(r, d);
    return d;
}

TpRec EmptyTpRec() { return {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}; }

TpData EmptyTpData() {
    TpData d;
    d.Used = 0;
    d.SatIndex = 255;
    return d;
}

AudioRec EmptyAudioRec() { return {0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xFF}; }

AudioData EmptyAudioData() { return AudioData{}; }

namespace {

Status CheckCount(const char* what, unsigned count, unsigned max) {
    if (count <= max) return Status::Ok();
    return Status::Error("The file is damaged: it holds " + std::to_string(count) + " " + what +
                         ", more than " + std::to_string(max) + "!");
}

} // namespace

Status ParseImage(Database& db, std::span<const uint8_t> image) {
    if (image.size() < static_cast<size_t>(kImageSize))
        return Status::Error("The file is damaged: its database image is too short!");

    const uint16_t satCount = GetU16(image, img::SatCount);
    const uint16_t tpCount = GetU16(image, img::TpCount);
    const uint16_t progCount = GetU16(image, img::ProgCount);
    const uint16_t audioCount = GetU16(image, img::AudioCount);
    for (const Status& s : {CheckCount("satellites", satCount, kMaxSatsInImage),
                            CheckCount("transponders", tpCount, kTpSlots),
                            CheckCount("programs", progCount, kProgSlots),
                            CheckCount("audio tracks", audioCount, kAudioSlots)})
        if (!s) return s;

    db.SatCount = satCount;
    for (int i = 0; i < kSatSlots; ++i) {
        if (i < satCount) {
            std::copy_n(image.begin() + img::SatRecords + kSatRecSize * i, kSatRecSize, db.Sat.rec[i].begin());
            DecodeSat(db.Sat.rec[i], db.Sat.data[i]);
        } else {
            db.Sat.rec[i].fill(0);
            db.Sat.data[i] = SatData{};
        }
    }

    db.TpCount = tpCount;
    db.SatTpCounts.fill(0);
    std::copy_n(image.begin() + img::SatTpCounts, satCount, db.SatTpCounts.begin());
    db.TpAlignWord[0] = image[img::SatTpCounts + satCount];
    db.TpAlignWord[1] = image[img::SatTpCounts + satCount + 1];
    const int t0 = TpTableOffset(satCount);
    for (int t = 0; t < kTpSlots; ++t) {
        std::copy_n(image.begin() + t0 + kTpRecSize * t, kTpRecSize, db.Tp.rec[t].begin());
        DecodeTp(db.Tp.rec[t], db.Tp.data[t]);
    }

    db.ProgCount = progCount;
    db.AudioCount = audioCount;
    std::copy_n(image.begin() + img::FavNameBlock, db.FavNameBlock.size(), db.FavNameBlock.begin());
    for (int g = 0; g < kFavGroups; ++g)
        db.FavNames[g] = TrimRight(FieldText(std::span(db.FavNameBlock).subspan(kFavNameSize * g, 15)));

    for (int p = 0; p < kProgSlots; ++p) {
        std::copy_n(image.begin() + img::ProgTable + kProgRecSize * p, kProgRecSize, db.Prog.rec[p].begin());
        DecodeProg(db.Prog.rec[p], db.Tp, db.Prog.data[p]);
    }
    for (int a = 0; a < kAudioSlots; ++a) {
        std::copy_n(image.begin() + img::AudioTable + kAudioRecSize * a, kAudioRecSize, db.Audio.rec[a].begin());
        DecodeAudio(db.Audio.rec[a], db.Audio.data[a]);
    }
    std::copy_n(image.begin() + img::Carried, kCarriedSize, db.Carried.begin());
    std::copy_n(image.begin() + img::FavLocks, kFavGroups, db.FavLocksStored.begin());
    db.FavLocks = db.FavLocksStored;
    return Status::Ok();
}

std::vector<uint8_t> BuildImage(const Database& db) {
    std::vector<uint8_t> image(kImageSize, 0);
    const int satCount = std::min<int>(db.SatCount, kMaxSatsInImage);
    PutU16(image, img::SatCount, static_cast<uint16_t>(satCount));
    for (int i = 0; i < satCount; ++i)
        std::copy(db.Sat.rec[i].begin(), db.Sat.rec[i].end(), image.begin() + kSatRecSize * i);
    PutU16(image, img::TpCount, db.TpCount);
    std::copy_n(db.SatTpCounts.begin(), satCount, image.begin() + img::SatTpCounts);
    // The alignment word goes first: where it overlaps the first transponder
    // record, the record's bytes are the ones that stand.
    image[img::SatTpCounts + satCount] = db.TpAlignWord[0];
    image[img::SatTpCounts + satCount + 1] = db.TpAlignWord[1];
    const int t0 = TpTableOffset(satCount);
    for (int t = 0; t < kTpSlots; ++t)
        std::copy(db.Tp.rec[t].begin(), db.Tp.rec[t].end(), image.begin() + t0 + kTpRecSize * t);
    PutU16(image, img::ProgCount, db.ProgCount);
    PutU16(image, img::AudioCount, db.AudioCount);
    std::copy(db.FavNameBlock.begin(), db.FavNameBlock.end(), image.begin() + img::FavNameBlock);
    for (int p = 0; p < kProgSlots; ++p)
        std::copy(db.Prog.rec[p].begin(), db.Prog.rec[p].end(), image.begin() + img::ProgTable + kProgRecSize * p);
    for (int a = 0; a < kAudioSlots; ++a)
        std::copy(db.Audio.rec[a].begin(), db.Audio.rec[a].end(),
                  image.begin() + img::AudioTable + kAudioRecSize * a);
    std::copy(db.Carried.begin(), db.Carried.end(), image.begin() + img::Carried);
    std::copy(db.FavLocks.begin(), db.FavLocks.end(), image.begin() + img::FavLocks);
    return image;
}

} // namespace dbase

#include "Image.h"

#include "Bits.h"

#include <algorithm>
#include <cstring>

namespace dbase {

const char* FecName(int code) {
    static const char* const names[] = {"Auto", "1/2", "2/3", "3/4", "5/6", "6/7", "7/8"};
    return code >= 0 && code <= 6 ? names[code] : "";
}

SatData DecodeSat(const SatRec& r) {
    SatData d;
    d.LnbLow = DecText(GetU16(r, 0));
    d.LnbHigh = DecText(GetU16(r, 2));
    d.Longitude = TenthsText(GetU16(r, 6));
    d.LnbType = r[8];
    d.Power12V = r[9];
    d.Tone22K = r[10];
    d.Diseqc10 = r[11];
    d.LnbPower = r[12];
    d.Diseqc11 = r[13];
    d.SatByte14 = r[14];
    d.Motor = r[15];
    d.Name = TrimRight(FieldText(std::span(r).subspan(17, 18)));
    return d;
}

TpData DecodeTp(const TpRec& r) {
    TpData d;
    d.Freq = DecText(GetU16(r, 0) & 0x3FFF);
    d.Used = (r[2] >> 1) & 1;
    d.Pol = static_cast<uint8_t>(CappedField((r[2] >> 2) & 3, 2, 2));
    d.PolText = d.Pol == 0 ? "H" : d.Pol == 1 ? "V" : "?";
    d.Fec = static_cast<uint8_t>(CappedField(r[2] >> 4, 4, 6));
    d.FecText = FecName(d.Fec);
    d.TpByte3 = r[3];
    d.SatIndex = r[4];
    d.TpNo = r[5];
    d.SymRate = DecText(GetU16(r, 6));
    return d;
}

std::string FavMaskText(uint16_t mask) {
    std::string s(16, '0');
    for (int bit = 0; bit < 16; ++bit)
        if (mask & (1u << bit)) s[static_cast<size_t>(15 - bit)] = '1';
    return s;
}

uint16_t FavMaskValue(const std::string& text) {
    uint16_t v = 0;
    for (size_t i = 0; i < text.size() && i < 16; ++i)
        if (text[i] == '1') v |= static_cast<uint16_t>(1u << (15 - i));
    return v;
}

ProgData DecodeProg(const ProgRec& r, const TpTable& tps) {
    ProgData d;
    const uint16_t w0 = GetU16(r, 0);
    d.PcrPid = DecText(w0 >> 3);
    d.IsFree = (w0 >> 2) & 1;
    d.IsRadio = (w0 >> 1) & 1;
    d.Used = w0 & 1;
    d.PvtPid = DecText(GetU16(r, 2) & 0x1FFF);
    d.TpIndex = CappedField(GetU16(r, 4), 16, 5000);
    d.AudioTracks = static_cast<uint8_t>(CappedField(r[9], 8, 63));
    d.AudioSel = static_cast<uint8_t>(CappedField(r[10], 8, 63));
    const uint16_t vid = GetU16(r, 12), aud = GetU16(r, 14);
    d.VidFlags = static_cast<uint8_t>(vid >> 13);
    d.VidPid = DecText(vid & 0x1FFF);
    d.AudFlags = static_cast<uint8_t>(aud >> 13);
    d.AudPid = DecText(aud & 0x1FFF);
    d.ServiceId = DecText(GetU16(r, 16));
    d.FavMask = FavMaskText(GetU16(r, 18));
    d.PmtPid = DecText(CappedField(GetU16(r, 20), 16, 8191));
    d.Skip = (r[22] >> 1) & 1;
    d.Lock = r[22] & 1;
    d.ProgByte23 = static_cast<uint8_t>(CappedField(r[23], 8, 7));
    d.Name = FieldText(std::span(r).subspan(24, 15));
    for (int i = 0; i < 4; ++i) d.CaIds[i] = r[40 + i];
    d.SatIndex = d.TpIndex < static_cast<uint32_t>(kTpSlots) ? tps.data[d.TpIndex].SatIndex : 255;
    return d;
}

AudioData DecodeAudio(const AudioRec& r) {
    AudioData d;
    const uint16_t w = GetU16(r, 0);
    d.Pid = DecText((w >> 1) & 0x1FFF);
    d.Used = w & 1;
    d.ProgIndex = GetU16(r, 2);
    d.Lang = FieldText(std::span(r).subspan(4, 3));
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
            db.Sat.data[i] = DecodeSat(db.Sat.rec[i]);
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
        db.Tp.data[t] = DecodeTp(db.Tp.rec[t]);
    }

    db.ProgCount = progCount;
    db.AudioCount = audioCount;
    std::copy_n(image.begin() + img::FavNameBlock, db.FavNameBlock.size(), db.FavNameBlock.begin());
    for (int g = 0; g < kFavGroups; ++g)
        db.FavNames[g] = TrimRight(FieldText(std::span(db.FavNameBlock).subspan(kFavNameSize * g, 15)));

    for (int p = 0; p < kProgSlots; ++p) {
        std::copy_n(image.begin() + img::ProgTable + kProgRecSize * p, kProgRecSize, db.Prog.rec[p].begin());
        db.Prog.data[p] = DecodeProg(db.Prog.rec[p], db.Tp);
    }
    for (int a = 0; a < kAudioSlots; ++a) {
        std::copy_n(image.begin() + img::AudioTable + kAudioRecSize * a, kAudioRecSize, db.Audio.rec[a].begin());
        db.Audio.data[a] = DecodeAudio(db.Audio.rec[a]);
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

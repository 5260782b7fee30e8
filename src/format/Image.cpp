#include "format/Image.h"

#include "base/Bits.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace dbase {

namespace {

Status CheckCount(const char* what, unsigned count, unsigned max) {
    if (count <= max) return Status::Ok();
    return Status::Error(StatusCode::Damaged, "The file is damaged: it holds " + std::to_string(count) + " " + what +
                                                  ", more than " + std::to_string(max) + "!");
}

} // namespace

Status ParseImage(Database& db, std::span<const uint8_t> image) {
    if (image.size() < static_cast<size_t>(kImageSize))
        return Status::Error(StatusCode::Damaged, "The file is damaged: its database image is too short!");

    const uint16_t satCount = GetU16(image, img::SatCount);
    const uint16_t tpCount = GetU16(image, img::TpCount);
    const uint16_t progCount = GetU16(image, img::ProgCount);
    const uint16_t audioCount = GetU16(image, img::AudioCount);
    for (const Status& s :
         {CheckCount("satellites", satCount, kMaxSatsInImage), CheckCount("transponders", tpCount, kTpSlots),
          CheckCount("programs", progCount, kProgSlots), CheckCount("audio tracks", audioCount, kAudioSlots)})
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
    std::array<uint8_t, kTpSlots> tpSatellites;
    for (int t = 0; t < kTpSlots; ++t) {
        std::copy_n(image.begin() + t0 + kTpRecSize * t, kTpRecSize, db.Tp.rec[t].begin());
        DecodeTp(db.Tp.rec[t], db.Tp.data[t]);
        tpSatellites[static_cast<size_t>(t)] = db.Tp.data[t].SatIndex;
    }

    db.ProgCount = progCount;
    db.AudioCount = audioCount;
    std::copy_n(image.begin() + img::FavNameBlock, db.FavNameBlock.size(), db.FavNameBlock.begin());
    for (int g = 0; g < kFavGroups; ++g) db.FavNames[g] = FavNameOf(db.FavNameBlock, g);

    for (int p = 0; p < kProgSlots; ++p) {
        std::copy_n(image.begin() + img::ProgTable + kProgRecSize * p, kProgRecSize, db.Prog.rec[p].begin());
        DecodeProg(db.Prog.rec[p], tpSatellites, db.Prog.data[p]);
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
    std::vector<uint8_t> image;
    BuildImage(db, image);
    return image;
}

void BuildImage(const Database& db, std::vector<uint8_t>& image) {
    image.assign(kImageSize, 0);
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
        std::copy(db.Audio.rec[a].begin(), db.Audio.rec[a].end(), image.begin() + img::AudioTable + kAudioRecSize * a);
    std::copy(db.Carried.begin(), db.Carried.end(), image.begin() + img::Carried);
    std::copy(db.FavLocks.begin(), db.FavLocks.end(), image.begin() + img::FavLocks);
}

} // namespace dbase

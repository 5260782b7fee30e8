// Hand-built databases for the editing tests, and a check that the tables
// stay consistent after an operation.
#pragma once

#include "SampleData.h"
#include "editing/Consistency.h"
#include "format/Image.h"
#include "model/Model.h"

#include <gtest/gtest.h>

#include <memory>

namespace testdb {

// A database with no satellites whose free slots hold the empty records.
inline std::unique_ptr<dbase::Database> Empty() { return sample::EmptyDatabase(); }

// The lists a window fills from the core's queries, kept by a test.
struct Views {
    std::vector<int> SatList, TpList, TvList, RadioList;
    void ListAllTps(const dbase::Database& db) { TpList = dbase::AllTps(db); }
    void ListSatTps(const dbase::Database& db, int sat) { TpList = dbase::SatTps(db, sat); }
    void ClearProgLists() { TvList.clear(), RadioList.clear(); }
    void ListAllProgs(const dbase::Database& db) { Set(dbase::AllProgs(db)); }
    void ListTpProgs(const dbase::Database& db, int tp) { Set(dbase::TpProgs(db, tp)); }
    void ListSatProgs(const dbase::Database& db, int sat) { Set(dbase::SatProgs(db, sat)); }
    void ListFavProgs(const dbase::Database& db, int group) { Set(dbase::FavProgs(db, group)); }
    void Set(dbase::ProgLists lists) {
        TvList = std::move(lists.tv);
        RadioList = std::move(lists.radio);
    }
};

inline std::unique_ptr<dbase::Database> Copy(const dbase::Database& db) {
    return std::make_unique<dbase::Database>(db);
}

inline sample::ProgSpec Prog(const std::string& name, bool radio = false, int pid = 100) {
    sample::ProgSpec p;
    p.name = name;
    p.radio = radio;
    p.vid = radio ? 0 : pid;
    p.aud = pid + 1;
    p.pcr = pid;
    p.pmt = pid + 2;
    p.sid = pid + 3;
    return p;
}

// Checks the invariants the editing operations keep: the counts agree with
// the tables, every satellite's transponders are numbered 1..n, programs and
// audio tracks point at what exists, every record in use is the decoding of
// its stored bytes, and free slots hold the empty records.
inline void ExpectConsistent(const dbase::Database& db) {
    using namespace dbase;
    int used = 0;
    std::array<int, kSatSlots> perSat{};
    std::array<std::vector<bool>, kSatSlots> numbers;
    for (int t = 0; t < kTpSlots; ++t) {
        const TpData& d = db.Tp.data[t];
        if (d.Used != 1) {
            EXPECT_EQ(db.Tp.rec[t], EmptyTpRec()) << "transponder slot " << t;
            continue;
        }
        TpData decoded = DecodeTp(db.Tp.rec[t]);
        decoded.PolText = d.PolText; // an imported letter such as "W" is shown as the file gives it
        EXPECT_EQ(DecodedDifferences(d, decoded), "") << "transponder slot " << t;
        ++used;
        ASSERT_LT(d.SatIndex, db.SatCount) << "transponder slot " << t;
        ++perSat[d.SatIndex];
        auto& seen = numbers[d.SatIndex];
        if (seen.size() <= d.TpNo) seen.resize(d.TpNo + 1, false);
        EXPECT_FALSE(seen[d.TpNo]) << "number " << d.TpNo << " twice on satellite " << int(d.SatIndex);
        seen[d.TpNo] = true;
    }
    EXPECT_EQ(db.TpCount, used);
    for (int s = 0; s < db.SatCount; ++s) {
        EXPECT_EQ(db.SatTpCounts[s], perSat[s]) << "satellite " << s;
        EXPECT_GE(perSat[s], 1) << "satellite " << s << " has no transponder";
        for (int n = 1; n <= perSat[s]; ++n)
            EXPECT_TRUE(numbers[s].size() > size_t(n) && numbers[s][n]) << "satellite " << s << " lacks number " << n;
    }
    for (int p = 0; p < db.ProgCount; ++p) {
        const ProgData& d = db.Prog.data[p];
        ProgData decoded = DecodeProg(db.Prog.rec[p], db.Tp);
        decoded.AudioTracks = d.AudioTracks; // a new program stores 4 and shows 1
        EXPECT_EQ(DecodedDifferences(d, decoded), "") << "program slot " << p;
        EXPECT_EQ(d.Used, 1);
        ASSERT_LT(d.TpIndex, uint32_t(kTpSlots));
        EXPECT_EQ(db.Tp.data[d.TpIndex].Used, 1) << "program slot " << p << " on a free transponder";
    }
    for (int a = 0; a < kAudioSlots; ++a) {
        if (a < db.AudioCount) {
            EXPECT_EQ(DecodedDifferences(db.Audio.data[a], DecodeAudio(db.Audio.rec[a])), "")
                << "audio slot " << a;
            EXPECT_LT(db.Audio.data[a].ProgIndex, uint32_t(db.ProgCount)) << "audio slot " << a;
        } else {
            EXPECT_EQ(db.Audio.rec[a], EmptyAudioRec()) << "audio slot " << a;
            EXPECT_EQ(db.Audio.data[a].Used, 0) << "audio slot " << a;
        }
    }
}

} // namespace testdb

// The invariant checks themselves: they pass the project's sample databases
// and name each kind of damage they are meant to catch.
#include "TestDb.h"

#include "base/Bits.h"
#include "editing/Consistency.h"

#include <gtest/gtest.h>

using namespace dbase;

namespace {

// The problems of a copy of the sample after `damage`.
template <class F> std::vector<std::string> ProblemsAfter(F damage) {
    auto db = sample::BuildSample();
    damage(*db);
    return FindInconsistencies(*db);
}

bool Mentions(const std::vector<std::string>& problems, const std::string& text) {
    for (const auto& p : problems)
        if (p.find(text) != std::string::npos) return true;
    return false;
}

} // namespace

TEST(Consistency, TheSamplesAreConsistentAndSurviveASave) {
    for (const bool full : {false, true}) {
        const auto db = full ? sample::BuildFull(5) : sample::BuildSample();
        testdb::ExpectConsistent(*db);
        for (SaveMode mode : {SaveMode::Channel, SaveMode::Default}) {
            const RoundTrip r = SaveAndReopen(*db, mode);
            ASSERT_TRUE(r.saved.ok()) << r.saved.message();
            EXPECT_TRUE(r.differences.empty()) << testdb::Findings(r.differences);
        }
    }
}

TEST(Consistency, CountsAndNumberingAgainstTheTable) {
    EXPECT_TRUE(Mentions(ProblemsAfter([](Database& db) { ++db.TpCount; }), "TpCount is 36 but 35"));
    EXPECT_TRUE(Mentions(ProblemsAfter([](Database& db) { --db.SatTpCounts[1]; }), "satellite 1 counts 8"));
    // Two transponders of satellite 0 numbered 2 (and none numbered 3).
    EXPECT_TRUE(Mentions(ProblemsAfter([](Database& db) {
                             db.Tp.rec[2][5] = 2;
                             db.Tp.data[2].TpNo = 2;
                         }),
                         "satellite 0 has 2 transponders numbered 2"));
    EXPECT_TRUE(Mentions(ProblemsAfter([](Database& db) {
                             for (int t = 0; t < kTpSlots; ++t)
                                 if (db.Tp.data[t].Used && db.Tp.data[t].SatIndex == 5) {
                                     db.Tp.rec[t] = EmptyTpRec();
                                     db.Tp.data[t] = EmptyTpData();
                                     --db.TpCount;
                                     --db.SatTpCounts[5];
                                 }
                         }),
                         "satellite 5 has no transponder"));
}

TEST(Consistency, LinksMustNameEntriesInUse) {
    // A program on a freed transponder.
    EXPECT_TRUE(Mentions(ProblemsAfter([](Database& db) {
                             PutU16(db.Prog.rec[0], 4, 2100);
                             db.Prog.data[0] = DecodeProg(db.Prog.rec[0], db.Tp);
                         }),
                         "program slot 0 names transponder 2100"));
    // An audio track of a program beyond ProgCount.
    EXPECT_TRUE(Mentions(ProblemsAfter([](Database& db) {
                             PutU16(db.Audio.rec[0], 2, 40);
                             db.Audio.data[0].ProgIndex = 40;
                         }),
                         "audio slot 0 names program 40 of 40"));
    // A gap in the program table.
    EXPECT_TRUE(Mentions(ProblemsAfter([](Database& db) {
                             db.Prog.rec[3][0] &= 0xFE;
                             db.Prog.data[3].Used = 0;
                         }),
                         "program slot 3 lies below ProgCount but is not in use"));
    EXPECT_TRUE(Mentions(ProblemsAfter([](Database& db) { db.Audio.rec[999][0] = 0xFF; }),
                         "audio slot 999 lies beyond AudioCount but is in use"));
}

TEST(Consistency, BothFormsInStepExceptTextsKeptAsTyped) {
    EXPECT_TRUE(Mentions(ProblemsAfter([](Database& db) { db.Prog.data[4].Name = "Other"; }),
                         "program slot 4: Name \"Other\" where the bytes give \"Bergblick\""));
    EXPECT_TRUE(Mentions(ProblemsAfter([](Database& db) { db.Tp.rec[7][3] = 0; }), "transponder slot 7: TpByte3"));
    EXPECT_TRUE(Mentions(ProblemsAfter([](Database& db) { db.FavNames[1] = "Newz"; }), "favourite group 2"));
    // What an editor keeps as typed until the next load names the same value.
    EXPECT_TRUE(ProblemsAfter([](Database& db) {
                    PutU16(db.Sat.rec[5], 2, 5750);
                    db.Sat.data[5].LnbHigh = "05750";
                    PutU16(db.Sat.rec[5], 6, 192);
                    db.Sat.data[5].Longitude = "19.20";
                    db.Tp.data[0].PolText = "W";
                    db.Tp.rec[0][2] = static_cast<uint8_t>(db.Tp.rec[0][2] | 4);
                    db.Tp.data[0].Pol = 1;
                }).empty());
    // ... but not another value.
    EXPECT_FALSE(ProblemsAfter([](Database& db) { db.Sat.data[5].LnbHigh = "05751"; }).empty());
    EXPECT_FALSE(ProblemsAfter([](Database& db) { db.Tp.data[0].PolText = "V"; }).empty());
}

TEST(Consistency, RoundTripNamesWhatIsLost) {
    auto db = sample::BuildFull(2);
    db->SatCount = 65; // one more than an image holds
    const RoundTrip r = SaveAndReopen(*db, SaveMode::Channel);
    ASSERT_TRUE(r.saved.ok());
    EXPECT_TRUE(Mentions(r.differences, "SatCount 65 reads back as 64")) << testdb::Findings(r.differences);
}

// Moving a block of entries in one go: where a move takes the block, the
// order the list ends in, and the links that follow the moved entries. That
// a move equals its single drag steps is checked on random databases in
// test_properties.cpp.
#include "TestDb.h"

#include "editing/Moves.h"

#include <gtest/gtest.h>

using namespace dbase;

using Ints = std::vector<int>;

TEST(Moves, TargetsOfEachKindOfMove) {
    const Ints scattered = {1, 4, 5};
    EXPECT_EQ(MoveTargets(7, scattered, MoveKind::Up), (Ints{0, 3, 4}));
    EXPECT_EQ(MoveTargets(7, scattered, MoveKind::Down), (Ints{2, 5, 6}));
    EXPECT_EQ(MoveTargets(7, scattered, MoveKind::Top), (Ints{0, 1, 2}));
    EXPECT_EQ(MoveTargets(7, scattered, MoveKind::Bottom), (Ints{4, 5, 6}));
    EXPECT_EQ(MoveTargets(7, scattered, MoveKind::To, 2), (Ints{2, 3, 4}));
    EXPECT_EQ(MoveTargets(7, scattered, MoveKind::To, 4), (Ints{4, 5, 6}));
    // Nothing leaves the list.
    EXPECT_TRUE(MoveTargets(7, Ints{0, 3}, MoveKind::Up).empty());
    EXPECT_TRUE(MoveTargets(7, Ints{3, 6}, MoveKind::Down).empty());
    EXPECT_TRUE(MoveTargets(7, scattered, MoveKind::To, 5).empty());
    EXPECT_TRUE(MoveTargets(7, scattered, MoveKind::To, -1).empty());
    // A selection that is not one.
    EXPECT_TRUE(MoveTargets(7, Ints{}, MoveKind::Top).empty());
    EXPECT_TRUE(MoveTargets(7, Ints{4, 1}, MoveKind::Top).empty());
    EXPECT_TRUE(MoveTargets(7, Ints{2, 2}, MoveKind::Top).empty());
    EXPECT_TRUE(MoveTargets(7, Ints{7}, MoveKind::Top).empty());
}

TEST(Moves, TheBlockKeepsItsOrderAndSoDoTheEntriesItPasses) {
    // a S1 b c S2 d, the S's one place up: S1 a b S2 c d.
    EXPECT_EQ(MovedOrder(6, Ints{1, 4}, Ints{0, 3}), (Ints{1, 0, 2, 4, 3, 5}));
    // Gathered at place 2: a b S1 S2 c d.
    EXPECT_EQ(MovedOrder(6, Ints{0, 4}, Ints{2, 3}), (Ints{1, 2, 0, 4, 3, 5}));
    // Nowhere to go: the order stays.
    EXPECT_EQ(MovedOrder(3, Ints{0, 1}, Ints{0, 1}), (Ints{0, 1, 2}));
}

TEST(Moves, ProgramsMoveWithTheirTracksAndTheOtherKindStays) {
    auto db = testdb::Empty();
    sample::AddSat(*db, {"Sat", 192});
    const int tp = sample::AddTp(*db, 0, 11000, false, 27500, 3);
    for (const char* name : {"T0", "T1", "R2", "T3", "T4"})
        sample::AddProg(*db, tp, testdb::Prog(name, name[0] == 'R'));
    sample::AddAudio(*db, 3, 0x301, "eng");
    sample::AddAudio(*db, 4, 0x401, "fra");
    const Ints tv = AllProgs(*db).tv; // 0 1 3 4
    Ints moved;
    // T3 and T4 to the top of the TV list.
    ASSERT_TRUE(MoveInList(*db, ListOf::Programs, tv, Ints{2, 3}, MoveKind::Top, 0, &moved));
    EXPECT_EQ(moved, (Ints{0, 1}));
    std::vector<std::string> names;
    for (int p = 0; p < db->ProgCount; ++p) names.push_back(db->Prog.data[p].Name);
    EXPECT_EQ(names, (std::vector<std::string>{"T3", "T4", "R2", "T0", "T1"}));
    EXPECT_EQ(db->Audio.data[0].ProgIndex, 0u);
    EXPECT_EQ(db->Audio.data[1].ProgIndex, 1u);
    EXPECT_EQ(db->Audio.rec[1][2], 1); // the stored link too
    testdb::ExpectConsistent(*db);
}

TEST(Moves, TranspondersKeepTheirNumbersWithTheSlotAndSatellitesTheirLinks) {
    auto db = testdb::Empty();
    for (const char* name : {"A", "B", "C"}) sample::AddSat(*db, {name, 100});
    const int c0 = sample::AddTp(*db, 2, 12000, false, 27500, 3);
    sample::AddTp(*db, 1, 11000, false, 27500, 3);
    const int a0 = sample::AddTp(*db, 0, 10000, false, 27500, 3);
    sample::AddTp(*db, 0, 10100, false, 27500, 3);
    const int a2 = sample::AddTp(*db, 0, 10200, false, 27500, 3);
    const int prog = sample::AddProg(*db, a2, testdb::Prog("P"));
    const Ints tps = SatTps(*db, 0);
    ASSERT_TRUE(MoveInList(*db, ListOf::Transponders, tps, Ints{2}, MoveKind::Top));
    EXPECT_EQ(db->Tp.data[a0].Freq, "10200");
    EXPECT_EQ(db->Tp.data[a0].TpNo, 1u);
    EXPECT_EQ(db->Tp.data[a2].Freq, "10100");
    EXPECT_EQ(db->Tp.data[a2].TpNo, 3u);
    EXPECT_EQ(db->Prog.data[prog].TpIndex, static_cast<uint32_t>(a0)); // the program went with it

    // C to the top of the satellite list: its transponder and program links follow.
    ASSERT_TRUE(MoveInList(*db, ListOf::Satellites, Ints{0, 1, 2}, Ints{2}, MoveKind::Top));
    EXPECT_EQ(db->Sat.data[0].Name, "C");
    EXPECT_EQ(db->Tp.data[c0].SatIndex, 0);
    EXPECT_EQ(db->Tp.rec[c0][4], 0);
    EXPECT_EQ(db->Prog.data[prog].SatIndex, 1);
    EXPECT_EQ(db->SatTpCounts[1], 3);
    testdb::ExpectConsistent(*db);
}

TEST(Moves, ListsThatCanNotBeReorderedAreRefused) {
    auto db = testdb::Empty();
    sample::AddSat(*db, {"A", 100});
    sample::AddSat(*db, {"B", 200});
    const int a = sample::AddTp(*db, 0, 10000, false, 27500, 3);
    const int b = sample::AddTp(*db, 1, 11000, false, 27500, 3);
    sample::AddProg(*db, a, testdb::Prog("T"));
    sample::AddProg(*db, a, testdb::Prog("R", true));
    const auto before = testdb::Copy(*db);
    EXPECT_FALSE(MoveInList(*db, ListOf::Programs, Ints{0, 1}, Ints{1}, MoveKind::Up));
    EXPECT_FALSE(MoveInList(*db, ListOf::Transponders, Ints{a, b}, Ints{1}, MoveKind::Up));
    EXPECT_FALSE(MoveInList(*db, ListOf::Satellites, Ints{0, 0}, Ints{1}, MoveKind::Up));
    EXPECT_FALSE(MoveInList(*db, ListOf::Satellites, Ints{0, 2}, Ints{1}, MoveKind::Up));
    EXPECT_FALSE(MoveInList(*db, ListOf::Satellites, Ints{0, 1}, Ints{0}, MoveKind::Up));
    EXPECT_FALSE(MoveInList(*db, ListOf::Satellites, Ints{}, Ints{0}, MoveKind::Up));
    EXPECT_EQ(db->Sat.rec, before->Sat.rec);
    EXPECT_EQ(db->Prog.rec, before->Prog.rec);
}

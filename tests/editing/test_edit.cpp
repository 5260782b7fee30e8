// Adding limits, deleting programs and transponders, clearing and resetting
// satellites.
#include "TestDb.h"

#include "base/Bits.h"
#include "base/Messages.h"
#include "editing/Entries.h"

#include <gtest/gtest.h>

#include <type_traits>

using namespace dbase;
using sample::AddAudio;
using sample::AddProg;
using sample::AddSat;
using sample::AddTp;
using testdb::Prog;

namespace {

TpRec Bytes(std::initializer_list<uint8_t> b) {
    TpRec r{};
    std::copy(b.begin(), b.end(), r.begin());
    return r;
}

// Slots of different tables do not pass for one another, nor does a bare index.
static_assert(!std::is_convertible_v<int, TpSlot>);
static_assert(!std::is_convertible_v<SatSlot, TpSlot>);
static_assert(!std::is_convertible_v<TpSlot, ProgSlot>);
static_assert(std::is_invocable_v<decltype(&DeleteTransponder), Database&, TpSlot, SatSlot>);
static_assert(!std::is_invocable_v<decltype(&DeleteTransponder), Database&, SatSlot, TpSlot>);
static_assert(!std::is_invocable_v<decltype(&DeleteTransponder), Database&, int, int>);

} // namespace

TEST(DeleteTransponder, TheLastOneBecomesThePlaceholderAndTakesItsProgramsAlong) {
    auto db = testdb::Empty();
    const int a = AddSat(*db, {"A", 192});
    const int b = AddSat(*db, {"B", 130});
    const int tpA = AddTp(*db, a, 11000, true, 22000, 3);
    const int tpB = AddTp(*db, b, 12000, false, 27500, 2);
    AddProg(*db, tpA, Prog("one"));
    AddProg(*db, tpB, Prog("keep"));
    AddProg(*db, tpA, Prog("two", true));
    const uint16_t tpCount = db->TpCount;

    const TpDeleteResult r = DeleteTransponder(*db, TpSlot(tpA), SatSlot(a));

    EXPECT_TRUE(r.PlaceholderTpMade);
    EXPECT_EQ(r.placeholderSlot, tpA);
    EXPECT_EQ(r.programsDeleted, 2);
    EXPECT_EQ(db->Tp.rec[tpA], Bytes({0xA0, 0x0F, 0x02, 0xFF, uint8_t(a), 0x01, 0xDD, 0x6D, 0xFF, 0xFF, 0xFF, 0xFF}));
    const TpData& d = db->Tp.data[tpA];
    EXPECT_EQ(d.Freq, "4000");
    EXPECT_EQ(d.PolText, "H");
    EXPECT_EQ(d.SymRate, "28125");
    EXPECT_EQ(d.FecText, "Auto");
    EXPECT_EQ(d.TpNo, 1u);
    EXPECT_EQ(db->TpCount, tpCount);
    EXPECT_EQ(db->SatTpCounts[a], 1);
    ASSERT_EQ(db->ProgCount, 1);
    EXPECT_EQ(db->Prog.data[0].Name, "keep");
    EXPECT_EQ(db->Prog.data[0].TpIndex, uint32_t(tpB));
    testdb::ExpectConsistent(*db);
}

TEST(DeleteTransponder, PlaceholderTakesTheLowestFreeSlot) {
    auto db = testdb::Empty();
    const int a = AddSat(*db, {"A", 192});
    const int b = AddSat(*db, {"B", 130});
    const int first = AddTp(*db, b, 12000, false, 27500, 2);
    const int last = AddTp(*db, a, 11000, true, 22000, 3);
    AddTp(*db, b, 12100, false, 27500, 2);
    DeleteTransponder(*db, TpSlot(first), SatSlot(b));
    const TpDeleteResult r = DeleteTransponder(*db, TpSlot(last), SatSlot(a));
    EXPECT_EQ(r.placeholderSlot, first);
    EXPECT_EQ(db->Tp.rec[last], EmptyTpRec());
    EXPECT_EQ(db->Tp.data[last].SatIndex, 255);
    testdb::ExpectConsistent(*db);
}

TEST(DeleteTransponder, LaterNumbersOfTheSatelliteCloseTheGap) {
    auto db = testdb::Empty();
    const int a = AddSat(*db, {"A", 192});
    const int b = AddSat(*db, {"B", 130});
    int tps[4];
    for (int i = 0; i < 4; ++i) {
        tps[i] = AddTp(*db, a, 11000 + i, false, 22000, 0);
        AddTp(*db, b, 12000 + i, false, 22000, 0); // interleaved numbers of another satellite
    }
    const TpDeleteResult r = DeleteTransponder(*db, TpSlot(tps[1]), SatSlot(a));
    EXPECT_FALSE(r.PlaceholderTpMade);
    EXPECT_EQ(r.placeholderSlot, -1);
    EXPECT_EQ(db->Tp.data[tps[0]].TpNo, 1u);
    EXPECT_EQ(db->Tp.data[tps[2]].TpNo, 2u);
    EXPECT_EQ(db->Tp.rec[tps[2]][5], 2);
    EXPECT_EQ(db->Tp.data[tps[3]].TpNo, 3u);
    EXPECT_EQ(db->Tp.rec[tps[3]][5], 3);
    EXPECT_EQ(db->SatTpCounts[a], 3);
    EXPECT_EQ(db->SatTpCounts[b], 4);
    EXPECT_EQ(db->TpCount, 7);
    testdb::ExpectConsistent(*db);
}

TEST(DeleteTransponder, IgnoresAFreeSlot) {
    auto db = testdb::Empty();
    AddSat(*db, {"A", 192});
    AddTp(*db, 0, 11000, false, 22000, 0);
    const auto before = testdb::Copy(*db);
    DeleteTransponder(*db, TpSlot(5), SatSlot(0));
    EXPECT_EQ(BuildImage(*db), BuildImage(*before));
}

TEST(DeleteProgram, LaterProgramsMoveDownWithTheirTracks) {
    auto db = testdb::Empty();
    AddSat(*db, {"A", 192});
    const int tp = AddTp(*db, 0, 11000, false, 22000, 0);
    for (int i = 0; i < 12; ++i) AddProg(*db, tp, Prog("p" + std::to_string(i), i % 2 == 1, 100 + 10 * i));
    AddAudio(*db, 11, 500, "eng");
    AddAudio(*db, 3, 600, "fra");
    db->Prog.rec[11][39] = 0x5A; // an uninterpreted byte travels with the record
    const ProgRec moved = db->Prog.rec[11];
    const ProgData movedData = db->Prog.data[11];

    DeleteProgram(*db, 10);

    EXPECT_EQ(db->ProgCount, 11);
    EXPECT_EQ(db->Prog.rec[10], moved);
    EXPECT_EQ(db->Prog.data[10], movedData);
    EXPECT_EQ(db->Audio.data[0].ProgIndex, 10u);
    EXPECT_EQ(GetU16(db->Audio.rec[0], 2), 10);
    EXPECT_EQ(db->Audio.data[1].ProgIndex, 3u);
    EXPECT_EQ(db->Prog.rec[11], ProgRec{});
    testdb::ExpectConsistent(*db);
}

TEST(DeleteProgram, RemovesItsTracksAndPacksTheAudioTable) {
    auto db = testdb::Empty();
    AddSat(*db, {"A", 192});
    const int tp = AddTp(*db, 0, 11000, false, 22000, 0);
    for (int i = 0; i < 3; ++i) AddProg(*db, tp, Prog("p" + std::to_string(i)));
    AddAudio(*db, 0, 300, "aaa");
    AddAudio(*db, 1, 301, "bbb");
    AddAudio(*db, 2, 302, "ccc");
    AddAudio(*db, 1, 303, "ddd");
    AddAudio(*db, 2, 304, "eee");

    DeleteProgram(*db, 1);

    EXPECT_EQ(db->AudioCount, 3);
    const char* langs[] = {"aaa", "ccc", "eee"};
    const uint32_t owners[] = {0, 1, 1};
    for (int a = 0; a < 3; ++a) {
        EXPECT_EQ(db->Audio.data[a].Lang, langs[a]);
        EXPECT_EQ(db->Audio.data[a].ProgIndex, owners[a]);
    }
    EXPECT_EQ(db->Audio.rec[3], EmptyAudioRec());
    EXPECT_EQ(db->Audio.rec[4], EmptyAudioRec());
    EXPECT_EQ(db->Audio.data[4].ProgIndex, kNoProgram);
    testdb::ExpectConsistent(*db);
}

TEST(DeleteProgram, OutOfRangeSlotChangesNothing) {
    auto db = sample::BuildSample();
    const auto before = testdb::Copy(*db);
    DeleteProgram(*db, db->ProgCount);
    DeleteProgram(*db, -1);
    EXPECT_EQ(BuildImage(*db), BuildImage(*before));
}

TEST(ProgAudio, RemoveLeavesTheCountToTheCallerAndRenumberStaysBelowIt) {
    auto db = testdb::Empty();
    AddSat(*db, {"A", 192});
    const int tp = AddTp(*db, 0, 11000, false, 22000, 0);
    AddProg(*db, tp, Prog("a"));
    AddProg(*db, tp, Prog("b"));
    AddAudio(*db, 1, 300, "x");
    AddAudio(*db, 0, 301, "y");
    AddAudio(*db, 1, 302, "z");

    EXPECT_EQ(RemoveProgAudio(*db, 1), 2);
    EXPECT_EQ(db->AudioCount, 3);
    EXPECT_EQ(db->Audio.data[0].Lang, "y");
    EXPECT_EQ(db->Audio.rec[1], EmptyAudioRec());

    db->AudioCount = 1;
    db->Audio.data[1].ProgIndex = 0; // beyond the count: not a track
    RenumberProgAudio(*db, 0, 7);
    EXPECT_EQ(db->Audio.data[0].ProgIndex, 7u);
    EXPECT_EQ(GetU16(db->Audio.rec[0], 2), 7);
    EXPECT_EQ(db->Audio.data[1].ProgIndex, 0u);
}

// Deleting a transponder's programs in one go must give what deleting them
// one at a time gives.
TEST(DeleteTransponder, MatchesDeletingItsProgramsOneByOne) {
    auto db = sample::BuildFull(7);
    const int tp = 5;
    auto expected = testdb::Copy(*db);
    for (;;) {
        int slot = -1;
        for (int p = 0; p < expected->ProgCount && slot < 0; ++p)
            if (expected->Prog.data[p].TpIndex == uint32_t(tp)) slot = p;
        if (slot < 0) break;
        DeleteProgram(*expected, slot);
    }
    DeleteTransponder(*db, TpSlot(tp), SatSlot(db->Tp.data[tp].SatIndex));
    EXPECT_EQ(db->ProgCount, expected->ProgCount);
    EXPECT_EQ(db->AudioCount, expected->AudioCount);
    EXPECT_TRUE(db->Prog.rec == expected->Prog.rec);
    EXPECT_TRUE(db->Audio.rec == expected->Audio.rec);
    EXPECT_TRUE(db->Audio.data == expected->Audio.data);
    testdb::ExpectConsistent(*db);
}

TEST(ClearSatTransponders, TakesEverySlotOfTheSatelliteWhateverTheListsShow) {
    testdb::Views views;
    auto db = testdb::Empty();
    const int a = AddSat(*db, {"A", 192});
    const int b = AddSat(*db, {"B", 130});
    // The satellite's transponders are not one run in slot order.
    AddTp(*db, a, 11000, false, 22000, 0);
    const int other = AddTp(*db, b, 12000, false, 22000, 0);
    const int mid = AddTp(*db, a, 11100, false, 22000, 0);
    AddTp(*db, b, 12100, false, 22000, 0);
    const int end = AddTp(*db, a, 11200, false, 22000, 0);
    AddProg(*db, mid, Prog("mid"));
    AddProg(*db, other, Prog("other"));
    AddProg(*db, end, Prog("end"));
    views.TpList.clear();
    views.TpList.push_back(other); // a list that shows none of them

    const int slot = ClearSatTransponders(*db, a);

    EXPECT_EQ(slot, 0);
    EXPECT_EQ(CountSatTransponders(*db, a), 1);
    EXPECT_EQ(db->SatTpCounts[a], 1);
    EXPECT_EQ(db->TpCount, 3);
    EXPECT_EQ(db->Tp.rec[slot], PlaceholderTpRec(a));
    ASSERT_EQ(db->ProgCount, 1);
    EXPECT_EQ(db->Prog.data[0].Name, "other");
    EXPECT_EQ(db->SatTpCounts[b], 2);
    testdb::ExpectConsistent(*db);
}

TEST(DeleteEmptyTransponders, ASatelliteWithoutProgramsKeepsOnlyThePlaceholder) {
    testdb::Views views;
    auto db = testdb::Empty();
    const int a = AddSat(*db, {"A", 192});
    const int b = AddSat(*db, {"B", 130});
    for (int i = 0; i < 5; ++i) AddTp(*db, a, 11000 + i, false, 22000, 0);
    const int full = AddTp(*db, b, 12000, false, 22000, 0);
    const int bare = AddTp(*db, b, 12100, false, 22000, 0);
    AddProg(*db, full, Prog("x"));
    const int unused = AddProg(*db, bare, Prog("gone"));
    db->Prog.rec[unused][0] &= 0xFE; // a program not in use does not count
    db->Prog.data[unused].Used = 0;

    views.ListSatTps(*db, a);
    const std::vector<int> empty = EmptyTransponders(*db, views.TpList);
    EXPECT_EQ(empty.size(), 5u);
    EXPECT_EQ(DeleteTransponders(*db, empty), 5);
    EXPECT_EQ(CountSatTransponders(*db, a), 1);
    EXPECT_EQ(db->Tp.rec[0], PlaceholderTpRec(a));
    EXPECT_EQ(db->TpCount, 3);

    views.ListAllTps(*db);
    EXPECT_EQ(EmptyTransponders(*db, views.TpList), (std::vector<int>{0, bare}));
}

TEST(AddLimits, ProgramsPerTransponderCountTvAndRadioTogether) {
    auto db = testdb::Empty();
    AddSat(*db, {"A", 192});
    const int tp = AddTp(*db, 0, 11000, false, 22000, 0);
    const int other = AddTp(*db, 0, 11100, false, 22000, 0);
    for (int i = 0; i < 119; ++i) AddProg(*db, tp, Prog("p", i % 3 == 0));
    AddProg(*db, other, Prog("elsewhere"));
    EXPECT_TRUE(CheckAddProgram(*db, tp).ok());
    AddProg(*db, tp, Prog("radio", true));
    const Status s = CheckAddProgram(*db, tp);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(
        s.message(),
        "The max number of Program every Transponder is 120,\r\rSo Program can not be added on this Transponder!");
    EXPECT_TRUE(CheckAddProgram(*db, other).ok());
}

TEST(AddLimits, ThreeThousandProgramsInAll) {
    auto db = sample::BuildFull(3);
    const Status s = CheckAddProgram(*db, 2199);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.message(), "The max number of Program is 3,000,\r\rThe Program can not be added!");
}

TEST(AddLimits, TranspondersPerSatelliteAndInAll) {
    auto db = testdb::Empty();
    AddSat(*db, {"A", 192});
    AddSat(*db, {"B", 130});
    for (int i = 0; i < 149; ++i) AddTp(*db, 0, 10700 + i, false, 22000, 0);
    EXPECT_TRUE(CheckAddTransponder(*db, 0).ok());
    AddTp(*db, 0, 12000, false, 22000, 0);
    const Status perSat = CheckAddTransponder(*db, 0);
    ASSERT_FALSE(perSat.ok());
    EXPECT_EQ(perSat.message(), "The max number of Transponder every Satellite is 150,\r\r"
                                "So Transponder can not be added on this Satellite!");
    EXPECT_TRUE(CheckAddTransponder(*db, 1).ok());

    auto full = sample::BuildFull(2);
    const Status all = CheckAddTransponder(*full, 0);
    ASSERT_FALSE(all.ok());
    EXPECT_EQ(all.message(), "The max number of Transponder is 2,200,\r\rThe Transponder can not be added!");
}

TEST(ResetSatellite, WritesTheNewSatelliteBytesAndClearsItsTransponders) {
    auto db = sample::BuildSample();
    const int sat = 1;
    SatRec& r = db->Sat.rec[sat];
    r[10] = 2;    // 22 kHz Auto is kept
    r[15] = 1;    // motor is switched off
    r[16] = 0x77; // uninterpreted bytes are kept
    r[35] = 0x66;
    r[4] = 9;
    const int progsBefore = db->ProgCount;
    int progsOnSat = 0;
    for (int p = 0; p < db->ProgCount; ++p) progsOnSat += db->Prog.data[p].SatIndex == sat;
    ASSERT_GT(progsOnSat, 0);

    ResetSatellite(*db, sat);

    EXPECT_EQ(GetU16(r, 0), 9750);
    EXPECT_EQ(GetU16(r, 2), 10600);
    EXPECT_EQ(GetU16(r, 4), 0);
    EXPECT_EQ(GetU16(r, 6), 10);
    const uint8_t lnb[] = {1, 0, 2, 0, 1, 0, 0, 0, 0x77};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(r[8 + i], lnb[i]) << "byte " << 8 + i;
    EXPECT_EQ(std::string(r.begin() + 17, r.begin() + 35), std::string("NEWSAT") + std::string(12, '\0'));
    EXPECT_EQ(r[35], 0x66);
    const uint8_t tail[] = {0, 0, 1, 2, 4, 5, 7, 8, 9, 11, 0, 3, 6, 10};
    EXPECT_TRUE(std::equal(std::begin(tail), std::end(tail), r.begin() + 36));
    const SatData& d = db->Sat.data[sat];
    EXPECT_EQ(d.Name, "NEWSAT");
    EXPECT_EQ(d.Longitude, "1");
    EXPECT_EQ(d.LnbLow, "9750");
    EXPECT_EQ(d.LnbHigh, "10600");
    EXPECT_EQ(d.LnbType, 1);
    EXPECT_EQ(d.LnbPower, 1);
    EXPECT_EQ(d.Tone22K, 2);
    EXPECT_EQ(d.Motor, 0);
    EXPECT_EQ(CountSatTransponders(*db, sat), 1);
    EXPECT_EQ(db->ProgCount, progsBefore - progsOnSat);
    testdb::ExpectConsistent(*db);
}

TEST(SlotChecks, NameTheMissingSlot) {
    auto db = sample::BuildSample();
    EXPECT_TRUE(CheckSatSlot(*db, 5).ok());
    EXPECT_EQ(CheckSatSlot(*db, 6).message(), "There is no satellite in slot 6!");
    EXPECT_TRUE(CheckTpSlot(*db, 0).ok());
    EXPECT_FALSE(CheckTpSlot(*db, 35).ok());
    EXPECT_FALSE(CheckTpSlot(*db, kTpSlots).ok());
    EXPECT_FALSE(CheckProgSlot(*db, db->ProgCount).ok());
    EXPECT_FALSE(CheckProgSlot(*db, -1).ok());
}

#include "SampleData.h"
#include "TestDb.h"
#include "base/Bits.h"
#include "editing/Consistency.h"
#include "editing/Reorder.h"
#include "format/Image.h"
#include "viewlogic/DragSteps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <vector>

using namespace dbase;

namespace {

// Every record in use decodes from its stored bytes to its decoded form.
void ExpectFormsAgree(const Database& db) {
    for (int s = 0; s < db.SatCount; ++s)
        EXPECT_EQ(DecodedDifferences(db.Sat.data[s], DecodeSat(db.Sat.rec[s])), "") << "satellite " << s;
    for (int t = 0; t < kTpSlots; ++t)
        if (db.Tp.data[t].Used == 1) {
            EXPECT_EQ(DecodedDifferences(db.Tp.data[t], DecodeTp(db.Tp.rec[t])), "") << "transponder " << t;
        }
    for (int p = 0; p < db.ProgCount; ++p)
        EXPECT_EQ(DecodedDifferences(db.Prog.data[p], DecodeProg(db.Prog.rec[p], db.Tp)), "") << "program " << p;
    for (int a = 0; a < db.AudioCount; ++a)
        EXPECT_EQ(DecodedDifferences(db.Audio.data[a], DecodeAudio(db.Audio.rec[a])), "") << "track " << a;
}

std::vector<int> Listed(const std::vector<int>& l) { return {l.begin(), l.end()}; }

struct P {
    std::string name;
    bool radio = false;
    int tp = 0;
    uint16_t fav = 0;
};

// One satellite with transponders in slots 0..2 and the programs `ps`, whose
// service ids are 100 + their first slot.
std::unique_ptr<Database> Build(const std::vector<P>& ps) {
    auto db = NewDatabase();
    const int sat = sample::AddSat(*db, {"Sat", 192});
    for (int i = 0; i < 3; ++i) sample::AddTp(*db, sat, 11000 + i, false, 27500, 3);
    for (size_t i = 0; i < ps.size(); ++i) {
        sample::ProgSpec s;
        s.name = ps[i].name;
        s.radio = ps[i].radio;
        s.sid = 100 + static_cast<int>(i);
        s.fav = ps[i].fav;
        sample::AddProg(*db, ps[i].tp, s);
    }
    return db;
}

// The first slot of the program each slot holds now.
std::vector<int> Origins(const Database& db) {
    std::vector<int> v;
    for (int p = 0; p < db.ProgCount; ++p) v.push_back(std::stoi(db.Prog.data[p].ServiceId) - 100);
    return v;
}

// Each audio slot's owner, named by its service id.
std::map<int, std::string> TrackOwners(const Database& db) {
    std::map<int, std::string> m;
    for (int a = 0; a < db.AudioCount; ++a) m[a] = db.Prog.data[db.Audio.data[a].ProgIndex].ServiceId;
    return m;
}

} // namespace

TEST(SwapSatellites, LinksFollowAndBytesFourAndFiveStayWithTheSlot) {
    testdb::Views views;
    auto db = sample::BuildSample();
    db->Sat.rec[1][4] = 0x11, db->Sat.rec[1][5] = 0x12;
    db->Sat.rec[3][4] = 0x31, db->Sat.rec[3][5] = 0x32;
    const SatRec rec3 = db->Sat.rec[3];
    const SatData data1 = db->Sat.data[1], data3 = db->Sat.data[3];
    const uint8_t count1 = db->SatTpCounts[1], count3 = db->SatTpCounts[3];
    views.ListSatTps(*db, 1);
    const auto tps1 = Listed(views.TpList);
    views.ListSatTps(*db, 3);
    const auto tps3 = Listed(views.TpList);
    views.ListSatProgs(*db, 3);
    const auto tv3 = Listed(views.TvList), radio3 = Listed(views.RadioList);

    SwapSatellites(*db, 1, 3);

    EXPECT_EQ(db->Sat.data[1], data3);
    EXPECT_EQ(db->Sat.data[3], data1);
    for (int i = 0; i < kSatRecSize; ++i)
        if (i != 4 && i != 5) {
            EXPECT_EQ(db->Sat.rec[1][i], rec3[i]) << i;
        }
    EXPECT_EQ(db->Sat.rec[1][4], 0x11);
    EXPECT_EQ(db->Sat.rec[1][5], 0x12);
    EXPECT_EQ(db->Sat.rec[3][4], 0x31);
    EXPECT_EQ(db->SatTpCounts[1], count3);
    EXPECT_EQ(db->SatTpCounts[3], count1);
    views.ListSatTps(*db, 1);
    EXPECT_EQ(Listed(views.TpList), tps3);
    views.ListSatTps(*db, 3);
    EXPECT_EQ(Listed(views.TpList), tps1);
    views.ListSatProgs(*db, 1);
    EXPECT_EQ(Listed(views.TvList), tv3);
    EXPECT_EQ(Listed(views.RadioList), radio3);
    ExpectFormsAgree(*db);
}

TEST(SwapTransponders, EachTransponderKeepsItsProgramsAndTheSlotKeepsItsNumber) {
    testdb::Views views;
    auto db = sample::BuildSample();
    // Slots 0 and 3 are the first and fourth transponders of satellite 0.
    ASSERT_EQ(db->Tp.data[0].SatIndex, db->Tp.data[3].SatIndex);
    const TpData t0 = db->Tp.data[0], t3 = db->Tp.data[3];
    views.ListTpProgs(*db, 0);
    const auto tv0 = Listed(views.TvList), radio0 = Listed(views.RadioList);
    views.ListTpProgs(*db, 3);
    const auto tv3 = Listed(views.TvList), radio3 = Listed(views.RadioList);
    ASSERT_FALSE(tv0.empty());
    ASSERT_FALSE(tv3.empty());

    SwapTransponders(*db, 0, 3);

    EXPECT_EQ(db->Tp.data[3].Freq, t0.Freq);
    EXPECT_EQ(db->Tp.data[0].Freq, t3.Freq);
    EXPECT_EQ(db->Tp.data[0].TpNo, t0.TpNo);
    EXPECT_EQ(db->Tp.rec[0][5], t0.TpNo);
    EXPECT_EQ(db->Tp.data[3].TpNo, t3.TpNo);
    views.ListTpProgs(*db, 3);
    EXPECT_EQ(Listed(views.TvList), tv0);
    EXPECT_EQ(Listed(views.RadioList), radio0);
    views.ListTpProgs(*db, 0);
    EXPECT_EQ(Listed(views.TvList), tv3);
    EXPECT_EQ(GetU16(db->Prog.rec[tv0[0]], 4), 3);
    ExpectFormsAgree(*db);
}

TEST(SwapPrograms, TracksFollowTheirPrograms) {
    auto db = sample::BuildSample();
    // TV programs 2 and 8 carry two extra tracks each, program 5 none.
    const int a2 = db->ExtraAudioSlot(2, 1), b2 = db->ExtraAudioSlot(2, 2), a8 = db->ExtraAudioSlot(8, 1);
    ASSERT_GE(b2, 0);
    ASSERT_GE(a8, 0);
    ASSERT_EQ(db->ExtraAudioSlot(5, 1), -1);
    const ProgData p2 = db->Prog.data[2], p5 = db->Prog.data[5];

    SwapPrograms(*db, 2, 5);
    EXPECT_EQ(db->Prog.data[5], p2);
    EXPECT_EQ(db->Prog.data[2], p5);
    EXPECT_EQ(db->ExtraAudioSlot(5, 1), a2);
    EXPECT_EQ(db->ExtraAudioSlot(5, 2), b2);
    EXPECT_EQ(db->ExtraAudioSlot(2, 1), -1);
    EXPECT_EQ(GetU16(db->Audio.rec[a2], 2), 5);

    SwapPrograms(*db, 5, 8);
    EXPECT_EQ(db->ExtraAudioSlot(8, 1), a2);
    EXPECT_EQ(db->ExtraAudioSlot(5, 1), a8);
    ExpectFormsAgree(*db);
}

TEST(SwapChecks, RefuseSlotsNotInUseTheSameSlotAndMixedPairs) {
    auto db = sample::BuildSample();
    EXPECT_TRUE(CheckSatSwap(*db, 0, 5).ok());
    EXPECT_FALSE(CheckSatSwap(*db, 0, 0).ok());
    EXPECT_FALSE(CheckSatSwap(*db, 0, 6).ok()); // SatCount is 6
    EXPECT_FALSE(CheckSatSwap(*db, -1, 2).ok());

    EXPECT_TRUE(CheckTpSwap(*db, 0, 9).ok());
    EXPECT_FALSE(CheckTpSwap(*db, 0, 10).ok()); // satellites 0 and 1
    EXPECT_NE(CheckTpSwap(*db, 0, 10).message().find("different satellites"), std::string::npos);
    EXPECT_FALSE(CheckTpSwap(*db, 0, 35).ok()); // free slot
    EXPECT_FALSE(CheckTpSwap(*db, 4, 4).ok());

    EXPECT_TRUE(CheckProgSwap(*db, 0, 29).ok());
    EXPECT_FALSE(CheckProgSwap(*db, 0, 30).ok());  // TV and radio
    EXPECT_FALSE(CheckProgSwap(*db, 30, 40).ok()); // ProgCount is 40
    EXPECT_FALSE(CheckProgSwap(*db, 3, 3).ok());
    EXPECT_EQ(CheckProgSwap(*db, 30, 40).message(), "There is no program in slot 40!");
}

TEST(DragGuards, SatelliteGrid) {
    const int n = 7; // "Show ALL Info" and six satellites
    EXPECT_TRUE(SatDragStep(2, {.selectedRow = 3, .rowCount = n, .focused = true}).taken);
    EXPECT_FALSE(SatDragStep(2, {.selectedRow = 3, .rowCount = n, .focused = false}).taken); // down needs the focus
    EXPECT_TRUE(SatDragStep(3, {.selectedRow = 2, .rowCount = n, .focused = false}).taken);  // up does not
    EXPECT_FALSE(SatDragStep(2, {.selectedRow = 1, .rowCount = n, .focused = true}).taken);  // row 1 is never a target
    EXPECT_FALSE(SatDragStep(0, {.selectedRow = 1, .rowCount = n, .focused = true}).taken);
    EXPECT_TRUE(
        SatDragStep(1, {.selectedRow = 2, .rowCount = n, .focused = true}).taken); // the first satellite can move down
    EXPECT_FALSE(SatDragStep(6, {.selectedRow = 7, .rowCount = n, .focused = true}).taken);
    EXPECT_FALSE(SatDragStep(3, {.selectedRow = 5, .rowCount = n, .focused = true}).taken); // not a neighbour
    const DragStep s = SatDragStep(4, {.selectedRow = 5, .rowCount = n, .focused = true});
    EXPECT_EQ(s.row, 5);
    EXPECT_EQ(s.otherRow, 4);
    EXPECT_EQ(s.nextDragRow, 5);
}

TEST(DragGuards, TransponderGrid) {
    const int n = 6;
    EXPECT_FALSE(
        TpDragStep(0, 2, {.selectedRow = 3, .rowCount = n, .focused = true}).taken); // "Show ALL Info" selected
    EXPECT_TRUE(TpDragStep(2, 2, {.selectedRow = 3, .rowCount = n, .focused = true}).taken);
    EXPECT_FALSE(TpDragStep(2, 2, {.selectedRow = 3, .rowCount = n, .focused = false}).taken);
    EXPECT_TRUE(TpDragStep(2, 3, {.selectedRow = 2, .rowCount = n, .focused = false}).taken);
    EXPECT_TRUE(TpDragStep(2, 2, {.selectedRow = 1, .rowCount = n, .focused = false}).taken); // row 1 is a target here
    EXPECT_FALSE(TpDragStep(2, 1, {.selectedRow = 0, .rowCount = n, .focused = true}).taken);
    EXPECT_FALSE(TpDragStep(2, 5, {.selectedRow = 6, .rowCount = n, .focused = true}).taken);
}

TEST(DragGuards, ProgramGrids) {
    const int n = 6; // header and five programs
    EXPECT_TRUE(ProgDragStep(2, {.selectedRow = 3, .rowCount = n, .focused = true, .markingMode = false}).taken);
    EXPECT_TRUE(ProgDragStep(3, {.selectedRow = 4, .rowCount = n, .focused = true, .markingMode = false}).taken);
    EXPECT_FALSE(ProgDragStep(4, {.selectedRow = 5, .rowCount = n, .focused = true, .markingMode = false})
                     .taken); // the last row is never a target
    EXPECT_FALSE(ProgDragStep(2, {.selectedRow = 1, .rowCount = n, .focused = true, .markingMode = false})
                     .taken); // nor the first
    EXPECT_TRUE(ProgDragStep(1, {.selectedRow = 2, .rowCount = n, .focused = true, .markingMode = false})
                    .taken); // but both can be left
    EXPECT_TRUE(ProgDragStep(5, {.selectedRow = 4, .rowCount = n, .focused = true, .markingMode = false}).taken);
    EXPECT_FALSE(ProgDragStep(2, {.selectedRow = 3, .rowCount = n, .focused = false, .markingMode = false}).taken);
    EXPECT_FALSE(
        ProgDragStep(2, {.selectedRow = 3, .rowCount = n, .focused = true, .markingMode = true}).taken); // marking mode
    for (int d = 0; d < 4; ++d)
        for (int r = 0; r < 4; ++r)
            EXPECT_FALSE(
                ProgDragStep(d, {.selectedRow = r, .rowCount = 3, .focused = true, .markingMode = false}).taken)
                << d << r;
}

TEST(DragSatellites, StopsAtRowTwoAndMovesOnePlacePerRow) {
    testdb::Views views;
    auto db = sample::BuildSample();
    for (int s = 0; s < db->SatCount; ++s) views.SatList.push_back(s);
    std::vector<std::string> names;
    for (int s = 0; s < db->SatCount; ++s) names.push_back(db->Sat.data[s].Name);
    const int n = db->SatCount + 1;

    DragRows rows;
    rows.MouseDown(GridFocus::Sat, {.Sat = 3, .Tp = 0, .Tv = 0, .Radio = 0}, false);
    EXPECT_TRUE(DragSatellites(*db, views.SatList, rows, {.selectedRow = 2, .rowCount = n, .focused = true}).taken);
    EXPECT_FALSE(DragSatellites(*db, views.SatList, rows, {.selectedRow = 1, .rowCount = n, .focused = true}).taken);
    EXPECT_EQ(rows.Sat, 2);
    EXPECT_EQ(db->Sat.data[1].Name, names[2]);
    EXPECT_EQ(db->Sat.data[2].Name, names[1]);

    rows.MouseDown(GridFocus::Sat, {.Sat = 2, .Tp = 0, .Tv = 0, .Radio = 0}, false);
    for (int r = 3; r <= 5; ++r)
        EXPECT_TRUE(DragSatellites(*db, views.SatList, rows, {.selectedRow = r, .rowCount = n, .focused = true}).taken)
            << r;
    EXPECT_EQ(db->Sat.data[4].Name, names[2]);
    EXPECT_EQ(db->Sat.data[1].Name, names[1]);
    EXPECT_EQ(db->Sat.data[3].Name, names[4]);
    ExpectFormsAgree(*db);
}

TEST(DragTransponders, NeedASingleSatelliteShown) {
    testdb::Views views;
    auto db = sample::BuildSample();
    views.ListSatTps(*db, 0);
    const int n = int(views.TpList.size()) + 1;
    const std::string f0 = db->Tp.data[views.TpList[0]].Freq;
    DragRows rows;
    rows.MouseDown(GridFocus::Tp, {.Sat = 0, .Tp = 1, .Tv = 0, .Radio = 0}, false);
    EXPECT_FALSE(DragTransponders(*db, views.TpList, rows, {.selectedRow = 2, .rowCount = n, .focused = true}).taken);
    rows.MouseDown(GridFocus::Tp, {.Sat = 1, .Tp = 1, .Tv = 0, .Radio = 0}, false);
    EXPECT_TRUE(DragTransponders(*db, views.TpList, rows, {.selectedRow = 2, .rowCount = n, .focused = true}).taken);
    EXPECT_EQ(db->Tp.data[views.TpList[1]].Freq, f0);
}

TEST(DragPrograms, ExchangeGlobalPositionsAndDoNothingInAMarkingMode) {
    testdb::Views views;
    auto db = Build({{"A", false, 0}, {"B", false, 1}, {"C", false, 0}, {"D", false, 0}, {"R", true, 0}});
    views.ListTpProgs(*db, 0); // TV rows 1..3 show slots 0, 2, 3
    ASSERT_EQ(Listed(views.TvList), (std::vector<int>{0, 2, 3}));
    DragRows rows;
    rows.MouseDown(GridFocus::Tv, {.Sat = 0, .Tp = 0, .Tv = 1, .Radio = 0},
                   true); // marking mode: the row is not remembered
    EXPECT_EQ(rows.Tv, 0);
    EXPECT_FALSE(
        DragTvPrograms(*db, views.TvList, rows, {.selectedRow = 2, .rowCount = 4, .focused = true, .markingMode = true})
            .taken);

    rows.MouseDown(GridFocus::Tv, {.Sat = 0, .Tp = 0, .Tv = 1, .Radio = 0}, false);
    EXPECT_TRUE(DragTvPrograms(*db, views.TvList, rows,
                               {.selectedRow = 2, .rowCount = 4, .focused = true, .markingMode = false})
                    .taken);
    EXPECT_EQ(Origins(*db), (std::vector<int>{2, 1, 0, 3, 4})); // slot 1 lies between and stays
    EXPECT_FALSE(DragTvPrograms(*db, views.TvList, rows,
                                {.selectedRow = 3, .rowCount = 4, .focused = true, .markingMode = false})
                     .taken);

    // The radio grid's lists are its own.
    views.ListAllProgs(*db);
    rows.MouseDown(GridFocus::Radio, {.Sat = 0, .Tp = 0, .Tv = 0, .Radio = 1}, false);
    EXPECT_FALSE(DragRadioPrograms(*db, views.RadioList, rows,
                                   {.selectedRow = 2, .rowCount = 2, .focused = true, .markingMode = false})
                     .taken);
}

TEST(SortByName, CollatesIgnoringLeadingBlanksAndKeepsTheOtherKind) {
    NameCollator c("C");
    auto db = Build({{" BBC"}, {"Radio", true}, {"ARD"}, {"abc"}, {"ABC"}, {"\x01Zulu"}, {"Yankee"}});
    SortPrograms(*db, ProgKind::Tv, SortKey::Name, c);
    EXPECT_EQ(Origins(*db), (std::vector<int>{4, 1, 2, 0, 6, 5, 3}));
    EXPECT_EQ(db->Prog.data[3].Name, " BBC"); // the name itself is not changed
    ExpectFormsAgree(*db);
}

TEST(SortByName, AmongEqualNamesTheLatestSlotIsPlacedFirst) {
    NameCollator c("C");
    auto db = Build({{"Same"}, {"Same"}, {"Same"}});
    SortPrograms(*db, ProgKind::Tv, SortKey::Name, c);
    // The selection sort takes the last equal name for each place in turn.
    EXPECT_EQ(Origins(*db), (std::vector<int>{2, 0, 1}));

    // Equal names in slots 3 and 7 with nothing smaller after them: slot 7 first.
    auto pair = Build({{"A"}, {"B"}, {"C"}, {"Same"}, {"T"}, {"U"}, {"V"}, {"Same"}});
    SortPrograms(*pair, ProgKind::Tv, SortKey::Name, c);
    EXPECT_EQ(Origins(*pair), (std::vector<int>{0, 1, 2, 7, 3, 4, 5, 6}));

    // An exchange can carry an equal name behind its twin first.
    auto moved = Build({{"X"}, {"X"}, {"Radio", true}, {"A"}});
    SortPrograms(*moved, ProgKind::Tv, SortKey::Name, c);
    EXPECT_EQ(Origins(*moved), (std::vector<int>{3, 0, 2, 1}));
}

TEST(SortByFav, LowestGroupFirstAndUngroupedLast) {
    auto db = Build({{"none0"},
                     {"g2g5", false, 0, 0x0012},
                     {"g5", false, 0, 0x0010},
                     {"g1", false, 0, 0x0001},
                     {"none4"},
                     {"radio g1", true, 0, 0x0001},
                     {"g16", false, 0, 0x8000}});
    sample::AddAudio(*db, 1, 300, "eng");
    sample::AddAudio(*db, 3, 301, "fra");
    sample::AddAudio(*db, 1, 302, "deu");
    const auto owners = TrackOwners(*db);
    SortPrograms(*db, ProgKind::Tv, SortKey::Fav);
    EXPECT_EQ(Origins(*db), (std::vector<int>{3, 1, 2, 6, 0, 5, 4}));
    EXPECT_EQ(TrackOwners(*db), owners);
    EXPECT_EQ(db->Audio.data[db->ExtraAudioSlot(0, 1)].Lang, "fra");
    EXPECT_EQ(GetU16(db->Audio.rec[db->ExtraAudioSlot(0, 1)], 2), 0);
    ExpectFormsAgree(*db);
}

TEST(SortByTp, TransponderSlotOrderThenOrphansAndNothingLost) {
    auto db = Build({{"t2a", false, 2},
                     {"t0a", false, 0},
                     {"t2b", false, 2},
                     {"orphan", false, 7},
                     {"t0b", false, 0},
                     {"radio", true, 0},
                     {"t1", false, 1}});
    SortPrograms(*db, ProgKind::Tv, SortKey::Tp);
    EXPECT_EQ(Origins(*db), (std::vector<int>{1, 4, 6, 0, 2, 5, 3}));
    EXPECT_EQ(db->ProgCount, 7);
}

TEST(Sorts, EverySortPermutesOnlyItsKindAndKeepsTracksAndContents) {
    for (const ProgKind kind : {ProgKind::Tv, ProgKind::Radio}) {
        for (const SortKey key : {SortKey::Name, SortKey::Fav, SortKey::Tp}) {
            auto db = sample::BuildSample();
            // A program on a transponder slot that is not in use.
            db->Prog.rec[11][4] = 200;
            db->Prog.data[11] = DecodeProg(db->Prog.rec[11], db->Tp);
            const auto before = std::make_unique<Database>(*db);
            const auto owners = TrackOwners(*db);
            SortPrograms(*db, kind, key, NameCollator("C"));

            std::multiset<std::string> kindBefore, kindAfter;
            for (int p = 0; p < db->ProgCount; ++p) {
                const bool inKind = (before->Prog.data[p].IsRadio != 0) == (kind == ProgKind::Radio);
                EXPECT_EQ(db->Prog.data[p].IsRadio, before->Prog.data[p].IsRadio) << p;
                if (!inKind) {
                    EXPECT_EQ(db->Prog.rec[p], before->Prog.rec[p]) << p;
                }
                const auto record = std::string(db->Prog.rec[p].begin(), db->Prog.rec[p].end());
                const auto old = std::string(before->Prog.rec[p].begin(), before->Prog.rec[p].end());
                if (inKind) {
                    kindAfter.insert(record);
                    kindBefore.insert(old);
                }
            }
            EXPECT_EQ(kindAfter, kindBefore);
            EXPECT_EQ(TrackOwners(*db), owners);
            EXPECT_EQ(db->ProgCount, before->ProgCount);
            ExpectFormsAgree(*db);
        }
    }
}

TEST(Sorts, ListsAfterASortFollowTheSatelliteGrid) {
    auto db = sample::BuildSample();
    const ProgLists all = ListProgsAfterSort(*db, -1);
    EXPECT_EQ(int(all.tv.size()) + int(all.radio.size()), db->ProgCount);
    const ProgLists one = ListProgsAfterSort(*db, 1);
    EXPECT_FALSE(one.tv.empty());
    for (int p : one.tv) EXPECT_EQ(db->Prog.data[p].SatIndex, 1);
}

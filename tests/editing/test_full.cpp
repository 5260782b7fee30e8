// Every model operation on a database with every table at its capacity:
// 64 satellites, 2,200 transponders, 3,000 programs and 1,000 audio tracks.
// Adds are refused with their messages and change nothing; deletes, resets,
// imports, exchanges, sorts, marks and edits work at the table ends, and the
// result is consistent and survives a save.
#include "TestDb.h"

#include "base/Messages.h"
#include "editing/Consistency.h"
#include "editing/EditorFields.h"
#include "editing/Entries.h"
#include "editing/IniImport.h"
#include "editing/Marks.h"
#include "editing/Reorder.h"

#include <gtest/gtest.h>

using namespace dbase;

namespace {

class Full : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = sample::BuildFull(11);
        ASSERT_EQ(db_->TpCount, kTpSlots);
        ASSERT_EQ(db_->ProgCount, kProgSlots);
        ASSERT_EQ(db_->AudioCount, kAudioSlots);
    }

    // The model is consistent and a save gives back the same records.
    void ExpectSound() {
        testdb::ExpectConsistent(*db_);
        const RoundTrip r = SaveAndReopen(*db_, SaveMode::Channel);
        ASSERT_TRUE(r.saved.ok()) << r.saved.message();
        EXPECT_TRUE(r.differences.empty()) << r.differences.front();
    }

    std::unique_ptr<Database> db_;
};

const TpValues kTp{11000, 27500, 0, 3};

ProgValues NewProg() {
    ProgValues v;
    v.name = "New";
    v.vid = 100;
    v.aud = 101;
    v.pcr = 100;
    return v;
}

std::string IniWith(int transponders) {
    std::string text = "[SATTYPE]\n1=0192\n2=Imported\n[DVB]\n0=" + std::to_string(transponders) + "\n";
    for (int i = 1; i <= transponders; ++i)
        text += std::to_string(i) + "=" + std::to_string(10700 + i) + ",V,27500,34\n";
    return text;
}

} // namespace

TEST_F(Full, AddsAreRefusedWithTheirMessagesAndChangeNothing) {
    const auto before = testdb::Copy(*db_);
    int slot = -1;
    EXPECT_EQ(AddTransponder(*db_, SatSlot(0), kTp, &slot).message(), msg::MaxTransponders);
    EXPECT_EQ(AddProgram(*db_, TpSlot(0), false, NewProg(), &slot).message(), msg::MaxPrograms);
    EXPECT_EQ(AddProgram(*db_, TpSlot(0), true, NewProg(), &slot).message(), msg::MaxPrograms);
    // Each limit is told as one kind of refusal.
    EXPECT_EQ(AddTransponder(*db_, SatSlot(0), kTp, &slot).code(), StatusCode::Full);
    EXPECT_EQ(AddProgram(*db_, TpSlot(0), false, NewProg(), &slot).code(), StatusCode::Full);
    EXPECT_EQ(slot, -1);
    EXPECT_EQ(db_->Tp.rec, before->Tp.rec);
    EXPECT_EQ(db_->Prog.rec, before->Prog.rec);
    EXPECT_EQ(db_->TpCount, kTpSlots);
    EXPECT_EQ(db_->ProgCount, kProgSlots);
}

TEST_F(Full, AFreedSlotTakesTheNextAdd) {
    const int sat = db_->Tp.data[100].SatIndex;
    DeleteTransponder(*db_, TpSlot(100), SatSlot(sat));
    ASSERT_LT(db_->ProgCount, kProgSlots);
    int slot = -1;
    ASSERT_TRUE(AddTransponder(*db_, SatSlot(sat), kTp, &slot).ok());
    EXPECT_EQ(slot, 100);
    EXPECT_EQ(db_->Tp.data[slot].TpNo, db_->SatTpCounts[sat]);
    EXPECT_EQ(AddTransponder(*db_, SatSlot(sat), kTp).message(), msg::MaxTransponders);

    const int progs = db_->ProgCount;
    ASSERT_TRUE(AddProgram(*db_, TpSlot(slot), true, NewProg(), &slot).ok());
    EXPECT_EQ(slot, progs);
    ExpectSound();
}

TEST_F(Full, DeletesAtBothEndsOfEveryTable) {
    DeleteProgram(*db_, kProgSlots - 1);
    DeleteProgram(*db_, 0);
    EXPECT_EQ(db_->ProgCount, kProgSlots - 2);
    // Program 0 had the first extra track; the others moved down with their programs.
    EXPECT_EQ(db_->AudioCount, kAudioSlots - 1);
    EXPECT_EQ(db_->Audio.data[0].ProgIndex, 2u);

    DeleteTransponder(*db_, TpSlot(kTpSlots - 1), SatSlot(db_->Tp.data[kTpSlots - 1].SatIndex));
    DeleteTransponder(*db_, TpSlot(0), SatSlot(db_->Tp.data[0].SatIndex));
    EXPECT_EQ(db_->TpCount, kTpSlots - 2);
    ExpectSound();
}

TEST_F(Full, EmptyTranspondersResetAndClear) {
    testdb::Views views;
    views.ListAllTps(*db_);
    EXPECT_TRUE(EmptyTransponders(*db_, views.TpList).empty()) << "every transponder carries a program";
    // Transponders 2000 .. 2199 carry one program each, the last ones.
    while (db_->ProgCount > 2000) DeleteProgram(*db_, db_->ProgCount - 1);
    views.ListAllTps(*db_);
    const std::vector<int> empty = EmptyTransponders(*db_, views.TpList);
    EXPECT_EQ(empty.size(), 200u);
    EXPECT_EQ(DeleteTransponders(*db_, empty), 200);
    EXPECT_EQ(db_->TpCount, kTpSlots - 200);

    ResetSatellite(*db_, 63);
    EXPECT_EQ(db_->Sat.data[63].Name, "NEWSAT");
    EXPECT_EQ(db_->SatTpCounts[63], 1);
    EXPECT_GE(ClearSatTransponders(*db_, 0), 0);
    EXPECT_EQ(db_->SatTpCounts[0], 1);
    ExpectSound();
}

TEST_F(Full, ImportsFitOnlyInTheSlotsTheSatelliteFrees) {
    const int sat = 5;
    const int own = db_->SatTpCounts[sat];
    const auto before = testdb::Copy(*db_);
    EXPECT_EQ(ImportIni(*db_, sat, ParseIniText(IniWith(own + 1))).message(), msg::IniTpExceed);
    EXPECT_EQ(db_->Tp.rec, before->Tp.rec);
    EXPECT_EQ(db_->Sat.rec, before->Sat.rec);
    EXPECT_EQ(db_->ProgCount, kProgSlots);

    ASSERT_TRUE(ImportIni(*db_, sat, ParseIniText(IniWith(own))).ok());
    EXPECT_EQ(db_->TpCount, kTpSlots);
    EXPECT_EQ(db_->SatTpCounts[sat], own);
    EXPECT_EQ(db_->Sat.data[sat].Name, "Imported");
    ExpectSound();
}

TEST_F(Full, ExchangesAndSortsAtTheTableEnds) {
    testdb::Views views;
    ASSERT_TRUE(CheckSatSwap(*db_, 0, 63).ok());
    SwapSatellites(*db_, 0, 63);
    views.ListSatTps(*db_, 0);
    const int a = views.TpList[0], b = views.TpList[int(views.TpList.size()) - 1];
    ASSERT_TRUE(CheckTpSwap(*db_, a, b).ok());
    SwapTransponders(*db_, a, b);
    // Slots 0 and 2999 hold a TV program and a radio program.
    EXPECT_FALSE(CheckProgSwap(*db_, 0, kProgSlots - 1).ok());
    ASSERT_TRUE(CheckProgSwap(*db_, 0, kProgSlots - 2).ok());
    SwapPrograms(*db_, 0, kProgSlots - 2);
    const NameCollator bytes("C");
    for (ProgKind kind : {ProgKind::Tv, ProgKind::Radio})
        for (SortKey key : {SortKey::Name, SortKey::Fav, SortKey::Tp}) {
            const std::vector<int> slots = KindSlots(*db_, kind);
            SortPrograms(*db_, kind, key, bytes);
            EXPECT_EQ(KindSlots(*db_, kind), slots);
        }
    EXPECT_EQ(db_->ProgCount, kProgSlots);
    EXPECT_EQ(db_->AudioCount, kAudioSlots);
    ExpectSound();
}

TEST_F(Full, MarksLocksAndEditsOfTheLastEntries) {
    const int last = kProgSlots - 1;
    for (int button = 0; button < kMarkButtonCount; ++button) EXPECT_TRUE(ToggleMarks(*db_, last, button));
    EXPECT_FALSE(ToggleMarks(*db_, kProgSlots, 0));
    EXPECT_TRUE(SetFavLock(*db_, 15, true));

    ProgInput prog = ShowProgram(*db_, last);
    prog.name = "Last program";
    ProgValues pv;
    ASSERT_FALSE(CheckProgram(prog, pv));
    ChangeProgram(*db_, last, pv);

    TpValues tv;
    ASSERT_FALSE(CheckTransponder(ShowTransponder(*db_, kTpSlots - 1), tv));
    tv.freq = 12750;
    ChangeTransponder(*db_, kTpSlots - 1, tv);

    SatInput sat = ShowSatellite(*db_, 63).input;
    sat.name = "Last satellite";
    sat.longitude = "359.9";
    SatValues sv;
    ASSERT_FALSE(CheckSatellite(sat, sv));
    ChangeSatellite(*db_, 63, sv);
    ASSERT_TRUE(SetFavName(*db_, 15, "Last group").ok());

    EXPECT_EQ(db_->Prog.data[last].Name, "Last program");
    EXPECT_EQ(db_->Tp.data[kTpSlots - 1].Freq, "12750");
    EXPECT_EQ(db_->Sat.data[63].Longitude, "359.9");
    ExpectSound();
}

#include "SampleData.h"
#include "base/Bits.h"
#include "editing/Marks.h"
#include "format/Image.h"
#include "viewlogic/MarkButtons.h"

#include <gtest/gtest.h>

using namespace dbase;

namespace {

// The decoded record of program `slot` as its stored bytes give it.
ProgData Redecoded(const Database& db, int slot) { return DecodeProg(db.Prog.rec[slot], db.Tp); }

} // namespace

TEST(ToggleMarks, FlipsEachMarkInBothForms) {
    auto db = sample::BuildSample();
    const int slot = 4;
    const ProgData before = db->Prog.data[slot];

    ASSERT_TRUE(ToggleMarks(*db, slot, 2)); // favourite group 3 is bit 2, character 14
    EXPECT_EQ(db->Prog.data[slot].FavMask[13], before.FavMask[13] == '1' ? '0' : '1');
    EXPECT_EQ(GetU16(db->Prog.rec[slot], 18), FavMaskValue(before.FavMask) ^ 0x0004);
    EXPECT_EQ(Redecoded(*db, slot), db->Prog.data[slot]);

    ASSERT_TRUE(ToggleMarks(*db, slot, kLockButton));
    EXPECT_EQ(db->Prog.data[slot].Lock, before.Lock ? 0 : 1);
    ASSERT_TRUE(ToggleMarks(*db, slot, kSkipButton));
    EXPECT_EQ(db->Prog.data[slot].Skip, before.Skip ? 0 : 1);
    EXPECT_EQ(Redecoded(*db, slot), db->Prog.data[slot]);

    // Group 16 is the first character and the top bit.
    ASSERT_TRUE(ToggleMarks(*db, slot, 15));
    EXPECT_EQ(db->Prog.data[slot].FavMask[0], before.FavMask[0] == '1' ? '0' : '1');
    EXPECT_EQ(Redecoded(*db, slot), db->Prog.data[slot]);
}

TEST(ToggleMarks, LeavesTheBitsAroundTheMarksAlone) {
    auto db = sample::BuildSample();
    const int slot = 0;
    db->Prog.rec[slot][22] = 0xFC; // bits 7..2 are not the program's marks
    db->Prog.data[slot] = Redecoded(*db, slot);
    ToggleMarks(*db, slot, kLockButton);
    ToggleMarks(*db, slot, kSkipButton);
    EXPECT_EQ(db->Prog.rec[slot][22], 0xFF);
    ToggleMarks(*db, slot, kLockButton);
    EXPECT_EQ(db->Prog.rec[slot][22], 0xFE);
}

TEST(ToggleMarks, TwoClicksRestoreTheMarkButTheDataStaysChanged) {
    auto db = sample::BuildSample();
    const ProgRec before = db->Prog.rec[7];
    ToggleMarks(*db, 7, 0);
    ToggleMarks(*db, 7, 0);
    EXPECT_EQ(db->Prog.rec[7], before);
}

TEST(ToggleMarks, ChangesNothingInBrowseModeOrOutsideThePrograms) {
    auto db = sample::BuildSample();
    const ProgRec before = db->Prog.rec[3];
    EXPECT_FALSE(ToggleMarks(*db, 3, kNoMarkButton));
    EXPECT_FALSE(ToggleMarks(*db, db->ProgCount, kLockButton));
    EXPECT_FALSE(ToggleMarks(*db, -1, kLockButton));
    EXPECT_EQ(db->Prog.rec[3], before);
}

TEST(FavLock, LockAndUnlockAreSavedChanges) {
    auto db = sample::BuildSample();
    ASSERT_TRUE(SetFavLock(*db, 2, true));
    EXPECT_EQ(db->FavLocks[2], 1);
    EXPECT_EQ(BuildImage(*db)[img::FavLocks + 2], 1);

    ASSERT_TRUE(SetFavLock(*db, 3, false));
    EXPECT_EQ(db->FavLocks[3], 0);

    EXPECT_FALSE(SetFavLock(*db, -1, true)); // no item selected
    EXPECT_FALSE(SetFavLock(*db, 16, true));
}

TEST(FavList, ItemTextsAndHeights) {
    EXPECT_EQ(FavListItemText(0, "Movie"), "FAV.01 :  Movie");
    EXPECT_EQ(FavListItemText(0, "News  "), "FAV.01 :  News");
    EXPECT_EQ(FavListItemText(2, ""), "FAV.3 :  ");
    EXPECT_EQ(FavListItemText(4, "   "), "FAV.5 :  "); // blanks only count as unnamed
    EXPECT_EQ(FavListItemText(8, "Art"), "FAV.09 :  Art");
    EXPECT_EQ(FavListItemText(9, ""), "FAV.10 :  ");
    EXPECT_EQ(FavListItemText(11, "Etc"), "FAV.12 :  Etc");
    EXPECT_EQ(FavListItemHeight(0), 16);
    EXPECT_EQ(FavListItemHeight(1), 18);
    EXPECT_EQ(FavListItemHeight(2), 20);
    EXPECT_EQ(FavListItemHeight(3), 16);
}

TEST(MarkCaptions, PressedButtonsShowTheStoredGroupName) {
    auto db = NewDatabase();
    sample::NameFav(*db, 0, "Movie  ");
    EXPECT_EQ(SetMarkCaptions(*db, 0, true), (MarkCaptions{"(Edit Status: Movie  )", "(Edit Status: Movie  )"}));
    EXPECT_EQ(SetMarkCaptions(*db, 4, true).tv, "(Edit Status: )");
    EXPECT_EQ(SetMarkCaptions(*db, kSkipButton, true).radio, "(Edit Status: Skip)");
    EXPECT_EQ(SetMarkCaptions(*db, kLockButton, true).tv, "(Edit Status: Lock)");
    EXPECT_EQ(SetMarkCaptions(*db, 0, false), (MarkCaptions{"(Browse Status )", "(Browse Status)"}));
}

TEST(MarkCaptions, MouseDownShowsTheFixedNames) {
    EXPECT_EQ(MouseDownCaptions(kNoMarkButton), (MarkCaptions{"Status:Browse", "Status:Browse"}));
    EXPECT_EQ(MouseDownCaptions(0), (MarkCaptions{"(Edit Status: Movie)", "(Edit Status: Movie)"}));
    EXPECT_EQ(MouseDownCaptions(2), (MarkCaptions{"(Edit Status: Show)", "(Edit Status: show)"}));
    EXPECT_EQ(MouseDownCaptions(8).tv, "(Edit Status: LeiSure)");
    EXPECT_EQ(MouseDownCaptions(11).tv, "(Edit Status: Etc)");
    EXPECT_EQ(MouseDownCaptions(15).radio, "(Edit Status: User D)");
    EXPECT_EQ(MouseDownCaptions(kLockButton), (MarkCaptions{"(Edit Status: Lock)", "(Edit State: Lock)"}));
    EXPECT_EQ(MouseDownCaptions(kSkipButton), (MarkCaptions{"(Edit Status: Skip)", "(Edit Status: Skip)"}));
}

TEST(MarkShade, FollowsTheModeAndTheProgramsMarks) {
    ProgData p;
    p.FavMask = "0000000000000100"; // group 3
    p.Lock = 1;
    EXPECT_EQ(MarkShadeFor(p, kNoMarkButton, 0), MarkShade::Plain);
    EXPECT_EQ(MarkShadeFor(p, 2, MarkFavPosFor(2)), MarkShade::Fav);
    EXPECT_EQ(MarkShadeFor(p, 3, MarkFavPosFor(3)), MarkShade::Plain);
    EXPECT_EQ(MarkShadeFor(p, kLockButton, 0), MarkShade::Lock);
    EXPECT_EQ(MarkShadeFor(p, kSkipButton, 0), MarkShade::Plain);
    EXPECT_EQ(MarkFavPosFor(0), 16);
    EXPECT_EQ(MarkFavPosFor(15), 1);
    EXPECT_EQ(MarkFavPosFor(kLockButton), 0);
}

TEST(MarkButtons, PressingIsExclusiveAndPressingAgainReturnsToBrowse) {
    auto db = sample::BuildSample();
    MarkButtons b;
    EXPECT_FALSE(b.Marking());
    EXPECT_TRUE(b.Click(0, *db, false).accepted);
    EXPECT_EQ(b.Down(), 0);
    EXPECT_EQ(b.MarkFavPos(), 16);
    EXPECT_EQ(b.Captions().tv, "(Edit Status: Movie)");

    b.Click(kLockButton, *db, false);
    EXPECT_EQ(b.Down(), kLockButton);
    EXPECT_EQ(b.MarkFavPos(), 0);
    EXPECT_EQ(b.Captions().radio, "(Edit Status: Lock)");

    b.Click(kLockButton, *db, false);
    EXPECT_FALSE(b.Marking());
    EXPECT_EQ(b.Captions(), (MarkCaptions{"(Browse Status )", "(Browse Status)"}));

    b.Click(15, *db, false);
    EXPECT_EQ(b.MarkFavPos(), 1);
    // Releasing a group's button while the group is listed lists it again.
    EXPECT_EQ(b.Click(15, *db, true).relistGroup, 15);
    EXPECT_EQ(b.MarkFavPos(), 0);
    EXPECT_EQ(b.Click(15, *db, true).relistGroup, -1); // pressed down: no relist
}

TEST(MarkButtons, EnableFavButtons) {
    MarkButtons b;
    b.EnableFavButtons(3);
    for (int i = 0; i < kFavGroups; ++i) EXPECT_EQ(b.IsEnabled(i), i == 3) << i;
    EXPECT_TRUE(b.IsEnabled(kLockButton));
    b.EnableFavButtons(kFavGroups);
    for (int i = 0; i < kFavGroups; ++i) EXPECT_TRUE(b.IsEnabled(i)) << i;
    b.EnableFavButtons(-1);
    for (int i = 0; i < kFavGroups; ++i) EXPECT_FALSE(b.IsEnabled(i)) << i;
}

TEST(MarkButtons, SatelliteClickReleasesOnlyTheFavouriteModes) {
    auto db = sample::BuildSample();
    MarkButtons b;
    b.Click(5, *db, false);
    b.SatRowClicked(2);
    EXPECT_FALSE(b.Marking());
    EXPECT_EQ(b.Captions().tv, "(Browse Status )");

    b.Click(kSkipButton, *db, false);
    b.SatRowClicked(2);
    EXPECT_EQ(b.Down(), kSkipButton);
}

TEST(MarkButtons, PickedGroupTurnsOnItsModeAtTheNextMouseDown) {
    auto db = sample::BuildSample();
    MarkButtons b;
    b.Click(kLockButton, *db, false);
    b.FavGroupClicked(3);
    EXPECT_FALSE(b.Marking());
    EXPECT_EQ(b.Captions().tv, "Status:Browse");
    EXPECT_FALSE(b.IsEnabled(kLockButton));
    EXPECT_FALSE(b.IsEnabled(kSkipButton));
    EXPECT_FALSE(b.IsEnabled(0));
    EXPECT_FALSE(b.Click(0, *db, true).accepted); // only the picked group's button can be pressed
    EXPECT_FALSE(b.Click(kSkipButton, *db, true).accepted);

    EXPECT_TRUE(b.MouseDown(true, 3));
    EXPECT_EQ(b.Down(), 3);
    EXPECT_EQ(b.MarkFavPos(), 13);
    EXPECT_EQ(b.Captions(), (MarkCaptions{"(Edit Status: Sports)", "(Edit Status: Sports)"}));
    EXPECT_FALSE(b.MouseDown(true, 3)); // already down

    // A program click keeps only the picked group's button; a transponder
    // click enables all of them; satellite row 0 brings back lock and skip.
    b.ProgRowClicked(true, 3);
    EXPECT_FALSE(b.IsEnabled(4));
    b.TpRowClicked(true);
    EXPECT_TRUE(b.IsEnabled(4));
    EXPECT_FALSE(b.IsEnabled(kLockButton));
    b.SatRowClicked(1);
    EXPECT_FALSE(b.IsEnabled(kLockButton));
    b.SatRowClicked(0);
    EXPECT_TRUE(b.IsEnabled(kLockButton));
    EXPECT_TRUE(b.IsEnabled(kSkipButton));
}

TEST(MarkButtons, MouseDownWithoutAPickedGroupOnlyRewritesTheCaptions) {
    auto db = sample::BuildSample();
    MarkButtons b;
    EXPECT_FALSE(b.MouseDown(false, -1));
    EXPECT_EQ(b.Captions().tv, "Status:Browse");
    b.Click(kLockButton, *db, false);
    b.MouseDown(false, -1);
    EXPECT_EQ(b.Captions(), (MarkCaptions{"(Edit Status: Lock)", "(Edit State: Lock)"}));
    EXPECT_EQ(b.Down(), kLockButton);
}

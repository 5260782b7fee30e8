// The differences of two databases: a file against itself and after each
// kind of edit.
#include "SampleData.h"
#include "TestDb.h"
#include "editing/Diff.h"
#include "editing/EditorFields.h"
#include "editing/Entries.h"
#include "editing/Marks.h"
#include "editing/Reorder.h"

#include <gtest/gtest.h>

using namespace dbase;

namespace {

// The entries of a section as DiffLines writes them, without the indent.
std::vector<std::string> Entries(const DatabaseDiff& d, DiffSection s) {
    std::vector<std::string> lines;
    for (const DiffEntry& e : d.of(s)) lines.push_back(std::string(DiffKindName(e.kind)) + " " + DiffEntryText(s, e));
    return lines;
}

class Diff : public ::testing::Test {
protected:
    std::unique_ptr<Database> a = sample::BuildSample();
    std::unique_ptr<Database> b = testdb::Copy(*a);
    DatabaseDiff Run() const { return DiffDatabases(*a, *b); }
};

} // namespace

TEST_F(Diff, AFileAgainstItselfIsTheSame) {
    EXPECT_TRUE(Run().Same());
    EXPECT_EQ(DiffLines(Run()), (std::vector<std::string>{"The files are the same."}));
    // Numeric texts compare by value: a high LNB frequency typed with a zero.
    b->Sat.data[4].LnbHigh = "0" + b->Sat.data[4].LnbHigh;
    EXPECT_TRUE(Run().Same());
}

TEST_F(Diff, SatellitesPairByLongitude) {
    SatInput in = ShowSatellite(*b, 1).input;
    in.name = "Hot Bird";
    in.diseqc10 = 3;
    SatValues v;
    ASSERT_FALSE(CheckSatellite(in, v));
    ChangeSatellite(*b, 1, v);
    // Exchanged slots are no change.
    SwapSatellites(*b, 0, 2);
    sample::AddTp(*b, sample::AddSat(*b, {"Eutelsat 7E", 70}), 11000, false, 27500, 3);
    const DatabaseDiff d = Run();
    EXPECT_EQ(Entries(d, DiffSection::Satellites),
              (std::vector<std::string>{"added 7 \"Eutelsat 7E\"",
                                        "changed 13 \"Hot Bird\": Name \"Hot Bird 13.0E\" -> \"Hot Bird\", "
                                        "Diseqc10 1 -> 3"}));
    EXPECT_EQ(Entries(d, DiffSection::Transponders), (std::vector<std::string>{"added 7 11000 H"}));
    EXPECT_TRUE(d.programs.empty());
}

TEST_F(Diff, TranspondersAndTheirProgramsComeAndGo) {
    TpValues v{11523, 27500, 0, 3};
    ChangeTransponder(*b, 2, v); // symbol rate and FEC
    const std::vector<int> onTp0 = TpProgs(*b, 0).tv;
    ASSERT_FALSE(onTp0.empty());
    DeleteTransponder(*b, TpSlot(0), SatSlot(0));
    const DatabaseDiff d = Run();
    EXPECT_EQ(Entries(d, DiffSection::Transponders),
              (std::vector<std::string>{"removed 19.2 11361 H",
                                        "changed 19.2 11523 H: SymRate 22000 -> 27500, FecText 5/6 -> 3/4"}));
    EXPECT_EQ(d.programs.size(), onTp0.size());
    for (const DiffEntry& e : d.programs) EXPECT_EQ(e.kind, DiffKind::Removed);
}

TEST_F(Diff, ADeletionMovesNoOtherProgram) {
    DeleteProgram(*b, 1);
    ToggleMarks(*b, 6, kLockButton);
    ProgValues v;
    ProgInput in = ShowProgram(*b, 0);
    in.name = "Alpen";
    ASSERT_FALSE(CheckProgram(in, v));
    ChangeProgram(*b, 0, v);
    const DatabaseDiff d = Run();
    EXPECT_EQ(Entries(d, DiffSection::Programs),
              (std::vector<std::string>{"removed tv 19.2 11739 V 1007 \"Nordlicht HD\" (NO.2)",
                                        "changed tv 19.2 11361 H 1000 \"Alpen\" (NO.1): Name \"Alpen TV\" -> \"Alpen\"",
                                        "changed tv 28.2 11222 H 1049 \"Kino Eins\" (NO.7): Lock 1 -> 0"}));
}

TEST_F(Diff, MovesAdditionsAndProgramsOnAnotherTransponder) {
    SwapPrograms(*b, 2, 4);
    int added = -1;
    ProgValues v;
    v.name = "Neu";
    ASSERT_TRUE(AddProgram(*b, TpSlot(5), true, v, &added).ok());
    // Program 0 goes to another transponder of its satellite: it is found by its name.
    b->Prog.data[0].TpIndex = 3;
    const DatabaseDiff d = Run();
    EXPECT_EQ(Entries(d, DiffSection::Programs),
              (std::vector<std::string>{"added radio 19.2 11953 H 0 \"Neu\" (NO.11)",
                                        "changed tv 19.2 11739 V 1000 \"Alpen TV\" (NO.1): Transponder \"11361 H\" -> "
                                        "\"11739 V\"",
                                        "moved tv 13 11034 V 1028 \"Bergblick\": position 5 -> 3 (NO.5 -> NO.3)",
                                        "moved tv 19.2 12109 H 1014 \"Rhein 24\": position 3 -> 5 (NO.3 -> NO.5)"}));
    const DiffEntry& moved = d.programs[2];
    EXPECT_EQ(moved.key.front().second.text, "tv");
}

TEST_F(Diff, FavouriteGroupsByNameAndLock) {
    ASSERT_TRUE(SetFavName(*b, 2, "Kids").ok());
    SetFavLock(*b, 3, false);
    EXPECT_EQ(Entries(Run(), DiffSection::Favourites),
              (std::vector<std::string>{"changed group 3 \"Kids\": Name \"\" -> \"Kids\"",
                                        "changed group 4 \"Sports\": Locked 1 -> 0"}));
}

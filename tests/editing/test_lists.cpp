// Program lists in and out: the CSV reader, the matching of rows to
// programs, export and import, reference lists and duplicates.
#include "SampleData.h"
#include "TestDb.h"
#include "base/Bits.h"
#include "base/Csv.h"
#include "editing/Consistency.h"
#include "editing/EditorFields.h"
#include "editing/Lists.h"
#include "editing/Marks.h"
#include "editing/Reorder.h"

#include <gtest/gtest.h>

using namespace dbase;

namespace {

std::vector<std::string> Names(const Database& db, bool radio) {
    std::vector<std::string> names;
    const ProgLists lists = AllProgs(db);
    for (int p : lists.of(radio)) names.push_back(db.Prog.data[p].Name);
    return names;
}

// Two satellites; transponders 0 (11000 H) and 1 (11100 V) on the first,
// 2 (12000 H) on the second. Each program is (name, transponder, sid).
struct P {
    std::string name;
    int tp;
    int sid;
    bool radio = false;
};
std::unique_ptr<Database> Build(const std::vector<P>& ps) {
    auto db = testdb::Empty();
    const int a = sample::AddSat(*db, {"Alpha", 192});
    const int b = sample::AddSat(*db, {"Beta", 130});
    sample::AddTp(*db, a, 11000, false, 27500, 3);
    sample::AddTp(*db, a, 11100, true, 27500, 3);
    sample::AddTp(*db, b, 12000, false, 22000, 2);
    for (const P& p : ps) {
        sample::ProgSpec s = testdb::Prog(p.name, p.radio);
        s.sid = p.sid;
        sample::AddProg(*db, p.tp, s);
    }
    return db;
}

MatchRow Row(const std::string& lon, const std::string& freq, const std::string& pol, const std::string& sid,
             std::optional<std::string> name = std::nullopt, bool radio = false) {
    return {radio, {lon, freq, pol, sid}, std::move(name)};
}

ListFile Read(const std::string& csv, bool names = false) {
    ListFile list;
    const Status s = ReadListCsv(csv, names, list);
    EXPECT_TRUE(s.ok()) << s.message();
    return list;
}

std::string Refusal(const std::string& csv, bool names = false) {
    ListFile list;
    const Status s = ReadListCsv(csv, names, list);
    EXPECT_FALSE(s.ok()) << csv;
    return s.message();
}

} // namespace

TEST(Csv, ReadsWhatSpreadsheetsWrite) {
    const std::string text = "\xEF\xBB\xBF"
                             "a,b,c\r\n"
                             "\"x, y\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\n"
                             "\r\n"
                             "1,,3\n"
                             ",\"\",last";
    std::vector<CsvRecord> r;
    ASSERT_TRUE(ReadCsv(text, r).ok());
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].fields, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(r[1].fields, (std::vector<std::string>{"x, y", "say \"hi\"", "two\r\nlines"}));
    EXPECT_EQ(r[1].line, 2);
    // The quoted line break counts: the empty line is 4 and skipped.
    EXPECT_EQ(r[2].line, 5);
    EXPECT_EQ(r[2].fields, (std::vector<std::string>{"1", "", "3"}));
    EXPECT_EQ(r[3].fields, (std::vector<std::string>{"", "", "last"}));

    for (const auto& [bad, message] : std::vector<std::pair<std::string, std::string>>{
             {"a,b\n1,\"open\n2,3\n", "Line 2 of the list: a quoted field is not closed."},
             {"a,b\n\"x\"y,1\n", "Line 2 of the list: a quoted field goes on after its closing quote."},
             {"a,b\n\n\nx\"y,1\n", "Line 4 of the list: a quote in a field that is not quoted."}}) {
        const Status s = ReadCsv(bad, r);
        EXPECT_EQ(s.message(), message) << bad;
    }
    EXPECT_EQ(CsvField("plain name "), "plain name ");
    EXPECT_EQ(CsvField("a,\"b\""), "\"a,\"\"b\"\"\"");
}

TEST(Matching, KeysCompareNumbersByValueThenNamesOnTheSameSatellite) {
    auto db = Build({{"One", 0, 10}, {"Two", 0, 10}, {"Three", 1, 20}, {"Four", 2, 30}, {"Radio", 0, 10, true}});
    const std::vector<MatchRow> rows = {
        Row("019.20", "011000", "h", " 10 "),       // One: numbers by value, polarisation in any case
        Row("19.2", "11000", "H", "10"),            // Two: the next program with that key
        Row("19.2", "11000", "H", "10"),            // none left with the key, and no name
        Row("19.2", "9999", "V", "77", "Three"),    // Three, by its name on the satellite
        Row("13", "1", "H", "1", "Three"),          // Three is taken; none else of that name
        Row("13", "1", "H", "1", "Four "),          // the name must be exact
        Row("19.2", "11000", "H", "10", "x", true), // the radio program: kinds are apart
    };
    EXPECT_EQ(MatchPrograms(*db, rows), (std::vector<int>{0, 1, -1, 2, -1, -1, 4}));
    EXPECT_EQ(NumberKey(" 0.50 "), "0.5");
    EXPECT_EQ(NumberKey("007"), "7");
    EXPECT_EQ(NumberKey("1.2.3"), "1.2.3");
}

TEST(ListCsv, ExportsEveryColumnInTheWindowsOrder) {
    auto db = Build({{"Radio, One", 0, 5, true}, {"Caf\xE9 TV  ", 2, 7}});
    SetProgramMarks(*db, 1, true, false, uint16_t((1 << 0) | (1 << 3)));
    db->Prog.rec[1][0] &= ~4; // scrambled
    db->Prog.data[1].IsFree = 0;
    const std::string csv = ExportListCsv(*db);
    EXPECT_EQ(csv, "kind,number,slot,name,satellite,longitude,frequency,polarisation,symbol_rate,service_id,video_pid,"
                   "audio_pid,pcr_pid,pmt_pid,scrambled,lock,skip,favourites\r\n"
                   "tv,1,1,Caf\xC3\xA9 TV  ,Beta,13,12000,H,22000,7,100,101,100,102,1,1,0,1 4\r\n"
                   "radio,1,0,\"Radio, One\",Alpha,19.2,11000,H,27500,5,0,101,100,102,0,0,0,\r\n");
}

TEST(ListCsv, ReadsAnyColumnOrderAndRefusesBadCellsWithTheirLine) {
    const std::string head = "Service_ID, Frequency ,polarisation,LONGITUDE,kind,extra,lock,skip,favourites,name\n";
    ListFile list = Read(head + "10,11000,H,19.2,TV,x,1,,1 16  3,A\n\n,,,,,,,,,\n20,11100,V,19.2,radio,,0,1,,B\n");
    ASSERT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(list.rows[0].line, 2);
    EXPECT_EQ(list.rows[0].match.key.serviceId, "10");
    EXPECT_EQ(list.rows[0].lock, std::optional<bool>(true));
    EXPECT_EQ(list.rows[0].skip, std::nullopt);
    EXPECT_EQ(list.rows[0].fav, std::optional<uint16_t>(0x8005));
    EXPECT_EQ(list.rows[1].line, 5);
    EXPECT_TRUE(list.rows[1].match.radio);
    EXPECT_EQ(list.rows[1].fav, std::optional<uint16_t>(0));

    EXPECT_EQ(Refusal("kind,longitude,frequency\n"),
              "Line 1 of the list: the header lacks the columns polarisation, service_id.");
    EXPECT_EQ(Refusal("kind,longitude,frequency,service_id\n"),
              "Line 1 of the list: the header lacks the column polarisation.");
    EXPECT_EQ(Refusal(head + "10,11000,H,19.2,tv,x,1,0\n"),
              "Line 2 of the list: the record has 8 fields, the header 10.");
    EXPECT_EQ(Refusal(head + "10,11000,H,19.2,tv,x,2,0,,A\n"),
              "Line 2 of the list: the lock cell is 0 or 1, not \"2\".");
    EXPECT_EQ(Refusal(head + "\"1\n0\",11000,H,19.2,tv,x,1,yes,,A\n"),
              "Line 2 of the list: the skip cell is 0 or 1, not \"yes\".");
    for (const char* fav : {"17", "0", "1,4", "2a"})
        EXPECT_NE(Refusal(head + "10,11000,H,19.2,tv,x,,,\"" + fav + "\",A\n")
                      .find("Line 2 of the list: the favourites cell holds group numbers 1 to 16"),
                  std::string::npos)
            << fav;
    EXPECT_EQ(Refusal(head + "10,11000,H,19.2,sat,x,,,,A\n"),
              "Line 2 of the list: the kind is tv or radio, not \"sat\".");
    // Names are checked only when they are to be taken.
    const std::string badNames = head + "10,11000,H,19.2,tv,,,,,\n10,11000,H,19.2,tv,,,,,Sixteen letters!\n";
    EXPECT_EQ(Read(badNames).rows.size(), 2u);
    EXPECT_EQ(Refusal(badNames, true), "Line 2 of the list: the name \"\" is refused: It can not be empty!");
    EXPECT_EQ(Refusal(head + "10,11000,H,19.2,tv,,,,,\xE2\x82\xAC\n", true),
              "Line 2 of the list: the name \"\xE2\x82\xAC\" is refused: Illegal Data!");
    EXPECT_EQ(Refusal("kind,longitude,frequency,polarisation,service_id\n", true),
              "Line 1 of the list: the header has no name column to take names from.");
}

TEST(ListOrder, ExportThenImportIntoAReorderedCopyGivesBackOrderMarksAndNames) {
    auto original = sample::BuildSample();
    const std::string csv = ExportListCsv(*original);
    auto copy = testdb::Copy(*original);
    SortPrograms(*copy, ProgKind::Tv, SortKey::Name, NameCollator("C"));
    SortPrograms(*copy, ProgKind::Radio, SortKey::Tp);
    for (int p = 0; p < copy->ProgCount; ++p) {
        SetProgramMarks(*copy, p, p % 2 == 0, p % 3 == 0, uint16_t(p * 37));
        SetProgramName(*copy, p, "Renamed " + std::to_string(p));
    }
    ASSERT_NE(Names(*copy, false), Names(*original, false));

    const ListFile list = Read(csv, true);
    const ListPlan plan = PlanListOrder(*copy, list);
    EXPECT_EQ(ListSummary(plan), "40 matched, 0 rows not found, 0 programs not in the list");
    ApplyListOrder(*copy, list, plan, true);
    EXPECT_EQ(BuildImage(*copy), BuildImage(*original));
    for (int a = 0; a < copy->AudioCount; ++a) EXPECT_EQ(copy->Audio.data[a], original->Audio.data[a]) << "track " << a;
    testdb::ExpectConsistent(*copy);
}

TEST(ListOrder, UnmatchedRowsAndProgramsKeepTheirPlaceAfterTheMatchedOnes) {
    auto db = Build({{"A", 0, 1}, {"B", 0, 2}, {"R", 0, 9, true}, {"C", 1, 3}, {"D", 2, 4}});
    const std::string head = "kind,longitude,frequency,polarisation,service_id,lock\n";
    const ListFile list = Read(head + "tv,13,12000,H,4,1\ntv,19.2,11000,H,99,1\ntv,19.2,11000,H,2,\n");
    const ListPlan plan = PlanListOrder(*db, list);
    EXPECT_EQ(ListSummary(plan), "2 matched, 1 rows not found, 3 programs not in the list");
    EXPECT_EQ(plan.notFoundRows, (std::vector<size_t>{1}));
    ApplyListOrder(*db, list, plan, false);
    EXPECT_EQ(Names(*db, false), (std::vector<std::string>{"D", "B", "A", "C"}));
    EXPECT_EQ(Names(*db, true), (std::vector<std::string>{"R"}));
    EXPECT_EQ(db->Prog.data[0].Name, "D");
    EXPECT_EQ(db->Prog.data[0].Lock, 1);
    // An empty lock cell leaves the mark; no name column, no names.
    EXPECT_EQ(db->Prog.data[1].Lock, 0);
    testdb::ExpectConsistent(*db);
}

TEST(ListOrder, AReferenceFindsProgramsThatMovedToOtherSlotsOrTransponders) {
    // The reference after a new scan: D and B moved to the front, C went to
    // another transponder with another service id; E is new.
    auto ref = Build({{"D", 2, 4}, {"B", 0, 2}, {"C", 0, 33}, {"E", 1, 5}, {"A", 0, 1}});
    SetProgramMarks(*ref, 2, true, true, uint16_t(2));
    auto db = Build({{"A", 0, 1}, {"B", 0, 2}, {"C", 1, 3}, {"D", 2, 4}, {"F", 1, 6}});
    ListFile list;
    ASSERT_TRUE(ListFromDatabase(*ref, false, list).ok());
    const ListPlan plan = PlanListOrder(*db, list);
    EXPECT_EQ(ListSummary(plan), "4 matched, 1 rows not found, 1 programs not in the list");
    ApplyListOrder(*db, list, plan, false);
    EXPECT_EQ(Names(*db, false), (std::vector<std::string>{"D", "B", "C", "A", "F"}));
    EXPECT_EQ(db->Prog.data[2].Lock, 1);
    EXPECT_EQ(db->Prog.data[2].FavMask, "0000000000000010");
    // Read as its export would be: the same rows as the CSV of it gives.
    const ListFile viaCsv = Read(ExportListCsv(*ref), true);
    ASSERT_EQ(viaCsv.rows.size(), list.rows.size());
    for (size_t i = 0; i < list.rows.size(); ++i) {
        EXPECT_EQ(viaCsv.rows[i].line, list.rows[i].line);
        EXPECT_EQ(viaCsv.rows[i].match.name, list.rows[i].match.name);
        EXPECT_EQ(ProgKeyText(viaCsv.rows[i].match.key), ProgKeyText(list.rows[i].match.key));
        EXPECT_EQ(viaCsv.rows[i].fav, list.rows[i].fav);
    }
    // A name the editor refuses stops it with --names.
    SetProgramName(*ref, 3, "");
    EXPECT_EQ(ListFromDatabase(*ref, true, list).message(),
              "The program in slot 3 of the reference file has a name the program editor refuses: It can not be "
              "empty!");
}

TEST(Duplicates, GroupsByKeyAndByNameOnATransponderOnceEach) {
    auto db = Build({{"A", 0, 1},         // 0
                     {"A", 0, 1},         // 1: key and name with 0 -> one group
                     {"B", 1, 2},         // 2
                     {"B", 1, 3},         // 3: name with 2 on transponder 1
                     {"B", 2, 3},         // 4: same name, other transponder: no group
                     {"C", 1, 2},         // 5: key with 2
                     {"A", 0, 1, true}}); // 6: radio, apart from 0 and 1
    const auto groups = DuplicateGroups(*db);
    EXPECT_EQ(groups, (std::vector<std::vector<int>>{{0, 1}, {2, 3}, {2, 5}}));
    EXPECT_EQ(DuplicatesToSelect(groups), (std::vector<int>{1, 3, 5}));
    // The first of one group is never selected as a member of another.
    EXPECT_EQ(DuplicatesToSelect({{2, 7}, {1, 2}}), (std::vector<int>{7}));
}

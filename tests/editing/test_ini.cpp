// Reading satellite .ini files and importing them into a satellite.
#include "TestDb.h"
#include "TestUtil.h"

#include "base/Bits.h"
#include "base/Messages.h"
#include "editing/Consistency.h"
#include "editing/Entries.h"
#include "editing/IniImport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

using namespace dbase;
using sample::AddProg;
using sample::AddSat;
using sample::AddTp;

namespace {

std::string Lines(std::initializer_list<const char*> lines, const char* end = "\r\n") {
    std::string s;
    for (const char* l : lines) s += std::string(l) + end;
    return s;
}

std::string DataFile(const std::string& name) { return std::string(ORBITLIST_TEST_DATA) + "/ini/" + name; }

std::vector<int> SkippedNumbers(const IniFile& f) {
    std::vector<int> numbers;
    for (const SkippedLine& l : f.skippedLines) numbers.push_back(l.line);
    return numbers;
}

} // namespace

TEST(IniFields, GetFieldCountsFromOneOnTheTrimmedLine) {
    EXPECT_EQ(GetField("  1=10719,V,27500  ", '=', 1), "1");
    EXPECT_EQ(GetField("1=10719,V,27500", '=', 2), "10719,V,27500");
    EXPECT_EQ(GetField("a=b=c", '=', 2), "b");
    EXPECT_EQ(GetField("[DVB]", '=', 1), "[DVB]");
    EXPECT_EQ(GetField("[DVB]", '=', 2), "");
    EXPECT_EQ(GetField("10958,H, 6111,34", ',', 3), " 6111");
    EXPECT_EQ(GetField("a,,c", ',', 2), "");
    EXPECT_EQ(GetField("a,b", ',', 3), "");
    EXPECT_EQ(GetField("a,b", ',', 0), "");
    EXPECT_EQ(GetField("a,b", ',', -1), "");
}

TEST(IniFields, OnlyThreeSpellingsOfTheExtension) {
    for (const char* ok : {"0192.ini", "dir/0192.INI", "C:\\sat\\0192.Ini", "a.b.ini"})
        EXPECT_TRUE(HasIniExtension(ok)) << ok;
    for (const char* bad : {"0192.iNi", "0192.inI", "0192.txt", "0192", "ini", "dir.ini/file", "0192.ini.bak"})
        EXPECT_FALSE(HasIniExtension(bad)) << bad;
    EXPECT_EQ(CheckIniExtension("x.txt").message(), "Open a Wrong File,\r\rPlease Open a ini File!");
}

TEST(IniParse, SectionsFoundByLineIndex) {
    const IniFile f = ParseIniText(Lines({"[SATTYPE]", "1=0192", "2=Example Sat,19.2E", "", "[DVB]", "0=2",
                                          "1=11000,H,27500,34", "2=12000,V,22000,56,S2,8PSK"}));
    ASSERT_TRUE(f.status.ok()) << f.status.message();
    EXPECT_EQ(f.satName, "Example Sat");
    EXPECT_EQ(f.satPos, "192");
    EXPECT_EQ(f.satTenths, 192);
    ASSERT_EQ(f.tps.size(), 2u);
    EXPECT_EQ(f.tps[0].freq, "11000");
    EXPECT_EQ(f.tps[0].pol, "H");
    EXPECT_EQ(f.tps[0].sym, "27500");
    EXPECT_EQ(f.tps[0].line, 7);
    EXPECT_EQ(f.tps[1].freqValue, 12000);
    EXPECT_EQ(f.tps[1].symValue, 22000);
    EXPECT_EQ(f.tps[1].fec, "56");
    EXPECT_EQ(f.tps[1].system, "S2");
    EXPECT_EQ(f.tps[1].modulation, "8PSK");
    EXPECT_FALSE(f.truncated);
    EXPECT_TRUE(f.skippedLines.empty());
}

TEST(IniParse, ValueLessLinesAndTheCountLineAreNotTransponders) {
    const IniFile f = ParseIniText(
        Lines({"[SATTYPE]", "1=0130", "2=Hot Bird", "[DVB]", "0=99", "junk line", "3=", "1=10719,V,27500,34"}, "\n"));
    ASSERT_EQ(f.tps.size(), 1u);
    EXPECT_EQ(f.tps[0].line, 8);
}

TEST(IniParse, DvbSectionAtIndexTwoOrLessGivesNoTransponders) {
    const IniFile f = ParseIniText(Lines({"[SATTYPE]", "[DVB]", "0=1", "1=11000,H,27500,34", "2=11100,H,27500,34"}));
    EXPECT_TRUE(f.tps.empty());
}

TEST(IniParse, PolarisationLetters) {
    const IniFile f =
        ParseIniText(Lines({"[SATTYPE]", "1=0100", "2=X", "[DVB]", "0=6", "1=3649,L,20160,23", "2=3656,r,3716,56",
                            "3=3700,h,3000,34", "4=3710,R,3000,34", "5=11604,W,3200,34", "6=3720,l,3000,34"}));
    std::vector<std::string> pols;
    for (const auto& t : f.tps) pols.push_back(t.pol);
    EXPECT_EQ(pols, (std::vector<std::string>{"H", "V", "h", "V", "W", "H"}));
}

TEST(IniParse, NameIsTheFirstFieldCutToEighteen) {
    IniFile f = ParseIniText(Lines({"[SATTYPE]", "1=0192", "2=Twenty five characters!!", "[DVB]"}));
    EXPECT_EQ(f.satName, "Twenty five charac");
    f = ParseIniText(Lines({"[SATTYPE]", "1=0192", "2=  Astra 1B , 1C, 1E", "[DVB]"}));
    EXPECT_EQ(f.satName, "Astra 1B");
    f = ParseIniText(Lines({"[SATTYPE]", "1=0192", "[DVB]"}));
    EXPECT_EQ(f.satName, "");
}

TEST(IniParse, PositionIsTheWholeValueInTenths) {
    const auto pos = [](const char* value) { return ParseIniText(Lines({"[SATTYPE]", value, "2=S", "[DVB]"})); };
    EXPECT_EQ(pos("1=0192").satTenths, 192);
    EXPECT_EQ(pos("1=0130").satTenths, 130);
    EXPECT_EQ(pos("1=1910").satTenths, 1910);
    EXPECT_EQ(pos("1=0031").satTenths, 31);
    EXPECT_EQ(pos("1=3300").satTenths, 3300);
    EXPECT_EQ(pos("1=3600").satTenths, 3600);
    EXPECT_EQ(pos("1= 0192 ").satTenths, 192);
    EXPECT_EQ(pos("1=0192.0").satTenths, 192);
    EXPECT_EQ(pos("1=0031").satPos, "31");
    for (const char* bad : {"1=19.2", "1=abc", "1=3601", "1=-5", "1=0192E", "1=1 92"}) {
        const IniFile f = pos(bad);
        EXPECT_FALSE(f.status.ok()) << bad;
        EXPECT_NE(f.status.message().find("Line 2"), std::string::npos) << f.status.message();
    }
    const IniFile none = ParseIniText(Lines({"[SATTYPE]", "", "", "[DVB]"}));
    EXPECT_TRUE(none.status.ok());
    EXPECT_EQ(none.satPos, "0");
}

TEST(IniParse, UpdateSectionIsSkippedBeforeTheListAndEndsItAfter) {
    const IniFile f = ParseIniText(
        Lines({"", "[UPDATE]", "0=Mar 24, 2018", "1=6652", "2=http://example.org", "", "[SATTYPE]", "1=0192", "2=Astra",
               "", "[DVB]", "0=3", "1=11000,H,27500,34", "[UPDATE]", "2=11100,H,27500,34"}));
    ASSERT_TRUE(f.status.ok());
    EXPECT_EQ(f.satName, "Astra");
    EXPECT_EQ(f.satTenths, 192);
    ASSERT_EQ(f.tps.size(), 1u);
    EXPECT_EQ(f.tps[0].freq, "11000");

    // Without a [SATTYPE] line the lines after the first take its place, but
    // not those of an [UPDATE] section.
    const IniFile bare =
        ParseIniText(Lines({"[UPDATE]", "1=0130", "2=Not a name", "", "[DVB]", "0=1", "1=11000,H,27500,34"}));
    EXPECT_EQ(bare.satName, "");
    EXPECT_EQ(bare.satTenths, 0);
    EXPECT_EQ(bare.tps.size(), 1u);
    const IniFile old = ParseIniText(Lines({"x", "1=0130", "2=Hot Bird", "[DVB]", "0=1", "1=11000,H,27500,34"}));
    EXPECT_EQ(old.satName, "Hot Bird");
    EXPECT_EQ(old.satTenths, 130);
}

TEST(IniParse, AFileWithoutSectionsIsRefused) {
    const IniFile f = ParseIniText("1=0192\r\n2=Astra\r\n3=11000,H,27500,34\r\n");
    EXPECT_EQ(f.status.message(), msg::IniNoSections);
    EXPECT_EQ(ParseIniText("").status.message(), msg::IniNoSections);
}

TEST(IniParse, UnstorableLinesAreLeftOutAndListed) {
    const IniFile f = ParseIniText(
        Lines({"[SATTYPE]", "1=0192", "2=S", "[DVB]", "0=7", "1=10958,H, 6111,34", "2=abc,H,27500,34",
               "3=16384,H,27500,34", "4=16383,V,65535,34", "5=11000,H,65536,34", "6=11000,H", "7=11000,H,-1,34"}));
    EXPECT_EQ(SkippedNumbers(f), (std::vector<int>{7, 8, 10, 11, 12}));
    EXPECT_EQ(f.skippedCount, 5);
    ASSERT_EQ(f.tps.size(), 2u);
    EXPECT_EQ(f.tps[0].sym, "6111");
    EXPECT_EQ(f.tps[0].symValue, 6111);
    EXPECT_EQ(f.tps[1].freqValue, 16383);
    EXPECT_EQ(f.tps[1].symValue, 65535);
    EXPECT_EQ(SkippedLinesWarning(f), "5 transponder lines can not be stored and were left out:"
                                      "\rline 7: \"2=abc,H,27500,34\"\rline 8: \"3=16384,H,27500,34\""
                                      "\rline 10: \"5=11000,H,65536,34\"\rline 11: \"6=11000,H\""
                                      "\rline 12: \"7=11000,H,-1,34\"");
    const IniFile one = ParseIniText(Lines({"[SATTYPE]", "1=0192", "2=S", "[DVB]", "0=1", "1=x,H,1"}));
    EXPECT_EQ(SkippedLinesWarning(one),
              "This transponder line can not be stored and was left out:\rline 6: \"1=x,H,1\"");
    EXPECT_EQ(SkippedLinesWarning(IniFile{}), "");
}

// A file of 200,000 unusable lines gives a notice of a dozen lines: the
// count and the first ten, each cut short.
TEST(IniParse, TheNoticeOfLeftOutLinesStaysShort) {
    std::string text = Lines({"[SATTYPE]", "1=0192", "2=S", "[DVB]", "0=0"});
    for (int i = 0; i < 200000; ++i)
        text += std::to_string(i + 1) + "=x" + std::string(i == 0 ? 200 : 3, 'y') + "\x01,H,27500\n";
    const IniFile f = ParseIniText(text);
    EXPECT_EQ(f.skippedCount, 200000);
    ASSERT_EQ(f.skippedLines.size(), kMaxQuotedLines);
    const std::string notice = SkippedLinesWarning(f);
    EXPECT_EQ(notice.rfind("200000 transponder lines can not be stored and were left out; the first 10 are:", 0), 0u)
        << notice;
    EXPECT_EQ(std::count(notice.begin(), notice.end(), '\r'), 10);
    EXPECT_LT(notice.size(), 1200u);
    EXPECT_NE(notice.find("\rline 6: \"1=xyyy"), std::string::npos);
    EXPECT_NE(notice.find("yyy...\"\r"), std::string::npos); // a long line is cut
    EXPECT_EQ(notice.find('\x01'), std::string::npos);       // control characters are not quoted as they are
    EXPECT_NE(notice.find("\rline 15: \"10=xyyy?,H,27500\""), std::string::npos);
    EXPECT_EQ(notice.find("line 16"), std::string::npos);
}

// A real file's name longer than 18 characters keeps the blank at the cut:
// 18 bytes from byte 17 and the NUL at byte 35; the decoded name keeps the
// blank until the image is read again.
TEST(IniImport, ANameCutAtABlankKeepsIt) {
    const IniFile f = ParseIniText(
        Lines({"[SATTYPE]", "1=0130", "2=Eutelsat Hot Bird 13B,13C,13E", "[DVB]", "0=1", "1=11000,H,27500,34"}));
    EXPECT_EQ(f.satName, "Eutelsat Hot Bird ");
    auto db = sample::BuildSample();
    db->Sat.rec[1][35] = 0x5A;
    ASSERT_TRUE(ImportIni(*db, 1, f).ok());
    const SatRec& rec = db->Sat.rec[1];
    EXPECT_EQ(std::string(rec.begin() + 17, rec.begin() + 35), "Eutelsat Hot Bird ");
    EXPECT_EQ(rec[34], ' ');
    EXPECT_EQ(rec[35], 0);
    EXPECT_EQ(db->Sat.data[1].Name, "Eutelsat Hot Bird ");
    testdb::ExpectConsistent(*db);
    EXPECT_EQ(DecodeSat(rec).Name, "Eutelsat Hot Bird");
}

TEST(IniParse, At150TheReadingStops) {
    std::string text = Lines({"[SATTYPE]", "1=0192", "2=S", "[DVB]", "0=152", "1=bad,H,1,1"});
    for (int i = 0; i < 151; ++i) text += std::to_string(i + 2) + "=" + std::to_string(10700 + i) + ",H,27500,34\r\n";
    const IniFile f = ParseIniText(text);
    EXPECT_TRUE(f.truncated);
    ASSERT_EQ(f.tps.size(), 150u);
    EXPECT_EQ(f.tps.back().freqValue, 10849);
    EXPECT_EQ(SkippedNumbers(f), std::vector<int>{6});

    text.resize(text.rfind("152="));
    EXPECT_FALSE(ParseIniText(text).truncated);
}

TEST(IniParse, MissingFileGivesTheOpenMessage) {
    IniFile f;
    EXPECT_EQ(ParseIniFile(DataFile("no-such-file.ini"), f).message(), msg::FileMissing);
}

// A huge file (a sparse one is enough) is refused by its size before a byte
// is read, and a pipe is refused without waiting for a writer.
TEST(IniParse, HugeFilesAndPipesAreRefusedBeforeReading) {
    testutil::TempDir dir;
    const std::string huge = dir.path("huge.ini");
    testutil::WriteFile(huge, {});
    ASSERT_EQ(::truncate(huge.c_str(), 8LL << 30), 0);
    IniFile f;
    const Status s = ParseIniFile(huge, f);
    EXPECT_EQ(s.message(), "The file " + huge +
                               " is larger than 4 MiB, more than any satellite .ini file holds,\r\r"
                               "It can not be imported!");
    testutil::WriteFile(huge, std::vector<uint8_t>(kMaxIniFileBytes, ' '));
    EXPECT_TRUE(ParseIniFile(huge, f).ok());

    const std::string fifo = dir.path("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ParseIniFile(fifo, f).message(),
              "The file can not be opened!\r\r" + fifo + " is a named pipe, not a regular file.");
}

namespace {

// Two satellites: the one imported into has ten transponders with programs,
// the other a few, in slots mixed with its own.
std::unique_ptr<Database> TwoSats() {
    auto db = testdb::Empty();
    AddSat(*db, {"Target", 100, 10750, 10750, 0, 1, 3, 2, 5});
    AddSat(*db, {"Other", 130});
    for (int i = 0; i < 10; ++i) {
        const int t = AddTp(*db, 0, 11000 + i, i % 2 == 1, 22000, 3);
        AddProg(*db, t, testdb::Prog("p" + std::to_string(i)));
        if (i % 3 == 0) AddTp(*db, 1, 12000 + i, false, 27500, 2);
    }
    AddProg(*db, 1, testdb::Prog("other")); // slot 1 belongs to satellite 1
    return db;
}

} // namespace

TEST(IniImport, ReplacesTheTranspondersAndTheSatellite) {
    auto db = TwoSats();
    db->Sat.rec[0][15] = 0;
    db->Sat.rec[0][16] = 0x5C;
    const uint16_t tpCount = db->TpCount;
    const IniFile f = ParseIniText(Lines({"[SATTYPE]", "1=0192", "2=Example Sat,19.2E", "", "[DVB]", "0=3",
                                          "1=11000,L,27500,34", "2=12000,r,22000,56", "3=12100,W,30000,23"}));
    ASSERT_TRUE(ImportIni(*db, 0, f).ok());

    EXPECT_EQ(db->TpCount, tpCount + 3 - 10);
    EXPECT_EQ(db->SatTpCounts[0], 3);
    EXPECT_EQ(db->SatTpCounts[1], 4);
    ASSERT_EQ(db->ProgCount, 1);
    EXPECT_EQ(db->Prog.data[0].Name, "other");
    // Imported transponders fill the lowest free slots, numbered in file order.
    const int slots[] = {0, 2, 3};
    const char* pols[] = {"H", "V", "W"};
    for (int k = 0; k < 3; ++k) {
        const TpData& d = db->Tp.data[slots[k]];
        EXPECT_EQ(d.Used, 1);
        EXPECT_EQ(d.SatIndex, 0);
        EXPECT_EQ(d.TpNo, uint32_t(k + 1));
        EXPECT_EQ(d.PolText, pols[k]);
        EXPECT_EQ(d.Pol, k == 0 ? 0 : 1);
        EXPECT_EQ(d.FecText, "Auto");
    }
    const TpRec first = {0xF8, 0x2A, 0x02, 0xFF, 0x00, 0x01, 0x6C, 0x6B, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(db->Tp.rec[0], first);
    EXPECT_EQ(db->Tp.rec[2][2], 0x06);
    EXPECT_EQ(CountSatTransponders(*db, 0), 3); // the placeholder is gone
    testdb::ExpectConsistent(*db);

    const SatRec& r = db->Sat.rec[0];
    EXPECT_EQ(GetU16(r, 0), 9750);
    EXPECT_EQ(GetU16(r, 2), 10600);
    EXPECT_EQ(GetU16(r, 4), 0);
    EXPECT_EQ(GetU16(r, 6), 192);
    const uint8_t lnb[] = {1, 0, 1, 0, 1, 0, 0, 0, 0x5C}; // 22 kHz on and byte 16 kept
    for (int i = 0; i < 9; ++i) EXPECT_EQ(r[8 + i], lnb[i]) << "byte " << 8 + i;
    const uint8_t tail[] = {0, 0, 1, 2, 4, 5, 7, 8, 9, 11, 0, 3, 6, 10};
    EXPECT_TRUE(std::equal(std::begin(tail), std::end(tail), r.begin() + 36));
    const SatData& d = db->Sat.data[0];
    EXPECT_EQ(d.Name, "Example Sat");
    EXPECT_EQ(d.Longitude, "19.2");
    EXPECT_EQ(d.LnbLow, "9750");
    EXPECT_EQ(d.LnbHigh, "10600");
    EXPECT_EQ(d.LnbType, 1);
    EXPECT_EQ(d.LnbPower, 1);
    EXPECT_EQ(d.Tone22K, 1);
    EXPECT_EQ(d.Diseqc10, 0);
    EXPECT_EQ(d.Diseqc11, 0);
}

TEST(IniImport, AFileWithoutTranspondersLeavesThePlaceholder) {
    auto db = TwoSats();
    const IniFile f = ParseIniText(Lines({"[SATTYPE]", "1=0031", "2=Small"}));
    ASSERT_TRUE(ImportIni(*db, 0, f).ok());
    EXPECT_EQ(db->SatTpCounts[0], 1);
    EXPECT_EQ(db->Tp.rec[0], PlaceholderTpRec(0));
    EXPECT_EQ(db->Sat.data[0].Longitude, "3.1");
    testdb::ExpectConsistent(*db);
}

TEST(IniImport, RefusalsChangeNothing) {
    auto db = TwoSats();
    const auto before = testdb::Copy(*db);
    const auto unchanged = [&] { EXPECT_EQ(BuildImage(*db), BuildImage(*before)); };
    EXPECT_EQ(ImportIni(*db, 0, ParseIniText("nothing here")).message(), msg::IniNoSections);
    unchanged();
    EXPECT_FALSE(ImportIni(*db, 0, ParseIniText(Lines({"[SATTYPE]", "1=19.25", "2=S", "[DVB]"}))).ok());
    unchanged();
    EXPECT_FALSE(ImportIni(*db, 2, ParseIniText(Lines({"[SATTYPE]", "1=0192", "2=S"}))).ok());
    unchanged();
}

TEST(IniImport, CapacityIsCheckedBeforeTheSatelliteIsTouched) {
    auto db = testdb::Empty();
    AddSat(*db, {"Target", 100});
    AddSat(*db, {"Filler", 130});
    for (int i = 0; i < 5; ++i) AddTp(*db, 0, 11000 + i, false, 22000, 0);
    AddProg(*db, 0, testdb::Prog("kept"));
    while (db->TpCount < kTpSlots) AddTp(*db, 1, 11000, false, 22000, 0);
    std::string text = Lines({"[SATTYPE]", "1=0192", "2=S", "[DVB]", "0=6"});
    for (int i = 1; i <= 6; ++i) text += std::to_string(i) + "=1100" + std::to_string(i) + ",H,27500,34\r\n";
    const auto before = testdb::Copy(*db);

    EXPECT_EQ(ImportIni(*db, 0, ParseIniText(text)).message(), "Number of Tp exceed!");
    EXPECT_EQ(BuildImage(*db), BuildImage(*before));

    text.resize(text.rfind("6="));
    ASSERT_TRUE(ImportIni(*db, 0, ParseIniText(text)).ok());
    EXPECT_EQ(db->TpCount, kTpSlots);
    EXPECT_EQ(db->ProgCount, 0);
}

// The real files: each gives its satellite's name and position and its first
// 150 storable transponders, numbered in file order.
TEST(IniImport, RealFiles) {
    testdb::Views views;
    struct Case {
        const char* file;
        const char* name;
        int tenths;
        size_t count;
        const char* first;
        const char* last;
        bool truncated;
        size_t skipped;
    } cases[] = {
        {"actuator-0192.ini", "Astra 1B", 192, 62, "10773", "12728", false, 0},
        {"actuator-0360.ini", "Eutelsat Sesat", 360, 56, "10958", "12707", false, 0},
        {"channelscan-0100.ini", "Eutelsat 10A", 100, 150, "3649", "11590", true, 0},
        {"channelscan-0192.ini", "Astra 1KR", 192, 107, "10714", "12728", false, 26},
        {"channelscan-0360.ini", "Eutelsat 36B", 360, 116, "11053", "12722", false, 0},
        {"channelscan-0420.ini", "T\xFCrksat 3A", 420, 150, "10953", "12506", true, 0},
        {"channelscan-0950.ini", "NSS 6", 950, 32, "11004", "12729", false, 0},
        {"channelscan-1100.ini", "N-Sat 110", 1100, 24, "11727", "12731", false, 0},
        {"channelscan-3300.ini", "Hispasat 30W-4", 3300, 113, "10730", "12734", false, 0},
        {"v4l-utils-0130.ini", "Hotbird 13B", 130, 98, "10719", "12731", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        IniFile f;
        ASSERT_TRUE(ParseIniFile(DataFile(c.file), f).ok());
        ASSERT_TRUE(f.status.ok()) << f.status.message();
        EXPECT_EQ(f.truncated, c.truncated);
        EXPECT_EQ(static_cast<size_t>(f.skippedCount), c.skipped);
        EXPECT_EQ(f.skippedLines.size(), std::min(c.skipped, kMaxQuotedLines));

        auto db = sample::BuildSample();
        const int sat = 2;
        const int before = db->TpCount - db->SatTpCounts[sat];
        ASSERT_TRUE(ImportIni(*db, sat, f).ok());
        EXPECT_EQ(db->Sat.data[sat].Name, c.name);
        EXPECT_EQ(GetU16(db->Sat.rec[sat], 6), c.tenths);
        EXPECT_EQ(db->SatTpCounts[sat], c.count);
        EXPECT_EQ(db->TpCount, before + static_cast<int>(c.count));
        views.ListSatTps(*db, sat);
        std::vector<const TpData*> byNumber(c.count + 1, nullptr);
        for (int t : views.TpList) byNumber.at(db->Tp.data[t].TpNo) = &db->Tp.data[t];
        ASSERT_TRUE(byNumber[1] && byNumber[c.count]);
        EXPECT_EQ(byNumber[1]->Freq, c.first);
        EXPECT_EQ(byNumber[c.count]->Freq, c.last);
        for (int t : views.TpList) {
            EXPECT_EQ(db->Tp.data[t].FecText, "Auto");
            EXPECT_EQ(db->Tp.rec[t][2] & 0xF3, 0x02);
        }
    }
}

TEST(IniImport, RealFileDetails) {
    IniFile f;
    ASSERT_TRUE(ParseIniFile(DataFile("channelscan-0192.ini"), f).ok());
    // The Ka-band lines above 16,383 MHz do not fit the frequency field.
    EXPECT_EQ(f.skippedLines.front().line, 120);
    EXPECT_EQ(f.skippedCount, 26);
    ASSERT_TRUE(ParseIniFile(DataFile("channelscan-0950.ini"), f).ok());
    const auto w = std::find_if(f.tps.begin(), f.tps.end(), [](const IniTransponder& t) { return t.pol == "W"; });
    ASSERT_NE(w, f.tps.end());
    EXPECT_EQ(w->freq, "11604");
    ASSERT_TRUE(ParseIniFile(DataFile("actuator-0360.ini"), f).ok());
    EXPECT_EQ(f.tps[0].sym, "6111");
    EXPECT_EQ(std::count_if(f.tps.begin(), f.tps.end(), [](const IniTransponder& t) { return t.pol == "H"; }) +
                  std::count_if(f.tps.begin(), f.tps.end(), [](const IniTransponder& t) { return t.pol == "V"; }),
              56);
    ASSERT_TRUE(ParseIniFile(DataFile("channelscan-1100.ini"), f).ok());
    EXPECT_TRUE(std::all_of(f.tps.begin(), f.tps.end(), [](const IniTransponder& t) { return t.pol == "V"; }));
}

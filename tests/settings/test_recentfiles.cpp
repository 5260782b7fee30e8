#include "TestUtil.h"

#include "base/Files.h"
#include "settings/RecentFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace dbase;

namespace {

class TempDir {
public:
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "recent-XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST(ProfileText, ReadsAFileWrittenByAnotherProgram) {
    TempDir dir;
    const std::string ini = dir.file("ORBITLIST.ini");
    // CRLF lines, other sections, blanks around names and values, names in
    // another case, quotes and a backslash path that must not be unescaped.
    WriteText(ini, "\xEF\xBB\xBF[Other]\r\nLast_File_Name1=wrong\r\n"
                   "; a comment\r\n"
                   "[ orbitlist_tavrinex ]\r\n"
                   "  last_file_name1 = C:\\Data\\chan.bin  \r\n"
                   "Last_File_Name2=\"/home/u/a b.bin\"\r\n"
                   "Last_File_Name3=\r\n");
    const RecentFileList files = ReadRecentFiles(ini);
    EXPECT_EQ(files[0], "C:\\Data\\chan.bin");
    EXPECT_EQ(files[1], "/home/u/a b.bin");
    EXPECT_EQ(files[2], "");
    EXPECT_EQ(ReadProfileString(ini, "Other", "LAST_FILE_NAME1"), "wrong");
}

TEST(ProfileText, MissingFileSectionOrKeyReadsEmpty) {
    TempDir dir;
    const std::string ini = dir.file("ORBITLIST.ini");
    EXPECT_EQ(ReadRecentFiles(ini), (RecentFileList{"", "", ""}));
    WriteText(ini, "[ORBITLIST_Tavrinex]\nLast_File_Name2=/b\n");
    EXPECT_EQ(ReadRecentFiles(ini), (RecentFileList{"", "/b", ""}));
    EXPECT_EQ(ReadProfileString(ini, "Nowhere", "Last_File_Name2"), "");
}

TEST(ProfileText, SetReplacesInPlaceAndKeepsEverythingElse) {
    const std::string text =
        "[A]\r\nx=1\r\n\r\n[ORBITLIST_Tavrinex]\r\nLast_File_Name1=old\r\nkeep=me\r\n\r\n[B]\r\ny=2";
    EXPECT_EQ(SetProfileString(text, "ORBITLIST_Tavrinex", "last_file_name1", "new"),
              "[A]\r\nx=1\r\n\r\n[ORBITLIST_Tavrinex]\r\nlast_file_name1=new\r\nkeep=me\r\n\r\n[B]\r\ny=2");
    // A new key goes after the section's last entry, before the blank line.
    EXPECT_EQ(SetProfileString(text, "ORBITLIST_Tavrinex", "Last_File_Name3", "c"),
              "[A]\r\nx=1\r\n\r\n[ORBITLIST_Tavrinex]\r\nLast_File_Name1=old\r\nkeep=me\r\nLast_File_Name3=c\r\n"
              "\r\n[B]\r\ny=2");
    // A missing section is appended, after a line ending for an unfinished last line.
    EXPECT_EQ(SetProfileString(text, "New", "k", "v"), text + "\r\n[New]\r\nk=v\r\n");
    EXPECT_EQ(SetProfileString("", "S", "k", "v"), "[S]\nk=v\n");
    EXPECT_EQ(SetProfileString("[S]", "S", "k", "v"), "[S]\nk=v\n");
}

TEST(ProfileText, WriteThenReadRoundTripsPathsWithoutEscaping) {
    TempDir dir;
    const std::string ini = dir.file("ORBITLIST.ini");
    const RecentFileList files = {"C:\\a\\b.bin", "/x/y=z.bin", ""};
    ASSERT_TRUE(WriteRecentFiles(ini, files));
    EXPECT_EQ(ReadText(ini), "[ORBITLIST_Tavrinex]\nLast_File_Name1=C:\\a\\b.bin\nLast_File_Name2=/x/y=z.bin\n"
                             "Last_File_Name3=\n");
    EXPECT_EQ(ReadRecentFiles(ini), files);
    ASSERT_TRUE(WriteProfileString(ini, "Other", "k", "v"));
    EXPECT_EQ(ReadRecentFiles(ini), files);
}

TEST(ProfileText, WriteIntoAMissingFolderFails) {
    TempDir dir;
    EXPECT_FALSE(WriteRecentFiles(dir.file("no/such/ORBITLIST.ini"), {"a", "b", "c"}));
}

TEST(RecentList, OpeningANewFilePushesItToTheFront) {
    RecentFileList out;
    ASSERT_TRUE(RecentAfterOpen({"A", "B", "C"}, "N", out));
    EXPECT_EQ(out, (RecentFileList{"N", "A", "B"}));
    ASSERT_TRUE(RecentAfterOpen({"", "", ""}, "N", out));
    EXPECT_EQ(out, (RecentFileList{"N", "", ""}));
}

TEST(RecentList, OpeningAListedFileLeavesTheOrder) {
    RecentFileList out = {"unchanged", "", ""};
    EXPECT_FALSE(RecentAfterOpen({"A", "B", "C"}, "B", out));
    EXPECT_FALSE(RecentAfterOpen({"A", "B", "C"}, "C", out));
    EXPECT_EQ(out[0], "unchanged");
    // The comparison is exact: another case is another file.
    EXPECT_TRUE(RecentAfterOpen({"A", "B", "C"}, "b", out));
}

TEST(RecentList, RemovingAMissingFileMovesTheRestUp) {
    RecentFileList out;
    ASSERT_TRUE(RecentAfterRemoval({"A", "B", "C"}, "A", out));
    EXPECT_EQ(out, (RecentFileList{"B", "C", ""}));
    ASSERT_TRUE(RecentAfterRemoval({"A", "B", "C"}, "B", out));
    EXPECT_EQ(out, (RecentFileList{"A", "C", ""}));
    ASSERT_TRUE(RecentAfterRemoval({"A", "B", "C"}, "C", out));
    EXPECT_EQ(out, (RecentFileList{"A", "B", ""}));
    EXPECT_FALSE(RecentAfterRemoval({"A", "B", "C"}, "D", out));
    // A name listed twice: the test on the later entry decides.
    ASSERT_TRUE(RecentAfterRemoval({"A", "B", "A"}, "A", out));
    EXPECT_EQ(out, (RecentFileList{"A", "B", ""}));
}

// A settings file larger than 1 MiB is neither read nor replaced by a write
// of the recent files.
TEST(SettingsFile, AHugeSettingsFileIsRefusedAndLeftAlone) {
    testutil::TempDir dir;
    const std::string ini = dir.path("ORBITLIST.ini");
    testutil::WriteFile(ini, {});
    ASSERT_EQ(::truncate(ini.c_str(), 8LL << 30), 0);
    const std::string refusal =
        "The settings file " + ini + " is larger than 1 MiB,\r\rIt is neither read nor written.";
    RecentFileList files{"x", "y", "z"};
    EXPECT_EQ(ReadRecentFiles(ini, files).message(), refusal);
    EXPECT_EQ(files, (RecentFileList{"", "", ""}));
    EXPECT_EQ(WriteRecentFiles(ini, {"a", "", ""}).message(), refusal);
    EXPECT_EQ(WriteProfileString(ini, kRecentSection, kRecentKeys[0], "a").message(), refusal);
    EXPECT_EQ(std::filesystem::file_size(ini), 8ULL << 30);
    // Just below the limit it is read.
    testutil::WriteFile(ini, std::vector<uint8_t>(kMaxSettingsFileBytes - 100, ';'));
    EXPECT_TRUE(WriteRecentFiles(ini, {"a", "", ""}).ok());
    EXPECT_EQ(ReadRecentFiles(ini)[0], "a");
}

// Beside the program only for a run from a build folder or a portable copy
// that has its file there; an installed program always keeps its settings
// in the user's folder, also when (as for root) it could write beside itself.
TEST(SettingsFile, BesideTheProgramOnlyInABuildFolderOrAPortableCopy) {
    namespace fs = std::filesystem;
    testutil::TempDir dir;
    const std::string exe = dir.path("copy"), config = dir.path("config");
    fs::create_directory(exe);
    const std::string beside = exe + "/ORBITLIST.ini", inConfig = config + "/orbitlist/ORBITLIST.ini";
    EXPECT_EQ(PlaceOfProgram(exe), ProgramPlace::Elsewhere);
    EXPECT_EQ(ChooseSettingsFile(exe, config), inConfig) << "a copy without its file, in a writable folder";
    EXPECT_TRUE(fs::is_directory(config + "/orbitlist"));
    testutil::WriteFile(beside, {});
    EXPECT_EQ(ChooseSettingsFile(exe, config), beside) << "a portable copy";

    // A build folder: its cache beside the program or one folder up.
    const std::string build = dir.path("build"), buildBin = build + "/bin";
    fs::create_directories(buildBin);
    testutil::WriteFile(build + "/CMakeCache.txt", {});
    EXPECT_EQ(PlaceOfProgram(build), ProgramPlace::BuildFolder);
    EXPECT_EQ(PlaceOfProgram(buildBin), ProgramPlace::BuildFolder);
    EXPECT_EQ(ChooseSettingsFile(build, config), build + "/ORBITLIST.ini");
    EXPECT_FALSE(fs::exists(build + "/ORBITLIST.ini")) << "the trial write leaves nothing behind";
    EXPECT_EQ(PlaceOfProgram(dir.path("")), ProgramPlace::Elsewhere) << "a cache below the folder counts not";

    // Installed: in the prefix's bin folder, or in any bin folder beside
    // share/orbitlist; a settings file or a cache there changes nothing.
    const std::string prefixBin = dir.path("usr/bin");
    fs::create_directories(prefixBin);
    testutil::WriteFile(prefixBin + "/ORBITLIST.ini", {});
    testutil::WriteFile(prefixBin + "/CMakeCache.txt", {});
    EXPECT_EQ(PlaceOfProgram(prefixBin), ProgramPlace::BuildFolder);
    EXPECT_EQ(PlaceOfProgram(prefixBin, dir.path("usr/./bin/")), ProgramPlace::Installed);
    Status why;
    EXPECT_EQ(ChooseSettingsFile(prefixBin, config, &why, prefixBin), inConfig);
    EXPECT_FALSE(why.ok());
    fs::create_directories(dir.path("usr/share/orbitlist"));
    EXPECT_EQ(PlaceOfProgram(prefixBin), ProgramPlace::Installed) << "a staged or moved installation";
    EXPECT_EQ(ChooseSettingsFile(prefixBin, config), inConfig);
}

// Where the file may be beside the program, a trial write decides. As
// "nobody": a writable file in a folder nobody may write is kept beside the
// executable (and written in place), one nobody may only read sends the list
// to the user's configuration folder.
TEST(SettingsFile, ThePlaceIsChosenByTryingAWrite) {
    testutil::TempDir dir;
    const std::string exe = dir.path("exe"), config = dir.path("config");
    std::filesystem::create_directory(exe);
    std::filesystem::create_directory(config);
    const std::string beside = exe + "/ORBITLIST.ini", inConfig = config + "/orbitlist/ORBITLIST.ini";
    testutil::WriteFile(exe + "/CMakeCache.txt", {});
    // A missing file in a writable build folder: chosen, and not left behind by the try.
    EXPECT_EQ(ChooseSettingsFile(exe, config), beside);
    EXPECT_FALSE(std::filesystem::exists(beside));

    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
    ::chmod(dir.dir().c_str(), 0755);
    ::chmod(exe.c_str(), 0755);
    ASSERT_EQ(::chown(config.c_str(), testutil::kNobody, testutil::kNobody), 0);
    const std::string data = dir.path("nobody-data");
    std::filesystem::create_directory(data);
    ASSERT_EQ(::chown(data.c_str(), testutil::kNobody, testutil::kNobody), 0);
    testutil::EnvVar dataHome("XDG_DATA_HOME", data.c_str());
    testutil::WriteFile(beside, {'[', 'x', ']', '\n'});

    ::chmod(beside.c_str(), 0666);
    EXPECT_EQ(testutil::InChild(true,
                                [&] {
                                    if (ChooseSettingsFile(exe, config) != beside) return 1;
                                    return WriteRecentFiles(beside, {"/a.bin", "", ""}).ok() ? 0 : 2;
                                }),
              0);
    EXPECT_EQ(ReadRecentFiles(beside)[0], "/a.bin");

    ::chmod(beside.c_str(), 0644);
    EXPECT_EQ(testutil::InChild(true,
                                [&] {
                                    if (ChooseSettingsFile(exe, config) != inConfig) return 1;
                                    return WriteRecentFiles(inConfig, {"/b.bin", "", ""}).ok() ? 0 : 2;
                                }),
              0);
    EXPECT_EQ(ReadRecentFiles(inConfig)[0], "/b.bin");
    EXPECT_EQ(ReadRecentFiles(beside)[0], "/a.bin");
}

// export-csv, import-csv, apply-reference, diff and duplicates.
#include "TestUtil.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "format/Image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class ListCli : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = dir_.path("in.bin");
        fs::copy_file(std::string(ORBITLIST_TEST_DATA) + "/../../samples/sample-channel.bin", file_);
    }

    int Run(std::vector<std::string> args) {
        std::ostringstream out, err;
        const int code = cli::Run(args, out, err);
        out_ = out.str();
        err_ = err.str();
        return code;
    }

    std::string Path(const std::string& name) const { return dir_.path(name); }

    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }

    std::string Read(const std::string& name) const {
        const auto bytes = testutil::ReadFile(Path(name));
        return {bytes.begin(), bytes.end()};
    }

    std::unique_ptr<dbase::Database> Open(const std::string& name) const {
        auto db = dbase::NewDatabase();
        EXPECT_TRUE(cli::OpenInput(Path(name), *db).ok()) << name;
        return db;
    }

    // A copy of the sample with its programs in another order and other marks.
    void WriteShuffled(const std::string& name) {
        Write("shuffle.txt", "edit-program 2 --name Other\nsort tv name\nsort radio tp\nswap prog 3 9\n"
                             "mark 3 lock\nmark 4 fav:2\n");
        ASSERT_EQ(Run({"batch", file_, Path("shuffle.txt"), "-o", Path(name)}), 0) << err_;
    }

    testutil::TempDir dir_;
    std::string file_, out_, err_;
};

} // namespace

TEST_F(ListCli, ExportWritesTheSameListToStdoutOrAFile) {
    ASSERT_EQ(Run({"export-csv", file_}), 0) << err_;
    const std::string csv = out_;
    EXPECT_EQ(csv.rfind("kind,number,slot,name,", 0), 0u);
    EXPECT_NE(csv.find("\r\ntv,1,0,Alpen TV,Astra 19.2E,19.2,11361,H,22000,1000,"), std::string::npos);
    EXPECT_NE(csv.find("\r\nradio,1,30,Radio Alpina,"), std::string::npos);
    ASSERT_EQ(Run({"export-csv", file_, "-o", Path("list.csv")}), 0) << err_;
    EXPECT_EQ(out_, "");
    EXPECT_EQ(Read("list.csv"), csv);
    EXPECT_EQ(Run({"export-csv", file_, "-o", dir_.dir().string()}), 1);
    const std::string before = Read("in.bin");
    EXPECT_EQ(Run({"export-csv", file_, "-o", file_}), 1);
    EXPECT_EQ(Read("in.bin"), before);
    EXPECT_EQ(Run({"export-csv", file_, "-o="}), 2);
}

TEST_F(ListCli, ImportGivesBackTheExportedOrderMarksAndNames) {
    ASSERT_EQ(Run({"export-csv", file_, "-o", Path("list.csv")}), 0);
    WriteShuffled("shuffled.bin");
    ASSERT_EQ(Run({"import-csv", Path("shuffled.bin"), Path("list.csv"), "-o", Path("marks.bin")}), 0) << err_;
    EXPECT_EQ(err_, "40 matched, 0 rows not found, 0 programs not in the list\n");
    auto marks = Open("marks.bin");
    EXPECT_EQ(marks->Prog.data[2].Name, "Other"); // names only with --names
    ASSERT_EQ(Run({"import-csv", Path("shuffled.bin"), Path("list.csv"), "--names", "-o", Path("out.bin")}), 0);
    EXPECT_EQ(dbase::BuildImage(*Open("out.bin")), dbase::BuildImage(*Open("in.bin")));
    // The same in a script, and from the data file as a reference.
    Write("script.txt", "import-csv " + Path("list.csv") + " --names\n");
    ASSERT_EQ(Run({"batch", Path("shuffled.bin"), Path("script.txt"), "-o", Path("batch.bin")}), 0) << err_;
    EXPECT_EQ(err_, "line 1: 40 matched, 0 rows not found, 0 programs not in the list\n");
    EXPECT_EQ(Read("batch.bin"), Read("out.bin"));
    ASSERT_EQ(Run({"apply-reference", Path("shuffled.bin"), file_, "--names", "-o", Path("ref.bin")}), 0) << err_;
    EXPECT_EQ(err_, "40 matched, 0 rows not found, 0 programs not in the list\n");
    EXPECT_EQ(Read("ref.bin"), Read("out.bin"));
}

TEST_F(ListCli, ReadsASpreadsheetsListAndRefusesABadOneWritingNothing) {
    Write("sheet.csv",
          "\xEF\xBB\xBF\"Name\",\"Kind\",\"Longitude\",\"Frequency\",\"Polarisation\",\"Service_ID\","
          "\"Note, with comma\",\"Lock\",\"Favourites\"\r\n"
          "\"Kanal Sieben\",\"tv\",\"19.2\",\"12480\",\"v\",\"1021\",\"say \"\"hi\"\",\r\nok\",1,\"3 1\"\r\n"
          "\"Gone\",\"tv\",\"19.2\",\"12480\",\"v\",\"9\",,,\r\n");
    ASSERT_EQ(Run({"import-csv", file_, Path("sheet.csv"), "-o", Path("out.bin")}), 0) << err_;
    EXPECT_EQ(err_, "1 matched, 1 rows not found, 39 programs not in the list\n");
    auto db = Open("out.bin");
    EXPECT_EQ(db->Prog.data[0].Name, "Kanal Sieben");
    EXPECT_EQ(db->Prog.data[0].Lock, 1);
    EXPECT_EQ(db->Prog.data[0].FavMask, "0000000000000101");
    EXPECT_EQ(db->Prog.data[1].Name, "Alpen TV");

    Write("bad.csv", "kind,longitude,frequency,polarisation,service_id,skip\ntv,19.2,12480,V,1021,1\n"
                     "tv,19.2,12480,V,1021,maybe\n");
    EXPECT_EQ(Run({"import-csv", file_, Path("bad.csv"), "-o", Path("bad.bin")}), 1);
    EXPECT_EQ(err_, Path("bad.csv") + ": Line 3 of the list: the skip cell is 0 or 1, not \"maybe\".\n");
    EXPECT_FALSE(fs::exists(Path("bad.bin")));
    EXPECT_EQ(Run({"import-csv", file_, Path("missing.csv"), "-o", Path("bad.bin")}), 1);
    EXPECT_FALSE(fs::exists(Path("bad.bin")));
    EXPECT_EQ(Run({"import-csv", file_, Path("bad.csv"), "--name", "-o", Path("bad.bin")}), 2);
}

TEST_F(ListCli, DiffTellsPeopleAndProgramsWhatChanged) {
    ASSERT_EQ(Run({"diff", file_, file_}), 0);
    EXPECT_EQ(out_, "The files are the same.\n");
    ASSERT_EQ(Run({"diff", file_, file_, "--json"}), 0);
    EXPECT_EQ(out_.rfind("{\"same\": true,\n", 0), 0u);
    WriteShuffled("shuffled.bin");
    ASSERT_EQ(Run({"diff", file_, Path("shuffled.bin")}), 0);
    EXPECT_NE(out_.find("Programs:\n"), std::string::npos);
    EXPECT_NE(out_.find("  changed  tv 19.2 12109 H 1014 \"Other\" (NO.23): Name \"Rhein 24\" -> \"Other\"\n"),
              std::string::npos)
        << out_;
    ASSERT_EQ(Run({"diff", file_, Path("shuffled.bin"), "--json"}), 0);
    EXPECT_NE(
        out_.find(
            "{\"kind\": \"tv\", \"longitude\": \"19.2\", \"frequency\": \"12109\", \"polarisation\": \"H\", "
            "\"service_id\": \"1014\", \"name\": \"Other\", \"number\": 23, \"fields\": {\"Name\": [\"Rhein 24\", "
            "\"Other\"]}}"),
        std::string::npos)
        << out_;
    EXPECT_NE(out_.find("\"moved\": [\n    {\"kind\": "), std::string::npos);
    EXPECT_EQ(Run({"diff", file_, Path("missing.bin")}), 1);
    EXPECT_EQ(err_.rfind(Path("missing.bin") + ": ", 0), 0u);
}

TEST_F(ListCli, DuplicatesListsGroupsOfSlots) {
    ASSERT_EQ(Run({"duplicates", file_}), 0);
    EXPECT_EQ(out_, "");
    ASSERT_EQ(Run({"duplicates", file_, "--json"}), 0);
    EXPECT_EQ(out_, "[]\n");
    Write("dups.txt", "add-program 0 tv --name 'Alpen TV' --vid 1 --aud 2 --pcr 3 --sid 1000\n"
                      "add-program 6 radio --name 'Klassik FM' --vid 0 --aud 2 --pcr 3 --sid 99\n");
    ASSERT_EQ(Run({"batch", file_, Path("dups.txt"), "-o", Path("dups.bin")}), 0) << err_;
    ASSERT_EQ(Run({"duplicates", Path("dups.bin")}), 0);
    EXPECT_EQ(out_, "0 40\n31 41\n");
    ASSERT_EQ(Run({"duplicates", Path("dups.bin"), "--json"}), 0);
    EXPECT_EQ(out_, "[\n  [0, 40],\n  [31, 41]\n]\n");
}

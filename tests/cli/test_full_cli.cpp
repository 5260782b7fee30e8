// Every command of orbitlist-cli on a data file whose tables are all full:
// the reports run, the adds are refused with their messages and write
// nothing, and every other change writes a file that opens and is consistent.
#include "SampleData.h"
#include "TestUtil.h"
#include "base/Messages.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "editing/Consistency.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class FullCli : public ::testing::Test {
protected:
    void SetUp() override {
        auto db = sample::BuildFull(3);
        full_ = dir_.path("full.bin");
        ASSERT_TRUE(dbase::SaveImage(*db, dbase::SaveMode::Channel, full_, {true, true}).ok());
    }

    int Run(std::vector<std::string> args) {
        out_.str({});
        err_.str({});
        return cli::Run(args, out_, err_);
    }

    // Runs a changing command on the full file; it must succeed and write a
    // consistent file.
    void ExpectWritten(std::vector<std::string> args) {
        const std::string out = dir_.path("out.bin");
        std::filesystem::remove(out);
        args.insert(args.begin() + 1, full_);
        args.insert(args.end(), {"-o", out});
        ASSERT_EQ(Run(args), 0) << args[0] << ": " << err_.str();
        auto db = dbase::NewDatabase();
        ASSERT_TRUE(cli::OpenInput(out, *db).ok()) << args[0];
        const auto problems = dbase::FindInconsistencies(*db);
        EXPECT_TRUE(problems.empty()) << args[0] << ": " << problems.front();
    }

    // Runs a command that must be refused with `message` and write nothing.
    void ExpectRefused(std::vector<std::string> args, const std::string& message) {
        const std::string out = dir_.path("refused.bin");
        args.insert(args.begin() + 1, full_);
        args.insert(args.end(), {"-o", out});
        EXPECT_EQ(Run(args), 1) << args[0];
        std::string shown = message;
        for (char& c : shown)
            if (c == '\r') c = '\n';
        EXPECT_NE(err_.str().find(shown), std::string::npos) << err_.str();
        EXPECT_FALSE(std::filesystem::exists(out)) << args[0];
    }

    testutil::TempDir dir_;
    std::string full_;
    std::ostringstream out_, err_;
};

} // namespace

TEST_F(FullCli, ReportsAndPlainSaves) {
    ASSERT_EQ(Run({"info", full_}), 0) << err_.str();
    EXPECT_NE(out_.str().find("3000"), std::string::npos) << out_.str();
    EXPECT_EQ(Run({"dump", full_}), 0) << err_.str();
    EXPECT_EQ(Run({"dump", full_, "--json"}), 0) << err_.str();
    for (const char* as : {"channel", "default"}) {
        const std::string out = dir_.path(std::string(as) + ".bin");
        ASSERT_EQ(Run({"save", full_, out, "--as", as}), 0) << err_.str();
        EXPECT_EQ(Run({"info", out}), 0) << err_.str();
    }
}

TEST_F(FullCli, AddsAreRefused) {
    ExpectRefused({"add-tp", "0", "--freq", "11000", "--sym", "27500", "--pol", "H", "--fec", "3/4"},
                  dbase::msg::MaxTransponders);
    ExpectRefused({"add-program", "0", "tv", "--name", "New", "--vid", "100", "--aud", "101", "--pcr", "100"},
                  dbase::msg::MaxPrograms);
    const std::string ini = std::string(ORBITLIST_TEST_DATA) + "/ini/channelscan-0192.ini";
    ExpectRefused({"import-ini", "0", ini}, dbase::msg::IniTpExceed);
}

TEST_F(FullCli, EveryOtherChangeWritesAConsistentFile) {
    ExpectWritten({"delete-program", "2999"});
    ExpectWritten({"delete-program", "0"});
    ExpectWritten({"delete-tp", "2199"});
    ExpectWritten({"delete-tp", "0"});
    ExpectWritten({"delete-empty-tps"});
    ExpectWritten({"delete-empty-tps", "--sat", "63"});
    ExpectWritten({"reset-sat", "63"});
    for (const char* kind : {"tv", "radio"})
        for (const char* by : {"name", "fav", "tp"}) ExpectWritten({"sort", kind, by});
    ExpectWritten({"swap", "sat", "0", "63"});
    ExpectWritten({"swap", "tp", "0", "64"});
    ExpectWritten({"swap", "prog", "0", "2998"});
    ExpectWritten({"mark", "2999", "fav:16"});
    ExpectWritten({"mark", "2999", "lock"});
    ExpectWritten({"fav-lock", "16", "1"});
    ExpectWritten({"edit-program", "2999", "--name", "Last", "--fav", "1000000000000001"});
    ExpectWritten({"edit-tp", "2199", "--freq", "12750", "--fec", "7/8"});
    ExpectWritten({"edit-sat", "63", "--name", "Last", "--longitude", "360"});
    ExpectWritten({"fav-name", "16", "Last group"});
    // An import fits in the slots the satellite frees.
    const std::string small = dir_.path("small.ini");
    std::ofstream(small) << "[SATTYPE]\n1=0192\n2=Small\n[DVB]\n0=2\n1=11000,H,27500,34\n2=12000,V,22000,56\n";
    ExpectWritten({"import-ini", "5", small});
}

// orbitlist-cli batch: many edits as steps of one history, with undo and redo.
#include "TestUtil.h"
#include "base/Messages.h"
#include "cli/Batch.h"
#include "cli/Commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using testutil::ReadFile;

namespace {

const std::string kIni = std::string(ORBITLIST_TEST_DATA) + "/ini/";

class BatchCli : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = dir_.path("in.bin");
        fs::copy_file(std::string(ORBITLIST_TEST_DATA) + "/../../samples/sample-channel.bin", file_);
    }

    int Run(std::vector<std::string> args) {
        out_.str({});
        err_.str({});
        return cli::Run(args, out_, err_);
    }

    // Runs `script` on the sample; the result goes to out.bin.
    int Batch(const std::string& script) {
        std::ofstream(dir_.path("script.txt"), std::ios::binary) << script;
        return Run({"batch", file_, dir_.path("script.txt"), "-o", dir_.path("out.bin")});
    }

    testutil::TempDir dir_;
    std::string file_;
    std::ostringstream out_, err_;
};

} // namespace

TEST_F(BatchCli, AScriptGivesWhatTheCommandsGiveOneAfterAnother) {
    const std::vector<std::vector<std::string>> commands = {
        {"sort", "tv", "name"},
        {"swap", "prog", "3", "4"},
        {"mark", "5", "fav:2"},
        {"fav-lock", "3", "1"},
        {"delete-program", "7"},
        {"edit-program", "3", "--name", "News 24"},
        {"fav-name", "2", "Kids"},
        {"import-ini", "2", kIni + "channelscan-0100.ini"},
        {"delete-empty-tps", "--sat", "1"},
        {"add-tp", "1", "--freq", "11000", "--sym", "27500", "--pol", "V", "--fec", "3/4"},
    };
    std::string script = "# the same edits as a script\n\n";
    std::string current = file_;
    for (size_t i = 0; i < commands.size(); ++i) {
        std::vector<std::string> args = {commands[i][0], current};
        args.insert(args.end(), commands[i].begin() + 1, commands[i].end());
        current = dir_.path("step" + std::to_string(i) + ".bin");
        args.insert(args.end(), {"-o", current});
        ASSERT_EQ(Run(args), 0) << commands[i][0] << ": " << err_.str();
        for (size_t w = 0; w < commands[i].size(); ++w) script += (w ? " '" : "") + commands[i][w] + (w ? "'" : "");
        script += "\r\n";
    }
    ASSERT_EQ(Batch(script), 0) << err_.str();
    EXPECT_EQ(out_.str(), "") << "batch prints nothing on stdout";
    EXPECT_EQ(err_.str(), "line 10: One SAT have excced tp (150)!\n");
    EXPECT_EQ(ReadFile(dir_.path("out.bin")), ReadFile(current));
}

TEST_F(BatchCli, UndoAndRedoFollowTheHistory) {
    // Everything taken back: the file as it was opened.
    ASSERT_EQ(Batch("delete-program 0\nmark 2 lock\nundo\nundo\n"), 0) << err_.str();
    EXPECT_EQ(ReadFile(dir_.path("out.bin")), ReadFile(file_));

    ASSERT_EQ(Run({"delete-program", file_, "0", "-o", dir_.path("one.bin")}), 0);
    ASSERT_EQ(Batch("delete-program 0\nundo\nredo\n"), 0) << err_.str();
    EXPECT_EQ(ReadFile(dir_.path("out.bin")), ReadFile(dir_.path("one.bin")));

    // A new step after an undo drops the step taken back.
    ASSERT_EQ(Batch("mark 2 lock\nundo\ndelete-program 0\nredo\n"), 1);
    EXPECT_EQ(err_.str(), "line 4: There is nothing to redo.\n");
}

TEST_F(BatchCli, TheFirstBadLineStopsTheRunAndNothingIsWritten) {
    struct Case {
        std::string script;
        int code;
        std::string err;
    } cases[] = {
        {"undo\n", 1, "line 1: There is nothing to undo.\n"},
        {"# one\n\n   \nsort tv name\ndelete-program 9999\nsort tv fav\n", 1,
         "line 5: There is no program in slot 9999!\n"},
        {"sort tv name\nedit-program 1 --name 'not closed\n", 2, "line 2: a single quote is not closed\n"},
        {"frobnicate 1\n", 2, "line 1: unknown command frobnicate\n"},
        {"delete-program 1 -o x.bin\n", 2,
         "line 1: delete-program: a script line names no output (-o); batch writes OUT once\n"},
        {"undo 2\n", 2, "line 1: undo takes no arguments\n"},
        {"sort tv size\n", 2,
         "line 1: sort: the order is name, fav or tp, not size\nusage: sort tv|radio name|fav|tp\n"},
        {"edit-program 3 --name \"Sixteen chars xx\"\n", 1, std::string("line 1: ") + dbase::msg::IllegalData + "\n"},
        {"import-ini 0 " + kIni + "absent.ini\n", 1, std::string("line 1: ") + dbase::msg::FileMissing + "\n"},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(Batch(c.script), c.code);
        std::replace(c.err.begin(), c.err.end(), '\r', '\n');
        EXPECT_EQ(err_.str(), c.err);
        EXPECT_FALSE(fs::exists(dir_.path("out.bin")));
    }
    EXPECT_EQ(Run({"batch", file_, dir_.path("none.txt"), "-o", dir_.path("out.bin")}), 1);
    EXPECT_EQ(Run({"batch", file_, dir_.path("none.txt")}), 2) << "no -o OUT";
    std::ofstream(dir_.path("big.txt")) << std::string(cli::kMaxScriptBytes + 1, '#');
    EXPECT_EQ(Run({"batch", file_, dir_.path("big.txt"), "-o", dir_.path("out.bin")}), 1);
    EXPECT_NE(err_.str().find("larger than 4 MiB"), std::string::npos) << err_.str();
}

TEST(SplitWords, QuotesAndEscapesAsAShellReadsThem) {
    std::string error;
    using Words = std::vector<std::string>;
    EXPECT_EQ(*cli::SplitWords("  edit-program 3\t--name \"News 24\"  ", error),
              (Words{"edit-program", "3", "--name", "News 24"}));
    EXPECT_EQ(*cli::SplitWords(R"(a'b c'd "x\"y\\z\n" e\ f '' # comment)", error),
              (Words{"ab cd", "x\"y\\z\\n", "e f", ""}));
    EXPECT_EQ(*cli::SplitWords("a#b 'it''s'", error), (Words{"a#b", "its"}));
    EXPECT_FALSE(cli::SplitWords("say \"hello", error));
    EXPECT_EQ(error, "a double quote is not closed");
    EXPECT_FALSE(cli::SplitWords("trailing \\", error));
}

TEST_F(BatchCli, TheScriptCanComeFromStandardInput) {
    const std::string cmd = std::string("printf 'delete-program 0\\nundo\\n' | ") + ORBITLIST_CLI_EXE + " batch " +
                            file_ + " - -o " + dir_.path("out.bin");
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(ReadFile(dir_.path("out.bin")), ReadFile(file_));
}

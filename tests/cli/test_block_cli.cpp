// find, move, delete-programs and set-mark: the filter, block moves,
// deleting and marking several programs, on the command line and in batch
// scripts.
#include "SampleData.h"
#include "TestUtil.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "editing/Entries.h"
#include "editing/Marks.h"
#include "editing/Reorder.h"
#include "format/Image.h"
#include "viewlogic/DragSteps.h"
#include "viewlogic/MarkButtons.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

namespace fs = std::filesystem;
using namespace dbase;

namespace {

// The sample: TV programs in slots 0..29, radio in 30..39; programs 2, 8,
// 14, 20 and 26 have two extra audio tracks, 32 one (PID 1250).
class BlockCli : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = dir_.path("channel.bin");
        out_ = dir_.path("out.bin");
        auto db = sample::BuildSample();
        // A name with blanks at its end.
        std::fill(db->Prog.rec[4].begin() + 24, db->Prog.rec[4].begin() + 39, 0);
        std::copy_n("Berg  ", 6, db->Prog.rec[4].begin() + 24);
        db->Prog.data[4] = DecodeProg(db->Prog.rec[4], db->Tp);
        ASSERT_TRUE(SaveImage(*db, SaveMode::Channel, file_).ok());
    }

    int Cli(std::vector<std::string> args) {
        std::ostringstream out, err;
        const int code = cli::Run(args, out, err);
        stdout_ = out.str();
        stderr_ = err.str();
        return code;
    }
    std::string Find(std::vector<std::string> words) {
        words.insert(words.begin(), {"find", file_});
        EXPECT_EQ(Cli(words), 0) << stderr_;
        EXPECT_EQ(stderr_, "");
        return stdout_;
    }

    std::unique_ptr<Database> Open(const std::string& path) {
        auto db = NewDatabase();
        EXPECT_TRUE(cli::OpenInput(path, *db).ok()) << path;
        return db;
    }

    // The output holds what `change` makes of the input.
    void ExpectOutIs(const std::function<void(Database&)>& change) {
        auto expected = Open(file_);
        change(*expected);
        auto got = Open(out_);
        EXPECT_EQ(BuildImage(*got), BuildImage(*expected));
    }

    void ExpectRefused(std::vector<std::string> args, const std::string& message) {
        fs::remove(out_);
        EXPECT_EQ(Cli(args), 1) << stderr_;
        EXPECT_NE(stderr_.find(message), std::string::npos) << stderr_;
        EXPECT_FALSE(fs::exists(out_));
    }
    void ExpectMalformed(std::vector<std::string> args) {
        fs::remove(out_);
        EXPECT_EQ(Cli(args), 2) << stdout_;
        EXPECT_FALSE(fs::exists(out_));
    }

    int Batch(const std::string& script) {
        const std::string path = dir_.path("script.txt");
        testutil::WriteFile(path, std::vector<uint8_t>(script.begin(), script.end()));
        return Cli({"batch", file_, path, "-o", out_});
    }

    testutil::TempDir dir_;
    std::string file_, out_, stdout_, stderr_;
};

// The exchanges of neighbours that take the block of `count` entries of
// `list` at position `from` (1-based) to position `to`, one drag step each.
template <class Swap>
void StepByStep(Database& db, const std::vector<int>& list, int from, int to, int count, Swap swap) {
    for (; from > to; --from)
        for (int k = 0; k < count; ++k) swap(db, list[from - 2 + k], list[from - 1 + k]);
    for (; from < to; ++from)
        for (int k = count - 1; k >= 0; --k) swap(db, list[from - 1 + k], list[from + k]);
}

} // namespace

TEST_F(BlockCli, FindPrintsTheMatchingProgramsInSlotOrder) {
    // Digits alone: the names that hold them, and service ids and PIDs equal to them.
    EXPECT_EQ(Find({"24"}), "2\tRhein 24\n12\tNotizie 24\n38\tTalk 24\n");
    EXPECT_EQ(Find({"1091", "--json"}), "[13, 26]\n"); // a service id, an extra track's PID
    EXPECT_EQ(Find({"BERG "}), "4\tBerg  \n");         // the name as the dump gives it
    EXPECT_EQ(Find({"--kind", "radio", "--fav", "6", "--json"}), "[30, 33, 36, 39]\n");
    EXPECT_EQ(Find({"--scrambled", "--lock", "1"}), "7\tKino Eins\n");
    EXPECT_EQ(Find({"--free", "--skip", "1", "--json"}), "[12]\n");
    EXPECT_EQ(Find({"--tp", "6", "--kind", "radio", "--json"}), "[31, 38]\n");
    EXPECT_EQ(Find({"--pid", "1250", "--json"}), "[32]\n");
    EXPECT_EQ(Find({"--pid", "1249", "--sid", "5002", "--json"}), "[32]\n");
    EXPECT_EQ(Find({"radio", "--sat", "0", "--lock", "0", "--json"}), "[30, 37]\n");
    EXPECT_EQ(Find({"no such name"}), "");
    EXPECT_EQ(Find({"no such name", "--json"}), "");
}

TEST_F(BlockCli, FindRefusesWhatNamesNothingAndRejectsMalformedConditions) {
    EXPECT_EQ(Cli({"find", file_, "--sat", "9"}), 1);
    EXPECT_EQ(stderr_, "There is no satellite in slot 9!\n");
    EXPECT_EQ(Cli({"find", file_, "--tp", "2199"}), 1);
    EXPECT_EQ(stdout_, "");
    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{{"--scrambled", "--free"},
                                                                                       {"--lock", "2"},
                                                                                       {"--fav", "17"},
                                                                                       {"--kind", "tvs"},
                                                                                       {"--pid", "8192"},
                                                                                       {"caf\xE9"},
                                                                                       {"a", "b"}}) {
        std::vector<std::string> args = {"find", file_};
        args.insert(args.end(), words.begin(), words.end());
        EXPECT_EQ(Cli(args), 2) << words.front();
        EXPECT_EQ(stdout_, "");
    }
    // Not a script command.
    EXPECT_EQ(Batch("find a\n"), 2);
    EXPECT_NE(stderr_.find("line 1: unknown command find"), std::string::npos) << stderr_;
}

TEST_F(BlockCli, MoveEqualsTheDragStepsFromFromToTo) {
    auto in = Open(file_);
    const std::vector<int> tv = AllProgs(*in).tv, radio = AllProgs(*in).radio, tps = SatTps(*in, 1);
    const std::vector<int> sats = {0, 1, 2, 3, 4, 5};
    ASSERT_EQ(Cli({"move", file_, "tv", "30", "1", "-o", out_}), 0) << stderr_;
    ExpectOutIs([&](Database& db) { StepByStep(db, tv, 30, 1, 1, SwapPrograms); });
    // The tracks of program 26 went with it.
    EXPECT_EQ(Open(out_)->Audio.data[8].ProgIndex, 27u);

    ASSERT_EQ(Cli({"move", file_, "tv", "24", "2", "--count", "5", "-o", out_}), 0) << stderr_;
    ExpectOutIs([&](Database& db) { StepByStep(db, tv, 24, 2, 5, SwapPrograms); });
    ASSERT_EQ(Cli({"move", file_, "radio", "1", "8", "--count", "3", "-o", out_}), 0) << stderr_;
    ExpectOutIs([&](Database& db) { StepByStep(db, radio, 1, 8, 3, SwapPrograms); });
    ASSERT_EQ(Cli({"move", file_, "sat", "6", "1", "-o", out_}), 0) << stderr_;
    ExpectOutIs([&](Database& db) { StepByStep(db, sats, 6, 1, 1, SwapSatellites); });
    ASSERT_EQ(Cli({"move", file_, "tp", "1", "1", "4", "--count", "2", "-o", out_}), 0) << stderr_;
    ExpectOutIs([&](Database& db) { StepByStep(db, tps, 1, 4, 2, SwapTransponders); });
    // FROM = TO changes nothing, and OUT is still written.
    ASSERT_EQ(Cli({"move", file_, "tv", "5", "5", "--count", "3", "-o", out_}), 0) << stderr_;
    ExpectOutIs([](Database&) {});
}

TEST_F(BlockCli, MoveRefusesPositionsThatNameNothingAndBlocksThatDoNotFit) {
    ExpectRefused({"move", file_, "tv", "0", "1", "-o", out_},
                  "There is no TV program at position 0: the list holds 30!");
    ExpectRefused({"move", file_, "radio", "1", "11", "-o", out_}, "There is no radio program at position 11");
    ExpectRefused({"move", file_, "tv", "29", "1", "--count", "3", "-o", out_},
                  "A block of 3 TV programs at position 29 does not fit the list of 30!");
    ExpectRefused({"move", file_, "tv", "1", "29", "--count", "3", "-o", out_}, "at position 29 does not fit");
    ExpectRefused({"move", file_, "tp", "6", "1", "2", "-o", out_}, "There is no satellite in slot 6!");
    ExpectRefused({"move", file_, "sat", "7", "1", "-o", out_}, "There is no satellite at position 7");
    ExpectMalformed({"move", file_, "tp", "1", "2", "-o", out_});
    ExpectMalformed({"move", file_, "tv", "1", "2", "3", "-o", out_});
    ExpectMalformed({"move", file_, "prog", "1", "2", "-o", out_});
    ExpectMalformed({"move", file_, "tv", "1", "2", "--count", "0", "-o", out_});
    ExpectMalformed({"move", file_, "tv", "one", "2", "-o", out_});
}

TEST_F(BlockCli, DeleteProgramsEqualsDeletingFromTheHighestSlotDown) {
    ASSERT_EQ(Cli({"delete-programs", file_, "8", "39", "2", "14", "-o", out_}), 0) << stderr_;
    ExpectOutIs([](Database& db) {
        for (int slot : {39, 14, 8, 2}) DeleteProgram(db, slot);
    });
    EXPECT_EQ(Open(out_)->AudioCount, 5);
    ExpectRefused({"delete-programs", file_, "3", "40", "-o", out_}, "There is no program in slot 40!");
    ExpectMalformed({"delete-programs", file_, "3", "5", "3", "-o", out_});
    EXPECT_NE(stderr_.find("slot 3 is listed twice"), std::string::npos) << stderr_;
    ExpectMalformed({"delete-programs", file_, "-o", out_});
}

TEST_F(BlockCli, SetMarkSetsOrClearsTheMarkOnEveryProgramListed) {
    ASSERT_EQ(Cli({"set-mark", file_, "lock", "1", "0", "7", "0", "-o", out_}), 0) << stderr_;
    auto db = Open(out_);
    for (int p = 0; p < db->ProgCount; ++p) EXPECT_EQ(db->Prog.data[p].Lock, p == 0 || p == 7) << p;
    ASSERT_EQ(Cli({"set-mark", file_, "fav:6", "0", "30", "33", "-o", out_}), 0) << stderr_;
    ExpectOutIs([](Database& d) {
        ToggleMarks(d, 30, 5);
        ToggleMarks(d, 33, 5);
    });
    ExpectRefused({"set-mark", file_, "skip", "1", "3", "40", "-o", out_}, "There is no program in slot 40!");
    ExpectMalformed({"set-mark", file_, "skip", "2", "3", "-o", out_});
    ExpectMalformed({"set-mark", file_, "fav:0", "1", "3", "-o", out_});
    ExpectMalformed({"set-mark", file_, "lock", "1", "-o", out_});
}

TEST_F(BlockCli, TheNewEditingCommandsRunInBatchScriptsAsSteps) {
    ASSERT_EQ(Batch("move tv 30 1\n"
                    "undo\n"
                    "move radio 1 9 --count 2\n"
                    "set-mark skip 1 3 4\n"
                    "delete-programs 0 1\n"
                    "undo\n"),
              0)
        << stderr_;
    ExpectOutIs([](Database& db) {
        const std::vector<int> radio = AllProgs(db).radio;
        StepByStep(db, radio, 1, 9, 2, SwapPrograms);
        SetMarks(db, std::vector<int>{3, 4}, kSkipButton, true);
    });
    EXPECT_EQ(Batch("move tv 1 31\n"), 1);
    EXPECT_EQ(stderr_, "line 1: There is no TV program at position 31: the list holds 30!\n");
    EXPECT_EQ(Batch("delete-programs 4 4\n"), 2);
    EXPECT_NE(stderr_.find("usage: delete-programs SLOT..."), std::string::npos) << stderr_;
}

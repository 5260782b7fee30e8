#include "SampleData.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "editing/Marks.h"
#include "editing/Reorder.h"
#include "format/Image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>

namespace fs = std::filesystem;
using namespace dbase;

namespace {

class ReorderCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("orbitlist-reorder-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = (dir_ / "channel.bin").string();
        out_ = (dir_ / "out.bin").string();
        auto db = sample::BuildSample();
        ASSERT_TRUE(SaveImage(*db, SaveMode::Channel, file_).ok());
    }
    void TearDown() override { fs::remove_all(dir_); }

    int Cli(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int code = cli::Run(args, out, err);
        stdout_ = out.str();
        stderr_ = err.str();
        return code;
    }

    std::unique_ptr<Database> Open(const std::string& path) {
        auto db = NewDatabase();
        EXPECT_TRUE(cli::OpenInput(path, *db).ok()) << path;
        return db;
    }

    // The file `path` holds what `change` makes of the input in memory.
    void ExpectFileIs(const std::string& path, const std::function<void(Database&)>& change) {
        auto expected = Open(file_);
        change(*expected);
        auto got = Open(path);
        EXPECT_EQ(BuildImage(*got), BuildImage(*expected));
        for (int p = 0; p < got->ProgCount; ++p) EXPECT_EQ(got->Prog.data[p], expected->Prog.data[p]) << p;
    }

    // A refusal: exit 1 with `message` on stderr, and no output written.
    void ExpectRefused(const std::vector<std::string>& args, const std::string& message) {
        EXPECT_EQ(Cli(args), 1) << stderr_;
        EXPECT_NE(stderr_.find(message), std::string::npos) << stderr_;
        EXPECT_FALSE(fs::exists(out_));
    }

    fs::path dir_;
    std::string file_, out_, stdout_, stderr_;
};

} // namespace

TEST_F(ReorderCli, SwapExchangesAnyPairAndSavesOverTheInput) {
    ASSERT_EQ(Cli({"swap", file_, "prog", "2", "27", "-o", out_}), 0) << stderr_;
    ExpectFileIs(out_, [](Database& db) { SwapPrograms(db, 2, 27); });
    auto db = Open(out_);
    EXPECT_EQ(db->Audio.data[db->ExtraAudioSlot(27, 1)].Lang, "eng");

    ASSERT_EQ(Cli({"swap", file_, "sat", "0", "4", "-o", out_}), 0) << stderr_;
    ExpectFileIs(out_, [](Database& db) { SwapSatellites(db, 0, 4); });
    ASSERT_EQ(Cli({"swap", file_, "tp", "11", "18", "-o", out_}), 0) << stderr_;
    ExpectFileIs(out_, [](Database& db) { SwapTransponders(db, 11, 18); });
}

TEST_F(ReorderCli, SwapAndSortSurviveASaveAndReopenInPlace) {
    setenv("LC_ALL", "C", 1);
    ASSERT_EQ(Cli({"swap", file_, "tp", "0", "3", "-o", file_}), 0) << stderr_;
    ASSERT_EQ(Cli({"sort", file_, "tv", "name", "-o", file_}), 0) << stderr_;
    auto expected = sample::BuildSample();
    SwapTransponders(*expected, 0, 3);
    SortPrograms(*expected, ProgKind::Tv, SortKey::Name, NameCollator("C"));
    auto got = Open(file_);
    EXPECT_EQ(BuildImage(*got), BuildImage(*expected));
    EXPECT_EQ(got->Prog.data[0].Name, "Alpen TV");
    unsetenv("LC_ALL");
}

TEST_F(ReorderCli, SwapRefusals) {
    ExpectRefused({"swap", file_, "sat", "0", "0", "-o", out_}, "itself");
    ExpectRefused({"swap", file_, "sat", "0", "6", "-o", out_}, "There is no satellite in slot 6!");
    ExpectRefused({"swap", file_, "tp", "0", "10", "-o", out_}, "different satellites");
    ExpectRefused({"swap", file_, "tp", "0", "35", "-o", out_}, "There is no transponder in slot 35!");
    ExpectRefused({"swap", file_, "tp", "0", "99999999999", "-o", out_}, "There is no transponder in slot");
    ExpectRefused({"swap", file_, "prog", "0", "30", "-o", out_}, "both TV or both radio");
    ExpectRefused({"swap", file_, "prog", "-1", "3", "-o", out_}, "There is no program in slot -1!");
    ExpectRefused({"swap", (dir_ / "missing.bin").string(), "prog", "1", "3", "-o", out_}, "inexistent");
    EXPECT_EQ(Cli({"swap", file_, "prog", "1", "x", "-o", out_}), 2);
    EXPECT_EQ(Cli({"swap", file_, "audio", "1", "2", "-o", out_}), 2);
    EXPECT_EQ(Cli({"swap", file_, "prog", "1", "2"}), 2);
    EXPECT_FALSE(fs::exists(out_));
}

TEST_F(ReorderCli, SortEachKindAndOrder) {
    for (const char* kind : {"tv", "radio"}) {
        for (const char* by : {"fav", "tp"}) {
            ASSERT_EQ(Cli({"sort", file_, kind, by, "-o", out_}), 0) << stderr_;
            const ProgKind k = std::string(kind) == "tv" ? ProgKind::Tv : ProgKind::Radio;
            const SortKey key = std::string(by) == "fav" ? SortKey::Fav : SortKey::Tp;
            ExpectFileIs(out_, [&](Database& db) { SortPrograms(db, k, key); });
        }
    }
    EXPECT_EQ(Cli({"sort", file_, "tv", "size", "-o", out_}), 2);
    EXPECT_EQ(Cli({"sort", file_, "data", "name", "-o", out_}), 2);
}

TEST_F(ReorderCli, MarkTogglesOneMarkOfOneProgram) {
    ASSERT_EQ(Cli({"mark", file_, "4", "fav:3", "-o", out_}), 0) << stderr_;
    EXPECT_EQ(stdout_, "Program 4 \"Bergblick\" is now in favourite group 3.\n");
    ExpectFileIs(out_, [](Database& db) { ToggleMarks(db, 4, 2); });

    ASSERT_EQ(Cli({"mark", out_, "7", "lock", "-o", out_}), 0) << stderr_;
    EXPECT_EQ(stdout_, "Program 7 \"Kino Eins\" is no longer locked.\n");
    ASSERT_EQ(Cli({"mark", out_, "35", "skip", "-o", out_}), 0) << stderr_;
    auto db = Open(out_);
    EXPECT_TRUE(db->InFavGroup(4, 2));
    EXPECT_EQ(db->Prog.data[7].Lock, 0);
    EXPECT_EQ(db->Prog.data[35].Skip, 1);
    fs::remove(out_);

    ExpectRefused({"mark", file_, "40", "lock", "-o", out_}, "There is no program in slot 40!");
    EXPECT_EQ(Cli({"mark", file_, "4", "fav:0", "-o", out_}), 2);
    EXPECT_EQ(Cli({"mark", file_, "4", "fav:17", "-o", out_}), 2);
    EXPECT_EQ(Cli({"mark", file_, "4", "bold", "-o", out_}), 2);
}

TEST_F(ReorderCli, FavLockSetsAndClearsAGroupsLock) {
    ASSERT_EQ(Cli({"fav-lock", file_, "3", "1", "-o", out_}), 0) << stderr_;
    ASSERT_EQ(Cli({"fav-lock", out_, "4", "0", "-o", out_}), 0) << stderr_;
    auto db = Open(out_);
    EXPECT_EQ(db->FavLocks[2], 1);
    EXPECT_EQ(db->FavLocks[3], 0);
    EXPECT_EQ(Cli({"fav-lock", file_, "0", "1", "-o", out_}), 2);
    EXPECT_EQ(Cli({"fav-lock", file_, "17", "1", "-o", out_}), 2);
    EXPECT_EQ(Cli({"fav-lock", file_, "3", "yes", "-o", out_}), 2);
}

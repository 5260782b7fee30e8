// A save killed at any moment leaves the destination whole: either the old
// file or the new one, and loadable. A save in place (the file has a second
// hard link) may also leave a mix, but then its recovery copy holds the old
// file and the next start puts it back.
#include "SampleData.h"
#include "TestUtil.h"

#include "base/Files.h"
#include "format/DataFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace dbase;

TEST(CrashSafeSave, KilledSavesLeaveTheOldOrTheNewFile) {
    testutil::TempDir dir;
    const std::string path = dir.path("channel.bin");
    auto a = sample::BuildSample();
    auto b = sample::BuildFull(2);
    std::vector<uint8_t> bytesA, bytesB;
    ASSERT_TRUE(BuildSaveBytes(*a, SaveMode::Channel, bytesA).ok());
    ASSERT_TRUE(BuildSaveBytes(*b, SaveMode::Channel, bytesB).ok());
    ASSERT_TRUE(SaveImage(*a, SaveMode::Channel, path).ok());

    std::mt19937 rng(17);
    for (int round = 0; round < 40; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Save the two databases in turn until killed.
            for (int i = 0;; ++i) (void)SaveImage(i % 2 ? *a : *b, SaveMode::Channel, path);
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 8000)(rng));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const auto now = testutil::ReadFile(path);
        ASSERT_TRUE(now == bytesA || now == bytesB) << "round " << round << ": " << now.size() << " bytes";
        auto db = NewDatabase();
        ASSERT_TRUE(OpenImageBytes(now, true, *db).ok());
    }
}

namespace {

// Kills a child that writes `a` and `b` in turn to `path` (which has a
// second hard link, so every write is in place) at random moments; after
// each kill the file must be one of them, or damaged with a recovery copy
// that holds one of them. Returns how often the copy had to be used.
int KillWritesInPlace(const std::string& path, const std::vector<uint8_t>& a, const std::vector<uint8_t>& b,
                      const std::function<void(const std::vector<uint8_t>&)>& write, unsigned seed) {
    const auto whole = [&](const std::vector<uint8_t>& bytes) { return bytes == a || bytes == b; };
    std::mt19937 rng(seed);
    int recovered = 0;
    for (int round = 0; round < 25; ++round) {
        const pid_t child = ::fork();
        EXPECT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) write(i % 2 ? a : b);
        }
        // A write in place takes a few fsyncs: the kills fall across several.
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 40000)(rng));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        const std::vector<RecoveryRecord> copies = FindRecoveryRecords();
        EXPECT_LE(copies.size(), 1u) << "round " << round;
        if (!whole(testutil::ReadFile(path))) {
            // Killed while the new bytes went in: the copy the next start offers holds the old file.
            if (copies.size() != 1) {
                ADD_FAILURE() << "round " << round << ": a damaged file and no recovery copy";
                return recovered;
            }
            EXPECT_EQ(copies[0].path, path);
            EXPECT_TRUE(whole(copies[0].oldBytes)) << "round " << round;
            EXPECT_TRUE(RestoreRecovery(copies[0]).ok());
            EXPECT_EQ(testutil::ReadFile(path), copies[0].oldBytes);
            ++recovered;
        } else {
            for (const RecoveryRecord& r : copies) {
                EXPECT_TRUE(whole(r.oldBytes)) << "round " << round;
                DiscardRecovery(r);
            }
        }
        EXPECT_EQ(std::filesystem::hard_link_count(path), 2u);
    }
    return recovered;
}

} // namespace

TEST(CrashSafeSave, KilledSavesInPlaceLeaveAWholeFileOrARecoveryCopy) {
    testutil::TempDir dir;
    testutil::EnvVar data("XDG_DATA_HOME", dir.path("data").c_str());
    const std::string path = dir.path("channel.bin");
    auto a = sample::BuildSample();
    auto b = sample::BuildFull(2);
    std::vector<uint8_t> bytesA, bytesB;
    ASSERT_TRUE(BuildSaveBytes(*a, SaveMode::Channel, bytesA).ok());
    ASSERT_TRUE(BuildSaveBytes(*b, SaveMode::Channel, bytesB).ok());
    ASSERT_TRUE(SaveImage(*a, SaveMode::Channel, path).ok());
    std::filesystem::create_hard_link(path, dir.path("second-name.bin"));
    const int saves = KillWritesInPlace(
        path, bytesA, bytesB,
        [&](const std::vector<uint8_t>& bytes) { (void)SaveImage(bytes == bytesA ? *a : *b, SaveMode::Channel, path); },
        23);
    auto db = NewDatabase();
    EXPECT_TRUE(OpenImageBytes(testutil::ReadFile(path), true, *db).ok());

    // A kill while the new bytes go in, every time: a disk quota that ends
    // the writer (SIGXFSZ) beyond the old file's size. The recovery copy is
    // smaller than the limit, the new content is not.
    std::vector<uint8_t> smallA;
    ASSERT_TRUE(BuildSaveBytes(*a, SaveMode::Default, smallA).ok());
    testutil::WriteFile(path, smallA);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{200000, 200000}, noCore{0, 0};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::setrlimit(RLIMIT_CORE, &noCore);
        (void)SaveImage(*b, SaveMode::Channel, path);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer was meant to be stopped in the middle";
    const std::vector<uint8_t> damaged = testutil::ReadFile(path);
    EXPECT_NE(damaged, smallA);
    EXPECT_NE(damaged, bytesB);
    const std::vector<RecoveryRecord> copies = FindRecoveryRecords();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].path, path);
    EXPECT_EQ(copies[0].oldBytes, smallA);
    ASSERT_TRUE(RestoreRecovery(copies[0]).ok());
    EXPECT_EQ(testutil::ReadFile(path), smallA);
    EXPECT_EQ(testutil::ReadFile(dir.path("second-name.bin")), smallA);
    EXPECT_TRUE(FindRecoveryRecords().empty());
    RecordProperty("recovered", saves);
}

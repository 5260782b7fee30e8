// A save killed at any moment leaves the destination whole: either the old
// file or the new one, and loadable.
#include "SampleData.h"
#include "TestUtil.h"

#include "dbase/DataFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
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

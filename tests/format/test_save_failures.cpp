// Saves that can not be completed: the disk fills up in the middle of the
// write, the destination file is read-only, the folder is read-only. Each
// gives an error, keeps DataChanged set, leaves the old file as it was and
// nothing beside it.
//
// The saves run in a child process, which can be given a file-size limit (a
// disk that fills up after so many bytes) and, when the tests run as root,
// an ordinary user's rights, so that permissions are enforced.
#include "SampleData.h"
#include "TestUtil.h"

#include "document/Document.h"
#include "format/DataFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace dbase;
namespace fs = std::filesystem;

namespace {

using testutil::InChild;

// A refused save: 0 when it failed with a message naming `path` and left
// DataChanged set, else a code naming what went wrong.
int ExpectRefusedSave(Database& db, const std::string& path) {
    Document doc(std::make_unique<Database>(db), {true, true});
    doc.SetDataChanged(true);
    const Status s = doc.Save(SaveMode::Channel, path);
    if (s.ok()) return 1;
    if (!doc.DataChanged()) return 2;
    if (s.message().find(path) == std::string::npos) return 3;
    return 0;
}

class SaveFailure : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = sample::BuildSample();
        new_ = sample::BuildFull(4);
        path_ = dir_.path("channel.bin");
        ASSERT_TRUE(SaveImage(*old_, SaveMode::Channel, path_).ok());
        before_ = testutil::ReadFile(path_);
    }

    // The old file stands as it was, alone in its folder.
    void ExpectOldFileAlone() {
        EXPECT_TRUE(testutil::ReadFile(path_) == before_) << "the old file changed";
        int files = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_.dir())) ++files;
        EXPECT_EQ(files, 1) << "a temporary file was left beside the destination";
    }

    testutil::TempDir dir_;
    std::unique_ptr<Database> old_, new_;
    std::string path_;
    std::vector<uint8_t> before_;
};

} // namespace

TEST_F(SaveFailure, DiskFullInTheMiddleOfTheWrite) {
    const int status = InChild(false, [&] {
        // Writes beyond 100,000 bytes fail as on a full disk (EFBIG instead
        // of ENOSPC) rather than stopping the process.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100000, 100000};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 98;
        return ExpectRefusedSave(*new_, path_);
    });
    EXPECT_EQ(status, 0);
    ExpectOldFileAlone();
}

TEST_F(SaveFailure, ReadOnlyFileIsNotReplaced) {
    // The folder is writable, so only the file's own mode protects it.
    fs::permissions(dir_.dir(), fs::perms::all);
    ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);
    EXPECT_EQ(InChild(true, [&] { return ExpectRefusedSave(*new_, path_); }), 0);
    ExpectOldFileAlone();
}

TEST_F(SaveFailure, ReadOnlyFolder) {
    fs::permissions(dir_.dir(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    EXPECT_EQ(InChild(true, [&] { return ExpectRefusedSave(*new_, path_); }), 0);
    fs::permissions(dir_.dir(), fs::perms::owner_all);
    ExpectOldFileAlone();
}

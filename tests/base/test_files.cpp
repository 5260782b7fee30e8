// Files that are not what they seem: pipes, devices and folders as inputs
// and destinations, huge inputs, links and names near the limit, stale
// temporary files, the owner, group and hard links of a saved file, writes
// in place and their recovery copies, the private folders, and the umask.
//
// Cases that would hang before the checks run in a child process with an
// alarm; cases that need a second user run as root and drop to "nobody" in
// a child.
#include "SampleData.h"
#include "TestUtil.h"

#include "base/Files.h"
#include "base/Messages.h"
#include "document/Document.h"
#include "format/DataFile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>

using namespace dbase;
namespace fs = std::filesystem;
using testutil::InChild;
using testutil::kNobody;

// Every call of umask in this program is counted: a save must never set it.
namespace {
std::atomic<int> g_umaskCalls{0};
} // namespace
extern "C" mode_t umask(mode_t mask) noexcept {
    ++g_umaskCalls;
    return static_cast<mode_t>(::syscall(SYS_umask, mask));
}

namespace {

bool IsRoot() { return ::geteuid() == 0; }

std::string Saved(const std::string& what, const std::string& path, const std::string& kind) {
    return what + "\r\r" + path + " is " + kind + ", not a regular file.";
}

std::vector<uint8_t> Bytes(size_t n, uint8_t fill) { return std::vector<uint8_t>(n, fill); }

// A scratch folder whose "data" folder is the program's data folder.
class FilesTest : public ::testing::Test {
protected:
    FilesTest() : data_("XDG_DATA_HOME", dir_.path("data").c_str()) {
        sample_ = sample::BuildSample();
        EXPECT_TRUE(BuildSaveBytes(*sample_, SaveMode::Channel, saved_).ok());
    }

    std::string RecoveryDir() const { return dir_.path("data") + "/orbitlist/recovery"; }
    int RecoveryCopies() const {
        std::error_code ec;
        int n = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(RecoveryDir(), ec)) ++n;
        return n;
    }
    // A folder owned by "nobody" that a child running as nobody uses as its data folder.
    std::string NobodyDataHome() {
        const std::string home = dir_.path("nobody-data");
        fs::create_directory(home);
        EXPECT_EQ(::chown(home.c_str(), kNobody, kNobody), 0);
        ::chmod(home.c_str(), 0700);
        return home;
    }

    testutil::TempDir dir_;
    testutil::EnvVar data_;
    std::unique_ptr<Database> sample_;
    std::vector<uint8_t> saved_;
};

} // namespace

// ---------------------------------------------------------- not regular files

TEST_F(FilesTest, DestinationsThatAreNoRegularFilesAreRefusedWithoutBlocking) {
    const std::string fifo = dir_.path("fifo.bin"), folder = dir_.path("folder.bin"), link = dir_.path("link.bin");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(folder);
    fs::create_symlink(fifo, link);
    const int status = InChild(
        false,
        [&] {
            Document doc(std::make_unique<Database>(*sample_), {true, true});
            doc.SetDataChanged(true);
            struct Case {
                std::string path, kind;
            } cases[] = {
                {fifo, "a named pipe"}, {folder, "a folder"}, {"/dev/null", "a device"}, {link, "a named pipe"}};
            for (const Case& c : cases) {
                const Status s = doc.Save(SaveMode::Channel, c.path);
                if (s.message() != Saved("The file can not be saved!", c.path, c.kind)) return 1;
                if (!doc.DataChanged()) return 2;
                if (CheckDestination(c.path).ok()) return 3;
            }
            return 0;
        },
        10);
    EXPECT_EQ(status, 0) << "97: a save blocked on the pipe";
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_directory(folder));
}

TEST_F(FilesTest, InputsThatAreNoRegularFilesAreRefusedWithoutBlocking) {
    const std::string fifo = dir_.path("fifo.bin");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int status = InChild(
        false,
        [&] {
            auto db = NewDatabase();
            if (OpenImageFile(fifo, true, *db).message() != Saved("The file can not be opened!", fifo, "a named pipe"))
                return 1;
            std::vector<uint8_t> bytes;
            if (ReadWholeFile(dir_.dir().string(), bytes).message() !=
                Saved("The file can not be opened!", dir_.dir().string(), "a folder"))
                return 2;
            if (ReadWholeFile("/dev/zero", bytes).message() !=
                Saved("The file can not be opened!", "/dev/zero", "a device"))
                return 3;
            if (ReadWholeFile(dir_.path("missing.bin"), bytes).message() != msg::FileMissing) return 4;
            return 0;
        },
        10);
    EXPECT_EQ(status, 0) << "97: an open blocked on the pipe";
}

// -------------------------------------------------------------- huge inputs

TEST_F(FilesTest, HugeInputsAreRefusedBySizeBeforeReading) {
    const std::string huge = dir_.path("huge.bin");
    testutil::WriteFile(huge, {});
    ASSERT_EQ(::truncate(huge.c_str(), 8LL << 30), 0); // sparse: nothing is on the disk
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadWholeFile(huge, bytes).message(), msg::SizeLarge);
    auto db = NewDatabase();
    EXPECT_EQ(OpenImageFile(huge, true, *db).message(), msg::SizeLarge);

    const std::string small = dir_.path("small");
    testutil::WriteFile(small, Bytes(11, 'x'));
    EXPECT_EQ(ReadFileLimited(small, 10, "too big", bytes).message(), "too big");
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(ReadFileLimited(small, 11, "too big", bytes).ok());
    EXPECT_EQ(bytes.size(), 11u);
}

// ------------------------------------------------------ links and long names

TEST_F(FilesTest, LinksAreFollowedToTheirEnd) {
    // A dangling link writes the file it names, as a link to an existing one does.
    const std::string target = dir_.path("target.bin"), link = dir_.path("link.bin");
    fs::create_symlink("target.bin", link);
    ASSERT_TRUE(WriteFileAtomic(link, saved_).ok());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(testutil::ReadFile(target), saved_);
    const std::string chain = dir_.path("chain.bin");
    fs::create_symlink(link, chain);
    ASSERT_TRUE(WriteFileAtomic(chain, Bytes(5, 'a')).ok());
    EXPECT_TRUE(fs::is_symlink(chain) && fs::is_symlink(link));
    EXPECT_EQ(testutil::ReadFile(target), Bytes(5, 'a'));

    // A loop of links is refused.
    const std::string a = dir_.path("a.bin"), b = dir_.path("b.bin"), self = dir_.path("self.bin");
    fs::create_symlink(b, a);
    fs::create_symlink(a, b);
    fs::create_symlink(self, self);
    for (const std::string& p : {a, self}) {
        const Status s = WriteFileAtomic(p, saved_);
        EXPECT_EQ(s.message(), "The file can not be saved!\r\r" + p + ": its symbolic links lead round in a loop.");
    }
    EXPECT_TRUE(fs::is_symlink(a) && fs::is_symlink(b) && fs::is_symlink(self));
}

TEST_F(FilesTest, NamesNearTheLimitCanBeSaved) {
    for (size_t length : {248, 251, 255}) {
        const std::string name = std::string(length - 4, 'n') + ".bin";
        const std::string path = dir_.path(name);
        ASSERT_TRUE(SaveImage(*sample_, SaveMode::Channel, path).ok()) << length;
        ASSERT_TRUE(SaveImage(*sample_, SaveMode::Channel, path).ok()) << length; // over an existing one
        EXPECT_EQ(testutil::ReadFile(path), saved_);
    }
}

TEST_F(FilesTest, StaleTemporaryFilesOfAKilledSaveAreRemoved) {
    const auto old = [](const std::string& path) {
        testutil::WriteFile(path, {1, 2, 3});
        const timeval times[2] = {{std::time(nullptr) - 120, 0}, {std::time(nullptr) - 120, 0}};
        ::utimes(path.c_str(), times);
    };
    const std::string stale = dir_.path(".orbitlist-Ab3xZ9.tmp"), fresh = dir_.path(".orbitlist-Qw12Er.tmp");
    const std::string other = dir_.path(".orbitlist-short.tmp"), mine = dir_.path("notes.tmp");
    old(stale);
    testutil::WriteFile(fresh, {1});
    old(other);
    old(mine);
    ASSERT_TRUE(SaveImage(*sample_, SaveMode::Channel, dir_.path("channel.bin")).ok());
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(fresh)) << "a save running now may own it";
    EXPECT_TRUE(fs::exists(other) && fs::exists(mine)) << "not the program's own name pattern";
}

// ------------------------------------------------- owner, group, hard links

TEST_F(FilesTest, ModeOwnerAndGroupOfTheOldFileAreKept) {
    const std::string path = dir_.path("shared.bin");
    testutil::WriteFile(path, Bytes(100, 'o'));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    if (IsRoot()) {
        ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    }
    struct stat before {};
    ::stat(path.c_str(), &before);
    ASSERT_TRUE(SaveImage(*sample_, SaveMode::Channel, path).ok());
    struct stat after {};
    ::stat(path.c_str(), &after);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(testutil::ReadFile(path), saved_);
    // A new file takes the mode the umask leaves.
    const std::string fresh = dir_.path("fresh.bin");
    ASSERT_TRUE(WriteFileAtomic(fresh, Bytes(1, 1)).ok());
    ::stat(fresh.c_str(), &after);
    EXPECT_EQ(after.st_mode & 0777, 0666u & ~ProcessUmask());
}

TEST_F(FilesTest, ASaveOverAFileReplacesItInOneStepAndLeavesNothingBeside) {
    const std::string path = dir_.path("channel.bin");
    for (const bool sync : {true, false}) {
        testutil::WriteFile(path, Bytes(1000, 'o'));
        struct stat before {
        }, after{};
        ::stat(path.c_str(), &before);
        // A reader that has the old file open goes on reading the old file.
        const int reader = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(reader, 0);
        ASSERT_TRUE(WriteFileAtomic(path, saved_, sync).ok()) << sync;
        ::stat(path.c_str(), &after);
        EXPECT_NE(after.st_ino, before.st_ino) << sync;
        EXPECT_EQ(testutil::ReadFile(path), saved_) << sync;
        uint8_t first = 0;
        EXPECT_EQ(::pread(reader, &first, 1, 0), 1);
        EXPECT_EQ(first, 'o');
        ::close(reader);
        int beside = 0;
        for (const auto& e : fs::directory_iterator(dir_.dir())) beside += e.path().filename() != "data" ? 1 : 0;
        EXPECT_EQ(beside, 1) << "the old file is gone and no temporary file is left, sync " << sync;
    }
}

TEST_F(FilesTest, PagesOfZerosLeftOutOfAWriteReadAsZeros) {
    std::vector<uint8_t> mixed(3 * 4096 + 100, 0);
    mixed[5000] = 1;  // the second page
    mixed.back() = 2; // a short last page
    std::vector<uint8_t> zeroTail(2 * 4096 + 10, 0);
    zeroTail[0] = 3;
    const std::string path = dir_.path("f.bin");
    for (const auto& bytes : {saved_, mixed, zeroTail, Bytes(10000, 0), Bytes(5, 'x'), std::vector<uint8_t>{}}) {
        ASSERT_TRUE(WriteFileAtomic(path, bytes, false).ok());
        EXPECT_EQ(testutil::ReadFile(path), bytes) << bytes.size();
    }
}

TEST_F(FilesTest, AHardLinkedFileIsWrittenInPlace) {
    const std::string a = dir_.path("a.bin"), b = dir_.path("b.bin");
    testutil::WriteFile(a, Bytes(1000, 'o'));
    fs::create_hard_link(a, b);
    ASSERT_EQ(fs::hard_link_count(a), 2u);
    struct stat before {
    }, after{};
    ::stat(a.c_str(), &before);
    ASSERT_TRUE(SaveImage(*sample_, SaveMode::Channel, a).ok());
    ::stat(a.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(testutil::ReadFile(b), saved_) << "the other name shows the new content";
    EXPECT_EQ(RecoveryCopies(), 0) << "a finished write removes its recovery copy";
    int beside = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_.dir())) ++beside;
    EXPECT_EQ(beside, 3); // a.bin, b.bin and the data folder
}

// Where the saver may not give a new file the old owner, or can make no
// file in the folder, the file is written in place and keeps its hands.
TEST_F(FilesTest, AFileOfAnotherOwnerIsWrittenInPlace) {
    if (!IsRoot()) GTEST_SKIP() << "needs root to make a file of another owner and to drop to nobody";
    const std::string home = NobodyDataHome();
    const std::string open = dir_.path("open"), closed = dir_.path("closed");
    fs::create_directory(open);
    fs::create_directory(closed);
    ::chmod(open.c_str(), 0777);   // nobody may make files here, but not give them root's hands
    ::chmod(closed.c_str(), 0755); // nobody may make no file here
    ::chmod(dir_.dir().c_str(), 0755);
    for (const std::string& folder : {open, closed}) {
        SCOPED_TRACE(folder);
        const std::string path = folder + "/group.bin";
        testutil::WriteFile(path, Bytes(500, 'o'));
        ASSERT_EQ(::chown(path.c_str(), 0, 0), 0);
        ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
        struct stat before {
        }, after{};
        ::stat(path.c_str(), &before);
        EXPECT_EQ(InChild(true,
                          [&] {
                              ::setenv("XDG_DATA_HOME", home.c_str(), 1);
                              const Status s = WriteFileAtomic(path, saved_);
                              if (!s) std::fprintf(stderr, "%s\n", s.message().c_str());
                              return s.ok() ? 0 : 1;
                          }),
                  0);
        ::stat(path.c_str(), &after);
        EXPECT_EQ(after.st_uid, 0u);
        EXPECT_EQ(after.st_gid, 0u);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode & 07777, 0666u);
        EXPECT_EQ(testutil::ReadFile(path), saved_);
    }
    std::error_code ec;
    EXPECT_TRUE(fs::is_empty(home + "/orbitlist/recovery", ec));
}

TEST_F(FilesTest, AFailedWriteInPlacePutsTheOldBytesBack) {
    const std::string a = dir_.path("a.bin"), b = dir_.path("b.bin");
    const std::vector<uint8_t> old = Bytes(50000, 'o');
    testutil::WriteFile(a, old);
    fs::create_hard_link(a, b);
    EXPECT_EQ(InChild(false,
                      [&] {
                          // Writes beyond 100,000 bytes fail as on a full disk.
                          ::signal(SIGXFSZ, SIG_IGN);
                          const rlimit limit{100000, 100000};
                          if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 98;
                          const Status s = WriteFileAtomic(a, saved_);
                          if (s.ok()) return 1;
                          if (s.message().find("The file keeps its old content.") == std::string::npos) return 2;
                          return s.message().rfind("The file can not be saved!\r\r" + a + ": ", 0) == 0 ? 0 : 3;
                      }),
              0);
    EXPECT_EQ(testutil::ReadFile(a), old);
    EXPECT_EQ(RecoveryCopies(), 0);
}

// --------------------------------------------------------- recovery copies

TEST_F(FilesTest, RecoveryCopiesRoundTripAndRefuseDamage) {
    RecoveryRecord r;
    r.path = "/home/u/chan.bin";
    r.device = 0x1234;
    r.inode = 99;
    r.oldBytes = Bytes(300, 7);
    const std::vector<uint8_t> bytes = EncodeRecoveryRecord(r);
    RecoveryRecord back;
    ASSERT_TRUE(ParseRecoveryRecord(bytes, back));
    EXPECT_EQ(back.path, r.path);
    EXPECT_EQ(back.device, r.device);
    EXPECT_EQ(back.inode, r.inode);
    EXPECT_EQ(back.oldBytes, r.oldBytes);
    for (size_t n = 0; n < bytes.size(); n += 7)
        EXPECT_FALSE(ParseRecoveryRecord(std::span(bytes).first(n), back)) << n;
    for (size_t i = 0; i < bytes.size(); i += 13) {
        std::vector<uint8_t> bad = bytes;
        bad[i] ^= 0x40;
        EXPECT_FALSE(ParseRecoveryRecord(bad, back)) << i;
    }
    r.path = "relative.bin";
    EXPECT_FALSE(ParseRecoveryRecord(EncodeRecoveryRecord(r), back));
}

TEST_F(FilesTest, RecoveryCopiesAreFoundRestoredAndDiscarded) {
    std::string dir;
    ASSERT_TRUE(RecoveryDirectory(dir).ok());
    const auto place = [&](const std::string& name, const std::string& file, const std::vector<uint8_t>& old) {
        RecoveryRecord r;
        r.path = file;
        r.oldBytes = old;
        testutil::WriteFile(dir + "/" + name, EncodeRecoveryRecord(r));
    };
    const std::string damaged = dir_.path("damaged.bin"), untouched = dir_.path("untouched.bin"),
                      gone = dir_.path("gone.bin");
    testutil::WriteFile(damaged, Bytes(10, 'n'));
    testutil::WriteFile(untouched, Bytes(10, 'o'));
    place("aaaaaa.rec", damaged, Bytes(10, 'o'));
    place("bbbbbb.rec", untouched, Bytes(10, 'o'));
    place("cccccc.rec", gone, Bytes(4, 'g'));
    place("dddddd.rec", damaged, Bytes(3, 'x'));
    testutil::WriteFile(dir + "/.partial-eeeeee", {1, 2});
    testutil::WriteFile(dir + "/ffffff.rec", {1, 2, 3}); // not a copy at all
    // A copy whose write is still running elsewhere is locked by its writer.
    const int busy = ::open((dir + "/dddddd.rec").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);

    std::vector<RecoveryRecord> found = FindRecoveryRecords();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].path, damaged);
    EXPECT_EQ(found[1].path, gone);
    EXPECT_FALSE(fs::exists(dir + "/bbbbbb.rec")) << "its file already holds the old bytes";
    EXPECT_FALSE(fs::exists(dir + "/.partial-eeeeee"));
    EXPECT_TRUE(fs::exists(dir + "/ffffff.rec"));

    ASSERT_TRUE(RestoreRecovery(found[0]).ok());
    EXPECT_EQ(testutil::ReadFile(damaged), Bytes(10, 'o'));
    ASSERT_TRUE(RestoreRecovery(found[1]).ok());
    EXPECT_EQ(testutil::ReadFile(gone), Bytes(4, 'g'));
    ::close(busy);
    found = FindRecoveryRecords();
    ASSERT_EQ(found.size(), 1u);
    DiscardRecovery(found[0]);
    EXPECT_TRUE(FindRecoveryRecords().empty());
    EXPECT_EQ(testutil::ReadFile(damaged), Bytes(10, 'o'));
}

// ---------------------------------------------------------- private folders

TEST_F(FilesTest, TheDataFolderIsNeverShared) {
    testutil::EnvVar noData("XDG_DATA_HOME", nullptr), noRun("XDG_RUNTIME_DIR", nullptr);
    std::string dir;
    {
        testutil::EnvVar noHome("HOME", nullptr);
        const Status s = DataDirectory(dir);
        EXPECT_FALSE(s.ok());
        EXPECT_NE(s.message().find("no private folder"), std::string::npos) << s.message();
        std::string work;
        EXPECT_FALSE(WorkFilePath(work).ok());

        const std::string run = dir_.path("run");
        fs::create_directory(run);
        ::chmod(run.c_str(), 0700);
        testutil::EnvVar runtime("XDG_RUNTIME_DIR", run.c_str());
        ASSERT_TRUE(DataDirectory(dir).ok());
        EXPECT_EQ(dir, run + "/orbitlist");
        ::chmod(run.c_str(), 0755); // a runtime folder open to others is no private one
        EXPECT_FALSE(DataDirectory(dir).ok());
    }
    // Under HOME every folder made is closed to others.
    const std::string home = dir_.path("home");
    fs::create_directory(home);
    testutil::EnvVar homeVar("HOME", home.c_str());
    ASSERT_TRUE(DataDirectory(dir).ok());
    EXPECT_EQ(dir, home + "/.local/share/orbitlist");
    for (const char* sub : {"/.local", "/.local/share", "/.local/share/orbitlist"})
        EXPECT_EQ(fs::status(home + sub).permissions(), fs::perms::owner_all) << sub;
    // An own folder left open by an older version is closed.
    ::chmod(dir.c_str(), 0755);
    ASSERT_TRUE(DataDirectory(dir).ok());
    EXPECT_EQ(fs::status(dir).permissions(), fs::perms::owner_all);
}

TEST_F(FilesTest, AFolderOfAnotherUserIsRefused) {
    if (!IsRoot()) GTEST_SKIP() << "needs root to make a folder of another user";
    const std::string theirs = dir_.path("theirs");
    fs::create_directory(theirs);
    ASSERT_EQ(::chown(theirs.c_str(), kNobody, kNobody), 0);
    ::chmod(theirs.c_str(), 0700);
    const Status s = MakePrivateFolder(theirs);
    EXPECT_NE(s.message().find("belongs to another user"), std::string::npos) << s.message();
    // Nor a link planted to it, nor a data folder made that way.
    fs::create_directory(dir_.path("xdg"));
    fs::create_symlink(theirs, dir_.path("xdg/orbitlist"));
    testutil::EnvVar xdg("XDG_DATA_HOME", dir_.path("xdg").c_str());
    std::string dir;
    EXPECT_FALSE(DataDirectory(dir).ok());
    // The other way round: nobody does not take root's folder either.
    ASSERT_TRUE(MakePrivateFolder(dir_.path("data")).ok());
    EXPECT_EQ(InChild(true, [&] { return MakePrivateFolder(dir_.path("data")).ok() ? 1 : 0; }), 0);
}

TEST_F(FilesTest, TheWorkFileIsNeverWrittenThroughALink) {
    const std::string victim = dir_.path("victim"), work = dir_.path("KESTREL_BACKUP.BIN");
    testutil::WriteFile(victim, Bytes(3, 'v'));
    fs::create_symlink(victim, work);
    EXPECT_FALSE(WriteWorkFile(work, saved_).ok());
    EXPECT_EQ(testutil::ReadFile(victim), Bytes(3, 'v'));
    fs::remove(work);
    ASSERT_TRUE(WriteWorkFile(work, saved_).ok());
    EXPECT_EQ(fs::status(work).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(WriteWorkFile(work, Bytes(4, 'w')).ok());
    EXPECT_EQ(testutil::ReadFile(work), Bytes(4, 'w'));
    if (IsRoot()) {
        ASSERT_EQ(::chown(work.c_str(), kNobody, kNobody), 0);
        const Status s = WriteWorkFile(work, saved_);
        EXPECT_NE(s.message().find("belongs to another user"), std::string::npos) << s.message();
    }
}

TEST_F(FilesTest, TheSocketFolderIsTheUsersOwn) {
    const std::string run = dir_.path("run"), shared = dir_.path("shared");
    fs::create_directory(run);
    fs::create_directory(shared);
    ::chmod(run.c_str(), 0700);
    ::chmod(shared.c_str(), 01777);
    std::string dir;
    {
        testutil::EnvVar runtime("XDG_RUNTIME_DIR", run.c_str());
        ASSERT_TRUE(RuntimeDirectory(dir, shared).ok());
        EXPECT_EQ(dir, run);
        ::chmod(run.c_str(), 0770); // open to a group: not used
        ASSERT_TRUE(RuntimeDirectory(dir, shared).ok());
        EXPECT_NE(dir, run);
    }
    testutil::EnvVar noRuntime("XDG_RUNTIME_DIR", nullptr);
    const std::string own = shared + "/orbitlist-" + std::to_string(::geteuid());
    ASSERT_TRUE(RuntimeDirectory(dir, shared).ok());
    EXPECT_EQ(dir, own);
    EXPECT_EQ(fs::status(own).permissions(), fs::perms::owner_all);
    fs::remove(own);
    fs::create_symlink(run, own); // planted: a link is no folder of one's own
    EXPECT_FALSE(RuntimeDirectory(dir, shared).ok());
    fs::remove(own);
    if (IsRoot()) {
        // Another user made the folder first.
        fs::create_directory(own);
        ASSERT_EQ(::chown(own.c_str(), kNobody, kNobody), 0);
        ::chmod(own.c_str(), 0700);
        const Status s = RuntimeDirectory(dir, shared);
        EXPECT_FALSE(s.ok());
        EXPECT_NE(s.message().find("not a folder of the user's own"), std::string::npos) << s.message();
    }
}

// ---------------------------------------------------------------- the umask

TEST_F(FilesTest, SavesNeverSetTheUmask) {
    const int before = g_umaskCalls.load();
    for (int i = 0; i < 3; ++i) {
        const std::string path = dir_.path("new" + std::to_string(i) + ".bin");
        ASSERT_TRUE(SaveImage(*sample_, SaveMode::Channel, path).ok());
        ASSERT_TRUE(SaveImage(*sample_, SaveMode::Channel, path).ok());
    }
    EXPECT_EQ(g_umaskCalls.load(), before);
    // The mask read once is the process's own.
    const mode_t now = static_cast<mode_t>(::syscall(SYS_umask, 022));
    ::syscall(SYS_umask, now);
    EXPECT_EQ(ProcessUmask(), now);
}

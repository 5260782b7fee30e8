// The backup of a file before it is first written over: NAME.bak beside it,
// a copy made as carefully as a save; what happens where it can not be made
// or fails; and the document's sessions, which back a file up once.
#include "SampleData.h"
#include "TestUtil.h"

#include "base/Files.h"
#include "document/Document.h"
#include "document/StepNames.h"
#include "editing/EditorFields.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace dbase;
namespace fs = std::filesystem;
using testutil::InChild;
using testutil::ReadFile;
using testutil::WriteFile;
using Outcome = BackupResult::Outcome;

namespace {

std::vector<uint8_t> Bytes(size_t n, uint8_t fill) { return std::vector<uint8_t>(n, fill); }

size_t EntriesIn(const fs::path& dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}

// One step that changes the data, so that a save writes something new.
void Rename(Document& doc, const std::string& name) {
    ASSERT_TRUE(doc.Edit(steps::RenameFavourite(0), [&](Database& db) { return SetFavName(db, 0, name); }).ok());
}

} // namespace

TEST(BackUpFile, CopiesTheFileBesideItAsASaveWrites) {
    testutil::TempDir dir;
    const std::string file = dir.path("channel.bin"), bak = file + ".bak";
    BackupResult r;
    ASSERT_TRUE(BackUpFile(file, r).ok());
    EXPECT_EQ(r.outcome, Outcome::None) << "nothing there to keep";
    EXPECT_FALSE(fs::exists(bak));

    WriteFile(file, Bytes(300000, 7)); // larger than one copy buffer
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    const timespec old[2] = {{1000000000, 0}, {1100000000, 500}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), old, 0), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(file.c_str(), testutil::kNobody, testutil::kNobody), 0);
    }
    WriteFile(bak, {'o', 'l', 'd'});
    ASSERT_TRUE(BackUpFile(file, r).ok());
    EXPECT_EQ(r.outcome, Outcome::Made);
    EXPECT_EQ(r.backup, bak);
    EXPECT_EQ(ReadFile(bak), ReadFile(file)) << "an older backup is replaced";
    struct stat f {
    }, b{};
    ASSERT_EQ(::stat(file.c_str(), &f), 0);
    ASSERT_EQ(::stat(bak.c_str(), &b), 0);
    EXPECT_EQ(b.st_mode, f.st_mode);
    EXPECT_EQ(b.st_uid, f.st_uid);
    EXPECT_EQ(b.st_gid, f.st_gid);
    EXPECT_EQ(b.st_mtim.tv_sec, f.st_mtim.tv_sec);
    EXPECT_EQ(EntriesIn(dir.dir()), 2u) << "no temporary file is left";

    // A backup name that is a link is replaced, never written through.
    const std::string elsewhere = dir.path("elsewhere.bin");
    WriteFile(elsewhere, {'k', 'e', 'e', 'p'});
    fs::remove(bak);
    fs::create_symlink(elsewhere, bak);
    ASSERT_TRUE(BackUpFile(file, r).ok());
    EXPECT_FALSE(fs::is_symlink(bak));
    EXPECT_EQ(ReadFile(elsewhere), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));

    // Through a link to the data file the backup lies beside the file itself.
    const std::string link = dir.path("link.bin");
    fs::create_symlink(file, link);
    fs::remove(bak);
    ASSERT_TRUE(BackUpFile(link, r).ok());
    EXPECT_EQ(r.backup, bak);
    EXPECT_FALSE(fs::exists(link + ".bak"));
}

// A backup that fails while it is written is an error; one that has no place
// beside the file is no error, and says why.
TEST(BackUpFile, FailuresStopAndMissingPlacesAreTold) {
    testutil::TempDir dir;
    const std::string file = dir.path("channel.bin"), bak = file + ".bak";
    WriteFile(file, Bytes(262144, 1));
    WriteFile(bak, {'o', 'l', 'd'});
    const int status = InChild(false, [&] {
        // Writes beyond 100,000 bytes fail as on a full disk.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100000, 100000};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 98;
        BackupResult r;
        const Status s = BackUpFile(file, r);
        if (s.ok()) return 1;
        return s.message().find(bak + " can not be written") != std::string::npos ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFile(bak), (std::vector<uint8_t>{'o', 'l', 'd'})) << "the older backup stays";
    EXPECT_EQ(EntriesIn(dir.dir()), 2u);

    fs::remove(bak);
    fs::create_directory(bak);
    BackupResult r;
    const Status folder = BackUpFile(file, r);
    EXPECT_FALSE(folder.ok());
    EXPECT_NE(folder.message().find("a folder of that name is in the way"), std::string::npos) << folder.message();

    // 252 characters: the file fits the folder, its backup's name does not.
    const std::string longName = dir.path(std::string(252, 'n'));
    WriteFile(longName, {1});
    ASSERT_TRUE(BackUpFile(longName, r).ok());
    EXPECT_EQ(r.outcome, Outcome::NoPlace);
    EXPECT_EQ(NoBackupNote(r), "No backup of " + longName +
                                   " can be made (its name has no room for \".bak\"); it is written without one.");

    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
    // A file nobody may write in a folder nobody may add to: no backup, and
    // the save goes on (in place).
    const std::string shared = dir.path("shared.bin");
    WriteFile(shared, sample::SampleFile(true));
    ASSERT_EQ(::chmod(shared.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir.dir().c_str(), 0755), 0);
    const std::string data = dir.path("nobody-data");
    fs::create_directory(data);
    ASSERT_EQ(::chown(data.c_str(), testutil::kNobody, testutil::kNobody), 0);
    testutil::EnvVar dataHome("XDG_DATA_HOME", data.c_str());
    EXPECT_EQ(InChild(true,
                      [&] {
                          Document doc;
                          if (!doc.Open(shared, true)) return 1;
                          Rename(doc, "Shared");
                          if (!doc.Save(SaveMode::Channel, shared)) return 2;
                          if (doc.LastBackup().outcome != Outcome::NoPlace) return 3;
                          return doc.LastBackup().why == dir.dir().string() + " takes no new file" ? 0 : 4;
                      }),
              0);
    EXPECT_FALSE(fs::exists(shared + ".bak"));
    Document check;
    ASSERT_TRUE(check.Open(shared, true).ok());
    EXPECT_EQ(check.Db().FavNames[0], "Shared");
}

// The document backs a file up before the first save over it in a session:
// a session starts with each open and goes on through Save as; a read-back's
// file keeps the backup of the file it replaced.
TEST(DocumentBackups, OnlyTheFirstSaveOfASessionBacksUp) {
    testutil::TempDir dir;
    const std::string file = dir.path("channel.bin"), bak = file + ".bak";
    WriteFile(file, sample::SampleFile(true));
    const auto original = ReadFile(file);

    Document doc;
    ASSERT_TRUE(doc.Open(file, true).ok());
    Rename(doc, "First");
    ASSERT_TRUE(doc.Save(SaveMode::Channel, file).ok());
    EXPECT_EQ(doc.LastBackup().outcome, Outcome::Made);
    EXPECT_EQ(ReadFile(bak), original);
    const auto first = ReadFile(file);
    Rename(doc, "Second");
    ASSERT_TRUE(doc.Save(SaveMode::Channel, file).ok());
    EXPECT_EQ(doc.LastBackup().outcome, Outcome::None);
    EXPECT_EQ(ReadFile(bak), original) << "later saves leave the backup alone";

    // Save as over an existing file backs that one up once; the reopened
    // file is the same session.
    const std::string other = dir.path("other.bin");
    WriteFile(other, sample::SampleFile(false));
    const auto otherBefore = ReadFile(other);
    ASSERT_TRUE(doc.Save(SaveMode::Default, other).ok());
    ASSERT_TRUE(doc.Reopen(other, false).ok());
    EXPECT_EQ(ReadFile(other + ".bak"), otherBefore);
    Rename(doc, "Third");
    ASSERT_TRUE(doc.Save(SaveMode::Default, other).ok());
    EXPECT_EQ(ReadFile(other + ".bak"), otherBefore);
    // A new file has nothing to keep, then or at its next save.
    const std::string fresh = dir.path("fresh.bin");
    ASSERT_TRUE(doc.Save(SaveMode::Default, fresh).ok());
    ASSERT_TRUE(doc.Save(SaveMode::Default, fresh).ok());
    EXPECT_FALSE(fs::exists(fresh + ".bak"));

    // Opening again is a new session: its first save keeps the file as it was then.
    const auto second = ReadFile(file);
    ASSERT_NE(second, first);
    ASSERT_TRUE(doc.Open(file, true).ok());
    ASSERT_TRUE(doc.Save(SaveMode::Channel, file).ok());
    EXPECT_EQ(ReadFile(bak), second);

    // A read-back over the file backs it up, and the first save after the
    // received file is opened makes no second backup over that one.
    doc.Close();
    WriteFile(file, first);
    ASSERT_TRUE(doc.BackUpBeforeWrite(file).ok());
    EXPECT_EQ(ReadFile(bak), first);
    WriteFile(file, original); // what the receiver sent
    ASSERT_TRUE(doc.Open(file, true).ok());
    ASSERT_TRUE(doc.Save(SaveMode::Channel, file).ok());
    EXPECT_EQ(ReadFile(bak), first);
}

TEST(DocumentBackups, AFailedBackupStopsTheSaveAndBackupsCanBeOff) {
    testutil::TempDir dir;
    const std::string file = dir.path("channel.bin");
    WriteFile(file, sample::SampleFile(true));
    const auto original = ReadFile(file);
    Document doc;
    ASSERT_TRUE(doc.Open(file, true).ok());
    Rename(doc, "Changed");
    fs::create_directory(file + ".bak");
    EXPECT_FALSE(doc.Save(SaveMode::Channel, file).ok());
    EXPECT_EQ(ReadFile(file), original) << "nothing is overwritten";
    EXPECT_TRUE(doc.DataChanged());

    doc.SetBackups(false);
    ASSERT_TRUE(doc.Save(SaveMode::Channel, file).ok());
    EXPECT_NE(ReadFile(file), original);
    EXPECT_TRUE(fs::is_empty(file + ".bak"));
}

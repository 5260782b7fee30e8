#include "base/Files.h"

#include "base/Bits.h"
#include "base/Messages.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace dbase {

namespace {

constexpr const char* kCannotSave = "The file can not be saved!";
constexpr const char* kCannotOpen = "The file can not be opened!";
constexpr const char* kCannotRead = "The file can not be read!";
// More links in a row than this are taken for a loop, as the system does.
constexpr int kMaxLinkHops = 40;
// Temporary files of a save: ".orbitlist-XXXXXX.tmp" beside the destination.
constexpr std::string_view kTempPrefix = ".orbitlist-";
constexpr std::string_view kTempSuffix = ".tmp";
// A temporary file older than this is left over from a save that was killed.
constexpr time_t kStaleSeconds = 60;

mode_t ReadUmask() {
    // Linux reports the mask without changing it.
    if (std::FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, f)) {
            unsigned mask = 0;
            if (std::sscanf(line, "Umask: %o", &mask) == 1) {
                std::fclose(f);
                return static_cast<mode_t>(mask & 0777);
            }
        }
        std::fclose(f);
    }
    // Elsewhere the mask can only be read by setting it; this runs while the
    // program is loaded, before any thread of its own exists.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

const mode_t g_umask = ReadUmask();

Status IoError(const std::string& what, const std::string& path, int err) {
    return Status::Error(StatusCode::Io, what + "\r\r" + path + ": " + std::strerror(err));
}

Status NotRegular(const std::string& what, const std::string& path, mode_t mode) {
    return Status::Error(StatusCode::Refused,
                         what + "\r\r" + path + " is " + FileTypeText(mode) + ", not a regular file.");
}

Status LinkLoop(const std::string& what, const std::string& path) {
    return Status::Error(StatusCode::Io, what + "\r\r" + path + ": its symbolic links lead round in a loop.");
}

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    // Hands the descriptor over; this object no longer closes it.
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd) {
        Close();
        fd_ = fd;
    }
    // Closes the descriptor; returns the error of close, or 0.
    int Close() {
        if (fd_ < 0) return 0;
        const int r = ::close(fd_);
        fd_ = -1;
        return r == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// Writes all of `bytes` at `offset`; returns 0 or the error.
int WriteAllAt(int fd, std::span<const uint8_t> bytes, off_t offset) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, offset + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        done += static_cast<size_t>(n);
    }
    return 0;
}

// Writes `bytes` into the new, empty file `fd`, leaving out the pages that
// hold only zeros: the file is then given its whole size, and what was left
// out reads as zeros. A data file is mostly zeros after its container, and
// the file system then has two thirds less to copy, reserve and write out.
int WriteLeavingZeroPages(int fd, std::span<const uint8_t> bytes) {
    constexpr size_t kPage = 4096;
    const auto zeroPage = [&](size_t at) { return AllZero(bytes.subspan(at, std::min(kPage, bytes.size() - at))); };
    size_t at = 0;
    while (at < bytes.size()) {
        while (at < bytes.size() && zeroPage(at)) at += kPage;
        if (at >= bytes.size()) break;
        size_t end = at + kPage;
        while (end < bytes.size() && !zeroPage(end)) end += kPage;
        end = std::min(end, bytes.size());
        if (int err = WriteAllAt(fd, bytes.subspan(at, end - at), static_cast<off_t>(at))) return err;
        at = end;
    }
    while (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0)
        if (errno != EINTR) return errno;
    return 0;
}

// Reads from `offset` until the end of the file, at most `limit` bytes;
// returns 0, EFBIG when the file holds more, or the error.
int ReadAllAt(int fd, std::vector<uint8_t>& out, uint64_t limit) {
    out.clear();
    uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(out.size()));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        if (out.size() + static_cast<size_t>(n) > limit) return EFBIG;
        out.insert(out.end(), buffer, buffer + n);
    }
}

// The file's new content: the bytes at 0, the size cut to them, on the disk.
int ReplaceContent(int fd, std::span<const uint8_t> bytes) {
    if (int err = WriteAllAt(fd, bytes, 0)) return err;
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) return errno;
    if (::fsync(fd) != 0) return errno;
    return 0;
}

void SyncFolder(const std::string& dir) {
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return;
    (void)::fsync(dfd);
    ::close(dfd);
}

std::string ParentOf(const std::string& path) {
    const fs::path p(path);
    return p.has_parent_path() ? p.parent_path().string() : std::string(".");
}

// Opens a regular file without blocking on a pipe or device, then makes the
// descriptor an ordinary blocking one. Fails with the refusal for anything
// that is not a regular file.
Status OpenRegular(const std::string& path, int flags, const std::string& what, Fd& fd, struct stat& st) {
    Fd f(::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC));
    if (!f.ok()) return errno == ELOOP ? LinkLoop(what, path) : IoError(what, path, errno);
    if (::fstat(f.get(), &st) != 0) return IoError(what, path, errno);
    if (!S_ISREG(st.st_mode)) return NotRegular(what, path, st.st_mode);
    const int fl = ::fcntl(f.get(), F_GETFL);
    if (fl >= 0) (void)::fcntl(f.get(), F_SETFL, fl & ~O_NONBLOCK);
    fd.reset(f.release());
    return Status::Ok();
}

// Removes what a killed save of this program left in `dir`: its temporary
// files (by their name pattern) that are the user's own and older than a minute.
void RemoveStaleTemporaries(const std::string& dir) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    const time_t now = std::time(nullptr);
    while (const dirent* e = ::readdir(d)) {
        const std::string_view name(e->d_name);
        if (name.size() != kTempPrefix.size() + 6 + kTempSuffix.size() || !name.starts_with(kTempPrefix) ||
            !name.ends_with(kTempSuffix))
            continue;
        const std::string path = dir + "/" + std::string(name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
        if (now - st.st_mtime < kStaleSeconds) continue;
        ::unlink(path.c_str());
    }
    ::closedir(d);
}

uint32_t Fnv1a(std::span<const uint8_t> bytes) {
    uint32_t h = 2166136261u;
    for (uint8_t b : bytes) h = (h ^ b) * 16777619u;
    return h;
}

void PutLe(std::vector<uint8_t>& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool GetLe(std::span<const uint8_t> in, size_t& pos, int bytes, uint64_t& v) {
    if (pos > in.size() || in.size() - pos < static_cast<size_t>(bytes)) return false;
    v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(in[pos + i]) << (8 * i);
    pos += static_cast<size_t>(bytes);
    return true;
}

constexpr std::string_view kRecoveryMagic = "ORBITLIST RECOVERY\n";
constexpr uint32_t kRecoveryVersion = 1;
constexpr size_t kMaxRecoveryPath = 4096;
constexpr std::string_view kRecoverySuffix = ".rec";
constexpr std::string_view kPartialPrefix = ".partial-";

// The recovery copy of one write in place: made (synced) before the file is
// touched, locked while the write runs, removed when it is over.
class RecoveryCopy {
public:
    Status Create(const RecoveryRecord& record) {
        std::string dir;
        if (Status s = RecoveryDirectory(dir); !s) return s;
        std::string tmpl = dir + "/" + std::string(kPartialPrefix) + "XXXXXX";
        Fd fd(::mkostemp(tmpl.data(), O_CLOEXEC));
        if (!fd.ok()) return IoError("The recovery copy can not be made!", dir, errno);
        const std::vector<uint8_t> bytes = EncodeRecoveryRecord(record);
        int err = ::flock(fd.get(), LOCK_EX) != 0 ? errno : 0;
        if (!err) err = WriteAllAt(fd.get(), bytes, 0);
        if (!err && ::fsync(fd.get()) != 0) err = errno;
        std::string final;
        if (!err) err = PublishCopy(tmpl, dir, final);
        if (err) {
            ::unlink(tmpl.c_str());
            return IoError("The recovery copy can not be made!", tmpl, err);
        }
        SyncFolder(dir);
        dir_ = dir;
        file_ = final;
        fd_ = fd.release();
        return Status::Ok();
    }
    // The write is over: the copy goes.
    void Remove() {
        if (file_.empty()) return;
        ::unlink(file_.c_str());
        SyncFolder(dir_);
        file_.clear();
        Release();
    }
    // The write failed and its old bytes could not be put back: the copy stays.
    void Keep() {
        file_.clear();
        Release();
    }
    const std::string& file() const { return file_; }
    ~RecoveryCopy() { Release(); }

private:
    // Gives the whole copy at `tmp` its name "XXXXXX.rec", never taking the
    // name of a copy left by an earlier write; returns 0 or the error.
    static int PublishCopy(const std::string& tmp, const std::string& dir, std::string& final) {
        std::random_device random;
        std::string name = tmp.substr(tmp.size() - 6);
        for (int attempt = 0; attempt < 100; ++attempt) {
            final = dir + "/" + name + std::string(kRecoverySuffix);
            if (::link(tmp.c_str(), final.c_str()) == 0) {
                ::unlink(tmp.c_str());
                return 0;
            }
            if (errno != EEXIST) return errno;
            static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
            for (char& c : name) c = kLetters[random() % (sizeof kLetters - 1)];
        }
        return EEXIST;
    }
    void Release() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    std::string dir_, file_;
    int fd_ = -1;
};

// Writes `bytes` over the regular file at `path` in place, behind a
// recovery copy of its old bytes.
Status WriteInPlace(const std::string& path, const std::string& shownPath, std::span<const uint8_t> bytes) {
    Fd fd;
    struct stat st {};
    if (Status s = OpenRegular(path, O_RDWR | O_NOFOLLOW, kCannotSave, fd, st); !s) return s;
    if (static_cast<uint64_t>(st.st_size) > kMaxInPlaceBytes || bytes.size() > kMaxInPlaceBytes)
        return Status::Error(StatusCode::TooLarge,
                             std::string(kCannotSave) + "\r\r" + shownPath +
                                 " has to be written in place and is too large for a recovery copy.");
    RecoveryRecord record;
    std::error_code ec;
    record.path = fs::absolute(path, ec).string();
    if (ec) record.path = path;
    record.device = st.st_dev;
    record.inode = st.st_ino;
    if (int err = ReadAllAt(fd.get(), record.oldBytes, kMaxInPlaceBytes)) return IoError(kCannotSave, shownPath, err);

    RecoveryCopy copy;
    if (Status s = copy.Create(record); !s)
        return Status::Error(StatusCode::Io,
                             std::string(kCannotSave) + "\r\r" + shownPath +
                                 " has to be written in place, and its old content can not be kept aside first:\r" +
                                 s.message());

    int err = ReplaceContent(fd.get(), bytes);
    if (!err) {
        std::vector<uint8_t> back;
        if (int rerr = ReadAllAt(fd.get(), back, bytes.size() + 1))
            err = rerr;
        else if (!std::equal(back.begin(), back.end(), bytes.begin(), bytes.end()))
            err = EIO;
    }
    if (!err) {
        fd.Close();
        copy.Remove();
        return Status::Ok();
    }
    const Status failed = IoError(kCannotSave, shownPath, err);
    if (ReplaceContent(fd.get(), record.oldBytes) == 0) {
        fd.Close();
        copy.Remove();
        return failed.Reworded(failed.message() + "\rThe file keeps its old content.");
    }
    const std::string kept = copy.file();
    copy.Keep();
    return failed.Reworded(failed.message() + "\rIts old content is kept in " + kept +
                           " and is offered back at the next start.");
}

// How a replacement by rename ended.
enum class Replaced { Done, Failed, NeedsInPlace };

// Gives the new file at `tmp` the name `path`, in one step. An existing file
// there swaps names with the new one and is then removed: renamed over, it
// would make ext4 start writing the new file out at once (its guard for
// programs that do not sync), and the next replacement wait for that write.
// Only a write without sync gains: a synced file is already written out.
// Where names can not be swapped, the new file is renamed over the old one.
// Returns 0 or the error.
int PutInPlace(const std::string& tmp, const std::string& path, bool exists) {
#ifdef RENAME_EXCHANGE
    if (exists) {
        if (::renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0) {
            ::unlink(tmp.c_str());
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS && errno != ENOENT && errno != EOPNOTSUPP) return errno;
    }
#else
    (void)exists;
#endif
    return ::rename(tmp.c_str(), path.c_str()) == 0 ? 0 : errno;
}

// Writes `bytes` to a temporary file beside `path` that takes the old file's
// mode, owner and group (`old`, when there is one) and renames it over `path`.
Replaced ReplaceByRename(const std::string& path, const std::string& shownPath, const struct stat* old,
                         std::span<const uint8_t> bytes, bool sync, Status& status) {
    const std::string dir = ParentOf(path);
    std::string tmpl = dir + "/" + std::string(kTempPrefix) + "XXXXXX" + std::string(kTempSuffix);
    Fd fd(::mkostemps(tmpl.data(), static_cast<int>(kTempSuffix.size()), O_CLOEXEC));
    if (!fd.ok()) {
        // A file the user may write, in a folder where nothing can be made.
        if (old && (errno == EACCES || errno == EPERM)) return Replaced::NeedsInPlace;
        status = IoError(kCannotSave, shownPath, errno);
        return Replaced::Failed;
    }
    auto drop = [&](int err) {
        fd.Close();
        ::unlink(tmpl.c_str());
        if (err) status = IoError(kCannotSave, shownPath, err);
        return err ? Replaced::Failed : Replaced::NeedsInPlace;
    };
    struct stat made {};
    if (::fstat(fd.get(), &made) != 0) return drop(errno);
    mode_t mode = 0666 & ~g_umask;
    if (old) {
        // Owner and group first: a change of owner clears the set-id bits.
        if ((made.st_uid != old->st_uid || made.st_gid != old->st_gid) &&
            ::fchown(fd.get(), old->st_uid, old->st_gid) != 0)
            return drop(0);
        mode = old->st_mode & 07777;
    }
    if (::fchmod(fd.get(), mode) != 0) return drop(errno);
    if (int err = WriteLeavingZeroPages(fd.get(), bytes)) return drop(err);
    if (sync && ::fsync(fd.get()) != 0) return drop(errno);
    if (int err = fd.Close()) {
        ::unlink(tmpl.c_str());
        status = IoError(kCannotSave, shownPath, err);
        return Replaced::Failed;
    }
    if (int err = PutInPlace(tmpl, path, old != nullptr)) {
        ::unlink(tmpl.c_str());
        status = IoError(kCannotSave, shownPath, err);
        return Replaced::Failed;
    }
    if (sync) SyncFolder(dir);
    status = Status::Ok();
    return Replaced::Done;
}

// The folder named by an environment variable, when it is set to an absolute path.
std::string EnvFolder(const char* name) {
    const char* v = std::getenv(name);
    return v && v[0] == '/' ? std::string(v) : std::string();
}

// True when `dir` is a folder of the user's own that nobody else may enter.
bool OwnClosedFolder(const std::string& dir) {
    struct stat st {};
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

} // namespace

mode_t ProcessUmask() { return g_umask; }

std::string FileTypeText(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

Status CheckInputFile(const std::string& path, uint64_t* size) {
    if (path.empty()) return Status::Error(StatusCode::NotFound, msg::FileMissing);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return Status::Error(StatusCode::NotFound, msg::FileMissing);
        if (errno == ELOOP) return LinkLoop(kCannotOpen, path);
        return IoError(kCannotRead, path, errno);
    }
    if (!S_ISREG(st.st_mode)) return NotRegular(kCannotOpen, path, st.st_mode);
    if (size) *size = static_cast<uint64_t>(st.st_size);
    return Status::Ok();
}

Status ReadFileLimited(const std::string& path, uint64_t maxBytes, const std::string& tooLarge,
                       std::vector<uint8_t>& bytes) {
    bytes.clear();
    uint64_t size = 0;
    if (Status s = CheckInputFile(path, &size); !s) return s;
    if (size > maxBytes) return Status::Error(StatusCode::TooLarge, tooLarge);
    Fd fd;
    struct stat st {};
    if (Status s = OpenRegular(path, O_RDONLY, kCannotOpen, fd, st); !s) return s;
    if (static_cast<uint64_t>(st.st_size) > maxBytes) return Status::Error(StatusCode::TooLarge, tooLarge);
    const int err = ReadAllAt(fd.get(), bytes, maxBytes);
    if (err == EFBIG) {
        bytes.clear();
        return Status::Error(StatusCode::TooLarge, tooLarge);
    }
    if (err) {
        bytes.clear();
        return IoError(kCannotRead, path, err);
    }
    return Status::Ok();
}

Status ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    return ReadFileLimited(path, kMaxDataFileBytes, msg::SizeLarge, bytes);
}

Status ResolveDestination(const std::string& pathIn, std::string& resolved) {
    if (pathIn.empty()) return Status::Error(StatusCode::Invalid, kCannotSave);
    std::string p = pathIn;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0) {
            if (errno == ENOENT) {
                resolved = p;
                return Status::Ok();
            }
            if (errno == ELOOP) return LinkLoop(kCannotSave, pathIn);
            return IoError(kCannotSave, pathIn, errno);
        }
        if (!S_ISLNK(st.st_mode)) {
            if (!S_ISREG(st.st_mode)) return NotRegular(kCannotSave, pathIn, st.st_mode);
            resolved = p;
            return Status::Ok();
        }
        if (hops >= kMaxLinkHops) return LinkLoop(kCannotSave, pathIn);
        std::error_code ec;
        const fs::path target = fs::read_symlink(p, ec);
        if (ec) return IoError(kCannotSave, pathIn, ec.value());
        p = target.is_absolute() ? target.string() : (fs::path(ParentOf(p)) / target).string();
    }
}

Status CheckDestination(const std::string& path) {
    std::string resolved;
    return ResolveDestination(path, resolved);
}

Status WriteFileAtomic(const std::string& pathIn, std::span<const uint8_t> bytes, bool sync) {
    std::string path;
    if (Status s = ResolveDestination(pathIn, path); !s) return s;
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) return NotRegular(kCannotSave, pathIn, st.st_mode);
    // A rename would replace a file wherever its folder is writable; a file
    // its owner made read-only is refused as a write to it would be.
    if (exists && ::access(path.c_str(), W_OK) != 0) return IoError(kCannotSave, pathIn, errno);
    RemoveStaleTemporaries(ParentOf(path));
    if (!exists || st.st_nlink <= 1) {
        Status status;
        if (ReplaceByRename(path, pathIn, exists ? &st : nullptr, bytes, sync, status) != Replaced::NeedsInPlace)
            return status;
    }
    return WriteInPlace(path, pathIn, bytes);
}

namespace {

constexpr std::string_view kBackupSuffix = ".bak";

// Copies everything `from` holds into `to`; returns 0 or the error.
int CopyContent(int from, int to) {
    uint8_t buffer[65536];
    off_t offset = 0;
    for (;;) {
        const ssize_t n = ::pread(from, buffer, sizeof buffer, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        if (int err = WriteAllAt(to, std::span<const uint8_t>(buffer, static_cast<size_t>(n)), offset)) return err;
        offset += n;
    }
}

} // namespace

Status BackUpFile(const std::string& pathIn, BackupResult& result) {
    result = {};
    std::string path;
    if (Status s = ResolveDestination(pathIn, path); !s) return s;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return Status::Ok();
        return IoError(kCannotSave, pathIn, errno);
    }
    if (!S_ISREG(st.st_mode)) return NotRegular(kCannotSave, pathIn, st.st_mode);
    // A file the save would refuse is not copied either.
    if (::access(path.c_str(), W_OK) != 0) return IoError(kCannotSave, pathIn, errno);

    result.file = path;
    result.backup = path + std::string(kBackupSuffix);
    const std::string& backup = result.backup;
    auto noPlace = [&](std::string why) {
        result.outcome = BackupResult::Outcome::NoPlace;
        result.why = std::move(why);
        return Status::Ok();
    };
    auto failed = [&](const std::string& why) {
        return Status::Error(StatusCode::Io, std::string(kCannotSave) + "\r\rIts backup " + backup +
                                                 " can not be written: " + why + ".\rThe file is left as it was.");
    };

    struct stat old {};
    if (::lstat(backup.c_str(), &old) != 0) {
        if (errno == ENAMETOOLONG) return noPlace("its name has no room for \".bak\"");
        if (errno != ENOENT) return failed(std::strerror(errno));
    } else if (S_ISDIR(old.st_mode)) {
        return failed("a folder of that name is in the way");
    }

    Fd source(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!source.ok()) {
        if (errno == EACCES || errno == EPERM) return noPlace("it can not be read");
        return failed(std::strerror(errno));
    }
    struct stat src {};
    if (::fstat(source.get(), &src) != 0) return failed(std::strerror(errno));
    if (!S_ISREG(src.st_mode)) return NotRegular(kCannotSave, pathIn, src.st_mode);

    const std::string dir = ParentOf(path);
    std::string tmpl = dir + "/" + std::string(kTempPrefix) + "XXXXXX" + std::string(kTempSuffix);
    Fd tmp(::mkostemps(tmpl.data(), static_cast<int>(kTempSuffix.size()), O_CLOEXEC));
    if (!tmp.ok()) {
        if (errno == EACCES || errno == EPERM || errno == EROFS) return noPlace(dir + " takes no new file");
        if (errno == ENAMETOOLONG) return noPlace("the name of its folder is too long");
        return failed(std::strerror(errno));
    }
    auto drop = [&](int err) {
        tmp.Close();
        ::unlink(tmpl.c_str());
        return failed(std::strerror(err));
    };
    struct stat made {};
    if (::fstat(tmp.get(), &made) != 0) return drop(errno);
    mode_t mode = src.st_mode & 07777;
    if ((made.st_uid != src.st_uid || made.st_gid != src.st_gid) && ::fchown(tmp.get(), src.st_uid, src.st_gid) != 0) {
        // Another user's file: the backup is the user's own, in the file's
        // group where it may be, and never set-id.
        (void)::fchown(tmp.get(), static_cast<uid_t>(-1), src.st_gid);
        mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
    }
    if (::fchmod(tmp.get(), mode) != 0) return drop(errno);
    if (int err = CopyContent(source.get(), tmp.get())) return drop(err);
    const struct timespec times[2] = {src.st_atim, src.st_mtim};
    (void)::futimens(tmp.get(), times);
    if (::fsync(tmp.get()) != 0) return drop(errno);
    if (int err = tmp.Close()) {
        ::unlink(tmpl.c_str());
        return failed(std::strerror(err));
    }
    if (::rename(tmpl.c_str(), backup.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        if (err == ENAMETOOLONG) return noPlace("its name has no room for \".bak\"");
        return failed(err == EISDIR ? "a folder of that name is in the way" : std::strerror(err));
    }
    SyncFolder(dir);
    result.outcome = BackupResult::Outcome::Made;
    return Status::Ok();
}

std::string NoBackupNote(const BackupResult& result) {
    return "No backup of " + result.file + " can be made (" + result.why + "); it is written without one.";
}

Status WriteWorkFile(const std::string& path, std::span<const uint8_t> bytes) {
    const std::string what = "The working file can not be written!";
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    if (!fd.ok()) return IoError(what, path, errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return IoError(what, path, errno);
    if (!S_ISREG(st.st_mode)) return NotRegular(what, path, st.st_mode);
    if (st.st_uid != ::geteuid())
        return Status::Error(StatusCode::Refused, what + "\r\r" + path + " belongs to another user.");
    const int fl = ::fcntl(fd.get(), F_GETFL);
    if (fl >= 0) (void)::fcntl(fd.get(), F_SETFL, fl & ~O_NONBLOCK);
    if (int err = WriteAllAt(fd.get(), bytes, 0)) return IoError(what, path, err);
    if (::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0) return IoError(what, path, errno);
    if (int err = fd.Close()) return IoError(what, path, err);
    return Status::Ok();
}

Status MakePrivateFolder(const std::string& dir) {
    if (dir.empty() || dir.front() != '/')
        return Status::Error(StatusCode::Invalid, "A private folder needs an absolute path.");
    // The missing folders, innermost first.
    std::vector<std::string> missing;
    for (fs::path p(dir); !p.empty() && p != p.root_path(); p = p.parent_path()) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) == 0) break;
        missing.push_back(p.string());
    }
    // The outermost missing folder first.
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder)
        if (::mkdir(folder->c_str(), 0700) != 0 && errno != EEXIST)
            return IoError("The folder can not be made!", *folder, errno);
    struct stat lst {
    }, st{};
    if (::lstat(dir.c_str(), &lst) != 0 || ::stat(dir.c_str(), &st) != 0)
        return IoError("The folder can not be used!", dir, errno);
    const uid_t me = ::geteuid();
    if (!S_ISDIR(st.st_mode))
        return Status::Error(StatusCode::Refused, "The folder can not be used!\r\r" + dir + " is not a folder.");
    if (st.st_uid != me || (S_ISLNK(lst.st_mode) && lst.st_uid != me))
        return Status::Error(StatusCode::Refused,
                             "The folder can not be used!\r\r" + dir +
                                 " belongs to another user; the program keeps its files only in a folder of the "
                                 "user's own.");
    if ((st.st_mode & 077) != 0 && ::chmod(dir.c_str(), 0700) != 0)
        return IoError("The folder can not be closed to other users!", dir, errno);
    return Status::Ok();
}

Status DataDirectory(std::string& dir) {
    std::string base = EnvFolder("XDG_DATA_HOME");
    if (base.empty()) {
        if (const std::string home = EnvFolder("HOME"); !home.empty()) base = home + "/.local/share";
    }
    if (base.empty()) {
        // The runtime folder is private by definition, but only when it is the user's own.
        if (const std::string run = EnvFolder("XDG_RUNTIME_DIR"); !run.empty() && OwnClosedFolder(run)) base = run;
    }
    if (base.empty())
        return Status::Error(StatusCode::NotFound,
                             "There is no private folder for the program's working file: neither HOME nor "
                             "XDG_DATA_HOME nor XDG_RUNTIME_DIR names one.");
    const std::string candidate = base + "/orbitlist";
    if (Status s = MakePrivateFolder(candidate); !s) return s;
    dir = candidate;
    return Status::Ok();
}

Status WorkFilePath(std::string& path) {
    std::string dir;
    if (Status s = DataDirectory(dir); !s) return s;
    path = dir + "/KESTREL_BACKUP.BIN";
    return Status::Ok();
}

Status RuntimeDirectory(std::string& dir, const std::string& sharedTemp) {
    if (const std::string run = EnvFolder("XDG_RUNTIME_DIR"); !run.empty() && OwnClosedFolder(run)) {
        dir = run;
        return Status::Ok();
    }
    const std::string own = sharedTemp + "/orbitlist-" + std::to_string(::geteuid());
    if (::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) return IoError("The folder can not be made!", own, errno);
    // In a shared folder anybody may have made it first: only a real folder
    // of the user's own will do.
    struct stat st {};
    if (::lstat(own.c_str(), &st) != 0) return IoError("The folder can not be used!", own, errno);
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return Status::Error(StatusCode::Refused,
                             "The folder can not be used!\r\r" + own + " is not a folder of the user's own.");
    if ((st.st_mode & 077) != 0 && ::chmod(own.c_str(), 0700) != 0)
        return IoError("The folder can not be closed to other users!", own, errno);
    dir = own;
    return Status::Ok();
}

Status RecoveryDirectory(std::string& dir) {
    std::string data;
    if (Status s = DataDirectory(data); !s) return s;
    const std::string candidate = data + "/recovery";
    if (Status s = MakePrivateFolder(candidate); !s) return s;
    dir = candidate;
    return Status::Ok();
}

std::vector<uint8_t> EncodeRecoveryRecord(const RecoveryRecord& r) {
    std::vector<uint8_t> out(kRecoveryMagic.begin(), kRecoveryMagic.end());
    PutLe(out, kRecoveryVersion, 4);
    PutLe(out, r.device, 8);
    PutLe(out, r.inode, 8);
    PutLe(out, r.path.size(), 4);
    out.insert(out.end(), r.path.begin(), r.path.end());
    PutLe(out, r.oldBytes.size(), 8);
    out.insert(out.end(), r.oldBytes.begin(), r.oldBytes.end());
    PutLe(out, Fnv1a(out), 4);
    return out;
}

bool ParseRecoveryRecord(std::span<const uint8_t> in, RecoveryRecord& r) {
    if (in.size() < kRecoveryMagic.size() + 4 || !std::equal(kRecoveryMagic.begin(), kRecoveryMagic.end(), in.begin()))
        return false;
    const std::span<const uint8_t> body = in.first(in.size() - 4);
    size_t pos = kRecoveryMagic.size();
    uint64_t version = 0, device = 0, inode = 0, pathLen = 0, oldSize = 0, sum = 0;
    if (!GetLe(body, pos, 4, version) || version != kRecoveryVersion) return false;
    if (!GetLe(body, pos, 8, device) || !GetLe(body, pos, 8, inode) || !GetLe(body, pos, 4, pathLen)) return false;
    if (pathLen == 0 || pathLen > kMaxRecoveryPath || body.size() - pos < pathLen) return false;
    std::string path(body.begin() + static_cast<ptrdiff_t>(pos), body.begin() + static_cast<ptrdiff_t>(pos + pathLen));
    pos += pathLen;
    if (path.front() != '/' || path.find('\0') != std::string::npos) return false;
    if (!GetLe(body, pos, 8, oldSize) || oldSize > kMaxInPlaceBytes || body.size() - pos != oldSize) return false;
    size_t sumPos = body.size();
    if (!GetLe(in, sumPos, 4, sum) || sum != Fnv1a(body)) return false;
    r.path = std::move(path);
    r.device = device;
    r.inode = inode;
    r.oldBytes.assign(body.begin() + static_cast<ptrdiff_t>(pos), body.end());
    return true;
}

std::vector<RecoveryRecord> FindRecoveryRecords(const std::string& dirIn) {
    std::vector<RecoveryRecord> found;
    std::string dir = dirIn;
    if (dir.empty() && !RecoveryDirectory(dir)) return found;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return found;
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(d)) names.emplace_back(e->d_name);
    ::closedir(d);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const bool record = name.ends_with(kRecoverySuffix);
        const bool partial = name.starts_with(kPartialPrefix);
        if (!record && !partial) continue;
        const std::string file = dir + "/" + name;
        Fd fd(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        if (!fd.ok() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
        // The writer holds its copy locked until the write is over.
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
        if (partial) {
            // Killed before the copy was whole: the file was never touched.
            ::unlink(file.c_str());
            continue;
        }
        std::vector<uint8_t> bytes;
        RecoveryRecord r;
        if (ReadAllAt(fd.get(), bytes, kMaxInPlaceBytes + kMaxRecoveryPath + 128) != 0 ||
            !ParseRecoveryRecord(bytes, r))
            continue;
        r.recordFile = file;
        std::vector<uint8_t> now;
        if (ReadFileLimited(r.path, kMaxInPlaceBytes, "", now) && now == r.oldBytes) {
            // The write never got as far as the file, or was undone.
            ::unlink(file.c_str());
            continue;
        }
        found.push_back(std::move(r));
    }
    return found;
}

Status RestoreRecovery(const RecoveryRecord& r) {
    std::string path;
    if (Status s = ResolveDestination(r.path, path); !s) return s;
    Fd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666 & ~g_umask));
    if (!fd.ok()) return IoError(kCannotSave, r.path, errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return IoError(kCannotSave, r.path, errno);
    if (!S_ISREG(st.st_mode)) return NotRegular(kCannotSave, r.path, st.st_mode);
    const int fl = ::fcntl(fd.get(), F_GETFL);
    if (fl >= 0) (void)::fcntl(fd.get(), F_SETFL, fl & ~O_NONBLOCK);
    int err = ReplaceContent(fd.get(), r.oldBytes);
    if (!err) {
        std::vector<uint8_t> back;
        if (int rerr = ReadAllAt(fd.get(), back, r.oldBytes.size() + 1))
            err = rerr;
        else if (back != r.oldBytes)
            err = EIO;
    }
    if (int cerr = fd.Close(); cerr && !err) err = cerr;
    if (err) return IoError(kCannotSave, r.path, err);
    DiscardRecovery(r);
    return Status::Ok();
}

void DiscardRecovery(const RecoveryRecord& r) {
    if (r.recordFile.empty()) return;
    ::unlink(r.recordFile.c_str());
    SyncFolder(ParentOf(r.recordFile));
}

} // namespace dbase

#include "DataFile.h"

#include "Image.h"
#include "Messages.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace dbase {

namespace {

std::string ErrnoText(int err) { return std::strerror(err); }

Status IoError(const std::string& what, const std::string& path, int err) {
    return Status::Error(what + "\r\r" + path + ": " + ErrnoText(err));
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

Status ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(path, ec)) return Status::Error(msg::FileMissing);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return IoError("The file can not be read!", path, errno);
    struct stat st{};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return IoError("The file can not be read!", path, err);
    }
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : EIO;
            ::close(fd);
            bytes.clear();
            return IoError("The file can not be read!", path, err);
        }
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    return Status::Ok();
}

Status CheckFileSize(uint64_t size, bool is256K) {
    const uint64_t expected = FileSizeFor(is256K);
    if (size < expected) return Status::Error(msg::SizeSmall);
    if (size > expected) return Status::Error(msg::SizeLarge);
    return Status::Ok();
}

namespace {

// Size, checksums and decompression of a data file of the expected kind.
Status DecodeFile(std::span<const uint8_t> file, bool is256K, std::vector<uint8_t>& image, ContainerInfo& info) {
    if (Status s = CheckFileSize(file.size(), is256K); !s) return s;
    return LoadCompressed(file, image, &info);
}

// Reads the image into `db`.
Status Adopt(Database& db, std::span<const uint8_t> image, const ContainerInfo& info, uint64_t size,
             OpenedFile* opened) {
    if (Status s = ParseImage(db, image); !s) return s;
    if (opened) {
        opened->size = size;
        opened->container = info;
    }
    return Status::Ok();
}

} // namespace

Status OpenImageBytes(std::span<const uint8_t> file, bool is256K, Database& db, OpenedFile* opened,
                      std::vector<uint8_t>* imageOut) {
    std::vector<uint8_t> image;
    ContainerInfo info;
    if (Status s = DecodeFile(file, is256K, image, info); !s) return s;
    if (Status s = Adopt(db, image, info, file.size(), opened); !s) return s;
    if (imageOut) *imageOut = std::move(image);
    return Status::Ok();
}

Status OpenImageFile(const std::string& path, bool is256K, Database& db, OpenedFile* opened,
                     const std::string& workFile) {
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(path, ec)) return Status::Error(msg::FileMissing);
    // The size decides before anything is read, so a huge file is never loaded.
    if (const auto size = fs::file_size(path, ec); !ec)
        if (Status s = CheckFileSize(size, is256K); !s) return s;
    std::vector<uint8_t> bytes;
    if (Status s = ReadWholeFile(path, bytes); !s) return s;
    std::vector<uint8_t> image;
    ContainerInfo info;
    if (Status s = DecodeFile(bytes, is256K, image, info); !s) return s;
    if (!workFile.empty() && !WriteFileAtomic(workFile, image)) return Status::Error(msg::DecompressError);
    return Adopt(db, image, info, bytes.size(), opened);
}

Status BuildSaveBytes(const Database& db, SaveMode mode, std::vector<uint8_t>& out, bool frontPlacement) {
    if (mode == SaveMode::None) return Status::Error("No form is chosen for the saved file!");
    const std::vector<uint8_t> image = BuildImage(db);
    std::vector<uint8_t> stream;
    if (Status s = CompressImage(image, stream); !s) return s;
    switch (mode) {
    case SaveMode::Channel:
        out = MakeContainerFile(stream, kChannelFileSize, frontPlacement ? 0 : kBackStart);
        break;
    case SaveMode::ChannelFromDefault:
        out = MakeContainerFile(stream, kChannelFileSize, 0);
        break;
    case SaveMode::Default:
    case SaveMode::DefaultFromDefault:
    default:
        out = MakeContainerFile(stream, kDefaultFileSize, 0);
        break;
    }
    return Status::Ok();
}

Status SaveImage(Database& db, SaveMode mode, const std::string& dest, const FileForm& form,
                 const std::string& workFile) {
    std::vector<uint8_t> bytes;
    if (Status s = BuildSaveBytes(db, mode, bytes, form.front); !s) return s;
    if (Status s = WriteFileAtomic(dest, bytes); !s) return s;
    db.FavLocksStored = db.FavLocks;
    if (!workFile.empty()) {
        // The working file holds the new container as the open file's kind and
        // placement would have it; nothing reads it back, so a failure is harmless.
        std::vector<uint8_t> work;
        if (BuildSaveBytes(db, SaveModeForSave(form.is256K), work, form.front)) (void)WriteFileAtomic(workFile, work);
    }
    return Status::Ok();
}

Status WriteFileAtomic(const std::string& pathIn, std::span<const uint8_t> bytes, bool sync) {
    const std::string what = "The file can not be saved!";
    if (pathIn.empty()) return Status::Error(what);
    std::error_code ec;
    fs::path path(pathIn);
    // Replace the target of a link, not the link itself.
    if (fs::is_symlink(path, ec)) {
        const fs::path target = fs::weakly_canonical(path, ec);
        if (!ec) path = target;
    }
    if (fs::is_directory(path, ec)) return IoError(what, pathIn, EISDIR);
    if (fs::exists(path, ec) && !fs::is_regular_file(path, ec)) {
        // A device or pipe can not be replaced by a rename; write to it in place.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return IoError(what, pathIn, errno);
        int err = WriteAll(fd, bytes) ? 0 : (errno ? errno : EIO);
        if (::close(fd) != 0 && !err) err = errno;
        return err ? IoError(what, pathIn, err) : Status::Ok();
    }
    // The rename below would replace a file wherever its folder is writable;
    // a file its owner made read-only is refused as a write to it would be.
    if (fs::exists(path, ec) && ::access(path.c_str(), W_OK) != 0) return IoError(what, pathIn, errno);
    const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::string tmpl = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return IoError(what, pathIn, errno);
    struct stat st{};
    mode_t mode = 0666;
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    int err = 0;
    if (::fchmod(fd, mode) != 0) err = errno;
    if (!err && !WriteAll(fd, bytes)) err = errno ? errno : EIO;
    if (!err && sync && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && ::rename(tmpl.c_str(), path.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(tmpl.c_str());
        return IoError(what, pathIn, err);
    }
    const int dfd = sync ? ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
    return Status::Ok();
}

std::string DataDirectory() {
    fs::path dir;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        dir = fs::path(xdg) / "orbitlist";
    else if (const char* home = std::getenv("HOME"); home && *home)
        dir = fs::path(home) / ".local" / "share" / "orbitlist";
    else
        dir = fs::temp_directory_path() / "orbitlist";
    std::error_code ec;
    fs::create_directories(dir, ec);
    return dir.string();
}

std::string WorkFilePath() { return (fs::path(DataDirectory()) / "KESTREL_BACKUP.BIN").string(); }

} // namespace dbase

#include "format/DataFile.h"

#include "base/Messages.h"
#include "format/Image.h"

namespace dbase {

Status CheckFileSize(uint64_t size, bool is256K) {
    const uint64_t expected = FileSizeFor(is256K);
    if (size < expected) return Status::Error(StatusCode::Invalid, msg::SizeSmall);
    if (size > expected) return Status::Error(StatusCode::Invalid, msg::SizeLarge);
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
    // The size decides before anything is read, so a huge file is never loaded.
    uint64_t size = 0;
    if (Status s = CheckInputFile(path, &size); !s) return s;
    if (Status s = CheckFileSize(size, is256K); !s) return s;
    std::vector<uint8_t> bytes;
    if (Status s = ReadWholeFile(path, bytes); !s) return s;
    std::vector<uint8_t> image;
    ContainerInfo info;
    if (Status s = DecodeFile(bytes, is256K, image, info); !s) return s;
    if (!workFile.empty() && !WriteWorkFile(workFile, image))
        return Status::Error(StatusCode::Io, msg::DecompressError);
    return Adopt(db, image, info, bytes.size(), opened);
}

Status BuildSaveBytes(const Database& db, SaveMode mode, std::vector<uint8_t>& out, bool frontPlacement) {
    if (mode == SaveMode::None) return Status::Error(StatusCode::Invalid, "No form is chosen for the saved file!");
    // Each thread that saves keeps its image buffer, so that a save does not
    // map and fault in fresh pages for it each time.
    thread_local std::vector<uint8_t> image;
    BuildImage(db, image);
    std::span<const uint8_t> stream;
    if (Status s = CompressImage(image, stream); !s) return s;
    switch (mode) {
    case SaveMode::Channel: MakeContainerFile(stream, kChannelFileSize, frontPlacement ? 0 : kBackStart, out); break;
    case SaveMode::ChannelFromDefault: MakeContainerFile(stream, kChannelFileSize, 0, out); break;
    case SaveMode::Default:
    case SaveMode::DefaultFromDefault:
    default: MakeContainerFile(stream, kDefaultFileSize, 0, out); break;
    }
    return Status::Ok();
}

Status SaveImage(Database& db, SaveMode mode, const std::string& dest, const FileForm& form,
                 const std::string& workFile, const std::function<Status()>& beforeWrite) {
    std::vector<uint8_t> bytes;
    if (Status s = BuildSaveBytes(db, mode, bytes, form.front); !s) return s;
    if (beforeWrite)
        if (Status s = beforeWrite(); !s) return s;
    if (Status s = WriteFileAtomic(dest, bytes); !s) return s;
    db.FavLocksStored = db.FavLocks;
    if (!workFile.empty()) {
        // The working file holds the new container as the open file's kind and
        // placement would have it (for a plain save, the bytes just written);
        // nothing reads it back, so a failure is harmless.
        const SaveMode own = SaveModeForSave(form.is256K);
        if (mode == own) {
            (void)WriteWorkFile(workFile, bytes);
        } else {
            std::vector<uint8_t> work;
            if (BuildSaveBytes(db, own, work, form.front)) (void)WriteWorkFile(workFile, work);
        }
    }
    return Status::Ok();
}

} // namespace dbase

// Opening and saving data files: the checks of the open workflow and the
// four save forms. How files are read and written is in Files.h.
#pragma once

#include "base/Files.h"
#include "base/Status.h"
#include "format/Container.h"
#include "model/Model.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dbase {

// Form of the destination of a save.
enum class SaveMode : int {
    None = -1,
    Channel = 0,            // 262,144 bytes, container in the placement of the opened file
    ChannelFromDefault = 1, // 262,144 bytes, container at the front
    Default = 2,            // 131,072 bytes, container at the front
    DefaultFromDefault = 3, // as Default
};

// The form used by "Save" for the open file.
inline SaveMode SaveModeForSave(bool is256K) { return is256K ? SaveMode::Channel : SaveMode::Default; }
// The form used by "Save as" with the chosen kind.
inline SaveMode SaveModeForSaveAs(bool is256K, bool asChannel) {
    if (asChannel) return is256K ? SaveMode::Channel : SaveMode::ChannelFromDefault;
    return is256K ? SaveMode::Default : SaveMode::DefaultFromDefault;
}
inline uint32_t FileSizeFor(bool is256K) { return is256K ? kChannelFileSize : kDefaultFileSize; }

// The form of an open file: its kind (Channel data or Default data) and
// where the container of a Channel data file sits. A save in the open file's
// form keeps both.
struct FileForm {
    bool is256K = false;
    bool front = true;
    bool operator==(const FileForm&) const = default;
};

// What an open learned about the file it read.
struct OpenedFile {
    uint64_t size = 0;
    ContainerInfo container;
};

// Checks the size of an opened file against the kind expected.
Status CheckFileSize(uint64_t size, bool is256K);

// Decodes the bytes of a data file of the expected kind into `db`: size,
// checksums, decompression and the image. On success `db` holds the file and
// `opened`, when given, what the open learned; on failure `db` is unchanged.
// When `image` is given it receives the decompressed image.
Status OpenImageBytes(std::span<const uint8_t> file, bool is256K, Database& db, OpenedFile* opened = nullptr,
                      std::vector<uint8_t>* image = nullptr);

// Opens a data file of the expected kind into `db` (see OpenImageBytes);
// refuses a missing file and one that is not a regular file, and checks the
// size before anything is read. When `workFile` is not empty the
// decompressed image is written there ("Decompress Error!" when it can not be).
Status OpenImageFile(const std::string& path, bool is256K, Database& db, OpenedFile* opened = nullptr,
                     const std::string& workFile = {});

// The kind a file of `size` bytes is opened as when its kind is not chosen:
// Channel data for 262,144 bytes, Default data otherwise.
inline bool KindFromSize(uint64_t size) { return size == kChannelFileSize; }

// Builds the bytes of a saved file in the given form; `frontPlacement` is
// where the container of the opened Channel data file sat (SaveMode::Channel
// keeps it).
Status BuildSaveBytes(const Database& db, SaveMode mode, std::vector<uint8_t>& out, bool frontPlacement = true);

// Saves the model to `dest` in the given form, replacing the file
// atomically (see WriteFileAtomic); `form` is the form of the open file. On success the stored copy
// of the favourite locks takes the decoded one; on failure an existing
// destination is untouched. When `workFile` is not empty it receives the new
// container as the open file's form would have it. `beforeWrite`, when
// given, runs once the bytes are built and before anything is written; its
// failure stops the save.
Status SaveImage(Database& db, SaveMode mode, const std::string& dest, const FileForm& form = {},
                 const std::string& workFile = {}, const std::function<Status()>& beforeWrite = {});

} // namespace dbase

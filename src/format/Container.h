// The compressed container that holds a database image inside a data file:
// marker, stream length, LZO1X stream and a table of 256-byte block checksums.
#pragma once

#include "base/Status.h"

#include <cstdint>
#include <span>
#include <vector>

namespace dbase {

inline constexpr uint32_t kChannelFileSize = 262144; // "Channel Data(256K)"
inline constexpr uint32_t kDefaultFileSize = 131072; // "Default Data(128K)"
inline constexpr uint32_t kBackStart = 131072;       // container start in back placement
inline constexpr uint32_t kSmallRegion = 61432;      // checked bytes of a small container
inline constexpr uint32_t kLargeRegion = 126968;     // checked bytes of a large container
inline constexpr uint32_t kSmallTable = 61440;       // table offset of a small container
inline constexpr uint32_t kLargeTable = 126976;      // table offset of a large container
inline constexpr uint32_t kMaxStreamLength = kLargeRegion;

// Where a container stands in a file and how large it is.
struct ContainerInfo {
    bool front = true;      // container at 0 (else at 131,072)
    uint32_t start = 0;     // C
    uint32_t length = 0;    // L, bytes of the compressed stream
    bool large = false;     // L > 61,432
    uint32_t region = 0;    // R, checked bytes from C + 8
    uint32_t table = 0;     // S, table offset from C
    uint32_t checksums = 0; // N
};

// Block checksum of 1 to 256 bytes: a CRC-32 table (reflected polynomial
// 0xEDB88320) driven MSB-first, starting at 0, without final inversion.
uint32_t BlockChecksum(std::span<const uint8_t> block);

// Describes the container of a stream of `length` bytes at `start`.
ContainerInfo DescribeContainer(bool front, uint32_t length);

// Finds the container of a data file: front when the first four bytes are
// FF FF FF FF, else back. Refuses with "File is null!" a container whose
// length or table does not fit the file.
Status LocateContainer(std::span<const uint8_t> file, ContainerInfo& info);

// The N checksums of the checked region of the container described by `info`.
std::vector<uint32_t> ComputeChecksums(std::span<const uint8_t> file, const ContainerInfo& info);

// True when the table stored in the file equals the computed checksums.
bool VerifyChecksums(std::span<const uint8_t> file, const ContainerInfo& info);

// Decompresses an LZO1X stream into a zero-filled image of 208,896 bytes.
// Fails with "Decompress Error!" on any decompressor error, on output beyond
// the image or on a stream that reads past its end.
Status DecompressImage(std::span<const uint8_t> stream, std::vector<uint8_t>& image);

// Compresses an image with LZO1X-1. Refuses a stream that would not fit the
// largest container.
Status CompressImage(std::span<const uint8_t> image, std::vector<uint8_t>& stream);
// The same without a copy: `stream` views a buffer of the calling thread,
// valid until the thread's next compression.
Status CompressImage(std::span<const uint8_t> image, std::span<const uint8_t>& stream);

// A zero-filled file of `fileSize` bytes holding the container of `stream` at
// `start`, with its checksum table.
std::vector<uint8_t> MakeContainerFile(std::span<const uint8_t> stream, uint32_t fileSize, uint32_t start);
// The same, into `file` (its storage reused).
void MakeContainerFile(std::span<const uint8_t> stream, uint32_t fileSize, uint32_t start, std::vector<uint8_t>& file);

// Checks and decompresses the container of a data file: the checksums
// ("File is null!"), then the stream ("Decompress Error!").
Status LoadCompressed(std::span<const uint8_t> file, std::vector<uint8_t>& image, ContainerInfo* info = nullptr);

} // namespace dbase

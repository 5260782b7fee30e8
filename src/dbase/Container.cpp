#include "Container.h"

#include "Bits.h"
#include "Image.h"
#include "Messages.h"

#include <lzo/lzo1x.h>

#include <array>
#include <mutex>

namespace dbase {

namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[i] = c;
    }
    return t;
}

constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

// One byte step of the block checksum.
constexpr uint32_t Step(uint32_t c, uint8_t b) { return ((c << 8) | b) ^ kCrcTable[c >> 24]; }

// The checksum is linear and the table lookups of four steps depend only on
// the state before them, so four bytes at a time reduce to
//   c' = (b0 b1 b2 b3 as a big-endian word) ^ H0[c0] ^ H1[c1] ^ H2[c2] ^ H3[c3],
// where Hk[x] is the state after four steps over zero bytes from x << 8k.
constexpr std::array<std::array<uint32_t, 256>, 4> MakeSliceTables() {
    std::array<std::array<uint32_t, 256>, 4> h{};
    for (int k = 0; k < 4; ++k)
        for (uint32_t x = 0; x < 256; ++x) {
            uint32_t c = x << (8 * k);
            for (int i = 0; i < 4; ++i) c = Step(c, 0);
            h[k][x] = c;
        }
    return h;
}

constexpr auto kSlice = MakeSliceTables();

void EnsureLzo() {
    static std::once_flag once;
    std::call_once(once, [] { lzo_init(); });
}

} // namespace

uint32_t BlockChecksum(std::span<const uint8_t> block) {
    uint32_t c = 0;
    size_t i = 0;
    for (; i + 4 <= block.size(); i += 4) {
        const uint32_t word = (uint32_t(block[i]) << 24) | (uint32_t(block[i + 1]) << 16) |
                              (uint32_t(block[i + 2]) << 8) | block[i + 3];
        c = word ^ kSlice[0][c & 0xFF] ^ kSlice[1][(c >> 8) & 0xFF] ^ kSlice[2][(c >> 16) & 0xFF] ^
            kSlice[3][c >> 24];
    }
    for (; i < block.size(); ++i) c = Step(c, block[i]);
    return c;
}

ContainerInfo DescribeContainer(bool front, uint32_t length) {
    ContainerInfo info;
    info.front = front;
    info.start = front ? 0 : kBackStart;
    info.length = length;
    info.large = length > kSmallRegion;
    info.region = info.large ? kLargeRegion : kSmallRegion;
    info.table = info.large ? kLargeTable : kSmallTable;
    info.checksums = (info.region + 255) / 256;
    return info;
}

Status LocateContainer(std::span<const uint8_t> file, ContainerInfo& info) {
    if (file.size() < 8) return Status::Error(msg::FileNull);
    const bool front = GetU32(file, 0) == 0xFFFFFFFFu;
    const uint64_t start = front ? 0 : kBackStart;
    if (start + 8 > file.size()) return Status::Error(msg::FileNull);
    const uint32_t length = GetU32(file, start + 4);
    if (length > kMaxStreamLength) return Status::Error(msg::FileNull);
    info = DescribeContainer(front, length);
    if (uint64_t(info.start) + info.table + 4ull * info.checksums > file.size()) return Status::Error(msg::FileNull);
    return Status::Ok();
}

std::vector<uint32_t> ComputeChecksums(std::span<const uint8_t> file, const ContainerInfo& info) {
    std::vector<uint32_t> sums(info.checksums);
    const auto region = file.subspan(info.start + 8, info.region);
    for (uint32_t k = 0; k < info.checksums; ++k) {
        const size_t off = 256ull * k;
        sums[k] = BlockChecksum(region.subspan(off, std::min<size_t>(256, region.size() - off)));
    }
    return sums;
}

bool VerifyChecksums(std::span<const uint8_t> file, const ContainerInfo& info) {
    const std::vector<uint32_t> sums = ComputeChecksums(file, info);
    for (uint32_t k = 0; k < info.checksums; ++k)
        if (GetU32(file, info.start + info.table + 4 * k) != sums[k]) return false;
    return true;
}

Status DecompressImage(std::span<const uint8_t> stream, std::vector<uint8_t>& image) {
    EnsureLzo();
    image.assign(kImageSize, 0);
    lzo_uint outLen = kImageSize;
    const int r = lzo1x_decompress_safe(stream.data(), stream.size(), image.data(), &outLen, nullptr);
    if (r != LZO_E_OK) {
        image.clear();
        return Status::Error(msg::DecompressError);
    }
    return Status::Ok();
}

Status CompressImage(std::span<const uint8_t> image, std::vector<uint8_t>& stream) {
    EnsureLzo();
    // LZO1X-1 does not check its output bound: size the buffer for its worst case.
    stream.assign(image.size() + image.size() / 16 + 64 + 3, 0);
    std::vector<uint8_t> work(LZO1X_1_MEM_COMPRESS);
    lzo_uint outLen = 0;
    const int r = lzo1x_1_compress(image.data(), image.size(), stream.data(), &outLen, work.data());
    if (r != LZO_E_OK) {
        stream.clear();
        return Status::Error("The data can not be compressed!");
    }
    stream.resize(outLen);
    if (outLen > kMaxStreamLength) {
        const auto n = stream.size();
        stream.clear();
        return Status::Error("The data is too large to be saved: it compresses to " + std::to_string(n) +
                             " bytes,\r\rbut the file holds at most " + std::to_string(kMaxStreamLength) +
                             " bytes!");
    }
    return Status::Ok();
}

std::vector<uint8_t> MakeContainerFile(std::span<const uint8_t> stream, uint32_t fileSize, uint32_t start) {
    std::vector<uint8_t> file(fileSize, 0);
    const ContainerInfo info = DescribeContainer(start == 0, static_cast<uint32_t>(stream.size()));
    PutU32(file, start, 0xFFFFFFFFu);
    PutU32(file, start + 4, static_cast<uint32_t>(stream.size()));
    std::copy(stream.begin(), stream.end(), file.begin() + start + 8);
    ContainerInfo at = info;
    at.start = start;
    const std::vector<uint32_t> sums = ComputeChecksums(file, at);
    for (uint32_t k = 0; k < at.checksums; ++k) PutU32(file, start + at.table + 4 * k, sums[k]);
    return file;
}

Status LoadCompressed(std::span<const uint8_t> file, std::vector<uint8_t>& image, ContainerInfo* infoOut) {
    ContainerInfo info;
    if (Status s = LocateContainer(file, info); !s) return s;
    if (!VerifyChecksums(file, info)) return Status::Error(msg::FileNull);
    if (Status s = DecompressImage(file.subspan(info.start + 8, info.length), image); !s) return s;
    if (infoOut) *infoOut = info;
    return Status::Ok();
}

} // namespace dbase

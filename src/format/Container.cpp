#include "format/Container.h"

#include "base/Bits.h"
#include "base/Messages.h"
#include "format/Image.h"

#include <lzo/lzo1x.h>

#include <algorithm>
#include <array>
#include <memory>
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
//   c' = (b0 b1 b2 b3 as a big-endian word) ^ H(c),
//   H(c) = H0[c0] ^ H1[c1] ^ H2[c2] ^ H3[c3],
// where Hk[x] is the state after four steps over zero bytes from x << 8k.
// Eight bytes, words W0 and W1, give c'' = W1 ^ H(W0) ^ H(H(c)): the lookups
// of H(W0) do not wait for the state, and H(H(c)) has tables of its own.
using SliceTables = std::array<std::array<uint32_t, 256>, 4>;

constexpr uint32_t Apply(const SliceTables& t, uint32_t c) {
    return t[0][c & 0xFF] ^ t[1][(c >> 8) & 0xFF] ^ t[2][(c >> 16) & 0xFF] ^ t[3][c >> 24];
}

constexpr SliceTables MakeSliceTables() {
    SliceTables h{};
    for (int k = 0; k < 4; ++k)
        for (uint32_t x = 0; x < 256; ++x) {
            uint32_t c = x << (8 * k);
            for (int i = 0; i < 4; ++i) c = Step(c, 0);
            h[k][x] = c;
        }
    return h;
}

constexpr SliceTables kSlice = MakeSliceTables();

constexpr SliceTables MakeDoubleSliceTables() {
    SliceTables hh{};
    for (int k = 0; k < 4; ++k)
        for (uint32_t x = 0; x < 256; ++x) hh[k][x] = Apply(kSlice, kSlice[k][x]);
    return hh;
}

constexpr SliceTables kSlice2 = MakeDoubleSliceTables();

uint32_t BigEndianWord(const uint8_t* b) {
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
}

void EnsureLzo() {
    static std::once_flag once;
    std::call_once(once, [] { lzo_init(); });
}

} // namespace

uint32_t BlockChecksum(std::span<const uint8_t> block) {
    uint32_t c = 0;
    size_t i = 0;
    const uint8_t* b = block.data();
    for (; i + 8 <= block.size(); i += 8)
        c = BigEndianWord(b + i + 4) ^ Apply(kSlice, BigEndianWord(b + i)) ^ Apply(kSlice2, c);
    for (; i + 4 <= block.size(); i += 4) c = BigEndianWord(b + i) ^ Apply(kSlice, c);
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
    if (file.size() < 8) return Status::Error(StatusCode::Damaged, msg::FileNull);
    const bool front = GetU32(file, 0) == 0xFFFFFFFFu;
    const uint64_t start = front ? 0 : kBackStart;
    if (start + 8 > file.size()) return Status::Error(StatusCode::Damaged, msg::FileNull);
    const uint32_t length = GetU32(file, start + 4);
    if (length > kMaxStreamLength) return Status::Error(StatusCode::Damaged, msg::FileNull);
    info = DescribeContainer(front, length);
    if (uint64_t(info.start) + info.table + 4ull * info.checksums > file.size())
        return Status::Error(StatusCode::Damaged, msg::FileNull);
    return Status::Ok();
}

namespace {

constexpr size_t kBlock = 256;

// The checksums of four whole blocks side by side: their states do not
// depend on each other, so the lookups of one overlap those of the others.
void FourBlockChecksums(const uint8_t* p, uint32_t* out) {
    uint32_t c[4] = {};
    for (size_t i = 0; i < kBlock; i += 8)
        for (size_t k = 0; k < 4; ++k) {
            const uint8_t* b = p + kBlock * k + i;
            c[k] = BigEndianWord(b + 4) ^ Apply(kSlice, BigEndianWord(b)) ^ Apply(kSlice2, c[k]);
        }
    std::copy(std::begin(c), std::end(c), out);
}

} // namespace

std::vector<uint32_t> ComputeChecksums(std::span<const uint8_t> file, const ContainerInfo& info) {
    std::vector<uint32_t> sums(info.checksums);
    const auto region = file.subspan(info.start + 8, info.region);
    uint32_t k = 0;
    for (; kBlock * (k + 4) <= region.size() && k + 4 <= info.checksums; k += 4) {
        const uint8_t* p = region.data() + kBlock * k;
        // Zero bytes keep a zero state: the blocks after the stream cost nothing.
        if (!AllZero(std::span(p, 4 * kBlock))) FourBlockChecksums(p, &sums[k]);
    }
    for (; k < info.checksums; ++k) {
        const size_t off = kBlock * k;
        sums[k] = BlockChecksum(region.subspan(off, std::min(kBlock, region.size() - off)));
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
        return Status::Error(StatusCode::Damaged, msg::DecompressError);
    }
    return Status::Ok();
}

namespace {

// What a compression needs besides its input: the compressor's work memory
// and room for its output at its worst. Each thread that saves keeps them, so
// that a save does not map and fault in half a megabyte of fresh pages.
struct CompressBuffers {
    static constexpr size_t OutputRoom(size_t in) { return in + in / 16 + 64 + 3; }
    std::unique_ptr<lzo_align_t[]> work;
    std::unique_ptr<uint8_t[]> out;
    size_t outSize = 0;
};

CompressBuffers& ThreadCompressBuffers(size_t inputSize) {
    thread_local CompressBuffers b;
    if (!b.work)
        b.work =
            std::make_unique<lzo_align_t[]>((LZO1X_1_MEM_COMPRESS + sizeof(lzo_align_t) - 1) / sizeof(lzo_align_t));
    // LZO1X-1 does not check its output bound: the room is that of its worst case.
    if (b.outSize < CompressBuffers::OutputRoom(inputSize)) {
        b.outSize = CompressBuffers::OutputRoom(inputSize);
        b.out = std::make_unique_for_overwrite<uint8_t[]>(b.outSize);
    }
    return b;
}

} // namespace

Status CompressImage(std::span<const uint8_t> image, std::span<const uint8_t>& stream) {
    EnsureLzo();
    CompressBuffers& b = ThreadCompressBuffers(image.size());
    lzo_uint outLen = 0;
    const int r = lzo1x_1_compress(image.data(), image.size(), b.out.get(), &outLen, b.work.get());
    stream = {};
    if (r != LZO_E_OK) return Status::Error(StatusCode::Io, "The data can not be compressed!");
    if (outLen > kMaxStreamLength)
        return Status::Error(StatusCode::TooLarge, "The data is too large to be saved: it compresses to " +
                                                       std::to_string(outLen) +
                                                       " bytes,\r\rbut the file holds at most " +
                                                       std::to_string(kMaxStreamLength) + " bytes!");
    stream = std::span<const uint8_t>(b.out.get(), outLen);
    return Status::Ok();
}

Status CompressImage(std::span<const uint8_t> image, std::vector<uint8_t>& stream) {
    std::span<const uint8_t> view;
    Status s = CompressImage(image, view);
    stream.assign(view.begin(), view.end());
    return s;
}

std::vector<uint8_t> MakeContainerFile(std::span<const uint8_t> stream, uint32_t fileSize, uint32_t start) {
    std::vector<uint8_t> file;
    MakeContainerFile(stream, fileSize, start, file);
    return file;
}

void MakeContainerFile(std::span<const uint8_t> stream, uint32_t fileSize, uint32_t start, std::vector<uint8_t>& file) {
    file.assign(fileSize, 0);
    ContainerInfo at = DescribeContainer(start == 0, static_cast<uint32_t>(stream.size()));
    at.start = start;
    PutU32(file, start, 0xFFFFFFFFu);
    PutU32(file, start + 4, static_cast<uint32_t>(stream.size()));
    std::copy(stream.begin(), stream.end(), file.begin() + start + 8);
    const std::vector<uint32_t> sums = ComputeChecksums(file, at);
    for (uint32_t k = 0; k < at.checksums; ++k) PutU32(file, start + at.table + 4 * k, sums[k]);
}

Status LoadCompressed(std::span<const uint8_t> file, std::vector<uint8_t>& image, ContainerInfo* infoOut) {
    ContainerInfo info;
    if (Status s = LocateContainer(file, info); !s) return s;
    if (!VerifyChecksums(file, info)) return Status::Error(StatusCode::Damaged, msg::FileNull);
    if (Status s = DecompressImage(file.subspan(info.start + 8, info.length), image); !s) return s;
    if (infoOut) *infoOut = info;
    return Status::Ok();
}

} // namespace dbase

#include "SampleData.h"

#include "base/Bits.h"
#include "base/Messages.h"
#include "format/Container.h"
#include "format/Image.h"

#include <gtest/gtest.h>

#include <random>
#include <string_view>

using namespace dbase;

namespace {

std::span<const uint8_t> Bytes(std::string_view s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

std::vector<uint8_t> SampleStream() {
    std::vector<uint8_t> stream;
    EXPECT_TRUE(CompressImage(BuildImage(*sample::BuildSample()), stream).ok());
    return stream;
}

} // namespace

TEST(BlockChecksum, KnownValues) {
    EXPECT_EQ(BlockChecksum(Bytes("abc")), 0x00616263u);
    EXPECT_EQ(BlockChecksum(Bytes("123456789")), 0x4D3A139Eu);
    std::vector<uint8_t> zeros(256, 0);
    EXPECT_EQ(BlockChecksum(zeros), 0u);
}

TEST(Container, SizeIsChosenByTheStreamLength) {
    const ContainerInfo small = DescribeContainer(true, 61432);
    EXPECT_FALSE(small.large);
    EXPECT_EQ(small.table, 61440u);
    EXPECT_EQ(small.checksums, 240u);
    const ContainerInfo large = DescribeContainer(false, 61433);
    EXPECT_TRUE(large.large);
    EXPECT_EQ(large.start, 131072u);
    EXPECT_EQ(large.table, 126976u);
    EXPECT_EQ(large.checksums, 496u);
}

TEST(Container, BothPlacementsAndBothSizesLoadBack) {
    const auto stream = SampleStream();
    // A stream long enough for the large container: the small one's table would overlap it.
    std::vector<uint8_t> image(kImageSize);
    std::mt19937 rng(1);
    for (size_t i = 0; i < 70000; ++i) image[i] = static_cast<uint8_t>(rng());
    std::vector<uint8_t> longStream;
    ASSERT_TRUE(CompressImage(image, longStream).ok());
    ASSERT_GT(longStream.size(), kSmallRegion);

    for (const std::vector<uint8_t>* s : std::array<const std::vector<uint8_t>*, 2>{&stream, &longStream})
        for (uint32_t size : {kChannelFileSize, kDefaultFileSize})
            for (uint32_t start : {0u, kBackStart}) {
                if (start == kBackStart && size == kDefaultFileSize) continue;
                const auto file = MakeContainerFile(*s, size, start);
                std::vector<uint8_t> out;
                ContainerInfo info;
                ASSERT_TRUE(LoadCompressed(file, out, &info).ok());
                EXPECT_EQ(info.front, start == 0);
                EXPECT_EQ(info.length, s->size());
                EXPECT_EQ(info.large, s->size() > kSmallRegion);
                EXPECT_EQ(out.size(), static_cast<size_t>(kImageSize));
                if (s == &longStream) {
                    EXPECT_EQ(out, image);
                }
            }
}

TEST(Container, ChecksumsCoverTheZeroAreaAndEachBlockAlone) {
    const auto stream = SampleStream();
    auto file = MakeContainerFile(stream, kChannelFileSize, 0);
    ContainerInfo info;
    ASSERT_TRUE(LocateContainer(file, info).ok());
    const auto sums = ComputeChecksums(file, info);

    auto changed = file;
    changed[8 + 256 * 3 + 17] ^= 0x40; // a byte of block 3 (inside the stream)
    const auto sums3 = ComputeChecksums(changed, info);
    for (size_t k = 0; k < sums.size(); ++k) EXPECT_EQ(sums[k] != sums3[k], k == 3) << k;

    auto zeroArea = file;
    zeroArea[8 + stream.size() + 100] = 1;
    std::vector<uint8_t> out;
    const Status s = LoadCompressed(zeroArea, out);
    EXPECT_EQ(s.message(), msg::FileNull);
}

TEST(Container, FrontMarkerWinsEvenWithAContainerBehindIt) {
    const auto stream = SampleStream();
    auto file = MakeContainerFile(stream, kChannelFileSize, 0);
    const auto back = MakeContainerFile(std::vector<uint8_t>(100, 0x11), kChannelFileSize, kBackStart);
    std::copy(back.begin() + kBackStart, back.end(), file.begin() + kBackStart);
    ContainerInfo info;
    std::vector<uint8_t> out;
    ASSERT_TRUE(LoadCompressed(file, out, &info).ok());
    EXPECT_TRUE(info.front);
}

TEST(Container, DamagedFilesAreRefusedWithTheirMessages) {
    const auto stream = SampleStream();
    std::vector<uint8_t> out;

    // A default-size file without the front marker has no back container.
    auto noMarker = MakeContainerFile(stream, kDefaultFileSize, 0);
    PutU32(noMarker, 0, 0);
    EXPECT_EQ(LoadCompressed(noMarker, out).message(), msg::FileNull);

    // A length that does not fit its container is refused before anything is read.
    for (uint32_t len : {kMaxStreamLength + 1, 0xFFFFFFFFu}) {
        auto f = MakeContainerFile(stream, kDefaultFileSize, 0);
        PutU32(f, 4, len);
        EXPECT_EQ(LoadCompressed(f, out).message(), msg::FileNull);
    }
    EXPECT_EQ(LoadCompressed(std::vector<uint8_t>(3, 0xFF), out).message(), msg::FileNull);

    // Good checksums over a stream that is not LZO1X.
    std::vector<uint8_t> junk(500);
    std::mt19937 rng(5);
    for (auto& b : junk) b = static_cast<uint8_t>(rng());
    EXPECT_EQ(LoadCompressed(MakeContainerFile(junk, kDefaultFileSize, 0), out).message(), msg::DecompressError);

    // A stream that would produce more than an image.
    std::vector<uint8_t> big(kImageSize + 1000, 0), bigStream;
    ASSERT_TRUE(CompressImage(big, bigStream).ok());
    EXPECT_EQ(LoadCompressed(MakeContainerFile(bigStream, kDefaultFileSize, 0), out).message(), msg::DecompressError);

    // A stream cut short reads past its end.
    std::vector<uint8_t> cut(stream.begin(), stream.begin() + static_cast<long>(stream.size() / 2));
    EXPECT_EQ(LoadCompressed(MakeContainerFile(cut, kDefaultFileSize, 0), out).message(), msg::DecompressError);
}

TEST(Container, IncompressibleImagesAreRefused) {
    std::vector<uint8_t> image(kImageSize);
    std::mt19937 rng(9);
    for (auto& b : image) b = static_cast<uint8_t>(rng());
    std::vector<uint8_t> stream;
    const Status s = CompressImage(image, stream);
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.message().find("too large"), std::string::npos);
}

TEST(BlockChecksum, WordsAtATimeEqualTheByteRule) {
    std::mt19937 rng(11);
    for (size_t len : {1u, 3u, 4u, 5u, 7u, 8u, 9u, 12u, 13u, 200u, 248u, 252u, 256u}) {
        std::vector<uint8_t> b(len);
        for (auto& x : b) x = static_cast<uint8_t>(rng());
        // Leading zero bytes (a zero state stays zero) and a lone byte at the end.
        if (len > 12) std::fill(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(len / 2), 0);
        if (len == 252) std::fill(b.begin(), b.end() - 1, 0);
        // The rule byte by byte, with the table built from the polynomial.
        uint32_t table[256];
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        uint32_t c = 0;
        for (uint8_t x : b) c = ((c << 8) | x) ^ table[c >> 24];
        EXPECT_EQ(BlockChecksum(b), c) << len;
    }
}

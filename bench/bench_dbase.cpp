// Opening and saving a full-capacity database, each beside the bare LZO call
// on the same data, so the overhead of our own code can be read off directly
// (BM_Open against BM_BareDecompress, BM_SaveNoSync against BM_BareCompress),
// and the parts of each: reading the image, checking the container, building
// the saved bytes.
#include "SampleData.h"

#include "format/Container.h"
#include "format/DataFile.h"
#include "format/Image.h"

#include <benchmark/benchmark.h>
#include <lzo/lzo1x.h>

#include <filesystem>
#include <unistd.h>

namespace {

struct Fixture {
    std::unique_ptr<dbase::Database> db = sample::BuildFull(1);
    std::vector<uint8_t> image, file;
    std::vector<uint8_t> stream;
    std::filesystem::path dir;
    std::string dest;
    Fixture() {
        image = dbase::BuildImage(*db);
        if (!dbase::BuildSaveBytes(*db, dbase::SaveMode::Channel, file)) std::abort();
        const dbase::Status s = dbase::CompressImage(image, stream);
        if (!s) std::abort();
        // A folder of its own, as a user's folder of data files is: a save
        // looks through its folder for leftovers of a killed save, and the
        // shared temporary folder holds whatever else runs on the machine.
        dir = std::filesystem::temp_directory_path() / ("orbitlist-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directory(dir);
        dest = (dir / "channel.bin").string();
    }
    ~Fixture() { std::filesystem::remove_all(dir); }
};

Fixture& F() {
    static Fixture f;
    return f;
}

void BM_Open(benchmark::State& state) {
    auto db = dbase::NewDatabase();
    for (auto _ : state) {
        const dbase::Status s = dbase::OpenImageBytes(F().file, true, *db);
        benchmark::DoNotOptimize(s.ok());
    }
    state.counters["stream"] = static_cast<double>(F().stream.size());
}

// The parts of an open: reading the image into the model, and checking the container.
void BM_ParseImage(benchmark::State& state) {
    auto db = dbase::NewDatabase();
    for (auto _ : state) benchmark::DoNotOptimize(dbase::ParseImage(*db, F().image).ok());
}

void BM_VerifyChecksums(benchmark::State& state) {
    dbase::ContainerInfo info;
    if (!dbase::LocateContainer(F().file, info)) std::abort();
    for (auto _ : state) benchmark::DoNotOptimize(dbase::VerifyChecksums(F().file, info));
}

void BM_BareDecompress(benchmark::State& state) {
    std::vector<uint8_t> out(dbase::kImageSize);
    for (auto _ : state) {
        lzo_uint len = out.size();
        benchmark::DoNotOptimize(
            lzo1x_decompress_safe(F().stream.data(), F().stream.size(), out.data(), &len, nullptr));
    }
}

void BM_Save(benchmark::State& state) {
    for (auto _ : state) {
        const dbase::Status s = dbase::SaveImage(*F().db, dbase::SaveMode::Channel, F().dest);
        benchmark::DoNotOptimize(s.ok());
    }
}

// The same save without flushing to the disk: the figure compared with the bare compressor.
void BM_SaveNoSync(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<uint8_t> bytes;
        if (!dbase::BuildSaveBytes(*F().db, dbase::SaveMode::Channel, bytes)) std::abort();
        const dbase::Status s = dbase::WriteFileAtomic(F().dest, bytes, false);
        benchmark::DoNotOptimize(s.ok());
    }
}

// The bytes of a save without the file: image, compression and container.
void BM_BuildSaveBytes(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<uint8_t> bytes;
        if (!dbase::BuildSaveBytes(*F().db, dbase::SaveMode::Channel, bytes)) std::abort();
        benchmark::DoNotOptimize(bytes.data());
    }
}

void BM_BareCompress(benchmark::State& state) {
    std::vector<uint8_t> out(F().image.size() + F().image.size() / 16 + 67);
    std::vector<uint8_t> work(LZO1X_1_MEM_COMPRESS);
    for (auto _ : state) {
        lzo_uint len = 0;
        benchmark::DoNotOptimize(lzo1x_1_compress(F().image.data(), F().image.size(), out.data(), &len, work.data()));
    }
}

} // namespace

BENCHMARK(BM_Open)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseImage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VerifyChecksums)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareDecompress)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveNoSync)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildSaveBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareCompress)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();

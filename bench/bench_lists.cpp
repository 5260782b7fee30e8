// Lists at full capacity (3,000 programs on 2,200 transponders of 64
// satellites): export as CSV, import of that CSV into a reordered copy,
// applying the original file as a reference, and the differences of two
// full files. Each is timed in the core, and as orbitlist-cli runs it: files
// opened and, for the editing commands, the result saved (which waits for the
// disk).
#include "SampleData.h"

#include "cli/Commands.h"
#include "editing/Diff.h"
#include "editing/Lists.h"
#include "editing/Marks.h"
#include "editing/Reorder.h"
#include "format/DataFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

using dbase::Database;

struct Fixture {
    std::unique_ptr<Database> original = sample::BuildFull(1);
    std::unique_ptr<Database> shuffled = std::make_unique<Database>(*original);
    std::string csv;
    std::filesystem::path dir;
    Fixture() {
        dbase::SortPrograms(*shuffled, dbase::ProgKind::Tv, dbase::SortKey::Name, dbase::NameCollator("C"));
        dbase::SortPrograms(*shuffled, dbase::ProgKind::Radio, dbase::SortKey::Tp);
        for (int p = 0; p < shuffled->ProgCount; p += 7) dbase::ToggleMarks(*shuffled, p, dbase::kLockButton);
        csv = dbase::ExportListCsv(*original);
        dir = std::filesystem::temp_directory_path() / ("orbitlist-bench-lists-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        if (!dbase::SaveImage(*original, dbase::SaveMode::Channel, File("original.bin"), {true, true}, {}) ||
            !dbase::SaveImage(*shuffled, dbase::SaveMode::Channel, File("shuffled.bin"), {true, true}, {}))
            std::abort();
        std::ofstream(File("list.csv"), std::ios::binary) << csv;
    }
    ~Fixture() { std::filesystem::remove_all(dir); }
    std::string File(const std::string& name) const { return (dir / name).string(); }
};

Fixture& F() {
    static Fixture f;
    return f;
}

void BM_ExportCsv(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(dbase::ExportListCsv(*F().original));
    state.counters["bytes"] = static_cast<double>(F().csv.size());
}

// Reading the CSV, finding its rows and putting the copy into its order with
// its marks and names.
void BM_ImportCsv(benchmark::State& state) {
    auto db = std::make_unique<Database>(*F().shuffled);
    for (auto _ : state) {
        state.PauseTiming();
        *db = *F().shuffled;
        state.ResumeTiming();
        dbase::ListFile list;
        if (!dbase::ReadListCsv(F().csv, true, list)) std::abort();
        const dbase::ListPlan plan = dbase::PlanListOrder(*db, list);
        dbase::ApplyListOrder(*db, list, plan, true);
        benchmark::DoNotOptimize(plan.matched);
    }
}

void BM_ApplyReference(benchmark::State& state) {
    auto db = std::make_unique<Database>(*F().shuffled);
    for (auto _ : state) {
        state.PauseTiming();
        *db = *F().shuffled;
        state.ResumeTiming();
        dbase::ListFile list;
        if (!dbase::ListFromDatabase(*F().original, true, list)) std::abort();
        const dbase::ListPlan plan = dbase::PlanListOrder(*db, list);
        dbase::ApplyListOrder(*db, list, plan, true);
        benchmark::DoNotOptimize(plan.matched);
    }
}

void BM_Diff(benchmark::State& state) {
    size_t entries = 0;
    for (auto _ : state) {
        const dbase::DatabaseDiff d = dbase::DiffDatabases(*F().original, *F().shuffled);
        entries = d.programs.size();
        benchmark::DoNotOptimize(entries);
    }
    state.counters["program entries"] = static_cast<double>(entries);
}

// The commands as a user runs them: open, work, write.
void Cli(benchmark::State& state, const std::vector<std::string>& args) {
    for (auto _ : state) {
        std::ostringstream out, err;
        if (cli::Run(args, out, err) != 0) std::abort();
        benchmark::DoNotOptimize(out.str().size());
    }
}

void BM_CliExportCsv(benchmark::State& state) { Cli(state, {"export-csv", F().File("original.bin")}); }
void BM_CliImportCsv(benchmark::State& state) {
    Cli(state, {"import-csv", F().File("shuffled.bin"), F().File("list.csv"), "--names", "-o", F().File("out.bin")});
}
void BM_CliApplyReference(benchmark::State& state) {
    Cli(state, {"apply-reference", F().File("shuffled.bin"), F().File("original.bin"), "-o", F().File("out.bin")});
}
void BM_CliDiff(benchmark::State& state) {
    Cli(state, {"diff", F().File("original.bin"), F().File("shuffled.bin"), "--json"});
}

} // namespace

BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Diff)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CliExportCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CliImportCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CliApplyReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CliDiff)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

// The edit history at full capacity (64 satellites, 2,200 transponders, 3,000
// programs, 1,000 audio tracks): what one step of each kind keeps, the memory
// of 1,000 mixed steps (900 marks, renames and moves, 100 sorts and imports),
// and the time of a step, an undo and a redo in the core. The counters are
// the figures: "bytes" per step, "MiB" of the whole history.
#include "SampleData.h"

#include "document/Document.h"
#include "editing/EditorFields.h"
#include "editing/IniImport.h"
#include "editing/Marks.h"
#include "editing/Reorder.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using dbase::Database;
using dbase::Document;
using dbase::Status;

const dbase::IniFile& Ini() {
    static const dbase::IniFile file = [] {
        std::string text = "[SATTYPE]\r\n1=0192\r\n2=Imported,19.2E\r\n\r\n[DVB]\r\n0=30\r\n";
        for (int i = 1; i <= 30; ++i)
            text += std::to_string(i) + "=" + std::to_string(10700 + 20 * i) + ",H,27500,34\r\n";
        return dbase::ParseIniText(text);
    }();
    return file;
}

// Step `i` of a mixed sequence: nine in ten change one entry, the tenth sorts
// or imports.
Status MixedStep(Database& db, int i) {
    const int slot = (i * 37) % db.ProgCount;
    if (i % 10 == 9) {
        if (i % 20 == 9) return dbase::ImportIni(db, (i / 20) % db.SatCount, Ini());
        dbase::SortPrograms(db, i % 40 == 19 ? dbase::ProgKind::Radio : dbase::ProgKind::Tv,
                            i % 3 == 0 ? dbase::SortKey::Fav : dbase::SortKey::Tp);
        return Status::Ok();
    }
    switch (i % 3) {
    case 0: dbase::ToggleMarks(db, slot, i % dbase::kFavGroups); return Status::Ok();
    case 1: {
        dbase::ProgValues v;
        dbase::ProgInput in = dbase::ShowProgram(db, slot);
        in.name = "Renamed " + std::to_string(i % 1000);
        if (dbase::CheckProgram(in, v)) return Status::Error(dbase::StatusCode::Invalid, "refused");
        dbase::ChangeProgram(db, slot, v);
        return Status::Ok();
    }
    default: {
        const std::vector<int> kind = dbase::KindSlots(db, dbase::ProgKind::Tv);
        const size_t k = static_cast<size_t>(i) % (kind.size() - 1);
        dbase::SwapPrograms(db, kind[k], kind[k + 1]);
        return Status::Ok();
    }
    }
}

// What one step of a kind keeps.
template <class Change> void StepBytes(benchmark::State& state, Change change) {
    size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Document doc(sample::BuildFull(1));
        state.ResumeTiming();
        // A refused change keeps nothing, which the byte count then shows.
        (void)doc.Edit("step", [&](Database& db) { return change(db); });
        bytes = doc.HistoryBytes();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_StepMark(benchmark::State& state) {
    StepBytes(state, [](Database& db) {
        dbase::ToggleMarks(db, 7, 2);
        return Status::Ok();
    });
}

void BM_StepRename(benchmark::State& state) {
    StepBytes(state, [](Database& db) { return MixedStep(db, 1); });
}

void BM_StepMove(benchmark::State& state) {
    StepBytes(state, [](Database& db) { return MixedStep(db, 2); });
}

void BM_StepSort(benchmark::State& state) {
    StepBytes(state, [](Database& db) {
        dbase::SortPrograms(db, dbase::ProgKind::Tv, dbase::SortKey::Fav);
        return Status::Ok();
    });
}

void BM_StepImport(benchmark::State& state) {
    StepBytes(state, [](Database& db) { return dbase::ImportIni(db, 3, Ini()); });
}

// 1,000 mixed steps: the memory they hold, and the time per step.
void BM_ThousandMixedSteps(benchmark::State& state) {
    size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<Document>(sample::BuildFull(1));
        state.ResumeTiming();
        // A refused step records nothing; the count below checks the steps were kept.
        for (int i = 0; i < 1000; ++i) (void)doc->Edit("step", [i](Database& db) { return MixedStep(db, i); });
        bytes = doc->HistoryBytes();
        state.PauseTiming();
        if (doc->StepCount() < 990) state.SkipWithError("steps were not recorded");
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["MiB"] = static_cast<double>(bytes) / (1 << 20);
    state.counters["per_step_ms"] =
        benchmark::Counter(1000, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Taking back and applying again the steps of that history, one at a time.
void BM_UndoRedo(benchmark::State& state) {
    static auto doc = [] {
        auto d = std::make_unique<Document>(sample::BuildFull(1));
        // A refused step records nothing; the history is what the steps leave.
        for (int i = 0; i < 1000; ++i) (void)d->Edit("step", [i](Database& db) { return MixedStep(db, i); });
        return d;
    }();
    bool back = true;
    for (auto _ : state) {
        if (back ? !doc->Undo() : !doc->Redo()) back = !back;
        if (!doc->CanUndo()) back = false;
        if (!doc->CanRedo()) back = true;
    }
}

BENCHMARK(BM_StepMark)->Unit(benchmark::kMicrosecond)->Iterations(20);
BENCHMARK(BM_StepRename)->Unit(benchmark::kMicrosecond)->Iterations(20);
BENCHMARK(BM_StepMove)->Unit(benchmark::kMicrosecond)->Iterations(20);
BENCHMARK(BM_StepSort)->Unit(benchmark::kMicrosecond)->Iterations(20);
BENCHMARK(BM_StepImport)->Unit(benchmark::kMicrosecond)->Iterations(20);
BENCHMARK(BM_ThousandMixedSteps)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_UndoRedo)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

// Moving a block of programs in one go, and finding programs, at full
// capacity: a database of 3,000 TV programs on 2,200 transponders with 1,000
// extra audio tracks. The block of the last 500 programs goes to the top and
// back, on its own and as a step of the document (the window's Alt+Home);
// the filter's test runs over the whole list for a name and for a number.
#include "SampleData.h"

#include "document/Document.h"
#include "editing/Find.h"
#include "editing/Moves.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <numeric>

namespace {

std::unique_ptr<dbase::Database> AllTvDatabase() {
    auto db = sample::EmptyDatabase();
    for (int s = 0; s < dbase::kMaxSatsInImage; ++s)
        sample::AddSat(*db, {"Satellite " + std::to_string(s + 1), (s * 53) % 3600});
    std::vector<int> tps;
    for (int t = 0; t < dbase::kTpSlots; ++t)
        tps.push_back(sample::AddTp(*db, t % dbase::kMaxSatsInImage, 10700 + (t * 7) % 2050, t % 2 == 1, 27500, 3));
    for (int p = 0; p < dbase::kProgSlots; ++p) {
        sample::ProgSpec ps;
        ps.name = "Program " + std::to_string(p + 1);
        ps.vid = 100 + p % 4000;
        ps.aud = 101 + p % 4000;
        ps.pcr = ps.vid;
        ps.pmt = 32 + p % 100;
        ps.sid = p + 1;
        sample::AddProg(*db, tps[static_cast<size_t>(p) % tps.size()], ps);
    }
    for (int a = 0; a < dbase::kAudioSlots; ++a) sample::AddAudio(*db, (a * 3) % dbase::kProgSlots, 2000 + a, "eng");
    return db;
}

// The block of the last 500 to the top, then back to the bottom: one move per iteration.
template <class Move> void MoveBlocks(benchmark::State& state, dbase::Database& db, Move move) {
    const std::vector<int> list = dbase::AllProgs(db).tv;
    const int n = static_cast<int>(list.size());
    std::vector<int> bottom(500), top(500);
    std::iota(bottom.begin(), bottom.end(), n - 500);
    std::iota(top.begin(), top.end(), 0);
    bool up = true;
    for (auto _ : state) {
        const dbase::Status s = move(list, up ? bottom : top, up ? dbase::MoveKind::Top : dbase::MoveKind::Bottom);
        if (!s) state.SkipWithError(s.message().c_str());
        up = !up;
    }
    state.counters["programs"] = n;
}

void BM_MoveBlockOf500(benchmark::State& state) {
    auto db = AllTvDatabase();
    MoveBlocks(state, *db, [&](const std::vector<int>& list, const std::vector<int>& block, dbase::MoveKind kind) {
        return dbase::MoveInList(*db, dbase::ListOf::Programs, list, block, kind);
    });
}

// The same as one step of the document: the move, and the step that records it.
void BM_MoveBlockOf500AsAStep(benchmark::State& state) {
    dbase::Document doc(AllTvDatabase());
    MoveBlocks(state, doc.StepDb(),
               [&](const std::vector<int>& list, const std::vector<int>& block, dbase::MoveKind kind) {
                   return doc.Edit("Move programs", [&](dbase::Database& db) {
                       return dbase::MoveInList(db, dbase::ListOf::Programs, list, block, kind);
                   });
               });
}

void Find(benchmark::State& state, const char* text) {
    const auto db = AllTvDatabase();
    const std::vector<int> list = dbase::AllProgs(*db).tv;
    dbase::ProgFilter f;
    f.text = text;
    size_t found = 0;
    for (auto _ : state) {
        const dbase::ProgMatcher m(*db, f);
        found = m.Select(list).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = static_cast<double>(found);
}

void BM_FindName(benchmark::State& state) { Find(state, "program 12"); }
void BM_FindNumber(benchmark::State& state) { Find(state, "2500"); }

BENCHMARK(BM_MoveBlockOf500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveBlockOf500AsAStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindName)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindNumber)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

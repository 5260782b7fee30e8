// A 262,144-byte read-back and write over a pseudo-terminal whose far side
// paces the line at 115,200 baud (10 bits a byte, both directions). The
// counter "ratio" is the exchange's time over the line time of every byte
// exchanged; the link's own polling and turnarounds are what it adds.
#include "LinkTestSupport.h"
#include "PtyLoader.h"

#include "link/Link.h"
#include "serial/QtSerialPort.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

enum class Exchange { ReadBack, Write };

void RunExchange(benchmark::State& state, Exchange which) {
    testutil::TempDir dir;
    const std::string file = dir.path("channel.bin");
    testutil::WriteFile(file, linktest::SampleFile(true));
    for (auto _ : state) {
        sim::PtyLoader loader({}, /*paced=*/true, dbase::kLineBaud);
        std::string error;
        if (!loader.Start(&error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        loader.With([](sim::LoaderCore& core) { core.SetImage(true, linktest::SampleFile(true)); });
        serial::QtSerialPort port;
        port.SetDevice(QString::fromStdString(loader.DevicePath()));
        dbase::SteadyLinkClock clock;
        dbase::ReceiverLink link(port, clock);
        link.SetActive(true);

        const auto start = std::chrono::steady_clock::now();
        const bool ok = which == Exchange::ReadBack ? link.ReadBackImage(dir.path("received.bin"), true)
                                                    : link.WriteImage(file, true);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (!ok) {
            state.SkipWithError("the exchange failed");
            return;
        }
        // The last acknowledgement may still be on its way to the loader.
        loader.Await([which](sim::LoaderCore& core) {
            return which == Exchange::Write || core.CountIn(dbase::kFrameBlockGood) == 128;
        });
        const double wire = loader.WireTime().count();
        state.SetIterationTime(took.count());
        state.counters["wire_s"] = wire;
        state.counters["ratio"] = took.count() / wire;
    }
}

void BM_ReadBackChannel(benchmark::State& state) { RunExchange(state, Exchange::ReadBack); }
void BM_WriteChannel(benchmark::State& state) { RunExchange(state, Exchange::Write); }

} // namespace

BENCHMARK(BM_ReadBackChannel)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_WriteChannel)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Restart as the communication dialog does it, on a line paced like a real
// one: the running exchange is given up at some moment, the port is closed
// and the exchange starts over at once, while the loader may still be
// sending what the given-up exchange asked for, or be busy with its flash.
#include "LinkTestSupport.h"
#include "VirtualLine.h"

#include "link/Link.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace dbase;

namespace {

constexpr int kBaud = 115200;

// A link to a loader on a paced line that erases and programs in 300 ms each.
struct PacedRig {
    PacedRig() : line(Config()), link(line, line, &rec) {
        line.SetBaud(kBaud);
        link.SetActive(true);
        line.Core().SetImage(true, linktest::SampleFile(true));
        line.Core().SetImage(false, linktest::SampleFile(false));
        file = dir.path("file.bin");
        testutil::WriteFile(file, linktest::SampleFile(false));
    }
    static sim::LoaderConfig Config() {
        sim::LoaderConfig c;
        c.eraseMs = 300;
        c.programMs = 300;
        return c;
    }
    bool Run(bool write) {
        return write ? link.WriteImage(file, false) : link.ReadBackImage(dir.path("read.bin"), false);
    }

    testutil::TempDir dir;
    sim::VirtualLine line;
    linktest::Recorder rec;
    ReceiverLink link;
    std::string file;
};

// How long the exchange takes on the paced line when nothing interrupts it.
int64_t Duration(bool write) {
    PacedRig rig;
    EXPECT_TRUE(rig.Run(write));
    return rig.line.NowMs();
}

} // namespace

class LinkRestart : public ::testing::TestWithParam<std::tuple<bool, int>> {};
// The moment of the Restart, in eighths of the undisturbed exchange's time
// (the moment of a write's flash phases are near its end).
INSTANTIATE_TEST_SUITE_P(ReadBack, LinkRestart, ::testing::Combine(::testing::Values(false), ::testing::Range(0, 8)));
INSTANTIATE_TEST_SUITE_P(Write, LinkRestart, ::testing::Combine(::testing::Values(true), ::testing::Range(0, 8)));

TEST_P(LinkRestart, TheFirstRestartSucceeds) {
    const auto [write, eighth] = GetParam();
    static const int64_t readTime = Duration(false), writeTime = Duration(true);
    const int64_t at = (write ? writeTime : readTime) * eighth / 8 + 7;

    PacedRig rig;
    bool restarting = false;
    rig.rec.superseded = [&] { return restarting; };
    rig.line.OnTick([&](int64_t now) {
        if (now >= at && rig.line.Opens() == 1) restarting = true;
    });
    const bool firstOk = rig.Run(write);
    ASSERT_TRUE(restarting) << "the exchange ended before " << at << " ms";
    EXPECT_FALSE(firstOk);
    EXPECT_TRUE(rig.link.Superseded());

    // What the dialog's Restart does once the given-up exchange has ended.
    restarting = false;
    rig.rec.states.clear();
    const int connectsBefore = rig.line.Core().CountIn(kFrameConnect);
    const int writesBefore = rig.line.Core().WritesCompleted();
    rig.link.ClosePort();
    const int64_t restartedAt = rig.line.NowMs();
    ASSERT_TRUE(rig.Run(write)) << "restarted at " << at
                                << " ms, last shown: " << (rig.rec.states.empty() ? "" : rig.rec.states.back());
    // Every state of a whole exchange, with "Connectting..." once per request.
    auto states = rig.rec.states;
    const auto firstOther =
        std::find_if(states.begin(), states.end(), [](const std::string& s) { return s != "Connectting..."; });
    states.erase(states.begin() + 1, firstOther);
    EXPECT_EQ(states, write ? linktest::WriteStates(false) : linktest::ReadBackStates(false));
    if (write) {
        EXPECT_EQ(rig.line.Core().WritesCompleted(), writesBefore + 1);
        EXPECT_EQ(rig.line.Core().Image(false), linktest::SampleFile(false));
    } else {
        EXPECT_EQ(testutil::ReadFile(rig.dir.path("read.bin")), rig.line.Core().Image(false));
    }
    // One connect request, or one more for each half second the loader was
    // still busy with its flash; never a burst.
    const int connects = rig.line.Core().CountIn(kFrameConnect) - connectsBefore;
    EXPECT_GE(connects, 1);
    EXPECT_LE(connects, 3);
    EXPECT_LE(rig.line.NowMs() - restartedAt, (write ? writeTime : readTime) + 1500);
}

TEST(LinkQuiet, TheFirstConnectRequestWaitsUntilTheLineIsQuiet) {
    // Left-overs keep arriving for a while: nothing goes out until 50 ms
    // after the last of them.
    PacedRig rig;
    rig.line.Open(1, kLineSettings);
    rig.link.SendFrame(kFrameReadDefault); // "!!!CS" comes back, then the loader waits for "!!!QF"
    rig.link.SendFrame(kFrameQuery);       // and a whole block is on its way
    const size_t writes = rig.line.WriteSizes().size();
    int64_t firstRequestAt = -1;
    rig.rec.onState = [&](const std::string& s) {
        if (s == "Connectting..." && firstRequestAt < 0) firstRequestAt = rig.line.NowMs();
    };
    ASSERT_TRUE(rig.link.ConnectLoader());
    // The block's line time, then the quiet time.
    const int64_t blockMs = int64_t{kLinkBlockWireSize} * 10 * 1000 / kBaud;
    EXPECT_GE(firstRequestAt, blockMs + kQuietMs);
    EXPECT_LE(firstRequestAt, blockMs + kQuietMs + 3);
    EXPECT_EQ(rig.line.WriteSizes().size(), writes + 1);
    EXPECT_EQ(rig.line.Core().CountIn(kFrameConnect), 1);
}

TEST(LinkQuiet, ALineThatNeverGoesQuietIsWaitedForThreeSecondsAtMost) {
    sim::VirtualLine line;
    linktest::Recorder rec;
    ReceiverLink link(line, line, &rec);
    link.SetActive(true);
    line.Open(1, kLineSettings);
    // A stream of junk: a read-back that is never answered, so the loader
    // keeps sending block 0 - simulated by feeding the loader endless queries.
    line.OnTick([&](int64_t now) {
        if (now % 20 == 0) {
            link.SendFrame(kFrameReadDefault);
            link.SendFrame(kFrameQuery);
        }
    });
    EXPECT_TRUE(link.SettleLine());
    EXPECT_GE(line.NowMs(), kQuietLimitMs);
    EXPECT_LE(line.NowMs(), kQuietLimitMs + 1);
    // Cancel ends the wait at once.
    link.Cancel();
    const int64_t before = line.NowMs();
    EXPECT_FALSE(link.SettleLine());
    EXPECT_EQ(line.NowMs(), before);
}

TEST(LinkQuiet, BytesThatStartNoFrameAreSkippedWithinTheWait) {
    // The tail of a block arrives in groups of 8 that start with neither
    // "!" nor "#", then the answer: one wait takes it.
    sim::VirtualLine line(sim::LoaderConfig{sim::Fault::JunkConnect, 1});
    ReceiverLink link(line, line);
    link.SetActive(true);
    line.Open(1, kLineSettings);
    line.SetLatencyMs(0);
    link.SendFrame(kFrameConnect); // answered by 8 junk bytes
    line.Core().SetConfig({});
    // A second request (written without emptying the input) is answered properly.
    ASSERT_TRUE(line.Write(FrameFor(kFrameConnect)));
    EXPECT_EQ(line.InBufferCount(), 16u);
    EXPECT_TRUE(link.WaitFrame(kFrameConnected, kFramePolls));
    EXPECT_EQ(line.InBufferCount(), 0u);
}

// The loader protocol against the simulated loader on virtual time: both
// exchanges at both sizes, the texts and progress they show, retries, faults
// in every phase, the time limits, Cancel and superseded exchanges.
#include "LinkTestSupport.h"
#include "VirtualLine.h"

#include "base/Messages.h"
#include "link/Link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace dbase;
using linktest::Recorder;
using sim::Fault;

namespace {

std::vector<uint8_t> Bytes(const FrameBytes& f) { return {f.begin(), f.end()}; }

// A link to a simulated loader, with a recorder and a scratch folder.
struct Rig {
    explicit Rig(sim::LoaderConfig config = {}) : line(config), link(line, line, &rec) {
        link.SetActive(true);
        line.Core().SetImage(true, linktest::SampleFile(true));
        line.Core().SetImage(false, linktest::SampleFile(false));
    }
    // A valid data file of the kind, written to the scratch folder.
    std::string DataFile(bool is256K, const std::string& name = "out.bin") {
        const std::string p = dir.path(name);
        testutil::WriteFile(p, linktest::SampleFile(is256K));
        return p;
    }
    int64_t TimeOf(const std::string& state) {
        const auto it = stateTimes.find(state);
        return it == stateTimes.end() ? -1 : it->second;
    }
    // Records the virtual time at which each state is first shown.
    void TimeStates() {
        rec.onState = [this](const std::string& s) { stateTimes.emplace(s, line.NowMs()); };
    }

    testutil::TempDir dir;
    sim::VirtualLine line;
    Recorder rec;
    ReceiverLink link;
    std::map<std::string, int64_t> stateTimes;
};

sim::LoaderConfig WithFault(Fault f, int count = 0, int block = 0) {
    sim::LoaderConfig c;
    c.fault = f;
    c.count = count;
    c.block = block;
    return c;
}

} // namespace

TEST(LinkTexts, FramesAreTheFixedEightBytes) {
    EXPECT_EQ(Bytes(FrameFor(kFrameConnect)), (std::vector<uint8_t>{0x21, 0x21, 0x21, 0x43, 0x4C, 0x43, 0x4C, 0x2A}));
    EXPECT_EQ(Bytes(FrameFor(kFrameConnected)), (std::vector<uint8_t>{0x21, 0x21, 0x21, 0x4C, 0x53, 0, 0, 0x2A}));
    EXPECT_EQ(Bytes(FrameFor(kFrameReadDefault)), (std::vector<uint8_t>{0x23, 0x23, 0x23, 0x03, 0xFC, 0xD4, 0, 0x2A}));
    EXPECT_EQ(Bytes(FrameFor(kFrameWriteDefault)), (std::vector<uint8_t>{0x23, 0x23, 0x23, 0x03, 0xFC, 0xD2, 0, 0x2A}));
    EXPECT_EQ(Bytes(FrameFor(kFrameWriteChannel)), (std::vector<uint8_t>{0x23, 0x23, 0x23, 0x04, 0xFB, 0xD2, 0, 0x2A}));
    EXPECT_EQ(Bytes(FrameFor(kFrameReadChannel)), (std::vector<uint8_t>{0x23, 0x23, 0x23, 0x04, 0xFB, 0xD4, 0, 0x2A}));
    const char* twoLetter[] = {nullptr, "LF", nullptr, nullptr, nullptr, nullptr, nullptr, "CS", "CF",
                               "QF",    "FS", "FF",    "EO",    "EF",    "CD",    "US",    "UF"};
    for (int code = 0; code < kFrameCount; ++code) {
        if (!twoLetter[code]) continue;
        const FrameBytes& f = FrameFor(code);
        EXPECT_EQ(Bytes(f), (std::vector<uint8_t>{'!', '!', '!', static_cast<uint8_t>(twoLetter[code][0]),
                                                  static_cast<uint8_t>(twoLetter[code][1]), 0, 0, '*'}))
            << "frame " << code;
    }
    EXPECT_EQ(ReadRequestFrame(true), kFrameReadChannel);
    EXPECT_EQ(ReadRequestFrame(false), kFrameReadDefault);
    EXPECT_EQ(WriteRequestFrame(true), kFrameWriteChannel);
    EXPECT_EQ(WriteRequestFrame(false), kFrameWriteDefault);
}

TEST(LinkTexts, StateTextsAndPercentages) {
    const std::vector<std::string> expected = {"Connectting...",
                                               "Connect failed!",
                                               "Connect Success!",
                                               "Transfer...",
                                               "Transfer failed!",
                                               "Transfer Success!",
                                               "Verify...",
                                               "Verify failed!",
                                               "Verify Success!",
                                               "Erase flash...",
                                               "Erase flash failed!",
                                               "Erase flash Success!",
                                               "Program flash...",
                                               "Program flash failed!",
                                               "Program flash Success!",
                                               "Erase eeprom failed!",
                                               "Erase eeprom Success!",
                                               "Set up File failed!",
                                               "Set up File Success!",
                                               "Update failed!",
                                               "Update Success!"};
    for (int code = 0; code <= 20; ++code) EXPECT_EQ(StateText(code), expected[code]) << code;
    EXPECT_EQ(StateText(21), "");
    EXPECT_EQ(StateText(-1), "");
    EXPECT_EQ(ReceivePercentText(98), "Transfering:  98%");
    EXPECT_EQ(SendPercentText(0), "Transfering Data:  0%");
}

TEST(LinkTexts, BlockSums) {
    const std::vector<uint8_t> ff(2048, 0xFF), zero(2048, 0);
    EXPECT_EQ(BlockSum(ff), 522240u);
    EXPECT_EQ(BlockSumBytes(BlockSum(ff)), (std::array<uint8_t, 4>{0x00, 0x07, 0xF8, 0x00}));
    EXPECT_EQ(BlockSumBytes(BlockSum(zero)), (std::array<uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(BlockSumBytes(0x01020304), (std::array<uint8_t, 4>{1, 2, 3, 4}));
}

class LinkBothKinds : public ::testing::TestWithParam<bool> {};
INSTANTIATE_TEST_SUITE_P(Kinds, LinkBothKinds, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Channel" : "Default"; });

TEST_P(LinkBothKinds, ReadBackBringsTheWholeImageIntoTheFile) {
    const bool is256K = GetParam();
    Rig rig;
    const std::string out = rig.dir.path("received.bin");
    ASSERT_TRUE(rig.link.ReadBackImage(out, is256K));
    EXPECT_TRUE(rig.link.LinkDone());
    EXPECT_EQ(testutil::ReadFile(out), rig.line.Core().Image(is256K));
    EXPECT_EQ(rig.rec.states, linktest::ReadBackStates(is256K));
    // The last percentage before "Transfer Success!" is 99 for Channel data, 98 for Default data.
    const auto last = rig.rec.states.end() - 3;
    EXPECT_EQ(*last, is256K ? "Transfering:  99%" : "Transfering:  98%");
    EXPECT_EQ(rig.rec.fileNames, std::vector<std::string>{out});
    EXPECT_EQ(rig.line.OpenedSettings(), "115200,N,8,1");

    // Progress: maximum 1,024 or 512, advanced 8 per block, ending full.
    const int max = is256K ? 1024 : 512;
    ASSERT_FALSE(rig.rec.progress.empty());
    EXPECT_EQ(rig.rec.progress.front(), std::make_pair(0, max));
    for (size_t i = 1; i < rig.rec.progress.size(); ++i)
        EXPECT_EQ(rig.rec.progress[i], std::make_pair(static_cast<int>(i) * 8, max));
    EXPECT_EQ(rig.rec.progress.back().first, max);

    // On the line: connect, one request, "!!!QF", then "!!!FS" for every block.
    const int blocks = is256K ? 128 : 64;
    EXPECT_EQ(rig.line.Core().CountIn(kFrameConnect), 1);
    EXPECT_EQ(rig.line.Core().CountIn(ReadRequestFrame(is256K)), 1);
    EXPECT_EQ(rig.line.Core().CountIn(kFrameQuery), 1);
    EXPECT_EQ(rig.line.Core().CountIn(kFrameBlockGood), blocks);
    EXPECT_EQ(rig.line.Core().FramesIn().size(), static_cast<size_t>(3 + blocks));
    // Every answer came at once, before its wait began, and none was thrown away.
    EXPECT_EQ(rig.line.Discarded(), 0u);
    EXPECT_EQ(rig.rec.ports, std::vector<bool>{false});
}

TEST_P(LinkBothKinds, WriteSendsTheFileInPiecesAndWaitsForTheFlash) {
    const bool is256K = GetParam();
    Rig rig;
    const std::string file = rig.DataFile(is256K);
    ASSERT_TRUE(rig.link.WriteImage(file, is256K));
    EXPECT_TRUE(rig.link.LinkDone());
    EXPECT_EQ(rig.line.Core().Image(is256K), testutil::ReadFile(file));
    EXPECT_EQ(rig.line.Core().WritesCompleted(), 1);
    EXPECT_EQ(rig.rec.states, linktest::WriteStates(is256K));
    EXPECT_EQ(rig.rec.states[3], is256K ? "Transfering Data:  0%" : "Transfering Data:  1%");

    // Connect and request, then per block 128 pieces of 16 bytes and the 4-byte sum.
    const size_t blocks = is256K ? 128 : 64;
    const auto& sizes = rig.line.WriteSizes();
    ASSERT_EQ(sizes.size(), 2 + blocks * 129);
    EXPECT_EQ(sizes[0], 8u);
    EXPECT_EQ(sizes[1], 8u);
    for (size_t b = 0; b < blocks; ++b) {
        for (size_t p = 0; p < 128; ++p) ASSERT_EQ(sizes[2 + b * 129 + p], 16u) << "block " << b;
        ASSERT_EQ(sizes[2 + b * 129 + 128], 4u) << "block " << b;
    }
    EXPECT_EQ(rig.line.Core().CountIn(WriteRequestFrame(is256K)), 1);
    EXPECT_EQ(rig.line.Discarded(), 0u);
    EXPECT_EQ(rig.rec.progress.back(), std::make_pair(is256K ? 1024 : 512, is256K ? 1024 : 512));
}

TEST(LinkConnect, JunkAnswersAreRetriedUntilTheLoaderAnswers) {
    Rig rig(WithFault(Fault::JunkConnect, 3));
    ASSERT_TRUE(rig.link.ReadBackImage(rig.dir.path("r.bin"), false));
    EXPECT_EQ(rig.line.Core().CountIn(kFrameConnect), 4);
    EXPECT_EQ(rig.rec.Count("Connectting..."), 4);
}

TEST(LinkConnect, ATwelveByteAnswerIsTakenAsItsFirstEight) {
    Rig rig(WithFault(Fault::LongConnect));
    rig.line.Open(1, kLineSettings);
    ASSERT_TRUE(rig.link.SendFrame(kFrameConnect));
    EXPECT_EQ(rig.line.InBufferCount(), 12u);
    EXPECT_TRUE(rig.link.WaitFrame(kFrameConnected, kFramePolls));
    EXPECT_EQ(rig.line.InBufferCount(), 0u);
    // And a whole read-back works behind such an answer.
    Rig whole(WithFault(Fault::LongConnect));
    EXPECT_TRUE(whole.link.ReadBackImage(whole.dir.path("r.bin"), true));
}

TEST(LinkConnect, WaitFrameRefusesEightBytesThatStartWithNeitherMark) {
    Rig rig;
    rig.line.Open(1, kLineSettings);
    // A read request before any connect: the loader answers "!!!CS"; a
    // wait for "!!!LS" does not match it and consumes it.
    rig.link.SendFrame(kFrameReadDefault);
    EXPECT_FALSE(rig.link.WaitFrame(kFrameConnected, kFramePolls));
    EXPECT_EQ(rig.line.InBufferCount(), 0u);
    // Nothing at all: the wait gives up after its polls.
    const int64_t before = rig.line.NowMs();
    EXPECT_FALSE(rig.link.WaitFrame(kFrameConnected, kFramePolls));
    EXPECT_EQ(rig.line.NowMs() - before, kFramePolls * kPollMs);
}

TEST(LinkConnect, WithoutALoaderItTriesUntilCancelled) {
    Rig rig(WithFault(Fault::SilentConnect));
    rig.line.OnTick([&](int64_t now) {
        if (now >= 30000) rig.link.Cancel();
    });
    EXPECT_FALSE(rig.link.ReadBackImage(rig.dir.path("r.bin"), true));
    EXPECT_FALSE(rig.link.LinkDone());
    EXPECT_GE(rig.rec.Count("Connectting..."), 59);
    EXPECT_EQ(rig.rec.states.back(), "Connect failed!");
    // Cancel is seen at the next poll, not at the end of an attempt.
    EXPECT_LE(rig.line.NowMs(), 30001);
    EXPECT_FALSE(std::filesystem::exists(rig.dir.path("r.bin")));
}

TEST(LinkConnect, AConnectLimitEndsTheLoop) {
    Rig rig(WithFault(Fault::SilentConnect));
    rig.link.SetConnectTimeoutMs(60000);
    EXPECT_FALSE(rig.link.WriteImage(rig.DataFile(true), true));
    EXPECT_EQ(rig.rec.states.back(), "Connect failed!");
    EXPECT_GE(rig.line.NowMs(), 60000);
    EXPECT_LT(rig.line.NowMs(), 60000 + kFramePolls * kPollMs + 10);
    EXPECT_EQ(rig.line.Core().CountIn(kFrameWriteChannel), 0);
}

TEST(LinkConnect, APortThatDoesNotOpenSaysWhyUntilCancelled) {
    const std::string why = "/dev/ttyUSB0 cannot be opened: permission denied (is the user in the dialout group?)";
    Rig rig;
    rig.line.FailOpens(why);
    rig.link.SetPortNumber(3);
    rig.line.OnTick([&](int64_t now) {
        if (now >= 2000) rig.link.Cancel();
    });
    EXPECT_FALSE(rig.link.ReadBackImage(rig.dir.path("r.bin"), true));
    EXPECT_EQ(rig.line.OpenedNumber(), 3);
    EXPECT_EQ(rig.rec.lamps, (std::vector<bool>{true, false}));
    // The reason stands where "Connectting..." would, at every attempt.
    EXPECT_EQ(rig.rec.Count("Connectting..."), 0);
    EXPECT_GE(rig.rec.Count(why), 3);
    EXPECT_EQ(rig.rec.states.back(), "Connect failed!");
    EXPECT_EQ(rig.link.ErrorMessage(), why);
    // Port numbers outside the list leave the number as it was.
    rig.link.SetPortNumber(0);
    EXPECT_EQ(rig.link.PortNumber(), 3);
}

TEST(LinkConnect, ALineThatFailsWhileConnectingSaysWhy) {
    const std::string why = "The receiver on /dev/ttyUSB0 stopped answering (the line was closed).";
    Rig rig(WithFault(Fault::SilentConnect));
    rig.line.FailWritesFrom(3, why);
    rig.line.OnTick([&](int64_t now) {
        if (now >= 3000) rig.link.Cancel();
    });
    EXPECT_FALSE(rig.link.WriteImage(rig.DataFile(false), false));
    EXPECT_EQ(rig.rec.Count("Connectting..."), 3);
    EXPECT_GE(rig.rec.Count(why), 2);
    EXPECT_EQ(rig.rec.lamps, (std::vector<bool>{true, false}));
    EXPECT_EQ(rig.link.ErrorMessage(), why);
}

TEST(LinkWrite, ALineThatFailsWhileSendingSaysWhyAfterTheFailure) {
    const std::string why = "The receiver on /dev/ttyUSB0 stopped answering (the line was closed).";
    Rig rig;
    rig.TimeStates();
    rig.line.FailWritesFrom(2 + 129 * 5 + 40, why); // inside the sixth block
    EXPECT_FALSE(rig.link.WriteImage(rig.DataFile(false), false));
    EXPECT_EQ(rig.rec.From("Transfering Data:  7%"),
              (std::vector<std::string>{"Transfering Data:  7%", "Transfer failed!", why}));
    EXPECT_GE(rig.line.NowMs() - rig.TimeOf(why), kFailPauseMs);
    EXPECT_EQ(rig.link.ErrorMessage(), why);
    EXPECT_EQ(rig.rec.lamps, (std::vector<bool>{true, false}));
    EXPECT_EQ(rig.line.Core().WritesCompleted(), 0);
}

TEST(LinkReadBack, ALineThatFailsWhileReceivingSaysWhy) {
    const std::string why = "The receiver on /dev/ttyUSB0 stopped answering (the line was closed).";
    Rig rig;
    // Connect, request, "!!!QF" and four "!!!FS": the fifth answer does not go out.
    rig.line.FailWritesFrom(3 + 5, why);
    EXPECT_FALSE(rig.link.ReadBackImage(rig.dir.path("r.bin"), false));
    const auto tail = rig.rec.From("Transfer failed!");
    EXPECT_EQ(tail, (std::vector<std::string>{"Transfer failed!", why}));
}

TEST(LinkReadBack, ARequestIsRepeatedUntilAccepted) {
    Rig rig(WithFault(Fault::IgnoreReadRequest, 5));
    ASSERT_TRUE(rig.link.ReadBackImage(rig.dir.path("r.bin"), true));
    EXPECT_EQ(rig.line.Core().CountIn(kFrameReadChannel), 6);
}

TEST(LinkReadBack, ARequestNeverAcceptedFailsWithoutPretendingData) {
    Rig rig(WithFault(Fault::IgnoreReadRequest, -1));
    rig.TimeStates();
    const std::string out = rig.dir.path("r.bin");
    testutil::WriteFile(out, {1, 2, 3});
    EXPECT_FALSE(rig.link.ReadBackImage(out, false));
    EXPECT_EQ(rig.line.Core().CountIn(kFrameReadDefault), kRequestAttempts);
    EXPECT_EQ(rig.line.Core().CountIn(kFrameQuery), 0);
    EXPECT_EQ(rig.rec.From("Connect Success!"), (std::vector<std::string>{"Connect Success!", "Transfer failed!"}));
    EXPECT_EQ(testutil::ReadFile(out), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(rig.link.LinkDone());
    // The port choice comes back, after a pause of two seconds.
    EXPECT_EQ(rig.rec.ports, (std::vector<bool>{false, true}));
    EXPECT_GE(rig.line.NowMs() - rig.TimeOf("Transfer failed!"), kFailPauseMs);
}

TEST(LinkReadBack, ABadBlockSumIsAnsweredAndEndsTheReceive) {
    Rig rig(WithFault(Fault::BadSum, 0, 5));
    const std::string out = rig.dir.path("r.bin");
    testutil::WriteFile(out, {9, 9});
    EXPECT_FALSE(rig.link.ReadBackImage(out, true));
    const auto& in = rig.line.Core().FramesIn();
    EXPECT_EQ(rig.line.Core().CountIn(kFrameBlockGood), 5);
    EXPECT_EQ(rig.line.Core().CountIn(kFrameBlockBad), 1);
    EXPECT_EQ(in.back(), FrameFor(kFrameBlockBad)); // nothing follows "!!!FF"
    EXPECT_EQ(rig.line.Core().BlocksSent(), 6);     // no later block was asked for
    EXPECT_EQ(rig.rec.states.back(), "Transfer failed!");
    EXPECT_FALSE(rig.rec.Shows("Transfer Success!"));
    EXPECT_EQ(testutil::ReadFile(out), (std::vector<uint8_t>{9, 9}));
}

TEST(LinkReadBack, AMissingBlockFailsAfterItsPolls) {
    Rig rig(WithFault(Fault::StopAfterBlocks, 0, 3));
    rig.TimeStates();
    const std::string out = rig.dir.path("r.bin");
    EXPECT_FALSE(rig.link.ReadBackImage(out, false));
    EXPECT_EQ(rig.rec.From("Transfer..."),
              (std::vector<std::string>{"Transfer...", "Transfering:  0%", "Transfering:  1%", "Transfering:  3%",
                                        "Transfer failed!"}));
    EXPECT_EQ(rig.TimeOf("Transfer failed!") - rig.TimeOf("Transfering:  3%"), kBlockPolls * kPollMs);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(LinkReadBack, CancelWhileReceivingFailsAtTheNextPoll) {
    Rig rig;
    rig.line.SetLatencyMs(3);
    rig.rec.onState = [&](const std::string& s) {
        if (s == "Transfering:  10%") rig.link.Cancel();
    };
    const std::string out = rig.dir.path("r.bin");
    EXPECT_FALSE(rig.link.ReadBackImage(out, true));
    EXPECT_EQ(rig.rec.states.back(), "Transfer failed!");
    EXPECT_LT(rig.line.Core().BlocksSent(), 20);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(LinkReadBack, AFileThatCanNotBeWrittenIsReported) {
    Rig rig;
    const std::string out = rig.dir.path("no-such-folder/r.bin");
    EXPECT_FALSE(rig.link.ReadBackImage(out, false));
    EXPECT_EQ(rig.rec.states.back(), "Set up File failed!");
    EXPECT_NE(rig.link.ErrorMessage().find("no-such-folder"), std::string::npos);
}

TEST(LinkReadBack, TheKindDecidesRequestAndLengthOfEachExchange) {
    Rig rig;
    const std::string a = rig.dir.path("a.bin"), b = rig.dir.path("b.bin");
    ASSERT_TRUE(rig.link.ReadBackImage(a, true));
    ASSERT_TRUE(rig.link.ReadBackImage(b, false));
    EXPECT_EQ(testutil::ReadFile(a).size(), 262144u);
    EXPECT_EQ(testutil::ReadFile(b).size(), 131072u);
    EXPECT_EQ(rig.line.Core().CountIn(kFrameReadChannel), 1);
    EXPECT_EQ(rig.line.Core().CountIn(kFrameReadDefault), 1);
}

TEST(LinkWrite, AMissingAcceptancePairFailsAfterFiveSeconds) {
    Rig rig(WithFault(Fault::SilentAccept));
    rig.TimeStates();
    EXPECT_FALSE(rig.link.WriteImage(rig.DataFile(false), false));
    EXPECT_EQ(rig.rec.From("Connect Success!"), (std::vector<std::string>{"Connect Success!", "Transfer failed!"}));
    const int64_t waited = rig.TimeOf("Transfer failed!") - rig.TimeOf("Connect Success!");
    EXPECT_GE(waited, kAcceptTimeoutMs);
    EXPECT_LE(waited, kAcceptTimeoutMs + 2);
    EXPECT_EQ(rig.line.WriteSizes().size(), 2u); // connect and request: no data
    EXPECT_FALSE(rig.link.LinkDone());
}

TEST(LinkWrite, AWrongAcceptancePairFailsAtOnce) {
    Rig rig(WithFault(Fault::WrongAccept));
    rig.TimeStates();
    EXPECT_FALSE(rig.link.WriteImage(rig.DataFile(true), true));
    EXPECT_EQ(rig.rec.states.back(), "Transfer failed!");
    EXPECT_LE(rig.TimeOf("Transfer failed!") - rig.TimeOf("Connect Success!"), 1);
    EXPECT_EQ(rig.line.WriteSizes().size(), 2u);
    EXPECT_FALSE(rig.rec.Shows("Erase flash..."));
}

TEST(LinkWrite, JunkBeforeTheAcceptancePairIsSkipped) {
    Rig rig(WithFault(Fault::JunkAccept));
    EXPECT_TRUE(rig.link.WriteImage(rig.DataFile(false), false));
}

TEST(LinkWrite, AnUnacknowledgedBlockFailsAfterFiveSeconds) {
    Rig rig(WithFault(Fault::StopAfterBlocks, 0, 2));
    rig.TimeStates();
    EXPECT_FALSE(rig.link.WriteImage(rig.DataFile(true), true));
    EXPECT_EQ(rig.rec.From("Transfer..."), (std::vector<std::string>{"Transfer...", "Transfering Data:  0%",
                                                                     "Transfering Data:  1%", "Transfer failed!"}));
    EXPECT_GE(rig.TimeOf("Transfer failed!") - rig.TimeOf("Transfering Data:  1%"), kBlockAckTimeoutMs);
    EXPECT_EQ(rig.line.WriteSizes().size(), 2u + 3 * 129); // the third block went, nothing after it
    EXPECT_FALSE(rig.rec.Shows("Erase flash..."));
}

TEST(LinkWrite, EraseAndProgrammingAreBoundedSeparately) {
    {
        Rig rig(WithFault(Fault::NoErase));
        rig.TimeStates();
        EXPECT_FALSE(rig.link.WriteImage(rig.DataFile(false), false));
        EXPECT_EQ(rig.rec.From("Erase flash..."), (std::vector<std::string>{"Erase flash...", "Erase flash failed!"}));
        EXPECT_EQ(rig.TimeOf("Erase flash failed!") - rig.TimeOf("Erase flash..."), kEraseTimeoutMs);
        EXPECT_EQ(rig.rec.ports.back(), true);
    }
    {
        Rig rig(WithFault(Fault::NoProgram));
        rig.TimeStates();
        EXPECT_FALSE(rig.link.WriteImage(rig.DataFile(false), false));
        EXPECT_EQ(rig.rec.From("Erase flash Success!"),
                  (std::vector<std::string>{"Erase flash Success!", "Program flash...", "Program flash failed!"}));
        EXPECT_EQ(rig.TimeOf("Program flash failed!") - rig.TimeOf("Program flash..."), kProgramTimeoutMs);
    }
    {
        // A slow flash within the limits is no failure.
        sim::LoaderConfig slow;
        slow.eraseMs = 90000;
        slow.programMs = 100000;
        Rig rig(slow);
        EXPECT_TRUE(rig.link.WriteImage(rig.DataFile(true), true));
        EXPECT_GE(rig.line.NowMs(), 190000);
    }
}

TEST(LinkWrite, CancelWhileSendingIsAFailure) {
    Rig rig;
    rig.rec.onState = [&](const std::string& s) {
        if (s == "Transfering Data:  50%") rig.link.Cancel();
    };
    EXPECT_FALSE(rig.link.WriteImage(rig.DataFile(true), true));
    EXPECT_EQ(rig.rec.states.back(), "Transfer failed!");
    EXPECT_FALSE(rig.rec.Shows("Erase flash..."));
    EXPECT_EQ(rig.line.Core().BlocksReceived(), 64);
    EXPECT_EQ(rig.line.Core().WritesCompleted(), 0);
}

TEST(LinkWrite, CancelWhileErasingEndsTheWaitAtTheNextPoll) {
    sim::LoaderConfig slow;
    slow.eraseMs = 100000;
    Rig rig(slow);
    rig.TimeStates();
    rig.rec.onState = [&](const std::string& s) {
        rig.stateTimes.emplace(s, rig.line.NowMs());
        if (s == "Erase flash...") rig.line.OnTick([&](int64_t) { rig.link.Cancel(); });
    };
    EXPECT_FALSE(rig.link.WriteImage(rig.DataFile(false), false));
    EXPECT_EQ(rig.rec.states.back(), "Erase flash failed!");
    EXPECT_LE(rig.TimeOf("Erase flash failed!") - rig.TimeOf("Erase flash..."), 2);
}

TEST(LinkWrite, AFileThatWouldNotOpenIsRefusedBeforeAnythingIsSent) {
    Rig rig;
    const std::string good = rig.DataFile(true, "good.bin");

    const std::string corrupt = rig.dir.path("corrupt.bin");
    auto bytes = linktest::SampleFile(true);
    bytes[200] ^= 0x55; // inside the stream: the checksum no longer matches
    testutil::WriteFile(corrupt, bytes);
    EXPECT_FALSE(rig.link.WriteImage(corrupt, true));
    EXPECT_EQ(rig.link.ErrorMessage(), msg::FileNull);

    EXPECT_FALSE(rig.link.WriteImage(good, false)); // a Channel file as Default data
    EXPECT_EQ(rig.link.ErrorMessage(), msg::SizeLarge);

    EXPECT_FALSE(rig.link.WriteImage(rig.dir.path("missing.bin"), true));
    EXPECT_EQ(rig.link.ErrorMessage(), msg::FileMissing);

    EXPECT_EQ(rig.line.Opens(), 0);
    EXPECT_TRUE(rig.line.WriteSizes().empty());
    EXPECT_TRUE(rig.rec.states.empty());
}

TEST(LinkCheck, CheckImageFileActsAsAnOpen) {
    testutil::TempDir dir;
    const std::string p = dir.path("d.bin");
    testutil::WriteFile(p, linktest::SampleFile(false));
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(CheckImageFile(p, false, &bytes));
    EXPECT_EQ(bytes, linktest::SampleFile(false));
    EXPECT_EQ(CheckImageFile(p, true).message(), msg::SizeSmall);
    testutil::WriteFile(p, std::vector<uint8_t>(131072, 0)); // right size, no container
    EXPECT_EQ(CheckImageFile(p, false).message(), msg::FileNull);
}

TEST(LinkSupersede, ASupersededConnectEndsQuietly) {
    Rig rig(WithFault(Fault::SilentConnect));
    rig.rec.superseded = [&] { return rig.line.NowMs() >= 1200; };
    EXPECT_FALSE(rig.link.ReadBackImage(rig.dir.path("r.bin"), true));
    EXPECT_TRUE(rig.link.Superseded());
    EXPECT_FALSE(rig.rec.Shows("Connect failed!"));
    EXPECT_LE(rig.line.NowMs(), 1201);
}

TEST(LinkSupersede, ASupersededDataPhaseEndsQuietlyWithoutPause) {
    Rig rig(WithFault(Fault::SilentAccept));
    rig.TimeStates();
    bool replaced = false;
    rig.rec.onState = [&](const std::string& s) {
        rig.stateTimes.emplace(s, rig.line.NowMs());
        if (s == "Connect Success!") replaced = true;
    };
    rig.rec.superseded = [&] { return replaced; };
    EXPECT_FALSE(rig.link.WriteImage(rig.DataFile(false), false));
    EXPECT_TRUE(rig.link.Superseded());
    EXPECT_EQ(rig.rec.states.back(), "Connect Success!");
    EXPECT_LE(rig.line.NowMs() - rig.TimeOf("Connect Success!"), 1);
}

TEST(LinkSupersede, AnExchangeStartedInsideAWaitTakesOver) {
    // A host that processes its events in PumpMessages starts a second
    // exchange while the first one is connecting.
    Rig rig;
    const std::string first = rig.dir.path("first.bin"), second = rig.dir.path("second.bin");
    bool inner = false, innerOk = false;
    rig.rec.onPump = [&] {
        if (inner || !rig.rec.Shows("Connectting...")) return;
        inner = true;
        innerOk = rig.link.ReadBackImage(second, false);
    };
    EXPECT_FALSE(rig.link.ReadBackImage(first, true));
    EXPECT_TRUE(innerOk);
    EXPECT_TRUE(rig.link.Superseded());
    EXPECT_TRUE(rig.link.LinkDone());
    EXPECT_EQ(rig.rec.states.back(), "Update Success!"); // the old exchange reported nothing after it
    EXPECT_EQ(testutil::ReadFile(second), rig.line.Core().Image(false));
    EXPECT_FALSE(std::filesystem::exists(first));
    EXPECT_EQ(rig.line.Core().CountIn(kFrameReadChannel), 0);
}

TEST(LinkSupersede, ANewExchangeStartsClean) {
    Rig rig(WithFault(Fault::StopAfterBlocks, 0, 1));
    EXPECT_FALSE(rig.link.ReadBackImage(rig.dir.path("a.bin"), false));
    EXPECT_FALSE(rig.link.Superseded());
    rig.link.Cancel();
    rig.link.SetActive(true);
    // After a finished exchange the primitives are not considered superseded.
    rig.line.Open(1, kLineSettings);
    EXPECT_TRUE(rig.link.SendFrame(kFrameConnect));
    EXPECT_TRUE(rig.link.WaitFrame(kFrameConnected, kFramePolls));
}

// A newer exchange may start at any message the running one shows (the host
// processes its events there). Whatever the moment, the older one must show
// nothing more, write no file and leave LinkDone to the newer one.
class LinkTakeOver : public ::testing::TestWithParam<std::tuple<bool, int>> {};
// Message numbers from the end count back from the last one.
INSTANTIATE_TEST_SUITE_P(ReadBack, LinkTakeOver,
                         ::testing::Combine(::testing::Values(false), ::testing::Values(0, 1, 2, 3, -2, -1)));
INSTANTIATE_TEST_SUITE_P(Write, LinkTakeOver,
                         ::testing::Combine(::testing::Values(true),
                                            ::testing::Values(0, 1, 2, 3, -6, -5, -4, -3, -2, -1)));

TEST_P(LinkTakeOver, TheOlderExchangeEndsQuietlyAtAnyMessage) {
    const auto [write, at] = GetParam();
    const auto expected = write ? linktest::WriteStates(false) : linktest::ReadBackStates(false);
    const size_t index = at >= 0 ? static_cast<size_t>(at) : expected.size() + static_cast<size_t>(at);
    Rig rig;
    const std::string outer = write ? rig.DataFile(false, "outer.bin") : rig.dir.path("outer.bin");
    const std::string inner = rig.dir.path("inner.bin");
    bool started = false, innerOk = false;
    size_t shownBefore = 0, shownByInner = 0;
    rig.rec.onState = [&](const std::string&) {
        if (started || rig.rec.states.size() != index + 1) return;
        started = true;
        shownBefore = rig.rec.states.size();
        innerOk = rig.link.ReadBackImage(inner, false);
        shownByInner = rig.rec.states.size();
    };
    EXPECT_FALSE(write ? rig.link.WriteImage(outer, false) : rig.link.ReadBackImage(outer, false));
    ASSERT_TRUE(started);
    EXPECT_EQ(rig.rec.states[shownBefore - 1], expected[index]);
    EXPECT_TRUE(innerOk);
    EXPECT_EQ(rig.rec.states.size(), shownByInner) << "the older exchange showed " << rig.rec.states.back();
    EXPECT_EQ(rig.rec.states.back(), "Update Success!");
    EXPECT_TRUE(rig.link.Superseded());
    EXPECT_TRUE(rig.link.LinkDone());
    EXPECT_EQ(testutil::ReadFile(inner), rig.line.Core().Image(false));
    if (!write && at != -1) {
        EXPECT_FALSE(std::filesystem::exists(outer));
    }
}

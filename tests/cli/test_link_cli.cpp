// orbitlist-cli read and write against the simulated loader on a
// pseudo-terminal: output, exit status and the files moved.
#include "cli/Commands.h"
#include "cli/LinkCommands.h"

#include "LinkTestSupport.h"
#include "PtyLoader.h"
#include "TestUtil.h"

#include "base/Messages.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sstream>
#include <thread>

#include <unistd.h>

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Each text once for as long as it stays the same, as the commands print them.
std::vector<std::string> Changes(const std::vector<std::string>& states) {
    std::vector<std::string> out;
    for (const std::string& s : states)
        if (out.empty() || out.back() != s) out.push_back(s);
    return out;
}

// Virtual time: sleeps only move the clock on.
class InstantClock final : public dbase::LinkClock {
public:
    void SleepMs(int ms) override { now_ += ms; }
    int64_t NowMs() override { return now_; }

private:
    int64_t now_ = 0;
};

class CliLink : public ::testing::Test {
protected:
    void SetUp() override { cli::SetLinkClock(&clock_); }
    void TearDown() override { cli::SetLinkClock(nullptr); }

    // Starts a loader holding the sample in both kinds.
    void StartLoader(sim::LoaderConfig config = {}) {
        loader_ = std::make_unique<sim::PtyLoader>(config);
        std::string error;
        ASSERT_TRUE(loader_->Start(&error)) << error;
        loader_->With([](sim::LoaderCore& core) {
            core.SetImage(true, linktest::SampleFile(true));
            core.SetImage(false, linktest::SampleFile(false));
        });
    }
    void StartLoader(sim::Fault fault, int block = 0) {
        sim::LoaderConfig config;
        config.fault = fault;
        config.block = block;
        StartLoader(config);
    }
    int Run(const cli::Args& args) {
        out_.str("");
        err_.str("");
        return cli::Run(args, out_, err_);
    }

    linktest::FastPauseClock clock_;
    testutil::TempDir dir_;
    std::unique_ptr<sim::PtyLoader> loader_;
    std::ostringstream out_, err_;
};

} // namespace

TEST_F(CliLink, ReadBringsBothKindsIntoFiles) {
    StartLoader();
    for (const bool is256K : {true, false}) {
        const std::string file = dir_.path(is256K ? "channel.bin" : "default.bin");
        ASSERT_EQ(Run({"read", "--port", loader_->DevicePath(), "--kind", is256K ? "channel" : "default", file}), 0)
            << err_.str();
        EXPECT_EQ(Lines(err_.str()), Changes(linktest::ReadBackStates(is256K)));
        EXPECT_EQ(testutil::ReadFile(file), linktest::SampleFile(is256K));
        EXPECT_TRUE(out_.str().empty());
    }
}

// A read-back over an existing file keeps it as OUT.bak first, unless --no-backup.
TEST_F(CliLink, ReadKeepsTheFileItReplaces) {
    StartLoader();
    const std::string file = dir_.path("received.bin");
    testutil::WriteFile(file, {'o', 'l', 'd'});
    ASSERT_EQ(Run({"read", "--port", loader_->DevicePath(), "--kind", "channel", file}), 0) << err_.str();
    EXPECT_EQ(testutil::ReadFile(file + ".bak"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(testutil::ReadFile(file), linktest::SampleFile(true));
    std::remove((file + ".bak").c_str());
    ASSERT_EQ(Run({"read", "--port", loader_->DevicePath(), "--kind", "default", "--no-backup", file}), 0);
    EXPECT_EQ(::access((file + ".bak").c_str(), F_OK), -1);
    EXPECT_EQ(testutil::ReadFile(file), linktest::SampleFile(false));
}

TEST_F(CliLink, WriteSendsBothKinds) {
    StartLoader();
    loader_->With([](sim::LoaderCore& core) {
        core.SetImage(true, {});
        core.SetImage(false, {});
    });
    for (const bool is256K : {true, false}) {
        const std::string file = dir_.path(is256K ? "channel.bin" : "default.bin");
        testutil::WriteFile(file, linktest::SampleFile(is256K));
        ASSERT_EQ(Run({"write", "--port=" + loader_->DevicePath(), file}), 0) << err_.str();
        const auto lines = Lines(err_.str());
        EXPECT_EQ(lines, Changes(linktest::WriteStates(is256K)));
        EXPECT_EQ(lines.back(), "Update Success!");
        loader_->With([&](sim::LoaderCore& core) { EXPECT_EQ(core.Image(is256K), linktest::SampleFile(is256K)); });
    }
}

TEST_F(CliLink, WriteVerifyReadsTheFileBackAndCompares) {
    StartLoader();
    const std::string file = dir_.path("w.bin");
    testutil::WriteFile(file, linktest::SampleFile(false));
    ASSERT_EQ(Run({"write", "--verify", "--port", loader_->DevicePath(), file}), 0) << err_.str();
    auto expected = Changes(linktest::WriteStates(false));
    auto verify = Changes(linktest::ReadBackStates(false));
    verify.back() = "Verify OK";
    expected.insert(expected.end(), verify.begin(), verify.end());
    EXPECT_EQ(Lines(err_.str()), expected);
    loader_->With([](sim::LoaderCore& core) { EXPECT_EQ(core.CountIn(dbase::kFrameReadDefault), 1); });
    // Nothing but the written file in the folder.
    EXPECT_EQ(dir_.Entries(), 1u);
}

TEST_F(CliLink, WriteVerifyFailsWhenTheReceiverHoldsSomethingElse) {
    StartLoader(sim::Fault::BadFlash, 100);
    const std::string file = dir_.path("w.bin");
    testutil::WriteFile(file, linktest::SampleFile(true));
    EXPECT_EQ(Run({"write", "--port", loader_->DevicePath(), "--verify", file}), 1);
    const auto lines = Lines(err_.str());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Update Success!"), lines.end());
    EXPECT_EQ(lines.back(), "Verify failed: 1 of 128 blocks differs.") << err_.str();
    // Without --verify the same write succeeds.
    EXPECT_EQ(Run({"write", "--port", loader_->DevicePath(), file}), 0);
}

TEST_F(CliLink, WriteVerifyGivesUpOnASilentLoaderAfterAMinute) {
    StartLoader(sim::Fault::SilentAfterWrite);
    // Real time for the write; once it is programmed, virtual time.
    class AfterTheWrite final : public dbase::LinkClock {
    public:
        explicit AfterTheWrite(sim::PtyLoader& loader) : loader_(loader) {}
        void SleepMs(int ms) override {
            bool written = false;
            loader_.With([&](sim::LoaderCore& core) { written = core.WritesCompleted() > 0; });
            if (written) {
                if (writtenAt_ < 0) writtenAt_ = NowMs();
                skipped_ += ms;
            } else {
                real_.SleepMs(ms);
            }
        }
        int64_t NowMs() override { return real_.NowMs() + skipped_; }
        // The time the link saw pass since the receiver was programmed (the
        // real time of a loaded machine included).
        int64_t SinceWritten() { return writtenAt_ < 0 ? 0 : NowMs() - writtenAt_; }

    private:
        sim::PtyLoader& loader_;
        linktest::FastPauseClock real_;
        int64_t skipped_ = 0;
        int64_t writtenAt_ = -1;
    } clock(*loader_);
    cli::SetLinkClock(&clock);
    const std::string file = dir_.path("w.bin");
    testutil::WriteFile(file, linktest::SampleFile(false));
    EXPECT_EQ(Run({"write", "--verify", "--port", loader_->DevicePath(), file}), 1);
    const auto lines = Lines(err_.str());
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
              (std::vector<std::string>{"Connectting...", "Connect failed!", "Verify failed!"}));
    EXPECT_GE(clock.SinceWritten(), cli::kConnectLimitMs);
    EXPECT_LT(clock.SinceWritten(), cli::kConnectLimitMs + 2000);
}

TEST_F(CliLink, FailuresEndWithUpdateFailed) {
    StartLoader(sim::Fault::BadSum, 10);
    const std::string out = dir_.path("r.bin");
    EXPECT_EQ(Run({"read", "--port", loader_->DevicePath(), "--kind", "default", out}), 1);
    auto lines = Lines(err_.str());
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Transfer failed!");
    EXPECT_EQ(lines.back(), "Update failed!");
    EXPECT_FALSE(std::filesystem::exists(out));

    // A file that would not open is refused before the port is touched.
    const std::string bad = dir_.path("bad.bin");
    auto bytes = linktest::SampleFile(false);
    bytes[100] ^= 1;
    testutil::WriteFile(bad, bytes);
    EXPECT_EQ(Run({"write", "--port", loader_->DevicePath(), bad}), 1);
    EXPECT_EQ(err_.str(), "File is null!\nUpdate failed!\n");
    EXPECT_EQ(Run({"write", "--port", loader_->DevicePath(), dir_.path("missing.bin")}), 1);
    EXPECT_EQ(err_.str(), "Find an error, when opening this file,\n\nMaybe it inexistent!\nUpdate failed!\n");
    testutil::WriteFile(bad, std::vector<uint8_t>(1000));
    EXPECT_EQ(Run({"write", "--port", loader_->DevicePath(), bad}), 1);
    EXPECT_EQ(Lines(err_.str()).front(), "File length can not be matched!");
}

TEST_F(CliLink, APortThatDoesNotOpenFailsAtOnce) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run({"read", "--port", "/dev/orbitlist-no-such-port", "--kind", "channel", dir_.path("r.bin")}), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(Lines(err_.str()),
              (std::vector<std::string>{"Connect failed!",
                                        "/dev/orbitlist-no-such-port cannot be opened: no such device (is the "
                                        "receiver's cable plugged in?)",
                                        "Update failed!"}));
}

TEST_F(CliLink, ALineThatGoesAwayIsToldOnce) {
    StartLoader();
    std::thread unplug([&] {
        loader_->Await([](sim::LoaderCore& core) { return core.BlocksSent() >= 5; }, std::chrono::seconds(5));
        loader_->Stop();
    });
    const int status = Run({"read", "--port", loader_->DevicePath(), "--kind", "channel", dir_.path("r.bin")});
    unplug.join();
    EXPECT_EQ(status, 1);
    const auto lines = Lines(err_.str());
    ASSERT_GE(lines.size(), 3u) << err_.str();
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
              (std::vector<std::string>{"Transfer failed!",
                                        "The receiver on " + loader_->DevicePath() +
                                            " stopped answering (the line was closed).",
                                        "Update failed!"}));
}

TEST_F(CliLink, WithoutALoaderConnectGivesUpAfterAMinute) {
    StartLoader(sim::Fault::SilentConnect);
    InstantClock instant;
    cli::SetLinkClock(&instant);
    EXPECT_EQ(Run({"write", "--port", loader_->DevicePath(),
                   [&] {
                       const std::string f = dir_.path("w.bin");
                       testutil::WriteFile(f, linktest::SampleFile(true));
                       return f;
                   }()}),
              1);
    EXPECT_EQ(Lines(err_.str()), (std::vector<std::string>{"Connectting...", "Connect failed!", "Update failed!"}));
    EXPECT_GE(instant.NowMs(), cli::kConnectLimitMs);
    EXPECT_LT(instant.NowMs(), cli::kConnectLimitMs + 1000);
    loader_->With([](sim::LoaderCore& core) { EXPECT_GE(core.CountIn(dbase::kFrameConnect), 100); });
}

TEST_F(CliLink, InterruptActsAsCancel) {
    StartLoader(sim::Fault::SilentConnect);
    std::thread interrupter([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::kill(::getpid(), SIGINT);
    });
    const auto start = std::chrono::steady_clock::now();
    const int status = Run({"read", "--port", loader_->DevicePath(), "--kind", "channel", dir_.path("r.bin")});
    const auto took = std::chrono::steady_clock::now() - start;
    interrupter.join();
    EXPECT_EQ(status, 1);
    EXPECT_LT(took, std::chrono::seconds(3));
    EXPECT_EQ(Lines(err_.str()), (std::vector<std::string>{"Connectting...", "Connect failed!", "Update failed!"}));
    // The handler that was there before the command is back.
    struct sigaction now {};
    ::sigaction(SIGINT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

TEST_F(CliLink, TheProgramRunsBothCommands) {
    StartLoader();
    const std::string file = dir_.path("r.bin"), log = dir_.path("log.txt");
    const std::string exe = ORBITLIST_CLI_EXE;
    const std::string read = exe + " read --port " + loader_->DevicePath() + " --kind default " + file + " 2>" + log;
    ASSERT_EQ(std::system(read.c_str()), 0);
    EXPECT_EQ(testutil::ReadFile(file), linktest::SampleFile(false));
    const auto bytes = testutil::ReadFile(log);
    EXPECT_EQ(Lines(std::string(bytes.begin(), bytes.end())), Changes(linktest::ReadBackStates(false)));
    const std::string write = exe + " write --port " + loader_->DevicePath() + " " + file + " 2>" + log;
    ASSERT_EQ(std::system(write.c_str()), 0);
    loader_->With([](sim::LoaderCore& core) { EXPECT_EQ(core.WritesCompleted(), 1); });
}

TEST_F(CliLink, MalformedCommandLines) {
    EXPECT_EQ(Run({"read", "--kind", "channel", "out.bin"}), 2);
    EXPECT_NE(err_.str().find("--port is required"), std::string::npos);
    EXPECT_EQ(Run({"read", "--port", "COM1", "out.bin"}), 2);
    EXPECT_EQ(Run({"read", "--port", "COM1", "--kind", "huge", "out.bin"}), 2);
    EXPECT_EQ(Run({"read", "--port", "COM1", "--kind", "channel"}), 2);
    EXPECT_EQ(Run({"write", "--port", "COM1"}), 2);
    EXPECT_EQ(Run({"write", "a.bin"}), 2);
    EXPECT_EQ(Run({"write", "--port", "COM1", "a.bin", "b.bin"}), 2);
    EXPECT_EQ(Run({"read", "--verify", "--port", "COM1", "--kind", "channel", "out.bin"}), 2);
}

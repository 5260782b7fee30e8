// Verifying a write: the image read back into memory and compared block by
// block with the file written, and when the receiver's flash counts as
// being written.
#include "LinkTestSupport.h"
#include "VirtualLine.h"

#include "link/Link.h"

#include <gtest/gtest.h>

using namespace dbase;
using sim::Fault;

namespace {

struct Rig {
    explicit Rig(sim::LoaderConfig config = {}) : line(config), link(line, line, &rec) {
        link.SetActive(true);
        file = dir.path("written.bin");
        testutil::WriteFile(file, linktest::SampleFile(false));
    }
    // The states from the first one after `count` on.
    std::vector<std::string> After(size_t count) const { return {rec.states.begin() + count, rec.states.end()}; }

    testutil::TempDir dir;
    sim::VirtualLine line;
    linktest::Recorder rec;
    ReceiverLink link;
    std::string file;
};

std::vector<std::string> VerifyStates(const std::string& last) {
    auto s = linktest::ReadBackStates(false);
    s.back() = last; // in place of "Update Success!"
    return s;
}

} // namespace

TEST(LinkVerify, AWriteReadBackTheSameIsOk) {
    Rig rig;
    ASSERT_TRUE(rig.link.WriteImage(rig.file, false));
    const size_t shown = rig.rec.states.size();
    EXPECT_TRUE(rig.link.VerifyImage(rig.file, false));
    EXPECT_EQ(rig.After(shown), VerifyStates("Verify OK"));
    EXPECT_EQ(rig.link.DifferingBlocks(), 0);
    EXPECT_EQ(rig.line.Core().CountIn(kFrameReadDefault), 1);
    // Nothing is written: the folder holds the written file only.
    EXPECT_EQ(rig.dir.Entries(), 1u);
    EXPECT_EQ(testutil::ReadFile(rig.file), linktest::SampleFile(false));
}

TEST(LinkVerify, DifferingBlocksAreCounted) {
    Rig rig;
    auto held = linktest::SampleFile(false);
    held[5] ^= 1;            // block 0
    held[2048 * 7 + 9] ^= 2; // block 7
    held.back() ^= 4;        // block 63
    rig.line.Core().SetImage(false, held);
    EXPECT_FALSE(rig.link.VerifyImage(rig.file, false));
    EXPECT_EQ(rig.rec.states, VerifyStates("Verify failed: 3 of 64 blocks differ."));
    EXPECT_EQ(rig.link.DifferingBlocks(), 3);
    EXPECT_EQ(rig.link.ErrorMessage(), "Verify failed: 3 of 64 blocks differ.");

    held = linktest::SampleFile(true);
    held[100000] ^= 1;
    rig.line.Core().SetImage(true, held);
    const std::string channel = rig.dir.path("channel.bin");
    testutil::WriteFile(channel, linktest::SampleFile(true));
    rig.rec.states.clear();
    EXPECT_FALSE(rig.link.VerifyImage(channel, true));
    EXPECT_EQ(rig.rec.states.back(), "Verify failed: 1 of 128 blocks differs.");
}

TEST(LinkVerify, AReadBackThatFailsIsAFailedVerify) {
    {
        Rig rig(sim::LoaderConfig{Fault::BadSum, 0, 3});
        EXPECT_FALSE(rig.link.VerifyImage(rig.file, false));
        const auto& s = rig.rec.states;
        ASSERT_GE(s.size(), 2u);
        EXPECT_EQ(std::vector<std::string>(s.end() - 2, s.end()),
                  (std::vector<std::string>{"Transfer failed!", "Verify failed!"}));
        EXPECT_EQ(rig.link.DifferingBlocks(), -1);
    }
    {
        // A loader that does not answer after programming: the connect loop
        // runs until Cancel, or until the limit a host sets.
        Rig rig(sim::LoaderConfig{Fault::SilentConnect});
        rig.link.SetConnectTimeoutMs(60000);
        EXPECT_FALSE(rig.link.VerifyImage(rig.file, false));
        EXPECT_GE(rig.line.NowMs(), 60000);
        EXPECT_EQ(rig.rec.states.back(), "Verify failed!");
        EXPECT_EQ(rig.rec.states[rig.rec.states.size() - 2], "Connect failed!");
    }
    {
        Rig rig;
        EXPECT_FALSE(rig.link.VerifyImage(rig.dir.path("gone.bin"), false));
        EXPECT_EQ(rig.rec.states, std::vector<std::string>{"Verify failed!"});
        EXPECT_EQ(rig.line.Opens(), 0);
    }
}

TEST(LinkFlash, TheFlashIsBusyFromTheRequestUntilProgrammed) {
    Rig rig;
    ASSERT_TRUE(rig.link.WriteImage(rig.file, false));
    const auto states = linktest::WriteStates(false);
    ASSERT_EQ(rig.rec.flash.size(), 2u);
    // Busy once "Connect Success!" is shown, free again before "Program flash Success!".
    EXPECT_TRUE(rig.rec.flash[0].first);
    EXPECT_EQ(states[rig.rec.flash[0].second - 1], "Connect Success!");
    EXPECT_FALSE(rig.rec.flash[1].first);
    EXPECT_EQ(states[rig.rec.flash[1].second - 1], "Program flash...");

    // A read-back, and a verify, never count as writing the flash.
    rig.rec.flash.clear();
    ASSERT_TRUE(rig.link.ReadBackImage(rig.dir.path("r.bin"), false));
    ASSERT_TRUE(rig.link.VerifyImage(rig.file, false));
    EXPECT_TRUE(rig.rec.flash.empty());
}

TEST(LinkFlash, AFailedWriteFreesTheFlashBeforeItsFailure) {
    for (const Fault fault : {Fault::SilentAccept, Fault::NoErase, Fault::NoProgram}) {
        Rig rig(sim::LoaderConfig{fault});
        EXPECT_FALSE(rig.link.WriteImage(rig.file, false));
        ASSERT_EQ(rig.rec.flash.size(), 2u);
        EXPECT_FALSE(rig.rec.flash[1].first);
        // Freed before the failure text is shown.
        EXPECT_EQ(rig.rec.flash[1].second, rig.rec.states.size() - 1);
    }
}

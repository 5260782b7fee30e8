// The link against a scripted loader, the way the link fuzz target drives it:
// correct scripts succeed, every fault of the PC's side fails cleanly, a newer
// exchange may take over at any message, and damaged scripts never make the
// link misbehave.
#include "LinkCase.h"

#include "format/DataFile.h"
#include "link/Link.h"

#include <gtest/gtest.h>

#include <random>

using namespace linkcase;

namespace {

const Files& TheFiles() {
    static const Files files;
    return files;
}

Outcome RunCase(const std::vector<uint8_t>& input) { return Run(input, TheFiles()); }

std::vector<uint8_t> Clean(uint8_t flags, uint8_t parameter = 0) {
    return CleanCase(flags, parameter, TheFiles().DataFile((flags & kRead256K) != 0));
}

} // namespace

TEST(LinkCases, CorrectScriptsSucceedForBothExchangesAndKinds) {
    for (uint8_t flags : {0, int{kRead256K}, int{kWrite}, kWrite | kRead256K}) {
        const auto outcome = RunCase(Clean(flags));
        EXPECT_TRUE(outcome.succeeded) << "flags " << int{flags};
        EXPECT_EQ(outcome.fault, "") << "flags " << int{flags};
    }
}

TEST(LinkCases, FaultsOfThePcSideFailWithoutDamage) {
    for (uint8_t kind : {0, int{kWrite}}) {
        for (const auto& [flags, parameter] : std::vector<std::pair<int, int>>{
                 {kOpenFails, 0}, {kWriteFails, 0}, {kWriteFails, 3}, {kWriteFails, 60}, {kCancel, 1}, {kCancel, 10}}) {
            const auto outcome = RunCase(Clean(static_cast<uint8_t>(kind | flags), static_cast<uint8_t>(parameter)));
            EXPECT_FALSE(outcome.succeeded) << "kind " << int{kind} << " flags " << flags << " at " << parameter;
            EXPECT_EQ(outcome.fault, "") << "kind " << int{kind} << " flags " << flags << " at " << parameter;
        }
    }
    const auto damaged = RunCase(Clean(kWrite | kDamagedFile));
    EXPECT_FALSE(damaged.succeeded);
    EXPECT_EQ(damaged.fault, "");
}

TEST(LinkCases, ANewerExchangeMayTakeOverAtAnyMessage) {
    // The newer read-back of Default data gets what is left of the script: a
    // whole correct one, so that it can succeed wherever it starts.
    const auto inner = Clean(0);
    for (uint8_t kind : {0, int{kWrite}}) {
        for (int at = 1; at <= 72; ++at) {
            auto input = CleanCase(static_cast<uint8_t>(kind | kTakeOver), static_cast<uint8_t>(at), {});
            input.insert(input.end(), inner.begin() + 2, inner.end());
            const auto outcome = RunCase(input);
            EXPECT_EQ(outcome.fault, "") << "kind " << int{kind} << " at message " << at;
            EXPECT_FALSE(outcome.succeeded && outcome.tookOver);
        }
    }
}

TEST(LinkCases, ScriptsWithBytesChangedNeverMakeTheLinkMisbehave) {
    // A small, repeatable run of what the fuzz target does at length.
    std::mt19937 rng(20261208);
    const std::vector<std::vector<uint8_t>> bases = {Clean(0), Clean(kWrite), Clean(kTakeOver, 1)};
    for (int round = 0; round < 150; ++round) {
        auto input = bases[rng() % bases.size()];
        const int changes = 1 + static_cast<int>(rng() % 8);
        for (int c = 0; c < changes && input.size() > 2; ++c) {
            const size_t at = 2 + rng() % (input.size() - 2);
            switch (rng() % 3) {
            case 0: input[at] = static_cast<uint8_t>(rng()); break;
            case 1: input.erase(input.begin() + static_cast<std::ptrdiff_t>(at)); break;
            default: input.resize(at); break;
            }
        }
        const auto outcome = RunCase(input);
        ASSERT_EQ(outcome.fault, "") << "round " << round;
    }
}

// Paired timing apart from failures: the figures a benchmark may print.

#include "bench/common/GuardedRounds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(GuardedRounds, OnlyRoundsWithoutAFailureGiveFigures)
{
    struct Case {
        std::string Name;
        // What each call fails with, in turn ("" succeeds; past the end too).
        std::vector<std::string> Ours, Peer;
        bool Figures;
        std::string Failure;
        int OursCalls, PeerCalls;
    };
    const std::vector<Case> cases = {
        {"no failure", {}, {}, true, "", 3, 3},
        // The round with the peer's stall is timed again as a whole.
        {"peer stalls once", {}, {"", "stalled"}, true, "", 4, 5},
        {"peer always fails", {}, {"x", "x", "x"}, false, "the peer, 3 times: x", 3, 3},
        // Ours failing is no stall of a peer's: nothing is repeated.
        {"ours fails", {"", "426 Timeout"}, {}, false, "ours: 426 Timeout", 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::size_t oursCalls = 0, peerCalls = 0;
        auto next = [](const std::vector<std::string>& script, std::size_t& calls) {
            std::string failure = calls < script.size() ? script[calls] : "";
            ++calls;
            return failure;
        };
        // A round stops at its first failure.
        GuardedTimes result = GuardedPairedMedianMs(
            3, 3, [&] { return next(c.Ours, oursCalls); }, [&] { return next(c.Peer, peerCalls); });
        EXPECT_EQ(result.Times.has_value(), c.Figures);
        EXPECT_EQ(result.Failure, c.Failure);
        EXPECT_EQ(static_cast<int>(oursCalls), c.OursCalls);
        EXPECT_EQ(static_cast<int>(peerCalls), c.PeerCalls);
    }
}

}  // namespace

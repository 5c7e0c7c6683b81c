#pragma once

// Paired timing that keeps its figures apart from failures. Each job answers
// what failed ("" when nothing did). A failure of ours ends the measure: its
// time is no figure. A failure of the peer's (a stalled transfer it gave up
// on) says nothing of ours, so the whole round is timed again, a few times
// at most.

#include <optional>
#include <string>
#include <utility>

#include "bench/common/PairedTiming.h"

struct GuardedTimes {
    // The medians in ms, ours and the peer's; empty when a failure stands.
    std::optional<std::pair<double, double>> Times;
    std::string Failure;
};

template <typename Ours, typename Peer>
GuardedTimes GuardedPairedMedianMs(int runs, int attempts, Ours&& ours, Peer&& peer)
{
    std::string peerFailure;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        std::string oursFailed;
        std::string peerFailed;
        // After a failure the rest of the round is not worth its time.
        auto failed = [&] { return !oursFailed.empty() || !peerFailed.empty(); };
        auto times = PairedMedianMs(
            runs,
            [&] {
                if (!failed())
                    oursFailed = ours();
            },
            [&] {
                if (!failed())
                    peerFailed = peer();
            });
        if (!oursFailed.empty())
            return {std::nullopt, "ours: " + oursFailed};
        if (peerFailed.empty())
            return {times, ""};
        peerFailure = peerFailed;
    }
    return {std::nullopt, "the peer, " + std::to_string(attempts) + " times: " + peerFailure};
}

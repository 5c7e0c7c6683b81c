#pragma once

// Times two ways of doing one job, taking turns (and turns at going first),
// so that both see the same state of the machine; returns the medians in ms.

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

template <typename Ours, typename Peer>
std::pair<double, double> PairedMedianMs(int runs, Ours&& ours, Peer&& peer)
{
    std::vector<double> oursTimes;
    std::vector<double> peerTimes;
    auto time = [](auto& run) {
        const auto start = std::chrono::steady_clock::now();
        run();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    for (int i = 0; i < runs; ++i) {
        if (i % 2 == 0) {
            oursTimes.push_back(time(ours));
            peerTimes.push_back(time(peer));
        } else {
            peerTimes.push_back(time(peer));
            oursTimes.push_back(time(ours));
        }
    }
    auto median = [](std::vector<double>& values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    return {median(oursTimes), median(peerTimes)};
}

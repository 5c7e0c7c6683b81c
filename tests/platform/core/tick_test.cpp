#include "platform/core/Tick.h"

#include <chrono>
#include <thread>

#include <time.h>

#include <gtest/gtest.h>

namespace {

TEST(Tick, FollowsTheMonotonicClockInMilliseconds)
{
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const auto expected = static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000
                                                     + static_cast<std::uint64_t>(now.tv_nsec) / 1000000);
    const std::uint32_t first = GetTickCount();
    EXPECT_LE(TickDiff(first, expected), 50u);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const std::uint32_t second = GetTickCount();
    EXPECT_GE(TickDiff(second, first), 30u);
    EXPECT_LT(TickDiff(second, first), 1000u);
}

TEST(Tick, ComparisonsSurviveTheWrap)
{
    struct Case {
        std::uint32_t now;
        std::uint32_t deadline;
        bool reached;
    };
    const Case cases[] = {
        {100, 100, true},
        {99, 100, false},
        {0x00000005u, 0xFFFFFFF0u, true},   // the tick wrapped past the deadline
        {0xFFFFFFF0u, 0x00000005u, false},  // the deadline lies beyond the wrap
        {0x7FFFFFFFu, 0u, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.now << " vs " << c.deadline);
        EXPECT_EQ(TickReached(c.now, c.deadline), c.reached);
    }
    EXPECT_EQ(TickDiff(0x00000005u, 0xFFFFFFFBu), 10u);
}

}  // namespace

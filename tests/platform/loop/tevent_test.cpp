#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/loop/Clock.h"
#include "platform/loop/TEvent.h"

namespace {

TEST(TEventTest, AutoResetReleasesOneWaitPerSet)
{
    TEvent event;
    EXPECT_EQ(event.WaitFor(0), wrTimeout);
    event.SetEvent();
    event.SetEvent();  // still one signal
    EXPECT_EQ(event.WaitFor(0), wrSignaled);
    EXPECT_EQ(event.WaitFor(0), wrTimeout);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    event.SetEvent();
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
}

TEST(TEventTest, ManualResetStaysSignalledUntilReset)
{
    TEvent event(true, true);
    EXPECT_EQ(event.WaitFor(0), wrSignaled);
    EXPECT_EQ(event.WaitFor(0), wrSignaled);
    event.ResetEvent();
    EXPECT_EQ(event.WaitFor(0), wrTimeout);
    event.SetEvent();
    EXPECT_EQ(event.WaitFor(0), wrSignaled);
}

TEST(TEventTest, TimedWaitLastsItsTimeout)
{
    TEvent event;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(event.WaitFor(30), wrTimeout);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(29));
    EXPECT_LT(waited, std::chrono::milliseconds(1000));
}

TEST(TEventTest, SetFromAnotherThreadEndsAWait)
{
    TEvent event;
    std::thread setter([&] {
        Sleep(10);
        event.SetEvent();
    });
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(event.WaitFor(INFINITE), wrSignaled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    setter.join();
}

TEST(TEventTest, AutoResetReleasesExactlyOneOfTwoWaiters)
{
    TEvent event;
    std::atomic<int> signalled{0};
    std::atomic<int> timedOut{0};
    auto wait = [&] { (event.WaitFor(60) == wrSignaled ? signalled : timedOut)++; };
    std::thread first(wait);
    std::thread second(wait);
    Sleep(10);
    event.SetEvent();
    first.join();
    second.join();
    EXPECT_EQ(signalled.load(), 1);
    EXPECT_EQ(timedOut.load(), 1);
}

TEST(TEventTest, ManualResetReleasesEveryWaiter)
{
    TEvent event(true, false);
    std::atomic<int> signalled{0};
    auto wait = [&] { signalled += event.WaitFor(1000) == wrSignaled; };
    std::thread first(wait);
    std::thread second(wait);
    Sleep(10);
    event.SetEvent();
    first.join();
    second.join();
    EXPECT_EQ(signalled.load(), 2);
}

TEST(TEventTest, MultimediaClockCountsMilliseconds)
{
    EXPECT_EQ(timeBeginPeriod(1), TIMERR_NOERROR);
    DWORD before = timeGetTime();
    Sleep(20);
    DWORD elapsed = timeGetTime() - before;  // unsigned: right across a wrap
    EXPECT_GE(elapsed, 19u);
    EXPECT_LT(elapsed, 1000u);
    EXPECT_EQ(timeEndPeriod(1), TIMERR_NOERROR);
    EXPECT_EQ(timeBeginPeriod(0), TIMERR_NOCANDO);
}

}  // namespace

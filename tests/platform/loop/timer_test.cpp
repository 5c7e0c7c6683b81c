#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "loop_test_support.h"
#include "platform/loop/Clock.h"
#include "platform/loop/Messages.h"
#include "platform/loop/Window.h"

namespace {

using TimerTest = LoopTest;

int CountQueuedTimers(HWND hwnd, UINT_PTR id)
{
    int count = 0;
    MSG msg;
    while (PeekMessage(msg, 0, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_TIMER && msg.hwnd == hwnd && msg.wParam == id)
            ++count;
    }
    return count;
}

TEST_F(TimerTest, DueTimersAreQueuedInTheOrderOfTheirDueTime)
{
    TestWindow a({});
    // Made first but due last: the order comes from the due times.
    ASSERT_EQ(SetTimer(a.Handle(), 1, 30), 1u);
    ASSERT_EQ(SetTimer(a.Handle(), 2, 10), 2u);
    Sleep(45);
    std::vector<UINT_PTR> order;
    MSG msg;
    while (PeekMessage(msg, 0, 0, 0, PM_REMOVE))
        if (msg.message == WM_TIMER)
            order.push_back(msg.wParam);
    EXPECT_EQ(order, (std::vector<UINT_PTR>{2, 1}))
        << "one WM_TIMER each, however many intervals passed";
    KillTimer(a.Handle(), 1);
    KillTimer(a.Handle(), 2);
}

TEST_F(TimerTest, AQueuedWmTimerIsNotRepeated)
{
    TestWindow a({});
    SetTimer(a.Handle(), 5, 10);
    MSG msg;
    for (int i = 0; i < 4; ++i) {
        Sleep(15);
        PeekMessage(msg, 0, 0, 0, PM_NOREMOVE);  // gathers without taking
    }
    EXPECT_EQ(CountQueuedTimers(a.Handle(), 5), 1);
    // Taken out of the queue, the timer may fire again.
    Sleep(15);
    EXPECT_EQ(CountQueuedTimers(a.Handle(), 5), 1);
    KillTimer(a.Handle(), 5);
}

TEST_F(TimerTest, TimersFireInsideANestedLoop)
{
    int outerTimers = 0;
    int nestedTimers = 0;
    bool inNested = false;
    TestWindow a([&](HWND hwnd, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        if (message == WM_TIMER)
            ++(inNested ? nestedTimers : outerTimers);
        if (message == WM_USER) {
            // A modal wait inside a handler pumps its own loop.
            inNested = true;
            MSG msg;
            while (nestedTimers < 3 && GetMessage(msg, 0, 0, 0))
                DispatchMessage(msg);
            inNested = false;
            KillTimer(hwnd, 1);
            PostMessage(hwnd, WM_USER + 1, 0, 0);
        }
        return 0;
    });
    SetTimer(a.Handle(), 1, 10);
    PostMessage(a.Handle(), WM_USER, 0, 0);
    MSG msg;
    while (GetMessage(msg, 0, 0, 0)) {
        DispatchMessage(msg);
        if (msg.message == WM_USER + 1)
            break;
    }
    EXPECT_EQ(nestedTimers, 3);
    EXPECT_EQ(outerTimers, 0);
}

TEST_F(TimerTest, GetMessageSleepsUntilTheTimerIsDue)
{
    TestWindow a({});
    SetTimer(a.Handle(), 1, 40);
    auto start = std::chrono::steady_clock::now();
    MSG msg;
    ASSERT_TRUE(GetMessage(msg, 0, 0, 0));
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_GE(waited, std::chrono::milliseconds(39));
    EXPECT_LT(waited, std::chrono::milliseconds(1000));
    KillTimer(a.Handle(), 1);
}

TEST_F(TimerTest, CallbackTimersGetTheirOwnIdsAndRunAtDispatch)
{
    std::vector<UINT_PTR> fired;
    TIMERPROC record = [&](HWND hwnd, UINT message, UINT_PTR id, DWORD) {
        EXPECT_EQ(hwnd, 0u);
        EXPECT_EQ(message, WM_TIMER);
        fired.push_back(id);
    };
    UINT_PTR first = SetTimer(0, 0, 10, record);
    UINT_PTR second = SetTimer(0, 0, 10, record);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    EXPECT_NE(first, second);
    ASSERT_TRUE(PumpUntil([&] { return fired.size() >= 2; }));
    EXPECT_TRUE(KillTimer(0, first));
    EXPECT_TRUE(KillTimer(0, second));
    EXPECT_FALSE(KillTimer(0, first));
}

TEST_F(TimerTest, AWindowTimerWithAProcedureCallsItInsteadOfTheWindow)
{
    int windowTimers = 0;
    int procedureCalls = 0;
    TestWindow a([&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
        windowTimers += message == WM_TIMER;
        return 0;
    });
    ASSERT_EQ(SetTimer(a.Handle(), 3, 10, [&](HWND hwnd, UINT, UINT_PTR id, DWORD) {
                  EXPECT_EQ(hwnd, a.Handle());
                  EXPECT_EQ(id, 3u);
                  ++procedureCalls;
              }),
              3u);
    ASSERT_TRUE(PumpUntil([&] { return procedureCalls > 0; }));
    EXPECT_EQ(windowTimers, 0);
    KillTimer(a.Handle(), 3);
}

TEST_F(TimerTest, ResettingATimerKeepsOneTimerWithTheNewInterval)
{
    TestWindow a({});
    SetTimer(a.Handle(), 1, 10);
    SetTimer(a.Handle(), 1, 200);
    Sleep(30);
    EXPECT_EQ(CountQueuedTimers(a.Handle(), 1), 0);
    EXPECT_TRUE(KillTimer(a.Handle(), 1));
    EXPECT_FALSE(KillTimer(a.Handle(), 1));
}

TEST_F(TimerTest, KillTimerDropsItsQueuedMessage)
{
    TestWindow a({});
    SetTimer(a.Handle(), 1, 10);
    Sleep(15);
    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, 0, 0, 0, PM_NOREMOVE));
    ASSERT_EQ(msg.message, WM_TIMER);
    KillTimer(a.Handle(), 1);
    EXPECT_FALSE(PeekMessage(msg, 0, 0, 0, PM_REMOVE));
}

TEST_F(TimerTest, DestroyingTheWindowEndsItsTimers)
{
    HWND hwnd = AllocateHWnd({});
    SetTimer(hwnd, 1, 10);
    DestroyWindow(hwnd);
    EXPECT_FALSE(KillTimer(hwnd, 1));
    Sleep(15);
    MSG msg;
    EXPECT_FALSE(PeekMessage(msg, 0, 0, 0, PM_REMOVE));
}

TEST_F(TimerTest, TimersNeedAWindowOfTheCallingThread)
{
    EXPECT_EQ(SetTimer(0xFFFFFFFFFFull, 1, 10), 0u);
    HWND foreign = 0;
    std::thread([&] {
        foreign = AllocateHWnd({});
        EXPECT_EQ(SetTimer(foreign, 1, 10), 1u);  // its own thread may
        KillTimer(foreign, 1);
    }).join();
    EXPECT_EQ(SetTimer(foreign, 1, 10), 0u) << "that window has ended with its thread";
}

}  // namespace

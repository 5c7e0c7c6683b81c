#include <gtest/gtest.h>

#include <ctime>
#include <thread>
#include <vector>

#include "loop_test_support.h"
#include "platform/loop/Clock.h"
#include "platform/loop/Messages.h"
#include "platform/loop/TEvent.h"
#include "platform/loop/Window.h"

namespace {

using CrossThreadTest = LoopTest;

double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

TEST_F(CrossThreadTest, PostFromAnotherThreadWakesABlockedGetMessage)
{
    TestWindow a({});
    struct Case {
        const char* Name;
        bool ThreadMessage;
    };
    for (const Case& c : {Case{"window message", false}, Case{"thread message", true}}) {
        SCOPED_TRACE(c.Name);
        // A spinning wait would burn about the whole 50 ms; a sleeping one next to none.
        std::thread worker([&] {
            Sleep(50);
            if (c.ThreadMessage)
                PostThreadMessage(MainThreadId(), WM_USER + 2, 7, 0);
            else
                PostMessage(a.Handle(), WM_USER + 1, 7, 0);
        });
        double cpuBefore = ThreadCpuMs();
        MSG msg;
        ASSERT_TRUE(GetMessage(msg, 0, 0, 0));
        double cpuUsed = ThreadCpuMs() - cpuBefore;
        worker.join();
        EXPECT_EQ(msg.message, c.ThreadMessage ? WM_USER + 2u : WM_USER + 1u);
        EXPECT_EQ(msg.hwnd, c.ThreadMessage ? 0u : a.Handle());
        EXPECT_EQ(msg.wParam, 7u);
        EXPECT_LT(cpuUsed, 25.0) << "a blocked GetMessage must sleep in poll, not spin";
    }
}

TEST_F(CrossThreadTest, PostsFromOneThreadArriveInOrder)
{
    TestWindow a({});
    TestWindow b({});
    constexpr int count = 2000;
    std::thread worker([&] {
        for (int i = 0; i < count; ++i)
            PostMessage(i % 2 ? a.Handle() : b.Handle(), WM_USER, static_cast<WPARAM>(i), 0);
    });
    std::vector<WPARAM> got;
    MSG msg;
    while (got.size() < count && GetMessage(msg, 0, 0, 0))
        got.push_back(msg.wParam);
    worker.join();
    ASSERT_EQ(got.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(got[static_cast<std::size_t>(i)], static_cast<WPARAM>(i));
}

TEST_F(CrossThreadTest, MsgWaitReportsEventMessageOrTimeout)
{
    TEvent first;
    TEvent second;
    TEvent* events[] = {&first, &second};

    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(MsgWaitForMultipleObjects(events, 30), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(29));

    std::thread setter([&] {
        Sleep(10);
        second.SetEvent();
    });
    EXPECT_EQ(MsgWaitForMultipleObjects(events, 2000), WAIT_OBJECT_0 + 1);
    setter.join();
    EXPECT_EQ(second.WaitFor(0), wrTimeout) << "the wait consumed the auto-reset event";

    std::thread poster([] {
        Sleep(10);
        PostThreadMessage(MainThreadId(), WM_USER, 0, 0);
    });
    EXPECT_EQ(MsgWaitForMultipleObjects(events, 2000), WAIT_OBJECT_0 + 2);
    poster.join();
    MSG msg;
    EXPECT_TRUE(PeekMessage(msg, 0, 0, 0, PM_REMOVE)) << "the message is still there to take";
}

TEST_F(CrossThreadTest, WaitMessageReturnsAtOnceWhenSomethingIsQueued)
{
    PostMessage(0, WM_USER, 0, 0);
    WaitMessage();
    DrainQueue();
    std::thread poster([] {
        Sleep(10);
        PostThreadMessage(MainThreadId(), WM_USER, 1, 0);
    });
    WaitMessage();
    poster.join();
    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
}

}  // namespace

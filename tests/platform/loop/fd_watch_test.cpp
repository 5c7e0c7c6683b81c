#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <thread>

#include "loop_test_support.h"
#include "platform/loop/Clock.h"
#include "platform/loop/FdWatch.h"
#include "platform/loop/Messages.h"

namespace {

class Pipe {
public:
    Pipe() { EXPECT_EQ(pipe(FFds), 0); }
    ~Pipe()
    {
        close(FFds[0]);
        close(FFds[1]);
    }
    int ReadEnd() const { return FFds[0]; }
    void Write() const { EXPECT_EQ(write(FFds[1], "x", 1), 1); }
    void Read() const
    {
        char c;
        EXPECT_EQ(read(FFds[0], &c, 1), 1);
    }

private:
    int FFds[2] = {-1, -1};
};

using FdWatchTest = LoopTest;

TEST_F(FdWatchTest, ReadinessBecomesACallbackInsideThePeek)
{
    Pipe p;
    int calls = 0;
    TFdWatchId watch = WatchFd(p.ReadEnd(), POLLIN, [&](int fd, short revents) {
        EXPECT_EQ(fd, p.ReadEnd());
        EXPECT_TRUE(revents & POLLIN);
        ++calls;
        p.Read();
        PostMessage(0, WM_USER + 7, 0, 0);
    });
    MSG msg;
    EXPECT_FALSE(PeekMessage(msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(calls, 0);

    p.Write();
    ASSERT_TRUE(PeekMessage(msg, 0, 0, 0, PM_REMOVE)) << "the callback's post is seen by the same peek";
    EXPECT_EQ(msg.message, WM_USER + 7u);
    EXPECT_EQ(calls, 1);
    UnwatchFd(watch);
}

TEST_F(FdWatchTest, PausedAndRemovedWatchesAreLeftOut)
{
    Pipe p;
    int calls = 0;
    TFdWatchId watch = WatchFd(p.ReadEnd(), POLLIN, [&](int, short) { ++calls; });
    p.Write();
    SetFdWatchEvents(watch, 0);
    MSG msg;
    PeekMessage(msg, 0, 0, 0, PM_REMOVE);
    EXPECT_EQ(calls, 0);
    SetFdWatchEvents(watch, POLLIN);
    PeekMessage(msg, 0, 0, 0, PM_REMOVE);
    EXPECT_EQ(calls, 1);
    PeekMessage(msg, 0, 0, 0, PM_REMOVE);
    EXPECT_EQ(calls, 2) << "level triggered: still readable, called again";
    UnwatchFd(watch);
    PeekMessage(msg, 0, 0, 0, PM_REMOVE);
    EXPECT_EQ(calls, 2);
}

TEST_F(FdWatchTest, ACallbackMayRemoveItselfAndIsNotReenteredByANestedPeek)
{
    Pipe p;
    int calls = 0;
    TFdWatchId watch = 0;
    watch = WatchFd(p.ReadEnd(), POLLIN, [&](int, short) {
        ++calls;
        MSG msg;
        PeekMessage(msg, 0, 0, 0, PM_NOREMOVE);  // the fd is still readable here
        UnwatchFd(watch);
    });
    p.Write();
    MSG msg;
    PeekMessage(msg, 0, 0, 0, PM_REMOVE);
    PeekMessage(msg, 0, 0, 0, PM_REMOVE);
    EXPECT_EQ(calls, 1);
}

TEST_F(FdWatchTest, AWatchedFdWakesABlockedGetMessage)
{
    Pipe p;
    TFdWatchId watch = WatchFd(p.ReadEnd(), POLLIN, [&](int, short) {
        p.Read();
        PostMessage(0, WM_USER + 3, 0, 0);
    });
    std::thread writer([&] {
        Sleep(20);
        p.Write();
    });
    MSG msg;
    ASSERT_TRUE(GetMessage(msg, 0, 0, 0));
    writer.join();
    EXPECT_EQ(msg.message, WM_USER + 3u);
    UnwatchFd(watch);
}

TEST_F(FdWatchTest, GatherHooksRunAtEveryPeekAndIdleHooksBeforeBlocking)
{
    int gathers = 0;
    int idles = 0;
    TLoopHookId gather = AddGatherHook([&] { ++gathers; });
    TLoopHookId idle = AddIdleHook([&] {
        // An idle pump that finds work posts it, so the wait does not block.
        if (++idles == 1)
            PostMessage(0, WM_USER, 0, 0);
    });
    MSG msg;
    PeekMessage(msg, 0, 0, 0, PM_NOREMOVE);
    PeekMessage(msg, 0, 0, 0, PM_NOREMOVE);
    EXPECT_EQ(gathers, 2);
    EXPECT_EQ(idles, 0) << "a peek never idles";
    ASSERT_TRUE(GetMessage(msg, 0, 0, 0));
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_EQ(idles, 1);
    int before = gathers;
    RemoveLoopHook(gather);
    RemoveLoopHook(idle);
    PeekMessage(msg, 0, 0, 0, PM_NOREMOVE);
    EXPECT_EQ(gathers, before);
}

}  // namespace

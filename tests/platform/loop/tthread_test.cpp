#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "loop_test_support.h"
#include "platform/core/Exceptions.h"
#include "platform/loop/Clock.h"
#include "platform/loop/Messages.h"
#include "platform/loop/TThread.h"

namespace {

// A thread whose body is a lambda; it stops its own worker before its fields go.
class LambdaThread : public TThread {
public:
    explicit LambdaThread(std::function<void(LambdaThread&)> body, std::atomic<bool>* destroyed = nullptr)
        : FBody(std::move(body)), FDestroyed(destroyed)
    {
    }
    ~LambdaThread() override
    {
        // Not when it frees itself on its own thread.
        if (!Suspended() && ThreadID() != GetCurrentThreadId()) {
            Terminate();
            WaitFor();
        }
        if (FDestroyed)
            *FDestroyed = true;
    }
    using TThread::ReturnValue;
    using TThread::SetReturnValue;
    using TThread::Synchronize;

protected:
    void Execute() override { FBody(*this); }

private:
    std::function<void(LambdaThread&)> FBody;
    std::atomic<bool>* FDestroyed;
};

using TThreadTest = LoopTest;

TEST_F(TThreadTest, SynchronizeRunsOnTheMainThreadAndBlocksTheWorker)
{
    const std::thread::id mainId = std::this_thread::get_id();
    std::thread::id ranOn;
    int shared = 0;
    std::atomic<int> seenByWorker{-1};
    LambdaThread thread([&](LambdaThread& self) {
        self.Synchronize([&] {
            ranOn = std::this_thread::get_id();
            shared = 42;
        });
        seenByWorker = shared;  // the worker waits until the method has run
    });
    thread.Start();
    ASSERT_TRUE(PumpUntil([&] { return seenByWorker != -1; }));
    EXPECT_EQ(ranOn, mainId);
    EXPECT_EQ(seenByWorker.load(), 42);
    thread.WaitFor();
}

TEST_F(TThreadTest, SynchronizeOnTheMainThreadRunsAtOnce)
{
    bool ran = false;
    TThread::Synchronize(nullptr, [&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST_F(TThreadTest, SynchronizeKeepsOrderWithWhatTheWorkerPostedBefore)
{
    std::vector<std::string> order;
    TestWindow a([&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message == WM_USER)
            order.push_back("posted");
        return 0;
    });
    std::atomic<bool> done{false};
    LambdaThread thread([&](LambdaThread& self) {
        PostMessage(a.Handle(), WM_USER, 0, 0);
        self.Synchronize([&] { order.push_back("synchronized"); });
        done = true;
    });
    thread.Start();
    ASSERT_TRUE(PumpUntil([&] { return done.load(); }));
    EXPECT_EQ(order, (std::vector<std::string>{"posted", "synchronized"}));
    thread.WaitFor();
}

TEST_F(TThreadTest, SynchronizedExceptionIsThrownAgainInTheWorker)
{
    std::string caught;
    LambdaThread thread([&](LambdaThread& self) {
        try {
            self.Synchronize([] { throw EConvertError("bad number"); });
        } catch (const EConvertError& error) {
            caught = error.what();
        }
    });
    thread.Start();
    thread.WaitFor();  // serves the call while it waits
    EXPECT_EQ(caught, "bad number");
}

TEST_F(TThreadTest, OnTerminateRunsOnTheCreatingThreadBeforeWaitForReturns)
{
    const std::thread::id mainId = std::this_thread::get_id();
    std::thread::id ranOn;
    bool finishedInHandler = true;
    LambdaThread thread([](LambdaThread& self) { self.SetReturnValue(17); });
    thread.OnTerminate = [&](TObject* sender) {
        ranOn = std::this_thread::get_id();
        EXPECT_EQ(sender, &thread);
        finishedInHandler = thread.Finished();
    };
    thread.Start();
    EXPECT_EQ(thread.WaitFor(), 17);
    EXPECT_EQ(ranOn, mainId);
    EXPECT_FALSE(finishedInHandler) << "Finished only once the handler has run";
    EXPECT_TRUE(thread.Finished());
}

TEST_F(TThreadTest, OnTerminateRunsInTheCreatorsOrdinaryLoop)
{
    bool ran = false;
    LambdaThread thread([](LambdaThread&) {});
    thread.OnTerminate = [&](TObject*) { ran = true; };
    thread.Start();
    ASSERT_TRUE(PumpUntil([&] { return ran; }));
    thread.WaitFor();
}

TEST_F(TThreadTest, StartsOnlyWhenStarted)
{
    std::atomic<bool> ran{false};
    LambdaThread thread([&](LambdaThread&) { ran = true; });
    EXPECT_TRUE(thread.Suspended());
    EXPECT_EQ(thread.ThreadID(), 0u);
    EXPECT_THROW(thread.WaitFor(), Exception);
    Sleep(10);
    EXPECT_FALSE(ran.load());
    thread.SetPriority(tpLower);  // taken when it starts
    thread.Resume();
    thread.WaitFor();
    EXPECT_TRUE(ran.load());
    EXPECT_FALSE(thread.Suspended());
    EXPECT_NE(thread.ThreadID(), 0u);
    EXPECT_NE(thread.ThreadID(), MainThreadId());
    thread.Start();  // a second start does nothing
}

// A worker that keeps publishing its own nice value until it is terminated.
struct NiceProbe {
    std::atomic<int> Nice{1000};
    LambdaThread Thread{[this](LambdaThread& self) {
        while (!self.Terminated()) {
            Nice = getpriority(PRIO_PROCESS, 0);
            Sleep(1);
        }
    }};
    // The worker's nice value once it has settled on `expected`, else the last one seen.
    int SettledOn(int expected)
    {
        for (int i = 0; i < 500 && Nice != expected; ++i)
            Sleep(2);
        return Nice;
    }
};

int OwnNice() { return getpriority(PRIO_PROCESS, 0); }

TEST_F(TThreadTest, PrioritiesLowerTheNiceValueAndRaiseItWherePermitted)
{
    const int normal = OwnNice();
    NiceProbe probe;
    probe.Thread.SetPriority(tpLower);  // kept for the start
    probe.Thread.Start();
    EXPECT_EQ(probe.SettledOn(std::min(normal + 5, 19)), std::min(normal + 5, 19));
    EXPECT_EQ(probe.Thread.Priority(), tpLower);

    probe.Thread.SetPriority(tpIdle);
    EXPECT_EQ(probe.SettledOn(19), 19);
    EXPECT_EQ(probe.Thread.Priority(), tpIdle);

    // Back up: only with the right to do so, and never an error without it.
    const bool mayRaise = setpriority(PRIO_PROCESS, 0, normal - 1) == 0;
    if (mayRaise)
        setpriority(PRIO_PROCESS, 0, normal);
    probe.Thread.SetPriority(tpHigher);
    if (mayRaise) {
        EXPECT_EQ(probe.SettledOn(std::max(normal - 5, -20)), std::max(normal - 5, -20));
        EXPECT_EQ(probe.Thread.Priority(), tpHigher);
    } else {
        EXPECT_EQ(probe.SettledOn(19), 19);
        EXPECT_EQ(probe.Thread.Priority(), tpIdle);
    }
    probe.Thread.Terminate();
    probe.Thread.WaitFor();
}

// Run in a child process: as an ordinary user (no CAP_SYS_NICE, no room
// under RLIMIT_NICE) a priority above normal is refused without a word.
// 0 when all went as it should.
int PrioritiesWithoutTheRightToRaise()
{
    const rlimit none{0, 0};
    if (setrlimit(RLIMIT_NICE, &none) != 0 || (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)))
        return 2;
    const int normal = OwnNice();
    NiceProbe probe;
    probe.Thread.SetPriority(tpHighest);  // refused at the start
    probe.Thread.Start();
    if (probe.SettledOn(normal) != normal || probe.Thread.Priority() != tpNormal)
        return 3;
    probe.Thread.SetPriority(tpLowest);
    const int lowered = std::min(normal + 10, 19);
    if (probe.SettledOn(lowered) != lowered || probe.Thread.Priority() != tpLowest)
        return 4;
    probe.Thread.SetPriority(tpNormal);  // what a stopped painter asks for
    Sleep(20);
    if (probe.SettledOn(lowered) != lowered || probe.Thread.Priority() != tpLowest)
        return 5;
    return 0;
}

TEST(TThreadPriorityDeathTest, WithoutTheRightToRaiseThePriorityIsKeptSilently)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(_exit(PrioritiesWithoutTheRightToRaise()), ::testing::ExitedWithCode(0), "");
}

TEST_F(TThreadTest, DestroyingARunningThreadTerminatesAndWaits)
{
    std::atomic<bool> stoppedByTerminate{false};
    {
        LambdaThread thread([&](LambdaThread& self) {
            while (!self.Terminated())
                Sleep(1);
            stoppedByTerminate = true;
        });
        thread.Start();
        Sleep(5);
    }
    EXPECT_TRUE(stoppedByTerminate.load());
}

TEST_F(TThreadTest, DestroyingTheThreadRunsItsOnTerminateWithoutAPump)
{
    const std::thread::id mainId = std::this_thread::get_id();
    std::thread::id ranOn;
    {
        LambdaThread thread([](LambdaThread& self) {
            while (!self.Terminated())
                Sleep(1);
        });
        thread.OnTerminate = [&](TObject*) { ranOn = std::this_thread::get_id(); };
        thread.Start();
        Sleep(5);
        // Nothing pumps here: the destructor's wait serves the OnTerminate call.
    }
    EXPECT_EQ(ranOn, mainId);
}

TEST_F(TThreadTest, ExceptionEscapingExecuteIsKept)
{
    LambdaThread thread([](LambdaThread&) { throw std::runtime_error("lost frame"); });
    thread.Start();
    thread.WaitFor();
    ASSERT_TRUE(thread.FatalException());
    try {
        std::rethrow_exception(thread.FatalException());
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "lost frame");
    }
}

TEST_F(TThreadTest, FreeOnTerminateDeletesTheThreadAfterItsOnTerminate)
{
    std::atomic<bool> destroyed{false};
    bool terminated = false;
    auto* thread = new LambdaThread([](LambdaThread&) {}, &destroyed);
    thread->SetFreeOnTerminate(true);
    thread->OnTerminate = [&](TObject*) {
        terminated = true;
        EXPECT_FALSE(destroyed.load());
    };
    thread->Start();
    ASSERT_TRUE(PumpUntil([&] { return destroyed.load(); }));
    EXPECT_TRUE(terminated);
}

TEST_F(TThreadTest, AbandonLetsTheThreadEndAndFreeItselfAlone)
{
    struct Case {
        const char* Name;
        bool Start;
        bool LetItFinish;
    };
    for (const Case& c : {Case{"running", true, false}, Case{"already finished", true, true},
                          Case{"never started", false, false}}) {
        SCOPED_TRACE(c.Name);
        std::atomic<bool> destroyed{false};
        std::atomic<bool> finished{false};
        auto* thread = new LambdaThread(
            [&](LambdaThread& self) {
                while (!c.LetItFinish && !self.Terminated())
                    Sleep(1);
                finished = true;
            },
            &destroyed);
        if (c.Start)
            thread->Start();
        if (c.LetItFinish) {
            ASSERT_TRUE(PumpUntil([&] { return finished.load(); }));
        }
        thread->Abandon();
        ASSERT_TRUE(PumpUntil([&] { return destroyed.load(); }));
        EXPECT_EQ(finished.load(), c.Start);
    }
}

TEST_F(TThreadTest, RunOnThreadReachesAnotherLoopAndFailsForAnEndedOne)
{
    std::atomic<DWORD> workerId{0};
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        workerId = GetCurrentThreadId();
        MSG msg;
        while (!stop && GetMessage(msg, 0, 0, 0))
            DispatchMessage(msg);
    });
    while (workerId == 0)
        Sleep(1);
    std::thread::id ranOn;
    EXPECT_TRUE(RunOnThread(workerId, [&] {
        ranOn = std::this_thread::get_id();
        stop = true;
    }));
    EXPECT_EQ(ranOn, worker.get_id());
    worker.join();
    bool ran = false;
    EXPECT_FALSE(RunOnThread(workerId, [&] { ran = true; }));
    EXPECT_FALSE(ran);
}

TEST_F(TThreadTest, AThreadCallWaitingForAThreadThatEndsIsReleased)
{
    std::atomic<DWORD> workerId{0};
    std::atomic<bool> release{false};
    std::thread worker([&] {
        workerId = GetCurrentThreadId();
        while (!release)
            Sleep(1);
        // Ends without ever pumping its loop.
    });
    while (workerId == 0)
        Sleep(1);
    std::atomic<int> result{-1};
    std::thread caller([&] { result = RunOnThread(workerId, [] {}) ? 1 : 0; });
    Sleep(10);
    release = true;
    worker.join();
    caller.join();
    EXPECT_EQ(result.load(), 0);
}

TEST_F(TThreadTest, CheckSynchronizeRunsOnlyThreadCalls)
{
    PostMessage(0, WM_USER, 0, 0);
    std::atomic<bool> ran{false};
    LambdaThread thread([&](LambdaThread& self) { self.Synchronize([&] { ran = true; }); });
    thread.Start();
    EXPECT_TRUE(CheckSynchronize(2000));
    EXPECT_TRUE(ran.load());
    EXPECT_FALSE(CheckSynchronize());
    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER) << "other messages stay queued";
    thread.WaitFor();
}

}  // namespace

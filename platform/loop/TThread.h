#pragma once

// Worker threads over std::thread, with calls run on another thread's loop.
//
// - A TThread is made suspended and runs `Execute` once `Start` (or `Resume`)
//   is called: C++ cannot run code after the most derived constructor, so a
//   thread started from the base constructor could run into a half-made object.
// - `Synchronize(method)` runs `method` on the main thread (the process's
//   initial one) and blocks the worker until it has run. It is a CM_EXECPROC
//   thread message posted to the main thread, so it keeps FIFO order with what
//   the worker posted before it, and it runs wherever the main thread pumps:
//   GetMessage and DispatchMessage, a nested loop, or `CheckSynchronize`. Called on the main thread it runs at once. An exception
//   thrown by `method` is thrown again in the worker. If the main thread's loop
//   has ended, the call returns without running.
// - `OnTerminate` runs on the thread that created the TThread, through the same
//   kind of call, after `Execute` has returned and before `WaitFor` returns.
//   Handlers that detach the thread from shared structures therefore never race
//   with the creating thread.
// - `WaitFor` (and the destructor, which terminates and waits) keeps serving
//   the calling thread's thread calls, so a worker blocked in `Synchronize` or
//   `OnTerminate` cannot deadlock it.
// - With `FreeOnTerminate` the thread deletes itself once it is done; nobody
//   may touch it afterwards. `Abandon` is the forced end: the thread is told to
//   terminate and deletes itself whenever it gets there (cooperative detach).
// - A derived class whose `Execute` uses its own fields calls `Terminate` and
//   `WaitFor` in its destructor: the base destructor runs too late for that.
// - A priority is the thread's nice value relative to the one it started
//   with (normal). Lowering always takes effect; raising where the system
//   permits it (CAP_SYS_NICE, RLIMIT_NICE); a refused change is silent and
//   `Priority` keeps answering what is in effect. A suspended thread takes its
//   priority when it starts.

#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/core/ClassRegistry.h"
#include "platform/loop/Messages.h"
#include "platform/loop/TEvent.h"

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TThreadMethod = std::function<void()>;

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThread : public TObject {
public:
    TThread();
    ~TThread() override;
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Starts a suspended thread; no effect on one already started.
    void Start();
    void Resume() { Start(); }
    bool Suspended() const;

    void Terminate();
    bool Terminated() const;
    // True once Execute has returned and OnTerminate has run.
    bool Finished() const;

    // Waits until the thread is finished and answers ReturnValue. Throws
    // Exception when called from the thread itself or for a thread never
    // started.
    int WaitFor();

    bool FreeOnTerminate() const;
    void SetFreeOnTerminate(bool value);
    void Abandon();

    TThreadPriority Priority() const;
    void SetPriority(TThreadPriority value);

    // 0 until the thread runs.
    DWORD ThreadID() const;
    // The exception that escaped Execute, if any.
    std::exception_ptr FatalException() const;

    // Runs `method` on the main thread, as the member Synchronize does; usable
    // from any thread (`thread` may be null).
    static void Synchronize(TThread* thread, TThreadMethod method);

    TNotifyEvent OnTerminate;

protected:
    virtual void Execute() = 0;
    void Synchronize(TThreadMethod method) { Synchronize(this, std::move(method)); }
    int ReturnValue() const { return FReturnValue; }
    void SetReturnValue(int value) { FReturnValue = value; }

private:
    void Run();
    void WaitUntilDone();
    // With FMutex held, on a running thread: true when the system took it.
    bool ApplyPriority(TThreadPriority value);

    mutable std::mutex FMutex;
    TEvent FDone{true, false};
    std::thread FThread;
    DWORD FCreatorThreadId;
    DWORD FThreadID = 0;
    bool FStarted = false;
    bool FTerminated = false;
    bool FFinished = false;
    bool FFreeOnTerminate = false;
    int FReturnValue = 0;
    TThreadPriority FPriority = tpNormal;
    int FKernelThreadId = 0;
    int FNormalNice = 0;
    std::exception_ptr FFatalException;
};

// Runs `method` on the loop of thread `threadId` and waits until it has run
// there; at once when that is the calling thread. False when the target's loop
// has ended (or never existed) and the method did not run. An exception thrown
// by `method` is thrown again here.
bool RunOnThread(DWORD threadId, TThreadMethod method);

// Runs the thread calls already queued for the calling thread (and only them),
// waiting up to `timeoutMs` for the first one. True when one ran. Other posted
// messages stay queued in order.
bool CheckSynchronize(DWORD timeoutMs = 0);

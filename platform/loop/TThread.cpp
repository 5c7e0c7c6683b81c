#include "platform/loop/TThread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <memory>
#include <unordered_map>

#include "platform/core/Exceptions.h"
#include "platform/loop/LoopCore.h"

namespace {

// A method waiting to run on another thread's loop. The posted CM_EXECPROC
// carries only the call's id, so a message that outlives its call finds
// nothing instead of a freed object.
struct ThreadCall {
    enum class State { Waiting, Ran, Dropped };

    TThreadMethod Method;
    DWORD Target = 0;
    bool RethrowInCaller = true;
    std::mutex Mutex;
    std::condition_variable Signal;
    State Outcome = State::Waiting;
    std::exception_ptr Error;

    void Finish(State outcome, std::exception_ptr error)
    {
        std::lock_guard lock(Mutex);
        Outcome = outcome;
        Error = std::move(error);
        Signal.notify_all();
    }
};

struct CallTable {
    std::mutex Mutex;
    std::unordered_map<std::uint64_t, std::shared_ptr<ThreadCall>> Calls;
    std::uint64_t LastId = 0;
};

CallTable& Calls()
{
    // Never destroyed: detached workers may still call while the process ends.
    static CallTable* table = new CallTable();
    return *table;
}

// `rethrowInCaller` false lets an exception leave the target's dispatch (the
// target's application then reports it) while the caller still goes on.
bool PostThreadCall(DWORD threadId, TThreadMethod method, bool rethrowInCaller)
{
    if (LoopCore::CurrentThreadId() == threadId) {
        method();
        return true;
    }
    auto call = std::make_shared<ThreadCall>();
    call->Method = std::move(method);
    call->Target = threadId;
    call->RethrowInCaller = rethrowInCaller;
    std::uint64_t id = 0;
    {
        std::lock_guard lock(Calls().Mutex);
        id = ++Calls().LastId;
        Calls().Calls.emplace(id, call);
    }
    if (!PostThreadMessage(threadId, CM_EXECPROC, 0, static_cast<LPARAM>(id))) {
        std::lock_guard lock(Calls().Mutex);
        Calls().Calls.erase(id);
        return false;
    }
    std::exception_ptr error;
    {
        std::unique_lock lock(call->Mutex);
        call->Signal.wait(lock, [&] { return call->Outcome != ThreadCall::State::Waiting; });
        if (call->Outcome == ThreadCall::State::Dropped)
            return false;
        // Taken out, so that the exception ends on this thread alone.
        error = std::move(call->Error);
    }
    if (error)
        std::rethrow_exception(error);
    return true;
}

// Steps of nice from normal; the kernel clamps nothing for us.
int NiceOffset(TThreadPriority priority)
{
    switch (priority) {
    case tpIdle: return 19;
    case tpLowest: return 10;
    case tpLower: return 5;
    case tpNormal: return 0;
    case tpHigher: return -5;
    case tpHighest: return -10;
    case tpTimeCritical: return -20;
    }
    return 0;
}

}  // namespace

void RunThreadCall(LPARAM callId)
{
    std::shared_ptr<ThreadCall> call;
    {
        std::lock_guard lock(Calls().Mutex);
        auto found = Calls().Calls.find(static_cast<std::uint64_t>(callId));
        if (found == Calls().Calls.end())
            return;
        call = found->second;
        Calls().Calls.erase(found);
    }
    if (call->RethrowInCaller) {
        std::exception_ptr error;
        try {
            call->Method();
        } catch (...) {
            error = std::current_exception();
        }
        call->Finish(ThreadCall::State::Ran, std::move(error));
        return;
    }
    struct Release {
        ThreadCall& Call;
        ~Release() { Call.Finish(ThreadCall::State::Ran, nullptr); }
    } release{*call};
    call->Method();
}

void DropThreadCallsFor(DWORD threadId)
{
    std::vector<std::shared_ptr<ThreadCall>> dropped;
    {
        std::lock_guard lock(Calls().Mutex);
        for (auto it = Calls().Calls.begin(); it != Calls().Calls.end();) {
            if (it->second->Target == threadId) {
                dropped.push_back(it->second);
                it = Calls().Calls.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& call : dropped)
        call->Finish(ThreadCall::State::Dropped, nullptr);
}

bool RunOnThread(DWORD threadId, TThreadMethod method)
{
    return PostThreadCall(threadId, std::move(method), true);
}

bool CheckSynchronize(DWORD timeoutMs) { return LoopCore::Current().ServeCalls(timeoutMs); }

// ---------------------------------------------------------------- TThread

TThread::TThread() : FCreatorThreadId(LoopCore::Current().ThreadId()) {}

TThread::~TThread()
{
    if (!FThread.joinable())
        return;
    if (FThread.get_id() == std::this_thread::get_id()) {
        // FreeOnTerminate: the thread ends right after this destructor.
        FThread.detach();
        return;
    }
    Terminate();
    WaitUntilDone();
    FThread.join();
}

void TThread::Start()
{
    std::lock_guard lock(FMutex);
    if (FStarted)
        return;
    FStarted = true;
    FThread = std::thread([this] { Run(); });
}

bool TThread::Suspended() const
{
    std::lock_guard lock(FMutex);
    return !FStarted;
}

void TThread::Terminate()
{
    std::lock_guard lock(FMutex);
    FTerminated = true;
}

bool TThread::Terminated() const
{
    std::lock_guard lock(FMutex);
    return FTerminated;
}

bool TThread::Finished() const
{
    std::lock_guard lock(FMutex);
    return FFinished;
}

bool TThread::FreeOnTerminate() const
{
    std::lock_guard lock(FMutex);
    return FFreeOnTerminate;
}

void TThread::SetFreeOnTerminate(bool value)
{
    std::lock_guard lock(FMutex);
    FFreeOnTerminate = value;
}

DWORD TThread::ThreadID() const
{
    std::lock_guard lock(FMutex);
    return FThreadID;
}

std::exception_ptr TThread::FatalException() const
{
    std::lock_guard lock(FMutex);
    return FFatalException;
}

TThreadPriority TThread::Priority() const
{
    std::lock_guard lock(FMutex);
    return FPriority;
}

void TThread::SetPriority(TThreadPriority value)
{
    std::lock_guard lock(FMutex);
    // Before the thread runs the wish is kept for its start; after it ended
    // its id may already name another thread.
    if (FKernelThreadId == 0 || FFinished) {
        FPriority = value;
        return;
    }
    if (ApplyPriority(value))
        FPriority = value;
}

bool TThread::ApplyPriority(TThreadPriority value)
{
    const int nice = std::clamp(FNormalNice + NiceOffset(value), -20, 19);
    // Linux keeps a nice value per thread, addressed by its kernel id.
    return setpriority(PRIO_PROCESS, static_cast<id_t>(FKernelThreadId), nice) == 0;
}

void TThread::Synchronize(TThread*, TThreadMethod method)
{
    PostThreadCall(MainThreadId(), std::move(method), true);
}

int TThread::WaitFor()
{
    {
        std::lock_guard lock(FMutex);
        if (!FStarted)
            throw Exception("Cannot wait for a thread that was never started");
        if (FThread.get_id() == std::this_thread::get_id())
            throw Exception("A thread cannot wait for itself");
    }
    WaitUntilDone();
    std::lock_guard lock(FMutex);
    return FReturnValue;
}

void TThread::WaitUntilDone()
{
    if (LoopCore* core = LoopCore::CurrentIfAny())
        core->WaitServingCalls(FDone);
    else
        FDone.WaitFor(INFINITE);
}

void TThread::Abandon()
{
    {
        std::lock_guard lock(FMutex);
        if (FStarted && !FFinished) {
            FTerminated = true;
            FFreeOnTerminate = true;
            FThread.detach();
            return;
        }
    }
    // Never started, or already done: nothing runs any more, so it can go now.
    delete this;
}

void TThread::Run()
{
    {
        std::lock_guard lock(FMutex);
        FThreadID = LoopCore::CurrentThreadId();
        FKernelThreadId = static_cast<int>(gettid());
        errno = 0;
        const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(FKernelThreadId));
        FNormalNice = errno == 0 ? nice : 0;
        if (FPriority != tpNormal && !ApplyPriority(FPriority))
            FPriority = tpNormal;
    }
    try {
        Execute();
    } catch (...) {
        std::lock_guard lock(FMutex);
        FFatalException = std::current_exception();
    }
    if (OnTerminate)
        PostThreadCall(FCreatorThreadId, [this] {
            if (OnTerminate)
                OnTerminate(this);
        }, false);
    bool freeSelf = false;
    {
        std::lock_guard lock(FMutex);
        FFinished = true;
        freeSelf = FFreeOnTerminate;
        // Signalled under the lock: once a waiter sees it, this thread touches
        // nothing of the object but the unlock.
        FDone.SetEvent();
    }
    if (freeSelf)
        delete this;
}

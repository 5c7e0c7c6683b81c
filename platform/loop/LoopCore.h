#pragma once

// Internal to the loop core: the per-thread core behind Messages.h, FdWatch.h
// and the thread calls of TThread.h. The contract is at the top of Messages.h.

#include <atomic>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/loop/FdWatch.h"
#include "platform/loop/Inbox.h"
#include "platform/loop/Messages.h"

class LoopCore {
public:
    // Creates the calling thread's core on first use. Throws Exception when the
    // thread's core has already ended (a call from a late thread-exit hook).
    static LoopCore& Current();
    static LoopCore* CurrentIfAny();
    // The calling thread's id, without making a core.
    static DWORD CurrentThreadId();
    static std::shared_ptr<Inbox> FindThread(DWORD threadId);

    ~LoopCore();
    LoopCore(const LoopCore&) = delete;
    LoopCore& operator=(const LoopCore&) = delete;

    DWORD ThreadId() const { return FThreadId; }
    const std::shared_ptr<Inbox>& OwnInbox() const { return FInbox; }

    void PostLocal(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void PostQuit(int exitCode);

    // Everything a peek gathers, without blocking.
    void Gather();
    bool Take(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax, bool remove);
    bool Get(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax);
    void WaitMessage();
    DWORD MsgWait(std::span<TEvent* const> events, DWORD timeoutMs);

    // Blocks until `call` is answered, serving messages sent to this thread.
    LRESULT WaitForReply(const SentCall& call);
    // Runs the queued thread calls; with a timeout, waits for the first.
    bool ServeCalls(DWORD timeoutMs);
    // Blocks until `done` is signalled, serving only thread calls meanwhile.
    void WaitServingCalls(TEvent& done);

    UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC procedure);
    bool KillTimer(HWND hwnd, UINT_PTR id);
    void KillWindowTimers(HWND hwnd);
    // For a callback timer's WM_TIMER: runs its procedure and answers true.
    bool RunTimerProcedure(const MSG& msg);

    TFdWatchId Watch(int fd, short events, TFdCallback callback);
    void SetWatchEvents(TFdWatchId watch, short events);
    void Unwatch(TFdWatchId watch);
    TLoopHookId AddHook(bool idle, TLoopHook hook);
    void RemoveHook(TLoopHookId hook);

private:
    using Clock = std::chrono::steady_clock;

    struct Timer {
        HWND Window = 0;
        UINT_PTR Id = 0;
        UINT Interval = 0;
        std::shared_ptr<const TIMERPROC> Procedure;
        Clock::time_point Due;
        std::uint64_t Key = 0;  // process-wide, never reused; also the creation order
        bool Queued = false;
    };
    struct FdWatch {
        int Fd = -1;
        short Events = 0;
        std::shared_ptr<const TFdCallback> Callback;
        bool Busy = false;
    };
    struct Hook {
        bool Idle = false;
        std::shared_ptr<const TLoopHook> Function;
        bool Busy = false;
    };

    explicit LoopCore(DWORD threadId);
    void DrainInbox();
    void RunHooks(bool idle);
    void PollWatches();
    void QueueDueTimers();
    // Blocks in poll() over the wake fd, `extraFds` and, with `everything`, the
    // watches, for at most `timeoutMs` and, with `everything`, the next timer.
    void Block(DWORD timeoutMs, std::span<const int> extraFds, bool everything);
    void Removed(const MSG& msg);
    Timer* FindTimer(HWND hwnd, UINT_PTR id);

    DWORD FThreadId;
    std::shared_ptr<Inbox> FInbox;
    std::deque<MSG> FQueue;
    bool FQuitPending = false;
    int FQuitCode = 0;
    std::vector<Timer> FTimers;
    std::map<TFdWatchId, FdWatch> FWatches;
    std::map<TLoopHookId, Hook> FHooks;
};

// Thread calls still waiting for an ended thread are answered "not run"
// (TThread.cpp keeps them).
void DropThreadCallsFor(DWORD threadId);

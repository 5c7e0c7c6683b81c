#include "platform/loop/LoopCore.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_map>

#include "platform/core/Exceptions.h"
#include "platform/loop/Clock.h"
#include "platform/loop/TEvent.h"
#include "platform/loop/WindowTable.h"

namespace {

// Ids of timers, watches and hooks: process-wide so that none is ever reused.
std::atomic<std::uint64_t> gNextId{1};
std::atomic<DWORD> gNextThreadId{2};  // 1 is the main thread

thread_local DWORD tThreadId = 0;
thread_local LoopCore* tCore = nullptr;
thread_local bool tCoreEnded = false;

// Deletes a worker thread's core when the thread ends. The main thread's core
// is never deleted: static objects may still use it while the process ends.
struct CoreHolder {
    std::unique_ptr<LoopCore> Core;
    ~CoreHolder()
    {
        Core.reset();
        tCore = nullptr;
        tCoreEnded = true;
    }
};
thread_local CoreHolder tHolder;
LoopCore* gMainCore = nullptr;

struct ThreadTable {
    std::mutex Mutex;
    std::unordered_map<DWORD, std::weak_ptr<Inbox>> Inboxes;
};

ThreadTable& Threads()
{
    static ThreadTable* table = new ThreadTable();
    return *table;
}

bool InFilter(const MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (hwnd != 0 && msg.hwnd != hwnd)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

bool QuitInFilter(HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (hwnd != 0)
        return false;
    return (filterMin == 0 && filterMax == 0) || (WM_QUIT >= filterMin && WM_QUIT <= filterMax);
}

// Clears a busy mark however the callback ends.
template <typename Map>
struct BusyGuard {
    Map& Items;
    typename Map::key_type Key;
    ~BusyGuard()
    {
        auto found = Items.find(Key);
        if (found != Items.end())
            found->second.Busy = false;
    }
};

}  // namespace

// ---------------------------------------------------------------- LoopCore: threads

DWORD LoopCore::CurrentThreadId()
{
    if (tThreadId == 0)
        tThreadId = gettid() == getpid() ? MainThreadId() : gNextThreadId.fetch_add(1);
    return tThreadId;
}

LoopCore& LoopCore::Current()
{
    if (tCore)
        return *tCore;
    if (tCoreEnded)
        throw Exception("The message loop of this thread has already ended");
    DWORD threadId = CurrentThreadId();
    std::unique_ptr<LoopCore> core(new LoopCore(threadId));
    {
        std::lock_guard lock(Threads().Mutex);
        Threads().Inboxes[threadId] = core->FInbox;
    }
    tCore = core.get();
    if (threadId == MainThreadId())
        gMainCore = core.release();
    else
        tHolder.Core = std::move(core);
    return *tCore;
}

LoopCore* LoopCore::CurrentIfAny() { return tCore; }

std::shared_ptr<Inbox> LoopCore::FindThread(DWORD threadId)
{
    std::lock_guard lock(Threads().Mutex);
    auto found = Threads().Inboxes.find(threadId);
    return found == Threads().Inboxes.end() ? nullptr : found->second.lock();
}

LoopCore::LoopCore(DWORD threadId) : FThreadId(threadId), FInbox(std::make_shared<Inbox>(threadId)) {}

LoopCore::~LoopCore()
{
    FInbox->Close();
    {
        std::lock_guard lock(Threads().Mutex);
        Threads().Inboxes.erase(FThreadId);
    }
    // The thread is gone, so its windows go silently: their procedures may
    // belong to objects that no longer exist.
    for (HWND hwnd : WindowTable::Instance().WindowsOf(FThreadId))
        WindowTable::Instance().Remove(hwnd);
    DropThreadCallsFor(FThreadId);
}

// ---------------------------------------------------------------- posting and taking

void LoopCore::PostLocal(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    FQueue.push_back(MSG{hwnd, message, wParam, lParam, timeGetTime()});
}

void LoopCore::PostQuit(int exitCode)
{
    FQuitPending = true;
    FQuitCode = exitCode;
}

bool LoopCore::Take(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax, bool remove)
{
    for (auto it = FQueue.begin(); it != FQueue.end(); ++it) {
        if (!InFilter(*it, hwnd, filterMin, filterMax))
            continue;
        msg = *it;
        if (remove) {
            FQueue.erase(it);
            Removed(msg);
        }
        return true;
    }
    if (FQuitPending && QuitInFilter(hwnd, filterMin, filterMax)) {
        msg = MSG{0, WM_QUIT, static_cast<WPARAM>(FQuitCode), 0, timeGetTime()};
        if (remove)
            FQuitPending = false;
        return true;
    }
    return false;
}

void LoopCore::Removed(const MSG& msg)
{
    if (msg.message != WM_TIMER)
        return;
    if (Timer* timer = FindTimer(msg.hwnd, msg.wParam))
        timer->Queued = false;
}

// ---------------------------------------------------------------- gathering

void LoopCore::Gather()
{
    DrainInbox();
    RunHooks(false);
    PollWatches();
    QueueDueTimers();
}

void LoopCore::DrainInbox()
{
    // Clear before taking: a post after the take writes the fd again, so a
    // following poll cannot miss it.
    FInbox->ClearWake();
    std::deque<std::shared_ptr<SentCall>> sent;
    FInbox->TakeAll(FQueue, sent);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        SentCall& call = *sent[i];
        // Whatever happens in the procedure, the sender is released (with 0 if it throws),
        // and so are the senders behind it.
        struct Answer {
            std::deque<std::shared_ptr<SentCall>>& Calls;
            std::size_t Index;
            bool Answered = false;
            ~Answer()
            {
                if (Answered)
                    return;
                for (std::size_t j = Index; j < Calls.size(); ++j)
                    Inbox::Complete(*Calls[j], 0);
            }
        } answer{sent, i};
        LRESULT result = CallWindowProcedure(call.Message.hwnd, call.Message.message,
                                             call.Message.wParam, call.Message.lParam);
        answer.Answered = true;
        Inbox::Complete(call, result);
    }
}

void LoopCore::RunHooks(bool idle)
{
    std::vector<TLoopHookId> ids;
    for (const auto& [id, hook] : FHooks)
        if (hook.Idle == idle)
            ids.push_back(id);
    for (TLoopHookId id : ids) {
        auto found = FHooks.find(id);
        if (found == FHooks.end() || found->second.Busy)
            continue;
        found->second.Busy = true;
        std::shared_ptr<const TLoopHook> function = found->second.Function;
        BusyGuard<decltype(FHooks)> guard{FHooks, id};
        (*function)();
    }
}

void LoopCore::PollWatches()
{
    std::vector<pollfd> fds;
    std::vector<TFdWatchId> ids;
    for (const auto& [id, watch] : FWatches) {
        if (watch.Events == 0 || watch.Busy)
            continue;
        fds.push_back(pollfd{watch.Fd, watch.Events, 0});
        ids.push_back(id);
    }
    if (fds.empty())
        return;
    if (poll(fds.data(), fds.size(), 0) <= 0)
        return;
    for (std::size_t i = 0; i < fds.size(); ++i) {
        if (fds[i].revents == 0)
            continue;
        auto found = FWatches.find(ids[i]);
        // An earlier callback may have removed, paused or re-entered this one.
        if (found == FWatches.end() || found->second.Busy || found->second.Events == 0)
            continue;
        found->second.Busy = true;
        std::shared_ptr<const TFdCallback> callback = found->second.Callback;
        int fd = found->second.Fd;
        BusyGuard<decltype(FWatches)> guard{FWatches, ids[i]};
        (*callback)(fd, fds[i].revents);
    }
}

void LoopCore::QueueDueTimers()
{
    Clock::time_point now = Clock::now();
    std::vector<Timer*> due;
    for (Timer& timer : FTimers)
        if (timer.Due <= now)
            due.push_back(&timer);
    std::sort(due.begin(), due.end(), [](const Timer* a, const Timer* b) {
        return a->Due != b->Due ? a->Due < b->Due : a->Key < b->Key;
    });
    for (Timer* timer : due) {
        if (!timer->Queued) {
            LPARAM key = timer->Procedure ? static_cast<LPARAM>(timer->Key) : 0;
            PostLocal(timer->Window, WM_TIMER, timer->Id, key);
            timer->Queued = true;
        }
        timer->Due = now + std::chrono::milliseconds(timer->Interval);
    }
}

void LoopCore::Block(DWORD timeoutMs, std::span<const int> extraFds, bool everything)
{
    std::vector<pollfd> fds;
    fds.push_back(pollfd{FInbox->WakeFd(), POLLIN, 0});
    for (int fd : extraFds)
        fds.push_back(pollfd{fd, POLLIN, 0});
    long long timeout = timeoutMs == INFINITE ? -1 : static_cast<long long>(timeoutMs);
    if (everything) {
        for (const auto& [id, watch] : FWatches)
            if (watch.Events != 0 && !watch.Busy)
                fds.push_back(pollfd{watch.Fd, watch.Events, 0});
        if (!FTimers.empty()) {
            Clock::time_point next = FTimers.front().Due;
            for (const Timer& timer : FTimers)
                next = std::min(next, timer.Due);
            auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
            wait = std::max<long long>(wait, 0);
            timeout = timeout < 0 ? wait : std::min<long long>(timeout, wait);
        }
    }
    int limit = static_cast<int>(std::min<long long>(timeout, 0x7FFFFFFF));
    // EINTR only ends the wait early; the callers look again.
    poll(fds.data(), fds.size(), limit);
}

// ---------------------------------------------------------------- waits

bool LoopCore::Get(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    for (;;) {
        Gather();
        if (Take(msg, hwnd, filterMin, filterMax, true))
            return msg.message != WM_QUIT;
        RunHooks(true);
        if (Take(msg, hwnd, filterMin, filterMax, true))
            return msg.message != WM_QUIT;
        Block(INFINITE, {}, true);
    }
}

void LoopCore::WaitMessage()
{
    for (;;) {
        Gather();
        if (!FQueue.empty() || FQuitPending)
            return;
        RunHooks(true);
        if (!FQueue.empty() || FQuitPending)
            return;
        Block(INFINITE, {}, true);
    }
}

DWORD LoopCore::MsgWait(std::span<TEvent* const> events, DWORD timeoutMs)
{
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<int> fds;
    for (TEvent* event : events)
        if (event)
            fds.push_back(event->Handle());
    const DWORD messageResult = WAIT_OBJECT_0 + static_cast<DWORD>(events.size());
    for (;;) {
        for (std::size_t i = 0; i < events.size(); ++i)
            if (events[i] && events[i]->TryTake())
                return WAIT_OBJECT_0 + static_cast<DWORD>(i);
        Gather();
        if (!FQueue.empty() || FQuitPending)
            return messageResult;
        DWORD remaining = INFINITE;
        if (timeoutMs != INFINITE) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return WAIT_TIMEOUT;
            remaining = static_cast<DWORD>(left);
        }
        RunHooks(true);
        if (!FQueue.empty() || FQuitPending)
            return messageResult;
        Block(remaining, fds, true);
    }
}

LRESULT LoopCore::WaitForReply(const SentCall& call)
{
    for (;;) {
        if (call.Done.load(std::memory_order_acquire))
            return call.Result;
        DrainInbox();
        if (call.Done.load(std::memory_order_acquire))
            return call.Result;
        Block(INFINITE, {}, false);
    }
}

bool LoopCore::ServeCalls(DWORD timeoutMs)
{
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        DrainInbox();
        bool ran = false;
        MSG msg;
        while (Take(msg, 0, CM_EXECPROC, CM_EXECPROC, true)) {
            ::DispatchMessage(msg);
            ran = true;
        }
        if (ran)
            return true;
        if (timeoutMs == 0)
            return false;
        DWORD remaining = INFINITE;
        if (timeoutMs != INFINITE) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return false;
            remaining = static_cast<DWORD>(left);
        }
        Block(remaining, {}, false);
    }
}

void LoopCore::WaitServingCalls(TEvent& done)
{
    const int fds[] = {done.Handle()};
    for (;;) {
        if (done.TryTake())
            return;
        DrainInbox();
        MSG msg;
        bool ran = false;
        while (Take(msg, 0, CM_EXECPROC, CM_EXECPROC, true)) {
            ::DispatchMessage(msg);
            ran = true;
        }
        if (!ran)
            Block(INFINITE, fds, false);
    }
}

// ---------------------------------------------------------------- timers

LoopCore::Timer* LoopCore::FindTimer(HWND hwnd, UINT_PTR id)
{
    for (Timer& timer : FTimers)
        if (timer.Window == hwnd && timer.Id == id)
            return &timer;
    return nullptr;
}

UINT_PTR LoopCore::SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC procedure)
{
    if (hwnd != 0) {
        std::optional<WindowTarget> target = WindowTable::Instance().Target(hwnd);
        if (!target || target->ThreadId != FThreadId)
            return 0;
    }
    UINT interval = std::max(elapseMs, USER_TIMER_MINIMUM);
    auto shared = procedure ? std::make_shared<const TIMERPROC>(std::move(procedure)) : nullptr;
    Clock::time_point due = Clock::now() + std::chrono::milliseconds(interval);
    if (Timer* existing = (hwnd != 0 || id != 0) ? FindTimer(hwnd, id) : nullptr) {
        existing->Interval = interval;
        existing->Procedure = std::move(shared);
        existing->Due = due;
        return existing->Id;
    }
    Timer timer;
    timer.Window = hwnd;
    timer.Key = gNextId.fetch_add(1);
    timer.Id = hwnd != 0 ? id : static_cast<UINT_PTR>(timer.Key);
    timer.Interval = interval;
    timer.Procedure = std::move(shared);
    timer.Due = due;
    FTimers.push_back(std::move(timer));
    return FTimers.back().Id;
}

bool LoopCore::KillTimer(HWND hwnd, UINT_PTR id)
{
    auto found = std::find_if(FTimers.begin(), FTimers.end(), [&](const Timer& timer) {
        return timer.Window == hwnd && timer.Id == id;
    });
    if (found == FTimers.end())
        return false;
    FTimers.erase(found);
    std::erase_if(FQueue, [&](const MSG& msg) {
        return msg.message == WM_TIMER && msg.hwnd == hwnd && msg.wParam == id;
    });
    return true;
}

void LoopCore::KillWindowTimers(HWND hwnd)
{
    std::vector<UINT_PTR> ids;
    for (const Timer& timer : FTimers)
        if (timer.Window == hwnd)
            ids.push_back(timer.Id);
    for (UINT_PTR id : ids)
        KillTimer(hwnd, id);
}

bool LoopCore::RunTimerProcedure(const MSG& msg)
{
    if (msg.lParam == 0)
        return false;
    Timer* timer = FindTimer(msg.hwnd, msg.wParam);
    if (!timer || !timer->Procedure || static_cast<LPARAM>(timer->Key) != msg.lParam)
        return false;
    std::shared_ptr<const TIMERPROC> procedure = timer->Procedure;
    (*procedure)(msg.hwnd, WM_TIMER, msg.wParam, msg.time);
    return true;
}

// ---------------------------------------------------------------- watches and hooks

TFdWatchId LoopCore::Watch(int fd, short events, TFdCallback callback)
{
    if (fd < 0 || !callback)
        throw Exception("WatchFd needs an open descriptor and a callback");
    TFdWatchId id = gNextId.fetch_add(1);
    FWatches.emplace(id, FdWatch{fd, events, std::make_shared<const TFdCallback>(std::move(callback)), false});
    return id;
}

void LoopCore::SetWatchEvents(TFdWatchId watch, short events)
{
    auto found = FWatches.find(watch);
    if (found != FWatches.end())
        found->second.Events = events;
}

void LoopCore::Unwatch(TFdWatchId watch) { FWatches.erase(watch); }

TLoopHookId LoopCore::AddHook(bool idle, TLoopHook hook)
{
    if (!hook)
        throw Exception("A loop hook needs a function");
    TLoopHookId id = gNextId.fetch_add(1);
    FHooks.emplace(id, Hook{idle, std::make_shared<const TLoopHook>(std::move(hook)), false});
    return id;
}

void LoopCore::RemoveHook(TLoopHookId hook) { FHooks.erase(hook); }

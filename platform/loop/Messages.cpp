#include "platform/loop/Messages.h"

#include "platform/loop/LoopCore.h"
#include "platform/loop/TEvent.h"
#include "platform/loop/TThread.h"
#include "platform/loop/WindowTable.h"

// Runs a thread call posted by RunOnThread (TThread.cpp).
void RunThreadCall(LPARAM callId);

DWORD GetCurrentThreadId() { return LoopCore::Current().ThreadId(); }

DWORD MainThreadId() { return 1; }

bool PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hwnd == 0) {
        LoopCore::Current().PostLocal(0, message, wParam, lParam);
        return true;
    }
    std::optional<WindowTarget> target = WindowTable::Instance().Target(hwnd);
    if (!target)
        return false;
    LoopCore* core = LoopCore::CurrentIfAny();
    if (core && core->ThreadId() == target->ThreadId) {
        core->PostLocal(hwnd, message, wParam, lParam);
        return true;
    }
    return target->Owner && target->Owner->Post(MSG{hwnd, message, wParam, lParam, 0});
}

bool PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    LoopCore* core = LoopCore::CurrentIfAny();
    if (core && core->ThreadId() == threadId) {
        core->PostLocal(0, message, wParam, lParam);
        return true;
    }
    std::shared_ptr<Inbox> inbox = LoopCore::FindThread(threadId);
    return inbox && inbox->Post(MSG{0, message, wParam, lParam, 0});
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::optional<WindowTarget> target = WindowTable::Instance().Target(hwnd);
    if (!target)
        return 0;
    LoopCore& core = LoopCore::Current();
    if (core.ThreadId() == target->ThreadId)
        return CallWindowProcedure(hwnd, message, wParam, lParam);
    if (!target->Owner)
        return 0;
    auto call = std::make_shared<SentCall>();
    call->Message = MSG{hwnd, message, wParam, lParam, 0};
    call->ReplyTo = core.OwnInbox();
    if (!target->Owner->Send(call))
        return 0;
    return core.WaitForReply(*call);
}

bool PeekMessage(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    LoopCore& core = LoopCore::Current();
    core.Gather();
    return core.Take(msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0);
}

bool GetMessage(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    return LoopCore::Current().Get(msg, hwnd, filterMin, filterMax);
}

bool TranslateMessage(const MSG&) { return false; }

LRESULT DispatchMessage(const MSG& msg)
{
    if (msg.message == WM_TIMER && LoopCore::Current().RunTimerProcedure(msg))
        return 0;
    if (msg.hwnd == 0) {
        if (msg.message == CM_EXECPROC)
            RunThreadCall(msg.lParam);
        return 0;
    }
    return CallWindowProcedure(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

void PostQuitMessage(int exitCode) { LoopCore::Current().PostQuit(exitCode); }

void WaitMessage() { LoopCore::Current().WaitMessage(); }

DWORD MsgWaitForMultipleObjects(std::span<TEvent* const> events, DWORD timeoutMs)
{
    return LoopCore::Current().MsgWait(events, timeoutMs);
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC procedure)
{
    return LoopCore::Current().SetTimer(hwnd, id, elapseMs, std::move(procedure));
}

bool KillTimer(HWND hwnd, UINT_PTR id) { return LoopCore::Current().KillTimer(hwnd, id); }

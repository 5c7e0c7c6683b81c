#pragma once

// The message loop core: posted messages, peeking, dispatching, timers.
//
// Contract:
// - One loop core per thread, created by that thread's first call into this
//   folder and reached through the thread itself (thread_local), never through
//   a global object. It ends with its thread; the windows it owns end with it.
// - A thread's posted messages form one FIFO across all windows of that thread.
//   Posting never dispatches synchronously; it only appends.
// - Window handles are increasing ids, never reused while the process lives. A
//   message for a window destroyed after posting is dropped at dispatch, never
//   delivered to a newer window.
// - Every peek first gathers readiness: messages posted by other threads (a
//   locked inbox woken through an eventfd) and messages sent by them, the
//   gather hooks, a zero-timeout poll over the watched fds (their callbacks run
//   here, inside the peek), and the timers that are due. All of it becomes
//   queued messages or callbacks before the head of the queue is taken.
// - GetMessage, WaitMessage and MsgWaitForMultipleObjects block in poll() until
//   the next post, watched fd, event or timer; they never spin.
// - Timers fire in the order of their due time, and re-arm `interval` after the
//   moment they were found due. A timer's WM_TIMER is queued only when the queue
//   holds none for that timer yet, so a slow reader sees one, not a burst.
//   Timers work for hidden windows and inside nested loops, since every peek
//   gathers them.
// - PostQuitMessage sets the thread's quit flag; WM_QUIT is retrieved once the
//   posted messages before it are gone, and GetMessage then answers false. A
//   WM_QUIT posted with PostMessage is an ordinary FIFO entry.
// - A nested loop is only another caller of PeekMessage or GetMessage; it sees
//   the same FIFO and ends when its caller stops pumping.
// - Exceptions thrown by window procedures, timer procedures and fd callbacks
//   leave the DispatchMessage or peek that ran them; the application object
//   catches them at its loop.

#include <cstdint>
#include <functional>
#include <span>

using HWND = std::uint64_t;  // 0 means "no window" (a thread message).
using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;

struct MSG {
    HWND hwnd = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;  // timeGetTime() when the message was queued
};

// Window messages the layers use, with their Windows numbers.
inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_ENABLE = 0x000A;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_NCDESTROY = 0x0082;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_SYSKEYUP = 0x0105;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_HSCROLL = 0x0114;
inline constexpr UINT WM_VSCROLL = 0x0115;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_MBUTTONDOWN = 0x0207;
inline constexpr UINT WM_MBUTTONUP = 0x0208;
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;
// A thread call (see TThread.h): a thread message that DispatchMessage runs.
inline constexpr UINT CM_EXECPROC = 0x8FFF;

// PeekMessage flags.
inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;
inline constexpr UINT PM_NOYIELD = 0x0002;  // accepted, no effect

// Waits.
inline constexpr DWORD INFINITE = 0xFFFFFFFF;
inline constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
inline constexpr DWORD WAIT_TIMEOUT = 0x00000102;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

// Timers shorter than this run at this interval, as on Windows.
inline constexpr UINT USER_TIMER_MINIMUM = 10;

// The layer's thread ids: small, increasing, never reused. Calling it gives the
// thread its loop core.
DWORD GetCurrentThreadId();
// The process's initial thread, where Synchronize runs.
DWORD MainThreadId();

// Posts to the queue of the thread that owns `hwnd`, from any thread. A null
// `hwnd` posts a thread message to the calling thread. False when the window
// does not exist (or its thread has ended).
bool PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// False when the thread has ended or never had a loop core.
bool PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the window procedure at once on the owning thread. From another thread
// it waits until the owner's next peek runs it, serving messages sent to the
// caller meanwhile. 0 for an unknown window or an owner that ends first.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Gathers, then looks for the first queued message for `hwnd` (0: any, thread
// messages included) within [filterMin, filterMax] (both 0: any number).
bool PeekMessage(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Blocks until a matching message is there and removes it; false for WM_QUIT.
bool GetMessage(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax);
// Key translation happens in the display backend; this answers false.
bool TranslateMessage(const MSG& msg);
// Runs the window procedure (or the timer procedure of a callback timer's
// WM_TIMER, or a thread call). Messages for destroyed windows and other thread
// messages are dropped and give 0.
LRESULT DispatchMessage(const MSG& msg);
void PostQuitMessage(int exitCode);

// Blocks until the queue holds a message (at once if it already does).
void WaitMessage();

class TEvent;
// Waits until one of `events` is signalled (WAIT_OBJECT_0 + index, consuming an
// auto-reset event), the queue holds a message (WAIT_OBJECT_0 + events.size()),
// or `timeoutMs` passes (WAIT_TIMEOUT). Gathers like a peek while waiting.
DWORD MsgWaitForMultipleObjects(std::span<TEvent* const> events, DWORD timeoutMs);

// Timers. `procedure` may be empty (WM_TIMER goes to the window procedure).
// With `hwnd` 0 a new id is made and returned (the given id is ignored unless
// it names an existing thread timer, which is then reset); otherwise `id` is
// the window's timer id and an existing one is reset. 0 on failure (no such
// window, or a window of another thread).
using TIMERPROC = std::function<void(HWND hwnd, UINT message, UINT_PTR id, DWORD time)>;
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC procedure = {});
// Stops the timer and drops its queued WM_TIMER. False when there is none.
bool KillTimer(HWND hwnd, UINT_PTR id);

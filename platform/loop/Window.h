#pragma once

// Window classes and windows of the loop core (see Messages.h for the loop
// contract).
//
// Windows here are message targets: a procedure, pointer-sized extra words and
// an owning thread. They have no pixels; the display backend gives visible
// controls their widgets. Classes are process-wide; a window belongs to the
// thread that created it, and only that thread may destroy it. Handles are
// never reused, so a stale handle simply finds nothing.

#include <functional>
#include <string>
#include <string_view>

#include "platform/loop/Messages.h"

using WNDPROC = std::function<LRESULT(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)>;

// Named so that it cannot be mistaken for the class registry's RegisterClass.
struct WNDCLASS {
    std::string lpszClassName;
    WNDPROC lpfnWndProc;
    int cbWndExtra = 0;  // bytes of extra words, in units of sizeof(LONG_PTR)
};

// Styles accepted for fidelity; windows here are never shown.
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;

// Extra word index of the per-window user value that every window has.
inline constexpr int GWLP_USERDATA = -21;

// False when a class of that name exists already (names compare
// case-insensitively, as on Windows), the name is empty, or cbWndExtra is
// negative or not a multiple of sizeof(LONG_PTR).
bool RegisterWindowClass(const WNDCLASS& windowClass);
// Fills `windowClass` and answers true when the class exists.
bool GetWindowClassInfo(std::string_view className, WNDCLASS& windowClass);
// False when there is no such class or windows of it still exist.
bool UnregisterWindowClass(std::string_view className);

// Sends WM_CREATE before it returns; a procedure answering -1 to it makes the
// creation fail (0). 0 also for an unknown class.
HWND CreateWindowEx(DWORD exStyle, std::string_view className, std::string_view windowName,
                    DWORD style, int x, int y, int width, int height, HWND parent);
// Sends WM_DESTROY and WM_NCDESTROY, kills the window's timers and forgets it.
// False for an unknown window or one owned by another thread. Destroying a
// window from inside its own procedure is allowed.
bool DestroyWindow(HWND hwnd);
bool IsWindow(HWND hwnd);
// The owner's thread id; 0 for an unknown window.
DWORD GetWindowThreadId(HWND hwnd);
std::string GetWindowClassName(HWND hwnd);

// Extra words: `index` is a byte offset (0, 8, ...) below cbWndExtra, or
// GWLP_USERDATA. Set answers the previous value. Both throw Exception for an
// index outside the window's extra bytes; both answer 0 for an unknown window.
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
// Replaces the window's procedure (subclassing); answers the previous one.
WNDPROC SetWindowProc(HWND hwnd, WNDPROC procedure);

// The default procedure: WM_CLOSE destroys the window, everything else gives 0.
LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A hidden window with its own procedure and no class of the caller's, as the
// socket and component layers use for their notifications.
HWND AllocateHWnd(WNDPROC procedure);
void DeallocateHWnd(HWND hwnd);

#include "platform/loop/Window.h"

#include <mutex>

#include "platform/loop/LoopCore.h"
#include "platform/loop/WindowTable.h"

namespace {

constexpr const char* UtilityClassName = "TPUtilWindow";

void RegisterUtilityClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASS windowClass;
        windowClass.lpszClassName = UtilityClassName;
        WindowTable::Instance().AddClass(windowClass);
    });
}

HWND MakeWindow(std::string_view className, const WNDPROC* procedureOverride)
{
    LoopCore& core = LoopCore::Current();
    WindowTable& table = WindowTable::Instance();
    HWND hwnd = table.Add(className, core.ThreadId(), core.OwnInbox(), procedureOverride);
    if (hwnd == 0)
        return 0;
    if (CallWindowProcedure(hwnd, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(hwnd);
        return 0;
    }
    return hwnd;
}

}  // namespace

bool RegisterWindowClass(const WNDCLASS& windowClass)
{
    return WindowTable::Instance().AddClass(windowClass);
}

bool GetWindowClassInfo(std::string_view className, WNDCLASS& windowClass)
{
    std::optional<WNDCLASS> found = WindowTable::Instance().FindClass(className);
    if (!found)
        return false;
    windowClass = *found;
    return true;
}

bool UnregisterWindowClass(std::string_view className)
{
    return WindowTable::Instance().RemoveClass(className);
}

HWND CreateWindowEx(DWORD, std::string_view className, std::string_view, DWORD, int, int, int,
                    int, HWND)
{
    return MakeWindow(className, nullptr);
}

bool DestroyWindow(HWND hwnd)
{
    WindowTable& table = WindowTable::Instance();
    if (!table.BeginDestroy(hwnd, LoopCore::CurrentThreadId()))
        return false;
    // The window is forgotten even when a procedure throws.
    struct Forget {
        HWND Handle;
        ~Forget()
        {
            if (LoopCore* core = LoopCore::CurrentIfAny())
                core->KillWindowTimers(Handle);
            WindowTable::Instance().Remove(Handle);
        }
    } forget{hwnd};
    CallWindowProcedure(hwnd, WM_DESTROY, 0, 0);
    CallWindowProcedure(hwnd, WM_NCDESTROY, 0, 0);
    return true;
}

bool IsWindow(HWND hwnd) { return hwnd != 0 && WindowTable::Instance().Exists(hwnd); }

DWORD GetWindowThreadId(HWND hwnd)
{
    std::optional<WindowTarget> target = WindowTable::Instance().Target(hwnd);
    return target ? target->ThreadId : 0;
}

std::string GetWindowClassName(HWND hwnd) { return WindowTable::Instance().ClassName(hwnd); }

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value)
{
    return WindowTable::Instance().SetLong(hwnd, index, value);
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) { return WindowTable::Instance().GetLong(hwnd, index); }

WNDPROC SetWindowProc(HWND hwnd, WNDPROC procedure)
{
    return WindowTable::Instance().ReplaceProcedure(hwnd, std::move(procedure));
}

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE)
        DestroyWindow(hwnd);
    return 0;
}

HWND AllocateHWnd(WNDPROC procedure)
{
    RegisterUtilityClass();
    return MakeWindow(UtilityClassName, &procedure);
}

void DeallocateHWnd(HWND hwnd) { DestroyWindow(hwnd); }

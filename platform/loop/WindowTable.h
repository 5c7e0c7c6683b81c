#pragma once

// Internal to the loop core: the process-wide tables of window classes and
// windows. Posting from any thread needs the owner of a handle, so the tables
// are shared and locked; procedures are called with the lock released.

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/loop/Window.h"

class Inbox;

struct WindowRecord {
    DWORD ThreadId = 0;
    std::weak_ptr<Inbox> Owner;
    std::string ClassName;
    std::shared_ptr<const WNDPROC> Procedure;  // copied out for each call
    std::vector<LONG_PTR> Extra;
    LONG_PTR UserData = 0;
    bool Destroying = false;
};

// Where a message for a window goes.
struct WindowTarget {
    DWORD ThreadId = 0;
    std::shared_ptr<Inbox> Owner;
};

class WindowTable {
public:
    static WindowTable& Instance();

    bool AddClass(const WNDCLASS& windowClass);
    std::optional<WNDCLASS> FindClass(std::string_view name) const;
    bool RemoveClass(std::string_view name);

    // 0 for an unknown class.
    HWND Add(std::string_view className, DWORD threadId, std::weak_ptr<Inbox> owner,
             const WNDPROC* procedureOverride);
    void Remove(HWND hwnd);
    bool Exists(HWND hwnd) const;
    std::optional<WindowTarget> Target(HWND hwnd) const;
    // Marks the window as being destroyed; false when it is unknown, owned by
    // another thread or already on its way out.
    bool BeginDestroy(HWND hwnd, DWORD callerThreadId);
    std::shared_ptr<const WNDPROC> Procedure(HWND hwnd) const;
    WNDPROC ReplaceProcedure(HWND hwnd, WNDPROC procedure);
    std::string ClassName(HWND hwnd) const;
    LONG_PTR SetLong(HWND hwnd, int index, LONG_PTR value);
    LONG_PTR GetLong(HWND hwnd, int index) const;
    // The windows of a thread, for its loop core's end.
    std::vector<HWND> WindowsOf(DWORD threadId) const;

private:
    WindowTable() = default;
    LONG_PTR* Slot(WindowRecord& record, int index) const;

    mutable std::mutex FMutex;
    std::unordered_map<std::string, WNDCLASS> FClasses;  // keyed by lower-case name
    std::unordered_map<HWND, WindowRecord> FWindows;
    HWND FLastHandle = 0;
};

// Calls the window's current procedure (DefWindowProc without one); 0 for an
// unknown window.
LRESULT CallWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

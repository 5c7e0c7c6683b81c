#include "platform/loop/WindowTable.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "platform/core/Exceptions.h"

namespace {

std::string LowerCase(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

}  // namespace

WindowTable& WindowTable::Instance()
{
    // Never destroyed: detached workers may still post while the process ends.
    static WindowTable* table = new WindowTable();
    return *table;
}

bool WindowTable::AddClass(const WNDCLASS& windowClass)
{
    if (windowClass.lpszClassName.empty() || windowClass.cbWndExtra < 0 ||
        windowClass.cbWndExtra % static_cast<int>(sizeof(LONG_PTR)) != 0)
        return false;
    std::lock_guard lock(FMutex);
    return FClasses.emplace(LowerCase(windowClass.lpszClassName), windowClass).second;
}

std::optional<WNDCLASS> WindowTable::FindClass(std::string_view name) const
{
    std::lock_guard lock(FMutex);
    auto found = FClasses.find(LowerCase(name));
    if (found == FClasses.end())
        return std::nullopt;
    return found->second;
}

bool WindowTable::RemoveClass(std::string_view name)
{
    std::string key = LowerCase(name);
    std::lock_guard lock(FMutex);
    auto found = FClasses.find(key);
    if (found == FClasses.end())
        return false;
    for (const auto& [handle, record] : FWindows)
        if (LowerCase(record.ClassName) == key)
            return false;
    FClasses.erase(found);
    return true;
}

HWND WindowTable::Add(std::string_view className, DWORD threadId, std::weak_ptr<Inbox> owner,
                      const WNDPROC* procedureOverride)
{
    std::lock_guard lock(FMutex);
    auto found = FClasses.find(LowerCase(className));
    if (found == FClasses.end())
        return 0;
    const WNDCLASS& windowClass = found->second;
    WindowRecord record;
    record.ThreadId = threadId;
    record.Owner = std::move(owner);
    record.ClassName = windowClass.lpszClassName;
    record.Procedure = std::make_shared<const WNDPROC>(procedureOverride ? *procedureOverride
                                                                         : windowClass.lpfnWndProc);
    record.Extra.assign(static_cast<std::size_t>(windowClass.cbWndExtra) / sizeof(LONG_PTR), 0);
    HWND handle = ++FLastHandle;
    FWindows.emplace(handle, std::move(record));
    return handle;
}

void WindowTable::Remove(HWND hwnd)
{
    std::lock_guard lock(FMutex);
    FWindows.erase(hwnd);
}

bool WindowTable::Exists(HWND hwnd) const
{
    std::lock_guard lock(FMutex);
    return FWindows.count(hwnd) != 0;
}

std::optional<WindowTarget> WindowTable::Target(HWND hwnd) const
{
    std::lock_guard lock(FMutex);
    auto found = FWindows.find(hwnd);
    if (found == FWindows.end())
        return std::nullopt;
    return WindowTarget{found->second.ThreadId, found->second.Owner.lock()};
}

bool WindowTable::BeginDestroy(HWND hwnd, DWORD callerThreadId)
{
    std::lock_guard lock(FMutex);
    auto found = FWindows.find(hwnd);
    if (found == FWindows.end() || found->second.ThreadId != callerThreadId ||
        found->second.Destroying)
        return false;
    found->second.Destroying = true;
    return true;
}

std::shared_ptr<const WNDPROC> WindowTable::Procedure(HWND hwnd) const
{
    std::lock_guard lock(FMutex);
    auto found = FWindows.find(hwnd);
    if (found == FWindows.end())
        return nullptr;
    return found->second.Procedure;
}

WNDPROC WindowTable::ReplaceProcedure(HWND hwnd, WNDPROC procedure)
{
    std::lock_guard lock(FMutex);
    auto found = FWindows.find(hwnd);
    if (found == FWindows.end())
        return {};
    WNDPROC previous = *found->second.Procedure;
    found->second.Procedure = std::make_shared<const WNDPROC>(std::move(procedure));
    return previous;
}

std::string WindowTable::ClassName(HWND hwnd) const
{
    std::lock_guard lock(FMutex);
    auto found = FWindows.find(hwnd);
    return found == FWindows.end() ? std::string() : found->second.ClassName;
}

LONG_PTR* WindowTable::Slot(WindowRecord& record, int index) const
{
    if (index == GWLP_USERDATA)
        return &record.UserData;
    constexpr int width = static_cast<int>(sizeof(LONG_PTR));
    if (index < 0 || index % width != 0 ||
        static_cast<std::size_t>(index / width) >= record.Extra.size())
        throw Exception("Window extra word index " + std::to_string(index) +
                        " is outside the window's extra bytes");
    return &record.Extra[static_cast<std::size_t>(index / width)];
}

LONG_PTR WindowTable::SetLong(HWND hwnd, int index, LONG_PTR value)
{
    std::lock_guard lock(FMutex);
    auto found = FWindows.find(hwnd);
    if (found == FWindows.end())
        return 0;
    LONG_PTR* slot = Slot(found->second, index);
    return std::exchange(*slot, value);
}

LONG_PTR WindowTable::GetLong(HWND hwnd, int index) const
{
    std::lock_guard lock(FMutex);
    auto found = FWindows.find(hwnd);
    if (found == FWindows.end())
        return 0;
    // Slot does not change the record; the cast only shares the lookup code.
    return *Slot(const_cast<WindowRecord&>(found->second), index);
}

std::vector<HWND> WindowTable::WindowsOf(DWORD threadId) const
{
    std::lock_guard lock(FMutex);
    std::vector<HWND> result;
    for (const auto& [handle, record] : FWindows)
        if (record.ThreadId == threadId)
            result.push_back(handle);
    std::sort(result.begin(), result.end());
    return result;
}

LRESULT CallWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<const WNDPROC> procedure = WindowTable::Instance().Procedure(hwnd);
    if (!procedure)
        return 0;
    if (!*procedure)
        return DefWindowProc(hwnd, message, wParam, lParam);
    return (*procedure)(hwnd, message, wParam, lParam);
}

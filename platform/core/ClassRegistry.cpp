#include "platform/core/ClassRegistry.h"

#include <exception>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/core/AnsiString.h"

namespace {

struct TClassTable {
    std::mutex FLock;
    std::map<std::string, TClassFactory> FFactories;  // keyed by the upper-case name
};

TClassTable& Classes()
{
    static TClassTable table;
    return table;
}

struct TUnit {
    std::string FName;
    std::function<void()> FInitialization;
    std::function<void()> FFinalization;
};

struct TUnitTable {
    std::vector<TUnit> FUnits;
    bool FInitialized = false;
    std::size_t FStarted = 0;  // units whose start-up ran, in order
};

// Built on first use: registrations are static objects of other units, whose
// construction order across files is unknown.
TUnitTable& Units()
{
    static TUnitTable table;
    return table;
}

}  // namespace

void RegisterClass(const std::string& name, TClassFactory factory)
{
    auto& table = Classes();
    std::lock_guard lock(table.FLock);
    table.FFactories[UpperCase(name)] = std::move(factory);
}

void UnRegisterClass(const std::string& name)
{
    auto& table = Classes();
    std::lock_guard lock(table.FLock);
    table.FFactories.erase(UpperCase(name));
}

bool IsClassRegistered(const std::string& name)
{
    auto& table = Classes();
    std::lock_guard lock(table.FLock);
    return table.FFactories.count(UpperCase(name)) != 0;
}

std::unique_ptr<TObject> CreateClassByName(const std::string& name)
{
    TClassFactory factory;
    {
        auto& table = Classes();
        std::lock_guard lock(table.FLock);
        const auto found = table.FFactories.find(UpperCase(name));
        if (found != table.FFactories.end())
            factory = found->second;
    }
    // Called outside the lock: a constructor may register classes itself.
    if (!factory)
        throw EClassNotFound("Class " + name + " not found");
    return factory();
}

TUnitRegistration::TUnitRegistration(const char* unitName, std::function<void()> initialization,
                                     std::function<void()> finalization)
{
    Units().FUnits.push_back({unitName ? unitName : "", std::move(initialization), std::move(finalization)});
}

void InitializeUnits()
{
    auto& table = Units();
    if (table.FInitialized)
        return;
    table.FInitialized = true;
    // A failing start-up propagates; the units started before it are still
    // finalized by FinalizeUnits.
    while (table.FStarted < table.FUnits.size()) {
        const auto& unit = table.FUnits[table.FStarted];
        if (unit.FInitialization)
            unit.FInitialization();
        ++table.FStarted;
    }
}

void FinalizeUnits()
{
    auto& table = Units();
    if (!table.FInitialized)
        return;
    std::exception_ptr firstError;
    // Every started unit gets its shut-down, even when an earlier one fails.
    while (table.FStarted > 0) {
        --table.FStarted;
        const auto& unit = table.FUnits[table.FStarted];
        if (!unit.FFinalization)
            continue;
        try {
            unit.FFinalization();
        } catch (...) {
            if (!firstError)
                firstError = std::current_exception();
        }
    }
    table.FInitialized = false;
    if (firstError)
        std::rethrow_exception(firstError);
}

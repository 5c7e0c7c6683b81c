#pragma once

// Classes created by name, and units that start and end with the program.
//
// A class registry entry maps a name (case-insensitive) to a factory. Units
// register start-up and shut-down actions with a static TUnitRegistration;
// InitializeUnits runs the start-ups in registration order, FinalizeUnits the
// shut-downs in reverse order.

#include <functional>
#include <memory>
#include <string>

#include "platform/core/Exceptions.h"

class TObject {
public:
    virtual ~TObject() = default;
};

using TClassFactory = std::function<std::unique_ptr<TObject>()>;

void RegisterClass(const std::string& name, TClassFactory factory);
void UnRegisterClass(const std::string& name);
bool IsClassRegistered(const std::string& name);
class EClassNotFound : public Exception {
public:
    using Exception::Exception;
};

// Raises EClassNotFound when no class has that name.
std::unique_ptr<TObject> CreateClassByName(const std::string& name);

class TUnitRegistration {
public:
    TUnitRegistration(const char* unitName, std::function<void()> initialization,
                      std::function<void()> finalization);
};

// A second InitializeUnits before FinalizeUnits does nothing. A start-up that
// raises passes the exception on; FinalizeUnits then ends only the units that
// had started. FinalizeUnits runs every shut-down even when one raises, then
// passes the first exception on.
void InitializeUnits();
void FinalizeUnits();

// Runs InitializeUnits at construction and FinalizeUnits at destruction.
class TUnitScope {
public:
    TUnitScope() { InitializeUnits(); }
    ~TUnitScope() { FinalizeUnits(); }
    TUnitScope(const TUnitScope&) = delete;
    TUnitScope& operator=(const TUnitScope&) = delete;
};

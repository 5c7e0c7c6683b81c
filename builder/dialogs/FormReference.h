#pragma once

// The builder's windows are made once at program start and reached through
// their global variables. A window that was not made is a fault of the
// program's start-up; it is reported rather than followed into a crash.

#include <string>

#include "platform/core/Exceptions.h"

template <class T>
T& FormRef(T* form, const char* className)
{
    if (!form)
        throw Exception(std::string("The window ") + className + " has not been created");
    return *form;
}

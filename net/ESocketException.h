#pragma once

#include "platform/core/Exceptions.h"

// A socket failure raised by a socket without an OnError handler.
class ESocketException : public Exception {
public:
    using Exception::Exception;
};

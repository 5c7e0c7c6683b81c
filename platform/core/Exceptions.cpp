#include "platform/core/Exceptions.h"

#include <system_error>

namespace {

// std::generic_category gives the strerror text without strerror's shared buffer.
std::string SystemErrorText(int systemError)
{
    return std::error_code(systemError, std::generic_category()).message();
}

}  // namespace

EFOpenError::EFOpenError(const std::string& fileName, int systemError)
    : EStreamError("Cannot open file \"" + fileName + "\". " + SystemErrorText(systemError)),
      FFileName(fileName), FSystemError(systemError)
{
}

EFCreateError::EFCreateError(const std::string& fileName, int systemError)
    : EStreamError("Cannot create file \"" + fileName + "\". " + SystemErrorText(systemError)),
      FFileName(fileName), FSystemError(systemError)
{
}

EInOutError::EInOutError(const std::string& message, int systemError)
    : Exception(message), FSystemError(systemError)
{
}

#pragma once

// The exception classes of the platform. Every error the platform raises is an
// `Exception`; callers that retry "on any general error" catch `Exception`.
// `what()` is composed once, in the constructor, from the fields a user needs.

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A text that is not a number, or a number out of range.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Streams: reading or writing past what a stream holds or accepts.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};

class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// A file that cannot be opened or created. Names the file and keeps errno.
class EFOpenError : public EStreamError {
public:
    EFOpenError(const std::string& fileName, int systemError);
    const std::string& FileName() const { return FFileName; }
    int SystemError() const { return FSystemError; }

private:
    std::string FFileName;
    int FSystemError;
};

class EFCreateError : public EStreamError {
public:
    EFCreateError(const std::string& fileName, int systemError);
    const std::string& FileName() const { return FFileName; }
    int SystemError() const { return FSystemError; }

private:
    std::string FFileName;
    int FSystemError;
};

// A failed read, write or other operation on an open file. Keeps errno.
class EInOutError : public Exception {
public:
    EInOutError(const std::string& message, int systemError);
    int SystemError() const { return FSystemError; }

private:
    int FSystemError;
};

// Picture data that is not what its format says.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// An operation a graphic class cannot do (for example saving a format it only reads).
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

// A silent abort: the application's error box does not show it.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
    using Exception::Exception;
};

class EOutOfMemory : public Exception {
public:
    EOutOfMemory() : Exception("Out of memory") {}
    using Exception::Exception;
};

// A text that cannot cross the system's boundary in the needed encoding
// (a file name with characters outside CP1252, bytes that are not UTF-8).
class EEncodingError : public Exception {
public:
    using Exception::Exception;
};

// An index outside a list.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// A system resource (a device context, a handle) that cannot be had.
class EOutOfResources : public EOutOfMemory {
public:
    using EOutOfMemory::EOutOfMemory;
};

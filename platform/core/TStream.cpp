#include "platform/core/TStream.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

namespace {

constexpr std::size_t kCopyChunk = 64 * 1024;

int ToWhence(TSeekOrigin origin)
{
    switch (origin) {
    case soBeginning:
        return SEEK_SET;
    case soCurrent:
        return SEEK_CUR;
    case soEnd:
        return SEEK_END;
    }
    return SEEK_SET;
}

std::string SystemMessage(const char* what, const std::string& fileName, int error)
{
    return std::string(what) + " \"" + fileName + "\". "
           + std::error_code(error, std::generic_category()).message();
}

}  // namespace

// ---- TStream

void TStream::ReadBuffer(void* buffer, std::size_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::size_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError("Stream write error");
}

std::int64_t TStream::Size()
{
    const std::int64_t position = Seek(0, soCurrent);
    const std::int64_t size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

void TStream::SetSize(std::int64_t)
{
    throw EStreamError("Stream size cannot be changed");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count)
{
    if (count <= 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::array<char, kCopyChunk> buffer;
    std::int64_t left = count;
    while (left > 0) {
        const auto chunk = static_cast<std::size_t>(std::min<std::int64_t>(left, kCopyChunk));
        source.ReadBuffer(buffer.data(), chunk);
        WriteBuffer(buffer.data(), chunk);
        left -= static_cast<std::int64_t>(chunk);
    }
    return count;
}

std::string TStream::ReadRest()
{
    // Read until the stream runs dry rather than trusting Size, which a pipe-like
    // or growing stream may not know.
    std::string result;
    std::array<char, kCopyChunk> buffer;
    for (;;) {
        const std::size_t got = Read(buffer.data(), buffer.size());
        if (got == 0)
            break;
        result.append(buffer.data(), got);
    }
    return result;
}

// ---- TMemoryStream

std::size_t TMemoryStream::Read(void* buffer, std::size_t count)
{
    if (FPosition >= FData.size())
        return 0;
    const std::size_t n = std::min(count, FData.size() - FPosition);
    std::memcpy(buffer, FData.data() + FPosition, n);
    FPosition += n;
    return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count)
{
    if (count == 0)
        return 0;
    if (count > std::numeric_limits<std::size_t>::max() - FPosition)
        throw EWriteError("Stream write error");
    const std::size_t end = FPosition + count;
    try {
        // A position past the end leaves a zero-filled gap, as a file would.
        if (end > FData.size())
            FData.resize(end);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    } catch (const std::length_error&) {
        throw EOutOfMemory();
    }
    std::memcpy(FData.data() + FPosition, buffer, count);
    FPosition = end;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    std::int64_t base = 0;
    switch (origin) {
    case soBeginning:
        base = 0;
        break;
    case soCurrent:
        base = static_cast<std::int64_t>(FPosition);
        break;
    case soEnd:
        base = static_cast<std::int64_t>(FData.size());
        break;
    }
    std::int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target) || target < 0)
        throw EStreamError("Invalid stream position");
    FPosition = static_cast<std::size_t>(target);
    return target;
}

void TMemoryStream::SetSize(std::int64_t size)
{
    if (size < 0)
        throw EStreamError("Invalid stream size");
    try {
        FData.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    } catch (const std::length_error&) {
        throw EOutOfMemory();
    }
    FPosition = std::min(FPosition, FData.size());
}

void TMemoryStream::Clear()
{
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& source)
{
    source.SetPosition(0);
    FData = source.ReadRest();
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& target) { target.WriteBuffer(FData.data(), FData.size()); }

void TMemoryStream::SaveToFile(const std::string& fileName)
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

// ---- TFileStream

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : FFileName(fileName)
{
    const std::string systemName = ToSystemPath(fileName);
    if ((mode & fmCreate) == fmCreate) {
        // 0666 lets the umask decide, giving the usual 0644.
        FHandle = OpenForWriting(systemName, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (FHandle < 0)
            throw EFCreateError(fileName, errno);
        return;
    }
    int flags = 0;
    switch (mode & 0x000F) {
    case fmOpenRead:
        flags = O_RDONLY;
        break;
    case fmOpenWrite:
        flags = O_WRONLY;
        break;
    case fmOpenReadWrite:
        flags = O_RDWR;
        break;
    default:
        throw EFOpenError(fileName, EINVAL);
    }
    FHandle = flags == O_RDONLY ? ::open(systemName.c_str(), flags | O_CLOEXEC)
                                : OpenForWriting(systemName, flags | O_CLOEXEC, 0);
    if (FHandle < 0)
        throw EFOpenError(fileName, errno);
    // Linux opens a folder for reading; a file stream on one would only fail later.
    struct stat info {};
    if (::fstat(FHandle, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(FHandle);
        FHandle = -1;
        throw EFOpenError(fileName, EISDIR);
    }
}

TFileStream::~TFileStream()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

std::size_t TFileStream::Read(void* buffer, std::size_t count)
{
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(FHandle, bytes + done, count - done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            throw EInOutError(SystemMessage("Cannot read file", FFileName, error), error);
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count)
{
    const auto* bytes = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(FHandle, bytes + done, count - done);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            throw EInOutError(SystemMessage("Cannot write file", FFileName, error), error);
        }
        done += static_cast<std::size_t>(put);
    }
    return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    const off_t position = ::lseek(FHandle, static_cast<off_t>(offset), ToWhence(origin));
    if (position < 0) {
        const int error = errno;
        throw EInOutError(SystemMessage("Cannot seek in file", FFileName, error), error);
    }
    return static_cast<std::int64_t>(position);
}

void TFileStream::SetSize(std::int64_t size)
{
    if (::ftruncate(FHandle, static_cast<off_t>(size)) != 0) {
        const int error = errno;
        throw EInOutError(SystemMessage("Cannot change the size of file", FFileName, error), error);
    }
    if (Position() > size)
        Seek(size, soBeginning);
}

#include "platform/core/SharedBytes.h"

#include <cerrno>
#include <functional>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

namespace {

struct TMapping {
    void* Address = nullptr;
    std::size_t Length = 0;
    TMapping(void* address, std::size_t length) : Address(address), Length(length) {}
    ~TMapping() { ::munmap(Address, Length); }
    TMapping(const TMapping&) = delete;
    TMapping& operator=(const TMapping&) = delete;
};

}  // namespace

TSharedBytes::TSharedBytes(std::string bytes)
{
    auto owned = std::make_shared<const std::string>(std::move(bytes));
    FView = *owned;
    FOwner = std::move(owned);
}

TSharedBytes TSharedBytes::MapFile(const std::string& fileName)
{
    const int fd = ::open(ToSystemPath(fileName).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw EFOpenError(fileName, errno);
    struct stat info {};
    const bool statted = ::fstat(fd, &info) == 0;
    const int statError = errno;
    if (!statted || S_ISDIR(info.st_mode)) {
        ::close(fd);
        throw EFOpenError(fileName, statted ? EISDIR : statError);
    }
    TSharedBytes result;
    const auto length = static_cast<std::size_t>(info.st_size);
    if (length == 0) {
        ::close(fd);
        return result;
    }
    void* address = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
    const int mapError = errno;
    ::close(fd);
    if (address == MAP_FAILED)
        throw EInOutError("Cannot read file " + fileName, mapError);
    // The bytes are read from front to back, once. Advice values are not
    // flags: or-ing them would give only one of them.
    ::madvise(address, length, MADV_SEQUENTIAL);
    ::madvise(address, length, MADV_WILLNEED);
    auto mapping = std::make_shared<const TMapping>(address, length);
    result.FView = std::string_view(static_cast<const char*>(address), length);
    result.FOwner = std::move(mapping);
    return result;
}

TSharedBytes TSharedBytes::Slice(std::size_t offset, std::size_t length) const
{
    TSharedBytes part;
    if (offset >= FView.size())
        return part;
    part.FOwner = FOwner;
    part.FView = FView.substr(offset, length);
    return part;
}

TSharedBytes TSharedBytes::SliceOf(std::string_view part) const
{
    const std::less_equal<const char*> notAfter;
    if (!part.empty() && notAfter(FView.data(), part.data()) &&
        notAfter(part.data() + part.size(), FView.data() + FView.size()))
        return Slice(static_cast<std::size_t>(part.data() - FView.data()), part.size());
    return TSharedBytes(std::string(part));
}

#include "platform/core/Files.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>
#include <system_error>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"

namespace {

std::string ErrorText(int error) { return std::error_code(error, std::generic_category()).message(); }

[[noreturn]] void ThrowInOut(const char* what, const std::string& fileName, int error)
{
    throw EInOutError(std::string(what) + " \"" + fileName + "\". " + ErrorText(error), error);
}

bool StatName(const std::string& name, struct stat& info)
{
    if (name.empty())
        return false;
    return ::stat(ToSystemPath(name).c_str(), &info) == 0;
}

// Closes a descriptor on every path out.
class TFd {
public:
    explicit TFd(int fd) : FFd(fd) {}
    ~TFd()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }
    int Release() { return std::exchange(FFd, -1); }

private:
    int FFd;
};

bool WriteAll(int fd, const char* bytes, std::size_t count)
{
    while (count > 0) {
        const ssize_t put = ::write(fd, bytes, count);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += put;
        count -= static_cast<std::size_t>(put);
    }
    return true;
}

char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Greedy match with one backtrack point: linear in practice, never exponential.
bool WildMatch(std::string_view name, std::string_view mask)
{
    std::size_t n = 0;
    std::size_t m = 0;
    std::size_t starMask = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == '?' || Fold(mask[m]) == Fold(name[n]))) {
            ++m;
            ++n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

struct TDirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

std::string TrimBlanks(std::string_view s)
{
    std::size_t first = 0;
    std::size_t last = s.size();
    while (first < last && s[first] == ' ')
        ++first;
    while (last > first && s[last - 1] == ' ')
        --last;
    return std::string(s.substr(first, last - first));
}

}  // namespace

std::string ToSystemPath(std::string_view name) { return Cp1252ToUtf8(name); }

std::string FromSystemPath(std::string_view systemName) { return Utf8ToCp1252(systemName); }

bool FileExists(const std::string& name)
{
    struct stat info {};
    return StatName(name, info) && S_ISREG(info.st_mode);
}

bool DirectoryExists(const std::string& name)
{
    struct stat info {};
    return StatName(name, info) && S_ISDIR(info.st_mode);
}

bool DeleteFile(const std::string& name)
{
    return !name.empty() && ::unlink(ToSystemPath(name).c_str()) == 0;
}

bool RenameFile(const std::string& oldName, const std::string& newName)
{
    if (oldName.empty() || newName.empty())
        return false;
    return ::rename(ToSystemPath(oldName).c_str(), ToSystemPath(newName).c_str()) == 0;
}

bool CreateDir(const std::string& name)
{
    return !name.empty() && ::mkdir(ToSystemPath(name).c_str(), 0777) == 0;
}

bool ForceDirectories(const std::string& name)
{
    const std::string dir = ExcludeTrailingPathDelimiter(name);
    if (dir.empty())
        return !name.empty();  // "/" exists; "" names nothing
    if (DirectoryExists(dir))
        return true;
    const std::string parent = ExtractFilePath(dir);
    if (!parent.empty() && !ForceDirectories(parent))
        return false;
    // Another process may have made it meanwhile.
    return CreateDir(dir) || DirectoryExists(dir);
}

bool RemoveDir(const std::string& name)
{
    return !name.empty() && ::rmdir(ToSystemPath(name).c_str()) == 0;
}

std::int64_t FileSize(const std::string& name)
{
    struct stat info {};
    if (!StatName(name, info) || !S_ISREG(info.st_mode))
        return -1;
    return static_cast<std::int64_t>(info.st_size);
}

bool SameFile(const std::string& first, const std::string& second)
{
    if (ExpandFileName(first) == ExpandFileName(second))
        return true;
    struct stat a {};
    struct stat b {};
    try {
        if (stat(ToSystemPath(first).c_str(), &a) != 0 || stat(ToSystemPath(second).c_str(), &b) != 0)
            return false;
    } catch (const Exception&) {
        return false;
    }
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool CopyFileTo(const std::string& source, const std::string& target)
{
    if (source.empty() || target.empty())
        return false;
    TFd in(::open(ToSystemPath(source).c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0)
        return false;
    struct stat info {};
    if (::fstat(in.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    TFd out(OpenForWriting(ToSystemPath(target), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                           static_cast<int>(info.st_mode & 0777)));
    if (out.Get() < 0)
        return false;
    std::array<char, 64 * 1024> buffer;
    for (;;) {
        const ssize_t got = ::read(in.Get(), buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            break;
        if (!WriteAll(out.Get(), buffer.data(), static_cast<std::size_t>(got)))
            return false;
    }
    return ::close(out.Release()) == 0;
}

std::string GetCurrentDir()
{
    std::string buffer(256, '\0');
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr)
            break;
        const int error = errno;
        if (error != ERANGE)
            throw EInOutError("Cannot read the current folder. " + ErrorText(error), error);
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    return FromSystemPath(buffer);
}

bool SetCurrentDir(const std::string& dir)
{
    return !dir.empty() && ::chdir(ToSystemPath(dir).c_str()) == 0;
}

std::string ExtractFilePath(std::string_view fileName)
{
    const auto slash = fileName.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(fileName.substr(0, slash + 1));
}

std::string ExtractFileName(std::string_view fileName)
{
    const auto slash = fileName.rfind('/');
    return std::string(slash == std::string_view::npos ? fileName : fileName.substr(slash + 1));
}

std::string ExtractFileExt(std::string_view fileName)
{
    const auto dot = fileName.rfind('.');
    const auto slash = fileName.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return std::string(fileName.substr(dot));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension)
{
    const std::string ext = ExtractFileExt(fileName);
    std::string result(fileName.substr(0, fileName.size() - ext.size()));
    result += extension;
    return result;
}

std::string IncludeTrailingPathDelimiter(std::string_view dir)
{
    std::string result(dir);
    if (result.empty() || result.back() != '/')
        result += '/';
    return result;
}

std::string ExcludeTrailingPathDelimiter(std::string_view dir)
{
    std::string result(dir);
    if (!result.empty() && result.back() == '/')
        result.pop_back();
    return result;
}

std::string ExpandFileName(std::string_view fileName)
{
    std::string full = (!fileName.empty() && fileName.front() == '/')
                           ? std::string(fileName)
                           : IncludeTrailingPathDelimiter(GetCurrentDir()) + std::string(fileName);
    // Fold "." and ".." by text, as the classic runtime does; links stay unresolved.
    std::vector<std::string> parts;
    std::size_t start = 1;
    while (start <= full.size()) {
        auto end = full.find('/', start);
        if (end == std::string::npos)
            end = full.size();
        const std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const auto& part : parts)
        result += "/" + part;
    const bool trailing = full.size() > 1 && full.back() == '/';
    if (result.empty() || trailing)
        result += '/';
    return result;
}

bool MatchesMask(std::string_view name, std::string_view mask)
{
    if (WildMatch(name, mask))
        return true;
    // A trailing ".*" also matches no extension at all, as folder listings do:
    // "*.*" takes every name and "readme.*" takes "readme".
    if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*")
        return WildMatch(name, mask.substr(0, mask.size() - 2));
    return false;
}

bool MatchesMasks(std::string_view name, std::string_view masks)
{
    std::size_t start = 0;
    while (start <= masks.size()) {
        auto end = masks.find(';', start);
        if (end == std::string_view::npos)
            end = masks.size();
        const std::string mask = TrimBlanks(masks.substr(start, end - start));
        if (!mask.empty() && MatchesMask(name, mask))
            return true;
        start = end + 1;
    }
    return false;
}

TFolderListing ListFolder(const std::string& dir, std::string_view masks, TFindKind kind, bool includeHidden)
{
    TFolderListing listing;
    const std::string systemDir = ToSystemPath(dir.empty() ? std::string(".") : dir);
    std::unique_ptr<DIR, TDirCloser> handle(::opendir(systemDir.c_str()));
    if (!handle)
        return listing;
    const std::string prefix = IncludeTrailingPathDelimiter(systemDir);
    while (const dirent* entry = ::readdir(handle.get())) {
        const std::string_view systemName = entry->d_name;
        if (systemName == "." || systemName == "..")
            continue;
        if (!includeHidden && systemName.front() == '.')
            continue;
        struct stat info {};
        // stat follows links, so a link counts as what it points to; a broken one is skipped.
        if (::stat((prefix + std::string(systemName)).c_str(), &info) != 0)
            continue;
        const bool isDir = S_ISDIR(info.st_mode);
        const bool wanted = isDir ? kind != TFindKind::Files
                                  : S_ISREG(info.st_mode) && kind != TFindKind::Directories;
        if (!wanted)
            continue;
        std::string name;
        if (!TryUtf8ToCp1252(systemName, name)) {
            // Only a name that would be listed is told; the masks see its
            // system bytes in place of the name it lacks.
            if (MatchesMasks(systemName, masks))
                listing.Unrepresentable.push_back(PrintableText(systemName));
            continue;
        }
        if (MatchesMasks(name, masks))
            listing.Names.push_back(std::move(name));
    }
    std::sort(listing.Names.begin(), listing.Names.end());
    std::sort(listing.Unrepresentable.begin(), listing.Unrepresentable.end());
    return listing;
}

std::vector<std::string> FindFiles(const std::string& dir, std::string_view masks, TFindKind kind,
                                   bool includeHidden)
{
    return ListFolder(dir, masks, kind, includeHidden).Names;
}

int OpenForWriting(const std::string& systemName, int flags, int mode)
{
    constexpr int Tries = 200;  // 5 ms apart
    for (int tryNumber = 1;; ++tryNumber) {
        const int fd = ::open(systemName.c_str(), flags, mode);
        if (fd >= 0 || errno != ETXTBSY || tryNumber == Tries)
            return fd;
        ::usleep(5000);
    }
}

void WriteFileBytes(const std::string& fileName, std::string_view bytes)
{
    TFd fd(OpenForWriting(ToSystemPath(fileName), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.Get() < 0)
        throw EFCreateError(fileName, errno);
    if (!WriteAll(fd.Get(), bytes.data(), bytes.size()))
        ThrowInOut("Cannot write file", fileName, errno);
    if (::close(fd.Release()) != 0)
        ThrowInOut("Cannot write file", fileName, errno);
}

void ReplaceFileBytes(const std::string& fileName, std::string_view bytes)
{
    const std::string fresh = fileName + ".new";
    // The rename would replace a file its user may not write; opening it for
    // writing would have refused, and so does this.
    const std::string systemName = ToSystemPath(fileName);
    if (::access(systemName.c_str(), F_OK) == 0 && ::access(systemName.c_str(), W_OK) != 0)
        throw EFCreateError(fileName, errno);
    try {
        WriteFileBytes(fresh, bytes);
    } catch (const EFCreateError& e) {
        throw EFCreateError(fileName, e.SystemError());
    } catch (const EInOutError& e) {
        DeleteFile(fresh);
        throw EFCreateError(fileName, e.SystemError());
    }
    // A replaced file keeps who may read and write it.
    struct stat original {};
    if (::stat(systemName.c_str(), &original) == 0)
        ::chmod(ToSystemPath(fresh).c_str(), original.st_mode & 07777);
    if (!RenameFile(fresh, fileName)) {
        const int error = errno;
        DeleteFile(fresh);
        throw EFCreateError(fileName, error);
    }
}

std::string ReadFileBytes(const std::string& fileName)
{
    TFd fd(::open(ToSystemPath(fileName).c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0)
        throw EFOpenError(fileName, errno);
    struct stat info {};
    if (::fstat(fd.Get(), &info) == 0 && S_ISDIR(info.st_mode))
        throw EFOpenError(fileName, EISDIR);
    std::string result;
    std::array<char, 64 * 1024> buffer;
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ThrowInOut("Cannot read file", fileName, errno);
        }
        if (got == 0)
            break;
        result.append(buffer.data(), static_cast<std::size_t>(got));
    }
    return result;
}

void MakeExecutable(const std::string& fileName)
{
    const std::string systemName = ToSystemPath(fileName);
    struct stat info {};
    if (::stat(systemName.c_str(), &info) != 0)
        ThrowInOut("Cannot change the permissions of file", fileName, errno);
    // Each read bit (0444) gains the execute bit of the same class (0111).
    const mode_t mode = (info.st_mode & 07777) | ((info.st_mode & 0444) >> 2);
    if (::chmod(systemName.c_str(), mode) != 0)
        ThrowInOut("Cannot change the permissions of file", fileName, errno);
}

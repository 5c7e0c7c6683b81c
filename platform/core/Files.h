#pragma once

// Files and folders by their CP1252 names ("/" separates path parts). Names are
// converted to UTF-8 at the system call; a folder listing leaves out the names
// found on disk that CP1252 cannot represent and gives them apart.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The system's name for a CP1252 path, and back.
std::string ToSystemPath(std::string_view name);
std::string FromSystemPath(std::string_view systemName);

bool FileExists(const std::string& name);       // a file, not a folder
bool DirectoryExists(const std::string& name);
bool DeleteFile(const std::string& name);        // false when it could not be deleted
bool RenameFile(const std::string& oldName, const std::string& newName);
bool CreateDir(const std::string& name);         // false when it exists or cannot be made
bool ForceDirectories(const std::string& name);  // makes every missing level
bool RemoveDir(const std::string& name);
std::int64_t FileSize(const std::string& name);  // -1 when there is no such file
bool CopyFileTo(const std::string& source, const std::string& target);
// Whether the two names reach one file: the same expanded name, or one file
// under two names (a link, "..", another spelling of the folder).
bool SameFile(const std::string& first, const std::string& second);

std::string GetCurrentDir();
bool SetCurrentDir(const std::string& dir);

// Path parts. The path ends after the last "/" (kept); the extension starts at
// the last "." of the name (kept), or is "".
std::string ExtractFilePath(std::string_view fileName);
std::string ExtractFileName(std::string_view fileName);
std::string ExtractFileExt(std::string_view fileName);
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
std::string IncludeTrailingPathDelimiter(std::string_view dir);
std::string ExcludeTrailingPathDelimiter(std::string_view dir);
std::string ExpandFileName(std::string_view fileName);

// Windows mask matching, case-insensitive: "*" any run, "?" one byte; a mask
// "*.*" also matches names without a dot. `masks` may hold several masks
// separated by ";".
bool MatchesMask(std::string_view name, std::string_view mask);
bool MatchesMasks(std::string_view name, std::string_view masks);

enum class TFindKind { Files, Directories, Both };
struct TFolderListing {
    std::vector<std::string> Names;  // CP1252 names (not paths), sorted by byte value
    // The names that would be listed but that CP1252 cannot represent, each
    // once, in the printable form of their system bytes, sorted.
    std::vector<std::string> Unrepresentable;
};
// The entries of `dir` that match `masks`. Dot-files count as hidden and are
// left out unless `includeHidden`. "." and ".." are never listed. A folder
// that does not exist or cannot be read lists nothing.
TFolderListing ListFolder(const std::string& dir, std::string_view masks, TFindKind kind = TFindKind::Files,
                          bool includeHidden = false);
// The Names of ListFolder alone.
std::vector<std::string> FindFiles(const std::string& dir, std::string_view masks,
                                   TFindKind kind = TFindKind::Files, bool includeHidden = false);

// Writes bytes to a file whole, replacing it; raises EFCreateError / EInOutError.
void WriteFileBytes(const std::string& fileName, std::string_view bytes);
// Writes bytes to "<fileName>.new", then renames that over the file, so the
// old file stays whole until the new one is complete; the new file keeps the
// old one's permissions. A file the user may not write is refused as opening
// it would be (EFCreateError, EACCES). Any failure raises EFCreateError
// naming the file and leaves no "<fileName>.new" behind.
void ReplaceFileBytes(const std::string& fileName, std::string_view bytes);
// Reads a file whole; raises EFOpenError / EInOutError.
std::string ReadFileBytes(const std::string& fileName);
// Adds the execute permission for everyone who may read the file.
void MakeExecutable(const std::string& fileName);

// open(2) of a file for writing (flags with O_WRONLY or O_RDWR), by its
// system path. Once a program has ended, Windows lets its file be written;
// Linux may keep the file of a multi-threaded program that has just ended
// busy (ETXTBSY) for some milliseconds more, so that case is tried again for
// up to a second. Returns the descriptor, or -1 with errno set.
int OpenForWriting(const std::string& systemName, int flags, int mode);

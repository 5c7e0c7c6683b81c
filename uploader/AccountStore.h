#pragma once

// The uploader's two files in its program folder: "kto.dat", one scrambled
// line per FTP account, and "ftpmod.dat", the transfer mode. Both are written
// to a new file that then replaces the old one, so a crash never leaves a
// half-written file behind.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view AccountKey = "4k7wq2ne8vz1mx5tr3ja9hd6yb0ul2pc8fg";
inline constexpr std::string_view AccountFileName = "kto.dat";
inline constexpr std::string_view TransferModeFileName = "ftpmod.dat";

struct TAccount {
    std::string Name;
    std::string Host;
    std::string User;
    std::string Password;
    std::string Port;
    std::string Directory;
    std::string Flag = "no";

    bool operator==(const TAccount&) const = default;
};

// The seven fields joined with "~".
std::string PlainAccountRecord(const TAccount& account);
// Split at "~" from the front; the rest after the sixth split is the flag.
TAccount SplitAccountRecord(const std::string& plain);
// The stored form of an account and back.
std::string ScrambledAccountLine(const TAccount& account);
std::string UnscrambledAccountRecord(const std::string& line);
TAccount UnscrambledAccount(const std::string& line);
// The name shown in the account boxes: the text before the first "~".
std::string StoredAccountName(const std::string& line);
// A line that unscrambles into exactly seven fields.
bool IsWholeAccountLine(const std::string& line);

// The message refusing an account that could not be read back as typed
// (a "~" or a line break in a field, or a field whose stored form would hold
// a line break), naming the field; empty when the account can be stored.
std::string AccountRefusal(const TAccount& account);

// Every line of the file (CR LF, LF or CR ends); none when it is missing.
std::vector<std::string> ReadAccountLines(const std::string& fileName);
// The whole file, CR LF after each line.
void WriteAccountLines(const std::string& fileName, const std::vector<std::string>& lines);
void AppendAccountLine(const std::string& fileName, const std::string& line);

// Passive (true) or active; nothing when the file is missing or unreadable.
std::optional<bool> ReadTransferMode(const std::string& fileName);
void WriteTransferMode(const std::string& fileName, bool passive);

#include "uploader/AccountStore.h"

#include <algorithm>
#include <array>

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/TStringList.h"
#include "shared/veskotools.h"

namespace {

const std::array<const char*, 6> FieldLabels = {"Account name", "FTP Host", "User name",
                                                "Password", "Port", "Directory"};

std::array<const std::string*, 7> Fields(const TAccount& a)
{
    return {&a.Name, &a.Host, &a.User, &a.Password, &a.Port, &a.Directory, &a.Flag};
}

std::string Scrambled(std::string text)
{
    TScrambleTable table;
    BuildScrambleTable(table);
    ScrambleText(table, std::string(AccountKey), text);
    return text;
}

bool HoldsLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::string PlainAccountRecord(const TAccount& account)
{
    std::string plain = account.Name;
    for (std::size_t i = 1; i < 7; ++i)
        plain += "~" + *Fields(account)[i];
    return plain;
}

TAccount SplitAccountRecord(const std::string& plain)
{
    TAccount account;
    std::string rest = plain;
    std::string before;
    for (std::string* field : {&account.Name, &account.Host, &account.User, &account.Password, &account.Port,
                               &account.Directory}) {
        SplitAtChar('~', rest, before, rest);
        *field = before;
    }
    account.Flag = rest;
    return account;
}

std::string ScrambledAccountLine(const TAccount& account)
{
    return Scrambled(PlainAccountRecord(account));
}

std::string UnscrambledAccountRecord(const std::string& line)
{
    TScrambleTable table;
    BuildScrambleTable(table);
    std::string text = line;
    UnscrambleText(table, std::string(AccountKey), text);
    return text;
}

TAccount UnscrambledAccount(const std::string& line)
{
    return SplitAccountRecord(UnscrambledAccountRecord(line));
}

std::string StoredAccountName(const std::string& line)
{
    const std::string plain = UnscrambledAccountRecord(line);
    return plain.substr(0, plain.find('~'));
}

bool IsWholeAccountLine(const std::string& line)
{
    const std::string plain = UnscrambledAccountRecord(line);
    return std::count(plain.begin(), plain.end(), '~') == 6;
}

std::string AccountRefusal(const TAccount& account)
{
    const auto fields = Fields(account);
    for (std::size_t i = 0; i < FieldLabels.size(); ++i)
        if (fields[i]->find('~') != std::string::npos || HoldsLineBreak(*fields[i]))
            return std::string("The field \"") + FieldLabels[i] + "\" must not contain ~ or a line break.";
    // The scrambled bytes of a field depend on its place in the line.
    const std::string line = ScrambledAccountLine(account);
    std::size_t start = 0;
    for (std::size_t i = 0; i < FieldLabels.size(); ++i) {
        const std::size_t length = fields[i]->size();
        if (HoldsLineBreak(std::string_view(line).substr(start, length)))
            return std::string("The field \"") + FieldLabels[i] +
                   "\" cannot be stored as typed. Please change a character in it.";
        start += length + 1;
    }
    return {};
}

std::vector<std::string> ReadAccountLines(const std::string& fileName)
{
    if (!FileExists(fileName))
        return {};
    return SplitLines(ReadFileBytes(fileName));
}

void WriteAccountLines(const std::string& fileName, const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    ReplaceFileBytes(fileName, bytes);
}

void AppendAccountLine(const std::string& fileName, const std::string& line)
{
    // The lines already there are kept byte for byte, whatever their ends.
    std::string bytes = FileExists(fileName) ? ReadFileBytes(fileName) : std::string();
    if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r')
        bytes += "\r\n";
    ReplaceFileBytes(fileName, bytes + line + "\r\n");
}

std::optional<bool> ReadTransferMode(const std::string& fileName)
{
    try {
        if (!FileExists(fileName))
            return std::nullopt;
        const std::vector<std::string> lines = SplitLines(ReadFileBytes(fileName));
        return lines.empty() || lines[0] != "0";
    } catch (const Exception&) {
        return std::nullopt;
    }
}

void WriteTransferMode(const std::string& fileName, bool passive)
{
    ReplaceFileBytes(fileName, passive ? "1\r\n" : "0\r\n");
}

#include "shared/veskotools.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/Program.h"
#include "platform/core/TStream.h"

void AppPath(std::string& dir)
{
    const std::string program = ProgramFileName();
    const std::size_t slash = program.rfind('/');
    dir = slash == std::string::npos ? std::string("./") : program.substr(0, slash + 1);
}

void LoadFileToString(const std::string& fileName, std::string& data)
{
    // A folder opens fine for reading on Linux and only fails at the first
    // read; callers expect the open error for it, as for any unreadable name.
    if (DirectoryExists(fileName)) {
        throw EFOpenError(fileName, EISDIR);
    }
    constexpr std::int64_t ChunkSize = 2048;
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    const std::int64_t size = stream.Size();
    std::string result;
    char chunk[ChunkSize];
    std::int64_t position = 0;
    do {
        const std::int64_t count = std::min(ChunkSize, size - position);
        if (count <= 0) {
            break;
        }
        // A file that shrinks under us raises the read error here.
        stream.ReadBuffer(chunk, static_cast<std::size_t>(count));
        result.append(chunk, static_cast<std::size_t>(count));
        position += count;
    } while (position < size);
    data = std::move(result);
}

void ReplaceText(const std::string& find, const std::string& replacement, std::string& text, int mode)
{
    if (find.empty()) {
        return;
    }
    if (mode == 0) {
        const std::size_t p = text.find(find);
        if (p != std::string::npos) {
            text.replace(p, find.size(), replacement);
        }
        return;
    }
    if (mode != 1) {
        return;
    }
    // Built in one pass; the search resumes behind each replacement, so a
    // replacement holding `find` is never replaced again.
    std::string result;
    std::size_t from = 0;
    for (std::size_t p = text.find(find); p != std::string::npos; p = text.find(find, from)) {
        result.append(text, from, p - from);
        result += replacement;
        from = p + find.size();
    }
    if (from == 0) {
        return;
    }
    result.append(text, from, std::string::npos);
    text = std::move(result);
}

void SplitAtChar(char ch, const std::string& s, std::string& before, std::string& after)
{
    SplitAtText(std::string(1, ch), s, before, after);
}

void SplitAtText(const std::string& separator, const std::string& s, std::string& before, std::string& after)
{
    const std::size_t p = separator.empty() ? std::string::npos : s.find(separator);
    if (p == std::string::npos) {
        // Copy first: `s` may be one of the out parameters.
        std::string whole = s;
        before.clear();
        after = std::move(whole);
        return;
    }
    std::string head = s.substr(0, p);
    std::string tail = s.substr(p + separator.size());
    before = std::move(head);
    after = std::move(tail);
}

void ExtractLastDotPart(const std::string& s, std::string& part)
{
    const std::size_t dot = s.rfind('.');
    part = dot == std::string::npos ? s : s.substr(dot + 1);
}

int RoundHalfEven(double value)
{
    // nearbyint rounds by the current mode, which the programs never change
    // from the default round-to-nearest-even.
    const double rounded = std::nearbyint(value);
    if (std::isnan(rounded)) {
        return 0;
    }
    if (rounded >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (rounded <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(rounded);
}

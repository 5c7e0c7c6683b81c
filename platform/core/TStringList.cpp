#include "platform/core/TStringList.h"

#include <utility>

#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"

namespace {

void CheckIndex(int index, int count)
{
    if (index < 0 || index >= count)
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

bool NeedsQuotes(const std::string& item)
{
    if (item.empty())
        return true;
    for (const char c : item) {
        if (static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"')
            return true;
    }
    return false;
}

}  // namespace

const std::string& TStrings::Strings(int index) const
{
    CheckIndex(index, Count());
    return FItems[static_cast<std::size_t>(index)];
}

void TStrings::SetStrings(int index, const std::string& value)
{
    CheckIndex(index, Count());
    FItems[static_cast<std::size_t>(index)] = value;
    Changed();
}

int TStrings::Add(const std::string& s)
{
    FItems.push_back(s);
    Inserted(Count() - 1);
    return Count() - 1;
}

void TStrings::Insert(int index, const std::string& s)
{
    // Inserting at Count appends.
    CheckIndex(index, Count() + 1);
    FItems.insert(FItems.begin() + index, s);
    Inserted(index);
}

void TStrings::Delete(int index)
{
    CheckIndex(index, Count());
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TStrings::Exchange(int index1, int index2)
{
    CheckIndex(index1, Count());
    CheckIndex(index2, Count());
    std::swap(FItems[static_cast<std::size_t>(index1)], FItems[static_cast<std::size_t>(index2)]);
    Changed();
}

void TStrings::Clear()
{
    FItems.clear();
    Changed();
}

int TStrings::IndexOf(std::string_view s) const
{
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (FItems[i] == s)
            return static_cast<int>(i);
    }
    return -1;
}

void TStrings::Assign(const TStrings& source)
{
    if (&source == this)
        return;
    FItems = source.FItems;
    Changed();
}

std::string TStrings::Text() const
{
    std::string text;
    for (const auto& item : FItems) {
        text += item;
        text += "\r\n";
    }
    return text;
}

void TStrings::SetText(std::string_view text)
{
    FItems = SplitLines(text);
    Changed();
}

std::string TStrings::CommaText() const
{
    std::string text;
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (i > 0)
            text += ',';
        const std::string& item = FItems[i];
        if (!NeedsQuotes(item)) {
            text += item;
            continue;
        }
        text += '"';
        for (const char c : item) {
            if (c == '"')
                text += '"';
            text += c;
        }
        text += '"';
    }
    return text;
}

void TStrings::LoadFromStream(TStream& stream) { SetText(stream.ReadRest()); }

void TStrings::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TStrings::SaveToStream(TStream& stream) const { stream.WriteString(Text()); }

void TStrings::SaveToFile(const std::string& fileName) const
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.emplace_back(text.substr(start, i - start));
        ++i;
        if (c == '\r' && i < text.size() && text[i] == '\n')
            ++i;
        start = i;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

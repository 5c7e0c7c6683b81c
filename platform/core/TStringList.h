#pragma once

// Line lists. Loading splits at CR, LF or CR LF, and a final line end makes no
// empty last line; `Text` and saving put CR LF after every line.

#include <string>
#include <string_view>
#include <vector>

class TStream;

class TStrings {
public:
    virtual ~TStrings() = default;

    int Count() const { return static_cast<int>(FItems.size()); }
    // Raise EListError for an index outside 0..Count-1.
    const std::string& Strings(int index) const;
    void SetStrings(int index, const std::string& value);
    const std::string& operator[](int index) const { return Strings(index); }

    int Add(const std::string& s);
    void Insert(int index, const std::string& s);
    void Delete(int index);
    void Exchange(int index1, int index2);
    void Clear();
    int IndexOf(std::string_view s) const;  // exact, case-sensitive; -1 when absent
    void Assign(const TStrings& source);

    std::string Text() const;
    void SetText(std::string_view text);
    std::string CommaText() const;

    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& stream) const;
    void SaveToFile(const std::string& fileName) const;

    const std::vector<std::string>& Items() const { return FItems; }

    // Controls that show a list override this to hear of every change.
    virtual void Changed() {}
    // A line added or inserted at `index` (a change of its own, as a memo's
    // lines insert it into the text rather than set the text anew).
    virtual void Inserted(int /*index*/) { Changed(); }

protected:
    std::vector<std::string> FItems;
};

class TStringList : public TStrings {
public:
    TStringList() = default;
    TStringList(const TStringList& other) : TStrings() { FItems = other.FItems; }
    TStringList& operator=(const TStringList& other) { FItems = other.FItems; return *this; }
};

// Splits a text into lines by the rule above.
std::vector<std::string> SplitLines(std::string_view text);

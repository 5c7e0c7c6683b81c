#include "platform/core/TStringList.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/TStream.h"

namespace {

using Lines = std::vector<std::string>;

TEST(TStringList, SplitLinesAtCrLfOrCrLf)
{
    struct Case {
        const char* name;
        std::string text;
        Lines expected;
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"one line, no end", "a", {"a"}},
        {"final CR LF", "a\r\n", {"a"}},
        {"final LF", "a\n", {"a"}},
        {"final CR", "a\r", {"a"}},
        {"LF", "a\nb", {"a", "b"}},
        {"CR", "a\rb", {"a", "b"}},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"empty line inside", "a\n\nb", {"a", "", "b"}},
        {"empty line before the final end", "a\r\n\r\n", {"a", ""}},
        {"only a line end", "\n", {""}},
        {"CR CR LF", "a\r\r\nb", {"a", "", "b"}},
        {"LF CR is two ends", "a\n\rb", {"a", "", "b"}},
        {"mixed", "1\r\n2\n3\r4", {"1", "2", "3", "4"}},
        {"blanks kept", " a \r\n\tb", {" a ", "\tb"}},
        {"NUL is text", std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SplitLines(c.text), c.expected);
        TStringList list;
        list.SetText(c.text);
        EXPECT_EQ(list.Items(), c.expected);
    }
}

TEST(TStringList, TextPutsCrLfAfterEveryLine)
{
    TStringList list;
    EXPECT_EQ(list.Text(), "");
    list.Add("a");
    list.Add("");
    list.Add("b");
    EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
    TStringList copy;
    copy.SetText(list.Text());
    EXPECT_EQ(copy.Items(), list.Items()) << "Text and SetText round-trip, empty lines included";
}

TEST(TStringList, SaveAndLoadFiles)
{
    testsupport::TempFolder folder;
    const std::string name = folder.Path() + "list.txt";
    TStringList empty;
    empty.SaveToFile(name);
    EXPECT_EQ(ReadFileBytes(name), "") << "an empty list saves an empty file";
    TStringList loaded;
    loaded.Add("stale");
    loaded.LoadFromFile(name);
    EXPECT_EQ(loaded.Count(), 0);

    WriteFileBytes(name, "one\ntwo\r\nthree\rfour\r\n");
    loaded.LoadFromFile(name);
    EXPECT_EQ(loaded.Items(), (Lines{"one", "two", "three", "four"}));
    loaded.SaveToFile(name);
    EXPECT_EQ(ReadFileBytes(name), "one\r\ntwo\r\nthree\r\nfour\r\n");

    EXPECT_THROW(loaded.LoadFromFile(folder.Path() + "missing.txt"), EFOpenError);
}

TEST(TStringList, LoadFromStreamReadsFromThePosition)
{
    TMemoryStream stream(std::string("skip\r\nkeep\r\n"));
    stream.SetPosition(6);
    TStringList list;
    list.LoadFromStream(stream);
    EXPECT_EQ(list.Items(), (Lines{"keep"}));
    TMemoryStream out;
    out.WriteString(">");
    list.SaveToStream(out);
    EXPECT_EQ(out.Bytes(), ">keep\r\n");
}

TEST(TStringList, IndexesOutsideTheListRaise)
{
    TStringList list;
    list.Add("a");
    list.Add("b");
    EXPECT_THROW(list.Strings(-1), EListError);
    EXPECT_THROW(list.Strings(2), EListError);
    EXPECT_THROW(list[2], EListError);
    EXPECT_THROW(list.SetStrings(2, "x"), EListError);
    EXPECT_THROW(list.Delete(2), EListError);
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_THROW(list.Insert(3, "x"), EListError);
    EXPECT_THROW(list.Insert(-1, "x"), EListError);
    EXPECT_THROW(list.Exchange(0, 2), EListError);
    try {
        list.Strings(5);
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (5)");
    }
    EXPECT_EQ(list.Items(), (Lines{"a", "b"})) << "a refused change changes nothing";

    list.Insert(2, "c");  // at Count: appends
    list.Insert(0, "z");
    list.Exchange(0, 3);
    list.Delete(1);
    list.SetStrings(0, "C");
    EXPECT_EQ(list.Items(), (Lines{"C", "b", "z"}));
}

TEST(TStringList, IndexOfIsExactAndCaseSensitive)
{
    TStringList list;
    list.SetText("Apple\r\napple\r\n\r\n");
    EXPECT_EQ(list.IndexOf("apple"), 1);
    EXPECT_EQ(list.IndexOf("APPLE"), -1);
    EXPECT_EQ(list.IndexOf(""), 2);
    EXPECT_EQ(list.IndexOf("Appl"), -1);
}

TEST(TStringList, CommaTextQuotesWhatWouldBreakIt)
{
    TStringList list;
    for (const char* item : {"plain", "two words", "", "say \"hi\"", "a,b"})
        list.Add(item);
    EXPECT_EQ(list.CommaText(), "plain,\"two words\",\"\",\"say \"\"hi\"\"\",\"a,b\"");
    TStringList none;
    EXPECT_EQ(none.CommaText(), "");
}

class TCountingList : public TStrings {
public:
    int FChanges = 0;
    void Changed() override { ++FChanges; }
};

TEST(TStringList, EveryChangeNotifiesOnce)
{
    TCountingList list;
    list.Add("a");
    list.Insert(0, "b");
    list.SetStrings(0, "c");
    list.Exchange(0, 1);
    list.Delete(0);
    list.SetText("x\r\ny");
    TStringList other;
    other.Add("q");
    list.Assign(other);
    list.Clear();
    EXPECT_EQ(list.FChanges, 8);
    EXPECT_THROW(list.Delete(0), EListError);
    EXPECT_EQ(list.FChanges, 8) << "a refused change notifies nobody";
}

}  // namespace

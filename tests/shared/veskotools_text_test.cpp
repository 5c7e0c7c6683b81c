#include "shared/veskotools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/Program.h"
#include "tests/support/TempFolder.h"

namespace {

struct ReplaceCase {
    const char* name;
    std::string find;
    std::string replacement;
    std::string text;
    int mode;
    std::string expected;
};

TEST(ReplaceText, ModesAndResumeRule)
{
    using namespace std::string_literals;
    const ReplaceCase cases[] = {
        {"mode 1 replacement holds find, ends", "a", "aa", "aaa", 1, "aaaaaa"},
        {"mode 1 dots", ".", "-", "12.05.2003", 1, "12-05-2003"},
        {"mode 1 blank to %20", " ", "%20", "my gallery", 1, "my%20gallery"},
        {"mode 1 join with following text not found", "ab", "a", "aabb", 1, "aab"},
        {"mode 1 empty replacement", ".", "", "a.b..c.", 1, "abc"},
        {"mode 1 longer find at both ends", "<B>", "[", "<B>x<B>", 1, "[x["},
        {"mode 1 zero bytes", "\0"s, "\r\n", "a\0b\0"s, 1, "a\r\nb\r\n"},
        {"mode 1 absent", "z", "y", "abc", 1, "abc"},
        {"mode 0 first only", "mail", "post", "xmailymail", 0, "xpostymail"},
        {"mode 0 absent", "q", "r", "abc", 0, "abc"},
        {"mode 0 whole text", "abc", "", "abc", 0, ""},
        {"empty find mode 0", "", "x", "abc", 0, "abc"},
        {"empty find mode 1", "", "x", "abc", 1, "abc"},
        {"mode 2", "a", "b", "aaa", 2, "aaa"},
        {"mode -1", "a", "b", "aaa", -1, "aaa"},
    };
    for (const ReplaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = c.text;
        ReplaceText(c.find, c.replacement, text, c.mode);
        EXPECT_EQ(text, c.expected);
    }
}

struct SplitCase {
    std::string separator;
    std::string s;
    std::string before;
    std::string after;
};

TEST(SplitAtChar, HalvesAroundFirstChar)
{
    const SplitCase cases[] = {
        {".", "name", "", "name"},
        {".", "a.b.c", "a", "b.c"},
        {".", "abc.", "abc", ""},
        {".", ".abc", "", "abc"},
        {".", "", "", ""},
        {"=", "key=value=x", "key", "value=x"},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.s);
        std::string before = "old";
        std::string after = "old";
        SplitAtChar(c.separator[0], c.s, before, after);
        EXPECT_EQ(before, c.before);
        EXPECT_EQ(after, c.after);
    }
}

TEST(SplitAtText, HalvesAroundFirstSeparator)
{
    const SplitCase cases[] = {
        {"<PEND>", "xx<PEND>yy<PEND>", "xx", "yy<PEND>"},
        {"<PEND>", "no separator", "", "no separator"},
        {"<PEND>", "<PEND>", "", ""},
        {"<PEND>", "tail<PEND>", "tail", ""},
        {"<PEND>", "xx<PEN", "", "xx<PEN"},
        {"aa", "baaa", "b", "a"},
        {"", "abc", "", "abc"},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.s);
        std::string before = "old";
        std::string after = "old";
        SplitAtText(c.separator, c.s, before, after);
        EXPECT_EQ(before, c.before);
        EXPECT_EQ(after, c.after);
    }
}

// Callers walk a text by splitting it into itself.
TEST(SplitAtChar, OutParameterMayBeTheInput)
{
    std::string rest = "a.b.c";
    std::string head;
    SplitAtChar('.', rest, head, rest);
    EXPECT_EQ(head, "a");
    EXPECT_EQ(rest, "b.c");

    std::string whole = "a.b";
    std::string tail;
    SplitAtChar('.', whole, whole, tail);
    EXPECT_EQ(whole, "a");
    EXPECT_EQ(tail, "b");

    std::string none = "plain";
    std::string other;
    SplitAtText("<X>", none, none, other);
    EXPECT_EQ(none, "");
    EXPECT_EQ(other, "plain");
}

TEST(ExtractLastDotPart, TextAfterLastDot)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a.b.c", "c"}, {"abc.", ""}, {"abc", "abc"}, {"", ""},
        {"photo.JPG", "JPG"}, {".hidden", "hidden"}, {"dir.d/file", "d/file"},
    };
    for (const auto& [s, expected] : cases) {
        SCOPED_TRACE(s);
        std::string part = "old";
        ExtractLastDotPart(s, part);
        EXPECT_EQ(part, expected);
    }
}

TEST(RoundHalfEven, HalvesGoToEven)
{
    const std::pair<double, int> cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {1.5, 2}, {-0.5, 0}, {-1.5, -2},
        {2.4999, 2}, {2.5001, 3}, {-3.7, -4}, {7.0, 7},
        {1e20, std::numeric_limits<int>::max()}, {-1e20, std::numeric_limits<int>::min()},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(value);
        EXPECT_EQ(RoundHalfEven(value), expected);
    }
}

class LoadFileToStringTest : public ::testing::Test {
protected:

    std::string Write(const std::string& name, const std::string& bytes)
    {
        const std::string path = (FDir / name).string();
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    testsupport::TempFolder FTemp;
    std::filesystem::path FDir = FTemp.Path();
};

TEST_F(LoadFileToStringTest, ReadsEveryByteAcrossChunkEdges)
{
    for (std::size_t size : {0u, 1u, 2047u, 2048u, 2049u, 4096u, 4097u, 10000u}) {
        SCOPED_TRACE(size);
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<char>((i * 7 + 3) % 256);
        }
        // End-of-file and zero bytes sit on both sides of the first chunk edge.
        if (size >= 2049) {
            bytes[2047] = 26;
            bytes[2048] = 0;
        }
        if (size >= 1) {
            bytes[0] = 0;
            bytes[size - 1] = 26;
        }
        const std::string path = Write("f" + std::to_string(size) + ".bin", bytes);
        std::string data = "stale";
        LoadFileToString(path, data);
        EXPECT_EQ(data.size(), size);
        EXPECT_EQ(data, bytes);
    }
}

TEST_F(LoadFileToStringTest, UnopenableNameRaisesOpenErrorAndKeepsData)
{
    const std::string missing = (FDir / "missing.dat").string();
    const std::string folder = FDir.string();
    for (const std::string& name : {missing, folder}) {
        SCOPED_TRACE(name);
        std::string data = "kept";
        try {
            LoadFileToString(name, data);
            ADD_FAILURE() << "no exception";
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.FileName(), name);
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos);
        }
        EXPECT_EQ(data, "kept");
    }
}

TEST(AppPath, ProgramFolderWithTrailingSlash)
{
    std::string dir;
    AppPath(dir);
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.front(), '/');
    EXPECT_EQ(dir.back(), '/');
    // Callers append relative names directly.
    EXPECT_TRUE(FileExists(dir + ExtractFileName(ProgramFileName())));
}

} // namespace

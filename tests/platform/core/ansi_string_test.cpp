#include "platform/core/AnsiString.h"

#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"

namespace {

TEST(AnsiString, PosFindsFirstOccurrenceAndNeverAnEmptySub)
{
    struct Case {
        const char* sub;
        const char* s;
        int expected;
    };
    const Case cases[] = {
        {"", "abc", 0}, {"", "", 0},        {"a", "", 0},      {"b", "abc", 2},
        {"bc", "abcbc", 2}, {"abc", "abc", 1}, {"abcd", "abc", 0}, {"C", "abc", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("Pos('") + c.sub + "', '" + c.s + "')");
        EXPECT_EQ(Pos(c.sub, c.s), c.expected);
    }
}

TEST(AnsiString, CopyClampsIndexAndCount)
{
    struct Case {
        const char* s;
        int index;
        int count;
        const char* expected;
    };
    const Case cases[] = {
        {"abc", 1, 2, "ab"},  {"abc", 0, 2, "ab"},       {"abc", -5, 1, "a"},   {"abc", INT_MIN, 1, "a"},
        {"abc", 3, 5, "c"},   {"abc", 4, 1, ""},         {"abc", INT_MAX, 1, ""}, {"abc", 2, 0, ""},
        {"abc", 2, -1, ""},   {"abc", 1, INT_MAX, "abc"}, {"", 1, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("Copy('") + c.s + "', " + std::to_string(c.index) + ", "
                     + std::to_string(c.count) + ")");
        EXPECT_EQ(Copy(c.s, c.index, c.count), c.expected);
    }
}

TEST(AnsiString, DeleteIgnoresOutOfRangeRequests)
{
    struct Case {
        int index;
        int count;
        const char* expected;
    };
    const Case cases[] = {
        {2, 3, "aef"},      {1, 1, "bcdef"}, {6, 1, "abcde"},     {5, 100, "abcd"},
        {1, INT_MAX, ""},   {0, 2, "abcdef"}, {-1, 2, "abcdef"},  {7, 1, "abcdef"},
        {INT_MAX, 1, "abcdef"}, {1, 0, "abcdef"}, {1, -3, "abcdef"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("Delete(s, " + std::to_string(c.index) + ", " + std::to_string(c.count) + ")");
        std::string s = "abcdef";
        Delete(s, c.index, c.count);
        EXPECT_EQ(s, c.expected);
    }
}

TEST(AnsiString, InsertPrependsBelowOneAndAppendsPastTheEnd)
{
    struct Case {
        int index;
        const char* expected;
    };
    const Case cases[] = {
        {1, "Xabc"}, {0, "Xabc"}, {INT_MIN, "Xabc"}, {2, "aXbc"}, {3, "abXc"},
        {4, "abcX"}, {100, "abcX"}, {INT_MAX, "abcX"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("Insert at " + std::to_string(c.index));
        std::string s = "abc";
        Insert("X", s, c.index);
        EXPECT_EQ(s, c.expected);
    }
    std::string empty;
    Insert("ab", empty, 5);
    EXPECT_EQ(empty, "ab");
}

TEST(AnsiString, StrToIntAcceptsStrictDecimalWithin32Bits)
{
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {" 42 ", 42},
        {"\t-7\t", -7},
        {"+5", 5},
        {"-0", 0},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"+2147483647", INT_MAX},
        {"000000000000000000002147483647", INT_MAX},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("'") + c.text + "'");
        EXPECT_EQ(StrToInt(c.text), c.expected);
        int value = 12345;
        EXPECT_TRUE(TryStrToInt(c.text, value));
        EXPECT_EQ(value, c.expected);
    }
}

TEST(AnsiString, StrToIntRefusesEverythingElse)
{
    const char* cases[] = {
        "",          " ",           "+",    "-",    "2147483648", "-2147483649", "4294967296",
        "99999999999999999999999", "$ff", "0x10", "1 2", "12a", "a12", "1.0", "1e3",
        "+-1",       "- 1",         "--1",  "1-",   "\n1",        "1\r",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(std::string("'") + text + "'");
        int value = 12345;
        EXPECT_FALSE(TryStrToInt(text, value));
        EXPECT_EQ(value, 12345) << "a refused text must leave the value alone";
        try {
            StrToInt(text);
            ADD_FAILURE() << "no exception";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), std::string("'") + text + "' is not a valid integer value");
        }
    }
}

TEST(AnsiString, CaseMappingIsAsciiOnly)
{
    EXPECT_EQ(UpperCase("abz\xE4 AZ@["), "ABZ\xE4 AZ@[");
    EXPECT_EQ(LowerCase("ABZ\xC4 az@["), "abz\xC4 az@[");
    EXPECT_TRUE(SameText("Thumbs.JPG", "thumbs.jpg"));
    EXPECT_FALSE(SameText("\xE4", "\xC4"));
    EXPECT_FALSE(SameText("abc", "abcd"));
    EXPECT_FALSE(SameText("@", "`"));  // neighbours of the letter ranges
}

TEST(AnsiString, TrimRemovesControlsAndBlanksAtBothEnds)
{
    EXPECT_EQ(Trim(" \t\r\n a b \x01"), "a b");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // no-break space is text in CP1252
}

TEST(AnsiString, IntToHexPadsToDigits)
{
    EXPECT_EQ(IntToHex(255, 2), "$FF");
    EXPECT_EQ(IntToHex(255, 4), "$00FF");
    EXPECT_EQ(IntToHex(0x1234, 2), "$1234");
    EXPECT_EQ(IntToHex(0, 0), "$0");
    EXPECT_EQ(IntToHex(0xFFFFFFFFu, 8), "$FFFFFFFF");
}

std::string AllBytes()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

TEST(AnsiString, Cp1252RoundTripsEveryByte)
{
    const std::string bytes = AllBytes();
    const std::string utf8 = Cp1252ToUtf8(bytes);
    EXPECT_EQ(Utf8ToCp1252(utf8), bytes);
    std::string back;
    EXPECT_TRUE(TryUtf8ToCp1252(utf8, back));
    EXPECT_EQ(back, bytes);
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(one)), one);
    }
}

TEST(AnsiString, Cp1252MapsTheWindowsTable)
{
    struct Case {
        unsigned char byte;
        char32_t code;
        const char* utf8;
    };
    const Case cases[] = {
        {0x41, 0x41, "A"},
        {0x80, 0x20AC, "\xE2\x82\xAC"},
        {0x81, 0x0081, "\xC2\x81"},
        {0x85, 0x2026, "\xE2\x80\xA6"},
        {0x8D, 0x008D, "\xC2\x8D"},
        {0x8F, 0x008F, "\xC2\x8F"},
        {0x90, 0x0090, "\xC2\x90"},
        {0x96, 0x2013, "\xE2\x80\x93"},
        {0x99, 0x2122, "\xE2\x84\xA2"},
        {0x9D, 0x009D, "\xC2\x9D"},
        {0x9F, 0x0178, "\xC5\xB8"},
        {0xA0, 0x00A0, "\xC2\xA0"},
        {0xE4, 0x00E4, "\xC3\xA4"},
        {0xFF, 0x00FF, "\xC3\xBF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.byte));
        EXPECT_EQ(Cp1252ToUnicode(c.byte), c.code);
        EXPECT_EQ(Cp1252ToUtf8(std::string(1, static_cast<char>(c.byte))), c.utf8);
    }
    EXPECT_EQ(Cp1252ToUtf8("Zur\xFC" "ck"), "Zur\xC3\xBC" "ck");
}

TEST(AnsiString, Utf8ToCp1252RefusesInvalidOrUnrepresentableText)
{
    struct Case {
        const char* name;
        std::string utf8;
        const char* messagePart;
    };
    const Case cases[] = {
        {"truncated", "ab\xC3", "is not valid UTF-8"},
        {"lone continuation", "\x80", "is not valid UTF-8"},
        {"bad continuation", "\xC3\x28", "is not valid UTF-8"},
        {"overlong NUL", "\xC0\x80", "is not valid UTF-8"},
        {"overlong three bytes", "\xE0\x80\xAF", "is not valid UTF-8"},
        {"surrogate", "\xED\xA0\x80", "is not valid UTF-8"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "is not valid UTF-8"},
        {"byte FF", "\xFF", "is not valid UTF-8"},
        {"Latin A macron", "\xC4\x80", "U+0100"},
        {"CJK", "x\xE4\xB8\xAD", "U+4E2D"},
        {"emoji", "\xF0\x9F\x98\x80", "U+1F600"},
        // The C1 controls whose bytes CP1252 gives to other characters.
        {"U+0080", "\xC2\x80", "U+0080"},
        {"U+009F", "\xC2\x9F", "U+009F"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out = "untouched";
        EXPECT_FALSE(TryUtf8ToCp1252(c.utf8, out));
        EXPECT_EQ(out, "untouched");
        try {
            Utf8ToCp1252(c.utf8);
            ADD_FAILURE() << "no exception";
        } catch (const EEncodingError& e) {
            EXPECT_NE(e.Message().find(c.messagePart), std::string::npos) << e.Message();
            EXPECT_NE(e.Message().find(PrintableText(c.utf8)), std::string::npos) << e.Message();
        }
    }
}

TEST(AnsiString, PrintableTextEscapesAndCuts)
{
    EXPECT_EQ(PrintableText("a\\b\x01\xE4~"), "a\\\\b\\x01\\xE4~");
    const std::string shown = PrintableText(std::string(500, 'x'));
    EXPECT_EQ(shown, std::string(200, 'x') + "...");
    EXPECT_EQ(PrintableText(std::string(200, 'x')), std::string(200, 'x'));
}

}  // namespace

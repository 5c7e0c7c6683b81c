#include "shared/veskotools.h"

#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"

namespace {

using namespace std::string_literals;

// The uploader's kind of key: 35 lowercase letters and digits.
const std::string Key = "k3y9q0w8e7r6t5z4u3i2o1p0a9s8d7f6g5h";

// Scrambling as the table defines it: the row chosen by the key byte, the
// text byte's place in row 0; unscrambling takes the place in that row.
std::string TableScramble(const TScrambleTable& table, const std::string& key, const std::string& text, bool forward)
{
    std::string keyStream;
    for (std::size_t i = 0; i < text.size() / key.size() + 1; ++i) {
        keyStream += key;
    }
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string& row = table[ScrambleAlphabet.find(keyStream[i])];
        if (forward) {
            out += row[table[0].find(text[i])];
        } else {
            out += ScrambleAlphabet[row.find(text[i])];
        }
    }
    return out;
}

std::string Bytes(std::size_t length, unsigned seed)
{
    std::string s(length, '\0');
    for (std::size_t i = 0; i < length; ++i) {
        seed = seed * 1103515245u + 12345u;
        s[i] = static_cast<char>(seed >> 16);
    }
    return s;
}

TEST(ScrambleTable, RowsAreTheAlphabetTurnedLeft)
{
    TScrambleTable table;
    BuildScrambleTable(table);
    BuildScrambleTable(table); // built afresh, not appended
    ASSERT_EQ(ScrambleAlphabet.size(), 256u);
    for (int v = 0; v < 256; ++v) {
        ASSERT_EQ(static_cast<unsigned char>(ScrambleAlphabet[std::size_t(v)]), v);
    }
    for (std::size_t i = 0; i < 256; ++i) {
        ASSERT_EQ(table[i].size(), 256u) << "row " << i;
        for (std::size_t k = 1; k <= 256; ++k) {
            ASSERT_EQ(static_cast<unsigned char>(table[i][k - 1]), (i + k - 1) % 256) << "row " << i << " pos " << k;
        }
    }
}

struct ScrambleCase {
    const char* name;
    std::string key;
    std::string plain;
    std::string scrambled;
};

TEST(ScrambleText, KnownBytes)
{
    const ScrambleCase cases[] = {
        {"empty text", "abc", "", ""},
        {"sum past 255 wraps", "\x20", "\xF0\xFF", "\x10\x1F"},
        {"key byte 0 keeps the byte", "\0"s, "any\0"s, "any\0"s},
        {"key restarts after its last byte", "\x01\x02\x03", "aaaaaaa", "bcdbcdb"},
        {"key longer than text", "\x01\x02\x03\x04", "aa", "bc"},
        {"line breaks and zero can come out", "\x01\x02\x03", "\xFF\x08\x0A", "\0\n\r"s},
    };
    TScrambleTable table;
    BuildScrambleTable(table);
    for (const ScrambleCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = c.plain;
        ScrambleText(table, c.key, text);
        EXPECT_EQ(text, c.scrambled);
        UnscrambleText(table, c.key, text);
        EXPECT_EQ(text, c.plain);
    }
}

TEST(ScrambleText, MatchesTableAndRoundTrips)
{
    TScrambleTable table;
    BuildScrambleTable(table);
    const std::string keys[] = {Key, "\xFF", "\0\x80"s};
    for (const std::string& key : keys) {
        for (std::size_t length = 0; length <= 1000; ++length) {
            SCOPED_TRACE(testing::Message() << "key size " << key.size() << ", length " << length);
            const std::string plain = Bytes(length, static_cast<unsigned>(length));
            std::string text = plain;
            ScrambleText(table, key, text);
            ASSERT_EQ(text, TableScramble(table, key, plain, true));
            const std::string scrambled = text;
            UnscrambleText(table, key, text);
            ASSERT_EQ(text, plain);
            ASSERT_EQ(TableScramble(table, key, scrambled, false), plain);
        }
    }
}

TEST(ScrambleText, EmptyKeyIsRefused)
{
    TScrambleTable table;
    BuildScrambleTable(table);
    std::string text = "account";
    EXPECT_THROW(ScrambleText(table, "", text), Exception);
    EXPECT_THROW(UnscrambleText(table, "", text), Exception);
    EXPECT_EQ(text, "account");
}

} // namespace

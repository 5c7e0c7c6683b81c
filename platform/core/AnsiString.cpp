#include "platform/core/AnsiString.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <optional>

#include "platform/core/Exceptions.h"

namespace {

// Code points of the bytes 0x80..0x9F; the five bytes CP1252 leaves undefined
// keep their C1 control value so every byte survives a round trip.
constexpr std::array<char32_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<unsigned char> UnicodeToCp1252(char32_t code)
{
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<unsigned char>(code);
    for (std::size_t i = 0; i < kHighTable.size(); ++i) {
        if (kHighTable[i] == code)
            return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        // CP1252 holds nothing above the Basic Multilingual Plane.
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

enum class TDecodeResult { Ok, Invalid, Unrepresentable };

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
TDecodeResult DecodeUtf8(std::string_view utf8, std::string& out, char32_t& badCode)
{
    out.clear();
    out.reserve(utf8.size());
    std::size_t i = 0;
    const std::size_t n = utf8.size();
    while (i < n) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        char32_t code = 0;
        std::size_t length = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
            minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
            minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
            minimum = 0x10000;
        } else {
            return TDecodeResult::Invalid;
        }
        if (n - i < length)
            return TDecodeResult::Invalid;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80)
                return TDecodeResult::Invalid;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return TDecodeResult::Invalid;
        const auto byte = UnicodeToCp1252(code);
        if (!byte) {
            badCode = code;
            return TDecodeResult::Unrepresentable;
        }
        out += static_cast<char>(*byte);
        i += length;
    }
    return TDecodeResult::Ok;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::optional<int> ParseInt(std::string_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t digitsStart = i;
    std::int64_t magnitude = 0;
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        magnitude = magnitude * 10 + (text[i] - '0');
        // Stop growing once out of range; leading zeros still pass.
        if (magnitude > kLimit)
            return std::nullopt;
        ++i;
    }
    if (i == digitsStart)
        return std::nullopt;
    while (i < n && IsBlank(text[i]))
        ++i;
    if (i != n)
        return std::nullopt;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > kLimit - 1)
        return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace

int Pos(std::string_view sub, std::string_view s)
{
    if (sub.empty())
        return 0;
    const auto at = s.find(sub);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

std::string Copy(std::string_view s, int index, int count)
{
    if (index < 1)
        index = 1;
    const auto start = static_cast<std::size_t>(index - 1);
    if (count < 1 || start >= s.size())
        return {};
    return std::string(s.substr(start, static_cast<std::size_t>(count)));
}

void Delete(std::string& s, int index, int count)
{
    if (index < 1 || count < 1)
        return;
    const auto start = static_cast<std::size_t>(index - 1);
    if (start >= s.size())
        return;
    s.erase(start, static_cast<std::size_t>(count));
}

void Insert(std::string_view sub, std::string& s, int index)
{
    if (index < 1)
        index = 1;
    const auto at = std::min(static_cast<std::size_t>(index - 1), s.size());
    s.insert(at, sub);
}

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

int StrToInt(std::string_view text)
{
    const auto value = ParseInt(text);
    if (!value)
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return *value;
}

bool TryStrToInt(std::string_view text, int& value)
{
    const auto parsed = ParseInt(text);
    if (!parsed)
        return false;
    value = *parsed;
    return true;
}

std::string UpperCase(std::string_view s)
{
    std::string result(s);
    std::transform(result.begin(), result.end(), result.begin(), UpperChar);
    return result;
}

std::string LowerCase(std::string_view s)
{
    std::string result(s);
    std::transform(result.begin(), result.end(), result.begin(), LowerChar);
    return result;
}

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(),
                         [](char x, char y) { return UpperChar(x) == UpperChar(y); });
}

std::string Trim(std::string_view s)
{
    // Every control character counts as blank, as the classic runtime trims.
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t first = 0;
    std::size_t last = s.size();
    while (first < last && blank(s[first]))
        ++first;
    while (last > first && blank(s[last - 1]))
        --last;
    return std::string(s.substr(first, last - first));
}

std::string IntToHex(std::uint32_t value, int digits)
{
    char buffer[16];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
    std::string hex(buffer, end);
    if (digits > static_cast<int>(hex.size()))
        hex.insert(0, static_cast<std::size_t>(digits) - hex.size(), '0');
    std::string result(1, '$');
    result += UpperCase(hex);
    return result;
}

char32_t Cp1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighTable[byte - 0x80];
    return byte;
}

std::string Cp1252ToUtf8(std::string_view cp1252)
{
    std::string out;
    out.reserve(cp1252.size());
    for (const char c : cp1252)
        AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToCp1252(std::string_view utf8)
{
    std::string out;
    char32_t badCode = 0;
    switch (DecodeUtf8(utf8, out, badCode)) {
    case TDecodeResult::Ok:
        return out;
    case TDecodeResult::Invalid:
        throw EEncodingError("The text \"" + PrintableText(utf8) + "\" is not valid UTF-8");
    case TDecodeResult::Unrepresentable:
        break;
    }
    char code[16];
    const auto [end, ec] = std::to_chars(code, code + sizeof code, static_cast<std::uint32_t>(badCode), 16);
    std::string hex = UpperCase(std::string_view(code, static_cast<std::size_t>(end - code)));
    if (hex.size() < 4)
        hex.insert(0, 4 - hex.size(), '0');
    throw EEncodingError("The text \"" + PrintableText(utf8) + "\" holds the character U+" + hex
                         + ", which CP1252 cannot represent");
}

bool TryUtf8ToCp1252(std::string_view utf8, std::string& cp1252)
{
    std::string out;
    char32_t badCode = 0;
    if (DecodeUtf8(utf8, out, badCode) != TDecodeResult::Ok)
        return false;
    cp1252 = std::move(out);
    return true;
}

std::string PrintableText(std::string_view bytes)
{
    constexpr std::size_t kMaxShown = 200;
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    const std::size_t shown = std::min(bytes.size(), kMaxShown);
    for (std::size_t i = 0; i < shown; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    if (bytes.size() > kMaxShown)
        out += "...";
    return out;
}

std::string Base64Encode(std::string_view bytes)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = static_cast<std::uint8_t>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            group |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            group |= static_cast<std::uint8_t>(bytes[i + 2]);
        out += alphabet[(group >> 18) & 63];
        out += alphabet[(group >> 12) & 63];
        out += i + 1 < bytes.size() ? alphabet[(group >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? alphabet[group & 63] : '=';
    }
    return out;
}

std::string StripAccelerator(const std::string& caption, int& marked)
{
    std::string out;
    marked = -1;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != '&' && marked < 0) marked = static_cast<int>(out.size());
        }
        out += caption[i];
    }
    return out;
}

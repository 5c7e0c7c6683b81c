#pragma once

// Byte strings of the system's ANSI code page (Windows-1252). Every text inside
// the system is a std::string of CP1252 bytes; positions in the helpers below
// are 1-based, and "not found" is 0. Conversion to and from UTF-8 happens only
// at the edges (file names, the display, PDF text).

#include <cstdint>
#include <string>
#include <string_view>

using AnsiString = std::string;

// Position of the first occurrence of `sub` in `s`, 1-based; 0 when absent.
// An empty `sub` is never found.
int Pos(std::string_view sub, std::string_view s);

// Up to `count` bytes of `s` from 1-based `index`. An index below 1 counts as 1;
// an index past the end or a count below 1 gives "".
std::string Copy(std::string_view s, int index, int count);

// Removes up to `count` bytes at 1-based `index`; out-of-range requests do nothing.
void Delete(std::string& s, int index, int count);

// Inserts `sub` before 1-based `index`; an index past the end appends, below 1 prepends.
void Insert(std::string_view sub, std::string& s, int index);

std::string IntToStr(std::int64_t value);

// Strict conversion: optional leading and trailing blanks, an optional sign,
// then decimal digits within 32 bits. Anything else raises EConvertError
// with the message "'<text>' is not a valid integer value".
int StrToInt(std::string_view text);
bool TryStrToInt(std::string_view text, int& value);

// ASCII-only case mapping, as the system's file-type and mask tests need.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);
std::string Trim(std::string_view s);

// "$" + hexadecimal digits, at least `digits` of them, upper case.
std::string IntToHex(std::uint32_t value, int digits);

// CP1252 to UTF-8. The five bytes CP1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) map to the C1 control characters of the same value.
std::string Cp1252ToUtf8(std::string_view cp1252);
// UTF-8 to CP1252. Raises EEncodingError for invalid UTF-8 or a character CP1252
// cannot hold.
std::string Utf8ToCp1252(std::string_view utf8);
bool TryUtf8ToCp1252(std::string_view utf8, std::string& cp1252);
// The Unicode code point of one CP1252 byte.
char32_t Cp1252ToUnicode(unsigned char byte);

// A text fit for an error message whatever its bytes: printable ASCII stays, a
// backslash is doubled, every other byte becomes "\xNN", and a text longer than
// 200 bytes is cut there and ends in "...".
std::string PrintableText(std::string_view bytes);

// Base64 with the RFC 2045 alphabet and "=" padding, no line breaks.
std::string Base64Encode(std::string_view bytes);

// A caption without its accelerator marks ("&&" is a plain "&"), and the
// index of the marked character (-1 when none).
std::string StripAccelerator(const std::string& caption, int& marked);

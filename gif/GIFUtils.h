#pragma once

// The codec's exception and the small byte and bit routines every block uses.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/core/Exceptions.h"

class TStream;

class GIFException : public Exception {
public:
    using Exception::Exception;
};

[[noreturn]] void GIFError(const std::string& message);

// Reads `count` bytes or raises "Premature end of data".
void ReadExact(TStream& stream, void* buffer, std::size_t count);
// The next byte, or -1 at the end of the stream.
int ReadByte(TStream& stream);
void WriteByte(TStream& stream, std::uint8_t value);
// Puts back the byte just read.
void Unread(TStream& stream);

// 0 for 0 colours; else the smallest b >= 1 with 2^b >= count.
int BitsForColorCount(int count);

// Bytes of a row of `bits` pixels of `bitsPerPixel`, padded to `alignment` bits.
std::int64_t RowBytes(std::int64_t bits, int bitsPerPixel, int alignment);

std::uint16_t ReadLE16(const std::uint8_t* p);
void WriteLE16(std::uint8_t* p, std::uint16_t value);

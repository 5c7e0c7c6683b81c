#include "gif/GIFUtils.h"

#include "platform/core/TStream.h"

void GIFError(const std::string& message)
{
    throw GIFException(message);
}

void ReadExact(TStream& stream, void* buffer, std::size_t count)
{
    if (stream.Read(buffer, count) != count)
        GIFError("Premature end of data");
}

int ReadByte(TStream& stream)
{
    std::uint8_t b;
    return stream.Read(&b, 1) == 1 ? b : -1;
}

void WriteByte(TStream& stream, std::uint8_t value)
{
    stream.WriteBuffer(&value, 1);
}

void Unread(TStream& stream)
{
    stream.Seek(-1, soCurrent);
}

int BitsForColorCount(int count)
{
    if (count <= 0)
        return 0;
    int bits = 1;
    while ((1 << bits) < count)
        ++bits;
    return bits;
}

std::int64_t RowBytes(std::int64_t bits, int bitsPerPixel, int alignment)
{
    return (bits * bitsPerPixel + alignment - 1) / alignment * alignment / 8;
}

std::uint16_t ReadLE16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void WriteLE16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

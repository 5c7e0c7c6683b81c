#pragma once

// Pixel layout helpers shared by TBitmap and the BMP codec. Not part of the
// graphics interface: include only from platform/graphics/*.cpp.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/graphics/TBitmap.h"

namespace bitmap_detail {

bool IsIndexed(TPixelFormat format);

// Bytes of one row padded to 4 bytes, in 64 bits so that any int width fits.
constexpr std::uint64_t RowBytes(std::uint64_t width, int bits)
{
    return (width * static_cast<std::uint64_t>(bits) + 31) / 32 * 4;
}

// Black and white, the 16 VGA colours, or the 256-colour half-tone palette;
// empty for formats without a palette.
const std::vector<TRGBQuad>& DefaultPalette(TPixelFormat format);

// Squared RGB distance, the first of equals; -1 for an empty palette.
int NearestIndex(std::span<const TRGBQuad> palette, TColor rgb);

// A channel of `bits` bits scaled to 0..255 with rounding (0 bits gives 0).
constexpr std::uint8_t ExpandChannel(std::uint32_t value, int bits)
{
    if (bits <= 0) return 0;
    const std::uint64_t max = (std::uint64_t(1) << bits) - 1;
    return static_cast<std::uint8_t>((std::uint64_t(value) * 255 + max / 2) / max);
}

// Index of pixel x in a row of 1, 4 or 8 bits per pixel.
inline unsigned ReadIndex(const std::uint8_t* row, int x, int bits)
{
    switch (bits) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    default:
        return row[x];
    }
}

inline void WriteIndex(std::uint8_t* row, int x, int bits, unsigned index)
{
    switch (bits) {
    case 1: {
        const auto mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
        row[x >> 3] = static_cast<std::uint8_t>((index & 1) ? row[x >> 3] | mask : row[x >> 3] & ~mask);
        break;
    }
    case 4:
        row[x >> 1] = static_cast<std::uint8_t>(
            (x & 1) ? (row[x >> 1] & 0xF0) | (index & 0x0F) : (row[x >> 1] & 0x0F) | ((index & 0x0F) << 4));
        break;
    default:
        row[x] = static_cast<std::uint8_t>(index);
        break;
    }
}

// Zeroes the bits after the last pixel of a row, so padding never carries
// what a file had there.
void ClearPadding(std::uint8_t* row, std::size_t rowBytes, std::uint64_t width, int bits);

// Colour of pixel x in a row of a direct-colour format (15, 16, 24, 32 bits).
TColor ReadDirect(const std::uint8_t* row, int x, TPixelFormat format);
// Writes a plain RGB colour into a row of a direct-colour format.
void WriteDirect(std::uint8_t* row, int x, TPixelFormat format, TColor rgb);

}  // namespace bitmap_detail

#pragma once

// ICO files built in code, for the icon picture's tests and the GIF codec's.

#include <cstdint>
#include <vector>

#include "platform/graphics/TBitmap.h"

namespace icontest {

using Bytes = std::vector<std::uint8_t>;

// One image of an ICO file, rows top to bottom. Pixels are palette indexes
// at 1, 4 and 8 bits, 0xAARRGGBB values at 24 and 32 (alpha written at 32
// only). A palette shorter than the bits allow is written with its count; at
// 24 and 32 bits a palette is a colour table ahead of the pixels, which only
// its count announces.
struct IconImage {
    int width = 0;
    int height = 0;
    int bits = 0;
    std::vector<TRGBQuad> palette;
    std::vector<std::uint32_t> pixels;
    std::vector<std::uint8_t> mask;  // 1: transparent
};

inline void Put16(Bytes& b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// Little-endian fields patched into a file.
inline void Poke(Bytes& b, std::size_t at, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void Poke16(Bytes& b, std::size_t at, std::uint32_t v) { Poke(b, at, v, 2); }
inline void Poke32(Bytes& b, std::size_t at, std::uint32_t v) { Poke(b, at, v, 4); }

// Bytes of a row padded to 4 bytes.
inline std::size_t RowBytes(int width, int bits) { return (std::size_t(width) * bits + 31) / 32 * 4; }

// Sets pixel x of a row of 1, 4 or 8 bits, most significant bits first.
inline void PutIndex(Bytes& row, int x, int bits, std::uint32_t index)
{
    const std::size_t bit = std::size_t(x) * bits;
    const int shift = 8 - bits - static_cast<int>(bit % 8);
    row.at(bit / 8) = static_cast<std::uint8_t>(row.at(bit / 8) | (index << shift));
}

// The bitmap header, palette, colour rows and mask rows, bottom row first.
inline Bytes ImageBytes(const IconImage& image)
{
    Bytes out;
    const bool indexed = image.bits <= 8;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(image.width));
    Put32(out, static_cast<std::uint32_t>(2 * image.height));  // colour and mask rows
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(image.bits));
    Put32(out, 0);  // BI_RGB
    Put32(out, 0);  // image size
    Put32(out, 0);
    Put32(out, 0);
    const bool shortPalette = indexed && image.palette.size() < (std::size_t(1) << image.bits);
    Put32(out, shortPalette || !indexed ? static_cast<std::uint32_t>(image.palette.size()) : 0);
    Put32(out, 0);
    for (const TRGBQuad& q : image.palette) out.insert(out.end(), {q.rgbBlue, q.rgbGreen, q.rgbRed, 0});

    const auto colorRow = RowBytes(image.width, image.bits);
    const auto maskRow = RowBytes(image.width, 1);
    for (int y = image.height - 1; y >= 0; --y) {
        Bytes row(colorRow, 0);
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.pixels.at(static_cast<std::size_t>(y * image.width + x));
            if (indexed) {
                PutIndex(row, x, image.bits, p);
                continue;
            }
            const std::size_t step = image.bits / 8;
            row.at(x * step) = static_cast<std::uint8_t>(p);
            row.at(x * step + 1) = static_cast<std::uint8_t>(p >> 8);
            row.at(x * step + 2) = static_cast<std::uint8_t>(p >> 16);
            if (step == 4) row.at(x * step + 3) = static_cast<std::uint8_t>(p >> 24);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = image.height - 1; y >= 0; --y) {
        Bytes row(maskRow, 0);
        for (int x = 0; x < image.width; ++x)
            PutIndex(row, x, 1, image.mask.at(static_cast<std::size_t>(y * image.width + x)));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// A whole file: the directory (6 bytes, then 16 per entry), then the images in order.
inline Bytes IcoFile(const std::vector<IconImage>& images)
{
    Bytes out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(images.size()));
    std::vector<Bytes> data;
    for (const IconImage& image : images) data.push_back(ImageBytes(image));
    std::size_t offset = 6 + 16 * images.size();
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        out.push_back(static_cast<std::uint8_t>(image.width & 0xFF));  // 256 is written 0
        out.push_back(static_cast<std::uint8_t>(image.height & 0xFF));
        out.push_back(image.bits <= 8 && image.palette.size() < 256 ? static_cast<std::uint8_t>(image.palette.size()) : 0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, static_cast<std::uint32_t>(image.bits));
        Put32(out, static_cast<std::uint32_t>(data[i].size()));
        Put32(out, static_cast<std::uint32_t>(offset));
        offset += data[i].size();
    }
    for (const Bytes& d : data) out.insert(out.end(), d.begin(), d.end());
    return out;
}

// The colours of the pattern below.
inline const TColor PatternColors[4] = {RGB(0, 0, 0), RGB(200, 40, 10), RGB(10, 180, 60), RGB(30, 60, 220)};

// 5 x 3 pixels (rows of 1 and 4 bits end inside a byte): colour (x + 2y) mod
// the colours there are, transparent at (0, 0), (4, 2) and (2, 1). Under the
// first two the colour is black, as icons have it; (2, 1) keeps colour 1, so
// drawing inverts the canvas there. At 32 bits the alpha channel agrees
// with the mask, as icon writers make it.
inline int PatternIndex(int x, int y, int bits)
{
    if ((x == 0 && y == 0) || (x == 4 && y == 2)) return 0;
    if (x == 2 && y == 1) return 1;
    return (x + 2 * y) % (bits == 1 ? 2 : 4);
}

inline bool PatternMasked(int x, int y) { return (x == 0 && y == 0) || (x == 4 && y == 2) || (x == 2 && y == 1); }

inline IconImage Pattern(int bits)
{
    IconImage image{5, 3, bits, {}, {}, {}};
    if (bits <= 8) {
        // A full palette at 4 bits; short ones (with their count) at 1 and 8.
        const int entries = bits == 1 ? 2 : bits == 4 ? 16 : 4;
        for (int i = 0; i < entries; ++i)
            image.palette.push_back(ColorToQuad(i < 4 ? PatternColors[i] : RGB(128, 128, 128)));
    }
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const int index = PatternIndex(x, y, bits);
            const TColor c = PatternColors[index];
            const std::uint32_t alpha = bits == 32 && !PatternMasked(x, y) ? 0xFF000000u : 0u;
            image.pixels.push_back(bits <= 8 ? static_cast<std::uint32_t>(index)
                                             : alpha | (std::uint32_t(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c));
            image.mask.push_back(PatternMasked(x, y) ? 1 : 0);
        }
    return image;
}

inline TColor PatternColor(int x, int y, int bits) { return PatternColors[PatternIndex(x, y, bits)]; }

}  // namespace icontest

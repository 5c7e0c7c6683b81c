#pragma once

// Helpers of the bitmap, BMP and picture tests.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <unistd.h>
#include <vector>

#include "tests/support/TempFolder.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"

namespace bmptest {

using Bytes = std::vector<std::uint8_t>;

// Little-endian fields, for building and patching files.
inline void Poke16(Bytes& b, std::size_t at, std::uint32_t v)
{
    b.at(at) = static_cast<std::uint8_t>(v);
    b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}
inline void Poke32(Bytes& b, std::size_t at, std::uint32_t v)
{
    Poke16(b, at, v & 0xFFFF);
    Poke16(b, at + 2, v >> 16);
}
inline std::uint32_t Peek16(const Bytes& b, std::size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
inline std::uint32_t Peek32(const Bytes& b, std::size_t at) { return Peek16(b, at) | (Peek16(b, at + 2) << 16); }

// Appends little-endian values of the given byte width.
struct Writer {
    Bytes out;
    Writer& u8(std::uint32_t v) { out.push_back(static_cast<std::uint8_t>(v)); return *this; }
    Writer& u16(std::uint32_t v) { return u8(v).u8(v >> 8); }
    Writer& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Writer& raw(std::initializer_list<int> bytes)
    {
        for (int v : bytes) u8(static_cast<std::uint32_t>(v));
        return *this;
    }
};

inline std::unique_ptr<TBitmap> Load(std::span<const std::uint8_t> file)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromBytes(file);
    return bitmap;
}

inline Bytes Save(TBitmap& bitmap)
{
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    const std::string& s = stream.Bytes();
    return Bytes(s.begin(), s.end());
}

// Every pixel of the bitmap, top row first.
inline std::vector<TColor> Pixels(const TBitmap& bitmap)
{
    std::vector<TColor> all;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) all.push_back(bitmap.Pixel(x, y));
    return all;
}

// Palette indexes of an indexed bitmap, top row first.
inline std::vector<int> Indexes(const TBitmap& bitmap)
{
    std::vector<int> all;
    const int bits = bitmap.BitCount();
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            switch (bits) {
            case 1: all.push_back((row[x / 8] >> (7 - x % 8)) & 1); break;
            case 4: all.push_back(x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4); break;
            default: all.push_back(row[x]); break;
            }
        }
    }
    return all;
}

inline TRGBQuad Quad(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {b, g, r, 0}; }

// A palette of `count` distinct colours.
inline std::vector<TRGBQuad> DistinctPalette(std::size_t count)
{
    std::vector<TRGBQuad> palette;
    for (std::size_t i = 0; i < count; ++i)
        palette.push_back(Quad(static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(255 - i),
                               static_cast<std::uint8_t>((i * 91) % 256)));
    return palette;
}

// Fills the pixel bytes with random values, leaving each row's padding zero
// and, for indexed formats, only indexes the palette holds.
inline void FillRandom(TBitmap& bitmap, unsigned seed)
{
    std::mt19937 random(seed);
    const int bits = bitmap.BitCount();
    const std::size_t colors = bitmap.Palette().size();
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            if (bits <= 8) {
                const unsigned index = random() % colors;
                if (bits == 1) row[x / 8] = static_cast<std::uint8_t>((row[x / 8] & ~(0x80 >> (x % 8))) | (index << (7 - x % 8)));
                else if (bits == 4) row[x / 2] = static_cast<std::uint8_t>(x % 2 ? (row[x / 2] & 0xF0) | index : (row[x / 2] & 0x0F) | (index << 4));
                else row[x] = static_cast<std::uint8_t>(index);
            } else {
                for (int i = 0; i < bits / 8; ++i) row[x * (bits / 8) + i] = static_cast<std::uint8_t>(random());
            }
        }
    }
}

using TempDir = testsupport::TempFolder;

}  // namespace bmptest

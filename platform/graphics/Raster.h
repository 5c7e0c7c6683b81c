#pragma once

// Pixel access and raster-operation arithmetic shared by the canvas, the
// device contexts and the metafile players. Internal to the graphics layer.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/graphics/Colors.h"
#include "platform/graphics/TBitmap.h"

// Reads and writes the pixels of one bitmap as RGB values (red in the low
// byte). A monochrome bitmap (1 bit, palette black/white or none) reads 0 or
// 0xFFFFFF and writes bit 1 for any non-zero value; indexed formats write the
// nearest palette entry. Coordinates must lie inside the bitmap.
class TPixelView {
public:
    explicit TPixelView(TBitmap& bitmap);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Mono() const { return FMono; }
    TColor Get(int x, int y) const;
    void Set(int x, int y, TColor rgb);
    // Pixels x1..x2-1 of row y, as Set writes each of them.
    void SetRow(int y, int x1, int x2, TColor rgb);
    // Row y as Get reads it: the pixels at `columns`, or out.size() pixels from x.
    void ReadRow(int y, std::span<const int> columns, TColor* out) const;
    void ReadRow(int y, int x, std::span<TColor> out) const;
    // values[i] into pixel x + i of row y, as Set writes each of them.
    void WriteRow(int y, int x, std::span<const TColor> values);
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < FWidth && y < FHeight; }

private:
    // The palette index for rgb, remembered for the next pixel of that colour.
    int PaletteIndex(TColor rgb);
    template <class Column>
    void ReadPixels(int y, int count, Column column, TColor* out) const;
    // The colour of every index of an indexed bitmap (black past its palette).
    const std::vector<TColor>& IndexColours() const;

    TBitmap* FBitmap;
    TPixelFormat FFormat;
    int FWidth;
    int FHeight;
    bool FMono;
    // The last colour written to an indexed bitmap and its palette index.
    mutable TColor FLastColor = CLR_INVALID;
    mutable int FLastIndex = 0;
    mutable std::vector<TColor> FIndexColours;
};

// True for a 1-bit bitmap whose palette is black and white (or missing).
bool IsMonochromeBitmap(const TBitmap& bitmap);

// The ROP3 truth table: bit (P*4 + S*2 + D) of the index byte gives the result
// bit, applied to every bit of the 24-bit values.
inline TColor ApplyRop3(std::uint8_t index, TColor p, TColor s, TColor d)
{
    switch (index) {
    case 0xCC: return s;
    case 0x88: return s & d;
    case 0xEE: return s | d;
    case 0x66: return s ^ d;
    case 0x33: return ~s & 0xFFFFFF;
    case 0xAA: return d;
    case 0xF0: return p;
    case 0x00: return 0;
    case 0xFF: return 0xFFFFFF;
    default: break;
    }
    TColor result = 0;
    for (int k = 0; k < 8; ++k) {
        if (!((index >> k) & 1)) continue;
        const TColor pp = (k & 4) ? p : ~p;
        const TColor ss = (k & 2) ? s : ~s;
        const TColor dd = (k & 1) ? d : ~d;
        result |= pp & ss & dd;
    }
    return result & 0xFFFFFF;
}

// Whether a ROP3 index reads the source, the pattern or the destination.
inline bool RopUsesSource(std::uint8_t index) { return ((index >> 2) & 0x33) != (index & 0x33); }
inline bool RopUsesPattern(std::uint8_t index) { return ((index >> 4) & 0x0F) != (index & 0x0F); }
inline bool RopUsesDest(std::uint8_t index) { return ((index >> 1) & 0x55) != (index & 0x55); }

// ApplyRop3 over a run of pixels: dest[i] = ApplyRop3(index, p, source[i], dest[i]).
void ApplyRop3Row(std::uint8_t index, TColor p, const TColor* source, TColor* dest, int count);

// Binary raster operations of pens (R2_BLACK = 1 ... R2_WHITE = 16), as the
// canvas's pen modes name them: the four result bits for (P, D) = 00, 01, 10, 11.
TColor ApplyRop2(int r2, TColor pen, TColor dest);

// Brightness rule for brushes on monochrome surfaces.
inline TColor ColorToMono(TColor rgb)
{
    return (GetRValue(rgb) + GetGValue(rgb) + GetBValue(rgb)) >= 384 ? 0xFFFFFF : 0;
}

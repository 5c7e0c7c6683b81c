#include "platform/graphics/BitmapFormats.h"

#include <array>
#include <cstring>

namespace bitmap_detail {

namespace {

TRGBQuad Quad(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return {b, g, r, 0};
}

std::vector<TRGBQuad> MakeVgaPalette()
{
    return {Quad(0, 0, 0),     Quad(128, 0, 0),   Quad(0, 128, 0),   Quad(128, 128, 0),
            Quad(0, 0, 128),   Quad(128, 0, 128), Quad(0, 128, 128), Quad(192, 192, 192),
            Quad(128, 128, 128), Quad(255, 0, 0), Quad(0, 255, 0),   Quad(255, 255, 0),
            Quad(0, 0, 255),   Quad(255, 0, 255), Quad(0, 255, 255), Quad(255, 255, 255)};
}

// The first ten static colours, the 6x6x6 colour cube, twenty greys between
// the cube's levels, and the last ten static colours: 256 entries, with black
// first and white last as the platform's palettes have them.
std::vector<TRGBQuad> MakeHalftonePalette()
{
    std::vector<TRGBQuad> palette = {
        Quad(0, 0, 0),     Quad(128, 0, 0),   Quad(0, 128, 0),     Quad(128, 128, 0),   Quad(0, 0, 128),
        Quad(128, 0, 128), Quad(0, 128, 128), Quad(192, 192, 192), Quad(192, 220, 192), Quad(166, 202, 240)};
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.push_back(Quad(static_cast<std::uint8_t>(r * 51), static_cast<std::uint8_t>(g * 51),
                                       static_cast<std::uint8_t>(b * 51)));
    for (int k = 1; k <= 20; ++k) {
        const auto level = static_cast<std::uint8_t>((255 * k + 10) / 21);
        palette.push_back(Quad(level, level, level));
    }
    const std::array<TRGBQuad, 10> last = {
        Quad(255, 251, 240), Quad(160, 160, 164), Quad(128, 128, 128), Quad(255, 0, 0),   Quad(0, 255, 0),
        Quad(255, 255, 0),   Quad(0, 0, 255),     Quad(255, 0, 255),   Quad(0, 255, 255), Quad(255, 255, 255)};
    palette.insert(palette.end(), last.begin(), last.end());
    return palette;
}

}  // namespace

bool IsIndexed(TPixelFormat format)
{
    return format == pf1bit || format == pf4bit || format == pf8bit;
}

const std::vector<TRGBQuad>& DefaultPalette(TPixelFormat format)
{
    static const std::vector<TRGBQuad> none;
    static const std::vector<TRGBQuad> mono = {Quad(0, 0, 0), Quad(255, 255, 255)};
    static const std::vector<TRGBQuad> vga = MakeVgaPalette();
    static const std::vector<TRGBQuad> halftone = MakeHalftonePalette();
    switch (format) {
    case pf1bit:
        return mono;
    case pf4bit:
        return vga;
    case pf8bit:
        return halftone;
    default:
        return none;
    }
}

int NearestIndex(std::span<const TRGBQuad> palette, TColor rgb)
{
    const int r = GetRValue(rgb);
    const int g = GetGValue(rgb);
    const int b = GetBValue(rgb);
    int best = -1;
    int bestDistance = 0;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = palette[i].rgbRed - r;
        const int dg = palette[i].rgbGreen - g;
        const int db = palette[i].rgbBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (best < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
            if (distance == 0) break;
        }
    }
    return best;
}

void ClearPadding(std::uint8_t* row, std::size_t rowBytes, std::uint64_t width, int bits)
{
    const std::uint64_t usedBits = width * static_cast<std::uint64_t>(bits);
    const auto fullBytes = static_cast<std::size_t>(usedBits / 8);
    std::size_t clearFrom = fullBytes;
    if (usedBits % 8 != 0) {
        const auto keep = static_cast<unsigned>(usedBits % 8);
        row[fullBytes] = static_cast<std::uint8_t>(row[fullBytes] & (0xFF00u >> keep));
        clearFrom = fullBytes + 1;
    }
    if (clearFrom < rowBytes) std::memset(row + clearFrom, 0, rowBytes - clearFrom);
}

TColor ReadDirect(const std::uint8_t* row, int x, TPixelFormat format)
{
    switch (format) {
    case pf15bit: {
        const unsigned w = row[2 * x] | (row[2 * x + 1] << 8);
        return RGB(ExpandChannel((w >> 10) & 0x1F, 5), ExpandChannel((w >> 5) & 0x1F, 5), ExpandChannel(w & 0x1F, 5));
    }
    case pf16bit: {
        const unsigned w = row[2 * x] | (row[2 * x + 1] << 8);
        return RGB(ExpandChannel((w >> 11) & 0x1F, 5), ExpandChannel((w >> 5) & 0x3F, 6), ExpandChannel(w & 0x1F, 5));
    }
    case pf32bit: {
        const std::uint8_t* p = row + 4 * static_cast<std::size_t>(x);
        return RGB(p[2], p[1], p[0]);
    }
    default: {
        const std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
        return RGB(p[2], p[1], p[0]);
    }
    }
}

void WriteDirect(std::uint8_t* row, int x, TPixelFormat format, TColor rgb)
{
    const unsigned r = GetRValue(rgb);
    const unsigned g = GetGValue(rgb);
    const unsigned b = GetBValue(rgb);
    switch (format) {
    case pf15bit: {
        const unsigned w = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        row[2 * x] = static_cast<std::uint8_t>(w);
        row[2 * x + 1] = static_cast<std::uint8_t>(w >> 8);
        break;
    }
    case pf16bit: {
        const unsigned w = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
        row[2 * x] = static_cast<std::uint8_t>(w);
        row[2 * x + 1] = static_cast<std::uint8_t>(w >> 8);
        break;
    }
    case pf32bit: {
        std::uint8_t* p = row + 4 * static_cast<std::size_t>(x);
        p[0] = static_cast<std::uint8_t>(b);
        p[1] = static_cast<std::uint8_t>(g);
        p[2] = static_cast<std::uint8_t>(r);
        p[3] = 0;
        break;
    }
    default: {
        std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
        p[0] = static_cast<std::uint8_t>(b);
        p[1] = static_cast<std::uint8_t>(g);
        p[2] = static_cast<std::uint8_t>(r);
        break;
    }
    }
}

}  // namespace bitmap_detail

#include "platform/graphics/Raster.h"

bool IsMonochromeBitmap(const TBitmap& bitmap)
{
    if (bitmap.PixelFormat() != pf1bit) return false;
    const auto& palette = bitmap.Palette();
    if (palette.empty()) return true;
    if (palette.size() != 2) return false;
    return QuadToColor(palette[0]) == clBlack && QuadToColor(palette[1]) == clWhite;
}

TPixelView::TPixelView(TBitmap& bitmap)
    : FBitmap(&bitmap), FFormat(bitmap.PixelFormat()), FWidth(bitmap.Width()), FHeight(bitmap.Height()),
      FMono(IsMonochromeBitmap(bitmap))
{
}

TColor TPixelView::Get(int x, int y) const
{
    const std::uint8_t* row = FBitmap->ScanLine(y);
    switch (FFormat) {
    case pfDevice:
    case pf24bit: {
        const std::uint8_t* p = row + 3 * x;
        return RGB(p[2], p[1], p[0]);
    }
    case pf32bit: {
        const std::uint8_t* p = row + 4 * x;
        return RGB(p[2], p[1], p[0]);
    }
    case pf1bit:
        if (FMono) return ((row[x >> 3] >> (7 - (x & 7))) & 1) ? 0xFFFFFF : 0;
        return FBitmap->Pixel(x, y);
    default:
        return FBitmap->Pixel(x, y);
    }
}

void TPixelView::Set(int x, int y, TColor rgb)
{
    rgb &= 0xFFFFFF;
    std::uint8_t* row = FBitmap->ScanLine(y);
    switch (FFormat) {
    case pfDevice:
    case pf24bit: {
        std::uint8_t* p = row + 3 * x;
        p[0] = GetBValue(rgb);
        p[1] = GetGValue(rgb);
        p[2] = GetRValue(rgb);
        return;
    }
    case pf32bit: {
        std::uint8_t* p = row + 4 * x;
        p[0] = GetBValue(rgb);
        p[1] = GetGValue(rgb);
        p[2] = GetRValue(rgb);
        return;
    }
    case pf1bit:
        if (FMono) {
            const std::uint8_t bit = std::uint8_t(0x80 >> (x & 7));
            if (rgb != 0) row[x >> 3] |= bit;
            else row[x >> 3] &= std::uint8_t(~bit);
            return;
        }
        [[fallthrough]];
    case pf4bit:
    case pf8bit: {
        if (rgb != FLastColor) {
            FLastColor = rgb;
            FLastIndex = FBitmap->NearestPaletteIndex(rgb);
        }
        const int index = FLastIndex;
        if (FFormat == pf8bit) {
            row[x] = std::uint8_t(index);
        } else if (FFormat == pf4bit) {
            std::uint8_t& b = row[x >> 1];
            b = (x & 1) ? std::uint8_t((b & 0xF0) | (index & 0x0F)) : std::uint8_t((b & 0x0F) | (index << 4));
        } else {
            const std::uint8_t bit = std::uint8_t(0x80 >> (x & 7));
            if (index & 1) row[x >> 3] |= bit;
            else row[x >> 3] &= std::uint8_t(~bit);
        }
        return;
    }
    default:
        FBitmap->SetPixel(x, y, rgb);
        return;
    }
}

TColor ApplyRop2(int r2, TColor pen, TColor dest)
{
    const unsigned table = unsigned(r2 - 1) & 0x0F;
    TColor result = 0;
    for (int k = 0; k < 4; ++k) {
        if (!((table >> k) & 1)) continue;
        const TColor pp = (k & 2) ? pen : ~pen;
        const TColor dd = (k & 1) ? dest : ~dest;
        result |= pp & dd;
    }
    return result & 0xFFFFFF;
}

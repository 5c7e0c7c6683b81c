#include "platform/graphics/Raster.h"

#include "platform/graphics/BitmapFormats.h"
#include "platform/graphics/CanvasRaster.h"

#include <algorithm>
#include <cstring>

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
        const int index = PaletteIndex(rgb);
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

int TPixelView::PaletteIndex(TColor rgb)
{
    if (rgb != FLastColor) {
        FLastColor = rgb;
        FLastIndex = FBitmap->NearestPaletteIndex(rgb);
    }
    return FLastIndex;
}

void TPixelView::SetRow(int y, int x1, int x2, TColor rgb)
{
    if (x1 >= x2) return;
    rgb &= 0xFFFFFF;
    std::uint8_t* row = FBitmap->ScanLine(y);
    const auto b = GetBValue(rgb), g = GetGValue(rgb), r = GetRValue(rgb);
    switch (FFormat) {
    case pfDevice:
    case pf24bit:
    case pf32bit: {
        // A 32-bit pixel's fourth byte stays as it is.
        const int step = FFormat == pf32bit ? 4 : 3;
        if (step == 3 && b == g && g == r) {
            std::memset(row + 3 * x1, b, 3 * std::size_t(x2 - x1));
            return;
        }
        for (std::uint8_t *p = row + step * x1, *end = row + step * x2; p != end; p += step) {
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
        return;
    }
    case pf8bit:
        std::memset(row + x1, PaletteIndex(rgb), std::size_t(x2 - x1));
        return;
    default:
        for (int x = x1; x < x2; ++x) Set(x, y, rgb);
        return;
    }
}

const std::vector<TColor>& TPixelView::IndexColours() const
{
    if (FIndexColours.empty()) {
        const auto& palette = FBitmap->Palette();
        FIndexColours.assign(std::size_t(1) << FBitmap->BitCount(), clBlack);
        for (std::size_t i = 0; i < palette.size() && i < FIndexColours.size(); ++i)
            FIndexColours[i] = QuadToColor(palette[i]);
    }
    return FIndexColours;
}

template <class Column>
void TPixelView::ReadPixels(int y, int count, Column column, TColor* out) const
{
    const std::uint8_t* row = FBitmap->ScanLine(y);
    switch (FFormat) {
    case pfDevice:
    case pf24bit:
        for (int i = 0; i < count; ++i) {
            const std::uint8_t* p = row + 3 * std::size_t(column(i));
            out[i] = RGB(p[2], p[1], p[0]);
        }
        return;
    case pf32bit:
        for (int i = 0; i < count; ++i) {
            const std::uint8_t* p = row + 4 * std::size_t(column(i));
            out[i] = RGB(p[2], p[1], p[0]);
        }
        return;
    case pf8bit: {
        const TColor* colours = IndexColours().data();
        for (int i = 0; i < count; ++i) out[i] = colours[row[column(i)]];
        return;
    }
    case pf4bit: {
        const TColor* colours = IndexColours().data();
        for (int i = 0; i < count; ++i) {
            const int x = column(i);
            out[i] = colours[(x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4];
        }
        return;
    }
    case pf1bit: {
        const TColor one = FMono ? 0xFFFFFF : IndexColours()[1];
        const TColor zero = FMono ? 0 : IndexColours()[0];
        for (int i = 0; i < count; ++i) {
            const int x = column(i);
            out[i] = ((row[x >> 3] >> (7 - (x & 7))) & 1) ? one : zero;
        }
        return;
    }
    default:
        for (int i = 0; i < count; ++i) out[i] = bitmap_detail::ReadDirect(row, column(i), FFormat);
        return;
    }
}

void TPixelView::ReadRow(int y, std::span<const int> columns, TColor* out) const
{
    ReadPixels(y, int(columns.size()), [columns](int i) { return columns[std::size_t(i)]; }, out);
}

void TPixelView::ReadRow(int y, int x, std::span<TColor> out) const
{
    ReadPixels(y, int(out.size()), [x](int i) { return x + i; }, out.data());
}

void TPixelView::WriteRow(int y, int x, std::span<const TColor> values)
{
    std::uint8_t* row = FBitmap->ScanLine(y);
    const int count = int(values.size());
    switch (FFormat) {
    case pfDevice:
    case pf24bit:
    case pf32bit: {
        // A 32-bit pixel's fourth byte stays as it is.
        const std::size_t step = FFormat == pf32bit ? 4 : 3;
        std::uint8_t* p = row + step * std::size_t(x);
        for (const TColor rgb : values) {
            p[0] = GetBValue(rgb);
            p[1] = GetGValue(rgb);
            p[2] = GetRValue(rgb);
            p += step;
        }
        return;
    }
    case pf8bit:
        for (int i = 0; i < count; ++i) row[x + i] = std::uint8_t(PaletteIndex(values[std::size_t(i)] & 0xFFFFFF));
        return;
    case pf1bit:
        if (FMono) {
            for (int i = 0; i < count; ++i) {
                const int at = x + i;
                const std::uint8_t bit = std::uint8_t(0x80 >> (at & 7));
                if (values[std::size_t(i)] & 0xFFFFFF) row[at >> 3] |= bit;
                else row[at >> 3] &= std::uint8_t(~bit);
            }
            return;
        }
        [[fallthrough]];
    case pf4bit:
        for (int i = 0; i < count; ++i)
            bitmap_detail::WriteIndex(row, x + i, FBitmap->BitCount(),
                                      unsigned(PaletteIndex(values[std::size_t(i)] & 0xFFFFFF)));
        return;
    default:
        for (int i = 0; i < count; ++i)
            bitmap_detail::WriteDirect(row, x + i, FFormat, values[std::size_t(i)] & 0xFFFFFF);
        return;
    }
}

void ApplyRop3Row(std::uint8_t index, TColor p, const TColor* s, TColor* d, int count)
{
    switch (index) {
    case 0xCC: std::copy_n(s, count, d); return;
    case 0x88: for (int i = 0; i < count; ++i) d[i] &= s[i]; return;
    case 0xEE: for (int i = 0; i < count; ++i) d[i] |= s[i]; return;
    case 0x66: for (int i = 0; i < count; ++i) d[i] ^= s[i]; return;
    case 0x33: for (int i = 0; i < count; ++i) d[i] = ~s[i] & 0xFFFFFF; return;
    case 0xAA: return;
    case 0xF0: std::fill_n(d, count, p); return;
    case 0x00: std::fill_n(d, count, TColor(0)); return;
    case 0xFF: std::fill_n(d, count, TColor(0xFFFFFF)); return;
    default:
        for (int i = 0; i < count; ++i) d[i] = ApplyRop3(index, p, s[i], d[i]);
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

TCanvasRaster::TCanvasRaster(TCanvas& canvas)
    : FView(canvas.Target()), FClip(canvas.ClipRect()), FOrigin(canvas.Origin()), FRegion(canvas.ClipRegion())
{
    const TBrush& brush = canvas.Brush();
    FBrushColor = ColorToRGB(brush.Color()) & 0xFFFFFF;
    FHatch = brush.Style() >= bsHorizontal && brush.Style() <= bsDiagCross ? int(brush.Style()) - int(bsHorizontal) : -1;
    if (auto back = canvas.HatchBackground()) FHatchBack = ColorToRGB(*back) & 0xFFFFFF;
    FPattern = brush.Bitmap() && !brush.Bitmap()->Empty() ? brush.Bitmap().get() : nullptr;
    if (FPattern) FPatternView = std::make_unique<TPixelView>(const_cast<TBitmap&>(*FPattern));
}

TColor TCanvasRaster::BrushAt(int x, int y) const
{
    if (FPatternView) {
        const int w = FPatternView->Width(), h = FPatternView->Height();
        return FPatternView->Get(((x % w) + w) % w, ((y % h) + h) % h);
    }
    const int i = x & 7, j = y & 7;
    bool on = false;
    switch (FHatch) {
    case 0: on = j == 0; break;                                  // horizontal
    case 1: on = i == 0; break;                                  // vertical
    case 2: on = i == j; break;                                  // forward diagonal, top left to bottom right
    case 3: on = i + j == 7; break;                              // backward diagonal
    case 4: on = i == 0 || j == 0; break;                        // cross
    case 5: on = i == j || i + j == 7; break;                    // diagonal cross
    default: return FBrushColor;
    }
    return on ? FBrushColor : FHatchBack ? *FHatchBack : CLR_INVALID;
}

void TCanvasRaster::BrushSpan(int y, int x1, int x2)
{
    if (FHatch < 0 && !FPattern) return Span(y, x1, x2, FBrushColor);
    y += FOrigin.Y;
    if (y < FClip.Top || y >= FClip.Bottom) return;
    x1 = std::max(x1 + FOrigin.X, FClip.Left);
    x2 = std::min(x2 + FOrigin.X, FClip.Right);
    const auto row = [&](int a, int b) {
        for (int x = a; x < b; ++x) {
            const TColor c = BrushAt(x, y);
            if (c != CLR_INVALID) FView.Set(x, y, c);
        }
    };
    if (FRegion) FRegion->ForEachSpan(y, x1, x2, row);
    else row(x1, x2);
}

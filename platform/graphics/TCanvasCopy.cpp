#include "platform/graphics/TCanvas.h"

#include <cstring>
#include <span>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Raster.h"
#include "platform/graphics/TBitmap.h"

namespace {

// Nearest-pixel copy of a bitmap into a rectangle of the target (device
// coordinates), clipped; pixels of the key colour stay unpainted when one is
// given.
void StretchBitmap(TBitmap& target, const TRect& clip, const TRegion* region, const TRect& rect, TBitmap& source,
                   bool keyed, TColor key)
{
    const int w = rect.Width();
    const int h = rect.Height();
    if (w == 0 || h == 0 || source.Empty()) return;
    const TRect box{std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom), std::max(rect.Left, rect.Right),
                    std::max(rect.Top, rect.Bottom)};
    const TRect area = IntersectRect(box, clip);
    if (area.IsEmpty()) return;
    TPixelView dv(target);
    TPixelView sv(source);
    const int sw = source.Width();
    const int sh = source.Height();
    const int aw = box.Width();
    const int ah = box.Height();
    // A rectangle given right-to-left or bottom-to-top mirrors the picture.
    const bool mirrorX = w < 0;
    const bool mirrorY = h < 0;
    // An unstretched copy between 24-bit pictures goes by rows.
    const bool rows = !keyed && !region && !mirrorX && sw == aw && sh == ah && target.BitCount() == 24 &&
                      source.BitCount() == 24;
    std::vector<int> columns;
    if (!rows) {
        columns.reserve(std::size_t(area.Width()));
        for (int x = area.Left; x < area.Right; ++x) {
            const int sx = int(static_cast<long long>(x - box.Left) * sw / aw);
            columns.push_back(mirrorX ? sw - 1 - sx : sx);
        }
    }
    std::vector<TColor> pixels(columns.size());
    int readRow = -1;
    // Runs of the row that are drawn: inside the region, and not of the key colour.
    const auto draw = [&](int y, int a, int b) {
        const TColor* c = pixels.data() + (a - area.Left);
        if (!keyed) return dv.WriteRow(y, a, std::span(c, std::size_t(b - a)));
        for (int x = a; x < b;) {
            while (x < b && c[x - a] == key) ++x;
            const int start = x;
            while (x < b && c[x - a] != key) ++x;
            if (start < x) dv.WriteRow(y, start, std::span(c + (start - a), std::size_t(x - start)));
        }
    };
    for (int y = area.Top; y < area.Bottom; ++y) {
        int sy = int(static_cast<long long>(y - box.Top) * sh / ah);
        if (mirrorY) sy = sh - 1 - sy;
        if (rows) {
            std::memcpy(target.ScanLine(y) + 3 * area.Left, source.ScanLine(sy) + 3 * (area.Left - box.Left),
                        3 * std::size_t(area.Width()));
            continue;
        }
        if (sy != readRow) {
            sv.ReadRow(sy, columns, pixels.data());
            readRow = sy;
        }
        if (region) region->ForEachSpan(y, area.Left, area.Right, [&](int a, int b) { draw(y, a, b); });
        else draw(y, area.Left, area.Right);
    }
}

}  // namespace

void TCanvas::Draw(int x, int y, TGraphic& graphic)
{
    StretchDraw(Bounds(x, y, graphic.Width(), graphic.Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic& graphic)
{
    if (graphic.Empty()) return;
    auto* bitmap = dynamic_cast<TBitmap*>(&graphic);
    if (!bitmap) {
        graphic.Draw(*this, rect);
        return;
    }
    const TRect target{rect.Left + FOrigin.X, rect.Top + FOrigin.Y, rect.Right + FOrigin.X, rect.Bottom + FOrigin.Y};
    const bool keyed = bitmap->Transparent();
    const TColor key = keyed ? (ColorToRGB(bitmap->TransparentColor()) & 0xFFFFFF) : 0;
    if (bitmap == FTarget) {
        // Drawing a bitmap onto itself reads from a copy.
        TBitmap copy;
        copy.Assign(*bitmap);
        StretchBitmap(*FTarget, ClipRect(), ClipRegion(), target, copy, keyed, key);
        return;
    }
    // Monochrome bitmaps keep their own black and white here, whatever the
    // canvas's colours.
    StretchBitmap(*FTarget, ClipRect(), ClipRegion(), target, *bitmap, keyed, key);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect)
{
    TDeviceContext* dc = Handle();
    TDeviceContext* sc = source.Handle();
    // The platform blits with the canvases' current colours: a monochrome
    // source turns 0 into Font.Color and 1 into Brush.Color, a colour source
    // onto a monochrome target compares with the source's Brush.Color.
    dc->TextColor = ColorToRGB(FFont.Color());
    dc->BkColor = ColorToRGB(FBrush.Color());
    sc->BkColor = ColorToRGB(source.FBrush.Color());
    StretchBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), sc, sourceRect.Left, sourceRect.Top,
               sourceRect.Width(), sourceRect.Height(), FCopyMode);
}

#include "platform/graphics/MetafilePlayer.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/CanvasRaster.h"
#include "platform/graphics/DeviceContext.h"

TRegion TMetafilePlayer::WholeClip() const
{
    const TPoint o = FCanvas.Origin();
    return TRegion({FCanvasClip.Left - o.X, FCanvasClip.Top - o.Y, FCanvasClip.Right - o.X, FCanvasClip.Bottom - o.Y});
}

void TMetafilePlayer::CombineClip(const TRegion& region, int mode)
{
    if (mode == RGN_COPY) {
        FState.Clip = region;
        return;
    }
    if (mode < RGN_AND || mode > RGN_DIFF) return;
    FState.Clip = (FState.Clip ? *FState.Clip : WholeClip()).Combined(region, mode);
}

// Logical rectangles as device pixels: exact under an axis-aligned mapping,
// as polygons under a rotating one.
TRegion TMetafilePlayer::LogicalRegion(std::span<const TRect> rects)
{
    if (AxisAligned()) {
        std::vector<TRect> device;
        for (const TRect& r : rects) {
            const TPoint a = Map(r.Left, r.Top), c = Map(r.Right, r.Bottom);
            device.push_back({std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y)});
        }
        return TRegion::FromRects(device);
    }
    std::vector<TPointF> points;
    std::vector<int> counts;
    for (const TRect& r : rects) {
        for (TPointF p : {MapF(r.Left, r.Top), MapF(r.Right, r.Top), MapF(r.Right, r.Bottom), MapF(r.Left, r.Bottom)})
            points.push_back(p);
        counts.push_back(4);
    }
    return TRegion::FromPolygons(points, counts, 2, WholeClip().Bounds());
}

void TMetafilePlayer::IntersectClip(double l, double t, double r, double b)
{
    const TRect rect[1] = {{Clamp32(std::min(l, r)), Clamp32(std::min(t, b)), Clamp32(std::max(l, r)), Clamp32(std::max(t, b))}};
    CombineClip(LogicalRegion(rect), RGN_AND);
}

void TMetafilePlayer::ExcludeClip(double l, double t, double r, double b)
{
    const TRect rect[1] = {{Clamp32(std::min(l, r)), Clamp32(std::min(t, b)), Clamp32(std::max(l, r)), Clamp32(std::max(t, b))}};
    CombineClip(LogicalRegion(rect), RGN_DIFF);
}

void TMetafilePlayer::OffsetClip(double dx, double dy)
{
    if (!FState.Clip) return;
    const TPoint a = Map(0, 0), b = Map(dx, dy);
    FState.Clip->Offset(b.X - a.X, b.Y - a.Y);
}

void TMetafilePlayer::SelectClipDevice(std::optional<std::vector<TRect>> deviceRects, int mode)
{
    if (!deviceRects) {
        if (mode == RGN_COPY) FState.Clip.reset();
        return;
    }
    std::vector<TRect> mapped;
    for (const TRect& r : *deviceRects) {
        const TPoint a = MapDevice(r.Left, r.Top), c = MapDevice(r.Right, r.Bottom);
        mapped.push_back({std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y)});
    }
    CombineClip(TRegion::FromRects(mapped), mode);
}

void TMetafilePlayer::SelectClipLogical(std::span<const TRect> rects, int mode) { CombineClip(LogicalRegion(rects), mode); }

void TMetafilePlayer::FillRegion(std::span<const TRect> rects, const TMetaBrush& brush)
{
    ApplyClip();
    ApplyBrush(brush);
    if (brush.Hollow) return;
    PaintDevice(LogicalRegion(rects));
}

// Device pixels of a region in the canvas's brush, within the clip.
void TMetafilePlayer::PaintDevice(const TRegion& region)
{
    TCanvasRaster raster(FCanvas);
    for (const TRect& r : region.Combined(TRegion(raster.Clip()), RGN_AND).Rects())
        for (int y = r.Top; y < r.Bottom; ++y) raster.BrushSpan(y, r.Left, r.Right);
}

void TMetafilePlayer::FrameRegion(std::span<const TRect> rects, const TMetaBrush& brush, double w, double h)
{
    // The frame is the region less itself shrunk by the frame's width and height.
    const TRegion region = LogicalRegion(rects);
    const int fw = std::max(1, Clamp32(std::fabs(w * ScaleX()))), fh = std::max(1, Clamp32(std::fabs(h * ScaleY())));
    TRegion inner = region;
    for (int dx : {-fw, fw}) {
        TRegion moved = region;
        moved.Offset(dx, 0);
        inner = inner.Combined(moved, RGN_AND);
    }
    for (int dy : {-fh, fh}) {
        TRegion moved = region;
        moved.Offset(0, dy);
        inner = inner.Combined(moved, RGN_AND);
    }
    const TRegion frame = region.Combined(inner, RGN_DIFF);
    ApplyClip();
    ApplyBrush(brush);
    if (brush.Hollow) return;
    PaintDevice(frame);
}

void TMetafilePlayer::InvertRegion(std::span<const TRect> rects)
{
    ApplyClip();
    TCanvasRaster raster(FCanvas);
    for (const TRect& r : LogicalRegion(rects).Combined(TRegion(raster.Clip()), RGN_AND).Rects())
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) raster.PutRop2(x, y, 0, 6);  // R2_NOT
}

#include "platform/graphics/MetafilePlayer.h"

#include <algorithm>

#include "platform/graphics/CanvasRaster.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/PolygonScan.h"

bool TMetafilePlayer::WidePen()
{
    const TMetaPen& p = FState.Pen;
    if ((p.Style & PS_STYLE_MASK) == PS_NULL) return false;
    return p.Width * ScaleX() > 1.5;
}

TStrokeStyle TMetafilePlayer::StrokeStyle()
{
    const TMetaPen& p = FState.Pen;
    TStrokeStyle s;
    const double scale = ScaleX();
    s.Width = std::min(std::max(1.0, p.Width * scale), 1e5);
    const std::uint32_t cap = p.Style & PS_ENDCAP_MASK, join = p.Style & PS_JOIN_MASK;
    s.Cap = cap == PS_ENDCAP_SQUARE ? TStrokeStyle::capSquare : cap == PS_ENDCAP_FLAT ? TStrokeStyle::capFlat
                                                                                     : TStrokeStyle::capRound;
    s.Join = join == PS_JOIN_BEVEL ? TStrokeStyle::joinBevel : join == PS_JOIN_MITER ? TStrokeStyle::joinMiter
                                                                                    : TStrokeStyle::joinRound;
    s.MiterLimit = FState.MiterLimit;
    // Wide plain pens keep their dash styles too, as current systems draw
    // them; their dashes end flat so that the gaps stay visible.
    const std::uint32_t dash = p.Style & PS_STYLE_MASK;
    if (!(p.Style & PS_GEOMETRIC) && dash >= 1 && dash <= 4) s.Cap = TStrokeStyle::capFlat;
    if ((p.Style & PS_GEOMETRIC) || (dash >= 1 && dash <= 4)) {
        const double w = s.Width;
        switch (p.Style & PS_STYLE_MASK) {
        case 1: s.Dashes = {3 * w, w}; break;
        case 2: s.Dashes = {w, w}; break;
        case 3: s.Dashes = {3 * w, w, w, w}; break;
        case 4: s.Dashes = {3 * w, w, w, w, w, w}; break;
        case PS_USERSTYLE:
            for (double d : p.UserStyle) s.Dashes.push_back(d * scale);
            if (s.Dashes.size() % 2) s.Dashes.insert(s.Dashes.end(), s.Dashes.begin(), s.Dashes.end());
            break;
        default: break;
        }
    }
    return s;
}

void TMetafilePlayer::StrokeDevice(std::span<const TPointF> points, bool closed)
{
    if ((FState.Pen.Style & PS_STYLE_MASK) == PS_NULL || points.empty()) return;
    ApplyClip();
    ApplyPen();
    if (!WidePen()) {
        std::vector<TPoint> p;
        for (TPointF q : points) p.push_back({Clamp32(q.X), Clamp32(q.Y)});
        if (closed) p.push_back(p.front());
        // The gaps of a dashed line take the background colour when it is opaque.
        ApplyBrush(FState.Brush);
        FCanvas.Brush().SetBitmap(nullptr);
        FCanvas.Brush().SetColor(FState.BkColor & 0xFFFFFF);
        FCanvas.Brush().SetStyle(FState.BkMode == OPAQUE ? bsSolid : bsClear);
        FCanvas.Polyline(p);
        return;
    }
    TOutline outline;
    StrokeOutline(points, closed, StrokeStyle(), outline);
    TCanvasRaster raster(FCanvas);
    const TRect clip = raster.Clip();
    const TColor color = FState.Pen.Color & 0xFFFFFF;
    const int rop2 = FState.Rop2 >= 1 && FState.Rop2 <= 16 ? FState.Rop2 : 13;
    ScanPolygons(outline.Points, outline.Counts, true, clip.Top, clip.Bottom, clip.Left, clip.Right,
                 [&](int y, int x1, int x2) {
                     for (int x = x1; x < x2; ++x) raster.PutRop2(x, y, color, rop2);
                 });
}

void TMetafilePlayer::FillDevice(std::span<const TPointF> points, std::span<const int> counts, const TMetaBrush& brush)
{
    if (brush.Hollow) return;
    ApplyClip();
    ApplyBrush(brush);
    TCanvasRaster raster(FCanvas);
    const TRect clip = raster.Clip();
    ScanPolygons(points, counts, FState.PolyFill == 2, clip.Top, clip.Bottom, clip.Left, clip.Right,
                 [&](int y, int x1, int x2) { raster.BrushSpan(y, x1, x2); });
}

std::vector<TPointF> TMetafilePlayer::MapPoints(std::span<const TPoint> points)
{
    std::vector<TPointF> out;
    out.reserve(points.size());
    for (TPoint p : points) out.push_back(MapF(p.X, p.Y));
    return out;
}

// Points that start at the current position: they go on with the open
// figure, or begin one.
void TMetafilePlayer::ContinueFigure(std::vector<TPointF> points)
{
    if (FPathOpen && !FPath.empty() && !points.empty()) {
        FPath.back().Points.insert(FPath.back().Points.end(), points.begin() + 1, points.end());
        return;
    }
    FPath.push_back({std::move(points), false});
    FPathOpen = true;
}

void TMetafilePlayer::AddFigure(std::vector<TPointF> points, bool closed)
{
    if (points.empty()) return;
    FPath.push_back({std::move(points), closed});
    FPathOpen = false;
}

void TMetafilePlayer::DrawPolygonDevice(std::vector<TPointF> points)
{
    if (FInPath) return AddFigure(std::move(points), true);
    const int count[1] = {int(points.size())};
    FillDevice(points, count, FState.Brush);
    StrokeDevice(points, true);
}

void TMetafilePlayer::BeginPath()
{
    FPath.clear();
    FInPath = true;
    FPathOpen = false;
}

void TMetafilePlayer::AbortPath()
{
    FPath.clear();
    FInPath = false;
}

void TMetafilePlayer::CloseFigure()
{
    if (FInPath && !FPath.empty()) FPath.back().Closed = true;
    FPathOpen = false;
}

void TMetafilePlayer::FillPath(bool stroke, bool fill)
{
    FInPath = false;
    if (fill) {
        std::vector<TPointF> points;
        std::vector<int> counts;
        for (const TFigure& f : FPath) {
            points.insert(points.end(), f.Points.begin(), f.Points.end());
            counts.push_back(int(f.Points.size()));
        }
        FillDevice(points, counts, FState.Brush);
    }
    if (stroke)
        for (const TFigure& f : FPath) StrokeDevice(f.Points, f.Closed);
    FPath.clear();
}

void TMetafilePlayer::ClipToPath(int mode)
{
    FInPath = false;
    std::vector<TPointF> points;
    std::vector<int> counts;
    for (const TFigure& f : FPath) {
        points.insert(points.end(), f.Points.begin(), f.Points.end());
        counts.push_back(int(f.Points.size()));
    }
    FPath.clear();
    CombineClip(TRegion::FromPolygons(points, counts, FState.PolyFill, WholeClip().Bounds()), mode);
}

#include "platform/graphics/MetafilePlayer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>

namespace {

void Bezier(std::vector<TPointF>& out, TPointF p0, TPointF p1, TPointF p2, TPointF p3)
{
    // Steps by the control polygon's length, so small curves stay cheap and big ones smooth.
    const double length = std::hypot(p1.X - p0.X, p1.Y - p0.Y) + std::hypot(p2.X - p1.X, p2.Y - p1.Y) +
                          std::hypot(p3.X - p2.X, p3.Y - p2.Y);
    const int steps = std::isfinite(length) ? std::clamp(int(std::sqrt(length) * 2), 4, 128) : 4;
    for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps, u = 1 - t;
        const double x = u * u * u * p0.X + 3 * u * u * t * p1.X + 3 * u * t * t * p2.X + t * t * t * p3.X;
        const double y = u * u * u * p0.Y + 3 * u * u * t * p1.Y + 3 * u * t * t * p2.Y + t * t * t * p3.Y;
        out.push_back({x, y});
    }
}

}  // namespace

void TMetafilePlayer::MoveTo(double x, double y)
{
    FState.PosX = x;
    FState.PosY = y;
    if (FInPath) {
        FPath.push_back({{MapF(x, y)}, false});
        FPathOpen = true;
    }
}

void TMetafilePlayer::LineTo(double x, double y)
{
    const TPointF a = MapF(FState.PosX, FState.PosY);
    const TPointF b = MapF(x, y);
    FState.PosX = x;
    FState.PosY = y;
    if (FInPath) {
        if (!FPathOpen || FPath.empty()) FPath.push_back({{a}, false});
        FPathOpen = true;
        FPath.back().Points.push_back(b);
        return;
    }
    const TPointF line[2] = {a, b};
    StrokeDevice(line, false);
}

// Box shapes go through the canvas while it can draw them as the platform
// does: an axis-aligned mapping and a pen it draws itself.
bool TMetafilePlayer::CanvasShape()
{
    return AxisAligned() && !FInPath && !WidePen();
}

void TMetafilePlayer::Rectangle(double l, double t, double r, double b)
{
    if (!CanvasShape()) return DrawPolygonDevice({MapF(l, t), MapF(r, t), MapF(r, b), MapF(l, b)});
    const TPoint a = Map(l, t), c = Map(r, b);
    ApplyClip();
    ApplyPen();
    ApplyBrush(FState.Brush);
    FCanvas.Rectangle(a.X, a.Y, c.X, c.Y);
}

void TMetafilePlayer::RoundRect(double l, double t, double r, double b, double w, double h)
{
    if (!CanvasShape()) {
        const double rx = std::min(std::fabs(w), std::fabs(r - l)) / 2, ry = std::min(std::fabs(h), std::fabs(b - t)) / 2;
        const double x0 = std::min(l, r), x1 = std::max(l, r), y0 = std::min(t, b), y1 = std::max(t, b);
        std::vector<TPointF> p;
        const double pi = std::numbers::pi;
        for (auto [cx, cy, a0] : {std::tuple{x1 - rx, y0 + ry, 0.0}, std::tuple{x0 + rx, y0 + ry, pi / 2},
                                  std::tuple{x0 + rx, y1 - ry, pi}, std::tuple{x1 - rx, y1 - ry, 3 * pi / 2}}) {
            for (int i = 0; i <= 8; ++i) {
                const double a = a0 + pi / 2 * i / 8;
                p.push_back(MapF(cx + rx * std::cos(a), cy - ry * std::sin(a)));
            }
        }
        return DrawPolygonDevice(std::move(p));
    }
    const TPoint a = Map(l, t), c = Map(r, b);
    ApplyClip();
    ApplyPen();
    ApplyBrush(FState.Brush);
    FCanvas.RoundRect(a.X, a.Y, c.X, c.Y, Clamp32(std::fabs(w * ScaleX())), Clamp32(std::fabs(h * ScaleY())));
}

std::vector<TPointF> TMetafilePlayer::ArcPoints(double l, double t, double r, double b, double a0, double sweep)
{
    const double cx = (l + r) / 2, cy = (t + b) / 2, rx = std::fabs(r - l) / 2, ry = std::fabs(b - t) / 2;
    // Enough points that no chord strays from the curve by more than a pixel or so.
    const double radius = std::max(rx * ScaleX(), ry * ScaleY());
    const int n = std::clamp(int(std::ceil(std::fabs(sweep) * std::sqrt(std::max(radius, 1.0)))), 8, 720);
    std::vector<TPointF> p;
    for (int i = 0; i <= n; ++i) {
        const double a = a0 + sweep * i / n;
        // Angles count counter-clockwise in logical space with y downwards.
        p.push_back(MapF(cx + rx * std::cos(a), cy - ry * std::sin(a)));
    }
    return p;
}

void TMetafilePlayer::Ellipse(double l, double t, double r, double b)
{
    if (!CanvasShape()) {
        std::vector<TPointF> p = ArcPoints(l, t, r, b, 0, 2 * std::numbers::pi);
        p.pop_back();
        return DrawPolygonDevice(std::move(p));
    }
    const TPoint a = Map(l, t), c = Map(r, b);
    ApplyClip();
    ApplyPen();
    ApplyBrush(FState.Brush);
    FCanvas.Ellipse(a.X, a.Y, c.X, c.Y);
}

void TMetafilePlayer::ArcShape(int kind, double l, double t, double r, double b, double x1, double y1, double x2,
                               double y2)
{
    const double cx = (l + r) / 2, cy = (t + b) / 2;
    const double rx = std::fabs(r - l) / 2, ry = std::fabs(b - t) / 2;
    if (rx == 0 || ry == 0) return;
    // The radials' angles on the ellipse, counter-clockwise unless the arc
    // direction says clockwise; a full turn when they meet.
    const double a0 = std::atan2(-(y1 - cy) / ry, (x1 - cx) / rx);
    const double a1 = std::atan2(-(y2 - cy) / ry, (x2 - cx) / rx);
    double sweep = a1 - a0;
    if (FState.Clockwise) {
        while (sweep >= 0) sweep -= 2 * std::numbers::pi;
    } else {
        while (sweep <= 0) sweep += 2 * std::numbers::pi;
    }
    std::vector<TPointF> p = ArcPoints(l, t, r, b, a0, sweep);
    if (kind == 3) {  // ARCTO: a line from the current position, then the arc
        p.insert(p.begin(), MapF(FState.PosX, FState.PosY));
        const double a = a0 + sweep;
        FState.PosX = cx + rx * std::cos(a);
        FState.PosY = cy - ry * std::sin(a);
        if (FInPath) return ContinueFigure(std::move(p));
        return StrokeDevice(p, false);
    }
    if (kind == 1) p.push_back(MapF(cx, cy));
    if (FInPath) return AddFigure(std::move(p), kind != 0);
    if (kind == 0) return StrokeDevice(p, false);
    DrawPolygonDevice(std::move(p));
}

void TMetafilePlayer::Polyline(std::span<const TPoint> points)
{
    std::vector<TPointF> mapped = MapPoints(points);
    if (FInPath) return AddFigure(std::move(mapped), false);
    StrokeDevice(mapped, false);
}

void TMetafilePlayer::PolylineTo(std::span<const TPoint> points)
{
    if (points.empty()) return;
    std::vector<TPointF> mapped{MapF(FState.PosX, FState.PosY)};
    for (TPoint p : points) mapped.push_back(MapF(p.X, p.Y));
    FState.PosX = points.back().X;
    FState.PosY = points.back().Y;
    if (FInPath) return ContinueFigure(std::move(mapped));
    StrokeDevice(mapped, false);
}

void TMetafilePlayer::PolyBezier(std::span<const TPoint> points, bool fromCurrent)
{
    std::vector<TPointF> control;
    if (fromCurrent) control.push_back(MapF(FState.PosX, FState.PosY));
    for (TPoint p : points) control.push_back(MapF(p.X, p.Y));
    if (control.size() < 4) return;
    std::vector<TPointF> flat{control[0]};
    for (std::size_t i = 0; i + 3 < control.size(); i += 3) Bezier(flat, control[i], control[i + 1], control[i + 2], control[i + 3]);
    if (fromCurrent) {
        const std::size_t used = (points.size()) / 3 * 3;
        if (used > 0) {
            FState.PosX = points[used - 1].X;
            FState.PosY = points[used - 1].Y;
        }
    }
    if (FInPath) {
        if (!fromCurrent) FPathOpen = false;
        return ContinueFigure(std::move(flat));
    }
    StrokeDevice(flat, false);
}

void TMetafilePlayer::AngleArc(double x, double y, double radius, double start, double sweep)
{
    if (!std::isfinite(start) || !std::isfinite(sweep) || !std::isfinite(radius)) return;
    const double pi = std::numbers::pi;
    const double a0 = start * pi / 180, s = std::clamp(sweep, -3600.0, 3600.0) * pi / 180;
    const double r = std::fabs(radius);
    std::vector<TPointF> p = ArcPoints(x - r, y - r, x + r, y + r, a0, s);
    p.insert(p.begin(), MapF(FState.PosX, FState.PosY));
    FState.PosX = x + r * std::cos(a0 + s);
    FState.PosY = y - r * std::sin(a0 + s);
    if (FInPath) return ContinueFigure(std::move(p));
    StrokeDevice(p, false);
}

void TMetafilePlayer::PolyDraw(std::span<const TPoint> points, std::span<const std::uint8_t> types)
{
    TPoint figureStart{Clamp32(FState.PosX), Clamp32(FState.PosY)};
    for (std::size_t i = 0; i < points.size() && i < types.size(); ++i) {
        const std::uint8_t type = types[i] & ~1;
        if (type == 6) {
            MoveTo(points[i].X, points[i].Y);
            figureStart = points[i];
        } else if (type == 2) {
            LineTo(points[i].X, points[i].Y);
        } else if (type == 4 && i + 2 < points.size()) {
            PolyBezier(points.subspan(i, 3), true);
            i += 2;
        } else {
            return;  // a point of no known type ends the drawing, as the platform refuses it
        }
        if (types[i] & 1) {
            if (FInPath) CloseFigure();
            else LineTo(figureStart.X, figureStart.Y);
        }
    }
}

void TMetafilePlayer::Polygon(std::span<const TPoint> points)
{
    if (CanvasShape() && !points.empty()) {
        std::vector<TPoint> mapped;
        for (TPoint p : points) mapped.push_back(Map(p.X, p.Y));
        ApplyClip();
        ApplyPen();
        ApplyBrush(FState.Brush);
        return FCanvas.Polygon(mapped);
    }
    DrawPolygonDevice(MapPoints(points));
}

void TMetafilePlayer::PolyPolygon(std::span<const TPoint> points, std::span<const int> counts)
{
    std::vector<TPointF> mapped = MapPoints(points);
    std::vector<int> valid;
    std::size_t start = 0;
    for (int n : counts) {
        if (n <= 0 || start + std::size_t(n) > mapped.size()) break;
        valid.push_back(n);
        if (FInPath)
            AddFigure({mapped.begin() + std::ptrdiff_t(start), mapped.begin() + std::ptrdiff_t(start + std::size_t(n))},
                      true);
        start += std::size_t(n);
    }
    if (FInPath) return;
    FillDevice(mapped, valid, FState.Brush);
    start = 0;
    for (int n : valid) {
        StrokeDevice(std::span(mapped).subspan(start, std::size_t(n)), true);
        start += std::size_t(n);
    }
}

void TMetafilePlayer::PolyPolyline(std::span<const TPoint> points, std::span<const int> counts)
{
    std::size_t start = 0;
    for (int n : counts) {
        if (n <= 0 || start + std::size_t(n) > points.size()) break;
        Polyline(points.subspan(start, std::size_t(n)));
        start += std::size_t(n);
    }
}

void TMetafilePlayer::SetPixel(double x, double y, TColor color)
{
    const TPoint p = Map(x, y);
    ApplyClip();
    FCanvas.SetPixel(p.X, p.Y, color & 0xFFFFFF);
}

void TMetafilePlayer::FloodFill(double x, double y, TColor color, bool surface)
{
    const TPoint p = Map(x, y);
    ApplyClip();
    ApplyBrush(FState.Brush);
    FCanvas.FloodFill(p.X, p.Y, color & 0xFFFFFF, surface);
}

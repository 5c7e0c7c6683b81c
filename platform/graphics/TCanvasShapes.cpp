#include "platform/graphics/TCanvas.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "platform/graphics/CanvasRaster.h"
#include "platform/graphics/PolygonScan.h"

namespace {

__extension__ using Int128 = __int128;

TColor Resolve(TColor color) { return ColorToRGB(color) & 0xFFFFFF; }

// Row spans of a shape that fills a box: Left(i) is the first pixel of row
// box.Top + i, and the row's last pixel mirrors it. Rows are mirrored top to
// bottom too, so every shape is exactly symmetric in its box. The shape is a
// rectangle whose corners are quarter ellipses of CornerW x CornerH (an
// ellipse when they equal the box). Pixels whose centres lie inside belong to
// it; a row that no centre reaches keeps its middle pixel(s), so the shape
// always touches all four sides of its box. Rows are computed on demand, so a
// huge box costs only the rows that are drawn.
struct TSpans {
    TRect Box;
    int CornerW = 0;
    int CornerH = 0;

    TSpans(const TRect& box, int cornerW, int cornerH)
        : Box(box), CornerW(std::clamp(cornerW, 0, std::max(0, box.Width()))),
          CornerH(std::clamp(cornerH, 0, std::max(0, box.Height())))
    {
    }
    bool Has(int i) const { return i >= 0 && i < Box.Height(); }
    int Left(int i) const
    {
        if (CornerW < 2 || CornerH < 2) return Box.Left;
        const int h = Box.Height();
        if (i >= (h + 1) / 2) i = h - 1 - i;
        const double yc = i + 0.5;
        const double a = CornerW / 2.0;
        const double b = CornerH / 2.0;
        if (yc >= b) return Box.Left;
        const double t = (yc - b) / b;
        const double dx = a * std::sqrt(std::max(0.0, 1.0 - t * t));
        const double left = std::ceil(Box.Left + a - dx - 0.5);
        const int middle = Box.Left + (Box.Width() - 1) / 2;
        return int(std::min(std::max(left, double(Box.Left)), double(middle)));
    }
    int RightOf(int left) const { return Box.Left + Box.Right - 1 - left; }
};

// Box shapes keep their corners within +-2^28, as the platform limits its
// drawing space, so that widths and heights fit in an int.
TRect Normalised(int x1, int y1, int x2, int y2)
{
    static constexpr int limit = 1 << 28;
    const auto c = [](int v) { return std::clamp(v, -limit, limit); };
    x1 = c(x1), x2 = c(x2), y1 = c(y1), y2 = c(y2);
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

TRect Inflate(const TRect& r, int before, int after)
{
    return {r.Left - before, r.Top - before, r.Right + after, r.Bottom + after};
}

// An angle filter for arcs, pies and chords: counter-clockwise on the screen
// from the start radial to the end radial (a full turn when they coincide).
struct TArcFilter {
    double CX, CY, Start, Sweep;
    TArcFilter(const TRect& box, int x3, int y3, int x4, int y4)
    {
        CX = (box.Left + box.Right) / 2.0;
        CY = (box.Top + box.Bottom) / 2.0;
        Start = std::atan2(-(y3 - CY), x3 - CX);
        const double end = std::atan2(-(y4 - CY), x4 - CX);
        Sweep = Wrap(end - Start);
        if (Sweep == 0) Sweep = 2 * std::numbers::pi;
    }
    static double Wrap(double a)
    {
        const double turn = 2 * std::numbers::pi;
        a = std::fmod(a, turn);
        return a < 0 ? a + turn : a;
    }
    bool Contains(int x, int y) const
    {
        const double a = std::atan2(-(y + 0.5 - CY), x + 0.5 - CX);
        return Wrap(a - Start) <= Sweep;
    }
    // The point where a radial at `angle` meets the ellipse of the box.
    TPoint OnEllipse(const TRect& box, double angle) const
    {
        const double a = box.Width() / 2.0;
        const double b = box.Height() / 2.0;
        const double dx = std::cos(angle);
        const double dy = -std::sin(angle);
        const double denominator = std::sqrt((dx * dx) / (a * a) + (dy * dy) / (b * b));
        const double t = denominator > 0 ? 1 / denominator : 0;
        return {int(std::lround(CX + dx * t - 0.5)), int(std::lround(CY + dy * t - 0.5))};
    }
};

enum TPixelRole { prOutside, prFill, prOutline };

const int DashPatterns[4][6] = {
    {18, 6, 0, 0, 0, 0},   // psDash
    {3, 3, 0, 0, 0, 0},    // psDot
    {9, 6, 3, 6, 0, 0},    // psDashDot
    {9, 3, 3, 3, 3, 3},    // psDashDotDot
};

// Whether the pixel at `phase` of a dash pattern is drawn.
bool DashOn(TPenStyle style, int phase)
{
    const int* pattern = DashPatterns[style - psDash];
    int length = 0;
    for (int k = 0; k < 6; ++k) length += pattern[k];
    phase %= length;
    for (int k = 0; k < 6; ++k) {
        if (phase < pattern[k]) return (k % 2) == 0;
        phase -= pattern[k];
    }
    return true;
}

}  // namespace

int PenModeRop2(TPenMode mode)
{
    static constexpr int table[16] = {1, 16, 11, 6, 13, 4, 14, 5, 12, 3, 15, 2, 9, 8, 7, 10};
    return table[mode];
}

TColor TCanvas::Pixel(int x, int y) const
{
    const TRect clip = ClipRect();
    const TPoint p{x + FOrigin.X, y + FOrigin.Y};
    if (!clip.Contains(p)) return CLR_INVALID;
    return FTarget->Pixel(p.X, p.Y);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    TCanvasRaster(*this).Put(x, y, Resolve(color));
}

void TCanvas::PenPixel(int x, int y, TColor rgb)
{
    TCanvasRaster(*this).PutRop2(x, y, rgb, PenModeRop2(FPen.Mode()));
}

void TCanvas::MoveTo(int x, int y)
{
    FPenPos = {x, y};
    FDashPhase = 0;
}

void TCanvas::LineTo(int x, int y)
{
    StrokeLine(FPenPos, {x, y}, false);
    FPenPos = {x, y};
}

void TCanvas::StrokeLine(TPoint a, TPoint b, bool includeEnd)
{
    if (FPen.Style() == psClear) return;
    const TColor color = Resolve(FPen.Color());
    const int rop2 = PenModeRop2(FPen.Mode());
    TCanvasRaster raster(*this);
    const int width = std::min(FPen.Width(), 1 << 20);
    if (width > 1) {
        // A wide pen: the segment's rectangle and round caps at both ends.
        const double dx = double(b.X) - a.X;
        const double dy = double(b.Y) - a.Y;
        const double length = std::hypot(dx, dy);
        const double r = width / 2.0;
        const TRect clip = raster.Clip();
        const auto disc = [&](TPoint c) {
            const int top = int(std::max(double(clip.Top), std::floor(c.Y + 0.5 - r)));
            const int bottom = int(std::min(double(clip.Bottom), std::ceil(c.Y + 0.5 + r)));
            for (int y = top; y < bottom; ++y) {
                const double t = y + 0.5 - (c.Y + 0.5);
                if (std::fabs(t) > r) continue;
                const double half = std::sqrt(r * r - t * t);
                const int x1 = int(std::max(double(clip.Left), std::ceil(c.X - half)));
                const int x2 = int(std::min(double(clip.Right), std::floor(c.X + half) + 1));
                for (int x = x1; x < x2; ++x) raster.PutRop2(x, y, color, rop2);
            }
        };
        disc(a);
        if (length > 0) {
            const double nx = -dy / length * r;
            const double ny = dx / length * r;
            struct TCorner {
                double X, Y;
            };
            // Around the line through the pixel centres.
            const double ax = a.X + 0.5, ay = a.Y + 0.5, bx = b.X + 0.5, by = b.Y + 0.5;
            const TCorner quad[4] = {{ax + nx, ay + ny}, {bx + nx, by + ny}, {bx - nx, by - ny}, {ax - nx, ay - ny}};
            // The body: pixels whose centres lie inside, then the end cap.
            std::vector<double> xs;
            const double minY = std::min({quad[0].Y, quad[1].Y, quad[2].Y, quad[3].Y});
            const double maxY = std::max({quad[0].Y, quad[1].Y, quad[2].Y, quad[3].Y});
            const int top = int(std::max(double(clip.Top), std::floor(minY)));
            const int bottom = int(std::min(double(clip.Bottom), std::ceil(maxY) + 1));
            for (int y = top; y < bottom; ++y) {
                const double yc = y + 0.5;
                xs.clear();
                for (int k = 0; k < 4; ++k) {
                    const TCorner p = quad[k];
                    const TCorner q = quad[(k + 1) % 4];
                    if (p.Y == q.Y) continue;
                    if (yc < std::min(p.Y, q.Y) || yc >= std::max(p.Y, q.Y)) continue;
                    xs.push_back(p.X + (yc - p.Y) * (q.X - p.X) / (q.Y - p.Y));
                }
                if (xs.size() < 2) continue;
                std::sort(xs.begin(), xs.end());
                const int x1 = int(std::max(double(clip.Left), std::ceil(xs.front() - 0.5)));
                const int x2 = int(std::min(double(clip.Right), std::ceil(xs.back() - 0.5)));
                for (int x = x1; x < x2; ++x) raster.PutRop2(x, y, color, rop2);
            }
            disc(b);
        }
        return;
    }
    const bool dashed = FPen.Style() >= psDash && FPen.Style() <= psDashDotDot;
    const bool gaps = dashed && FBrush.Style() != bsClear;
    const TColor gapColor = Resolve(FBrush.Color());
    // Midpoint stepping along the major axis: step k puts the minor axis at
    // the nearest pixel (halves rounded up). Only the steps inside the clip's
    // range of the major axis are visited, so a line that starts far outside
    // costs no more than one that does not.
    const long long dx = static_cast<long long>(b.X) - a.X;
    const long long dy = static_cast<long long>(b.Y) - a.Y;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long n = std::max(std::llabs(dx), std::llabs(dy));
    const long long steps = includeEnd ? n + 1 : n;
    const TRect clip = raster.Clip();
    const long long major0 = xMajor ? a.X : a.Y;
    const long long majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const long long minor0 = xMajor ? a.Y : a.X;
    const long long minorDelta = xMajor ? dy : dx;
    const long long lo = xMajor ? clip.Left : clip.Top;
    const long long hi = xMajor ? clip.Right : clip.Bottom;
    long long kFirst = 0, kLast = steps - 1;
    if (majorStep > 0) {
        kFirst = std::max(kFirst, lo - major0);
        kLast = std::min(kLast, hi - 1 - major0);
    } else {
        kFirst = std::max(kFirst, major0 - (hi - 1));
        kLast = std::min(kLast, major0 - lo);
    }
    for (long long k = kFirst; k <= kLast; ++k) {
        long long minor = minor0;
        if (n > 0) {
            // Coordinates span 32 bits, so the product needs 128.
            const Int128 num = Int128(2) * k * std::llabs(minorDelta) + n;
            minor += (minorDelta < 0 ? -1 : 1) * static_cast<long long>(num / (Int128(2) * n));
        }
        const long long major = major0 + majorStep * k;
        const int x = int(xMajor ? major : minor);
        const int y = int(xMajor ? minor : major);
        const int phase = int((FDashPhase + k) % 24000);
        if (!dashed || DashOn(FPen.Style(), phase)) raster.PutRop2(x, y, color, rop2);
        else if (gaps) raster.PutRop2(x, y, gapColor, rop2);
    }
    FDashPhase = int((FDashPhase + std::max(0LL, steps)) % 24000);
}

void TCanvas::StrokePath(std::span<const TPoint> points, bool closed)
{
    if (points.empty()) return;
    FDashPhase = 0;
    for (std::size_t i = 1; i < points.size(); ++i) StrokeLine(points[i - 1], points[i], false);
    if (closed && points.size() > 1) StrokeLine(points.back(), points.front(), false);
    if (points.size() == 1 || (closed && points.size() == 2 && points[0] == points[1]))
        StrokeLine(points[0], points[0], true);
}

void TCanvas::Polyline(std::span<const TPoint> points)
{
    StrokePath(points, false);
}

namespace {

// Fills the pixels whose centres lie inside the polygons with the brush.
void FillPolygonsRaster(TCanvasRaster& raster, std::span<const TPoint> points, std::span<const int> counts,
                        bool winding)
{
    std::vector<TPointF> exact;
    exact.reserve(points.size());
    for (TPoint p : points) exact.push_back({double(p.X), double(p.Y)});
    const TRect clip = raster.Clip();
    ScanPolygons(exact, counts, winding, clip.Top, clip.Bottom, clip.Left, clip.Right,
                 [&](int y, int x1, int x2) { raster.BrushSpan(y, x1, x2); });
}

}  // namespace

void TCanvas::Polygon(std::span<const TPoint> points)
{
    const int counts[1] = {int(points.size())};
    PolyPolygon(points, counts);
}

void TCanvas::PolyPolygon(std::span<const TPoint> points, std::span<const int> counts)
{
    if (FBrush.Style() != bsClear) {
        TCanvasRaster raster(*this);
        FillPolygonsRaster(raster, points, counts, FPolyFillMode == 2);
    }
    std::size_t start = 0;
    for (int count : counts) {
        if (count <= 0 || start + std::size_t(count) > points.size()) break;
        StrokePath(points.subspan(start, std::size_t(count)), true);
        start += std::size_t(count);
    }
}

namespace {

// Draws a box shape: its outline with the pen (1-pixel: the pixels of each row
// that the rows above and below do not both cover; wider: the ring between the outer and the
// inner shape) and its inside with the brush.
void DrawBoxShape(TCanvas& canvas, TRect box, int cornerW, int cornerH, bool roundCorners)
{
    TPen& pen = canvas.Pen();
    TBrush& brush = canvas.Brush();
    const bool outline = pen.Style() != psClear;
    const int width = outline ? std::min(pen.Width(), 1 << 20) : 0;
    TRect outer = box;
    if (width > 1 && pen.Style() != psInsideFrame) outer = Inflate(box, (width - 1) / 2, width / 2);
    const int scaleW = roundCorners ? cornerW + (outer.Width() - box.Width()) : 0;
    const int scaleH = roundCorners ? cornerH + (outer.Height() - box.Height()) : 0;
    TCanvasRaster raster(canvas);
    const TRect clip = raster.Clip();
    const TRect visible = IntersectRect(outer, clip);
    if (visible.IsEmpty()) return;
    // Only the visible rows are computed; a huge box costs its visible part.
    const TSpans spans(outer, scaleW, scaleH);
    const TRect innerBox = {outer.Left + width, outer.Top + width, outer.Right - width, outer.Bottom - width};
    const TSpans inner(innerBox, std::max(0, scaleW - 2 * width), std::max(0, scaleH - 2 * width));
    const TColor penColor = ColorToRGB(pen.Color()) & 0xFFFFFF;
    const int rop2 = PenModeRop2(pen.Mode());
    const bool fill = brush.Style() != bsClear;
    for (int y = visible.Top; y < visible.Bottom; ++y) {
        const int i = y - outer.Top;
        const int left = spans.Left(i);
        const int right = spans.RightOf(left);
        if (left > right) continue;
        int innerLeft = right + 1;  // first fill pixel
        int innerRight = right;     // last fill pixel (empty when innerLeft > innerRight)
        if (!outline) {
            innerLeft = left;
        } else if (width <= 1) {
            if (spans.Has(i - 1) && spans.Has(i + 1)) {
                const int reach = std::max(spans.Left(i - 1), spans.Left(i + 1));
                innerLeft = std::max(left, reach - 1) + 1;
                innerRight = spans.RightOf(innerLeft);
            }
        } else {
            const int j = y - innerBox.Top;
            if (!innerBox.IsEmpty() && inner.Has(j)) {
                innerLeft = inner.Left(j);
                innerRight = inner.RightOf(innerLeft);
            }
        }
        if (outline && innerLeft > innerRight) {
            for (int x = left; x <= right; ++x) raster.PutRop2(x, y, penColor, rop2);
            continue;
        }
        for (int x = left; x < innerLeft; ++x) raster.PutRop2(x, y, penColor, rop2);
        for (int x = innerRight + 1; x <= right; ++x) raster.PutRop2(x, y, penColor, rop2);
        if (fill) raster.BrushSpan(y, std::max(innerLeft, clip.Left), std::min(innerRight + 1, clip.Right));
    }
}

}  // namespace

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    TRect box = Normalised(x1, y1, x2, y2);
    if (FPen.Style() == psClear) {
        // With no pen the platform fills one pixel less to the right and bottom.
        box.Right -= 1;
        box.Bottom -= 1;
    }
    DrawBoxShape(*this, box, 0, 0, false);
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int width, int height)
{
    DrawBoxShape(*this, Normalised(x1, y1, x2, y2), std::abs(width), std::abs(height), true);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    const TRect box = Normalised(x1, y1, x2, y2);
    DrawBoxShape(*this, box, box.Width(), box.Height(), true);
}

namespace {

// Arc, pie and chord: the ellipse's pixels classified once, then filtered.
void DrawArcShape(TCanvas& canvas, const TRect& box, int x3, int y3, int x4, int y4, int kind)
{
    // kind: 0 arc, 1 pie, 2 chord.
    TCanvasRaster raster(canvas);
    const TRect visible = IntersectRect(box, raster.Clip());
    if (box.IsEmpty()) return;
    const TArcFilter filter(box, x3, y3, x4, y4);
    const TSpans spans(box, box.Width(), box.Height());
    const TPen& pen = canvas.Pen();
    const TBrush& brush = canvas.Brush();
    const TColor penColor = ColorToRGB(pen.Color()) & 0xFFFFFF;
    const int rop2 = PenModeRop2(pen.Mode());
    const TPoint p1 = filter.OnEllipse(box, filter.Start);
    const TPoint p2 = filter.OnEllipse(box, filter.Start + filter.Sweep);
    // The chord keeps the side of the line p1-p2 where the arc's middle lies.
    const TPoint mid = filter.OnEllipse(box, filter.Start + filter.Sweep / 2);
    const auto side = [&](double x, double y) {
        return (p2.X - p1.X) * (y - p1.Y) - (p2.Y - p1.Y) * (x - p1.X);
    };
    const double midSide = side(mid.X, mid.Y);
    const auto inChord = [&](int x, int y) {
        if (filter.Sweep >= 2 * std::numbers::pi) return true;
        const double s = side(x, y);
        return s == 0 || (s > 0) == (midSide > 0) || (filter.Sweep > std::numbers::pi && midSide == 0);
    };
    const bool fill = kind != 0 && brush.Style() != bsClear;
    for (int y = visible.Top; y < visible.Bottom; ++y) {
        const int i = y - box.Top;
        const int left = spans.Left(i);
        const int right = spans.RightOf(left);
        int innerLeft = right + 1;
        if (spans.Has(i - 1) && spans.Has(i + 1)) {
            const int reach = std::max(spans.Left(i - 1), spans.Left(i + 1));
            innerLeft = std::max(left, reach - 1) + 1;
        }
        const int innerRight = box.Left + box.Right - 1 - innerLeft;
        for (int x = std::max(left, visible.Left); x <= std::min(right, visible.Right - 1); ++x) {
            const bool edge = x < innerLeft || x > innerRight;
            const bool selected = kind == 2 ? inChord(x, y) : filter.Contains(x, y);
            if (!selected) continue;
            if (edge && pen.Style() != psClear) raster.PutRop2(x, y, penColor, rop2);
            else if (!edge && fill) raster.BrushPixel(x, y);
        }
    }
    if (kind == 1) {
        const TPoint centre{int(std::floor(filter.CX)), int(std::floor(filter.CY))};
        canvas.MoveTo(centre.X, centre.Y);
        canvas.LineTo(p1.X, p1.Y);
        canvas.MoveTo(centre.X, centre.Y);
        canvas.LineTo(p2.X, p2.Y);
    } else if (kind == 2) {
        canvas.MoveTo(p1.X, p1.Y);
        canvas.LineTo(p2.X, p2.Y);
    }
}

}  // namespace

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const TPoint saved = FPenPos;
    DrawArcShape(*this, Normalised(x1, y1, x2, y2), x3, y3, x4, y4, 0);
    FPenPos = saved;
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const TPoint saved = FPenPos;
    DrawArcShape(*this, Normalised(x1, y1, x2, y2), x3, y3, x4, y4, 1);
    FPenPos = saved;
}

void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const TPoint saved = FPenPos;
    DrawArcShape(*this, Normalised(x1, y1, x2, y2), x3, y3, x4, y4, 2);
    FPenPos = saved;
}

void TCanvas::FillRect(const TRect& r)
{
    if (FBrush.Style() == bsClear) return;
    const TRect box = Normalised(r.Left, r.Top, r.Right, r.Bottom);
    TCanvasRaster raster(*this);
    const TRect visible = IntersectRect(box, raster.Clip());
    for (int y = visible.Top; y < visible.Bottom; ++y) raster.BrushSpan(y, visible.Left, visible.Right);
}

void TCanvas::FrameRect(const TRect& r)
{
    if (FBrush.Style() == bsClear) return;
    const TRect box = Normalised(r.Left, r.Top, r.Right, r.Bottom);
    if (box.IsEmpty()) return;
    TCanvasRaster raster(*this);
    const TColor color = Resolve(FBrush.Color());
    raster.Span(box.Top, box.Left, box.Right, color);
    raster.Span(box.Bottom - 1, box.Left, box.Right, color);
    const TRect clip = raster.Clip();
    for (int y = std::max(box.Top + 1, clip.Top); y < std::min(box.Bottom - 1, clip.Bottom); ++y) {
        raster.Put(box.Left, y, color);
        raster.Put(box.Right - 1, y, color);
    }
}

void TCanvas::FloodFill(int x, int y, TColor color, bool surface)
{
    if (FBrush.Style() == bsClear) return;
    TCanvasRaster raster(*this);
    if (!raster.Visible(x, y)) return;
    const TColor key = Resolve(color);
    const TColor fill = Resolve(FBrush.Color());
    const TRect clip = raster.Clip();
    // Pixels to fill: of the key colour (surface) or not of it (border).
    const auto wanted = [&](int px, int py) {
        const TColor c = raster.Get(px, py);
        return surface ? c == key : c != key;
    };
    if (!wanted(x, y) || (surface && key == fill)) return;
    std::vector<bool> done(std::size_t(clip.Width()) * std::size_t(clip.Height()), false);
    const auto mark = [&](int px, int py) -> std::vector<bool>::reference {
        return done[std::size_t(py - clip.Top) * std::size_t(clip.Width()) + std::size_t(px - clip.Left)];
    };
    std::vector<TPoint> stack{{x, y}};
    while (!stack.empty()) {
        const TPoint p = stack.back();
        stack.pop_back();
        if (mark(p.X, p.Y) || !wanted(p.X, p.Y)) continue;
        int left = p.X;
        while (left > clip.Left && !mark(left - 1, p.Y) && wanted(left - 1, p.Y)) --left;
        int right = p.X;
        while (right + 1 < clip.Right && !mark(right + 1, p.Y) && wanted(right + 1, p.Y)) ++right;
        for (int px = left; px <= right; ++px) {
            mark(px, p.Y) = true;
            raster.Put(px, p.Y, fill);
            if (p.Y > clip.Top && !mark(px, p.Y - 1)) stack.push_back({px, p.Y - 1});
            if (p.Y + 1 < clip.Bottom && !mark(px, p.Y + 1)) stack.push_back({px, p.Y + 1});
        }
    }
}

void Frame3D(TCanvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight, int width)
{
    const TColor tl = ColorToRGB(topLeft) & 0xFFFFFF;
    const TColor br = ColorToRGB(bottomRight) & 0xFFFFFF;
    TCanvasRaster raster(canvas);
    for (int k = 0; k < width && !rect.IsEmpty(); ++k) {
        const TRect& r = rect;
        raster.Span(r.Top, r.Left, r.Right - 1, tl);
        for (int y = r.Top; y < r.Bottom - 1; ++y) raster.Put(r.Left, y, tl);
        for (int y = r.Top; y < r.Bottom; ++y) raster.Put(r.Right - 1, y, br);
        raster.Span(r.Bottom - 1, r.Left, r.Right, br);
        rect = {rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
    }
}

#include "platform/graphics/MetafilePlayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/core/Exceptions.h"
#include "platform/graphics/DeviceContext.h"

namespace {

constexpr std::size_t MaxSavedStates = 1000;

TPenMode PenModeOf(int rop2)
{
    static constexpr TPenMode modes[17] = {pmCopy,        pmBlack,      pmNotMerge, pmMaskNotPen, pmNotCopy, pmMaskPenNot,
                                           pmNot,         pmXor,        pmNotMask,  pmMask,       pmNotXor,  pmNop,
                                           pmMergeNotPen, pmCopy,       pmMergePenNot, pmMerge,   pmWhite};
    return rop2 >= 1 && rop2 <= 16 ? modes[rop2] : pmCopy;
}

int Clamp32(double v)
{
    if (!(v == v)) return 0;
    return int(std::clamp(std::lround(std::clamp(v, -2147483647.0, 2147483647.0)), -2147483647L, 2147483647L));
}

void Bezier(std::vector<TPoint>& out, TPoint p0, TPoint p1, TPoint p2, TPoint p3)
{
    constexpr int steps = 16;
    for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps, u = 1 - t;
        const double x = u * u * u * p0.X + 3 * u * u * t * p1.X + 3 * u * t * t * p2.X + t * t * t * p3.X;
        const double y = u * u * u * p0.Y + 3 * u * u * t * p1.Y + 3 * u * t * t * p2.Y + t * t * t * p3.Y;
        out.push_back({Clamp32(x), Clamp32(y)});
    }
}

}  // namespace

float TRecordReader::F32(std::size_t at)
{
    const std::uint32_t bits = U32(at);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return std::isfinite(f) ? f : 0.0f;
}

TXForm Compose(const TXForm& a, const TXForm& b)
{
    return {a.M11 * b.M11 + a.M12 * b.M21, a.M11 * b.M12 + a.M12 * b.M22, a.M21 * b.M11 + a.M22 * b.M21,
            a.M21 * b.M12 + a.M22 * b.M22, a.Dx * b.M11 + a.Dy * b.M21 + b.Dx, a.Dx * b.M12 + a.Dy * b.M22 + b.Dy};
}

std::optional<std::unique_ptr<TBitmap>> DecodeDib(std::span<const std::uint8_t> header,
                                                  std::span<const std::uint8_t> bits)
{
    if (header.size() < 12) return std::nullopt;
    // A BMP file in memory: the file header, then the record's own parts.
    std::vector<std::uint8_t> file(14);
    const std::size_t total = 14 + header.size() + bits.size();
    const std::size_t offset = 14 + header.size();
    file[0] = 'B';
    file[1] = 'M';
    for (int k = 0; k < 4; ++k) {
        file[2 + std::size_t(k)] = std::uint8_t(total >> (8 * k));
        file[10 + std::size_t(k)] = std::uint8_t(offset >> (8 * k));
    }
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), bits.begin(), bits.end());
    try {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->LoadFromBytes(file);
        return bitmap;
    } catch (const Exception&) {
        return std::nullopt;
    }
}

TMetafilePlayer::TMetafilePlayer(TCanvas& canvas, const TRect& target, bool windowToTarget, TRect frame,
                                 double pixelsPerMmX, double pixelsPerMmY)
    : FCanvas(canvas), FTarget(target), FFrame(frame), FWindowToTarget(windowToTarget), FPxPerMmX(pixelsPerMmX),
      FPxPerMmY(pixelsPerMmY)
{
    FSavedPen = canvas.Pen();
    FSavedBrush = canvas.Brush();
    FSavedFont = canvas.Font();
    FSavedPenPos = canvas.PenPos();
    FSavedFillMode = canvas.PolyFillMode();
    FSavedClipSet = canvas.HasClipRect();
    FCanvasClip = canvas.ClipRect();
    if (windowToTarget) FState.MapMode = MM_ANISOTROPIC;
}

TMetafilePlayer::~TMetafilePlayer()
{
    FCanvas.Pen() = FSavedPen;
    FCanvas.Brush() = FSavedBrush;
    FCanvas.Font() = FSavedFont;
    FCanvas.SetPenPos(FSavedPenPos);
    FCanvas.SetPolyFillMode(FSavedFillMode);
    if (FSavedClipSet) FCanvas.SetClipRect(FCanvasClip);
    else FCanvas.ResetClipRect();
}

const TXForm& TMetafilePlayer::Transform()
{
    if (FTransformValid) return FTransform;
    const TState& s = FState;
    TXForm page;
    double sx = 1, sy = 1;
    const int mode = FWindowToTarget ? MM_ANISOTROPIC : s.MapMode;
    switch (mode) {
    case MM_LOMETRIC: sx = FPxPerMmX / 10, sy = -FPxPerMmY / 10; break;
    case MM_HIMETRIC: sx = FPxPerMmX / 100, sy = -FPxPerMmY / 100; break;
    case MM_LOENGLISH: sx = FPxPerMmX * 0.254, sy = -FPxPerMmY * 0.254; break;
    case MM_HIENGLISH: sx = FPxPerMmX * 0.0254, sy = -FPxPerMmY * 0.0254; break;
    case MM_TWIPS: sx = FPxPerMmX * 25.4 / 1440, sy = -FPxPerMmY * 25.4 / 1440; break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC: {
        const double vx = FWindowToTarget ? FTarget.Width() : s.ViewportExt.X;
        const double vy = FWindowToTarget ? FTarget.Height() : s.ViewportExt.Y;
        sx = s.WindowExt.X ? vx / s.WindowExt.X : 1;
        sy = s.WindowExt.Y ? vy / s.WindowExt.Y : 1;
        if (mode == MM_ISOTROPIC && !FWindowToTarget) {
            const double m = std::min(std::fabs(sx), std::fabs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
        break;
    }
    default: break;
    }
    const double vox = FWindowToTarget ? FTarget.Left : s.ViewportOrg.X;
    const double voy = FWindowToTarget ? FTarget.Top : s.ViewportOrg.Y;
    page.M11 = sx;
    page.M22 = sy;
    page.Dx = vox - s.WindowOrg.X * sx;
    page.Dy = voy - s.WindowOrg.Y * sy;
    FTransform = Compose(s.World, page);
    if (!FWindowToTarget) {
        TXForm frame;
        const double fw = FFrame.Width() ? FFrame.Width() : 1;
        const double fh = FFrame.Height() ? FFrame.Height() : 1;
        frame.M11 = FTarget.Width() / fw;
        frame.M22 = FTarget.Height() / fh;
        frame.Dx = FTarget.Left - FFrame.Left * frame.M11;
        frame.Dy = FTarget.Top - FFrame.Top * frame.M22;
        FTransform = Compose(FTransform, frame);
    }
    FTransformValid = true;
    return FTransform;
}

TPoint TMetafilePlayer::Map(double x, double y)
{
    const TXForm& m = Transform();
    return {Clamp32(x * m.M11 + y * m.M21 + m.Dx), Clamp32(x * m.M12 + y * m.M22 + m.Dy)};
}

TPoint TMetafilePlayer::MapDevice(double x, double y) const
{
    if (FWindowToTarget) return {Clamp32(x), Clamp32(y)};
    const double fw = FFrame.Width() ? FFrame.Width() : 1;
    const double fh = FFrame.Height() ? FFrame.Height() : 1;
    return {Clamp32(FTarget.Left + (x - FFrame.Left) * FTarget.Width() / fw),
            Clamp32(FTarget.Top + (y - FFrame.Top) * FTarget.Height() / fh)};
}

double TMetafilePlayer::ScaleX()
{
    const TXForm& m = Transform();
    return std::hypot(m.M11, m.M12);
}

double TMetafilePlayer::ScaleY()
{
    const TXForm& m = Transform();
    return std::hypot(m.M21, m.M22);
}

bool TMetafilePlayer::AxisAligned()
{
    const TXForm& m = Transform();
    return m.M12 == 0 && m.M21 == 0;
}

void TMetafilePlayer::SetMapMode(int mode)
{
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC) return;
    FState.MapMode = mode;
    if (mode != MM_ISOTROPIC && mode != MM_ANISOTROPIC) FState.WindowExt = FState.ViewportExt = {1, 1};
    Invalidate();
}

void TMetafilePlayer::SetWindowOrg(int x, int y)
{
    FState.WindowOrg = {x, y};
    Invalidate();
}

void TMetafilePlayer::SetWindowExt(int x, int y)
{
    if (x == 0 || y == 0) return;
    FState.WindowExt = {x, y};
    Invalidate();
}

void TMetafilePlayer::SetViewportOrg(int x, int y)
{
    FState.ViewportOrg = {x, y};
    Invalidate();
}

void TMetafilePlayer::SetViewportExt(int x, int y)
{
    if (x == 0 || y == 0) return;
    FState.ViewportExt = {x, y};
    Invalidate();
}

void TMetafilePlayer::OffsetWindowOrg(int dx, int dy) { SetWindowOrg(FState.WindowOrg.X + dx, FState.WindowOrg.Y + dy); }

void TMetafilePlayer::OffsetViewportOrg(int dx, int dy)
{
    SetViewportOrg(FState.ViewportOrg.X + dx, FState.ViewportOrg.Y + dy);
}

void TMetafilePlayer::ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom)
{
    if (xDenom == 0 || yDenom == 0) return;
    SetWindowExt(MulDiv(FState.WindowExt.X, xNum, xDenom), MulDiv(FState.WindowExt.Y, yNum, yDenom));
}

void TMetafilePlayer::ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom)
{
    if (xDenom == 0 || yDenom == 0) return;
    SetViewportExt(MulDiv(FState.ViewportExt.X, xNum, xDenom), MulDiv(FState.ViewportExt.Y, yNum, yDenom));
}

void TMetafilePlayer::SetWorldTransform(const TXForm& x)
{
    FState.World = x;
    Invalidate();
}

void TMetafilePlayer::ModifyWorldTransform(const TXForm& x, int mode)
{
    switch (mode) {
    case 1: FState.World = {}; break;                              // MWT_IDENTITY
    case 2: FState.World = Compose(x, FState.World); break;        // MWT_LEFTMULTIPLY
    case 3: FState.World = Compose(FState.World, x); break;        // MWT_RIGHTMULTIPLY
    case 4: FState.World = x; break;                               // MWT_SET
    default: return;
    }
    Invalidate();
}

void TMetafilePlayer::SaveState()
{
    if (FSaved.size() < MaxSavedStates) FSaved.push_back(FState);
}

void TMetafilePlayer::RestoreState(int which)
{
    // Negative: relative to the top; positive: the state saved as number `which`.
    std::size_t keep;
    if (which < 0) {
        const std::size_t back = std::size_t(-static_cast<long long>(which));
        if (back > FSaved.size()) return;
        keep = FSaved.size() - back;
    } else {
        if (which == 0 || std::size_t(which) > FSaved.size()) return;
        keep = std::size_t(which) - 1;
    }
    FState = FSaved[keep];
    FSaved.resize(keep);
    Invalidate();
}

void TMetafilePlayer::IntersectClip(double l, double t, double r, double b)
{
    const TPoint a = Map(l, t);
    const TPoint c = Map(r, b);
    const TRect box{std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y)};
    FState.Clip = FState.Clip ? IntersectRect(*FState.Clip, box) : box;
}

void TMetafilePlayer::SetClipDevice(std::optional<TRect> deviceRect) { FState.Clip = deviceRect; }

void TMetafilePlayer::SelectStock(std::uint32_t index)
{
    switch (index & 0x7FFFFFFF) {
    case 0: FState.Brush = {false, clWhite}; break;
    case 1: FState.Brush = {false, RGB(192, 192, 192)}; break;
    case 2: FState.Brush = {false, RGB(128, 128, 128)}; break;
    case 3: FState.Brush = {false, RGB(64, 64, 64)}; break;
    case 4: FState.Brush = {false, clBlack}; break;
    case 5: FState.Brush = {true, clWhite}; break;
    case 6: FState.Pen = {0, 0, clWhite}; break;
    case 7: FState.Pen = {0, 0, clBlack}; break;
    case 8: FState.Pen = {5, 0, clBlack}; break;
    case 10: case 11: case 16: FState.Font = TMetaFont{0, 0, 400, false, false, false, "Courier New"}; break;
    case 12: case 13: case 14: case 17: FState.Font = TMetaFont{}; break;
    default: break;
    }
}

void TMetafilePlayer::ApplyPen()
{
    TPen& pen = FCanvas.Pen();
    const int style = FState.Pen.Style;
    pen.SetStyle(style >= psSolid && style <= psInsideFrame ? TPenStyle(style) : psSolid);
    pen.SetColor(FState.Pen.Color & 0xFFFFFF);
    const double w = FState.Pen.Width * ScaleX();
    pen.SetWidth(FState.Pen.Width <= 0 ? 1 : std::max(1, Clamp32(std::min(w, 1e6))));
    pen.SetMode(PenModeOf(FState.Rop2));
}

void TMetafilePlayer::ApplyBrush()
{
    TBrush& brush = FCanvas.Brush();
    brush.SetColor(FState.Brush.Color & 0xFFFFFF);
    brush.SetStyle(FState.Brush.Hollow ? bsClear : bsSolid);
    FCanvas.SetPolyFillMode(FState.PolyFill);
}

// Clip rectangles are kept in canvas coordinates; the canvas's own clip is in
// those of its bitmap, through the canvas's origin.
void TMetafilePlayer::ApplyClip()
{
    if (!FState.Clip) return FCanvas.SetClipRect(FCanvasClip);
    const TPoint o = FCanvas.Origin();
    const TRect& c = *FState.Clip;
    FCanvas.SetClipRect(IntersectRect({c.Left + o.X, c.Top + o.Y, c.Right + o.X, c.Bottom + o.Y}, FCanvasClip));
}

std::vector<TPoint> TMetafilePlayer::MapPoints(std::span<const TPoint> points)
{
    std::vector<TPoint> out;
    out.reserve(points.size());
    for (TPoint p : points) out.push_back(Map(p.X, p.Y));
    return out;
}

void TMetafilePlayer::AddFigure(std::vector<TPoint> points, bool closed)
{
    if (points.empty()) return;
    FPath.push_back({std::move(points), closed});
    FPathOpen = false;
}

void TMetafilePlayer::DrawPolygonDevice(std::vector<TPoint> points)
{
    if (FInPath) return AddFigure(std::move(points), true);
    ApplyClip();
    ApplyPen();
    ApplyBrush();
    FCanvas.Polygon(points);
}

void TMetafilePlayer::MoveTo(double x, double y)
{
    FState.PosX = x;
    FState.PosY = y;
    if (FInPath) {
        FPath.push_back({{Map(x, y)}, false});
        FPathOpen = true;
    }
}

void TMetafilePlayer::LineTo(double x, double y)
{
    const TPoint a = Map(FState.PosX, FState.PosY);
    const TPoint b = Map(x, y);
    FState.PosX = x;
    FState.PosY = y;
    if (FInPath) {
        if (!FPathOpen || FPath.empty()) FPath.push_back({{a}, false});
        FPathOpen = true;
        FPath.back().Points.push_back(b);
        return;
    }
    ApplyClip();
    ApplyPen();
    ApplyBrush();
    FCanvas.MoveTo(a.X, a.Y);
    FCanvas.LineTo(b.X, b.Y);
}

void TMetafilePlayer::Rectangle(double l, double t, double r, double b)
{
    if (!AxisAligned() || FInPath) {
        const TPoint corners[4] = {Map(l, t), Map(r, t), Map(r, b), Map(l, b)};
        return DrawPolygonDevice({std::begin(corners), std::end(corners)});
    }
    const TPoint a = Map(l, t), c = Map(r, b);
    ApplyClip();
    ApplyPen();
    ApplyBrush();
    FCanvas.Rectangle(a.X, a.Y, c.X, c.Y);
}

void TMetafilePlayer::RoundRect(double l, double t, double r, double b, double w, double h)
{
    if (!AxisAligned() || FInPath) return Rectangle(l, t, r, b);
    const TPoint a = Map(l, t), c = Map(r, b);
    ApplyClip();
    ApplyPen();
    ApplyBrush();
    FCanvas.RoundRect(a.X, a.Y, c.X, c.Y, Clamp32(std::fabs(w * ScaleX())), Clamp32(std::fabs(h * ScaleY())));
}

void TMetafilePlayer::Ellipse(double l, double t, double r, double b)
{
    if (!AxisAligned() || FInPath) {
        std::vector<TPoint> points;
        const double cx = (l + r) / 2, cy = (t + b) / 2, rx = (r - l) / 2, ry = (b - t) / 2;
        for (int i = 0; i < 64; ++i) {
            const double a = 2 * std::numbers::pi * i / 64;
            points.push_back(Map(cx + rx * std::cos(a), cy + ry * std::sin(a)));
        }
        return DrawPolygonDevice(std::move(points));
    }
    const TPoint a = Map(l, t), c = Map(r, b);
    ApplyClip();
    ApplyPen();
    ApplyBrush();
    FCanvas.Ellipse(a.X, a.Y, c.X, c.Y);
}

void TMetafilePlayer::ArcShape(int kind, double l, double t, double r, double b, double x1, double y1, double x2,
                               double y2)
{
    if (!AxisAligned() || FInPath) return;
    const TPoint a = Map(l, t), c = Map(r, b);
    TPoint p = Map(x1, y1), q = Map(x2, y2);
    // A mapping that flips one axis turns counter-clockwise into clockwise.
    const TXForm& m = Transform();
    if ((m.M11 < 0) != (m.M22 < 0)) std::swap(p, q);
    ApplyClip();
    ApplyPen();
    ApplyBrush();
    if (kind == 0) FCanvas.Arc(a.X, a.Y, c.X, c.Y, p.X, p.Y, q.X, q.Y);
    else if (kind == 1) FCanvas.Pie(a.X, a.Y, c.X, c.Y, p.X, p.Y, q.X, q.Y);
    else FCanvas.Chord(a.X, a.Y, c.X, c.Y, p.X, p.Y, q.X, q.Y);
}

void TMetafilePlayer::Polyline(std::span<const TPoint> points)
{
    std::vector<TPoint> mapped = MapPoints(points);
    if (FInPath) return AddFigure(std::move(mapped), false);
    ApplyClip();
    ApplyPen();
    ApplyBrush();
    FCanvas.Polyline(mapped);
}

void TMetafilePlayer::PolylineTo(std::span<const TPoint> points)
{
    if (points.empty()) return;
    std::vector<TPoint> mapped{Map(FState.PosX, FState.PosY)};
    for (TPoint p : points) mapped.push_back(Map(p.X, p.Y));
    FState.PosX = points.back().X;
    FState.PosY = points.back().Y;
    if (FInPath) {
        if (FPathOpen && !FPath.empty()) {
            FPath.back().Points.insert(FPath.back().Points.end(), mapped.begin() + 1, mapped.end());
        } else {
            FPath.push_back({std::move(mapped), false});
            FPathOpen = true;
        }
        return;
    }
    ApplyClip();
    ApplyPen();
    ApplyBrush();
    FCanvas.Polyline(mapped);
}

void TMetafilePlayer::PolyBezier(std::span<const TPoint> points, bool fromCurrent)
{
    std::vector<TPoint> control;
    if (fromCurrent) control.push_back({Clamp32(FState.PosX), Clamp32(FState.PosY)});
    control.insert(control.end(), points.begin(), points.end());
    if (control.size() < 4) return;
    const std::vector<TPoint> mapped = MapPoints(control);
    std::vector<TPoint> flat{mapped[0]};
    for (std::size_t i = 0; i + 3 < mapped.size(); i += 3) Bezier(flat, mapped[i], mapped[i + 1], mapped[i + 2], mapped[i + 3]);
    if (fromCurrent) {
        const std::size_t used = (control.size() - 1) / 3 * 3;
        FState.PosX = control[used].X;
        FState.PosY = control[used].Y;
    }
    if (FInPath) {
        if (fromCurrent && FPathOpen && !FPath.empty())
            FPath.back().Points.insert(FPath.back().Points.end(), flat.begin() + 1, flat.end());
        else {
            FPath.push_back({std::move(flat), false});
            FPathOpen = true;
        }
        return;
    }
    ApplyClip();
    ApplyPen();
    ApplyBrush();
    FCanvas.Polyline(flat);
}

void TMetafilePlayer::Polygon(std::span<const TPoint> points) { DrawPolygonDevice(MapPoints(points)); }

void TMetafilePlayer::PolyPolygon(std::span<const TPoint> points, std::span<const int> counts)
{
    std::vector<TPoint> mapped = MapPoints(points);
    if (FInPath) {
        std::size_t start = 0;
        for (int n : counts) {
            if (n <= 0 || start + std::size_t(n) > mapped.size()) break;
            AddFigure({mapped.begin() + std::ptrdiff_t(start), mapped.begin() + std::ptrdiff_t(start + std::size_t(n))},
                      true);
            start += std::size_t(n);
        }
        return;
    }
    ApplyClip();
    ApplyPen();
    ApplyBrush();
    FCanvas.PolyPolygon(mapped, counts);
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

void TMetafilePlayer::TextOut(double x, double y, std::u32string_view text, std::span<const int> advances,
                              unsigned options, std::optional<std::array<double, 4>> rect)
{
    const bool updateCp = (FState.TextAlign & 1) != 0;
    if (updateCp) {
        x = FState.PosX;
        y = FState.PosY;
    }
    const TMetaFont& f = FState.Font;
    TFont& font = FCanvas.Font();
    font.SetName(f.Face.empty() ? std::string("Arial") : f.Face);
    const double h = f.Height * ScaleY();
    font.SetHeight(f.Height == 0 ? -12 : std::clamp(Clamp32(h), -1000, 1000));
    if (font.Height() == 0) font.SetHeight(f.Height < 0 ? -1 : 1);
    font.SetStyle(TFontStyles((f.Weight >= 600 ? fsBold : 0) | (f.Italic ? fsItalic : 0) |
                              (f.Underline ? fsUnderline : 0) | (f.StrikeOut ? fsStrikeOut : 0)));
    font.SetColor(FState.TextColor & 0xFFFFFF);
    std::vector<int> deviceAdvances;
    int width = 0;
    if (!advances.empty()) {
        double acc = 0;
        int last = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            acc += (i < advances.size() ? advances[i] : 0) * ScaleX();
            const int now = Clamp32(acc);
            deviceAdvances.push_back(now - last);
            last = now;
        }
        width = last;
    } else {
        width = FCanvas.TextWidthUnicode(text);
    }
    TPoint p = Map(x, y);
    const unsigned horizontal = FState.TextAlign & 6;
    if (horizontal == 6) p.X -= width / 2;      // TA_CENTER
    else if (horizontal == 2) p.X -= width;     // TA_RIGHT
    const unsigned vertical = FState.TextAlign & 24;
    if (vertical == 24) p.Y -= FCanvas.FontAscent();          // TA_BASELINE
    else if (vertical == 8) p.Y -= FCanvas.FontCellHeight();  // TA_BOTTOM
    ApplyClip();
    TBrush& brush = FCanvas.Brush();
    brush.SetColor(FState.BkColor & 0xFFFFFF);
    if (rect) {
        const TPoint a = Map((*rect)[0], (*rect)[1]), c = Map((*rect)[2], (*rect)[3]);
        const TRect r{std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y)};
        if (options & 2) FCanvas.FillRect(r);  // ETO_OPAQUE
        const TPoint o = FCanvas.Origin();
        if (options & 4)
            FCanvas.SetClipRect(IntersectRect(FCanvas.ClipRect(), {r.Left + o.X, r.Top + o.Y, r.Right + o.X, r.Bottom + o.Y}));
    }
    brush.SetStyle(FState.BkMode == OPAQUE && !(options & 2) ? bsSolid : bsClear);
    FCanvas.TextOutUnicode(p.X, p.Y, text, deviceAdvances);
    if (updateCp) {
        // The current position moves by the text's width in logical units.
        const double sx = ScaleX();
        FState.PosX += sx > 0 ? width / sx : 0;
    }
}

void TMetafilePlayer::Blit(double x, double y, double w, double h, const TBitmap* bitmap, int sx, int sy, int sw,
                           int sh, std::uint32_t rop)
{
    const TPoint a = Map(x, y), c = Map(x + w, y + h);
    ApplyClip();
    ApplyBrush();
    HDC dest = FCanvas.Handle();
    if (!bitmap) {
        FCanvas.Brush().SetStyle(bsSolid);
        PatBlt(dest, a.X, a.Y, c.X - a.X, c.Y - a.Y, rop);
        return;
    }
    TBitmap source;
    source.Assign(*bitmap);
    StretchBlt(dest, a.X, a.Y, c.X - a.X, c.Y - a.Y, source.Canvas().Handle(), sx, sy, sw, sh, rop);
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
    ApplyClip();
    ApplyPen();
    ApplyBrush();
    if (fill) {
        std::vector<TPoint> points;
        std::vector<int> counts;
        for (const TFigure& f : FPath) {
            points.insert(points.end(), f.Points.begin(), f.Points.end());
            counts.push_back(int(f.Points.size()));
        }
        const TPen saved = FCanvas.Pen();
        FCanvas.Pen().SetStyle(psClear);
        FCanvas.PolyPolygon(points, counts);
        FCanvas.Pen() = saved;
    }
    if (stroke) {
        for (const TFigure& f : FPath) {
            if (f.Closed) {
                std::vector<TPoint> closed = f.Points;
                closed.push_back(f.Points.front());
                FCanvas.Polyline(closed);
            } else {
                FCanvas.Polyline(f.Points);
            }
        }
    }
    FPath.clear();
}

void TMetafilePlayer::ClipToPath()
{
    FInPath = false;
    TRect box{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
    bool any = false;
    for (const TFigure& f : FPath)
        for (TPoint p : f.Points) {
            box = {std::min(box.Left, p.X), std::min(box.Top, p.Y), std::max(box.Right, p.X), std::max(box.Bottom, p.Y)};
            any = true;
        }
    if (any) FState.Clip = FState.Clip ? IntersectRect(*FState.Clip, box) : box;
    FPath.clear();
}

#include "platform/graphics/MetafilePlayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <tuple>

#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/CanvasRaster.h"
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

float TRecordReader::F32(std::size_t at)
{
    const std::uint32_t bits = U32(at);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return std::isfinite(f) ? f : 0.0f;
}

std::u32string DecodeAnsiText(std::span<const std::uint8_t> bytes, int charset)
{
    std::u32string text;
    text.reserve(bytes.size());
    const bool ansi = charset == 0 || charset == 1;  // ANSI_CHARSET, DEFAULT_CHARSET
    for (std::uint8_t b : bytes) text.push_back(ansi ? Cp1252ToUnicode(b) : char32_t(b));
    return text;
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
    if (canvas.ClipRegion()) FSavedRegion = *canvas.ClipRegion();
    FSavedHatchBackground = canvas.HatchBackground();
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
    FCanvas.SetClipRegion(std::move(FSavedRegion));
    FCanvas.SetHatchBackground(FSavedHatchBackground);
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
    const TPointF p = MapF(x, y);
    return {Clamp32(p.X), Clamp32(p.Y)};
}

TPointF TMetafilePlayer::MapF(double x, double y)
{
    const TXForm& m = Transform();
    return {x * m.M11 + y * m.M21 + m.Dx, x * m.M12 + y * m.M22 + m.Dy};
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

void TMetafilePlayer::SelectStock(std::uint32_t index)
{
    const auto brush = [](TColor c, bool hollow = false) {
        TMetaBrush b;
        b.Color = c;
        b.Hollow = hollow;
        return b;
    };
    const auto pen = [](std::uint32_t style, TColor c) {
        TMetaPen p;
        p.Style = style;
        p.Color = c;
        return p;
    };
    TMetaFont fixed;
    fixed.Face = "Courier New";
    switch (index & 0x7FFFFFFF) {
    case 0: FState.Brush = brush(clWhite); break;
    case 1: FState.Brush = brush(RGB(192, 192, 192)); break;
    case 2: FState.Brush = brush(RGB(128, 128, 128)); break;
    case 3: FState.Brush = brush(RGB(64, 64, 64)); break;
    case 4: FState.Brush = brush(clBlack); break;
    case 5: FState.Brush = brush(clWhite, true); break;
    case 6: FState.Pen = pen(0, clWhite); break;
    case 7: FState.Pen = pen(0, clBlack); break;
    case 8: FState.Pen = pen(PS_NULL, clBlack); break;
    case 10: case 11: case 16: FState.Font = fixed; break;
    case 12: case 13: case 14: case 17: FState.Font = TMetaFont{}; break;
    default: break;
    }
}

void TMetafilePlayer::ApplyPen()
{
    TPen& pen = FCanvas.Pen();
    const std::uint32_t style = FState.Pen.Style & PS_STYLE_MASK;
    pen.SetStyle(style <= PS_INSIDEFRAME ? TPenStyle(style) : psSolid);
    pen.SetColor(FState.Pen.Color & 0xFFFFFF);
    pen.SetWidth(1);
    pen.SetMode(PenModeOf(FState.Rop2));
}

void TMetafilePlayer::ApplyBrush(const TMetaBrush& b)
{
    TBrush& brush = FCanvas.Brush();
    brush.SetColor(b.Color & 0xFFFFFF);
    brush.SetStyle(b.Hollow ? bsClear : b.Hatch >= 0 && b.Hatch <= 5 ? TBrushStyle(bsHorizontal + b.Hatch) : bsSolid);
    if (b.Monochrome && b.Pattern && !b.Hollow) {
        // The pattern's colours come from the context at drawing time.
        auto coloured = std::make_shared<TBitmap>(b.Pattern->Width(), b.Pattern->Height(), pf24bit);
        TPixelView from(const_cast<TBitmap&>(*b.Pattern)), to(*coloured);
        for (int y = 0; y < to.Height(); ++y)
            for (int x = 0; x < to.Width(); ++x)
                to.Set(x, y, from.Get(x, y) == 0 ? FState.TextColor & 0xFFFFFF : FState.BkColor & 0xFFFFFF);
        brush.SetBitmap(std::move(coloured));
    } else {
        brush.SetBitmap(b.Hollow ? nullptr : b.Pattern);
    }
    FCanvas.SetHatchBackground(FState.BkMode == OPAQUE ? std::optional<TColor>(FState.BkColor & 0xFFFFFF) : std::nullopt);
    FCanvas.SetPolyFillMode(FState.PolyFill);
}

// The clip region is kept in canvas coordinates; the canvas's own in those
// of its bitmap, through the canvas's origin.
void TMetafilePlayer::ApplyClip()
{
    FCanvas.SetClipRect(FCanvasClip);
    if (!FState.Clip) return FCanvas.SetClipRegion(FSavedRegion);
    TRegion region = *FState.Clip;
    const TPoint o = FCanvas.Origin();
    region.Offset(o.X, o.Y);
    if (FSavedRegion) region = region.Combined(*FSavedRegion, RGN_AND);
    FCanvas.SetClipRegion(std::move(region));
}

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

void TMetafilePlayer::GradientFill(std::span<const TGradientVertex> vertices, std::span<const std::uint32_t> indices,
                                   int mode)
{
    ApplyClip();
    TCanvasRaster raster(FCanvas);
    const TRect clip = raster.Clip();
    const auto channel = [](TColor c, int shift) { return double((c >> shift) & 0xFF); };
    const auto mix = [&](TColor a, TColor b, double t) {
        TColor out = 0;
        for (int shift : {0, 8, 16})
            out |= TColor(std::lround(channel(a, shift) + (channel(b, shift) - channel(a, shift)) * t)) << shift;
        return out;
    };
    const std::size_t per = mode == 2 ? 3 : 2;
    for (std::size_t k = 0; k + per <= indices.size(); k += per) {
        if (indices[k] >= vertices.size() || indices[k + 1] >= vertices.size() ||
            (per == 3 && indices[k + 2] >= vertices.size()))
            continue;
        if (per == 2) {
            const TGradientVertex& a = vertices[indices[k]];
            const TGradientVertex& b = vertices[indices[k + 1]];
            const TPointF p = MapF(a.X, a.Y), q = MapF(b.X, b.Y);
            const bool swapX = p.X > q.X, swapY = p.Y > q.Y;
            const TRect box = IntersectRect({Clamp32(std::min(p.X, q.X)), Clamp32(std::min(p.Y, q.Y)),
                                             Clamp32(std::max(p.X, q.X)), Clamp32(std::max(p.Y, q.Y))}, clip);
            const double span = mode == 0 ? std::fabs(q.X - p.X) : std::fabs(q.Y - p.Y);
            for (int y = box.Top; y < box.Bottom; ++y)
                for (int x = box.Left; x < box.Right; ++x) {
                    double t = span > 0 ? (mode == 0 ? (x + 0.5 - std::min(p.X, q.X)) : (y + 0.5 - std::min(p.Y, q.Y))) / span : 0;
                    if (mode == 0 ? swapX : swapY) t = 1 - t;
                    raster.Put(x, y, mix(a.Color, b.Color, std::clamp(t, 0.0, 1.0)));
                }
            continue;
        }
        const TGradientVertex* v[3] = {&vertices[indices[k]], &vertices[indices[k + 1]], &vertices[indices[k + 2]]};
        TPointF p[3];
        for (int i = 0; i < 3; ++i) p[i] = MapF(v[i]->X, v[i]->Y);
        const double det = (p[1].Y - p[2].Y) * (p[0].X - p[2].X) + (p[2].X - p[1].X) * (p[0].Y - p[2].Y);
        if (det == 0) continue;
        const double minX = std::min({p[0].X, p[1].X, p[2].X}), maxX = std::max({p[0].X, p[1].X, p[2].X});
        const double minY = std::min({p[0].Y, p[1].Y, p[2].Y}), maxY = std::max({p[0].Y, p[1].Y, p[2].Y});
        const TRect box = IntersectRect({Clamp32(std::floor(minX)), Clamp32(std::floor(minY)), Clamp32(std::ceil(maxX)),
                                         Clamp32(std::ceil(maxY))}, clip);
        for (int y = box.Top; y < box.Bottom; ++y)
            for (int x = box.Left; x < box.Right; ++x) {
                const double px = x + 0.5, py = y + 0.5;
                const double w0 = ((p[1].Y - p[2].Y) * (px - p[2].X) + (p[2].X - p[1].X) * (py - p[2].Y)) / det;
                const double w1 = ((p[2].Y - p[0].Y) * (px - p[2].X) + (p[0].X - p[2].X) * (py - p[2].Y)) / det;
                const double w2 = 1 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                TColor out = 0;
                for (int shift : {0, 8, 16}) {
                    const double c = w0 * channel(v[0]->Color, shift) + w1 * channel(v[1]->Color, shift) +
                                     w2 * channel(v[2]->Color, shift);
                    out |= TColor(std::clamp(std::lround(c), 0L, 255L)) << shift;
                }
                raster.Put(x, y, out);
            }
    }
}

// Text turned by its escapement: laid out upright in a mask, then each
// target pixel takes the mask's pixel under it.
void TMetafilePlayer::RotatedText(TPointF at, double angle, std::u32string_view text, std::span<const int> advances,
                                  int width, bool opaque)
{
    const int ascent = FCanvas.FontAscent(), cell = FCanvas.FontCellHeight();
    const int pad = 2;
    const int mw = std::clamp(width, 1, 8192) + 2 * pad, mh = std::clamp(cell, 1, 4096) + 2 * pad;
    TBitmap mask(mw, mh, pf24bit);
    mask.Fill(clWhite);
    TCanvas& m = mask.Canvas();
    m.Font() = FCanvas.Font();
    m.Font().SetColor(clBlack);
    m.Brush().SetStyle(bsClear);
    m.TextOutUnicode(pad, pad, text, advances);
    // (u, v) along and across the baseline, from the reference point.
    double u0 = 0, v0 = 0;
    const unsigned horizontal = FState.TextAlign & 6;
    if (horizontal == 6) u0 = -width / 2.0;
    else if (horizontal == 2) u0 = -width;
    const unsigned vertical = FState.TextAlign & 24;
    if (vertical == 24) v0 = -ascent;
    else if (vertical == 8) v0 = -cell;
    const double c = std::cos(angle), s = std::sin(angle);
    // The mask's corners on the target give the area to visit.
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (auto [u, v] : {std::pair{u0 - pad, v0 - pad}, std::pair{u0 + mw - pad, v0 - pad},
                        std::pair{u0 - pad, v0 + mh - pad}, std::pair{u0 + mw - pad, v0 + mh - pad}}) {
        const double x = at.X + u * c + v * s, y = at.Y - u * s + v * c;
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    ApplyClip();
    TCanvasRaster raster(FCanvas);
    const TRect box = IntersectRect({Clamp32(std::floor(minX)), Clamp32(std::floor(minY)), Clamp32(std::ceil(maxX)),
                                     Clamp32(std::ceil(maxY))}, raster.Clip());
    TPixelView view(mask);
    const TColor ink = FState.TextColor & 0xFFFFFF, back = FState.BkColor & 0xFFFFFF;
    // Each target pixel looks at 3 x 3 points of the mask, so that strokes
    // one pixel wide do not break up when they run across the grid; quarter
    // turns map pixel onto pixel.
    const double turn = std::fmod(std::fabs(angle), std::numbers::pi / 2);
    const bool quarter = turn < 1e-6 || std::numbers::pi / 2 - turn < 1e-6;
    const auto inMask = [&](double u, double v) {
        const int i = int(std::floor(u - u0)) + pad, j = int(std::floor(v - v0)) + pad;
        return i >= 0 && j >= 0 && i < mw && j < mh ? view.Get(i, j) == 0 : false;
    };
    for (int y = box.Top; y < box.Bottom; ++y)
        for (int x = box.Left; x < box.Right; ++x) {
            const double dx = x + 0.5 - at.X, dy = y + 0.5 - at.Y;
            const double u = dx * c - dy * s, v = dx * s + dy * c;
            int hits = 0;
            if (quarter) hits = inMask(u, v) ? 9 : 0;
            else for (double oy : {-1 / 3.0, 0.0, 1 / 3.0})
                for (double ox : {-1 / 3.0, 0.0, 1 / 3.0}) hits += inMask(u + ox * c - oy * s, v + ox * s + oy * c);
            if (hits >= 3) {
                raster.Put(x, y, ink);
                continue;
            }
            const double i = u - u0, j = v - v0;
            if (opaque && i >= 0 && j >= 0 && i < mw - 2 * pad && j < mh - 2 * pad) raster.Put(x, y, back);
        }
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
    // Negative heights are character heights, positive ones cell heights,
    // as the canvas's font takes them.
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
    ApplyClip();
    TBrush& brush = FCanvas.Brush();
    brush.SetBitmap(nullptr);
    brush.SetColor(FState.BkColor & 0xFFFFFF);
    if (rect) {
        const TPoint a = Map((*rect)[0], (*rect)[1]), c = Map((*rect)[2], (*rect)[3]);
        const TRect r{std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y)};
        if (options & 2) FCanvas.FillRect(r);  // ETO_OPAQUE
        const TPoint o = FCanvas.Origin();
        if (options & 4)
            FCanvas.SetClipRect(IntersectRect(FCanvas.ClipRect(), {r.Left + o.X, r.Top + o.Y, r.Right + o.X, r.Bottom + o.Y}));
    }
    const bool opaque = FState.BkMode == OPAQUE && !(options & 2);
    // Escapement in tenths of a degree, counter-clockwise; a world transform turns it further.
    const TXForm& w = FState.World;
    const double angle = f.Escapement * std::numbers::pi / 1800 + std::atan2(-w.M12, w.M11);
    const TPointF at = MapF(x, y);
    if (std::fabs(angle) > 1e-3) {
        RotatedText(at, angle, text, deviceAdvances, width, opaque);
    } else {
        TPoint p{Clamp32(at.X), Clamp32(at.Y)};
        const unsigned horizontal = FState.TextAlign & 6;
        if (horizontal == 6) p.X -= width / 2;      // TA_CENTER
        else if (horizontal == 2) p.X -= width;     // TA_RIGHT
        const unsigned vertical = FState.TextAlign & 24;
        if (vertical == 24) p.Y -= FCanvas.FontAscent();          // TA_BASELINE
        else if (vertical == 8) p.Y -= FCanvas.FontCellHeight();  // TA_BOTTOM
        brush.SetStyle(opaque ? bsSolid : bsClear);
        FCanvas.TextOutUnicode(p.X, p.Y, text, deviceAdvances);
    }
    if (updateCp) {
        // The current position moves by the text's width in logical units.
        const double sx = ScaleX();
        FState.PosX += sx > 0 ? width / sx : 0;
    }
}

void TMetafilePlayer::Blit(double x, double y, double w, double h, const TBitmap* bitmap, int sx, int sy, int sw,
                           int sh, std::uint32_t rop, const TBitmap* mask, int mx, int my)
{
    const TPoint a = Map(x, y), c = Map(x + w, y + h);
    ApplyClip();
    ApplyBrush(FState.Brush);
    HDC dest = FCanvas.Handle();
    dest->TextColor = FState.TextColor & 0xFFFFFF;
    dest->BkColor = FState.BkColor & 0xFFFFFF;
    if (!bitmap) {
        FCanvas.Brush().SetStyle(bsSolid);
        PatBlt(dest, a.X, a.Y, c.X - a.X, c.Y - a.Y, rop);
        return;
    }
    TBitmap source;
    source.Assign(*bitmap);
    if (mask) {
        TBitmap m;
        m.Assign(*mask);
        HBITMAP handle = CreateBitmapHandle(m);
        MaskBlt(dest, a.X, a.Y, c.X - a.X, c.Y - a.Y, source.Canvas().Handle(), sx, sy, handle, mx, my, rop);
        DeleteObject(handle);
        return;
    }
    StretchBlt(dest, a.X, a.Y, c.X - a.X, c.Y - a.Y, source.Canvas().Handle(), sx, sy, sw, sh, rop);
}

namespace {

// Visits the target pixels of a stretched copy: f(targetX, targetY, sourceX, sourceY).
template <class F>
void ForEachStretched(TCanvasRaster& raster, TPoint a, TPoint c, int sx, int sy, int sw, int sh, F f)
{
    const int w = c.X - a.X, h = c.Y - a.Y;
    if (w == 0 || h == 0 || sw == 0 || sh == 0) return;
    const TRect box = IntersectRect({std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y)},
                                    raster.Clip());
    for (int y = box.Top; y < box.Bottom; ++y) {
        const long long j = w > 0 ? y - a.Y : y - a.Y;
        const int syy = sy + int(j * sh / h);
        for (int x = box.Left; x < box.Right; ++x) {
            const int sxx = sx + int(static_cast<long long>(x - a.X) * sw / w);
            f(x, y, sxx, syy);
        }
    }
}

}  // namespace

void TMetafilePlayer::AlphaBlit(double x, double y, double w, double h, const TBitmap& bitmap, int sx, int sy, int sw,
                                int sh, int constantAlpha, bool sourceAlpha)
{
    const TPoint a = Map(x, y), c = Map(x + w, y + h);
    ApplyClip();
    TCanvasRaster raster(FCanvas);
    TBitmap& b = const_cast<TBitmap&>(bitmap);
    TPixelView view(b);
    const bool alpha = sourceAlpha && bitmap.PixelFormat() == pf32bit;
    ForEachStretched(raster, a, c, sx, sy, sw, sh, [&](int px, int py, int qx, int qy) {
        if (!view.Contains(qx, qy)) return;
        const TColor s = view.Get(qx, qy);
        const int sa = alpha ? b.ScanLine(qy)[std::size_t(qx) * 4 + 3] : 255;
        const int ca = constantAlpha;
        const TColor d = raster.Get(px, py);
        if (d == CLR_INVALID) return;
        TColor out = 0;
        for (int shift : {0, 8, 16}) {
            const int sc = int((s >> shift) & 0xFF), dc = int((d >> shift) & 0xFF);
            // Premultiplied source, as the platform's blend takes it with per-pixel alpha.
            const int src = alpha ? sc * ca / 255 : sc;
            const int effective = sa * ca / 255;
            const int v = alpha ? src + dc * (255 - effective) / 255 : (sc * ca + dc * (255 - ca)) / 255;
            out |= TColor(std::clamp(v, 0, 255)) << shift;
        }
        raster.Put(px, py, out);
    });
}

void TMetafilePlayer::TransparentBlit(double x, double y, double w, double h, const TBitmap& bitmap, int sx, int sy,
                                      int sw, int sh, TColor transparent)
{
    const TPoint a = Map(x, y), c = Map(x + w, y + h);
    ApplyClip();
    TCanvasRaster raster(FCanvas);
    TPixelView view(const_cast<TBitmap&>(bitmap));
    ForEachStretched(raster, a, c, sx, sy, sw, sh, [&](int px, int py, int qx, int qy) {
        if (!view.Contains(qx, qy)) return;
        const TColor s = view.Get(qx, qy);
        if (s != (transparent & 0xFFFFFF)) raster.Put(px, py, s);
    });
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

#include "platform/graphics/MetafilePlayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Raster.h"

namespace {

constexpr std::size_t MaxSavedStates = 1000;

TPenMode PenModeOf(int rop2)
{
    static constexpr TPenMode modes[17] = {pmCopy,        pmBlack,      pmNotMerge, pmMaskNotPen, pmNotCopy, pmMaskPenNot,
                                           pmNot,         pmXor,        pmNotMask,  pmMask,       pmNotXor,  pmNop,
                                           pmMergeNotPen, pmCopy,       pmMergePenNot, pmMerge,   pmWhite};
    return rop2 >= 1 && rop2 <= 16 ? modes[rop2] : pmCopy;
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

#pragma once

// The drawing state machine that WMF and EMF playback share: mapping
// (world transform, window and viewport, the picture frame onto the target
// rectangle), the objects records create and select, saved states, clip
// regions, paths, and drawing through the canvas. Internal to the graphics
// layer.
//
// Cosmetic pens one pixel wide draw through the canvas's own lines; wider and
// geometric pens are outlined (caps, joins, dashes) and filled. Shapes under a
// rotating or shearing transform become polygons. Text turns by its
// escapement; the character orientation follows the escapement.
//
// Its parts: MetafilePlayer.cpp (mapping, saved states, objects),
// MetafileRegions.cpp (clipping, region records), MetafileStrokes.cpp (pens,
// fills, paths), MetafileShapes.cpp (lines, curves, shapes), MetafileText.cpp,
// MetafileBitmaps.cpp (bitmaps, gradients).

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/TBitmap.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/Stroker.h"
#include "platform/graphics/TCanvas.h"

// Little-endian reads with bounds checks: reading past the end gives 0 and
// marks the reader failed, so a record that lies about its size stops there.
class TRecordReader {
public:
    explicit TRecordReader(std::span<const std::uint8_t> bytes) : FBytes(bytes) {}
    std::size_t Size() const { return FBytes.size(); }
    bool Failed() const { return FFailed; }
    bool Has(std::size_t offset, std::size_t count) const
    {
        return offset <= FBytes.size() && count <= FBytes.size() - offset;
    }
    std::uint8_t U8(std::size_t at)
    {
        if (!Has(at, 1)) return Fail();
        return FBytes[at];
    }
    std::uint16_t U16(std::size_t at)
    {
        if (!Has(at, 2)) return Fail();
        return std::uint16_t(FBytes[at] | (FBytes[at + 1] << 8));
    }
    std::int16_t I16(std::size_t at) { return std::int16_t(U16(at)); }
    std::uint32_t U32(std::size_t at)
    {
        if (!Has(at, 4)) return Fail();
        return std::uint32_t(FBytes[at]) | (std::uint32_t(FBytes[at + 1]) << 8) |
               (std::uint32_t(FBytes[at + 2]) << 16) | (std::uint32_t(FBytes[at + 3]) << 24);
    }
    std::int32_t I32(std::size_t at) { return std::int32_t(U32(at)); }
    float F32(std::size_t at);
    std::span<const std::uint8_t> Bytes(std::size_t at, std::size_t count)
    {
        if (!Has(at, count)) {
            Fail();
            return {};
        }
        return FBytes.subspan(at, count);
    }

private:
    std::uint8_t Fail()
    {
        FFailed = true;
        return 0;
    }
    std::span<const std::uint8_t> FBytes;
    bool FFailed = false;
};

// Rounds to the nearest int; NaN gives 0 and the far ends stay in range.
inline int Clamp32(double v)
{
    if (!(v == v)) return 0;
    return int(std::clamp(std::lround(std::clamp(v, -2147483647.0, 2147483647.0)), -2147483647L, 2147483647L));
}

struct TXForm {
    double M11 = 1, M12 = 0, M21 = 0, M22 = 1, Dx = 0, Dy = 0;
};
// `first` applied, then `second`.
TXForm Compose(const TXForm& first, const TXForm& second);

// Pen style bits (CreatePen, ExtCreatePen).
constexpr std::uint32_t PS_STYLE_MASK = 0x0F;
constexpr std::uint32_t PS_NULL = 5;
constexpr std::uint32_t PS_INSIDEFRAME = 6;
constexpr std::uint32_t PS_USERSTYLE = 7;
constexpr std::uint32_t PS_ENDCAP_MASK = 0x0F00;
constexpr std::uint32_t PS_ENDCAP_SQUARE = 0x0100;
constexpr std::uint32_t PS_ENDCAP_FLAT = 0x0200;
constexpr std::uint32_t PS_JOIN_MASK = 0xF000;
constexpr std::uint32_t PS_JOIN_BEVEL = 0x1000;
constexpr std::uint32_t PS_JOIN_MITER = 0x2000;
constexpr std::uint32_t PS_GEOMETRIC = 0x00010000;

struct TMetaPen {
    std::uint32_t Style = 0;  // the style bits as the record gives them
    int Width = 0;            // logical; 0 is one pixel
    TColor Color = clBlack;
    std::vector<double> UserStyle;  // PS_USERSTYLE dash lengths, logical
};

struct TMetaBrush {
    bool Hollow = false;
    TColor Color = clWhite;
    int Hatch = -1;  // HS_HORIZONTAL ... HS_DIAGCROSS, -1 for none
    std::shared_ptr<const TBitmap> Pattern;
    // A monochrome pattern: its 0 bits take the text colour, its 1 bits the background colour.
    bool Monochrome = false;
};

struct TMetaFont {
    int Height = 0;
    int Escapement = 0;
    int Weight = 400;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    int Charset = 1;  // DEFAULT_CHARSET
    std::string Face = "System";
};

struct TMetaObject {
    enum TKind { okPen, okBrush, okFont, okRegion, okOther } Kind = okOther;
    TMetaPen Pen;
    TMetaBrush Brush;
    TMetaFont Font;
    std::vector<TRect> Region;  // logical rectangles
};

// Text of 8-bit records as Unicode: CP1252 for the ANSI and default
// character sets, the bytes themselves for the others.
std::u32string DecodeAnsiText(std::span<const std::uint8_t> bytes, int charset);

// Decodes a device-independent bitmap (header, colour table, pixels) of a
// record; nullopt when it is not a valid one.
std::optional<std::unique_ptr<TBitmap>> DecodeDib(std::span<const std::uint8_t> header,
                                                  std::span<const std::uint8_t> bits);

class TMetafilePlayer {
public:
    // `windowToTarget`: WMF playback, where the window always maps onto the
    // target rectangle; otherwise (EMF) the page maps to the reference
    // device, whose frame `frame` (reference pixels) maps onto the target.
    TMetafilePlayer(TCanvas& canvas, const TRect& target, bool windowToTarget, TRect frame = {},
                    double pixelsPerMmX = 96 / 25.4, double pixelsPerMmY = 96 / 25.4);
    ~TMetafilePlayer();

    // Mapping.
    void SetMapMode(int mode);
    void SetWindowOrg(int x, int y);
    void SetWindowExt(int x, int y);
    void SetViewportOrg(int x, int y);
    void SetViewportExt(int x, int y);
    void OffsetWindowOrg(int dx, int dy);
    void OffsetViewportOrg(int dx, int dy);
    void ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom);
    void ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom);
    void SetWorldTransform(const TXForm& x);
    void ModifyWorldTransform(const TXForm& x, int mode);
    TPoint Map(double x, double y);
    // Reference device coordinates (EMF clip regions) to target pixels.
    TPoint MapDevice(double x, double y) const;

    // State.
    void SaveState();
    void RestoreState(int which);
    void SetTextColor(TColor c) { FState.TextColor = c; }
    void SetBkColor(TColor c) { FState.BkColor = c; }
    void SetBkMode(int mode) { FState.BkMode = mode; }
    void SetTextAlign(unsigned align) { FState.TextAlign = align; }
    void SetPolyFillMode(int mode) { FState.PolyFill = mode; }
    void SetRop2(int rop2) { FState.Rop2 = rop2; }
    void SetArcDirection(int direction) { FState.Clockwise = direction == 2; }
    void SetMiterLimit(double limit) { FState.MiterLimit = limit > 1 ? limit : 10; }
    // Clipping: rectangles in logical units, regions in reference device
    // pixels (EMF) or logical units (WMF); RGN_* modes.
    void IntersectClip(double l, double t, double r, double b);
    void ExcludeClip(double l, double t, double r, double b);
    void OffsetClip(double dx, double dy);
    void SelectClipDevice(std::optional<std::vector<TRect>> deviceRects, int mode);  // nullopt: no clip
    void SelectClipLogical(std::span<const TRect> rects, int mode);
    void SetPen(const TMetaPen& p) { FState.Pen = p; }
    void SetBrush(const TMetaBrush& b) { FState.Brush = b; }
    void SetFont(const TMetaFont& f) { FState.Font = f; }
    void SelectStock(std::uint32_t index);

    // Drawing, in logical coordinates.
    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void Rectangle(double l, double t, double r, double b);
    void RoundRect(double l, double t, double r, double b, double w, double h);
    void Ellipse(double l, double t, double r, double b);
    // kind: 0 arc, 1 pie, 2 chord, 3 arc from the current position.
    void ArcShape(int kind, double l, double t, double r, double b, double x1, double y1, double x2, double y2);
    void Polyline(std::span<const TPoint> points);
    void PolylineTo(std::span<const TPoint> points);
    void PolyBezier(std::span<const TPoint> points, bool fromCurrent);
    // A line from the current position to the arc's start, then the arc (degrees, counter-clockwise).
    void AngleArc(double x, double y, double radius, double start, double sweep);
    // POLYDRAW: PT_MOVETO 6, PT_LINETO 2, PT_BEZIERTO 4, each may add PT_CLOSEFIGURE 1.
    void PolyDraw(std::span<const TPoint> points, std::span<const std::uint8_t> types);
    void Polygon(std::span<const TPoint> points);
    void PolyPolygon(std::span<const TPoint> points, std::span<const int> counts);
    void PolyPolyline(std::span<const TPoint> points, std::span<const int> counts);
    void SetPixel(double x, double y, TColor color);
    void FloodFill(double x, double y, TColor color, bool surface);
    // Region records: rectangles in logical units.
    void FillRegion(std::span<const TRect> rects, const TMetaBrush& brush);
    void FrameRegion(std::span<const TRect> rects, const TMetaBrush& brush, double w, double h);
    void InvertRegion(std::span<const TRect> rects);
    void PaintRegion(std::span<const TRect> rects) { FillRegion(rects, FState.Brush); }
    // Gradients: vertices in logical units with their colours; mode 0
    // horizontal rectangles, 1 vertical rectangles, 2 triangles.
    struct TGradientVertex {
        double X, Y;
        TColor Color;
    };
    void GradientFill(std::span<const TGradientVertex> vertices, std::span<const std::uint32_t> indices, int mode);
    // `advances` in logical units (may be empty); `rect` with ETO_OPAQUE (2)
    // or ETO_CLIPPED (4).
    void TextOut(double x, double y, std::u32string_view text, std::span<const int> advances, unsigned options,
                 std::optional<std::array<double, 4>> rect);
    // A bitmap into a logical rectangle through a raster operation; without
    // a bitmap the operation runs with the brush only.
    void Blit(double x, double y, double w, double h, const TBitmap* bitmap, int sx, int sy, int sw, int sh,
              std::uint32_t rop, const TBitmap* mask = nullptr, int mx = 0, int my = 0);
    // A bitmap blended by its alpha (`sourceAlpha`: the bitmap's fourth byte)
    // and a constant alpha, or with one colour left out (`transparent`).
    void AlphaBlit(double x, double y, double w, double h, const TBitmap& bitmap, int sx, int sy, int sw, int sh,
                   int constantAlpha, bool sourceAlpha);
    void TransparentBlit(double x, double y, double w, double h, const TBitmap& bitmap, int sx, int sy, int sw,
                         int sh, TColor transparent);

    // Paths.
    void BeginPath();
    void EndPath() { FPathOpen = false; }
    void AbortPath();
    void CloseFigure();
    void FillPath(bool stroke, bool fill);
    void ClipToPath(int mode);

private:
    struct TState {
        int MapMode = 1;
        TPoint WindowOrg;
        TPoint WindowExt{1, 1};
        TPoint ViewportOrg;
        TPoint ViewportExt{1, 1};
        TXForm World;
        TMetaPen Pen;
        TMetaBrush Brush;
        TMetaFont Font;
        TColor TextColor = clBlack;
        TColor BkColor = clWhite;
        int BkMode = 2;
        unsigned TextAlign = 0;
        int PolyFill = 1;
        int Rop2 = 13;
        double PosX = 0, PosY = 0;
        bool Clockwise = false;
        double MiterLimit = 10;
        std::optional<TRegion> Clip;  // canvas pixels
    };
    struct TFigure {
        std::vector<TPointF> Points;
        bool Closed = false;
    };

    const TXForm& Transform();
    void Invalidate() { FTransformValid = false; }
    double ScaleX();
    double ScaleY();
    bool AxisAligned();
    TPointF MapF(double x, double y);
    void ApplyPen();
    void ApplyBrush(const TMetaBrush& brush);
    void ApplyClip();
    // Whether the pen is drawn as an outline rather than the canvas's line.
    bool WidePen();
    bool CanvasShape();
    TStrokeStyle StrokeStyle();
    void StrokeDevice(std::span<const TPointF> points, bool closed);
    void FillDevice(std::span<const TPointF> points, std::span<const int> counts, const TMetaBrush& brush);
    void DrawPolygonDevice(std::vector<TPointF> points);
    void AddFigure(std::vector<TPointF> points, bool closed);
    void ContinueFigure(std::vector<TPointF> points);
    void PaintDevice(const TRegion& region);
    std::vector<TPointF> MapPoints(std::span<const TPoint> points);
    // An ellipse's arc from angle a0 sweeping `sweep` (radians, logical).
    std::vector<TPointF> ArcPoints(double l, double t, double r, double b, double a0, double sweep);
    TRegion WholeClip() const;
    TRegion LogicalRegion(std::span<const TRect> rects);
    void CombineClip(const TRegion& region, int mode);
    void RotatedText(TPointF at, double angle, std::u32string_view text, std::span<const int> advances,
                     int width, bool opaque);

    TCanvas& FCanvas;
    TRect FTarget;
    TRect FFrame;
    bool FWindowToTarget;
    double FPxPerMmX, FPxPerMmY;
    TRect FCanvasClip;
    TState FState;
    std::vector<TState> FSaved;
    TXForm FTransform;
    bool FTransformValid = false;
    bool FInPath = false;
    bool FPathOpen = false;
    std::vector<TFigure> FPath;
    std::optional<TRegion> FSavedRegion;
    std::optional<TColor> FSavedHatchBackground;
    // What the canvas had before playback; put back at the end.
    TPen FSavedPen;
    TBrush FSavedBrush;
    TFont FSavedFont;
    TPoint FSavedPenPos;
    int FSavedFillMode;
    bool FSavedClipSet;
};

// What a metafile's header says: the format and the picture's size in pixels
// at 96 dpi. Raises EInvalidGraphic for data that is no metafile, sizes that
// are not positive or pass 16384 pixels a side.
struct TMetafileHeader {
    bool Enhanced = false;
    int Width = 0;
    int Height = 0;
};
constexpr int MaxMetafileSide = 16384;
TMetafileHeader ReadWmfHeader(std::span<const std::uint8_t> data);
TMetafileHeader ReadEmfHeader(std::span<const std::uint8_t> data);
bool IsEmf(std::span<const std::uint8_t> data);

// Playback of each format over the player (WmfPlayer.cpp, EmfPlayer.cpp).
// They stop quietly at the first record that does not fit its file.
// What a playback left out: the records it does not draw, by type.
struct TPlaybackReport {
    int Records = 0;
    int Skipped = 0;
    std::map<std::uint32_t, int> SkippedTypes;
    void Skip(std::uint32_t type)
    {
        ++Skipped;
        ++SkippedTypes[type];
    }
};
TPlaybackReport PlayWmf(std::span<const std::uint8_t> data, TCanvas& canvas, const TRect& target);
TPlaybackReport PlayEmf(std::span<const std::uint8_t> data, TCanvas& canvas, const TRect& target);

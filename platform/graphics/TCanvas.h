#pragma once

// Drawing on a bitmap, with GDI's rules: hard pixels (no antialiasing of
// shapes), rectangles that exclude their right and bottom edges, lines that
// leave out their end point, everything clipped to the clip rectangle.
//
// A canvas draws on one target bitmap through a device origin (added to every
// coordinate) and a clip rectangle in target coordinates, so a control's canvas
// can draw into its form's surface. Pen, brush and font are owned by the
// canvas; changing them takes effect at the next drawing call.
//
// Shapes, as GDI draws them:
//   - LineTo draws from the pen position up to, not including, the end point,
//     and moves the pen there; Polyline leaves out its last point; Polygon is
//     closed, so its outline covers every vertex.
//   - Rectangle(x1, y1, x2, y2) outlines x1..x2-1 and y1..y2-1 with the pen and
//     fills the inside with the brush; with a clear pen the filled area is
//     x1..x2-2, y1..y2-2, as on the platform. Ellipse, RoundRect, Arc, Pie and
//     Chord fit into the same box.
//   - Polygons fill pixels whose centres lie inside (alternate rule unless
//     SetPolyFillMode(WINDING)), so their right and bottom edges stay out of
//     the fill and are covered by the outline.
//   - A pen wider than 1 is solid and round-capped, centred on the path (inside
//     the box for psInsideFrame). Dash styles of 1-pixel pens use the platform's
//     patterns (dash 18/6, dot 3/3, dash-dot 9/6/3/6, dash-dot-dot 9/3/3/3/3/3);
//     their gaps take the brush colour unless the brush is clear.
//   - Box corners are held within +-2^28 and pen widths to 2^20, as the
//     platform limits its drawing space; any coordinate is safe to pass.
//   - Brushes: solid, clear, the six hatches (8 x 8 lines in the brush
//     colour from the target's origin, the pixels between them in
//     HatchBackground or left alone) or a pattern bitmap.
//   - Pen modes combine the pen colour with the pixels as the binary raster
//     operations do.
//
// Text (TCanvasText.cpp, FontEngine.h): glyphs are hard (monochrome) FreeType
// renderings. TextOut(x, y) puts the top of the character cell at y and the
// baseline at y + ascent; with a solid brush the cell is first filled with the
// brush colour, with a clear brush only the glyphs are drawn, in Font.Color.
// TextWidth is the sum of the glyphs' whole-pixel advances; TextHeight is the
// cell height (ascent + descent). TextOut moves the pen to the text's end.
//
// Threads: a canvas on a bitmap of a worker's own is safe on that worker:
// what canvases share is locked (the GDI handle table, the font cache, each
// FreeType face while it renders), and metafiles play through the same
// canvas. A canvas of a control or form belongs to the main thread.
//
// Copying: Draw and StretchDraw draw a graphic through its own Draw; a bitmap
// is copied (stretched by nearest pixel), honouring its Transparent flag.
// CopyRect stretches a canvas area through CopyMode, a ROP3 code; a
// monochrome source takes Font.Color for 0 bits and Brush.Color for 1 bits.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/graphics/Colors.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/TGraphic.h"
#include "platform/graphics/Types.h"

class TBitmap;
class TDeviceContext;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
                pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor };
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = std::uint8_t;

class TPen {
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor color) { FColor = color; }
    int Width() const { return FWidth; }
    void SetWidth(int width) { FWidth = width < 1 ? 1 : width; }
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle style) { FStyle = style; }
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode mode) { FMode = mode; }
    void Assign(const TPen& other) { *this = other; }

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

class TBrush {
public:
    TColor Color() const { return FColor; }
    // Setting a colour on a clear brush makes it solid, as on the platform.
    void SetColor(TColor color)
    {
        FColor = color;
        if (FStyle == bsClear) FStyle = bsSolid;
    }
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle style) { FStyle = style; }
    // A pattern bitmap, tiled from the target's origin; it fills in its own
    // colours in place of Color and Style (a clear brush still fills nothing).
    const std::shared_ptr<const TBitmap>& Bitmap() const { return FBitmap; }
    void SetBitmap(std::shared_ptr<const TBitmap> bitmap) { FBitmap = std::move(bitmap); }
    void Assign(const TBrush& other) { *this = other; }

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    std::shared_ptr<const TBitmap> FBitmap;
};

// A font by its Windows family name; fontconfig resolves the name to an
// installed face. Size is in points at 96 dpi; Height is the negative pixel
// height of the characters (Height = -Size * 96 / 72, rounded).
class TFont {
public:
    static constexpr const char* DefaultName = "MS Sans Serif";
    static constexpr int DefaultSize = 8;

    const std::string& Name() const { return FName; }
    void SetName(const std::string& name) { FName = name; }
    int Size() const;
    void SetSize(int size);
    int Height() const { return FHeight; }
    void SetHeight(int height) { FHeight = height; }
    TColor Color() const { return FColor; }
    void SetColor(TColor color) { FColor = color; }
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles style) { FStyle = style; }
    int PixelsPerInch() const { return 96; }
    void Assign(const TFont& other) { *this = other; }
    friend bool operator==(const TFont&, const TFont&) = default;

private:
    std::string FName = DefaultName;
    int FHeight = -11;  // 8 points at 96 dpi
    TColor FColor = clWindowText;
    TFontStyles FStyle = 0;
};

class TFontInstance;
// The font engine's shared instance for a font (FontEngine.h).
std::shared_ptr<TFontInstance> FontInstanceOf(const TFont& font);

// Copy modes are the GDI raster operation codes.
using TCopyMode = std::uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

// Text format flags of DrawText.
enum : unsigned {
    DT_LEFT = 0x0000, DT_CENTER = 0x0001, DT_RIGHT = 0x0002, DT_VCENTER = 0x0004,
    DT_BOTTOM = 0x0008, DT_WORDBREAK = 0x0010, DT_SINGLELINE = 0x0020, DT_EXPANDTABS = 0x0040,
    DT_NOCLIP = 0x0100, DT_CALCRECT = 0x0400, DT_NOPREFIX = 0x0800,
};

class TCanvas : public TObject {
public:
    explicit TCanvas(TBitmap& target);
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TBitmap& Target() { return *FTarget; }
    // Device origin and clip rectangle (target coordinates; default: the whole target).
    TPoint Origin() const { return FOrigin; }
    void SetOrigin(TPoint origin) { FOrigin = origin; }
    TRect ClipRect() const;
    void SetClipRect(const TRect& clip);
    // Back to the whole target.
    void ResetClipRect() { FClipSet = false; }
    bool HasClipRect() const { return FClipSet; }
    // A clip region (target coordinates) on top of the clip rectangle, for
    // GDI's region clipping; nullopt: none.
    void SetClipRegion(std::optional<TRegion> region) { FClipRegion = std::move(region); }
    const TRegion* ClipRegion() const { return FClipRegion ? &*FClipRegion : nullptr; }
    // The colour between the lines of hatched brushes; nullopt leaves those
    // pixels as they are (the canvas's default, a transparent background).
    std::optional<TColor> HatchBackground() const { return FHatchBackground; }
    void SetHatchBackground(std::optional<TColor> color) { FHatchBackground = color; }

    TPen& Pen() { return FPen; }
    TBrush& Brush() { return FBrush; }
    TFont& Font() { return FFont; }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode mode) { FCopyMode = mode; }

    TPoint PenPos() const { return FPenPos; }
    void SetPenPos(TPoint p) { FPenPos = p; }

    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(std::span<const TPoint> points);
    void Polygon(std::span<const TPoint> points);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int width, int height);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void FillRect(const TRect& r);        // with the brush, no outline
    void FrameRect(const TRect& r);       // 1-pixel frame in the brush colour
    void FloodFill(int x, int y, TColor color, bool surface);

    void TextOut(int x, int y, std::string_view text);
    void TextRect(const TRect& rect, int x, int y, std::string_view text);
    // Returns the height of the drawn text; DT_CALCRECT only measures into rect.
    int DrawText(std::string_view text, TRect& rect, unsigned format);
    int TextWidth(std::string_view text);
    int TextHeight(std::string_view text);
    TPoint TextExtent(std::string_view text);

    void Draw(int x, int y, TGraphic& graphic);
    void StretchDraw(const TRect& rect, TGraphic& graphic);
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);

    // The device context of this canvas (see DeviceContext.h). It lives as
    // long as the canvas.
    TDeviceContext* Handle();

    // Polygon fill rule: ALTERNATE (1, the default) or WINDING (2).
    int PolyFillMode() const { return FPolyFillMode; }
    void SetPolyFillMode(int mode) { FPolyFillMode = mode == 2 ? 2 : 1; }
    // Several closed polygons filled as one area, then outlined.
    void PolyPolygon(std::span<const TPoint> points, std::span<const int> counts);
    void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    // Sets one pixel with the pen's mode, clipped; the primitive of all outlines.
    void PenPixel(int x, int y, TColor rgb);

    // Text in Unicode code points: the text functions above convert their
    // CP1252 bytes to these. `advances` (optional) gives each character's
    // advance in pixels instead of the font's.
    void TextOutUnicode(int x, int y, std::u32string_view text, std::span<const int> advances = {});
    int TextWidthUnicode(std::u32string_view text);
    // Ascent and cell height of the current font, in pixels.
    int FontAscent();
    int FontCellHeight();

    // Fires OnChange; drawing through the canvas's own calls does not, callers
    // that draw through Handle() call it when they are done.
    void Changed();
    TNotifyEvent OnChange;

    // Painter threads lock a canvas while they draw on it.
    void Lock() { FLock.lock(); }
    void Unlock() { FLock.unlock(); }
    bool TryLock() { return FLock.try_lock(); }

private:
    // Outlines with the pen, in canvas coordinates; the dash pattern runs on
    // across the segments of one path.
    void StrokeLine(TPoint a, TPoint b, bool includeEnd);
    void StrokePath(std::span<const TPoint> points, bool closed);

    TBitmap* FTarget;
    TPoint FOrigin;
    TRect FClip;
    bool FClipSet = false;
    std::optional<TRegion> FClipRegion;
    std::optional<TColor> FHatchBackground;
    TPen FPen;
    TBrush FBrush;
    TFont FFont;
    TCopyMode FCopyMode = cmSrcCopy;
    TPoint FPenPos;
    int FPolyFillMode = 1;
    int FDashPhase = 0;
    std::unique_ptr<TDeviceContext> FHandle;
    std::recursive_mutex FLock;
};

// A 3D frame of the given width inside rect: topLeft on the top and left edges,
// bottomRight on the others; rect shrinks by the width.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight, int width);

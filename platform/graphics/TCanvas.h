#pragma once

// Drawing on a bitmap, with GDI's rules: hard pixels (no antialiasing of
// shapes), rectangles that exclude their right and bottom edges, lines that
// leave out their end point, everything clipped to the clip rectangle.
//
// A canvas draws on one target bitmap through a device origin (added to every
// coordinate) and a clip rectangle in target coordinates, so a control's canvas
// can draw into its form's surface. Pen, brush and font are owned by the
// canvas; changing them takes effect at the next drawing call.

#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "platform/graphics/Colors.h"
#include "platform/graphics/TGraphic.h"
#include "platform/graphics/Types.h"

class TBitmap;

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
    void Assign(const TBrush& other) { *this = other; }

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
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

class TCanvas {
public:
    explicit TCanvas(TBitmap& target);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TBitmap& Target() { return *FTarget; }
    // Device origin and clip rectangle (target coordinates; default: the whole target).
    TPoint Origin() const { return FOrigin; }
    void SetOrigin(TPoint origin) { FOrigin = origin; }
    TRect ClipRect() const;
    void SetClipRect(const TRect& clip);

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

    // The device context of this canvas (see DeviceContext.h).
    struct TDeviceContext* Handle();

    // Painter threads lock a canvas while they draw on it.
    void Lock() { FLock.lock(); }
    void Unlock() { FLock.unlock(); }
    bool TryLock() { return FLock.try_lock(); }

private:
    TBitmap* FTarget;
    TPoint FOrigin;
    TRect FClip;
    bool FClipSet = false;
    TPen FPen;
    TBrush FBrush;
    TFont FFont;
    TCopyMode FCopyMode = cmSrcCopy;
    TPoint FPenPos;
    struct TDeviceContext* FHandle = nullptr;
    std::recursive_mutex FLock;
};

// A 3D frame of the given width inside rect: topLeft on the top and left edges,
// bottomRight on the others; rect shrinks by the width.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight, int width);

#pragma once

// Device contexts and the GDI functions the programs call, with their Windows
// names and numbers, emulated in memory on a 24-bit true-colour screen.
//
// Handles: HDC, HBITMAP, HPALETTE, HBRUSH are pointers to objects that live in
// one process-wide handle table. Every function looks its handles up in that
// table before it touches them, so a deleted or foreign handle makes a call
// fail (return 0/nullptr) instead of reaching freed memory. The table is
// locked; the objects themselves belong to one thread at a time.
//
// Contexts:
//   - a memory context (CreateCompatibleDC) draws into the bitmap selected into
//     it, at first a 1 x 1 monochrome stock bitmap;
//   - a canvas context (TCanvas::Handle) draws into the canvas's bitmap through
//     the canvas's origin and clip rectangle; it lives as long as the canvas,
//     and DeleteDC refuses it;
//   - the screen context (GetDC(0)) answers GetDeviceCaps; it has no
//     pixels, so blits into it and from it do nothing.
// Coordinates are logical; SetMapMode, the window and viewport functions and
// DPtoLP/LPtoDP convert them as GDI does (metric modes at 96 dpi, y upwards).
//
// Ownership: DeleteDC releases a memory context (its selected bitmap stays
// alive); DeleteObject releases a bitmap, palette or brush, and refuses (FALSE)
// one that is still selected into a context and any stock object.
//
// Raster operations: BitBlt, StretchBlt, PatBlt and MaskBlt evaluate any ROP3
// code by its truth table over pattern (the context's brush), source and
// destination, bit by bit on RGB values. Between colour and monochrome:
//   - monochrome source onto colour: bit 0 gives the destination's text
//     colour, bit 1 its background colour;
//   - colour source onto monochrome: a pixel equal to the source context's
//     background colour gives 1 (white), any other 0 (black);
//   - a brush onto monochrome: white only when its colour is brighter than
//     mid-grey (sum of channels 384 or more).
// A "monochrome" surface is a 1-bit bitmap whose palette is black and white or
// missing; a 1-bit bitmap with other colours is a colour surface whose writes
// take the nearest palette entry. Palette-relative colours (flag 0x02000000)
// stand for the RGB they hold, as on a true-colour screen.
// Stretching samples the nearest source pixel (source = dest * srcSize /
// destSize, truncated) in every stretch mode; negative extents mirror.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/graphics/Colors.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/Types.h"

class TCanvas;

using BOOL = int;
using UINT = std::uint32_t;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using COLORREF = TColor;
using RGBQUAD = TRGBQuad;
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

struct SIZE {
    int cx = 0;
    int cy = 0;
};
using POINT = TPoint;

struct PALETTEENTRY {
    BYTE peRed = 0;
    BYTE peGreen = 0;
    BYTE peBlue = 0;
    BYTE peFlags = 0;
    friend bool operator==(const PALETTEENTRY&, const PALETTEENTRY&) = default;
};
constexpr BYTE PC_RESERVED = 0x01;
constexpr BYTE PC_EXPLICIT = 0x02;
constexpr BYTE PC_NOCOLLAPSE = 0x04;

// What GetObject fills in for a bitmap.
struct BITMAP {
    int bmType = 0;
    int bmWidth = 0;
    int bmHeight = 0;
    int bmWidthBytes = 0;
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 0;
    void* bmBits = nullptr;
};

// Object types (GetObjectType).
constexpr DWORD OBJ_PEN = 1;
constexpr DWORD OBJ_BRUSH = 2;
constexpr DWORD OBJ_DC = 3;
constexpr DWORD OBJ_PAL = 5;
constexpr DWORD OBJ_BITMAP = 7;
constexpr DWORD OBJ_MEMDC = 10;

class TGdiObject {
public:
    virtual ~TGdiObject() = default;
    virtual DWORD ObjectType() const = 0;
};

class TGdiBitmap : public TGdiObject {
public:
    TGdiBitmap(int width, int height, TPixelFormat format);
    // A handle onto a bitmap its caller keeps alive.
    explicit TGdiBitmap(TBitmap& borrowed) : FBitmap(&borrowed) {}
    DWORD ObjectType() const override { return OBJ_BITMAP; }
    TBitmap& Bitmap() { return *FBitmap; }
    int SelectCount = 0;

private:
    std::unique_ptr<TBitmap> FOwned;
    TBitmap* FBitmap;
};

class TGdiPalette : public TGdiObject {
public:
    explicit TGdiPalette(std::vector<PALETTEENTRY> entries) : FEntries(std::move(entries)) {}
    DWORD ObjectType() const override { return OBJ_PAL; }
    const std::vector<PALETTEENTRY>& Entries() const { return FEntries; }
    std::vector<PALETTEENTRY>& Entries() { return FEntries; }
    int SelectCount = 0;

private:
    std::vector<PALETTEENTRY> FEntries;
};

class TGdiBrush : public TGdiObject {
public:
    TGdiBrush(TColor color, bool hollow) : FColor(color), FHollow(hollow) {}
    DWORD ObjectType() const override { return OBJ_BRUSH; }
    TColor Color() const { return FColor; }
    bool Hollow() const { return FHollow; }
    int SelectCount = 0;

private:
    TColor FColor;
    bool FHollow;
};

// Where a context's pixels are: a bitmap, an origin added to device
// coordinates and a clip rectangle in the bitmap's coordinates.
struct TSurface {
    TBitmap* Bitmap = nullptr;
    TPoint Origin;
    TRect Clip;
    const TRegion* Region = nullptr;  // a canvas's clip region, in the bitmap's coordinates
};

class TDeviceContext : public TGdiObject {
public:
    enum TKind { dkMemory, dkCanvas, dkScreen };
    explicit TDeviceContext(TKind kind, TCanvas* canvas = nullptr);
    ~TDeviceContext() override;
    DWORD ObjectType() const override { return FKind == dkScreen ? OBJ_DC : OBJ_MEMDC; }
    TKind Kind() const { return FKind; }
    // The pixels this context draws into now (Bitmap null when none).
    TSurface Surface() const;
    // The canvas of a canvas context, else nullptr.
    TCanvas* Canvas() const { return FCanvas; }

    // State that GDI keeps per context.
    TGdiBitmap* SelectedBitmap = nullptr;
    TGdiPalette* SelectedPalette = nullptr;
    TGdiBrush* SelectedBrush = nullptr;
    TColor BkColor = clWhite;
    TColor TextColor = clBlack;
    int BkMode = 2;  // OPAQUE
    int StretchMode = 1;  // BLACKONWHITE
    int MapMode = 1;  // MM_TEXT
    TPoint WindowOrg;
    SIZE WindowExt{1, 1};
    TPoint ViewportOrg;
    SIZE ViewportExt{1, 1};

private:
    TKind FKind;
    TCanvas* FCanvas;
};

using HGDIOBJ = TGdiObject*;
using HBITMAP = TGdiBitmap*;
using HPALETTE = TGdiPalette*;
using HBRUSH = TGdiBrush*;
using HDC = TDeviceContext*;

// Raster operations (ROP3 codes).
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGECOPY = 0x00C000CA;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATPAINT = 0x00FB0A09;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;
// The ROP4 of MaskBlt: `fore` where the mask bit is 1, `back` where it is 0.
constexpr DWORD MakeROP4(DWORD fore, DWORD back) { return ((back << 8) & 0xFF000000) | fore; }

// Map modes.
constexpr int MM_TEXT = 1;
constexpr int MM_LOMETRIC = 2;
constexpr int MM_HIMETRIC = 3;
constexpr int MM_LOENGLISH = 4;
constexpr int MM_HIENGLISH = 5;
constexpr int MM_TWIPS = 6;
constexpr int MM_ISOTROPIC = 7;
constexpr int MM_ANISOTROPIC = 8;

// Background modes and stretch modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
constexpr int STRETCH_DELETESCANS = COLORONCOLOR;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int DEFAULT_PALETTE = 15;

// GetDeviceCaps indexes.
constexpr int TECHNOLOGY = 2;
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int NUMCOLORS = 24;
constexpr int RASTERCAPS = 38;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int SIZEPALETTE = 104;
constexpr int NUMRESERVED = 106;
constexpr int COLORRES = 108;
constexpr int DT_RASDISPLAY = 1;
constexpr int RC_BITBLT = 0x0001;
constexpr int RC_BITMAP64 = 0x0008;
constexpr int RC_DI_BITMAP = 0x0080;
constexpr int RC_PALETTE = 0x0100;
constexpr int RC_DIBTODEV = 0x0200;
constexpr int RC_STRETCHBLT = 0x0800;
constexpr int RC_STRETCHDIB = 0x2000;
// The emulated screen (the same size as the controls' TScreen).
constexpr int ScreenWidth = 1280;
constexpr int ScreenHeight = 1024;
constexpr int ScreenPixelsPerInch = 96;

// Contexts.
HDC CreateCompatibleDC(HDC dc);  // nullptr: compatible with the screen
BOOL DeleteDC(HDC dc);
// The screen's context for window 0 (the loop's HWND numbers). Windows have
// no contexts of their own here: their controls draw through canvases, so any
// window gives the screen's context.
HDC GetDC(std::uint64_t window);
int ReleaseDC(std::uint64_t window, HDC dc);
// Selecting a bitmap (memory contexts only) or a brush returns the previous
// one; nullptr when the handle or the combination is invalid.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ GetStockObject(int index);
DWORD GetObjectType(HGDIOBJ object);
// For a bitmap: fills a BITMAP (size >= sizeof(BITMAP)). For a palette: the
// entry count as a WORD (size >= 2). Returns the bytes written, 0 on failure.
int GetObject(HGDIOBJ object, int size, void* buffer);
// The bitmap behind a handle (for the platform's own callers), or nullptr.
TBitmap* BitmapOfHandle(HBITMAP bitmap);

// Bitmaps. CreateBitmap takes 1, 24 or 32 bits per pixel; `bits` (may be null)
// holds rows top row first, each padded to 16 bits, as GDI's device bitmaps.
// A size of 0 gives a 1 x 1 monochrome bitmap; sizes too large for memory
// raise EOutOfMemory.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// Monochrome when the context draws into a monochrome bitmap (as a fresh
// memory context does), else 24-bit.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A handle whose pixels are those of `bitmap` itself, so that a memory context
// it is selected into draws into the bitmap (as a bitmap's own handle does on
// the platform). The bitmap must outlive the handle: DeleteObject it first.
HBITMAP CreateBitmapHandle(TBitmap& bitmap);
HBRUSH CreateSolidBrush(COLORREF color);

COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);

// Mapping.
int SetMapMode(HDC dc, int mode);
int GetMapMode(HDC dc);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL SetWindowExtEx(HDC dc, int x, int y, SIZE* old);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old);
BOOL SetViewportExtEx(HDC dc, int x, int y, SIZE* old);
BOOL DPtoLP(HDC dc, POINT* points, int count);
BOOL LPtoDP(HDC dc, POINT* points, int count);

int GetDeviceCaps(HDC dc, int index);

// Blits. The source may be null for operations that do not read it.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop);
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sw,
                int sh, DWORD rop);
BOOL PatBlt(HDC dest, int x, int y, int width, int height, DWORD rop);
// `mask` is a monochrome bitmap; a null mask makes this a BitBlt with the
// foreground operation.
BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy,
             HBITMAP mask, int mx, int my, DWORD rop4);

// Palettes. On the true-colour screen selecting and realising change no pixel.
HPALETTE CreatePalette(std::span<const PALETTEENTRY> entries);
// Copies up to `count` entries from `start`; with a null buffer returns the
// number of entries of the palette.
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
UINT RealizePalette(HDC dc);
// A fixed 256-entry table: the 20 static colours (10 first, 10 last), the
// 6 x 6 x 6 colour cube and 20 greys between them.
HPALETTE CreateHalftonePalette(HDC dc);
// The 20 static colours of the default palette, as GetStockObject(DEFAULT_PALETTE) holds them.
std::span<const PALETTEENTRY> DefaultPaletteEntries();
std::span<const PALETTEENTRY> HalftonePaletteEntries();

// The colour table of the bitmap a context draws into (indexed formats).
UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors);
UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colors);

// number * numerator / denominator, rounded half away from zero; -1 when the
// denominator is 0 or the result does not fit in 32 bits.
int MulDiv(int number, int numerator, int denominator);

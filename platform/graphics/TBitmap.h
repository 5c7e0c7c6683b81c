#pragma once

// Device-independent bitmaps in memory.
//
// Rows are stored as in a BMP file, but top row first: ScanLine(0) is the top
// row, each row padded to a multiple of 4 bytes. Per pixel format:
//   pf1bit, pf4bit   palette indexes, most significant bits first
//   pf8bit           one palette index per byte
//   pf15bit, pf16bit little-endian words, 5-5-5 and 5-6-5 (blue in the low bits)
//   pf24bit          blue, green, red
//   pf32bit          blue, green, red, reserved
//   pfDevice         the screen's format, a true-colour screen: stored as pf24bit
// A new bitmap is pfDevice. Pixels a size change adds are white (the palette
// entry nearest to white in indexed formats). A negative width or height raises
// EInvalidGraphic; sizes whose byte count would pass MaxBitmapBytes raise
// EOutOfMemory before anything is allocated. A refused size changes nothing.
// Indexed formats always have a palette (the format's default unless set).
//
// Pixel(x, y) reads and writes TColor values (red in the low byte; system
// colours are resolved); indexed formats look colours up in the palette and
// write the nearest entry, and an index past the palette reads as black.
// Reading outside the bitmap gives CLR_INVALID; writing there does nothing.
// Pixel and ScanLine writes are raw and fire no OnChange; everything else that
// changes the bitmap (size, format, palette, Fill, load, assign) fires it.
//
// The transparent colour is, in tmAuto mode, the colour of the bottom-left
// pixel (clDefault while the bitmap is empty); SetTransparentColor switches to
// tmFixed, SetTransparentColor(clDefault) back to tmAuto. It is a plain RGB value.
//
// Load/Save read and write BMP: BITMAPCOREHEADER, BITMAPINFOHEADER and its V4
// and V5 extensions; 1, 4, 8, 16, 24 and 32 bits; BI_RGB, BI_BITFIELDS, BI_RLE4
// and BI_RLE8; bottom-up and top-down. A file whose header lies raises
// EInvalidGraphic without reading or allocating past what it holds, and leaves
// the bitmap as it was. 16-bit 5-6-5 fields load as pf16bit, 5-5-5 as pf15bit,
// other fields as pf24bit. Pixels that run-length data does not reach are index 0.
// Saving writes BITMAPINFOHEADER bottom-up: BI_RGB with the palette for 1, 4
// and 8 bits, BI_BITFIELDS for 15 and 16, BI_RGB for 24 (pfDevice too) and 32.
//
// Threads: a bitmap is a value object, safe on a worker thread while no other
// thread uses the same bitmap. Bitmaps share nothing but the pixel allocator,
// which keeps no state, and their canvases (TCanvas.h).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/graphics/Colors.h"
#include "platform/graphics/PixelAllocator.h"
#include "platform/graphics/TGraphic.h"

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

struct TRGBQuad {
    std::uint8_t rgbBlue = 0;
    std::uint8_t rgbGreen = 0;
    std::uint8_t rgbRed = 0;
    std::uint8_t rgbReserved = 0;
    friend bool operator==(const TRGBQuad&, const TRGBQuad&) = default;
};

inline TColor QuadToColor(const TRGBQuad& q) { return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue); }
inline TRGBQuad ColorToQuad(TColor c) { return {GetBValue(c), GetGValue(c), GetRValue(c), 0}; }

// Bits per pixel of a format (pfDevice 24, pfCustom 0).
int BitsPerPixel(TPixelFormat format);

class TBitmap : public TGraphic {
public:
    static constexpr std::size_t MaxBitmapBytes = std::size_t(1) << 31;

    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = pfDevice);
    ~TBitmap() override;

    const char* ClassName() const override { return "TBitmap"; }
    std::unique_ptr<TGraphic> Clone() const override;

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int width) override { SetSize(width, FHeight); }
    void SetHeight(int height) override { SetSize(FWidth, height); }
    // Keeps the pixels of the overlapping top-left part.
    void SetSize(int width, int height);
    bool Empty() const override { return FWidth == 0 || FHeight == 0; }

    TPixelFormat PixelFormat() const { return FPixelFormat; }
    // Converts the pixels to the new format; to an indexed format through the
    // nearest colour of the palette (the format's default palette when the
    // bitmap had none or one too large for the format: black and white, the 16
    // VGA colours, or the 256-colour half-tone palette). A kept palette keeps
    // the indexes of an indexed bitmap. pfCustom raises EInvalidGraphic.
    void SetPixelFormat(TPixelFormat format);
    int BitCount() const { return BitsPerPixel(FPixelFormat); }

    // Raw rows; y must be in 0..Height-1 and the width above 0, else
    // EInvalidGraphicOperation.
    std::uint8_t* ScanLine(int y);
    const std::uint8_t* ScanLine(int y) const;
    std::size_t RowBytes() const { return FRowBytes; }
    std::span<std::uint8_t> Bits() { return FBits; }
    std::span<const std::uint8_t> Bits() const { return FBits; }

    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // The colour table of indexed formats (at most 2^bits entries). Other
    // formats may hold one too (at most 256), used when converting to an
    // indexed format. A palette too large raises EInvalidGraphic.
    const std::vector<TRGBQuad>& Palette() const { return FPalette; }
    void SetPalette(std::vector<TRGBQuad> palette);
    // Index of the palette entry nearest to the colour (squared RGB distance;
    // the first of equals).
    int NearestPaletteIndex(TColor color) const;

    bool Monochrome() const { return FPixelFormat == pf1bit; }

    TTransparentMode TransparentMode() const { return FTransparentMode; }
    // tmFixed fixes the present colour (white for an empty bitmap).
    void SetTransparentMode(TTransparentMode mode);
    TColor TransparentColor() const;
    void SetTransparentColor(TColor color);

    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // Reads a BMP held in memory (the same rules as LoadFromStream).
    void LoadFromBytes(std::span<const std::uint8_t> bytes);

    void Assign(const TBitmap& source) { TGraphic::Assign(source); }
    using TGraphic::Assign;

    // Fills every pixel with one colour.
    void Fill(TColor color);

    // The canvas that draws on this bitmap; made on first use.
    TCanvas& Canvas();

    void Draw(TCanvas& canvas, const TRect& rect) override;

protected:
    bool AssignFrom(const TGraphic& source) override;

private:
    void Allocate(int width, int height, TPixelFormat format);
    // Takes over the size, format, pixels and palette of a freshly decoded bitmap.
    void TakeImage(TBitmap& decoded);

    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;
    std::size_t FRowBytes = 0;
    TPixelBytes FBits;
    std::vector<TRGBQuad> FPalette;
    TTransparentMode FTransparentMode = tmAuto;
    TColor FTransparentColor = clDefault;
    std::unique_ptr<TCanvas> FCanvas;
};

#pragma once

// Row access to bitmaps for colour reduction.
//
// TDIBReader gives the rows of a source bitmap in one pixel format; asking
// for it converts the source bitmap itself to that format.
//
// TDIBWriter builds an uncompressed bottom-up bitmap file in memory, 8 bits
// per pixel with a 256-entry colour table (the palette's colours, zeros after
// them; 256 colours used, the palette's count important) or 24 bits per pixel.
// Store hands that file to the target bitmap and frees the writer's pixels.
//
// Errors: a row outside 0..height-1 raises EInvalidGraphicOperation
// "Bereichsüberschreitung bei Zeilenindex", a writer whose pixels are gone
// "Image has no DIB"; a zero size "Invalid image dimensions", a format other
// than 8 or 24 bits "Unsupported PixelFormat"; pixels that cannot be
// allocated raise EOutOfMemory "Failed to allocate memory for GIF DIB".

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/TBitmap.h"

class TDIB {
public:
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    TPixelFormat PixelFormat() const { return FPixelFormat; }

protected:
    TDIB(int width, int height, TPixelFormat format) : FWidth(width), FHeight(height), FPixelFormat(format) {}
    void CheckRow(int row) const;

    int FWidth;
    int FHeight;
    TPixelFormat FPixelFormat;
};

class TDIBReader : public TDIB {
public:
    TDIBReader(TBitmap& source, TPixelFormat format);
    const std::uint8_t* ScanLine(int row) const;
    const TBitmap& Bitmap() const { return FSource; }

private:
    TBitmap& FSource;
};

class TDIBWriter : public TDIB {
public:
    TDIBWriter(TBitmap& target, TPixelFormat format, int width, int height, HPALETTE palette);

    // Row 0 is the top row.
    std::uint8_t* ScanLine(int row);
    // The bitmap file as it stands (empty once stored).
    std::span<const std::uint8_t> FileBytes() const { return FFile; }
    void Store();

private:
    TBitmap& FTarget;
    std::size_t FRowBytes = 0;
    std::size_t FPixelOffset = 0;
    std::vector<std::uint8_t> FFile;
};

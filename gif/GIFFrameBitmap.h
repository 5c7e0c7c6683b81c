#pragma once

// Between GIF frames and bitmaps: a frame rendered into an 8-bit bitmap with
// its transparency mask, a frame made from a bitmap, and drawing a frame
// stretched, tiled or through its mask onto a canvas.

#include <memory>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/TBitmap.h"

class TCanvas;
class TGIFImage;
class TGIFSubImage;

struct TGIFFrameBitmap {
    std::unique_ptr<TBitmap> Bitmap;  // 8 bits per pixel, the frame's colours
    std::unique_ptr<TBitmap> Mask;    // 1 bit per pixel, 1 = transparent; none when nothing is
};

// The frame's pixels through its active colour map. An index past the map
// draws black, as an index past a bitmap's palette does.
TGIFFrameBitmap RenderFrame(TGIFSubImage& frame);

// Replaces the frame's pixels, size and local map with the bitmap's: 1, 4 and
// 8-bit bitmaps by their own palette, any other through the picture's colour
// reduction. A transparent bitmap's transparent colour becomes the frame's
// transparent index, unless the map is full.
void FrameFromBitmap(TGIFSubImage& frame, TBitmap& bitmap);

// Marks the pixels that are non-zero in the mask as transparent (see above).
void ApplyMask(TGIFSubImage& frame, const TBitmap& mask);

// The frame drawn into `rect`, which stands for the whole logical screen:
// stretched to its place on it, or tiled at natural size.
void DrawFrame(TGIFSubImage& frame, TCanvas& canvas, const TRect& rect, bool transparent, bool tile);

// Copies `src` to `dest` where the mask bit is 0 and keeps the destination
// where it is 1, stretching both to the destination's size.
void MaskedStretchBlt(HDC dest, const TRect& destRect, HDC mask, HDC source, const TRect& sourceRect);

// Frame 0 at the logical screen's size, without transparency; the area it
// does not cover is white. None for a picture without frames.
std::unique_ptr<TBitmap> PictureBitmap(TGIFImage& image);

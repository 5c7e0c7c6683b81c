#pragma once

// Between GIF frames and bitmaps: a frame rendered into an 8-bit bitmap with
// its transparency mask, a frame made from a bitmap, and drawing a frame
// stretched, tiled or through its mask onto a canvas.

#include <functional>
#include <memory>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/TBitmap.h"

class TCanvas;
class TGIFImage;
class TGIFSubImage;
class TPicture;

struct TGIFFrameBitmap {
    std::unique_ptr<TBitmap> Bitmap;  // 8 bits per pixel, the frame's colours
    std::unique_ptr<TBitmap> Mask;    // 1 bit per pixel, 1 = transparent; none when nothing is
};

// The pixels of a frame that make up a drawn part of it: column i of the
// part shows frame column Columns[i], row j frame row Rows[j]. Rows ascend.
struct TFrameSample {
    std::vector<int> Columns;
    std::vector<int> Rows;
    static TFrameSample Whole(int width, int height);
};

// The frame's pixels through its active colour map. An index past the map
// draws black, as an index past a bitmap's palette does.
// When the picture dithers, the frame goes through the web palette instead
// (RenderFrameDithered).
TGIFFrameBitmap RenderFrame(TGIFSubImage& frame);
// Only the sampled pixels, so that a part costs its own size, not the frame's;
// progress goes as for the whole frame. No bitmap for an empty sample.
TGIFFrameBitmap RenderFramePart(TGIFSubImage& frame, const TFrameSample& sample);
// The frame's colours mapped into the 216-colour web palette with
// Floyd-Steinberg error diffusion along serpentine rows; transparent pixels
// take no part in the diffusion. The diffusion runs over whole rows down to
// the last sampled one.
TGIFFrameBitmap RenderFrameDithered(TGIFSubImage& frame, const TFrameSample& sample);
// Reports the frame's progress through its picture's progress event (nothing
// without a picture): `stage` with `percent` and `text` ("Rendering...",
// "Converting..."), the frame as sender.
void FrameProgress(TGIFSubImage& frame, TProgressStage stage, int percent, const std::string& text);
// Every 32nd row of a frame's pass reports how far the pass is.
void FrameRowProgress(TGIFSubImage& frame, int row, int height, const std::string& text);
// Index into the web palette written under transparent pixels: derived from
// the transparent colour, and it may lie past the palette's 216 entries.
int DitherFillIndex(TColor transparent);

// Replaces the frame's pixels, size and local map with the bitmap's: 1, 4 and
// 8-bit bitmaps by their own palette, any other through the picture's colour
// reduction. A transparent bitmap's transparent colour becomes the frame's
// transparent index, unless the map is full.
void FrameFromBitmap(TGIFSubImage& frame, TBitmap& bitmap);

// The frame made from any picture: a bitmap as above, an icon drawn on white
// and transparent where its own mask says, a metafile drawn on white and
// transparent where it paints nothing, any other picture as its
// bitmap or, when it has none, drawn. An empty picture that is not a bitmap
// leaves the frame empty.
void FrameFromGraphic(TGIFSubImage& frame, const TGraphic& source);

// The frame made from a picture container's graphic; cleared when it holds none.
void FrameFromPicture(TGIFSubImage& frame, const TPicture& source);

// Marks the pixels that are non-zero in the mask as transparent (see above).
void ApplyMask(TGIFSubImage& frame, const TBitmap& mask);

// The frame drawn into `rect`, which stands for the whole logical screen:
// stretched to its place on it, or tiled at natural size. Only the part of
// the frame on the screen is drawn, and of that only what lands inside the
// canvas's clip rectangle is rendered, or taken from the frame's kept bitmap
// (a rectangle given right to left or bottom to top is drawn mirrored, whole).
void DrawFrame(TGIFSubImage& frame, TCanvas& canvas, const TRect& rect, bool transparent, bool tile);

// Renders and keeps the frame's bitmap before it is drawn as DrawFrame would
// draw it, unless what shows of it is much smaller than the frame (that part
// is rendered when it is drawn, and nothing is kept). True when it rendered.
bool RenderFrameAhead(TGIFSubImage& frame, TCanvas& canvas, const TRect& rect, bool tile);

// Calls `draw` with the top-left corner of every cell of the given size,
// column by column from `rect`'s top-left corner, while the tile that lies at
// (`tileLeft`, `tileTop`) in the cell starts left of `rect`'s right edge and
// above its bottom edge. A size of 0 is one cell.
void ForEachTile(const TRect& rect, int cellWidth, int cellHeight, const std::function<void(int x, int y)>& draw,
                 int tileLeft = 0, int tileTop = 0);

// Copies `src` to `dest` where the mask bit is 0 and keeps the destination
// where it is 1, stretching both to the destination's size.
void MaskedStretchBlt(HDC dest, const TRect& destRect, HDC mask, HDC source, const TRect& sourceRect);

// Frame 0 at the logical screen's size, without transparency; the area it
// does not cover is white. None for a picture without frames.
std::unique_ptr<TBitmap> PictureBitmap(TGIFImage& image);

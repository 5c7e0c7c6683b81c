#include "gif/GIFFrameBitmap.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <vector>

#include "gif/ColorReduction.h"
#include "gif/GIFExtension.h"
#include "gif/GIFImage.h"
#include "gif/GIFSubImage.h"
#include "platform/graphics/TCanvas.h"

namespace {

std::vector<int> Run(int from, int to)
{
    std::vector<int> run(static_cast<std::size_t>(std::max(0, to - from)));
    std::iota(run.begin(), run.end(), from);
    return run;
}

std::vector<TRGBQuad> PaletteOf(TGIFColorMap& map)
{
    std::vector<TRGBQuad> palette;
    for (int i = 0; i < map.Count(); ++i) {
        const TGIFColor& c = map.Entry(i);
        palette.push_back({c.Blue, c.Green, c.Red, 0});
    }
    return palette;
}

// A DC over a bitmap the caller keeps alive; released with the object.
class TBitmapDC {
public:
    explicit TBitmapDC(TBitmap& bitmap) : FHandle(CreateBitmapHandle(bitmap)), FDC(CreateCompatibleDC(nullptr))
    {
        FOld = SelectObject(FDC, FHandle);
    }
    ~TBitmapDC()
    {
        SelectObject(FDC, FOld);
        DeleteDC(FDC);
        DeleteObject(FHandle);
    }
    TBitmapDC(const TBitmapDC&) = delete;
    TBitmapDC& operator=(const TBitmapDC&) = delete;
    HDC DC() const { return FDC; }
    HBITMAP Handle() const { return FHandle; }

private:
    HBITMAP FHandle;
    HDC FDC;
    HGDIOBJ FOld;
};

TGIFFrameBitmap RenderFrameDirect(TGIFSubImage& frame, const TFrameSample& sample)
{
    TGIFFrameBitmap result;
    const int height = frame.Height();
    const int partWidth = static_cast<int>(sample.Columns.size());
    const int partHeight = static_cast<int>(sample.Rows.size());
    frame.NeedImage();
    auto bitmap = std::make_unique<TBitmap>(partWidth, partHeight, pf8bit);
    std::vector<TRGBQuad> palette = PaletteOf(frame.ActiveColorMap());
    // Indexes past the map read as black, so the table is padded with black.
    palette.resize(256);
    bitmap->SetPalette(std::move(palette));

    const TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
    const bool masked = frame.Transparent() && gce;
    const int transparentIndex = masked ? gce->TransparentColorIndex() : -1;
    std::unique_ptr<TBitmap> mask;
    bool anyMasked = false;
    if (masked) {
        mask = std::make_unique<TBitmap>(partWidth, partHeight, pf1bit);
        mask->SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
        std::ranges::fill(mask->Bits(), std::uint8_t(0));
    }
    const int first = sample.Columns.front();
    const bool runOfColumns = sample.Columns.back() - first == partWidth - 1;
    std::size_t j = 0;
    for (int y = 0; y < height; ++y) {
        FrameRowProgress(frame, y, height, "Rendering...");
        for (; j < sample.Rows.size() && sample.Rows[j] == y; ++j) {
            const std::uint8_t* source = frame.Scanline(y);
            std::uint8_t* out = bitmap->ScanLine(static_cast<int>(j));
            if (runOfColumns)
                std::copy_n(source + first, partWidth, out);
            else
                for (int i = 0; i < partWidth; ++i)
                    out[i] = source[sample.Columns[std::size_t(i)]];
            if (!masked)
                continue;
            std::uint8_t* bits = mask->ScanLine(static_cast<int>(j));
            for (int i = 0; i < partWidth; ++i) {
                if (out[i] == transparentIndex) {
                    bits[i >> 3] |= std::uint8_t(0x80 >> (i & 7));
                    anyMasked = true;
                }
            }
        }
    }
    result.Bitmap = std::move(bitmap);
    if (anyMasked)
        result.Mask = std::move(mask);
    return result;
}

}  // namespace

void FrameProgress(TGIFSubImage& frame, TProgressStage stage, int percent, const std::string& text)
{
    if (TGIFImage* image = frame.Image())
        image->Progress(&frame, stage, percent, false, TRect{}, text);
}

void FrameRowProgress(TGIFSubImage& frame, int row, int height, const std::string& text)
{
    if ((row & 31) == 0 && height > 0)
        FrameProgress(frame, psRunning, row * 100 / height, text);
}

TFrameSample TFrameSample::Whole(int width, int height)
{
    return {Run(0, width), Run(0, height)};
}

TGIFFrameBitmap RenderFrame(TGIFSubImage& frame)
{
    return RenderFramePart(frame, TFrameSample::Whole(frame.Width(), frame.Height()));
}

TGIFFrameBitmap RenderFramePart(TGIFSubImage& frame, const TFrameSample& sample)
{
    if (frame.Empty())
        return {};
    FrameProgress(frame, psStarting, 0, "Rendering...");
    TGIFFrameBitmap result;
    if (sample.Columns.empty() || sample.Rows.empty()) {
        for (int y = 0; y < frame.Height(); ++y)
            FrameRowProgress(frame, y, frame.Height(), "Rendering...");
    } else if (frame.Image() && frame.Image()->NeedsDither()) {
        result = RenderFrameDithered(frame, sample);
    } else {
        result = RenderFrameDirect(frame, sample);
    }
    FrameProgress(frame, psEnding, 100, "Rendering...");
    return result;
}

void ApplyMask(TGIFSubImage& frame, const TBitmap& mask)
{
    TGIFColorMap& map = frame.ColorMap();
    map.Optimize();
    if (map.Count() < 1 || map.Count() > 255)
        return;
    const int index = map.Add(clBlack);
    bool changed = false;
    const int width = std::min(frame.Width(), mask.Width());
    const int height = std::min(frame.Height(), mask.Height());
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = frame.Scanline(y);
        for (int x = 0; x < width; ++x) {
            const TColor c = mask.Pixel(x, y);
            if (c != clBlack && c != CLR_INVALID) {
                row[x] = std::uint8_t(index);
                changed = true;
            }
        }
    }
    if (!changed) {
        map.Delete(index);
        return;
    }
    auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(index);
    frame.Extensions().Add(std::move(gce));
}

namespace {

// The pixels and the local map from the indexed bitmap; then the source's
// transparency as a mask.
void ImportRows(TGIFSubImage& frame, TBitmap& source, TBitmap& indexedSource)
{
    TBitmap* indexed = &indexedSource;
    TGIFLocalColorMap& map = frame.ColorMap();
    map.Clear();
    const std::vector<TRGBQuad>& palette = indexed->Palette();
    const int colours = std::min<int>(static_cast<int>(palette.size()), 256);
    for (int i = 0; i < colours; ++i)
        map.Add(QuadToColor(palette[static_cast<std::size_t>(i)]));
    const int width = source.Width();
    const int shift = indexed->BitCount();
    for (int y = 0; y < source.Height(); ++y) {
        FrameRowProgress(frame, y, source.Height(), "Converting...");
        const std::uint8_t* row = indexed->ScanLine(y);
        std::uint8_t* out = frame.Scanline(y);
        for (int x = 0; x < width; ++x) {
            if (shift == 8)
                out[x] = row[x];
            else if (shift == 4)
                out[x] = (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
            else
                out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
        }
    }
    if (source.Transparent()) {
        const TColor key = source.TransparentColor();
        TBitmap mask(width, source.Height(), pf8bit);
        for (int y = 0; y < source.Height(); ++y) {
            std::uint8_t* m = mask.ScanLine(y);
            for (int x = 0; x < width; ++x)
                m[x] = source.Pixel(x, y) == key ? 1 : 0;
        }
        mask.SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
        ApplyMask(frame, mask);
    }
}

}  // namespace

void FrameFromBitmap(TGIFSubImage& frame, TBitmap& source)
{
    frame.Clear();
    if (source.Empty())
        return;
    frame.SetBounds(frame.Left(), frame.Top(), source.Width(), source.Height());
    std::unique_ptr<TBitmap> reduced;
    TBitmap* indexed = &source;
    const int bits = source.BitCount();
    if (bits != 1 && bits != 4 && bits != 8) {
        TGIFImage* image = frame.Image();
        reduced = ReduceToPalette(source, image ? image->ReductionMethod : rmColorCube,
                                  image ? image->DitherKind : dmNearest, nullptr, image ? image->QuantizeBits : 8);
        if (!reduced || reduced->Empty())
            throw GIFException("Unsupported color depth");
        indexed = reduced.get();
    }
    frame.NeedImage();
    FrameProgress(frame, psStarting, 0, "Converting...");
    try {
        ImportRows(frame, source, *indexed);
    } catch (...) {
        FrameProgress(frame, psEnding, 0, "Converting...");
        throw;
    }
    FrameProgress(frame, psEnding, 100, "Converting...");
}

void MaskedStretchBlt(HDC dest, const TRect& destRect, HDC mask, HDC source, const TRect& sourceRect)
{
    const int dw = destRect.Right - destRect.Left;
    const int dh = destRect.Bottom - destRect.Top;
    const int sw = sourceRect.Right - sourceRect.Left;
    const int sh = sourceRect.Bottom - sourceRect.Top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    // Transparent pixels are made black in a copy of the source; the mask
    // blackens the opaque ones on the destination; OR joins the two.
    TBitmap colour(sw, sh, pf24bit);
    TBitmap mono(sw, sh, pf1bit);
    mono.SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
    TBitmapDC colourDC(colour);
    TBitmapDC monoDC(mono);
    BitBlt(monoDC.DC(), 0, 0, sw, sh, mask, sourceRect.Left, sourceRect.Top, NOTSRCCOPY);
    BitBlt(colourDC.DC(), 0, 0, sw, sh, monoDC.DC(), 0, 0, SRCCOPY);
    BitBlt(colourDC.DC(), 0, 0, sw, sh, source, sourceRect.Left, sourceRect.Top, SRCAND);
    const COLORREF text = SetTextColor(dest, clBlack);
    const COLORREF back = SetBkColor(dest, clWhite);
    StretchBlt(dest, destRect.Left, destRect.Top, dw, dh, mask, sourceRect.Left, sourceRect.Top, sw, sh, SRCAND);
    StretchBlt(dest, destRect.Left, destRect.Top, dw, dh, colourDC.DC(), 0, 0, sw, sh, SRCPAINT);
    SetTextColor(dest, text);
    SetBkColor(dest, back);
}

namespace {

void DrawFrameBitmap(TGIFFrameBitmap& rendered, TCanvas& canvas, const TRect& target, bool transparent)
{
    TBitmap& bitmap = *rendered.Bitmap;
    const TRect sourceRect{0, 0, bitmap.Width(), bitmap.Height()};
    if (transparent && rendered.Mask) {
        TBitmapDC source(bitmap);
        TBitmapDC mask(*rendered.Mask);
        MaskedStretchBlt(canvas.Handle(), target, mask.DC(), source.DC(), sourceRect);
        canvas.Changed();
    } else {
        canvas.StretchDraw(target, bitmap);
    }
}

// The frame pixels that land on [from, to) of an axis the frame spans as
// [start, end) when drawn: nearest pixel, truncated, as stretching samples.
std::vector<int> SampledPixels(int from, int to, int start, int end, int pixels)
{
    std::vector<int> sampled;
    const long long span = end - start;
    for (int at = from; at < to; ++at)
        sampled.push_back(static_cast<int>((at - start) * static_cast<long long>(pixels) / span));
    return sampled;
}

TRect Moved(const TRect& r, int dx, int dy)
{
    return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

// The canvas's clip rectangle in the coordinates drawing takes.
TRect Destination(TCanvas& canvas)
{
    return Moved(canvas.ClipRect(), -canvas.Origin().X, -canvas.Origin().Y);
}

void DrawWhole(TGIFSubImage& frame, TCanvas& canvas, const TRect& target, bool transparent)
{
    TGIFFrameBitmap rendered = RenderFrame(frame);
    if (rendered.Bitmap)
        DrawFrameBitmap(rendered, canvas, target, transparent);
}

}  // namespace

void DrawFrame(TGIFSubImage& frame, TCanvas& canvas, const TRect& rect, bool transparent, bool tile)
{
    if (frame.Empty())
        return;
    TGIFImage* image = frame.Image();
    const int screenWidth = image && image->Width() > 0 ? image->Width() : frame.Width();
    const int screenHeight = image && image->Height() > 0 ? image->Height() : frame.Height();
    if (!tile) {
        const int rw = rect.Right - rect.Left;
        const int rh = rect.Bottom - rect.Top;
        const TRect mapped{rect.Left + MulDiv(frame.Left(), rw, screenWidth),
                           rect.Top + MulDiv(frame.Top(), rh, screenHeight),
                           rect.Left + MulDiv(frame.Left() + frame.Width(), rw, screenWidth),
                           rect.Top + MulDiv(frame.Top() + frame.Height(), rh, screenHeight)};
        if (rw < 0 || rh < 0) {
            DrawWhole(frame, canvas, mapped, transparent);
            return;
        }
        const TRect visible = IntersectRect(IntersectRect(mapped, rect), Destination(canvas));
        TFrameSample sample;
        if (!visible.IsEmpty()) {
            sample.Columns = SampledPixels(visible.Left, visible.Right, mapped.Left, mapped.Right, frame.Width());
            sample.Rows = SampledPixels(visible.Top, visible.Bottom, mapped.Top, mapped.Bottom, frame.Height());
        }
        TGIFFrameBitmap rendered = RenderFramePart(frame, sample);
        if (rendered.Bitmap)
            DrawFrameBitmap(rendered, canvas, visible, transparent);
        return;
    }
    // Each tile shows the part of the frame on the screen (a screen of no
    // size is no bound), rendered once for what any tile needs of it.
    const int partWidth = image && image->Width() > 0 ? std::min(frame.Width(), image->Width() - frame.Left())
                                                      : frame.Width();
    const int partHeight = image && image->Height() > 0 ? std::min(frame.Height(), image->Height() - frame.Top())
                                                        : frame.Height();
    // Tiles advance by the screen itself, so a screen of no size is one tile.
    const int cellWidth = image ? image->Width() : frame.Width();
    const int cellHeight = image ? image->Height() : frame.Height();
    const TRect onScreen{0, 0, std::max(0, partWidth), std::max(0, partHeight)};
    const TRect destination = Destination(canvas);
    TRect needed{};
    std::vector<TPoint> seenTiles;
    ForEachTile(rect, cellWidth, cellHeight, [&](int x, int y) {
        const TRect seen = IntersectRect(onScreen, Moved(destination, -x - frame.Left(), -y - frame.Top()));
        if (seen.IsEmpty())
            return;
        seenTiles.push_back({x, y});
        needed = needed.IsEmpty() ? seen
                                  : TRect{std::min(needed.Left, seen.Left), std::min(needed.Top, seen.Top),
                                          std::max(needed.Right, seen.Right), std::max(needed.Bottom, seen.Bottom)};
    });
    TGIFFrameBitmap rendered =
        RenderFramePart(frame, {Run(needed.Left, needed.Right), Run(needed.Top, needed.Bottom)});
    if (!rendered.Bitmap)
        return;
    for (const TPoint& tile : seenTiles)
        DrawFrameBitmap(rendered, canvas, Moved(needed, tile.X + frame.Left(), tile.Y + frame.Top()), transparent);
}

void ForEachTile(const TRect& rect, int cellWidth, int cellHeight, const std::function<void(int x, int y)>& draw)
{
    // A cell without size (a picture whose logical screen is 0 wide or high)
    // is drawn once instead of forever.
    const int stepX = cellWidth > 0 ? cellWidth : std::max(1, rect.Right - rect.Left);
    const int stepY = cellHeight > 0 ? cellHeight : std::max(1, rect.Bottom - rect.Top);
    // Column by column; tiles are not clipped, the last ones may reach beyond.
    for (long long x = rect.Left; x < rect.Right; x += stepX)
        for (long long y = rect.Top; y < rect.Bottom; y += stepY)
            draw(int(x), int(y));
}

void TGIFImage::DrawTiled(TCanvas& canvas, TBitmap& bitmap, const TRect& rect)
{
    if (!(PaintFlags & pfTile)) {
        canvas.StretchDraw(rect, bitmap);
        return;
    }
    ForEachTile(rect, Width(), Height(), [&](int x, int y) { canvas.Draw(x, y, bitmap); });
}

std::unique_ptr<TBitmap> PictureBitmap(TGIFImage& image)
{
    if (image.Empty())
        return nullptr;
    TGIFSubImage& frame = *image.Images().Items(0);
    if (frame.Width() == image.Width() && frame.Height() == image.Height() && frame.Left() == 0 &&
        frame.Top() == 0) {
        TGIFFrameBitmap rendered = RenderFrame(frame);
        if (rendered.Bitmap)
            return std::move(rendered.Bitmap);
    }
    auto bitmap = std::make_unique<TBitmap>(image.Width(), image.Height(), pf24bit);
    bitmap->Fill(clWhite);
    DrawFrame(frame, bitmap->Canvas(), TRect{0, 0, image.Width(), image.Height()}, false, false);
    return bitmap;
}

#include "gif/GIFFrameBitmap.h"

#include <algorithm>
#include <array>
#include <functional>
#include <numeric>
#include <vector>

#include "gif/ColorReduction.h"
#include "gif/GIFExtension.h"
#include "gif/GIFImage.h"
#include "gif/GIFSubImage.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/TCanvas.h"

namespace {

std::vector<int> Run(int from, int to)
{
    std::vector<int> run(static_cast<std::size_t>(std::max(0, to - from)));
    std::iota(run.begin(), run.end(), from);
    return run;
}

// The frame's palette as a colour table. A frame of a picture that has no
// colours at all draws black, as it always has, rather than failing.
std::vector<TRGBQuad> PaletteOf(TGIFSubImage& frame)
{
    std::vector<TRGBQuad> palette;
    HPALETTE handle = nullptr;
    try {
        handle = frame.Palette();
    } catch (const GIFException&) {
        return palette;
    }
    for (const PALETTEENTRY& e : PaletteEntries(handle))
        palette.push_back({e.peBlue, e.peGreen, e.peRed, 0});
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
    const TGIFSubImage& pixels = frame;
    auto bitmap = std::make_unique<TBitmap>(partWidth, partHeight, pf8bit);
    std::vector<TRGBQuad> palette = PaletteOf(frame);
    // Indexes past the palette read as black, so the table is padded with black.
    palette.resize(256);
    bitmap->SetPalette(std::move(palette));

    const int transparentIndex = frame.MaskedIndex();
    const bool masked = transparentIndex >= 0;
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
            const std::uint8_t* source = pixels.Scanline(y);
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
    if (TGIFImage* image = frame.Image())
        image->Progress(&frame, psEnding, 100, image->PaletteModified(), TRect{}, "Rendering...");
    return result;
}

TBitmap* TGIFSubImage::KeptBitmap()
{
    if (FBitmap && (FBitmapDithered != (FImage && FImage->NeedsDither()) || FBitmapMaskedIndex != MaskedIndex())) {
        FreeBitmap();
        FreeMask();
    }
    return FBitmap.get();
}

TBitmap* TGIFSubImage::Bitmap()
{
    if (KeptBitmap() || Empty())
        return FBitmap.get();
    try {
        TGIFFrameBitmap rendered = RenderFrame(*this);
        KeepBitmap(std::move(rendered.Bitmap), std::move(rendered.Mask));
    } catch (const EAbort&) {
        return nullptr;
    }
    if (FImage && FImage->PaletteModified())
        FImage->NotifyChanged();
    return FBitmap.get();
}

bool TGIFSubImage::HasMask()
{
    // Every rendering makes the mask with the bitmap.
    if (FTransparent && (!KeptBitmap() || FMaskNeeded)) {
        FreeBitmap();
        Bitmap();
    }
    return FMask != nullptr;
}

void TGIFSubImage::AssignTo(TBitmap& target)
{
    if (TBitmap* bitmap = Bitmap())
        target.Assign(*bitmap);
    else
        target.SetSize(0, 0);
}

void TGIFSubImage::DropBitmapOfOtherPalette()
{
    if (!FBitmap)
        return;
    std::vector<TRGBQuad> colours;
    if (FPalette)
        for (const PALETTEENTRY& e : PaletteEntries(FPalette.get()))
            colours.push_back({e.peBlue, e.peGreen, e.peRed, 0});
    std::vector<TRGBQuad> shown = FBitmap->Palette();
    // A rendering pads its table with black up to 256 entries.
    while (shown.size() > colours.size() && shown.back() == TRGBQuad{})
        shown.pop_back();
    if (shown == colours)
        return;
    FreeBitmap();
    if (FImage) {
        FImage->SetPaletteModified(true);
        FImage->NotifyChanged();
    }
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

// 1, 4 and 8-bit rows: the local map takes the bitmap's palette.
void ImportIndexedRows(TGIFSubImage& frame, const TBitmap& indexed)
{
    TGIFLocalColorMap& map = frame.ColorMap();
    map.Clear();
    const std::vector<TRGBQuad>& palette = indexed.Palette();
    const int colours = std::min<int>(static_cast<int>(palette.size()), 256);
    for (int i = 0; i < colours; ++i)
        map.Add(QuadToColor(palette[static_cast<std::size_t>(i)]));
    const int width = indexed.Width();
    const int bits = indexed.BitCount();
    for (int y = 0; y < indexed.Height(); ++y) {
        FrameRowProgress(frame, y, indexed.Height(), "Converting...");
        const std::uint8_t* row = indexed.ScanLine(y);
        std::uint8_t* out = frame.Scanline(y);
        for (int x = 0; x < width; ++x) {
            if (bits == 8)
                out[x] = row[x];
            else if (bits == 4)
                out[x] = (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
            else
                out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
        }
    }
}

// 24-bit rows: every colour met goes into the local map, which refuses a
// 257th ("Color table overflow"); the pixels imported until then stay. Runs
// of few colours are answered by a cache of the last eight colours met. The
// colours are taken as red, green and blue from the start, so the map is
// right also when the import stops half way.
void ImportTrueColourRows(TGIFSubImage& frame, const TBitmap& bitmap)
{
    struct TSlot {
        TColor Colour = 0;
        int Index = -1;
    };
    std::array<TSlot, 8> slots{};
    int last = 0;
    TGIFLocalColorMap& map = frame.ColorMap();
    map.Clear();
    const int width = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        FrameRowProgress(frame, y, bitmap.Height(), "Converting...");
        const std::uint8_t* row = bitmap.ScanLine(y);
        std::uint8_t* out = frame.Scanline(y);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* bgr = row + 3 * x;
            const TColor colour = RGB(bgr[2], bgr[1], bgr[0]);
            // From the last hit backwards, until an empty slot or all eight.
            int hit = -1;
            int slot = last;
            do {
                if (slots[std::size_t(slot)].Index < 0)
                    break;
                if (slots[std::size_t(slot)].Colour == colour) {
                    hit = slot;
                    break;
                }
                slot = (slot + 7) % 8;
            } while (slot != last);
            if (hit < 0) {
                int index = map.IndexOf(colour);
                if (index < 0)
                    index = map.Add(colour);
                hit = (last + 1) % 8;
                slots[std::size_t(hit)] = {colour, index};
            }
            last = hit;
            out[x] = static_cast<std::uint8_t>(slots[std::size_t(hit)].Index);
        }
    }
}

// The source's transparent colour marks the frame's transparent pixels.
void ApplySourceTransparency(TGIFSubImage& frame, const TBitmap& source)
{
    const TColor key = source.TransparentColor();
    TBitmap mask(source.Width(), source.Height(), pf8bit);
    for (int y = 0; y < source.Height(); ++y) {
        std::uint8_t* m = mask.ScanLine(y);
        for (int x = 0; x < source.Width(); ++x)
            m[x] = source.Pixel(x, y) == key ? 1 : 0;
    }
    mask.SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
    ApplyMask(frame, mask);
}

// The bitmap the frame is made from and keeps: a copy of an indexed source,
// any other reduced by the picture's colour reduction (a 24-bit copy when its
// method is 0).
std::unique_ptr<TBitmap> FrameSourceBitmap(TGIFSubImage& frame, TBitmap& source)
{
    const int bits = source.BitCount();
    if (bits == 1 || bits == 4 || bits == 8) {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(source);
        return copy;
    }
    TGIFImage* image = frame.Image();
    std::unique_ptr<TBitmap> reduced = ReduceToPalette(source, image ? image->ReductionMethod : rmColorCube,
                                                       image ? image->DitherKind : dmNearest, nullptr,
                                                       image ? image->QuantizeBits : 8);
    if (!reduced || reduced->Empty())
        throw GIFException("Unsupported color depth");
    const int reducedBits = reduced->BitCount();
    if (reducedBits != 1 && reducedBits != 4 && reducedBits != 8 && reducedBits != 24)
        reduced->SetPixelFormat(pf24bit);
    return reduced;
}

void ConversionDone(TGIFSubImage& frame, int percent)
{
    if (TGIFImage* image = frame.Image())
        image->Progress(&frame, psEnding, percent, image->PaletteModified(), TRect{}, "Converting...");
}

}  // namespace

void FrameFromBitmap(TGIFSubImage& frame, TBitmap& source)
{
    frame.Clear();
    if (source.Empty())
        return;
    frame.SetBounds(frame.Left(), frame.Top(), source.Width(), source.Height());
    std::unique_ptr<TBitmap> bitmap = FrameSourceBitmap(frame, source);
    frame.NeedImage();
    FrameProgress(frame, psStarting, 0, "Converting...");
    try {
        if (bitmap->BitCount() == 24)
            ImportTrueColourRows(frame, *bitmap);
        else
            ImportIndexedRows(frame, *bitmap);
        // Kept before the mask: the colours that the mask changes drop it.
        frame.KeepBitmap(std::move(bitmap), nullptr);
        if (source.Transparent())
            ApplySourceTransparency(frame, source);
    } catch (...) {
        ConversionDone(frame, 0);
        throw;
    }
    ConversionDone(frame, 100);
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

// Where a frame drawn into a rectangle shows, and which of its pixels.
struct TDrawPlan {
    TFrameSample Sample;
    // Where the sampled part goes: once stretched (mirrored, the whole frame,
    // for a rectangle given right to left or bottom to top), or once per tile.
    std::vector<TRect> Targets;
};

TDrawPlan PlanDraw(TGIFSubImage& frame, TCanvas& canvas, const TRect& rect, bool tile)
{
    TDrawPlan plan;
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
            plan.Sample = TFrameSample::Whole(frame.Width(), frame.Height());
            plan.Targets.push_back(mapped);
            return plan;
        }
        const TRect visible = IntersectRect(IntersectRect(mapped, rect), Destination(canvas));
        if (!visible.IsEmpty()) {
            plan.Sample.Columns = SampledPixels(visible.Left, visible.Right, mapped.Left, mapped.Right, frame.Width());
            plan.Sample.Rows = SampledPixels(visible.Top, visible.Bottom, mapped.Top, mapped.Bottom, frame.Height());
        }
        plan.Targets.push_back(visible);
        return plan;
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
    ForEachTile(
        rect, cellWidth, cellHeight,
        [&](int x, int y) {
            const TRect seen = IntersectRect(onScreen, Moved(destination, -x - frame.Left(), -y - frame.Top()));
            if (seen.IsEmpty())
                return;
            seenTiles.push_back({x, y});
            needed = needed.IsEmpty() ? seen
                                      : TRect{std::min(needed.Left, seen.Left), std::min(needed.Top, seen.Top),
                                              std::max(needed.Right, seen.Right), std::max(needed.Bottom, seen.Bottom)};
        },
        frame.Left(), frame.Top());
    plan.Sample = {Run(needed.Left, needed.Right), Run(needed.Top, needed.Bottom)};
    for (const TPoint& at : seenTiles)
        plan.Targets.push_back(Moved(needed, at.X + frame.Left(), at.Y + frame.Top()));
    return plan;
}

// The sampled pixels of a kept rendering, as rendering them would give them.
TGIFFrameBitmap SampleOf(const TBitmap& whole, const TBitmap* mask, const TFrameSample& sample)
{
    TGIFFrameBitmap part;
    const int width = static_cast<int>(sample.Columns.size());
    const int height = static_cast<int>(sample.Rows.size());
    part.Bitmap = std::make_unique<TBitmap>(width, height, pf8bit);
    part.Bitmap->SetPalette(whole.Palette());
    std::unique_ptr<TBitmap> partMask;
    bool anyMasked = false;
    if (mask) {
        partMask = std::make_unique<TBitmap>(width, height, pf1bit);
        partMask->SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
        std::ranges::fill(partMask->Bits(), std::uint8_t(0));
    }
    for (int j = 0; j < height; ++j) {
        const int y = sample.Rows[std::size_t(j)];
        const std::uint8_t* source = whole.ScanLine(y);
        std::uint8_t* out = part.Bitmap->ScanLine(j);
        for (int i = 0; i < width; ++i)
            out[i] = source[sample.Columns[std::size_t(i)]];
        if (!mask)
            continue;
        const std::uint8_t* maskRow = mask->ScanLine(y);
        std::uint8_t* bits = partMask->ScanLine(j);
        for (int i = 0; i < width; ++i) {
            const int x = sample.Columns[std::size_t(i)];
            if (maskRow[x >> 3] & (0x80 >> (x & 7))) {
                bits[i >> 3] |= std::uint8_t(0x80 >> (i & 7));
                anyMasked = true;
            }
        }
    }
    if (anyMasked)
        part.Mask = std::move(partMask);
    return part;
}

// The planned part of the frame: from its kept bitmap when it has one,
// rendered otherwise. Drawing keeps nothing, so that a frame drawn costs
// what shows of it and no memory after. An aborted rendering draws nothing.
TGIFFrameBitmap PlannedPart(TGIFSubImage& frame, const TDrawPlan& plan)
{
    const TBitmap* kept = frame.KeptBitmap();
    const bool maskKept = frame.MaskedIndex() < 0 || !frame.MaskNeeded();
    if (kept && kept->PixelFormat() == pf8bit && maskKept && !plan.Sample.Columns.empty() && !plan.Sample.Rows.empty())
        return SampleOf(*kept, frame.Mask(), plan.Sample);
    try {
        return RenderFramePart(frame, plan.Sample);
    } catch (const EAbort&) {
        return {};
    }
}

}  // namespace

void DrawFrame(TGIFSubImage& frame, TCanvas& canvas, const TRect& rect, bool transparent, bool tile)
{
    if (frame.Empty())
        return;
    const TDrawPlan plan = PlanDraw(frame, canvas, rect, tile);
    TGIFFrameBitmap rendered = PlannedPart(frame, plan);
    if (!rendered.Bitmap)
        return;
    for (const TRect& target : plan.Targets)
        DrawFrameBitmap(rendered, canvas, target, transparent);
}

bool RenderFrameAhead(TGIFSubImage& frame, TCanvas& canvas, const TRect& rect, bool tile)
{
    if (frame.Empty() || frame.KeptBitmap())
        return false;
    const TDrawPlan plan = PlanDraw(frame, canvas, rect, tile);
    const std::int64_t drawn = std::int64_t(plan.Sample.Columns.size()) * std::int64_t(plan.Sample.Rows.size());
    const std::int64_t whole = std::int64_t(frame.Width()) * frame.Height();
    return drawn * 4 >= whole && frame.Bitmap();
}

void ForEachTile(const TRect& rect, int cellWidth, int cellHeight, const std::function<void(int x, int y)>& draw,
                 int tileLeft, int tileTop)
{
    // A cell without size (a picture whose logical screen is 0 wide or high)
    // is drawn once instead of forever.
    const int stepX = cellWidth > 0 ? cellWidth : std::max(1, rect.Right - rect.Left);
    const int stepY = cellHeight > 0 ? cellHeight : std::max(1, rect.Bottom - rect.Top);
    // Column by column; tiles are not clipped, the last ones may reach beyond.
    for (long long x = rect.Left; x + tileLeft < rect.Right; x += stepX)
        for (long long y = rect.Top; y + tileTop < rect.Bottom; y += stepY)
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
        // A kept bitmap is copied; otherwise the rendering is the caller's and
        // the frame keeps nothing, so that the picture costs no more memory.
        if (const TBitmap* kept = frame.KeptBitmap()) {
            auto copy = std::make_unique<TBitmap>();
            copy->Assign(*kept);
            return copy;
        }
        TGIFFrameBitmap rendered = RenderFrame(frame);
        if (rendered.Bitmap)
            return std::move(rendered.Bitmap);
    }
    auto bitmap = std::make_unique<TBitmap>(image.Width(), image.Height(), pf24bit);
    bitmap->Fill(clWhite);
    DrawFrame(frame, bitmap->Canvas(), TRect{0, 0, image.Width(), image.Height()}, false, false);
    return bitmap;
}

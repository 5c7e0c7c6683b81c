#include "builder/generator/GifFrames.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "gif/GIFImage.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"
#include "shared/veskotools.h"

namespace {

// The target pixels along one axis that sample a frame lying at `start` with
// `length` source pixels.
struct TSpan {
    int First = 0;
    int Count = 0;
};

TSpan SampledSpan(const std::vector<int>& samples, int start, int length)
{
    const auto first = std::lower_bound(samples.begin(), samples.end(), start);
    const auto last = std::lower_bound(first, samples.end(), start + length);
    const int at = static_cast<int>(first - samples.begin());
    if (length == 0)
        return {at, 0};
    if (first != last)
        return {at, static_cast<int>(last - first)};
    // Between two samples: one pixel at the next one, so the frame stays.
    return {std::min(at, static_cast<int>(samples.size()) - 1), 1};
}

void ShrinkFrame(TGIFSubImage& frame, const std::vector<int>& columns, const std::vector<int>& rows)
{
    const int left = frame.Left();
    const int top = frame.Top();
    const int width = frame.Width();
    const int height = frame.Height();
    const bool empty = frame.Empty();
    const TSpan xs = SampledSpan(columns, left, empty ? 0 : width);
    const TSpan ys = SampledSpan(rows, top, empty ? 0 : height);
    if (empty) {
        frame.SetBounds(xs.First, ys.First, 0, 0);
        return;
    }
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(xs.Count) * static_cast<std::size_t>(ys.Count));
    const std::uint8_t* source = frame.Data();
    std::uint8_t* out = pixels.data();
    for (int y = ys.First; y < ys.First + ys.Count; ++y) {
        const int sy = std::clamp(rows[static_cast<std::size_t>(y)] - top, 0, height - 1);
        const std::uint8_t* row = source + static_cast<std::size_t>(sy) * static_cast<std::size_t>(width);
        for (int x = xs.First; x < xs.First + xs.Count; ++x)
            *out++ = row[std::clamp(columns[static_cast<std::size_t>(x)] - left, 0, width - 1)];
    }
    frame.SetBounds(xs.First, ys.First, xs.Count, ys.Count);
    frame.NeedImage();
    std::copy(pixels.begin(), pixels.end(), frame.Data());
}

// Stands where the note draws nothing; the note itself is black and white.
constexpr TColor NoNote = clFuchsia;

// The note's pixels at their place on a screen of `width` x `height`, drawn
// as on the whole picture and cut to the part the note can reach.
std::unique_ptr<TBitmap> NoteLayer(const std::string& note, int width, int height)
{
    TBitmap probe(1, 1, pf24bit);
    const TPoint extent = probe.Canvas().TextExtent(" " + note + " ");
    // Room beyond the cell for a glyph that overhangs it.
    const int reachX = 1 + extent.X + extent.Y;
    const int reachY = 1 + 2 * extent.Y;
    auto layer = std::make_unique<TBitmap>(std::min(width, reachX), std::min(height, reachY), pf24bit);
    layer->Fill(NoNote);
    DrawCopyrightNote(*layer, note);
    return layer;
}

int ColorDistance(const TGIFColor& entry, TColor color)
{
    const int r = entry.Red - GetRValue(color);
    const int g = entry.Green - GetGValue(color);
    const int b = entry.Blue - GetBValue(color);
    return r * r + g * g + b * b;
}

// The frame's index that shows `color` opaquely.
int NoteIndex(TGIFSubImage& frame, TColor color)
{
    TGIFColorMap& map = frame.ActiveColorMap();
    const int transparent = frame.MaskedIndex();
    for (int i = 0; i < map.Count(); ++i)
        if (i != transparent && ColorDistance(map.Entry(i), color) == 0)
            return i;
    while (map.Count() < 256) {
        const int added = map.Add(color);
        if (added != transparent)
            return added;
    }
    int nearest = 0;
    int best = std::numeric_limits<int>::max();
    for (int i = 0; i < map.Count(); ++i) {
        const int distance = ColorDistance(map.Entry(i), color);
        if (i != transparent && distance < best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

// The smallest rectangle that holds every pixel of the note.
TRect NoteBounds(const TBitmap& layer)
{
    TRect bounds{layer.Width(), layer.Height(), 0, 0};
    for (int y = 0; y < layer.Height(); ++y)
        for (int x = 0; x < layer.Width(); ++x)
            if (layer.Pixel(x, y) != NoNote)
                bounds = {std::min(bounds.Left, x), std::min(bounds.Top, y), std::max(bounds.Right, x + 1),
                          std::max(bounds.Bottom, y + 1)};
    return bounds;
}

bool Covers(const TRect& outer, const TRect& inner)
{
    return outer.Left <= inner.Left && outer.Top <= inner.Top && outer.Right >= inner.Right &&
           outer.Bottom >= inner.Bottom;
}

bool Meets(const TRect& a, const TRect& b)
{
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

int Disposal(const TGIFSubImage& frame)
{
    const TGIFGraphicControlExtension* control = frame.GraphicControlExtension();
    return control ? control->Disposal() : 0;
}

// An index that leaves the frame's pixel transparent: its transparent one,
// else an entry none of its pixels uses, else a new entry; -1 when every one
// of 256 entries is in use.
int ClearIndex(TGIFSubImage& frame)
{
    if (const int transparent = frame.MaskedIndex(); transparent >= 0)
        return transparent;
    TGIFColorMap& map = frame.ActiveColorMap();
    int index = -1;
    for (int i = 0; i < map.Count() && index < 0; ++i)
        if (!frame.UsesIndex(i))
            index = i;
    if (index < 0 && map.Count() < 256)
        index = map.Add(clBlack);
    if (index < 0)
        return -1;
    if (!frame.GraphicControlExtension())
        frame.Extensions().Add(std::make_unique<TGIFGraphicControlExtension>(&frame));
    frame.GraphicControlExtension()->SetTransparent(true);
    frame.GraphicControlExtension()->SetTransparentColorIndex(index);
    return index;
}

// The frame grown over `area`, transparent where it had no pixels, so that it
// shows what lay beneath it there; false when it cannot be transparent.
bool GrowFrameOver(TGIFSubImage& frame, const TRect& area)
{
    const int clear = ClearIndex(frame);
    if (clear < 0)
        return false;
    const TRect old = frame.BoundsRect();
    const TRect grown{std::min(old.Left, area.Left), std::min(old.Top, area.Top), std::max(old.Right, area.Right),
                      std::max(old.Bottom, area.Bottom)};
    const int width = grown.Right - grown.Left;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(grown.Bottom - grown.Top),
                                     static_cast<std::uint8_t>(clear));
    for (int y = 0; y < frame.Height(); ++y)
        std::copy_n(frame.Scanline(y), frame.Width(),
                    pixels.begin() + (y + old.Top - grown.Top) * width + (old.Left - grown.Left));
    frame.SetBounds(grown.Left, grown.Top, width, grown.Bottom - grown.Top);
    frame.NeedImage();
    std::copy(pixels.begin(), pixels.end(), frame.Data());
    return true;
}

void DrawNoteIntoFrame(TGIFSubImage& frame, const TBitmap& layer)
{
    if (frame.Empty())
        return;
    const int left = frame.Left();
    const int top = frame.Top();
    const int right = std::min(left + frame.Width(), layer.Width());
    const int bottom = std::min(top + frame.Height(), layer.Height());
    int black = -1;
    int white = -1;
    for (int y = top; y < bottom; ++y) {
        std::uint8_t* row = frame.Scanline(y - top);
        for (int x = left; x < right; ++x) {
            const TColor color = layer.Pixel(x, y);
            if (color == NoNote)
                continue;
            int& index = color == clBlack ? black : white;
            if (index < 0)
                index = NoteIndex(frame, color);
            row[x - left] = static_cast<std::uint8_t>(index);
        }
    }
}

}  // namespace

void ShrinkGifFrames(TGIFImage& gif, TPictureSize size)
{
    const std::vector<int> columns = ResizeSamples(gif.Width(), size.Width);
    const std::vector<int> rows = ResizeSamples(gif.Height(), size.Height);
    for (auto& frame : gif.Images())
        ShrinkFrame(*frame, columns, rows);
    gif.SetWidth(size.Width);
    gif.SetHeight(size.Height);
}

void DrawCopyrightNoteIntoFrames(TGIFImage& gif, const std::string& note)
{
    const std::unique_ptr<TBitmap> layer = NoteLayer(note, gif.Width(), gif.Height());
    const TRect area = NoteBounds(*layer);
    // Whether the screen still shows the whole note when the frame comes.
    bool shown = false;
    for (auto& frame : gif.Images()) {
        if (frame->Empty())
            continue;
        const bool shownBefore = shown;
        if (!shown && !Covers(frame->BoundsRect(), area))
            GrowFrameOver(*frame, area);
        DrawNoteIntoFrame(*frame, *layer);
        shown = shown || Covers(frame->BoundsRect(), area);
        switch (Disposal(*frame)) {
        case 2:  // cleared to the background
            shown = shown && !Meets(frame->BoundsRect(), area);
            break;
        case 3:  // the screen as it was before the frame
            shown = shownBefore;
            break;
        default:
            break;
        }
    }
}

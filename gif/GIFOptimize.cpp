#include "gif/GIFOptimize.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "gif/GIFImage.h"
#include "gif/GIFPainter.h"

namespace {

bool Restores(const TGIFSubImage& frame)
{
    const TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
    return gce && (gce->Disposal() == 2 || gce->Disposal() == 3);
}

int Disposal(const TGIFSubImage& frame)
{
    const TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
    return gce ? gce->Disposal() : 0;
}

TRect Intersection(const TRect& a, const TRect& b)
{
    return TRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                 std::min(a.Bottom, b.Bottom)};
}

bool HasArea(const TRect& r) { return r.Right > r.Left && r.Bottom > r.Top; }

TGIFGraphicControlExtension& NeedGraphicControl(TGIFSubImage& frame)
{
    if (TGIFGraphicControlExtension* gce = frame.GraphicControlExtension())
        return *gce;
    auto made = std::make_unique<TGIFGraphicControlExtension>(&frame);
    TGIFGraphicControlExtension& gce = *made;
    frame.Extensions().Add(std::move(made));
    return gce;
}

// The transparent index another frame on the global map already uses, when
// this frame's pixels leave it free.
int BorrowedIndex(TGIFSubImage& frame)
{
    TGIFImage* image = frame.Image();
    if (!image || &frame.ActiveColorMap() != &image->GlobalColorMap())
        return -1;
    for (const auto& other : image->Images()) {
        if (other.get() == &frame || !other->Transparent() || &other->ActiveColorMap() != &image->GlobalColorMap())
            continue;
        const int index = other->GraphicControlExtension()->TransparentColorIndex();
        if (!frame.UsesIndex(index))
            return index;
    }
    return -1;
}

void CarryDelay(TGIFSubImage& to, int delay)
{
    if (delay <= 0)
        return;
    TGIFGraphicControlExtension& gce = NeedGraphicControl(to);
    gce.SetDelay(static_cast<std::uint16_t>(std::min(0xFFFF, gce.Delay() + delay)));
}

// Moves and sizes a frame while the logical screen stays as it is, also for
// a loaded frame that reaches beyond it: the screen is made to hold the frame
// for the moment, so that the frame's setter neither grows it nor warns.
void SetBoundsOnScreen(TGIFSubImage& frame, int left, int top, int width, int height)
{
    TGIFImage* image = frame.Image();
    if (!image) {
        frame.SetBounds(left, top, width, height);
        return;
    }
    TGIFHeader& header = image->Header();
    const int screenWidth = header.Width();
    const int screenHeight = header.Height();
    struct TScreenRestore {
        TGIFHeader& Header;
        int Width, Height;
        ~TScreenRestore()
        {
            Header.SetWidth(Width);
            Header.SetHeight(Height);
        }
    } restore{header, screenWidth, screenHeight};
    header.SetWidth(std::max(screenWidth, left + width));
    header.SetHeight(std::max(screenHeight, top + height));
    frame.SetBounds(left, top, width, height);
}

}  // namespace

void MergeWithPrevious(TGIFSubImage& frame, TGIFSubImage* previous)
{
    if (!previous || frame.Empty() || previous->Empty() || Restores(*previous))
        return;
    const TRect common = Intersection(frame.BoundsRect(), previous->BoundsRect());
    if (!HasArea(common))
        return;
    TGIFColorMap& map = frame.ActiveColorMap();
    TGIFColorMap& previousMap = previous->ActiveColorMap();
    const bool wasTransparent = frame.Transparent();
    int t = -1;
    if (wasTransparent)
        t = frame.GraphicControlExtension()->TransparentColorIndex();
    else if (map.Count() < 1 || map.Count() > 255)
        return;
    const int previousT = previous->Transparent() ? previous->GraphicControlExtension()->TransparentColorIndex() : -1;
    // Colours as numbers, -1 past a map's end: equal numbers show the same.
    auto packed = [](const TGIFColorMap& m, std::array<int, 256>& out) {
        out.fill(-1);
        for (int i = 0; i < m.Count(); ++i)
            out[static_cast<std::size_t>(i)] = m.Entry(i).Red << 16 | m.Entry(i).Green << 8 | m.Entry(i).Blue;
    };
    std::array<int, 256> colours{}, previousColours{};
    packed(map, colours);
    packed(previousMap, previousColours);
    const int left = frame.Left();
    const int top = frame.Top();
    const int previousLeft = previous->Left();
    const int previousTop = previous->Top();
    for (int y = common.Top; y < common.Bottom; ++y) {
        std::uint8_t* row = frame.Scanline(y - top) - left;
        const std::uint8_t* previousRow = std::as_const(*previous).Scanline(y - previousTop) - previousLeft;
        for (int x = common.Left; x < common.Right; ++x) {
            std::uint8_t& pixel = row[x];
            const int shown = previousRow[x];
            if (pixel == t || shown == previousT)
                continue;
            const int colour = colours[pixel];
            if (colour < 0 || colour != previousColours[static_cast<std::size_t>(shown)])
                continue;
            if (t < 0) {
                t = BorrowedIndex(frame);
                if (t < 0) {
                    t = map.Add(clBlack);
                    // The new entry may be the previous frame's map too.
                    packed(map, colours);
                    packed(previousMap, previousColours);
                }
            }
            pixel = static_cast<std::uint8_t>(t);
        }
    }
    if (!wasTransparent && t >= 0) {
        TGIFGraphicControlExtension& gce = NeedGraphicControl(frame);
        gce.SetTransparent(true);
        gce.SetTransparentColorIndex(t);
    }
}

void CropFrame(TGIFSubImage& frame)
{
    if (frame.Empty() || !frame.Transparent())
        return;
    const std::uint8_t t = frame.GraphicControlExtension()->TransparentColorIndex();
    const int w = frame.Width();
    const int h = frame.Height();
    // Row by row: the box of the opaque pixels is the same as column first.
    int left = w, right = -1, top = -1, bottom = -1;
    for (int y = 0; y < h; ++y) {
        // Read only, so that a frame with nothing to cut keeps its bitmap.
        const std::uint8_t* row = std::as_const(frame).Scanline(y);
        int first = 0;
        while (first < w && row[first] == t)
            ++first;
        if (first == w)
            continue;
        int last = w - 1;
        while (row[last] == t)
            --last;
        left = std::min(left, first);
        right = std::max(right, last);
        if (top < 0)
            top = y;
        bottom = y;
    }
    if (top < 0) {
        frame.Clear();
        return;
    }
    const int newWidth = right - left + 1;
    const int newHeight = bottom - top + 1;
    if (newWidth == w && newHeight == h)
        return;
    std::vector<std::uint8_t> kept(static_cast<std::size_t>(newWidth) * newHeight);
    for (int y = 0; y < newHeight; ++y)
        std::memcpy(&kept[static_cast<std::size_t>(y) * newWidth], frame.Scanline(top + y) + left, newWidth);
    SetBoundsOnScreen(frame, frame.Left() + left, frame.Top() + top, newWidth, newHeight);
    frame.NeedImage();
    for (int y = 0; y < newHeight; ++y)
        std::memcpy(frame.Scanline(y), &kept[static_cast<std::size_t>(y) * newWidth], newWidth);
}

void TGIFImage::OptimizeFrames(unsigned options, int reductionMethod)
{
    if (Empty())
        return;
    StopAllPainters();
    std::lock_guard lock(FPainterLock);
    Progress(this, psStarting, 0, false, TRect{}, "Optimizing...");
    try {
        const int steps = 5;
        int step = 0;
        auto stepDone = [&] { Progress(this, psRunning, ++step * 100 / steps, false, TRect{}, "Optimizing..."); };

        if (options & ooColorMap) {
            if (GlobalColorMap().Count() > 0)
                GlobalColorMap().Optimize();
            for (const auto& frame : FImages)
                if (frame->ColorMap().Count() > 0)
                    frame->ColorMap().Optimize();
        }
        stepDone();

        if (options & ooCleanup) {
            // A frame without pixels has none of its transparent index either.
            for (const auto& frame : FImages)
                if (frame->Transparent() && !frame->UsesIndex(frame->GraphicControlExtension()->TransparentColorIndex()))
                    frame->GraphicControlExtension()->SetTransparent(false);
            // Restoring is useless only when the next frame hides all of this
            // one and keeps what it shows.
            for (int i = 0; i + 1 < FImages.Count(); ++i) {
                TGIFSubImage& frame = *FImages.Items(i);
                TGIFSubImage& next = *FImages.Items(i + 1);
                if (!Restores(frame) || next.Transparent() || next.Empty() || Disposal(next) == 3)
                    continue;
                if (Intersection(frame.BoundsRect(), next.BoundsRect()) == frame.BoundsRect())
                    frame.GraphicControlExtension()->SetDisposal(0);
            }
        }
        stepDone();

        if (options & ooMerge)
            for (int c = FImages.Count() - 1; c >= 1; --c) {
                int p = c - 1;
                while (p > 0 && Disposal(*FImages.Items(p)) == 3)
                    --p;
                MergeWithPrevious(*FImages.Items(c), FImages.Items(p));
            }
        stepDone();

        if (options & ooCrop)
            // A frame that restores the background keeps its size: the
            // restore clears its whole rectangle.
            for (int i = FImages.Count() - 1; i >= 0; --i) {
                TGIFSubImage& frame = *FImages.Items(i);
                if (frame.Empty() || !frame.Transparent() || Disposal(frame) == 2)
                    continue;
                const int delay = frame.GraphicControlExtension()->Delay();
                // The first frame has nothing to hand its time to.
                if (i == 0) {
                    const std::uint8_t t = frame.GraphicControlExtension()->TransparentColorIndex();
                    const std::uint8_t* data = std::as_const(frame).Data();
                    if (std::all_of(data, data + frame.DataSize(), [t](std::uint8_t p) { return p == t; }))
                        continue;
                }
                CropFrame(frame);
                if (frame.Empty()) {
                    CarryDelay(*FImages.Items(i - 1), delay);
                    FImages.Delete(i);
                }
            }
        stepDone();

        if (options & ooCleanup) {
            const bool single = FImages.Count() == 1;
            for (int i = FImages.Count() - 1; i >= 0; --i) {
                TGIFSubImage& frame = *FImages.Items(i);
                TGIFExtensionList& extensions = frame.Extensions();
                for (int e = extensions.Count() - 1; e >= 0; --e) {
                    TGIFExtension* extension = extensions.Items(e);
                    bool remove = dynamic_cast<TGIFCommentExtension*>(extension) ||
                                  dynamic_cast<TGIFTextExtension*>(extension) ||
                                  dynamic_cast<TGIFUnknownAppExtension*>(extension);
                    if (dynamic_cast<TGIFAppExtNSLoop*>(extension))
                        remove = single || i != 0;
                    if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(extension))
                        remove = (gce->Delay() == 0 || single) && !gce->Transparent() && !gce->UserInput() &&
                                 (gce->Disposal() < 2 || single);
                    if (remove)
                        extensions.Delete(e);
                }
                if (frame.Empty() && extensions.Count() == 0)
                    FImages.Delete(i);
            }
        } else if ((options & ooReduceColors) && reductionMethod == 9) {
            GIFError("Invalid reduction method");
        }
        stepDone();
    } catch (...) {
        Progress(this, psEnding, 0, false, TRect{}, "Optimizing...");
        throw;
    }
    ReleasePictureBitmap();
    Progress(this, psEnding, 100, false, TRect{}, "Optimizing...");
    Changed();
}

#include "gif/GIFOptimize.h"

#include <algorithm>
#include <cstring>
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

bool UsesIndex(const TGIFSubImage& frame, int index)
{
    const std::uint8_t* data = frame.Data();
    return std::find(data, data + frame.DataSize(), static_cast<std::uint8_t>(index)) != data + frame.DataSize();
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
        if (!UsesIndex(frame, index))
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
    const bool sameMap = &map == &previousMap;
    for (int y = common.Top; y < common.Bottom; ++y) {
        std::uint8_t* row = frame.Scanline(y - frame.Top());
        const std::uint8_t* previousRow = previous->Scanline(y - previous->Top());
        for (int x = common.Left; x < common.Right; ++x) {
            std::uint8_t& pixel = row[x - frame.Left()];
            const int shown = previousRow[x - previous->Left()];
            if (pixel == t || shown == previousT)
                continue;
            bool equal = sameMap && pixel == shown;
            if (!equal && pixel < map.Count() && shown < previousMap.Count())
                equal = map.Entry(pixel) == previousMap.Entry(shown);
            if (!equal)
                continue;
            if (t < 0) {
                t = BorrowedIndex(frame);
                if (t < 0)
                    t = map.Add(clBlack);
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
    auto opaqueInColumn = [&](int x, int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            if (frame.Scanline(y)[x] != t)
                return true;
        return false;
    };
    int left = 0;
    while (left < w && !opaqueInColumn(left, 0, h))
        ++left;
    if (left == w) {
        frame.Clear();
        return;
    }
    int right = w - 1;
    while (right > left && !opaqueInColumn(right, 0, h))
        --right;
    auto opaqueInRow = [&](int y) {
        const std::uint8_t* row = frame.Scanline(y);
        return std::any_of(row + left, row + right + 1, [t](std::uint8_t p) { return p != t; });
    };
    int top = 0;
    while (!opaqueInRow(top))
        ++top;
    int bottom = h - 1;
    while (bottom > top && !opaqueInRow(bottom))
        --bottom;
    const int newWidth = right - left + 1;
    const int newHeight = bottom - top + 1;
    if (newWidth == w && newHeight == h)
        return;
    std::vector<std::uint8_t> kept(static_cast<std::size_t>(newWidth) * newHeight);
    for (int y = 0; y < newHeight; ++y)
        std::memcpy(&kept[static_cast<std::size_t>(y) * newWidth], frame.Scanline(top + y) + left, newWidth);
    frame.SetBounds(frame.Left() + left, frame.Top() + top, newWidth, newHeight);
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
            for (const auto& frame : FImages)
                if (frame->Transparent() && !frame->Empty() &&
                    !UsesIndex(*frame, frame->GraphicControlExtension()->TransparentColorIndex()))
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
                    const std::uint8_t* data = frame.Data();
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

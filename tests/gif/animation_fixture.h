#pragma once

// Animations made in the tests: frames with their rectangles, disposals,
// delays and holes, and a clock that moves only when the painter waits.

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "gif/GIFImage.h"
#include "gif/GIFPainter.h"

// Time moves only when the painter waits; waits end at once unless endless.
struct FakeClock : TGIFPainterClock {
    std::atomic<DWORD> Time{5000};
    std::atomic<int> Lag{0};  // lost per wait, as a late wake-up would
    std::mutex Mutex;
    std::vector<DWORD> Waits;

    DWORD Now() override { return Time; }
    bool WaitWake(TEvent& wake, DWORD ms) override
    {
        {
            std::lock_guard lock(Mutex);
            Waits.push_back(ms);
        }
        if (ms == INFINITE) {
            wake.WaitFor(INFINITE);
            return true;
        }
        if (wake.WaitFor(0) == wrSignaled)
            return true;
        Time += ms + static_cast<DWORD>(Lag.load());
        return false;
    }
    void Sleep(DWORD ms) override { Time += ms; }
    std::vector<DWORD> TakenWaits()
    {
        std::lock_guard lock(Mutex);
        return Waits;
    }
};

struct FrameSpec {
    TRect Bounds;
    int Disposal = 1;
    int Delay = 5;
    bool Transparent = false;
};

inline constexpr int PaletteSize = 8;
inline constexpr int TransparentIndex = 7;

// Every frame has its own pattern; transparent ones leave holes.
inline void FillFrame(TGIFSubImage& frame, int seed, bool transparent)
{
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x) {
            int index = (x / 2 + y + seed * 3) % (PaletteSize - 1);
            if (transparent && (x + y + seed) % 3 == 0)
                index = TransparentIndex;
            frame.Scanline(y)[x] = static_cast<std::uint8_t>(index);
        }
}

inline std::unique_ptr<TGIFImage> MakeAnimation(int width, int height, const std::vector<FrameSpec>& specs,
                                         int loops = -1, int loopFrame = 0)
{
    auto image = std::make_unique<TGIFImage>();
    for (int i = 0; i < PaletteSize; ++i)
        image->GlobalColorMap().Add(RGB(i * 30 + 10, 255 - i * 31, (i * 97) % 256));
    for (std::size_t n = 0; n < specs.size(); ++n) {
        const FrameSpec& spec = specs[n];
        auto frame = std::make_unique<TGIFSubImage>(image.get());
        TGIFSubImage& f = *frame;
        image->AddFrame(std::move(frame));
        f.SetBounds(spec.Bounds.Left, spec.Bounds.Top, spec.Bounds.Right - spec.Bounds.Left,
                    spec.Bounds.Bottom - spec.Bounds.Top);
        if (loops >= 0 && static_cast<int>(n) == loopFrame) {
            auto loop = std::make_unique<TGIFAppExtNSLoop>(&f);
            loop->SetLoops(static_cast<std::uint16_t>(loops));
            f.Extensions().Add(std::move(loop));
        }
        auto gce = std::make_unique<TGIFGraphicControlExtension>(&f);
        gce->SetDisposal(spec.Disposal);
        gce->SetDelay(static_cast<std::uint16_t>(spec.Delay));
        TGIFGraphicControlExtension& g = *gce;
        f.Extensions().Add(std::move(gce));
        if (spec.Transparent) {
            g.SetTransparent(true);
            g.SetTransparentColorIndex(TransparentIndex);
        }
        FillFrame(f, static_cast<int>(n), spec.Transparent);
    }
    // Set last: frames beyond the screen stay beyond it.
    image->Header().SetWidth(width);
    image->Header().SetHeight(height);
    return image;
}

// Frames covering an 8 x 8 screen, keeping what they show.
inline std::vector<FrameSpec> Frames(int count, int delay = 5)
{
    std::vector<FrameSpec> specs;
    for (int i = 0; i < count; ++i)
        specs.push_back({TRect{0, 0, 8, 8}, 1, delay, false});
    return specs;
}

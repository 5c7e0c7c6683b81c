// Times the picture helpers on a camera-sized picture: the thumbnail resize and
// the quarter turn, next to a plain transpose loop into a new raw buffer as
// the yardstick for the turn. Prints medians in ms; the last line is the
// turn's time over the plain loop's.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/graphics/PixelAllocator.h"
#include "platform/graphics/TBitmap.h"
#include "shared/veskotools.h"

namespace {

constexpr int Width = 4000;
constexpr int Height = 3000;
constexpr int Runs = 9;

double MedianMs(const std::function<void()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < Runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto stop = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The straightforward way: one pixel at a time into its turned place.
void PlainTranspose(const std::vector<std::uint8_t>& source, std::uint8_t* target, int w, int h)
{
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* in = &source[(std::size_t(y) * std::size_t(w) + std::size_t(x)) * 3];
            std::uint8_t* out = &target[(std::size_t(x) * std::size_t(h) + std::size_t(h - 1 - y)) * 3];
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
}

} // namespace

int main()
{
    TBitmap source(Width, Height, pf24bit);
    std::vector<std::uint8_t> raw(std::size_t(Width) * Height * 3);
    std::uint32_t seed = 12345;
    for (std::uint8_t& b : raw) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(seed >> 16);
    }
    for (int y = 0; y < Height; ++y) {
        std::memcpy(source.ScanLine(y), &raw[std::size_t(y) * Width * 3], std::size_t(Width) * 3);
    }
    std::vector<std::uint8_t> transposed(raw.size());

    std::size_t keep = 0;
    const double resizeMs = MedianMs([&] { keep += std::size_t(ResizeBitmap(source, 600, 450)->Width()); });
    const double rotateMs = MedianMs([&] { keep += std::size_t(RotateBitmapRight(source)->Width()); });
    // A turn makes a new picture, so the like-for-like yardstick writes into a
    // new buffer too, from the same allocator as a bitmap's pixels. The loop
    // alone, into a buffer already touched, is shown beside it.
    const double plainMs = MedianMs([&] {
        TPixelBytes fresh(raw.size());
        PlainTranspose(raw, fresh.data(), Width, Height);
        keep += fresh[keep % fresh.size()];
    });
    const double loopMs = MedianMs([&] {
        PlainTranspose(raw, transposed.data(), Width, Height);
        keep += transposed[keep % transposed.size()];
    });

    // The turn must agree with the plain loop, or the figures mean nothing.
    const auto turned = RotateBitmapRight(source);
    for (int y = 0; y < turned->Height(); ++y) {
        if (std::memcmp(turned->ScanLine(y), &transposed[std::size_t(y) * Height * 3], std::size_t(Height) * 3) != 0) {
            std::fprintf(stderr, "rotate differs from the plain transpose at row %d\n", y);
            return 1;
        }
    }

    std::printf("(checksum %zu)\n", keep);
    std::printf("resize %dx%d to 600x450: %.2f ms\n", Width, Height, resizeMs);
    std::printf("rotate right %dx%d: %.2f ms\n", Width, Height, rotateMs);
    std::printf("plain transpose loop alone, touched buffer: %.2f ms (ratio %.2f)\n", loopMs, rotateMs / loopMs);
    std::printf("plain transpose %dx%d into a new buffer: %.2f ms\n", Width, Height, plainMs);
    std::printf("rotate ratio: %.2f\n", rotateMs / plainMs);
    return 0;
}

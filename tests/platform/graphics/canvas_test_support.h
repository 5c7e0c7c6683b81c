#pragma once

// Helpers of the canvas, device-context and metafile tests.

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"

namespace canvastest {

using PixelSet = std::set<std::pair<int, int>>;

// A 24-bit bitmap filled with one colour.
inline std::unique_ptr<TBitmap> Filled(int w, int h, TColor color)
{
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    b->Fill(color);
    return b;
}

// The pixels of a colour.
inline PixelSet PixelsOf(const TBitmap& b, TColor color)
{
    PixelSet result;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Pixel(x, y) == color) result.insert({x, y});
    return result;
}

// The pixels that differ from a colour.
inline PixelSet PixelsNot(const TBitmap& b, TColor color)
{
    PixelSet result;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Pixel(x, y) != color) result.insert({x, y});
    return result;
}

inline PixelSet RectPixels(int x1, int y1, int x2, int y2)
{
    PixelSet result;
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x) result.insert({x, y});
    return result;
}

// The smallest rectangle holding the pixels (empty for none).
inline TRect BoundsOf(const PixelSet& pixels)
{
    if (pixels.empty()) return {};
    TRect r{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
    for (auto [x, y] : pixels) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
    }
    return r;
}

// Rows of text art: '#' for `ink`, '.' for anything else; for failure output.
inline std::string Art(const TBitmap& b, TColor ink)
{
    std::string s;
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) s += b.Pixel(x, y) == ink ? '#' : '.';
        s += '\n';
    }
    return s;
}

// Number of pixels that differ between two bitmaps of the same size.
inline int CountDifferences(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y)) ++n;
    return n;
}

}  // namespace canvastest

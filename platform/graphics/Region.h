#pragma once

// Regions as GDI keeps them: a set of pixels stored as horizontal bands, each
// a run of rows sharing the same sorted, disjoint x spans. Used for clipping
// (a canvas's clip region) and for the region records of metafiles.
//
// Combining follows CombineRgn's modes (RGN_AND 1, RGN_OR 2, RGN_XOR 3,
// RGN_DIFF 4, RGN_COPY 5). Polygon regions take the pixels whose centres lie
// inside, with ALTERNATE (1) or WINDING (2), held to a limit rectangle so a
// huge polygon costs only what can be seen.

#include <algorithm>
#include <span>
#include <vector>

#include "platform/graphics/PolygonScan.h"
#include "platform/graphics/Types.h"

constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

class TRegion {
public:
    TRegion() = default;
    explicit TRegion(const TRect& rect);
    static TRegion FromRects(std::span<const TRect> rects);
    static TRegion FromPolygons(std::span<const TPointF> points, std::span<const int> counts, int fillMode,
                                const TRect& limit);

    bool Empty() const { return FBands.empty(); }
    TRect Bounds() const;
    bool Contains(int x, int y) const;
    // Calls `f(x1, x2)` for the region's pixels x1..x2-1 of row y within [from, to).
    template <class F>
    void ForEachSpan(int y, int from, int to, F f) const
    {
        const TBand* band = BandAt(y);
        if (!band) return;
        for (std::size_t k = 0; k + 1 < band->Xs.size(); k += 2) {
            const int a = std::max(from, band->Xs[k]), b = std::min(to, band->Xs[k + 1]);
            if (a < b) f(a, b);
        }
    }
    TRegion Combined(const TRegion& other, int mode) const;
    void Offset(int dx, int dy);
    // The region as rectangles, band by band.
    std::vector<TRect> Rects() const;
    friend bool operator==(const TRegion&, const TRegion&) = default;

private:
    struct TBand {
        int Top = 0;
        int Bottom = 0;
        std::vector<int> Xs;  // x1, x2, x1, x2, ... (x2 excluded)
        friend bool operator==(const TBand&, const TBand&) = default;
    };
    const TBand* BandAt(int y) const;
    // Appends a band, joining it to the last when they touch and agree.
    void Append(int top, int bottom, std::vector<int> xs);

    std::vector<TBand> FBands;
};

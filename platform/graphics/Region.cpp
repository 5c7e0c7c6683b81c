#include "platform/graphics/Region.h"

#include <algorithm>
#include <map>

namespace {

// The boolean combination of two sorted span lists.
std::vector<int> CombineSpans(const std::vector<int>& a, const std::vector<int>& b, int mode)
{
    std::vector<int> edges;
    edges.reserve(a.size() + b.size());
    edges.insert(edges.end(), a.begin(), a.end());
    edges.insert(edges.end(), b.begin(), b.end());
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    const auto inside = [](const std::vector<int>& xs, int x) {
        const auto it = std::upper_bound(xs.begin(), xs.end(), x);
        return ((it - xs.begin()) & 1) != 0;
    };
    std::vector<int> out;
    for (std::size_t k = 0; k + 1 < edges.size(); ++k) {
        const int x = edges[k];
        const bool ia = inside(a, x), ib = inside(b, x);
        bool in = false;
        switch (mode) {
        case RGN_AND: in = ia && ib; break;
        case RGN_OR: in = ia || ib; break;
        case RGN_XOR: in = ia != ib; break;
        case RGN_DIFF: in = ia && !ib; break;
        default: in = ia; break;
        }
        if (!in) continue;
        if (!out.empty() && out.back() == x) out.back() = edges[k + 1];
        else {
            out.push_back(x);
            out.push_back(edges[k + 1]);
        }
    }
    return out;
}

}  // namespace

TRegion::TRegion(const TRect& rect)
{
    if (!rect.IsEmpty()) FBands.push_back({rect.Top, rect.Bottom, {rect.Left, rect.Right}});
}

TRegion TRegion::FromRects(std::span<const TRect> rects)
{
    // Row breaks of all rectangles, then each stretch's spans merged.
    std::vector<int> ys;
    for (const TRect& r : rects)
        if (!r.IsEmpty()) {
            ys.push_back(r.Top);
            ys.push_back(r.Bottom);
        }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    TRegion region;
    for (std::size_t k = 0; k + 1 < ys.size(); ++k) {
        std::vector<int> xs;
        for (const TRect& r : rects)
            if (!r.IsEmpty() && r.Top <= ys[k] && r.Bottom >= ys[k + 1])
                xs = CombineSpans(xs, {r.Left, r.Right}, RGN_OR);
        region.Append(ys[k], ys[k + 1], std::move(xs));
    }
    return region;
}

TRegion TRegion::FromPolygons(std::span<const TPointF> points, std::span<const int> counts, int fillMode,
                              const TRect& limit)
{
    TRegion region;
    int row = limit.Top - 1;
    std::vector<int> xs;
    const auto flush = [&] {
        if (row >= limit.Top) region.Append(row, row + 1, std::move(xs));
        xs.clear();
    };
    ScanPolygons(points, counts, fillMode == 2, limit.Top, limit.Bottom, limit.Left, limit.Right,
                 [&](int y, int x1, int x2) {
                     if (y != row) {
                         flush();
                         row = y;
                     }
                     xs = CombineSpans(xs, {x1, x2}, RGN_OR);
                 });
    flush();
    return region;
}

void TRegion::Append(int top, int bottom, std::vector<int> xs)
{
    if (xs.empty() || top >= bottom) return;
    if (!FBands.empty() && FBands.back().Bottom == top && FBands.back().Xs == xs) {
        FBands.back().Bottom = bottom;
        return;
    }
    FBands.push_back({top, bottom, std::move(xs)});
}

TRect TRegion::Bounds() const
{
    if (FBands.empty()) return {};
    TRect box{FBands.front().Xs.front(), FBands.front().Top, FBands.front().Xs.back(), FBands.back().Bottom};
    for (const TBand& b : FBands) {
        box.Left = std::min(box.Left, b.Xs.front());
        box.Right = std::max(box.Right, b.Xs.back());
    }
    return box;
}

const TRegion::TBand* TRegion::BandAt(int y) const
{
    const auto it = std::upper_bound(FBands.begin(), FBands.end(), y, [](int v, const TBand& b) { return v < b.Bottom; });
    if (it == FBands.end() || y < it->Top) return nullptr;
    return &*it;
}

bool TRegion::Contains(int x, int y) const
{
    const TBand* band = BandAt(y);
    if (!band) return false;
    const auto it = std::upper_bound(band->Xs.begin(), band->Xs.end(), x);
    return ((it - band->Xs.begin()) & 1) != 0;
}

TRegion TRegion::Combined(const TRegion& other, int mode) const
{
    if (mode == RGN_COPY) return *this;
    std::vector<int> ys;
    for (const TRegion* r : {this, &other})
        for (const TBand& b : r->FBands) {
            ys.push_back(b.Top);
            ys.push_back(b.Bottom);
        }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    TRegion result;
    static const std::vector<int> none;
    for (std::size_t k = 0; k + 1 < ys.size(); ++k) {
        const TBand* a = BandAt(ys[k]);
        const TBand* b = other.BandAt(ys[k]);
        if (!a && !b) continue;
        result.Append(ys[k], ys[k + 1], CombineSpans(a ? a->Xs : none, b ? b->Xs : none, mode));
    }
    return result;
}

void TRegion::Offset(int dx, int dy)
{
    for (TBand& b : FBands) {
        b.Top += dy;
        b.Bottom += dy;
        for (int& x : b.Xs) x += dx;
    }
}

std::vector<TRect> TRegion::Rects() const
{
    std::vector<TRect> rects;
    for (const TBand& b : FBands)
        for (std::size_t k = 0; k + 1 < b.Xs.size(); k += 2) rects.push_back({b.Xs[k], b.Top, b.Xs[k + 1], b.Bottom});
    return rects;
}

#pragma once

// Scan conversion of polygons: the pixels whose centres lie inside, row by
// row, with the alternate or the winding rule. Shared by the canvas's fills,
// regions and wide strokes. Internal to the graphics layer.

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <utility>
#include <vector>

struct TPointF {
    double X = 0;
    double Y = 0;
};

// Calls `emit(y, x1, x2)` for the pixels x1..x2-1 of each row y in
// [rowFrom, rowTo) that the polygons cover, with x held to [xFrom, xTo).
// `counts` splits `points` into closed polygons.
template <class Emit>
void ScanPolygons(std::span<const TPointF> points, std::span<const int> counts, bool winding, int rowFrom,
                  int rowTo, int xFrom, int xTo, Emit emit)
{
    struct TEdge {
        double X0, Y0, X1, Y1;
        int Direction;
    };
    std::vector<TEdge> edges;
    double top = std::numeric_limits<double>::max();
    double bottom = std::numeric_limits<double>::lowest();
    std::size_t start = 0;
    for (int count : counts) {
        if (count <= 0 || start + std::size_t(count) > points.size()) break;
        for (int k = 0; k < count; ++k) {
            const TPointF p = points[start + std::size_t(k)];
            const TPointF q = points[start + std::size_t((k + 1) % count)];
            if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return;
            top = std::min(top, p.Y);
            bottom = std::max(bottom, p.Y);
            if (p.Y == q.Y) continue;
            if (p.Y < q.Y) edges.push_back({p.X, p.Y, q.X, q.Y, 1});
            else edges.push_back({q.X, q.Y, p.X, p.Y, -1});
        }
        start += std::size_t(count);
    }
    if (edges.empty()) return;
    std::sort(edges.begin(), edges.end(), [](const TEdge& a, const TEdge& b) { return a.Y0 < b.Y0; });
    // Held to the rows asked for before converting, so far-away points cost nothing.
    const int y1 = int(std::clamp(std::floor(top), double(rowFrom), double(std::max(rowFrom, rowTo))));
    const int y2 = int(std::clamp(std::ceil(bottom) + 1, double(rowFrom), double(std::max(rowFrom, rowTo))));
    std::vector<std::pair<double, int>> crossings;
    std::size_t next = 0;
    std::vector<const TEdge*> active;
    for (int y = y1; y < y2; ++y) {
        const double yc = y + 0.5;
        while (next < edges.size() && edges[next].Y0 <= yc) active.push_back(&edges[next++]);
        std::erase_if(active, [yc](const TEdge* e) { return e->Y1 <= yc; });
        crossings.clear();
        for (const TEdge* e : active) {
            if (yc < e->Y0) continue;
            crossings.emplace_back(e->X0 + (yc - e->Y0) * (e->X1 - e->X0) / (e->Y1 - e->Y0), e->Direction);
        }
        std::sort(crossings.begin(), crossings.end());
        int wind = 0;
        for (std::size_t k = 0; k + 1 < crossings.size(); ++k) {
            wind += winding ? crossings[k].second : 1;
            const bool inside = winding ? wind != 0 : (wind & 1) != 0;
            if (!inside) continue;
            const double left = std::clamp(crossings[k].first, double(xFrom) - 1, double(xTo) + 1);
            const double right = std::clamp(crossings[k + 1].first, double(xFrom) - 1, double(xTo) + 1);
            const int x1 = std::max(xFrom, int(std::ceil(left - 0.5)));
            const int x2 = std::min(xTo, int(std::ceil(right - 0.5)));
            if (x1 < x2) emit(y, x1, x2);
        }
    }
}

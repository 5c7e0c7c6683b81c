#include "platform/graphics/Stroker.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Dash pieces past this many are not drawn: a tiny pattern along a huge
// line would otherwise cost without bound.
constexpr std::size_t MaxPieces = 4096;

TPointF Add(TPointF a, TPointF b) { return {a.X + b.X, a.Y + b.Y}; }
TPointF Sub(TPointF a, TPointF b) { return {a.X - b.X, a.Y - b.Y}; }
TPointF Mul(TPointF a, double k) { return {a.X * k, a.Y * k}; }
double Dot(TPointF a, TPointF b) { return a.X * b.X + a.Y * b.Y; }
double Length(TPointF a) { return std::hypot(a.X, a.Y); }

class TBuilder {
public:
    TBuilder(const TStrokeStyle& style, TOutline& out) : FStyle(style), FHalf(style.Width / 2), FOut(out) {}

    void Polygon(std::vector<TPointF> p)
    {
        if (p.size() < 3) return;
        double area = 0;
        for (std::size_t i = 0; i < p.size(); ++i) {
            const TPointF a = p[i], b = p[(i + 1) % p.size()];
            area += a.X * b.Y - b.X * a.Y;
        }
        if (area == 0) return;
        if (area < 0) std::reverse(p.begin(), p.end());
        FOut.Points.insert(FOut.Points.end(), p.begin(), p.end());
        FOut.Counts.push_back(int(p.size()));
    }
    void Disc(TPointF c)
    {
        const int n = std::clamp(int(std::ceil(std::numbers::pi * FHalf)), 8, 64);
        std::vector<TPointF> p;
        for (int i = 0; i < n; ++i) {
            const double a = 2 * std::numbers::pi * i / n;
            p.push_back({c.X + FHalf * std::cos(a), c.Y + FHalf * std::sin(a)});
        }
        Polygon(std::move(p));
    }
    // A segment as a band, lengthened at its ends by `before` and `after`.
    void Band(TPointF a, TPointF b, double before, double after)
    {
        const TPointF d = Sub(b, a);
        const double len = Length(d);
        if (len == 0) return;
        const TPointF u = Mul(d, 1 / len);
        const TPointF n{-u.Y * FHalf, u.X * FHalf};
        a = Sub(a, Mul(u, before));
        b = Add(b, Mul(u, after));
        Polygon({Add(a, n), Add(b, n), Sub(b, n), Sub(a, n)});
    }
    void Join(TPointF prev, TPointF v, TPointF next)
    {
        if (FStyle.Join == TStrokeStyle::joinRound) return Disc(v);
        const TPointF d1 = Sub(v, prev), d2 = Sub(next, v);
        const double l1 = Length(d1), l2 = Length(d2);
        if (l1 == 0 || l2 == 0) return;
        const TPointF n1{-d1.Y / l1, d1.X / l1}, n2{-d2.Y / l2, d2.X / l2};
        // The outer side is the one the path turns away from.
        const double sigma = Dot(n1, d2) > 0 ? -1 : 1;
        const TPointF a = Add(v, Mul(n1, sigma * FHalf)), b = Add(v, Mul(n2, sigma * FHalf));
        const TPointF mid = Add(n1, n2);
        const double cosHalf = std::sqrt(std::max(0.0, (1 + Dot(n1, n2)) / 2));
        if (FStyle.Join == TStrokeStyle::joinMiter && cosHalf > 1e-9 && 1 / cosHalf <= FStyle.MiterLimit &&
            Length(mid) > 0) {
            const TPointF m = Add(v, Mul(mid, sigma * FHalf / cosHalf / Length(mid)));
            return Polygon({v, a, m, b});
        }
        Polygon({v, a, b});
    }
    // One open or closed run of distinct points.
    void Run(const std::vector<TPointF>& p, bool closed)
    {
        if (p.empty()) return;
        if (p.size() == 1) {
            if (FStyle.Cap == TStrokeStyle::capRound) Disc(p[0]);
            else if (FStyle.Cap == TStrokeStyle::capSquare)
                Polygon({{p[0].X - FHalf, p[0].Y - FHalf}, {p[0].X + FHalf, p[0].Y - FHalf},
                         {p[0].X + FHalf, p[0].Y + FHalf}, {p[0].X - FHalf, p[0].Y + FHalf}});
            return;
        }
        const double square = FStyle.Cap == TStrokeStyle::capSquare && !closed ? FHalf : 0;
        const std::size_t segments = closed ? p.size() : p.size() - 1;
        for (std::size_t i = 0; i < segments; ++i)
            Band(p[i], p[(i + 1) % p.size()], i == 0 ? square : 0, i + 1 == segments ? square : 0);
        for (std::size_t i = closed ? 0 : 1; i < (closed ? p.size() : p.size() - 1); ++i)
            Join(p[(i + p.size() - 1) % p.size()], p[i], p[(i + 1) % p.size()]);
        if (!closed && FStyle.Cap == TStrokeStyle::capRound) {
            Disc(p.front());
            Disc(p.back());
        }
    }

private:
    const TStrokeStyle& FStyle;
    double FHalf;
    TOutline& FOut;
};

std::vector<TPointF> Distinct(std::span<const TPointF> points)
{
    std::vector<TPointF> p;
    for (TPointF q : points) {
        if (!std::isfinite(q.X) || !std::isfinite(q.Y)) continue;
        if (p.empty() || q.X != p.back().X || q.Y != p.back().Y) p.push_back(q);
    }
    return p;
}

}  // namespace

void StrokeOutline(std::span<const TPointF> points, bool closed, const TStrokeStyle& style, TOutline& out)
{
    if (!(style.Width > 0)) return;
    std::vector<TPointF> p = Distinct(points);
    if (closed && p.size() > 1 && p.front().X == p.back().X && p.front().Y == p.back().Y) p.pop_back();
    TBuilder builder(style, out);
    double period = 0;
    for (double d : style.Dashes) period += std::max(0.0, d);
    // A pattern shorter than a pixel shows as a plain line.
    if (style.Dashes.empty() || !(period >= 1) || !std::isfinite(period)) return builder.Run(p, closed && p.size() > 2);

    // Dashed: the pattern runs along the whole path, each dash a run of its own.
    if (closed && !p.empty()) p.push_back(p.front());
    std::size_t index = 0;
    double left = std::max(0.0, style.Dashes[0]);
    bool on = true;
    std::vector<TPointF> piece;
    std::size_t pieces = 0;
    if (!p.empty()) piece.push_back(p[0]);
    for (std::size_t i = 0; i + 1 < p.size() && pieces < MaxPieces; ++i) {
        const TPointF a = p[i], b = p[i + 1];
        const double len = Length(Sub(b, a));
        double at = 0;
        while (pieces < MaxPieces) {
            if (len - at < left) {
                left -= len - at;
                if (on) piece.push_back(b);
                break;
            }
            at += left;
            const TPointF q = Add(a, Mul(Sub(b, a), at / len));
            if (on) {
                piece.push_back(q);
                builder.Run(Distinct(piece), false);
                ++pieces;
            }
            piece.assign(1, q);
            on = !on;
            index = (index + 1) % style.Dashes.size();
            left = std::max(0.0, style.Dashes[index]);
        }
    }
    if (on && piece.size() > 1) builder.Run(Distinct(piece), false);
}

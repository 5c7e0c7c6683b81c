#include "platform/graphics/MetafilePlayer.h"

#include <algorithm>
#include <cmath>

#include "platform/core/Exceptions.h"
#include "platform/graphics/CanvasRaster.h"
#include "platform/graphics/DeviceContext.h"

std::optional<std::unique_ptr<TBitmap>> DecodeDib(std::span<const std::uint8_t> header,
                                                  std::span<const std::uint8_t> bits)
{
    if (header.size() < 12) return std::nullopt;
    // A BMP file in memory: the file header, then the record's own parts.
    std::vector<std::uint8_t> file(14);
    const std::size_t total = 14 + header.size() + bits.size();
    const std::size_t offset = 14 + header.size();
    file[0] = 'B';
    file[1] = 'M';
    for (int k = 0; k < 4; ++k) {
        file[2 + std::size_t(k)] = std::uint8_t(total >> (8 * k));
        file[10 + std::size_t(k)] = std::uint8_t(offset >> (8 * k));
    }
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), bits.begin(), bits.end());
    try {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->LoadFromBytes(file);
        return bitmap;
    } catch (const Exception&) {
        return std::nullopt;
    }
}

void TMetafilePlayer::GradientFill(std::span<const TGradientVertex> vertices, std::span<const std::uint32_t> indices,
                                   int mode)
{
    ApplyClip();
    TCanvasRaster raster(FCanvas);
    const TRect clip = raster.Clip();
    const auto channel = [](TColor c, int shift) { return double((c >> shift) & 0xFF); };
    const auto mix = [&](TColor a, TColor b, double t) {
        TColor out = 0;
        for (int shift : {0, 8, 16})
            out |= TColor(std::lround(channel(a, shift) + (channel(b, shift) - channel(a, shift)) * t)) << shift;
        return out;
    };
    const std::size_t per = mode == 2 ? 3 : 2;
    for (std::size_t k = 0; k + per <= indices.size(); k += per) {
        if (indices[k] >= vertices.size() || indices[k + 1] >= vertices.size() ||
            (per == 3 && indices[k + 2] >= vertices.size()))
            continue;
        if (per == 2) {
            const TGradientVertex& a = vertices[indices[k]];
            const TGradientVertex& b = vertices[indices[k + 1]];
            const TPointF p = MapF(a.X, a.Y), q = MapF(b.X, b.Y);
            const bool swapX = p.X > q.X, swapY = p.Y > q.Y;
            const TRect box = IntersectRect({Clamp32(std::min(p.X, q.X)), Clamp32(std::min(p.Y, q.Y)),
                                             Clamp32(std::max(p.X, q.X)), Clamp32(std::max(p.Y, q.Y))}, clip);
            const double span = mode == 0 ? std::fabs(q.X - p.X) : std::fabs(q.Y - p.Y);
            for (int y = box.Top; y < box.Bottom; ++y)
                for (int x = box.Left; x < box.Right; ++x) {
                    double t = span > 0 ? (mode == 0 ? (x + 0.5 - std::min(p.X, q.X)) : (y + 0.5 - std::min(p.Y, q.Y))) / span : 0;
                    if (mode == 0 ? swapX : swapY) t = 1 - t;
                    raster.Put(x, y, mix(a.Color, b.Color, std::clamp(t, 0.0, 1.0)));
                }
            continue;
        }
        const TGradientVertex* v[3] = {&vertices[indices[k]], &vertices[indices[k + 1]], &vertices[indices[k + 2]]};
        TPointF p[3];
        for (int i = 0; i < 3; ++i) p[i] = MapF(v[i]->X, v[i]->Y);
        const double det = (p[1].Y - p[2].Y) * (p[0].X - p[2].X) + (p[2].X - p[1].X) * (p[0].Y - p[2].Y);
        if (det == 0) continue;
        const double minX = std::min({p[0].X, p[1].X, p[2].X}), maxX = std::max({p[0].X, p[1].X, p[2].X});
        const double minY = std::min({p[0].Y, p[1].Y, p[2].Y}), maxY = std::max({p[0].Y, p[1].Y, p[2].Y});
        const TRect box = IntersectRect({Clamp32(std::floor(minX)), Clamp32(std::floor(minY)), Clamp32(std::ceil(maxX)),
                                         Clamp32(std::ceil(maxY))}, clip);
        for (int y = box.Top; y < box.Bottom; ++y)
            for (int x = box.Left; x < box.Right; ++x) {
                const double px = x + 0.5, py = y + 0.5;
                const double w0 = ((p[1].Y - p[2].Y) * (px - p[2].X) + (p[2].X - p[1].X) * (py - p[2].Y)) / det;
                const double w1 = ((p[2].Y - p[0].Y) * (px - p[2].X) + (p[0].X - p[2].X) * (py - p[2].Y)) / det;
                const double w2 = 1 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                TColor out = 0;
                for (int shift : {0, 8, 16}) {
                    const double c = w0 * channel(v[0]->Color, shift) + w1 * channel(v[1]->Color, shift) +
                                     w2 * channel(v[2]->Color, shift);
                    out |= TColor(std::clamp(std::lround(c), 0L, 255L)) << shift;
                }
                raster.Put(x, y, out);
            }
    }
}

void TMetafilePlayer::Blit(double x, double y, double w, double h, const TBitmap* bitmap, int sx, int sy, int sw,
                           int sh, std::uint32_t rop, const TBitmap* mask, int mx, int my)
{
    const TPoint a = Map(x, y), c = Map(x + w, y + h);
    ApplyClip();
    ApplyBrush(FState.Brush);
    HDC dest = FCanvas.Handle();
    dest->TextColor = FState.TextColor & 0xFFFFFF;
    dest->BkColor = FState.BkColor & 0xFFFFFF;
    if (!bitmap) {
        FCanvas.Brush().SetStyle(bsSolid);
        PatBlt(dest, a.X, a.Y, c.X - a.X, c.Y - a.Y, rop);
        return;
    }
    TBitmap source;
    source.Assign(*bitmap);
    if (mask) {
        TBitmap m;
        m.Assign(*mask);
        HBITMAP handle = CreateBitmapHandle(m);
        MaskBlt(dest, a.X, a.Y, c.X - a.X, c.Y - a.Y, source.Canvas().Handle(), sx, sy, handle, mx, my, rop);
        DeleteObject(handle);
        return;
    }
    StretchBlt(dest, a.X, a.Y, c.X - a.X, c.Y - a.Y, source.Canvas().Handle(), sx, sy, sw, sh, rop);
}

namespace {

// Visits the target pixels of a stretched copy: f(targetX, targetY, sourceX, sourceY).
template <class F>
void ForEachStretched(TCanvasRaster& raster, TPoint a, TPoint c, int sx, int sy, int sw, int sh, F f)
{
    const int w = c.X - a.X, h = c.Y - a.Y;
    if (w == 0 || h == 0 || sw == 0 || sh == 0) return;
    const TRect box = IntersectRect({std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y)},
                                    raster.Clip());
    for (int y = box.Top; y < box.Bottom; ++y) {
        const long long j = w > 0 ? y - a.Y : y - a.Y;
        const int syy = sy + int(j * sh / h);
        for (int x = box.Left; x < box.Right; ++x) {
            const int sxx = sx + int(static_cast<long long>(x - a.X) * sw / w);
            f(x, y, sxx, syy);
        }
    }
}

}  // namespace

void TMetafilePlayer::AlphaBlit(double x, double y, double w, double h, const TBitmap& bitmap, int sx, int sy, int sw,
                                int sh, int constantAlpha, bool sourceAlpha)
{
    const TPoint a = Map(x, y), c = Map(x + w, y + h);
    ApplyClip();
    TCanvasRaster raster(FCanvas);
    TBitmap& b = const_cast<TBitmap&>(bitmap);
    TPixelView view(b);
    const bool alpha = sourceAlpha && bitmap.PixelFormat() == pf32bit;
    ForEachStretched(raster, a, c, sx, sy, sw, sh, [&](int px, int py, int qx, int qy) {
        if (!view.Contains(qx, qy)) return;
        const TColor s = view.Get(qx, qy);
        const int sa = alpha ? b.ScanLine(qy)[std::size_t(qx) * 4 + 3] : 255;
        const int ca = constantAlpha;
        const TColor d = raster.Get(px, py);
        if (d == CLR_INVALID) return;
        TColor out = 0;
        for (int shift : {0, 8, 16}) {
            const int sc = int((s >> shift) & 0xFF), dc = int((d >> shift) & 0xFF);
            // Premultiplied source, as the platform's blend takes it with per-pixel alpha.
            const int src = alpha ? sc * ca / 255 : sc;
            const int effective = sa * ca / 255;
            const int v = alpha ? src + dc * (255 - effective) / 255 : (sc * ca + dc * (255 - ca)) / 255;
            out |= TColor(std::clamp(v, 0, 255)) << shift;
        }
        raster.Put(px, py, out);
    });
}

void TMetafilePlayer::TransparentBlit(double x, double y, double w, double h, const TBitmap& bitmap, int sx, int sy,
                                      int sw, int sh, TColor transparent)
{
    const TPoint a = Map(x, y), c = Map(x + w, y + h);
    ApplyClip();
    TCanvasRaster raster(FCanvas);
    TPixelView view(const_cast<TBitmap&>(bitmap));
    ForEachStretched(raster, a, c, sx, sy, sw, sh, [&](int px, int py, int qx, int qy) {
        if (!view.Contains(qx, qy)) return;
        const TColor s = view.Get(qx, qy);
        if (s != (transparent & 0xFFFFFF)) raster.Put(px, py, s);
    });
}

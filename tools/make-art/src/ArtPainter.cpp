#include "tools/make-art/src/ArtPainter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int S = TArtPainter::Scale;

int Sub(double v) { return int(std::lround(v * S)); }

std::uint8_t Lerp(std::uint8_t a, std::uint8_t b, double t)
{
    return std::uint8_t(std::clamp(std::lround(a + (b - a) * t), 0L, 255L));
}

}  // namespace

TColor Mix(TColor a, TColor b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return RGB(Lerp(GetRValue(a), GetRValue(b), t), Lerp(GetGValue(a), GetGValue(b), t),
               Lerp(GetBValue(a), GetBValue(b), t));
}

TArtPainter::TArtPainter(int width, int height, TColor backdrop)
    : FWidth(width), FHeight(height), FPixels(width * S, height * S, pf24bit), FMask(width * S, height * S, pf24bit),
      FInk(std::size_t(width) * S * std::size_t(height) * S, 0)
{
    FPixels.Fill(backdrop);
    FMask.Fill(clBlack);
}

TArtPainter::TArea TArtPainter::SubArea(double left, double top, double right, double bottom) const
{
    // A margin for pen widths and glyphs that reach past their cell.
    const int margin = 2 * S;
    return {std::max(0, Sub(left) - margin), std::max(0, Sub(top) - margin),
            std::min(FWidth * S, Sub(right) + margin), std::min(FHeight * S, Sub(bottom) + margin)};
}

TCanvas& TArtPainter::Mask(TArea area)
{
    TCanvas& canvas = FMask.Canvas();
    canvas.SetClipRect(Rect(area.Left, area.Top, area.Right, area.Bottom));
    canvas.Brush().SetColor(clBlack);
    canvas.FillRect(Rect(area.Left, area.Top, area.Right, area.Bottom));
    canvas.Brush().SetColor(clWhite);
    canvas.Pen().SetColor(clWhite);
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetStyle(psSolid);
    return canvas;
}

template <class F>
void TArtPainter::Paint(TArea area, const TPaint& paint, F draw)
{
    if (area.Right <= area.Left || area.Bottom <= area.Top) return;
    draw(Mask(area));
    // The gradient runs across the drawn part, so shapes sharing one paint
    // look alike wherever they stand.
    int top = area.Bottom, bottom = area.Top, left = area.Right, right = area.Left;
    for (int y = area.Top; y < area.Bottom; ++y) {
        const std::uint8_t* m = FMask.ScanLine(y);
        for (int x = area.Left; x < area.Right; ++x)
            if (m[x * 3]) {
                top = std::min(top, y), bottom = std::max(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
    }
    if (top > bottom) return;
    const double h = std::max(1, bottom - top);
    const double w = std::max(1, right - left);
    const TColor from = ColorToRGB(paint.From), to = ColorToRGB(paint.To);
    const int alpha = int(std::lround(std::clamp(paint.Opacity, 0.0, 1.0) * 256));
    for (int y = top; y <= bottom; ++y) {
        const std::uint8_t* m = FMask.ScanLine(y);
        std::uint8_t* p = FPixels.ScanLine(y);
        std::uint8_t* ink = &FInk[std::size_t(y) * std::size_t(FWidth * S)];
        for (int x = left; x <= right; ++x) {
            if (!m[x * 3]) continue;
            double t = 0;
            switch (paint.Direction) {
            case TGradient::None: break;
            case TGradient::Vertical: t = (y - top) / h; break;
            case TGradient::Horizontal: t = (x - left) / w; break;
            case TGradient::Diagonal: t = ((x - left) + (y - top)) / (w + h); break;
            }
            const TColor c = paint.Direction == TGradient::None ? from : Mix(from, to, t);
            const std::uint8_t rgb[3] = {GetBValue(c), GetGValue(c), GetRValue(c)};
            for (int k = 0; k < 3; ++k) {
                std::uint8_t& d = p[x * 3 + k];
                d = std::uint8_t((d * (256 - alpha) + rgb[k] * alpha + 128) >> 8);
            }
            if (alpha) ink[x] = 1;
        }
    }
}

void TArtPainter::FillRect(const TBox& box, const TPaint& paint)
{
    Paint(SubArea(box.X, box.Y, box.Right(), box.Bottom()), paint,
          [&](TCanvas& c) { c.FillRect(Rect(Sub(box.X), Sub(box.Y), Sub(box.Right()), Sub(box.Bottom()))); });
}

void TArtPainter::FillRoundRect(const TBox& box, double radius, const TPaint& paint)
{
    Paint(SubArea(box.X, box.Y, box.Right(), box.Bottom()), paint, [&](TCanvas& c) {
        c.RoundRect(Sub(box.X), Sub(box.Y), Sub(box.Right()), Sub(box.Bottom()), Sub(2 * radius), Sub(2 * radius));
    });
}

void TArtPainter::FillEllipse(const TBox& box, const TPaint& paint)
{
    Paint(SubArea(box.X, box.Y, box.Right(), box.Bottom()), paint,
          [&](TCanvas& c) { c.Ellipse(Sub(box.X), Sub(box.Y), Sub(box.Right()), Sub(box.Bottom())); });
}

namespace {

std::vector<TPoint> SubPoints(std::span<const TPt> points)
{
    std::vector<TPoint> sub;
    for (const TPt& p : points) sub.push_back({Sub(p.X), Sub(p.Y)});
    return sub;
}

}  // namespace

void TArtPainter::FillPolygon(std::span<const TPt> points, const TPaint& paint)
{
    if (points.empty()) return;
    double l = points[0].X, r = l, t = points[0].Y, b = t;
    for (const TPt& p : points) l = std::min(l, p.X), r = std::max(r, p.X), t = std::min(t, p.Y), b = std::max(b, p.Y);
    const std::vector<TPoint> sub = SubPoints(points);
    Paint(SubArea(l, t, r, b), paint, [&](TCanvas& c) { c.Polygon(sub); });
}

void TArtPainter::StrokeLine(std::span<const TPt> points, double width, const TPaint& paint)
{
    if (points.empty()) return;
    double l = points[0].X, r = l, t = points[0].Y, b = t;
    for (const TPt& p : points) l = std::min(l, p.X), r = std::max(r, p.X), t = std::min(t, p.Y), b = std::max(b, p.Y);
    std::vector<TPoint> sub = SubPoints(points);
    // The canvas leaves out a path's last point; repeat it so the end gets its cap.
    sub.push_back(sub.back());
    const int pen = std::max(1, Sub(width));
    Paint(SubArea(l - width, t - width, r + width, b + width), paint, [&](TCanvas& c) {
        if (points.size() == 1) {
            c.Ellipse(sub[0].X - pen / 2, sub[0].Y - pen / 2, sub[0].X + pen / 2, sub[0].Y + pen / 2);
            return;
        }
        c.Pen().SetWidth(pen);
        c.Polyline(sub);
    });
}

void TArtPainter::StrokeRoundRect(const TBox& box, double radius, double width, const TPaint& paint)
{
    const TBox inner = box.Inset(width);
    const double innerRadius = std::max(0.0, radius - width);
    Paint(SubArea(box.X, box.Y, box.Right(), box.Bottom()), paint, [&](TCanvas& c) {
        c.RoundRect(Sub(box.X), Sub(box.Y), Sub(box.Right()), Sub(box.Bottom()), Sub(2 * radius), Sub(2 * radius));
        c.Brush().SetColor(clBlack);
        c.Pen().SetColor(clBlack);
        c.RoundRect(Sub(inner.X), Sub(inner.Y), Sub(inner.Right()), Sub(inner.Bottom()), Sub(2 * innerRadius),
                    Sub(2 * innerRadius));
    });
}

void TArtPainter::StrokeEllipse(const TBox& box, double width, const TPaint& paint)
{
    const TBox inner = box.Inset(width);
    Paint(SubArea(box.X, box.Y, box.Right(), box.Bottom()), paint, [&](TCanvas& c) {
        c.Ellipse(Sub(box.X), Sub(box.Y), Sub(box.Right()), Sub(box.Bottom()));
        c.Brush().SetColor(clBlack);
        c.Pen().SetColor(clBlack);
        c.Ellipse(Sub(inner.X), Sub(inner.Y), Sub(inner.Right()), Sub(inner.Bottom()));
    });
}

void TArtPainter::UseFont(TCanvas& canvas, const TTextStyle& style)
{
    canvas.Font().SetName(style.Font);
    canvas.Font().SetHeight(-Sub(style.Size));
    canvas.Font().SetStyle(TFontStyles((style.Bold ? fsBold : 0) | (style.Italic ? fsItalic : 0)));
    canvas.Font().SetColor(clWhite);
}

double TArtPainter::TextWidth(std::string_view text, const TTextStyle& style)
{
    TCanvas& canvas = FMask.Canvas();
    UseFont(canvas, style);
    return canvas.TextWidth(text) / double(S);
}

double TArtPainter::CellHeight(const TTextStyle& style)
{
    TCanvas& canvas = FMask.Canvas();
    UseFont(canvas, style);
    return canvas.FontCellHeight() / double(S);
}

double TArtPainter::Ascent(const TTextStyle& style)
{
    TCanvas& canvas = FMask.Canvas();
    UseFont(canvas, style);
    return canvas.FontAscent() / double(S);
}

void TArtPainter::Text(double x, double y, std::string_view text, const TTextStyle& style, const TPaint& paint)
{
    const double w = TextWidth(text, style);
    const double h = CellHeight(style);
    Paint(SubArea(x - style.Size / 4, y, x + w + style.Size / 4, y + h), paint, [&](TCanvas& c) {
        UseFont(c, style);
        c.Brush().SetStyle(bsClear);
        c.TextOut(Sub(x), Sub(y), text);
    });
}

void TArtPainter::TextCentred(double cx, double cy, std::string_view text, const TTextStyle& style,
                              const TPaint& paint)
{
    // Capitals of these faces are about 0.72 of the character height.
    const double capital = style.Size * 0.72;
    Text(cx - TextWidth(text, style) / 2, cy + capital / 2 - Ascent(style), text, style, paint);
}

std::unique_ptr<TBitmap> TArtPainter::Resolve() const
{
    auto result = std::make_unique<TBitmap>(FWidth, FHeight, pf24bit);
    for (int y = 0; y < FHeight; ++y) {
        std::uint8_t* out = result->ScanLine(y);
        for (int x = 0; x < FWidth; ++x)
            for (int k = 0; k < 3; ++k) {
                int sum = 0;
                for (int sy = 0; sy < S; ++sy) {
                    const std::uint8_t* in = FPixels.ScanLine(y * S + sy);
                    for (int sx = 0; sx < S; ++sx) sum += in[(x * S + sx) * 3 + k];
                }
                out[x * 3 + k] = std::uint8_t((sum + S * S / 2) / (S * S));
            }
    }
    return result;
}

std::unique_ptr<TBitmap> TArtPainter::ResolveKeyed(TColor key) const
{
    std::unique_ptr<TBitmap> result = Resolve();
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            bool inked = false;
            for (int sy = 0; sy < S && !inked; ++sy)
                for (int sx = 0; sx < S && !inked; ++sx)
                    inked = FInk[std::size_t(y * S + sy) * std::size_t(FWidth * S) + std::size_t(x * S + sx)] != 0;
            if (!inked) {
                result->SetPixel(x, y, key);
            } else if (result->Pixel(x, y) == key) {
                // A drawn pixel must never read as transparent.
                result->SetPixel(x, y, key ^ RGB(0, 1, 0));
            }
        }
    return result;
}

#include "platform/graphics/MetafilePlayer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/core/AnsiString.h"
#include "platform/graphics/CanvasRaster.h"
#include "platform/graphics/DeviceContext.h"

std::u32string DecodeAnsiText(std::span<const std::uint8_t> bytes, int charset)
{
    std::u32string text;
    text.reserve(bytes.size());
    const bool ansi = charset == 0 || charset == 1;  // ANSI_CHARSET, DEFAULT_CHARSET
    for (std::uint8_t b : bytes) text.push_back(ansi ? Cp1252ToUnicode(b) : char32_t(b));
    return text;
}

// Text turned by its escapement: laid out upright in a mask, then each
// target pixel takes the mask's pixel under it.
void TMetafilePlayer::RotatedText(TPointF at, double angle, std::u32string_view text, std::span<const int> advances,
                                  int width, bool opaque)
{
    const int ascent = FCanvas.FontAscent(), cell = FCanvas.FontCellHeight();
    const int pad = 2;
    const int mw = std::clamp(width, 1, 8192) + 2 * pad, mh = std::clamp(cell, 1, 4096) + 2 * pad;
    TBitmap mask(mw, mh, pf24bit);
    mask.Fill(clWhite);
    TCanvas& m = mask.Canvas();
    m.Font() = FCanvas.Font();
    m.Font().SetColor(clBlack);
    m.Brush().SetStyle(bsClear);
    m.TextOutUnicode(pad, pad, text, advances);
    // (u, v) along and across the baseline, from the reference point.
    double u0 = 0, v0 = 0;
    const unsigned horizontal = FState.TextAlign & 6;
    if (horizontal == 6) u0 = -width / 2.0;
    else if (horizontal == 2) u0 = -width;
    const unsigned vertical = FState.TextAlign & 24;
    if (vertical == 24) v0 = -ascent;
    else if (vertical == 8) v0 = -cell;
    const double c = std::cos(angle), s = std::sin(angle);
    // The mask's corners on the target give the area to visit.
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (auto [u, v] : {std::pair{u0 - pad, v0 - pad}, std::pair{u0 + mw - pad, v0 - pad},
                        std::pair{u0 - pad, v0 + mh - pad}, std::pair{u0 + mw - pad, v0 + mh - pad}}) {
        const double x = at.X + u * c + v * s, y = at.Y - u * s + v * c;
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    ApplyClip();
    TCanvasRaster raster(FCanvas);
    const TRect box = IntersectRect({Clamp32(std::floor(minX)), Clamp32(std::floor(minY)), Clamp32(std::ceil(maxX)),
                                     Clamp32(std::ceil(maxY))}, raster.Clip());
    TPixelView view(mask);
    const TColor ink = FState.TextColor & 0xFFFFFF, back = FState.BkColor & 0xFFFFFF;
    // Each target pixel looks at 3 x 3 points of the mask, so that strokes
    // one pixel wide do not break up when they run across the grid; quarter
    // turns map pixel onto pixel.
    const double turn = std::fmod(std::fabs(angle), std::numbers::pi / 2);
    const bool quarter = turn < 1e-6 || std::numbers::pi / 2 - turn < 1e-6;
    const auto inMask = [&](double u, double v) {
        const int i = int(std::floor(u - u0)) + pad, j = int(std::floor(v - v0)) + pad;
        return i >= 0 && j >= 0 && i < mw && j < mh ? view.Get(i, j) == 0 : false;
    };
    for (int y = box.Top; y < box.Bottom; ++y)
        for (int x = box.Left; x < box.Right; ++x) {
            const double dx = x + 0.5 - at.X, dy = y + 0.5 - at.Y;
            const double u = dx * c - dy * s, v = dx * s + dy * c;
            int hits = 0;
            if (quarter) hits = inMask(u, v) ? 9 : 0;
            else for (double oy : {-1 / 3.0, 0.0, 1 / 3.0})
                for (double ox : {-1 / 3.0, 0.0, 1 / 3.0}) hits += inMask(u + ox * c - oy * s, v + ox * s + oy * c);
            if (hits >= 3) {
                raster.Put(x, y, ink);
                continue;
            }
            const double i = u - u0, j = v - v0;
            if (opaque && i >= 0 && j >= 0 && i < mw - 2 * pad && j < mh - 2 * pad) raster.Put(x, y, back);
        }
}

void TMetafilePlayer::TextOut(double x, double y, std::u32string_view text, std::span<const int> advances,
                              unsigned options, std::optional<std::array<double, 4>> rect)
{
    const bool updateCp = (FState.TextAlign & 1) != 0;
    if (updateCp) {
        x = FState.PosX;
        y = FState.PosY;
    }
    const TMetaFont& f = FState.Font;
    TFont& font = FCanvas.Font();
    font.SetName(f.Face.empty() ? std::string("Arial") : f.Face);
    // Negative heights are character heights, positive ones cell heights,
    // as the canvas's font takes them.
    const double h = f.Height * ScaleY();
    font.SetHeight(f.Height == 0 ? -12 : std::clamp(Clamp32(h), -1000, 1000));
    if (font.Height() == 0) font.SetHeight(f.Height < 0 ? -1 : 1);
    font.SetStyle(TFontStyles((f.Weight >= 600 ? fsBold : 0) | (f.Italic ? fsItalic : 0) |
                              (f.Underline ? fsUnderline : 0) | (f.StrikeOut ? fsStrikeOut : 0)));
    font.SetColor(FState.TextColor & 0xFFFFFF);
    std::vector<int> deviceAdvances;
    int width = 0;
    if (!advances.empty()) {
        double acc = 0;
        int last = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            acc += (i < advances.size() ? advances[i] : 0) * ScaleX();
            const int now = Clamp32(acc);
            deviceAdvances.push_back(now - last);
            last = now;
        }
        width = last;
    } else {
        width = FCanvas.TextWidthUnicode(text);
    }
    ApplyClip();
    TBrush& brush = FCanvas.Brush();
    brush.SetBitmap(nullptr);
    brush.SetColor(FState.BkColor & 0xFFFFFF);
    if (rect) {
        const TPoint a = Map((*rect)[0], (*rect)[1]), c = Map((*rect)[2], (*rect)[3]);
        const TRect r{std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y)};
        if (options & 2) FCanvas.FillRect(r);  // ETO_OPAQUE
        const TPoint o = FCanvas.Origin();
        if (options & 4)
            FCanvas.SetClipRect(IntersectRect(FCanvas.ClipRect(), {r.Left + o.X, r.Top + o.Y, r.Right + o.X, r.Bottom + o.Y}));
    }
    const bool opaque = FState.BkMode == OPAQUE && !(options & 2);
    // Escapement in tenths of a degree, counter-clockwise; a world transform turns it further.
    const TXForm& w = FState.World;
    const double angle = f.Escapement * std::numbers::pi / 1800 + std::atan2(-w.M12, w.M11);
    const TPointF at = MapF(x, y);
    if (std::fabs(angle) > 1e-3) {
        RotatedText(at, angle, text, deviceAdvances, width, opaque);
    } else {
        TPoint p{Clamp32(at.X), Clamp32(at.Y)};
        const unsigned horizontal = FState.TextAlign & 6;
        if (horizontal == 6) p.X -= width / 2;      // TA_CENTER
        else if (horizontal == 2) p.X -= width;     // TA_RIGHT
        const unsigned vertical = FState.TextAlign & 24;
        if (vertical == 24) p.Y -= FCanvas.FontAscent();          // TA_BASELINE
        else if (vertical == 8) p.Y -= FCanvas.FontCellHeight();  // TA_BOTTOM
        brush.SetStyle(opaque ? bsSolid : bsClear);
        FCanvas.TextOutUnicode(p.X, p.Y, text, deviceAdvances);
    }
    if (updateCp) {
        // The current position moves by the text's width in logical units.
        const double sx = ScaleX();
        FState.PosX += sx > 0 ? width / sx : 0;
    }
}

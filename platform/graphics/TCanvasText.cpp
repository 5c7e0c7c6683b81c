#include "platform/graphics/TCanvas.h"

#include <algorithm>
#include <vector>

#include "platform/core/AnsiString.h"
#include "platform/graphics/CanvasRaster.h"
#include "platform/graphics/FontEngine.h"

std::shared_ptr<TFontInstance> FontInstanceOf(const TFont& font)
{
    return FontInstance({font.Name(), font.Height(), (font.Style() & fsBold) != 0, (font.Style() & fsItalic) != 0});
}

namespace {

std::u32string ToUnicode(std::string_view text)
{
    std::u32string result;
    result.reserve(text.size());
    for (unsigned char c : text) result.push_back(Cp1252ToUnicode(c));
    return result;
}

// One line of laid-out text: characters with their advances.
struct TRun {
    std::u32string Text;
    std::vector<int> Advances;
    int Underlined = -1;  // index of the character a '&' prefix marks
    // Held to +-2^28, like every coordinate the canvas draws at.
    int Width() const
    {
        long long w = 0;
        for (int a : Advances) w += a;
        return int(std::clamp(w, -(1LL << 28), 1LL << 28));
    }
};

TRun Layout(TFontInstance& font, std::u32string_view text, bool expandTabs, int underlined = -1)
{
    TRun run;
    run.Underlined = underlined;
    const int tabStop = 8 * std::max(1, font.Metrics().AveCharWidth);
    int x = 0;
    for (char32_t c : text) {
        int advance;
        if (c == U'\t' && expandTabs) advance = tabStop - x % tabStop;
        else advance = font.Advance(c);
        run.Text.push_back(c);
        run.Advances.push_back(advance);
        x += advance;
    }
    return run;
}

// Draws glyphs from the top of the cell at (x, y), clipped to `clip` (canvas
// coordinates) and to the canvas.
void DrawRun(TCanvas& canvas, TFontInstance& font, const TRun& run, int x, int y, const TRect* clip)
{
    TCanvasRaster raster(canvas);
    const TRect area = clip ? IntersectRect(*clip, raster.Clip()) : raster.Clip();
    if (area.IsEmpty()) return;
    const TFont& f = canvas.Font();
    const TColor color = ColorToRGB(f.Color()) & 0xFFFFFF;
    const TFontMetrics& m = font.Metrics();
    const int baseline = y + m.Ascent;
    const auto put = [&](int px, int py) {
        if (area.Contains({px, py})) raster.Put(px, py, color);
    };
    const auto hline = [&](int x1, int x2, int top, int thickness) {
        for (int py = top; py < top + thickness; ++py)
            for (int px = std::max(x1, area.Left); px < std::min(x2, area.Right); ++px) put(px, py);
    };
    int penX = x;
    for (std::size_t i = 0; i < run.Text.size(); ++i) {
        const char32_t c = run.Text[i];
        const int advance = run.Advances[i];
        if (penX >= area.Right || std::abs(penX) > (1 << 28)) break;
        if (c != U'\t' && penX + advance + font.PixelSize() >= area.Left) {
            const TGlyph& g = font.Glyph(c);
            const int gx = penX + g.Left;
            const int gy = baseline - g.Top;
            for (int row = 0; row < g.Height; ++row) {
                if (gy + row < area.Top || gy + row >= area.Bottom) continue;
                for (int col = 0; col < g.Width; ++col)
                    if (g.On(col, row)) put(gx + col, gy + row);
            }
        }
        if (int(i) == run.Underlined) hline(penX, penX + advance, baseline + m.UnderlinePosition, m.UnderlineThickness);
        penX += std::clamp(advance, -(1 << 20), 1 << 20);
    }
    if (f.Style() & fsUnderline) hline(x, penX, baseline + m.UnderlinePosition, m.UnderlineThickness);
    if (f.Style() & fsStrikeOut) hline(x, penX, baseline - m.StrikeoutPosition, m.StrikeoutThickness);
}

void FillCell(TCanvas& canvas, const TRect& cell, const TRect* clip)
{
    if (canvas.Brush().Style() == bsClear) return;
    TCanvasRaster raster(canvas);
    TRect area = IntersectRect(cell, raster.Clip());
    if (clip) area = IntersectRect(area, *clip);
    const TColor color = ColorToRGB(canvas.Brush().Color()) & 0xFFFFFF;
    for (int y = area.Top; y < area.Bottom; ++y) raster.Span(y, area.Left, area.Right, color);
}

// Splits at CR LF, CR or LF.
std::vector<std::u32string> SplitLines(std::u32string_view text)
{
    std::vector<std::u32string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == U'\r' || c == U'\n') {
            if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
            lines.emplace_back();
        } else {
            lines.back().push_back(c);
        }
    }
    return lines;
}

// Removes '&' prefixes: "&&" is one '&', "&x" marks x as underlined.
std::u32string StripPrefix(std::u32string_view text, int& underlined)
{
    std::u32string result;
    underlined = -1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != U'&') underlined = int(result.size());
        } else if (text[i] == U'&') {
            continue;
        }
        result.push_back(text[i]);
    }
    return result;
}

// Breaks a line into pieces that fit `width`, at blanks where possible; a
// word longer than the width is cut where it overflows.
std::vector<std::u32string> WordBreak(TFontInstance& font, const std::u32string& line, int width, bool expandTabs)
{
    std::vector<std::u32string> pieces;
    const int tabStop = 8 * std::max(1, font.Metrics().AveCharWidth);
    std::size_t start = 0;
    while (start < line.size()) {
        std::size_t end = start;
        std::size_t lastBreak = std::u32string::npos;
        long long x = 0;
        while (end < line.size()) {
            const char32_t c = line[end];
            const int advance = c == U'\t' && expandTabs ? tabStop - int(x % tabStop) : font.Advance(c);
            if (x + advance > width && end > start) break;
            x += advance;
            if (c == U' ') lastBreak = end;
            ++end;
        }
        // A blank where the line overflows is a break by itself.
        if (end < line.size() && line[end] != U' ' && lastBreak != std::u32string::npos && lastBreak > start)
            end = lastBreak;
        pieces.push_back(line.substr(start, end - start));
        start = end;
        while (start < line.size() && line[start] == U' ') ++start;
    }
    if (pieces.empty()) pieces.emplace_back();
    return pieces;
}

}  // namespace

int TCanvas::FontAscent() { return FontInstanceOf(FFont)->Metrics().Ascent; }

int TCanvas::FontCellHeight() { return FontInstanceOf(FFont)->Metrics().Height; }

int TCanvas::TextWidthUnicode(std::u32string_view text)
{
    auto font = FontInstanceOf(FFont);
    int width = 0;
    for (char32_t c : text) width += font->Advance(c);
    return width;
}

int TCanvas::TextWidth(std::string_view text) { return TextWidthUnicode(ToUnicode(text)); }

int TCanvas::TextHeight(std::string_view) { return FontCellHeight(); }

TPoint TCanvas::TextExtent(std::string_view text) { return {TextWidth(text), TextHeight(text)}; }

void TCanvas::TextOutUnicode(int x, int y, std::u32string_view text, std::span<const int> advances)
{
    // Nothing placed this far out can reach the bitmap.
    if (std::abs(static_cast<long long>(x)) > (1 << 28) || std::abs(static_cast<long long>(y)) > (1 << 28)) return;
    auto font = FontInstanceOf(FFont);
    TRun run = Layout(*font, text, false);
    for (std::size_t i = 0; i < advances.size() && i < run.Advances.size(); ++i)
        run.Advances[i] = std::clamp(advances[i], -(1 << 20), 1 << 20);
    const int width = run.Width();
    FillCell(*this, {x, y, x + width, y + font->Metrics().Height}, nullptr);
    DrawRun(*this, *font, run, x, y, nullptr);
}

void TCanvas::TextOut(int x, int y, std::string_view text)
{
    const std::u32string unicode = ToUnicode(text);
    TextOutUnicode(x, y, unicode);
    FPenPos = {x + TextWidthUnicode(unicode), y};
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text)
{
    auto font = FontInstanceOf(FFont);
    const TRun run = Layout(*font, ToUnicode(text), false);
    FillCell(*this, rect, &rect);
    DrawRun(*this, *font, run, x, y, &rect);
}

int TCanvas::DrawText(std::string_view text, TRect& rect, unsigned format)
{
    auto font = FontInstanceOf(FFont);
    const TFontMetrics& m = font->Metrics();
    const bool expandTabs = (format & DT_EXPANDTABS) != 0;
    std::u32string unicode = ToUnicode(text);
    std::vector<std::u32string> lines;
    if (format & DT_SINGLELINE) lines.push_back(unicode);
    else lines = SplitLines(unicode);
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
        std::vector<std::u32string> broken;
        for (const auto& line : lines)
            for (auto& piece : WordBreak(*font, line, rect.Width(), expandTabs)) broken.push_back(std::move(piece));
        lines = std::move(broken);
    }
    std::vector<TRun> runs;
    int widest = 0;
    for (const auto& line : lines) {
        int underlined = -1;
        const std::u32string shown = (format & DT_NOPREFIX) ? line : StripPrefix(line, underlined);
        runs.push_back(Layout(*font, shown, expandTabs, underlined));
        widest = std::max(widest, runs.back().Width());
    }
    const int height = int(runs.size()) * m.Height;
    if (format & DT_CALCRECT) {
        rect.Right = rect.Left + widest;
        rect.Bottom = rect.Top + height;
        return height;
    }
    int y = rect.Top;
    if (format & DT_SINGLELINE) {
        if (format & DT_BOTTOM) y = rect.Bottom - m.Height;
        else if (format & DT_VCENTER) y = rect.Top + (rect.Height() - m.Height) / 2;
    }
    const TRect* clip = (format & DT_NOCLIP) ? nullptr : &rect;
    for (const TRun& run : runs) {
        const int w = run.Width();
        int x = rect.Left;
        if (format & DT_CENTER) x = rect.Left + (rect.Width() - w) / 2;
        else if (format & DT_RIGHT) x = rect.Right - w;
        FillCell(*this, {x, y, x + w, y + m.Height}, clip);
        DrawRun(*this, *font, run, x, y, clip);
        y += m.Height;
    }
    return height;
}

#include <algorithm>
#include <vector>

#include "gif/ColorLookup.h"
#include "gif/Dithering.h"
#include "gif/GIFFrameBitmap.h"
#include "gif/GIFImage.h"
#include "gif/GIFSubImage.h"

namespace {

// round(n / d) for n, d >= 0, halves to even.
int RoundDiv(int n, int d)
{
    const int q = n / d;
    const int r = n % d;
    if (2 * r > d || (2 * r == d && (q & 1)))
        return q + 1;
    return q;
}

}  // namespace

int DitherFillIndex(TColor transparent)
{
    const int r = GetRValue(transparent);
    const int g = GetGValue(transparent);
    const int b = GetBValue(transparent);
    return (RoundDiv(36 * r, 51) + RoundDiv(6 * g, 51) + b / 51 + 1) & 0xFF;
}

TGIFFrameBitmap RenderFrameDithered(TGIFSubImage& frame, const TFrameSample& sample)
{
    TGIFFrameBitmap result;
    if (frame.Empty() || sample.Columns.empty() || sample.Rows.empty())
        return result;
    const int width = frame.Width();
    const int height = frame.Height();
    const int partWidth = static_cast<int>(sample.Columns.size());
    const int partHeight = static_cast<int>(sample.Rows.size());
    frame.NeedImage();
    const TGIFSubImage& pixels = frame;
    auto bitmap = std::make_unique<TBitmap>(partWidth, partHeight, pf8bit);
    // The indexes are the cube's, whatever palette the frame kept before.
    std::vector<TRGBQuad> palette;
    const TPaletteHandle web(CreateColorCubePalette());
    for (const PALETTEENTRY& e : PaletteEntries(web.get()))
        palette.push_back({e.peBlue, e.peGreen, e.peRed, 0});
    palette.resize(256);
    bitmap->SetPalette(std::move(palette));

    // Colours of the frame's indexes; an index past the map is black.
    TGIFColorMap& map = frame.ActiveColorMap();
    std::array<TGIFColor, 256> colours{};
    for (int i = 0; i < map.Count(); ++i)
        colours[std::size_t(i)] = map.Entry(i);

    const int transparentIndex = frame.MaskedIndex();
    const bool masked = transparentIndex >= 0;
    std::uint8_t fill = 0;
    std::unique_ptr<TBitmap> mask;
    bool anyMasked = false;
    if (masked) {
        const TGIFColor& t = colours[std::size_t(transparentIndex)];
        fill = std::uint8_t(DitherFillIndex(RGB(t.Red, t.Green, t.Blue)));
        mask = std::make_unique<TBitmap>(partWidth, partHeight, pf1bit);
        mask->SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
        std::ranges::fill(mask->Bits(), std::uint8_t(0));
    }

    // The error flows along rows and downwards, so every row above the last
    // sampled one is diffused in full.
    const int lastRow = sample.Rows.back();
    std::vector<std::uint8_t> dithered(static_cast<std::size_t>(width));
    TNetscapeColorLookup lookup;
    TFloydSteinbergDitherer engine(width, lookup);
    std::size_t j = 0;
    for (int y = 0; y < height; ++y) {
        FrameRowProgress(frame, y, height, "Rendering...");
        if (y > lastRow)
            continue;
        const std::uint8_t* source = pixels.Scanline(y);
        std::uint8_t* target = dithered.data();
        if (masked)
            std::fill_n(target, width, fill);
        for (int x = engine.Column(); x >= 0 && x < width; x = engine.Column()) {
            const int index = source[x];
            // Without a mask the transparent index is a colour like any other.
            if (index == transparentIndex) {
                engine.SkipColumn();
                continue;
            }
            const TGIFColor& c = colours[std::size_t(index)];
            target[x] = std::uint8_t(engine.Dither(c.Red, c.Green, c.Blue));
        }
        engine.NextLine();
        for (; j < sample.Rows.size() && sample.Rows[j] == y; ++j) {
            std::uint8_t* out = bitmap->ScanLine(static_cast<int>(j));
            std::uint8_t* bits = masked ? mask->ScanLine(static_cast<int>(j)) : nullptr;
            for (int i = 0; i < partWidth; ++i) {
                const int x = sample.Columns[std::size_t(i)];
                out[i] = target[x];
                if (masked && source[x] == transparentIndex) {
                    bits[i >> 3] |= std::uint8_t(0x80 >> (i & 7));
                    anyMasked = true;
                }
            }
        }
    }
    result.Bitmap = std::move(bitmap);
    if (anyMasked)
        result.Mask = std::move(mask);
    return result;
}

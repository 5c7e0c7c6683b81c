#include "gif/ColorLookup.h"

#include <algorithm>
#include <cstdlib>

#include "gif/GIFPalettes.h"

TFastColorLookup::TFastColorLookup(HPALETTE palette) : TColorLookup(0), FCache(32768, -1)
{
    std::vector<PALETTEENTRY> entries = PaletteEntries(palette);
    if (entries.size() > 256) entries.resize(256);
    for (const PALETTEENTRY& e : entries) FPalette.push_back({e.peRed, e.peGreen, e.peBlue});
    FColors = int(FPalette.size());
    for (std::size_t i = 0; i < FPalette.size(); ++i) {
        std::int16_t& slot = FCache[std::size_t(Bucket(FPalette[i].Red, FPalette[i].Green, FPalette[i].Blue))];
        if (slot < 0) slot = std::int16_t(i);
    }
}

int TFastColorLookup::Search(int red, int green, int blue) const
{
    int best = 0;
    int bestDistance = 0x30000;
    for (std::size_t i = 0; i < FPalette.size(); ++i) {
        const TPaletteColor& c = FPalette[i];
        const int distance = std::abs(c.Red - red) + std::abs(c.Green - green) + std::abs(c.Blue - blue);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = int(i);
            if (distance == 0) break;
        }
    }
    return best;
}

int TFastColorLookup::Lookup(int red, int green, int blue, TPaletteColor& color)
{
    if (FPalette.empty()) {
        color = {};
        return 0;
    }
    red = std::clamp(red, 0, 255);
    green = std::clamp(green, 0, 255);
    blue = std::clamp(blue, 0, 255);
    std::int16_t& slot = FCache[std::size_t(Bucket(red, green, blue))];
    if (slot < 0) slot = std::int16_t(Search(red, green, blue));
    color = FPalette[std::size_t(slot)];
    return slot;
}

int TNetscapeColorLookup::Lookup(int red, int green, int blue, TPaletteColor& color)
{
    const int r = (red + 3) / 51;
    const int g = (green + 3) / 51;
    const int b = (blue + 3) / 51;
    color = {51 * r, 51 * g, 51 * b};
    return 36 * r + 6 * g + b;
}

int TGrayScaleLookup::Lookup(int red, int green, int blue, TPaletteColor& color)
{
    const int y = (77 * red + 150 * green + 29 * blue) >> 8;
    color = {y, y, y};
    return y;
}

int TMonochromeLookup::Lookup(int red, int green, int blue, TPaletteColor& color)
{
    if (77 * red + 150 * green + 29 * blue >= 32513) {
        color = {255, 255, 255};
        return 1;
    }
    color = {0, 0, 0};
    return 0;
}

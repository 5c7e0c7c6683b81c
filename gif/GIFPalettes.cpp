#include "gif/GIFPalettes.h"

#include <initializer_list>

#include "platform/core/Exceptions.h"

namespace {

HPALETTE CreateGreys(std::initializer_list<BYTE> levels)
{
    std::vector<PALETTEENTRY> entries;
    for (const BYTE level : levels) entries.push_back({level, level, level, PC_NOCOLLAPSE});
    return CreatePalette(entries);
}

}  // namespace

HPALETTE SystemDefaultPalette()
{
    return static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
}

HPALETTE CreateScreenHalftonePalette()
{
    HDC screen = GetDC(0);
    if (!screen) throw EOutOfResources("Systemressourcen ersch\xF6pft.");
    HPALETTE palette = CreateHalftonePalette(screen);
    ReleaseDC(0, screen);
    return palette;
}

HPALETTE CreateFourGreyPalette()
{
    return CreateGreys({0x00, 0x80, 0xC0, 0xFF});
}

HPALETTE CreateBlackWhitePalette()
{
    return CreateGreys({0x00, 0xFF});
}

HPALETTE CreateGreyScalePalette()
{
    std::vector<PALETTEENTRY> entries;
    for (int i = 0; i < 256; ++i) entries.push_back({BYTE(i), BYTE(i), BYTE(i), PC_NOCOLLAPSE});
    return CreatePalette(entries);
}

HPALETTE CreateColorCubePalette()
{
    std::vector<PALETTEENTRY> entries;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) entries.push_back({BYTE(51 * r), BYTE(51 * g), BYTE(51 * b), 0});
    return CreatePalette(entries);
}

HPALETTE CopyPalette(HPALETTE palette)
{
    const std::vector<PALETTEENTRY> entries = PaletteEntries(palette);
    return entries.empty() ? nullptr : CreatePalette(entries);
}

std::vector<PALETTEENTRY> PaletteEntries(HPALETTE palette)
{
    if (!palette) return {};
    std::vector<PALETTEENTRY> entries(GetPaletteEntries(palette, 0, 0, nullptr));
    if (!entries.empty()) entries.resize(GetPaletteEntries(palette, 0, UINT(entries.size()), entries.data()));
    return entries;
}

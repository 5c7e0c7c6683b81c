#pragma once

// The palettes colour reduction chooses from. Every constructor gives a new
// handle that the caller deletes (TPaletteHandle does it); the system's default
// palette is the stock object, which DeleteObject leaves alone.

#include <memory>
#include <vector>

#include "platform/graphics/DeviceContext.h"

struct TPaletteDeleter {
    void operator()(HPALETTE palette) const { DeleteObject(palette); }
};
using TPaletteHandle = std::unique_ptr<TGdiPalette, TPaletteDeleter>;

// The 20 static colours (the stock object itself).
HPALETTE SystemDefaultPalette();
// The screen's halftone palette. A screen context that cannot be had raises
// EOutOfResources.
HPALETTE CreateScreenHalftonePalette();
// 0x00, 0x80, 0xC0, 0xFF, each entry PC_NOCOLLAPSE.
HPALETTE CreateFourGreyPalette();
// Black and white, PC_NOCOLLAPSE.
HPALETTE CreateBlackWhitePalette();
// Entry i is (i, i, i), PC_NOCOLLAPSE.
HPALETTE CreateGreyScalePalette();
// Entry 36r + 6g + b is (51r, 51g, 51b), no flags.
HPALETTE CreateColorCubePalette();
// A copy of every entry of `palette`; nullptr for no palette or no entries.
HPALETTE CopyPalette(HPALETTE palette);

// All entries of a palette (none for an invalid handle).
std::vector<PALETTEENTRY> PaletteEntries(HPALETTE palette);

#pragma once

// The ICO file reader behind TIcon. Not part of the graphics interface:
// include only from platform/graphics/*.cpp.

#include <cstdint>
#include <memory>
#include <span>

#include "platform/graphics/TBitmap.h"

namespace ico {

// The size whose image an icon file gives: the platform's large icon.
constexpr int PreferredSize = 32;

struct TIconImage {
    int Entry = 0;                  // the directory entry read, from 0
    std::unique_ptr<TBitmap> Image; // the colour image in its own format (1, 4, 8, 24 or 32 bits)
    std::unique_ptr<TBitmap> Mask;  // the AND mask, 1 bit per pixel, black and white: 1 is transparent
};

// Reads the image the file gives: the first 32 x 32 entry with the most bits
// per pixel, or the first entry when none is 32 x 32. Every directory entry
// must lie inside the file. Raises EInvalidGraphic "Icon image is not valid:
// <why>" for anything the file does not hold as it says, before allocating
// for it; PNG-coded entries are refused too.
TIconImage ReadIco(std::span<const std::uint8_t> file);

}  // namespace ico

#pragma once

// Colour lookups: each maps a colour (channels 0..255) to a palette index and
// gives back the colour of that index, so that a ditherer can spread the error.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/graphics/DeviceContext.h"

struct TPaletteColor {
    int Red = 0;
    int Green = 0;
    int Blue = 0;
    friend bool operator==(const TPaletteColor&, const TPaletteColor&) = default;
};

class TColorLookup {
public:
    explicit TColorLookup(int colors) : FColors(colors) {}
    virtual ~TColorLookup() = default;
    // The number of palette colours the lookup answers with; 0 means it cannot map.
    int Colors() const { return FColors; }
    virtual int Lookup(int red, int green, int blue, TPaletteColor& color) = 0;

protected:
    int FColors;
};

// Nearest colour over any palette by the least |dr| + |dg| + |db|, the first
// entry of equals. Answers are cached per 15-bit bucket (5 bits a channel):
// once a bucket holds an index, every colour of that bucket gets it. A palette
// entry claims the empty bucket of its own colour first, in index order.
class TFastColorLookup : public TColorLookup {
public:
    // Reads the first 256 entries of the palette at most.
    explicit TFastColorLookup(HPALETTE palette);
    int Lookup(int red, int green, int blue, TPaletteColor& color) override;

private:
    static int Bucket(int red, int green, int blue) { return (red >> 3) | ((green >> 3) << 5) | ((blue >> 3) << 10); }
    int Search(int red, int green, int blue) const;

    std::vector<TPaletteColor> FPalette;
    std::vector<std::int16_t> FCache;
};

// The 216-colour cube: each channel to the step (c + 3) div 51 of 51.
class TNetscapeColorLookup : public TColorLookup {
public:
    TNetscapeColorLookup() : TColorLookup(216) {}
    int Lookup(int red, int green, int blue, TPaletteColor& color) override;
};

// 256 greys by the luminance (77 r + 150 g + 29 b) shr 8.
class TGrayScaleLookup : public TColorLookup {
public:
    TGrayScaleLookup() : TColorLookup(256) {}
    int Lookup(int red, int green, int blue, TPaletteColor& color) override;
};

// Black (0) or white (1) at the luminance threshold 32 513 of 65 280.
class TMonochromeLookup : public TColorLookup {
public:
    TMonochromeLookup() : TColorLookup(2) {}
    int Lookup(int red, int green, int blue, TPaletteColor& color) override;
};

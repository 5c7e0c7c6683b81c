#pragma once

// Reduction of a bitmap to an 8-bit palette bitmap: a palette chosen by the
// reduction method, a lookup that maps colours into it and a dither engine
// that spreads the error of each pixel.

#include <cstdint>
#include <memory>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/TBitmap.h"

// Reduction methods: the picture's ReductionMethod setting.
constexpr int rmNone = 0;            // a 24-bit copy
constexpr int rmSystemColors = 1;    // the 20 static colours
constexpr int rmHalftone = 2;        // the screen's halftone palette
constexpr int rmFourGreys = 3;
constexpr int rmBlackWhite = 4;
constexpr int rmGreyScale = 5;       // 256 greys
constexpr int rmColorCube = 6;       // 216 colours, 51 apart
constexpr int rmOctree = 7;          // 2^bits colours
constexpr int rmOctreeSystem = 8;    // 236 colours between the 20 static ones
constexpr int rmGivenPalette = 9;

// Dither modes: the picture's DitherKind setting.
constexpr int dmNearest = 0;
constexpr int dmFloydSteinberg = 1;
constexpr int dmStucki = 2;
constexpr int dmSierra = 3;
constexpr int dmJarvisJudiceNinke = 4;
constexpr int dmStevensonArce = 5;
constexpr int dmBurkes = 6;

// A new bitmap the caller owns: 8 bits per pixel with the method's palette (a
// 256-entry table), or for rmNone a 24-bit copy. Reading the source converts
// it to 24 bits. A method above 9, a mode above 6 or a palette without colours
// gives an empty bitmap. `palette` is used by rmGivenPalette only; `bits`
// (clamped to 1..8) by rmOctree only.
std::unique_ptr<TBitmap> ReduceToPalette(TBitmap& source, int method, int ditherMode, HPALETTE palette, int bits);

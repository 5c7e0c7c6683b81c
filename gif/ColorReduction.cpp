#include "gif/ColorReduction.h"

#include <algorithm>

#include "gif/ColorLookup.h"
#include "gif/DIB.h"
#include "gif/Dithering.h"
#include "gif/GIFPalettes.h"
#include "gif/OctreeQuantizer.h"

namespace {

// Big results used to free their old pixels first: more than this many pixels.
constexpr long long LargePicture = 500000;

HPALETTE MakePalette(TBitmap& source, int method, HPALETTE given, int bits)
{
    switch (method) {
    case rmSystemColors: return SystemDefaultPalette();
    case rmHalftone: return CreateScreenHalftonePalette();
    case rmFourGreys: return CreateFourGreyPalette();
    case rmBlackWhite: return CreateBlackWhitePalette();
    case rmGreyScale: return CreateGreyScalePalette();
    case rmColorCube: return CreateColorCubePalette();
    case rmOctree: return BuildOctreePalette(source, 1 << std::clamp(bits, 1, 8), 8, false);
    case rmOctreeSystem: return BuildOctreePalette(source, 236, 8, true);
    default: return CopyPalette(given);
    }
}

std::unique_ptr<TColorLookup> MakeLookup(int method, HPALETTE palette)
{
    switch (method) {
    case rmBlackWhite: return std::make_unique<TMonochromeLookup>();
    case rmGreyScale: return std::make_unique<TGrayScaleLookup>();
    case rmColorCube: return std::make_unique<TNetscapeColorLookup>();
    default: return std::make_unique<TFastColorLookup>(palette);
    }
}

std::unique_ptr<TDitherEngine> MakeEngine(int mode, int width, TColorLookup& lookup)
{
    switch (mode) {
    case dmNearest: return std::make_unique<TDitherEngine>(width, lookup);
    case dmFloydSteinberg: return std::make_unique<TFloydSteinbergDitherer>(width, lookup);
    case dmStucki: return std::make_unique<TStuckiDitherer>(width, lookup);
    case dmSierra: return std::make_unique<TSierraDitherer>(width, lookup);
    case dmJarvisJudiceNinke: return std::make_unique<TJaJuNiDitherer>(width, lookup);
    case dmStevensonArce: return std::make_unique<TSteveArcheDitherer>(width, lookup);
    case dmBurkes: return std::make_unique<TBurkesDitherer>(width, lookup);
    default: return nullptr;
    }
}

}  // namespace

std::unique_ptr<TBitmap> ReduceToPalette(TBitmap& source, int method, int ditherMode, HPALETTE palette, int bits)
{
    auto result = std::make_unique<TBitmap>();
    if (method == rmNone) {
        result->Assign(source);
        result->SetPixelFormat(pf24bit);
        return result;
    }
    if (static_cast<long long>(source.Width()) * source.Height() > LargePicture) result->SetPixelFormat(pf1bit);
    const TDIBReader reader(source, pf24bit);
    if (method < 0 || method > rmGivenPalette) return result;

    const TPaletteHandle reduced(MakePalette(source, method, palette, bits));
    const std::unique_ptr<TColorLookup> lookup = MakeLookup(method, reduced.get());
    if (lookup->Colors() == 0) return result;
    const std::unique_ptr<TDitherEngine> engine = MakeEngine(ditherMode, reader.Width(), *lookup);
    if (!engine) return result;

    TDIBWriter writer(*result, pf8bit, reader.Width(), reader.Height(), reduced.get());
    const int width = reader.Width();
    for (int y = 0; y < reader.Height(); ++y) {
        const std::uint8_t* from = reader.ScanLine(y);
        std::uint8_t* to = writer.ScanLine(y);
        for (int x = engine->Column(); x >= 0 && x < width; x = engine->Column()) {
            const std::uint8_t* p = from + 3 * std::size_t(x);
            to[x] = static_cast<std::uint8_t>(engine->Dither(p[2], p[1], p[0]));
        }
        engine->NextLine();
    }
    writer.Store();
    return result;
}

#include "gif/ColorReduction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "gif/GIFPalettes.h"
#include "platform/core/Exceptions.h"

namespace {

// A small picture of every kind of colour: greys, primaries, mixtures.
std::unique_ptr<TBitmap> Sample(TPixelFormat format = pf24bit)
{
    auto bitmap = std::make_unique<TBitmap>(9, 7, format);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) bitmap->SetPixel(x, y, RGB(x * 31, y * 42, (x * y * 13) & 0xFF));
    return bitmap;
}

std::vector<TRGBQuad> Quads(std::vector<PALETTEENTRY> entries)
{
    std::vector<TRGBQuad> quads;
    for (const PALETTEENTRY& e : entries) quads.push_back({e.peBlue, e.peGreen, e.peRed, 0});
    quads.resize(256);
    return quads;
}

TEST(ReduceToPalette, EachMethodGivesAnEightBitBitmapWithItsPalette)
{
    const PALETTEENTRY given[] = {{255, 0, 0, PC_NOCOLLAPSE}, {0, 0, 255, 0}, {9, 9, 9, 0}};
    const TPaletteHandle givenPalette(CreatePalette(given));
    struct TCase {
        const char* Name;
        int Method;
        HPALETTE Expected;
    };
    const TPaletteHandle fourGreys(CreateFourGreyPalette()), blackWhite(CreateBlackWhitePalette()),
        greys(CreateGreyScalePalette()), cube(CreateColorCubePalette()), halftone(CreateScreenHalftonePalette());
    const TCase cases[] = {
        {"system colours", rmSystemColors, SystemDefaultPalette()},
        {"halftone", rmHalftone, halftone.get()},
        {"four greys", rmFourGreys, fourGreys.get()},
        {"black and white", rmBlackWhite, blackWhite.get()},
        {"grey scale", rmGreyScale, greys.get()},
        {"cube", rmColorCube, cube.get()},
        {"given", rmGivenPalette, givenPalette.get()},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto source = Sample();
        const std::unique_ptr<TBitmap> result = ReduceToPalette(*source, c.Method, dmNearest, givenPalette.get(), 8);
        ASSERT_EQ(result->PixelFormat(), pf8bit);
        ASSERT_EQ(result->Width(), 9);
        ASSERT_EQ(result->Height(), 7);
        const std::vector<PALETTEENTRY> entries = PaletteEntries(c.Expected);
        EXPECT_EQ(result->Palette(), Quads(entries));
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x) ASSERT_LT(result->ScanLine(y)[x], entries.size());
    }
}

TEST(ReduceToPalette, TheCubeMapsByItsSteps)
{
    TBitmap source(3, 1, pf24bit);
    source.SetPixel(0, 0, RGB(255, 255, 255));
    source.SetPixel(1, 0, RGB(24, 24, 24));
    source.SetPixel(2, 0, RGB(48, 48, 48));
    const auto result = ReduceToPalette(source, rmColorCube, dmNearest, nullptr, 8);
    EXPECT_EQ(result->ScanLine(0)[0], 215);
    EXPECT_EQ(result->ScanLine(0)[1], 0);
    EXPECT_EQ(result->ScanLine(0)[2], 43);
    EXPECT_EQ(result->Pixel(2, 0), RGB(51, 51, 51));
}

// Two colours of one bucket at either end of the second row: it runs right to
// left, so the right one is looked up first and decides both.
TEST(ReduceToPalette, TheSecondRowRunsRightToLeft)
{
    const PALETTEENTRY entries[] = {{0, 0, 0, 0}, {20, 20, 20, 0}, {200, 200, 200, 0}};
    const TPaletteHandle palette(CreatePalette(entries));
    TBitmap source(2, 3, pf24bit);
    source.Fill(RGB(200, 200, 200));
    for (const int y : {1, 2}) {
        source.SetPixel(0, y, RGB(8, 8, 8));
        source.SetPixel(1, y, RGB(15, 15, 15));
    }
    const auto result = ReduceToPalette(source, rmGivenPalette, dmNearest, palette.get(), 8);
    EXPECT_EQ(result->ScanLine(1)[0], 1);
    EXPECT_EQ(result->ScanLine(1)[1], 1);
    // The bucket keeps its answer for the left-to-right third row.
    EXPECT_EQ(result->ScanLine(2)[0], 1);
}

TEST(ReduceToPalette, TheOctreeGivesTwoToTheBitsColours)
{
    TBitmap source(4, 4, pf24bit);
    source.Fill(RGB(10, 200, 30));
    source.SetPixel(1, 2, RGB(250, 5, 5));
    source.SetPixel(3, 3, RGB(5, 5, 250));
    for (const int bits : {4, 1, 8, 0, 12}) {
        SCOPED_TRACE(bits);
        const auto result = ReduceToPalette(source, rmOctree, dmNearest, nullptr, bits);
        const int colours = 1 << std::clamp(bits, 1, 8);
        std::vector<PALETTEENTRY> expected(std::size_t(colours), PALETTEENTRY{0, 0, 0, 0});
        if (colours >= 3) {
            expected[0] = {5, 5, 250, 0};
            expected[1] = {10, 200, 30, 0};
            expected[2] = {250, 5, 5, 0};
            EXPECT_EQ(result->ScanLine(0)[0], 1);
            EXPECT_EQ(result->ScanLine(2)[1], 2);
            EXPECT_EQ(result->ScanLine(3)[3], 0);
        } else {
            // The three lie in different children of the root: reducing to
            // two colours takes every level down to the root, and one is left.
            expected[0] = {(14 * 10 + 250 + 5) / 16, (14 * 200 + 5 + 5) / 16, (14 * 30 + 5 + 250) / 16, 0};
            EXPECT_EQ(result->ScanLine(0)[0], 0);
        }
        EXPECT_EQ(result->Palette(), Quads(expected));
    }
    const auto system = ReduceToPalette(source, rmOctreeSystem, dmNearest, nullptr, 4);
    const auto table = DefaultPaletteEntries();
    EXPECT_EQ(system->Palette()[0], (TRGBQuad{table[0].peBlue, table[0].peGreen, table[0].peRed, 0}));
    EXPECT_EQ(system->Palette()[255], (TRGBQuad{table[19].peBlue, table[19].peGreen, table[19].peRed, 0}));
    EXPECT_EQ(system->Palette()[11], (TRGBQuad{30, 200, 10, 0}));
    EXPECT_EQ(system->ScanLine(0)[0], 11);
}

TEST(ReduceToPalette, DitheringSpreadsTheErrorOfAFlatColour)
{
    TBitmap source(32, 32, pf24bit);
    source.Fill(RGB(100, 100, 100));
    for (int mode = dmNearest; mode <= dmBurkes; ++mode) {
        SCOPED_TRACE(mode);
        const auto result = ReduceToPalette(source, rmBlackWhite, mode, nullptr, 8);
        int white = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) white += result->ScanLine(y)[x];
        if (mode == dmNearest)
            EXPECT_EQ(white, 0);
        else
            EXPECT_NEAR(white, 32 * 32 * 100 / 255, 12);
    }
}

TEST(ReduceToPalette, NoneGivesATrueColourCopyWhateverTheDither)
{
    for (const int mode : {dmNearest, dmStucki, 99}) {
        const auto source = Sample(pf32bit);
        const auto result = ReduceToPalette(*source, rmNone, mode, nullptr, 8);
        EXPECT_EQ(result->PixelFormat(), pf24bit);
        EXPECT_EQ(result->Pixel(5, 3), source->Pixel(5, 3));
        EXPECT_EQ(source->PixelFormat(), pf32bit);
    }
}

TEST(ReduceToPalette, ReadingTheSourceSwitchesItToTwentyFourBits)
{
    const auto source = Sample(pf32bit);
    const TColor before = source->Pixel(4, 4);
    ReduceToPalette(*source, rmColorCube, dmNearest, nullptr, 8);
    EXPECT_EQ(source->PixelFormat(), pf24bit);
    EXPECT_EQ(source->Pixel(4, 4), before);
}

TEST(ReduceToPalette, UnknownSettingsAndEmptyPalettesGiveAnEmptyBitmap)
{
    struct TCase {
        const char* Name;
        int Method;
        int Mode;
    };
    const TCase cases[] = {{"method 10", 10, dmNearest},
                           {"method -1", -1, dmNearest},
                           {"mode 7", rmColorCube, 7},
                           {"given palette missing", rmGivenPalette, dmFloydSteinberg}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto source = Sample();
        const auto result = ReduceToPalette(*source, c.Method, c.Mode, nullptr, 8);
        ASSERT_NE(result, nullptr);
        EXPECT_TRUE(result->Empty());
    }
}

TEST(ReduceToPalette, AnEmptySourceIsRefusedByTheWriter)
{
    TBitmap source;
    EXPECT_THROW(ReduceToPalette(source, rmColorCube, dmNearest, nullptr, 8), EInvalidGraphicOperation);
}

}  // namespace

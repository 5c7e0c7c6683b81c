#include "gif/OctreeQuantizer.h"

#include <gtest/gtest.h>

#include <vector>

#include "gif/GIFPalettes.h"
#include "platform/graphics/TBitmap.h"

namespace {

std::vector<TPaletteColor> Quantize(int maxColors, const std::vector<TPaletteColor>& colors)
{
    TColorQuantizer quantizer(maxColors, 8);
    for (const TPaletteColor& c : colors) quantizer.AddColor(c.Red, c.Green, c.Blue);
    EXPECT_LE(quantizer.LeafCount(), maxColors);
    return quantizer.Colors();
}

TEST(Octree, ReducesTheDeepestNodeCreatedLast)
{
    // (0,0,0)/(0,0,1) and (0,0,2)/(0,0,3) split below two level-7 nodes; the
    // second is newer, so it absorbs its pair: its mean is 5 div 2.
    EXPECT_EQ(Quantize(3, {{0, 0, 0}, {0, 0, 1}, {0, 0, 2}, {0, 0, 3}}),
              (std::vector<TPaletteColor>{{0, 0, 0}, {0, 0, 1}, {0, 0, 2}}));
    // A node with a single child reduces to one leaf, no fewer: the next one
    // of its level goes as well.
    EXPECT_EQ(Quantize(2, {{0, 0, 0}, {0, 0, 1}, {255, 255, 255}}),
              (std::vector<TPaletteColor>{{0, 0, 0}, {255, 255, 255}}));
}

TEST(Octree, ColoursComeInChildOrderAsMeansOfTheirPixels)
{
    // Child numbers take red, green, blue from the high bit: blue (child 1),
    // green (2), red (4); counts weigh the means.
    EXPECT_EQ(Quantize(8, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 0}}),
              (std::vector<TPaletteColor>{{0, 0, 0}, {0, 0, 255}, {0, 255, 0}, {255, 0, 0}}));
    EXPECT_EQ(Quantize(1, {{10, 20, 30}, {10, 20, 30}, {40, 50, 61}}), (std::vector<TPaletteColor>{{20, 30, 40}}));
}

TEST(Octree, PaletteHasTheRequestedSizePaddedWithBlack)
{
    TBitmap bitmap(3, 2, pf24bit);
    bitmap.Fill(RGB(10, 200, 30));
    bitmap.SetPixel(1, 0, RGB(250, 5, 5));
    bitmap.SetPixel(2, 1, RGB(5, 5, 250));
    const TPaletteHandle palette(BuildOctreePalette(bitmap, 16, 8, false));
    std::vector<PALETTEENTRY> expected(16, PALETTEENTRY{0, 0, 0, 0});
    expected[0] = {5, 5, 250, 0};
    expected[1] = {10, 200, 30, 0};
    expected[2] = {250, 5, 5, 0};
    EXPECT_EQ(PaletteEntries(palette.get()), expected);
}

TEST(Octree, KeepingSystemColoursPutsThemAtBothEnds)
{
    TBitmap bitmap(16, 16, pf24bit);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) bitmap.SetPixel(x, y, RGB(x * 16, y * 16, (x * y) & 0xFF));
    const TPaletteHandle palette(BuildOctreePalette(bitmap, 0, 8, true));
    const std::vector<PALETTEENTRY> entries = PaletteEntries(palette.get());
    ASSERT_EQ(entries.size(), 256u);
    const auto system = DefaultPaletteEntries();
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(entries[i], system[i]);
        EXPECT_EQ(entries[246 + i], system[10 + i]);
    }
    // The computed colours follow the ten first ones; what they leave is black.
    TColorQuantizer quantizer(236, 8);
    quantizer.AddBitmap(bitmap);
    const std::vector<TPaletteColor> colors = quantizer.Colors();
    ASSERT_GT(colors.size(), 200u);
    for (std::size_t i = 10; i < 246; ++i) {
        const TPaletteColor c = i - 10 < colors.size() ? colors[i - 10] : TPaletteColor{};
        EXPECT_EQ(entries[i], (PALETTEENTRY{BYTE(c.Red), BYTE(c.Green), BYTE(c.Blue), 0})) << i;
    }
}

}  // namespace

#include "gif/GIFPalettes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

PALETTEENTRY Grey(int level, BYTE flags)
{
    return {BYTE(level), BYTE(level), BYTE(level), flags};
}

TEST(GIFPalettes, EachPaletteHasItsEntriesInOrderWithItsFlags)
{
    std::vector<PALETTEENTRY> greys;
    for (int i = 0; i < 256; ++i) greys.push_back(Grey(i, PC_NOCOLLAPSE));
    std::vector<PALETTEENTRY> cube;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) cube.push_back({BYTE(51 * r), BYTE(51 * g), BYTE(51 * b), 0});
    const auto system = DefaultPaletteEntries();
    const auto halftone = HalftonePaletteEntries();

    struct TCase {
        std::string Name;
        std::function<HPALETTE()> Make;
        std::vector<PALETTEENTRY> Expected;
    };
    const TCase cases[] = {
        {"system", SystemDefaultPalette, {system.begin(), system.end()}},
        {"halftone", CreateScreenHalftonePalette, {halftone.begin(), halftone.end()}},
        {"four greys",
         CreateFourGreyPalette,
         {Grey(0x00, PC_NOCOLLAPSE), Grey(0x80, PC_NOCOLLAPSE), Grey(0xC0, PC_NOCOLLAPSE), Grey(0xFF, PC_NOCOLLAPSE)}},
        {"black and white", CreateBlackWhitePalette, {Grey(0, PC_NOCOLLAPSE), Grey(255, PC_NOCOLLAPSE)}},
        {"grey scale", CreateGreyScalePalette, greys},
        {"cube", CreateColorCubePalette, cube},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TPaletteHandle palette(c.Make());
        ASSERT_NE(palette, nullptr);
        EXPECT_EQ(PaletteEntries(palette.get()), c.Expected);
    }
    EXPECT_EQ(system.size(), 20u);
    EXPECT_EQ(halftone.size(), 256u);
}

TEST(GIFPalettes, TheSystemPaletteIsTheStockObjectAndSurvivesItsHandle)
{
    {
        const TPaletteHandle palette(SystemDefaultPalette());
        EXPECT_EQ(palette.get(), GetStockObject(DEFAULT_PALETTE));
    }
    EXPECT_EQ(GetPaletteEntries(SystemDefaultPalette(), 0, 0, nullptr), 20u);
}

TEST(GIFPalettes, ACopyIsNewAndEqualAndNothingCopiesToNothing)
{
    const PALETTEENTRY entries[] = {{1, 2, 3, PC_NOCOLLAPSE}, {4, 5, 6, 0}};
    const TPaletteHandle original(CreatePalette(entries));
    const TPaletteHandle copy(CopyPalette(original.get()));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy.get(), original.get());
    EXPECT_EQ(PaletteEntries(copy.get()), PaletteEntries(original.get()));
    EXPECT_EQ(CopyPalette(nullptr), nullptr);
}

}  // namespace

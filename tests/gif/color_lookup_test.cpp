#include "gif/ColorLookup.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gif/GIFPalettes.h"

namespace {

struct TMapping {
    int Red, Green, Blue;
    int Index;
    TPaletteColor Color;
};

void ExpectMappings(TColorLookup& lookup, const std::vector<TMapping>& mappings)
{
    for (const TMapping& m : mappings) {
        SCOPED_TRACE(testing::Message() << "(" << m.Red << ", " << m.Green << ", " << m.Blue << ")");
        TPaletteColor color;
        EXPECT_EQ(lookup.Lookup(m.Red, m.Green, m.Blue, color), m.Index);
        EXPECT_EQ(color, m.Color);
    }
}

TEST(ColorLookups, FixedLookupsMapByTheirFormulas)
{
    TNetscapeColorLookup cube;
    EXPECT_EQ(cube.Colors(), 216);
    ExpectMappings(cube, {{255, 255, 255, 215, {255, 255, 255}},
                          {24, 24, 24, 0, {0, 0, 0}},
                          {48, 48, 48, 43, {51, 51, 51}},
                          {0, 0, 255, 5, {0, 0, 255}},
                          {255, 0, 0, 180, {255, 0, 0}},
                          {100, 150, 200, 2 * 36 + 3 * 6 + 3, {102, 153, 153}}});

    TGrayScaleLookup grey;
    EXPECT_EQ(grey.Colors(), 256);
    ExpectMappings(grey, {{255, 255, 255, 255, {255, 255, 255}},
                          {100, 0, 0, 30, {30, 30, 30}},
                          {0, 100, 0, 58, {58, 58, 58}},
                          {0, 0, 100, 11, {11, 11, 11}},
                          {0, 0, 0, 0, {0, 0, 0}}});

    TMonochromeLookup mono;
    EXPECT_EQ(mono.Colors(), 2);
    ExpectMappings(mono, {{127, 127, 127, 0, {0, 0, 0}},
                          {128, 128, 128, 1, {255, 255, 255}},
                          {255, 0, 0, 0, {0, 0, 0}},
                          {0, 255, 0, 1, {255, 255, 255}}});
}

TEST(ColorLookups, FastLookupFindsTheLeastChannelDistanceFirstOfEquals)
{
    const PALETTEENTRY entries[] = {{0, 0, 0, 0}, {200, 0, 0, 0}, {0, 200, 0, 0}, {100, 100, 100, 0}};
    const TPaletteHandle palette(CreatePalette(entries));
    TFastColorLookup lookup(palette.get());
    EXPECT_EQ(lookup.Colors(), 4);
    ExpectMappings(lookup, {
                               {60, 0, 0, 0, {0, 0, 0}},          // 60 against 140 and 160
                               {160, 40, 0, 1, {200, 0, 0}},      // |d| sum 80 against 140, not squared
                               {150, 150, 0, 1, {200, 0, 0}},     // 200 to entries 1, 2 and 3: the first wins
                               {100, 100, 100, 3, {100, 100, 100}},
                           });
}

TEST(ColorLookups, FastLookupAnswersABucketWithItsFirstAnswer)
{
    // (8, 8, 8) and (15, 15, 15) share a bucket; alone they would map to 0 and 1.
    const PALETTEENTRY entries[] = {{0, 0, 0, 0}, {20, 20, 20, 0}};
    const TPaletteHandle palette(CreatePalette(entries));
    {
        TFastColorLookup lookup(palette.get());
        ExpectMappings(lookup, {{15, 15, 15, 1, {20, 20, 20}}, {8, 8, 8, 1, {20, 20, 20}}});
    }
    {
        TFastColorLookup lookup(palette.get());
        ExpectMappings(lookup, {{8, 8, 8, 0, {0, 0, 0}}, {15, 15, 15, 0, {0, 0, 0}}});
    }
    // Entries own their buckets before any search, in index order: entries 1,
    // 2 and 3 share a bucket, so (16, 16, 16) itself and its neighbours get 1.
    const PALETTEENTRY claims[] = {{200, 200, 200, 0}, {23, 23, 23, 0}, {16, 16, 16, 0}, {23, 23, 23, 0}};
    const TPaletteHandle claimed(CreatePalette(claims));
    TFastColorLookup lookup(claimed.get());
    ExpectMappings(lookup, {{16, 16, 16, 1, {23, 23, 23}}, {17, 17, 17, 1, {23, 23, 23}}, {23, 23, 23, 1, {23, 23, 23}}});
}

TEST(ColorLookups, FastLookupReadsAtMost256EntriesAndNoneFromNothing)
{
    std::vector<PALETTEENTRY> entries(300, PALETTEENTRY{0, 0, 0, 0});
    entries[299] = {255, 255, 255, 0};
    const TPaletteHandle palette(CreatePalette(entries));
    TFastColorLookup lookup(palette.get());
    EXPECT_EQ(lookup.Colors(), 256);
    TPaletteColor color;
    EXPECT_EQ(lookup.Lookup(255, 255, 255, color), 0);

    TFastColorLookup empty(nullptr);
    EXPECT_EQ(empty.Colors(), 0);
    EXPECT_EQ(empty.Lookup(1, 2, 3, color), 0);
}

}  // namespace

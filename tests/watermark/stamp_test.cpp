#include "watermark/WatermarkStamp.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/graphics/TBitmap.h"

namespace {

std::unique_ptr<TBitmap> Filled(int w, int h, TColor colour, TPixelFormat format = pf24bit)
{
    auto b = std::make_unique<TBitmap>(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b->SetPixel(x, y, colour);
    return b;
}

TEST(WatermarkStamp, RoundRatioIsHalfToEven)
{
    const long long cases[][3] = {{1, 2, 0}, {3, 2, 2}, {5, 2, 2}, {-1, 2, 0}, {-3, 2, -2}, {50, 100, 0},
                                  {150, 100, 2}, {149, 100, 1}, {0, 7, 0}};
    for (const auto& c : cases) EXPECT_EQ(RoundRatio(c[0], c[1]), c[2]) << c[0] << "/" << c[1];
}

TEST(WatermarkStamp, ToleranceIsOnThePackedValue)
{
    const TColor key = 0x808080;
    const long long d10 = 1677722;  // round(10 * 167772.15)
    struct Case {
        TColor colour;
        int percent;
        bool inside;
    } cases[] = {
        {key, 0, true},
        {key + 1, 0, false},
        {TColor(key + d10), 10, true},
        {TColor(key + d10 + 1), 10, false},
        {TColor(key - d10), 10, true},
        {TColor(key - d10 - 1), 10, false},
        {0x000000, 100, true},
        {0xFFFFFF, 100, true},
        // Red is the low byte: far off in red is still close in the packed value,
        {0x8080FF, 1, true},
        // while blue, the high byte, moves it by 65536 a step.
        {0x818080, 1, true},
        {0x838080, 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorInTolerance(c.colour, key, c.percent), c.inside)
            << std::hex << c.colour << " at " << std::dec << c.percent << "%";
    // Near the ends the band is cut at 0 and $FFFFFF rather than wrapping.
    EXPECT_FALSE(ColorInTolerance(0, 5, 0));
    EXPECT_TRUE(ColorInTolerance(0, 5, 1));
    EXPECT_FALSE(ColorInTolerance(0xFFFFFF, 0, 50));
}

TEST(WatermarkStamp, BlackWhiteMaskFollowsTheKey)
{
    auto picture = Filled(3, 2, 0x00FF00);
    picture->SetPixel(1, 0, 0x102030);
    picture->SetPixel(2, 1, 0x00FF01);
    const auto exact = MakeBlackWhiteMask(*picture, 0x00FF00, 0);
    EXPECT_EQ(exact->Pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(exact->Pixel(1, 0), 0u);
    EXPECT_EQ(exact->Pixel(2, 1), 0u);
    const auto loose = MakeBlackWhiteMask(*picture, 0x00FF00, 1);
    EXPECT_EQ(loose->Pixel(2, 1), 0xFFFFFFu);
    EXPECT_EQ(loose->Pixel(1, 0), 0u);
    EXPECT_EQ(loose->Width(), 3);
    EXPECT_EQ(picture->Pixel(0, 0), 0x00FF00u) << "the loaded picture stays";
}

// A 2 x 1 mark: black at (0, 0), white at (1, 0).
std::unique_ptr<TBitmap> HalfMark()
{
    auto mark = Filled(2, 1, 0xFFFFFF);
    mark->SetPixel(0, 0, 0);
    return mark;
}

TEST(WatermarkStamp, BrightnessShiftSaturatesAndTreatsUntickedChannels)
{
    struct Case {
        TColor picture;
        int strength;
        TChannels channels;
        TColor expected;
    } cases[] = {
        {RGB(10, 100, 240), 30, {}, RGB(40, 130, 255)},
        {RGB(10, 100, 225), 30, {}, RGB(40, 130, 255)},  // 225 + 30 = 255 is not below 255
        {RGB(10, 100, 240), -30, {}, RGB(0, 70, 210)},
        {RGB(31, 100, 240), -30, {}, RGB(1, 70, 210)},
        {RGB(200, 100, 50), -255, {true, false, false}, RGB(0, 0, 0)},
        {RGB(10, 100, 50), 20, {true, false, false}, RGB(30, 255, 255)},
        {RGB(10, 100, 50), -20, {false, true, false}, RGB(0, 80, 0)},
        {RGB(10, 100, 50), 0, {false, false, false}, RGB(10, 100, 50)},
    };
    for (const Case& c : cases) {
        auto picture = Filled(2, 1, c.picture);
        StampBrightness(*picture, *HalfMark(), {0, 0}, c.strength, c.channels);
        EXPECT_EQ(picture->Pixel(0, 0), c.expected) << "strength " << c.strength;
        EXPECT_EQ(picture->Pixel(1, 0), c.picture) << "white of the mark leaves the picture";
    }
}

TEST(WatermarkStamp, BlendLiesBetweenMarkAndPicture)
{
    struct Case {
        int picture, mark, t, expected;
    } cases[] = {
        {200, 100, 50, 150}, {100, 200, 50, 150}, {120, 120, 50, 120}, {200, 100, 0, 100},
        {200, 100, 100, 200}, {101, 100, 50, 100},  // 0.5 rounds to even 0
        {103, 100, 50, 102},                          // 1.5 rounds to 2
        {0, 255, 30, 179},                            // 255 - round(76.5) = 255 - 76
        {114, 100, 75, 110},                          // 10.5 exactly; 14 * 0.01 * 75 in doubles lies above
    };
    for (const Case& c : cases) {
        auto picture = Filled(1, 1, RGB(c.picture, c.picture, c.picture));
        auto mark = Filled(1, 1, RGB(c.mark, 0, 255));
        StampBlend(*picture, *mark, {0, 0}, c.t);
        EXPECT_EQ(GetRValue(picture->Pixel(0, 0)), c.expected) << c.picture << " " << c.mark << " " << c.t;
    }
}

TEST(WatermarkStamp, MarkIsCutAtThePictureEdges)
{
    auto picture = Filled(3, 3, RGB(0, 0, 0));
    auto mark = Filled(5, 5, RGB(0, 0, 0));
    StampBrightness(*picture, *mark, MarkOffset(TMarkPosition::Centre, 3, 3, 5, 5), 10, {});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(picture->Pixel(x, y), RGB(10, 10, 10));
    auto small = Filled(3, 3, RGB(0, 0, 0));
    StampBrightness(*small, *Filled(2, 2, 0), {2, 2}, 10, {});
    EXPECT_EQ(small->Pixel(2, 2), RGB(10, 10, 10));
    EXPECT_EQ(small->Pixel(1, 1), RGB(0, 0, 0));
    StampBrightness(*small, *Filled(2, 2, 0), {-5, 7}, 10, {});  // wholly outside: no harm
}

TEST(WatermarkStamp, IndexedPicturesGoThroughTheirPalette)
{
    auto picture = Filled(2, 1, RGB(0, 0, 0), pf8bit);
    StampBrightness(*picture, *HalfMark(), {0, 0}, 255, {});
    EXPECT_EQ(picture->Pixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(picture->Pixel(1, 0), RGB(0, 0, 0));
    auto wide = Filled(1, 1, RGB(200, 200, 200), pf32bit);
    const auto mark = Filled(1, 1, RGB(100, 100, 100), pf8bit);
    const int m = GetRValue(mark->Pixel(0, 0));  // the palette's nearest grey
    StampBlend(*wide, *mark, {0, 0}, 50);
    EXPECT_EQ(GetRValue(wide->Pixel(0, 0)), m + RoundRatio(200 - m, 2));
}

TEST(WatermarkStamp, OffsetsOfTheFivePositions)
{
    EXPECT_EQ(MarkOffset(TMarkPosition::TopLeft, 640, 480, 20, 100), (TPoint{0, 0}));
    EXPECT_EQ(MarkOffset(TMarkPosition::BottomLeft, 640, 480, 20, 100), (TPoint{0, 380}));
    EXPECT_EQ(MarkOffset(TMarkPosition::TopRight, 640, 480, 20, 100), (TPoint{620, 0}));
    EXPECT_EQ(MarkOffset(TMarkPosition::BottomRight, 640, 480, 20, 100), (TPoint{620, 380}));
    EXPECT_EQ(MarkOffset(TMarkPosition::Centre, 640, 480, 21, 101), (TPoint{310, 190}));  // 309.5, 189.5
    EXPECT_EQ(MarkOffset(TMarkPosition::Centre, 641, 481, 20, 100), (TPoint{310, 190}));  // 310.5 -> 310
    EXPECT_EQ(MarkOffset(TMarkPosition::Centre, 10, 10, 15, 13), (TPoint{-2, -2}));    // -2.5 -> -2, -1.5 -> -2
}

TEST(WatermarkStamp, TurningTheMark)
{
    auto mark = Filled(100, 20, 0xFFFFFF);
    mark->SetPixel(0, 0, 0);  // a black corner at top left
    const auto left = TurnMark(*mark, "270");
    ASSERT_EQ(left->Width(), 20);
    ASSERT_EQ(left->Height(), 100);
    EXPECT_EQ(left->Pixel(0, 99), 0u) << "counter-clockwise: top left goes to bottom left";
    const auto right = TurnMark(*mark, "90");
    EXPECT_EQ(right->Pixel(19, 0), 0u);
    const auto half = TurnMark(*mark, "180");
    EXPECT_EQ(half->Width(), 100);
    EXPECT_EQ(half->Pixel(99, 19), 0u);
    for (const char* none : {"0", "", "45"}) {
        const auto same = TurnMark(*mark, none);
        EXPECT_EQ(same->Width(), 100);
        EXPECT_EQ(same->Pixel(0, 0), 0u);
    }
    EXPECT_EQ(MarkOffset(TMarkPosition::BottomRight, 640, 480, left->Width(), left->Height()), (TPoint{620, 380}));
}

TEST(WatermarkStamp, TextMarkIsFontColourOnWhite)
{
    const auto mark = DrawTextMark("Stamp", "Arial Black", 24, RGB(0, 0, 128));
    ASSERT_GT(mark->Width(), 40);
    ASSERT_GT(mark->Height(), 24) << "24 points are 32 pixels";
    int ink = 0, other = 0;
    for (int y = 0; y < mark->Height(); ++y)
        for (int x = 0; x < mark->Width(); ++x) {
            const TColor c = mark->Pixel(x, y);
            if (c == RGB(0, 0, 128))
                ++ink;
            else if (c != 0xFFFFFF)
                ++other;
        }
    EXPECT_GT(ink, 100);
    EXPECT_EQ(other, 0) << "hard glyphs: only ink and white";
    EXPECT_GT(DrawTextMark("Stamp", "Arial Black", 24, 0)->Width(), DrawTextMark("Stamp", "Arial Black", 10, 0)->Width());
}

TEST(WatermarkStamp, StretchSizing)
{
    struct Case {
        int controlWidth, controlHeight, box, bitmapWidth, bitmapHeight, expected;
    } cases[] = {
        {400, 300, 420, 1200, 900, 300},   // width 410, f = round(1200 / 400) = 3
        {400, 300, 420, 1000, 900, 450},   // f = round(2.5) = 2
        {400, 300, 420, 100, 90, 90},      // f = 0 taken as 1
        {300, 400, 420, 1200, 900, -1},    // higher than wide: left alone
        {400, 300, 20, 1200, 900, -1},     // width 10 leaves no divisor
        {400, 300, 15, 1200, 900, -1},     // and 5 a negative one
        {400, 300, 21, 1200, 900, 1},      // width 11, divisor 1: f = 1200
    };
    for (const Case& c : cases)
        EXPECT_EQ(StretchedPreviewHeight(c.controlWidth, c.controlHeight, c.box, c.bitmapWidth, c.bitmapHeight),
                  c.expected)
            << c.box << " " << c.bitmapWidth;
}

}  // namespace

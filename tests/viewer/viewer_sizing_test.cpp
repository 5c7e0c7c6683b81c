#include "viewer/ViewerSizing.h"

#include <gtest/gtest.h>

#include "platform/graphics/TBitmap.h"
#include "viewer/MiniImage.h"

namespace {

TEST(ViewerSizing, RoundQuotientIsHalfToEven)
{
    const long long cases[][3] = {{5, 2, 2}, {7, 2, 4}, {631, 2, 316}, {1166, 20, 58}, {250, 100, 2},
                                  {350, 100, 4}, {-5, 2, -2}, {-7, 2, -4}, {49, 100, 0}, {51, 100, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundQuotient(c[0], c[1]), c[2]) << c[0] << "/" << c[1];
}

TEST(ViewerSizing, PercentSizeRoundsTheHundredthFirst)
{
    const TViewerBox half = PercentSize(1000, 700, 50);
    EXPECT_EQ(half.Width, 500);
    EXPECT_EQ(half.Height, 350);
    EXPECT_EQ(PercentSize(1234, 100, 50).Width, 600);
    EXPECT_EQ(PercentSize(49, 49, 90).Width, 0);
}

TEST(ViewerSizing, PlacementCentresWhenTheAreaIsLarger)
{
    TViewerBox box{0, 0, 500, 350};
    PlacePicture(box, 834, 631);
    EXPECT_EQ(box.Left, 167);
    EXPECT_EQ(box.Top, 141);
    TViewerBox wide{0, 0, 1000, 300};
    PlacePicture(wide, 834, 631);
    EXPECT_EQ(wide.Left, 417 - 500);  // larger across: negative
    EXPECT_EQ(wide.Top, 166);
    TViewerBox large{7, 7, 900, 700};
    PlacePicture(large, 834, 631);
    EXPECT_EQ(large.Left, 1);
    EXPECT_EQ(large.Top, 1);
}

TEST(ViewerSizing, OptimumFitsTheArea)
{
    TViewerBox box;
    ASSERT_TRUE(OptimumSize(2000, 1000, 834, 631, box));
    EXPECT_EQ(box.Width, 830);
    EXPECT_EQ(box.Height, 410);
    EXPECT_EQ(box.Left, 5);
    EXPECT_EQ(box.Top, 5);
    PlacePicture(box, 834, 631);
    EXPECT_EQ(box.Left, 2);
    EXPECT_EQ(box.Top, 111);

    // The taller excess wins.
    ASSERT_TRUE(OptimumSize(1000, 2000, 834, 631, box));
    EXPECT_EQ(box.Height, 20 * (100 - 68) - 10);
    EXPECT_EQ(box.Width, 310);

    TViewerBox untouched{3, 4, 5, 6};
    EXPECT_FALSE(OptimumSize(800, 600, 834, 631, untouched));
    EXPECT_EQ(untouched.Left, 3);
    // Sides under 51 pixels have no per-cent step: left alone instead of a division by 0.
    EXPECT_FALSE(OptimumSize(40, 40, 10, 10, untouched));
    // An overflow of more than 100 per cent still leaves a visible picture.
    ASSERT_TRUE(OptimumSize(149, 149, 2, 2, box));
    EXPECT_GE(box.Width, 1);
    EXPECT_GE(box.Height, 1);
}

TEST(ViewerSizing, SaveNames)
{
    const std::tuple<std::string, bool, std::string> cases[] = {
        {"holiday", false, "holiday.jpg"},
        {"holiday.jpg.old", false, "holiday.jpg.old"},
        {"holiday.JPG", false, "holiday.JPG.jpg"},
        {"holiday.jpg", true, "holiday.jpg.gif"},
        {"a.gif", true, "a.gif"},
    };
    for (const auto& [name, gif, saved] : cases)
        EXPECT_EQ(SavePictureFileName(name, gif), saved) << name;
}

TEST(MiniImage, SamplesOneStepInAndClampsAtTheEdge)
{
    TBitmap source;
    source.SetPixelFormat(pf24bit);
    source.SetSize(4, 2);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 2; ++y)
            source.SetPixel(x, y, RGB(static_cast<std::uint8_t>(x * 10), static_cast<std::uint8_t>(y * 10), 0));
    // Step 2 across: columns 2 and 4 -> 3; step 1 down: rows 1 and 2 -> 1.
    auto mini = getMiniImage(source, 2, 2);
    ASSERT_EQ(mini->Width(), 2);
    EXPECT_EQ(mini->Pixel(0, 0), RGB(20, 10, 0));
    EXPECT_EQ(mini->Pixel(1, 0), RGB(30, 10, 0));
    EXPECT_EQ(mini->Pixel(1, 1), RGB(30, 10, 0));
    // Growing: 4 -> 8 samples round(k / 2): 0 (half to even), 1, 2 (1.5), 2, 2 (2.5), 3, 3 (clamped), 3.
    auto grown = getMiniImage(source, 8, 1);
    const int expected[] = {0, 1, 2, 2, 2, 3, 3, 3};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(grown->Pixel(x, 0), RGB(static_cast<std::uint8_t>(expected[x] * 10), 10, 0)) << x;
    EXPECT_TRUE(getMiniImage(TBitmap(), 90, 90)->Empty());
}

}  // namespace

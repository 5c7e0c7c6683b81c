#include "platform/graphics/Colors.h"
#include "platform/graphics/Types.h"

#include <gtest/gtest.h>

namespace {

TEST(Colors, ColorToRGB)
{
    struct Case { TColor in; TColor out; };
    const Case cases[] = {
        {clRed, clRed},
        {RGB(1, 2, 3), RGB(1, 2, 3)},
        {clBtnFace, RGB(240, 240, 240)},
        {clWindow, clWhite},
        {clWindowText, clBlack},
        {clBtnShadow, RGB(160, 160, 160)},
        {clBtnHighlight, clWhite},
        {clHighlight, RGB(0, 120, 215)},
        {clInfoBk, RGB(255, 255, 225)},
        {PaletteRelativeFlag | RGB(9, 8, 7), RGB(9, 8, 7)},
        {0x800000FF, clBlack},  // a system index nobody defines
        {clNone, clNone},
        {clDefault, clDefault},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(ColorToRGB(c.in), c.out);
    }
}

TEST(Types, IntersectRect)
{
    struct Case { TRect a, b, expected; };
    const Case cases[] = {
        {Rect(0, 0, 10, 10), Rect(5, 5, 15, 15), Rect(5, 5, 10, 10)},
        {Rect(0, 0, 10, 10), Rect(2, 3, 4, 5), Rect(2, 3, 4, 5)},
        {Rect(0, 0, 10, 10), Rect(10, 0, 20, 10), TRect{}},  // edges touch only
        {Rect(0, 0, 10, 10), Rect(-5, 20, 5, 30), TRect{}},
        {Rect(5, 5, 5, 9), Rect(0, 0, 10, 10), TRect{}},     // empty input
        {Rect(-10, -10, -2, -2), Rect(-5, -20, 0, -4), Rect(-5, -10, -2, -4)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IntersectRect(c.a, c.b), c.expected);
        EXPECT_EQ(IntersectRect(c.b, c.a), c.expected);
    }
}

}  // namespace

TEST(SelectionColours, AnInactiveSelectionStandsOutOnEveryBackgroundAndItsTextReads)
{
    const struct {
        const char* name;
        TColor background;
        TColor text;
    } cases[] = {
        {"white", clWhite, clBlack},
        {"silver (the hover look)", clSilver, clBlack},
        {"button face", clBtnFace, clBtnText},
        {"gray", clGray, clWhite},
        {"black", clBlack, clWhite},
        {"navy", clNavy, clYellow},
        {"the highlight itself", clHighlight, clWhite},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TColor fill = InactiveSelectionColor(c.background);
        EXPECT_GE(ContrastRatio(fill, c.background), 1.6);
        EXPECT_GE(ContrastRatio(SelectionTextColor(fill, c.text), fill), 4.5);
    }
    // Where the system's colour stands out, it is the one used, and text keeps its colour.
    EXPECT_EQ(InactiveSelectionColor(clGray), ColorToRGB(clBtnFace));
    EXPECT_EQ(SelectionTextColor(ColorToRGB(clBtnFace), clBlack), clBlack);
}

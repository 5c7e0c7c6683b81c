// Scroll boxes: ranges from the children, bars only when needed, children at
// their scrolled places, and the wheel and keys that scroll.

#include <gtest/gtest.h>

#include "platform/controls/HeadlessInteraction.h"
#include "platform/controls/InputDriver.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TPanel.h"

namespace {

class ScrollBoxTest : public ::testing::Test {
protected:
    ScrollBoxTest()
    {
        Form = new TForm(&App);
        Form->SetBounds(0, 0, 500, 400);
        Form->Show();
        Box = new TScrollBox(Form);
        Box->SetParent(Form);
        Box->SetBounds(10, 10, 200, 300);
    }
    // A column of buttons like the viewer's thumbnails, 122 pixels apart.
    void AddColumn(int count)
    {
        for (int n = 0; n < count; ++n) {
            auto* b = new TBitBtn(Form);
            b->SetName("BT" + std::to_string(n));
            b->SetParent(Box);
            b->SetBounds(1, n * 122 + 10, 120, 120);
            Buttons.push_back(b);
        }
    }

    TApplication App;
    THeadlessScript Script;
    TForm* Form;
    TScrollBox* Box;
    std::vector<TBitBtn*> Buttons;
};

TEST_F(ScrollBoxTest, BarsShowOnlyWhileTheChildrenReachBeyondTheClientArea)
{
    const int S = TScrollBox::ScrollBarSize;
    struct Case {
        const char* what;
        int width, height;  // of the one child at (0, 0)
        bool horz, vert;
    } cases[] = {
        {"fits", 200, 300, false, false},
        {"taller", 150, 301, false, true},
        {"wider", 201, 250, true, false},
        {"wider, then too tall for what the bar leaves", 201, 300 - S + 1, true, true},
        {"taller, then too wide for what the bar leaves", 200 - S + 1, 400, true, true},
        {"both", 3000, 2000, true, true},
    };
    auto* child = new TPanel(Form);
    child->SetParent(Box);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        child->SetBounds(0, 0, c.width, c.height);
        EXPECT_EQ(Box->HorzScrollBar().IsScrollBarVisible(), c.horz);
        EXPECT_EQ(Box->VertScrollBar().IsScrollBarVisible(), c.vert);
        EXPECT_EQ(Box->HorzScrollBar().Range(), c.width);
        EXPECT_EQ(Box->VertScrollBar().Range(), c.height);
        EXPECT_EQ(Box->ClientWidth(), 200 - (c.vert ? S : 0));
        EXPECT_EQ(Box->ClientHeight(), 300 - (c.horz ? S : 0));
    }
    // A bar that is not allowed stays away, and gives its room back.
    Box->HorzScrollBar().SetVisible(false);
    EXPECT_FALSE(Box->HorzScrollBar().IsScrollBarVisible());
    EXPECT_EQ(Box->ClientHeight(), 300);
}

TEST_F(ScrollBoxTest, PositionMovesTheChildrenAndStaysInRange)
{
    AddColumn(14);
    const int range = 13 * 122 + 10 + 120;
    ASSERT_EQ(Box->VertScrollBar().Range(), range);
    ASSERT_TRUE(Box->VertScrollBar().IsScrollBarVisible());
    EXPECT_FALSE(Box->HorzScrollBar().IsScrollBarVisible());  // 121 wide in 183
    Box->VertScrollBar().SetPosition(500);
    EXPECT_EQ(Buttons[0]->Top(), 10 - 500);
    EXPECT_EQ(Buttons[13]->Top(), 13 * 122 + 10 - 500);
    EXPECT_EQ(Box->VertScrollBar().Range(), range);  // moving the children changes no range
    Box->VertScrollBar().SetPosition(99999);
    EXPECT_EQ(Box->VertScrollBar().Position(), range - 300);
    EXPECT_EQ(Buttons[13]->Top() + Buttons[13]->Height(), 300);  // the last one ends at the bottom
    Box->VertScrollBar().SetPosition(-5);
    EXPECT_EQ(Box->VertScrollBar().Position(), 0);
    EXPECT_EQ(Buttons[0]->Top(), 10);

    // A child placed while scrolled lands at the visible place asked for.
    Box->VertScrollBar().SetPosition(200);
    auto* late = new TPanel(Form);
    late->SetParent(Box);
    late->SetBounds(0, 0, 50, 50);
    EXPECT_EQ(late->Top(), 0);
    EXPECT_EQ(Box->VertScrollBar().Position(), 200);

    // The box grows: the position comes back so no empty space shows below.
    Box->VertScrollBar().SetPosition(99999);
    Box->SetHeight(1000);
    EXPECT_EQ(Box->VertScrollBar().Position(), range - 1000);
    EXPECT_EQ(Buttons[13]->Top() + Buttons[13]->Height(), 1000);
    Box->SetHeight(range + 10);
    EXPECT_FALSE(Box->VertScrollBar().IsScrollBarVisible());
    EXPECT_EQ(Box->VertScrollBar().Position(), 0);
    EXPECT_EQ(Buttons[0]->Top(), 10);
}

TEST_F(ScrollBoxTest, WithoutAutoScrollTheRangeIsTheOneSet)
{
    Box->SetAutoScroll(false);
    AddColumn(3);
    EXPECT_EQ(Box->VertScrollBar().Range(), 0);
    EXPECT_FALSE(Box->VertScrollBar().IsScrollBarVisible());
    Box->VertScrollBar().SetRange(1000);
    EXPECT_TRUE(Box->VertScrollBar().IsScrollBarVisible());
    Box->VertScrollBar().SetPosition(40);
    EXPECT_EQ(Buttons[0]->Top(), 10 - 40);
}

TEST_F(ScrollBoxTest, ChildrenUnderABarOrScrolledAwayAreNotThereForTheMouse)
{
    AddColumn(14);
    Box->VertScrollBar().SetPosition(99999);
    // The 14th button is now at the bottom, at 180 in the box.
    ASSERT_EQ(Buttons[13]->Top(), 180);
    int clicked = -1;
    for (int n = 0; n < 14; ++n) Buttons[n]->OnClick = [&clicked, n](TObject*) { clicked = n; };
    InputDriver::ClickAt(*Form, 10 + 60, 10 + 180 + 60);
    EXPECT_EQ(clicked, 13);
    // A button cut by the box's lower edge: its hidden part takes no click.
    Box->VertScrollBar().SetPosition(0);
    clicked = -1;
    InputDriver::ClickAt(*Form, 10 + 60, 10 + 300 + 5);  // below the box, over the 3rd button's rest
    EXPECT_EQ(clicked, -1);
    // Nor does a child under the vertical bar's strip.
    auto* wide = new TPanel(Form);
    wide->SetParent(Box);
    wide->SetBounds(0, 0, 200, 40);
    wide->OnClick = [&clicked](TObject*) { clicked = 100; };
    InputDriver::ClickAt(*Form, 10 + 200 - 5, 10 + 20);
    EXPECT_EQ(clicked, -1);
    InputDriver::ClickAt(*Form, 10 + 100, 10 + 20);
    EXPECT_EQ(clicked, 100);
}

TEST_F(ScrollBoxTest, TheWheelScrollsTheBoxBelowThePointer)
{
    AddColumn(14);
    auto* image = new TImage(Form);
    image->SetParent(Box);
    image->SetBounds(130, 0, 10, 10);
    const int maxPos = Box->VertScrollBar().MaxPosition();
    // Over a button, over a windowless child, over the box itself: all scroll.
    InputDriver::Wheel(*Form, 10 + 60, 10 + 60, -1);
    const int step = Box->VertScrollBar().Position();
    EXPECT_GT(step, 0);
    InputDriver::Wheel(*Form, 10 + 135, 10 + 5 - 0, -1);  // where the image was; it moved, the box is below
    InputDriver::Wheel(*Form, 10 + 160, 10 + 250, -2);
    EXPECT_EQ(Box->VertScrollBar().Position(), 4 * step);
    InputDriver::Wheel(*Form, 10 + 60, 10 + 60, 1);
    EXPECT_EQ(Box->VertScrollBar().Position(), 3 * step);
    for (int i = 0; i < 100; ++i) InputDriver::Wheel(*Form, 10 + 60, 10 + 60, -1);
    EXPECT_EQ(Box->VertScrollBar().Position(), maxPos);
    // The 14th button can now be reached and clicked.
    bool clicked = false;
    Buttons[13]->OnClick = [&clicked](TObject*) { clicked = true; };
    InputDriver::Click(*Buttons[13]);
    EXPECT_TRUE(clicked);
    // Outside the box the wheel leaves it alone.
    InputDriver::Wheel(*Form, 400, 350, 3);
    EXPECT_EQ(Box->VertScrollBar().Position(), maxPos);
    // Shift turns it sideways, when there is a horizontal bar.
    auto* wide = new TPanel(Form);
    wide->SetParent(Box);
    wide->SetBounds(0, 0, 1000, 10);
    InputDriver::Wheel(*Form, 10 + 60, 10 + 60, -1, ssShift);
    EXPECT_GT(Box->HorzScrollBar().Position(), 0);
}

TEST_F(ScrollBoxTest, KeysScrollWhenTheBoxOrAButtonInItHasTheFocusButNotAnEdit)
{
    auto* image = new TImage(Form);
    image->SetParent(Box);
    image->SetBounds(0, 0, 3000, 2000);
    auto* edit = new TEdit(Form);
    edit->SetParent(Box);
    edit->SetBounds(0, 0, 100, 21);
    // Clicking the picture focuses the box.
    InputDriver::ClickAt(*Form, 10 + 150, 10 + 150);
    ASSERT_EQ(Form->ActiveControl(), Box);
    const TControlScrollBar& v = Box->VertScrollBar();
    const TControlScrollBar& h = Box->HorzScrollBar();
    struct Step {
        std::uint16_t key;
        int horz, vert;
    } steps[] = {
        {VK_DOWN, 0, 8},
        {VK_DOWN, 0, 16},
        {VK_UP, 0, 8},
        {VK_RIGHT, 8, 8},
        {VK_NEXT, 8, 8 + v.PageSize() - 8},
        {VK_END, 8, v.MaxPosition()},
        {VK_PRIOR, 8, v.MaxPosition() - (v.PageSize() - 8)},
        {VK_HOME, 8, 0},
        {VK_LEFT, 0, 0},
        {VK_UP, 0, 0},
    };
    for (const Step& s : steps) {
        InputDriver::PressKey(*Form, s.key);
        EXPECT_EQ(h.Position(), s.horz) << s.key;
        EXPECT_EQ(v.Position(), s.vert) << s.key;
    }
    EXPECT_EQ(image->Left(), 0);
    InputDriver::PressKey(*Form, VK_END);
    EXPECT_EQ(image->Top() + image->Height(), Box->ClientHeight());
    // Arrows in an edit move its caret, not the box.
    InputDriver::PressKey(*Form, VK_HOME);
    edit->SetFocus();
    InputDriver::PressKey(*Form, VK_DOWN);
    EXPECT_EQ(v.Position(), 0);
}

TEST_F(ScrollBoxTest, AControlTakingTheFocusIsScrolledIntoView)
{
    AddColumn(12);
    auto* wide = new TEdit(Form);
    wide->SetParent(Box);
    wide->SetBounds(150, 5, 400, 21);
    const TControlScrollBar& v = Box->VertScrollBar();
    const TControlScrollBar& h = Box->HorzScrollBar();
    const int client = Box->ClientHeight();
    struct Step {
        TWinControl* control;
        int horz, vert;  // the positions after it took the focus
    } steps[] = {
        {Buttons[1], 0, 0},                          // in view: nothing moves
        {Buttons[9], 0, 9 * 122 + 10 + 120 - client},  // below: its bottom at the bottom
        {Buttons[7], 0, 7 * 122 + 10},               // partly seen: the rest comes in
        {Buttons[3], 0, 3 * 122 + 10},               // above: its top at the top
        {wide, 150, 5},                              // wider than the box: its start shows
        {Buttons[0], 1, 5},                          // only the way it is out of view
    };
    for (const Step& s : steps) {
        s.control->SetFocus();
        EXPECT_EQ(h.Position(), s.horz) << s.control->Name();
        EXPECT_EQ(v.Position(), s.vert) << s.control->Name();
    }
    EXPECT_EQ(Buttons[0]->Left(), 0);
}

TEST_F(ScrollBoxTest, ScrolledChildrenPaintAtTheirPlacesAndNotOverTheBars)
{
    Box->SetColor(clWhite);
    auto* image = new TImage(Form);
    image->SetParent(Box);
    image->SetBounds(0, 0, 600, 600);
    image->Picture().Bitmap().SetSize(600, 600);
    TCanvas& c = image->Picture().Bitmap().Canvas();
    c.Brush().SetColor(clRed);
    c.FillRect(Rect(0, 0, 600, 600));
    c.Brush().SetColor(clBlue);
    c.FillRect(Rect(500, 500, 600, 600));  // the bottom-right corner
    Box->HorzScrollBar().SetPosition(99999);
    Box->VertScrollBar().SetPosition(99999);
    Form->PaintSurface();
    const TBitmap& s = Form->Surface();
    const int right = 10 + Box->ClientWidth();
    const int bottom = 10 + Box->ClientHeight();
    EXPECT_EQ(s.Pixel(right - 1, bottom - 1), clBlue);
    EXPECT_EQ(s.Pixel(right - 99, bottom - 99), clBlue);
    EXPECT_EQ(s.Pixel(right - 101, bottom - 101), clRed);
    // The bars' strips show the box, not the picture beneath them.
    EXPECT_NE(s.Pixel(right + 3, 50), clRed);
    EXPECT_NE(s.Pixel(50, bottom + 3), clRed);
}

}  // namespace

#include "shared/Tranbtn.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/InputDriver.h"
#include "platform/controls/LayoutReader.h"
#include "platform/controls/TApplication.h"

namespace {

constexpr TColor Key = clLime;
constexpr TColor Ink = clRed;
constexpr TColor Back = clWhite;

// 20 x 20: the five left columns have the key colour (the bottom-left pixel
// makes it the transparent colour), the rest is red.
std::unique_ptr<TBitmap> Picture()
{
    auto b = std::make_unique<TBitmap>(20, 20, pf24bit);
    b->Fill(Ink);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 5; ++x) b->SetPixel(x, y, Key);
    return b;
}

class TranBtn : public ::testing::Test {
protected:
    TranBtn()
    {
        Form = new TForm(&App);
        Form->SetBounds(0, 0, 200, 120);
        Form->SetColor(Back);
        Button = new TMTranBtn(Form);
        Button->SetParent(Form);
        Button->SetBounds(10, 10, 30, 30);
        Button->SetBitMap(*Picture());
        Button->OnClick = [this](TObject*) { Log.push_back("click"); };
        Form->Show();
        Form->PaintSurface();
    }
    TColor At(int x, int y) { return Form->Surface().Pixel(Button->Left() + x, Button->Top() + y); }
    // The bounding box of the red pixels, in button coordinates.
    TRect InkBox()
    {
        TRect box{1000, 1000, -1, -1};
        for (int y = 0; y < Button->Height(); ++y)
            for (int x = 0; x < Button->Width(); ++x)
                if (At(x, y) == Ink) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box;
    }
    void Move(int x, int y) { InputDriver::MouseMove(*Form, Button->Left() + x, Button->Top() + y); }
    void Down(int x, int y) { InputDriver::MouseDown(*Form, Button->Left() + x, Button->Top() + y); }
    void Up(int x, int y) { InputDriver::MouseUp(*Form, Button->Left() + x, Button->Top() + y); }
    void Paint() { Form->PaintSurface(); }

    TApplication App;
    TForm* Form;
    TMTranBtn* Button;
    std::vector<std::string> Log;
};

TEST_F(TranBtn, ConstructionDefaults)
{
    TMTranBtn b(nullptr);
    EXPECT_EQ(b.Width(), 30);
    EXPECT_EQ(b.Height(), 30);
    EXPECT_EQ(b.Border(), BsNormal);
    EXPECT_EQ(b.Font().Name(), "Arial");
    EXPECT_EQ(b.Font().Size(), 9);
    EXPECT_TRUE(b.BitMap().Empty());
    EXPECT_FALSE(b.Pressed());
}

TEST_F(TranBtn, PictureAtFiveFiveAndAtSixSixWhilePressed)
{
    EXPECT_EQ(Button->ImageRect(), Rect(5, 5, 25, 25));
    // The key columns 5..9 stay unpainted: the form shows through.
    EXPECT_EQ(InkBox(), Rect(10, 5, 25, 25));
    EXPECT_EQ(At(7, 10), Back);
    Move(15, 15);
    Down(15, 15);
    ASSERT_TRUE(Button->Pressed());
    EXPECT_EQ(InkBox(), Rect(11, 6, 26, 26));
    Up(15, 15);
    EXPECT_EQ(InkBox(), Rect(10, 5, 25, 25));
    EXPECT_EQ(Log, (std::vector<std::string>{"click"}));
}

TEST_F(TranBtn, BordersAtRestHotAndPressed)
{
    const TColor light = ColorToRGB(clBtnHighlight);
    const TColor dark = ColorToRGB(clBtnShadow);
    struct Case {
        BStyle Border;
        TColor Rest, Hot, PressedCorner;
    } cases[] = {
        {BsNormal, light, light, dark},
        {BsIe, Back, light, dark},
        {BSnone, Back, Back, Back},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Border);
        Button->SetBorder(c.Border);
        Move(150, 100);  // away
        Paint();
        EXPECT_EQ(At(0, 0), c.Rest);
        Move(15, 15);  // enters: BsIe draws its frame at once
        EXPECT_EQ(At(0, 0), c.Hot);
        Down(15, 15);
        EXPECT_EQ(At(0, 0), c.PressedCorner);
        if (c.Border != BSnone) {
            EXPECT_EQ(At(29, 29), light);
        }
        Up(15, 15);
        Move(150, 100);  // leaves
        Paint();
        EXPECT_EQ(At(0, 0), c.Rest);
    }
}

TEST_F(TranBtn, BSnoneReactsOnlyToOpaquePixels)
{
    Button->SetBorder(BSnone);
    Move(7, 15);  // over a key pixel of the picture
    EXPECT_FALSE(Button->Hot());
    Down(7, 15);
    EXPECT_FALSE(Button->Pressed());
    EXPECT_EQ(InkBox(), Rect(10, 5, 25, 25));  // not shifted
    Up(7, 15);
    EXPECT_EQ(Log, (std::vector<std::string>{"click"}));  // the click still comes

    Move(15, 15);
    EXPECT_TRUE(Button->Hot());
    Down(15, 15);
    EXPECT_TRUE(Button->Pressed());
    Move(7, 15);
    Up(7, 15);  // released over a key pixel: stays pressed
    EXPECT_TRUE(Button->Pressed());
    Move(15, 15);
    Down(15, 15);
    Up(15, 15);
    EXPECT_FALSE(Button->Pressed());
}

TEST_F(TranBtn, SettingTheSameBorderDoesNotRepaint)
{
    Paint();
    const int before = Form->PaintCount();
    Button->SetBorder(BsNormal);
    EXPECT_FALSE(Form->NeedsPaint());
    EXPECT_EQ(Form->PaintCount(), before);
    Button->SetBorder(BsIe);
    EXPECT_EQ(Form->PaintCount(), before + 1);
}

TEST_F(TranBtn, DisabledGetsNoMouse)
{
    Button->SetEnabled(false);
    Move(15, 15);
    Down(15, 15);
    Up(15, 15);
    EXPECT_FALSE(Button->Hot());
    EXPECT_FALSE(Button->Pressed());
    EXPECT_TRUE(Log.empty());
}

// The font size whose "W" is `height` pixels high, found by measuring.
int SizeForTextHeight(const std::string& name, int height)
{
    TBitmap scratch(10, 10, pf24bit);
    for (int size = 4; size < 40; ++size) {
        scratch.Canvas().Font().SetName(name);
        scratch.Canvas().Font().SetSize(size);
        if (scratch.Canvas().TextHeight("W") == height) return size;
    }
    return 0;
}

TEST_F(TranBtn, CaptionUnderThePicture)
{
    const int size = SizeForTextHeight("Arial", 15);
    ASSERT_NE(size, 0) << "no font size gives a text height of 15";
    Button->Font().SetSize(size);
    Button->FontChanged();
    Button->SetBounds(10, 10, 60, 60);
    Button->SetCaption("next");
    Paint();
    EXPECT_EQ(Button->ImageRect(), Rect(20, 12, 40, 32));  // (60 - 20 - 15) div 2 = 12
    EXPECT_EQ(Button->CaptionRect().Top, 32);
    EXPECT_EQ(Button->CaptionRect().Bottom, 47);
    // While pressed the text moves down one pixel and starts at 2.
    Move(30, 20);
    Down(30, 20);
    EXPECT_EQ(Button->CaptionRect(), Rect(2, 33, 60, 47));
    Up(30, 20);
    // Without a picture the caption is centred vertically.
    Button->SetBitMap(TBitmap());
    Paint();
    EXPECT_EQ(Button->CaptionRect().Top, (60 - 15) / 2);
}

TEST_F(TranBtn, LongCaptionsAreDrawnWhole)
{
    Button->SetBitMap(TBitmap());
    Button->SetBounds(0, 0, 200, 30);
    Button->Font().SetColor(clBlack);
    Button->FontChanged();
    Button->SetBorder(BSnone);
    const std::string caption(60, 'i');
    Button->SetCaption(caption);
    Paint();
    int first = 1000;
    int last = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 200; ++x)
            if (At(x, y) == clBlack) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    TBitmap scratch(10, 10, pf24bit);
    scratch.Canvas().Font().Assign(Button->Font());
    ASSERT_GE(last, first);
    EXPECT_GT(last - first + 1, scratch.Canvas().TextWidth(std::string(40, 'i')));
}

TEST(DrawTransparentBitmap, LeavesKeyPixelsAndRestoresTheSource)
{
    TMTranBtn button(nullptr);
    TBitmap target(8, 4, pf24bit);
    target.Fill(clBlue);
    TBitmap source(3, 2, pf24bit);
    source.Fill(Ink);
    source.SetPixel(1, 0, Key);
    source.SetPixel(0, 1, Key);
    button.DrawTransparentBitmap(target.Canvas().Handle(), source, 2, 1, Key);
    const std::vector<std::string> expected = {
        "BBBBBBBB",
        "BBRBRBBB",
        "BBBRRBBB",
        "BBBBBBBB",
    };
    for (int y = 0; y < 4; ++y) {
        std::string row;
        for (int x = 0; x < 8; ++x) row += target.Pixel(x, y) == Ink ? 'R' : target.Pixel(x, y) == clBlue ? 'B' : '?';
        EXPECT_EQ(row, expected[static_cast<std::size_t>(y)]) << "row " << y;
    }
    EXPECT_EQ(source.Pixel(1, 0), Key);
    EXPECT_EQ(source.Pixel(2, 1), Ink);
}

TEST(TranBtnLayout, BorderIsAlwaysStoredAndTheBitmapRoundTrips)
{
    RegisterTranBtn();
    TApplication app;
    TForm form(nullptr);
    form.SetName("Start");
    auto* b = new TMTranBtn(&form);
    b->SetName("Next");
    b->SetParent(&form);
    b->SetBitMap(*Picture());
    b->SetCaption("next");
    const std::string text = WriteComponentLayout(form);
    EXPECT_NE(text.find("Border = BsNormal"), std::string::npos) << text;
    TForm copy(nullptr);
    ReadComponentLayout(copy, text, nullptr, "copy");
    auto* again = dynamic_cast<TMTranBtn*>(copy.FindComponent("Next"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Caption(), "next");
    ASSERT_EQ(again->BitMap().Width(), 20);
    EXPECT_EQ(again->BitMap().Pixel(10, 10), Ink);
    EXPECT_EQ(WriteComponentLayout(copy), text);
}

TEST(TranBtnLayout, BitMapFileNameLoadsThePictureBesideTheLayouts)
{
    RegisterTranBtn();
    TApplication app;
    const std::string folder = ::testing::TempDir() + "tranbtn-layout/";
    std::filesystem::create_directories(folder + "art");
    Picture()->SaveToFile(folder + "art/next.bmp");
    SetLayoutDirectory(folder);
    TForm form(nullptr);
    ReadComponentLayout(form,
                        "object Start: TForm\n"
                        "  object Next: TMTranBtn\n"
                        "    BitMap.FileName = 'art/next.bmp'\n"
                        "  end\n"
                        "end\n",
                        nullptr, "start");
    SetLayoutDirectory(GALLERY_SOURCE_DIR "/resources");
    auto* button = dynamic_cast<TMTranBtn*>(form.FindComponent("Next"));
    ASSERT_NE(button, nullptr);
    ASSERT_EQ(button->BitMap().Width(), 20);
    EXPECT_EQ(button->BitMap().Pixel(10, 10), Ink);
    // A file name is a reference, not data: the written layout carries the picture itself.
    EXPECT_EQ(WriteComponentLayout(form).find("FileName"), std::string::npos);
}

}  // namespace

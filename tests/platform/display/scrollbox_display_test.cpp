// Scroll boxes as real windows: the toolkit's scroll bars, the wheel and a
// dragged bar, under a private X server (screenshots in <build>/screenshots/).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display_loop.h"
#include "x_server.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TPanel.h"

namespace {

using DisplayLoop::Pump;
using DisplayLoop::PumpUntil;
using DisplayLoop::Shot;

class ScrollBoxDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        static const std::string skip = DisplayLoop::StartBackend();
        if (!skip.empty()) GTEST_SKIP() << skip;
        App = std::make_unique<TApplication>();
        Form = new TForm(App.get());
        Form->SetCaption("Scroll boxes");
        Form->SetBounds(100, 100, 560, 420);
    }
    void TearDown() override
    {
        App.reset();
        Pump(50);
    }
    static bool Mouse(const std::string& what) { return XServer::Tool(what); }
    static std::string At(const TControl& c, int x, int y)
    {
        const TPoint p = c.ClientToScreen({x, y});
        return "mousemove --sync " + std::to_string(p.X) + " " + std::to_string(p.Y);
    }

    // A borderless box at the form's left holding a column of 14 thumbnails
    // like the viewer's, 122 pixels apart.
    std::vector<TBitBtn*> ThumbnailColumn(TScrollBox*& box)
    {
        box = new TScrollBox(Form);
        box->SetParent(Form);
        box->SetBounds(0, 0, 150, 420);
        box->SetBorderStyle(bsNoBorder);
        std::vector<TBitBtn*> thumbs;
        for (int n = 0; n < 14; ++n) {
            auto* b = new TBitBtn(Form);
            b->SetName("BT" + std::to_string(n));
            b->SetParent(box);
            b->SetCaption("IMG " + std::to_string(n + 1));
            b->SetBounds(1, n * 122 + 10, 120, 120);
            thumbs.push_back(b);
        }
        return thumbs;
    }

    std::unique_ptr<TApplication> App;
    TForm* Form = nullptr;
};

TEST_F(ScrollBoxDisplay, TheWheelReachesTheLastThumbnailWhichThenClicks)
{
    TScrollBox* box = nullptr;
    const std::vector<TBitBtn*> thumbs = ThumbnailColumn(box);
    box->SetColor(clGray);
    int clicked = -1;
    for (int n = 0; n < 14; ++n) thumbs[n]->OnClick = [&clicked, n](TObject*) { clicked = n; };
    TBitBtn* last = thumbs.back();
    Form->Show();
    Pump(300);
    ASSERT_TRUE(box->VertScrollBar().IsScrollBarVisible());
    Shot("scrollbox-thumbnails-top", *Form);
    ASSERT_TRUE(Mouse(At(*box, 60, 200)));
    for (int i = 0; i < 40 && box->VertScrollBar().Position() < box->VertScrollBar().MaxPosition(); ++i) {
        ASSERT_TRUE(Mouse("click 5"));
        Pump(30);
    }
    EXPECT_EQ(box->VertScrollBar().Position(), box->VertScrollBar().MaxPosition());
    EXPECT_EQ(last->Top() + last->Height(), box->ClientHeight());
    const std::string shot = Shot("scrollbox-thumbnails-bottom", *Form);
    // The toolkit's bar sits at the right edge, its thumb at the bottom.
    EXPECT_FALSE(XServer::Near(XServer::PixelOf(shot, 150 - 8, 30), 128, 128, 128, 4));
    ASSERT_TRUE(Mouse(At(*last, 60, 60) + " click 1"));
    EXPECT_TRUE(PumpUntil([&] { return clicked >= 0; }));
    EXPECT_EQ(clicked, 13);
}

TEST_F(ScrollBoxDisplay, TabOntoAThumbnailOutOfSightScrollsItIntoView)
{
    TScrollBox* box = nullptr;
    const std::vector<TBitBtn*> thumbs = ThumbnailColumn(box);
    Form->Show();
    thumbs[0]->SetFocus();
    Pump(300);
    XServer::Later(XServer::KeysTo("Scroll boxes", "key --delay 80 Tab Tab Tab Tab Tab Tab Tab Tab Tab"));
    ASSERT_TRUE(PumpUntil([&] { return Form->ActiveControl() == thumbs[9]; }, 8000));
    Pump(200);
    EXPECT_EQ(thumbs[9]->Top() + thumbs[9]->Height(), box->ClientHeight());
    const std::string shot = Shot("scrollbox-tab-to-tenth", *Form);
    EXPECT_FALSE(shot.empty());
}

TEST_F(ScrollBoxDisplay, ALargePictureScrollsToItsBottomRightCorner)
{
    auto* box = new TScrollBox(Form);
    box->SetParent(Form);
    box->SetBounds(0, 0, 560, 420);
    box->SetBorderStyle(bsNoBorder);
    box->SetColor(clGray);
    auto* image = new TImage(Form);
    image->SetParent(box);
    image->SetBounds(1, 1, 3000, 2000);
    TBitmap& bitmap = image->Picture().Bitmap();
    bitmap.SetSize(3000, 2000);
    bitmap.Canvas().Brush().SetColor(RGB(200, 40, 40));
    bitmap.Canvas().FillRect(Rect(0, 0, 3000, 2000));
    bitmap.Canvas().Brush().SetColor(RGB(30, 60, 220));
    bitmap.Canvas().FillRect(Rect(2900, 1900, 3000, 2000));
    Form->Show();
    Pump(300);
    ASSERT_TRUE(box->HorzScrollBar().IsScrollBarVisible());
    ASSERT_TRUE(box->VertScrollBar().IsScrollBarVisible());
    const int cw = box->ClientWidth();
    const int ch = box->ClientHeight();
    // Down by the wheel over the picture.
    ASSERT_TRUE(Mouse(At(*box, 200, 200)));
    for (int i = 0; i < 60 && box->VertScrollBar().Position() < box->VertScrollBar().MaxPosition(); ++i) {
        ASSERT_TRUE(Mouse("click 5"));
        Pump(20);
    }
    EXPECT_EQ(box->VertScrollBar().Position(), box->VertScrollBar().MaxPosition());
    // Across by dragging the horizontal bar's thumb to the right end.
    ASSERT_TRUE(Mouse(At(*box, 30, ch + TScrollBox::ScrollBarSize / 2) + " mousedown 1"));
    ASSERT_TRUE(Mouse(At(*box, cw / 2, ch + TScrollBox::ScrollBarSize / 2)));
    Pump(100);
    ASSERT_TRUE(Mouse(At(*box, cw - 5, ch + TScrollBox::ScrollBarSize / 2)));
    Pump(100);
    ASSERT_TRUE(Mouse("mouseup 1"));
    EXPECT_TRUE(PumpUntil([&] { return box->HorzScrollBar().Position() == box->HorzScrollBar().MaxPosition(); }));
    EXPECT_EQ(image->Left() + image->Width(), cw);
    EXPECT_EQ(image->Top() + image->Height(), ch);
    const std::string shot = Shot("scrollbox-picture-corner", *Form);
    EXPECT_TRUE(XServer::Near(XServer::PixelOf(shot, cw - 5, ch - 5), 30, 60, 220));
    EXPECT_TRUE(XServer::Near(XServer::PixelOf(shot, cw - 120, ch - 120), 200, 40, 40));
}

}  // namespace

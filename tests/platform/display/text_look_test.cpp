// One look of text on the display: every control, menu, message box, dialog
// and hint shows a caption with exactly the glyphs the canvas draws for the
// default font, hard and at its size (screenshots in <build>/screenshots/).

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "display_loop.h"
#include "x_server.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/TButton.h"
#include "platform/controls/TCheckBox.h"
#include "platform/controls/TComboBox.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TListBox.h"
#include "platform/controls/TMenu.h"
#include "platform/core/Files.h"
#include "platform/display/HintWindow.h"
#include "platform/graphics/TBitmap.h"
#include "tests/support/TempFolder.h"

namespace {

using DisplayLoop::Pump;
using DisplayLoop::Shot;

constexpr const char* Sample = "Hamburg Quiz";

// Ink is the text colour itself: hard glyphs have no shade between it and the ground.
bool Ink(const XServer::Rgb& p) { return p.R == 0 && p.G == 0 && p.B == 0; }
// A shade no ground of these controls has: the edge of a smoothed glyph.
bool Shade(const XServer::Rgb& p) { return !Ink(p) && p.R + p.G + p.B < 3 * 170; }

struct TPicture {
    int Width = 0, Height = 0;
    std::vector<XServer::Rgb> Pixels;
    const XServer::Rgb& At(int x, int y) const { return Pixels[static_cast<std::size_t>(y * Width + x)]; }
};

TPicture Load(const std::string& file)
{
    TPicture picture;
    if (FILE* pipe = popen(("identify -format '%w %h' '" + file + "'").c_str(), "r")) {
        if (std::fscanf(pipe, "%d %d", &picture.Width, &picture.Height) != 2) picture.Width = picture.Height = 0;
        pclose(pipe);
    }
    if (picture.Width > 0) picture.Pixels = XServer::PixelsOf(file, 0, 0, picture.Width, picture.Height);
    if (picture.Pixels.empty()) picture.Width = picture.Height = 0;
    return picture;
}

// The text as the canvas draws it in the default font, black on white, cut to its ink.
TPicture CanvasText(const std::string& text)
{
    TBitmap bitmap(300, 40, pf24bit);
    bitmap.Fill(clWhite);
    bitmap.Canvas().Font().SetColor(clBlack);
    bitmap.Canvas().TextOut(4, 4, text);
    int left = 300, top = 40, right = -1, bottom = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 300; ++x)
            if (ColorToRGB(bitmap.Pixel(x, y)) == 0) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    TPicture ink;
    if (right < 0) return ink;
    ink.Width = right - left + 1;
    ink.Height = bottom - top + 1;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const bool on = ColorToRGB(bitmap.Pixel(x, y)) == 0;
            ink.Pixels.push_back(on ? XServer::Rgb{0, 0, 0} : XServer::Rgb{255, 255, 255});
        }
    return ink;
}

// Whether the area of the picture shows the text pixel for pixel, with no
// shaded pixel around its glyphs.
bool ShowsText(const TPicture& picture, const TPicture& text, TRect area)
{
    area = IntersectRect(area, {0, 0, picture.Width, picture.Height});
    for (int y = area.Top; y + text.Height <= area.Bottom; ++y)
        for (int x = area.Left; x + text.Width <= area.Right; ++x) {
            bool same = true;
            for (int j = 0; same && j < text.Height; ++j)
                for (int i = 0; same && i < text.Width; ++i) {
                    const XServer::Rgb& p = picture.At(x + i, y + j);
                    same = Ink(text.At(i, j)) ? Ink(p) : !Ink(p) && !Shade(p);
                }
            if (same) return true;
        }
    return false;
}

class TextLook : public ::testing::Test {
protected:
    void SetUp() override
    {
        static const std::string skip = DisplayLoop::StartBackend();
        if (!skip.empty()) GTEST_SKIP() << skip;
        App = std::make_unique<TApplication>();
        Text = CanvasText(Sample);
        ASSERT_GT(Text.Width, 40);
    }
    void TearDown() override
    {
        App.reset();
        Pump(50);
    }
    template <class T>
    T& Add(TForm& form, int x, int y, int w, int h)
    {
        auto* control = new T(&form);
        control->SetParent(&form);
        control->SetBounds(x, y, w, h);
        return *control;
    }
    // A control below the last one on the left, with the sample as its caption.
    template <class T>
    T& Captioned(TForm& form, int h = 20)
    {
        T& control = Add<T>(form, 10, FNextTop, 140, h);
        control.SetCaption(Sample);
        FNextTop += h + 10;
        return control;
    }
    // A control's rectangle in the screenshot of its form.
    static TRect InShot(const TForm& form, const TControl& control)
    {
        const TRect window = DisplayWindowRect(form);
        const TPoint p = control.ClientToScreen({0, 0});
        return {p.X - window.Left, p.Y - window.Top, p.X - window.Left + control.Width(),
                p.Y - window.Top + control.Height()};
    }

    std::unique_ptr<TApplication> App;
    TPicture Text;

private:
    int FNextTop = 10;
};

TEST_F(TextLook, EveryControlAndTheMenuBarShowTheCanvasGlyphs)
{
    auto* form = new TForm(App.get());
    form->SetCaption("Text look");
    form->SetBounds(120, 120, 460, 300);
    auto* menu = new TMainMenu(form);
    auto* item = new TMenuItem(form);
    item->SetCaption(Sample);
    menu->Items().Add(item);
    form->SetMenu(menu);
    auto& label = Captioned<TLabel>(*form);
    auto& button = Captioned<TButton>(*form, 28);
    auto& check = Captioned<TCheckBox>(*form);
    auto& radio = Captioned<TRadioButton>(*form);
    auto& statics = Captioned<TStaticText>(*form);
    auto& edit = Add<TEdit>(*form, 200, 10, 160, 24);
    edit.SetText(Sample);
    auto& list = Add<TListBox>(*form, 200, 40, 160, 60);
    list.Items().Add(Sample);
    auto& combo = Add<TComboBox>(*form, 200, 110, 160, 24);
    combo.Items().Add(Sample);
    combo.SetItemIndex(0);
    auto& memo = Add<TMemo>(*form, 200, 145, 160, 60);
    memo.Lines().Add(Sample);
    form->Show();
    Pump(300);

    const TPicture shot = Load(Shot("text-look-controls", *form));
    ASSERT_GT(shot.Width, 0);
    const TRect window = DisplayWindowRect(*form);
    const TPoint client = form->ClientToScreen({0, 0});
    const TRect menuBar{0, 0, shot.Width, client.Y - window.Top};
    EXPECT_TRUE(ShowsText(shot, Text, menuBar)) << "menu bar";
    const std::pair<const char*, const TControl*> controls[] = {
        {"label", &label}, {"button", &button}, {"check box", &check}, {"radio button", &radio},
        {"static text", &statics}, {"edit", &edit}, {"list box", &list}, {"combo box", &combo}, {"memo", &memo}};
    for (const auto& [name, control] : controls) EXPECT_TRUE(ShowsText(shot, Text, InShot(*form, *control))) << name;
}

TEST_F(TextLook, MessageBoxesDialogsAndHintsShowTheCanvasGlyphs)
{
    auto* form = new TForm(App.get());
    form->SetCaption("Text look");
    form->SetBounds(300, 300, 200, 100);
    form->Show();
    Pump(200);

    XServer::Later(XServer::KeysTo("Look", "key Return", "text-look-message-box"));
    EXPECT_EQ(Application->MessageBox(Sample, "Look", MB_OK), IDOK);
    const TPicture box = Load(XServer::ScreenshotPath("text-look-message-box"));
    ASSERT_GT(box.Width, 0);
    EXPECT_TRUE(ShowsText(box, Text, {0, 0, box.Width, box.Height})) << "message box";

    testsupport::TempFolder temp;
    WriteFileBytes(temp.Path() + Sample + ".jpg", "x");
    TOpenDialog dialog(nullptr);
    dialog.SetInitialDir(temp.Path().substr(0, temp.Path().size() - 1));
    dialog.SetFilter("Pictures (*.jpg)|*.jpg");
    XServer::Later(XServer::KeysTo("Open", "key Escape", "text-look-open-dialog"));
    EXPECT_FALSE(dialog.Execute());
    const TPicture files = Load(XServer::ScreenshotPath("text-look-open-dialog"));
    ASSERT_GT(files.Width, 0);
    EXPECT_TRUE(ShowsText(files, Text, {0, 0, files.Width, files.Height})) << "file list";
    EXPECT_TRUE(ShowsText(files, CanvasText("Cancel"), {0, 0, files.Width, files.Height})) << "dialog button";

    ShowHintWindow(Sample, 500, 500);
    Pump(300);
    const TPicture hint = Load(XServer::Screenshot("text-look-hint", 490, 490, 200, 60));
    HideHintWindow();
    ASSERT_GT(hint.Width, 0);
    EXPECT_TRUE(ShowsText(hint, Text, {0, 0, hint.Width, hint.Height})) << "hint";
}

}  // namespace

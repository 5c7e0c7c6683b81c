// The colour and font dialogs, as windows of our own.
//
// Colour: the basic colours as swatches, the toolkit's colour chooser for any
// other (in bytes, its mode list hidden: a choice list would open a menu loop
// of the toolkit's own), and a preview. Font: the installed families, the
// styles, the sizes, the effects and a sample drawn in the chosen font.

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/core/AnsiString.h"
#include "platform/display/Dialogs.h"
#include "platform/display/ScreenAccess.h"
#include "platform/display/Toolkit.h"
#include "platform/display/ToolkitText.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Color_Chooser.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/fl_draw.H>

namespace {

class TSwatch : public Fl_Widget {
public:
    TSwatch(int x, int y, int w, int h, TColor color) : Fl_Widget(x, y, w, h), FColor(color) {}
    TColor Color() const { return FColor; }
    void SetColor(TColor color)
    {
        FColor = color;
        redraw();
    }
    void draw() override
    {
        fl_color(Fl::focus() == this ? FL_BLACK : fl_rgb_color(160, 160, 160));
        fl_rect(x(), y(), w(), h());
        fl_rectf(x() + 2, y() + 2, w() - 4, h() - 4, Toolkit::Color(FColor));
    }
    int handle(int event) override
    {
        if (event == FL_PUSH) {
            do_callback();
            return 1;
        }
        return Fl_Widget::handle(event);
    }

private:
    TColor FColor;
};

// Eight hues in six shades, and the greys.
std::vector<TColor> BasicColors()
{
    static const unsigned char hues[8][3] = {{255, 0, 0},   {255, 128, 0}, {255, 255, 0}, {0, 192, 0},
                                             {0, 192, 192}, {0, 0, 255},   {128, 0, 255}, {255, 0, 255}};
    std::vector<TColor> colors;
    for (int shade = 0; shade < 5; ++shade)
        for (const auto& hue : hues) {
            auto mix = [shade](int c) {
                static const double weights[] = {0.35, 0.6, 1.0, 1.0, 1.0};
                static const double lift[] = {0.0, 0.0, 0.0, 0.4, 0.7};
                const double v = c * weights[shade] + (255 - c * weights[shade]) * lift[shade];
                return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
            };
            colors.push_back(RGB(mix(hue[0]), mix(hue[1]), mix(hue[2])));
        }
    for (int i = 0; i < 8; ++i) {
        const auto g = static_cast<std::uint8_t>(i * 255 / 7);
        colors.push_back(RGB(g, g, g));
    }
    return colors;
}

class TSampleBox : public Fl_Widget {
public:
    TSampleBox(int x, int y, int w, int h, const TFont& font) : Fl_Widget(x, y, w, h), FFont(font) {}
    void SetFont(const TFont& font)
    {
        FFont = font;
        redraw();
    }
    void draw() override
    {
        draw_box(FL_DOWN_BOX, x(), y(), w(), h(), FL_WHITE);
        fl_push_clip(x() + 2, y() + 2, w() - 4, h() - 4);
        fl_font(Toolkit::Font(FFont), Toolkit::FontSize(FFont));
        fl_color(Toolkit::Color(FFont.Color()));
        const char* sample = "AaBbYyZz";
        const int tw = static_cast<int>(fl_width(sample));
        const int tx = x() + (w() - tw) / 2;
        const int ty = y() + (h() + fl_height()) / 2 - fl_descent();
        fl_draw(sample, tx, ty);
        if (FFont.Style() & fsUnderline) fl_line(tx, ty + 2, tx + tw, ty + 2);
        if (FFont.Style() & fsStrikeOut) fl_line(tx, ty - fl_height() / 3, tx + tw, ty - fl_height() / 3);
        fl_pop_clip();
    }

private:
    TFont FFont;
};

Fl_Box& Caption(Fl_Group& group, int x, int y, int w, const char* text)
{
    auto& box = AddWidget<Fl_Box>(group, x, y, w, 20, text);
    box.align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    box.labelsize(Toolkit::TextSize());
    return box;
}

Fl_Button& Button(Fl_Group& group, int x, int y, const char* text)
{
    auto& button = AddWidget<Fl_Button>(group, x, y, 90, 28, text);
    button.labelsize(Toolkit::TextSize());
    return button;
}

}  // namespace

bool RunColorDialog(TColor& color)
{
    auto window = Toolkit::Make<TDialogWindow>(450, 300);
    window->label("Color");
    TCallbacks callbacks;
    bool done = false;
    bool ok = false;
    TColor chosen = ColorToRGB(color);
    Caption(*window, 10, 8, 200, "Basic colors:");
    auto& chooser = AddWidget<Fl_Color_Chooser>(*window, 245, 30, 195, 150);
    for (int i = 0; i < chooser.children(); ++i)
        if (auto* modes = dynamic_cast<Fl_Choice*>(chooser.child(i))) modes->hide();
    chooser.mode(1);
    auto& preview = AddWidget<TSwatch>(*window, 245, 190, 195, 40, chosen);
    auto show = [&chooser, &preview](TColor c, bool toChooser) {
        preview.SetColor(c);
        if (toChooser) chooser.rgb(GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
    };
    show(chosen, true);
    const std::vector<TColor> basics = BasicColors();
    for (std::size_t i = 0; i < basics.size(); ++i) {
        auto& swatch = AddWidget<TSwatch>(*window, 10 + static_cast<int>(i % 8) * 28, 30 + static_cast<int>(i / 8) * 24,
                                          26, 22, basics[i]);
        const TColor c = basics[i];
        callbacks.Bind(swatch, [&chosen, &show, c] {
            chosen = c;
            show(c, true);
        });
    }
    callbacks.Bind(chooser, [&chooser, &chosen, &show] {
        chosen = RGB(static_cast<std::uint8_t>(chooser.r() * 255 + 0.5), static_cast<std::uint8_t>(chooser.g() * 255 + 0.5),
                     static_cast<std::uint8_t>(chooser.b() * 255 + 0.5));
        show(chosen, false);
    });
    window->OnReturn = [&] { ok = done = true; };
    callbacks.Bind(Button(*window, 250, 255, "OK"), [&] { ok = done = true; });
    callbacks.Bind(Button(*window, 350, 255, "Cancel"), [&] { done = true; });
    callbacks.Bind(*window, [&] { done = true; });
    RunModalWindow(*window, [&done] { return done; });
    if (!ok) return false;
    color = chosen;
    return true;
}

bool RunFontDialog(TFont& font)
{
    auto window = Toolkit::Make<TDialogWindow>(470, 340);
    window->label("Font");
    TCallbacks callbacks;
    bool done = false;
    bool ok = false;
    TFont chosen = font;
    const std::vector<std::string> families = ScreenAccess::FontNames();
    static const int sizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
    static const char* styles[] = {"Regular", "Italic", "Bold", "Bold Italic"};

    Caption(*window, 10, 8, 200, "Font:");
    auto& familyList = AddWidget<Fl_Hold_Browser>(*window, 10, 30, 210, 170);
    familyList.format_char(0);
    familyList.textsize(Toolkit::TextSize());
    for (const std::string& f : families) familyList.add(Toolkit::Text(f).c_str());
    Caption(*window, 230, 8, 120, "Font style:");
    auto& styleList = AddWidget<Fl_Hold_Browser>(*window, 230, 30, 130, 170);
    styleList.textsize(Toolkit::TextSize());
    for (const char* s : styles) styleList.add(s);
    Caption(*window, 370, 8, 90, "Size:");
    auto& sizeInput = AddWidget<Fl_Input>(*window, 370, 30, 90, 24);
    sizeInput.textsize(Toolkit::TextSize());
    sizeInput.when(FL_WHEN_CHANGED);
    auto& sizeList = AddWidget<Fl_Hold_Browser>(*window, 370, 56, 90, 144);
    sizeList.textsize(Toolkit::TextSize());
    for (int s : sizes) sizeList.add(std::to_string(s).c_str());
    auto& underline = AddWidget<Fl_Check_Button>(*window, 10, 212, 120, 22, "&Underline");
    underline.labelsize(Toolkit::TextSize());
    auto& strike = AddWidget<Fl_Check_Button>(*window, 10, 236, 120, 22, "Stri&keout");
    strike.labelsize(Toolkit::TextSize());
    Caption(*window, 140, 208, 100, "Sample");
    auto& sample = AddWidget<TSampleBox>(*window, 140, 228, 320, 60, chosen);

    // The lists show the font as it is.
    for (std::size_t i = 0; i < families.size(); ++i)
        if (SameText(families[i], chosen.Name())) {
            familyList.value(static_cast<int>(i) + 1);
            familyList.middleline(static_cast<int>(i) + 1);
        }
    const bool bold = chosen.Style() & fsBold;
    const bool italic = chosen.Style() & fsItalic;
    styleList.value(1 + (italic ? 1 : 0) + (bold ? 2 : 0));
    sizeInput.value(std::to_string(chosen.Size()).c_str());
    for (std::size_t i = 0; i < std::size(sizes); ++i)
        if (sizes[i] == chosen.Size()) sizeList.value(static_cast<int>(i) + 1);
    underline.value((chosen.Style() & fsUnderline) ? 1 : 0);
    strike.value((chosen.Style() & fsStrikeOut) ? 1 : 0);

    auto update = [&] {
        if (familyList.value() > 0) chosen.SetName(families[static_cast<std::size_t>(familyList.value() - 1)]);
        const int style = std::max(1, styleList.value()) - 1;
        TFontStyles s = 0;
        if (style & 1) s |= fsItalic;
        if (style & 2) s |= fsBold;
        if (underline.value()) s |= fsUnderline;
        if (strike.value()) s |= fsStrikeOut;
        chosen.SetStyle(s);
        int size = 0;
        if (TryStrToInt(sizeInput.value(), size) && size >= 1 && size <= 1638) chosen.SetSize(size);
        sample.SetFont(chosen);
    };
    callbacks.Bind(familyList, update);
    callbacks.Bind(styleList, update);
    callbacks.Bind(sizeInput, update);
    callbacks.Bind(sizeList, [&] {
        if (sizeList.value() > 0) sizeInput.value(std::to_string(sizes[sizeList.value() - 1]).c_str());
        update();
    });
    callbacks.Bind(underline, update);
    callbacks.Bind(strike, update);
    window->OnReturn = [&] { ok = done = true; };
    window->FirstFocus = &familyList;
    callbacks.Bind(Button(*window, 270, 300, "OK"), [&] { ok = done = true; });
    callbacks.Bind(Button(*window, 370, 300, "Cancel"), [&] { done = true; });
    callbacks.Bind(*window, [&] { done = true; });
    RunModalWindow(*window, [&done] { return done; });
    if (!ok) return false;
    font = chosen;
    return true;
}

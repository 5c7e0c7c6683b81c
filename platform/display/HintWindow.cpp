#include "platform/display/HintWindow.h"

#include <algorithm>
#include <memory>

#include "platform/display/TDisplay.h"
#include "platform/display/Toolkit.h"
#include "platform/display/ToolkitText.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Window.H>
#include <FL/fl_draw.H>

namespace {

class THintWindow : public Fl_Menu_Window {
public:
    THintWindow() : Fl_Menu_Window(1, 1)
    {
        set_override();
        set_tooltip_window();
        clear_visible_focus();
    }
    void SetText(std::string utf8) { FText = std::move(utf8); }
    const std::string& Text() const { return FText; }
    void draw() override
    {
        fl_rectf(0, 0, w(), h(), fl_rgb_color(255, 255, 225));
        fl_color(FL_DARK3);
        fl_rect(0, 0, w(), h());
        fl_color(FL_BLACK);
        fl_font(FL_HELVETICA, Toolkit::TextSize());
        fl_draw(FText.c_str(), 4, 2, w() - 8, h() - 4, FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP, nullptr, 0);
    }
    int handle(int) override { return 0; }

private:
    std::string FText;
};

std::unique_ptr<THintWindow>& Hint()
{
    static std::unique_ptr<THintWindow> hint;
    return hint;
}

}  // namespace

void ShowHintWindow(const std::string& cp1252, int x, int y)
{
    if (!Hint()) Hint() = Toolkit::Make<THintWindow>();
    THintWindow& hint = *Hint();
    hint.SetText(Toolkit::Text(cp1252));
    fl_font(FL_HELVETICA, Toolkit::TextSize());
    int w = 300;
    int h = 0;
    const std::string text = Toolkit::Text(cp1252);
    fl_measure(text.c_str(), w, h, 0);
    w += 8;
    h += 4;
    x = std::clamp(x, 0, std::max(0, Fl::w() - w));
    if (y + h > Fl::h()) y = std::max(0, y - h - 24);
    hint.resize(x, y, w, h);
    hint.show();
    hint.redraw();
}

void HideHintWindow()
{
    // A hint that is due would show over whatever made this one go.
    if (TDisplay* display = TDisplay::Current()) display->StopTimer(TDisplay::HintTimer);
    if (Hint() && Hint()->shown()) Hint()->hide();
}

void DestroyHintWindow() { Hint().reset(); }

std::string ShownHint() { return Hint() && Hint()->shown() ? Toolkit::FromText(Hint()->Text()) : std::string(); }

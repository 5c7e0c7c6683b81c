// The message box: an icon, the text, and the buttons of its style, the first
// one the default. Escape and the close box answer Cancel where the box has
// it (OK for a box with only OK); a Yes/No box can only be answered.

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/controls/UserInteraction.h"
#include "platform/display/Dialogs.h"
#include "platform/display/Toolkit.h"
#include "platform/display/ToolkitText.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

namespace {

class TIconBox : public Fl_Widget {
public:
    TIconBox(int x, int y, unsigned icon) : Fl_Widget(x, y, 32, 32), FIcon(icon) {}
    void draw() override
    {
        const int cx = x() + 16;
        fl_font(FL_HELVETICA_BOLD, 20);
        if (FIcon == MB_ICONWARNING) {
            fl_color(fl_rgb_color(250, 200, 40));
            fl_polygon(cx, y() + 1, x() + 31, y() + 30, x() + 1, y() + 30);
            fl_color(FL_BLACK);
            fl_draw("!", x(), y() + 8, 32, 22, FL_ALIGN_CENTER);
            return;
        }
        const Fl_Color disc = FIcon == MB_ICONERROR ? fl_rgb_color(220, 50, 50) : fl_rgb_color(40, 110, 210);
        fl_color(disc);
        fl_pie(x(), y(), 32, 32, 0, 360);
        fl_color(FL_WHITE);
        const char* mark = FIcon == MB_ICONERROR ? "X" : FIcon == MB_ICONQUESTION ? "?" : "i";
        fl_draw(mark, x(), y(), 32, 32, FL_ALIGN_CENTER);
    }

private:
    unsigned FIcon;
};

struct TChoice {
    const char* Caption;
    int Answer;
};

std::vector<TChoice> ChoicesOf(unsigned flags)
{
    switch (flags & 0x0F) {
    case MB_OKCANCEL: return {{"OK", IDOK}, {"Cancel", IDCANCEL}};
    case MB_ABORTRETRYIGNORE: return {{"&Abort", IDABORT}, {"&Retry", IDRETRY}, {"&Ignore", IDIGNORE}};
    case MB_YESNOCANCEL: return {{"&Yes", IDYES}, {"&No", IDNO}, {"Cancel", IDCANCEL}};
    case MB_YESNO: return {{"&Yes", IDYES}, {"&No", IDNO}};
    case MB_RETRYCANCEL: return {{"&Retry", IDRETRY}, {"Cancel", IDCANCEL}};
    default: return {{"OK", IDOK}};
    }
}

// The keys of a message box: Return presses the focused button (the first
// one until another is chosen), Tab and the arrows move between the buttons,
// Escape is the close box.
class TBoxWindow : public Fl_Double_Window {
public:
    using Fl_Double_Window::Fl_Double_Window;
    std::vector<Fl_Button*> Buttons;

    int handle(int event) override
    {
        if (event == FL_FOCUS || event == FL_SHOW) {
            const int answer = Fl_Double_Window::handle(event);
            if (!Buttons.empty() && Focused() < 0 && shown()) Buttons.front()->take_focus();
            return event == FL_FOCUS ? 1 : answer;
        }
        if (event != FL_KEYBOARD || Buttons.empty()) return Fl_Double_Window::handle(event);
        const int at = std::max(0, Focused());
        const int n = static_cast<int>(Buttons.size());
        switch (Fl::event_key()) {
        case FL_Enter:
        case FL_KP_Enter:
        case ' ': Buttons[static_cast<std::size_t>(at)]->do_callback(); return 1;
        case FL_Escape: do_callback(); return 1;
        case FL_Tab:
        case FL_Right:
        case FL_Left: {
            const bool back = Fl::event_key() == FL_Left || Fl::event_state(FL_SHIFT);
            Buttons[static_cast<std::size_t>((at + (back ? n - 1 : 1)) % n)]->take_focus();
            return 1;
        }
        default: return Fl_Double_Window::handle(event);
        }
    }

private:
    int Focused() const
    {
        for (std::size_t i = 0; i < Buttons.size(); ++i)
            if (Fl::focus() == Buttons[i]) return static_cast<int>(i);
        return -1;
    }
};

}  // namespace

int RunMessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    const std::vector<TChoice> choices = ChoicesOf(flags);
    unsigned icon = flags & 0xF0;
    // The toolkit breaks lines at LF only and shows a CR as "^M".
    std::string shown;
    for (const std::string& line : MessageLines(text)) shown += (shown.empty() ? "" : "\n") + line;
    const std::string utf8 = Toolkit::Text(shown);
    fl_font(FL_HELVETICA, Toolkit::TextSize());
    int tw = 420;
    int th = 0;
    fl_measure(utf8.c_str(), tw, th, 0);
    // The label draws inside a small margin of its own.
    tw = std::max(tw + 8, 60);
    const int left = icon ? 60 : 16;
    const int buttonW = 84;
    const int buttonsW = static_cast<int>(choices.size()) * (buttonW + 8) - 8;
    const int width = std::max({left + tw + 20, buttonsW + 32, 220});
    const int textH = std::max(th, icon ? 32 : 0);
    const int height = 20 + textH + 20 + 28 + 14;

    auto window = Toolkit::Make<TBoxWindow>(width, height);
    window->copy_label(Toolkit::Text(caption).c_str());
    TCallbacks callbacks;
    bool done = false;
    int answer = 0;
    int escape = 0;
    for (const TChoice& c : choices)
        if (c.Answer == IDCANCEL) escape = IDCANCEL;
    if (choices.size() == 1) escape = choices.front().Answer;
    if (icon) AddWidget<TIconBox>(*window, 16, 20, icon == MB_ICONASTERISK ? MB_ICONINFORMATION : icon);
    auto& label = AddWidget<Fl_Box>(*window, left, 20 + (textH - th) / 2, tw, th);
    label.copy_label(Toolkit::Label(shown).c_str());
    label.labelsize(Toolkit::TextSize());
    label.align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_TOP | FL_ALIGN_WRAP);
    int bx = (width - buttonsW) / 2;
    for (const TChoice& c : choices) {
        auto& button = AddWidget<Fl_Button>(*window, bx, height - 14 - 28, buttonW, 28);
        button.copy_label(c.Caption);
        button.labelsize(Toolkit::TextSize());
        window->Buttons.push_back(&button);
        const int value = c.Answer;
        callbacks.Bind(button, [&done, &answer, value] {
            answer = value;
            done = true;
        });
        bx += buttonW + 8;
    }
    callbacks.Bind(*window, [&done, &answer, escape] {
        if (!escape) return;
        answer = escape;
        done = true;
    });
    RunModalWindow(*window, [&done] { return done; });
    return answer ? answer : (escape ? escape : choices.front().Answer);
}

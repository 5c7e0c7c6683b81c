#include "platform/display/DropDownList.h"

#include <algorithm>
#include <memory>

#include "platform/display/TDisplay.h"
#include "platform/display/Toolkit.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Window.H>
#include <FL/fl_draw.H>

namespace {

class TDropDownWindow : public Fl_Menu_Window {
public:
    TDropDownWindow(std::vector<std::string> rows, int selected, int x, int y, int width, int visibleRows,
                    Fl_Font font, int size, std::function<void(int)> done)
        : Fl_Menu_Window(x, y, width, 10), FRows(std::move(rows)), FSelected(selected), FFont(font), FSize(size),
          FDone(std::move(done))
    {
        set_override();
        set_menu_window();
        fl_font(font, size);
        FRowHeight = std::max(16, fl_height() + 2);
        FVisible = std::clamp(static_cast<int>(FRows.size()), 1, std::max(1, visibleRows));
        int height = FVisible * FRowHeight + 2;
        if (y + height > Fl::h()) y = std::max(0, y - height - 24);
        resize(std::clamp(x, 0, std::max(0, Fl::w() - width)), y, width, height);
        if (FSelected >= FVisible) FTop = FSelected - FVisible + 1;
    }

    void draw() override
    {
        fl_rectf(0, 0, w(), h(), FL_WHITE);
        fl_color(FL_DARK3);
        fl_rect(0, 0, w(), h());
        fl_font(FFont, FSize);
        const bool scrolls = static_cast<int>(FRows.size()) > FVisible;
        const int textRight = w() - (scrolls ? 12 : 2);
        for (int i = 0; i < FVisible && FTop + i < static_cast<int>(FRows.size()); ++i) {
            const int row = FTop + i;
            const int y = 1 + i * FRowHeight;
            if (row == FSelected) fl_rectf(1, y, textRight - 1, FRowHeight, FL_SELECTION_COLOR);
            fl_color(row == FSelected ? FL_WHITE : FL_BLACK);
            fl_push_clip(1, y, textRight - 1, FRowHeight);
            fl_draw(FRows[static_cast<std::size_t>(row)].c_str(), 4, y + (FRowHeight + fl_height()) / 2 - fl_descent());
            fl_pop_clip();
        }
        if (scrolls) {
            // A plain position mark; the wheel and the arrow keys scroll.
            const int track = h() - 4;
            const int thumb = std::max(12, track * FVisible / static_cast<int>(FRows.size()));
            const int range = static_cast<int>(FRows.size()) - FVisible;
            const int at = 2 + (track - thumb) * FTop / std::max(1, range);
            fl_rectf(w() - 10, 2, 8, track, fl_rgb_color(235, 235, 235));
            fl_rectf(w() - 9, at, 6, thumb, fl_rgb_color(190, 190, 190));
        }
    }

    int handle(int event) override
    {
        const bool inside = Fl::event_x() >= 0 && Fl::event_y() >= 0 && Fl::event_x() < w() && Fl::event_y() < h();
        const int row = inside ? FTop + (Fl::event_y() - 1) / FRowHeight : -1;
        const bool valid = row >= 0 && row < static_cast<int>(FRows.size());
        switch (event) {
        case FL_MOVE:
        case FL_DRAG:
            if (valid && row != FSelected) {
                FSelected = row;
                redraw();
            }
            return 1;
        case FL_PUSH:
            if (!inside) End(-1);
            return 1;
        case FL_RELEASE:
            if (valid && Fl::event_is_click()) End(row);
            else if (valid && FMoved) End(row);
            FMoved = true;
            return 1;
        case FL_MOUSEWHEEL: Scroll(Fl::event_dy() * 3); return 1;
        case FL_KEYBOARD:
            switch (Fl::event_key()) {
            case FL_Escape: End(-1); return 1;
            case FL_Enter:
            case FL_KP_Enter: End(FSelected); return 1;
            case FL_Up: Move(-1); return 1;
            case FL_Down: Move(1); return 1;
            case FL_Page_Up: Move(-FVisible); return 1;
            case FL_Page_Down: Move(FVisible); return 1;
            default: return 1;
            }
        default: return Fl_Menu_Window::handle(event);
        }
    }

private:
    void Move(int delta)
    {
        if (FRows.empty()) return;
        FSelected = std::clamp(FSelected + delta, 0, static_cast<int>(FRows.size()) - 1);
        if (FSelected < FTop) FTop = FSelected;
        if (FSelected >= FTop + FVisible) FTop = FSelected - FVisible + 1;
        redraw();
    }
    void Scroll(int delta)
    {
        FTop = std::clamp(FTop + delta, 0, std::max(0, static_cast<int>(FRows.size()) - FVisible));
        redraw();
    }
    void End(int chosen);

    std::vector<std::string> FRows;
    int FSelected;
    Fl_Font FFont;
    int FSize;
    std::function<void(int)> FDone;
    int FRowHeight = 16;
    int FVisible = 1;
    int FTop = 0;
    bool FMoved = false;
};

TDropDownWindow*& Open()
{
    static TDropDownWindow* open = nullptr;
    return open;
}

void TDropDownWindow::End(int chosen)
{
    Fl::grab(nullptr);
    hide();
    Open() = nullptr;
    auto done = std::move(FDone);
    Fl::delete_widget(this);
    if (done) done(chosen);
    if (TDisplay* display = TDisplay::Current()) display->Wake();
}

}  // namespace

void OpenDropDown(std::vector<std::string> rows, int selected, int x, int y, int width, int visibleRows,
                  Fl_Font font, int size, std::function<void(int)> done)
{
    if (Open()) return;
    auto window = Toolkit::Make<TDropDownWindow>(std::move(rows), selected, x, y, width, visibleRows, font, size,
                                                 std::move(done));
    Open() = window.release();
    Open()->show();
    Fl::grab(Open());
}

bool DropDownOpen() { return Open() != nullptr; }

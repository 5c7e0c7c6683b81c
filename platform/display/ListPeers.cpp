// List boxes (and the file and folder lists) and combo boxes (and drive
// boxes). The lists are drawn here at the model's row geometry (ItemHeight,
// TopIndex), so that the model's own hit testing picks the row the person
// sees; the scroll bar and the wheel move the model's TopIndex. A combo box
// opens its drop-down list, whose choice is the model's selection by the
// person.

#include <algorithm>
#include <memory>

#include "platform/controls/TComboBox.h"
#include "platform/controls/TFileControls.h"
#include "platform/controls/TListBox.h"
#include "platform/display/DropDownList.h"
#include "platform/display/Peers.h"
#include "platform/display/TDisplay.h"
#include "platform/display/TWidgetPeer.h"
#include "platform/display/Toolkit.h"

#include <FL/Fl.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

namespace {

constexpr int Border = 2;
constexpr int ScrollWidth = 16;

void DrawFolderGlyph(int x, int y, bool open)
{
    const Fl_Color body = fl_rgb_color(240, 200, 90);
    fl_rectf(x, y + 1, 6, 2, fl_rgb_color(220, 170, 60));
    fl_rectf(x, y + 3, 14, 9, body);
    fl_color(fl_rgb_color(170, 130, 40));
    fl_rect(x, y + 3, 14, 9);
    if (open) {
        fl_color(fl_rgb_color(250, 230, 150));
        fl_line(x + 2, y + 6, x + 12, y + 6);
    }
}

class TListWidget : public TPeeredGroup<Fl_Group> {
public:
    TListWidget(TWidgetPeer& peer, TListBox& list)
        : TPeeredGroup<Fl_Group>(peer, 0, 0, 1, 1), FList(list), FScroll(0, 0, ScrollWidth, 1)
    {
        resizable(nullptr);
        box(FL_DOWN_BOX);
        color(FL_WHITE);
        clip_children(1);
        add(FScroll);
        FScroll.type(FL_VERTICAL);
        FScroll.linesize(1);
        FScroll.callback(
            [](Fl_Widget* w, void* data) {
                auto& self = *static_cast<TListWidget*>(data);
                self.ScrollTo(static_cast<Fl_Scrollbar*>(w)->value());
            },
            this);
    }
    ~TListWidget() override { remove(FScroll); }

    int VisibleRows() const { return std::max(1, (h() - 2 * Border) / std::max(1, FList.ItemHeight())); }

    void Layout()
    {
        const int rows = VisibleRows();
        const bool needed = FList.Count() > rows;
        FScroll.resize(x() + w() - Border - ScrollWidth, y() + Border, ScrollWidth, h() - 2 * Border);
        if (needed) {
            FScroll.show();
            FScroll.value(FList.TopIndex(), rows, 0, FList.Count());
        } else {
            FScroll.hide();
        }
    }

    void ScrollTo(int top)
    {
        TListBox* list = &FList;
        TComponentWatch watch(list);
        TDisplay::Current()->Post([list, watch, top] {
            if (!watch.Alive()) return;
            list->SetTopIndex(top);
            if (auto* peer = dynamic_cast<TWidgetPeer*>(list->Peer())) peer->Changed(TPeerChange::Value);
        });
    }

    void resize(int x, int y, int w, int h) override
    {
        Fl_Group::resize(x, y, w, h);
        Layout();
    }

    void draw() override
    {
        if (damage() & ~FL_DAMAGE_CHILD) DrawRows();
        draw_children();
    }

    int handle(int event) override
    {
        if (event == FL_MOUSEWHEEL) {
            if (FList.Count() > VisibleRows())
                ScrollTo(std::clamp(FList.TopIndex() + Fl::event_dy() * 3, 0, FList.Count() - VisibleRows()));
            return 1;
        }
        // Inside the border the model's client coordinates start.
        if ((event == FL_PUSH || event == FL_DRAG || event == FL_RELEASE || event == FL_MOVE) &&
            !(FScroll.visible() && Fl::event_inside(&FScroll))) {
            if (event == FL_PUSH && Fl::focus() != this) take_focus();
            const int dx = Fl::event_x() - x() >= Border ? -Border : 0;
            const int dy = Fl::event_y() - y() >= Border ? -Border : 0;
            TWidgetPeer& peer = Peer();
            if (event == FL_MOVE || event == FL_DRAG) peer.PostMouse(TMouseInputKind::Move, dx, dy);
            else if (event == FL_RELEASE) peer.PostMouse(TMouseInputKind::Up, dx, dy);
            else peer.PostMouse(TWidgetPeer::PressKind(), dx, dy);
            return 1;
        }
        return TPeeredGroup<Fl_Group>::handle(event);
    }

private:
    void DrawRows()
    {
        draw_box(box(), x(), y(), w(), h(), Toolkit::Color(FList.Color()));
        const int inner = w() - 2 * Border - (FScroll.visible() ? ScrollWidth : 0);
        fl_push_clip(x() + Border, y() + Border, inner, h() - 2 * Border);
        fl_font(Toolkit::Font(FList.Font()), Toolkit::FontSize(FList.Font()));
        const auto* folders = dynamic_cast<const TDirectoryListBox*>(&FList);
        const std::string current = folders ? folders->Directory() : std::string();
        const int rowHeight = std::max(1, FList.ItemHeight());
        const bool focused = Fl::focus() == this;
        for (int i = FList.TopIndex(), row = 0; i < FList.Count() && row * rowHeight < h(); ++i, ++row) {
            const int ry = y() + Border + row * rowHeight;
            const bool selected = FList.Selected(i);
            // Without the focus the selection stays visible, in a colour that reads on the list's.
            const bool strong = selected && focused && active_r();
            const TColor fill = InactiveSelectionColor(FList.Color());
            if (selected) fl_rectf(x() + Border, ry, inner, rowHeight, strong ? FL_SELECTION_COLOR : Toolkit::Color(fill));
            int tx = x() + Border + 3;
            if (folders) {
                const std::string path = folders->GetItemPath(i);
                const int depth = path == "/" ? 0 : static_cast<int>(std::count(path.begin(), path.end(), '/'));
                tx += std::min(depth, 12) * 8;
                DrawFolderGlyph(tx, ry + (rowHeight - 14) / 2, path.size() <= current.size());
                tx += 18;
            }
            const TColor ink = selected ? SelectionTextColor(fill, FList.Font().Color()) : FList.Font().Color();
            fl_color(!active_r() ? FL_DARK2 : strong ? FL_WHITE : Toolkit::Color(ink));
            const std::string text = Toolkit::Text(FList.Items().Strings(i));
            fl_draw(text.c_str(), tx, ry + (rowHeight + fl_height()) / 2 - fl_descent());
            if (focused && i == FList.ItemIndex()) {
                fl_color(strong ? FL_WHITE : FL_DARK2);
                fl_line_style(FL_DOT);
                fl_rect(x() + Border, ry, inner, rowHeight);
                fl_line_style(0);
            }
        }
        fl_pop_clip();
    }

    TListBox& FList;
    Fl_Scrollbar FScroll;
};

class TListBoxPeer : public TWidgetPeer {
public:
    explicit TListBoxPeer(TListBox& list) : TWidgetPeer(list) {}

protected:
    void SyncText() override {}
    void SyncValue() override { static_cast<TListWidget&>(*FWidget).Layout(); }
};

class TComboWidget : public TPeered<Fl_Widget> {
public:
    TComboWidget(TWidgetPeer& peer, TComboBox& combo) : TPeered<Fl_Widget>(peer, 0, 0, 1, 1), FCombo(combo)
    {
        box(FL_DOWN_BOX);
    }

    int ButtonWidth() const { return std::min(w(), 18); }

    void draw() override
    {
        const bool list = FCombo.Style() == csDropDownList;
        const bool focused = Fl::focus() == this;
        draw_box(list ? FL_UP_BOX : FL_DOWN_BOX, x(), y(), w(), h(), list ? FL_BACKGROUND_COLOR : Toolkit::Color(FCombo.Color()));
        const int bx = x() + w() - ButtonWidth() - 1;
        if (!list) draw_box(FL_UP_BOX, bx, y() + 1, ButtonWidth(), h() - 2, FL_BACKGROUND_COLOR);
        fl_color(active_r() ? FL_BLACK : FL_DARK2);
        const int cx = bx + ButtonWidth() / 2;
        const int cy = y() + h() / 2;
        fl_polygon(cx - 4, cy - 2, cx + 4, cy - 2, cx, cy + 2);
        fl_font(Toolkit::Font(FCombo.Font()), Toolkit::FontSize(FCombo.Font()));
        const std::string text = Toolkit::Text(FCombo.Text());
        const int tx = x() + 4;
        const int ty = y() + (h() + fl_height()) / 2 - fl_descent();
        fl_push_clip(x() + 2, y() + 2, bx - x() - 3, h() - 4);
        if (list && focused) {
            fl_rectf(x() + 3, y() + 3, bx - x() - 5, h() - 6, FL_SELECTION_COLOR);
            fl_color(FL_WHITE);
        } else {
            fl_color(active_r() ? Toolkit::Color(FCombo.Font().Color()) : FL_DARK2);
        }
        fl_draw(text.c_str(), tx, ty);
        if (!list && focused) {
            const int caret = tx + static_cast<int>(fl_width(text.c_str()));
            fl_color(FL_BLACK);
            fl_line(caret, y() + 4, caret, y() + h() - 5);
        }
        fl_pop_clip();
    }

    void OpenList()
    {
        std::vector<std::string> rows;
        for (int i = 0; i < FCombo.Items().Count(); ++i) rows.push_back(Toolkit::Text(FCombo.Items().Strings(i)));
        const Fl_Window* win = window();
        TComboBox* combo = &FCombo;
        TComponentWatch watch(combo);
        OpenDropDown(std::move(rows), FCombo.ItemIndex(), win->x_root() + x(), win->y_root() + y() + h(), w(),
                     std::max(1, FCombo.DropDownCount()), Toolkit::Font(FCombo.Font()), Toolkit::FontSize(FCombo.Font()),
                     [combo, watch](int chosen) {
                         if (chosen < 0) return;
                         TDisplay::Current()->Post([combo, watch, chosen] {
                             if (watch.Alive()) combo->SelectAsUser(chosen);
                         });
                     });
    }

private:
    TComboBox& FCombo;
};

class TComboBoxPeer : public TWidgetPeer {
public:
    explicit TComboBoxPeer(TComboBox& combo) : TWidgetPeer(combo), FCombo(combo) {}

    // A click opens the list; it is no click of the model's (the platform's
    // combo box runs OnClick for a choice, not for opening it).
    int Handle(int event) override
    {
        auto& widget = static_cast<TComboWidget&>(*FWidget);
        switch (event) {
        case FL_PUSH: {
            if (Fl::event_button() != FL_LEFT_MOUSE) return TWidgetPeer::Handle(event);
            TComboBox* combo = &FCombo;
            TComponentWatch watch(combo);
            TDisplay::Current()->Post([combo, watch] {
                if (watch.Alive() && combo->CanFocus() && !combo->Focused()) combo->SetFocus();
            });
            const bool onButton = Fl::event_x() >= widget.x() + widget.w() - widget.ButtonWidth() - 1;
            if (onButton || FCombo.Style() == csDropDownList) widget.OpenList();
            return 1;
        }
        case FL_RELEASE:
        case FL_DRAG:
            if (Fl::event_button() == FL_LEFT_MOUSE) return 1;
            return TWidgetPeer::Handle(event);
        case FL_FOCUS:
        case FL_UNFOCUS:
            FWidget->redraw();
            return TWidgetPeer::Handle(event);
        default: return TWidgetPeer::Handle(event);
        }
    }

    void AfterKey(std::uint16_t key, TShiftState shift) override
    {
        if ((key == VK_DOWN && (shift & ssAlt)) || key == VK_F1 + 3) static_cast<TComboWidget&>(*FWidget).OpenList();
    }

protected:
    void SyncText() override { FWidget->redraw(); }

private:
    TComboBox& FCombo;
};

}  // namespace

std::unique_ptr<TControlPeer> MakeListBoxPeer(TListBox& list)
{
    auto peer = std::make_unique<TListBoxPeer>(list);
    peer->Start(Toolkit::Make<TListWidget>(*peer, list));
    return peer;
}

std::unique_ptr<TControlPeer> MakeComboBoxPeer(TComboBox& combo)
{
    auto peer = std::make_unique<TComboBoxPeer>(combo);
    peer->Start(Toolkit::Make<TComboWidget>(*peer, combo));
    return peer;
}

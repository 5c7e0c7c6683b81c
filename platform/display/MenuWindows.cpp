#include "platform/display/MenuWindows.h"

#include <algorithm>
#include <memory>

#include "platform/controls/TApplication.h"
#include "platform/core/AnsiString.h"
#include "platform/display/TDisplay.h"
#include "platform/display/Toolkit.h"
#include "platform/display/ToolkitText.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Window.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

namespace {

constexpr int RowHeight = 22;
constexpr int LineHeight = 9;


// Draws a menu caption with its accelerator underlined; x, y is the baseline start.
void DrawCaption(const std::string& caption, int x, int y)
{
    int marked = -1;
    const std::string plain = StripAccelerator(caption, marked);
    const std::string utf8 = Toolkit::Text(plain);
    fl_draw(utf8.c_str(), x, y);
    if (marked < 0) return;
    const std::string before = Toolkit::Text(plain.substr(0, static_cast<std::size_t>(marked)));
    const std::string letter = Toolkit::Text(plain.substr(static_cast<std::size_t>(marked), 1));
    const int ux = x + static_cast<int>(fl_width(before.c_str()));
    fl_line(ux, y + 2, ux + static_cast<int>(fl_width(letter.c_str())) - 1, y + 2);
}

int CaptionWidth(const std::string& caption)
{
    int marked = -1;
    return static_cast<int>(fl_width(Toolkit::Text(StripAccelerator(caption, marked)).c_str()));
}

bool HasVisibleChildren(const TMenuItem& item)
{
    for (int i = 0; i < item.Count(); ++i)
        if (item.Items(i)->Visible()) return true;
    return false;
}

class TMenuSession;

class TMenuWindow : public Fl_Menu_Window {
public:
    struct TRow {
        TMenuItem* Item;
        TComponentWatch Watch;
        int Y;
        int H;
    };

    TMenuWindow(TMenuSession& session, TMenuItem& parent, int x, int y);

    void draw() override;
    int handle(int event) override;

    TMenuItem* Parent() const { return FWatch.Alive() ? FParent : nullptr; }
    const std::vector<TRow>& Rows() const { return FRows; }
    int RowAt(int localY) const;
    int Selected() const { return FSelected; }
    void Select(int row);
    // The next selectable row from `from` in a direction; -1 when none.
    int Step(int from, int direction) const;
    bool Selectable(int row) const;

private:
    TMenuSession& FSession;
    TMenuItem* FParent;
    TComponentWatch FWatch;
    std::vector<TRow> FRows;
    int FSelected = -1;
};

class TMenuSession {
public:
    TMenuSession(std::function<void(TMenuItem*)> done, TMenuBarWidget* bar, int barIndex)
        : FDone(std::move(done)), FBar(bar), FBarIndex(barIndex)
    {
    }

    void Open(TMenuItem& parent, int x, int y)
    {
        FWindows.push_back(Toolkit::Make<TMenuWindow>(*this, parent, x, y));
        FWindows.back()->show();
        Fl::grab(FWindows.front().get());
        if (FBar) FBar->SetHighlight(FBarIndex);
    }

    int Handle(int event);
    void End(TMenuItem* chosen);
    void CloseFrom(std::size_t depth)
    {
        // Hiding sends events to the window: it leaves the list first.
        while (FWindows.size() > depth) {
            std::unique_ptr<TMenuWindow> window = std::move(FWindows.back());
            FWindows.pop_back();
            Fl::delete_widget(window.release());
        }
    }
    TMenuBarWidget* Bar() const { return FBar; }

private:
    TMenuWindow* WindowAt(int rootX, int rootY, std::size_t& depth) const
    {
        for (std::size_t i = FWindows.size(); i-- > 0;) {
            TMenuWindow* w = FWindows[i].get();
            if (rootX >= w->x() && rootX < w->x() + w->w() && rootY >= w->y() && rootY < w->y() + w->h()) {
                depth = i;
                return w;
            }
        }
        return nullptr;
    }
    void OpenSubmenu(std::size_t depth, int row)
    {
        TMenuWindow& w = *FWindows[depth];
        TMenuItem* item = w.Rows()[static_cast<std::size_t>(row)].Item;
        if (FWindows.size() > depth + 1 && FWindows[depth + 1]->Parent() == item) return;
        CloseFrom(depth + 1);
        if (!HasVisibleChildren(*item) || !item->Enabled()) return;
        Open(*item, w.x() + w.w() - 3, w.y() + w.Rows()[static_cast<std::size_t>(row)].Y - 3);
    }
    void SwitchBar(int index)
    {
        CloseFrom(0);
        FBarIndex = index;
        FBar->OpenItem(index);
    }
    void Choose(std::size_t depth, int row);

public:
    static void StartBar(TMenuBarWidget* bar, int index, std::function<void(TMenuItem*)> done);

private:
    std::vector<std::unique_ptr<TMenuWindow>> FWindows;
    std::function<void(TMenuItem*)> FDone;
    TMenuBarWidget* FBar;
    int FBarIndex;
};

std::unique_ptr<TMenuSession>& Session()
{
    static std::unique_ptr<TMenuSession> session;
    return session;
}

TMenuWindow::TMenuWindow(TMenuSession& session, TMenuItem& parent, int x, int y)
    : Fl_Menu_Window(x, y, 10, 10), FSession(session), FParent(&parent), FWatch(&parent)
{
    set_override();
    set_menu_window();
    fl_font(FL_HELVETICA, Toolkit::TextSize());
    int width = 120;
    int top = 3;
    for (int i = 0; i < parent.Count(); ++i) {
        TMenuItem* item = parent.Items(i);
        if (!item->Visible()) continue;
        const int h = item->IsLine() ? LineHeight : RowHeight;
        FRows.push_back({item, TComponentWatch(item), top, h});
        top += h;
        int w = 28 + CaptionWidth(item->Caption()) + 28;
        if (item->ShortCut()) w += 24 + static_cast<int>(fl_width(ShortCutText(item->ShortCut()).c_str()));
        width = std::max(width, w);
    }
    const int height = top + 3;
    x = std::clamp(x, 0, std::max(0, Fl::w() - width));
    if (y + height > Fl::h()) y = std::max(0, Fl::h() - height);
    resize(x, y, width, height);
}

int TMenuWindow::RowAt(int localY) const
{
    for (std::size_t i = 0; i < FRows.size(); ++i)
        if (localY >= FRows[i].Y && localY < FRows[i].Y + FRows[i].H) return static_cast<int>(i);
    return -1;
}

bool TMenuWindow::Selectable(int row) const
{
    if (row < 0 || row >= static_cast<int>(FRows.size())) return false;
    const TRow& r = FRows[static_cast<std::size_t>(row)];
    return r.Watch.Alive() && !r.Item->IsLine();
}

int TMenuWindow::Step(int from, int direction) const
{
    const int n = static_cast<int>(FRows.size());
    for (int k = 1; k <= n; ++k) {
        const int row = ((from < 0 ? (direction > 0 ? -1 : 0) : from) + direction * k + n * 2) % n;
        if (Selectable(row)) return row;
    }
    return -1;
}

void TMenuWindow::Select(int row)
{
    if (row == FSelected) return;
    FSelected = row;
    redraw();
}

void TMenuWindow::draw()
{
    fl_rectf(0, 0, w(), h(), fl_rgb_color(248, 248, 248));
    fl_color(FL_DARK3);
    fl_rect(0, 0, w(), h());
    fl_font(FL_HELVETICA, Toolkit::TextSize());
    for (std::size_t i = 0; i < FRows.size(); ++i) {
        const TRow& r = FRows[i];
        if (!r.Watch.Alive()) continue;
        if (r.Item->IsLine()) {
            fl_color(FL_DARK1);
            fl_line(6, r.Y + r.H / 2, w() - 7, r.Y + r.H / 2);
            continue;
        }
        const bool selected = static_cast<int>(i) == FSelected;
        if (selected) fl_rectf(2, r.Y, w() - 4, r.H, FL_SELECTION_COLOR);
        const Fl_Color text = !r.Item->Enabled() ? FL_DARK2 : selected ? FL_WHITE : FL_BLACK;
        fl_color(text);
        const int baseline = r.Y + (r.H + fl_height()) / 2 - fl_descent();
        if (r.Item->Checked()) {
            if (r.Item->RadioItem()) fl_pie(10, r.Y + r.H / 2 - 3, 7, 7, 0, 360);
            else {
                fl_line(8, r.Y + r.H / 2, 11, r.Y + r.H / 2 + 3, 17, r.Y + r.H / 2 - 4);
                fl_line(8, r.Y + r.H / 2 + 1, 11, r.Y + r.H / 2 + 4, 17, r.Y + r.H / 2 - 3);
            }
        }
        DrawCaption(r.Item->Caption(), 28, baseline);
        if (r.Item->ShortCut()) {
            const std::string s = ShortCutText(r.Item->ShortCut());
            fl_draw(s.c_str(), w() - 20 - static_cast<int>(fl_width(s.c_str())), baseline);
        }
        if (HasVisibleChildren(*r.Item)) {
            const int cy = r.Y + r.H / 2;
            fl_polygon(w() - 14, cy - 4, w() - 10, cy, w() - 14, cy + 4);
        }
    }
}

// A window whose session has ended waits for its deferred deletion; it
// must not reach the session any more.
int TMenuWindow::handle(int event)
{
    if (Session().get() != &FSession) return 1;
    return FSession.Handle(event);
}

int TMenuSession::Handle(int event)
{
    if (FWindows.empty()) return 1;
    const int rx = Fl::event_x_root();
    const int ry = Fl::event_y_root();
    std::size_t depth = 0;
    TMenuWindow* under = WindowAt(rx, ry, depth);
    switch (event) {
    case FL_MOVE:
    case FL_DRAG:
        if (under) {
            const int row = under->RowAt(ry - under->y());
            under->Select(under->Selectable(row) ? row : -1);
            if (under->Selectable(row)) OpenSubmenu(depth, row);
        } else if (FBar) {
            const int index = FBar->ItemAt(rx, ry);
            if (index >= 0 && index != FBarIndex) SwitchBar(index);
        }
        return 1;
    case FL_PUSH:
        if (under) return 1;
        if (FBar && FBar->ItemAt(rx, ry) == FBarIndex) {
            End(nullptr);
            return 1;
        }
        End(nullptr);
        return 1;
    case FL_RELEASE:
        if (under) {
            const int row = under->RowAt(ry - under->y());
            if (under->Selectable(row)) Choose(depth, row);
        }
        return 1;
    case FL_KEYBOARD: {
        TMenuWindow& deepest = *FWindows.back();
        const std::size_t d = FWindows.size() - 1;
        switch (Fl::event_key()) {
        case FL_Escape:
            if (d == 0) End(nullptr);
            else CloseFrom(d);
            return 1;
        case FL_Up: deepest.Select(deepest.Step(deepest.Selected(), -1)); return 1;
        case FL_Down: deepest.Select(deepest.Step(deepest.Selected(), 1)); return 1;
        case FL_Right:
            if (deepest.Selectable(deepest.Selected()) &&
                HasVisibleChildren(*deepest.Rows()[static_cast<std::size_t>(deepest.Selected())].Item)) {
                OpenSubmenu(d, deepest.Selected());
                FWindows.back()->Select(FWindows.back()->Step(-1, 1));
            } else if (FBar && FBar->ItemCount() > 1) {
                SwitchBar((FBarIndex + 1) % FBar->ItemCount());
            }
            return 1;
        case FL_Left:
            if (d > 0) CloseFrom(d);
            else if (FBar && FBar->ItemCount() > 1) SwitchBar((FBarIndex + FBar->ItemCount() - 1) % FBar->ItemCount());
            return 1;
        case FL_Enter:
        case FL_KP_Enter:
        case ' ':
            if (deepest.Selectable(deepest.Selected())) Choose(d, deepest.Selected());
            return 1;
        default: return 1;
        }
    }
    default: return 1;
    }
}

void TMenuSession::Choose(std::size_t depth, int row)
{
    const TMenuWindow::TRow& r = FWindows[depth]->Rows()[static_cast<std::size_t>(row)];
    if (!r.Watch.Alive() || !r.Item->Enabled()) return;
    if (HasVisibleChildren(*r.Item)) {
        OpenSubmenu(depth, row);
        return;
    }
    End(r.Item);
}

void TMenuSession::End(TMenuItem* chosen)
{
    auto done = std::move(FDone);
    TMenuBarWidget* bar = FBar;
    CloseFrom(0);
    Fl::grab(nullptr);
    if (bar) bar->SetHighlight(-1);
    // The session goes first: `done` may open the next menu.
    std::unique_ptr<TMenuSession> self = std::move(Session());
    if (done) done(chosen);
    if (TDisplay* display = TDisplay::Current()) display->Wake();
}

void TMenuSession::StartBar(TMenuBarWidget* bar, int index, std::function<void(TMenuItem*)> done)
{
    Session() = std::make_unique<TMenuSession>(std::move(done), bar, index);
    bar->OpenItem(index);
}

}  // namespace

std::string ShortCutText(int shortCut)
{
    std::string text;
    if (shortCut & 0x4000) text += "Ctrl+";
    if (shortCut & 0x2000) text += "Shift+";
    if (shortCut & 0x8000) text += "Alt+";
    const int key = shortCut & 0xFF;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) text += static_cast<char>(key);
    else if (key >= VK_F1 && key < VK_F1 + 24) text += "F" + std::to_string(key - VK_F1 + 1);
    else if (key == VK_DELETE) text += "Del";
    else if (key == 45) text += "Ins";
    else if (key == VK_RETURN) text += "Enter";
    else if (key == VK_ESCAPE) text += "Esc";
    else if (key == VK_BACK) text += "BkSp";
    else if (key == VK_SPACE) text += "Space";
    else text += "#" + std::to_string(key);
    return text;
}

void OpenMenu(TMenuItem& parent, int x, int y, std::function<void(TMenuItem*)> done)
{
    CloseMenus();
    Session() = std::make_unique<TMenuSession>(std::move(done), nullptr, -1);
    Session()->Open(parent, x, y);
}

bool MenuOpen() { return Session() != nullptr; }

void CloseMenus()
{
    if (Session()) Session()->End(nullptr);
}

TMenuBarWidget::TMenuBarWidget(TCustomForm& form, int x, int y, int w, int h)
    : Fl_Widget(x, y, w, h), FForm(form), FWatch(&form)
{
    clear_visible_focus();
}

std::vector<TMenuBarWidget::TTop> TMenuBarWidget::Layout() const
{
    std::vector<TTop> tops;
    TMainMenu* menu = FWatch.Alive() ? FForm.Menu() : nullptr;
    if (!menu) return tops;
    fl_font(FL_HELVETICA, Toolkit::TextSize());
    int at = x() + 2;
    const TMenuItem& root = menu->Items();
    for (int i = 0; i < root.Count(); ++i) {
        TMenuItem* item = root.Items(i);
        if (!item->Visible()) continue;
        const int w = CaptionWidth(item->Caption()) + 16;
        tops.push_back({item, at, w});
        at += w;
    }
    return tops;
}

std::string TMenuBarWidget::Signature() const
{
    std::string s;
    TMainMenu* menu = FWatch.Alive() ? FForm.Menu() : nullptr;
    if (!menu) return s;
    const TMenuItem& root = menu->Items();
    for (int i = 0; i < root.Count(); ++i) {
        const TMenuItem* item = root.Items(i);
        s += item->Caption();
        s += item->Visible() ? '\1' : '\2';
        s += item->Enabled() ? '\1' : '\2';
    }
    return s;
}

void TMenuBarWidget::Follow()
{
    std::string s = Signature();
    if (s == FSignature) return;
    FSignature = std::move(s);
    redraw();
}

int TMenuBarWidget::ItemCount() const { return static_cast<int>(Layout().size()); }

int TMenuBarWidget::ItemAt(int rootX, int rootY) const
{
    const Fl_Window* win = window();
    if (!win) return -1;
    const int lx = rootX - win->x_root();
    const int ly = rootY - win->y_root();
    if (ly < y() || ly >= y() + h()) return -1;
    const auto tops = Layout();
    for (std::size_t i = 0; i < tops.size(); ++i)
        if (lx >= tops[i].X && lx < tops[i].X + tops[i].W) return static_cast<int>(i);
    return -1;
}

void TMenuBarWidget::SetHighlight(int index)
{
    if (index == FHighlight) return;
    FHighlight = index;
    redraw();
}

void TMenuBarWidget::draw()
{
    fl_rectf(x(), y(), w(), h(), fl_rgb_color(248, 248, 248));
    fl_color(fl_rgb_color(225, 225, 225));
    fl_line(x(), y() + h() - 1, x() + w() - 1, y() + h() - 1);
    fl_font(FL_HELVETICA, Toolkit::TextSize());
    const auto tops = Layout();
    for (std::size_t i = 0; i < tops.size(); ++i) {
        const TTop& t = tops[i];
        const bool lit = static_cast<int>(i) == FHighlight;
        if (lit) fl_rectf(t.X, y() + 1, t.W, h() - 3, FL_SELECTION_COLOR);
        fl_color(!t.Item->Enabled() ? FL_DARK2 : lit ? FL_WHITE : FL_BLACK);
        DrawCaption(t.Item->Caption(), t.X + 8, y() + (h() + fl_height()) / 2 - fl_descent() - 1);
    }
}

int TMenuBarWidget::handle(int event)
{
    switch (event) {
    case FL_ENTER:
    case FL_LEAVE:
    case FL_MOVE: return 1;
    case FL_PUSH: {
        const int index = ItemAt(Fl::event_x_root(), Fl::event_y_root());
        if (index < 0) return 1;
        TCustomForm* form = &FForm;
        TComponentWatch watch(form);
        TMenuSession::StartBar(this, index, [](TMenuItem* item) {
            if (!item) return;
            TComponentWatch alive(item);
            TDisplay::Current()->Post([item, alive] {
                if (alive.Alive()) RunGuarded(item, [item] { item->Click(); });
            });
        });
        return 1;
    }
    default: return Fl_Widget::handle(event);
    }
}

void TMenuBarWidget::OpenItem(int index)
{
    const auto tops = Layout();
    if (index < 0 || index >= static_cast<int>(tops.size()) || !Session()) return;
    TMenuItem* item = tops[static_cast<std::size_t>(index)].Item;
    if (!item->Enabled()) {
        Session()->End(nullptr);
        return;
    }
    if (!HasVisibleChildren(*item)) {
        Session()->End(item);
        return;
    }
    const Fl_Window* win = window();
    Session()->Open(*item, win->x_root() + tops[static_cast<std::size_t>(index)].X, win->y_root() + y() + h());
}

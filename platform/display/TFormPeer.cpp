#include "platform/display/TFormPeer.h"

#include <algorithm>
#include <cstring>

#include "platform/controls/TEdit.h"
#include "platform/controls/TMenu.h"
#include "platform/display/ScreenAccess.h"
#include "platform/display/HintWindow.h"
#include "platform/display/MenuWindows.h"
#include "platform/display/TDisplay.h"
#include "platform/display/Toolkit.h"
#include "platform/display/XWindows.h"
#include "platform/loop/Clock.h"
#include "platform/loop/Window.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

namespace {

class TFormWindow : public TPeered<Fl_Double_Window> {
public:
    TFormWindow(TFormPeer& peer, int w, int h) : TPeered<Fl_Double_Window>(peer, w, h)
    {
        resizable(nullptr);
        callback([](Fl_Widget*, void* data) { static_cast<TFormPeer*>(data)->CloseBox(); }, &peer);
    }

    TFormPeer& FormPeer() const { return static_cast<TFormPeer&>(Peer()); }

    void draw() override
    {
        if (damage() & ~FL_DAMAGE_CHILD) {
            fl_rectf(0, 0, w(), h(), color());
            FormPeer().DrawSurface(0, 0, w(), h());
        }
        draw_children();
    }

    int handle(int event) override
    {
        switch (event) {
        case FL_PUSH:
            if (Fl_Double_Window::handle(event)) return 1;
            return Peer().Handle(event);
        case FL_MOUSEWHEEL: return Fl_Double_Window::handle(event);
        case FL_MOVE:
        case FL_ENTER:
            FormPeer().PointerInside(true);
            // The window claims every move; it is the form's when no child is below the mouse.
            Fl_Double_Window::handle(event);
            if (Fl::belowmouse() == this) Peer().Handle(FL_MOVE);
            return 1;
        case FL_LEAVE:
            Fl_Double_Window::handle(event);
            FormPeer().AfterInput(TMouseInputKind::Up);
            FormPeer().PointerInside(false);
            PointerLeft();
            return 1;
        case FL_DRAG:
        case FL_RELEASE: return Peer().Handle(event);
        case FL_KEYBOARD:
        case FL_KEYUP: return FormPeer().KeyEvent(event);
        case FL_FOCUS:
            Fl_Double_Window::handle(event);
            return 1;
        case FL_UNFOCUS:
            Fl_Double_Window::handle(event);
            // The focus went to another window or program: the form is no longer active.
            if (!contains(Fl::focus())) HideHintWindow();
            return 1;
        case FL_SHORTCUT: return 0;
        default: return Fl_Double_Window::handle(event);
        }
    }

    void resize(int x, int y, int w, int h) override
    {
        Fl_Double_Window::resize(x, y, w, h);
        if (!FormPeer().Applying()) FormPeer().WindowChanged(x, y, w, h);
    }

    void ForcePosition() { force_position(1); }

private:
    void PointerLeft()
    {
        TCustomForm* form = &FormPeer().Form();
        TComponentWatch watch(form);
        TDisplay::Current()->Post([form, watch] {
            if (!watch.Alive()) return;
            if (TControl* under = form->MouseControl(); under && under != form) under->DispatchMouseLeave();
        });
    }
};

Fl_Cursor ToolkitCursor(TCursor cursor, const TControl* control)
{
    switch (cursor) {
    case crHandPoint: return FL_CURSOR_HAND;
    case crHourGlass:
    case crAppStart: return FL_CURSOR_WAIT;
    case crCross: return FL_CURSOR_CROSS;
    case crIBeam: return FL_CURSOR_INSERT;
    case crSizeNS:
    case crVSplit: return FL_CURSOR_NS;
    case crSizeWE:
    case crHSplit: return FL_CURSOR_WE;
    case crHelp: return FL_CURSOR_HELP;
    case crDrag: return FL_CURSOR_MOVE;
    case crNone: return FL_CURSOR_NONE;
    default:
        if (dynamic_cast<const TCustomEdit*>(control)) return FL_CURSOR_INSERT;
        return FL_CURSOR_DEFAULT;
    }
}

// The short part of a hint, before "|".
std::string ShortHint(const std::string& hint) { return hint.substr(0, hint.find('|')); }

std::string HintOf(const TControl* control)
{
    if (!control || control->Hint().empty()) return {};
    for (const TControl* c = control; c; c = c->Parent())
        if (c->ShowHint()) return ShortHint(control->Hint());
    return {};
}

// The enabled, visible main-menu item of a shortcut (key and shift bits as
// the menu stores them); nullptr when none.
TMenuItem* ShortCutItem(const TMenuItem& parent, int shortCut)
{
    for (int i = 0; i < parent.Count(); ++i) {
        TMenuItem* item = parent.Items(i);
        if (!item->Visible() || !item->Enabled()) continue;
        if (item->ShortCut() == shortCut && item->Count() == 0) return item;
        if (TMenuItem* inner = ShortCutItem(*item, shortCut)) return inner;
    }
    return nullptr;
}

int ShortCutOf(std::uint16_t key, TShiftState shift)
{
    int code = key;
    if (shift & ssShift) code |= 0x2000;
    if (shift & ssCtrl) code |= 0x4000;
    if (shift & ssAlt) code |= 0x8000;
    return code;
}

bool WantsTab(const TWinControl* control)
{
    const auto* memo = dynamic_cast<const TMemo*>(control);
    return memo && memo->WantTabs();
}

void CollectTabStops(TWinControl& parent, std::vector<TWinControl*>& out)
{
    for (int i = 0; i < parent.ControlCount(); ++i) {
        auto* w = dynamic_cast<TWinControl*>(parent.Controls(i));
        if (!w || !w->Visible() || !w->Enabled()) continue;
        if (w->TabStop()) out.push_back(w);
        CollectTabStops(*w, out);
    }
}

}  // namespace

TFormPeer::TFormPeer(TCustomForm& form) : TWidgetPeer(form), FForm(form)
{
    if (TDisplay* display = TDisplay::Current()) display->AddForm(this);
}

TFormPeer::~TFormPeer()
{
    if (TDisplay* display = TDisplay::Current()) {
        display->RemoveForm(this);
    }
    HideHintWindow();
    // An open menu may hang from our menu bar.
    if (FMenuBar) CloseMenus();
    if (FMenuBar && FWidget) static_cast<Fl_Group*>(FWidget.get())->remove(FMenuBar.get());
}

std::unique_ptr<TControlPeer> MakeFormPeer(TCustomForm& form)
{
    auto peer = std::make_unique<TFormPeer>(form);
    peer->Start(Toolkit::Make<TFormWindow>(*peer, std::max(1, form.ClientWidth()), std::max(1, form.ClientHeight())));
    return peer;
}

Fl_Group* TFormPeer::ChildGroup() { return static_cast<Fl_Group*>(FWidget.get()); }

int TFormPeer::ClientTop() const { return FMenuBar ? TDisplay::MenuBarHeight : 0; }

void TFormPeer::SyncText() { static_cast<Fl_Window*>(FWidget.get())->copy_label(Toolkit::Text(FForm.Caption()).c_str()); }

void TFormPeer::SyncColor() { FWidget->color(Toolkit::Color(FForm.Color())); }

void TFormPeer::SyncStyle()
{
    auto* window = static_cast<Fl_Double_Window*>(FWidget.get());
    const bool wanted = FForm.Menu() != nullptr;
    if (wanted && !FMenuBar) {
        FMenuBar = Toolkit::Make<TMenuBarWidget>(FForm, 0, 0, window->w(), TDisplay::MenuBarHeight);
        window->insert(*FMenuBar, 0);
    } else if (!wanted && FMenuBar) {
        window->remove(FMenuBar.get());
        FMenuBar.reset();
    }
    if (FMenuBar) FMenuBar->redraw();
    SyncBounds();
    if (window->shown()) ApplyWindowHints();
}

void TFormPeer::SyncBounds()
{
    auto* window = static_cast<Fl_Double_Window*>(FWidget.get());
    const int top = ClientTop();
    FApplying = true;
    window->resize(FForm.Left(), std::max(0, FForm.Top() - top), std::max(1, FForm.ClientWidth()),
                   std::max(1, FForm.ClientHeight() + top));
    if (FMenuBar) FMenuBar->resize(0, 0, window->w(), top);
    const TFormBorderStyle border = FForm.BorderStyle();
    if (border == bsSizeable || border == bsSizeToolWin) window->size_range(60, 30 + top);
    else window->size_range(window->w(), window->h(), window->w(), window->h());
    FApplying = false;
    for (int i = 0; i < FForm.ControlCount(); ++i)
        if (TWidgetPeer* child = Of(dynamic_cast<TWinControl*>(FForm.Controls(i)))) child->Changed(TPeerChange::Bounds);
}

void TFormPeer::SyncVisible()
{
    auto* window = static_cast<Fl_Double_Window*>(FWidget.get());
    if (!FForm.Visible()) {
        if (window->shown()) window->hide();
        HideHintWindow();
        return;
    }
    ShowWindow();
}

void TFormPeer::ShowWindow()
{
    auto* window = static_cast<Fl_Double_Window*>(FWidget.get());
    if (FForm.Modal()) window->set_modal();
    else if (FForm.FormStyle() == fsStayOnTop) window->set_non_modal();
    else window->clear_modal_states();
    if (!window->shown()) window->border(FForm.BorderStyle() != bsNone);
    SyncBounds();
    static_cast<TFormWindow*>(window)->ForcePosition();
    FollowSurface();
    if (FForm.WindowState() == wsMinimized) window->iconize();
    else window->show();
    ApplyWindowHints();
}

void TFormPeer::ApplyWindowHints()
{
    auto& window = static_cast<Fl_Window&>(*FWidget);
    if (!window.shown()) return;
    if (FForm.IsToolWindow()) XWindows::SetToolWindow(window);
    XWindows::SetStayOnTop(window, FForm.FormStyle() == fsStayOnTop);
    XWindows::SetMaximized(window, FForm.WindowState() == wsMaximized);
    if (!HasCloseBox()) XWindows::SetNoCloseBox(window);
}

bool TFormPeer::HasCloseBox() const
{
    return (FForm.BorderIcons() & biSystemMenu) && FForm.BorderStyle() != bsNone;
}

void TFormPeer::WindowChanged(int x, int y, int w, int h)
{
    if (FMenuBar) FMenuBar->resize(0, 0, w, ClientTop());
    TCustomForm* form = &FForm;
    TComponentWatch watch(form);
    const int top = ClientTop();
    TDisplay::Current()->Post([=] {
        if (watch.Alive()) form->SetBounds(x, y + top, w, h - top);
    });
}

void TFormPeer::CloseBox()
{
    // The toolkit also calls this for Escape, which belongs to the model's dialog keys.
    if (Fl::event() == FL_SHORTCUT || Fl::event() == FL_KEYBOARD) return;
    // A window manager may still offer to close a form that has no close box.
    if (!HasCloseBox()) return;
    PostMessage(FForm.Handle(), WM_CLOSE, 0, 0);
}

void TFormPeer::SurfacePainted(const TRect&) { FollowSurface(); }

void TFormPeer::FollowSurface()
{
    FLastCompare = timeGetTime();
    const TBitmap& surface = FForm.Surface();
    const int w = surface.Width();
    const int h = surface.Height();
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
    bool all = false;
    if (w != FSurfaceWidth || h != FSurfaceHeight) {
        FSurfaceWidth = w;
        FSurfaceHeight = h;
        FRgb.assign(rowBytes * static_cast<std::size_t>(h), 0);
        FShadow.assign(rowBytes * static_cast<std::size_t>(h), 0);
        all = true;
    }
    const bool bgr = surface.PixelFormat() == pfDevice || surface.PixelFormat() == pf24bit;
    int first = -1;
    int last = -1;
    std::vector<std::uint8_t> row(rowBytes);
    for (int y = 0; y < h; ++y) {
        if (bgr) std::memcpy(row.data(), surface.ScanLine(y), rowBytes);
        else
            for (int x = 0; x < w; ++x) {
                const TColor c = surface.Pixel(x, y);
                row[3 * x] = GetBValue(c);
                row[3 * x + 1] = GetGValue(c);
                row[3 * x + 2] = GetRValue(c);
            }
        std::uint8_t* shadow = FShadow.data() + rowBytes * static_cast<std::size_t>(y);
        if (!all && std::memcmp(shadow, row.data(), rowBytes) == 0) continue;
        std::memcpy(shadow, row.data(), rowBytes);
        std::uint8_t* rgb = FRgb.data() + rowBytes * static_cast<std::size_t>(y);
        for (std::size_t i = 0; i < rowBytes; i += 3) {
            rgb[i] = row[i + 2];
            rgb[i + 1] = row[i + 1];
            rgb[i + 2] = row[i];
        }
        if (first < 0) first = y;
        last = y;
    }
    if (first >= 0 && FWidget) FWidget->damage(FL_DAMAGE_ALL, 0, ClientTop() + first, w, last - first + 1);
}

void TFormPeer::DrawSurface(int x, int y, int w, int h) const
{
    const int top = ClientTop();
    const int left = std::max(x, 0);
    const int right = std::min(x + w, FSurfaceWidth);
    const int upper = std::max(y, top);
    const int lower = std::min(y + h, top + FSurfaceHeight);
    if (right <= left || lower <= upper) return;
    int cx = 0;
    int cy = 0;
    int cw = 0;
    int ch = 0;
    fl_clip_box(left, upper, right - left, lower - upper, cx, cy, cw, ch);
    if (cw <= 0 || ch <= 0) return;
    const std::size_t offset = (static_cast<std::size_t>(cy - top) * FSurfaceWidth + cx) * 3;
    fl_draw_image(FRgb.data() + offset, cx, cy, cw, ch, 3, FSurfaceWidth * 3);
}

void TFormPeer::FollowModel()
{
    if (!FForm.Visible()) return;
    // Drawing outside a paint is rare: a compare every few frames finds it.
    if (timeGetTime() - FLastCompare >= 40) FollowSurface();
    FollowFocus();
    FollowCursor();
    if (FMenuBar) FMenuBar->Follow();
}

void TFormPeer::FollowFocus()
{
    auto* window = static_cast<Fl_Double_Window*>(FWidget.get());
    if (!window->shown() || ScreenAccess::ActiveForm() != &FForm || TDisplay::Current()->OwnModalDepth() > 0) return;
    TWidgetPeer* active = Of(FForm.ActiveControl());
    Fl_Widget* target = active && active->Widget() && active->Widget()->visible_r() ? active->Widget() : window;
    if (Fl::focus() == target) return;
    if (target == window || !target->take_focus()) Fl::focus(window);
}

void TFormPeer::FollowCursor()
{
    auto* window = static_cast<Fl_Double_Window*>(FWidget.get());
    if (!window->shown()) return;
    const TControl* under = FForm.MouseControl();
    const Fl_Cursor cursor = ToolkitCursor(TDisplay::CursorFor(under), under);
    if (cursor == FCursor) return;
    FCursor = cursor;
    window->cursor(cursor);
}

bool TFormPeer::ShowsCursor(TCursor cursor) const { return FCursor == ToolkitCursor(cursor, nullptr); }

int TFormPeer::KeyEvent(int event)
{
    const std::uint16_t vk = Toolkit::VirtualKey(Fl::event_key());
    const TShiftState shift = Toolkit::Shift(Fl::event_state()) & (ssShift | ssAlt | ssCtrl);
    TCustomForm* form = &FForm;
    TComponentWatch watch(form);
    HideHintWindow();
    if (event == FL_KEYUP) {
        if (vk) TDisplay::Current()->Post([=] {
                if (watch.Alive()) form->KeyUpInput(vk, shift);
            });
        return 1;
    }
    std::string chars;
    switch (vk) {
    case VK_RETURN: chars = "\r"; break;
    case VK_BACK: chars = "\b"; break;
    case VK_ESCAPE: chars = "\x1b"; break;
    case VK_TAB: chars = "\t"; break;
    default:
        if ((shift & ssCtrl) && !(shift & ssAlt) && vk >= 'A' && vk <= 'Z') {
            chars = std::string(1, static_cast<char>(vk - 'A' + 1));
        } else if (!(shift & (ssCtrl | ssAlt))) {
            for (char c : Toolkit::FromText(std::string_view(Fl::event_text(), Fl::event_length())))
                if (static_cast<unsigned char>(c) >= 32 && c != 127) chars += c;
        }
    }
    if (!vk && chars.empty()) return 1;
    TDisplay::Current()->Post([=] {
        if (!watch.Alive()) return;
        // A menu shortcut is the menu's before any control sees the key.
        if (vk && form->Menu())
            if (TMenuItem* item = ShortCutItem(form->Menu()->Items(), ShortCutOf(vk, shift))) {
                item->Click();
                return;
            }
        if (TWidgetPeer* active = Of(form->ActiveControl())) active->BeforeKey(vk, shift);
        if (vk) form->KeyDownInput(vk, shift);
        for (char c : chars) {
            if (!watch.Alive()) return;
            form->CharInput(c);
        }
        if (!watch.Alive()) return;
        auto* peer = dynamic_cast<TFormPeer*>(form->Peer());
        if (!peer) return;
        if (vk == VK_TAB && !(shift & (ssCtrl | ssAlt)) && !WantsTab(form->ActiveControl())) {
            peer->MoveFocus((shift & ssShift) != 0);
        } else if (TWidgetPeer* active = Of(form->ActiveControl())) {
            active->AfterKey(vk, shift);
        }
        if (watch.Alive()) peer->FollowFocus();
    });
    return 1;
}

void TFormPeer::MoveFocus(bool backwards)
{
    std::vector<TWinControl*> stops;
    CollectTabStops(FForm, stops);
    std::erase_if(stops, [](TWinControl* c) { return !c->CanFocus(); });
    if (stops.empty()) return;
    const auto at = std::find(stops.begin(), stops.end(), FForm.ActiveControl());
    std::size_t index = 0;
    if (at != stops.end()) {
        const std::size_t i = static_cast<std::size_t>(at - stops.begin());
        index = backwards ? (i + stops.size() - 1) % stops.size() : (i + 1) % stops.size();
    } else if (backwards) {
        index = stops.size() - 1;
    }
    stops[index]->SetFocus();
}

void TFormPeer::AfterInput(TMouseInputKind kind)
{
    if (kind == TMouseInputKind::Down || kind == TMouseInputKind::DblClick) {
        HideHintWindow();
        FHintControl = FForm.MouseControl();
        FHintWatch = TComponentWatch(FHintControl);
    } else {
        UpdateHint();
    }
    FollowFocus();
    FollowCursor();
}

void TFormPeer::PointerInside(bool inside)
{
    if (inside == FPointerInside) return;
    FPointerInside = inside;
    if (inside) return;
    // Back on the same control, its hint shows again.
    HideHintWindow();
    FHintControl = nullptr;
    FHintWatch = TComponentWatch(nullptr);
}

void TFormPeer::UpdateHint()
{
    // Input queued before the pointer left comes after it.
    if (!FPointerInside) return;
    const TControl* under = FForm.MouseControl();
    if (under == FHintControl && FHintWatch.Alive()) return;
    FHintControl = under;
    FHintWatch = TComponentWatch(under);
    HideHintWindow();
    TDisplay* display = TDisplay::Current();
    const std::string hint = HintOf(under);
    if (hint.empty()) return;
    TComponentWatch watch(under);
    TCustomForm* form = &FForm;
    display->StartTimer(TDisplay::HintTimer, 500, [form, under, watch, hint] {
        if (!watch.Alive() || form->MouseControl() != under) return;
        const TPoint p = ScreenAccess::CursorPos();
        ShowHintWindow(hint, p.X, p.Y + 20);
        TDisplay::Current()->StartTimer(TDisplay::HintTimer, 5000, [] { HideHintWindow(); });
    });
}

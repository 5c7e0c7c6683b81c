#include "platform/controls/TCustomForm.h"

#include "platform/controls/LayoutReader.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/TButton.h"
#include "platform/controls/TGraphicControl.h"
#include "platform/controls/TMenu.h"
#include "platform/controls/TPanel.h"
#include "platform/controls/TScreen.h"
#include "platform/controls/UserInteraction.h"
#include "platform/loop/Window.h"

namespace {

// Runs the interaction's EndModal however the loop ends.
class TModalScope {
public:
    TModalScope(TUserInteraction& ui, TCustomForm& form, int& level)
        : FUi(ui), FForm(form), FLevel(level), FWatch(&form)
    {
        ++FLevel;
    }
    // A form freed inside its own loop has no level left to count down; the
    // interaction only forgets it by address.
    ~TModalScope()
    {
        if (FWatch.Alive()) --FLevel;
        FUi.EndModal(FForm);
    }
    TModalScope(const TModalScope&) = delete;
    TModalScope& operator=(const TModalScope&) = delete;

private:
    TUserInteraction& FUi;
    TCustomForm& FForm;
    int& FLevel;
    TComponentWatch FWatch;
};

void CollectButtons(TWinControl& parent, std::vector<TButton*>& out)
{
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* c = parent.Controls(i);
        if (auto* b = dynamic_cast<TButton*>(c)) out.push_back(b);
        if (auto* w = dynamic_cast<TWinControl*>(c)) CollectButtons(*w, out);
    }
}

}  // namespace

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner)
{
    TControl::SetVisible(false);
    SetBounds(0, 0, 320, 240);
    Font().SetName(TFont::DefaultName);
    Screen->AddForm(this);
}

TCustomForm::~TCustomForm()
{
    SetDestroying();
    if (FCreated && OnDestroy) Fire(*this, OnDestroy, this);
    DestroyComponents();
    Screen->RemoveForm(this);
}

const TPropertyTable& TCustomForm::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Enum<TCustomForm, TFormStyle>("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle,
                                        {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"});
        t.Enum<TCustomForm, TFormBorderStyle>("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle,
                                              {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow",
                                               "bsSizeToolWin"});
        t.Set<TCustomForm, TBorderIcons>("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
                                         {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"});
        t.Enum<TCustomForm, TPosition>("Position", &TCustomForm::Position, &TCustomForm::SetPosition,
                                       {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                        "poScreenCenter", "poDesktopCenter", "poMainFormCenter",
                                        "poOwnerFormCenter"});
        t.Enum<TCustomForm, TWindowState>("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState,
                                          {"wsNormal", "wsMinimized", "wsMaximized"});
        t.Bool<TCustomForm>("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview);
        t.Int<TCustomForm>("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth);
        t.Int<TCustomForm>("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight);
        t.Reference<TCustomForm, TMainMenu>("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
        t.Reference<TCustomForm, TWinControl>("ActiveControl", &TCustomForm::ActiveControl,
                                              &TCustomForm::SetActiveControl);
        t.EventHandler<TCustomForm>("OnCreate", &TCustomForm::OnCreate);
        t.EventHandler<TCustomForm>("OnDestroy", &TCustomForm::OnDestroy);
        t.EventHandler<TCustomForm>("OnShow", &TCustomForm::OnShow);
        t.EventHandler<TCustomForm>("OnHide", &TCustomForm::OnHide);
        t.EventHandler<TCustomForm>("OnActivate", &TCustomForm::OnActivate);
        t.EventHandler<TCustomForm>("OnDeactivate", &TCustomForm::OnDeactivate);
        t.EventHandler<TCustomForm>("OnPaint", &TCustomForm::OnPaint);
        t.EventHandler<TCustomForm>("OnClose", &TCustomForm::OnClose);
        t.EventHandler<TCustomForm>("OnCloseQuery", &TCustomForm::OnCloseQuery);
        return t;
    }();
    return table;
}

void TCustomForm::SetVisible(bool value)
{
    if (value == Visible()) return;
    if (Loading()) {
        TControl::SetVisible(value);
        return;
    }
    TComponentWatch watch(this);
    if (value) {
        CreatePeers();
        PlaceOnShow();
        TControl::SetVisible(true);
        InvalidateRect(ClientRect());
        Screen->SetActiveForm(this);
        if (!Fire(*this, OnShow, this)) return;
        if (!Fire(*this, OnActivate, this)) return;
        if (FActiveControl) FActiveControl->FocusedByOpening();
    } else {
        FCaptureControl = nullptr;
        FMouseControl = nullptr;
        TControl::SetVisible(false);
        if (Screen->ActiveForm() == this) Screen->SetActiveForm(nullptr);
        Fire(*this, OnHide, this);
    }
}

void TCustomForm::Show()
{
    SetVisible(true);
}

void TCustomForm::Hide()
{
    SetVisible(false);
}

TModalResult TCustomForm::ShowModal()
{
    if (Visible() || Modal()) throw EInvalidOperation("Cannot make a visible window modal");
    TUserInteraction& ui = UserInteraction();
    TComponentWatch watch(this);
    FModalResult = mrNone;
    TModalResult result = mrNone;
    {
        TModalScope scope(ui, *this, FModalLevel);
        Show();
        if (!watch.Alive()) return mrCancel;
        try {
            result = RunModalLoop(ui, watch);
        } catch (...) {
            if (watch.Alive()) Hide();
            throw;
        }
        if (!watch.Alive()) return mrCancel;
    }
    Hide();
    return result;
}

TModalResult TCustomForm::RunModalLoop(TUserInteraction& ui, const TComponentWatch& watch)
{
    {
        ui.BeginModal(*this);
        while (true) {
            if (!watch.Alive()) return mrCancel;
            if (Application && Application->Terminated() && FModalResult == mrNone) FModalResult = mrCancel;
            if (FModalResult != mrNone) {
                TCloseAction action = caNone;
                if (CloseQuery()) {
                    if (!watch.Alive()) return mrCancel;
                    action = caHide;
                    DoClose(action);
                    if (!watch.Alive()) return mrCancel;
                }
                if (action == caNone) FModalResult = mrNone;
                else {
                    if (action == caFree) Release();
                    break;
                }
            }
            if (!ProcessOneMessage()) {
                if (!watch.Alive()) return mrCancel;
                if (FModalResult == mrNone) ui.ModalIdle(*this);
            }
        }
    }
    return FModalResult;
}

void TCustomForm::Close()
{
    if (Modal()) {
        FModalResult = mrCancel;
        return;
    }
    TComponentWatch watch(this);
    if (!CloseQuery() || !watch.Alive()) return;
    const bool mainForm = Application && Application->MainForm() == this;
    TCloseAction action = caHide;
    DoClose(action);
    if (!watch.Alive() || action == caNone) return;
    if (mainForm) {
        Application->Terminate();
        return;
    }
    if (action == caHide) Hide();
    else if (action == caFree) Release();
}

void TCustomForm::Release()
{
    if (FReleasing) return;
    FReleasing = true;
    PostMessage(Handle(), CM_RELEASE, 0, 0);
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery) Fire(*this, OnCloseQuery, this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& action)
{
    Fire(*this, OnClose, this, action);
}

LRESULT TCustomForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CM_RELEASE) {
        delete this;
        return 0;
    }
    if (message == WM_CLOSE) {
        Close();
        return 0;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

void TCustomForm::SetFormStyle(TFormStyle value)
{
    if (value == FFormStyle) return;
    FFormStyle = value;
    NotifyPeer(TPeerChange::Style);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value)
{
    if (value == FBorderStyle) return;
    FBorderStyle = value;
    NotifyPeer(TPeerChange::Style);
}

void TCustomForm::SetBorderIcons(TBorderIcons value)
{
    if (value == FBorderIcons) return;
    FBorderIcons = value;
    NotifyPeer(TPeerChange::Style);
}

void TCustomForm::SetWindowState(TWindowState value)
{
    if (value == FWindowState) return;
    FWindowState = value;
    if (value == wsMaximized && !Loading()) SetBounds(0, 0, Screen->Width(), Screen->Height());
    NotifyPeer(TPeerChange::Style);
}

void TCustomForm::SetMenu(TMainMenu* menu)
{
    if (menu == FMenu) return;
    if (FMenu) FMenu->RemoveFreeNotification(this);
    FMenu = menu;
    if (menu) menu->FreeNotification(this);
    NotifyPeer(TPeerChange::Style);
}

void TCustomForm::SetActiveControl(TWinControl* control)
{
    if (control == FActiveControl) return;
    if (control && (control == this || !ContainsControl(control)))
        throw EInvalidOperation("Invalid ActiveControl: it is not on this form");
    if (Loading()) {
        FActiveControl = control;
        return;
    }
    TWinControl* previous = FActiveControl;
    FActiveControl = control;
    if (previous) {
        TComponentWatch watch(this);
        previous->DispatchExit();
        if (!watch.Alive()) return;
    }
    if (control && FActiveControl == control) {
        TComponentWatch watch(control);
        control->DispatchEnter();
        if (!watch.Alive()) return;
        control->Invalidate();
        if (FActiveControl != control) return;
        // Keyboard focus never stays out of sight.
        for (TWinControl* p = control->Parent(); p && p != this; p = p->Parent())
            if (auto* box = dynamic_cast<TScrollBox*>(p)) box->ScrollInView(control);
    }
}

void TCustomForm::ForgetControl(const TControl* control)
{
    auto inside = [control](const TControl* c) {
        for (; c; c = c->Parent())
            if (c == control) return true;
        return false;
    };
    if (inside(FActiveControl)) FActiveControl = nullptr;
    if (inside(FCaptureControl)) FCaptureControl = nullptr;
    if (inside(FMouseControl)) FMouseControl = nullptr;
}

void TCustomForm::Notification(TComponent* component, TOperation operation)
{
    TWinControl::Notification(component, operation);
    if (operation == opRemove && component == FMenu) FMenu = nullptr;
}

void TCustomForm::InvalidateRect(const TRect& rect)
{
    const TRect r = IntersectRect(rect, ClientRect());
    if (r.IsEmpty()) return;
    if (FDirty.IsEmpty()) FDirty = r;
    else FDirty = Rect(std::min(FDirty.Left, r.Left), std::min(FDirty.Top, r.Top), std::max(FDirty.Right, r.Right),
                       std::max(FDirty.Bottom, r.Bottom));
}

void TCustomForm::PaintSurface()
{
    if (FDirty.IsEmpty()) return;
    const TRect dirty = FDirty;
    FDirty = {};
    if (FSurface.Width() != ClientWidth() || FSurface.Height() != ClientHeight())
        FSurface.SetSize(ClientWidth(), ClientHeight());
    TCanvas canvas(FSurface);
    canvas.SetClipRect(dirty);
    PaintWindow(canvas);
    TComponentWatch watch(this);
    if (!Fire(*this, OnPaint, this)) return;
    for (int i = 0; i < ControlCount(); ++i) PaintControl(*Controls(i), canvas, dirty);
    ++FPaintCount;
    if (TControlPeer* peer = Peer()) peer->SurfacePainted(dirty);
}

void TCustomForm::PaintControl(TControl& control, TCanvas& canvas, const TRect& dirty)
{
    if (!control.Visible()) return;
    const TRect area = IntersectRect(control.VisibleFormRect(), dirty);
    if (area.IsEmpty()) return;
    if (auto* windowed = dynamic_cast<TWinControl*>(&control)) {
        canvas.SetOrigin(windowed->FormOrigin());
        canvas.SetClipRect(area);
        windowed->PaintWindow(canvas);
        for (int i = 0; i < windowed->ControlCount(); ++i) PaintControl(*windowed->Controls(i), canvas, area);
    } else if (auto* graphic = dynamic_cast<TGraphicControl*>(&control)) {
        graphic->PaintTo(area);
    }
}

void TCustomForm::Resize()
{
    InvalidateRect(ClientRect());
    TWinControl::Resize();
}

void TCustomForm::DoFontChanged()
{
    // Children that follow the form's font take the new one.
    std::vector<TControl*> stack;
    for (int i = 0; i < ControlCount(); ++i) stack.push_back(Controls(i));
    while (!stack.empty()) {
        TControl* c = stack.back();
        stack.pop_back();
        if (!c->ParentFont()) continue;
        c->SetFont(c->Parent()->Font());
        c->SetParentFont(true);
        if (auto* w = dynamic_cast<TWinControl*>(c))
            for (int i = 0; i < w->ControlCount(); ++i) stack.push_back(w->Controls(i));
    }
}

void TCustomForm::PlaceOnShow()
{
    if (FPlaced) return;
    FPlaced = true;
    if (FPosition == poScreenCenter || FPosition == poDesktopCenter)
        SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(), Height());
    else if (FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) {
        const TCustomForm* other = Application ? Application->MainForm() : nullptr;
        if (FPosition == poOwnerFormCenter)
            if (auto* owner = dynamic_cast<TCustomForm*>(Owner())) other = owner;
        if (other && other != this)
            SetBounds(other->Left() + (other->Width() - Width()) / 2, other->Top() + (other->Height() - Height()) / 2,
                      Width(), Height());
        else SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(), Height());
    }
}

void TCustomForm::UpdateMouseControl(int x, int y, TShiftState shift)
{
    TControl* under = this;
    TWinControl* container = this;
    while (true) {
        const TPoint o = container->FormOrigin();
        TControl* child = container->ControlAtPos({x - o.X, y - o.Y});
        if (!child) break;
        under = child;
        auto* w = dynamic_cast<TWinControl*>(child);
        if (!w) break;
        container = w;
    }
    if (under == FMouseControl) return;
    TControl* previous = FMouseControl;
    FMouseControl = under;
    TComponentWatch self(this);
    TComponentWatch next(under);
    if (previous) previous->DispatchMouseLeave();
    if (self.Alive() && next.Alive() && FMouseControl == under) under->DispatchMouseEnter();
}

void TCustomForm::MouseInput(TMouseInputKind kind, TMouseButton button, TShiftState shift, int x, int y)
{
    RunGuarded(this, [&] {
        if (!Visible() || !EffectivelyEnabled()) return;
        Mouse->SetCursorPos(ClientToScreen({x, y}));
        TComponentWatch self(this);
        UpdateMouseControl(x, y, shift);
        if (!self.Alive()) return;
        TControl* target = FCaptureControl ? FCaptureControl : FMouseControl;
        if (!target) target = this;
        const TPoint o = target->FormOrigin();
        const int cx = x - o.X;
        const int cy = y - o.Y;
        switch (kind) {
        case TMouseInputKind::Move:
            target->DispatchMouseMove(shift, cx, cy);
            break;
        case TMouseInputKind::Down:
        case TMouseInputKind::DblClick: {
            auto* w = dynamic_cast<TWinControl*>(target);
            // A click on a picture in a scroll box focuses the box, so that keys scroll it.
            if (!w && target->Parent() && target->Parent()->FocusOnClick()) w = target->Parent();
            if (w && w != this && w->CanFocus() && w->FocusOnClick()) {
                TComponentWatch watch(w);
                SetActiveControl(w);
                if (!self.Alive() || !watch.Alive()) return;
            }
            if (button == mbLeft) FCaptureControl = target;
            TComponentWatch pressed(target);
            target->DispatchMouseDown(button, shift, cx, cy);
            // The second press of a double-click is a press too; the double-click comes with it.
            if (kind == TMouseInputKind::DblClick && button == mbLeft && pressed.Alive()) target->DispatchDblClick();
            break;
        }
        case TMouseInputKind::Up:
            if (button == mbLeft && self.Alive()) FCaptureControl = nullptr;
            target->DispatchMouseUp(button, shift, cx, cy);
            break;
        }
    });
}

void TCustomForm::MouseWheelInput(int delta, TShiftState shift, int x, int y)
{
    RunGuarded(this, [&] {
        if (!Visible() || !EffectivelyEnabled() || delta == 0) return;
        UpdateMouseControl(x, y, shift);
        TControl* under = FMouseControl ? FMouseControl : this;
        TWinControl* w = dynamic_cast<TWinControl*>(under);
        if (!w) w = under->Parent();
        for (; w; w = w->Parent())
            if (w->EffectivelyEnabled() && w->MouseWheel(delta, shift)) return;
    });
}

namespace {

bool IsScrollKey(std::uint16_t key)
{
    return key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT || key == VK_PRIOR ||
           key == VK_NEXT || key == VK_HOME || key == VK_END;
}

}  // namespace

bool TCustomForm::HandleScrollKey(std::uint16_t key, TShiftState shift)
{
    if (!IsScrollKey(key) || !FActiveControl || !FActiveControl->LeavesScrollKeys()) return false;
    for (TWinControl* w = FActiveControl; w && w != this; w = w->Parent())
        if (w->ScrollKey(key, shift)) return true;
    return false;
}

bool TCustomForm::HandleDialogKey(std::uint16_t key)
{
    if (key != VK_RETURN && key != VK_ESCAPE) return false;
    if (key == VK_RETURN && dynamic_cast<TButton*>(FActiveControl)) return false;
    std::vector<TButton*> buttons;
    CollectButtons(*this, buttons);
    for (TButton* b : buttons) {
        const bool wanted = key == VK_RETURN ? b->Default() : b->Cancel();
        if (wanted && b->Showing() && b->EffectivelyEnabled()) {
            b->Click();
            return true;
        }
    }
    return false;
}

void TCustomForm::KeyDownInput(std::uint16_t key, TShiftState shift)
{
    RunGuarded(this, [&] {
        if (!Visible() || !EffectivelyEnabled()) return;
        TComponentWatch self(this);
        if (FKeyPreview) {
            if (!Fire(*this, OnKeyDown, this, key, shift) || key == 0) return;
        }
        if (FActiveControl && FActiveControl->WantsKey(key)) {
            FActiveControl->DispatchKeyDown(key, shift);
            return;
        }
        if (HandleDialogKey(key)) return;
        if (!self.Alive()) return;
        if (FActiveControl) {
            TComponentWatch active(FActiveControl);
            FActiveControl->DispatchKeyDown(key, shift);
            if (self.Alive() && active.Alive()) HandleScrollKey(key, shift);
        }
        else if (!FKeyPreview) DispatchKeyDown(key, shift);
    });
}

void TCustomForm::CharInput(char ch)
{
    RunGuarded(this, [&] {
        if (!Visible() || !EffectivelyEnabled()) return;
        if (FKeyPreview) {
            if (!Fire(*this, OnKeyPress, this, ch) || ch == 0) return;
        }
        if (FActiveControl) FActiveControl->DispatchKeyPress(ch);
        else if (!FKeyPreview) DispatchKeyPress(ch);
    });
}

void TCustomForm::KeyUpInput(std::uint16_t key, TShiftState shift)
{
    RunGuarded(this, [&] {
        if (!Visible() || !EffectivelyEnabled()) return;
        if (FKeyPreview) {
            if (!Fire(*this, OnKeyUp, this, key, shift) || key == 0) return;
        }
        if (FActiveControl) FActiveControl->DispatchKeyUp(key, shift);
        else if (!FKeyPreview) DispatchKeyUp(key, shift);
    });
}

void TCustomForm::KeyInput(std::uint16_t key, TShiftState shift)
{
    TComponentWatch self(this);
    KeyDownInput(key, shift);
    char ch = 0;
    if (key >= 'A' && key <= 'Z') ch = static_cast<char>((shift & ssShift) ? key : key - 'A' + 'a');
    else if ((key >= '0' && key <= '9') || key == VK_SPACE) ch = static_cast<char>(key);
    else if (key == VK_RETURN) ch = '\r';
    else if (key == VK_BACK) ch = '\b';
    else if (key == VK_ESCAPE) ch = 27;
    if (ch != 0 && self.Alive()) CharInput(ch);
    if (self.Alive()) KeyUpInput(key, shift);
}

void TCustomForm::ReadLayout(const std::string& resourceName, const THandlerTable& handlers,
                             const TBindingTable* bindings)
{
    ReadLayoutText(LayoutResource(resourceName), handlers, resourceName, bindings);
}

void TCustomForm::ReadLayoutText(std::string_view text, const THandlerTable& handlers, const std::string& sourceName,
                                 const TBindingTable* bindings)
{
    ReadComponentLayout(*this, text, &handlers, sourceName, bindings);
}

void TCustomForm::DoCreate()
{
    if (FCreated) return;
    FCreated = true;
    Fire(*this, OnCreate, this);
}

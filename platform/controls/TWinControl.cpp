#include "platform/controls/TWinControl.h"

#include <algorithm>

#include "platform/controls/Properties.h"
#include "platform/controls/TCustomForm.h"
#include "platform/loop/Window.h"

namespace {

TPeerFactory* InstalledPeerFactory = nullptr;

}  // namespace

TPeerFactory* PeerFactory() { return InstalledPeerFactory; }
void SetPeerFactory(TPeerFactory* factory) { InstalledPeerFactory = factory; }

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl()
{
    SetDestroying();
    // Owned components go while this control is still whole.
    DestroyComponents();
    if (TCustomForm* form = ParentForm(); form && form != this) form->ForgetControl(this);
    for (TControl* child : FControls) child->FParent = nullptr;
    FControls.clear();
    if (FHandle) DeallocateHWnd(FHandle);
    FHandle = 0;
}

const TPropertyTable& TWinControl::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TControl::PropertyTable());
        t.Bool<TWinControl>("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
        t.EventHandler<TWinControl>("OnEnter", &TWinControl::OnEnter);
        t.EventHandler<TWinControl>("OnExit", &TWinControl::OnExit);
        t.EventHandler<TWinControl>("OnKeyDown", &TWinControl::OnKeyDown);
        t.EventHandler<TWinControl>("OnKeyPress", &TWinControl::OnKeyPress);
        t.EventHandler<TWinControl>("OnKeyUp", &TWinControl::OnKeyUp);
        return t;
    }();
    return table;
}

TControl* TWinControl::Controls(int index) const
{
    if (index < 0 || index >= ControlCount())
        throw EListError("Control index out of bounds (" + std::to_string(index) + ")");
    return FControls[static_cast<std::size_t>(index)];
}

bool TWinControl::ContainsControl(const TControl* control) const
{
    for (const TControl* c = control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

bool TWinControl::InClientArea(TPoint p) const
{
    const TRect r = ClientRect();
    return p.X >= r.Left && p.Y >= r.Top && p.X < r.Right && p.Y < r.Bottom;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled) const
{
    // Children scrolled under a scroll bar are not there for the mouse.
    if (!InClientArea(p)) return nullptr;
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!c->Visible() || (!allowDisabled && !c->Enabled())) continue;
        if (c->HitTest(p.X - c->Left(), p.Y - c->Top())) return c;
    }
    return nullptr;
}

bool TWinControl::CanFocus() const
{
    return Showing() && EffectivelyEnabled() && ParentForm() != nullptr;
}

bool TWinControl::Focused() const
{
    const TCustomForm* form = ParentForm();
    return form && form->ActiveControl() == this;
}

void TWinControl::SetFocus()
{
    TCustomForm* form = ParentForm();
    if (!form || !EffectivelyEnabled() || !Showing())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (form != this) form->SetActiveControl(this);
}

HWND TWinControl::Handle()
{
    if (!FHandle) {
        FHandle = AllocateHWnd([this](HWND, UINT message, WPARAM wParam, LPARAM lParam) {
            return WndProc(message, wParam, lParam);
        });
    }
    return FHandle;
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(FHandle, message, wParam, lParam);
}

void TWinControl::AddLayoutChild(TComponent& child)
{
    if (auto* control = dynamic_cast<TControl*>(&child)) control->SetParent(this);
}

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    const bool resized = width != Width() || height != Height();
    TControl::SetBounds(left, top, width, height);
    if (resized) Realign();
}

void TWinControl::Realign()
{
    if (FAligning || Loading()) return;
    FAligning = true;
    TRect rect = ClientRect();
    AlignControls(rect);
    FAligning = false;
}

void TWinControl::AlignControls(TRect& rect)
{
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : FControls) {
            if (c->Align() != align || !c->Visible()) continue;
            switch (align) {
            case alTop:
                c->SetBounds(rect.Left, rect.Top, rect.Width(), c->Height());
                rect.Top += c->Height();
                break;
            case alBottom:
                c->SetBounds(rect.Left, rect.Bottom - c->Height(), rect.Width(), c->Height());
                rect.Bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(rect.Left, rect.Top, c->Width(), rect.Height());
                rect.Left += c->Width();
                break;
            case alRight:
                c->SetBounds(rect.Right - c->Width(), rect.Top, c->Width(), rect.Height());
                rect.Right -= c->Width();
                break;
            case alClient:
                c->SetBounds(rect.Left, rect.Top, std::max(0, rect.Width()), std::max(0, rect.Height()));
                break;
            case alNone: break;
            }
        }
    }
}

void TWinControl::DispatchKeyDown(std::uint16_t key, TShiftState shift)
{
    if (!Loading() && !Fire(*this, OnKeyDown, this, key, shift)) return;
    if (key != 0) KeyDown(key, shift);
}

void TWinControl::DispatchKeyPress(char key)
{
    if (!Loading() && !Fire(*this, OnKeyPress, this, key)) return;
    if (key != 0) KeyPress(key);
}

void TWinControl::DispatchKeyUp(std::uint16_t key, TShiftState shift)
{
    if (!Loading() && !Fire(*this, OnKeyUp, this, key, shift)) return;
    if (key != 0) KeyUp(key, shift);
}

void TWinControl::DispatchEnter()
{
    DoEnter();
    if (!Loading()) Fire(*this, OnEnter, this);
}

void TWinControl::DispatchExit()
{
    DoExit();
    if (!Loading()) Fire(*this, OnExit, this);
}

void TWinControl::CreatePeers()
{
    TPeerFactory* factory = PeerFactory();
    if (!factory) return;
    if (!FPeer) FPeer = factory->CreatePeer(*this);
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->CreatePeers();
}

void TWinControl::PaintWindow(TCanvas& canvas)
{
    canvas.Brush().SetColor(ColorToRGB(Color()));
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect(ClientRect());
}

void TWinControl::NotifyPeer(TPeerChange change)
{
    if (FPeer) FPeer->Changed(change);
}

void TWinControl::InsertControl(TControl* control)
{
    FControls.push_back(control);
    control->FParent = this;
    // A child joining a form that already has peers gets its own.
    if (auto* w = dynamic_cast<TWinControl*>(control); w && FPeer) w->CreatePeers();
    if (!Destroying()) ControlsChanged();
}

void TWinControl::RemoveControl(TControl* control)
{
    auto it = std::find(FControls.begin(), FControls.end(), control);
    if (it == FControls.end()) return;
    FControls.erase(it);
    control->FParent = nullptr;
    if (!Destroying()) ControlsChanged();
}

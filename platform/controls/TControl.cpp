#include "platform/controls/TControl.h"

#include "platform/controls/Properties.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TMenu.h"
#include "platform/controls/TWinControl.h"

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {}

TControl::~TControl()
{
    SetDestroying();
    if (TCustomForm* form = ParentForm(); form && form != this) form->ForgetControl(this);
    if (FParent) FParent->RemoveControl(this);
}

const TPropertyTable& TControl::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TComponent::PropertyTable());
        t.Int<TControl>("Left", &TControl::Left, &TControl::SetLeft);
        t.Int<TControl>("Top", &TControl::Top, &TControl::SetTop);
        t.Int<TControl>("Width", &TControl::Width, &TControl::SetWidth);
        t.Int<TControl>("Height", &TControl::Height, &TControl::SetHeight);
        t.Enum<TControl, TAlign>("Align", &TControl::Align, &TControl::SetAlign,
                                 {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
        t.String<TControl>("Caption", &TControl::Caption, &TControl::SetCaption);
        t.Color<TControl>("Color", &TControl::Color, &TControl::SetColor);
        t.StoredIf([](const TComponent& c) { return !static_cast<const TControl&>(c).ParentColor(); });
        t.Bool<TControl>("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
        t.Font<TControl>("Font", static_cast<TFont& (TControl::*)()>(&TControl::Font), &TControl::FontChanged);
        t.StoredIf([](const TComponent& c) { return !static_cast<const TControl&>(c).ParentFont(); }, 5);
        t.Bool<TControl>("ParentFont", &TControl::ParentFont, &TControl::SetParentFont);
        t.Bool<TControl>("Visible", &TControl::Visible, &TControl::SetVisible);
        t.Bool<TControl>("Enabled", &TControl::Enabled, &TControl::SetEnabled);
        t.String<TControl>("Hint", &TControl::Hint, &TControl::SetHint);
        t.Bool<TControl>("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
        t.Int<TControl>("Cursor", &TControl::Cursor, &TControl::SetCursor, &CursorIdents());
        t.Enum<TControl, TDragMode>("DragMode", &TControl::DragMode, &TControl::SetDragMode,
                                    {"dmManual", "dmAutomatic"});
        t.Reference<TControl, TPopupMenu>("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
        t.EventHandler<TControl>("OnClick", &TControl::OnClick);
        t.EventHandler<TControl>("OnDblClick", &TControl::OnDblClick);
        t.EventHandler<TControl>("OnMouseDown", &TControl::OnMouseDown);
        t.EventHandler<TControl>("OnMouseMove", &TControl::OnMouseMove);
        t.EventHandler<TControl>("OnMouseUp", &TControl::OnMouseUp);
        t.EventHandler<TControl>("OnResize", &TControl::OnResize);
        t.EventHandler<TControl>("OnDragOver", &TControl::OnDragOver);
        t.EventHandler<TControl>("OnDragDrop", &TControl::OnDragDrop);
        return t;
    }();
    return table;
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == FParent) return;
    if (parent == this) throw EInvalidOperation("A control cannot be its own parent");
    Invalidate();
    if (FParent) {
        if (TCustomForm* form = ParentForm(); form && form != this) form->ForgetControl(this);
        FParent->RemoveControl(this);
    }
    if (parent) {
        parent->InsertControl(this);
        if (FParentFont) FFont = parent->Font();
        if (FParentColor) FColor = parent->Color();
    }
    Invalidate();
    NotifyPeer(TPeerChange::Parent);
}

TComponent* TControl::LayoutParent() const { return FParent; }

TCustomForm* TControl::ParentForm() const
{
    const TControl* c = this;
    while (c->FParent) c = c->FParent;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    const bool resized = width != FWidth || height != FHeight;
    Invalidate();
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    Invalidate();
    NotifyPeer(TPeerChange::Bounds);
    if (FParent && FAlign != alNone) FParent->Realign();
    if (FParent) FParent->ChildBoundsChanged();
    if (resized) Resize();
}

TPoint TControl::FormOrigin() const
{
    TPoint p;
    for (const TControl* c = this; c && c->FParent; c = c->FParent) {
        p.X += c->FLeft;
        p.Y += c->FTop;
    }
    return p;
}

TPoint TControl::ClientToScreen(TPoint p) const
{
    const TPoint o = FormOrigin();
    TPoint r{p.X + o.X, p.Y + o.Y};
    if (const TCustomForm* form = ParentForm()) {
        r.X += form->Left();
        r.Y += form->Top();
    }
    return r;
}

TPoint TControl::ScreenToClient(TPoint p) const
{
    const TPoint zero = ClientToScreen({0, 0});
    return {p.X - zero.X, p.Y - zero.Y};
}

void TControl::SetAlign(TAlign value)
{
    if (value == FAlign) return;
    FAlign = value;
    if (FParent) FParent->Realign();
}

void TControl::SetText(const std::string& value)
{
    if (value == FText) return;
    FText = value;
    Invalidate();
    NotifyPeer(TPeerChange::Text);
    TextChanged();
}

void TControl::SetFont(const TFont& font)
{
    if (font == FFont) return;
    FFont = font;
    FontChanged();
}

void TControl::FontChanged()
{
    FParentFont = false;
    Invalidate();
    NotifyPeer(TPeerChange::Font);
    DoFontChanged();
}

void TControl::SetParentFont(bool value)
{
    if (value == FParentFont) return;
    FParentFont = value;
    if (value && FParent) {
        FFont = FParent->Font();
        Invalidate();
        NotifyPeer(TPeerChange::Font);
        DoFontChanged();
    }
}

void TControl::SetColor(TColor value)
{
    FParentColor = false;
    if (value == FColor) return;
    FColor = value;
    Invalidate();
    NotifyPeer(TPeerChange::Color);
}

void TControl::SetParentColor(bool value)
{
    FParentColor = value;
    if (value && FParent && FColor != FParent->Color()) {
        FColor = FParent->Color();
        Invalidate();
        NotifyPeer(TPeerChange::Color);
    }
}

void TControl::SetVisible(bool value)
{
    if (value == FVisible) return;
    if (!value) Invalidate();
    FVisible = value;
    if (value) Invalidate();
    if (!value)
        if (TCustomForm* form = ParentForm(); form && form != this) form->ForgetControl(this);
    NotifyPeer(TPeerChange::Visible);
    if (FParent && FAlign != alNone) FParent->Realign();
    if (FParent) FParent->ChildBoundsChanged();
    VisibleChanged();
}

bool TControl::Showing() const
{
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FVisible) return false;
    return true;
}

void TControl::SetEnabled(bool value)
{
    if (value == FEnabled) return;
    FEnabled = value;
    if (!value)
        if (TCustomForm* form = ParentForm(); form && form != this) form->ForgetControl(this);
    Invalidate();
    NotifyPeer(TPeerChange::Enabled);
    EnabledChanged();
}

bool TControl::EffectivelyEnabled() const
{
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FEnabled) return false;
    return true;
}

void TControl::SetPopupMenu(TPopupMenu* menu)
{
    if (menu == FPopupMenu) return;
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = menu;
    if (menu) menu->FreeNotification(this);
}

TRect TControl::VisibleFormRect() const
{
    const TCustomForm* form = ParentForm();
    if (!form || form == this) return Rect(0, 0, FWidth, FHeight);
    if (!Showing()) return {};
    const TPoint o = FormOrigin();
    TRect r = Bounds(o.X, o.Y, FWidth, FHeight);
    for (const TWinControl* p = FParent; p && p != form; p = p->FParent) {
        const TPoint po = p->FormOrigin();
        const TRect client = p->ClientRect();
        r = IntersectRect(r, Bounds(po.X + client.Left, po.Y + client.Top, client.Width(), client.Height()));
    }
    return IntersectRect(r, Rect(0, 0, form->Width(), form->Height()));
}

void TControl::Invalidate()
{
    TCustomForm* form = ParentForm();
    if (!form) return;
    const TRect r = VisibleFormRect();
    if (!r.IsEmpty()) form->InvalidateRect(r);
}

void TControl::Update()
{
    if (TCustomForm* form = ParentForm()) form->PaintSurface();
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TControl::BringToFront()
{
    if (!FParent) return;
    auto& list = FParent->FControls;
    std::erase(list, this);
    list.push_back(this);
    Invalidate();
    NotifyPeer(TPeerChange::ZOrder);
}

void TControl::SendToBack()
{
    if (!FParent) return;
    auto& list = FParent->FControls;
    std::erase(list, this);
    list.insert(list.begin(), this);
    Invalidate();
    NotifyPeer(TPeerChange::ZOrder);
}

bool TControl::MouseCapture() const
{
    const TCustomForm* form = ParentForm();
    return form && form->CaptureControl() == this;
}

void TControl::SetMouseCapture(bool value)
{
    TCustomForm* form = ParentForm();
    if (!form) return;
    if (value) form->SetCaptureControl(this);
    else if (form->CaptureControl() == this) form->SetCaptureControl(nullptr);
}

void TControl::Click()
{
    if (Loading()) return;
    Fire(*this, OnClick, this);
}

void TControl::DispatchMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TComponentWatch watch(this);
    if (button == mbLeft) FClickPending = true;
    MouseDown(button, shift, x, y);
    if (!watch.Alive()) return;
    if (button == mbRight && FPopupMenu) {
        const TPoint p = ClientToScreen({x, y});
        FPopupMenu->SetPopupComponent(this);
        FPopupMenu->Popup(p.X, p.Y);
    }
}

void TControl::DispatchMouseMove(TShiftState shift, int x, int y) { MouseMove(shift, x, y); }

void TControl::DispatchMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    const bool click = button == mbLeft && FClickPending && HitTest(x, y);
    if (button == mbLeft) FClickPending = false;
    TComponentWatch watch(this);
    MouseUp(button, shift, x, y);
    if (!watch.Alive()) return;
    if (click) UserClick();
    if (!watch.Alive()) return;
    MouseReleased(button, shift, x, y);
}

void TControl::DispatchDblClick() { DblClick(); }

bool TControl::DispatchDragDrop(TObject* source, int x, int y)
{
    if (!OnDragOver || !EffectivelyEnabled()) return false;
    bool accept = true;
    TComponentWatch watch(this);
    if (!Fire(*this, OnDragOver, this, source, x, y, dsDragMove, accept) || !accept) return false;
    Fire(*this, OnDragDrop, this, source, x, y);
    return true;
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (Loading()) return;
    Fire(*this, OnMouseDown, this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y)
{
    if (Loading()) return;
    Fire(*this, OnMouseMove, this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (Loading()) return;
    Fire(*this, OnMouseUp, this, button, shift, x, y);
}

void TControl::DblClick()
{
    if (Loading()) return;
    Fire(*this, OnDblClick, this);
}

void TControl::Resize()
{
    if (Loading()) return;
    Fire(*this, OnResize, this);
}

// A windowless control has no peer: it shows through its form's surface.
void TControl::NotifyPeer(TPeerChange) {}

void TControl::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::Loaded()
{
    TComponent::Loaded();
    if (FParent && FAlign != alNone) FParent->Realign();
}

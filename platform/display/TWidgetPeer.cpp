#include "platform/display/TWidgetPeer.h"

#include "platform/controls/TScreen.h"
#include "platform/display/TDisplay.h"
#include "platform/display/TFormPeer.h"
#include "platform/display/Toolkit.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

TWidgetPeer::TWidgetPeer(TWinControl& control) : FControl(control) {}

TWidgetPeer::~TWidgetPeer() { DestroyWidget(); }

void TWidgetPeer::DestroyWidget()
{
    if (!FWidget) return;
    // Children's widgets belong to their own peers.
    if (auto* group = dynamic_cast<Fl_Group*>(FWidget.get()))
        for (int i = group->children() - 1; i >= 0; --i)
            if (dynamic_cast<TPeerWidget*>(group->child(i))) group->remove(i);
    if (Fl::focus() == FWidget.get()) Fl::focus(nullptr);
    Detach();
    FWidget.reset();
}

TWidgetPeer* TWidgetPeer::Of(const TWinControl* control)
{
    return control ? dynamic_cast<TWidgetPeer*>(control->Peer()) : nullptr;
}

TFormPeer* TWidgetPeer::FormPeer() const
{
    TCustomForm* form = FControl.ParentForm();
    return form ? dynamic_cast<TFormPeer*>(form->Peer()) : nullptr;
}

void TWidgetPeer::Start(std::unique_ptr<Fl_Widget> widget)
{
    FWidget = std::move(widget);
    SyncFont();
    SyncColor();
    SyncText();
    SyncItems();
    SyncValue();
    SyncStyle();
    Attach();
    SyncBounds();
    SyncVisible();
    SyncEnabled();
}

void TWidgetPeer::Changed(TPeerChange change)
{
    if (!FWidget) return;
    switch (change) {
    case TPeerChange::Bounds: SyncBounds(); break;
    case TPeerChange::Text: SyncText(); break;
    case TPeerChange::Visible: SyncVisible(); break;
    case TPeerChange::Enabled: SyncEnabled(); break;
    case TPeerChange::Font: SyncFont(); SyncText(); break;
    case TPeerChange::Color: SyncColor(); break;
    case TPeerChange::Items: SyncItems(); SyncValue(); break;
    case TPeerChange::Value: SyncValue(); break;
    case TPeerChange::Focus: break;
    case TPeerChange::ZOrder:
    case TPeerChange::Parent:
        Attach();
        SyncBounds();
        SyncVisible();
        break;
    case TPeerChange::Style: SyncStyle(); break;
    }
    Redraw();
}

void TWidgetPeer::Redraw()
{
    if (!FWidget) return;
    FWidget->redraw();
    // Widgets without a box of their own show what lies behind them.
    if (FWidget->box() == FL_NO_BOX && FWidget->window())
        FWidget->window()->damage(FL_DAMAGE_ALL, FWidget->x(), FWidget->y(), FWidget->w(), FWidget->h());
}

void TWidgetPeer::SyncText() { FWidget->copy_label(Toolkit::Label(FControl.Caption()).c_str()); }

void TWidgetPeer::SyncFont()
{
    FWidget->labelfont(Toolkit::Font(FControl.Font()));
    FWidget->labelsize(Toolkit::FontSize(FControl.Font()));
    FWidget->labelcolor(Toolkit::Color(FControl.Font().Color()));
}

void TWidgetPeer::SyncColor() { FWidget->color(Toolkit::Color(FControl.Color())); }

void TWidgetPeer::SyncBounds()
{
    const TFormPeer* form = FormPeer();
    const int top = form ? form->ClientTop() : 0;
    const TPoint o = FControl.FormOrigin();
    FWidget->resize(o.X, o.Y + top, FControl.Width(), FControl.Height());
    // A moved container carries its children along; place them exactly all the same.
    for (int i = 0; i < FControl.ControlCount(); ++i)
        if (TWidgetPeer* child = Of(dynamic_cast<TWinControl*>(FControl.Controls(i)))) child->SyncBounds();
}

void TWidgetPeer::SyncVisible()
{
    if (FControl.Visible()) FWidget->show();
    else FWidget->hide();
}

void TWidgetPeer::SyncEnabled()
{
    if (FControl.Enabled()) FWidget->activate();
    else FWidget->deactivate();
}

void TWidgetPeer::Attach()
{
    TWidgetPeer* parent = Of(FControl.Parent());
    Fl_Group* group = parent ? parent->ChildGroup() : nullptr;
    if (!group) {
        Detach();
        return;
    }
    // The model's z-order, bottom first; the group's own parts stay below.
    const TWinControl& owner = *FControl.Parent();
    for (int i = 0; i < owner.ControlCount(); ++i) {
        // This control's own peer is not in place yet while it is being made.
        TWidgetPeer* sibling = owner.Controls(i) == &FControl ? this : Of(dynamic_cast<TWinControl*>(owner.Controls(i)));
        if (!sibling || !sibling->FWidget) continue;
        if (sibling != this && sibling->FWidget->parent() != group) continue;
        group->add(sibling->FWidget.get());
    }
}

void TWidgetPeer::Detach()
{
    if (FWidget && FWidget->parent()) FWidget->parent()->remove(FWidget.get());
}

bool TWidgetPeer::Focusable() const { return FControl.TabStop() && FControl.CanFocus(); }

TPoint TWidgetPeer::WindowPoint(int x, int y) const
{
    const TFormPeer* form = FormPeer();
    const TPoint o = FControl.FormOrigin();
    return {o.X + x, o.Y + y + (form ? form->ClientTop() : 0)};
}

int TWidgetPeer::Handle(int event)
{
    switch (event) {
    case FL_LEAVE: return 1;
    case FL_ENTER:
    case FL_MOVE:
    case FL_DRAG: PostMouse(TMouseInputKind::Move); return 1;
    case FL_PUSH:
        PostMouse(PressKind());
        return 1;
    case FL_RELEASE: PostMouse(TMouseInputKind::Up); return 1;
    case FL_KEYBOARD:
    case FL_KEYUP:
        if (TFormPeer* form = FormPeer()) return form->KeyEvent(event);
        return 1;
    case FL_FOCUS:
        if (!Focusable()) return 0;
        Redraw();
        return 1;
    case FL_UNFOCUS:
        Redraw();
        return 1;
    case FL_SHORTCUT: return 0;
    default: return -1;
    }
}

TMouseInputKind TWidgetPeer::PressKind()
{
    return Fl::event_clicks() % 2 == 1 ? TMouseInputKind::DblClick : TMouseInputKind::Down;
}

void TWidgetPeer::PostMouse(TMouseInputKind kind, int dx, int dy)
{
    TCustomForm* form = FControl.ParentForm();
    TFormPeer* formPeer = FormPeer();
    TDisplay* display = TDisplay::Current();
    if (!form || !formPeer || !display) return;
    const int x = Fl::event_x() + dx;
    const int y = Fl::event_y() - formPeer->ClientTop() + dy;
    const TMouseButton button = Toolkit::Button(Fl::event_button());
    TShiftState shift = Toolkit::Shift(Fl::event_state());
    if (kind == TMouseInputKind::DblClick) shift |= ssDouble;
    TComponentWatch watch(form);
    display->Post([=] {
        if (!watch.Alive()) return;
        if (kind == TMouseInputKind::Down && Screen->ActiveForm() != form) Screen->SetActiveForm(form);
        form->MouseInput(kind, button, shift, x, y);
        if (!watch.Alive()) return;
        if (auto* peer = dynamic_cast<TFormPeer*>(form->Peer())) peer->AfterInput(kind);
    });
}

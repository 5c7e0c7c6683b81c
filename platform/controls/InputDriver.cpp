#include "platform/controls/InputDriver.h"

#include "platform/controls/TApplication.h"
#include "platform/controls/TCustomForm.h"

namespace {

TCustomForm& FormOf(TControl& control)
{
    TCustomForm* form = control.ParentForm();
    if (!form) throw EInvalidOperation("Control '" + control.Name() + "' is not on a form");
    return *form;
}

std::uint16_t KeyOf(char ch)
{
    if (ch >= 'a' && ch <= 'z') return static_cast<std::uint16_t>(ch - 'a' + 'A');
    if ((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == ' ') return static_cast<std::uint16_t>(ch);
    if (ch == '\r' || ch == '\n') return VK_RETURN;
    if (ch == '\b') return VK_BACK;
    return 0;
}

}  // namespace

namespace InputDriver {

void Wheel(TCustomForm& form, int x, int y, int notches, TShiftState shift)
{
    form.MouseWheelInput(notches * 120, shift, x, y);
}

void MouseMove(TCustomForm& form, int x, int y, TShiftState shift)
{
    form.MouseInput(TMouseInputKind::Move, mbLeft, shift, x, y);
}

void MouseDown(TCustomForm& form, int x, int y, TMouseButton button, TShiftState shift)
{
    form.MouseInput(TMouseInputKind::Down, button, shift, x, y);
}

void MouseUp(TCustomForm& form, int x, int y, TMouseButton button, TShiftState shift)
{
    form.MouseInput(TMouseInputKind::Up, button, shift, x, y);
}

void ClickAt(TCustomForm& form, int x, int y, TMouseButton button)
{
    TComponentWatch watch(&form);
    MouseMove(form, x, y);
    if (watch.Alive()) MouseDown(form, x, y, button);
    if (watch.Alive()) MouseUp(form, x, y, button);
}

void ClickAt(TControl& control, int x, int y, TMouseButton button)
{
    TCustomForm& form = FormOf(control);
    const TPoint o = control.FormOrigin();
    ClickAt(form, o.X + x, o.Y + y, button);
}

void Click(TControl& control) { ClickAt(control, control.Width() / 2, control.Height() / 2); }

void DoubleClick(TControl& control)
{
    TCustomForm& form = FormOf(control);
    const TPoint o = control.FormOrigin();
    const int x = o.X + control.Width() / 2;
    const int y = o.Y + control.Height() / 2;
    TComponentWatch watch(&form);
    ClickAt(form, x, y);
    if (watch.Alive()) form.MouseInput(TMouseInputKind::DblClick, mbLeft, ssDouble, x, y);
    if (watch.Alive()) MouseUp(form, x, y);
}

void MoveTo(TControl& control, int x, int y)
{
    const TPoint o = control.FormOrigin();
    MouseMove(FormOf(control), o.X + x, o.Y + y);
}

bool DragDrop(TControl& source, TControl& target, int x, int y)
{
    bool accepted = false;
    RunGuarded(&target, [&] { accepted = target.DispatchDragDrop(&source, x, y); });
    return accepted;
}

void PressKey(TCustomForm& form, std::uint16_t key, TShiftState shift) { form.KeyInput(key, shift); }

void TypeText(TWinControl& control, const std::string& text)
{
    TCustomForm& form = FormOf(control);
    if (form.ActiveControl() != &control) control.SetFocus();
    TComponentWatch watch(&form);
    for (char ch : text) {
        if (!watch.Alive()) return;
        const std::uint16_t key = KeyOf(ch);
        const TShiftState shift = (ch >= 'A' && ch <= 'Z') ? ssShift : 0;
        if (key) form.KeyDownInput(key, shift);
        if (watch.Alive()) form.CharInput(ch);
        if (key && watch.Alive()) form.KeyUpInput(key, shift);
    }
}

}  // namespace InputDriver

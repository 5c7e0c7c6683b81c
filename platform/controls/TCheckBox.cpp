#include "platform/controls/TCheckBox.h"

#include "platform/controls/Properties.h"
#include "platform/controls/TLabel.h"

namespace {

void PaintMark(TCanvas& canvas, const TControl& control, bool marked, bool round)
{
    const int size = 13;
    const int top = (control.Height() - size) / 2;
    const TRect box = Bounds(0, top, size, size);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(ColorToRGB(clWindow));
    canvas.Pen().SetColor(ColorToRGB(clBtnShadow));
    if (round) canvas.Ellipse(box);
    else canvas.Rectangle(box);
    if (marked) {
        canvas.Brush().SetColor(ColorToRGB(clWindowText));
        const TRect dot = Bounds(3, top + 3, size - 6, size - 6);
        if (round) canvas.Ellipse(dot);
        else canvas.FillRect(dot);
    }
    canvas.Font().Assign(control.Font());
    canvas.Brush().SetStyle(bsClear);
    TRect text = Rect(size + 4, 0, control.Width(), control.Height());
    canvas.DrawText(control.Caption(), text, DT_SINGLELINE | DT_VCENTER);
}

const std::vector<const char*> LeftRightNames = {"taLeftJustify", "taRightJustify"};

}  // namespace

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
}

const TPropertyTable& TCheckBox::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Bool<TCheckBox>("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed);
        t.Enum<TCheckBox, TCheckBoxState>("State", &TCheckBox::State,
                                          [](TCheckBox& c, TCheckBoxState s) { c.SetState(s); },
                                          {"cbUnchecked", "cbChecked", "cbGrayed"});
        t.Bool<TCheckBox>("Checked", &TCheckBox::Checked, [](TCheckBox& c, bool v) { c.SetChecked(v); });
        t.StoredIf([](const TComponent&) { return false; });  // State says it
        t.Enum<TCheckBox, TLeftRight>("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment, LeftRightNames);
        return t;
    }();
    return table;
}

void TCheckBox::SetChecked(bool value, TChangeNotify notify)
{
    SetState(value ? cbChecked : cbUnchecked, notify);
}

void TCheckBox::SetState(TCheckBoxState value, TChangeNotify notify)
{
    if (value == FState) return;
    FState = value;
    Invalidate();
    NotifyPeer(TPeerChange::Value);
    if (notify == TChangeNotify::Fire) Click();
}

void TCheckBox::Toggle()
{
    switch (FState) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(FAllowGrayed ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
    }
}

void TCheckBox::KeyDown(std::uint16_t& key, TShiftState)
{
    if (key == VK_SPACE) Toggle();
}

void TCheckBox::PaintWindow(TCanvas& canvas)
{
    TWinControl::PaintWindow(canvas);
    PaintMark(canvas, *this, FState != cbUnchecked, false);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 113, 17);
    SetTabStop(true);
}

const TPropertyTable& TRadioButton::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Bool<TRadioButton>("Checked", &TRadioButton::Checked, [](TRadioButton& c, bool v) { c.SetChecked(v); });
        t.Enum<TRadioButton, TLeftRight>("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment,
                                         LeftRightNames);
        return t;
    }();
    return table;
}

void TRadioButton::SetChecked(bool value, TChangeNotify notify)
{
    if (value == FChecked) return;
    FChecked = value;
    Invalidate();
    NotifyPeer(TPeerChange::Value);
    if (!value) return;
    if (TWinControl* parent = Parent())
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i)); sibling && sibling != this)
                sibling->SetChecked(false, TChangeNotify::Silent);
    if (notify == TChangeNotify::Fire) Click();
}

void TRadioButton::KeyDown(std::uint16_t& key, TShiftState)
{
    if (key == VK_SPACE) SetChecked(true);
}

void TRadioButton::PaintWindow(TCanvas& canvas)
{
    TWinControl::PaintWindow(canvas);
    PaintMark(canvas, *this, FChecked, true);
}

#include "platform/controls/TButton.h"

#include "platform/controls/Properties.h"
#include "platform/controls/TCustomForm.h"

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

const TPropertyTable& TButton::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Int<TButton>("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, &ModalResultIdents());
        t.Bool<TButton>("Default", &TButton::Default, &TButton::SetDefault);
        t.Bool<TButton>("Cancel", &TButton::Cancel, &TButton::SetCancel);
        return t;
    }();
    return table;
}

void TButton::Click()
{
    if (Loading()) return;
    if (FModalResult != 0)
        if (TCustomForm* form = ParentForm()) form->SetModalResult(FModalResult);
    TWinControl::Click();
}

void TButton::KeyDown(std::uint16_t& key, TShiftState)
{
    if (key == VK_RETURN || key == VK_SPACE) Click();
}

void TButton::PaintWindow(TCanvas& canvas)
{
    TWinControl::PaintWindow(canvas);
    TRect r = ClientRect();
    Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
    canvas.Font().Assign(Font());
    canvas.Brush().SetStyle(bsClear);
    TRect text = ClientRect();
    canvas.DrawText(Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

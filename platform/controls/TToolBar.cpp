#include "platform/controls/TToolBar.h"

#include "platform/controls/Properties.h"

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
}

const TPropertyTable& TToolBar::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Int<TToolBar>("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth);
        t.Int<TToolBar>("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight);
        t.Bool<TToolBar>("Flat", &TToolBar::Flat, &TToolBar::SetFlat);
        t.Bool<TToolBar>("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions);
        t.Bool<TToolBar>("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable);
        return t;
    }();
    return table;
}

void TToolBar::AlignControls(TRect& rect)
{
    int x = rect.Left + 2;
    int y = rect.Top + 2;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible()) continue;
        auto* button = dynamic_cast<TToolButton*>(c);
        const bool separator = button && (button->Style() == tbsSeparator || button->Style() == tbsDivider);
        const int w = separator ? 8 : (button ? FButtonWidth : c->Width());
        const int h = button ? FButtonHeight : c->Height();
        if (FWrapable && x > rect.Left + 2 && x + w > rect.Right) {
            x = rect.Left + 2;
            y += FButtonHeight;
        }
        c->SetBounds(x, y, w, h);
        x += w;
    }
}

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 23, 22); }

const TPropertyTable& TToolButton::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TControl::PropertyTable());
        t.Enum<TToolButton, TToolButtonStyle>("Style", &TToolButton::Style, &TToolButton::SetStyle,
                                              {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"});
        t.Int<TToolButton>("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex);
        t.Bool<TToolButton>("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped);
        t.Bool<TToolButton>("Down", &TToolButton::Down, &TToolButton::SetDown);
        return t;
    }();
    return table;
}

void TToolButton::SetStyle(TToolButtonStyle value)
{
    if (value == FStyle) return;
    FStyle = value;
    if (Parent()) Parent()->Realign();
    Invalidate();
}

void TToolButton::SetDown(bool value)
{
    if (value == FDown) return;
    FDown = value;
    if (value && FGrouped && Parent())
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TToolButton*>(Parent()->Controls(i));
                other && other != this && other->FGrouped && other->FDown) {
                other->FDown = false;
                other->Invalidate();
            }
    Invalidate();
}

void TToolButton::UserClick()
{
    if (FStyle == tbsSeparator || FStyle == tbsDivider) return;
    if (FStyle == tbsCheck) SetDown(FGrouped ? true : !FDown);
    Click();
}

void TToolButton::Paint()
{
    TCanvas& canvas = Canvas();
    canvas.Brush().SetColor(ColorToRGB(Color()));
    canvas.FillRect(ClientRect());
    if (FStyle == tbsSeparator || FStyle == tbsDivider) return;
    TRect r = ClientRect();
    Frame3D(canvas, r, FDown ? clBtnShadow : clBtnHighlight, FDown ? clBtnHighlight : clBtnShadow, 1);
    canvas.Font().Assign(Font());
    canvas.Brush().SetStyle(bsClear);
    TRect text = ClientRect();
    canvas.DrawText(Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

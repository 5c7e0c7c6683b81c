#include "platform/controls/TBitBtn.h"

#include "platform/controls/Properties.h"
#include "platform/core/TStream.h"

void AddGlyphProperty(TPropertyTable& table, TBitmap& (*glyph)(TComponent&))
{
    table.Add("Glyph.Data",
              [glyph](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
                  if (v.Kind != TLayoutValue::vkBinary) ctx.Fail("Glyph.Data holds binary data");
                  TMemoryStream stream(v.Text);
                  glyph(c).LoadFromStream(stream);
                  if (auto* control = dynamic_cast<TControl*>(&c)) control->Invalidate();
              },
              [glyph](const TComponent& c) -> std::optional<TLayoutValue> {
                  TBitmap& g = glyph(const_cast<TComponent&>(c));
                  if (g.Empty()) return std::nullopt;
                  TMemoryStream stream;
                  g.SaveToStream(stream);
                  return TLayoutValue::MakeBinary(stream.Bytes());
              });
}

namespace {

struct TKindInfo {
    const char* Caption;
    int Result;
};

const TKindInfo KindInfos[] = {
    {"", 0}, {"OK", 1}, {"Cancel", 2}, {"&Help", 0}, {"&Yes", 6}, {"&No", 7},
    {"&Close", 0}, {"Abort", 3}, {"&Retry", 4}, {"&Ignore", 5}, {"&All", 8},
};

void PaintGlyphAndCaption(TCanvas& canvas, const TControl& control, TBitmap& glyph, bool down)
{
    const int shift = down ? 1 : 0;
    canvas.Font().Assign(control.Font());
    const int textWidth = control.Caption().empty() ? 0 : canvas.TextWidth(control.Caption());
    const int gw = glyph.Empty() ? 0 : glyph.Width();
    const int gap = gw && textWidth ? 4 : 0;
    int x = (control.Width() - gw - gap - textWidth) / 2 + shift;
    if (gw) {
        const int y = (control.Height() - glyph.Height()) / 2 + shift;
        const TColor key = glyph.TransparentColor();
        for (int gy = 0; gy < glyph.Height(); ++gy)
            for (int gx = 0; gx < gw; ++gx) {
                const TColor c = glyph.Pixel(gx, gy);
                if (c != key) canvas.SetPixel(x + gx, y + gy, c);
            }
        x += gw + gap;
    }
    if (textWidth) {
        canvas.Brush().SetStyle(bsClear);
        TRect r = Rect(x, shift, control.Width(), control.Height() + shift);
        canvas.DrawText(control.Caption(), r, DT_SINGLELINE | DT_VCENTER);
    }
}

}  // namespace

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {}

const TPropertyTable& TBitBtn::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TButton::PropertyTable());
        t.Enum<TBitBtn, TBitBtnKind>("Kind", &TBitBtn::Kind, &TBitBtn::SetKind,
                                     {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose",
                                      "bkAbort", "bkRetry", "bkIgnore", "bkAll"});
        AddGlyphProperty(t, [](TComponent& c) -> TBitmap& { return static_cast<TBitBtn&>(c).Glyph(); });
        t.Enum<TBitBtn, TButtonLayout>("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout,
                                       {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"});
        t.Int<TBitBtn>("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin);
        t.Int<TBitBtn>("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing);
        t.Int<TBitBtn>("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs);
        return t;
    }();
    return table;
}

void TBitBtn::SetGlyph(const TBitmap& glyph)
{
    FGlyph.Assign(glyph);
    // A shown button draws its glyph with its caption.
    NotifyPeer(TPeerChange::Text);
    Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind value)
{
    if (value == FKind) return;
    FKind = value;
    if (value != bkCustom && !Loading()) {
        SetCaption(KindInfos[value].Caption);
        SetModalResult(KindInfos[value].Result);
        if (value == bkOK || value == bkYes) SetDefault(true);
        if (value == bkCancel || value == bkNo) SetCancel(true);
    }
}

void TBitBtn::PaintWindow(TCanvas& canvas)
{
    TWinControl::PaintWindow(canvas);
    TRect r = ClientRect();
    Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
    PaintGlyphAndCaption(canvas, *this, FGlyph, false);
}

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 23, 22); }

const TPropertyTable& TSpeedButton::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TControl::PropertyTable());
        AddGlyphProperty(t, [](TComponent& c) -> TBitmap& { return static_cast<TSpeedButton&>(c).Glyph(); });
        t.Bool<TSpeedButton>("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat);
        t.Int<TSpeedButton>("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex);
        t.Bool<TSpeedButton>("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp);
        t.Bool<TSpeedButton>("Down", &TSpeedButton::Down, &TSpeedButton::SetDown);
        return t;
    }();
    return table;
}

void TSpeedButton::SetDown(bool value)
{
    if (FGroupIndex == 0) value = false;
    if (value == FDown) return;
    FDown = value;
    if (value && Parent())
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
                other && other != this && other->FGroupIndex == FGroupIndex && other->FDown) {
                other->FDown = false;
                other->Invalidate();
            }
    Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        FPressed = true;
        Invalidate();
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        FPressed = false;
        Invalidate();
    }
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::UserClick()
{
    if (FGroupIndex != 0) SetDown(FAllowAllUp ? !FDown : true);
    Click();
}

void TSpeedButton::Paint()
{
    TCanvas& canvas = Canvas();
    canvas.Brush().SetColor(ColorToRGB(Color()));
    canvas.FillRect(ClientRect());
    const bool down = FDown || FPressed;
    if (!FFlat || down) {
        TRect r = ClientRect();
        Frame3D(canvas, r, down ? clBtnShadow : clBtnHighlight, down ? clBtnHighlight : clBtnShadow, 1);
    }
    PaintGlyphAndCaption(canvas, *this, FGlyph, down);
}

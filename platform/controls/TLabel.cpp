#include "platform/controls/TLabel.h"

#include "platform/controls/Properties.h"

namespace {
const std::vector<const char*> AlignmentNames = {"taLeftJustify", "taRightJustify", "taCenter"};
}

void DrawCaption(TCanvas& canvas, const TControl& control, TAlignment alignment, bool wordWrap)
{
    if (control.Caption().empty()) return;
    canvas.Font().Assign(control.Font());
    canvas.Brush().SetStyle(bsClear);
    TRect r = control.ClientRect();
    unsigned format = DT_EXPANDTABS | (wordWrap ? DT_WORDBREAK : 0u);
    if (alignment == taCenter) format |= DT_CENTER;
    else if (alignment == taRightJustify) format |= DT_RIGHT;
    canvas.DrawText(control.Caption(), r, format);
}

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
}

const TPropertyTable& TLabel::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TControl::PropertyTable());
        t.Enum<TLabel, TAlignment>("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, AlignmentNames);
        t.Bool<TLabel>("Transparent", &TLabel::Transparent, &TLabel::SetTransparent);
        t.Bool<TLabel>("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap);
        t.Bool<TLabel>("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize);
        return t;
    }();
    return table;
}

void TLabel::SetAlignment(TAlignment value)
{
    if (value == FAlignment) return;
    FAlignment = value;
    Invalidate();
}

void TLabel::SetTransparent(bool value)
{
    if (value == FTransparent) return;
    FTransparent = value;
    Invalidate();
}

void TLabel::SetWordWrap(bool value)
{
    if (value == FWordWrap) return;
    FWordWrap = value;
    Invalidate();
}

void TLabel::Paint()
{
    TCanvas& canvas = Canvas();
    if (!FTransparent) {
        canvas.Brush().SetColor(ColorToRGB(Color()));
        canvas.FillRect(ClientRect());
    }
    DrawCaption(canvas, *this, FAlignment, FWordWrap);
}

TStaticText::TStaticText(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 65, 17); }

const TPropertyTable& TStaticText::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Enum<TStaticText, TAlignment>("Alignment", &TStaticText::Alignment, &TStaticText::SetAlignment,
                                        AlignmentNames);
        return t;
    }();
    return table;
}

void TStaticText::PaintWindow(TCanvas& canvas)
{
    TWinControl::PaintWindow(canvas);
    DrawCaption(canvas, *this, FAlignment, false);
}

#include "platform/controls/TPanel.h"

#include <algorithm>

#include "platform/controls/Properties.h"

namespace {
const std::vector<const char*> BevelNames = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};

void Bevel(TCanvas& canvas, TRect& r, TBevelCut cut, int width)
{
    if (cut == bvNone) return;
    if (cut == bvSpace) {
        r = Rect(r.Left + width, r.Top + width, r.Right - width, r.Bottom - width);
        return;
    }
    const bool raised = cut == bvRaised;
    Frame3D(canvas, r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, width);
}
}  // namespace

TPanel::TPanel(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 185, 41); }

const TPropertyTable& TPanel::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Enum<TPanel, TBevelCut>("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter, BevelNames);
        t.Enum<TPanel, TBevelCut>("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner, BevelNames);
        t.Int<TPanel>("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth);
        t.Int<TPanel>("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth);
        t.Enum<TPanel, TAlignment>("Alignment", &TPanel::Alignment, &TPanel::SetAlignment,
                                   {"taLeftJustify", "taRightJustify", "taCenter"});
        return t;
    }();
    return table;
}

void TPanel::AlignControls(TRect& rect)
{
    int inset = FBorderWidth;
    if (FBevelOuter != bvNone) inset += FBevelWidth;
    if (FBevelInner != bvNone) inset += FBevelWidth;
    rect = Rect(rect.Left + inset, rect.Top + inset, rect.Right - inset, rect.Bottom - inset);
    TWinControl::AlignControls(rect);
}

void TPanel::PaintWindow(TCanvas& canvas)
{
    TWinControl::PaintWindow(canvas);
    TRect r = ClientRect();
    Bevel(canvas, r, FBevelOuter, FBevelWidth);
    r = Rect(r.Left + FBorderWidth, r.Top + FBorderWidth, r.Right - FBorderWidth, r.Bottom - FBorderWidth);
    Bevel(canvas, r, FBevelInner, FBevelWidth);
    if (Caption().empty()) return;
    canvas.Font().Assign(Font());
    canvas.Brush().SetStyle(bsClear);
    unsigned format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    if (FAlignment == taCenter) format |= DT_CENTER;
    else if (FAlignment == taRightJustify) format |= DT_RIGHT;
    canvas.DrawText(Caption(), r, format);
}

TScrollBox::TScrollBox(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 185, 41); }

const TPropertyTable& TScrollBox::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Enum<TScrollBox, TBorderStyle>("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle,
                                         {"bsNone", "bsSingle"});
        t.Bool<TScrollBox>("AutoScroll", &TScrollBox::AutoScroll, &TScrollBox::SetAutoScroll);
        return t;
    }();
    return table;
}

TRect TScrollBox::ContentRect() const
{
    TRect r;
    for (int i = 0; i < ControlCount(); ++i) {
        const TRect b = Controls(i)->BoundsRect();
        r = r.IsEmpty() ? b
                        : Rect(std::min(r.Left, b.Left), std::min(r.Top, b.Top), std::max(r.Right, b.Right),
                               std::max(r.Bottom, b.Bottom));
    }
    return r;
}

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
    SetCursor(crHSplit);
}

const TPropertyTable& TSplitter::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TControl::PropertyTable());
        t.Int<TSplitter>("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize);
        t.Bool<TSplitter>("Beveled", &TSplitter::Beveled, &TSplitter::SetBeveled);
        t.EventHandler<TSplitter>("OnMoved", &TSplitter::OnMoved);
        return t;
    }();
    return table;
}

void TSplitter::Paint()
{
    TCanvas& canvas = Canvas();
    canvas.Brush().SetColor(ColorToRGB(Color()));
    canvas.FillRect(ClientRect());
    if (FBeveled) {
        TRect r = ClientRect();
        Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
    }
}

// The control the splitter resizes: the aligned sibling just before it on its side.
TControl* TSplitter::FindTarget() const
{
    TWinControl* parent = Parent();
    if (!parent) return nullptr;
    TControl* best = nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == this || c->Align() != Align() || !c->Visible()) continue;
        const bool before = Align() == alLeft     ? c->Left() + c->Width() == Left()
                            : Align() == alRight  ? c->Left() == Left() + Width()
                            : Align() == alTop    ? c->Top() + c->Height() == Top()
                            : Align() == alBottom ? c->Top() == Top() + Height()
                                                  : false;
        if (before) best = c;
    }
    return best;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        FTarget = FindTarget();
        const bool horizontal = Align() == alLeft || Align() == alRight;
        FDownAt = horizontal ? x + Left() : y + Top();
        if (FTarget) FStartSize = horizontal ? FTarget->Width() : FTarget->Height();
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TSplitter::MouseMove(TShiftState shift, int x, int y)
{
    if (FTarget && MouseCapture()) {
        const bool horizontal = Align() == alLeft || Align() == alRight;
        const int at = horizontal ? x + Left() : y + Top();
        int delta = at - FDownAt;
        if (Align() == alRight || Align() == alBottom) delta = -delta;
        const int size = std::max(FMinSize, FStartSize + delta);
        if (horizontal) FTarget->SetWidth(size);
        else FTarget->SetHeight(size);
    }
    TGraphicControl::MouseMove(shift, x, y);
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    const bool moved = FTarget != nullptr && button == mbLeft;
    if (button == mbLeft) FTarget = nullptr;
    TComponentWatch watch(this);
    TGraphicControl::MouseUp(button, shift, x, y);
    if (moved && watch.Alive() && !Loading()) Fire(*this, OnMoved, this);
}

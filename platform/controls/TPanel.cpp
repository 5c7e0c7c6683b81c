#include "platform/controls/TPanel.h"

#include <algorithm>
#include <utility>

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

int TControlScrollBar::PageSize() const
{
    const TRect client = FBox.ClientRect();
    return FKind == sbHorizontal ? client.Width() : client.Height();
}

int TControlScrollBar::MaxPosition() const { return std::max(0, FRange - PageSize()); }

void TControlScrollBar::SetPosition(int value) { FBox.ScrollTo(*this, value); }

void TControlScrollBar::SetRange(int value)
{
    FRange = std::max(0, value);
    FBox.UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool value)
{
    if (value == FVisible) return;
    FVisible = value;
    FBox.UpdateScrollBars();
}

void TScrollBox::SetAutoScroll(bool value)
{
    if (value == FAutoScroll) return;
    FAutoScroll = value;
    UpdateScrollBars();
}

TRect TScrollBox::ClientRect() const
{
    const int w = Width() - (FVertScrollBar.FShown ? ScrollBarSize : 0);
    const int h = Height() - (FHorzScrollBar.FShown ? ScrollBarSize : 0);
    return Rect(0, 0, std::max(0, w), std::max(0, h));
}

void TScrollBox::ScrollTo(TControlScrollBar& bar, int position)
{
    const int target = std::clamp(position, 0, bar.MaxPosition());
    const int delta = target - bar.FPosition;
    if (delta == 0) return;
    if (bar.FKind == sbHorizontal) ScrollBy(-delta, 0);
    else ScrollBy(0, -delta);
}

void TScrollBox::ScrollBy(int dx, int dy)
{
    dx = FHorzScrollBar.FPosition - std::clamp(FHorzScrollBar.FPosition - dx, 0, FHorzScrollBar.MaxPosition());
    dy = FVertScrollBar.FPosition - std::clamp(FVertScrollBar.FPosition - dy, 0, FVertScrollBar.MaxPosition());
    if (dx == 0 && dy == 0) return;
    FHorzScrollBar.FPosition -= dx;
    FVertScrollBar.FPosition -= dy;
    // The children's own moves must not recount the ranges half way.
    const bool updating = std::exchange(FUpdating, true);
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Align() == alNone) c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
    }
    FUpdating = updating;
    Invalidate();
    NotifyPeer(TPeerChange::Value);
}

void TScrollBox::ScrollInView(const TControl* control)
{
    if (!control || control == this || !ContainsControl(control)) return;
    const TPoint o = FormOrigin();
    const TPoint c = control->FormOrigin();
    const TRect client = ClientRect();
    // Along one bar: the control's start and end from the visible corner.
    auto bring = [this](TControlScrollBar& bar, int start, int end, int extent) {
        if (start < 0) ScrollTo(bar, bar.FPosition + start);
        else if (end > extent) ScrollTo(bar, bar.FPosition + std::min(end, start + extent) - extent);
    };
    bring(FHorzScrollBar, c.X - o.X, c.X - o.X + control->Width(), client.Width());
    bring(FVertScrollBar, c.Y - o.Y, c.Y - o.Y + control->Height(), client.Height());
}

void TScrollBox::UpdateScrollBars()
{
    if (FUpdating || Loading()) return;
    FUpdating = true;
    if (FAutoScroll) {
        // Ranges count from the scrolled-away corner; aligned children fill
        // the client area and reach no further.
        int right = 0;
        int bottom = 0;
        for (int i = 0; i < ControlCount(); ++i) {
            const TControl* c = Controls(i);
            if (!c->Visible() || c->Align() != alNone) continue;
            right = std::max(right, c->Left() + c->Width() + FHorzScrollBar.FPosition);
            bottom = std::max(bottom, c->Top() + c->Height() + FVertScrollBar.FPosition);
        }
        FHorzScrollBar.FRange = right;
        FVertScrollBar.FRange = bottom;
    }
    // One bar takes room from the other direction, which may then need its own.
    bool vert = FVertScrollBar.FVisible && FVertScrollBar.FRange > Height();
    const bool horz = FHorzScrollBar.FVisible && FHorzScrollBar.FRange > Width() - (vert ? ScrollBarSize : 0);
    if (horz && !vert) vert = FVertScrollBar.FVisible && FVertScrollBar.FRange > Height() - ScrollBarSize;
    const bool shownChanged = horz != FHorzScrollBar.FShown || vert != FVertScrollBar.FShown;
    FHorzScrollBar.FShown = horz;
    FVertScrollBar.FShown = vert;
    FUpdating = false;
    // A grown client area or a shrunk range may leave the children scrolled too far.
    ScrollTo(FHorzScrollBar, FHorzScrollBar.FPosition);
    ScrollTo(FVertScrollBar, FVertScrollBar.FPosition);
    if (shownChanged) {
        Realign();
        Invalidate();
    }
    NotifyPeer(TPeerChange::Value);
}

bool TScrollBox::MouseWheel(int delta, TShiftState shift)
{
    TControlScrollBar* bar = nullptr;
    if (FVertScrollBar.FShown && !(shift & ssShift)) bar = &FVertScrollBar;
    else if (FHorzScrollBar.FShown) bar = &FHorzScrollBar;
    if (!bar) return false;
    // Three lines a notch, but never so little that a long column takes ages.
    const int step = std::max(3 * bar->Increment(), bar->PageSize() / 8);
    ScrollTo(*bar, bar->FPosition - delta * step / 120);
    return true;
}

bool TScrollBox::ScrollKey(std::uint16_t key, TShiftState)
{
    const bool horizontal = key == VK_LEFT || key == VK_RIGHT;
    TControlScrollBar& bar = horizontal ? FHorzScrollBar : FVertScrollBar;
    if (!bar.FShown) return false;
    const int page = std::max(1, bar.PageSize() - bar.Increment());
    int to = bar.FPosition;
    switch (key) {
    case VK_UP:
    case VK_LEFT: to -= bar.Increment(); break;
    case VK_DOWN:
    case VK_RIGHT: to += bar.Increment(); break;
    case VK_PRIOR: to -= page; break;
    case VK_NEXT: to += page; break;
    case VK_HOME: to = 0; break;
    case VK_END: to = bar.MaxPosition(); break;
    default: return false;
    }
    ScrollTo(bar, to);
    return true;
}

void TScrollBox::ControlsChanged()
{
    TWinControl::ControlsChanged();
    UpdateScrollBars();
}

void TScrollBox::ChildBoundsChanged() { UpdateScrollBars(); }

void TScrollBox::Resize()
{
    TWinControl::Resize();
    UpdateScrollBars();
}

void TScrollBox::Loaded()
{
    TWinControl::Loaded();
    UpdateScrollBars();
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

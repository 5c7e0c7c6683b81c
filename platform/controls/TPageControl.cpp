#include "platform/controls/TPageControl.h"

#include <algorithm>

#include "platform/controls/Properties.h"
#include "platform/controls/TCustomForm.h"
#include "platform/core/AnsiString.h"

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) { TControl::SetVisible(false); }

TTabSheet::~TTabSheet()
{
    SetDestroying();
    if (FPageControl) FPageControl->RemovePage(this);
}

const TPropertyTable& TTabSheet::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Bool<TTabSheet>("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible);
        t.Int<TTabSheet>("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex);
        // A sheet's visibility follows the active page.
        t.Add("Visible", [](TComponent&, const TLayoutValue&, TLayoutReadContext&) {},
              [](const TComponent&) -> std::optional<TLayoutValue> { return std::nullopt; });
        return t;
    }();
    return table;
}

void TTabSheet::SetPageControl(TPageControl* control) { SetParent(control); }

void TTabSheet::SetParent(TWinControl* parent)
{
    if (parent == Parent()) return;
    if (FPageControl) FPageControl->RemovePage(this);
    TWinControl::SetParent(parent);
    if (auto* pc = dynamic_cast<TPageControl*>(parent)) pc->InsertPage(this);
}

void TTabSheet::SetTabVisible(bool value)
{
    if (value == FTabVisible) return;
    FTabVisible = value;
    if (FPageControl) FPageControl->TabsChanged();
}

void TTabSheet::TextChanged()
{
    if (FPageControl) FPageControl->TabsChanged();
}

int TTabSheet::PageIndex() const
{
    if (!FPageControl) return -1;
    const auto& pages = FPageControl->FPages;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
}

TPageControl::~TPageControl()
{
    SetDestroying();
    for (TTabSheet* page : FPages) page->FPageControl = nullptr;
    FPages.clear();
}

const TPropertyTable& TPageControl::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Reference<TPageControl, TTabSheet>("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
        t.EventHandler<TPageControl>("OnChange", &TPageControl::OnChange);
        t.EventHandler<TPageControl>("OnChanging", &TPageControl::OnChanging);
        return t;
    }();
    return table;
}

TTabSheet* TPageControl::Pages(int index) const
{
    if (index < 0 || index >= PageCount()) throw EListError("Page index out of bounds (" + std::to_string(index) + ")");
    return FPages[static_cast<std::size_t>(index)];
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page && page->FPageControl != this) return;
    if (page == FActivePage) return;
    FActivePage = page;
    ShowActive();
    NotifyPeer(TPeerChange::Value);
}

void TPageControl::TabsChanged()
{
    Invalidate();
    NotifyPeer(TPeerChange::Value);
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index)
{
    SetActivePage(index >= 0 && index < PageCount() ? FPages[static_cast<std::size_t>(index)] : nullptr);
}

std::vector<TTabSheet*> TPageControl::VisibleTabs() const
{
    std::vector<TTabSheet*> tabs;
    for (TTabSheet* p : FPages)
        if (p->TabVisible()) tabs.push_back(p);
    return tabs;
}

// Tabs are laid out left to right, each as wide as its caption plus 16.
TRect TPageControl::TabRect(const TTabSheet* page) const
{
    int x = 2;
    for (TTabSheet* p : VisibleTabs()) {
        int marked = 0;
        const int w = static_cast<int>(StripAccelerator(p->Caption(), marked).size()) * 6 + 16;
        if (p == page) return Rect(x, 2, x + w, TabHeight);
        x += w;
    }
    return {};
}

void TPageControl::SelectTabAsUser(TTabSheet* page)
{
    if (!page || page == FActivePage || page->FPageControl != this || !EffectivelyEnabled()) return;
    TComponentWatch watch(this);
    bool allow = true;
    if (!Fire(*this, OnChanging, this, allow) || !allow) return;
    SetActivePage(page);
    Fire(*this, OnChange, this);
}

void TPageControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TComponentWatch watch(this);
    if (button == mbLeft)
        for (TTabSheet* p : VisibleTabs())
            if (TabRect(p).Contains({x, y})) {
                SelectTabAsUser(p);
                break;
            }
    if (watch.Alive()) TWinControl::MouseDown(button, shift, x, y);
}

void TPageControl::AlignControls(TRect& rect)
{
    for (TTabSheet* p : FPages) p->SetBounds(4, TabHeight + 4, std::max(0, Width() - 8), std::max(0, Height() - TabHeight - 8));
    TWinControl::AlignControls(rect);
}

void TPageControl::Loaded()
{
    TWinControl::Loaded();
    if (!FActivePage && !FPages.empty()) FActivePage = FPages.front();
    ShowActive();
    Realign();
}

void TPageControl::InsertPage(TTabSheet* page)
{
    FPages.push_back(page);
    page->FPageControl = this;
    if (!FActivePage && !Loading()) FActivePage = page;
    ShowActive();
    Realign();
}

void TPageControl::RemovePage(TTabSheet* page)
{
    std::erase(FPages, page);
    page->FPageControl = nullptr;
    if (FActivePage == page) {
        FActivePage = nullptr;
        if (!Destroying() && !FPages.empty()) FActivePage = FPages.front();
        if (!Destroying()) ShowActive();
    }
}

void TPageControl::ShowActive()
{
    if (Loading()) return;
    for (TTabSheet* p : FPages) p->TControl::SetVisible(p == FActivePage);
    Invalidate();
}

void TPageControl::PaintWindow(TCanvas& canvas)
{
    TWinControl::PaintWindow(canvas);
    canvas.Font().Assign(Font());
    for (TTabSheet* p : VisibleTabs()) {
        TRect r = TabRect(p);
        Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
        canvas.Brush().SetStyle(bsClear);
        TRect text = TabRect(p);
        canvas.DrawText(p->Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    TRect body = Rect(0, TabHeight, Width(), Height());
    Frame3D(canvas, body, clBtnHighlight, clBtnShadow, 1);
}

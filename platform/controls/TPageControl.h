#pragma once

// Page controls and their tab sheets.
//
// Sheets are children of their page control; only the active sheet shows.
// Notification rules: setting ActivePage from code runs no handler. A tab
// chosen by the person (a click on the tab strip, or SelectTabAsUser) runs
// OnChanging, which may refuse, and then OnChange. A sheet with TabVisible
// false has no tab; making the active sheet's tab invisible keeps it active.
// A disabled page control disables its sheets' controls.

#include <vector>

#include "platform/controls/TWinControl.h"

class TPageControl;

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    const char* ClassName() const override { return "TTabSheet"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* control);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool value);
    int PageIndex() const;
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value) { FImageIndex = value; }

    void SetParent(TWinControl* parent) override;

protected:
    // The caption is drawn on the page control's tab.
    void TextChanged() override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = -1;
};

class TPageControl : public TWinControl {
public:
    static constexpr int TabHeight = 24;

    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    const char* ClassName() const override { return "TPageControl"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int index) const;
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    // The sheets with a visible tab, in tab order.
    std::vector<TTabSheet*> VisibleTabs() const;
    // The tab rectangle of a sheet in client coordinates (empty without a tab).
    TRect TabRect(const TTabSheet* page) const;

    void SelectTabAsUser(TTabSheet* page);

    void PaintWindow(TCanvas& canvas) override;

    TNotifyEvent OnChange;
    TChangingEvent OnChanging;

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void UserClick() override {}
    void AlignControls(TRect& rect) override;
    void Loaded() override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    // A tab's caption or visibility changed: the tabs are drawn again.
    void TabsChanged();
    void RemovePage(TTabSheet* page);
    void ShowActive();
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};

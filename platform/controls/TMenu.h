#pragma once

// Menus: a main menu of a form, pop-up menus, and their items.
//
// Items are components (owned by the form that the layout reads them into)
// arranged in a tree by Add/Insert; an item's destructor takes it out of its
// parent. Setting Checked of a RadioItem unchecks the other radio items of its
// group under the same parent; it runs no click handler. Click runs OnClick
// (and toggles an AutoCheck item first). Popup asks the user-interaction
// interface which item the person chooses and clicks it.

#include <string>
#include <vector>

#include "platform/controls/TComponent.h"

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const char* ClassName() const override { return "TMenuItem"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value) { FCaption = value; }
    bool IsLine() const { return FCaption == "-"; }
    bool Checked() const { return FChecked; }
    void SetChecked(bool value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool value) { FRadioItem = value; }
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool value) { FAutoCheck = value; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value) { FGroupIndex = value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool value) { FVisible = value; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& value) { FHint = value; }
    int ShortCut() const { return FShortCut; }
    void SetShortCut(int value) { FShortCut = value; }

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int index) const;
    TMenuItem* Parent() const { return FParent; }
    // The main or pop-up menu the item tree hangs from; nullptr when none.
    class TMenu* Menu() const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes the item out of this one (it is not deleted).
    void Remove(TMenuItem* item);
    int IndexOf(const TMenuItem* item) const;
    // Deletes every item below this one.
    void Clear();
    TMenuItem* Find(const std::string& caption) const;

    virtual void Click();

    void AddLayoutChild(TComponent& child) override;
    TComponent* LayoutParent() const override;

    TNotifyEvent OnClick;

private:
    friend class TMenu;
    std::string FCaption;
    bool FChecked = false;
    bool FRadioItem = false;
    bool FAutoCheck = false;
    int FGroupIndex = 0;
    bool FEnabled = true;
    bool FVisible = true;
    std::string FHint;
    int FShortCut = 0;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    class TMenu* FMenu = nullptr;  // set on the root item of a menu
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    // The invisible root item; the menu's items are its children.
    TMenuItem& Items() { return FItems; }
    const TMenuItem& Items() const { return FItems; }
    void AddLayoutChild(TComponent& child) override;

private:
    TMenuItem FItems;
};

class TMainMenu : public TMenu {
public:
    using TMenu::TMenu;
    const char* ClassName() const override { return "TMainMenu"; }
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
    const char* ClassName() const override { return "TPopupMenu"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    // Screen coordinates. Runs OnPopup, asks the person, clicks the choice.
    virtual void Popup(int x, int y);
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* component) { FPopupComponent = component; }
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool value) { FAutoPopup = value; }

    TNotifyEvent OnPopup;

private:
    TComponent* FPopupComponent = nullptr;
    bool FAutoPopup = true;
};

#include "platform/controls/TMenu.h"

#include <algorithm>

#include "platform/controls/Properties.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/UserInteraction.h"

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem()
{
    SetDestroying();
    for (TMenuItem* item : FItems) item->FParent = nullptr;
    FItems.clear();
    if (FParent) FParent->Remove(this);
}

const TPropertyTable& TMenuItem::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TComponent::PropertyTable());
        t.String<TMenuItem>("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
        t.Bool<TMenuItem>("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked);
        t.Bool<TMenuItem>("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem);
        t.Bool<TMenuItem>("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck);
        t.Int<TMenuItem>("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex);
        t.Bool<TMenuItem>("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled);
        t.Bool<TMenuItem>("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible);
        t.String<TMenuItem>("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
        t.Int<TMenuItem>("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut);
        t.EventHandler<TMenuItem>("OnClick", &TMenuItem::OnClick);
        return t;
    }();
    return table;
}

void TMenuItem::SetChecked(bool value)
{
    if (value == FChecked) return;
    FChecked = value;
    if (value && FRadioItem && FParent)
        for (TMenuItem* sibling : FParent->FItems)
            if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex) sibling->FChecked = false;
}

TMenuItem* TMenuItem::Items(int index) const
{
    if (index < 0 || index >= Count()) throw EListError("Menu index out of bounds (" + std::to_string(index) + ")");
    return FItems[static_cast<std::size_t>(index)];
}

TMenu* TMenuItem::Menu() const
{
    const TMenuItem* item = this;
    while (item->FParent) item = item->FParent;
    return item->FMenu;
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item)
{
    if (!item) return;
    if (item->FParent) throw EInvalidOperation("Menu item " + item->Name() + " is inserted already");
    if (index < 0 || index > Count()) throw EListError("Menu index out of bounds (" + std::to_string(index) + ")");
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* item)
{
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    item->FParent = nullptr;
}

int TMenuItem::IndexOf(const TMenuItem* item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuItem::Clear()
{
    while (!FItems.empty()) {
        TMenuItem* last = FItems.back();
        Remove(last);
        delete last;
    }
}

TMenuItem* TMenuItem::Find(const std::string& caption) const
{
    for (TMenuItem* item : FItems) {
        std::string plain;
        for (char c : item->FCaption)
            if (c != '&') plain += c;
        if (SameName(plain, caption) || SameName(item->FCaption, caption)) return item;
    }
    return nullptr;
}

void TMenuItem::Click()
{
    if (!FEnabled || (ComponentState() & csLoading)) return;
    if (FAutoCheck) SetChecked(!FChecked);
    RunGuarded(this, [this] { Fire(*this, OnClick, this); });
}

void TMenuItem::AddLayoutChild(TComponent& child)
{
    if (auto* item = dynamic_cast<TMenuItem*>(&child)) Add(item);
}

TComponent* TMenuItem::LayoutParent() const
{
    if (!FParent) return nullptr;
    if (FParent->FMenu) return FParent->FMenu;
    return FParent;
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(nullptr) { FItems.FMenu = this; }

TMenu::~TMenu()
{
    SetDestroying();
    for (TMenuItem* item : FItems.FItems) item->FParent = nullptr;
    FItems.FItems.clear();
}

void TMenu::AddLayoutChild(TComponent& child)
{
    if (auto* item = dynamic_cast<TMenuItem*>(&child)) FItems.Add(item);
}

const TPropertyTable& TPopupMenu::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TComponent::PropertyTable());
        t.Bool<TPopupMenu>("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup);
        t.EventHandler<TPopupMenu>("OnPopup", &TPopupMenu::OnPopup);
        return t;
    }();
    return table;
}

void TPopupMenu::Popup(int x, int y)
{
    TComponentWatch watch(this);
    if (!Fire(*this, OnPopup, this)) return;
    TMenuItem* chosen = UserInteraction().PopupMenu(*this, x, y);
    if (chosen && watch.Alive()) chosen->Click();
}

#pragma once

// List boxes.
//
// Notification rules: setting ItemIndex from code runs no handler. A selection
// by the person (a click on an item, the arrow keys, or SelectAsUser) sets
// ItemIndex and runs OnClick. A double click runs OnDblClick.

#include <memory>
#include <vector>

#include "platform/controls/TWinControl.h"
#include "platform/core/TStringList.h"

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* AOwner);
    ~TListBox() override;

    const char* ClassName() const override { return "TListBox"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    TStrings& Items();
    const TStrings& Items() const;
    int Count() const { return Items().Count(); }
    // -1 for none; a value outside the items selects none.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool value);
    // Raise EListError outside the items.
    bool Selected(int index) const;
    void SetSelected(int index, bool value);
    int SelCount() const;
    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int value) { FItemHeight = value < 1 ? 1 : value; }
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int value);
    // The item at a client point; -1 when none.
    int ItemAtPos(TPoint p) const;
    void Clear() { Items().Clear(); }

    // A selection as the person makes it: sets ItemIndex, runs OnClick.
    void SelectAsUser(int index);

    void PaintWindow(TCanvas& canvas) override;
    bool WantsKey(std::uint16_t key) const override { return key == VK_UP || key == VK_DOWN; }

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void UserClick() override {}
    void KeyDown(std::uint16_t& key, TShiftState shift) override;
    virtual void ItemsChanged();

private:
    class TListItems;
    void Sort();
    std::unique_ptr<TListItems> FItems;
    int FItemIndex = -1;
    std::string FSelectedText;
    std::vector<bool> FSelected;
    bool FMultiSelect = false;
    bool FSorted = false;
    bool FSorting = false;
    int FItemHeight = 16;
    int FTopIndex = 0;
};

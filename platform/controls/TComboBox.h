#pragma once

// Combo boxes: an edit with a drop-down list.
//
// Notification rules: setting ItemIndex or Text from code runs no handler.
// ItemIndex -1, or a value outside the items, selects none and empties the
// text; a valid index shows its item as the text. Replacing or removing the
// selected item drops the selection (the text stays). A selection by the person
// (SelectAsUser) runs OnClick and then OnChange; typing runs OnChange.
// Styles csDropDown and csSimple accept a text that is no item.

#include <memory>

#include "platform/controls/TWinControl.h"
#include "platform/core/TStringList.h"

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;

    const char* ClassName() const override { return "TComboBox"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    TStrings& Items();
    const TStrings& Items() const;
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int value);
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle value) { FStyle = value; }
    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int value) { FDropDownCount = value; }
    void Clear();

    void SelectAsUser(int index);
    // Text typed by the person (the whole new text).
    void TypeAsUser(const std::string& text);

    void PaintWindow(TCanvas& canvas) override;

    TNotifyEvent OnChange;

protected:
    void KeyPress(char& key) override;
    void KeyDown(std::uint16_t& key, TShiftState shift) override;
    virtual void ItemsChanged();
    virtual void Change();

private:
    class TComboItems;
    std::unique_ptr<TComboItems> FItems;
    int FItemIndex = -1;
    std::string FSelectedText;
    TComboBoxStyle FStyle = csDropDown;
    bool FSorted = false;
    bool FSorting = false;
    int FDropDownCount = 8;
};

#include "platform/controls/TComboBox.h"

#include <algorithm>

#include "platform/controls/Properties.h"
#include "platform/core/AnsiString.h"

class TComboBox::TComboItems : public TStringList {
public:
    explicit TComboItems(TComboBox& owner) : FOwner(owner) {}
    void Changed() override { FOwner.ItemsChanged(); }
    void SortItems()
    {
        std::stable_sort(FItems.begin(), FItems.end(),
                         [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); });
    }

private:
    TComboBox& FOwner;
};

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner), FItems(std::make_unique<TComboItems>(*this))
{
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetColor(clWindow);
}

TComboBox::~TComboBox() = default;

const TPropertyTable& TComboBox::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Enum<TComboBox, TComboBoxStyle>("Style", &TComboBox::Style, &TComboBox::SetStyle,
                                          {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
                                           "csOwnerDrawVariable"});
        t.Bool<TComboBox>("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted);
        t.Int<TComboBox>("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount);
        t.Strings<TComboBox>("Items", static_cast<TStrings& (TComboBox::*)()>(&TComboBox::Items));
        t.Int<TComboBox>("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex);
        t.String<TComboBox>("Text", &TComboBox::Text, &TComboBox::SetText);
        t.EventHandler<TComboBox>("OnChange", &TComboBox::OnChange);
        return t;
    }();
    return table;
}

void TComboBox::SetItemIndex(int value)
{
    if (value < -1 || value >= Items().Count()) value = -1;
    FItemIndex = value;
    FSelectedText = value >= 0 ? Items().Strings(value) : std::string();
    SetText(FSelectedText);
    NotifyPeer(TPeerChange::Value);
}

void TComboBox::SetSorted(bool value)
{
    if (value == FSorted) return;
    FSorted = value;
    if (value) ItemsChanged();
}

void TComboBox::Clear()
{
    Items().Clear();
    SetText("");
}

void TComboBox::ItemsChanged()
{
    if (FSorted && !FSorting) {
        FSorting = true;
        FItems->SortItems();
        FSorting = false;
    }
    if (FItemIndex >= 0 && (FItemIndex >= Items().Count() || Items().Strings(FItemIndex) != FSelectedText)) {
        FItemIndex = -1;
        FSelectedText.clear();
    }
    NotifyPeer(TPeerChange::Items);
}

void TComboBox::SelectAsUser(int index)
{
    if (index < 0 || index >= Items().Count()) return;
    SetItemIndex(index);
    TComponentWatch watch(this);
    Click();
    if (watch.Alive()) Change();
}

void TComboBox::TypeAsUser(const std::string& text)
{
    if (FStyle == csDropDownList) return;
    SetText(text);
    FItemIndex = Items().IndexOf(text);
    FSelectedText = FItemIndex >= 0 ? text : std::string();
    Change();
}

void TComboBox::KeyPress(char& key)
{
    if (FStyle == csDropDownList) return;
    std::string text = Text();
    if (key == '\b') {
        if (!text.empty()) text.pop_back();
    } else if (static_cast<unsigned char>(key) >= 32) {
        text.push_back(key);
    } else {
        return;
    }
    TypeAsUser(text);
}

void TComboBox::KeyDown(std::uint16_t& key, TShiftState)
{
    if (Items().Count() == 0) return;
    if (key == VK_DOWN) SelectAsUser(std::min(Items().Count() - 1, FItemIndex + 1));
    else if (key == VK_UP) SelectAsUser(std::max(0, FItemIndex - 1));
}

void TComboBox::Change()
{
    if (Loading()) return;
    Fire(*this, OnChange, this);
}

void TComboBox::PaintWindow(TCanvas& canvas)
{
    TWinControl::PaintWindow(canvas);
    TRect r = ClientRect();
    Frame3D(canvas, r, clBtnShadow, clBtnHighlight, 1);
    canvas.Font().Assign(Font());
    canvas.Brush().SetStyle(bsClear);
    TRect text = Rect(3, 0, Width() - 18, Height());
    canvas.DrawText(Text(), text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

TStrings& TComboBox::Items() { return *FItems; }
const TStrings& TComboBox::Items() const { return *FItems; }

#include "platform/controls/TListBox.h"

#include <algorithm>

#include "platform/controls/Properties.h"
#include "platform/core/AnsiString.h"

class TListBox::TListItems : public TStringList {
public:
    explicit TListItems(TListBox& owner) : FOwner(owner) {}
    void Changed() override { FOwner.ItemsChanged(); }
    void SortItems()
    {
        std::stable_sort(FItems.begin(), FItems.end(),
                         [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); });
    }

private:
    TListBox& FOwner;
};

TListBox::TListBox(TComponent* AOwner) : TWinControl(AOwner), FItems(std::make_unique<TListItems>(*this))
{
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
}

TListBox::~TListBox() = default;

const TPropertyTable& TListBox::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Bool<TListBox>("Sorted", &TListBox::Sorted, &TListBox::SetSorted);
        t.Strings<TListBox>("Items", static_cast<TStrings& (TListBox::*)()>(&TListBox::Items));
        t.Bool<TListBox>("MultiSelect", &TListBox::MultiSelect, &TListBox::SetMultiSelect);
        t.Int<TListBox>("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight);
        t.Int<TListBox>("ItemIndex", &TListBox::ItemIndex, &TListBox::SetItemIndex);
        return t;
    }();
    return table;
}

void TListBox::SetItemIndex(int value)
{
    if (value < -1 || value >= Count()) value = -1;
    if (!FMultiSelect && value == FItemIndex) return;
    FItemIndex = value;
    FSelectedText = value >= 0 ? Items().Strings(value) : std::string();
    if (!FMultiSelect || value >= 0) {
        std::fill(FSelected.begin(), FSelected.end(), false);
        if (value >= 0) FSelected[static_cast<std::size_t>(value)] = true;
    }
    if (value >= 0) {
        const int visible = std::max(1, ClientHeight() / FItemHeight);
        if (value < FTopIndex) FTopIndex = value;
        else if (value >= FTopIndex + visible) FTopIndex = value - visible + 1;
    }
    Invalidate();
    NotifyPeer(TPeerChange::Value);
}

void TListBox::SetMultiSelect(bool value)
{
    if (value == FMultiSelect) return;
    FMultiSelect = value;
    const int keep = FItemIndex;
    FItemIndex = -2;
    SetItemIndex(keep);
}

bool TListBox::Selected(int index) const
{
    if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FSelected[static_cast<std::size_t>(index)];
}

void TListBox::SetSelected(int index, bool value)
{
    if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    if (!FMultiSelect) {
        if (value) SetItemIndex(index);
        else if (index == FItemIndex) SetItemIndex(-1);
        return;
    }
    FSelected[static_cast<std::size_t>(index)] = value;
    if (value) FItemIndex = index;
    Invalidate();
}

int TListBox::SelCount() const
{
    if (!FMultiSelect) return -1;
    return static_cast<int>(std::count(FSelected.begin(), FSelected.end(), true));
}

void TListBox::SetSorted(bool value)
{
    if (value == FSorted) return;
    FSorted = value;
    if (value) Sort();
}

void TListBox::Sort()
{
    if (FSorting) return;
    FSorting = true;
    FItems->SortItems();
    FSorting = false;
}

void TListBox::SetTopIndex(int value)
{
    FTopIndex = std::clamp(value, 0, std::max(0, Count() - 1));
    Invalidate();
}

int TListBox::ItemAtPos(TPoint p) const
{
    if (p.X < 0 || p.Y < 0 || p.X >= Width() || p.Y >= Height()) return -1;
    const int index = FTopIndex + p.Y / FItemHeight;
    return index < Count() ? index : -1;
}

void TListBox::SelectAsUser(int index)
{
    if (index < 0 || index >= Count()) return;
    if (FMultiSelect) {
        std::fill(FSelected.begin(), FSelected.end(), false);
        FItemIndex = -2;
    }
    SetItemIndex(index);
    Click();
}

void TListBox::ItemsChanged()
{
    if (FSorted && !FSorting) Sort();
    // The selection follows its item when the item is still there once; an
    // item replaced or removed loses it, as the platform's list deletes and
    // inserts.
    int keep = -1;
    if (!FMultiSelect && FItemIndex >= 0) {
        if (FItemIndex < Count() && Items().Strings(FItemIndex) == FSelectedText) keep = FItemIndex;
        else {
            const auto& items = Items().Items();
            if (std::count(items.begin(), items.end(), FSelectedText) == 1) keep = Items().IndexOf(FSelectedText);
        }
    }
    FSelected.assign(static_cast<std::size_t>(Count()), false);
    FItemIndex = keep;
    if (keep >= 0) FSelected[static_cast<std::size_t>(keep)] = true;
    FTopIndex = std::min(FTopIndex, std::max(0, Count() - 1));
    Invalidate();
    NotifyPeer(TPeerChange::Items);
}

void TListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    const int index = ItemAtPos({x, y});
    TComponentWatch watch(this);
    if (button == mbLeft && index >= 0) {
        if (FMultiSelect && (shift & ssCtrl)) {
            SetSelected(index, !Selected(index));
            Click();
        } else {
            SelectAsUser(index);
        }
        if (!watch.Alive()) return;
    }
    TWinControl::MouseDown(button, shift, x, y);
}

void TListBox::KeyDown(std::uint16_t& key, TShiftState)
{
    if (Count() == 0) return;
    if (key == VK_DOWN) SelectAsUser(std::min(Count() - 1, FItemIndex + 1));
    else if (key == VK_UP) SelectAsUser(std::max(0, FItemIndex - 1));
    else if (key == VK_HOME) SelectAsUser(0);
    else if (key == VK_END) SelectAsUser(Count() - 1);
}

void TListBox::PaintWindow(TCanvas& canvas)
{
    TWinControl::PaintWindow(canvas);
    canvas.Font().Assign(Font());
    for (int i = FTopIndex, y = 0; i < Count() && y < Height(); ++i, y += FItemHeight) {
        TRect row = Rect(0, y, Width(), y + FItemHeight);
        if (FSelected[static_cast<std::size_t>(i)]) {
            canvas.Brush().SetColor(ColorToRGB(clHighlight));
            canvas.FillRect(row);
        }
        canvas.Brush().SetStyle(bsClear);
        row.Left += 2;
        canvas.DrawText(Items().Strings(i), row, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

TStrings& TListBox::Items() { return *FItems; }
const TStrings& TListBox::Items() const { return *FItems; }

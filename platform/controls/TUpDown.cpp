#include "platform/controls/TUpDown.h"

#include <algorithm>

#include "platform/controls/Properties.h"
#include "platform/core/AnsiString.h"

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 17, 25); }

const TPropertyTable& TUpDown::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Int<TUpDown>("Min", &TUpDown::Min, &TUpDown::SetMin);
        t.Int<TUpDown>("Max", &TUpDown::Max, &TUpDown::SetMax);
        t.Int<TUpDown>("Increment", &TUpDown::Increment, &TUpDown::SetIncrement);
        t.Int<TUpDown>("Position", &TUpDown::Position, &TUpDown::SetPosition);
        t.Bool<TUpDown>("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap);
        t.Bool<TUpDown>("Thousands", &TUpDown::Thousands, &TUpDown::SetThousands);
        t.Enum<TUpDown, TUDOrientation>("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation,
                                        {"udVertical", "udHorizontal"});
        t.Enum<TUpDown, TUDAlignButton>("AlignButton", &TUpDown::AlignButton, &TUpDown::SetAlignButton,
                                        {"udLeft", "udRight"});
        t.Reference<TUpDown, TWinControl>("Associate", &TUpDown::Associate, &TUpDown::SetAssociate);
        t.EventHandler<TUpDown>("OnClick", &TUpDown::OnClick);
        t.EventHandler<TUpDown>("OnChanging", &TUpDown::OnChanging);
        return t;
    }();
    return table;
}

int TUpDown::Clamped(int value) const { return std::clamp(value, std::min(FMin, FMax), std::max(FMin, FMax)); }

void TUpDown::SetMin(int value)
{
    FMin = value;
    if (!Loading()) SetPosition(FPosition);
}

void TUpDown::SetMax(int value)
{
    FMax = value;
    if (!Loading()) SetPosition(FPosition);
}

void TUpDown::SetPosition(int value)
{
    value = Loading() ? value : Clamped(value);
    if (value == FPosition) return;
    FPosition = value;
    NotifyPeer(TPeerChange::Value);
    ShowPosition();
}

std::string TUpDown::PositionText(int position) const
{
    std::string digits = std::to_string(position < 0 ? -static_cast<long long>(position) : position);
    if (FThousands)
        for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<std::size_t>(i), ".");
    return position < 0 ? "-" + digits : digits;
}

void TUpDown::ShowPosition()
{
    if (FAssociate && !Loading()) FAssociate->SetText(PositionText(FPosition));
}

void TUpDown::SetAssociate(TWinControl* control)
{
    if (control == FAssociate) return;
    if (control == this) throw EInvalidOperation("An up-down cannot be its own associate");
    if (FAssociate) FAssociate->RemoveFreeNotification(this);
    FAssociate = control;
    if (control) control->FreeNotification(this);
}

void TUpDown::ClickButton(TUDBtnType button)
{
    if (!EffectivelyEnabled()) return;
    int base = FPosition;
    if (FAssociate) {
        std::string text = FAssociate->Text();
        std::erase(text, '.');
        int typed = 0;
        if (TryStrToInt(text, typed)) base = typed;
    }
    TComponentWatch watch(this);
    bool allow = true;
    if (!Fire(*this, OnChanging, this, allow) || !allow) return;
    long long next = static_cast<long long>(base) + (button == btNext ? FIncrement : -FIncrement);
    const int low = std::min(FMin, FMax);
    const int high = std::max(FMin, FMax);
    if (FWrap && next > high) next = low;
    else if (FWrap && next < low) next = high;
    FPosition = Clamped(static_cast<int>(std::clamp<long long>(next, INT32_MIN, INT32_MAX)));
    NotifyPeer(TPeerChange::Value);
    ShowPosition();
    if (!watch.Alive()) return;
    Fire(*this, OnClick, this, button);
}

void TUpDown::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TComponentWatch watch(this);
    if (button == mbLeft) {
        const bool next = FOrientation == udVertical ? y < Height() / 2 : x >= Width() / 2;
        ClickButton(next ? btNext : btPrev);
    }
    if (watch.Alive()) TWinControl::MouseDown(button, shift, x, y);
}

void TUpDown::Notification(TComponent* component, TOperation operation)
{
    TWinControl::Notification(component, operation);
    if (operation == opRemove && component == FAssociate) FAssociate = nullptr;
}

#pragma once

// Check boxes and radio buttons.
//
// Notification rules:
// - TCheckBox: setting Checked (or State) to a new value runs OnClick, from
//   code as from a click; TChangeNotify::Silent changes it without.
// - TRadioButton: setting Checked to true unchecks the other radio buttons of
//   the same parent (silently) and runs OnClick; setting it to false runs
//   nothing. A click on an unchecked radio button checks it; on a checked one it
//   does nothing. Radio buttons on different parents are independent.

#include "platform/controls/TWinControl.h"

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TLeftRight { taLeft, taRight };

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);

    const char* ClassName() const override { return "TCheckBox"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool value, TChangeNotify notify = TChangeNotify::Fire);
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState value, TChangeNotify notify = TChangeNotify::Fire);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool value) { FAllowGrayed = value; }
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight value) { FAlignment = value; }

    // What a click by the person does: the next state.
    void Toggle();
    bool WantsKey(std::uint16_t key) const override { return key == VK_SPACE; }
    void PaintWindow(TCanvas& canvas) override;

protected:
    void KeyDown(std::uint16_t& key, TShiftState shift) override;
    void UserClick() override { Toggle(); }

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TLeftRight FAlignment = taRight;
};

class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* AOwner);

    const char* ClassName() const override { return "TRadioButton"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    bool Checked() const { return FChecked; }
    void SetChecked(bool value, TChangeNotify notify = TChangeNotify::Fire);
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight value) { FAlignment = value; }

    bool WantsKey(std::uint16_t key) const override { return key == VK_SPACE; }
    void PaintWindow(TCanvas& canvas) override;

protected:
    void KeyDown(std::uint16_t& key, TShiftState shift) override;
    void UserClick() override { SetChecked(true); }

private:
    bool FChecked = false;
    TLeftRight FAlignment = taRight;
};

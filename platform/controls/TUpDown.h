#pragma once

// Up-down buttons, optionally bound to a control (usually an edit) that shows
// the position.
//
// Notification rules: setting Position from code clamps it (or wraps), writes
// it into the associated control's text (whose own OnChange then runs) and runs
// no handler of the up-down. Attaching a control (Associate) does not rewrite
// its text. A click by the person on an arrow (ClickButton) starts from the
// associated text when it holds a number, runs OnChanging (which may refuse),
// moves the position by Increment, writes the text, then runs OnClick.
// Thousands puts "." between groups of three digits.

#include "platform/controls/TWinControl.h"

enum TUDOrientation { udVertical, udHorizontal };
enum TUDAlignButton { udLeft, udRight };

class TUpDown : public TWinControl {
public:
    explicit TUpDown(TComponent* AOwner);

    const char* ClassName() const override { return "TUpDown"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    int Min() const { return FMin; }
    void SetMin(int value);
    int Max() const { return FMax; }
    void SetMax(int value);
    int Position() const { return FPosition; }
    void SetPosition(int value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int value) { FIncrement = value; }
    bool Wrap() const { return FWrap; }
    void SetWrap(bool value) { FWrap = value; }
    bool Thousands() const { return FThousands; }
    void SetThousands(bool value) { FThousands = value; }
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation value) { FOrientation = value; }
    TUDAlignButton AlignButton() const { return FAlignButton; }
    void SetAlignButton(TUDAlignButton value) { FAlignButton = value; }
    TWinControl* Associate() const { return FAssociate; }
    void SetAssociate(TWinControl* control);

    // The person clicks an arrow.
    void ClickButton(TUDBtnType button);
    // The text the position is shown as.
    std::string PositionText(int position) const;

    TUDClickEvent OnClick;
    TChangingEvent OnChanging;

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void UserClick() override {}
    void Notification(TComponent* component, TOperation operation) override;

private:
    int Clamped(int value) const;
    void ShowPosition();
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FIncrement = 1;
    bool FWrap = false;
    bool FThousands = true;
    TUDOrientation FOrientation = udVertical;
    TUDAlignButton FAlignButton = udRight;
    TWinControl* FAssociate = nullptr;
};

#pragma once

// Push buttons. Click (by mouse, Return or Space while focused, or the form's
// Return/Escape for a Default/Cancel button, or from code) first sets the
// form's ModalResult when the button has one, then runs OnClick. A modal form
// then ends its loop; a modeless form stays as it is.

#include "platform/controls/TWinControl.h"

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);

    const char* ClassName() const override { return "TButton"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    int ModalResult() const { return FModalResult; }
    void SetModalResult(int value) { FModalResult = value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool value) { FDefault = value; }
    bool Cancel() const { return FCancel; }
    void SetCancel(bool value) { FCancel = value; }

    void Click() override;
    bool WantsKey(std::uint16_t key) const override { return key == VK_RETURN || key == VK_SPACE; }
    bool LeavesScrollKeys() const override { return true; }
    void PaintWindow(TCanvas& canvas) override;

protected:
    void KeyDown(std::uint16_t& key, TShiftState shift) override;

private:
    int FModalResult = 0;
    bool FDefault = false;
    bool FCancel = false;
};

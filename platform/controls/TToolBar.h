#pragma once

// Tool bars and their buttons. A tool bar lines its buttons up from the left in
// their order, each ButtonWidth wide (separators 8), wrapping to a new row when
// Wrapable and full.

#include "platform/controls/TGraphicControl.h"
#include "platform/controls/TWinControl.h"

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolBar : public TWinControl {
public:
    explicit TToolBar(TComponent* AOwner);

    const char* ClassName() const override { return "TToolBar"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int value) { FButtonWidth = value; Realign(); }
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int value) { FButtonHeight = value; Realign(); }
    bool Flat() const { return FFlat; }
    void SetFlat(bool value) { FFlat = value; Invalidate(); }
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool value) { FShowCaptions = value; Invalidate(); }
    bool Wrapable() const { return FWrapable; }
    void SetWrapable(bool value) { FWrapable = value; Realign(); }

protected:
    void AlignControls(TRect& rect) override;

private:
    int FButtonWidth = 23;
    int FButtonHeight = 22;
    bool FFlat = false;
    bool FShowCaptions = false;
    bool FWrapable = true;
};

class TToolButton : public TGraphicControl {
public:
    explicit TToolButton(TComponent* AOwner);

    const char* ClassName() const override { return "TToolButton"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    TToolButtonStyle Style() const { return FStyle; }
    void SetStyle(TToolButtonStyle value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value) { FImageIndex = value; }
    bool Down() const { return FDown; }
    void SetDown(bool value);
    bool Grouped() const { return FGrouped; }
    void SetGrouped(bool value) { FGrouped = value; }

protected:
    void Paint() override;
    void UserClick() override;

private:
    TToolButtonStyle FStyle = tbsButton;
    int FImageIndex = -1;
    bool FDown = false;
    bool FGrouped = false;
};

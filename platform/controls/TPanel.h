#pragma once

// Containers and dividers: panels (with bevels and a centred caption), scroll
// boxes, and splitters, which the person drags to resize the control they
// border.

#include "platform/controls/TGraphicControl.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TWinControl.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBorderStyle { bsNoBorder, bsSingleBorder };

class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* AOwner);

    const char* ClassName() const override { return "TPanel"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut value) { FBevelOuter = value; Invalidate(); }
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut value) { FBevelInner = value; Invalidate(); }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int value) { FBevelWidth = value < 1 ? 1 : value; Invalidate(); }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value) { FBorderWidth = value < 0 ? 0 : value; Realign(); }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value) { FAlignment = value; Invalidate(); }

    void PaintWindow(TCanvas& canvas) override;

protected:
    void AlignControls(TRect& rect) override;

private:
    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = taCenter;
};

class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* AOwner);

    const char* ClassName() const override { return "TScrollBox"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value) { FBorderStyle = value; Invalidate(); }
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool value) { FAutoScroll = value; }
    // The extent of the children, which the scroll bars would cover.
    TRect ContentRect() const;

private:
    TBorderStyle FBorderStyle = bsSingleBorder;
    bool FAutoScroll = true;
};

class TSplitter : public TGraphicControl {
public:
    explicit TSplitter(TComponent* AOwner);

    const char* ClassName() const override { return "TSplitter"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    int MinSize() const { return FMinSize; }
    void SetMinSize(int value) { FMinSize = value < 1 ? 1 : value; }
    bool Beveled() const { return FBeveled; }
    void SetBeveled(bool value) { FBeveled = value; Invalidate(); }

    TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void UserClick() override {}

private:
    TControl* FindTarget() const;
    int FMinSize = 30;
    bool FBeveled = false;
    TControl* FTarget = nullptr;
    int FDownAt = 0;
    int FStartSize = 0;
};

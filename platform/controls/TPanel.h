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

enum TScrollBarKind { sbHorizontal, sbVertical };

class TScrollBox;

// One scroll bar of a scroll box. Position is how far the children are
// scrolled; it stays within 0 .. Range minus the client extent. With AutoScroll
// the range follows the children's extent and any Range set is replaced.
class TControlScrollBar {
public:
    TControlScrollBar(TScrollBox& box, TScrollBarKind kind) : FBox(box), FKind(kind) {}
    TControlScrollBar(const TControlScrollBar&) = delete;
    TControlScrollBar& operator=(const TControlScrollBar&) = delete;

    TScrollBarKind Kind() const { return FKind; }
    int Position() const { return FPosition; }
    void SetPosition(int value);
    int Range() const { return FRange; }
    void SetRange(int value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int value) { FIncrement = value < 1 ? 1 : value; }
    // Allowed to show; it shows only while the range exceeds the client extent.
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    bool IsScrollBarVisible() const { return FShown; }
    // The client extent along this bar.
    int PageSize() const;
    int MaxPosition() const;

private:
    friend class TScrollBox;
    TScrollBox& FBox;
    TScrollBarKind FKind;
    int FPosition = 0;
    int FRange = 0;
    int FIncrement = 8;
    bool FVisible = true;
    bool FShown = false;
};

// A container whose children may reach beyond it: scroll bars appear when they
// do, and the children move by the scrolled amount (a child's Left and Top are
// relative to the visible corner, as the Windows control has them). The wheel
// over the box or a child, and the arrow, page, Home and End keys while the box
// or a button in it has the focus, scroll it.
class TScrollBox : public TWinControl {
public:
    // The width of a vertical bar, the height of a horizontal one.
    static constexpr int ScrollBarSize = 17;

    explicit TScrollBox(TComponent* AOwner);

    const char* ClassName() const override { return "TScrollBox"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value) { FBorderStyle = value; Invalidate(); }
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool value);
    TControlScrollBar& HorzScrollBar() { return FHorzScrollBar; }
    const TControlScrollBar& HorzScrollBar() const { return FHorzScrollBar; }
    TControlScrollBar& VertScrollBar() { return FVertScrollBar; }
    const TControlScrollBar& VertScrollBar() const { return FVertScrollBar; }
    // The extent of the children, which the scroll bars would cover.
    TRect ContentRect() const;
    // Without the strips of the scroll bars that show.
    TRect ClientRect() const override;

    // Moves the children by (dx, dy) and the positions the other way.
    void ScrollBy(int dx, int dy);
    // Scrolls so that the child (or grandchild) is wholly in view where it fits.
    void ScrollInView(const TControl* control);
    // Works out ranges, which bars show, and keeps the positions in range.
    void UpdateScrollBars();

    bool MouseWheel(int delta, TShiftState shift) override;
    bool ScrollKey(std::uint16_t key, TShiftState shift) override;
    bool FocusOnClick() const override { return true; }
    bool LeavesScrollKeys() const override { return true; }

protected:
    void ControlsChanged() override;
    void ChildBoundsChanged() override;
    void Resize() override;
    void Loaded() override;

private:
    friend class TControlScrollBar;
    void ScrollTo(TControlScrollBar& bar, int position);

    TBorderStyle FBorderStyle = bsSingleBorder;
    bool FAutoScroll = true;
    TControlScrollBar FHorzScrollBar{*this, sbHorizontal};
    TControlScrollBar FVertScrollBar{*this, sbVertical};
    bool FUpdating = false;
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

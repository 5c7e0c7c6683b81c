#pragma once

// Controls: components with a parent, bounds, caption, font, colour,
// visibility, enabled state, hint, cursor, and mouse events.
//
// Coordinates are relative to the parent's client area. Setters return early
// when nothing changes; otherwise they invalidate and tell the peer.
//
// Mouse input arrives at the control under the pointer (TCustomForm::MouseInput
// does the hit testing): a hidden or disabled control, or one inside a disabled
// parent, gets no mouse messages. A button press captures the mouse for the
// control that received it until the button is released; OnClick runs when the
// left button is released over the control. MouseEnter and MouseLeave are
// called as the pointer moves between controls.
//
// No event fires while a control is being read from a layout.

#include <string>

#include "platform/controls/ControlPeer.h"
#include "platform/controls/TComponent.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/TCanvas.h"
#include "platform/graphics/Types.h"

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

using TCursor = int;
enum : TCursor {
    crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNS = -7, crSizeWE = -9,
    crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15, crNo = -18,
    crAppStart = -19, crHelp = -20, crHandPoint = -21,
};

enum TDragMode { dmManual, dmAutomatic };

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    const char* ClassName() const override { return "TControl"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* parent);
    TComponent* LayoutParent() const override;
    // The form this control lies on (itself for a form); nullptr when none.
    TCustomForm* ParentForm() const;

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
    void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
    void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
    void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    virtual TRect ClientRect() const { return Rect(0, 0, FWidth, FHeight); }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int value) { SetWidth(FWidth - ClientWidth() + value); }
    void SetClientHeight(int value) { SetHeight(FHeight - ClientHeight() + value); }
    // The client origin in the coordinates of the form's client area.
    TPoint FormOrigin() const;
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign value);

    // The caption; edits and memos hold their text here too.
    const std::string& Caption() const { return FText; }
    void SetCaption(const std::string& value) { SetText(value); }
    const std::string& Text() const { return FText; }
    void SetText(const std::string& value);

    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& font);
    // Call after changing Font() in place.
    void FontChanged();
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool value);

    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool value);

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent too.
    bool Showing() const;

    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool value);
    // Enabled, and every parent too.
    bool EffectivelyEnabled() const;

    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& value) { FHint = value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value) { FShowHint = value; }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor value) { FCursor = value; }
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* menu);
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode value) { FDragMode = value; }

    // Marks the control for painting at the next idle moment of the loop.
    virtual void Invalidate();
    // Paints what is marked now.
    void Update();
    void Repaint();
    void BringToFront();
    void SendToBack();

    // The area of the form's surface this control covers, clipped by its
    // parents; empty when it is not showing on a form.
    TRect VisibleFormRect() const;

    bool MouseCapture() const;
    void SetMouseCapture(bool value);

    // Runs OnClick (a button's click also sets its form's modal result).
    virtual void Click();
    // What a click by the person means; Click by default, a check box toggles.
    void PerformUserClick() { UserClick(); }

    // Windowless controls answer false; windowed ones take the focus.
    virtual bool IsWindowed() const { return false; }
    // Does the point (client coordinates) belong to this control for the
    // mouse? Everything inside the bounds does by default.
    virtual bool HitTest(int x, int y) const { return x >= 0 && y >= 0 && x < FWidth && y < FHeight; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;

    // Entry points of the form's input dispatch (client coordinates).
    void DispatchMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void DispatchMouseMove(TShiftState shift, int x, int y);
    void DispatchMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void DispatchDblClick();
    void DispatchMouseEnter() { MouseEnter(); }
    // A drag from `source` dropped at (x, y): OnDragOver decides (accepting
    // when it is assigned and leaves Accept alone), then OnDragDrop runs.
    // Answers whether the drop was accepted.
    bool DispatchDragDrop(TObject* source, int x, int y);
    void DispatchMouseLeave() { MouseLeave(); }

protected:
    bool Loading() const { return (ComponentState() & csLoading) != 0; }

    // Overridable behaviour, each firing the matching event when assigned.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DblClick();
    virtual void UserClick() { Click(); }
    // After a mouse button's release has been handled (OnMouseUp, OnClick).
    virtual void MouseReleased(TMouseButton button, TShiftState shift, int x, int y) {}
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void Resize();
    virtual void TextChanged() {}
    virtual void VisibleChanged() {}
    virtual void EnabledChanged() {}
    virtual void DoFontChanged() {}

    // Tells the peer of this control (or of its windowed parent) of a change.
    virtual void NotifyPeer(TPeerChange change);
    void Notification(TComponent* component, TOperation operation) override;
    void Loaded() override;

private:
    friend class TWinControl;

    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TAlign FAlign = alNone;
    std::string FText;
    TFont FFont;
    bool FParentFont = true;
    TColor FColor = clBtnFace;
    bool FParentColor = false;
    bool FVisible = true;
    bool FEnabled = true;
    std::string FHint;
    bool FShowHint = false;
    TCursor FCursor = crDefault;
    TPopupMenu* FPopupMenu = nullptr;
    TDragMode FDragMode = dmManual;
    bool FClickPending = false;  // left button went down on this control
};

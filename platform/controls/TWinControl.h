#pragma once

// Windowed controls: controls that hold child controls, take the keyboard
// focus, have key events, a message handle and (with a display backend) a
// peer.
//
// Children are kept in z-order, the last one topmost. A parent does not own its
// children (their owner does); when a parent goes, its children are detached.
// Aligned children (alTop, alBottom, alLeft, alRight, alClient) are placed in
// that order whenever the parent's size or the children change.
//
// Handle() gives the control a window of the loop core, made on first use, whose
// messages go to WndProc; it is destroyed with the control, so messages posted to
// it afterwards are dropped.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/controls/ControlPeer.h"
#include "platform/controls/TControl.h"
#include "platform/loop/Messages.h"

// Messages of the component layer.
inline constexpr UINT CM_BASE = 0xB000;
inline constexpr UINT CM_RELEASE = CM_BASE + 33;

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    const char* ClassName() const override { return "TWinControl"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int index) const;
    bool ContainsControl(const TControl* control) const;
    // The topmost showing, enabled child whose HitTest takes the point
    // (client coordinates); nullptr when none.
    TControl* ControlAtPos(TPoint p, bool allowDisabled = false) const;

    bool IsWindowed() const override { return true; }
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool value) { FTabStop = value; }
    bool CanFocus() const;
    bool Focused() const;
    // Raises EInvalidOperation "Cannot focus a disabled or invisible window"
    // when the control cannot take the focus.
    virtual void SetFocus();
    // Its form opened with this control holding the focus; no OnEnter, as
    // the focus never left the form.
    virtual void FocusedByOpening() {}

    HWND Handle();
    bool HandleAllocated() const { return FHandle != 0; }
    TControlPeer* Peer() const { return FPeer.get(); }

    void AddLayoutChild(TComponent& child) override;

    void SetBounds(int left, int top, int width, int height) override;
    // The point (client coordinates) lies in the client area.
    bool InClientArea(TPoint p) const;
    // Places the aligned children again.
    void Realign();

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    // Keys this control handles itself before the form's dialog keys (Return
    // in a memo, Return and Space on a button).
    virtual bool WantsKey(std::uint16_t key) const { return false; }
    // Does the control leave arrow, page, Home and End keys to a scroll box
    // around it (buttons do; edits and lists use them)?
    virtual bool LeavesScrollKeys() const { return false; }
    // A scroll key or wheel turn (120 a notch, positive away from the person)
    // for this control; answers whether it scrolled anything.
    virtual bool ScrollKey(std::uint16_t key, TShiftState shift) { return false; }
    virtual bool MouseWheel(int delta, TShiftState shift) { return false; }
    // Does a click on the control (or on a windowless child) give it the focus?
    virtual bool FocusOnClick() const { return TabStop(); }

    // Entry points of the form's key dispatch. Each fires its event first; a
    // handler may clear the key to stop the control's own handling.
    void DispatchKeyDown(std::uint16_t key, TShiftState shift);
    void DispatchKeyPress(char key);
    void DispatchKeyUp(std::uint16_t key, TShiftState shift);
    void DispatchEnter();
    void DispatchExit();

    // Makes peers for this control and its windowed children when a backend is
    // installed (a form calls it when first shown).
    void CreatePeers();

    // The headless look: fills the client area with the colour. Containers keep
    // this; other windowed controls may draw more.
    virtual void PaintWindow(TCanvas& canvas);

protected:
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void KeyDown(std::uint16_t& key, TShiftState shift) {}
    virtual void KeyPress(char& key) {}
    virtual void KeyUp(std::uint16_t& key, TShiftState shift) {}
    virtual void DoEnter() {}
    virtual void DoExit() {}
    // A child was added or removed.
    virtual void ControlsChanged() { Realign(); }
    // A child moved, changed size or was shown or hidden.
    virtual void ChildBoundsChanged() {}
    virtual void AlignControls(TRect& rect);
    void NotifyPeer(TPeerChange change) override;

private:
    friend class TControl;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    std::vector<TControl*> FControls;
    bool FTabStop = false;
    HWND FHandle = 0;
    std::unique_ptr<TControlPeer> FPeer;
    bool FAligning = false;
};

#pragma once

// A form's peer: a top-level double-buffered window of the form's client size
// (plus its menu bar), whose background is the form's surface bitmap, on which
// the windowed controls' widgets sit.
//
// - The form's Left and Top are the screen position of its client area: the
//   window starts a menu bar higher. A move or resize by the person or the
//   window manager goes back into the model's bounds.
// - The surface is followed by comparing its pixels with the last shown copy
//   (SurfacePainted, and at every pump), so drawing on a canvas outside a
//   paint shows too; only changed rows are redrawn.
// - The close box posts WM_CLOSE to the form. A form shown modally gets a
//   modal window. Styles: stay-on-top, tool windows, fixed borders, no border,
//   maximised and minimised windows.
// - Keys go to the model's focused control (KeyEvent), after the main menu's
//   shortcuts; Tab moves the focus
//   between the controls that take it; the model's focused control holds the
//   toolkit's focus; cursors and hints follow the control under the mouse.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/display/TWidgetPeer.h"

class TMenuBarWidget;

class TFormPeer : public TWidgetPeer {
public:
    explicit TFormPeer(TCustomForm& form);
    ~TFormPeer() override;

    TCustomForm& Form() const { return FForm; }
    Fl_Group* ChildGroup() override;
    // The window row where the client area starts.
    int ClientTop() const;

    void SurfacePainted(const TRect& rect) override;
    // Draws the surface under the window rectangle (window coordinates).
    void DrawSurface(int x, int y, int w, int h) const;
    // Follows what changes without a notice: surface pixels, focus, cursor, menu.
    void FollowModel();
    // A key event of any widget of the window.
    int KeyEvent(int event);
    // After the model has had a mouse event.
    void AfterInput(TMouseInputKind kind);
    // The pointer entered or left the window; a hint goes with the pointer.
    void PointerInside(bool inside);
    // The window was moved or resized from outside.
    void WindowChanged(int x, int y, int w, int h);
    bool Applying() const { return FApplying; }
    void CloseBox();
    // A form without a system menu has no close box: closing it from outside
    // is refused, as its only ways out are its own.
    bool HasCloseBox() const;
    // Shows the cursor the model asks for under the pointer now.
    void FollowCursor();
    // Whether the window shows `cursor` (of a control without a cursor of
    // its own).
    bool ShowsCursor(TCursor cursor) const;

protected:
    void SyncText() override;
    void SyncStyle() override;
    void SyncBounds() override;
    void SyncColor() override;
    void SyncFont() override {}
    void SyncVisible() override;

private:
    void FollowSurface();
    void FollowFocus();
    void ShowWindow();
    void ApplyWindowHints();
    void MoveFocus(bool backwards);
    void UpdateHint();

    TCustomForm& FForm;
    std::unique_ptr<TMenuBarWidget> FMenuBar;
    std::vector<std::uint8_t> FRgb;     // the shown surface, RGB rows
    std::vector<std::uint8_t> FShadow;  // the same rows as the bitmap holds them
    int FSurfaceWidth = 0;
    int FSurfaceHeight = 0;
    bool FApplying = false;
    std::uint32_t FLastCompare = 0;
    int FCursor = -1000;
    bool FPointerInside = true;
    const TControl* FHintControl = nullptr;
    TComponentWatch FHintWatch{nullptr};
};

#pragma once

// Simulated input for headless tests: the same entry points a display backend
// feeds (TCustomForm::MouseInput and KeyInput), so the controls see a person's
// clicks, moves and keys, with hit testing, capture, focus and the event order
// of real input. Points are in the form's client coordinates unless a control
// is named.

#include <cstdint>
#include <string>

#include "platform/controls/Events.h"
#include "platform/controls/Forward.h"

namespace InputDriver {

void MouseMove(TCustomForm& form, int x, int y, TShiftState shift = 0);
void MouseDown(TCustomForm& form, int x, int y, TMouseButton button = mbLeft, TShiftState shift = 0);
void MouseUp(TCustomForm& form, int x, int y, TMouseButton button = mbLeft, TShiftState shift = 0);
// Move there, press and release.
void ClickAt(TCustomForm& form, int x, int y, TMouseButton button = mbLeft);
// A click at the control's point (its client coordinates; default: its centre).
void Click(TControl& control);
void ClickAt(TControl& control, int x, int y, TMouseButton button = mbLeft);
void DoubleClick(TControl& control);
void MoveTo(TControl& control, int x, int y);
// Turns the wheel by `notches` (positive away from the person) with the pointer at (x, y).
void Wheel(TCustomForm& form, int x, int y, int notches, TShiftState shift = 0);
// Drags from `source` and drops on `target` at its point (x, y).
bool DragDrop(TControl& source, TControl& target, int x, int y);

// A key press (down, character, up) into the form's focused control.
void PressKey(TCustomForm& form, std::uint16_t key, TShiftState shift = 0);
// Focuses the control (as a click would) and types the text character by character.
void TypeText(TWinControl& control, const std::string& text);

}  // namespace InputDriver

#pragma once

// The hint window: a small yellow box with a control's short hint, shown near
// the pointer (screen coordinates). One at a time.

#include <string>

void ShowHintWindow(const std::string& cp1252, int x, int y);
// Hides the hint and cancels one that is due.
void HideHintWindow();
void DestroyHintWindow();
// The hint on the screen (CP1252); empty when none shows.
std::string ShownHint();

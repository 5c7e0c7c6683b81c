#pragma once

// The model's screen and mouse, for the files that also draw: the toolkit's
// drawing header brings in the X headers, whose Screen type clashes with the
// model's Screen object.

#include <string>
#include <vector>

#include "platform/controls/TControl.h"

namespace ScreenAccess {

TCustomForm* ActiveForm();
TPoint CursorPos();
// The installed font families, sorted.
std::vector<std::string> FontNames();

}  // namespace ScreenAccess

#pragma once

// Colours as the pages and the font dialog write them.

#include <string>

#include "platform/graphics/Colors.h"

// "#" + red, green and blue as two lower-case hex digits each. System colours
// are resolved first, so a control colour such as clWindow gives the colour a
// browser would have to show, not the bytes of its index.
std::string ColorToHtml(TColor color);

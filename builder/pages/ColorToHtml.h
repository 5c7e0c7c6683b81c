#pragma once

// Colours as the pages and the font dialog write and read them.

#include <string>
#include <string_view>

#include "platform/graphics/Colors.h"

// "#" + red, green and blue as two lower-case hex digits each. System colours
// are resolved first, so a control colour such as clWindow gives the colour a
// browser would have to show, not the bytes of its index.
std::string ColorToHtml(TColor color);

// The reverse, from a text "#" + red, green and blue digit pairs: the up to six
// characters after the first are read as one hexadecimal number (either case)
// whose outer bytes are swapped, so red lands in the low byte. A text whose
// digits are missing or not all hexadecimal gives black.
TColor HexToColor(std::string_view text);

#pragma once

// Text that goes into a protocol line (a command, a request line) must not
// end that line early: CR, LF, and NUL, which some servers take for an end.

#include <string_view>

inline bool HoldsLineBreak(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

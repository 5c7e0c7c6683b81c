#pragma once

// The widths of WinAnsiEncoding codes 32 to 255 of the standard base fonts,
// in thousandths of the text size. The oblique Helvetica fonts use the upright
// tables.

#include <array>
#include <cstdint>

namespace pdfwidths {

using TWidthRow = std::array<std::uint16_t, 224>;

extern const TWidthRow CourierWidths;
extern const TWidthRow HelveticaWidths;
extern const TWidthRow HelveticaBoldWidths;
extern const TWidthRow TimesRomanWidths;
extern const TWidthRow TimesBoldWidths;
extern const TWidthRow TimesItalicWidths;
extern const TWidthRow TimesBoldItalicWidths;

}  // namespace pdfwidths

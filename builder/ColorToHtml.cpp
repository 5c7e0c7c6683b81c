#include "builder/ColorToHtml.h"

std::string ColorToHtml(TColor color)
{
    static constexpr char Digits[] = "0123456789abcdef";
    const TColor rgb = ColorToRGB(color);
    std::string text = "#";
    for (std::uint8_t byte : {GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)}) {
        text += Digits[byte >> 4];
        text += Digits[byte & 0x0F];
    }
    return text;
}

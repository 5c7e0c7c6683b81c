#include "builder/pages/ColorToHtml.h"

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

TColor HexToColor(std::string_view text)
{
    const std::string_view digits = text.size() > 1 ? text.substr(1, 6) : std::string_view();
    if (digits.empty())
        return clBlack;
    std::uint32_t value = 0;
    for (char c : digits) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return clBlack;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return static_cast<TColor>((value & 0xFF) << 16 | (value & 0xFF00) | (value >> 16 & 0xFF));
}

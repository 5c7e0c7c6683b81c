#include "platform/graphics/Colors.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// A plain light desktop theme, fixed so that drawings come out the same on
// every machine. Indexed by the low byte of a system colour; index 25 has no
// colour on the platform and reads as black there too.
constexpr std::array<TColor, 31> SystemColors = {
    RGB(200, 200, 200),  //  0 scroll bar
    RGB(0, 78, 152),     //  1 desktop background
    RGB(153, 180, 209),  //  2 active caption
    RGB(191, 205, 219),  //  3 inactive caption
    RGB(240, 240, 240),  //  4 menu
    RGB(255, 255, 255),  //  5 window
    RGB(100, 100, 100),  //  6 window frame
    RGB(0, 0, 0),        //  7 menu text
    RGB(0, 0, 0),        //  8 window text
    RGB(0, 0, 0),        //  9 caption text
    RGB(180, 180, 180),  // 10 active border
    RGB(244, 247, 252),  // 11 inactive border
    RGB(171, 171, 171),  // 12 application work space
    RGB(0, 120, 215),    // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(240, 240, 240),  // 15 button face
    RGB(160, 160, 160),  // 16 button shadow
    RGB(109, 109, 109),  // 17 gray text
    RGB(0, 0, 0),        // 18 button text
    RGB(0, 0, 0),        // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(105, 105, 105),  // 21 3D dark shadow
    RGB(227, 227, 227),  // 22 3D light
    RGB(0, 0, 0),        // 23 tool tip text
    RGB(255, 255, 225),  // 24 tool tip background
    RGB(0, 0, 0),        // 25 (none)
    RGB(0, 102, 204),    // 26 hot-track item
    RGB(185, 209, 234),  // 27 active caption gradient
    RGB(215, 228, 242),  // 28 inactive caption gradient
    RGB(51, 153, 255),   // 29 menu highlight
    RGB(240, 240, 240),  // 30 menu bar
};

}  // namespace

TColor ColorToRGB(TColor color)
{
    if (color == clNone || color == clDefault) return color;
    if ((color & 0xFF000000) == 0x80000000) {
        const TColor index = color & 0xFF;
        // An index the platform does not know reads as black, as GetSysColor gives 0.
        return index < SystemColors.size() ? SystemColors[index] : clBlack;
    }
    return color & 0x00FFFFFF;
}

namespace {

double Luminance(TColor color)
{
    const TColor c = ColorToRGB(color);
    const auto channel = [](std::uint8_t v) {
        const double x = v / 255.0;
        return x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(GetRValue(c)) + 0.7152 * channel(GetGValue(c)) + 0.0722 * channel(GetBValue(c));
}

// Enough to tell a row from its neighbours at a glance; text needs more.
constexpr double FillContrast = 1.6;
constexpr double TextContrast = 4.5;

}  // namespace

double ContrastRatio(TColor a, TColor b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TColor BlendColors(TColor a, TColor b, double weight)
{
    const TColor x = ColorToRGB(a);
    const TColor y = ColorToRGB(b);
    const auto mix = [weight](std::uint8_t p, std::uint8_t q) {
        return static_cast<std::uint8_t>(std::lround(p + (q - p) * weight));
    };
    return RGB(mix(GetRValue(x), GetRValue(y)), mix(GetGValue(x), GetGValue(y)), mix(GetBValue(x), GetBValue(y)));
}

TColor InactiveSelectionColor(TColor background)
{
    const TColor face = ColorToRGB(clBtnFace);
    TColor best = face;
    for (double w : {0.0, 0.25, 0.5, 0.75, 1.0}) {
        const TColor fill = BlendColors(face, clHighlight, w);
        if (ContrastRatio(fill, background) >= FillContrast) return fill;
        if (ContrastRatio(fill, background) > ContrastRatio(best, background)) best = fill;
    }
    // A background near the highlight colour itself: the darker or lighter end.
    const TColor dark = BlendColors(clHighlight, clBlack, 0.5);
    const TColor light = face;
    const TColor end = ContrastRatio(dark, background) > ContrastRatio(light, background) ? dark : light;
    return ContrastRatio(end, background) > ContrastRatio(best, background) ? end : best;
}

TColor SelectionTextColor(TColor fill, TColor text)
{
    if (ContrastRatio(fill, text) >= TextContrast) return ColorToRGB(text);
    return ContrastRatio(fill, clBlack) >= ContrastRatio(fill, clWhite) ? clBlack : clWhite;
}

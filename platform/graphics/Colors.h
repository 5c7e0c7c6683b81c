#pragma once

// Colour values: red in the low byte, then green, then blue. The high byte
// marks special values: 0x80 system colours (resolved by ColorToRGB through
// one table of a plain light desktop theme), 0x02 palette-relative colours
// (treated as the RGB they hold), and clNone / clDefault.

#include <cstdint>

using TColor = std::uint32_t;

constexpr TColor RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}
constexpr std::uint8_t GetRValue(TColor c) { return c & 0xFF; }
constexpr std::uint8_t GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr std::uint8_t GetBValue(TColor c) { return (c >> 16) & 0xFF; }

constexpr TColor PaletteRelativeFlag = 0x02000000;
constexpr TColor CLR_INVALID = 0xFFFFFFFF;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colours: 0x80000000 + the Windows colour index.
constexpr TColor clScrollBar = 0x80000000;
constexpr TColor clBackground = 0x80000001;
constexpr TColor clActiveCaption = 0x80000002;
constexpr TColor clInactiveCaption = 0x80000003;
constexpr TColor clMenu = 0x80000004;
constexpr TColor clWindow = 0x80000005;
constexpr TColor clWindowFrame = 0x80000006;
constexpr TColor clMenuText = 0x80000007;
constexpr TColor clWindowText = 0x80000008;
constexpr TColor clCaptionText = 0x80000009;
constexpr TColor clActiveBorder = 0x8000000A;
constexpr TColor clInactiveBorder = 0x8000000B;
constexpr TColor clAppWorkSpace = 0x8000000C;
constexpr TColor clHighlight = 0x8000000D;
constexpr TColor clHighlightText = 0x8000000E;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clBtnShadow = 0x80000010;
constexpr TColor clGrayText = 0x80000011;
constexpr TColor clBtnText = 0x80000012;
constexpr TColor clInactiveCaptionText = 0x80000013;
constexpr TColor clBtnHighlight = 0x80000014;
constexpr TColor cl3DDkShadow = 0x80000015;
constexpr TColor cl3DLight = 0x80000016;
constexpr TColor clInfoText = 0x80000017;
constexpr TColor clInfoBk = 0x80000018;

// The plain RGB value of any colour: system colours through the table, the
// palette-relative flag dropped. clNone and clDefault come back unchanged.
TColor ColorToRGB(TColor color);

// WCAG's contrast ratio of two colours (1 to 21).
double ContrastRatio(TColor a, TColor b);
// A mix: `weight` (0 to 1) of `b` into `a`.
TColor BlendColors(TColor a, TColor b, double weight);

// How a list shows a selection while it lacks the focus: the system's
// inactive-selection colour (the button face) where it stands out from the
// list's background, else drawn towards the highlight colour until it does;
// the text keeps its colour where that reads on the fill, else black or white.
TColor InactiveSelectionColor(TColor background);
TColor SelectionTextColor(TColor fill, TColor text);

#pragma once

// The one palette every picture of the programs is drawn from: a deep blue,
// a warm orange accent, on light neutrals.

#include "platform/graphics/Colors.h"

namespace Palette {

constexpr TColor Navy = RGB(22, 48, 86);          // title bands, dark tiles
constexpr TColor Blue = RGB(33, 86, 150);         // primary
constexpr TColor BlueLight = RGB(74, 136, 204);   // gradient tops, highlights
constexpr TColor BluePale = RGB(214, 228, 243);   // tints, selection
constexpr TColor Orange = RGB(240, 133, 36);      // accent
constexpr TColor OrangeLight = RGB(252, 178, 92);
constexpr TColor OrangeDeep = RGB(206, 98, 18);
constexpr TColor Paper = RGB(247, 245, 241);      // calm backgrounds
constexpr TColor Card = RGB(255, 255, 255);
constexpr TColor Line = RGB(204, 210, 219);       // thin borders
constexpr TColor Ink = RGB(38, 44, 56);           // text
constexpr TColor InkSoft = RGB(104, 114, 130);    // secondary text
constexpr TColor Sky = RGB(160, 204, 238);
constexpr TColor SkyLow = RGB(226, 240, 250);
constexpr TColor Hill = RGB(78, 150, 96);
constexpr TColor HillFar = RGB(128, 182, 134);
constexpr TColor Sun = RGB(255, 196, 70);
constexpr TColor Red = RGB(204, 62, 52);          // the exit mark only

// What the transparent pictures stand on: the start screen's calm area and
// the dialogs' button face (the system colour clBtnFace).
constexpr TColor StartBackdrop = Paper;
constexpr TColor ButtonFace = RGB(240, 240, 240);
// The key colour of the transparent pictures, placed in their bottom-left
// pixel where the image button and the bitmap buttons take it from; no drawn
// pixel ever has it.
constexpr TColor TransparentKey = RGB(255, 0, 255);

}  // namespace Palette

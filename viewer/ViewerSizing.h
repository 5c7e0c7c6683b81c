#pragma once

// The viewer's size and placement arithmetic, apart from the controls so that
// every rule can be checked on numbers. Products with 0.01 and 0.5 are
// evaluated exactly (as quotients of integers) and rounded half to even.

#include <string>

struct TViewerBox {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// round(numerator / denominator), half to even; denominator > 0.
long long RoundQuotient(long long numerator, long long denominator);

// p x round(side / 100) for both sides, p in 10..90.
TViewerBox PercentSize(int width, int height, int percent);

// Fits a picture of the given size into the area (IW x IH into SBW x SBH):
// false (and nothing changed) when it already fits, or when a side is too
// small for the per-cent step (under 51 pixels), which would divide by 0.
// The new sizes are at least 1.
bool OptimumSize(int width, int height, int areaWidth, int areaHeight, TViewerBox& box);

// After a size change: centred when the picture is narrower or lower than the
// area (an offset turns negative in the direction it is larger), else at 1, 1.
void PlacePicture(TViewerBox& box, int areaWidth, int areaHeight);
// After a turn: always centred.
void CentrePicture(TViewerBox& box, int areaWidth, int areaHeight);

// The name a picture is saved under: ".jpg" (or ".gif") is appended unless
// the name already holds it in lower case, anywhere.
std::string SavePictureFileName(const std::string& chosenName, bool gif);

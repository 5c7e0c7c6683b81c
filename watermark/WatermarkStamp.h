#pragma once

// The stamping arithmetic of the watermark: the mark is built (a text, or a
// picture, optionally a black-and-white mask by colour key), turned, placed
// and stamped pixel by pixel into the picture. Every rounding is half to even
// on the exact rational value, so results do not depend on binary fractions.

#include <memory>
#include <string>

#include "platform/graphics/TBitmap.h"
#include "platform/graphics/Types.h"

enum class TMarkPosition { TopLeft, BottomLeft, TopRight, BottomRight, Centre };

struct TChannels {
    bool Red = true;
    bool Green = true;
    bool Blue = true;
};

// Within percent of $FFFFFF of the key, on the packed 24-bit value (not per channel).
bool ColorInTolerance(TColor colour, TColor key, int percent);

// A copy of the picture, white where a pixel lies within the tolerance of the
// key and black elsewhere.
std::unique_ptr<TBitmap> MakeBlackWhiteMask(const TBitmap& picture, TColor key, int percent);

// The text in the font (plain style) and its colour on white, exactly as big
// as the text's cell.
std::unique_ptr<TBitmap> DrawTextMark(const std::string& text, const std::string& fontName, int fontSize,
                                      TColor colour);

// "90", "180", "270" turn the mark clockwise; anything else leaves it.
std::unique_ptr<TBitmap> TurnMark(const TBitmap& mark, const std::string& rotation);

// Where the mark's top-left corner goes; may be negative or outside when the
// mark is larger than the picture.
TPoint MarkOffset(TMarkPosition position, int pictureWidth, int pictureHeight, int markWidth, int markHeight);

// Where the mark is not white, each channel moves by `strength` (-255..255),
// saturating; an unticked channel goes to 255 when brightening and to 0 when
// darkening. Strength 0 changes nothing. Mark pixels outside the picture are skipped.
void StampBrightness(TBitmap& picture, const TBitmap& mark, TPoint at, int strength, TChannels channels);

// Each channel := m + round(|p - m| * t / 100) when p > m, else m - that;
// t = 0 stamps the mark opaque, t = 100 leaves the picture.
void StampBlend(TBitmap& picture, const TBitmap& mark, TPoint at, int transparency);

// The preview's height when stretched into a scroll box of that width, or -1
// when it is not to be changed (a control higher than wide, or a box too
// narrow to hold a picture).
int StretchedPreviewHeight(int controlWidth, int controlHeight, int scrollBoxWidth, int bitmapWidth,
                           int bitmapHeight);

// Round half to even of numerator / denominator (denominator > 0).
long long RoundRatio(long long numerator, long long denominator);

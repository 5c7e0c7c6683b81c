#pragma once

// A small JPEG of one colour through the picture class, at quality 90.

#include <string>

#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"

inline std::string SmallJpeg(int width, int height, TColor color)
{
    TBitmap bitmap(width, height, pf24bit);
    bitmap.Fill(color);
    return EncodeJpeg(bitmap, 90);
}

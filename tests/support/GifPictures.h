#pragma once

// Pictures the GIF tests of several folders make: a smooth photo of far more
// than 256 colours, one-colour GIFs, and one with a transparent rectangle.

#include <string>

#include "gif/GIFImage.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"

namespace testsupport {

inline TBitmap& PaintSmoothPhoto(TBitmap& photo)
{
    for (int y = 0; y < photo.Height(); ++y)
        for (int x = 0; x < photo.Width(); ++x)
            photo.SetPixel(x, y, RGB((x * 2) & 0xFF, (y * 3) & 0xFF, (x + y) & 0xFF));
    return photo;
}

// One colour all over.
inline void SaveOneColourGif(const std::string& path, int width, int height, TColor fill)
{
    TBitmap bitmap(width, height, pf24bit);
    bitmap.Fill(fill);
    TGIFImage gif;
    gif.Assign(bitmap);
    gif.SaveToFile(path);
}

// `fill` everywhere but `hole`, which is transparent (an empty hole: none).
inline void SaveHoledGif(const std::string& path, int width, int height, TColor fill, const TRect& hole,
                         TColor key = clFuchsia)
{
    TBitmap bitmap(width, height, pf24bit);
    bitmap.Fill(fill);
    bitmap.Canvas().Brush().SetColor(key);
    bitmap.Canvas().FillRect(hole);
    bitmap.SetTransparent(true);
    bitmap.SetTransparentColor(key);
    TGIFImage gif;
    gif.Assign(bitmap);
    gif.SaveToFile(path);
}

}  // namespace testsupport

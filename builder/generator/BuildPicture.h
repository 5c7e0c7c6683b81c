#pragma once

// The picture work of one build round: loading a list entry as a JPEG
// picture, the shrink to the size limits with its quality search, the
// thumbnail size, the measured size of a picture and the copyright note.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/graphics/TJPEGImage.h"

class TBitmap;

// The road a list entry takes, chosen by the extension literals within its
// last five bytes, tested in this order: ".bmp"/".BMP", ".gif"/".GIF",
// ".wmf"/".WMF"/".emf"/".EMF", ".jpg"/".jpeg"/".JPEG"/".JPG" (case as written;
// ".Jpg" is none of them).
enum class TPictureRoad { Bitmap, Gif, Metafile, Jpeg, Unknown };
TPictureRoad PictureRoadOf(std::string_view path);

// Loads a bitmap, metafile or JPEG entry as a JPEG picture: a bitmap is
// assigned, a metafile drawn into a white bitmap of its size (its last column
// and row stay white, as the metafile is stretched into width - 1, height - 1).
// Raises an Exception for a file that cannot be read or decoded, for an empty
// picture, and for the other roads.
std::unique_ptr<TJPEGImage> LoadPictureAsJpeg(const std::string& path, TPictureRoad road);

struct TPictureSize {
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TPictureSize&, const TPictureSize&) = default;
};

// a / b rounded to the nearest whole number, halves to the even one; b > 0, a >= 0.
std::int64_t RoundRatio(std::int64_t a, std::int64_t b);

// The shrink step of a side: side / 100, halves to the even neighbour.
int ShrinkStep(int side);

// The size a picture above its limits shrinks to: both sides lose their step
// together until both fit. A side that still exceeds its limit loses at least
// one pixel a step, so the loop always ends, and no side drops below 1. Both
// limits must be at least 1.
TPictureSize ShrunkSize(TPictureSize picture, int maxWidth, int maxHeight);

// A percent thumbnail of a W0 x H0 picture: W = W0 * percent / 100 and
// H = W * H0 / W0, each rounded half to even from the exact value; no side
// below 1.
TPictureSize PercentThumbnailSize(TPictureSize picture, int percent);

// The quality search: from 100 down in steps of 5, the picture is compressed
// until its data is no larger than `byteLimit` or the quality 10 has been
// tried. The picture keeps the data and the quality of its last compression.
// `step` runs before each compression with its quality.
void CompressToLimit(TJPEGImage& picture, std::int64_t byteLimit, const std::function<void(int quality)>& step);

// The picture's byte count as saved. A picture whose saving raises is set to
// quality 50, compressed and saved again, then to 25; the quality so set stays.
std::int64_t SavedByteCount(TJPEGImage& picture);

// Draws " " + note + " " at (1, 1), white on black in the canvas's default
// font, into the picture. Only black and white pixels are drawn.
void DrawCopyrightNote(TBitmap& bitmap, const std::string& note);
void DrawCopyrightNote(TJPEGImage& picture, const std::string& note);

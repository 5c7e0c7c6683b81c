#include "builder/generator/BuildPicture.h"

#include <algorithm>

#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"
#include "platform/graphics/TPicture.h"

namespace {

bool TagHolds(const std::string& tag, std::initializer_list<const char*> literals)
{
    return std::any_of(literals.begin(), literals.end(), [&](const char* literal) { return Pos(literal, tag) > 0; });
}

}  // namespace

TPictureRoad PictureRoadOf(std::string_view path)
{
    const std::string tag = Copy(path, static_cast<int>(path.size()) - 4, 5);
    if (TagHolds(tag, {".bmp", ".BMP"}))
        return TPictureRoad::Bitmap;
    if (TagHolds(tag, {".gif", ".GIF"}))
        return TPictureRoad::Gif;
    if (TagHolds(tag, {".wmf", ".WMF", ".emf", ".EMF"}))
        return TPictureRoad::Metafile;
    if (TagHolds(tag, {".jpg", ".jpeg", ".JPEG", ".JPG"}))
        return TPictureRoad::Jpeg;
    return TPictureRoad::Unknown;
}

std::unique_ptr<TJPEGImage> LoadPictureAsJpeg(const std::string& path, TPictureRoad road)
{
    auto picture = std::make_unique<TJPEGImage>();
    switch (road) {
    case TPictureRoad::Bitmap: {
        TBitmap bitmap;
        bitmap.LoadFromFile(path);
        picture->Assign(bitmap);
        break;
    }
    case TPictureRoad::Metafile: {
        // Through the format registry, which holds the metafile classes.
        TPicture metafile;
        metafile.LoadFromFile(path);
        const int width = metafile.Width();
        const int height = metafile.Height();
        if (width < 1 || height < 1)
            throw EInvalidGraphic(path + ": the metafile has no size");
        TBitmap bitmap(width, height);
        bitmap.Canvas().StretchDraw(Rect(0, 0, width - 1, height - 1), *metafile.Graphic());
        picture->Assign(bitmap);
        break;
    }
    case TPictureRoad::Jpeg:
        picture->LoadFromFile(path);
        break;
    case TPictureRoad::Gif:
    case TPictureRoad::Unknown:
        throw EInvalidGraphic(path + ": not a picture of the JPEG road");
    }
    if (picture->Empty())
        throw EInvalidGraphic(path + ": the picture is empty");
    return picture;
}

std::int64_t RoundRatio(std::int64_t a, std::int64_t b)
{
    const std::int64_t quotient = a / b;
    const std::int64_t twice = 2 * (a % b);
    if (twice > b || (twice == b && quotient % 2 != 0))
        return quotient + 1;
    return quotient;
}

int ShrinkStep(int side)
{
    return static_cast<int>(RoundRatio(std::max(side, 0), 100));
}

TPictureSize ShrunkSize(TPictureSize picture, int maxWidth, int maxHeight)
{
    if (maxWidth < 1 || maxHeight < 1)
        throw EConvertError("The size limits must be at least 1 pixel");
    const int stepHeight = ShrinkStep(picture.Height);
    const int stepWidth = ShrinkStep(picture.Width);
    int height = picture.Height;
    int width = picture.Width;
    do {
        // A side of 50 pixels or less has the step 0; while it is too large it
        // still loses a pixel, or the loop would never end.
        const int dh = stepHeight == 0 && height > maxHeight ? 1 : stepHeight;
        const int dw = stepWidth == 0 && width > maxWidth ? 1 : stepWidth;
        height = std::max(1, height - dh);
        width = std::max(1, width - dw);
    } while (height > maxHeight || width > maxWidth);
    return {width, height};
}

TPictureSize PercentThumbnailSize(TPictureSize picture, int percent)
{
    if (picture.Width < 1 || picture.Height < 1 || percent < 0)
        throw EConvertError("A thumbnail needs a picture and a percentage");
    // Exact fractions: the halves that occur (250 pixels at 1 %) go to the even
    // neighbour as the rule says, where binary fractions would tip them.
    const std::int64_t width = RoundRatio(std::int64_t(picture.Width) * percent, 100);
    const std::int64_t height = RoundRatio(width * picture.Height, picture.Width);
    return {static_cast<int>(std::max<std::int64_t>(width, 1)), static_cast<int>(std::max<std::int64_t>(height, 1))};
}

void CompressToLimit(TJPEGImage& picture, std::int64_t byteLimit, const std::function<void(int quality)>& step)
{
    int quality = 100;
    for (;;) {
        if (step)
            step(quality);
        picture.SetCompressionQuality(quality);
        picture.Compress();
        if (static_cast<std::int64_t>(picture.Data().size()) <= byteLimit)
            return;
        quality -= 5;
        if (quality == 5)
            return;
    }
}

std::int64_t SavedByteCount(TJPEGImage& picture)
{
    TMemoryStream stream;
    try {
        picture.SaveToStream(stream);
        return stream.Size();
    } catch (const Exception&) {
    }
    try {
        picture.SetCompressionQuality(50);
        picture.Compress();
        stream.Clear();
        picture.SaveToStream(stream);
        return stream.Size();
    } catch (const Exception&) {
    }
    picture.SetCompressionQuality(25);
    picture.Compress();
    stream.Clear();
    picture.SaveToStream(stream);
    return stream.Size();
}

void DrawCopyrightNote(TBitmap& bitmap, const std::string& note)
{
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush().SetColor(clBlack);
    canvas.Font().SetColor(clWhite);
    canvas.TextOut(1, 1, " " + note + " ");
}

void DrawCopyrightNote(TJPEGImage& picture, const std::string& note)
{
    TBitmap bitmap;
    bitmap.Assign(picture);
    DrawCopyrightNote(bitmap, note);
    picture.Assign(bitmap);
}

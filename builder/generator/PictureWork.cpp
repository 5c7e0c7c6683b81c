#include "builder/generator/PictureWork.h"

#include <algorithm>

#include "builder/generator/GifFrames.h"

#include "gif/GIFFrameBitmap.h"
#include "gif/GIFImage.h"
#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"
#include "shared/veskotools.h"

namespace {

std::string JpegBytes(TJPEGImage& picture)
{
    TMemoryStream stream;
    picture.SaveToStream(stream);
    return std::move(stream.Bytes());
}

std::string GifBytes(TGIFImage& gif)
{
    TMemoryStream stream;
    gif.SaveToStream(stream);
    return std::move(stream.Bytes());
}

TPictureSize ThumbnailSize(const TPictureJob& job, TPictureSize picture)
{
    return job.PercentThumbnails ? PercentThumbnailSize(picture, job.ThumbPercent)
                                 : TPictureSize{job.ThumbWidth, job.ThumbHeight};
}

TPictureSize SizeOf(const TGraphic& picture) { return {picture.Width(), picture.Height()}; }

void DrawCopyrightNoteIfSet(const TPictureJob& job, TJPEGImage& picture)
{
    if (!job.CopyrightNote.empty())
        DrawCopyrightNote(picture, job.CopyrightNote);
}

// The shrink to the limits with its quality search; the outcome keeps what
// the progress window shows of it.
void ShrinkToLimits(const TPictureJob& job, TJPEGImage& picture, TPictureOutcome& outcome)
{
    if (job.MaxHeight >= picture.Height() && job.MaxWidth >= picture.Width())
        return;
    outcome.Shrunk = true;
    // The window shows the picture fitted into its image; a copy of the whole
    // picture would only cost memory.
    const TPictureSize shown = FittedSize(SizeOf(picture), job.PreviewBox.Width, job.PreviewBox.Height);
    outcome.Preview = ResizeBitmap(picture.Bitmap(), shown.Width, shown.Height);
    const TPictureSize size = ShrunkSize(SizeOf(picture), job.MaxWidth, job.MaxHeight);
    picture.Assign(*ResizeBitmap(picture.Bitmap(), size.Width, size.Height));
    CompressToLimit(picture, job.MaxBytes, [&](int quality) { outcome.Qualities.push_back(quality); });
}

void MakeJpegRoadPicture(const TPictureJob& job, TPictureOutcome& outcome)
{
    std::unique_ptr<TJPEGImage> picture;
    try {
        picture = LoadPictureAsJpeg(job.Path, job.Road);
    } catch (const Exception&) {
        return;
    }
    outcome.Loaded = true;
    if (job.Kind == TGalleryKind::Application) {
        if (job.Optimize)
            ShrinkToLimits(job, *picture, outcome);
        DrawCopyrightNoteIfSet(job, *picture);
        outcome.FullBytes = JpegBytes(*picture);
        return;
    }
    if (job.Kind == TGalleryKind::Email) {
        const TPictureSize size = ThumbnailSize(job, SizeOf(*picture));
        picture->Assign(*ResizeBitmap(picture->Bitmap(), size.Width, size.Height));
        outcome.ThumbnailBytes = JpegBytes(*picture);
        outcome.Thumbnail = SizeOf(*picture);
        return;
    }

    const bool web = job.Kind == TGalleryKind::Web;
    if (web && job.Optimize)
        ShrinkToLimits(job, *picture, outcome);
    if (web && job.SizeInfo) {
        const std::int64_t bytes = SavedByteCount(*picture);
        outcome.SizeInfo = TPictureSizeInfo{picture->Height(), picture->Width(), bytes};
    }
    const TPictureSize thumbSize = ThumbnailSize(job, SizeOf(*picture));
    std::unique_ptr<TBitmap> thumbnail = ResizeBitmap(picture->Bitmap(), thumbSize.Width, thumbSize.Height);
    if (web && job.Linked) {
        DrawCopyrightNoteIfSet(job, *picture);
        outcome.FullBytes = JpegBytes(*picture);
    }
    picture->Assign(*thumbnail);
    thumbnail.reset();
    outcome.ThumbnailBytes = JpegBytes(*picture);
    outcome.Thumbnail = SizeOf(*picture);
}

// A colour that no entry of frame 0's colours has, so that it can stand for
// the transparent pixels alone.
TColor TransparentKey(TGIFImage& gif)
{
    TGIFColorMap& map = gif.Images().Items(0)->ActiveColorMap();
    for (int k = 0;; ++k) {
        const TColor key = RGB(k & 0xFF, (k >> 8) + 1, 254);
        bool used = false;
        for (int i = 0; i < map.Count() && !used; ++i) {
            const TGIFColor& c = map.Entry(i);
            used = RGB(c.Red, c.Green, c.Blue) == key;
        }
        if (!used)
            return key;
    }
}

// Frame 0 at the picture's screen size as a 24-bit bitmap to resize. In a
// transparent picture the pixels that frame 0 leaves transparent, and only
// those, show `key`.
std::unique_ptr<TBitmap> GifBitmap(TGIFImage& gif, bool transparent, TColor key)
{
    if (gif.Empty() || gif.Width() == 0 || gif.Height() == 0)
        throw EInvalidGraphic("the GIF picture has nothing to show");
    if (transparent) {
        auto bitmap = std::make_unique<TBitmap>(gif.Width(), gif.Height(), pf24bit);
        bitmap->Fill(key);
        DrawFrame(*gif.Images().Items(0), bitmap->Canvas(), TRect{0, 0, gif.Width(), gif.Height()}, true, false);
        return bitmap;
    }
    // Made for us alone, not kept by the picture: converted in place.
    std::unique_ptr<TBitmap> bitmap = PictureBitmap(gif);
    if (!bitmap || bitmap->Empty())
        throw EInvalidGraphic("the GIF picture has nothing to show");
    bitmap->SetPixelFormat(pf24bit);
    return bitmap;
}

// A transparent picture's bitmap is transparent where it shows the key
// colour, which only its transparent pixels have: the top-left pixel's colour
// would also take away every opaque pixel of that colour.
void AssignGifBitmap(TGIFImage& gif, TBitmap& bitmap, bool transparent, TColor key)
{
    if (transparent) {
        bitmap.SetTransparent(true);
        bitmap.SetTransparentColor(key);
    }
    gif.Assign(bitmap);
    if (transparent)
        gif.SetTransparent(true);
}

// The compress-progress window's picture: frame 0 fitted into the window,
// white where it is transparent.
std::unique_ptr<TBitmap> GifPreview(const TBitmap& bitmap, TPictureSize box, bool transparent, TColor key)
{
    const TPictureSize shown = FittedSize({bitmap.Width(), bitmap.Height()}, box.Width, box.Height);
    std::unique_ptr<TBitmap> preview = ResizeBitmap(bitmap, shown.Width, shown.Height);
    if (transparent)
        for (int y = 0; y < preview->Height(); ++y)
            for (int x = 0; x < preview->Width(); ++x)
                if (preview->Pixel(x, y) == key)
                    preview->SetPixel(x, y, clWhite);
    return preview;
}

// An animated picture keeps its frames through the shrink; a still one is
// resized as a bitmap and assigned back.
void ShrinkGifToLimits(const TPictureJob& job, TGIFImage& gif, std::unique_ptr<TBitmap>& bitmap, bool transparent,
                       TColor key, TPictureOutcome& outcome)
{
    outcome.Shrunk = true;
    outcome.Preview = GifPreview(*bitmap, job.PreviewBox, transparent, key);
    const TPictureSize size = ShrunkSize(SizeOf(gif), job.MaxWidth, job.MaxHeight);
    std::unique_ptr<TBitmap> shrunk = ResizeBitmap(*bitmap, size.Width, size.Height);
    if (gif.Images().Count() > 1)
        ShrinkGifFrames(gif, size);
    else
        AssignGifBitmap(gif, *shrunk, transparent, key);
    bitmap = std::move(shrunk);
}

// A still picture takes the note as a JPEG does, through a bitmap of it that
// keeps its transparency; an animated one takes it in every frame.
bool DrawGifNoteIfSet(const TPictureJob& job, TGIFImage& gif)
{
    if (job.CopyrightNote.empty())
        return false;
    if (gif.Images().Count() > 1) {
        DrawCopyrightNoteIntoFrames(gif, job.CopyrightNote);
        return true;
    }
    const bool transparent = gif.QueryTransparent();
    const TColor key = transparent ? TransparentKey(gif) : clNone;
    std::unique_ptr<TBitmap> bitmap = GifBitmap(gif, transparent, key);
    DrawCopyrightNote(*bitmap, job.CopyrightNote);
    AssignGifBitmap(gif, *bitmap, transparent, key);
    return true;
}

// GIF pictures are never recompressed, and a transparent picture keeps a
// transparent thumbnail. Thumbnails are single pictures of frame 0.
void MakeGifPicture(const TPictureJob& job, TPictureOutcome& outcome)
{
    auto gif = std::make_unique<TGIFImage>();
    std::unique_ptr<TBitmap> bitmap;
    bool transparent = false;
    TColor key = clNone;
    try {
        gif->LoadFromFile(job.Path);
        transparent = gif->QueryTransparent();
        if (transparent)
            key = TransparentKey(*gif);
        bitmap = GifBitmap(*gif, transparent, key);
    } catch (const Exception&) {
        return;
    }
    outcome.Loaded = true;

    if (job.Optimize && job.Kind != TGalleryKind::Email &&
        (job.MaxHeight < gif->Height() || job.MaxWidth < gif->Width()))
        ShrinkGifToLimits(job, *gif, bitmap, transparent, key, outcome);
    if (job.Kind == TGalleryKind::Application) {
        DrawGifNoteIfSet(job, *gif);
        outcome.FullBytes = GifBytes(*gif);
        return;
    }

    const TPictureSize thumbSize = ThumbnailSize(job, TPictureSize{bitmap->Width(), bitmap->Height()});
    std::unique_ptr<TBitmap> thumbnail = ResizeBitmap(*bitmap, thumbSize.Width, thumbSize.Height);
    bitmap.reset();
    const bool web = job.Kind == TGalleryKind::Web;
    std::optional<std::string> bytes;
    if (web && job.SizeInfo) {
        // Measured before the note, as a JPEG's size is.
        bytes = GifBytes(*gif);
        outcome.SizeInfo = TPictureSizeInfo{gif->Height(), gif->Width(), static_cast<std::int64_t>(bytes->size())};
    }
    if (web && job.Linked) {
        if (DrawGifNoteIfSet(job, *gif) || !bytes)
            bytes = GifBytes(*gif);
        outcome.FullBytes = std::move(bytes);
    }
    AssignGifBitmap(*gif, *thumbnail, transparent, key);
    outcome.ThumbnailBytes = GifBytes(*gif);
    outcome.Thumbnail = SizeOf(*gif);
}

}  // namespace

TPictureOutcome::TPictureOutcome() = default;
TPictureOutcome::~TPictureOutcome() = default;
TPictureOutcome::TPictureOutcome(TPictureOutcome&&) noexcept = default;
TPictureOutcome& TPictureOutcome::operator=(TPictureOutcome&&) noexcept = default;

TPictureSize FittedSize(TPictureSize picture, int boxWidth, int boxHeight)
{
    std::int64_t width = std::min(picture.Width, std::max(boxWidth, 1));
    std::int64_t height = std::max<std::int64_t>(1, RoundRatio(width * picture.Height, picture.Width));
    if (height > boxHeight && boxHeight >= 1) {
        height = boxHeight;
        width = std::max<std::int64_t>(1, RoundRatio(height * picture.Width, picture.Height));
    }
    return {static_cast<int>(width), static_cast<int>(height)};
}

TPictureOutcome MakePicture(const TPictureJob& job)
{
    TPictureOutcome outcome;
    outcome.CopyrightNote = job.CopyrightNote;
    try {
        if (job.Road == TPictureRoad::Gif)
            MakeGifPicture(job, outcome);
        else
            MakeJpegRoadPicture(job, outcome);
    } catch (...) {
        outcome.Error = std::current_exception();
    }
    return outcome;
}

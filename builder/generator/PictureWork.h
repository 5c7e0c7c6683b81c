#pragma once

// The picture work of one build round, split from what the round shows and
// writes, so that workers can do it ahead while the main thread keeps the
// round's order.
//
// MakePicture runs on a worker. It takes a TPictureJob, whose every field the
// main thread read from the wizard and its dialogs before handing the picture
// over, and returns a TPictureOutcome: the encoded bytes of the files to write,
// the measured numbers, and what the compress-progress window is to show. It
// touches only value objects of its own: the file it reads, TJPEGImage,
// TBitmap, TPicture with its metafiles, TCanvas text on its own bitmap, and
// TGIFImage. These are safe on a worker because no two threads share one of
// them, and what they share behind the scenes is guarded: the picture format
// registry, the GDI handle table and the font cache lock themselves, each
// FreeType face renders under its own lock, libjpeg keeps its state per
// picture, and the GIF codec's tables are constant.
//
// The main thread then goes through the round with the outcome: the progress,
// the messages, the pages, the compress-progress window with its hand-overs,
// and the files, in the one-by-one run's order. A round whose work raised gets
// the exception again when the main thread comes to it.

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "builder/generator/BuildPicture.h"
#include "builder/pages/GalleryPages.h"

class TBitmap;

enum class TGalleryKind { Web, Email, Thumbnails, Application };

struct TPictureJob {
    std::string Path;
    TPictureRoad Road = TPictureRoad::Unknown;
    TGalleryKind Kind = TGalleryKind::Web;
    bool Linked = false;        // web: the full picture and its page are written
    bool SizeInfo = false;      // web: the cell shows the picture's size
    bool Optimize = false;      // shrink to the limits (the internet optimisation)
    int MaxWidth = 0;
    int MaxHeight = 0;
    std::int64_t MaxBytes = 0;
    TPictureSize PreviewBox;    // the compress-progress window's picture
    bool PercentThumbnails = false;
    int ThumbPercent = 0;
    int ThumbWidth = 0;
    int ThumbHeight = 0;
    std::string CopyrightNote;
};

struct TPictureOutcome {
    bool Loaded = false;  // false: "file format not found"
    // The shrink of a picture: the picture as the progress window shows it
    // and the qualities of a JPEG's search, in order.
    bool Shrunk = false;
    std::unique_ptr<TBitmap> Preview;
    std::vector<int> Qualities;
    std::optional<TPictureSizeInfo> SizeInfo;
    // The full picture (web, linked; EXE and PDF) and the thumbnail as saved.
    std::optional<std::string> FullBytes;
    std::optional<std::string> ThumbnailBytes;
    TPictureSize Thumbnail;  // the saved thumbnail's size
    std::string CopyrightNote;  // the job's, drawn into the full picture
    std::exception_ptr Error;

    TPictureOutcome();
    ~TPictureOutcome();
    TPictureOutcome(TPictureOutcome&&) noexcept;
    TPictureOutcome& operator=(TPictureOutcome&&) noexcept;
};

// The size of a picture scaled down to fit a box, aspect kept, at least 1 x 1.
TPictureSize FittedSize(TPictureSize picture, int boxWidth, int boxHeight);

// Never raises: an error of the work is kept in the outcome.
TPictureOutcome MakePicture(const TPictureJob& job);

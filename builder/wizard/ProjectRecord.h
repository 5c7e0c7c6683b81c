#pragma once

// The gallery project file: one fixed record of 2628 bytes (".vt2"), or the
// older 836-byte record (".vtn") that is its first part. Strings are length
// byte + text of a fixed room; the room's unused tail and every reserved byte
// are 0; numbers are little-endian. This unit knows only bytes and values; the
// wizard fills the values from its controls and applies them back.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/core/Exceptions.h"
#include "platform/graphics/Colors.h"

constexpr std::size_t GalleryProjectRecordSize = 2628;
constexpr std::size_t GalleryProjectRecordV1Size = 836;

// A project file that does not hold a record of its format, or a side file
// that is missing. The message names the file.
class EProjectFileError : public Exception {
public:
    using Exception::Exception;
};

struct TGalleryProjectRecord {
    bool HasPictures = false;  // side files "._tn" and "._tk"
    bool CheckBox1 = true;
    bool WebKind = true;
    std::string GalleryFolder;
    bool PercentSize = false;
    bool FixedSize = true;
    std::string ThumbPercent;
    std::string ThumbHeight;
    std::string ThumbWidth;
    int LinkMode = 0;  // -1: no selection
    std::string GalleryHeading;
    bool ShowPictureInfos = true;
    std::string PicturesPerRow;
    std::string RowsPerPage;
    bool HasTextAboveHeading = false;  // side file ".tx1"
    bool HasTextBelowHeading = false;  // ".tx2"
    bool HasTextBelowGallery = false;  // ".tx3"
    bool TextsOnIndex = true;
    bool TextsOnGalleryPages = true;
    std::string BackgroundPicture;
    int FontIndex = -1;  // -1: none chosen
    std::string HeadingFontSize;
    std::string PictureFontSize;
    std::string TextFontSize;
    TColor TextColor = 0;
    TColor BackgroundColor = 0xFFFFFF;
    // Not in the older record.
    std::string CopyrightNote;
    std::string OptionsText;
    std::string MetaHeadText;
    std::string KindWord;
    std::string WatermarkFlags;
};

// The whole record; texts longer than their room are cut to it, and a colour
// is stored as its red, green and blue bytes (high byte 0).
std::string EncodeProjectRecord(const TGalleryProjectRecord& record);

// `bytes` must be exactly GalleryProjectRecordSize long, or with `older`
// exactly GalleryProjectRecordV1Size, and no length byte may exceed its room;
// else EProjectFileError naming `fileName`. The older record leaves the fields
// it does not hold at their defaults.
TGalleryProjectRecord DecodeProjectRecord(std::string_view bytes, bool older, const std::string& fileName);

// The options text: "DATA:" and twelve fields, each after a "$".
struct TProjectOptions {
    bool OpenInNewWindow = false;
    bool InternetOptimize = false;
    bool LinkToWebpage = false;
    std::string LinkUrl = "http://";
    bool SlideShow = false;
    std::string SlideShowSeconds = "10";
    std::string MaxPictureHeight = "400";
    std::string MaxPictureWidth = "600";
    std::string MaxPictureKB = "150";
    // Absent in older files, whose options end after the size limit.
    std::optional<bool> CommentsInGallery = true;
    std::optional<bool> CommentsOnFullPages = true;
    std::optional<bool> CommentsInEmail = true;
};

std::string ComposeProjectOptions(const TProjectOptions& options);
// None without "DATA:". A flag is on exactly when its field is "1". Fields
// beyond the twelve written belong to the link address, which held a "$".
std::optional<TProjectOptions> ParseProjectOptions(const std::string& text);

// The side files' stem: the project file's path without its extension
// ("trip.2004.vt2" gives "trip.2004"), so that projects whose names differ
// after a "." never share side files.
std::string ProjectSideFileStem(const std::string& fileName);
// The stem older projects were written with: the file name cut before its
// first "." ("trip.2004.vt2" gives "trip"), in the project file's folder.
std::string OlderProjectSideFileStem(const std::string& fileName);

#include "builder/wizard/ProjectRecord.h"

#include <algorithm>
#include <cstdint>

#include "platform/core/Files.h"
#include "shared/veskotools.h"

namespace {

// Characters the options text's field holds.
constexpr std::size_t ProjectOptionsRoom = 255;

// Field offsets of the record.
enum : std::size_t {
    OffHasPictures = 0, OffCheckBox1 = 1, OffWebKind = 2, OffGalleryFolder = 3, OffPercent = 259,
    OffFixed = 260, OffThumbPercent = 261, OffThumbHeight = 265, OffThumbWidth = 276, OffLinkMode = 287,
    OffHeading = 288, OffShowInfos = 544, OffPerRow = 545, OffRows = 549, OffText1 = 553, OffText2 = 554,
    OffText3 = 555, OffTextsOnIndex = 556, OffTextsOnPages = 557, OffBackground = 558, OffFontIndex = 814,
    OffHeadingSize = 815, OffPictureSize = 819, OffTextSize = 823, OffTextColor = 828,
    OffBackgroundColor = 832, OffCopyright = 836, OffOptions = 1092, OffMetaHead = 1348, OffKindWord = 1604,
    OffWatermark = 1860,
};

class TRecordWriter {
public:
    TRecordWriter() : FBytes(GalleryProjectRecordSize, '\0') {}
    void Flag(std::size_t at, bool on) { FBytes[at] = on ? 1 : 0; }
    void Byte(std::size_t at, int value) { FBytes[at] = static_cast<char>(value & 0xFF); }
    void Text(std::size_t at, std::size_t room, std::string_view text)
    {
        const std::size_t length = std::min(text.size(), room);
        FBytes[at] = static_cast<char>(length);
        FBytes.replace(at + 1, length, text.substr(0, length));
    }
    void Colour(std::size_t at, TColor colour)
    {
        const std::uint32_t rgb = static_cast<std::uint32_t>(ColorToRGB(colour)) & 0xFFFFFFu;
        for (int i = 0; i < 4; ++i)
            FBytes[at + i] = static_cast<char>(rgb >> (8 * i) & 0xFF);
    }
    std::string Bytes() && { return std::move(FBytes); }

private:
    std::string FBytes;
};

class TRecordReader {
public:
    TRecordReader(std::string_view bytes, const std::string& fileName) : FBytes(bytes), FFileName(fileName) {}
    bool Flag(std::size_t at) const { return Byte(at) != 0; }
    int Byte(std::size_t at) const { return static_cast<unsigned char>(FBytes[at]); }
    std::string Text(std::size_t at, std::size_t room) const
    {
        const std::size_t length = static_cast<std::size_t>(Byte(at));
        if (length > room)
            throw EProjectFileError("The project file " + FFileName + " is damaged: a text at byte " +
                                    std::to_string(at) + " claims " + std::to_string(length) +
                                    " characters where " + std::to_string(room) + " fit.");
        return std::string(FBytes.substr(at + 1, length));
    }
    TColor Colour(std::size_t at) const
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 3; ++i)
            value |= static_cast<std::uint32_t>(Byte(at + i)) << (8 * i);
        return static_cast<TColor>(value);
    }

private:
    std::string_view FBytes;
    const std::string& FFileName;
};

}  // namespace

std::string EncodeProjectRecord(const TGalleryProjectRecord& r)
{
    TRecordWriter w;
    w.Flag(OffHasPictures, r.HasPictures);
    w.Flag(OffCheckBox1, r.CheckBox1);
    w.Flag(OffWebKind, r.WebKind);
    w.Text(OffGalleryFolder, 255, r.GalleryFolder);
    w.Flag(OffPercent, r.PercentSize);
    w.Flag(OffFixed, r.FixedSize);
    w.Text(OffThumbPercent, 3, r.ThumbPercent);
    w.Text(OffThumbHeight, 10, r.ThumbHeight);
    w.Text(OffThumbWidth, 10, r.ThumbWidth);
    w.Byte(OffLinkMode, r.LinkMode < 0 ? 255 : r.LinkMode);
    w.Text(OffHeading, 255, r.GalleryHeading);
    w.Flag(OffShowInfos, r.ShowPictureInfos);
    w.Text(OffPerRow, 3, r.PicturesPerRow);
    w.Text(OffRows, 3, r.RowsPerPage);
    w.Flag(OffText1, r.HasTextAboveHeading);
    w.Flag(OffText2, r.HasTextBelowHeading);
    w.Flag(OffText3, r.HasTextBelowGallery);
    w.Flag(OffTextsOnIndex, r.TextsOnIndex);
    w.Flag(OffTextsOnPages, r.TextsOnGalleryPages);
    w.Text(OffBackground, 255, r.BackgroundPicture);
    w.Byte(OffFontIndex, r.FontIndex < 0 ? 255 : r.FontIndex);
    w.Text(OffHeadingSize, 3, r.HeadingFontSize);
    w.Text(OffPictureSize, 3, r.PictureFontSize);
    w.Text(OffTextSize, 3, r.TextFontSize);
    w.Colour(OffTextColor, r.TextColor);
    w.Colour(OffBackgroundColor, r.BackgroundColor);
    w.Text(OffCopyright, 255, r.CopyrightNote);
    w.Text(OffOptions, ProjectOptionsRoom, r.OptionsText);
    w.Text(OffMetaHead, 255, r.MetaHeadText);
    w.Text(OffKindWord, 255, r.KindWord);
    w.Text(OffWatermark, 255, r.WatermarkFlags);
    return std::move(w).Bytes();
}

TGalleryProjectRecord DecodeProjectRecord(std::string_view bytes, bool older, const std::string& fileName)
{
    const std::size_t size = older ? GalleryProjectRecordV1Size : GalleryProjectRecordSize;
    if (bytes.size() != size)
        throw EProjectFileError("The project file " + fileName + " is no project of its kind, which holds exactly " +
                                std::to_string(size) + " bytes.");
    const TRecordReader in(bytes, fileName);
    TGalleryProjectRecord r;
    r.HasPictures = in.Flag(OffHasPictures);
    r.CheckBox1 = in.Flag(OffCheckBox1);
    r.WebKind = in.Flag(OffWebKind);
    r.GalleryFolder = in.Text(OffGalleryFolder, 255);
    r.PercentSize = in.Flag(OffPercent);
    r.FixedSize = in.Flag(OffFixed);
    r.ThumbPercent = in.Text(OffThumbPercent, 3);
    r.ThumbHeight = in.Text(OffThumbHeight, 10);
    r.ThumbWidth = in.Text(OffThumbWidth, 10);
    r.LinkMode = in.Byte(OffLinkMode) == 255 ? -1 : in.Byte(OffLinkMode);
    r.GalleryHeading = in.Text(OffHeading, 255);
    r.ShowPictureInfos = in.Flag(OffShowInfos);
    r.PicturesPerRow = in.Text(OffPerRow, 3);
    r.RowsPerPage = in.Text(OffRows, 3);
    r.HasTextAboveHeading = in.Flag(OffText1);
    r.HasTextBelowHeading = in.Flag(OffText2);
    r.HasTextBelowGallery = in.Flag(OffText3);
    r.TextsOnIndex = in.Flag(OffTextsOnIndex);
    r.TextsOnGalleryPages = in.Flag(OffTextsOnPages);
    r.BackgroundPicture = in.Text(OffBackground, 255);
    r.FontIndex = in.Byte(OffFontIndex) == 255 ? -1 : in.Byte(OffFontIndex);
    r.HeadingFontSize = in.Text(OffHeadingSize, 3);
    r.PictureFontSize = in.Text(OffPictureSize, 3);
    r.TextFontSize = in.Text(OffTextSize, 3);
    r.TextColor = in.Colour(OffTextColor);
    r.BackgroundColor = in.Colour(OffBackgroundColor);
    if (older)
        return r;
    r.CopyrightNote = in.Text(OffCopyright, 255);
    r.OptionsText = in.Text(OffOptions, ProjectOptionsRoom);
    r.MetaHeadText = in.Text(OffMetaHead, 255);
    r.KindWord = in.Text(OffKindWord, 255);
    r.WatermarkFlags = in.Text(OffWatermark, 255);
    return r;
}

std::string ComposeProjectOptions(const TProjectOptions& o)
{
    const auto flag = [](bool on) { return std::string(on ? "$1" : "$0"); };
    const auto text = [](const std::string& t) { return "$" + t; };
    const std::string before = "DATA:" + flag(o.OpenInNewWindow) + flag(o.InternetOptimize) + flag(o.LinkToWebpage);
    const std::string after = flag(o.SlideShow) + text(o.SlideShowSeconds) + text(o.MaxPictureHeight) +
                              text(o.MaxPictureWidth) + text(o.MaxPictureKB) +
                              flag(o.CommentsInGallery.value_or(true)) + flag(o.CommentsOnFullPages.value_or(true)) +
                              flag(o.CommentsInEmail.value_or(true));
    // The record's field holds 255 characters: a long address is cut, not
    // the options after it.
    const std::size_t fixed = before.size() + 1 + after.size();
    const std::size_t room = fixed < ProjectOptionsRoom ? ProjectOptionsRoom - fixed : 0;
    return before + text(o.LinkUrl.substr(0, room)) + after;
}

namespace {

constexpr std::size_t ProjectOptionFields = 12;
constexpr std::size_t LinkUrlField = 4;
// Stands for a "$" of the link address while the fields are split.
constexpr char UrlDollar = '\x01';

// The options text with the "$" signs of a link address that holds some
// (more fields than are written) replaced by UrlDollar.
std::string WithUrlDollarsHidden(std::string text)
{
    const auto fields = static_cast<std::size_t>(std::count(text.begin(), text.end(), '$'));
    if (fields <= ProjectOptionFields)
        return text;
    std::size_t at = 0;
    for (std::size_t i = 0; i < LinkUrlField; ++i)
        at = text.find('$', at) + 1;
    for (std::size_t i = 0; i < fields - ProjectOptionFields; ++i) {
        at = text.find('$', at);
        text[at] = UrlDollar;
    }
    return text;
}

}  // namespace

std::optional<TProjectOptions> ParseProjectOptions(const std::string& text)
{
    const std::size_t data = text.find("DATA:");
    if (data == std::string::npos)
        return std::nullopt;
    std::string rest = WithUrlDollarsHidden(text.substr(data + 5));
    std::string field;
    // The part before the first "$" is no field.
    SplitAtChar('$', rest, field, rest);
    const auto next = [&] {
        SplitAtChar('$', rest, field, rest);
        return field;
    };
    TProjectOptions o;
    o.OpenInNewWindow = next() == "1";
    o.InternetOptimize = next() == "1";
    o.LinkToWebpage = next() == "1";
    o.LinkUrl = next();
    std::replace(o.LinkUrl.begin(), o.LinkUrl.end(), UrlDollar, '$');
    o.SlideShow = next() == "1";
    o.SlideShowSeconds = next();
    o.MaxPictureHeight = next();
    o.MaxPictureWidth = next();
    o.CommentsInGallery.reset();
    o.CommentsOnFullPages.reset();
    o.CommentsInEmail.reset();
    if (rest.find('$') == std::string::npos) {
        o.MaxPictureKB = rest;
        return o;
    }
    o.MaxPictureKB = next();
    if (rest.find('$') == std::string::npos)
        return o;
    o.CommentsInGallery = next() == "1";
    if (rest.find('$') != std::string::npos) {
        o.CommentsOnFullPages = next() == "1";
        o.CommentsInEmail = rest == "1";
    } else {
        o.CommentsOnFullPages = rest == "1";
    }
    return o;
}

std::string ProjectSideFileStem(const std::string& fileName)
{
    const std::string name = ExtractFileName(fileName);
    return ExtractFilePath(fileName) + name.substr(0, name.rfind('.'));
}

std::string OlderProjectSideFileStem(const std::string& fileName)
{
    const std::string name = ExtractFileName(fileName);
    return ExtractFilePath(fileName) + name.substr(0, name.find('.'));
}

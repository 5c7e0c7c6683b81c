#pragma once

// The outputs of the three gallery kinds that leave the gallery folder: the
// data block of an EXE gallery (the viewer's program file followed by the
// pictures), the PDF converter's work files and argument line, and the e-mail
// page. Everything here is a pure text function except WriteExeGallery.
// Texts are CP1252 byte strings.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "builder/pages/GalleryPageSettings.h"

namespace GalleryBlockTags {
inline constexpr std::string_view Pictures = "<PICTURES>";
inline constexpr std::string_view NotesEnd = " <LICENCENOTES>";
inline constexpr std::string_view PictureEnd = "<PEND>";
inline constexpr std::string_view FormatEnd = "<FORMAT>";
inline constexpr std::string_view CommentEnd = "<KOMM>";
}  // namespace GalleryBlockTags

// Raises Exception before anything is built when a text would cut the block
// where the viewer does not expect it: notes holding " <LICENCENOTES>", or a
// comment holding "<KOMM>" or "<PEND>". The message names the picture (its
// number from 1 and its list entry). `pictureNames` may be shorter than
// `comments`; the number alone is named then.
void CheckDataBlockTexts(std::string_view notes, std::span<const std::string> comments,
                         std::span<const std::string> pictureNames);

// DataBlock: the viewer's bytes, then "<PICTURES>" + notes + " <LICENCENOTES>",
// then per picture its bytes + "<PEND>JPG<FORMAT>" (or GIF) + comment + "<KOMM>".
class TGalleryDataBlock {
public:
    TGalleryDataBlock(std::string_view viewerProgram, std::string_view notes);

    void AddPicture(std::string_view pictureBytes, bool gif, std::string_view comment);

    const std::string& Bytes() const { return FBytes; }
    int PictureCount() const { return FPictureCount; }

private:
    std::string FBytes;
    int FPictureCount = 0;
};

// The save target: the chosen name when it contains ".exe" anywhere (case
// matters), else the name + ".exe".
std::string ExeGalleryTarget(const std::string& chosenName);
// Replaces the target whole and gives it the execute permission, without
// which the gallery would not start.
void WriteExeGallery(const std::string& target, std::string_view bytes);
std::string ExeGalleryCompleteMessage(const std::string& target);

// PDF work files: picture N as N + ".jpg"/".gif"; the lists with CR LF after
// every line.
std::string PdfPictureFileName(int pictureNumber, bool gif);
std::string PdfListText(std::span<const std::string> lines);
// "-" for an empty text, else the text (the wizard shows the result).
std::string PdfTextOrDash(const std::string& text);
// "1"/"0" + " " + title + " " + author + " " + date, blanks inside each text
// as "~"; empty texts must already be "-".
std::string PdfArgumentLine(bool commentsInGallery, const std::string& title, const std::string& author,
                            const std::string& date);

// The e-mail page, assembled picture by picture with its own column count.
class TMailPage {
public:
    // The gallery-page texts T1..T3 come from GalleryTexts(settings).
    TMailPage(const TGalleryPageSettings& settings, int picturesPerRow, bool commentsInEmail);

    void AddPicture(int pictureNumber, bool gif, const std::string& comment);
    // Fills the last row and closes the page; the result has no final line end.
    std::string Finish() const;

    const std::string& Text() const { return FText; }

private:
    std::string FText;
    std::string FBelowGallery;
    int FPicturesPerRow;
    bool FCommentsInEmail;
    int FColumn = 0;
};

// "th_" + N + ".jpg" or ".gif": the thumbnail's file name and its "cid:" name.
std::string MailThumbnailName(int pictureNumber, bool gif);

#include "builder/build/GalleryDataBlock.h"

#include "builder/pages/ColorToHtml.h"
#include "builder/pages/GalleryPages.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

namespace {

constexpr std::string_view CRLF = "\r\n";

std::string PictureLabel(std::size_t index, std::span<const std::string> pictureNames)
{
    std::string label = "picture " + std::to_string(index + 1);
    if (index < pictureNames.size())
        label += " (" + pictureNames[index] + ")";
    return label;
}

}  // namespace

void CheckDataBlockTexts(std::string_view notes, std::span<const std::string> comments,
                         std::span<const std::string> pictureNames)
{
    using namespace GalleryBlockTags;
    if (notes.find(NotesEnd) != std::string_view::npos)
        throw Exception("The notes may not contain the text \"" + std::string(NotesEnd) +
                        "\": the EXE gallery could not be read back.");
    for (std::size_t i = 0; i < comments.size(); ++i) {
        for (std::string_view tag : {CommentEnd, PictureEnd}) {
            if (comments[i].find(tag) != std::string::npos)
                throw Exception("The comment of " + PictureLabel(i, pictureNames) + " may not contain the text \"" +
                                std::string(tag) + "\": the EXE gallery could not be read back.");
        }
    }
}

TGalleryDataBlock::TGalleryDataBlock(std::string_view viewerProgram, std::string_view notes)
{
    using namespace GalleryBlockTags;
    FBytes.reserve(viewerProgram.size() + Pictures.size() + notes.size() + NotesEnd.size());
    FBytes.append(viewerProgram).append(Pictures).append(notes).append(NotesEnd);
}

void TGalleryDataBlock::AddPicture(std::string_view pictureBytes, bool gif, std::string_view comment)
{
    using namespace GalleryBlockTags;
    FBytes.append(pictureBytes);
    FBytes.append(gif ? "<PEND>GIF<FORMAT>" : "<PEND>JPG<FORMAT>");
    FBytes.append(comment).append(CommentEnd);
    ++FPictureCount;
}

std::string ExeGalleryTarget(const std::string& chosenName)
{
    if (chosenName.find(".exe") != std::string::npos)
        return chosenName;
    return chosenName + ".exe";
}

void WriteExeGallery(const std::string& target, std::string_view bytes)
{
    WriteFileBytes(target, bytes);
    MakeExecutable(target);
}

std::string ExeGalleryCompleteMessage(const std::string& target)
{
    return "Complete! To run the application choose: " + target + "!";
}

std::string PdfPictureFileName(int pictureNumber, bool gif)
{
    return std::to_string(pictureNumber) + (gif ? ".gif" : ".jpg");
}

std::string PdfListText(std::span<const std::string> lines)
{
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append(CRLF);
    return text;
}

std::string PdfTextOrDash(const std::string& text)
{
    return text.empty() ? "-" : text;
}

std::string PdfArgumentLine(bool commentsInGallery, const std::string& title, const std::string& author,
                            const std::string& date)
{
    auto tilde = [](std::string text) {
        for (char& c : text)
            if (c == ' ')
                c = '~';
        return text;
    };
    return std::string(commentsInGallery ? "1" : "0") + " " + tilde(title) + " " + tilde(author) + " " + tilde(date);
}

TMailPage::TMailPage(const TGalleryPageSettings& settings, int picturesPerRow, bool commentsInEmail)
    : FPicturesPerRow(picturesPerRow), FCommentsInEmail(commentsInEmail)
{
    const TPageTexts texts = GalleryTexts(settings);
    FBelowGallery = texts.BelowGallery;
    const std::string hb = ColorToHtml(settings.BackgroundColor);
    const std::string ht = ColorToHtml(settings.TextColor);
    FText = "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n<html>\r\n";
    FText += settings.MetaHeadText;
    FText += CRLF;
    FText += StyleSheetText(settings);
    // No background picture in a mail: its attribute's place stays as a second blank.
    FText += "<body  bgcolor=" + hb + " text=" + ht + " alink=" + ht + " vlink=" + ht + " link=" + ht + ">\r\n";
    FText += "<center>\r\n<font class=tx>" + texts.AboveHeading + "</font>\r\n<p>\r\n<font class=ub>\r\n<b>";
    FText += settings.GalleryHeading;
    FText += "</b>\r\n<p>\r\n<font class=tx>" + texts.BelowHeading + "</font>\r\n</font>\r\n<p>\r\n<table><tr>";
}

void TMailPage::AddPicture(int pictureNumber, bool gif, const std::string& comment)
{
    ++FColumn;
    if (FColumn > FPicturesPerRow) {
        FText += "</tr><tr><td>";
        FColumn = 1;
    } else {
        FText += "<td>";
    }
    FText += "<img src=cid:" + MailThumbnailName(pictureNumber, gif) + ">";
    if (FCommentsInEmail)
        FText += "<p><center><font class=pi>" + comment + "&#160;</font></center><p>";
    FText += "</td>\r\n";
}

std::string TMailPage::Finish() const
{
    std::string text = FText;
    for (int i = FColumn; i < FPicturesPerRow; ++i)
        text += "<td></td>";
    text += "</tr></table><p><center><font class=tx>" + FBelowGallery + "</font></center></body></html>";
    return text;
}

std::string MailThumbnailName(int pictureNumber, bool gif)
{
    return "th_" + std::to_string(pictureNumber) + (gif ? ".gif" : ".jpg");
}

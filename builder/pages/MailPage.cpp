#include "builder/pages/MailPage.h"

#include "builder/pages/ColorToHtml.h"
#include "builder/pages/GalleryPages.h"

namespace {

constexpr std::string_view CRLF = "\r\n";

}  // namespace

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

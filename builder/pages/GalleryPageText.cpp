// The pieces of the numbered gallery pages and their thumbnail cells.

#include "builder/pages/GalleryPages.h"

#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"

namespace {

constexpr std::string_view CRLF = "\r\n";

std::string CallOrEmpty(const std::function<std::string(int)>& insert, int value)
{
    return insert ? insert(value) : std::string();
}

// Everything from the end of the grid to the closing tags, around `navigation`
// (the text between the Index word and the line end).
std::string PageEnd(const TGalleryPageSettings& settings, int pageNumber, const std::string& navigation)
{
    std::string text = "</td>\r\n\r\n</tr>\r\n</table>\r\n<p>\r\n<font class=tx>\r\n<a href=start.html>";
    text += settings.NavIndexText;
    text += navigation;
    text += "<p>\r\n" + GalleryTexts(settings).BelowGallery + "\r\n</font>\r\n";
    text += CallOrEmpty(settings.Php.GalleryPageEnd, pageNumber);
    text += "</center></body></html>";
    return text;
}

std::string BackLink(const TGalleryPageSettings& settings, int pageNumber)
{
    return "</a>&#160;|&#160;<a href=" + GalleryPageName(settings, pageNumber) + ">" + settings.NavBackText;
}

std::string NextLink(const TGalleryPageSettings& settings, int pageNumber)
{
    return "</a>&#160;|&#160;<a href=" + GalleryPageName(settings, pageNumber) + ">" + settings.NavNextText;
}

std::string CommentText(const TGalleryPageSettings& settings, const TThumbnailCell& cell)
{
    if (!settings.CommentsInGallery)
        return {};
    return "\r\n<font class=pi>" + cell.Comment + (cell.Gif ? "</font><br>" : "&#160;</font><br>");
}

std::string SizeInfoText(const TPictureSizeInfo& info)
{
    return "\r\n<font class=pi>" + IntToStr(info.Height) + " X " + IntToStr(info.Width) + " Pixel\r\n<br>\r\n" +
           IntToStr(info.ByteCount) + " Byte\r\n</font>\r\n";
}

// A gallery page up to its PHP functions; only the first page has the meta
// head text, and unlike the index page no line end between it and the style sheet.
std::string GalleryPageStart(const TGalleryPageSettings& settings, bool metaHead)
{
    std::string text = settings.Php.PageStart + "<html>\r\n" + (metaHead ? settings.MetaHeadText : std::string()) +
                       StyleSheetText(settings) + BodyTag(settings);
    text += CRLF;
    text += settings.Php.Functions;
    return text;
}

}  // namespace

std::string FirstPageHead(const TGalleryPageSettings& settings)
{
    const TPageTexts texts = GalleryTexts(settings);
    std::string text = GalleryPageStart(settings, true);
    text += "\r\n<center>\r\n<font class=ub>\r\n<font class=tx>" + texts.AboveHeading + "</font>\r\n<p>\r\n";
    text += "<b>" + settings.GalleryHeading + "</b>\r\n</font>\r\n<p>\r\n";
    text += "<font class=tx>" + texts.BelowHeading + "</font>\r\n<p>\r\n<table>\r\n<tr>";
    return text;
}

std::string LaterPageHead(const TGalleryPageSettings& settings)
{
    const TPageTexts texts = GalleryTexts(settings);
    std::string text = GalleryPageStart(settings, false);
    text += "\r\n<center><font class=ub>\r\n<font class=tx>" + texts.AboveHeading + "</font>\r\n";
    text += "<p><b>" + settings.GalleryHeading + "</b>\r\n<p>\r\n";
    text += "<font class=tx>" + texts.BelowHeading + "</font>\r\n</font>\r\n<p>\r\n<table>\r\n<tr>\r\n\r\n<td>\r\n";
    return text;
}

std::string_view FirstCellPrefix()
{
    return "\r\n\r\n<td valign=top>\r\n";
}

std::string_view NextCellPrefix()
{
    return "</td>\r\n\r\n<td valign=top>\r\n";
}

std::string_view RowWrapPrefix()
{
    return "</td>\r\n\r\n</tr>\r\n<tr>\r\n\r\n<td valign=top>\r\n";
}

std::string PageCloseText(const TGalleryPageSettings& settings, int pagesBefore)
{
    std::string navigation;
    if (pagesBefore > 0)
        navigation = BackLink(settings, pagesBefore);
    navigation += NextLink(settings, pagesBefore + 2);
    navigation += "</a>\r\n";
    return PageEnd(settings, pagesBefore + 1, navigation);
}

std::string LastPageCloseText(const TGalleryPageSettings& settings, int pagesBefore)
{
    // The only page has no Back link and no line end before its paragraph.
    const std::string navigation = pagesBefore > 0 ? BackLink(settings, pagesBefore) + "</a>\r\n" : "</a>";
    return PageEnd(settings, pagesBefore + 1, navigation);
}

bool CellShowsSizeInfo(const TGalleryPageSettings& settings)
{
    return settings.ShowPictureInfos && settings.LinkMode == TLinkMode::FullPicture;
}

std::string ThumbnailCellText(const TGalleryPageSettings& settings, const TThumbnailCell& cell)
{
    const std::string thumbnail = "th_" + IntToStr(cell.Number) + (cell.Gif ? ".gif" : ".jpg");
    std::string comment = CommentText(settings, cell);
    if (settings.LinkMode != TLinkMode::FullPicture)
        return "<img src=" + thumbnail + " border=0>\r\n" + comment + "\r\n";

    const bool sizeInfo = CellShowsSizeInfo(settings);
    if (sizeInfo) {
        if (!cell.SizeInfo)
            throw Exception("The thumbnail cell of picture " + IntToStr(cell.Number) + " needs its size infos");
        comment += SizeInfoText(*cell.SizeInfo);
    }
    const std::string bar = settings.Php.CellBar ? settings.Php.CellBar(cell.Number, cell.Gif) : std::string();
    const std::string link = "<center><a href=" + FullPicturePageName(settings, cell.Number);
    if (cell.Gif) {
        return link + " " + settings.NewWindowTarget + "><img src=" + thumbnail + " border=0></a><br>\r\n" +
               comment + bar + "</center>" + (sizeInfo ? "" : "\r\n");
    }
    return link + (sizeInfo ? "" : " ") + settings.NewWindowTarget + "><img src=" + thumbnail +
           " border=1 ></a><br>\r\n" + comment + bar + "</center>\r\n";
}

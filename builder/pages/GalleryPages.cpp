#include "builder/pages/GalleryPages.h"

#include <algorithm>

#include "builder/pages/ColorToHtml.h"
#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"

namespace {

constexpr std::string_view CRLF = "\r\n";

std::string Wrapped(bool on, const std::string& text)
{
    if (!on)
        return {};
    std::string result;
    result.reserve(text.size() + 4);
    result += CRLF;
    result += text;
    result += CRLF;
    return result;
}

TPageTexts TextsFor(bool on, const TGalleryPageSettings& settings)
{
    return {Wrapped(on, settings.TextAboveHeading), Wrapped(on, settings.TextBelowHeading),
            Wrapped(on, settings.TextBelowGallery)};
}

std::string ThumbnailFileName(int pictureNumber, bool gif)
{
    return "th_" + IntToStr(pictureNumber) + (gif ? ".gif" : ".jpg");
}

// The common head of both frame menus.
std::string FrameMenuHead(const TGalleryPageSettings& settings)
{
    std::string text = "<html>\r\n";
    text += settings.MetaHeadText;
    text += CRLF;
    text += StyleSheetText(settings);
    text += BodyTag(settings);
    text += CRLF;
    text += "<center>\r\n<font class=tx>";
    return text;
}

std::string FrameMenuLink(const TGalleryPageSettings& settings, int pictureNumber, const std::string& path)
{
    return "<a href=" + FullPicturePageName(settings, pictureNumber) + " target=fc><img src=" +
           ThumbnailFileName(pictureNumber, IsGifPicture(path)) + " border=0></a>";
}

void CheckLayout(int picturesPerRow, int rowsPerPage)
{
    if (picturesPerRow < 1)
        throw EConvertError("Pictures per row must be at least 1, not " + IntToStr(picturesPerRow));
    if (rowsPerPage < 1)
        throw EConvertError("Rows per page must be at least 1, not " + IntToStr(rowsPerPage));
}

}  // namespace

void SetRunTexts(TGalleryPageSettings& settings, bool phpGallery, bool linkToWebpage,
                 const std::string& linkUrl, bool hasBackgroundPicture)
{
    settings.PageExtension = phpGallery ? "php" : "html";
    settings.NewWindowTarget = settings.OpenInNewWindow ? " target=_blank" : "";
    settings.WebLinkOpen = linkToWebpage ? "<a href=" + linkUrl + " target=_blank>" : "";
    settings.WebLinkClose = linkToWebpage ? "</a>" : "";
    settings.BackgroundAttribute = hasBackgroundPicture ? "background=background.jpg " : "";
}

bool IsGifPicture(std::string_view path)
{
    // The same five bytes the picture loader looks at; a shorter path is taken whole.
    const std::string tag = Copy(path, static_cast<int>(path.size()) - 4, 5);
    return Pos(".gif", tag) > 0 || Pos(".GIF", tag) > 0;
}

std::string GalleryPageName(const TGalleryPageSettings& settings, std::int64_t pageNumber)
{
    return "page" + IntToStr(pageNumber) + "." + settings.PageExtension;
}

std::string FullPicturePageName(const TGalleryPageSettings& settings, int pictureNumber)
{
    return "th_" + IntToStr(pictureNumber) + "_big." + settings.PageExtension;
}

TGalleryPageSettings PhpPageSettings(const TGalleryPageSettings& settings)
{
    if (!settings.Php.OwnerText)
        return settings;
    TGalleryPageSettings page = settings;
    for (std::string* text :
         {&page.FontName, &page.HeadingFontSize, &page.PictureFontSize, &page.TextFontSize, &page.MetaHeadText,
          &page.GalleryHeading, &page.TextAboveHeading, &page.TextBelowHeading, &page.TextBelowGallery,
          &page.WebLinkOpen, &page.SlideShowSeconds, &page.NavIndexText, &page.NavGalleryText, &page.NavNextText,
          &page.NavBackText, &page.NavPicturesText})
        *text = settings.Php.OwnerText(*text);
    return page;
}

std::string PhpPageText(const TGalleryPageSettings& settings, const std::string& text)
{
    return settings.Php.OwnerText ? settings.Php.OwnerText(text) : text;
}

std::string StyleSheetText(const TGalleryPageSettings& settings)
{
    const std::string& font = settings.FontName.empty() ? std::string("Verdana") : settings.FontName;
    std::string text = "<style type=\"text/css\">\r\n";
    text += ".ub {font-family:" + font + ";font-size:" + settings.HeadingFontSize + "}\r\n";
    text += ".pi {font-family:" + font + ";font-size:" + settings.PictureFontSize + "}\r\n";
    text += ".tx {font-family:" + font + ";font-size:" + settings.TextFontSize + "}\r\n";
    text += "</style>\r\n";
    return text;
}

std::string BodyTag(const TGalleryPageSettings& settings)
{
    const std::string background = ColorToHtml(settings.BackgroundColor);
    const std::string textColor = ColorToHtml(settings.TextColor);
    return "<body " + settings.BackgroundAttribute + " bgcolor=" + background + " text=" + textColor +
           " alink=" + textColor + " vlink=" + textColor + " link=" + textColor + ">";
}

TPageTexts IndexTexts(const TGalleryPageSettings& settings)
{
    return TextsFor(settings.TextsOnIndex, settings);
}

TPageTexts GalleryTexts(const TGalleryPageSettings& settings)
{
    return TextsFor(settings.TextsOnGalleryPages, settings);
}

TPageTexts FullPageTexts(const TGalleryPageSettings& settings)
{
    return TextsFor(settings.TextsOnFullPages, settings);
}

std::int64_t IndexPageCount(int pictureCount, int picturesPerRow, int rowsPerPage)
{
    CheckLayout(picturesPerRow, rowsPerPage);
    const std::int64_t perPage = std::int64_t(picturesPerRow) * rowsPerPage;
    const std::int64_t count = pictureCount < 0 ? 0 : pictureCount;
    return count / perPage + (count % perPage > 0 ? 1 : 0);
}

std::string IndexHeadText(const TGalleryPageSettings& settings)
{
    const TPageTexts texts = IndexTexts(settings);
    std::string text = "<html>\r\n";
    text += settings.MetaHeadText;
    text += CRLF;
    text += StyleSheetText(settings);
    text += BodyTag(settings);
    text += "\r\n<center>\r\n<font class=tx>" + texts.AboveHeading + "</font>\r\n<p>\r\n";
    text += "<font class=ub>\r\n<b>" + settings.GalleryHeading + "</b>\r\n<p>\r\n";
    text += "<font class=tx>" + texts.BelowHeading + "</font>\r\n</font>\r\n<p>\r\n<table>";
    return text;
}

std::string IndexPageText(const TGalleryPageSettings& settings, int picturesPerRow, int rowsPerPage,
                          int pictureCount)
{
    const std::int64_t pages = IndexPageCount(pictureCount, picturesPerRow, rowsPerPage);
    const std::int64_t perPage = std::int64_t(picturesPerRow) * rowsPerPage;
    std::string text = IndexHeadText(settings);
    for (std::int64_t page = 1; page <= pages; ++page) {
        const std::int64_t from = perPage * (page - 1) + 1;
        const std::int64_t to = page == pages ? pictureCount : perPage * page;
        text += "<tr>\r\n<td>\r\n<font class=tx><a href=" + GalleryPageName(settings, page) + ">" +
                settings.NavPicturesText + ": " + IntToStr(from) + " - " + IntToStr(to) +
                "</a></font>\r\n</td>\r\n</tr>";
    }
    text += "</table>\r\n<font class=tx><p>" + settings.Php.ChartLinks + "<p>" +
            IndexTexts(settings).BelowGallery + "</font>\r\n</center>\r\n</body>\r\n</html>";
    return text;
}

std::string FrameMenuText(const TGalleryPageSettings& settings, std::span<const std::string> picturePaths,
                          std::span<const int> skipped)
{
    std::string text = FrameMenuHead(settings);
    for (std::size_t n = 0; n < picturePaths.size(); ++n)
        if (!std::binary_search(skipped.begin(), skipped.end(), static_cast<int>(n)))
            text += FrameMenuLink(settings, static_cast<int>(n), picturePaths[n]) + "<p>";
    text += "</body></html>";
    return text;
}

std::string FrameMenuRowText(const TGalleryPageSettings& settings, std::span<const std::string> picturePaths,
                             std::span<const int> skipped)
{
    std::string text = FrameMenuHead(settings);
    text += "<div id=b1 style=\"position:absolute;left:10px;top:10px;z-index:0\"><table bgcolor=" +
            ColorToHtml(settings.BackgroundColor) + "><tr>";
    for (std::size_t n = 0; n < picturePaths.size(); ++n)
        if (!std::binary_search(skipped.begin(), skipped.end(), static_cast<int>(n)))
            text += "<td>" + FrameMenuLink(settings, static_cast<int>(n), picturePaths[n]) + "</td>";
    text += "</tr></table></div></body></html>";
    return text;
}

std::vector<TPageFile> indexprint(const TGalleryPageSettings& settings, int picturesPerRow, int rowsPerPage,
                                  std::span<const std::string> picturePaths)
{
    // Checked before anything is assembled, so a bad layout writes nothing.
    CheckLayout(picturesPerRow, rowsPerPage);
    std::vector<TPageFile> files;
    files.push_back({"frame_menu.html", FrameMenuText(settings, picturePaths), true});
    files.push_back({"frame_menu_h.html", FrameMenuRowText(settings, picturePaths), true});
    if (settings.Php.ChartPages) {
        for (TPageFile& chart : settings.Php.ChartPages(IndexHeadText(PhpPageSettings(settings))))
            files.push_back(std::move(chart));
    }
    files.push_back({"start.html",
                     IndexPageText(settings, picturesPerRow, rowsPerPage, static_cast<int>(picturePaths.size())),
                     false});
    return files;
}

std::vector<TPageFile> CreateFrameSet(const TGalleryPageSettings& settings, int maxThumbWidth,
                                      int maxThumbHeight, std::optional<int> firstPicture)
{
    const std::string columns = IntToStr(std::int64_t(maxThumbWidth) + 50);
    const std::string rows = IntToStr(std::int64_t(maxThumbHeight) + 50);
    const std::string menu = "<frame src=frame_menu.html name=fm scrolling=yes>";
    const std::string menuRow = "<frame src=frame_menu_h.html name=fm scrolling=yes>";
    const std::string shown = firstPicture ? FullPicturePageName(settings, *firstPicture) : "start.html";
    const std::string main = "<frame src=" + shown + " name=fc scrolling=yes>";
    const std::string end = "</frameset></html>";
    return {
        {"frame1.html", "<html><frameset cols=" + columns + ",* border=0>" + menu + main + end, true},
        {"frame2.html", "<html><frameset cols=*," + columns + " border=0>" + main + menu + end, true},
        {"frame3.html", "<html><frameset rows=" + rows + ",* border=0>" + menuRow + main + end, true},
        {"frame4.html", "<html><frameset rows=*," + rows + " border=0>" + main + menuRow + end, true},
    };
}

// The full-picture page "th_N_big.EXT" of one picture.

#include "builder/pages/GalleryPages.h"

#include <algorithm>
#include <optional>

#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"

namespace {

std::string NavigationLink(const std::string& target, const std::string& word)
{
    return "<font class=tx><a href=" + target + ">" + word + "</a></font>&#160;";
}

bool Written(const TFullPicture& picture, int n)
{
    return n >= 0 && n < picture.PictureCount &&
           !std::binary_search(picture.Skipped.begin(), picture.Skipped.end(), n);
}

// The nearest written picture from `n` on in steps of `step`, if any.
std::optional<int> Nearest(const TFullPicture& picture, int n, int step)
{
    for (; n >= 0 && n < picture.PictureCount; n += step)
        if (Written(picture, n))
            return n;
    return std::nullopt;
}

}  // namespace

std::string FullPicturePageText(const TGalleryPageSettings& typed, const TFullPicture& picture)
{
    const TGalleryPageSettings settings = PhpPageSettings(typed);
    const int n = picture.Number;
    if (n < 0 || n >= picture.PictureCount)
        throw Exception("Picture " + IntToStr(n) + " is not one of the " + IntToStr(picture.PictureCount) +
                        " pictures of the gallery");
    const std::optional<int> back = Nearest(picture, n - 1, -1);
    const std::optional<int> next = Nearest(picture, n + 1, 1);
    const TPageTexts texts = FullPageTexts(settings);

    std::string text = settings.Php.PageStart + "<html>";
    if (settings.SlideShow) {
        // The last picture leads back to the first, so the show runs in a circle.
        text += "\r\n<meta http-equiv=refresh content=\"" + settings.SlideShowSeconds +
                "; URL=" + FullPicturePageName(settings, next ? *next : Nearest(picture, 0, 1).value_or(n)) + "\">";
    }
    text += "\r\n" + StyleSheetText(settings) + BodyTag(settings) + "<center><font class=ub>\r\n";
    if (settings.Php.FullPageScript)
        text += settings.Php.FullPageScript(n);
    if (settings.TextsOnFullPages)
        text += "<font class=tx>" + texts.AboveHeading + "</font>\r\n";
    text += "<p><b>" + settings.GalleryHeading + "</b>\r\n<p>\r\n";
    if (settings.TextsOnFullPages)
        text += "<font class=tx>" + texts.BelowHeading + "</font>\r\n";
    text += "</font>\r\n<p>\r\n" + settings.WebLinkOpen + "<img src=th_" + IntToStr(n) +
            (picture.Gif ? "_big.gif" : "_big.jpg") + " border=0>" + settings.WebLinkClose + "<p>";
    if (settings.CommentsOnFullPages)
        text += "<font class=pi>" + PhpPageText(settings, picture.Comment) + "</font><p>\r\n";
    if (back)
        text += NavigationLink(FullPicturePageName(settings, *back), settings.NavBackText);
    // A page in a window of its own has no way back to the gallery it came from.
    if (!settings.OpenInNewWindow)
        text += NavigationLink(GalleryPageName(settings, std::int64_t(picture.PagesBefore) + 1),
                               settings.NavGalleryText);
    if (next)
        text += NavigationLink(FullPicturePageName(settings, *next), settings.NavNextText);
    if (!settings.OpenInNewWindow)
        text += "<br>" + NavigationLink("start.html", settings.NavIndexText);
    if (settings.TextsOnFullPages)
        text += "<font class=tx><p>" + texts.BelowGallery + "</font>\r\n";
    if (settings.Php.FullPageFeatures)
        text += settings.Php.FullPageFeatures(n, picture.Gif);
    text += "</body></html>";
    return text;
}

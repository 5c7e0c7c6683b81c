#pragma once

// Everything the texts of a web gallery depend on, taken from the wizard once
// per build, so that the page texts are pure functions of this value and of
// the picture they describe. Texts are CP1252 byte strings.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "builder/pages/PageFile.h"
#include "platform/graphics/Colors.h"

enum class TLinkMode {
    FullPicture = 0,  // thumbnails link to their full-picture pages
    NoLink = 1,       // plain thumbnails, no full-picture pages
};

// The places where a PHP gallery adds its calls. An HTML gallery leaves all of
// them empty; a callback that is not assigned adds nothing.
struct TPhpInserts {
    // Before "<html>" of every PHP page.
    std::string PageStart;
    // Inserted into the head of every gallery page.
    std::string Functions;
    // The chart links of the index page's foot.
    std::string ChartLinks;
    // Further pages written beside "start.html", built from its head.
    std::function<std::vector<TPageFile>(const std::string& indexHead)> ChartPages;
    // The end of gallery page `pageNumber` (from 1), before its closing tags.
    std::function<std::string(int pageNumber)> GalleryPageEnd;
    // The bar under a linked thumbnail.
    std::function<std::string(int pictureNumber, bool gif)> CellBar;
    // Right after the head of a full-picture page.
    std::function<std::string(int pictureNumber)> FullPageScript;
    // Before the closing tags of a full-picture page.
    std::function<std::string(int pictureNumber, bool gif)> FullPageFeatures;
    // A text the owner typed as it is to stand in a PHP page.
    std::function<std::string(std::string_view text)> OwnerText;
};

struct TGalleryPageSettings {
    // "" when no font is chosen; the pages then use "Verdana".
    std::string FontName;
    // The size edits' texts as typed; they go into the style sheet without a unit.
    std::string HeadingFontSize = "14";
    std::string PictureFontSize = "9";
    std::string TextFontSize = "12";
    TColor TextColor = clBlack;
    TColor BackgroundColor = clWhite;
    // "background=background.jpg " (with its blank) when a background picture is set.
    std::string BackgroundAttribute;
    std::string MetaHeadText;
    std::string GalleryHeading = "My Gallery";

    std::string TextAboveHeading;
    std::string TextBelowHeading;
    std::string TextBelowGallery;
    bool TextsOnIndex = true;
    bool TextsOnGalleryPages = true;
    bool TextsOnFullPages = true;

    bool CommentsInGallery = true;
    bool CommentsOnFullPages = true;

    std::string PageExtension = "html";
    // " target=_blank" when full pictures open in a new window, else "".
    std::string NewWindowTarget;
    // "<a href=" + url + " target=_blank>" and "</a>" when the full pictures
    // link to a web page, else both "".
    std::string WebLinkOpen;
    std::string WebLinkClose;
    TLinkMode LinkMode = TLinkMode::FullPicture;
    bool SlideShow = false;
    std::string SlideShowSeconds = "10";
    bool ShowPictureInfos = true;
    bool OpenInNewWindow = false;

    std::string NavIndexText = "Index";
    std::string NavGalleryText = "Gallery";
    std::string NavNextText = "Next";
    std::string NavBackText = "Back";
    std::string NavPicturesText = "Pictures";

    TPhpInserts Php;
};

// Sets the texts that follow from the build's switches: PageExtension,
// NewWindowTarget (from OpenInNewWindow), WebLinkOpen/WebLinkClose and
// BackgroundAttribute.
void SetRunTexts(TGalleryPageSettings& settings, bool phpGallery, bool linkToWebpage,
                 const std::string& linkUrl, bool hasBackgroundPicture);

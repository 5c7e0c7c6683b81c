#pragma once

// The e-mail gallery's page, which the mail program sends with the
// thumbnails as its parts. Texts are CP1252 byte strings.

#include <string>

#include "builder/pages/GalleryPageSettings.h"

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

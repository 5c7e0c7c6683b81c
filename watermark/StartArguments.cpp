#include "watermark/StartArguments.h"

#include "shared/veskotools.h"

TStartArguments ReadStartArguments(const std::string& folder, const std::string& kinds)
{
    TStartArguments arguments;
    if (!folder.empty()) {
        arguments.Remote = true;
        arguments.GalleryDir = folder;
        ReplaceText("%20", " ", arguments.GalleryDir, 1);
    }
    if (kinds == "/V") {
        arguments.FullPictures = true;
        arguments.Thumbnails = false;
    } else if (kinds == "/T") {
        arguments.FullPictures = false;
        arguments.Thumbnails = true;
    } else if (kinds == "/A") {
        arguments.FullPictures = true;
        arguments.Thumbnails = true;
    }
    return arguments;
}

#include "watermark/GalleryCollection.h"

#include "platform/core/Files.h"

std::string GalleryMask(bool fullPictures, bool thumbnails)
{
    std::string mask;
    if (fullPictures)
        mask += "*_big.jpg;";
    if (thumbnails)
        mask += "th_?.jpg;th_??.jpg;th_???.jpg;";
    return mask;
}

std::vector<std::string> CollectGallery(const std::string& folder, const std::vector<std::string>& names)
{
    std::vector<std::string> paths;
    std::string collected;
    const std::string prefix = IncludeTrailingPathDelimiter(folder);
    for (const std::string& name : names) {
        const std::string path = prefix + name;
        if (collected.find(path) != std::string::npos)
            continue;
        collected += path + "\r\n";
        paths.push_back(path);
    }
    return paths;
}

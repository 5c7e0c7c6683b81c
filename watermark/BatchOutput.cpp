#include "watermark/BatchOutput.h"

#include <unordered_set>
#include <utility>

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"

bool IsJpegPath(const std::string& path)
{
    return path.find(".jpg") != std::string::npos || path.find(".JPG") != std::string::npos;
}

std::string OutputBaseName(const std::string& path)
{
    const std::string name = ExtractFileName(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string BatchTarget(const std::string& path, TSaveChoice choice, const std::string& folder,
                        const std::string& name, int counter)
{
    const bool jpeg = IsJpegPath(path);
    switch (choice) {
    case TSaveChoice::Overwrite:
        return path;
    case TSaveChoice::NameAndCounter:
        return IncludeTrailingPathDelimiter(folder) + name + std::to_string(counter) + (jpeg ? ".jpg" : ".bmp");
    case TSaveChoice::OriginalName:
        break;
    }
    return IncludeTrailingPathDelimiter(folder) + (jpeg ? OutputBaseName(path) + ".jpg" : ExtractFileName(path));
}

std::vector<std::string> FilesWrittenOver(const std::vector<std::string>& paths, TSaveChoice choice,
                                          const std::string& folder, const std::string& name)
{
    std::vector<std::string> existing;
    if (choice == TSaveChoice::Overwrite)
        return existing;
    // Lines of one name share a target: it is one file to lose.
    std::unordered_set<std::string> seen;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        std::string target = BatchTarget(paths[i], choice, folder, name, static_cast<int>(i) + 1);
        if (seen.insert(target).second && FileExists(target))
            existing.push_back(std::move(target));
    }
    return existing;
}

std::string ListedFileWrittenOver(const std::vector<std::string>& paths, TSaveChoice choice,
                                  const std::string& folder, const std::string& name)
{
    for (const std::string& target : FilesWrittenOver(paths, choice, folder, name))
        for (const std::string& path : paths)
            if (SameFile(target, path))
                return path;
    return {};
}

void LoadPictureBitmap(const std::string& path, TBitmap& bitmap)
{
    if (IsJpegPath(path)) {
        TJPEGImage jpeg;
        jpeg.LoadFromFile(path);
        bitmap.Assign(jpeg.Bitmap());
    } else {
        bitmap.LoadFromFile(path);
    }
}

void SaveStampedPicture(TBitmap& bitmap, const std::string& target, bool jpeg)
{
    std::string bytes;
    if (jpeg) {
        bytes = EncodeJpeg(bitmap, TJPEGImage::DefaultQuality);
    } else {
        TMemoryStream stream;
        bitmap.SaveToStream(stream);
        bytes = stream.Bytes();
    }
    ReplaceFileBytes(target, bytes);
}

#include "gif/GIFItem.h"

#include "gif/GIFImage.h"
#include "platform/core/Files.h"
#include "platform/core/TStream.h"

void GIFWarning(TGIFImage* image, TObject* sender, int severity, const std::string& message)
{
    if (image)
        image->Warning(sender, severity, message);
}

void TGIFItem::Warning(int severity, const std::string& message)
{
    GIFWarning(FImage, this, severity, message);
}

void TGIFItem::SaveToFile(const std::string& fileName)
{
    // As a picture's save: encoded whole first, so a failure leaves no cut file.
    TMemoryStream encoded;
    SaveToStream(encoded);
    ReplaceFileBytes(fileName, encoded.Bytes());
}

void TGIFItem::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

#include "gif/GIFItem.h"

#include "gif/GIFImage.h"
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
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

void TGIFItem::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

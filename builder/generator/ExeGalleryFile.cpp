#include "builder/generator/ExeGalleryFile.h"

#include "platform/core/Files.h"

std::string ExeGalleryTarget(const std::string& chosenName)
{
    if (chosenName.find(".exe") != std::string::npos)
        return chosenName;
    return chosenName + ".exe";
}

void WriteExeGallery(const std::string& target, std::string_view bytes)
{
    WriteFileBytes(target, bytes);
    MakeExecutable(target);
}

std::string ExeGalleryCompleteMessage(const std::string& target)
{
    return "Complete! To run the application choose: " + target + "!";
}

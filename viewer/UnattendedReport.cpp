#include "viewer/UnattendedReport.h"

#include "platform/controls/TApplication.h"
#include "platform/core/Files.h"

void TUnattendedReport::Install(TForm1& viewer)
{
    viewer.OnLoadDone = [this, &viewer](TForm1::TLoadResult result) {
        WriteFileBytes(FFileName, Text(viewer, result));
        if (Application)
            Application->Terminate();
    };
}

std::string TUnattendedReport::Text(const TForm1& viewer, TForm1::TLoadResult result) const
{
    using enum TForm1::TLoadResult;
    std::string report = "result ";
    report += result == Loaded ? "loaded" : result == NoImages ? "no images" : "refused";
    report += "\npictures " + std::to_string(viewer.PictureCount()) + "\n";
    report += "notes " + viewer.Notes() + "\n";
    for (int n = 0; n < viewer.PictureCount(); ++n) {
        const TImage* image = viewer.HiddenPicture(n);
        report += "picture " + std::to_string(n) + " " + viewer.BlockPicture(n).Format + " " +
                  std::to_string(image ? image->Picture().Width() : 0) + "x" +
                  std::to_string(image ? image->Picture().Height() : 0) + " " + viewer.BlockPicture(n).Comment +
                  "\n";
    }
    for (const std::string& message : FInteraction.Messages())
        report += "message " + message + "\n";
    return report;
}

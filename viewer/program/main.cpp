// glimra: the picture viewer. Started as an EXE gallery, it shows the pictures
// appended to its own program file.

#include <cstdlib>
#include <memory>

#include "platform/controls/TApplication.h"
#include "platform/display/WindowsProgram.h"
#include "viewer/ContentNotesDialog.h"
#include "viewer/LoadingWindow.h"
#include "viewer/UnattendedReport.h"
#include "viewer/ViewerInfoDialog.h"
#include "viewer/ViewerLayouts.h"
#include "viewer/ViewerWindow.h"

int main(int argc, char** argv)
{
    // For checks of a built gallery: read, report, end, with no window.
    const char* report = std::getenv("GLIMRA_REPORT");
    const bool unattended = report && *report;
    std::unique_ptr<TUnattendedReport> reporter;
    const auto createWindows = [&](TApplication& application) {
        RegisterViewerLayouts();
        if (unattended)
            reporter = std::make_unique<TUnattendedReport>(report);
        application.CreateForm(ViewerWindow);
        application.CreateForm(LoadingWindow);
        application.CreateForm(ViewerInfoDialog);
        application.CreateForm(ContentNotesDialog);
        if (reporter)
            reporter->Install(*ViewerWindow);
    };
    return RunWindowsProgram(argc, argv, {"glimra", "", createWindows, !unattended});
}

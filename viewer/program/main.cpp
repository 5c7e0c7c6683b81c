// glimra: the picture viewer. Started as an EXE gallery, it shows the pictures
// appended to its own program file.

#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>

#include "platform/controls/TApplication.h"
#include "platform/core/Program.h"
#include "platform/display/DisplayBackend.h"
#include "viewer/ContentNotesDialog.h"
#include "viewer/LoadingWindow.h"
#include "viewer/UnattendedReport.h"
#include "viewer/ViewerInfoDialog.h"
#include "viewer/ViewerLayouts.h"
#include "viewer/ViewerWindow.h"

int main(int argc, char** argv)
{
    try {
        InitProgram(argc, argv);
        RegisterViewerLayouts();
        // For checks of a built gallery: read, report, end, with no window.
        const char* report = std::getenv("GLIMRA_REPORT");
        const bool unattended = report && *report;
        const bool windows = !unattended && InstallDisplayBackend();
        {
            std::unique_ptr<TUnattendedReport> reporter;
            if (unattended) reporter = std::make_unique<TUnattendedReport>(report);
            TApplication application;
            application.Initialize();
            application.CreateForm(ViewerWindow);
            application.CreateForm(LoadingWindow);
            application.CreateForm(ViewerInfoDialog);
            application.CreateForm(ContentNotesDialog);
            if (reporter) reporter->Install(*ViewerWindow);
            application.Run();
        }
        if (windows) UninstallDisplayBackend();
    } catch (const std::exception& e) {
        std::cerr << "glimra: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

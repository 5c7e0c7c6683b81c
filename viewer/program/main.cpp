// glimra: the picture viewer. Started as an EXE gallery, it shows the pictures
// appended to its own program file.

#include <cstdlib>
#include <exception>
#include <iostream>

#include "platform/controls/TApplication.h"
#include "platform/core/Program.h"
#include "viewer/ContentNotesDialog.h"
#include "viewer/LoadingWindow.h"
#include "viewer/ViewerInfoDialog.h"
#include "viewer/ViewerLayouts.h"
#include "viewer/ViewerWindow.h"

int main(int argc, char** argv)
{
    try {
        InitProgram(argc, argv);
        RegisterViewerLayouts();
        TApplication application;
        // The display backend is installed here once the platform offers it.
        application.Initialize();
        application.CreateForm(ViewerWindow);
        application.CreateForm(LoadingWindow);
        application.CreateForm(ViewerInfoDialog);
        application.CreateForm(ContentNotesDialog);
        // For checks of a built gallery without a display: read, report, end.
        if (const char* report = std::getenv("GLIMRA_REPORT"); report && *report)
            ViewerWindow->SetReportFile(report);
        application.Run();
    } catch (const std::exception& e) {
        std::cerr << "glimra: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

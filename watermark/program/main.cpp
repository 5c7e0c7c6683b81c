// stampel: the watermark plug-in. By hand it opens on its assistant; the
// builder starts it with a gallery folder and "/V", "/T" or "/A".

#include <exception>
#include <iostream>

#include "platform/controls/TApplication.h"
#include "platform/core/Program.h"
#include "platform/display/DisplayBackend.h"
#include "watermark/StampelWindows.h"

namespace {

int ProgramMain()
{
    const bool windows = InstallDisplayBackend();
    {
        TApplication application;
        application.Initialize();
        application.SetTitle("stampel");
        CreateStampelWindows(application);
        application.Run();
    }
    if (windows)
        UninstallDisplayBackend();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        InitProgram(argc, argv);
        return ProgramMain();
    } catch (const std::exception& e) {
        std::cerr << "stampel: " << e.what() << "\n";
        return 1;
    }
}

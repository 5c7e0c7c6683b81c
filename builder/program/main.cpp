// thumbnails: the gallery builder. It opens on its start screen.

#include <exception>
#include <iostream>

#include "builder/program/BuilderWindows.h"
#include "platform/controls/TApplication.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Program.h"
#include "platform/display/DisplayBackend.h"
#include "platform/shell/Sound.h"
#include "shared/veskotools.h"

namespace {

// The two button sounds come with the program's resources. Without them the
// program runs silent rather than not at all.
void RegisterButtonSounds()
{
    std::string folder;
    AppPath(folder);
    for (const char* name : {"PLAY1", "PLAY2"}) {
        try {
            RegisterWaveResourceFile(name, folder + "resources/sounds/" + name + ".wav");
        } catch (const Exception& e) {
            std::cerr << "thumbnails: " << e.what() << "\n";
        }
    }
}

int ProgramMain()
{
    const bool windows = InstallDisplayBackend();
    {
        TApplication application;
        application.Initialize();
        application.SetTitle("VESKO THUMBNAILS");
        RegisterButtonSounds();
        CreateBuilderWindows(application);
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
        std::cerr << "thumbnails: " << e.what() << "\n";
        return 1;
    }
}

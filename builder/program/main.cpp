// thumbnails: the gallery builder. It opens on its start screen.

#include <iostream>

#include "builder/program/BuilderWindows.h"
#include "platform/core/Exceptions.h"
#include "platform/display/WindowsProgram.h"
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

}  // namespace

int main(int argc, char** argv)
{
    return RunWindowsProgram(argc, argv, {"thumbnails", "VESKO THUMBNAILS", [](TApplication& application) {
                                              RegisterButtonSounds();
                                              CreateBuilderWindows(application);
                                          }});
}

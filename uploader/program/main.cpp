// sendaro: the FTP uploader. The builder starts it with the gallery folder,
// its blanks written as "*".

#include <exception>
#include <iostream>

#include "platform/controls/TApplication.h"
#include "platform/core/Program.h"
#include "platform/display/DisplayBackend.h"
#include "uploader/SendaroWindows.h"

namespace {

int ProgramMain()
{
    const bool windows = InstallDisplayBackend();
    {
        TApplication application;
        application.Initialize();
        application.SetTitle("sendaro");
        CreateSendaroWindows(application);
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
        std::cerr << "sendaro: " << e.what() << "\n";
        return 1;
    }
}

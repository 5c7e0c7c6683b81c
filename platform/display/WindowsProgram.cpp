#include "platform/display/WindowsProgram.h"

#include <exception>
#include <iostream>

#include "platform/controls/TApplication.h"
#include "platform/core/Program.h"
#include "platform/display/DisplayBackend.h"

int RunWindowsProgram(int argc, char** argv, const TWindowsProgram& program)
{
    try {
        InitProgram(argc, argv);
        const bool windows = program.UseDisplay && InstallDisplayBackend();
        {
            TApplication application;
            application.Initialize();
            if (!program.Title.empty())
                application.SetTitle(program.Title);
            if (program.CreateWindows)
                program.CreateWindows(application);
            application.Run();
        }
        if (windows)
            UninstallDisplayBackend();
        return 0;
    } catch (const std::exception& e) {
        std::cerr << program.Name << ": " << e.what() << "\n";
        return 1;
    }
}

#include "platform/display/DesktopNotice.h"

#include <iostream>

#include "platform/controls/TApplication.h"
#include "platform/display/DisplayBackend.h"

void TellOnDesktop(const std::string& program, const std::string& caption, const std::string& text)
{
    std::cerr << program << ": " << text << "\n";
    if (!InstallDisplayBackend())
        return;
    {
        TApplication application;
        application.MessageBox(text, caption, MB_OK | MB_ICONWARNING);
    }
    UninstallDisplayBackend();
}

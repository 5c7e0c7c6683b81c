#pragma once

// The start of a program of windows, the same for each: the program path from
// the command line, the display backend when a display exists (and the program
// wants one), an application with its title, the program's windows, its
// message loop. An error that leaves any of it goes to standard error after
// the program's name, and the program ends with 1.

#include <functional>
#include <string>

class TApplication;

struct TWindowsProgram {
    std::string Name;   // "thumbnails: " starts its error lines
    std::string Title;  // the application's; "" keeps the default
    std::function<void(TApplication&)> CreateWindows;
    bool UseDisplay = true;
};

int RunWindowsProgram(int argc, char** argv, const TWindowsProgram& program);

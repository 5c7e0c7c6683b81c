#pragma once

// The real plug-in program started as the builder starts it (its own
// process, the arguments as given), on the private X server; every wait is
// bounded and the process never outlives the test.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "x_server.h"
#include "platform/graphics/Types.h"
#include "tests/support/TempFolder.h"

namespace stampeltest {

// A real click at a point of the window whose top-left corner is (x, y) on screen.
inline bool ClickAt(int x, int y, TPoint at)
{
    return XServer::ClickAt(x + at.X, y + at.Y);
}

// The dark pixels (text) among pixels read from a shot.
inline int DarkPixels(const std::vector<XServer::Rgb>& pixels)
{
    int dark = 0;
    for (const XServer::Rgb& pixel : pixels) dark += pixel.R >= 0 && pixel.R + pixel.G + pixel.B < 3 * 90;
    return dark;
}

// True once the button whose centre stands at `centre` of the window at
// (x, y) draws its caption in black, as an enabled one does; false when
// `seconds` ran out first. The plug-in enables its Start button by a timer.
inline bool WaitUntilEnabled(int x, int y, TPoint centre, int seconds = 10)
{
    const testsupport::TempFolder own;
    const std::string shot = own / "button.png";
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    do {
        if (XServer::ScreenshotTo(shot, x + centre.X - 30, y + centre.Y - 8, 60, 16) &&
            DarkPixels(XServer::PixelsOf(shot, 0, 0, 60, 16)) > 20)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

class TRunningStampel {
public:
    TRunningStampel() = default;
    TRunningStampel(const TRunningStampel&) = delete;
    TRunningStampel& operator=(const TRunningStampel&) = delete;
    ~TRunningStampel()
    {
        if (FPid > 0 && waitpid(FPid, nullptr, WNOHANG) == 0) {
            kill(FPid, SIGTERM);
            waitpid(FPid, nullptr, 0);
        }
    }

    bool Start(const std::string& program, const std::vector<std::string>& arguments)
    {
        std::vector<std::string> args = arguments;
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        FPid = fork();
        if (FPid == 0) {
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        return FPid > 0;
    }

    // The exit code, or -1 when the program has not ended within `ms`.
    int WaitForEnd(int ms = 5000)
    {
        for (int waited = 0; waited < ms; waited += 100) {
            int status = 0;
            if (waitpid(FPid, &status, WNOHANG) == FPid) {
                FPid = 0;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return -1;
    }

private:
    pid_t FPid = 0;
};

}  // namespace stampeltest

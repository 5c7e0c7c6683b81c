#pragma once

// The loop of a display test, run as a program's would, screenshots of a
// form's window (x_server.h), and the end of the server with the test program.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "x_server.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/TCustomForm.h"
#include "platform/display/DisplayBackend.h"
#include "platform/loop/Clock.h"
#include "platform/loop/Messages.h"

namespace DisplayLoop {

// Runs the loop for `ms` milliseconds or until `done`; false when time ran out.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms = 3000)
{
    const DWORD start = timeGetTime();
    while (!done()) {
        if (timeGetTime() - start > ms) return false;
        if (Application) Application->ProcessMessages();
        else while (ProcessOneMessage()) {
            }
        MsgWaitForMultipleObjects({}, 10);
    }
    return true;
}

inline void Pump(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

// Lets the window settle, then writes <build>/screenshots/<name>.png; answers the path.
inline std::string Shot(const std::string& name, const TCustomForm& form)
{
    Pump(300);
    const TRect r = DisplayWindowRect(form);
    return XServer::Screenshot(name, r.Left, r.Top, r.Width(), r.Height());
}

// Starts the private server and the display backend once; answers why the
// display tests must skip, or "" when real windows can be made.
inline std::string StartBackend()
{
    std::string why;
    if (!XServer::Start(why)) return "no X server for the display tests: " + why;
    if (!InstallDisplayBackend()) return "the X server does not answer";
    return {};
}

// The server and the backend serve every suite of a run; they go at its end.
// Each display test program registers one.
class TServerEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        UninstallDisplayBackend();
        XServer::Stop();
    }
};

}  // namespace DisplayLoop

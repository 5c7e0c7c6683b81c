#pragma once

// The real builder program on a private X server, started from a program
// folder of its own (the program beside the build's resources, and a
// settings file nobody else writes), with the means to find its windows,
// send it real input and photograph it. Every wait is bounded.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "x_server.h"
#include "platform/graphics/TBitmap.h"
#include "tests/support/TempFolder.h"
#include "tests/support/CommandOutput.h"

namespace thumbnailstest {

struct TWindow {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    XServer::WindowId Id = 0;
};

inline std::string Output(const std::string& command)
{
    return testsupport::CommandOutput(command);
}

inline int ShellValue(const std::string& text, const std::string& name)
{
    const std::size_t at = text.find(name + "=");
    return at == std::string::npos ? -1 : std::stoi(text.substr(at + name.size() + 1));
}

// The window that xdotool's "getwindowgeometry --shell" describes.
inline TWindow WindowOf(const std::string& geometry)
{
    const int id = ShellValue(geometry, "WINDOW");
    return {ShellValue(geometry, "X"), ShellValue(geometry, "Y"), ShellValue(geometry, "WIDTH"),
            ShellValue(geometry, "HEIGHT"), id > 0 ? static_cast<XServer::WindowId>(id) : 0};
}

// A visible window whose title matches the regular expression, once it shows
// (up to `seconds`). Asked again until then: one search ends early when a
// window it looks at closes under it, as the build's progress windows do.
inline bool FindWindow(const std::string& title, TWindow& window, int seconds = 10)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    do {
        const std::string geometry = Output("timeout " + std::to_string(seconds) +
                                            " xdotool search --sync --onlyvisible --name '^" + title +
                                            "$' getwindowgeometry --shell 2>/dev/null");
        window = WindowOf(geometry);
        if (window.Width > 0 && window.Id)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

inline bool WindowShows(const std::string& title)
{
    return !Output("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null | head -1").empty();
}

// True once `done` holds, false when `ms` ran out first.
inline bool WaitFor(const std::function<bool()>& done, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// A screenshot of the window, kept as PNG and read back as a bitmap.
inline std::unique_ptr<TBitmap> Shot(const TWindow& window, const std::string& name)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    // Its own files: another test beside it may take a shot of the same name.
    const testsupport::TempFolder own;
    const std::string png = own / "shot.png";
    const std::string bmp = own / "shot.bmp";
    XServer::ScreenshotTo(png, window.X, window.Y, window.Width, window.Height);
    std::system(("convert '" + png + "' -type truecolor BMP3:'" + bmp + "'").c_str());
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromFile(bmp);
    XServer::Publish(png, name);
    return bitmap;
}

// Shots of the window until one satisfies `shows` (up to `ms`); the last one.
// For what the program draws after a timer of its own.
inline std::unique_ptr<TBitmap> ShotOnceItShows(const TWindow& window, const std::string& name,
                                                const std::function<bool(const TBitmap&)>& shows, int ms = 10000)
{
    std::unique_ptr<TBitmap> shot;
    WaitFor([&] { return shows(*(shot = Shot(window, name))); }, ms);
    return shot;
}

// Dark pixels (text) in a rectangle of a shot.
inline int DarkPixels(const TBitmap& shot, int left, int top, int width, int height)
{
    int dark = 0;
    for (int y = top; y < top + height && y < shot.Height(); ++y)
        for (int x = left; x < left + width && x < shot.Width(); ++x) {
            const TColor c = shot.Pixel(x, y);
            if ((c & 0xFF) + (c >> 8 & 0xFF) + (c >> 16 & 0xFF) < 3 * 90)
                ++dark;
        }
    return dark;
}

// The dark pixels of the start screen's picture above its buttons, which
// shows the program's language.
inline int StartScreenBannerInk(const TBitmap& shot)
{
    return DarkPixels(shot, 0, 0, 720, 96);
}

class RunningBuilder : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        if (!XServer::Start(why))
            GTEST_SKIP() << "no X server for the program check: " << why;
        Folder = Temp.Path().substr(0, Temp.Path().size() - 1);
        const std::filesystem::path built(THUMBNAILS_PROGRAM);
        std::filesystem::copy_file(built, Folder + "/thumbnails");
        std::filesystem::create_directory_symlink(built.parent_path() / "resources", Folder + "/resources");
        // Whatever the program opens through the desktop lands in a list
        // instead of a browser.
        std::filesystem::create_directory(Folder + "/desktop");
        const std::string opener = Folder + "/desktop/xdg-open";
        if (FILE* script = std::fopen(opener.c_str(), "w")) {
            std::fprintf(script, "#!/bin/sh\necho \"$*\" >> '%s'\n", OpenedList().c_str());
            std::fclose(script);
        }
        std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
        Prepare();
        Launch();
    }
    // Starts the program from its folder (again, once an earlier run ended).
    void Launch()
    {
        const char* path = std::getenv("PATH");
        const std::string searched = Folder + "/desktop:" + (path ? path : "/usr/bin:/bin");
        const std::string program = Folder + "/thumbnails";
        Program = fork();
        if (Program == 0) {
            setenv("PATH", searched.c_str(), 1);
            if (chdir(Folder.c_str()) == 0)
                execl(program.c_str(), "thumbnails", static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_GT(Program, 0);
    }
    void TearDown() override
    {
        if (Program > 0 && waitpid(Program, nullptr, WNOHANG) == 0) {
            kill(Program, SIGTERM);
            waitpid(Program, nullptr, 0);
        }
    }
    // The documents and addresses the program asked the desktop to open, one a line.
    std::string OpenedList() const { return Folder + "/desktop/opened.txt"; }
    // Files the program folder holds before the program starts.
    virtual void Prepare() {}

    static void MoveTo(const TWindow& window, int x, int y)
    {
        ASSERT_TRUE(XServer::MovePointer(window.X + x, window.Y + y));
    }
    static void ClickAt(const TWindow& window, int x, int y)
    {
        ASSERT_TRUE(XServer::ClickAt(window.X + x, window.Y + y));
    }

    // The exit code, or -1 when the program has not ended within three seconds.
    int WaitForEnd()
    {
        for (int i = 0; i < 30; ++i) {
            int status = 0;
            if (waitpid(Program, &status, WNOHANG) == Program) {
                Program = 0;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return -1;
    }

    testsupport::TempFolder Temp;
    std::string Folder;  // Temp's, without the final "/"
    pid_t Program = 0;
};

}  // namespace thumbnailstest

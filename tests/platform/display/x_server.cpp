#include "x_server.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace XServer {

namespace {

pid_t Server = 0;
std::string DisplayName;

bool OnPath(const char* program)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = dirs.find(':', start);
        const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

std::string BuildDir()
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return ".";
    // The test programs live in <build>/tests.
    return exe.parent_path().parent_path().string();
}

// The visible windows of the title, as xdotool finds them: the newest last.
std::vector<WindowId> VisibleWindows(const std::string& titlePattern)
{
    std::vector<WindowId> ids;
    if (FILE* pipe = popen(("xdotool search --onlyvisible --name '^" + titlePattern + "$' 2>/dev/null").c_str(), "r")) {
        char line[64];
        while (fgets(line, sizeof line, pipe))
            if (const WindowId id = std::strtoul(line, nullptr, 10)) ids.push_back(id);
        pclose(pipe);
    }
    return ids;
}

bool ErrorSeen = false;

int NoteError(Display*, XErrorEvent*)
{
    ErrorSeen = true;
    return 0;
}

}  // namespace

bool Start(std::string& why)
{
    if (Server) return true;
    if (!OnPath("Xvfb")) {
        why = "Xvfb is not installed";
        return false;
    }
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        why = "no pipe";
        return false;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        // Xvfb picks a free display number itself and writes it to the pipe.
        close(pipeFds[0]);
        // The server ends with the tests, however they end.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const std::string fd = std::to_string(pipeFds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
               "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    std::string number;
    char c = 0;
    while (read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
    close(pipeFds[0]);
    if (pid < 0 || number.empty()) {
        why = "Xvfb did not start";
        if (pid > 0) waitpid(pid, nullptr, 0);
        return false;
    }
    Server = pid;
    DisplayName = ":" + number;
    setenv("DISPLAY", DisplayName.c_str(), 1);
    return true;
}

void Stop()
{
    if (!Server) return;
    kill(Server, SIGTERM);
    waitpid(Server, nullptr, 0);
    Server = 0;
}

bool Tool(const std::string& arguments) { return std::system(("xdotool " + arguments).c_str()) == 0; }

bool MovePointer(int x, int y)
{
    bool there = false;
    if (Display* display = XOpenDisplay(nullptr)) {
        Window root = 0, child = 0;
        int rootX = -1, rootY = -1, windowX = 0, windowY = 0;
        unsigned mask = 0;
        there = XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &windowX,
                              &windowY, &mask) &&
                rootX == x && rootY == y;
        XCloseDisplay(display);
    }
    return there || Tool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y));
}

bool ClickAt(int x, int y) { return MovePointer(x, y) && Tool("click 1"); }

void Later(const std::string& command) { std::system(("(" + command + ") >/dev/null 2>&1 &").c_str()); }

std::string ScreenshotPath(const std::string& name)
{
    const std::filesystem::path dir = std::filesystem::path(BuildDir()) / "screenshots";
    std::filesystem::create_directories(dir);
    return (dir / (name + ".png")).string();
}

std::string ShotOf(const std::string& title, const std::string& name)
{
    return "import -window $(xdotool search --onlyvisible --name '^" + title + "$' | head -1) '" + ScreenshotPath(name) + "'";
}

std::string KeysTo(const std::string& title, const std::string& keys, const std::string& shot)
{
    std::string command = "sleep 0.3; xdotool search --sync --onlyvisible --name '^" + title + "$' windowfocus; sleep 0.3; ";
    if (!shot.empty()) command += ShotOf(title, shot) + "; ";
    return command + "xdotool " + keys;
}

std::string Screenshot(const std::string& name, int x, int y, int w, int h)
{
    const std::string file = ScreenshotPath(name);
    return ScreenshotTo(file, x, y, w, h) ? file : std::string();
}

bool ScreenshotTo(const std::string& file, int x, int y, int w, int h)
{
    const std::string geometry = std::to_string(w) + "x" + std::to_string(h) + "+" + std::to_string(x) + "+" +
                                 std::to_string(y);
    const std::string command = "import -window root -crop " + geometry + " +repage '" + file + "'";
    return std::system(command.c_str()) == 0;
}

void Publish(const std::string& file, const std::string& name)
{
    const std::string target = ScreenshotPath(name);
    const std::string part = target + "." + std::to_string(getpid()) + ".part";
    std::error_code error;
    std::filesystem::copy_file(file, part, std::filesystem::copy_options::overwrite_existing, error);
    if (!error) std::filesystem::rename(part, target, error);
}

Rgb PixelOf(const std::string& file, int x, int y)
{
    const std::string command = "convert '" + file + "' -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) +
                                " +repage -depth 8 rgb:-";
    Rgb pixel;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return pixel;
    unsigned char bytes[3];
    if (fread(bytes, 1, 3, pipe) == 3) pixel = {bytes[0], bytes[1], bytes[2]};
    pclose(pipe);
    return pixel;
}

std::vector<Rgb> PixelsOf(const std::string& file, int x, int y, int w, int h)
{
    const std::string command = "convert '" + file + "' -crop " + std::to_string(w) + "x" + std::to_string(h) + "+" +
                                std::to_string(x) + "+" + std::to_string(y) + " +repage -depth 8 rgb:-";
    std::vector<unsigned char> bytes(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {};
    const bool whole = fread(bytes.data(), 1, bytes.size(), pipe) == bytes.size();
    pclose(pipe);
    if (!whole) return {};
    std::vector<Rgb> pixels;
    pixels.reserve(bytes.size() / 3);
    for (std::size_t i = 0; i < bytes.size(); i += 3) pixels.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
    return pixels;
}

bool Near(Rgb pixel, int r, int g, int b, int tolerance)
{
    auto close = [tolerance](int a, int e) { return a >= 0 && (a - e <= tolerance && e - a <= tolerance); };
    return close(pixel.R, r) && close(pixel.G, g) && close(pixel.B, b);
}

bool RequestClose(const std::string& title)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    const std::vector<WindowId> ids = VisibleWindows(title);
    const Window window = ids.empty() ? 0 : ids.back();
    if (window) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        XFlush(display);
    }
    XCloseDisplay(display);
    return window != 0;
}

bool FindWindow(const std::string& titlePattern, Geometry& geometry)
{
    const std::string command = "xdotool search --onlyvisible --name '^" + titlePattern +
                                "$' getwindowgeometry --shell 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return false;
    char line[128];
    int found = 0;
    while (fgets(line, sizeof line, pipe))
        found += std::sscanf(line, "X=%d", &geometry.X) + std::sscanf(line, "Y=%d", &geometry.Y) +
                 std::sscanf(line, "WIDTH=%d", &geometry.Width) + std::sscanf(line, "HEIGHT=%d", &geometry.Height);
    pclose(pipe);
    return found >= 4 && geometry.Width > 0;
}

bool WaitForWindow(const std::string& titlePattern, Geometry& geometry, int seconds)
{
    for (int i = 0; i < seconds * 4; ++i) {
        if (FindWindow(titlePattern, geometry))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return false;
}

WindowId WaitForWindowId(const std::string& titlePattern, int seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        const std::vector<WindowId> ids = VisibleWindows(titlePattern);
        if (!ids.empty()) return ids.back();
        if (std::chrono::steady_clock::now() >= end) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool Shows(WindowId window)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    // A window that is gone answers BadWindow, which must not end the test.
    XSync(display, False);
    ErrorSeen = false;
    const auto previous = XSetErrorHandler(NoteError);
    XWindowAttributes attributes{};
    const Status known = XGetWindowAttributes(display, window, &attributes);
    XSync(display, False);
    XSetErrorHandler(previous);
    const bool shows = known && !ErrorSeen && attributes.map_state == IsViewable;
    XCloseDisplay(display);
    return shows;
}

bool WaitUntilGone(WindowId window, int seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (Shows(window)) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

std::string KeysToWindow(WindowId window, const std::string& keys, const std::string& shot)
{
    const std::string id = std::to_string(window);
    std::string command = "sleep 0.3; xdotool windowfocus " + id + "; sleep 0.3; ";
    if (!shot.empty()) command += "import -window " + id + " '" + ScreenshotPath(shot) + "'; ";
    return command + "xdotool " + keys;
}

std::string Answer(WindowId window, const std::string& keys, const std::string& shot, int seconds)
{
    if (std::system(KeysToWindow(window, keys, shot).c_str()) != 0) return "the keys were not sent";
    return WaitUntilGone(window, seconds) ? "" : "the window stayed";
}

std::string Answer(const std::string& titlePattern, const std::string& keys, const std::string& shot, int seconds)
{
    const WindowId window = WaitForWindowId(titlePattern, seconds);
    if (!window) return "no window " + titlePattern + " showed";
    return Answer(window, keys, shot, seconds);
}

int Launch(const std::string& program, const std::string& unset)
{
    const pid_t child = fork();
    if (child == 0) {
        if (!unset.empty())
            unsetenv(unset.c_str());
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

}  // namespace XServer

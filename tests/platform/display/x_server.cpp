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
    const std::string geometry = std::to_string(w) + "x" + std::to_string(h) + "+" + std::to_string(x) + "+" +
                                 std::to_string(y);
    const std::string command = "import -window root -crop " + geometry + " +repage '" + file + "'";
    return std::system(command.c_str()) == 0 ? file : std::string();
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
    // The windows of the title, as xdotool finds them; the last one is the newest.
    std::string ids;
    if (FILE* pipe = popen(("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null").c_str(), "r")) {
        char line[64];
        while (fgets(line, sizeof line, pipe))
            ids = line;
        pclose(pipe);
    }
    const Window window = ids.empty() ? 0 : std::strtoul(ids.c_str(), nullptr, 10);
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

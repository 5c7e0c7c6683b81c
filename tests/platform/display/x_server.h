#pragma once

// A private X server for the display tests: Xvfb on a display number it picks
// itself, 1280 x 1024 in true colour, ended when the tests end. When Xvfb is
// not installed the display tests skip with a message.
//
// Helpers send real X input with xdotool and take screenshots with
// ImageMagick's import into <build>/screenshots/.

#include <string>
#include <vector>

namespace XServer {

// Starts the server once and sets DISPLAY; false (with the reason) when it
// cannot run here.
bool Start(std::string& why);
void Stop();

// Runs xdotool with these arguments and waits for it.
bool Tool(const std::string& arguments);
// Moves the pointer to the screen point and waits until it stands there; at
// once when it stands there already, where xdotool's synchronous move would
// wait long for a motion that never comes.
bool MovePointer(int x, int y);
// MovePointer, then a click of the first button.
bool ClickAt(int x, int y);
// Runs a shell command in the background (for input sent while a nested loop waits).
void Later(const std::string& command);
// A shell command that gives the visible window of that title the keyboard
// (no window manager does it here) and sends it xdotool's key arguments; with
// `shot`, a screenshot of the window is taken first.
std::string KeysTo(const std::string& title, const std::string& keys, const std::string& shot = {});
// A shell command that writes a screenshot of the visible window of that title.
std::string ShotOf(const std::string& title, const std::string& name);
std::string ScreenshotPath(const std::string& name);
// Asks the visible window of that title to close, as a window manager's close
// box does (WM_DELETE_WINDOW); false when there is no such window.
bool RequestClose(const std::string& title);
// Writes the screen rectangle as <build>/screenshots/<name>.png; answers the path.
std::string Screenshot(const std::string& name, int x, int y, int w, int h);
// Writes the screen rectangle to that PNG file; false when it could not. For
// a shot the test reads itself: tests side by side may use one name.
bool ScreenshotTo(const std::string& file, int x, int y, int w, int h);
// Puts a copy of the PNG file in place as <build>/screenshots/<name>.png, whole.
void Publish(const std::string& file, const std::string& name);

struct Geometry {
    int X = 0, Y = 0, Width = 0, Height = 0;
};
// Where the visible window whose title matches `titlePattern` (anchored at
// both ends) stands; false when there is none.
bool FindWindow(const std::string& titlePattern, Geometry& geometry);
// FindWindow, tried every 250 ms for up to `seconds`.
bool WaitForWindow(const std::string& titlePattern, Geometry& geometry, int seconds = 20);

// Windows by their X id, which no later window takes: a test that answers a
// window waits for that one to go, while the next window of the same title
// (a finish message, the next dialog) may already show.
using WindowId = unsigned long;
// The newest visible window whose title matches `titlePattern` (anchored at
// both ends), once one shows (up to `seconds`); 0 when none did.
WindowId WaitForWindowId(const std::string& titlePattern, int seconds = 20);
// Whether the window exists and is mapped.
bool Shows(WindowId window);
// True once the window no longer shows, false when `seconds` ran out first.
bool WaitUntilGone(WindowId window, int seconds = 10);
// KeysTo for the window of that id.
std::string KeysToWindow(WindowId window, const std::string& keys, const std::string& shot = {});
// The window of that title, once it shows, sent xdotool's key arguments
// (shot first, when `shot` is given) and waited for until it has gone; each
// wait up to `seconds`. What went wrong; empty when the window took the keys
// and went.
std::string Answer(const std::string& titlePattern, const std::string& keys, const std::string& shot = {},
                   int seconds = 20);
// The same for a window already found.
std::string Answer(WindowId window, const std::string& keys, const std::string& shot = {}, int seconds = 10);

// Starts a program as a child, without the environment variable `unset`
// (when given); its process id, or -1.
int Launch(const std::string& program, const std::string& unset = {});

struct Rgb {
    int R = -1, G = -1, B = -1;  // -1: the pixel could not be read
};
// One pixel of a picture file (read through ImageMagick).
Rgb PixelOf(const std::string& file, int x, int y);
// A w x h area of a picture file, row by row (empty when it could not be read).
std::vector<Rgb> PixelsOf(const std::string& file, int x, int y, int w, int h);
// Whether the pixel is within `tolerance` of the colour in every channel.
bool Near(Rgb pixel, int r, int g, int b, int tolerance = 24);

}  // namespace XServer

// Answering a window of the tests' X server: the keys go to that window and
// the wait ends when that one has gone, even when the next window of the
// same title shows at once (as a program's finish message follows its last
// question); a window that keeps showing is reported, not taken as answered.

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "x_server.h"

namespace {

// Windows of one title, shown by an X client of their own: a key to the
// showing one closes it when `closes`, and with `follows` the next of the
// same title shows in the same moment.
class TTitledWindows {
public:
    TTitledWindows(std::string title, bool closes, bool follows)
        : FTitle(std::move(title)), FCloses(closes), FFollows(follows), FThread([this] { Run(); })
    {
    }
    ~TTitledWindows()
    {
        FStop = true;
        FThread.join();
    }
    XServer::WindowId First() const
    {
        for (int i = 0; i < 200 && !FFirst; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return FFirst;
    }

private:
    Window Show(Display* display) const
    {
        const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 40, 40, 160, 80, 0, 0,
                                                  WhitePixel(display, DefaultScreen(display)));
        XStoreName(display, window, FTitle.c_str());
        XSelectInput(display, window, KeyPressMask);
        XMapWindow(display, window);
        XSync(display, False);
        return window;
    }
    void Run()
    {
        Display* display = XOpenDisplay(nullptr);
        if (!display) return;
        Window showing = Show(display);
        FFirst = showing;
        while (!FStop) {
            while (XPending(display)) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type != KeyPress || !FCloses || event.xkey.window != showing) continue;
                XDestroyWindow(display, showing);
                showing = 0;
                if (FFollows) showing = Show(display);
                XSync(display, False);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        XCloseDisplay(display);
    }

    const std::string FTitle;
    const bool FCloses;
    const bool FFollows;
    std::atomic<bool> FStop{false};
    std::atomic<XServer::WindowId> FFirst{0};
    std::thread FThread;
};

TEST(AnsweringAWindow, WaitsForThatWindowNotForItsTitle)
{
    std::string why;
    if (!XServer::Start(why))
        GTEST_SKIP() << "no X server: " << why;
    struct TCase {
        const char* Name;
        bool Closes;
        bool Follows;
        const char* Outcome;
    };
    const TCase cases[] = {
        {"closes, and the next of its title shows at once", true, true, ""},
        {"closes, and none follows", true, false, ""},
        {"keeps showing", false, false, "the window stayed"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TTitledWindows windows("answered", c.Closes, c.Follows);
        const XServer::WindowId first = windows.First();
        ASSERT_NE(first, 0u) << "the window did not show";
        EXPECT_EQ(XServer::Answer("answered", "key Return", {}, 5), c.Outcome);
        EXPECT_EQ(XServer::Shows(first), !c.Closes);
        const XServer::WindowId next = XServer::WaitForWindowId("answered", c.Follows ? 5 : 0);
        EXPECT_EQ(next != 0 && next != first, c.Follows) << "the next window of the title";
    }
    // A title no window has.
    EXPECT_NE(XServer::Answer("no such window", "key Return", {}, 1), "");
}

}  // namespace

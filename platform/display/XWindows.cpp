#include "platform/display/XWindows.h"

#include <cstdlib>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

namespace XWindows {

namespace {

void SendState(Fl_Window& window, bool on, const char* first, const char* second = nullptr)
{
    const Window xid = fl_xid(&window);
    if (!xid) return;
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = xid;
    e.xclient.message_type = XInternAtom(fl_display, "_NET_WM_STATE", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = on ? 1 : 0;
    e.xclient.data.l[1] = static_cast<long>(XInternAtom(fl_display, first, False));
    e.xclient.data.l[2] = second ? static_cast<long>(XInternAtom(fl_display, second, False)) : 0;
    e.xclient.data.l[3] = 1;
    XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &e);
}

}  // namespace

bool Open()
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    // One connection per run: a backend installed again reuses it.
    if (fl_display) return true;
    // The toolkit's own opening ends the process when the server does not
    // answer; ours answers "headless" instead.
    Display* connection = XOpenDisplay(name);
    if (!connection) return false;
    fl_open_display(connection);
    // The toolkit leaves keyboard mapping changes to us; without the refresh a
    // key whose mapping changed (a layout switch, xdotool's typing of
    // characters the layout lacks) has no symbol.
    Fl::add_handler([](int event) {
        if (event == 0 && fl_xevent && fl_xevent->type == MappingNotify)
            XRefreshKeyboardMapping(const_cast<XMappingEvent*>(&fl_xevent->xmapping));
        return 0;
    });
    return true;
}

int ConnectionFd() { return ConnectionNumber(fl_display); }

bool EventsQueued() { return XQLength(fl_display) > 0; }

void SetToolWindow(Fl_Window& window)
{
    const Window xid = fl_xid(&window);
    if (!xid) return;
    const Atom type = XInternAtom(fl_display, "_NET_WM_WINDOW_TYPE", False);
    const Atom utility = XInternAtom(fl_display, "_NET_WM_WINDOW_TYPE_UTILITY", False);
    XChangeProperty(fl_display, xid, type, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&utility),
                    1);
}

void SetStayOnTop(Fl_Window& window, bool on) { SendState(window, on, "_NET_WM_STATE_ABOVE"); }

void SetMaximized(Fl_Window& window, bool on)
{
    SendState(window, on, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
}

void SetNoCloseBox(Fl_Window& window)
{
    const Window xid = fl_xid(&window);
    if (!xid) return;
    // flags, functions, decorations, input mode, status; functions: all (1)
    // with close (32) taken away.
    constexpr long MwmHintsFunctions = 1;
    constexpr long MwmFuncAll = 1;
    constexpr long MwmFuncClose = 32;
    const long hints[5] = {MwmHintsFunctions, MwmFuncAll | MwmFuncClose, 0, 0, 0};
    const Atom motif = XInternAtom(fl_display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(fl_display, xid, motif, motif, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(hints), 5);
}

}  // namespace XWindows

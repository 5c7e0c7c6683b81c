#pragma once

// The few X calls the toolkit has no words for, kept apart: the X headers'
// names (Screen, None, KeyPress, Bool, ...) clash with the component model's.

class Fl_Window;

namespace XWindows {

// Opens the connection named by DISPLAY and hands it to the toolkit; false
// when there is no server that answers.
bool Open();
// The connection's fd, and whether Xlib holds read events not handled yet.
int ConnectionFd();
bool EventsQueued();
// Window manager hints of a shown window.
void SetToolWindow(Fl_Window& window);
void SetStayOnTop(Fl_Window& window, bool on);
void SetMaximized(Fl_Window& window, bool on);
// Asks the window manager to offer no close box (Motif hints: every function
// but close).
void SetNoCloseBox(Fl_Window& window);

}  // namespace XWindows

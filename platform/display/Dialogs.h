#pragma once

// Our own dialog windows (internal to this folder). Each runs modally in a
// nested loop of our loop core (RunModalWindow), so timers, sockets and other
// messages go on while the person decides; their widgets are plain toolkit
// widgets whose callbacks only record the answer and wake the loop.

#include <deque>
#include <functional>
#include <string>

#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Widget.H>

#include "platform/controls/TDialogs.h"
#include "platform/display/Toolkit.h"
#include "platform/graphics/TCanvas.h"

// Answers IDOK, IDCANCEL, IDYES, ... as the flags' buttons allow.
int RunMessageBox(const std::string& text, const std::string& caption, unsigned flags);
bool RunFileDialog(TOpenDialog& dialog, bool save);
bool RunFolderDialog(const std::string& title, std::string& folder);
bool RunColorDialog(TColor& color);
bool RunFontDialog(TFont& font);

// Shows `window` modally, centred over the active form, and runs the loop
// until `finished` answers true or the window is closed. `finished` runs in the
// loop, outside the toolkit's event handling: it may open further dialogs.
void RunModalWindow(Fl_Double_Window& window, const std::function<bool()>& finished);

// A dialog window's keys: Return presses the focused button, or runs
// OnReturn when the focus is elsewhere (a field that wants Return has it
// first); Escape is the close box.
class TDialogWindow : public Fl_Double_Window {
public:
    TDialogWindow(int w, int h) : Fl_Double_Window(w, h) {}
    int handle(int event) override;
    std::function<void()> OnReturn;
    // The widget that gets the focus when the window first has it.
    Fl_Widget* FirstFocus = nullptr;

private:
    bool FFocused = false;
};

// Callbacks for toolkit widgets as std::functions, kept while the dialog lives.
class TCallbacks {
public:
    void Bind(Fl_Widget& widget, std::function<void()> action);

private:
    std::deque<std::function<void()>> FActions;
};

// Adds a new widget to a dialog's group, which owns it from then on (the
// toolkit's rule for groups).
template <class W, class... Args>
W& AddWidget(Fl_Group& group, Args&&... args)
{
    auto widget = Toolkit::Make<W>(std::forward<Args>(args)...);
    W& added = *widget;
    group.add(widget.release());
    return added;
}

// Makes the waiting loop look again (after a callback changed something).
void WakeLoop();

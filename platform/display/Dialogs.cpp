#include "platform/display/Dialogs.h"

#include <algorithm>

#include "platform/controls/TApplication.h"
#include "platform/controls/TScreen.h"
#include "platform/display/HintWindow.h"
#include "platform/display/MenuWindows.h"
#include "platform/display/TDisplay.h"
#include "platform/loop/Messages.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>

void TCallbacks::Bind(Fl_Widget& widget, std::function<void()> action)
{
    FActions.push_back(std::move(action));
    widget.callback([](Fl_Widget*, void* data) {
        (*static_cast<std::function<void()>*>(data))();
        WakeLoop();
    }, &FActions.back());
}

int TDialogWindow::handle(int event)
{
    if (event == FL_SHOW || event == FL_FOCUS) {
        const int answer = Fl_Double_Window::handle(event);
        if (!FFocused && FirstFocus && shown()) FFocused = FirstFocus->take_focus() != 0;
        return event == FL_FOCUS ? 1 : answer;
    }
    if (event == FL_KEYBOARD) {
        const int key = Fl::event_key();
        if (key == FL_Escape) {
            do_callback();
            WakeLoop();
            return 1;
        }
        if (key == FL_Enter || key == FL_KP_Enter) {
            if (auto* button = dynamic_cast<Fl_Button*>(Fl::focus())) button->do_callback();
            else if (OnReturn) OnReturn();
            else return Fl_Double_Window::handle(event);
            WakeLoop();
            return 1;
        }
    }
    return Fl_Double_Window::handle(event);
}

void WakeLoop()
{
    if (TDisplay* display = TDisplay::Current()) display->Wake();
}

void RunModalWindow(Fl_Double_Window& window, const std::function<bool()>& finished)
{
    TDisplay* display = TDisplay::Current();
    HideHintWindow();
    CloseMenus();
    int cx = Fl::w() / 2;
    int cy = Fl::h() / 2;
    if (TCustomForm* active = Screen->ActiveForm(); active && active->Visible()) {
        cx = active->Left() + active->Width() / 2;
        cy = active->Top() + active->Height() / 2;
    }
    window.position(std::clamp(cx - window.w() / 2, 0, std::max(0, Fl::w() - window.w())),
                    std::clamp(cy - window.h() / 2, 0, std::max(0, Fl::h() - window.h())));
    window.set_modal();
    display->EnterOwnModal();
    window.show();
    while (window.shown() && !finished()) {
        if (Application && Application->Terminated()) break;
        if (!ProcessOneMessage()) WaitMessage();
    }
    window.hide();
    display->LeaveOwnModal();
}

#include "platform/display/TDisplay.h"

#include <poll.h>

#include <cstdlib>
#include <memory>
#include <utility>

#include "platform/controls/TApplication.h"
#include "platform/controls/TScreen.h"
#include "platform/display/TFormPeer.h"
#include "platform/display/Toolkit.h"
#include "platform/display/ToolkitText.h"
#include "platform/display/XWindows.h"
#include "platform/loop/Clock.h"
#include "platform/loop/Window.h"

#include <FL/Fl.H>

namespace {

constexpr UINT CM_DISPLAYINPUT = WM_APP + 0x0D10;
constexpr UINT CM_DISPLAYWAKE = WM_APP + 0x0D11;
constexpr UINT_PTR HeartbeatTimer = 1;
constexpr unsigned HeartbeatMs = 20;
constexpr DWORD GatherPumpMs = 10;

std::unique_ptr<TDisplay>& Instance()
{
    static std::unique_ptr<TDisplay> instance;
    return instance;
}

}  // namespace

TDisplay* TDisplay::Open()
{
    if (Instance()) return Instance().get();
    if (!XWindows::Open()) return nullptr;
    Instance().reset(new TDisplay());
    return Instance().get();
}

TDisplay* TDisplay::Current() { return Instance().get(); }

void TDisplay::Close() { Instance().reset(); }

TDisplay::TDisplay()
{
    Fl::background(240, 240, 240);
    Fl::background2(255, 255, 255);
    Fl::foreground(0, 0, 0);
    Fl::set_color(FL_SELECTION_COLOR, 51, 153, 255);
    Fl::scheme("gtk+");
    Fl::visible_focus(1);
    // Menus, our dialogs and hints use the toolkit's own face; it becomes the
    // widgets' face, so that the whole display has one look of text.
    const std::pair<Fl_Font, int> faces[] = {
        {FL_HELVETICA, 0}, {FL_HELVETICA_BOLD, fsBold}, {FL_HELVETICA_ITALIC, fsItalic},
        {FL_HELVETICA_BOLD_ITALIC, fsBold | fsItalic}};
    for (const auto& [fl, style] : faces) {
        TFont face;  // the default font, as the widgets have it
        face.SetStyle(static_cast<TFontStyles>(style));
        Fl::set_font(fl, Toolkit::Font(face));
    }
    Toolkit::UseCanvasText();
    FWindow = AllocateHWnd([this](HWND, UINT message, WPARAM wParam, LPARAM lParam) {
        return WndProc(message, wParam, lParam);
    });
    FWatch = WatchFd(XWindows::ConnectionFd(), POLLIN, [this](int, short) { Pump(); });
    FGatherHook = AddGatherHook([this] {
        if (timeGetTime() - FLastPump >= GatherPumpMs) Pump();
    });
    FIdleHook = AddIdleHook([this] { Pump(); });
}

TDisplay::~TDisplay()
{
    RemoveLoopHook(FIdleHook);
    RemoveLoopHook(FGatherHook);
    UnwatchFd(FWatch);
    DeallocateHWnd(FWindow);
    Fl::check();
}

void TDisplay::Post(std::function<void()> action)
{
    FInput.push_back(std::move(action));
    PostMessage(FWindow, CM_DISPLAYINPUT, 0, 0);
}

void TDisplay::Wake()
{
    if (FWakePending) return;
    FWakePending = true;
    PostMessage(FWindow, CM_DISPLAYWAKE, 0, 0);
}

void TDisplay::Pump()
{
    if (FPumping) return;
    FPumping = true;
    FLastPump = timeGetTime();
    for (TFormPeer* form : FForms) form->FollowModel();
    Fl::check();
    // Events Xlib has already read sit in its queue, where poll() cannot see them.
    if (XWindows::EventsQueued()) Wake();
    UpdateHeartbeat();
    FPumping = false;
}

void TDisplay::UpdateHeartbeat()
{
    const bool wanted = Fl::pushed() != nullptr || Fl::grab() != nullptr || FOwnModal > 0;
    if (wanted == FHeartbeat) return;
    FHeartbeat = wanted;
    if (wanted) SetTimer(FWindow, HeartbeatTimer, HeartbeatMs);
    else KillTimer(FWindow, HeartbeatTimer);
}

void TDisplay::AddForm(TFormPeer* form) { FForms.push_back(form); }

void TDisplay::RemoveForm(TFormPeer* form) { std::erase(FForms, form); }

void TDisplay::StartTimer(UINT_PTR id, unsigned ms, std::function<void()> action)
{
    StopTimer(id);
    FTimers.emplace_back(id, std::move(action));
    SetTimer(FWindow, id, ms);
}

void TDisplay::StopTimer(UINT_PTR id)
{
    KillTimer(FWindow, id);
    std::erase_if(FTimers, [id](const auto& t) { return t.first == id; });
}

LRESULT TDisplay::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case CM_DISPLAYINPUT: {
        if (FInput.empty()) return 0;
        std::function<void()> action = std::move(FInput.front());
        FInput.pop_front();
        action();
        return 0;
    }
    case CM_DISPLAYWAKE:
        FWakePending = false;
        return 0;
    case WM_TIMER:
        if (wParam == HeartbeatTimer) {
            Pump();
            return 0;
        }
        for (auto it = FTimers.begin(); it != FTimers.end(); ++it) {
            if (it->first != wParam) continue;
            std::function<void()> action = std::move(it->second);
            FTimers.erase(it);
            KillTimer(FWindow, wParam);
            action();
            return 0;
        }
        return 0;
    default:
        return DefWindowProc(FWindow, message, wParam, lParam);
    }
}

TCursor TDisplay::CursorFor(const TControl* control)
{
    if (Screen && Screen->Cursor() != crDefault) return Screen->Cursor();
    return control ? control->Cursor() : crDefault;
}

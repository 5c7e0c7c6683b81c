#pragma once

// The running display backend of the UI thread (internal to this folder).
//
// The toolkit is driven from our loop core, never the other way round:
// - The X connection is a watched fd of the loop; when it is readable, and at
//   every gather (at most every few milliseconds) and before the loop blocks,
//   the toolkit gets a zero-wait check, which reads and handles its events and
//   draws what is damaged. Nothing here waits inside the toolkit.
// - While a mouse button is held or a pop-up has the pointer grabbed, a short
//   loop timer keeps checking, for the toolkit's own timeouts (auto-repeat).
// - Widgets never call the model while the toolkit handles an event: they queue
//   the input (Post) and a message to our display window, so that the model
//   sees it when the loop dispatches, in FIFO order with timers and sockets,
//   and may open nested loops (modal forms, message boxes) from there.
// - Toolkit callbacks of our own dialogs only set flags; Wake then makes the
//   waiting loop look again.

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "platform/controls/TControl.h"
#include "platform/display/DisplayBackend.h"
#include "platform/loop/FdWatch.h"
#include "platform/loop/Messages.h"

class TFormPeer;

class TDisplay {
public:
    // Height of a form's menu bar.
    static constexpr int MenuBarHeight = DisplayMenuBarHeight;

    // Opens the connection when DISPLAY names a server that answers; nullptr
    // otherwise. The display lives until Close.
    static TDisplay* Open();
    static TDisplay* Current();
    static void Close();

    ~TDisplay();
    TDisplay(const TDisplay&) = delete;
    TDisplay& operator=(const TDisplay&) = delete;

    // Runs `action` when the loop dispatches our next message.
    void Post(std::function<void()> action);
    void Wake();
    // A zero-wait check of the toolkit, then the forms follow the model's
    // state that changes without a notice (surface pixels, focus, cursor).
    void Pump();

    void AddForm(TFormPeer* form);
    void RemoveForm(TFormPeer* form);
    const std::vector<TFormPeer*>& Forms() const { return FForms; }

    // One-shot timers of the loop core, on the display's window.
    void StartTimer(UINT_PTR id, unsigned ms, std::function<void()> action);
    void StopTimer(UINT_PTR id);
    static constexpr UINT_PTR HintTimer = 2;
    static constexpr UINT_PTR RepeatTimer = 3;

    // Counts the modal windows of our own (dialogs, menus) that are open.
    int OwnModalDepth() const { return FOwnModal; }
    void EnterOwnModal() { ++FOwnModal; }
    void LeaveOwnModal() { --FOwnModal; }

    // The cursor the screen and the control under the mouse ask for.
    static TCursor CursorFor(const TControl* control);

private:
    TDisplay();
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    void UpdateHeartbeat();

    HWND FWindow = 0;
    TFdWatchId FWatch = 0;
    TLoopHookId FGatherHook = 0;
    TLoopHookId FIdleHook = 0;
    std::deque<std::function<void()>> FInput;
    std::vector<TFormPeer*> FForms;
    std::vector<std::pair<UINT_PTR, std::function<void()>>> FTimers;
    DWORD FLastPump = 0;
    bool FWakePending = false;
    bool FHeartbeat = false;
    bool FPumping = false;
    int FOwnModal = 0;
};

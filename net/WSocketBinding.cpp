#include "net/WSocketBinding.h"

#include "net/ESocketException.h"
#include "net/TCustomWSocket.h"
#include "platform/winsock/Winsock.h"

namespace {

bool gStarted = false;
int gLiveObjects = 0;

// Program end stops the library once more.
struct Finalization {
    ~Finalization() { ReleaseWinsockLibrary(); }
} gFinalization;

}  // namespace

void BindWinsockLibrary()
{
    if (gStarted)
        return;
    winsock::WSADATA data;
    int result = winsock::WSAStartup(0x0101, data);
    if (result != 0)
        throw ESocketException(std::string(WinsockLibraryName) + ": WSAStartup error #" + std::to_string(result));
    gStarted = true;
}

void ReleaseWinsockLibrary()
{
    if (gStarted) {
        winsock::WSACleanup();
        gStarted = false;
    }
    gLiveObjects = 0;
}

int& WSocketCount() { return gLiveObjects; }

HWND SocketWindowCreate(TCustomWSocket* object)
{
    WNDCLASS existing;
    if (!GetWindowClassInfo(SocketWindowClassName, existing)) {
        WNDCLASS windowClass;
        windowClass.lpszClassName = SocketWindowClassName;
        windowClass.lpfnWndProc = SocketWindowEntry;
        windowClass.cbWndExtra = sizeof(LONG_PTR);
        if (!RegisterWindowClass(windowClass))
            return 0;
    }
    HWND window = CreateWindowEx(WS_EX_TOOLWINDOW, SocketWindowClassName, "", WS_POPUP, 0, 0, 0, 0, 0);
    if (window != 0 && object)
        SetWindowLongPtr(window, 0, reinterpret_cast<LONG_PTR>(object));
    return window;
}

LRESULT SocketWindowEntry(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* object = reinterpret_cast<TCustomWSocket*>(GetWindowLongPtr(window, 0));
    if (!object)
        return DefWindowProc(window, message, wParam, lParam);
    TMessage msg{message, wParam, lParam, 0};
    object->WndProc(msg);
    return msg.Result;
}

void SocketWindowClassUnregister() { UnregisterWindowClass(SocketWindowClassName); }

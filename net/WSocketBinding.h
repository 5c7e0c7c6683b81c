#pragma once

// The socket library's binding and the hidden notification windows.
//
// The library is started on the first call that needs it and stopped when
// the last socket object goes (and once more at program end). Every socket
// object has a window of the class "XSocketWindowClass" whose first extra
// word holds the object; its messages go to the object's WndProc.

#include <string>

#include "platform/loop/Window.h"

class TCustomWSocket;

// One window message as the socket objects handle it.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

inline constexpr char WinsockLibraryName[] = "wsock32.dll";
inline constexpr char SocketWindowClassName[] = "XSocketWindowClass";
// Sent by line editing for a backspace.
inline constexpr char BackspaceEcho[] = "\x08\x20\x08";

// Starts the library on first use; raises ESocketException
// "wsock32.dll: WSAStartup error #n" when the start is refused.
void BindWinsockLibrary();
// Stops the library when started, and sets the live-object counter to 0.
void ReleaseWinsockLibrary();
// The number of live socket objects.
int& WSocketCount();

// A window of the socket class holding `object` in extra word 0; 0 when none
// could be made.
HWND SocketWindowCreate(TCustomWSocket* object);
LRESULT SocketWindowEntry(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void SocketWindowClassUnregister();

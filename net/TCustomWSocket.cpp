#include "net/TCustomWSocket.h"

#include "platform/core/AnsiString.h"
#include "platform/controls/TApplication.h"
#include "platform/loop/Messages.h"

using namespace winsock;

namespace {

int SocketTypeOf(int protocol)
{
    return protocol == IPPROTO_TCP ? SOCK_STREAM : protocol == IPPROTO_UDP ? SOCK_DGRAM : SOCK_RAW;
}

}  // namespace

// ---------------------------------------------------------------- life

TCustomWSocket::TCustomWSocket(TComponent* AOwner) : TComponent(AOwner)
{
    AllocateSocketWindow();
    FBufSize = 1460;
    FMultiCastIpTTL = 1;
    TCustomWSocket::ResetToDefaults();
    ++WSocketCount();
}

TCustomWSocket::~TCustomWSocket()
{
    FDestroyingSelf = true;
    try {
        CancelDnsLookup();
    } catch (...) {
    }
    try {
        if (FState != wsClosed)
            Close();
    } catch (...) {
    }
    if (--WSocketCount() <= 0) {
        ReleaseWinsockLibrary();
        WSocketCount() = 0;
    }
    DropQueuedData();
    DeallocateSocketWindow();
    if (WSocketCount() <= 0)
        SocketWindowClassUnregister();
}

void TCustomWSocket::AllocateSocketWindow()
{
    FWindowHandle = SocketWindowCreate(this);
    if (FWindowHandle == 0)
        RaiseException("Cannot create a hidden window for TWSocket");
}

void TCustomWSocket::DeallocateSocketWindow()
{
    if (FWindowHandle == 0)
        return;
    // Cleared first, so a message still reaching the window finds no object.
    SetWindowLongPtr(FWindowHandle, 0, 0);
    if (DestroyWindow(FWindowHandle))
        FWindowHandle = 0;
}

void TCustomWSocket::ResetToDefaults()
{
    Fsin = sockaddr_in{};
    Fsin.sin_family = AF_INET;
    FAddrFormat = AF_INET;
    FPortAssigned = false;
    FAddrAssigned = false;
    FAddrResolved = false;
    FPortResolved = false;
    FProtoResolved = false;
    FLocalPortResolved = false;
    FProtoAssigned = true;
    FProto = IPPROTO_TCP;
    FProtoStr = "tcp";
    FType = SOCK_STREAM;
    FLocalPortStr = "0";
    FLocalAddr = "0.0.0.0";
    FLingerOnOff = wsLingerOn;
    FLingerTimeout = 0;
    FHSocket = INVALID_SOCKET;
    FSelectEvent = 0;
    FState = wsClosed;
    FAllSent = true;
    FPaused = false;
    FReadCount = 0;
    FCloseInvoked = false;
}

// ---------------------------------------------------------------- properties

void TCustomWSocket::SetAddr(const std::string& value)
{
    if (FAddrAssigned && value == FAddrStr)
        return;
    if (FState != wsClosed) {
        RaiseException("Cannot change Addr if not closed");
        return;
    }
    FAddrStr = Trim(value);
    FAddrAssigned = !FAddrStr.empty();
    FAddrResolved = false;
}

void TCustomWSocket::SetPort(const std::string& value)
{
    if (FPortAssigned && value == FPortStr)
        return;
    if (FState != wsClosed) {
        RaiseException("Cannot change Port if not closed");
        return;
    }
    FPortStr = Trim(value);
    FPortAssigned = !FPortStr.empty();
    FPortResolved = false;
}

void TCustomWSocket::SetProto(const std::string& value)
{
    if (FProtoAssigned && value == FProtoStr)
        return;
    if (FState != wsClosed) {
        RaiseException("Cannot change Proto if not closed");
        return;
    }
    FProtoStr = Trim(value);
    FProtoAssigned = !FProtoStr.empty();
    FProtoResolved = false;
}

void TCustomWSocket::SetLocalPort(const std::string& value)
{
    if (FState != wsClosed) {
        RaiseException("Cannot change LocalPort if not closed");
        return;
    }
    FLocalPortStr = value;
    FLocalPortResolved = false;
}

void TCustomWSocket::SetLocalAddr(const std::string& value)
{
    if (FState != wsClosed) {
        RaiseException("Cannot change LocalAddr if not closed");
        return;
    }
    FLocalAddr = value.empty() ? "0.0.0.0" : value;
}

void TCustomWSocket::SetSendFlags(TSocketSendFlags value)
{
    switch (value) {
    case wsSendNormal: FSendFlags = 0; break;
    case wsSendUrgent: FSendFlags = MSG_OOB; break;
    default: RaiseException("Invalid SendFlags");
    }
}

TSocketSendFlags TCustomWSocket::GetSendFlags()
{
    switch (FSendFlags) {
    case 0: return wsSendNormal;
    case MSG_OOB: return wsSendUrgent;
    default:
        RaiseException("Invalid internal SendFlags");
        return wsSendNormal;
    }
}

// ---------------------------------------------------------------- connect, listen, accept, dup

void TCustomWSocket::Connect()
{
    if (FHSocket != INVALID_SOCKET && FState != wsClosed) {
        RaiseException("Connect: Socket already in use");
        return;
    }
    if (!FPortAssigned) {
        RaiseException("Connect: No Port Specified");
        return;
    }
    if (!FAddrAssigned) {
        RaiseException("Connect: No IP Address Specified");
        return;
    }
    if (!FProtoAssigned) {
        RaiseException("Connect: No Protocol Specified");
        return;
    }
    try {
        BindWinsockLibrary();
        if (!FProtoResolved) {
            FProto = WSocketResolveProto(FProtoStr);
            FType = SocketTypeOf(FProto);
            FProtoResolved = true;
        }
        if (!FPortResolved) {
            FPortNum = WSocketResolvePort(FPortStr, FProtoStr);
            Fsin.sin_port = htons(static_cast<std::uint16_t>(FPortNum));
            FPortResolved = true;
        }
        if (!FLocalPortResolved) {
            FLocalPortNum = WSocketResolvePort(FLocalPortStr, FProtoStr);
            FLocalPortResolved = true;
        }
        if (!FAddrResolved) {
            Fsin.sin_addr.s_addr = WSocketResolveHost(FAddrStr);
            FAddrResolved = true;
        }
    } catch (const Exception& e) {
        RaiseException("connect: " + e.Message());
        return;
    }
    DropQueuedData();
    FHSocket = socket(FAddrFormat, FType, FProto);
    if (FHSocket == INVALID_SOCKET) {
        ReportSocketError("Connect (socket)");
        return;
    }
    ChangeState(wsOpened);
    if (FState != wsOpened) {
        ReportError(WSAEINVAL, "Connect (Invalid operation in OnChangeState)");
        return;
    }
    int on = 1;
    if (FType != SOCK_DGRAM) {
        if (setsockopt(FHSocket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) {
            ReportSocketError("setsockopt(SO_REUSEADDR)");
            return;
        }
        if ((FComponentOptions & wsoTcpNoDelay) &&
            setsockopt(FHSocket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0) {
            ReportSocketError("setsockopt(IPPROTO_TCP, TCP_NODELAY)");
            return;
        }
        if (!ApplyLingerChecked())
            return;
        if (setsockopt(FHSocket, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0) {
            ReportSocketError("setsockopt(SO_KEEPALIVE)");
            return;
        }
        if (!(FLocalPortNum == 0 && FLocalAddr == "0.0.0.0") && !BindLocalChecked())
            return;
    } else {
        if (!BindLocalChecked())
            return;
        if (FMultiCast && FMultiCastIpTTL != 1 &&
            setsockopt(FHSocket, IPPROTO_IP, IP_MULTICAST_TTL, &FMultiCastIpTTL, sizeof FMultiCastIpTTL) != 0) {
            ReportSocketError("setsockopt(IP_MULTICAST_TTL)");
            return;
        }
        if (Fsin.sin_addr.s_addr == INADDR_NONE &&
            setsockopt(FHSocket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
            ReportSocketError("setsockopt(SO_BROADCAST)");
            return;
        }
    }
    FSelectEvent = FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE;
    if (WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) != 0) {
        ReportSocketError("WSAAsyncSelect");
        return;
    }
    if (FType == SOCK_DGRAM) {
        ChangeState(wsConnected);
        FireSessionConnected(0);
        return;
    }
    if (connect(FHSocket, Fsin) == 0 || WSAGetLastError() == WSAEWOULDBLOCK) {
        ChangeState(wsConnecting);
        return;
    }
    FLastError = WSAGetLastError();
    ReportSocketError("Connect");
}

void TCustomWSocket::BindLocal() { BindLocalChecked(); }

bool TCustomWSocket::BindLocalChecked()
{
    sockaddr_in local;
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(FLocalPortNum));
    try {
        local.sin_addr.s_addr = WSocketResolveHost(FLocalAddr);
    } catch (const Exception& e) {
        RaiseException(e.Message());
        return false;
    }
    if (bind(FHSocket, local) != 0) {
        RaiseException("winsock.bind failed, error #" + std::to_string(WSAGetLastError()));
        return false;
    }
    if (getsockname(FHSocket, local) != 0) {
        RaiseException("winsock.getsockname failed, error #" + std::to_string(WSAGetLastError()));
        return false;
    }
    FLocalPortNum = ntohs(local.sin_port);
    FLocalPortStr = std::to_string(FLocalPortNum);
    return true;
}

void TCustomWSocket::ApplyLinger() { ApplyLingerChecked(); }

bool TCustomWSocket::ApplyLingerChecked()
{
    if (FLingerOnOff == wsLingerNoSet)
        return true;
    if (FHSocket == INVALID_SOCKET) {
        RaiseException("Cannot set linger option at this time");
        return false;
    }
    linger value{static_cast<std::uint16_t>(FLingerOnOff), static_cast<std::uint16_t>(FLingerTimeout)};
    if (setsockopt(FHSocket, SOL_SOCKET, SO_LINGER, &value, sizeof value) != 0) {
        ReportSocketError("setsockopt(SO_LINGER)");
        return false;
    }
    return true;
}

void TCustomWSocket::Listen()
{
    if (!FPortAssigned) {
        ReportError(WSAEINVAL, "listen: port not assigned");
        return;
    }
    if (!FProtoAssigned) {
        ReportError(WSAEINVAL, "listen: protocol not assigned");
        return;
    }
    if (!FAddrAssigned) {
        ReportError(WSAEINVAL, "listen: address not assigned");
        return;
    }
    try {
        BindWinsockLibrary();
        if (!FProtoResolved) {
            FProto = WSocketResolveProto(FProtoStr);
            FType = FProto == IPPROTO_UDP ? SOCK_DGRAM : SOCK_STREAM;
            FProtoResolved = true;
        }
        if (!FPortResolved) {
            FPortNum = WSocketResolvePort(FPortStr, FProtoStr);
            Fsin.sin_port = htons(static_cast<std::uint16_t>(FPortNum));
            FPortResolved = true;
        }
        if (!FAddrResolved) {
            Fsin.sin_addr.s_addr = WSocketResolveHost(FAddrStr);
            FAddrResolved = true;
        }
    } catch (const Exception& e) {
        RaiseException("listen: " + e.Message());
        return;
    }
    DropQueuedData();
    FHSocket = socket(FAddrFormat, FType, FProto);
    if (FHSocket == INVALID_SOCKET) {
        ReportSocketError("socket");
        return;
    }
    int on = 1;
    if (FType == SOCK_DGRAM && FReuseAddr && setsockopt(FHSocket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) {
        ReportSocketError("setsockopt(SO_REUSEADDR)");
        return;
    }
    if (bind(FHSocket, Fsin) != 0) {
        // The socket goes before the report, which may raise.
        int error = WSAGetLastError();
        closesocket(FHSocket);
        FHSocket = INVALID_SOCKET;
        ReportError(error, "Bind");
        Close();
        return;
    }
    ChangeState(wsBound);
    if (FType == SOCK_DGRAM && FMultiCast) {
        ip_mreq request;
        request.imr_multiaddr.s_addr = inet_addr(FMultiCastAddrStr);
        request.imr_interface.s_addr = htonl(INADDR_ANY);
        if (setsockopt(FHSocket, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request) != 0) {
            ReportSocketError("setsockopt(IP MULTICAST)");
            return;
        }
    }
    if (FType == SOCK_STREAM) {
        if (listen(FHSocket, 5) != 0) {
            ReportSocketError("Listen");
            return;
        }
        ChangeState(wsListening);
    } else if (FType == SOCK_DGRAM || FType == SOCK_RAW) {
        ChangeState(wsListening);
        ChangeState(wsConnected);
        FireSessionConnected(0);
    } else {
        ReportSocketError("Listen: unexpected protocol.");
        return;
    }
    FSelectEvent = FD_READ | FD_WRITE | FD_ACCEPT | FD_CLOSE;
    if (WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) != 0)
        ReportSocketError("WSAASyncSelect");
}

TSocket TCustomWSocket::Accept()
{
    if (FState != wsListening) {
        ReportError(WSAEINVAL, "not a listening socket");
        return INVALID_SOCKET;
    }
    FASocket = accept(FHSocket, &Fsin);
    if (FASocket == INVALID_SOCKET) {
        ReportSocketError("Accept");
        return INVALID_SOCKET;
    }
    return FASocket;
}

void TCustomWSocket::Dup(TSocket newHSocket)
{
    if (newHSocket == 0 || newHSocket == INVALID_SOCKET) {
        ReportError(WSAEINVAL, "Dup");
        return;
    }
    BindWinsockLibrary();
    if (FState != wsClosed) {
        if (closesocket(FHSocket) != 0) {
            ReportSocketError("Dup (closesocket)");
            return;
        }
        ChangeState(wsClosed);
    }
    FHSocket = newHSocket;
    if (!ApplyLingerChecked())
        return;
    FSelectEvent = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE;
    if (WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent) != 0) {
        ReportSocketError("WSAAsyncSelect");
        return;
    }
    ChangeState(wsConnected);
}

// ---------------------------------------------------------------- closing

void TCustomWSocket::CloseCore(bool shut, WORD error)
{
    if (FHSocket == INVALID_SOCKET) {
        if (FState != wsClosed) {
            ChangeState(wsClosed);
            ResetToDefaults();
        }
        return;
    }
    if (FState == wsClosed)
        return;
    if (shut)
        Shutdown(SD_SEND);
    while (closesocket(FHSocket) != 0) {
        int failure = WSAGetLastError();
        if (failure == WSAEWOULDBLOCK) {
            PumpMessages();
            continue;
        }
        FHSocket = INVALID_SOCKET;
        if (failure != WSANOTINITIALISED)
            ReportSocketError("Disconnect (closesocket)");
        return;
    }
    FHSocket = INVALID_SOCKET;
    ChangeState(wsClosed);
    if (!IsDestroying() && !FCloseInvoked) {
        FCloseInvoked = true;
        FireSessionClosed(error);
    }
    try {
        ResetToDefaults();
    } catch (...) {
    }
}

void TCustomWSocket::Close() { CloseCore(true, 0); }

void TCustomWSocket::CloseLater() { PostMessage(FWindowHandle, WM_CLOSE_DELAYED, 0, 0); }

void TCustomWSocket::Release() { PostMessage(FWindowHandle, WM_WSOCKET_RELEASE, 0, 0); }

void TCustomWSocket::Abort()
{
    CancelDnsLookup();
    DropQueuedData();
    // Linger off literally, as the option says: the close then goes on in the
    // background rather than as a reset.
    if (FState == wsConnected && FProto == IPPROTO_TCP) {
        FLingerOnOff = wsLingerOff;
        ApplyLinger();
    }
    CloseCore(false, 0);
}

void TCustomWSocket::Shutdown(int how)
{
    if (FHSocket != INVALID_SOCKET)
        shutdown(FHSocket, how);
}

void TCustomWSocket::Flush()
{
    while (FHSocket != INVALID_SOCKET && !FAllSent) {
        TryToSend();
        PumpMessages();
        if (FHSocket != INVALID_SOCKET && !FAllSent)
            MsgWaitForMultipleObjects({}, 10);
    }
}

void TCustomWSocket::AwaitPeerClose()
{
    while (FHSocket != INVALID_SOCKET && FState != wsClosed) {
        PumpMessages();
        winsock::u_long waiting = 0;
        if (ioctlsocket(FHSocket, FIONREAD, waiting) != 0)
            break;
        if (waiting > 0)
            FireDataAvailable(0);
        char probe;
        if (recv(FHSocket, &probe, 0, 0) <= 0) {
            FLastError = WSAGetLastError();
            if (FLastError != WSAEWOULDBLOCK)
                break;
        }
        PumpMessages();
        MsgWaitForMultipleObjects({}, 10);
    }
}

void TCustomWSocket::Pause()
{
    FPaused = true;
    WSAAsyncSelect(FHSocket, FWindowHandle, 0, 0);
}

void TCustomWSocket::Resume()
{
    FPaused = false;
    WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvent);
}

void TCustomWSocket::DropQueuedData() { FBufList.clear(); }

// ---------------------------------------------------------------- pumping and state

void TCustomWSocket::PumpMessages()
{
    if (FMultiThreaded || !Application)
        DrainMessages();
    else
        Application->ProcessMessages();
}

void TCustomWSocket::DrainMessages()
{
    MSG msg;
    while (PeekMessage(msg, 0, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            FTerminated = true;
            continue;
        }
        TranslateMessage(msg);
        DispatchMessage(msg);
    }
}

void TCustomWSocket::ChangeState(TSocketState newState)
{
    TSocketState oldState = FState;
    FState = newState;
    FireChangeState(oldState, newState);
}

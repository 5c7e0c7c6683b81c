// TCustomWSocket: the window procedure, the send and receive paths, lookups,
// addresses and error reporting.

#include "net/TCustomWSocket.h"

#include <algorithm>

#include "platform/loop/Messages.h"

using namespace winsock;

// ---------------------------------------------------------------- window

template <class Handler>
void TCustomWSocket::Guarded(Handler handler)
{
    try {
        handler();
    } catch (const Exception& e) {
        HandleEventException(e);
    }
}

void TCustomWSocket::WndProc(TMessage& msg)
{
    if (msg.Msg == WM_WSOCKET_RELEASE) {
        delete this;
        return;
    }
    Guarded([&] {
        switch (msg.Msg) {
        case WM_ASYNCSELECT: HandleSelectMessage(msg); break;
        case WM_ASYNCGETHOSTBYNAME: HandleNameLookupMessage(msg); break;
        case WM_ASYNCGETHOSTBYADDR: HandleAddrLookupMessage(msg); break;
        case WM_CLOSE_DELAYED: Close(); break;
        case WM_TRIGGER_EXCEPTION: throw ESocketException("Test exception in WSocket");
        default: msg.Result = DefWindowProc(FWindowHandle, msg.Msg, msg.WParam, msg.LParam);
        }
    });
}

bool FireBgException(const TBgExceptionEvent& handler, TObject* sender, const std::exception& e)
{
    bool canClose = true;
    if (handler) {
        try {
            TBgExceptionEvent copy = handler;
            copy(sender, e, canClose);
        } catch (...) {
        }
    }
    return canClose;
}

void TCustomWSocket::HandleEventException(const std::exception& e)
{
    if (FireBgException(OnBgException, this, e)) {
        try {
            Abort();
        } catch (...) {
        }
    }
}

void TCustomWSocket::HandleSelectMessage(TMessage& msg)
{
    if (static_cast<TSocket>(msg.WParam) != FHSocket || FPaused)
        return;
    int events = WSAGETSELECTEVENT(msg.LParam);
    WORD error = static_cast<WORD>(WSAGETSELECTERROR(msg.LParam));
    if ((events & FD_CONNECT) && FState != wsConnected) {
        ChangeState(wsConnected);
        FireSessionConnected(error);
        if (error != 0 && FState != wsClosed)
            Close();
    }
    if (events & FD_READ) {
        if (FState != wsConnected) {
            ChangeState(wsConnected);
            FireSessionConnected(error);
        }
        ReceiveLoop(error, FComponentOptions);
    }
    if (events & FD_WRITE) {
        TryToSend();
        if (FAllSent)
            FireDataSent(error);
    }
    if (events & FD_ACCEPT)
        FireSessionAvailable(error);
    if ((events & FD_CLOSE) && FState != wsConnecting) {
        ReceiveLoop(0, FComponentOptions & ~wsoNoReceiveLoop);
        if (!FCloseInvoked) {
            FCloseInvoked = true;
            FireSessionClosed(error);
        }
        if (FState != wsClosed)
            Close();
    }
}

// ---------------------------------------------------------------- sending

int TCustomWSocket::Send(const void* data, int length)
{
    if (FState != wsConnected) {
        ReportError(WSAENOTCONN, "Send");
        return -1;
    }
    // Nothing queued and nothing to queue: no send is outstanding, so the
    // all-sent state stays (a Flush would otherwise wait for ever).
    if (length <= 0 && FBufList.empty())
        return 0;
    FAllSent = false;
    int result = 0;
    if (length > 0) {
        if (FType == SOCK_STREAM && QueueIsEmpty())
            SendFirstDirectly(data, length);
        else
            QueueSendData(data, length);
        result = length;
    }
    TryToSend();
    if (FAllSent)
        PostMessage(FWindowHandle, WM_ASYNCSELECT, FHSocket, WSAMAKESELECTREPLY(FD_WRITE, 0));
    return result;
}

int TCustomWSocket::SendText(const std::string& text)
{
    if (text.empty())
        return 0;
    return Send(text.data(), static_cast<int>(text.size()));
}

long long TCustomWSocket::UntakenCount() const
{
    if (FHSocket == INVALID_SOCKET)
        return 0;
    long long untaken = 0;
    for (const auto& block : FBufList) {
        int length = 0;
        block->Peek(length);
        untaken += length;
    }
    winsock::u_long held = 0;
    if (ioctlsocket(FHSocket, FIONWRITE, held) == 0)
        untaken += held;
    return untaken;
}

bool TCustomWSocket::QueueIsEmpty() const
{
    return std::all_of(FBufList.begin(), FBufList.end(), [](const auto& block) { return block->WriteCount() == 0; });
}

// With nothing queued, what the kernel takes at once goes straight from the
// caller's bytes; only the rest is copied into the queue, which is queued
// before the send notice so a handler that sends again sends behind it.
void TCustomWSocket::SendFirstDirectly(const void* data, int length)
{
    int count = send(FHSocket, data, length, FSendFlags);
    if (count < 0) {
        // The queued send meets the same error and reports it as usual.
        if (WSAGetLastError() != WSAEWOULDBLOCK) {
            QueueSendData(data, length);
            return;
        }
        count = 0;
    }
    QueueSendData(static_cast<const char*>(data) + count, length - count);
    // An emptied block stays queued, as after a queued send, so that a later
    // zero-byte send still reports.
    if (FBufList.empty())
        FBufList.push_back(TakeSpareBlock());
    if (count == length)
        FAllSent = true;
    if (count > 0)
        FireSendData(count);
}

void TCustomWSocket::QueueSendData(const void* data, int length)
{
    if (length < 1)
        return;
    const char* bytes = static_cast<const char*>(data);
    if (FBufList.empty())
        FBufList.push_back(TakeSpareBlock());
    int written = FBufList.back()->Write(bytes, length);
    while (written < length) {
        FBufList.push_back(TakeSpareBlock());
        written += FBufList.back()->Write(bytes + written, length - written);
    }
}

// A stream sends hundreds of thousands of blocks: sent ones are kept for the
// next data instead of going back to the heap.
std::unique_ptr<TBuffer> TCustomWSocket::TakeSpareBlock()
{
    while (!FSpareBlocks.empty()) {
        std::unique_ptr<TBuffer> block = std::move(FSpareBlocks.back());
        FSpareBlocks.pop_back();
        if (block->Size() == FBufSize)
            return block;
    }
    return std::make_unique<TBuffer>(FBufSize);
}

void TCustomWSocket::RetireFirstBlock()
{
    constexpr std::size_t SpareLimit = 64;
    if (FSpareBlocks.size() < SpareLimit && FBufList.front()->WriteCount() == 0)
        FSpareBlocks.push_back(std::move(FBufList.front()));
    FBufList.pop_front();
}

void TCustomWSocket::TryToSend()
{
    if (FHSocket == INVALID_SOCKET || FBufList.empty())
        return;
    for (;;) {
        TBuffer& first = *FBufList.front();
        int length = 0;
        const char* data = first.Peek(length);
        if (length <= 0) {
            if (FBufList.size() == 1) {
                FAllSent = true;  // the block stays for reuse
                return;
            }
            RetireFirstBlock();
            continue;
        }
        // Full blocks behind the first go out in the same call: one send
        // call per 1460 bytes would cost the kernel more than the copy.
        if (FBufList.size() > 1 && length == first.Size()) {
            FGather.assign(data, data + length);
            for (std::size_t i = 1; i < FBufList.size() && FGather.size() < 65536; ++i) {
                int more = 0;
                const char* next = FBufList[i]->Peek(more);
                if (next)
                    FGather.insert(FGather.end(), next, next + more);
            }
            data = FGather.data();
            length = static_cast<int>(FGather.size());
        }
        int count = RawSend(data, length);
        if (count == 0)
            return;
        if (count < 0) {
            int error = WSAGetLastError();
            if (error == WSAEWOULDBLOCK)
                return;
            if (error == WSAECONNRESET || error == WSAENOTSOCK || error == WSAENOTCONN || error == WSAEINVAL ||
                error == WSAECONNABORTED) {
                FCloseInvoked = true;
                Close();
                FireSessionClosed(static_cast<WORD>(error));
                return;
            }
            ReportSocketError("TryToSend failed");
            return;
        }
        for (int left = count; left > 0;) {
            left -= FBufList.front()->Remove(left);
            if (left > 0)
                RetireFirstBlock();
        }
        if (count < length)
            return;
    }
}

int TCustomWSocket::RawSend(const void* data, int length)
{
    int result = FType == SOCK_DGRAM ? sendto(FHSocket, data, length, FSendFlags, Fsin)
                                     : send(FHSocket, data, length, FSendFlags);
    if (result > 0)
        FireSendData(result);
    return result;
}

int TCustomWSocket::SendTo(const sockaddr_in& destination, int destinationLength, const void* data, int length)
{
    int result = sendto(FHSocket, data, length, FSendFlags, destination);
    if (result > 0)
        FireSendData(result);
    return result;
}

// ---------------------------------------------------------------- receiving

void TCustomWSocket::ReceiveLoop(WORD error, TWSocketOptions options)
{
    for (;;) {
        FLastError = 0;
        FPassReceived = false;
        if (!FireDataAvailable(error)) {
            char discard[1024];
            if (RecvRaw(discard, sizeof discard, 0) < 0) {
                int failure = WSAGetLastError();
                FLastError = failure == WSAEWOULDBLOCK ? 0 : failure;
                break;
            }
            FPassReceived = true;
        }
        if (options & wsoNoReceiveLoop)
            break;
        if (FLastError != 0)
            break;
        // A handler that took nothing would be offered the same bytes for
        // ever; the next receive brings the next notice.
        if (!FPassReceived)
            break;
        winsock::u_long waiting = 0;
        if (ioctlsocket(FHSocket, FIONREAD, waiting) != 0) {
            FLastError = WSAGetLastError();
            break;
        }
        if (waiting == 0)
            break;
    }
}

int TCustomWSocket::Receive(void* buffer, int length)
{
    int count = RecvRaw(buffer, length, 0);
    if (count < 0) {
        FLastError = WSAGetLastError();
    } else {
        FReadCount += count;
        FPassReceived = true;
    }
    return count;
}

std::string TCustomWSocket::ReceiveText()
{
    int waiting = GetRcvdCount();
    if (waiting < 0)
        return {};
    if (waiting == 0)
        waiting = 255;
    std::string text(static_cast<std::size_t>(waiting), '\0');
    int count = Receive(text.data(), waiting);
    if (count <= 0)
        return {};
    text.resize(static_cast<std::size_t>(count));
    return text;
}

int TCustomWSocket::ReceiveFrom(void* buffer, int length, sockaddr_in& from, int& fromLength)
{
    int count = RecvRawFrom(FHSocket, buffer, length, 0, from, fromLength);
    if (count < 0) {
        FLastError = WSAGetLastError();
    } else {
        FReadCount += count;
        FPassReceived = true;
    }
    return count;
}

int TCustomWSocket::RecvRaw(void* buffer, int length, int flags) { return recv(FHSocket, buffer, length, flags); }

int TCustomWSocket::RecvRawFrom(TSocket s, void* buffer, int length, int flags, sockaddr_in& from, int& fromLength)
{
    int count = recvfrom(s, buffer, length, flags, &from);
    if (count >= 0)
        fromLength = sizeof(sockaddr_in);
    return count;
}

int TCustomWSocket::GetRcvdCount()
{
    if (ComponentState() & csDesigning)
        return -1;
    winsock::u_long waiting = 0;
    if (ioctlsocket(FHSocket, FIONREAD, waiting) != 0) {
        ReportSocketError("ioctlSocket");
        return -1;
    }
    return static_cast<int>(waiting);
}

// ---------------------------------------------------------------- lookups

void TCustomWSocket::StartLookup()
{
    BindWinsockLibrary();
    if (FDnsLookupHandle != 0) {
        WSACancelAsyncRequest(FDnsLookupHandle);
        FDnsLookupHandle = 0;
    }
    FDnsResult.clear();
    FDnsResultList.clear();
}

void TCustomWSocket::DnsLookup(const std::string& hostName)
{
    if (hostName.empty()) {
        RaiseException("DNS lookup: invalid host name.");
        FireDnsLookupDone(WSAEINVAL);
        return;
    }
    StartLookup();
    if (IsDottedIPv4(hostName)) {
        std::string dotted = hostName.substr(hostName.find_first_not_of(' '));
        dotted = dotted.substr(0, dotted.find(' '));
        FDnsResult = inet_ntoa(in_addr{inet_addr(dotted)});
        FireDnsLookupDone(0);
        return;
    }
    if (FWindowHandle == 0) {
        RaiseException("DnsLookup: Window not assigned");
        return;
    }
    FDnsLookupCheckMsg = false;
    winsock::HANDLE handle = WSAAsyncGetHostByName(FWindowHandle, WM_ASYNCGETHOSTBYNAME, hostName);
    if (handle == 0) {
        RaiseException(hostName + ": can't start DNS lookup, error #" + std::to_string(WSAGetLastError()));
        return;
    }
    FDnsLookupHandle = handle;
    if (FDnsLookupCheckMsg) {
        FDnsLookupCheckMsg = false;
        WndProc(FDnsLookupTempMsg);
    }
}

void TCustomWSocket::HandleNameLookupMessage(TMessage& msg)
{
    if (FDnsLookupHandle == 0) {
        FDnsLookupTempMsg = msg;
        FDnsLookupCheckMsg = true;
        return;
    }
    if (msg.WParam != FDnsLookupHandle)
        return;
    FDnsLookupHandle = 0;
    WORD error = static_cast<WORD>(WSAGETASYNCERROR(msg.LParam));
    if (error == 0) {
        if (std::optional<HOSTENT> entry = WSAAsyncLookupResult(static_cast<winsock::HANDLE>(msg.WParam))) {
            for (const in_addr& address : entry->h_addr_list)
                FDnsResultList.push_back(inet_ntoa(address));
            if (!FDnsResultList.empty())
                FDnsResult = FDnsResultList.front();
        }
    }
    FireDnsLookupDone(error);
}

void TCustomWSocket::ReverseDnsLookup(const std::string& hostAddr)
{
    if (hostAddr.empty() || hostAddr.size() >= 257) {
        RaiseException("ReverseDnsLookup: Invalid host name.");
        FireDnsLookupDone(WSAEINVAL);
        return;
    }
    StartLookup();
    if (FWindowHandle == 0) {
        RaiseException("ReverseDnsLookup: Window not assigned");
        return;
    }
    winsock::HANDLE handle =
        WSAAsyncGetHostByAddr(FWindowHandle, WM_ASYNCGETHOSTBYADDR, in_addr{inet_addr(hostAddr)});
    if (handle == 0) {
        RaiseException(hostAddr + ": can't start DNS lookup, error #" + std::to_string(WSAGetLastError()));
        return;
    }
    FDnsLookupHandle = handle;
}

void TCustomWSocket::HandleAddrLookupMessage(TMessage& msg)
{
    if (msg.WParam != FDnsLookupHandle || FDnsLookupHandle == 0)
        return;
    FDnsLookupHandle = 0;
    WORD error = static_cast<WORD>(WSAGETASYNCERROR(msg.LParam));
    if (error == 0) {
        if (std::optional<HOSTENT> entry = WSAAsyncLookupResult(static_cast<winsock::HANDLE>(msg.WParam))) {
            FDnsResult = entry->h_name;
            FDnsResultList = {entry->h_name};
        }
    }
    FireDnsLookupDone(error);
}

void TCustomWSocket::CancelDnsLookup()
{
    if (FDnsLookupHandle == 0)
        return;
    if (WSACancelAsyncRequest(FDnsLookupHandle) != 0) {
        FDnsLookupHandle = 0;
        ReportSocketError("WSACancelAsyncRequest");
        return;
    }
    FDnsLookupHandle = 0;
    if (!IsDestroying())
        FireDnsLookupDone(WSAEINTR);
}

// ---------------------------------------------------------------- addresses

std::string TCustomWSocket::GetPeerAddr()
{
    if (FState != wsConnected)
        return "error";
    sockaddr_in peer;
    if (getpeername(FHSocket, peer) != 0) {
        ReportSocketError("GetPeerName");
        return "error";
    }
    return inet_ntoa(peer.sin_addr);
}

std::string TCustomWSocket::GetPeerPort()
{
    if (FState != wsConnected)
        return "error";
    sockaddr_in peer;
    if (getpeername(FHSocket, peer) != 0) {
        ReportSocketError("GetPeerPort");
        return "error";
    }
    return std::to_string(ntohs(peer.sin_port));
}

int TCustomWSocket::GetPeerName(sockaddr_in& name, int length)
{
    if (FState != wsConnected)
        return -1;
    return getpeername(FHSocket, name);
}

std::string TCustomWSocket::GetBoundPort()
{
    if (FState != wsBound && FState != wsConnected && FState != wsListening)
        return "error";
    sockaddr_in bound;
    if (getsockname(FHSocket, bound) != 0)
        return "error";
    return std::to_string(ntohs(bound.sin_port));
}

std::string TCustomWSocket::GetBoundAddr()
{
    if (FState != wsBound && FState != wsConnected && FState != wsListening)
        return "error";
    sockaddr_in bound;
    if (getsockname(FHSocket, bound) != 0)
        return "error";
    return inet_ntoa(bound.sin_addr);
}

int TCustomWSocket::GetSockName(sockaddr_in& name, int& length)
{
    int result = getsockname(FHSocket, name);
    if (result == 0)
        length = sizeof(sockaddr_in);
    return result;
}

// ---------------------------------------------------------------- errors and events

void TCustomWSocket::ReportError(int error, const std::string& functionName)
{
    WSASetLastError(error);
    ReportSocketError(functionName);
}

void TCustomWSocket::ReportSocketError(const std::string& functionName)
{
    int error = WSAGetLastError();
    std::string text = "Error " + std::to_string(error) + " in function " + functionName + "\r\n" +
                       SocketErrorText(error);
    if (error == WSAECONNRESET || error == WSAENOTCONN) {
        if (FHSocket != INVALID_SOCKET)
            closesocket(FHSocket);
        FHSocket = INVALID_SOCKET;
        if (FState != wsClosed && !FCloseInvoked)
            FireSessionClosed(static_cast<WORD>(error));
        ChangeState(wsClosed);
    }
    FLastError = error;
    RaiseException(text);
}

void TCustomWSocket::RaiseException(const std::string& message)
{
    if (OnError)
        FireError();
    else
        throw ESocketException(message);
}

bool TCustomWSocket::FireDataAvailable(WORD error)
{
    if (!OnDataAvailable)
        return false;
    Fire(*this, OnDataAvailable, this, error);
    return true;
}

void TCustomWSocket::FireSessionAvailable(WORD error) { Fire(*this, OnSessionAvailable, this, error); }
void TCustomWSocket::FireSessionConnected(WORD error) { Fire(*this, OnSessionConnected, this, error); }
void TCustomWSocket::FireSessionClosed(WORD error) { Fire(*this, OnSessionClosed, this, error); }
void TCustomWSocket::FireDataSent(WORD error) { Fire(*this, OnDataSent, this, error); }
void TCustomWSocket::FireSendData(int count) { Fire(*this, OnSendData, this, count); }
void TCustomWSocket::FireDnsLookupDone(WORD error) { Fire(*this, OnDnsLookupDone, this, error); }
void TCustomWSocket::FireError() { Fire(*this, OnError, this); }

void TCustomWSocket::FireChangeState(TSocketState oldState, TSocketState newState)
{
    Fire(*this, OnChangeState, this, oldState, newState);
}

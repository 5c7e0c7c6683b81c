#include "platform/winsock/PosixSockets.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/loop/FdWatch.h"
#include "platform/winsock/Winsock.h"
#include "platform/winsock/WinsockState.h"

namespace winsock {

namespace {

// One socket and its Winsock notification record.
struct SocketRecord {
    SOCKET Handle = INVALID_SOCKET;
    int Fd = -1;
    int Type = SOCK_STREAM;
    bool NonBlocking = false;

    HWND Window = 0;
    UINT Message = 0;
    long Mask = 0;
    TFdWatchId Watch = 0;
    DWORD WatchThread = 0;

    bool Connecting = false;
    bool Connected = false;  // a datagram socket counts as connected from the start
    bool Listening = false;
    bool HasDeferredConnect = false;
    int DeferredConnectError = 0;
    bool ReadEnabled = true;
    bool AcceptEnabled = true;
    bool WriteArmed = false;
    bool ClosePosted = false;
    bool ShutSend = false;

    long Pending = 0;          // events seen but not yet posted
    int PendingError[6] = {};  // by bit number
    long long SendLimit = -1;
    linger Linger;
};

using RecordPtr = std::shared_ptr<SocketRecord>;

struct SocketTable {
    std::mutex Mutex;
    std::map<SOCKET, RecordPtr> Sockets;
};

SocketTable& Table()
{
    static SocketTable* table = new SocketTable();
    return *table;
}

// Never 0 and never reused; the first ones stay clear of small numbers a
// caller might confuse with descriptors.
std::atomic<SOCKET> gNextHandle{0x100};

RecordPtr Find(SOCKET s)
{
    std::lock_guard lock(Table().Mutex);
    auto found = Table().Sockets.find(s);
    return found == Table().Sockets.end() ? nullptr : found->second;
}

// The record of a live socket, or null with WSAENOTSOCK (WSANOTINITIALISED
// before start-up).
RecordPtr Lookup(SOCKET s)
{
    if (!CheckStarted())
        return nullptr;
    RecordPtr record = Find(s);
    if (!record)
        Fail(WSAENOTSOCK);
    return record;
}

SOCKET Enter(RecordPtr record)
{
    record->Handle = gNextHandle.fetch_add(1);
    std::lock_guard lock(Table().Mutex);
    Table().Sockets.emplace(record->Handle, record);
    return record->Handle;
}

void ToPosix(const sockaddr_in& from, ::sockaddr_in& to)
{
    std::memset(&to, 0, sizeof to);
    to.sin_family = static_cast<sa_family_t>(from.sin_family == AF_INET ? posix::P_AF_INET : from.sin_family);
    to.sin_port = from.sin_port;
    to.sin_addr.s_addr = from.sin_addr.s_addr;
}

void FromPosix(const ::sockaddr_in& from, sockaddr_in& to)
{
    to = sockaddr_in{};
    to.sin_family = from.sin_family == posix::P_AF_INET ? AF_INET : from.sin_family;
    to.sin_port = from.sin_port;
    to.sin_addr.s_addr = from.sin_addr.s_addr;
}

int BitOf(long event)
{
    switch (event) {
    case FD_READ: return 0;
    case FD_WRITE: return 1;
    case FD_OOB: return 2;
    case FD_ACCEPT: return 3;
    case FD_CONNECT: return 4;
    default: return 5;
    }
}

int SocketError(int fd)
{
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd, posix::P_SOL_SOCKET, posix::P_SO_ERROR, &error, &length) != 0)
        return errno;
    return error;
}

// Linux lets a send queue grow to megabytes, so a send and its FD_WRITE say
// nothing of what the peer has taken; Winsock buffers little. Bounding the
// bytes not yet sent keeps FD_WRITE in step with the peer, as there; what is
// in flight stays the kernel's, so throughput does not suffer.
constexpr int UnsentBytesBound = 64 * 1024;

void BoundSendQueue(int fd)
{
    int bound = UnsentBytesBound;
    ::setsockopt(fd, ::IPPROTO_TCP, posix::P_TCP_NOTSENT_LOWAT, &bound, sizeof bound);
}

// ---------------------------------------------------------------- notifications

void Harvest(SOCKET s, short revents);

// Sockets of this thread with a result to post at the next gather.
thread_local std::vector<SOCKET> tDue;
thread_local TLoopHookId tDueHook = 0;

void Record(SocketRecord& record, long event, int error)
{
    record.Pending |= event;
    record.PendingError[BitOf(event)] = error;
}

void PostPending(SocketRecord& record)
{
    if (record.Window == 0)
        return;
    static constexpr long order[] = {FD_CONNECT, FD_WRITE, FD_READ, FD_OOB, FD_ACCEPT, FD_CLOSE};
    for (long event : order) {
        if ((record.Pending & event) == 0 || (record.Mask & event) == 0)
            continue;
        record.Pending &= ~event;
        PostMessage(record.Window, record.Message, record.Handle,
                    WSAMAKESELECTREPLY(event, record.PendingError[BitOf(event)]));
    }
}

// Narrows the watch to what can still produce a notification, so a socket
// with nothing to report never keeps the loop awake.
void Arm(SocketRecord& record)
{
    if (record.WatchThread != GetCurrentThreadId())
        return;
    short events = 0;
    if (record.Window != 0 && record.Mask != 0) {
        if (record.Connecting && !record.HasDeferredConnect)
            events |= POLLOUT;
        if (record.Listening && record.AcceptEnabled)
            events |= POLLIN;
        if (record.Connected) {
            if (record.ReadEnabled && !record.ClosePosted)
                events |= POLLIN | POLLRDHUP;
            if (record.WriteArmed && record.SendLimit != 0)
                events |= POLLOUT;
        }
    }
    if (events == 0) {
        if (record.Watch != 0) {
            UnwatchFd(record.Watch);
            record.Watch = 0;
        }
        return;
    }
    if (record.Watch == 0) {
        SOCKET handle = record.Handle;
        record.Watch = WatchFd(record.Fd, events, [handle](int, short revents) { Harvest(handle, revents); });
    } else {
        SetFdWatchEvents(record.Watch, events);
    }
}

void Unwatch(SocketRecord& record)
{
    if (record.Watch != 0 && record.WatchThread == GetCurrentThreadId())
        UnwatchFd(record.Watch);
    record.Watch = 0;
}

void ConnectFinished(SocketRecord& record, int error)
{
    record.Connecting = false;
    if (error == 0) {
        record.Connected = true;
        record.WriteArmed = true;
    }
    Record(record, FD_CONNECT, WSAErrorFromErrno(error));
}

void RunDue()
{
    std::vector<SOCKET> due;
    due.swap(tDue);
    for (SOCKET s : due) {
        RecordPtr record = Find(s);
        if (!record || record->WatchThread != GetCurrentThreadId())
            continue;
        if (record->HasDeferredConnect && record->Connecting && record->Window != 0) {
            record->HasDeferredConnect = false;
            ConnectFinished(*record, record->DeferredConnectError);
        }
        PostPending(*record);
        Arm(*record);
    }
}

void MarkDue(SOCKET s)
{
    if (tDueHook == 0)
        tDueHook = AddGatherHook(RunDue);
    if (std::find(tDue.begin(), tDue.end(), s) == tDue.end())
        tDue.push_back(s);
}

// A connect whose result is known at once still reports it by a later
// FD_CONNECT.
void DeferConnect(SOCKET s, SocketRecord& record, int error)
{
    record.Connecting = true;
    record.HasDeferredConnect = true;
    record.DeferredConnectError = error;
    if (record.Window != 0)
        MarkDue(s);
}

// The end of a connection: a reset or abort gives its error, the peer's
// orderly close 0.
int CloseErrorOf(int error)
{
    switch (error) {
    case ECONNRESET: case EPIPE: return WSAECONNRESET;
    case ETIMEDOUT: case EHOSTUNREACH: case ENETUNREACH: case ECONNABORTED: return WSAECONNABORTED;
    default: return WSAErrorFromErrno(error);
    }
}

void Harvest(SOCKET s, short revents)
{
    RecordPtr record = Find(s);
    if (!record)
        return;
    SocketRecord& r = *record;
    if (r.Connecting && !r.HasDeferredConnect && (revents & (POLLOUT | POLLERR | POLLHUP)))
        ConnectFinished(r, SocketError(r.Fd));
    if (r.Listening && r.AcceptEnabled && (revents & POLLIN)) {
        r.AcceptEnabled = false;
        Record(r, FD_ACCEPT, 0);
    }
    if (r.Connected && r.Type == SOCK_STREAM && !r.ClosePosted && (revents & POLLERR)) {
        int error = SocketError(r.Fd);
        if (error != 0) {
            r.ClosePosted = true;
            r.ReadEnabled = false;
            Record(r, FD_CLOSE, CloseErrorOf(error));
        }
    }
    if (r.Connected && r.WriteArmed && !r.ClosePosted && (revents & POLLOUT)) {
        r.WriteArmed = false;
        Record(r, FD_WRITE, 0);
    }
    if (r.Connected && r.ReadEnabled && !r.ClosePosted && (revents & (POLLIN | POLLRDHUP | POLLHUP))) {
        int waiting = 0;
        ::ioctl(r.Fd, posix::P_FIONREAD, &waiting);
        if (waiting > 0 || (r.Type != SOCK_STREAM && (revents & POLLIN))) {
            r.ReadEnabled = false;
            Record(r, FD_READ, 0);
        } else if (r.Type == SOCK_STREAM) {
            char probe;
            ssize_t got = ::recv(r.Fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
            if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
                r.ClosePosted = true;
                Record(r, FD_CLOSE, got == 0 ? 0 : CloseErrorOf(errno));
            } else if (got > 0) {
                r.ReadEnabled = false;
                Record(r, FD_READ, 0);
            }
        }
    }
    PostPending(r);
    Arm(r);
}

// Re-enables an event after the call that consumes it.
void Reenable(SocketRecord& record, bool SocketRecord::*flag)
{
    if (record.*flag)
        return;
    record.*flag = true;
    Arm(record);
}

bool MapOption(int level, int name, int& posixLevel, int& posixName)
{
    if (level == SOL_SOCKET) {
        posixLevel = posix::P_SOL_SOCKET;
        switch (name) {
        case SO_DEBUG: posixName = posix::P_SO_DEBUG; return true;
        case SO_ACCEPTCONN: posixName = posix::P_SO_ACCEPTCONN; return true;
        case SO_REUSEADDR: posixName = posix::P_SO_REUSEADDR; return true;
        case SO_KEEPALIVE: posixName = posix::P_SO_KEEPALIVE; return true;
        case SO_DONTROUTE: posixName = posix::P_SO_DONTROUTE; return true;
        case SO_BROADCAST: posixName = posix::P_SO_BROADCAST; return true;
        case SO_LINGER: posixName = posix::P_SO_LINGER; return true;
        case SO_OOBINLINE: posixName = posix::P_SO_OOBINLINE; return true;
        case SO_SNDBUF: posixName = posix::P_SO_SNDBUF; return true;
        case SO_RCVBUF: posixName = posix::P_SO_RCVBUF; return true;
        case SO_ERROR: posixName = posix::P_SO_ERROR; return true;
        case SO_TYPE: posixName = posix::P_SO_TYPE; return true;
        default: return false;
        }
    }
    if (level == IPPROTO_TCP && name == TCP_NODELAY) {
        posixLevel = ::IPPROTO_TCP;
        posixName = posix::P_TCP_NODELAY;
        return true;
    }
    if (level == IPPROTO_IP) {
        posixLevel = ::IPPROTO_IP;
        switch (name) {
        case IP_MULTICAST_IF: posixName = posix::P_IP_MULTICAST_IF; return true;
        case IP_MULTICAST_TTL: posixName = posix::P_IP_MULTICAST_TTL; return true;
        case IP_MULTICAST_LOOP: posixName = posix::P_IP_MULTICAST_LOOP; return true;
        case IP_ADD_MEMBERSHIP: posixName = posix::P_IP_ADD_MEMBERSHIP; return true;
        case IP_DROP_MEMBERSHIP: posixName = posix::P_IP_DROP_MEMBERSHIP; return true;
        default: return false;
        }
    }
    return false;
}

}  // namespace

// ---------------------------------------------------------------- socket life

SOCKET socket(int family, int type, int protocol)
{
    if (!CheckStarted())
        return INVALID_SOCKET;
    if (family != AF_INET) {
        Fail(WSAEAFNOSUPPORT);
        return INVALID_SOCKET;
    }
    int posixType = type == SOCK_STREAM ? ::SOCK_STREAM : type == SOCK_DGRAM ? ::SOCK_DGRAM
                  : type == SOCK_RAW ? ::SOCK_RAW : -1;
    if (posixType < 0) {
        Fail(WSAESOCKTNOSUPPORT);
        return INVALID_SOCKET;
    }
    int fd = ::socket(posix::P_AF_INET, posixType | SOCK_CLOEXEC, protocol);
    if (fd < 0) {
        FailErrno();
        return INVALID_SOCKET;
    }
    if (type == SOCK_STREAM)
        BoundSendQueue(fd);
    auto record = std::make_shared<SocketRecord>();
    record->Fd = fd;
    record->Type = type;
    record->Connected = type != SOCK_STREAM;
    return Enter(record);
}

int closesocket(SOCKET s)
{
    RecordPtr record = Lookup(s);
    if (!record)
        return SOCKET_ERROR;
    {
        std::lock_guard lock(Table().Mutex);
        Table().Sockets.erase(s);
    }
    Unwatch(*record);
    std::erase(tDue, s);
    if (record->Linger.l_onoff != 0 && record->Linger.l_linger > 0 && record->Connected) {
        // Linux would block the closing thread for the linger time; the data
        // still drains in the background after an orderly shutdown.
        ::linger off{0, 0};
        ::setsockopt(record->Fd, posix::P_SOL_SOCKET, posix::P_SO_LINGER, &off, sizeof off);
        ::shutdown(record->Fd, SHUT_WR);
    }
    ::close(record->Fd);
    return 0;
}

int shutdown(SOCKET s, int how)
{
    RecordPtr record = Lookup(s);
    if (!record)
        return SOCKET_ERROR;
    int posixHow = how == SD_RECEIVE ? SHUT_RD : how == SD_SEND ? SHUT_WR : how == SD_BOTH ? SHUT_RDWR : -1;
    if (posixHow < 0)
        return Fail(WSAEINVAL);
    if (::shutdown(record->Fd, posixHow) != 0)
        return FailErrno();
    if (how != SD_RECEIVE)
        record->ShutSend = true;
    return 0;
}

int bind(SOCKET s, const sockaddr_in& address)
{
    RecordPtr record = Lookup(s);
    if (!record)
        return SOCKET_ERROR;
    ::sockaddr_in posix;
    ToPosix(address, posix);
    if (::bind(record->Fd, reinterpret_cast<const ::sockaddr*>(&posix), sizeof posix) != 0)
        return FailErrno();
    return 0;
}

int listen(SOCKET s, int backlog)
{
    RecordPtr record = Lookup(s);
    if (!record)
        return SOCKET_ERROR;
    if (record->Type != SOCK_STREAM)
        return Fail(WSAEOPNOTSUPP);
    if (::listen(record->Fd, backlog) != 0)
        return FailErrno();
    record->Listening = true;
    record->Connected = false;
    record->AcceptEnabled = true;
    Arm(*record);
    return 0;
}

SOCKET accept(SOCKET s, sockaddr_in* address)
{
    RecordPtr record = Lookup(s);
    if (!record)
        return INVALID_SOCKET;
    if (!record->Listening) {
        Fail(WSAEINVAL);
        return INVALID_SOCKET;
    }
    ::sockaddr_in posix{};
    socklen_t length = sizeof posix;
    int fd = ::accept4(record->Fd, reinterpret_cast<::sockaddr*>(&posix), &length,
                       SOCK_CLOEXEC | (record->NonBlocking ? SOCK_NONBLOCK : 0));
    int error = errno;
    Reenable(*record, &SocketRecord::AcceptEnabled);
    if (fd < 0) {
        Fail(WSAErrorFromErrno(error));
        return INVALID_SOCKET;
    }
    if (address)
        FromPosix(posix, *address);
    BoundSendQueue(fd);
    auto accepted = std::make_shared<SocketRecord>();
    accepted->Fd = fd;
    accepted->Type = SOCK_STREAM;
    accepted->NonBlocking = record->NonBlocking;
    accepted->Connected = true;
    accepted->WriteArmed = true;
    accepted->Window = record->Window;
    accepted->Message = record->Message;
    accepted->Mask = record->Mask;
    accepted->WatchThread = record->WatchThread;
    SOCKET handle = Enter(accepted);
    Arm(*accepted);
    return handle;
}

int connect(SOCKET s, const sockaddr_in& address)
{
    RecordPtr record = Lookup(s);
    if (!record)
        return SOCKET_ERROR;
    if (record->Connecting)
        return Fail(WSAEALREADY);
    if (record->Type == SOCK_STREAM && record->Connected)
        return Fail(WSAEISCONN);
    ::sockaddr_in posix;
    ToPosix(address, posix);
    int result;
    do
        result = ::connect(record->Fd, reinterpret_cast<const ::sockaddr*>(&posix), sizeof posix);
    while (result != 0 && errno == EINTR && !record->NonBlocking);
    int error = result == 0 ? 0 : errno;
    if (record->Type != SOCK_STREAM) {
        if (error != 0)
            return Fail(WSAErrorFromErrno(error));
        // Winsock reports even a connect that succeeds at once, as a
        // datagram or raw socket's does, by a later FD_CONNECT.
        if (record->NonBlocking && record->Window != 0)
            DeferConnect(s, *record, 0);
        return 0;
    }
    if (!record->NonBlocking) {
        if (error != 0)
            return Fail(WSAErrorFromErrno(error));
        record->Connected = true;
        return 0;
    }
    record->Connecting = true;
    if (error != EINPROGRESS)
        DeferConnect(s, *record, error);
    Arm(*record);
    return Fail(WSAEWOULDBLOCK);
}

// ---------------------------------------------------------------- data

int send(SOCKET s, const void* data, int length, int flags)
{
    RecordPtr record = Lookup(s);
    if (!record)
        return SOCKET_ERROR;
    if (length < 0)
        return Fail(WSAEINVAL);
    if (record->Type == SOCK_STREAM && !record->Connected)
        return Fail(WSAENOTCONN);
    std::size_t amount = static_cast<std::size_t>(length);
    if (record->SendLimit >= 0)
        amount = std::min<std::size_t>(amount, static_cast<std::size_t>(record->SendLimit));
    ssize_t sent = -1;
    int error = EAGAIN;
    if (amount > 0 || length == 0) {
        sent = ::send(record->Fd, data, amount, MSG_NOSIGNAL | (flags & MSG_OOB ? ::MSG_OOB : 0) |
                                                    (record->NonBlocking ? MSG_DONTWAIT : 0));
        error = errno;
    }
    if (sent < 0) {
        if (error == EAGAIN)
            Reenable(*record, &SocketRecord::WriteArmed);
        if (error == EPIPE && record->ShutSend)
            return Fail(WSAESHUTDOWN);
        return Fail(WSAErrorFromErrno(error));
    }
    if (record->SendLimit >= 0)
        record->SendLimit -= sent;
    // Linux takes part of a send where Winsock would buffer it or refuse it
    // whole; either way the caller now waits for FD_WRITE.
    if (static_cast<std::size_t>(sent) < static_cast<std::size_t>(length))
        Reenable(*record, &SocketRecord::WriteArmed);
    return static_cast<int>(sent);
}

int sendto(SOCKET s, const void* data, int length, int flags, const sockaddr_in& to)
{
    RecordPtr record = Lookup(s);
    if (!record)
        return SOCKET_ERROR;
    if (length < 0)
        return Fail(WSAEINVAL);
    ::sockaddr_in posix;
    ToPosix(to, posix);
    ssize_t sent = ::sendto(record->Fd, data, static_cast<std::size_t>(length),
                            MSG_NOSIGNAL | (flags & MSG_OOB ? ::MSG_OOB : 0) | (record->NonBlocking ? MSG_DONTWAIT : 0),
                            reinterpret_cast<const ::sockaddr*>(&posix), sizeof posix);
    if (sent < 0) {
        int error = errno;
        if (error == EAGAIN)
            Reenable(*record, &SocketRecord::WriteArmed);
        return Fail(WSAErrorFromErrno(error));
    }
    return static_cast<int>(sent);
}

int recvfrom(SOCKET s, void* buffer, int length, int flags, sockaddr_in* from)
{
    RecordPtr record = Lookup(s);
    if (!record)
        return SOCKET_ERROR;
    if (length < 0)
        return Fail(WSAEINVAL);
    if (record->Type == SOCK_STREAM && !record->Connected)
        return Fail(WSAENOTCONN);
    ::sockaddr_in posix{};
    socklen_t posixLength = sizeof posix;
    int posixFlags = (flags & MSG_OOB ? ::MSG_OOB : 0) | (flags & MSG_PEEK ? ::MSG_PEEK : 0) |
                     (record->NonBlocking ? MSG_DONTWAIT : 0);
    ssize_t got = ::recvfrom(record->Fd, buffer, static_cast<std::size_t>(length), posixFlags,
                             reinterpret_cast<::sockaddr*>(&posix), &posixLength);
    int error = errno;
    if ((flags & MSG_PEEK) == 0)
        Reenable(*record, &SocketRecord::ReadEnabled);
    if (got < 0)
        return Fail(WSAErrorFromErrno(error));
    if (from)
        FromPosix(posix, *from);
    return static_cast<int>(got);
}

int recv(SOCKET s, void* buffer, int length, int flags) { return recvfrom(s, buffer, length, flags, nullptr); }

// ---------------------------------------------------------------- control

int ioctlsocket(SOCKET s, long command, u_long& argument)
{
    RecordPtr record = Lookup(s);
    if (!record)
        return SOCKET_ERROR;
    if (command == FIONREAD || command == FIONWRITE) {
        int waiting = 0;
        if (::ioctl(record->Fd, command == FIONREAD ? posix::P_FIONREAD : posix::P_TIOCOUTQ, &waiting) != 0)
            return FailErrno();
        argument = static_cast<u_long>(waiting);
        return 0;
    }
    if (command == FIONBIO) {
        if (argument == 0 && record->Window != 0 && record->Mask != 0)
            return Fail(WSAEINVAL);  // as on Windows: a selected socket stays non-blocking
        int fileFlags = ::fcntl(record->Fd, F_GETFL);
        ::fcntl(record->Fd, F_SETFL, argument ? fileFlags | O_NONBLOCK : fileFlags & ~O_NONBLOCK);
        record->NonBlocking = argument != 0;
        return 0;
    }
    return Fail(WSAEINVAL);
}

int setsockopt(SOCKET s, int level, int name, const void* value, int length)
{
    RecordPtr record = Lookup(s);
    if (!record)
        return SOCKET_ERROR;
    if (!value || length < 0)
        return Fail(WSAEFAULT);
    int posixLevel = 0, posixName = 0;
    if (!MapOption(level, name, posixLevel, posixName))
        return Fail(WSAENOPROTOOPT);
    if (level == SOL_SOCKET && name == SO_LINGER) {
        if (length < static_cast<int>(sizeof(linger)))
            return Fail(WSAEFAULT);
        linger given;
        std::memcpy(&given, value, sizeof given);
        ::linger posix{given.l_onoff != 0 ? 1 : 0, given.l_linger};
        if (::setsockopt(record->Fd, posixLevel, posixName, &posix, sizeof posix) != 0)
            return FailErrno();
        record->Linger = given;
        return 0;
    }
    if (level == IPPROTO_IP && (name == IP_ADD_MEMBERSHIP || name == IP_DROP_MEMBERSHIP)) {
        if (length < static_cast<int>(sizeof(ip_mreq)))
            return Fail(WSAEFAULT);
        ip_mreq given;
        std::memcpy(&given, value, sizeof given);
        ::ip_mreq posix{};
        posix.imr_multiaddr.s_addr = given.imr_multiaddr.s_addr;
        posix.imr_interface.s_addr = given.imr_interface.s_addr;
        if (::setsockopt(record->Fd, posixLevel, posixName, &posix, sizeof posix) != 0)
            return FailErrno();
        return 0;
    }
    // Winsock takes a Boolean or count as an int; a single byte is accepted too.
    int number = 0;
    if (length >= static_cast<int>(sizeof(int)))
        std::memcpy(&number, value, sizeof number);
    else if (length >= 1)
        number = *static_cast<const unsigned char*>(value);
    else
        return Fail(WSAEFAULT);
    if (::setsockopt(record->Fd, posixLevel, posixName, &number, sizeof number) != 0)
        return FailErrno();
    return 0;
}

int getsockopt(SOCKET s, int level, int name, void* value, int& length)
{
    RecordPtr record = Lookup(s);
    if (!record)
        return SOCKET_ERROR;
    if (!value)
        return Fail(WSAEFAULT);
    int posixLevel = 0, posixName = 0;
    if (!MapOption(level, name, posixLevel, posixName))
        return Fail(WSAENOPROTOOPT);
    if (level == SOL_SOCKET && name == SO_LINGER) {
        if (length < static_cast<int>(sizeof(linger)))
            return Fail(WSAEFAULT);
        ::linger posix{};
        socklen_t posixLength = sizeof posix;
        if (::getsockopt(record->Fd, posixLevel, posixName, &posix, &posixLength) != 0)
            return FailErrno();
        linger answer{static_cast<std::uint16_t>(posix.l_onoff), static_cast<std::uint16_t>(posix.l_linger)};
        std::memcpy(value, &answer, sizeof answer);
        length = sizeof answer;
        return 0;
    }
    if (length < static_cast<int>(sizeof(int)))
        return Fail(WSAEFAULT);
    int number = 0;
    socklen_t posixLength = sizeof number;
    if (::getsockopt(record->Fd, posixLevel, posixName, &number, &posixLength) != 0)
        return FailErrno();
    if (level == SOL_SOCKET && name == SO_ERROR)
        number = WSAErrorFromErrno(number);
    if (level == SOL_SOCKET && name == SO_TYPE)
        number = number == ::SOCK_STREAM ? SOCK_STREAM : number == ::SOCK_DGRAM ? SOCK_DGRAM : SOCK_RAW;
    std::memcpy(value, &number, sizeof number);
    length = sizeof number;
    return 0;
}

namespace {

// getsockname and getpeername differ only in the call that fills the address.
int SocketAddress(SOCKET s, sockaddr_in& address, int (*query)(int, ::sockaddr*, socklen_t*))
{
    RecordPtr record = Lookup(s);
    if (!record)
        return SOCKET_ERROR;
    ::sockaddr_in posix{};
    socklen_t length = sizeof posix;
    if (query(record->Fd, reinterpret_cast<::sockaddr*>(&posix), &length) != 0)
        return FailErrno();
    FromPosix(posix, address);
    return 0;
}

}  // namespace

int getsockname(SOCKET s, sockaddr_in& address) { return SocketAddress(s, address, ::getsockname); }

int getpeername(SOCKET s, sockaddr_in& address) { return SocketAddress(s, address, ::getpeername); }

// ---------------------------------------------------------------- WSAAsyncSelect

int WSAAsyncSelect(SOCKET s, HWND window, UINT message, long events)
{
    RecordPtr record = Lookup(s);
    if (!record)
        return SOCKET_ERROR;
    if (events != 0 && window == 0)
        return Fail(WSAEINVAL);
    if (!record->NonBlocking) {
        int fileFlags = ::fcntl(record->Fd, F_GETFL);
        ::fcntl(record->Fd, F_SETFL, fileFlags | O_NONBLOCK);
        record->NonBlocking = true;
    }
    if (record->WatchThread != GetCurrentThreadId())
        Unwatch(*record);
    record->WatchThread = GetCurrentThreadId();
    record->Window = window;
    record->Message = message;
    record->Mask = events;
    // A new registration looks at the present conditions again.
    record->ReadEnabled = true;
    record->AcceptEnabled = true;
    if (record->Connected)
        record->WriteArmed = true;
    if (events != 0 && (record->HasDeferredConnect || record->Pending != 0))
        MarkDue(s);
    Arm(*record);
    return 0;
}

// ---------------------------------------------------------------- seams

void LimitSends(SOCKET s, long long bytes)
{
    if (RecordPtr record = Find(s)) {
        record->SendLimit = bytes;
        if (bytes != 0)
            Arm(*record);
    }
}

int DescriptorOf(SOCKET s)
{
    RecordPtr record = Find(s);
    return record ? record->Fd : -1;
}

}  // namespace winsock

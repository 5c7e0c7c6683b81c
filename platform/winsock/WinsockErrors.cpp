#include <cerrno>
#include <mutex>

#include "platform/winsock/Winsock.h"
#include "platform/winsock/WinsockState.h"

namespace winsock {

namespace {

thread_local int tLastError = 0;

struct StartUp {
    std::mutex Mutex;
    int Count = 0;
};

StartUp& Library()
{
    static StartUp* library = new StartUp();
    return *library;
}

}  // namespace

int WSAErrorFromErrno(int error)
{
    switch (error) {
    case 0: return 0;
    case EINTR: return WSAEINTR;
    case EBADF: return WSAEBADF;
    case EACCES: case EPERM: return WSAEACCES;
    case EFAULT: return WSAEFAULT;
    case EINVAL: return WSAEINVAL;
    case EMFILE: case ENFILE: return WSAEMFILE;
    case EAGAIN: case EINPROGRESS: return WSAEWOULDBLOCK;
    case EALREADY: return WSAEALREADY;
    case ENOTSOCK: return WSAENOTSOCK;
    case EDESTADDRREQ: return WSAEDESTADDRREQ;
    case EMSGSIZE: return WSAEMSGSIZE;
    case EPROTOTYPE: return WSAEPROTOTYPE;
    case ENOPROTOOPT: return WSAENOPROTOOPT;
    case EPROTONOSUPPORT: return WSAEPROTONOSUPPORT;
    case ESOCKTNOSUPPORT: return WSAESOCKTNOSUPPORT;
    case EOPNOTSUPP: return WSAEOPNOTSUPP;
    case EPFNOSUPPORT: return WSAEPFNOSUPPORT;
    case EAFNOSUPPORT: return WSAEAFNOSUPPORT;
    case EADDRINUSE: return WSAEADDRINUSE;
    case EADDRNOTAVAIL: return WSAEADDRNOTAVAIL;
    case ENETDOWN: return WSAENETDOWN;
    case ENETUNREACH: return WSAENETUNREACH;
    case ENETRESET: return WSAENETRESET;
    case ECONNABORTED: return WSAECONNABORTED;
    case ECONNRESET: case EPIPE: return WSAECONNRESET;
    case ENOBUFS: case ENOMEM: return WSAENOBUFS;
    case EISCONN: return WSAEISCONN;
    case ENOTCONN: return WSAENOTCONN;
    case ESHUTDOWN: return WSAESHUTDOWN;
    case ETOOMANYREFS: return WSAETOOMANYREFS;
    case ETIMEDOUT: return WSAETIMEDOUT;
    case ECONNREFUSED: return WSAECONNREFUSED;
    case ELOOP: return WSAELOOP;
    case ENAMETOOLONG: return WSAENAMETOOLONG;
    case EHOSTDOWN: return WSAEHOSTDOWN;
    case EHOSTUNREACH: return WSAEHOSTUNREACH;
    case ENOTEMPTY: return WSAENOTEMPTY;
    case EUSERS: return WSAEUSERS;
    case EDQUOT: return WSAEDQUOT;
    case ESTALE: return WSAESTALE;
    case EREMOTE: return WSAEREMOTE;
    default: return WSAEINVAL;
    }
}

int WSAGetLastError() { return tLastError; }
void WSASetLastError(int error) { tLastError = error; }

int Fail(int error)
{
    tLastError = error;
    return SOCKET_ERROR;
}

int FailErrno() { return Fail(WSAErrorFromErrno(errno)); }

bool WSAIsStarted()
{
    std::lock_guard lock(Library().Mutex);
    return Library().Count > 0;
}

bool CheckStarted()
{
    if (WSAIsStarted())
        return true;
    tLastError = WSANOTINITIALISED;
    return false;
}

int WSAStartup(std::uint16_t versionRequested, WSADATA& data)
{
    // Version 1.1 or anything above it is served as 1.1; below it is refused.
    std::uint8_t major = versionRequested & 0xFF;
    std::uint8_t minor = versionRequested >> 8;
    data.wVersion = 0x0101;
    data.wHighVersion = 0x0101;
    data.szDescription = "Gallery Windows Sockets 1.1 over POSIX sockets";
    data.szSystemStatus = "Running";
    if (major < 1 || (major == 1 && minor < 1))
        return WSAVERNOTSUPPORTED;
    std::lock_guard lock(Library().Mutex);
    ++Library().Count;
    return 0;
}

int WSACleanup()
{
    std::lock_guard lock(Library().Mutex);
    if (Library().Count == 0)
        return Fail(WSANOTINITIALISED);
    --Library().Count;
    return 0;
}

}  // namespace winsock

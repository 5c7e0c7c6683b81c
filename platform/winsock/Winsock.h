#pragma once

// Windows Sockets 1.1 over POSIX sockets and the loop core.
//
// Contract (the numbers and semantics the socket components rely on):
// - Every call but the conversions answers 10093 (WSANOTINITIALISED) until
//   WSAStartup; start-up is counted and WSACleanup undoes one start-up. Clean-up
//   only clears the started state: sockets stay usable by whoever holds them.
// - SOCKET values are the layer's own ids, increasing and never reused while the
//   process lives, so a stale notification never matches a newer socket. An
//   unknown or closed SOCKET answers WSAENOTSOCK.
// - Failures answer SOCKET_ERROR (or INVALID_SOCKET) and set the calling
//   thread's last error to a WSA number (errno mapped by WSAErrorFromErrno).
// - WSAAsyncSelect makes the socket non-blocking and posts one message per
//   event to the window (wParam the socket, lParam WSAMAKESELECTREPLY):
//   FD_CONNECT always later as a message, also when connect() fails or succeeds
//   at once (connect itself then answers WSAEWOULDBLOCK), followed by FD_WRITE
//   on success; FD_READ once until the next recv or recvfrom; FD_WRITE after
//   connecting or registering, then only after a send that would block;
//   a stream socket holds at most 64 KB not yet sent, so sends would block,
//   and FD_WRITE follows, at the pace the peer takes the bytes;
//   FD_ACCEPT once until the next accept; FD_CLOSE once, after the unread
//   bytes are gone (10054 for a reset), never after the program's own close.
//   Events outside the mask are kept and posted by a later registration that
//   includes them; mask 0 stops the posting (messages already queued stay).
//   The readiness is gathered at every peek of the registering thread.
// - An accepted socket inherits the listener's registration.
// - Sends never raise SIGPIPE; a send on a connection the peer reset answers
//   WSAECONNRESET, after the program's own shutdown WSAESHUTDOWN.
// - Asynchronous lookups run on worker threads and deliver one message to the
//   window (wParam the handle, lParam WSAMAKEASYNCREPLY(0, error)); the result
//   stays in the layer until WSAAsyncLookupResult takes it. A cancelled lookup
//   delivers nothing, even when its reply is already queued.
// - "tcp", "udp", "ftp" and "http" resolve without the system's files.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/loop/Messages.h"

namespace winsock {

using SOCKET = std::uint32_t;
using HANDLE = std::uint32_t;
using u_long = std::uint32_t;
using u_short = std::uint16_t;
inline constexpr SOCKET INVALID_SOCKET = 0xFFFFFFFF;
inline constexpr int SOCKET_ERROR = -1;

struct WSADATA {
    std::uint16_t wVersion = 0;
    std::uint16_t wHighVersion = 0;
    std::string szDescription;
    std::string szSystemStatus;
};

// The 16-byte Internet address record; port and address in network order.
struct in_addr {
    std::uint32_t s_addr = 0;
};
struct sockaddr_in {
    std::uint16_t sin_family = 0;
    std::uint16_t sin_port = 0;
    in_addr sin_addr;
    std::uint8_t sin_zero[8] = {};
};
static_assert(sizeof(sockaddr_in) == 16);

struct linger {
    std::uint16_t l_onoff = 0;
    std::uint16_t l_linger = 0;
};

struct ip_mreq {
    in_addr imr_multiaddr;
    in_addr imr_interface;
};

inline constexpr int AF_INET = 2;
inline constexpr int PF_INET = 2;
inline constexpr int SOCK_STREAM = 1;
inline constexpr int SOCK_DGRAM = 2;
inline constexpr int SOCK_RAW = 3;
inline constexpr int IPPROTO_IP = 0;
inline constexpr int IPPROTO_ICMP = 1;
inline constexpr int IPPROTO_TCP = 6;
inline constexpr int IPPROTO_UDP = 17;
inline constexpr std::uint32_t INADDR_ANY = 0;
inline constexpr std::uint32_t INADDR_NONE = 0xFFFFFFFF;

inline constexpr int SOL_SOCKET = 0xFFFF;
inline constexpr int SO_DEBUG = 0x0001;
inline constexpr int SO_ACCEPTCONN = 0x0002;
inline constexpr int SO_REUSEADDR = 0x0004;
inline constexpr int SO_KEEPALIVE = 0x0008;
inline constexpr int SO_DONTROUTE = 0x0010;
inline constexpr int SO_BROADCAST = 0x0020;
inline constexpr int SO_LINGER = 0x0080;
inline constexpr int SO_OOBINLINE = 0x0100;
inline constexpr int SO_SNDBUF = 0x1001;
inline constexpr int SO_RCVBUF = 0x1002;
inline constexpr int SO_ERROR = 0x1007;
inline constexpr int SO_TYPE = 0x1008;
inline constexpr int TCP_NODELAY = 0x0001;
// The Winsock 1.1 numbers of the multicast options.
inline constexpr int IP_MULTICAST_IF = 2;
inline constexpr int IP_MULTICAST_TTL = 3;
inline constexpr int IP_MULTICAST_LOOP = 4;
inline constexpr int IP_ADD_MEMBERSHIP = 5;
inline constexpr int IP_DROP_MEMBERSHIP = 6;

inline constexpr int MSG_OOB = 0x1;
inline constexpr int MSG_PEEK = 0x2;

inline constexpr int SD_RECEIVE = 0;
inline constexpr int SD_SEND = 1;
inline constexpr int SD_BOTH = 2;

inline constexpr long FIONREAD = 0x4004667F;
inline constexpr long FIONBIO = static_cast<long>(0x8004667EU);
// The layer's own, as BSD numbers it: the bytes a stream has sent that its
// peer has not yet taken (acknowledged), those still unsent included.
inline constexpr long FIONWRITE = 0x40046677;

inline constexpr long FD_READ = 0x01;
inline constexpr long FD_WRITE = 0x02;
inline constexpr long FD_OOB = 0x04;
inline constexpr long FD_ACCEPT = 0x08;
inline constexpr long FD_CONNECT = 0x10;
inline constexpr long FD_CLOSE = 0x20;

inline constexpr LPARAM WSAMAKESELECTREPLY(long event, int error)
{
    return static_cast<LPARAM>((static_cast<std::uint32_t>(error & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(event & 0xFFFF));
}
inline constexpr LPARAM WSAMAKEASYNCREPLY(int length, int error) { return WSAMAKESELECTREPLY(length, error); }
inline constexpr int WSAGETSELECTEVENT(LPARAM lParam) { return static_cast<int>(lParam & 0xFFFF); }
inline constexpr int WSAGETSELECTERROR(LPARAM lParam) { return static_cast<int>((lParam >> 16) & 0xFFFF); }
inline constexpr int WSAGETASYNCERROR(LPARAM lParam) { return WSAGETSELECTERROR(lParam); }

// Error numbers.
inline constexpr int WSAEINTR = 10004;
inline constexpr int WSAEBADF = 10009;
inline constexpr int WSAEACCES = 10013;
inline constexpr int WSAEFAULT = 10014;
inline constexpr int WSAEINVAL = 10022;
inline constexpr int WSAEMFILE = 10024;
inline constexpr int WSAEWOULDBLOCK = 10035;
inline constexpr int WSAEINPROGRESS = 10036;
inline constexpr int WSAEALREADY = 10037;
inline constexpr int WSAENOTSOCK = 10038;
inline constexpr int WSAEDESTADDRREQ = 10039;
inline constexpr int WSAEMSGSIZE = 10040;
inline constexpr int WSAEPROTOTYPE = 10041;
inline constexpr int WSAENOPROTOOPT = 10042;
inline constexpr int WSAEPROTONOSUPPORT = 10043;
inline constexpr int WSAESOCKTNOSUPPORT = 10044;
inline constexpr int WSAEOPNOTSUPP = 10045;
inline constexpr int WSAEPFNOSUPPORT = 10046;
inline constexpr int WSAEAFNOSUPPORT = 10047;
inline constexpr int WSAEADDRINUSE = 10048;
inline constexpr int WSAEADDRNOTAVAIL = 10049;
inline constexpr int WSAENETDOWN = 10050;
inline constexpr int WSAENETUNREACH = 10051;
inline constexpr int WSAENETRESET = 10052;
inline constexpr int WSAECONNABORTED = 10053;
inline constexpr int WSAECONNRESET = 10054;
inline constexpr int WSAENOBUFS = 10055;
inline constexpr int WSAEISCONN = 10056;
inline constexpr int WSAENOTCONN = 10057;
inline constexpr int WSAESHUTDOWN = 10058;
inline constexpr int WSAETOOMANYREFS = 10059;
inline constexpr int WSAETIMEDOUT = 10060;
inline constexpr int WSAECONNREFUSED = 10061;
inline constexpr int WSAELOOP = 10062;
inline constexpr int WSAENAMETOOLONG = 10063;
inline constexpr int WSAEHOSTDOWN = 10064;
inline constexpr int WSAEHOSTUNREACH = 10065;
inline constexpr int WSAENOTEMPTY = 10066;
inline constexpr int WSAEPROCLIM = 10067;
inline constexpr int WSAEUSERS = 10068;
inline constexpr int WSAEDQUOT = 10069;
inline constexpr int WSAESTALE = 10070;
inline constexpr int WSAEREMOTE = 10071;
inline constexpr int WSASYSNOTREADY = 10091;
inline constexpr int WSAVERNOTSUPPORTED = 10092;
inline constexpr int WSANOTINITIALISED = 10093;
inline constexpr int WSAHOST_NOT_FOUND = 11001;
inline constexpr int WSATRY_AGAIN = 11002;
inline constexpr int WSANO_RECOVERY = 11003;
inline constexpr int WSANO_DATA = 11004;

// The WSA number of an errno value (EPIPE gives WSAECONNRESET; the send path
// tells a shut-down socket apart itself).
int WSAErrorFromErrno(int error);

// Start-up and errors.
int WSAStartup(std::uint16_t versionRequested, WSADATA& data);
int WSACleanup();
int WSAGetLastError();
void WSASetLastError(int error);
bool WSAIsStarted();

// Socket life.
SOCKET socket(int family, int type, int protocol);
int closesocket(SOCKET s);
int shutdown(SOCKET s, int how);
int bind(SOCKET s, const sockaddr_in& address);
int listen(SOCKET s, int backlog);
// `address` may be null.
SOCKET accept(SOCKET s, sockaddr_in* address);
int connect(SOCKET s, const sockaddr_in& address);

// Data.
int send(SOCKET s, const void* data, int length, int flags);
int sendto(SOCKET s, const void* data, int length, int flags, const sockaddr_in& to);
int recv(SOCKET s, void* buffer, int length, int flags);
// `from` may be null.
int recvfrom(SOCKET s, void* buffer, int length, int flags, sockaddr_in* from);

// FIONREAD, FIONBIO and FIONWRITE.
int ioctlsocket(SOCKET s, long command, u_long& argument);
// Options take Winsock levels and names; `length` is in and out for get.
int setsockopt(SOCKET s, int level, int name, const void* value, int length);
int getsockopt(SOCKET s, int level, int name, void* value, int& length);
int getsockname(SOCKET s, sockaddr_in& address);
int getpeername(SOCKET s, sockaddr_in& address);

// Notifications.
int WSAAsyncSelect(SOCKET s, HWND window, UINT message, long events);

// Conversions.
std::uint16_t htons(std::uint16_t value);
std::uint16_t ntohs(std::uint16_t value);
std::uint32_t htonl(std::uint32_t value);
std::uint32_t ntohl(std::uint32_t value);
// INADDR_NONE for a text that is no address (also for "255.255.255.255").
// Accepts the classic forms a, a.b, a.b.c and a.b.c.d with decimal, octal
// ("0...") and hexadecimal ("0x...") parts.
std::uint32_t inet_addr(std::string_view text);
std::string inet_ntoa(in_addr address);

// The database calls.
struct HOSTENT {
    std::string h_name;
    std::vector<std::string> h_aliases;
    int h_addrtype = AF_INET;
    int h_length = 4;
    std::vector<in_addr> h_addr_list;  // network order, the resolver's order
};
struct SERVENT {
    std::string s_name;
    std::vector<std::string> s_aliases;
    std::uint16_t s_port = 0;  // network order
    std::string s_proto;
};
struct PROTOENT {
    std::string p_name;
    std::vector<std::string> p_aliases;
    int p_proto = 0;
};
std::optional<HOSTENT> gethostbyname(std::string_view name);
std::optional<HOSTENT> gethostbyaddr(in_addr address);
// `proto` empty: any protocol.
std::optional<SERVENT> getservbyname(std::string_view name, std::string_view proto);
std::optional<PROTOENT> getprotobyname(std::string_view name);

// Asynchronous lookups: 0 on failure (last error set), else a handle never 0.
HANDLE WSAAsyncGetHostByName(HWND window, UINT message, std::string_view name);
HANDLE WSAAsyncGetHostByAddr(HWND window, UINT message, in_addr address);
// Succeeds also when the reply is already queued (it is then never delivered);
// WSAEINVAL for an unknown or already delivered handle.
int WSACancelAsyncRequest(HANDLE request);
// The host entry of a delivered lookup, taken out of the layer (once).
std::optional<HOSTENT> WSAAsyncLookupResult(HANDLE request);

// Test seams.
// A resolver in place of the system's, for every lookup by name: answers 0 and
// the addresses, a WSA error, or nothing to leave that name to the system.
// Empty: the system's for all. Process-wide.
using TResolver = std::function<std::optional<int>(const std::string& name, std::vector<in_addr>& addresses)>;
void SetResolver(TResolver resolver);
// Makes sends on `s` take at most `bytes` more bytes, then answer
// WSAEWOULDBLOCK until the seam is lifted with -1 (when an FD_WRITE follows).
void LimitSends(SOCKET s, long long bytes);
// The descriptor behind a socket, -1 when none (for tests and benchmarks).
int DescriptorOf(SOCKET s);

}  // namespace winsock

#pragma once

// Internal to platform/winsock: the POSIX socket headers with the names that
// Winsock defines differently taken out of the way; their POSIX values live
// on in `posix`. Include it before Winsock.h.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

namespace posix {
inline constexpr int P_AF_INET = AF_INET;
inline constexpr int P_SOL_SOCKET = SOL_SOCKET;
inline constexpr int P_SO_DEBUG = SO_DEBUG;
inline constexpr int P_SO_ACCEPTCONN = SO_ACCEPTCONN;
inline constexpr int P_SO_REUSEADDR = SO_REUSEADDR;
inline constexpr int P_SO_KEEPALIVE = SO_KEEPALIVE;
inline constexpr int P_SO_DONTROUTE = SO_DONTROUTE;
inline constexpr int P_SO_BROADCAST = SO_BROADCAST;
inline constexpr int P_SO_LINGER = SO_LINGER;
inline constexpr int P_SO_OOBINLINE = SO_OOBINLINE;
inline constexpr int P_SO_SNDBUF = SO_SNDBUF;
inline constexpr int P_SO_RCVBUF = SO_RCVBUF;
inline constexpr int P_SO_ERROR = SO_ERROR;
inline constexpr int P_SO_TYPE = SO_TYPE;
inline constexpr int P_TCP_NODELAY = TCP_NODELAY;
inline constexpr int P_TCP_NOTSENT_LOWAT = TCP_NOTSENT_LOWAT;
inline constexpr int P_IP_MULTICAST_IF = IP_MULTICAST_IF;
inline constexpr int P_IP_MULTICAST_TTL = IP_MULTICAST_TTL;
inline constexpr int P_IP_MULTICAST_LOOP = IP_MULTICAST_LOOP;
inline constexpr int P_IP_ADD_MEMBERSHIP = IP_ADD_MEMBERSHIP;
inline constexpr int P_IP_DROP_MEMBERSHIP = IP_DROP_MEMBERSHIP;
inline constexpr unsigned long P_FIONREAD = FIONREAD;
inline constexpr unsigned long P_FIONBIO = FIONBIO;
inline constexpr unsigned long P_TIOCOUTQ = TIOCOUTQ;
inline std::uint16_t P_htons(std::uint16_t value) { return htons(value); }
inline std::uint16_t P_ntohs(std::uint16_t value) { return ntohs(value); }
inline std::uint32_t P_htonl(std::uint32_t value) { return htonl(value); }
inline std::uint32_t P_ntohl(std::uint32_t value) { return ntohl(value); }
}  // namespace posix

#undef AF_INET
#undef SOL_SOCKET
#undef SO_DEBUG
#undef SO_ACCEPTCONN
#undef SO_REUSEADDR
#undef SO_KEEPALIVE
#undef SO_DONTROUTE
#undef SO_BROADCAST
#undef SO_LINGER
#undef SO_OOBINLINE
#undef SO_SNDBUF
#undef SO_RCVBUF
#undef SO_ERROR
#undef SO_TYPE
#undef TCP_NODELAY
#undef IP_MULTICAST_IF
#undef IP_MULTICAST_TTL
#undef IP_MULTICAST_LOOP
#undef IP_ADD_MEMBERSHIP
#undef IP_DROP_MEMBERSHIP
#undef FIONREAD
#undef FIONBIO
#undef PF_INET
#undef INADDR_ANY
#undef INADDR_NONE
#undef htons
#undef ntohs
#undef htonl
#undef ntohl

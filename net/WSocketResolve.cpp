#include "net/WSocketResolve.h"

#include <cctype>

#include "net/ESocketException.h"
#include "net/WSocketBinding.h"
#include "platform/core/AnsiString.h"
#include "platform/winsock/Winsock.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Leading blanks skipped, then the digits up to the first other character.
int LeadingNumber(const std::string& text)
{
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ')
        ++at;
    unsigned value = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at)
        value = value * 10 + static_cast<unsigned>(text[at] - '0');
    return static_cast<int>(value);
}

bool StartsWithDigit(const std::string& text)
{
    std::size_t at = text.find_first_not_of(' ');
    return at != std::string::npos && IsDigit(text[at]);
}

}  // namespace

bool IsDottedIPv4(const std::string& text)
{
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ')
        ++at;
    for (int group = 0; group < 4; ++group) {
        if (group > 0) {
            if (at >= text.size() || text[at] != '.')
                return false;
            ++at;
        }
        int value = 0, digits = 0;
        while (at < text.size() && IsDigit(text[at])) {
            value = value * 10 + (text[at] - '0');
            if (value > 255)
                return false;
            ++at;
            ++digits;
        }
        if (digits == 0)
            return false;
    }
    while (at < text.size() && text[at] == ' ')
        ++at;
    return at == text.size();
}

std::uint32_t WSocketResolveHost(const std::string& text)
{
    if (text.empty() || text.size() > 256)
        throw ESocketException("WSocketResolveHost: '" + text + "' Invalid Hostname.");
    BindWinsockLibrary();
    std::string host = Trim(text);
    if (IsDottedIPv4(host)) {
        std::uint32_t address = winsock::inet_addr(host);
        if (address == winsock::INADDR_NONE && host != "255.255.255.255")
            throw ESocketException("WSocketResolveHost: '" + text + "' Invalid IP address.");
        return address;
    }
    std::optional<winsock::HOSTENT> entry = winsock::gethostbyname(host);
    if (!entry || entry->h_addr_list.empty())
        throw ESocketException("WSocketResolveHost: Cannot convert host address '" + text + "', Error #" +
                               std::to_string(winsock::WSAGetLastError()));
    return entry->h_addr_list[0].s_addr;
}

std::uint16_t WSocketResolvePort(const std::string& port, const std::string& proto)
{
    if (port.empty() || port.size() >= 32)
        throw ESocketException("WSocketResolvePort: Invalid Port.");
    if (proto.empty() || proto.size() >= 32)
        throw ESocketException("WSocketResolvePort: Invalid Proto.");
    if (StartsWithDigit(port))
        return static_cast<std::uint16_t>(LeadingNumber(port));
    BindWinsockLibrary();
    std::optional<winsock::SERVENT> service = winsock::getservbyname(Trim(port), Trim(proto));
    if (!service)
        throw ESocketException("WSocketResolvePort: Cannot convert port '" + port + "', Error #" +
                               std::to_string(winsock::WSAGetLastError()));
    return winsock::ntohs(service->s_port);
}

int WSocketResolveProto(const std::string& text)
{
    if (text.empty() || text.size() >= 32)
        throw ESocketException("WSocketResolveProto: Invalid Protocol.");
    std::string proto = Trim(text);
    if (StartsWithDigit(proto))
        return LeadingNumber(proto);
    BindWinsockLibrary();
    std::optional<winsock::PROTOENT> entry = winsock::getprotobyname(proto);
    if (!entry)
        throw ESocketException("WSocketResolveProto: Cannot convert protocol '" + text + "', Error #" +
                               std::to_string(winsock::WSAGetLastError()));
    return entry->p_proto;
}

std::string SocketErrorText(int error)
{
    switch (error) {
    case 0: return "No Error";
    case 10004: return "Interrupted system call";
    case 10009: return "Bad file number";
    case 10013: return "Permission denied";
    case 10014: return "Bad address";
    case 10022: return "Invalid argument";
    case 10024: return "Too many open files";
    case 10035: return "Operation would block";
    case 10036: return "Operation now in progress";
    case 10037: return "Operation already in progress";
    case 10038: return "Socket operation on non-socket";
    case 10039: return "Destination address required";
    case 10040: return "Message too long";
    case 10041: return "Protocol wrong type for socket";
    case 10042: return "Protocol not available";
    case 10043: return "Protocol not supported";
    case 10044: return "Socket type not supported";
    case 10045: return "Operation not supported on socket";
    case 10046: return "Protocol family not supported";
    case 10047: return "Address family not supported by protocol family";
    case 10048: return "Address already in use";
    case 10049: return "Address not available";
    case 10050: return "Network is down";
    case 10051: return "Network is unreachable";
    case 10052: return "Network dropped connection on reset";
    case 10053: return "Connection aborted";
    case 10054: return "Connection reset by peer";
    case 10055: return "No buffer space available";
    case 10056: return "Socket is already connected";
    case 10057: return "Socket is not connected";
    case 10058: return "Can't send after socket shutdown";
    case 10059: return "Too many references: can't splice";
    case 10060: return "Connection timed out";
    case 10061: return "Connection refused";
    case 10062: return "Too many levels of symbolic links";
    case 10063: return "File name too long";
    case 10064: return "Host is down";
    case 10065: return "No route to host";
    case 10066: return "Directory not empty";
    case 10067: return "Too many processes";
    case 10068: return "Too many users";
    case 10069: return "Disc quota exceeded";
    case 10070: return "Stale NFS file handle";
    case 10071: return "Too many levels of remote in path";
    case 10091: return "Network sub-system is unusable";
    case 10092: return "WinSock DLL cannot support this application";
    case 10093: return "WinSock not initialized";
    case 11001: return "Host not found";
    case 11002: return "Non-authoritative host not found";
    case 11003: return "Non-recoverable error";
    case 11004: return "No Data";
    default: return "Not a WinSock error";
    }
}

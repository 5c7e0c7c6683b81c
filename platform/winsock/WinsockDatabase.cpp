#include "platform/winsock/PosixSockets.h"

#include <atomic>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/loop/Window.h"
#include "platform/winsock/Winsock.h"
#include "platform/winsock/WinsockState.h"

namespace winsock {

namespace {

struct ResolverSeam {
    std::mutex Mutex;
    TResolver Resolver;
};

ResolverSeam& Seam()
{
    static ResolverSeam* seam = new ResolverSeam();
    return *seam;
}

int WSAErrorFromLookup(int error)
{
    switch (error) {
    case 0: return 0;
    case EAI_NONAME: return WSAHOST_NOT_FOUND;
    case EAI_AGAIN: return WSATRY_AGAIN;
    case EAI_FAIL: return WSANO_RECOVERY;
    case EAI_MEMORY: return WSAENOBUFS;
    default: return WSANO_DATA;
    }
}

// 0 and the entry, or a WSA error.
int ResolveName(const std::string& name, HOSTENT& entry)
{
    entry = HOSTENT{};
    entry.h_name = name;
    TResolver resolver;
    {
        std::lock_guard lock(Seam().Mutex);
        resolver = Seam().Resolver;
    }
    if (resolver) {
        std::vector<in_addr> addresses;
        if (std::optional<int> error = resolver(name, addresses)) {
            if (*error == 0 && addresses.empty())
                return WSANO_DATA;
            entry.h_addr_list = std::move(addresses);
            return *error;
        }
    }
    addrinfo hints{};
    hints.ai_family = posix::P_AF_INET;
    hints.ai_socktype = ::SOCK_STREAM;  // one entry per address
    hints.ai_flags = AI_CANONNAME;
    addrinfo* found = nullptr;
    int error = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (error != 0)
        return WSAErrorFromLookup(error);
    for (addrinfo* item = found; item; item = item->ai_next) {
        if (item->ai_canonname && item == found)
            entry.h_name = item->ai_canonname;
        if (item->ai_family != posix::P_AF_INET)
            continue;
        in_addr address;
        address.s_addr = reinterpret_cast<const ::sockaddr_in*>(item->ai_addr)->sin_addr.s_addr;
        entry.h_addr_list.push_back(address);
    }
    ::freeaddrinfo(found);
    return entry.h_addr_list.empty() ? WSANO_DATA : 0;
}

int ResolveAddress(in_addr address, HOSTENT& entry)
{
    entry = HOSTENT{};
    ::sockaddr_in posix{};
    posix.sin_family = posix::P_AF_INET;
    posix.sin_addr.s_addr = address.s_addr;
    char host[NI_MAXHOST];
    int error = ::getnameinfo(reinterpret_cast<const ::sockaddr*>(&posix), sizeof posix, host, sizeof host,
                              nullptr, 0, NI_NAMEREQD);
    if (error != 0)
        return WSAErrorFromLookup(error);
    entry.h_name = host;
    entry.h_addr_list.push_back(address);
    return 0;
}

// ---------------------------------------------------------------- asynchronous lookups

struct LookupRequest {
    HANDLE Handle = 0;
    HWND Window = 0;
    UINT Message = 0;
    bool Delivered = false;
    int Error = 0;
    HOSTENT Result;
};

struct LookupTable {
    std::mutex Mutex;
    std::map<HANDLE, std::shared_ptr<LookupRequest>> Requests;
};

LookupTable& Lookups()
{
    static LookupTable* table = new LookupTable();
    return *table;
}

std::atomic<HANDLE> gNextLookup{1};

// A reply from a worker goes to the requesting thread's relay window first;
// in the FIFO it holds the reply's place, and when its turn comes it hands
// the reply on unless the request was cancelled meanwhile.
constexpr UINT WM_LOOKUP_DONE = WM_USER + 1;
thread_local HWND tRelay = 0;

LRESULT Relay(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_LOOKUP_DONE)
        return DefWindowProc(hwnd, message, wParam, lParam);
    HANDLE handle = static_cast<HANDLE>(wParam);
    std::shared_ptr<LookupRequest> request;
    {
        std::lock_guard lock(Lookups().Mutex);
        auto found = Lookups().Requests.find(handle);
        if (found == Lookups().Requests.end())
            return 0;
        request = found->second;
        request->Delivered = true;
    }
    LRESULT result = SendMessage(request->Window, request->Message, handle, WSAMAKEASYNCREPLY(0, request->Error));
    // Results nobody takes are kept for a while only.
    std::lock_guard lock(Lookups().Mutex);
    auto& requests = Lookups().Requests;
    for (auto it = requests.begin(); it != requests.end() && it->first + 256 < handle;)
        it = it->second->Delivered ? requests.erase(it) : std::next(it);
    return result;
}

HWND RelayWindow()
{
    if (tRelay == 0 || !IsWindow(tRelay))
        tRelay = AllocateHWnd(Relay);
    return tRelay;
}

template <class Work>
HANDLE StartLookup(HWND window, UINT message, Work work)
{
    if (!CheckStarted())
        return 0;
    if (window == 0 || !IsWindow(window)) {
        Fail(WSAEINVAL);
        return 0;
    }
    auto request = std::make_shared<LookupRequest>();
    request->Handle = gNextLookup.fetch_add(1);
    request->Window = window;
    request->Message = message;
    HWND relay = RelayWindow();
    {
        std::lock_guard lock(Lookups().Mutex);
        Lookups().Requests.emplace(request->Handle, request);
    }
    try {
        std::thread([request, relay, work] {
            HOSTENT result;
            int error = work(result);
            {
                std::lock_guard lock(Lookups().Mutex);
                request->Error = error;
                request->Result = std::move(result);
            }
            PostMessage(relay, WM_LOOKUP_DONE, request->Handle, 0);
        }).detach();
    } catch (const std::system_error&) {
        std::lock_guard lock(Lookups().Mutex);
        Lookups().Requests.erase(request->Handle);
        Fail(WSAENOBUFS);
        return 0;
    }
    return request->Handle;
}

std::string Trimmed(std::string_view text)
{
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Parses one part of an address text: decimal, octal ("0...") or
// hexadecimal ("0x...").
bool ParsePart(std::string_view text, std::uint64_t& value)
{
    if (text.empty())
        return false;
    int base = 10;
    std::size_t at = 0;
    if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        at = 2;
        if (text.size() == 2)
            return false;
    } else if (text.size() > 1 && text[0] == '0') {
        base = 8;
        at = 1;
    }
    value = 0;
    for (; at < text.size(); ++at) {
        char c = text[at];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        if (digit >= base)
            return false;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFULL)
            return false;
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------- conversions

std::uint16_t htons(std::uint16_t value) { return posix::P_htons(value); }
std::uint16_t ntohs(std::uint16_t value) { return posix::P_ntohs(value); }
std::uint32_t htonl(std::uint32_t value) { return posix::P_htonl(value); }
std::uint32_t ntohl(std::uint32_t value) { return posix::P_ntohl(value); }

std::uint32_t inet_addr(std::string_view text)
{
    // Winsock stops at the first blank.
    std::size_t blank = text.find(' ');
    if (blank != std::string_view::npos)
        text = text.substr(0, blank);
    std::uint64_t parts[4];
    int count = 0;
    while (true) {
        std::size_t dot = text.find('.');
        if (count == 4 || !ParsePart(text.substr(0, dot), parts[count]))
            return INADDR_NONE;
        ++count;
        if (dot == std::string_view::npos)
            break;
        text = text.substr(dot + 1);
    }
    std::uint64_t value = 0;
    for (int i = 0; i < count - 1; ++i) {
        if (parts[i] > 255)
            return INADDR_NONE;
        value |= parts[i] << (8 * (3 - i));
    }
    std::uint64_t last = parts[count - 1];
    if (last >= (1ULL << (8 * (5 - count))))
        return INADDR_NONE;
    value |= last;
    return posix::P_htonl(static_cast<std::uint32_t>(value));
}

std::string inet_ntoa(in_addr address)
{
    std::uint32_t value = posix::P_ntohl(address.s_addr);
    return std::to_string(value >> 24) + "." + std::to_string((value >> 16) & 0xFF) + "." +
           std::to_string((value >> 8) & 0xFF) + "." + std::to_string(value & 0xFF);
}

// ---------------------------------------------------------------- blocking calls

std::optional<HOSTENT> gethostbyname(std::string_view name)
{
    if (!CheckStarted())
        return std::nullopt;
    HOSTENT entry;
    int error = ResolveName(std::string(name), entry);
    if (error != 0) {
        Fail(error);
        return std::nullopt;
    }
    return entry;
}

std::optional<HOSTENT> gethostbyaddr(in_addr address)
{
    if (!CheckStarted())
        return std::nullopt;
    HOSTENT entry;
    int error = ResolveAddress(address, entry);
    if (error != 0) {
        Fail(error);
        return std::nullopt;
    }
    return entry;
}

std::optional<SERVENT> getservbyname(std::string_view name, std::string_view proto)
{
    if (!CheckStarted())
        return std::nullopt;
    std::string service = Trimmed(name);
    std::string protocol = Trimmed(proto);
    ::servent entry{};
    ::servent* found = nullptr;
    char buffer[2048];
    ::getservbyname_r(service.c_str(), protocol.empty() ? nullptr : protocol.c_str(), &entry, buffer,
                      sizeof buffer, &found);
    if (found) {
        SERVENT answer;
        answer.s_name = found->s_name;
        answer.s_port = static_cast<std::uint16_t>(found->s_port);
        answer.s_proto = found->s_proto;
        return answer;
    }
    // Without the system's services file the programs still find their own.
    static const struct { const char* Name; std::uint16_t Port; } builtIn[] = {{"ftp", 21}, {"http", 80}};
    for (const auto& known : builtIn)
        if (SameText(service, known.Name) && (protocol.empty() || SameText(protocol, "tcp")))
            return SERVENT{known.Name, {}, posix::P_htons(known.Port), "tcp"};
    Fail(WSANO_DATA);
    return std::nullopt;
}

std::optional<PROTOENT> getprotobyname(std::string_view name)
{
    if (!CheckStarted())
        return std::nullopt;
    std::string protocol = Trimmed(name);
    ::protoent entry{};
    ::protoent* found = nullptr;
    char buffer[1024];
    ::getprotobyname_r(protocol.c_str(), &entry, buffer, sizeof buffer, &found);
    if (found)
        return PROTOENT{found->p_name, {}, found->p_proto};
    static const struct { const char* Name; int Number; } builtIn[] = {{"tcp", 6}, {"udp", 17}, {"ip", 0}, {"icmp", 1}};
    for (const auto& known : builtIn)
        if (SameText(protocol, known.Name))
            return PROTOENT{known.Name, {}, known.Number};
    Fail(WSANO_DATA);
    return std::nullopt;
}

// ---------------------------------------------------------------- asynchronous calls

HANDLE WSAAsyncGetHostByName(HWND window, UINT message, std::string_view name)
{
    return StartLookup(window, message, [host = std::string(name)](HOSTENT& result) {
        return ResolveName(host, result);
    });
}

HANDLE WSAAsyncGetHostByAddr(HWND window, UINT message, in_addr address)
{
    return StartLookup(window, message, [address](HOSTENT& result) { return ResolveAddress(address, result); });
}

int WSACancelAsyncRequest(HANDLE request)
{
    if (!CheckStarted())
        return SOCKET_ERROR;
    std::lock_guard lock(Lookups().Mutex);
    auto found = Lookups().Requests.find(request);
    if (found == Lookups().Requests.end() || found->second->Delivered)
        return Fail(WSAEINVAL);
    Lookups().Requests.erase(found);
    return 0;
}

std::optional<HOSTENT> WSAAsyncLookupResult(HANDLE request)
{
    std::lock_guard lock(Lookups().Mutex);
    auto found = Lookups().Requests.find(request);
    if (found == Lookups().Requests.end() || !found->second->Delivered)
        return std::nullopt;
    std::shared_ptr<LookupRequest> taken = found->second;
    Lookups().Requests.erase(found);
    if (taken->Error != 0)
        return std::nullopt;
    return std::move(taken->Result);
}

void SetResolver(TResolver resolver)
{
    std::lock_guard lock(Seam().Mutex);
    Seam().Resolver = std::move(resolver);
}

}  // namespace winsock

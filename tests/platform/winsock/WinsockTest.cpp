#include "platform/winsock/Winsock.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/loop/Clock.h"
#include "platform/loop/Messages.h"
#include "platform/loop/Window.h"

using namespace winsock;

namespace {

constexpr UINT WM_SELECT = WM_USER + 1;
constexpr UINT WM_HOST = WM_USER + 2;
constexpr UINT WM_ADDR = WM_USER + 3;

struct Notice {
    UINT Message;
    WPARAM Handle;
    int Event;
    int Error;
};

// No test sends a query off the machine: only "localhost" reaches the
// system's resolver (its hosts file).
std::optional<int> LoopbackOnly(const std::string& name, std::vector<in_addr>&)
{
    if (name == "localhost")
        return std::nullopt;
    return WSAHOST_NOT_FOUND;
}

class WinsockTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetResolver(LoopbackOnly);
        WSADATA data;
        ASSERT_EQ(WSAStartup(0x0101, data), 0);
        Window = AllocateHWnd([this](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message >= WM_SELECT && message <= WM_ADDR)
                Notices.push_back({message, wParam, WSAGETSELECTEVENT(lParam), WSAGETSELECTERROR(lParam)});
            return 0;
        });
    }
    void TearDown() override
    {
        for (SOCKET s : Open)
            closesocket(s);
        DeallocateHWnd(Window);
        SetResolver(LoopbackOnly);
        WSACleanup();
    }

    SOCKET Make(int type = SOCK_STREAM)
    {
        SOCKET s = socket(AF_INET, type, type == SOCK_STREAM ? IPPROTO_TCP : IPPROTO_UDP);
        EXPECT_NE(s, INVALID_SOCKET);
        Open.push_back(s);
        return s;
    }
    void Close(SOCKET s)
    {
        closesocket(s);
        std::erase(Open, s);
    }
    static sockaddr_in Loopback(std::uint16_t port)
    {
        sockaddr_in address;
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = inet_addr("127.0.0.1");
        return address;
    }
    // A blocking listener on a free loopback port.
    SOCKET Listener(std::uint16_t& port)
    {
        SOCKET s = Make();
        EXPECT_EQ(bind(s, Loopback(0)), 0);
        EXPECT_EQ(listen(s, 5), 0);
        sockaddr_in bound;
        getsockname(s, bound);
        port = ntohs(bound.sin_port);
        return s;
    }
    // Pumps until `done` holds or the time is up.
    bool PumpUntil(const std::function<bool()>& done, int milliseconds = 3000)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            MsgWaitForMultipleObjects({}, 20);
            MSG msg;
            while (PeekMessage(msg, 0, 0, 0, PM_REMOVE))
                DispatchMessage(msg);
        }
        return true;
    }
    void PumpFor(int milliseconds)
    {
        PumpUntil([] { return false; }, milliseconds);
    }
    std::vector<int> EventsOf(SOCKET s)
    {
        std::vector<int> events;
        for (const Notice& notice : Notices)
            if (notice.Message == WM_SELECT && notice.Handle == s)
                events.push_back(notice.Event);
        return events;
    }
    int Count(SOCKET s, int event)
    {
        int n = 0;
        for (int e : EventsOf(s))
            n += e == event;
        return n;
    }
    const Notice* Find(SOCKET s, int event)
    {
        for (const Notice& notice : Notices)
            if (notice.Message == WM_SELECT && notice.Handle == s && notice.Event == event)
                return &notice;
        return nullptr;
    }
    // A selected client connected to a blocking accepted peer.
    void ConnectPair(SOCKET& client, SOCKET& peer, long mask = 0x3B)
    {
        std::uint16_t port;
        SOCKET listener = Listener(port);
        client = Make();
        ASSERT_EQ(WSAAsyncSelect(client, Window, WM_SELECT, mask), 0);
        ASSERT_EQ(connect(client, Loopback(port)), SOCKET_ERROR);
        ASSERT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
        ASSERT_TRUE(PumpUntil([&] { return Find(client, FD_CONNECT) != nullptr; }));
        peer = accept(listener, nullptr);
        ASSERT_NE(peer, INVALID_SOCKET);
        Open.push_back(peer);
        Close(listener);
    }

    HWND Window = 0;
    std::vector<Notice> Notices;
    std::vector<SOCKET> Open;
};

double CpuSeconds()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace

TEST(WinsockStartUp, CallsNeedAStartUpAndCleanUpIsCounted)
{
    EXPECT_EQ(socket(AF_INET, SOCK_STREAM, 0), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
    WSADATA data;
    EXPECT_EQ(WSAStartup(0x0001, data), WSAVERNOTSUPPORTED);
    ASSERT_EQ(WSAStartup(0x0101, data), 0);
    EXPECT_EQ(data.wVersion, 0x0101);
    ASSERT_EQ(WSAStartup(0x0101, data), 0);
    EXPECT_EQ(WSACleanup(), 0);
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_NE(s, INVALID_SOCKET);
    EXPECT_EQ(WSACleanup(), 0);
    // Clean-up only stops the layer: the socket is refused, not lost.
    EXPECT_EQ(closesocket(s), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    ASSERT_EQ(WSAStartup(0x0202, data), 0);
    EXPECT_EQ(closesocket(s), 0);
    WSACleanup();
}

TEST(WinsockErrors, ErrnoValuesMapToTheirWinsockNumbers)
{
    const std::pair<int, int> table[] = {
        {EINTR, 10004}, {EBADF, 10009}, {EACCES, 10013}, {EFAULT, 10014}, {EINVAL, 10022},
        {EMFILE, 10024}, {EAGAIN, 10035}, {EINPROGRESS, 10035}, {EALREADY, 10037}, {ENOTSOCK, 10038},
        {EDESTADDRREQ, 10039}, {EMSGSIZE, 10040}, {EPROTOTYPE, 10041}, {ENOPROTOOPT, 10042},
        {EPROTONOSUPPORT, 10043}, {ESOCKTNOSUPPORT, 10044}, {EOPNOTSUPP, 10045}, {EPFNOSUPPORT, 10046},
        {EAFNOSUPPORT, 10047}, {EADDRINUSE, 10048}, {EADDRNOTAVAIL, 10049}, {ENETDOWN, 10050},
        {ENETUNREACH, 10051}, {ENETRESET, 10052}, {ECONNABORTED, 10053}, {ECONNRESET, 10054},
        {EPIPE, 10054}, {ENOBUFS, 10055}, {EISCONN, 10056}, {ENOTCONN, 10057}, {ETOOMANYREFS, 10059},
        {ETIMEDOUT, 10060}, {ECONNREFUSED, 10061}, {ELOOP, 10062}, {ENAMETOOLONG, 10063},
        {EHOSTDOWN, 10064}, {EHOSTUNREACH, 10065}, {ENOTEMPTY, 10066}, {EUSERS, 10068},
        {EDQUOT, 10069}, {ESTALE, 10070}, {EREMOTE, 10071},
    };
    for (auto [error, expected] : table)
        EXPECT_EQ(WSAErrorFromErrno(error), expected) << "errno " << error;
}

TEST(WinsockErrors, TheLastErrorBelongsToEachThread)
{
    WSASetLastError(10061);
    int other = -1;
    std::thread([&] { other = WSAGetLastError(); }).join();
    EXPECT_EQ(other, 0);
    EXPECT_EQ(WSAGetLastError(), 10061);
}

TEST(WinsockConversions, AddressesPortsAndNames)
{
    const std::pair<const char*, std::uint32_t> table[] = {
        {"127.0.0.1", 0x7F000001}, {"10.0.0.1", 0x0A000001}, {"1.2.3", 0x01020003},
        {"0x7f.1", 0x7F000001}, {"010.0.0.1", 0x08000001}, {"1.2.3.256", INADDR_NONE},
        {"1.2.3.4.5", INADDR_NONE}, {"", INADDR_NONE}, {"a.b.c.d", INADDR_NONE}, {"1..2.3", INADDR_NONE},
    };
    for (auto [text, expected] : table)
        EXPECT_EQ(ntohl(inet_addr(text)), expected) << text;
    EXPECT_EQ(inet_ntoa(in_addr{htonl(0xC0A80001)}), "192.168.0.1");
    EXPECT_EQ(htons(0x1234), 0x3412);
    WSADATA data;
    WSAStartup(0x0101, data);
    EXPECT_EQ(ntohs(getservbyname("ftp", "tcp")->s_port), 21);
    EXPECT_EQ(ntohs(getservbyname(" http ", "")->s_port), 80);
    EXPECT_EQ(getprotobyname("tcp")->p_proto, 6);
    EXPECT_EQ(getprotobyname("udp")->p_proto, 17);
    EXPECT_FALSE(getservbyname("no-such-service", "tcp"));
    EXPECT_FALSE(getprotobyname("no-such-protocol"));
    WSACleanup();
}

TEST_F(WinsockTest, HandlesKeepRisingAndAClosedHandleIsNoSocket)
{
    SOCKET previous = 0;
    for (int i = 0; i < 1000; ++i) {
        SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_NE(s, INVALID_SOCKET);
        ASSERT_GT(s, previous);
        previous = s;
        ASSERT_EQ(closesocket(s), 0);
    }
    winsock::u_long waiting = 0;
    EXPECT_EQ(ioctlsocket(previous, FIONREAD, waiting), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
    EXPECT_EQ(send(previous, "x", 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
}

TEST_F(WinsockTest, ConnectAnswersWouldBlockThenConnectAndWriteArrive)
{
    SOCKET client, peer;
    ConnectPair(client, peer);
    ASSERT_TRUE(PumpUntil([&] { return Count(client, FD_WRITE) == 1; }));
    PumpFor(50);
    EXPECT_EQ(EventsOf(client), (std::vector<int>{FD_CONNECT, FD_WRITE}));
    EXPECT_EQ(Find(client, FD_CONNECT)->Error, 0);
}

TEST_F(WinsockTest, ARefusedConnectArrivesAsAConnectNotice)
{
    std::uint16_t port;
    SOCKET listener = Listener(port);
    Close(listener);  // nobody listens there now
    SOCKET client = Make();
    WSAAsyncSelect(client, Window, WM_SELECT, 0x3B);
    EXPECT_EQ(connect(client, Loopback(port)), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    EXPECT_TRUE(Notices.empty());  // never inside the call
    ASSERT_TRUE(PumpUntil([&] { return !Notices.empty(); }));
    PumpFor(50);
    ASSERT_EQ(EventsOf(client), std::vector<int>{FD_CONNECT});
    EXPECT_EQ(Notices[0].Error, WSAECONNREFUSED);
}

TEST_F(WinsockTest, ReadIsNotifiedOnceUntilTheNextReceive)
{
    SOCKET client, peer;
    ConnectPair(client, peer);
    send(peer, "hello", 5, 0);
    ASSERT_TRUE(PumpUntil([&] { return Count(client, FD_READ) == 1; }));
    send(peer, "world", 5, 0);
    PumpFor(50);
    EXPECT_EQ(Count(client, FD_READ), 1);
    char buffer[4];
    ASSERT_EQ(recv(client, buffer, 4, 0), 4);
    // Bytes remain, so the receive re-enables and a new notice follows.
    ASSERT_TRUE(PumpUntil([&] { return Count(client, FD_READ) == 2; }));
    winsock::u_long waiting = 0;
    ASSERT_EQ(ioctlsocket(client, FIONREAD, waiting), 0);
    EXPECT_EQ(waiting, 6u);
}

TEST_F(WinsockTest, DataThenThePeersCloseLosesNoByteAndClosesOnce)
{
    SOCKET client, peer;
    ConnectPair(client, peer);
    std::string sent(100000, 'x');
    for (std::size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<char>('a' + i % 26);
    ASSERT_EQ(send(peer, sent.data(), static_cast<int>(sent.size()), 0), static_cast<int>(sent.size()));
    Close(peer);
    std::string got;
    bool closed = false;
    Notices.clear();
    ASSERT_TRUE(PumpUntil([&] {
        while (!Notices.empty()) {
            Notice notice = Notices.front();
            Notices.erase(Notices.begin());
            if (notice.Event == FD_READ) {
                char buffer[4096];
                int n = recv(client, buffer, sizeof buffer, 0);
                if (n > 0)
                    got.append(buffer, static_cast<std::size_t>(n));
            } else if (notice.Event == FD_CLOSE) {
                EXPECT_FALSE(closed) << "a second close notice";
                EXPECT_EQ(notice.Error, 0);
                EXPECT_EQ(got.size(), sent.size()) << "close before the last byte";
                closed = true;
            }
        }
        return closed;
    }));
    PumpFor(50);
    EXPECT_TRUE(Notices.empty());
    EXPECT_EQ(got, sent);
    EXPECT_EQ(recv(client, got.data(), 1, 0), 0);
}

TEST_F(WinsockTest, APeerResetIsACloseWithTheResetError)
{
    SOCKET client, peer;
    ConnectPair(client, peer);
    linger abortive{1, 0};
    setsockopt(peer, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    Close(peer);
    ASSERT_TRUE(PumpUntil([&] { return Find(client, FD_CLOSE) != nullptr; }));
    EXPECT_EQ(Find(client, FD_CLOSE)->Error, WSAECONNRESET);
    EXPECT_EQ(send(client, "x", 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAECONNRESET);
}

TEST_F(WinsockTest, WriteIsNotifiedAgainOnlyAfterASendWouldBlock)
{
    SOCKET client, peer;
    ConnectPair(client, peer);
    ASSERT_TRUE(PumpUntil([&] { return Count(client, FD_WRITE) == 1; }));
    std::string block(65536, 'z');
    long long queued = 0;
    for (;;) {
        int n = send(client, block.data(), static_cast<int>(block.size()), 0);
        if (n == SOCKET_ERROR) {
            ASSERT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
            break;
        }
        queued += n;
        ASSERT_LT(queued, 1LL << 30);
    }
    PumpFor(50);
    EXPECT_EQ(Count(client, FD_WRITE), 1);
    char buffer[65536];
    long long drained = 0;
    while (drained < queued) {
        int n = recv(peer, buffer, sizeof buffer, 0);
        ASSERT_GT(n, 0);
        drained += n;
    }
    ASSERT_TRUE(PumpUntil([&] { return Count(client, FD_WRITE) == 2; }));
    // The seam gives the same road without filling the kernel's buffers.
    LimitSends(client, 3);
    EXPECT_EQ(send(client, "abcdef", 6, 0), 3);
    EXPECT_EQ(send(client, "def", 3, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
    PumpFor(50);
    EXPECT_EQ(Count(client, FD_WRITE), 2);
    LimitSends(client, -1);
    ASSERT_TRUE(PumpUntil([&] { return Count(client, FD_WRITE) == 3; }));
}

TEST_F(WinsockTest, AStreamTakesLittleMoreThanThePeerHasTaken)
{
    // Linux alone would queue megabytes for a peer that reads nothing, and
    // a sender would see no sign of a peer that has stalled.
    SOCKET client, peer;
    ConnectPair(client, peer);
    winsock::u_long on = 1;
    ASSERT_EQ(ioctlsocket(peer, FIONBIO, on), 0);
    std::string block(65536, 'q');
    for (SOCKET sender : {client, peer}) {
        SCOPED_TRACE(sender == client ? "connected" : "accepted");
        long long taken = 0;
        for (int round = 0; round < 5; ++round) {
            for (int n; (n = send(sender, block.data(), static_cast<int>(block.size()), 0)) > 0;)
                taken += n;
            EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        EXPECT_LT(taken, 1 << 20);
    }
}

TEST_F(WinsockTest, AStreamCountsWhatItsPeerHasNotYetTaken)
{
    // A sender follows a slow peer by this count: what it has handed over
    // says nothing while the kernel still holds it.
    SOCKET client, peer;
    ConnectPair(client, peer);
    winsock::u_long untaken = 99;
    ASSERT_EQ(ioctlsocket(client, FIONWRITE, untaken), 0);
    EXPECT_EQ(untaken, 0u);
    std::string block(65536, 'w');
    long long sent = 0;
    for (int round = 0; round < 5; ++round) {
        for (int n; (n = send(client, block.data(), static_cast<int>(block.size()), 0)) > 0;)
            sent += n;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_EQ(ioctlsocket(client, FIONWRITE, untaken), 0);
    EXPECT_GT(untaken, 0u);
    EXPECT_LE(untaken, sent);
    std::string received(block.size(), '\0');
    for (long long got = 0; got < sent;) {
        int n = recv(peer, received.data(), static_cast<int>(received.size()), 0);
        ASSERT_GT(n, 0);
        got += n;
    }
    EXPECT_TRUE(PumpUntil([&] { return ioctlsocket(client, FIONWRITE, untaken) == 0 && untaken == 0; }));
    Close(client);
    EXPECT_EQ(ioctlsocket(client, FIONWRITE, untaken), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
}

TEST_F(WinsockTest, AcceptIsReenabledAndTheAcceptedSocketInheritsTheRegistration)
{
    std::uint16_t port;
    SOCKET listener = Listener(port);
    WSAAsyncSelect(listener, Window, WM_SELECT, 0x2B);
    SOCKET first = Make(), second = Make();
    connect(first, Loopback(port));
    connect(second, Loopback(port));
    ASSERT_TRUE(PumpUntil([&] { return Count(listener, FD_ACCEPT) == 1; }));
    PumpFor(50);
    EXPECT_EQ(Count(listener, FD_ACCEPT), 1);
    SOCKET accepted = accept(listener, nullptr);
    ASSERT_NE(accepted, INVALID_SOCKET);
    Open.push_back(accepted);
    ASSERT_TRUE(PumpUntil([&] { return Count(listener, FD_ACCEPT) == 2; }));
    // The inherited registration already reports for the new handle.
    ASSERT_TRUE(PumpUntil([&] { return Count(accepted, FD_WRITE) == 1; }));
    // A new registration (another window, as a duplicate takes it) reports
    // the writable connection again.
    std::vector<Notice> second_window;
    HWND other = AllocateHWnd([&](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_SELECT)
            second_window.push_back({message, wParam, WSAGETSELECTEVENT(lParam), WSAGETSELECTERROR(lParam)});
        return 0;
    });
    WSAAsyncSelect(accepted, other, WM_SELECT, 0x33);
    ASSERT_TRUE(PumpUntil([&] { return !second_window.empty(); }));
    EXPECT_EQ(second_window[0].Event, FD_WRITE);
    EXPECT_EQ(second_window[0].Handle, accepted);
    DeallocateHWnd(other);
}

TEST_F(WinsockTest, MaskZeroStopsNoticesAndTheOwnCloseGivesNone)
{
    SOCKET client, peer;
    ConnectPair(client, peer);
    ASSERT_TRUE(PumpUntil([&] { return Count(client, FD_WRITE) == 1; }));
    WSAAsyncSelect(client, Window, WM_SELECT, 0);
    send(peer, "data", 4, 0);
    PumpFor(100);
    EXPECT_EQ(Count(client, FD_READ), 0);
    WSAAsyncSelect(client, Window, WM_SELECT, 0x3B);
    ASSERT_TRUE(PumpUntil([&] { return Count(client, FD_READ) == 1; }));
    Notices.clear();
    Close(client);
    Close(peer);
    PumpFor(100);
    EXPECT_TRUE(Notices.empty());
}

TEST_F(WinsockTest, SendAfterTheOwnShutdownIsRefusedAsShutDown)
{
    SOCKET client, peer;
    ConnectPair(client, peer);
    ASSERT_EQ(shutdown(client, SD_SEND), 0);
    EXPECT_EQ(send(client, "x", 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAESHUTDOWN);
    char c;
    EXPECT_EQ(recv(peer, &c, 1, 0), 0);  // the peer saw the end
}

TEST_F(WinsockTest, OptionsTranslateBothWays)
{
    SOCKET s = Make();
    linger set{1, 7};
    ASSERT_EQ(setsockopt(s, SOL_SOCKET, SO_LINGER, &set, sizeof set), 0);
    linger got;
    int length = sizeof got;
    ASSERT_EQ(getsockopt(s, SOL_SOCKET, SO_LINGER, &got, length), 0);
    EXPECT_EQ(got.l_onoff, 1);
    EXPECT_EQ(got.l_linger, 7);
    int on = 1;
    EXPECT_EQ(setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on), 0);
    EXPECT_EQ(setsockopt(s, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on), 0);
    int type = 0;
    length = sizeof type;
    ASSERT_EQ(getsockopt(s, SOL_SOCKET, SO_TYPE, &type, length), 0);
    EXPECT_EQ(type, SOCK_STREAM);
    int size = 0;
    length = sizeof size;
    ASSERT_EQ(getsockopt(s, SOL_SOCKET, SO_SNDBUF, &size, length), 0);
    EXPECT_GT(size, 0);
    EXPECT_EQ(setsockopt(s, SOL_SOCKET, 0x7777, &on, sizeof on), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOPROTOOPT);
}

TEST_F(WinsockTest, DatagramsTravelAndAreNotified)
{
    SOCKET receiver = Make(SOCK_DGRAM);
    ASSERT_EQ(bind(receiver, Loopback(0)), 0);
    sockaddr_in bound;
    getsockname(receiver, bound);
    WSAAsyncSelect(receiver, Window, WM_SELECT, 0x2B);
    SOCKET sender = Make(SOCK_DGRAM);
    ASSERT_EQ(sendto(sender, "ping", 4, 0, bound), 4);
    ASSERT_TRUE(PumpUntil([&] { return Count(receiver, FD_READ) == 1; }));
    char buffer[16];
    sockaddr_in from;
    ASSERT_EQ(recvfrom(receiver, buffer, sizeof buffer, 0, &from), 4);
    EXPECT_EQ(std::string(buffer, 4), "ping");
    EXPECT_EQ(from.sin_addr.s_addr, inet_addr("127.0.0.1"));
}

TEST_F(WinsockTest, ADatagramConnectSucceedsAtOnceAndIsStillNotifiedLater)
{
    SOCKET receiver = Make(SOCK_DGRAM);
    ASSERT_EQ(bind(receiver, Loopback(0)), 0);
    sockaddr_in bound;
    getsockname(receiver, bound);
    SOCKET sender = Make(SOCK_DGRAM);
    WSAAsyncSelect(sender, Window, WM_SELECT, 0x3B);
    EXPECT_EQ(connect(sender, bound), 0);
    EXPECT_TRUE(Notices.empty());  // never inside the call
    ASSERT_TRUE(PumpUntil([&] { return Count(sender, FD_CONNECT) == 1; }));
    EXPECT_EQ(Find(sender, FD_CONNECT)->Error, 0);
    EXPECT_EQ(send(sender, "ping", 4, 0), 4);
    char buffer[16];
    sockaddr_in from;
    EXPECT_TRUE(PumpUntil([&] { return recvfrom(receiver, buffer, sizeof buffer, 0, &from) == 4; }));
    PumpFor(50);
    EXPECT_EQ(Count(sender, FD_CONNECT), 1);
}

TEST_F(WinsockTest, LookupsArriveAsMessagesAndCancelledOnesNever)
{
    HANDLE request = WSAAsyncGetHostByName(Window, WM_HOST, "localhost");
    ASSERT_NE(request, 0u);
    EXPECT_TRUE(Notices.empty());
    ASSERT_TRUE(PumpUntil([&] { return !Notices.empty(); }));
    EXPECT_EQ(Notices[0].Handle, request);
    EXPECT_EQ(Notices[0].Error, 0);
    std::optional<HOSTENT> entry = WSAAsyncLookupResult(request);
    ASSERT_TRUE(entry);
    ASSERT_FALSE(entry->h_addr_list.empty());
    EXPECT_EQ(inet_ntoa(entry->h_addr_list[0]), "127.0.0.1");
    EXPECT_EQ(WSACancelAsyncRequest(request), SOCKET_ERROR);  // already delivered

    SetResolver([](const std::string& name, std::vector<in_addr>&) -> std::optional<int> {
        if (name == "nowhere.test")
            return WSAHOST_NOT_FOUND;
        return std::nullopt;
    });
    Notices.clear();
    request = WSAAsyncGetHostByName(Window, WM_HOST, "nowhere.test");
    ASSERT_TRUE(PumpUntil([&] { return !Notices.empty(); }));
    EXPECT_EQ(Notices[0].Error, WSAHOST_NOT_FOUND);
    EXPECT_FALSE(WSAAsyncLookupResult(request));

    // Cancelled before the reply, and after it was queued but not handled.
    Notices.clear();
    request = WSAAsyncGetHostByName(Window, WM_HOST, "localhost");
    EXPECT_EQ(WSACancelAsyncRequest(request), 0);
    HANDLE queued = WSAAsyncGetHostByName(Window, WM_HOST, "localhost");
    Sleep(200);  // the worker has posted by now
    EXPECT_EQ(WSACancelAsyncRequest(queued), 0);
    PumpFor(300);
    EXPECT_TRUE(Notices.empty());

    request = WSAAsyncGetHostByAddr(Window, WM_ADDR, in_addr{inet_addr("127.0.0.1")});
    ASSERT_TRUE(PumpUntil([&] { return !Notices.empty(); }));
    EXPECT_EQ(Notices[0].Message, WM_ADDR);
    if (Notices[0].Error == 0) {
        EXPECT_EQ(WSAAsyncLookupResult(request)->h_name, "localhost");
    }
}

TEST_F(WinsockTest, AnIdleSelectedConnectionDoesNotKeepTheLoopAwake)
{
    SOCKET client, peer;
    ConnectPair(client, peer);
    ASSERT_TRUE(PumpUntil([&] { return Count(client, FD_WRITE) == 1; }));
    double before = CpuSeconds();
    auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(500)) {
        MsgWaitForMultipleObjects({}, 500);
        MSG msg;
        while (PeekMessage(msg, 0, 0, 0, PM_REMOVE))
            DispatchMessage(msg);
    }
    EXPECT_LT(CpuSeconds() - before, 0.1);
}

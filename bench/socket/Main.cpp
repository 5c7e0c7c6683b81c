// 1 GB over loopback: through a pair of TWSocket objects driven by the loop
// (sender and receiver in this one thread), and through a plain blocking
// socket pair moving the same bytes (a writer thread, a reading main). Both
// write and read in 64 KB pieces. Prints each time and, last, the ratio.

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "net/TCustomSyncWSocket.h"
#include "platform/loop/Messages.h"
#include "platform/winsock/Winsock.h"

namespace {

constexpr long long Total = 1LL << 30;
constexpr int Piece = 65536;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double ThroughSockets()
{
    std::vector<char> piece(Piece, 'g');
    TWSocket server(nullptr), receiver(nullptr), sender(nullptr);
    long long received = 0, sent = 0;
    std::vector<char> buffer(Piece);
    receiver.OnDataAvailable = [&](TObject*, WORD) {
        int n = receiver.Receive(buffer.data(), Piece);
        if (n > 0)
            received += n;
    };
    server.SetAddr("127.0.0.1");
    server.SetPort("0");
    server.OnSessionAvailable = [&](TObject*, WORD) { receiver.Dup(server.Accept()); };
    server.Listen();
    sender.SetAddr("127.0.0.1");
    sender.SetPort(server.GetBoundPort());
    // Keeps a few pieces queued, so the kernel never waits for the loop.
    auto feed = [&](TObject*, WORD) {
        while (sent < Total && sender.QueuedBlocks() < 4 * Piece / 1460) {
            sender.Send(piece.data(), Piece);
            sent += Piece;
        }
    };
    sender.OnDataSent = feed;
    Clock::time_point start = Clock::now();
    sender.Connect();
    MSG msg;
    while (received < Total) {
        if (PeekMessage(msg, 0, 0, 0, PM_REMOVE))
            DispatchMessage(msg);
        else
            MsgWaitForMultipleObjects({}, 10);
    }
    return Seconds(start);
}

double ThroughPlainSockets()
{
    using namespace winsock;
    WSADATA data;
    WSAStartup(0x0101, data);
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address;
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    bind(listener, address);
    listen(listener, 1);
    getsockname(listener, address);
    Clock::time_point start = Clock::now();
    std::thread writer([address] {
        SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        connect(s, address);
        std::vector<char> piece(Piece, 'g');
        for (long long sent = 0; sent < Total;) {
            int n = send(s, piece.data(), Piece, 0);
            if (n <= 0)
                break;
            sent += n;
        }
        closesocket(s);
    });
    SOCKET s = accept(listener, nullptr);
    std::vector<char> buffer(Piece);
    long long received = 0;
    while (received < Total) {
        int n = recv(s, buffer.data(), Piece, 0);
        if (n <= 0)
            break;
        received += n;
    }
    writer.join();
    double seconds = Seconds(start);
    closesocket(s);
    closesocket(listener);
    WSACleanup();
    return seconds;
}

}  // namespace

int main()
{
    double plain = ThroughPlainSockets();
    double sockets = ThroughSockets();
    std::printf("plain blocking pair: %.3f s\n", plain);
    std::printf("TWSocket pair:       %.3f s\n", sockets);
    std::printf("socket/plain: %.2f\n", sockets / plain);
    return 0;
}

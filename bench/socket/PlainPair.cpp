#include "bench/socket/PlainPair.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

double ThroughPlainSockets(long long Total, int Piece)
{
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener, 1);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    auto start = std::chrono::steady_clock::now();
    std::thread writer([address, Total, Piece] {
        int s = ::socket(AF_INET, SOCK_STREAM, 0);
        ::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        std::vector<char> piece(Piece, 'g');
        for (long long sent = 0; sent < Total;) {
            ssize_t n = ::send(s, piece.data(), Piece, 0);
            if (n <= 0)
                break;
            sent += n;
        }
        ::close(s);
    });
    int s = ::accept(listener, nullptr, nullptr);
    std::vector<char> buffer(Piece);
    long long received = 0;
    while (received < Total) {
        ssize_t n = ::recv(s, buffer.data(), Piece, 0);
        if (n <= 0)
            break;
        received += n;
    }
    writer.join();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ::close(s);
    ::close(listener);
    return seconds;
}


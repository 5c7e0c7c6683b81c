#pragma once

// A scripted HTTP server on 127.0.0.1 for the client tests: every connection
// reads one request (up to the blank line, then the announced body), keeps
// its text, and answers what `reply` gives for it. A reply of std::nullopt
// accepts and never answers (the connection is held until the server goes).

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace nettest {

class FakeHttpServer {
public:
    // The request number (0 for the first) and its text give the reply bytes.
    using TReply = std::function<std::optional<std::string>(int index, const std::string& request)>;

    explicit FakeHttpServer(TReply reply) : FReply(std::move(reply))
    {
        FListener = socket(AF_INET, SOCK_STREAM, 0);
        int on = 1;
        setsockopt(FListener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(FListener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(FListener, 16);
        socklen_t length = sizeof address;
        getsockname(FListener, reinterpret_cast<sockaddr*>(&address), &length);
        FPort = ntohs(address.sin_port);
        FThread = std::thread([this] { Serve(); });
    }
    ~FakeHttpServer()
    {
        FStop = true;
        FThread.join();
        close(FListener);
    }
    std::uint16_t Port() const { return FPort; }
    std::string Url(const std::string& path = "/") const
    {
        return "http://127.0.0.1:" + std::to_string(FPort) + path;
    }
    // The connection stays open after the reply until the server goes.
    std::atomic<bool> HoldAfterReply{false};
    // When set, each "\x01" of a reply is a pause of this many milliseconds.
    std::atomic<int> PauseMs{0};

    std::vector<std::string> Requests()
    {
        std::lock_guard lock(FMutex);
        return FRequests;
    }
    std::string Request(std::size_t index)
    {
        std::lock_guard lock(FMutex);
        return index < FRequests.size() ? FRequests[index] : std::string();
    }

private:
    bool Readable(int fd, int ms)
    {
        pollfd p{fd, POLLIN, 0};
        return poll(&p, 1, ms) > 0;
    }
    std::string ReadRequest(int fd)
    {
        std::string text;
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        std::size_t wanted = std::string::npos;
        while (!FStop && std::chrono::steady_clock::now() < end) {
            std::size_t blank = text.find("\r\n\r\n");
            if (blank != std::string::npos && wanted == std::string::npos) {
                wanted = blank + 4;
                std::size_t length = text.find("Content-Length: ");
                if (length != std::string::npos && length < blank)
                    wanted += std::stoul(text.substr(length + 16));
            }
            if (wanted != std::string::npos && text.size() >= wanted)
                break;
            if (!Readable(fd, 50))
                continue;
            char buffer[4096];
            ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }
    void Serve()
    {
        std::vector<int> held;
        int index = 0;
        while (!FStop) {
            if (!Readable(FListener, 20))
                continue;
            int fd = accept(FListener, nullptr, nullptr);
            if (fd < 0)
                continue;
            std::string request = ReadRequest(fd);
            {
                std::lock_guard lock(FMutex);
                FRequests.push_back(request);
            }
            std::optional<std::string> reply = FReply(index++, request);
            if (!reply) {
                held.push_back(fd);
                continue;
            }
            std::vector<std::string> pieces{*reply};
            if (PauseMs > 0) {
                pieces.clear();
                std::size_t start = 0;
                for (std::size_t mark; (mark = reply->find('\x01', start)) != std::string::npos; start = mark + 1)
                    pieces.push_back(reply->substr(start, mark - start));
                pieces.push_back(reply->substr(start));
            }
            for (std::size_t i = 0; i < pieces.size(); ++i) {
                if (i > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(PauseMs));
                const std::string& piece = pieces[i];
                for (std::size_t sent = 0; sent < piece.size();) {
                    ssize_t n = send(fd, piece.data() + sent, piece.size() - sent, MSG_NOSIGNAL);
                    if (n <= 0)
                        break;
                    sent += static_cast<std::size_t>(n);
                }
            }
            if (HoldAfterReply)
                held.push_back(fd);
            else
                close(fd);
        }
        for (int fd : held)
            close(fd);
    }

    TReply FReply;
    int FListener = -1;
    std::uint16_t FPort = 0;
    std::atomic<bool> FStop{false};
    std::mutex FMutex;
    std::vector<std::string> FRequests;
    std::thread FThread;
};

}  // namespace nettest

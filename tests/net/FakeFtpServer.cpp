#include "FakeFtpServer.h"

#include <poll.h>

#include <chrono>

#include "NetTestSupport.h"

using namespace winsock;

namespace ftptest {

namespace {

bool Readable(SOCKET s, int ms)
{
    pollfd fd{DescriptorOf(s), POLLIN, 0};
    return poll(&fd, 1, ms) > 0;
}

sockaddr_in Address(const std::string& host, std::uint16_t port)
{
    sockaddr_in address;
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = inet_addr(host);
    return address;
}

}  // namespace

FakeFtpSession::FakeFtpSession(SOCKET control, std::vector<std::string>& commands, std::mutex& lock)
    : FControl(control), FCommands(commands), FLock(lock)
{
}

FakeFtpSession::~FakeFtpSession()
{
    if (FListener != INVALID_SOCKET)
        closesocket(FListener);
}

void FakeFtpSession::Send(const std::string& bytes) { nettest::SendAll(FControl, bytes); }

std::string FakeFtpSession::Command(int ms)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        std::size_t lineEnd = FPending.find("\r\n");
        if (lineEnd != std::string::npos) {
            std::string line = FPending.substr(0, lineEnd);
            FPending.erase(0, lineEnd + 2);
            std::lock_guard<std::mutex> guard(FLock);
            FCommands.push_back(line);
            return line;
        }
        if (std::chrono::steady_clock::now() > end)
            return {};
        if (!Readable(FControl, 20))
            continue;
        char buffer[4096];
        int n = recv(FControl, buffer, sizeof buffer, 0);
        if (n <= 0)
            return {};
        FPending.append(buffer, static_cast<std::size_t>(n));
    }
}

void FakeFtpSession::Login()
{
    Reply("220 fake server");
    Command();
    Reply("331 password please");
    Command();
    Reply("230 logged in");
}

std::string FakeFtpSession::AnswerUntil(const std::string& prefix, const std::string& reply)
{
    for (;;) {
        std::string command = Command();
        if (command.empty() || command.rfind(prefix, 0) == 0)
            return command;
        Reply(reply);
    }
}

std::string FakeFtpSession::OpenPassive()
{
    if (FListener != INVALID_SOCKET)
        closesocket(FListener);
    FListener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    bind(FListener, Address("127.0.0.1", 0));
    listen(FListener, 5);
    sockaddr_in bound;
    getsockname(FListener, bound);
    int port = ntohs(bound.sin_port);
    return "227 Entering Passive Mode (127,0,0,1," + std::to_string(port >> 8) + "," + std::to_string(port & 0xFF) +
           ")";
}

SOCKET FakeFtpSession::AcceptData(int ms)
{
    if (FListener == INVALID_SOCKET)
        return INVALID_SOCKET;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (Readable(FListener, 20))
            return accept(FListener, nullptr);
        // A client that has gone will not connect any more.
        char probe;
        if (Readable(FControl, 0) && recv(FControl, &probe, 1, MSG_PEEK) <= 0)
            break;
    }
    return INVALID_SOCKET;
}

SOCKET FakeFtpSession::ConnectActive(const std::string& portCommand, const std::string& address)
{
    // "PORT h1,h2,h3,h4,p1,p2"
    std::vector<int> parts;
    std::size_t pos = portCommand.find(' ');
    while (pos != std::string::npos && parts.size() < 6) {
        parts.push_back(std::stoi(portCommand.substr(pos + 1)));
        pos = portCommand.find(',', pos + 1);
    }
    if (parts.size() != 6)
        return INVALID_SOCKET;
    std::string host = address.empty() ? std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
                                              std::to_string(parts[2]) + "." + std::to_string(parts[3])
                                        : address;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (connect(s, Address(host, static_cast<std::uint16_t>(parts[4] * 256 + parts[5]))) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

void FakeFtpSession::CloseData(SOCKET& s)
{
    if (s != INVALID_SOCKET)
        closesocket(s);
    s = INVALID_SOCKET;
}

FakeFtpServer::FakeFtpServer(std::function<void(FakeFtpSession&)> script, const std::string& address)
{
    WSADATA data;
    WSAStartup(0x0101, data);
    FListener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    bind(FListener, Address(address, 0));
    listen(FListener, 5);
    sockaddr_in bound;
    getsockname(FListener, bound);
    FPort = ntohs(bound.sin_port);
    FThread = std::thread([this, script = std::move(script)] {
        while (!FStop && !Readable(FListener, 20)) {
        }
        if (!FStop) {
            SOCKET control = accept(FListener, nullptr);
            if (control != INVALID_SOCKET) {
                {
                    FakeFtpSession session(control, FCommands, FLock);
                    script(session);
                }
                closesocket(control);
            }
        }
        FFinished = true;
    });
}

FakeFtpServer::~FakeFtpServer()
{
    FStop = true;
    FThread.join();
    closesocket(FListener);
    WSACleanup();
}

bool FakeFtpServer::WaitFinished(int ms)
{
    return nettest::PumpUntil([this] { return FFinished.load(); }, ms);
}

std::vector<std::string> FakeFtpServer::Commands()
{
    std::lock_guard<std::mutex> guard(FLock);
    return FCommands;
}

bool FakeFtpServer::Received(const std::string& prefix)
{
    for (const std::string& command : Commands())
        if (command.rfind(prefix, 0) == 0)
            return true;
    return false;
}

}  // namespace ftptest

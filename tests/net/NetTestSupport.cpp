#include "NetTestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/loop/Messages.h"

extern char** environ;

using namespace winsock;

namespace nettest {

bool PumpUntil(const std::function<bool()>& done, int ms)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        MSG msg;
        while (PeekMessage(msg, 0, 0, 0, PM_REMOVE))
            DispatchMessage(msg);
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        MsgWaitForMultipleObjects({}, 10);
    }
}

void PumpFor(int ms)
{
    PumpUntil([] { return false; }, ms);
}

sockaddr_in Loopback(std::uint16_t port)
{
    sockaddr_in address;
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    return address;
}

namespace {

bool Readable(SOCKET s, int ms)
{
    pollfd fd{DescriptorOf(s), POLLIN, 0};
    return poll(&fd, 1, ms) > 0;
}

}  // namespace

std::string RecvExact(SOCKET s, std::size_t count, int ms)
{
    std::string data;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (data.size() < count && std::chrono::steady_clock::now() < end) {
        if (!Readable(s, 50))
            continue;
        char buffer[65536];
        int n = recv(s, buffer, static_cast<int>(std::min(sizeof buffer, count - data.size())), 0);
        if (n <= 0)
            break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return data;
}

std::string RecvAll(SOCKET s, int ms)
{
    std::string data;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (!Readable(s, 50))
            continue;
        char buffer[65536];
        int n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return data;
}

void SendAll(SOCKET s, const std::string& data)
{
    std::size_t sent = 0;
    while (sent < data.size()) {
        int n = send(s, data.data() + sent, static_cast<int>(data.size() - sent), 0);
        if (n <= 0)
            return;
        sent += static_cast<std::size_t>(n);
    }
}

ScriptedPeer::ScriptedPeer(std::function<void(SOCKET)> script)
{
    WSADATA data;
    WSAStartup(0x0101, data);
    FListener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    bind(FListener, Loopback(0));
    listen(FListener, 5);
    sockaddr_in bound;
    getsockname(FListener, bound);
    FPort = ntohs(bound.sin_port);
    FThread = std::thread([this, script = std::move(script)] {
        while (!FStop && !Readable(FListener, 50)) {
        }
        if (!FStop) {
            SOCKET connection = accept(FListener, nullptr);
            if (connection != INVALID_SOCKET) {
                script(connection);
                closesocket(connection);
            }
        }
        FFinished = true;
    });
}

ScriptedPeer::~ScriptedPeer()
{
    FStop = true;
    FThread.join();
    closesocket(FListener);
    WSACleanup();
}

bool ScriptedPeer::WaitFinished(int ms)
{
    return PumpUntil([this] { return FFinished.load(); }, ms);
}

std::uint16_t FreePort()
{
    WSADATA data;
    WSAStartup(0x0101, data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    bind(s, Loopback(0));
    sockaddr_in bound;
    getsockname(s, bound);
    closesocket(s);
    WSACleanup();
    return ntohs(bound.sin_port);
}

bool WaitListening(std::uint16_t port, int ms)
{
    WSADATA data;
    WSAStartup(0x0101, data);
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    bool listening = false;
    while (!listening && std::chrono::steady_clock::now() < end) {
        SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        listening = connect(s, Loopback(port)) == 0;
        closesocket(s);
        if (!listening)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    WSACleanup();
    return listening;
}

PeerProcess::PeerProcess(const std::vector<std::string>& arguments)
{
    // A peer that died must not take the test with it at the next write.
    signal(SIGPIPE, SIG_IGN);
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        FPid = pid;
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    FIn = in[1];
    FOut = out[0];
}

PeerProcess::~PeerProcess()
{
    if (FIn >= 0)
        close(FIn);
    if (FPid > 0) {
        kill(FPid, SIGTERM);
        waitpid(FPid, nullptr, 0);
    }
    if (FOut >= 0)
        close(FOut);
}

std::string PeerProcess::ReadLine(int ms)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        std::size_t newline = FPending.find('\n');
        if (newline != std::string::npos) {
            std::string line = FPending.substr(0, newline);
            FPending.erase(0, newline + 1);
            return line;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0 || FOut < 0)
            return {};
        pollfd fd{FOut, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            return {};
        char buffer[256];
        ssize_t n = read(FOut, buffer, sizeof buffer);
        if (n <= 0)
            return {};
        FPending.append(buffer, static_cast<std::size_t>(n));
    }
}

void PeerProcess::WriteLine(const std::string& line)
{
    std::string text = line + "\n";
    if (FIn >= 0 && write(FIn, text.data(), text.size()) < 0)
        return;
}

std::string SystemPython()
{
    return access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "";
}

std::string PeerScript() { return std::string(GALLERY_SOURCE_DIR) + "/tests/net/peers/tcp_peer.py"; }

TResolver TestResolver()
{
    return [](const std::string& name, std::vector<in_addr>&) -> std::optional<int> {
        if (name == "localhost")
            return std::nullopt;
        return WSAHOST_NOT_FOUND;
    };
}

namespace {

struct LoopbackOnly : testing::Environment {
    void SetUp() override { SetResolver(TestResolver()); }
};
const testing::Environment* const gLoopbackOnly = testing::AddGlobalTestEnvironment(new LoopbackOnly);

}  // namespace

double CpuSeconds()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

SocksServerProcess StartMicrosocks(const std::string& user, const std::string& password)
{
    SocksServerProcess server;
    if (access("/usr/bin/microsocks", X_OK) != 0)
        return server;
    std::uint16_t port = FreePort();
    std::vector<std::string> arguments{"/usr/bin/microsocks", "-i", "127.0.0.1", "-p", std::to_string(port)};
    if (!user.empty())
        arguments.insert(arguments.end(), {"-u", user, "-P", password});
    server.Process = std::make_unique<PeerProcess>(arguments);
    if (WaitListening(port))
        server.Port = port;
    return server;
}

SocksServerProcess StartDante(const std::string& directory, std::string& why, const std::string& passTo)
{
    SocksServerProcess server;
    if (access("/usr/sbin/danted", X_OK) != 0) {
        why = "dante-server is not installed";
        return server;
    }
    std::uint16_t port = FreePort();
    std::string config = directory + "/danted.conf";
    std::ofstream(config) << "logoutput: " << directory << "/danted.log\n"
                          << "internal: 127.0.0.1 port = " << port << "\n"
                          << "external: 127.0.0.1\n"
                          << "socksmethod: none\nclientmethod: none\n"
                          << "user.privileged: root\nuser.unprivileged: root\n"
                          << "client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n"
                          << (passTo.empty() ? "socks block { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n"
                                             : "socks pass { from: 127.0.0.0/8 to: " + passTo + " }\n");
    server.Process = std::make_unique<PeerProcess>(
        std::vector<std::string>{"/usr/sbin/danted", "-f", config, "-p", directory + "/danted.pid", "-N", "1"});
    if (WaitListening(port, 3000))
        server.Port = port;
    else
        why = "danted did not start (see " + directory + "/danted.log)";
    return server;
}

}  // namespace nettest

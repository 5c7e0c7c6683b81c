#pragma once

// Peers and pumping for the socket tests. Every peer listens on 127.0.0.1
// only and ends with its owner (or after a bounded time).

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/winsock/Winsock.h"

namespace nettest {

// Pumps this thread's messages until `done` holds; false when `ms` passed.
bool PumpUntil(const std::function<bool()>& done, int ms = 5000);
void PumpFor(int ms);

winsock::sockaddr_in Loopback(std::uint16_t port);

// Blocking helpers on a winsock socket, each bounded by `ms`.
// Reads exactly `count` bytes (fewer when the peer closes or time runs out).
std::string RecvExact(winsock::SOCKET s, std::size_t count, int ms = 5000);
// Reads until the peer closes or time runs out.
std::string RecvAll(winsock::SOCKET s, int ms = 5000);
void SendAll(winsock::SOCKET s, const std::string& data);

// A listener on a free loopback port whose thread accepts one connection and
// runs `script` on it, then closes it.
class ScriptedPeer {
public:
    explicit ScriptedPeer(std::function<void(winsock::SOCKET)> script);
    ~ScriptedPeer();
    std::uint16_t Port() const { return FPort; }
    bool Finished() const { return FFinished; }
    // Waits (pumping) until the script has ended.
    bool WaitFinished(int ms = 5000);

private:
    winsock::SOCKET FListener = winsock::INVALID_SOCKET;
    std::uint16_t FPort = 0;
    std::atomic<bool> FStop{false};
    std::atomic<bool> FFinished{false};
    std::thread FThread;
};

// A free loopback port (nobody listens there when this returns).
std::uint16_t FreePort();

// A child process; stdout's first line is read by FirstLine. Killed at the end.
class PeerProcess {
public:
    explicit PeerProcess(const std::vector<std::string>& arguments);
    ~PeerProcess();
    bool Running() const { return FPid > 0; }
    // The next line of its stdout ("" when it ends or after `ms`).
    std::string ReadLine(int ms = 5000);
    void WriteLine(const std::string& line);

private:
    int FPid = -1;
    int FIn = -1;
    int FOut = -1;
    std::string FPending;
};

// The Debian python3 (not a shim earlier on PATH), or "" when absent.
std::string SystemPython();
std::string PeerScript();
// Waits until something listens on 127.0.0.1:port.
bool WaitListening(std::uint16_t port, int ms = 5000);

double CpuSeconds();

// A SOCKS server program on a free loopback port; Port 0 when it cannot run.
struct SocksServerProcess {
    std::unique_ptr<PeerProcess> Process;
    std::uint16_t Port = 0;
};
// microsocks, asking for `user` and `password` unless `user` is empty.
SocksServerProcess StartMicrosocks(const std::string& user, const std::string& password);
// dante without authentication, its files in `directory`, carrying
// connections to `passTo` (dante's "to:" form) and refusing the others; ""
// refuses them all. `why` tells a failure.
SocksServerProcess StartDante(const std::string& directory, std::string& why,
                              const std::string& passTo = "127.0.0.0/8");

// Every test runs with this resolver: "localhost" goes to the system (its
// hosts file), every other name answers 11001, so no test ever sends a query
// off the machine.
winsock::TResolver TestResolver();

}  // namespace nettest

#pragma once

// A scripted FTP server for what real servers will not do: any reply, any
// timing, hostile PASV texts. It accepts one control connection on a free
// loopback port and runs the script on its own thread; every wait is bounded.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/winsock/Winsock.h"

namespace ftptest {

class FakeFtpSession {
public:
    explicit FakeFtpSession(winsock::SOCKET control, std::vector<std::string>& commands, std::mutex& lock);
    ~FakeFtpSession();

    // Sends bytes as they are; Reply adds CR LF.
    void Send(const std::string& bytes);
    void Reply(const std::string& line) { Send(line + "\r\n"); }
    // The next command line without its line end; "" when the client closed
    // or nothing came within `ms`.
    std::string Command(int ms = 5000);
    // Greets and accepts "tester"/"secret".
    void Login();
    // Answers commands with `reply` until one starting with `prefix` comes,
    // which is returned (not answered); "" on close.
    std::string AnswerUntil(const std::string& prefix, const std::string& reply = "200 OK");

    // A data listener on 127.0.0.1, and the 227 reply naming it.
    std::string OpenPassive();
    // The accepted data connection (INVALID_SOCKET after `ms`).
    winsock::SOCKET AcceptData(int ms = 5000);
    // Connects to the address and port of a PORT command; `address`
    // overrides the address the command names.
    winsock::SOCKET ConnectActive(const std::string& portCommand, const std::string& address = "");
    static void CloseData(winsock::SOCKET& s);

    winsock::SOCKET Control() const { return FControl; }

private:
    winsock::SOCKET FControl;
    winsock::SOCKET FListener = winsock::INVALID_SOCKET;
    std::string FPending;
    std::vector<std::string>& FCommands;
    std::mutex& FLock;
};

class FakeFtpServer {
public:
    explicit FakeFtpServer(std::function<void(FakeFtpSession&)> script, const std::string& address = "127.0.0.1");
    ~FakeFtpServer();
    std::uint16_t Port() const { return FPort; }
    bool Finished() const { return FFinished; }
    // Pumps the client's messages until the script has ended.
    bool WaitFinished(int ms = 5000);
    // The command lines received so far.
    std::vector<std::string> Commands();
    bool Received(const std::string& prefix);

private:
    winsock::SOCKET FListener = winsock::INVALID_SOCKET;
    std::uint16_t FPort = 0;
    std::atomic<bool> FStop{false};
    std::atomic<bool> FFinished{false};
    std::mutex FLock;
    std::vector<std::string> FCommands;
    std::thread FThread;
};

}  // namespace ftptest

#pragma once

// A TWSocket with every event written into one log, in order.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "NetTestSupport.h"
#include "net/TCustomSyncWSocket.h"

namespace nettest {

inline std::string StateName(TSocketState state)
{
    static const char* names[] = {"invalid", "opened", "bound", "connecting", "connected", "accepting", "listening",
                                  "closed"};
    return names[state];
}

class SocketFixture : public testing::Test {
protected:
    // Logs every event of `socket`, data included when `readData`.
    void Watch(TWSocket& socket, bool readData = true, const std::string& prefix = "")
    {
        socket.OnSessionConnected = [this, prefix](TObject*, WORD error) {
            Log.push_back(prefix + "connected " + std::to_string(error));
        };
        socket.OnSessionClosed = [this, prefix](TObject*, WORD error) {
            Log.push_back(prefix + "closed " + std::to_string(error));
        };
        socket.OnChangeState = [this, prefix](TObject*, TSocketState from, TSocketState to) {
            States.push_back(prefix + StateName(from) + ">" + StateName(to));
        };
        socket.OnDataSent = [this, prefix](TObject*, WORD error) {
            Log.push_back(prefix + "sent " + std::to_string(error));
        };
        socket.OnSessionAvailable = [this, prefix](TObject*, WORD error) {
            Log.push_back(prefix + "available " + std::to_string(error));
        };
        socket.OnDnsLookupDone = [this, prefix](TObject*, WORD error) {
            Log.push_back(prefix + "dns " + std::to_string(error));
        };
        if (readData) {
            socket.OnDataAvailable = [this, &socket](TObject*, WORD) {
                char buffer[4096];
                int n = socket.Receive(buffer, sizeof buffer);
                if (n > 0)
                    Received.append(buffer, static_cast<std::size_t>(n));
            };
        }
    }
    bool Logged(const std::string& entry) const
    {
        for (const std::string& line : Log)
            if (line == entry)
                return true;
        return false;
    }
    int Count(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& line : Log)
            n += line.rfind(prefix, 0) == 0;
        return n;
    }
    std::unique_ptr<TWSocket> Client(std::uint16_t port, const std::string& addr = "127.0.0.1")
    {
        auto socket = std::make_unique<TWSocket>(nullptr);
        socket->SetAddr(addr);
        socket->SetPort(std::to_string(port));
        return socket;
    }

    std::vector<std::string> Log;
    std::vector<std::string> States;
    std::string Received;
};

// The python echo, sink or sending peer; the test skips when python is absent.
class PythonPeer {
public:
    explicit PythonPeer(const std::vector<std::string>& mode)
    {
        if (SystemPython().empty())
            return;
        std::vector<std::string> arguments{SystemPython(), PeerScript()};
        arguments.insert(arguments.end(), mode.begin(), mode.end());
        Process = std::make_unique<PeerProcess>(arguments);
        std::string line = Process->ReadLine();
        if (!line.empty())
            Port = static_cast<std::uint16_t>(std::stoi(line));
    }
    std::unique_ptr<PeerProcess> Process;
    std::uint16_t Port = 0;
};

}  // namespace nettest

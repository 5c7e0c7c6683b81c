#pragma once

// The FTP client tests' helpers: a pyftpdlib server in a temporary folder,
// a client that logs its protocol lines and request reports, and pumping
// until a request is reported.

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "NetTestSupport.h"
#include "net/TFtpClient.h"
#include "platform/core/Files.h"
#include "tests/support/TempFolder.h"

namespace ftptest {

inline std::string ServerScript() { return std::string(GALLERY_SOURCE_DIR) + "/tests/net/peers/ftp_server.py"; }

// pyftpdlib serving its own folder to "tester"/"secret" on 127.0.0.1.
class PyFtpServer {
public:
    explicit PyFtpServer(int rate = 0)
    {
        if (nettest::SystemPython().empty())
            return;
        FRoot = FFolder.Path() + "root/";
        ForceDirectories(FRoot);
        FProcess = std::make_unique<nettest::PeerProcess>(std::vector<std::string>{
            nettest::SystemPython(), ServerScript(), FRoot, "tester", "secret", std::to_string(rate)});
        std::string line = FProcess->ReadLine(10000);
        if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos)
            FPort = static_cast<std::uint16_t>(std::stoi(line));
    }
    bool Running() const { return FPort != 0; }
    std::uint16_t Port() const { return FPort; }
    // The served folder, ending with "/".
    const std::string& Root() const { return FRoot; }
    void Stop() { FProcess.reset(); }

private:
    testsupport::TempFolder FFolder;
    std::string FRoot;
    std::unique_ptr<nettest::PeerProcess> FProcess;
    std::uint16_t FPort = 0;
};

inline std::string RandomBytes(std::size_t count, unsigned seed = 1)
{
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

// The client with its wait open to the tests, for requests that have no
// blocking form.
class WaitingFtpClient : public TFtpClient {
public:
    using TFtpClient::TFtpClient;
    using TFtpClient::Synchronize;
};

// Equal bytes; a difference is told by sizes and first differing offset,
// not by printing megabytes.
inline testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected)
{
    if (actual == expected)
        return testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return testing::AssertionFailure() << "sizes " << actual.size() << " and " << expected.size()
                                       << ", first difference at " << at;
}

class FtpTest : public testing::Test {
protected:
    void TearDown() override
    {
        // The protocol of a failed test tells what happened.
        if (HasFailure())
            for (const std::string& line : Lines)
                std::cerr << "  | " << line.substr(0, 200) << "\n";
    }

    std::unique_ptr<WaitingFtpClient> MakeClient(std::uint16_t port, const std::string& host = "127.0.0.1")
    {
        auto client = std::make_unique<WaitingFtpClient>(nullptr);
        client->SetHostName(host);
        client->SetPort(std::to_string(port));
        client->SetUserName("tester");
        client->SetPassWord("secret");
        client->SetTimeout(10);
        client->OnDisplay = [this](TObject*, const std::string& line) { Lines.push_back(line); };
        client->OnRequestDone = [this](TObject*, TFtpRequest request, WORD error) {
            Done.push_back({static_cast<int>(request), static_cast<int>(error)});
        };
        return client;
    }

    // Starts a request and pumps until it is reported; false when it is not
    // reported within `ms`.
    bool Run(const std::function<void()>& start, int ms = 10000)
    {
        Done.clear();
        start();
        return nettest::PumpUntil([this] { return !Done.empty(); }, ms);
    }
    // Connects, lets the connect's report arrive and forgets it.
    bool Connect(TFtpClient& client)
    {
        bool connected = client.Connect();
        nettest::PumpUntil([this] { return !Done.empty(); }, 2000);
        Done.clear();
        return connected;
    }
    int LastError() const { return Done.empty() ? -1 : Done.back().second; }
    int LastRequest() const { return Done.empty() ? -1 : Done.back().first; }
    bool Displayed(const std::string& line) const
    {
        for (const std::string& l : Lines)
            if (l == line)
                return true;
        return false;
    }
    bool DisplayedStarting(const std::string& prefix) const
    {
        for (const std::string& l : Lines)
            if (l.rfind(prefix, 0) == 0)
                return true;
        return false;
    }

    testsupport::TempFolder Local;
    std::vector<std::string> Lines;
    std::vector<std::pair<int, int>> Done;
};

}  // namespace ftptest

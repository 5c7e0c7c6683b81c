#include "net/TCustomSocksWSocket.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>

#include "SocketFixture.h"
#include "net/TCustomSyncWSocket.h"
#include "tests/support/TempFolder.h"

using namespace nettest;
using namespace winsock;

namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int value : values)
        bytes += static_cast<char>(value);
    return bytes;
}

std::string Port(std::uint16_t port) { return Bytes({port >> 8, port & 0xFF}); }

// One exchange of a scripted SOCKS server: it reads `Expect.size()` bytes
// (kept for the test), then answers `Reply`.
struct Step {
    std::string Expect;
    std::string Reply;
};

class SocksTest : public SocketFixture {
protected:
    // A fake server that runs `steps`, then closes when `closeAfter`, else
    // echoes until the client goes.
    std::unique_ptr<ScriptedPeer> FakeServer(std::vector<Step> steps, bool closeAfter = false)
    {
        Requests.clear();
        return std::make_unique<ScriptedPeer>([this, steps = std::move(steps), closeAfter](SOCKET s) {
            for (const Step& step : steps) {
                std::string got = RecvExact(s, step.Expect.size(), 3000);
                {
                    std::lock_guard lock(RequestsMutex);
                    Requests.push_back(got);
                }
                if (got.size() < step.Expect.size())
                    return;
                SendAll(s, step.Reply);
            }
            if (closeAfter)
                return;
            for (std::string data = RecvExact(s, 1, 1500); !data.empty(); data = RecvExact(s, 1, 1500))
                SendAll(s, data);
        });
    }
    std::unique_ptr<TWSocket> SocksClient(std::uint16_t serverPort, const std::string& level,
                                          const std::string& target = "127.0.0.1", std::uint16_t port = 4321)
    {
        auto socket = Client(port, target);
        socket->SetSocksServer("127.0.0.1");
        socket->SetSocksPort(std::to_string(serverPort));
        socket->SetSocksLevel(level);
        Watch(*socket);
        socket->OnSocksError = [this](TObject*, int error, const std::string& text) {
            Log.push_back("socks " + std::to_string(error) + " " + text);
        };
        socket->OnSocksAuthState = [this](TObject*, TSocksAuthState state) {
            static const char* names[] = {"started", "succeeded", "failed", "not needed"};
            Log.push_back(std::string("auth ") + names[state]);
        };
        return socket;
    }
    std::vector<std::string> Taken()
    {
        std::lock_guard lock(RequestsMutex);
        return Requests;
    }
    // The log without the write notices, which depend on timing only.
    std::vector<std::string> Events() const
    {
        std::vector<std::string> events;
        for (const std::string& line : Log)
            if (line.rfind("sent", 0) != 0)
                events.push_back(line);
        return events;
    }

    std::mutex RequestsMutex;
    std::vector<std::string> Requests;
};

const std::string Socks5Ok = Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0x10, 0xE1});

}  // namespace

TEST_F(SocksTest, RequestsAreByteExactForEveryLevel)
{
    struct Case {
        const char* Name;
        std::string Level;
        bool Authenticate;
        std::string Target;
        std::vector<Step> Steps;
        std::vector<std::string> Auth;
    };
    const std::string target = "127.0.0.1";
    const Case cases[] = {
        {"5 without authentication", "5", false, target,
         {{Bytes({5, 1, 0}), Bytes({5, 0})},
          {Bytes({5, 1, 0, 3, 9}) + target + Port(4321), Socks5Ok}},
         {}},
        {"5 with user and password", "5", true, target,
         {{Bytes({5, 1, 2}), Bytes({5, 2})},
          {Bytes({1, 4}) + "user" + Bytes({6}) + "secret", Bytes({1, 0})},
          {Bytes({5, 1, 0, 3, 9}) + target + Port(4321), Socks5Ok}},
         {"auth started", "auth succeeded"}},
        {"5 offering a password the server does not want", "5", true, "localhost",
         {{Bytes({5, 1, 2}), Bytes({5, 0})},
          {Bytes({5, 1, 0, 3, 9}) + "localhost" + Port(4321), Socks5Ok}},
         {"auth not needed"}},
        {"4 with a user code", "4", true, target,
         {{Bytes({4, 1}) + Port(4321) + Bytes({127, 0, 0, 1}) + "user" + Bytes({0}), Bytes({0, 90, 0, 0, 0, 0, 0, 0})}},
         {}},
        {"4 without a user code", "4", false, target,
         {{Bytes({4, 1}) + Port(4321) + Bytes({127, 0, 0, 1, 0}), Bytes({0, 90, 0, 0, 0, 0, 0, 0})}},
         {}},
        {"4A sends the name", "4A", true, "localhost",
         {{Bytes({4, 1}) + Port(4321) + Bytes({0, 0, 0, 1}) + "user" + Bytes({0}) + "localhost" + Bytes({0}),
           Bytes({0, 90, 0, 0, 0, 0, 0, 0})}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Log.clear();
        Received.clear();
        auto server = FakeServer(c.Steps);
        auto socket = SocksClient(server->Port(), c.Level, c.Target);
        socket->SetSocksUsercode(c.Authenticate || c.Level[0] == '4' ? "user" : "");
        if (!c.Authenticate)
            socket->SetSocksUsercode("");
        socket->SetSocksPassword("secret");
        socket->SetSocksAuthentication(c.Authenticate && c.Level == "5" ? socksAuthenticateUsercode
                                                                        : socksNoAuthentication);
        socket->Connect();
        ASSERT_TRUE(PumpUntil([&] { return Logged("connected 0") || Count("closed") > 0; }));
        std::vector<std::string> expected = c.Auth;
        expected.push_back("connected 0");
        EXPECT_EQ(Events(), expected);
        std::vector<std::string> taken = Taken();
        ASSERT_EQ(taken.size(), c.Steps.size());
        for (std::size_t i = 0; i < taken.size(); ++i)
            EXPECT_EQ(taken[i], c.Steps[i].Expect) << "request " << i;
        EXPECT_EQ(socket->SocksState(), 0);
        socket->SendText("through");
        ASSERT_TRUE(PumpUntil([&] { return Received == "through"; }));
        socket->Close();
        EXPECT_EQ(socket->SocksServer(), "");
        EXPECT_EQ(socket->SocksPort(), "");
        EXPECT_EQ(socket->SocksLevel(), "5");
    }
}

TEST_F(SocksTest, EveryFailureIsReportedThreeTimesInOrder)
{
    struct Case {
        const char* Name;
        std::string Level;
        bool Authenticate;
        std::vector<Step> Steps;
        int Code;
        std::string Text;
        bool CloseAfter = false;
    };
    const std::string request5 = Bytes({5, 1, 0, 3, 9}) + "127.0.0.1" + Port(4321);
    const std::string request4 = Bytes({4, 1}) + Port(4321) + Bytes({127, 0, 0, 1, 0});
    const Step methods{Bytes({5, 1, 0}), Bytes({5, 0})};
    std::vector<Case> cases = {
        {"method refused", "5", false, {{Bytes({5, 1, 0}), Bytes({5, 0xFF})}}, 20003,
         "authentification method not acceptable"},
        {"method reply of another version", "5", false, {{Bytes({5, 1, 0}), Bytes({4, 0})}}, 20002,
         "socks version error"},
        {"password refused", "5", true,
         {{Bytes({5, 1, 2}), Bytes({5, 2})}, {Bytes({1, 1}) + "u" + Bytes({1}) + "p", Bytes({1, 1})}}, 20015,
         "socks authentication failed"},
        {"authentication reply of another version", "5", true,
         {{Bytes({5, 1, 2}), Bytes({5, 2})}, {Bytes({1, 1}) + "u" + Bytes({1}) + "p", Bytes({2, 0})}}, 20002,
         "socks version error"},
        {"authentication reply too long", "5", true,
         {{Bytes({5, 1, 2}), Bytes({5, 2})}, {Bytes({1, 1}) + "u" + Bytes({1}) + "p", Bytes({1, 0, 0})}}, 20001,
         "too much data availaible"},
        {"connect reply of another version", "5", false, {methods, {request5, Bytes({6, 0})}}, 20002,
         "socks version error"},
        {"unknown address type", "5", false, {methods, {request5, Bytes({5, 0, 0, 4, 0})}}, 20011,
         "address type not supported"},
        {"a bound name too long for the reply area", "5", false,
         {methods, {request5, Bytes({5, 0, 0, 3, 200}) + std::string(120, 'n')}}, 20001, "too much data availaible"},
        {"4 reply of another version", "4", false, {{request4, Bytes({1, 90, 0, 0, 0, 0, 0, 0})}}, 20002,
         "socks version error"},
        {"4 rejected", "4", false, {{request4, Bytes({0, 91, 0, 0, 0, 0, 0, 0})}}, 20016,
         "request rejected or failed"},
        {"4 refused", "4", false, {{request4, Bytes({0, 92, 0, 0, 0, 0, 0, 0})}}, 20008, "connection refused"},
        {"4 identity refused", "4", false, {{request4, Bytes({0, 93, 0, 0, 0, 0, 0, 0})}}, 20015,
         "authentification failed"},
        {"4 unknown code", "4", false, {{request4, Bytes({0, 99, 0, 0, 0, 0, 0, 0})}}, 20012, "unassigned error #99"},
        {"a truncated reply then the server's close", "5", false, {methods, {request5, Bytes({5, 0, 0, 1, 127})}},
         10053, "socks server closed the connection", true},
    };
    const std::pair<int, const char*> codes5[] = {
        {20004, "general SOCKS server failure"}, {20005, "connection not allowed by ruleset"},
        {20006, "network unreachable"},         {20007, "host unreachable"},
        {20008, "connection refused"},          {20009, "time to live expired"},
        {20010, "command not supported"},       {20011, "address type not supported"},
        {20012, "unassigned error #9"},
    };
    for (int reply = 1; reply <= 9; ++reply)
        cases.push_back({"socks 5 reply code", "5", false, {methods, {request5, Bytes({5, reply})}},
                         codes5[reply - 1].first, codes5[reply - 1].second});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name + std::string(" ") + c.Text);
        Log.clear();
        auto server = FakeServer(c.Steps, c.CloseAfter);
        auto socket = SocksClient(server->Port(), c.Level);
        if (c.Authenticate) {
            socket->SetSocksUsercode("u");
            socket->SetSocksPassword("p");
            socket->SetSocksAuthentication(socksAuthenticateUsercode);
        }
        socket->Connect();
        ASSERT_TRUE(PumpUntil([&] { return Count("closed") > 0; }));
        std::string code = std::to_string(c.Code);
        std::vector<std::string> failure{"socks " + code + " " + c.Text, "connected " + code, "closed " + code};
        std::vector<std::string> events = Events();
        events.erase(std::remove_if(events.begin(), events.end(),
                                    [](const std::string& e) { return e.rfind("auth", 0) == 0; }),
                     events.end());
        EXPECT_EQ(events, failure);
        EXPECT_EQ(socket->State(), wsClosed);
        PumpFor(20);
        EXPECT_EQ(Count("closed"), 1);
    }
}

TEST_F(SocksTest, DataThatCameWithTheReplyReachesLineMode)
{
    auto server = FakeServer({{Bytes({5, 1, 0}), Bytes({5, 0})},
                              {Bytes({5, 1, 0, 3, 9}) + "127.0.0.1" + Port(4321), Socks5Ok + "one\r\ntwo\r\n"}});
    auto socket = SocksClient(server->Port(), "5");
    socket->SetLineMode(true);
    std::vector<std::string> lines;
    socket->OnDataAvailable = [&](TObject*, WORD) {
        Log.push_back("line");
        lines.push_back(socket->ReceiveText());
    };
    socket->Connect();
    ASSERT_TRUE(PumpUntil([&] { return lines.size() == 2; }));
    EXPECT_EQ(lines, (std::vector<std::string>{"one\r\n", "two\r\n"}));
    EXPECT_EQ(Events(), (std::vector<std::string>{"connected 0", "line", "line"}));
}

TEST_F(SocksTest, FieldsTooLongForTheRequestAreRefusedBeforeSending)
{
    struct Case {
        const char* Name;
        std::string Level;
        std::string User;
        std::string Target;
        std::size_t StepsAnswered;
    };
    const Case cases[] = {
        {"5 credentials", "5", std::string(70, 'u'), "127.0.0.1", 1},
        {"5 host name", "5", "", std::string(122, 'h'), 1},
        {"4A user and host", "4A", std::string(60, 'u'), std::string(60, 'h'), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Log.clear();
        std::vector<Step> steps;
        if (c.StepsAnswered == 1)
            steps.push_back({Bytes({5, 1, c.User.empty() ? 0 : 2}), Bytes({5, c.User.empty() ? 0 : 2})});
        steps.push_back({std::string(1000, '?'), ""});  // nothing more may come
        auto server = FakeServer(steps);
        auto socket = SocksClient(server->Port(), c.Level, c.Target);
        socket->SetSocksUsercode(c.User);
        socket->SetSocksPassword(c.User);
        if (!c.User.empty() && c.Level == "5")
            socket->SetSocksAuthentication(socksAuthenticateUsercode);
        socket->Connect();
        ASSERT_TRUE(PumpUntil([&] { return Count("closed") > 0; }));
        std::vector<std::string> events = Events();
        events.erase(std::remove_if(events.begin(), events.end(),
                                    [](const std::string& e) { return e.rfind("auth", 0) == 0; }),
                     events.end());
        EXPECT_EQ(events, (std::vector<std::string>{
                              "socks 20017 ESocketException socks request longer than 128 bytes",
                              "connected 20017", "closed 20017"}));
        ASSERT_TRUE(server->WaitFinished());
        std::vector<std::string> taken = Taken();
        ASSERT_EQ(taken.size(), c.StepsAnswered + 1);
        EXPECT_EQ(taken.back(), "") << "nothing was sent for the refused request";
    }
}

TEST_F(SocksTest, SettingsAreCheckedAndListeningIsRefused)
{
    TWSocket socket(nullptr);
    socket.SetSocksLevel("4a");
    EXPECT_EQ(socket.SocksLevel(), "4A");
    socket.SetSocksServer(" 127.0.0.1 ");
    EXPECT_EQ(socket.SocksServer(), "127.0.0.1");
    socket.SetAddr("127.0.0.1");
    socket.SetPort("1");
    try {
        socket.Listen();
        ADD_FAILURE();
    } catch (const ESocketException& e) {
        EXPECT_EQ(e.Message(), "Listening is not supported thru socks server");
    }
    socket.SetProto("udp");
    try {
        socket.Connect();
        ADD_FAILURE();
    } catch (const ESocketException& e) {
        EXPECT_EQ(e.Message(), "tcp is the only protocol supported thru socks server");
    }
}

// ---------------------------------------------------------------- real servers

TEST_F(SocksTest, MicrosocksCarriesAConnectionWithAndWithoutPassword)
{
    PythonPeer echo({"echo"});
    if (echo.Port == 0)
        GTEST_SKIP() << "no /usr/bin/python3 for the echo peer";
    for (bool password : {false, true}) {
        SCOPED_TRACE(password ? "user and password" : "no authentication");
        SocksServerProcess proxy = StartMicrosocks(password ? "gallery" : "", password ? "s3cret" : "");
        if (proxy.Port == 0)
            GTEST_SKIP() << "microsocks is not installed or did not start";
        Log.clear();
        Received.clear();
        auto socket = SocksClient(proxy.Port, "5", "127.0.0.1", echo.Port);
        if (password) {
            socket->SetSocksUsercode("gallery");
            socket->SetSocksPassword("s3cret");
            socket->SetSocksAuthentication(socksAuthenticateUsercode);
        }
        socket->Connect();
        ASSERT_TRUE(PumpUntil([&] { return Logged("connected 0") || Count("closed") > 0; }));
        ASSERT_TRUE(Logged("connected 0")) << testing::PrintToString(Log);
        socket->SendText("via microsocks");
        ASSERT_TRUE(PumpUntil([&] { return Received == "via microsocks"; }));
        socket->Close();

        if (password) {
            Log.clear();
            auto refused = SocksClient(proxy.Port, "5", "127.0.0.1", echo.Port);
            refused->SetSocksUsercode("gallery");
            refused->SetSocksPassword("wrong");
            refused->SetSocksAuthentication(socksAuthenticateUsercode);
            refused->Connect();
            ASSERT_TRUE(PumpUntil([&] { return Count("closed") > 0; }));
            EXPECT_EQ(Events(), (std::vector<std::string>{"auth started", "socks 20015 socks authentication failed",
                                                          "connected 20015", "closed 20015"}));
        }
    }
}

TEST_F(SocksTest, DanteCarriesSocks4And5)
{
    PythonPeer echo({"echo"});
    if (echo.Port == 0)
        GTEST_SKIP() << "no /usr/bin/python3 for the echo peer";
    const testsupport::TempFolder directory;
    std::string why;
    SocksServerProcess proxy = StartDante(directory.Path(), why);
    if (proxy.Port == 0)
        GTEST_SKIP() << why;
    for (const char* level : {"4", "4A", "5"}) {
        SCOPED_TRACE(level);
        Log.clear();
        Received.clear();
        auto socket = SocksClient(proxy.Port, level, std::string(level) == "4A" ? "localhost" : "127.0.0.1", echo.Port);
        socket->Connect();
        ASSERT_TRUE(PumpUntil([&] { return Logged("connected 0") || Count("closed") > 0; }));
        if (std::string(level) == "4A" && !Logged("connected 0")) {
            // Whether this build resolves names for SOCKS 4A is its own affair.
            continue;
        }
        ASSERT_TRUE(Logged("connected 0")) << testing::PrintToString(Log);
        socket->SendText(std::string("via dante ") + level);
        ASSERT_TRUE(PumpUntil([&] { return Received == std::string("via dante ") + level; }));
        socket->Close();
    }
}

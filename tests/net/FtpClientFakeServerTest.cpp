// The FTP client against a scripted server: reply parsing, hostile replies,
// every failure of a transfer, time-outs and aborts.

#include <thread>

#include "FakeFtpServer.h"
#include "FtpFixture.h"
#include "platform/core/Tick.h"

using namespace ftptest;
using namespace winsock;

namespace {

using Script = std::function<void(FakeFtpSession&)>;

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class FtpFakeTest : public FtpTest {
protected:
    std::unique_ptr<WaitingFtpClient> Start(const Script& script)
    {
        Server = std::make_unique<FakeFtpServer>(script);
        return MakeClient(Server->Port());
    }
    // The blocking connect fails with `message`; its report, later, with `error`.
    void ExpectConnectFails(WaitingFtpClient& client, const std::string& message, int error)
    {
        EXPECT_FALSE(client.Connect());
        EXPECT_EQ(client.ErrorMessage(), message);
        ASSERT_TRUE(nettest::PumpUntil([this] { return !Done.empty(); }));
        EXPECT_EQ(LastError(), error);
        EXPECT_FALSE(client.Connected());
    }
    // The server goes after the client, so its script sees the close.
    std::unique_ptr<FakeFtpServer> Server;
};

TEST_F(FtpFakeTest, MultiLineRepliesAreDisplayedAndOnlyTheLastLineDecides)
{
    auto client = Start([](FakeFtpSession& s) {
        s.Send("220-Welcome\r\n220-to the\r\n220 fake server\r\n");
        s.Command();
        s.Send("230-first\r\n 230 an inner line\r\n230 logged in\r\n");
        s.Command();
    });
    EXPECT_TRUE(client->Connect()) << client->ErrorMessage();
    for (const char* line : {"< 220-Welcome", "< 220-to the", "< 220 fake server", "< 230-first", "<  230 an inner line",
                             "< 230 logged in"})
        EXPECT_TRUE(Displayed(line)) << line;
    // USER answered with 230 needs no PASS.
    EXPECT_FALSE(DisplayedStarting("> PASS"));
}

TEST_F(FtpFakeTest, RepliesEndingWithLFAloneNeedTheOption)
{
    Script script = [](FakeFtpSession& s) {
        s.Send("220 ready\n");
        s.Command();
        s.Send("331 password\n");
        s.Command();
        s.Send("230 in\n");
        s.Command(1500);
    };
    auto client = Start(script);
    EXPECT_TRUE(client->Connect()) << client->ErrorMessage();
    client.reset();

    client = Start(script);
    client->SetOptions(0);
    client->SetTimeout(1);
    EXPECT_FALSE(client->Connect());
    EXPECT_EQ(client->ErrorMessage(), "426 Timeout");
}

TEST_F(FtpFakeTest, AGreetingOtherThan220EndsTheConnectWithItsCode)
{
    auto client = Start([](FakeFtpSession& s) { s.Reply("421 too many users"); s.Command(1000); });
    ExpectConnectFails(*client, "421 too many users", 421);
}

TEST_F(FtpFakeTest, ANulInsideAReplyIsAByteLikeAnyOther)
{
    auto client = Start([](FakeFtpSession& s) {
        s.Send(std::string("220 hel\0lo\r\n", 12));
        s.Command();
        s.Reply("230 in");
        s.Command();
    });
    EXPECT_TRUE(client->Connect()) << client->ErrorMessage();
    EXPECT_TRUE(Displayed("> USER tester"));
}

TEST_F(FtpFakeTest, AReplyLineLongerThanTheBufferFailsTheRequest)
{
    auto client = Start([](FakeFtpSession& s) {
        s.Reply("220 ready");
        s.Command();
        s.Send("331 " + std::string(6000, 'x'));
        s.Command(1000);
    });
    ExpectConnectFails(*client, "500 Reply line too long", 500);
}

TEST_F(FtpFakeTest, AnEndlessMultiLineReplyTimesOut)
{
    auto client = Start([](FakeFtpSession& s) {
        s.Reply("220 ready");
        s.Command();
        for (int i = 0; i < 150; ++i) {
            s.Reply("331-still talking");
            Sleep(10);
        }
    });
    client->SetTimeout(1);
    ExpectConnectFails(*client, "426 Timeout", 426);
}

TEST_F(FtpFakeTest, AConnectionLostBeforeTheFinalReplyIsAFailure)
{
    auto client = Start([](FakeFtpSession& s) {
        s.Login();
        s.Command();  // TYPE, never answered
    });
    ASSERT_TRUE(Connect(*client));
    EXPECT_FALSE(client->TypeSet());
    EXPECT_EQ(client->ErrorMessage(), "500 Control connection closed.");
    ASSERT_TRUE(nettest::PumpUntil([this] { return !Done.empty(); }));
    EXPECT_EQ(LastRequest(), ftpRqTypeSet);
    EXPECT_EQ(LastError(), 500);
}

TEST_F(FtpFakeTest, ATimedOutOneCommandRequestReports426)
{
    auto client = Start([](FakeFtpSession& s) {
        s.Login();
        s.Command();  // MKD, never answered
        s.Command(3000);
    });
    ASSERT_TRUE(Connect(*client));
    std::string seen;
    client->OnRequestDone = [&](TObject*, TFtpRequest request, WORD error) {
        Done.push_back({request, error});
        seen = client->ErrorMessage();
    };
    Done.clear();
    client->SetTimeout(1);
    client->SetHostFileName("new");
    EXPECT_FALSE(client->Mkd());
    EXPECT_EQ(client->ErrorMessage(), "426 Timeout");
    EXPECT_EQ(client->StatusCode(), 426);
    EXPECT_FALSE(client->Connected());
    ASSERT_TRUE(nettest::PumpUntil([this] { return !Done.empty(); }));
    EXPECT_EQ(Done.size(), 1u);
    EXPECT_EQ(LastRequest(), ftpRqMkd);
    EXPECT_EQ(LastError(), 426);
    EXPECT_EQ(seen, "426 Timeout");
}

// Every tick of a time-out reached across a wrap of the 32-bit counter.
class ShiftedClockClient : public WaitingFtpClient {
public:
    ShiftedClockClient(std::uint32_t shift) : WaitingFtpClient(nullptr), FShift(shift) {}

protected:
    std::uint32_t TickNow() const override { return GetTickCount() + FShift; }
    std::uint32_t FShift;
};

TEST_F(FtpFakeTest, DeadlinesCrossingTheTickWrapDoNotExpireEarly)
{
    for (std::uint32_t wrap : {0x80000000u, 0u}) {
        SCOPED_TRACE(wrap);
        FakeFtpServer server([](FakeFtpSession& s) {
            s.Login();
            s.Command();
            Sleep(1500);
            s.Reply("257 \"new\" created");
            s.Command(2000);
        });
        ShiftedClockClient client(wrap - GetTickCount() - 500);
        client.SetHostName("127.0.0.1");
        client.SetPort(std::to_string(server.Port()));
        client.SetUserName("tester");
        client.SetPassWord("secret");
        client.SetTimeout(3);
        ASSERT_TRUE(client.Connect());
        client.SetHostFileName("new");
        EXPECT_TRUE(client.Mkd()) << client.ErrorMessage();
    }
}

TEST_F(FtpFakeTest, CommandsHoldingLineBreaksAreNeverSent)
{
    auto client = Start([](FakeFtpSession& s) {
        s.Login();
        s.AnswerUntil("never");
    });
    ASSERT_TRUE(Connect(*client));
    for (const std::string& name : {std::string("a\r\nDELE b"), std::string("a\nDELE b"), std::string("a\0b", 3)}) {
        client->SetHostFileName(name);
        EXPECT_FALSE(client->Mkd());
        client->SetLocalFileName(Local.Path() + "x");
        WriteFileBytes(Local.Path() + "x", "x");
        EXPECT_FALSE(client->Put());
    }
    nettest::PumpFor(100);
    EXPECT_TRUE(Done.empty());
    EXPECT_EQ(client->State(), ftpStateReady);
    EXPECT_EQ(Server->Commands().size(), 2u);  // USER and PASS only
}

TEST_F(FtpFakeTest, APassiveConnectionGoesToTheControlPeerWhateverThe227Says)
{
    std::string received;
    auto client = Start([&](FakeFtpSession& s) {
        s.Login();
        std::string reply = s.OpenPassive();
        s.AnswerUntil("PASV");
        // The port is ours, the host someone else's.
        s.Reply("227 Entering Passive Mode (10,9,8,7," + reply.substr(reply.rfind(',', reply.rfind(',') - 1) + 1));
        SOCKET data = s.AcceptData();
        s.Command();
        s.Reply("150 go");
        received = nettest::RecvAll(data, 3000);
        s.CloseData(data);
        s.Reply("226 done");
        s.Command(1000);
    });
    client->SetPassive(true);
    ASSERT_TRUE(Connect(*client));
    WriteFileBytes(Local.Path() + "up.bin", "payload");
    client->SetLocalFileName(Local.Path() + "up.bin");
    client->SetHostFileName("up.bin");
    EXPECT_TRUE(client->Put()) << client->ErrorMessage();
    EXPECT_EQ(received, "payload");
}

TEST_F(FtpFakeTest, AMalformedPasvReplyFailsTheTransfer)
{
    const char* replies[] = {
        "227 Entering Passive Mode",
        "227 Entering Passive Mode (127,0,0,1,4)",
        "227 Entering Passive Mode (127,0,0,1,300,1)",
        "227 Entering Passive Mode (a,b,c,d,e,f)",
        "227 Entering Passive Mode (127,0,0,1,4,1",
    };
    for (const char* reply : replies) {
        for (bool store : {true, false}) {
            SCOPED_TRACE(std::string(reply) + (store ? " store" : " retrieve"));
            Done.clear();
            auto client = Start([&](FakeFtpSession& s) {
                s.Login();
                s.AnswerUntil("PASV");
                s.Reply(reply);
                s.Command(1000);
            });
            client->SetPassive(true);
            ASSERT_TRUE(Connect(*client));
            WriteFileBytes(Local.Path() + "f.bin", "x");
            client->SetLocalFileName(Local.Path() + "f.bin");
            client->SetHostFileName("f.bin");
            int code = store ? 426 : 550;
            if (store) {
                EXPECT_FALSE(client->Put());
            } else {
                ASSERT_TRUE(Run([&] { client->StartRetrieve(); }));
            }
            ASSERT_TRUE(nettest::PumpUntil([this] { return !Done.empty(); }));
            EXPECT_EQ(LastError(), code);
            EXPECT_EQ(client->ErrorMessage(), std::to_string(code) + " Invalid PASV reply");
            EXPECT_EQ(client->State(), ftpStateReady);
            client.reset();
            EXPECT_FALSE(Server->Received("STOR"));
        }
    }
}

// A server that logs in, answers PASV with a listener of its own and then
// runs `transfer` with the data connection accepted.
Script PassiveTransfer(std::function<void(FakeFtpSession&, SOCKET&)> transfer)
{
    return [transfer](FakeFtpSession& s) {
        s.Login();
        std::string reply = s.OpenPassive();
        s.AnswerUntil("PASV");
        s.Reply(reply);
        SOCKET data = s.AcceptData(2000);
        transfer(s, data);
        s.CloseData(data);
        s.Command(1000);
    };
}

TEST_F(FtpFakeTest, The226MayComeBeforeOrAfterTheDataClose)
{
    std::string bytes = RandomBytes(50000, 4);
    for (bool replyFirst : {true, false}) {
        SCOPED_TRACE(replyFirst ? "226 first" : "close first");
        auto client = Start(PassiveTransfer([&](FakeFtpSession& s, SOCKET& data) {
            s.Command();
            s.Reply("150 here it comes");
            nettest::SendAll(data, bytes);
            if (replyFirst) {
                s.Reply("226 done");
                Sleep(200);
                s.CloseData(data);
            } else {
                s.CloseData(data);
                Sleep(200);
                s.Reply("226 done");
            }
        }));
        client->SetPassive(true);
        ASSERT_TRUE(Connect(*client));
        client->SetHostFileName("f.bin");
        client->SetLocalFileName(Local.Path() + "f.bin");
        ASSERT_TRUE(Run([&] { client->StartRetrieve(); }));
        nettest::PumpFor(100);
        EXPECT_EQ(Done.size(), 1u);
        EXPECT_EQ(LastError(), 0) << client->ErrorMessage();
        EXPECT_TRUE(SameBytes(ReadFileBytes(Local.Path() + "f.bin"), bytes));
    }
}

TEST_F(FtpFakeTest, EveryTransferFailureIsReported)
{
    struct Case {
        const char* name;
        bool store;
        std::function<void(WaitingFtpClient&)> setup;
        std::function<void(FakeFtpSession&, SOCKET&)> transfer;
        int error;            // -1: any failure
        std::string message;  // ErrorMessage starts with it
    };
    auto silent = [](FakeFtpSession&, SOCKET&) {};
    auto sendAndFinish = [](FakeFtpSession& s, SOCKET& data) {
        s.Command();
        s.Reply("150 go");
        nettest::SendAll(data, std::string(200000, 'd'));
        s.CloseData(data);
        s.Reply("226 done");
    };
    const Case cases[] = {
        {"receive into a missing folder", false,
         [&](WaitingFtpClient& c) { c.SetLocalFileName(Local.Path() + "no/such/dir/f.bin"); }, silent, 550,
         "Unable to open local file "},
        {"send a missing file", true, [&](WaitingFtpClient& c) { c.SetLocalFileName(Local.Path() + "absent"); },
         silent, 426, "426 Unable to open local file "},
        {"store cancelled", true,
         [](WaitingFtpClient& c) { c.OnReadyToTransmit = [](TObject*, bool& cancel) { cancel = true; }; }, silent,
         426, "426 Transmit cancelled by application"},
        {"first reply refused", false, [](WaitingFtpClient&) {},
         [](FakeFtpSession& s, SOCKET&) { s.Command(); s.Reply("425 no data connection"); }, 425,
         "425 no data connection"},
        {"second reply refused", true, [](WaitingFtpClient&) {},
         [](FakeFtpSession& s, SOCKET& data) {
             s.Command();
             s.Reply("150 go");
             nettest::RecvAll(data, 2000);
             s.Reply("452 disk full");
         },
         452, "452 disk full"},
        {"local file cannot be written", false,
         [](WaitingFtpClient& c) { c.SetLocalFileName("/dev/full"); }, sendAndFinish, 426,
         "426 Error writing local file"},
        {"progress handler aborts", false,
         [](WaitingFtpClient& c) {
             c.OnProgress = [](TObject*, int count, bool& abort) { abort = count > 0; };
         },
         sendAndFinish, 426, "426 Abort requested"},
        {"server closes a store early", true, [](WaitingFtpClient&) {},
         [](FakeFtpSession& s, SOCKET& data) {
             s.Command();
             s.Reply("150 go");
             nettest::RecvExact(data, 1000, 2000);
             s.CloseData(data);
             s.Reply("226 done");
         },
         -1, ""},
    };
    // Larger than loopback's socket buffers hold, so a server that closes
    // early is met while the file is still being sent.
    WriteFileBytes(Local.Path() + "big.bin", RandomBytes(24 << 20, 8));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Done.clear();
        Lines.clear();
        auto client = Start(PassiveTransfer(c.transfer));
        client->SetPassive(true);
        ASSERT_TRUE(Connect(*client));
        client->SetHostFileName("f.bin");
        client->SetLocalFileName(Local.Path() + (c.store ? "big.bin" : "f.bin"));
        c.setup(*client);
        if (c.store) {
            EXPECT_FALSE(client->Put());
        } else {
            client->StartRetrieve();
        }
        ASSERT_TRUE(nettest::PumpUntil([this] { return !Done.empty(); }));
        if (c.error < 0) {
            // Reset or closed, depending on timing: either way no success.
            EXPECT_NE(LastError(), 0);
            EXPECT_FALSE(client->ErrorMessage().empty());
        } else {
            EXPECT_EQ(LastError(), c.error);
            EXPECT_EQ(client->ErrorMessage().substr(0, c.message.size()), c.message);
        }
        EXPECT_EQ(client->State(), ftpStateReady);
        nettest::PumpFor(50);
        EXPECT_EQ(Done.size(), 1u);
        client.reset();
    }
}

TEST_F(FtpFakeTest, ARefusedPassiveConnectionIsReported)
{
    std::uint16_t closed = nettest::FreePort();
    auto client = Start([&](FakeFtpSession& s) {
        s.Login();
        s.AnswerUntil("PASV");
        s.Reply("227 Entering Passive Mode (127,0,0,1," + std::to_string(closed >> 8) + "," +
                std::to_string(closed & 0xFF) + ")");
        s.Command(1000);
        s.Command(2000);
    });
    client->SetPassive(true);
    ASSERT_TRUE(Connect(*client));
    client->SetHostFileName("f.bin");
    client->SetLocalFileName(Local.Path() + "f.bin");
    ASSERT_TRUE(Run([&] { client->StartRetrieve(); }));
    EXPECT_EQ(LastError(), 550);
    EXPECT_EQ(client->ErrorMessage(), "Unable to establish data connection, error #10061");
}

TEST_F(FtpFakeTest, TheActiveListenerListensOnlyWhereTheControlConnectionIs)
{
    bool strangerRefused = false;
    std::string received;
    FakeFtpServer server(
        [&](FakeFtpSession& s) {
            s.Login();
            std::string port = s.AnswerUntil("PORT");
            s.Reply("200 PORT ok");
            // The control connection's local address is 127.0.0.1; the
            // listener must not answer on another address of the machine.
            SOCKET stranger = s.ConnectActive(port, "127.0.0.2");
            strangerRefused = stranger == INVALID_SOCKET;
            s.CloseData(stranger);
            SOCKET data = s.ConnectActive(port);
            s.Command();
            s.Reply("150 go");
            received = nettest::RecvAll(data, 3000);
            s.CloseData(data);
            s.Reply("226 done");
            s.Command(1000);
        },
        "127.0.0.2");
    auto client = MakeClient(server.Port(), "127.0.0.2");
    ASSERT_TRUE(Connect(*client));
    WriteFileBytes(Local.Path() + "up.bin", "active payload");
    client->SetLocalFileName(Local.Path() + "up.bin");
    client->SetHostFileName("up.bin");
    EXPECT_TRUE(client->Put()) << client->ErrorMessage();
    EXPECT_TRUE(strangerRefused);
    EXPECT_EQ(received, "active payload");
    // Not the loopback short form: the server was reached elsewhere than 127.0.0.1.
    EXPECT_TRUE(DisplayedStarting("> PORT 127,0,0,1,"));
    client.reset();
}

TEST_F(FtpFakeTest, ARestAnsweredWithout350StartsTheFileAfresh)
{
    auto client = Start([](FakeFtpSession& s) {
        s.Login();
        std::string reply = s.OpenPassive();
        s.AnswerUntil("PASV");
        s.Reply(reply);
        s.Command();  // REST
        s.Reply("200 whatever");
        s.Command();  // RETR
        SOCKET data = s.AcceptData();
        s.Reply("150 go");
        nettest::SendAll(data, "whole file");
        s.CloseData(data);
        s.Reply("226 done");
        s.Command(1000);
    });
    client->SetPassive(true);
    ASSERT_TRUE(Connect(*client));
    WriteFileBytes(Local.Path() + "f.bin", "partial");
    client->SetHostFileName("f.bin");
    client->SetLocalFileName(Local.Path() + "f.bin");
    ASSERT_TRUE(Run([&] { client->StartResumeRetrieve(); }));
    EXPECT_EQ(LastError(), 0) << client->ErrorMessage();
    EXPECT_TRUE(Displayed("> REST 7"));
    EXPECT_EQ(ReadFileBytes(Local.Path() + "f.bin"), "whole file");
}

TEST_F(FtpFakeTest, DisplayedDataIsCutIntoLines)
{
    std::vector<std::string> shown;
    auto client = Start(PassiveTransfer([](FakeFtpSession& s, SOCKET& data) {
        s.Command();
        s.Reply("150 listing");
        nettest::SendAll(data, "one\r\ntwo\n\nthree");
        s.CloseData(data);
        s.Reply("226 done");
    }));
    client->SetPassive(true);
    client->SetDisplayFileFlag(true);
    client->OnDisplayFile = [&](TObject*, const std::string& line) { shown.push_back(line); };
    ASSERT_TRUE(Connect(*client));
    ASSERT_TRUE(Run([&] { client->StartListDir(); }));
    EXPECT_EQ(LastError(), 0) << client->ErrorMessage();
    EXPECT_EQ(shown, (std::vector<std::string>{"one", "two", "three"}));
}

TEST_F(FtpFakeTest, AbortEndsARequestInEveryState)
{
    // Resolving: the lookup is cancelled.
    {
        auto client = MakeClient(21, "ftp.example.test");
        ASSERT_TRUE(Run([&] {
            client->StartConnect();
            EXPECT_EQ(client->State(), ftpStateResolving);
            client->StartAbort();
        }));
        EXPECT_EQ(LastError(), 10004);
        EXPECT_EQ(client->State(), ftpStateReady);
    }
    // Waiting for the greeting, and waiting for a reply.
    for (bool greeted : {false, true}) {
        SCOPED_TRACE(greeted ? "reply" : "greeting");
        auto client = Start([&](FakeFtpSession& s) {
            if (greeted) {
                s.Login();
                s.Command();  // MKD, never answered
            }
            s.Command(3000);
        });
        if (greeted) {
            ASSERT_TRUE(Connect(*client));
            client->SetHostFileName("d");
            client->StartMkd();
        } else {
            client->StartConnect();
        }
        nettest::PumpFor(200);
        Done.clear();
        client->StartAbort();
        EXPECT_EQ(client->State(), ftpStateReady);
        ASSERT_TRUE(nettest::PumpUntil([this] { return !Done.empty(); }));
        EXPECT_EQ(LastError(), 426);
        EXPECT_EQ(client->ErrorMessage(), "426 Operation aborted.");
        nettest::PumpFor(50);
        EXPECT_EQ(Done.size(), 1u);
        EXPECT_FALSE(Server->Received("QUIT"));
        client.reset();
    }
}

TEST_F(FtpFakeTest, RequestDoneComesFromTheLoopOnceTheStateIsReady)
{
    auto client = Start([](FakeFtpSession& s) { s.Login(); s.Command(1000); });
    TFtpClientState stateSeen = ftpStateClosed;
    client->OnRequestDone = [&](TObject*, TFtpRequest request, WORD error) {
        stateSeen = client->State();
        Done.push_back({request, error});
    };
    ASSERT_TRUE(Connect(*client));
    Done.clear();
    client->OnReadyToTransmit = [](TObject*, bool& cancel) { cancel = true; };
    WriteFileBytes(Local.Path() + "x", "x");
    client->SetLocalFileName(Local.Path() + "x");
    client->StartStor();
    // Ended inside the call, reported later.
    EXPECT_TRUE(Done.empty());
    ASSERT_TRUE(nettest::PumpUntil([this] { return !Done.empty(); }));
    EXPECT_EQ(stateSeen, ftpStateReady);
    EXPECT_EQ(LastError(), 426);
}

}  // namespace

namespace {

TEST_F(FtpFakeTest, AStalledDataConnectionTimesOut)
{
    for (bool store : {false, true}) {
        SCOPED_TRACE(store ? "store" : "retrieve");
        auto client = Start(PassiveTransfer([&](FakeFtpSession& s, SOCKET& data) {
            s.Command();
            s.Reply("150 go");
            if (!store)
                nettest::SendAll(data, std::string(1000, 'd'));
            // Neither reads nor sends any more, and keeps the connection.
            s.Command(3000);
        }));
        client->SetPassive(true);
        client->SetTimeout(1);
        ASSERT_TRUE(Connect(*client));
        WriteFileBytes(Local.Path() + "up.bin", RandomBytes(16 << 20, 2));
        client->SetHostFileName("f.bin");
        client->SetLocalFileName(Local.Path() + (store ? "up.bin" : "down.bin"));
        auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(client->Synchronize(store ? &TCustomFtpCli::StartPut : &TCustomFtpCli::StartRetrieve));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4000));
        EXPECT_EQ(client->ErrorMessage(), "426 Timeout");
        ASSERT_TRUE(nettest::PumpUntil([this] { return !Done.empty(); }));
        EXPECT_EQ(LastError(), 426);
        client.reset();
    }
}

}  // namespace

namespace {

Script SlowMkd(int delayMs)
{
    return [delayMs](FakeFtpSession& s) {
        s.Login();
        s.AnswerUntil("MKD");
        Sleep(delayMs);
        s.Reply("257 \"d\" created");
        s.AnswerUntil("never", "257 \"d\" created");
    };
}

TEST_F(FtpFakeTest, ATimeoutOfZeroWaitsWithoutLimit)
{
    auto client = Start(SlowMkd(1100));
    ASSERT_TRUE(Connect(*client));
    client->SetTimeout(0);
    client->SetHostFileName("d");
    EXPECT_TRUE(client->Mkd()) << client->ErrorMessage();
}

TEST_F(FtpFakeTest, BlockingCallsNestInsideRequestDone)
{
    auto client = Start(SlowMkd(0));
    std::vector<std::string> order;
    client->OnRequestDone = [&](TObject*, TFtpRequest request, WORD error) {
        order.push_back("done " + std::to_string(request) + " " + std::to_string(error));
        if (request == ftpRqConnect) {
            client->SetHostFileName("d");
            order.push_back(client->Mkd() ? "mkd true" : "mkd false");
        }
    };
    ASSERT_TRUE(client->Connect());
    ASSERT_TRUE(nettest::PumpUntil([&] { return order.size() >= 3; }));
    EXPECT_EQ(order, (std::vector<std::string>{"done 5 0", "done 22 0", "mkd true"}));
}

TEST_F(FtpFakeTest, AQuitMessageEndsTheWait)
{
    auto client = Start(SlowMkd(3000));
    ASSERT_TRUE(Connect(*client));
    client->SetHostFileName("d");
    PostQuitMessage(0);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(client->Mkd());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(client->ErrorMessage(), "426 Timeout");
}

TEST_F(FtpFakeTest, ARefusalWithOnErrorAssignedIsNoSuccess)
{
    auto client = Start([](FakeFtpSession& s) { s.Login(); s.Command(2000); });
    ASSERT_TRUE(Connect(*client));
    std::vector<std::string> errors;
    client->OnError = [&](TObject*, const std::string& message) { errors.push_back(message); };
    EXPECT_FALSE(client->Connect());
    EXPECT_EQ(errors, std::vector<std::string>{"FTP component already connected"});
}

TEST_F(FtpFakeTest, ThroughAnFtpProxyTheUserNamesTheHost)
{
    auto client = Start([](FakeFtpSession& s) { s.Login(); s.Command(2000); });
    client->SetConnectionType(ftpProxy);
    EXPECT_TRUE(client->Passive());
    client->SetProxyServer("127.0.0.1");
    client->SetProxyPort(client->Port());
    client->SetHostName("ftp.example.test");
    client->SetPort("2121");
    ASSERT_TRUE(Connect(*client)) << client->ErrorMessage();
    EXPECT_TRUE(Displayed("> USER tester@ftp.example.test:2121"));
}

}  // namespace

namespace {

TEST_F(FtpFakeTest, SizeAndDirectoryRepliesAreRead)
{
    auto client = Start([](FakeFtpSession& s) {
        s.Login();
        s.AnswerUntil("PWD");
        s.Reply("257 \"/a \"\"b\"\" c\" is the current directory");
        s.Command();
        s.Reply("213 123456789");
        s.Command();
        s.Reply("257 no quotes here");
        s.Command(2000);
    });
    ASSERT_TRUE(Connect(*client));
    ASSERT_TRUE(Run([&] { client->StartPwd(); }));
    EXPECT_EQ(client->DirectoryReply(), "/a \"b\" c");
    client->SetHostFileName("f");
    ASSERT_TRUE(Run([&] { client->StartSize(); }));
    EXPECT_EQ(client->SizeReply(), 123456789);
    ASSERT_TRUE(Run([&] { client->StartPwd(); }));
    EXPECT_EQ(client->DirectoryReply(), "");
}

TEST(FtpProperties, SettersFollowTheirRules)
{
    TFtpClient client(nullptr);
    EXPECT_EQ(client.ShareMode(), ftpShareExclusive);
    for (TFtpShareMode mode : {ftpShareCompat, ftpShareExclusive, ftpShareDenyWrite, ftpShareDenyRead, ftpShareDenyNone}) {
        client.SetShareMode(mode);
        EXPECT_EQ(client.ShareMode(), mode);
    }
    client.SetShareMode(static_cast<TFtpShareMode>(9));
    EXPECT_EQ(client.ShareMode(), ftpShareExclusive);
    EXPECT_TRUE(client.Binary());
    client.SetBinary(false);
    EXPECT_FALSE(client.Binary());
    EXPECT_EQ(client.Options(), FtpOption(ftpAcceptLF));
    EXPECT_EQ(client.Timeout(), 15);
    EXPECT_EQ(client.Port(), "ftp");
    // Passive is a choice only for direct connections.
    client.SetPassive(true);
    client.SetPassive(false);
    EXPECT_FALSE(client.Passive());
    for (TFtpConnectionType type : {ftpProxy, ftpSocks4, ftpSocks4A, ftpSocks5}) {
        client.SetConnectionType(type);
        client.SetPassive(false);
        EXPECT_TRUE(client.Passive());
    }
}

}  // namespace

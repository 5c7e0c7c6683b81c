// The FTP client against pyftpdlib on loopback, in active and passive mode.

#include "FtpFixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

using namespace ftptest;
using namespace winsock;

namespace {

class FtpPeerTest : public FtpTest, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        if (!Server.Running())
            GTEST_SKIP() << "python3-pyftpdlib is not installed";
        Client = MakeClient(Server.Port());
        Client->SetPassive(GetParam());
        ASSERT_TRUE(Client->Connect()) << Client->ErrorMessage();
        ASSERT_TRUE(Client->TypeSet());
    }
    std::string Remote(const std::string& name) const { return ReadFileBytes(Server.Root() + name); }

    PyFtpServer Server;
    std::unique_ptr<TFtpClient> Client;
};

std::string ModeName(const testing::TestParamInfo<bool>& info) { return info.param ? "Passive" : "Active"; }

TEST_P(FtpPeerTest, OneCommandRequestsAcceptTheServersCodes)
{
    struct Case {
        const char* name;
        std::function<void(TFtpClient&)> start;
        int request;
    };
    WriteFileBytes(Server.Root() + "old.bin", "12345");
    const Case cases[] = {
        {"MKD", [](TFtpClient& c) { c.SetHostFileName("sub"); c.StartMkd(); }, ftpRqMkd},
        {"CWD", [](TFtpClient& c) { c.SetHostDirName("sub"); c.StartCwd(); }, ftpRqCwd},
        {"PWD", [](TFtpClient& c) { c.StartPwd(); }, ftpRqPwd},
        {"CDUP", [](TFtpClient& c) { c.StartCdup(); }, ftpRqCdup},
        {"TYPE", [](TFtpClient& c) { c.StartTypeBinary(); }, ftpRqTypeSet},
        {"SIZE", [](TFtpClient& c) { c.SetHostFileName("old.bin"); c.StartSize(); }, ftpRqSize},
        {"SYST", [](TFtpClient& c) { c.StartSyst(); }, ftpRqSyst},
        {"RNFR", [](TFtpClient& c) { c.SetHostFileName("old.bin"); c.StartRnfr(); }, ftpRqRenFrom},
        {"RNTO", [](TFtpClient& c) { c.SetLocalFileName("new.bin"); c.StartRnto(); }, ftpRqRenTo},
        {"DELE", [](TFtpClient& c) { c.SetHostFileName("new.bin"); c.StartDele(); }, ftpRqDele},
        {"RMD", [](TFtpClient& c) { c.SetHostFileName("sub"); c.StartRmd(); }, ftpRqRmd},
        {"quote", [](TFtpClient& c) { c.SetLocalFileName("NOOP"); c.StartQuote(); }, ftpRqQuote},
        {"ABOR", [](TFtpClient& c) { c.StartAbor(); }, ftpRqAbor},
        {"QUIT", [](TFtpClient& c) { c.StartQuit(); }, ftpRqQuit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Run([&] { c.start(*Client); }));
        EXPECT_EQ(LastError(), 0) << Client->ErrorMessage();
        EXPECT_EQ(LastRequest(), c.request);
        if (std::string(c.name) == "PWD") {
            EXPECT_EQ(Client->DirectoryReply(), "/sub");
        }
        if (std::string(c.name) == "SIZE") {
            EXPECT_EQ(Client->SizeReply(), 5);
        }
    }
    EXPECT_FALSE(Client->Connected());
    EXPECT_EQ(Client->State(), ftpStateReady);
    EXPECT_FALSE(FileExists(Server.Root() + "old.bin"));
    EXPECT_FALSE(DirectoryExists(Server.Root() + "sub"));
}

TEST_P(FtpPeerTest, TransfersEverySizeByteForByte)
{
    const std::size_t sizes[] = {0, 1, 1459, 1460, 1461, 4096, 1 << 20};
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        std::string name = "f" + std::to_string(size) + ".bin";
        std::string bytes = RandomBytes(size, static_cast<unsigned>(size));
        WriteFileBytes(Local.Path() + name, bytes);
        Client->SetLocalFileName(Local.Path() + name);
        Client->SetHostFileName(name);
        // The blocking store returns only once the request is reported: the
        // server then holds the whole file.
        ASSERT_TRUE(Client->Put()) << Client->ErrorMessage();
        EXPECT_TRUE(SameBytes(Remote(name), bytes));

        ASSERT_TRUE(Run([&] { Client->StartAppendData(); }));
        EXPECT_EQ(LastError(), 0) << Client->ErrorMessage();
        EXPECT_EQ(LastRequest(), ftpRqAppend);
        EXPECT_TRUE(SameBytes(Remote(name), bytes + bytes));

        Client->SetLocalFileName(Local.Path() + "back.bin");
        ASSERT_TRUE(Run([&] { Client->StartRetrieve(); }));
        EXPECT_EQ(LastError(), 0) << Client->ErrorMessage();
        EXPECT_EQ(LastRequest(), ftpRqGet);
        EXPECT_TRUE(SameBytes(ReadFileBytes(Local.Path() + "back.bin"), bytes + bytes));
        EXPECT_EQ(Client->TransferredBytes(), static_cast<int>(2 * size));
    }

    Client->SetHostFileName("");
    Client->SetLocalFileName(Local.Path() + "names.txt");
    ASSERT_TRUE(Run([&] { Client->StartListNames(); }));
    EXPECT_EQ(LastError(), 0) << Client->ErrorMessage();
    std::string names = ReadFileBytes(Local.Path() + "names.txt");
    for (std::size_t size : sizes)
        EXPECT_NE(names.find("f" + std::to_string(size) + ".bin\r\n"), std::string::npos) << names;

    std::vector<std::string> listed;
    Client->OnDisplayFile = [&](TObject*, const std::string& line) { listed.push_back(line); };
    Client->SetDisplayFileFlag(true);
    ASSERT_TRUE(Run([&] { Client->StartListDir(); }));
    EXPECT_EQ(LastError(), 0) << Client->ErrorMessage();
    ASSERT_EQ(listed.size(), std::size(sizes));
    EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [](const std::string& line) {
        return line.find(" 2097152 ") != std::string::npos && line.ends_with("f1048576.bin");
    }));
}

TEST_P(FtpPeerTest, ResumesInBothDirections)
{
    std::string bytes = RandomBytes(100000, 7);
    WriteFileBytes(Server.Root() + "down.bin", bytes);
    WriteFileBytes(Local.Path() + "down.bin", bytes.substr(0, 40000));
    std::vector<int> counts;
    Client->OnProgress = [&](TObject*, int count, bool&) { counts.push_back(count); };
    Client->SetHostFileName("down.bin");
    Client->SetLocalFileName(Local.Path() + "down.bin");
    ASSERT_TRUE(Run([&] { Client->StartResumeRetrieve(); }));
    EXPECT_EQ(LastError(), 0) << Client->ErrorMessage();
    EXPECT_EQ(LastRequest(), ftpRqResumeGet);
    EXPECT_TRUE(SameBytes(ReadFileBytes(Local.Path() + "down.bin"), bytes));
    EXPECT_TRUE(Displayed("> REST 40000"));
    EXPECT_EQ(Client->TransferredBytes(), 60000);
    ASSERT_FALSE(counts.empty());
    // Progress counts from the restart offset.
    EXPECT_GE(counts.front(), 40000);

    WriteFileBytes(Server.Root() + "up.bin", bytes.substr(0, 30000));
    WriteFileBytes(Local.Path() + "up.bin", bytes);
    Client->SetHostFileName("up.bin");
    Client->SetLocalFileName(Local.Path() + "up.bin");
    Client->SetRestartOffset(30000);
    ASSERT_TRUE(Run([&] { Client->StartResumeStore(); }));
    EXPECT_EQ(LastError(), 0) << Client->ErrorMessage();
    EXPECT_EQ(LastRequest(), ftpRqPut);
    EXPECT_TRUE(SameBytes(Remote("up.bin"), bytes));
}

TEST_P(FtpPeerTest, AMissingFileIs550AndLeavesNoCompleteFile)
{
    Client->SetHostFileName("missing.bin");
    Client->SetLocalFileName(Local.Path() + "missing.bin");
    ASSERT_TRUE(Run([&] { Client->StartRetrieve(); }));
    EXPECT_EQ(LastError(), 550);
    EXPECT_EQ(Client->ErrorMessage().substr(0, 4), "550 ");
    EXPECT_EQ(Client->State(), ftpStateReady);
    // The connection stays usable.
    EXPECT_TRUE(Client->TypeSet());
}

INSTANTIATE_TEST_SUITE_P(Modes, FtpPeerTest, testing::Bool(), ModeName);

class FtpPeerFaultTest : public FtpTest, public testing::WithParamInterface<bool> {
protected:
    // A binary session in the mode of the case, with `timeout` seconds and
    // `file` as both file names; null when it could not be opened.
    std::unique_ptr<WaitingFtpClient> Session(const PyFtpServer& server, int timeout, const std::string& file)
    {
        auto client = MakeClient(server.Port());
        client->SetPassive(GetParam());
        client->SetTimeout(timeout);
        if (!client->Connect() || !client->TypeSet())
            return nullptr;
        client->SetLocalFileName(Local.Path() + file);
        client->SetHostFileName(file);
        return client;
    }
};

TEST_P(FtpPeerFaultTest, AWrongPasswordFailsTheConnect)
{
    PyFtpServer server;
    if (!server.Running())
        GTEST_SKIP() << "python3-pyftpdlib is not installed";
    auto client = MakeClient(server.Port());
    client->SetPassWord("wrong");
    EXPECT_FALSE(client->Connect());
    EXPECT_EQ(client->ErrorMessage().substr(0, 4), "530 ");
    nettest::PumpUntil([this] { return !Done.empty(); }, 2000);
    EXPECT_EQ(LastRequest(), ftpRqConnect);
    EXPECT_EQ(LastError(), 530);
    // The session stays open, as the server left it: a second connect is refused.
    EXPECT_TRUE(client->Connected());
    EXPECT_FALSE(client->Connect());
}

TEST_P(FtpPeerFaultTest, AServerStoppedMidTransferIsAFailure)
{
    for (bool store : {false, true}) {
        SCOPED_TRACE(store ? "store" : "retrieve");
        auto server = std::make_unique<PyFtpServer>();
        if (!server->Running())
            GTEST_SKIP() << "python3-pyftpdlib is not installed";
        std::string bytes = RandomBytes(16 << 20, 3);
        WriteFileBytes((store ? Local.Path() : server->Root()) + "big.bin", bytes);
        auto client = MakeClient(server->Port());
        client->SetPassive(GetParam());
        ASSERT_TRUE(client->Connect());
        client->SetHostFileName("big.bin");
        client->SetLocalFileName(Local.Path() + (store ? "big.bin" : "part.bin"));
        client->OnProgress = [&](TObject*, int count, bool&) {
            if (count > 200000 && server)
                server.reset();
        };
        bool reported = Run([&] {
            if (store) {
                EXPECT_FALSE(client->Put());
            } else {
                client->StartRetrieve();
            }
        });
        ASSERT_TRUE(reported);
        EXPECT_NE(LastError(), 0);
        EXPECT_FALSE(client->ErrorMessage().empty());
        if (!store) {
            EXPECT_LT(FileSize(Local.Path() + "part.bin"), static_cast<std::int64_t>(bytes.size()));
        }
        Lines.clear();
    }
}

TEST_P(FtpPeerFaultTest, ASlowButSteadyTransferDoesNotTimeOut)
{
    PyFtpServer server(256 * 1024);
    if (!server.Running())
        GTEST_SKIP() << "python3-pyftpdlib is not installed";
    std::string bytes = RandomBytes(400 * 1024, 5);
    WriteFileBytes(server.Root() + "slow.bin", bytes);
    auto client = Session(server, 1, "slow.bin");
    ASSERT_TRUE(client);
    auto start = std::chrono::steady_clock::now();
    // The time-out counts from the last progress, not from the start.
    EXPECT_TRUE(client->Synchronize(&TCustomFtpCli::StartRetrieve)) << client->ErrorMessage();
    EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1200));
    EXPECT_TRUE(SameBytes(ReadFileBytes(Local.Path() + "slow.bin"), bytes));
}

TEST_P(FtpPeerFaultTest, ASlowButSteadyStoreDoesNotTimeOut)
{
    // Progress is what the server takes, not what the kernel queues: a
    // queue of megabytes would leave the wait without news for seconds.
    PyFtpServer server(1 << 20);
    if (!server.Running())
        GTEST_SKIP() << "python3-pyftpdlib is not installed";
    std::string bytes = RandomBytes(4 << 20, 6);
    WriteFileBytes(Local.Path() + "up.bin", bytes);
    auto client = Session(server, 3, "up.bin");
    ASSERT_TRUE(client);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Run([&] { EXPECT_TRUE(client->Put()) << client->ErrorMessage(); }));
    EXPECT_EQ(LastError(), 0) << client->ErrorMessage();
    EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3500));
    EXPECT_TRUE(SameBytes(ReadFileBytes(server.Root() + "up.bin"), bytes));
}

TEST_P(FtpPeerFaultTest, AStoreSlowerThanATurnPerTimeOutDoesNotTimeOut)
{
    // At 20,000 bytes/s the server needs longer than the time-out for what
    // the kernel holds of one turn, and as long again for what it still holds
    // after the last block; progress is what the server takes meanwhile.
    PyFtpServer server(20000);
    if (!server.Running())
        GTEST_SKIP() << "python3-pyftpdlib is not installed";
    std::string bytes = RandomBytes(1 << 20, 8);
    WriteFileBytes(Local.Path() + "steady.bin", bytes);
    auto client = Session(server, 3, "steady.bin");
    ASSERT_TRUE(client);
    ASSERT_TRUE(Run([&] { EXPECT_TRUE(client->Put()) << client->ErrorMessage(); }));
    EXPECT_EQ(LastError(), 0) << client->ErrorMessage();
    EXPECT_EQ(client->TransferredBytes(), 1 << 20);
    EXPECT_TRUE(SameBytes(ReadFileBytes(server.Root() + "steady.bin"), bytes));
}

INSTANTIATE_TEST_SUITE_P(Modes, FtpPeerFaultTest, testing::Bool(), ModeName);

TEST_F(FtpTest, SessionRequestsRunTheirWholeSequence)
{
    PyFtpServer server;
    if (!server.Running())
        GTEST_SKIP() << "python3-pyftpdlib is not installed";
    ForceDirectories(server.Root() + "dir");
    std::string bytes = RandomBytes(5000, 9);
    WriteFileBytes(Local.Path() + "s.bin", bytes);
    auto client = MakeClient(server.Port());
    client->SetHostDirName("dir");
    client->SetHostFileName("s.bin");
    client->SetLocalFileName(Local.Path() + "s.bin");
    ASSERT_TRUE(Run([&] { client->StartStoreSession(); }));
    EXPECT_EQ(LastError(), 0) << client->ErrorMessage();
    EXPECT_EQ(LastRequest(), ftpRqPut);
    EXPECT_TRUE(SameBytes(ReadFileBytes(server.Root() + "dir/s.bin"), bytes));
    EXPECT_FALSE(client->Connected());
    // The reply of the step before QUIT is what the request reports.
    EXPECT_EQ(client->StatusCode(), 226);

    client->SetLocalFileName(Local.Path() + "s2.bin");
    ASSERT_TRUE(Run([&] { client->StartRetrieveSession(); }));
    EXPECT_EQ(LastError(), 0) << client->ErrorMessage();
    EXPECT_TRUE(SameBytes(ReadFileBytes(Local.Path() + "s2.bin"), bytes));

    ASSERT_TRUE(Run([&] { client->StartSizeSession(); }));
    EXPECT_EQ(LastError(), 550);  // SIZE is refused in ASCII mode, and the session sends no TYPE
    EXPECT_FALSE(client->Connected());

    client->SetHostDirName("nowhere");
    ASSERT_TRUE(Run([&] { client->StartDeleSession(); }));
    EXPECT_EQ(LastError(), 550);
    EXPECT_EQ(client->ErrorMessage().substr(0, 4), "550 ");
    EXPECT_TRUE(Displayed("> QUIT"));
    EXPECT_FALSE(Displayed("> DELE s.bin"));
}

}  // namespace

namespace {

// vsftpd with a configuration of its own, serving anonymous users (no
// password) on 127.0.0.2, so that the client's PORT goes out in its general
// form and meets vsftpd's check that the address is the control peer's.
class Vsftpd {
public:
    Vsftpd()
    {
        if (access("/usr/sbin/vsftpd", X_OK) != 0) {
            Why = "vsftpd is not installed";
            return;
        }
        if (geteuid() != 0) {
            // It insists on starting as root, even for a private instance.
            Why = "vsftpd must be started as root, and the tests do not run as root";
            return;
        }
        FRoot = FFolder.Path() + "root/";
        ForceDirectories(FRoot + "up");
        chmod((FRoot + "up").c_str(), 0777);
        ForceDirectories(FFolder.Path() + "empty");
        std::uint16_t port = nettest::FreePort();
        std::string config = FFolder.Path() + "vsftpd.conf";
        WriteFileBytes(config, "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.2\nlisten_port=" +
                                   std::to_string(port) +
                                   "\nrun_as_launching_user=YES\nbackground=NO\nanonymous_enable=YES\n"
                                   "no_anon_password=YES\nanon_root=" + FRoot +
                                   "\nwrite_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\n"
                                   "anon_other_write_enable=YES\nlocal_enable=NO\nseccomp_sandbox=NO\nisolate=NO\n"
                                   "isolate_network=NO\nanon_world_readable_only=NO\nsecure_chroot_dir=" + FFolder.Path() +
                                   "empty\nxferlog_enable=NO\npasv_enable=YES\npasv_address=127.0.0.2\n");
        FProcess = std::make_unique<nettest::PeerProcess>(std::vector<std::string>{"/usr/sbin/vsftpd", config});
        // vsftpd says nothing when it is up; wait for its port.
        WSADATA data;
        WSAStartup(0x0101, data);
        for (int i = 0; i < 100 && FPort == 0; ++i) {
            SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
            sockaddr_in address = nettest::Loopback(port);
            address.sin_addr.s_addr = inet_addr("127.0.0.2");
            if (connect(s, address) == 0)
                FPort = port;
            closesocket(s);
            if (FPort == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        WSACleanup();
        if (FPort == 0)
            Why = "vsftpd did not start";
    }
    std::uint16_t Port() const { return FPort; }
    const std::string& Root() const { return FRoot; }
    std::string Why;

private:
    testsupport::TempFolder FFolder;
    std::string FRoot;
    std::unique_ptr<nettest::PeerProcess> FProcess;
    std::uint16_t FPort = 0;
};

class FtpVsftpdTest : public FtpTest, public testing::WithParamInterface<bool> {};

TEST_P(FtpVsftpdTest, StoresAndRetrievesByteForByte)
{
    Vsftpd server;
    if (server.Port() == 0)
        GTEST_SKIP() << server.Why;
    auto client = MakeClient(server.Port(), "127.0.0.2");
    client->SetUserName("anonymous");
    client->SetPassive(GetParam());
    ASSERT_TRUE(Connect(*client)) << client->ErrorMessage();
    ASSERT_TRUE(client->TypeSet());
    client->SetHostFileName(server.Root() + "up/dir");
    ASSERT_TRUE(client->Mkd()) << client->ErrorMessage();
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{1460}, std::size_t{1461}, std::size_t{1} << 20}) {
        SCOPED_TRACE(size);
        std::string bytes = RandomBytes(size, static_cast<unsigned>(size) + 1);
        WriteFileBytes(Local.Path() + "up.bin", bytes);
        client->SetLocalFileName(Local.Path() + "up.bin");
        client->SetHostFileName(server.Root() + "up/dir/f.bin");
        ASSERT_TRUE(client->Put()) << client->ErrorMessage();
        EXPECT_TRUE(SameBytes(ReadFileBytes(server.Root() + "up/dir/f.bin"), bytes));
        client->SetLocalFileName(Local.Path() + "down.bin");
        ASSERT_TRUE(Run([&] { client->StartRetrieve(); }));
        EXPECT_EQ(LastError(), 0) << client->ErrorMessage();
        EXPECT_TRUE(SameBytes(ReadFileBytes(Local.Path() + "down.bin"), bytes));
    }
    if (!GetParam()) {
        // The general form with the control connection's local address.
        EXPECT_TRUE(DisplayedStarting("> PORT 127,0,0,1,"));
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, FtpVsftpdTest, testing::Bool(), ModeName);

TEST_F(FtpTest, PassiveTransfersGoThroughTheSocksProxy)
{
    PyFtpServer server;
    if (!server.Running())
        GTEST_SKIP() << "python3-pyftpdlib is not installed";
    if (access("/usr/bin/microsocks", X_OK) != 0)
        GTEST_SKIP() << "microsocks is not installed";
    std::uint16_t proxyPort = nettest::FreePort();
    // microsocks tells every connection it makes on stderr.
    nettest::PeerProcess proxy({"/bin/sh", "-c",
                                "exec /usr/bin/microsocks -i 127.0.0.1 -u gallery -P s3cret -p " +
                                    std::to_string(proxyPort) + " 2>&1"});
    ASSERT_TRUE(nettest::WaitListening(proxyPort));
    auto client = MakeClient(server.Port());
    client->SetConnectionType(ftpSocks5);
    EXPECT_TRUE(client->Passive());
    client->SetSocksServer("127.0.0.1");
    client->SetSocksPort(std::to_string(proxyPort));
    // The SOCKS connection types log in to the proxy.
    client->SetSocksUserCode("gallery");
    client->SetSocksPassword("s3cret");
    ASSERT_TRUE(Connect(*client)) << client->ErrorMessage();
    ASSERT_TRUE(client->TypeSet());
    std::string bytes = RandomBytes(100000, 11);
    WriteFileBytes(Local.Path() + "p.bin", bytes);
    client->SetLocalFileName(Local.Path() + "p.bin");
    for (int i = 0; i < 3; ++i) {
        client->SetHostFileName("p" + std::to_string(i) + ".bin");
        ASSERT_TRUE(client->Put()) << client->ErrorMessage();
        EXPECT_TRUE(SameBytes(ReadFileBytes(server.Root() + "p" + std::to_string(i) + ".bin"), bytes));
    }
    client->SetLocalFileName(Local.Path() + "back.bin");
    ASSERT_TRUE(Run([&] { client->StartRetrieve(); }));
    EXPECT_EQ(LastError(), 0) << client->ErrorMessage();
    EXPECT_TRUE(SameBytes(ReadFileBytes(Local.Path() + "back.bin"), bytes));
    // The control connection and all four data connections went through it.
    int seen = 0;
    for (std::string line = proxy.ReadLine(2000); !line.empty(); line = proxy.ReadLine(300))
        seen += line.find("connected to 127.0.0.1:") != std::string::npos;
    EXPECT_EQ(seen, 5);
}

// The proxy for each case: microsocks asking for a password or for none, or
// dante, which asks for none and carries what its rule lets through.
struct SocksPeer {
    std::string Name;
    std::string User{};
    std::string Password{};
    bool Dante = false;
    std::string DantePassTo = "127.0.0.0/8";
};

class FtpSocksTest : public FtpTest {
protected:
    // A client of `serverPort` through a fresh proxy of `peer`'s kind, as
    // SOCKS 5 without a user code; null (with `Why`) when the proxy cannot run.
    std::unique_ptr<WaitingFtpClient> ThroughProxy(const SocksPeer& peer, std::uint16_t serverPort)
    {
        Proxy = {};
        if (peer.Dante) {
            Proxy = nettest::StartDante(ProxyFiles.Path(), Why, peer.DantePassTo);
        } else {
            Why = "microsocks is not installed or did not start";
            Proxy = nettest::StartMicrosocks(peer.User, peer.Password);
        }
        if (Proxy.Port == 0)
            return nullptr;
        auto client = MakeClient(serverPort);
        client->SetConnectionType(ftpSocks5);
        client->SetSocksServer("127.0.0.1");
        client->SetSocksPort(std::to_string(Proxy.Port));
        return client;
    }
    const testsupport::TempFolder ProxyFiles;
    nettest::SocksServerProcess Proxy;
    std::string Why;
};

TEST_F(FtpSocksTest, WithoutAUserCodeTheProxyIsOfferedNoAuthentication)
{
    PyFtpServer server;
    if (!server.Running())
        GTEST_SKIP() << "python3-pyftpdlib is not installed";
    std::string bytes = RandomBytes(100000, 12);
    WriteFileBytes(Local.Path() + "n.bin", bytes);
    const SocksPeer peers[] = {{.Name = "microsocks"}, {.Name = "dante", .Dante = true}};
    for (const SocksPeer& peer : peers) {
        SCOPED_TRACE(peer.Name);
        auto client = ThroughProxy(peer, server.Port());
        if (!client)
            GTEST_SKIP() << Why;
        ASSERT_TRUE(Connect(*client)) << client->ErrorMessage();
        ASSERT_TRUE(client->TypeSet());
        client->SetLocalFileName(Local.Path() + "n.bin");
        client->SetHostFileName(peer.Name + ".bin");
        ASSERT_TRUE(client->Put()) << client->ErrorMessage();
        EXPECT_TRUE(SameBytes(ReadFileBytes(server.Root() + peer.Name + ".bin"), bytes));
    }
}

TEST_F(FtpSocksTest, AFailureNamesItsReason)
{
    PyFtpServer server;
    if (!server.Running())
        GTEST_SKIP() << "python3-pyftpdlib is not installed";
    struct Case {
        SocksPeer Peer;
        std::string User, Password, Message;
        int Error;
    };
    const std::vector<Case> cases = {
        {{.Name = "authentication required", .User = "gallery", .Password = "s3cret"}, "", "",
         "500 SOCKS proxy: authentification method not acceptable (error #20003)", 20003},
        {{.Name = "authentication failed", .User = "gallery", .Password = "s3cret"}, "gallery", "wrong",
         "500 SOCKS proxy: socks authentication failed (error #20015)", 20015},
        {{.Name = "proxy refused", .Dante = true, .DantePassTo = ""}, "", "",
         "500 SOCKS proxy: connection not allowed by ruleset (error #20005)", 20005},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Peer.Name);
        auto client = ThroughProxy(c.Peer, server.Port());
        if (!client)
            GTEST_SKIP() << Why;
        client->SetSocksUserCode(c.User);
        client->SetSocksPassword(c.Password);
        EXPECT_FALSE(client->Connect());
        EXPECT_EQ(client->ErrorMessage(), c.Message);
        ASSERT_TRUE(nettest::PumpUntil([this] { return !Done.empty(); }));
        EXPECT_EQ(LastError(), c.Error);
        Done.clear();
    }

    // The proxy carries the control connection but refuses the data one.
    SCOPED_TRACE("data connection refused");
    auto client =
        ThroughProxy({.Name = "dante", .Dante = true, .DantePassTo = "127.0.0.1/32 port = " +
                                                                      std::to_string(server.Port())},
                     server.Port());
    if (!client)
        GTEST_SKIP() << Why;
    ASSERT_TRUE(Connect(*client)) << client->ErrorMessage();
    WriteFileBytes(Local.Path() + "d.bin", "data");
    client->SetLocalFileName(Local.Path() + "d.bin");
    client->SetHostFileName("d.bin");
    EXPECT_FALSE(client->Put());
    EXPECT_EQ(client->ErrorMessage(),
              "Unable to establish data connection, SOCKS proxy: connection not allowed by ruleset (error #20005)");
}

}  // namespace

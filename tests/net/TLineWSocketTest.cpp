#include "net/TCustomLineWSocket.h"

#include <gtest/gtest.h>

#include "SocketFixture.h"
#include "net/TCustomSyncWSocket.h"
#include "platform/controls/TApplication.h"
#include "platform/loop/Clock.h"

using namespace nettest;
using namespace winsock;

namespace {

// Sends each piece as its own segment, with a pause, then waits for the
// client to close (or gives up after a while).
std::function<void(SOCKET)> Pieces(std::vector<std::string> pieces, std::string* echoed = nullptr)
{
    return [pieces = std::move(pieces), echoed](SOCKET s) {
        int on = 1;
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        for (const std::string& piece : pieces) {
            SendAll(s, piece);
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
        }
        std::string rest = RecvAll(s, 1500);
        if (echoed)
            *echoed = rest;
    };
}

class LineTest : public SocketFixture {
protected:
    std::unique_ptr<TWSocket> LineClient(ScriptedPeer& peer)
    {
        auto socket = Client(peer.Port());
        Watch(*socket, false);
        socket->SetLineMode(true);
        return socket;
    }
    std::vector<std::string> Lines;
};

}  // namespace

TEST_F(LineTest, ATerminatorSplitBetweenReadsStillEndsTheLine)
{
    ScriptedPeer peer(Pieces({"ab\r", "\ncd\r\n"}));
    auto socket = LineClient(peer);
    socket->OnDataAvailable = [&](TObject*, WORD) { Lines.push_back(socket->ReceiveText()); };
    socket->Connect();
    ASSERT_TRUE(PumpUntil([&] { return Lines.size() == 2; }));
    EXPECT_EQ(Lines, (std::vector<std::string>{"ab\r\n", "cd\r\n"}));
}

TEST_F(LineTest, AHandlerMayTakeALineInPieces)
{
    for (int pieceSize : {1, 2, 100}) {
        SCOPED_TRACE(pieceSize);
        ScriptedPeer peer(Pieces({"hello\r\nwide world\r\n"}));
        auto socket = LineClient(peer);
        std::vector<std::string> reads;
        socket->OnDataAvailable = [&](TObject*, WORD) {
            std::string piece(static_cast<std::size_t>(pieceSize), '\0');
            int n = socket->Receive(piece.data(), pieceSize);
            if (n > 0)
                reads.push_back(piece.substr(0, static_cast<std::size_t>(n)));
        };
        socket->Connect();
        std::string joined;
        ASSERT_TRUE(PumpUntil([&] {
            joined.clear();
            for (const std::string& read : reads)
                joined += read;
            return joined.size() == 19;
        }));
        EXPECT_EQ(joined, "hello\r\nwide world\r\n");
        for (const std::string& read : reads) {
            EXPECT_LE(read.size(), static_cast<std::size_t>(pieceSize));
            // No read crosses the end of a line.
            std::size_t end = read.find("\r\n");
            EXPECT_TRUE(end == std::string::npos || end + 2 == read.size()) << read;
        }
        if (pieceSize == 100) {
            EXPECT_EQ(reads, (std::vector<std::string>{"hello\r\n", "wide world\r\n"}));
        }
    }
}

TEST_F(LineTest, TheLineLimitEventMayClearOrKeepTheBuffer)
{
    for (bool clear : {true, false}) {
        SCOPED_TRACE(clear ? "cleared" : "kept");
        ScriptedPeer peer(Pieces({"0123456789A"}));
        auto socket = LineClient(peer);
        socket->SetLineLimit(10);
        socket->OnDataAvailable = [&](TObject*, WORD) { Lines.push_back(socket->ReceiveText()); };
        std::vector<int> limits;
        socket->OnLineLimitExceeded = [&](TObject*, int length, bool& clearData) {
            limits.push_back(length);
            clearData = clear;
        };
        socket->Connect();
        ASSERT_TRUE(PumpUntil([&] { return !limits.empty(); }));
        EXPECT_EQ(limits, std::vector<int>{11});
        EXPECT_EQ(socket->BufferedCount(), clear ? 0 : 11);
        EXPECT_TRUE(Lines.empty());
    }
}

TEST_F(LineTest, EditingAppliesBackspaceAndTabAndEchoes)
{
    std::string echoed;
    ScriptedPeer peer(Pieces({"ab\bc\r\n", "abc\tx\r\n"}, &echoed));
    auto socket = LineClient(peer);
    socket->SetLineEdit(true);
    socket->SetLineEcho(true);
    socket->OnDataAvailable = [&](TObject*, WORD) { Lines.push_back(socket->ReceiveText()); };
    socket->Connect();
    ASSERT_TRUE(PumpUntil([&] { return Lines.size() == 2; }));
    EXPECT_EQ(Lines, (std::vector<std::string>{"ac\r\n", "abc     x\r\n"}));
    socket->Close();
    ASSERT_TRUE(peer.WaitFinished());
    EXPECT_EQ(echoed, "ab\b \bc\r\nabc     x\r\n");
}

TEST_F(LineTest, TheRestIsOfferedAsALastLineBeforeTheClose)
{
    ScriptedPeer peer([](SOCKET s) { SendAll(s, "one\r\nxyz"); });
    auto socket = LineClient(peer);
    socket->OnDataAvailable = [&](TObject*, WORD) { Log.push_back("line " + socket->ReceiveText()); };
    socket->Connect();
    ASSERT_TRUE(PumpUntil([&] { return Count("closed") == 1; }));
    EXPECT_EQ(Log, (std::vector<std::string>{"connected 0", "sent 0", "line one\r\n", "line xyz", "closed 0"}));
}

TEST_F(LineTest, SwitchingTheModeInAHandlerDeliversTheBufferInTheNewMode)
{
    ScriptedPeer peer(Pieces({"one\r\ntwo\r\nrest"}));
    auto socket = LineClient(peer);
    socket->OnDataAvailable = [&](TObject*, WORD) {
        Lines.push_back(socket->ReceiveText());
        if (Lines.size() == 1)
            socket->SetLineMode(false);
    };
    socket->Connect();
    ASSERT_TRUE(PumpUntil([&] { return Lines.size() == 2; }));
    PumpFor(50);
    EXPECT_EQ(Lines, (std::vector<std::string>{"one\r\n", "two\r\nrest"}));
}

TEST_F(LineTest, BytesNobodyTakesNeitherSpinNorGetLost)
{
    ScriptedPeer peer(Pieces({"no end in sight", "still none"}));
    auto socket = LineClient(peer);
    int calls = 0;
    socket->OnDataAvailable = [&](TObject*, WORD) { ++calls; };  // takes nothing
    socket->Connect();
    PumpFor(300);
    EXPECT_EQ(calls, 0) << "no line was complete";
    // Switching the mode off offers them raw; a handler that ignores them
    // ends the re-delivery instead of spinning.
    double before = CpuSeconds();
    socket->SetLineMode(false);
    PumpFor(200);
    EXPECT_LT(CpuSeconds() - before, 0.15);
    EXPECT_EQ(socket->BufferedCount(), 25);
    std::string rest;
    socket->OnDataAvailable = [&](TObject*, WORD) { rest += socket->ReceiveText(); };
    PostMessage(socket->Handle(), WM_TRIGGER_DATA_AVAILABLE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return rest.size() == 25; }));
    EXPECT_EQ(rest, "no end in sightstill none");
}

// ---------------------------------------------------------------- the blocking wait

TEST_F(LineTest, WaitUntilReadyEndsWhenTheWorkIsDone)
{
    TWSocket socket(nullptr);
    bool done = false;
    socket.OnDnsLookupDone = [&](TObject*, WORD error) { done = true; };
    int result = socket.Synchronize([&] { socket.DnsLookup("localhost"); }, done);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(socket.DnsResult(), "127.0.0.1");
}

TEST_F(LineTest, WaitUntilReadyAnswers12001WhenTheLoopEnds)
{
    {
        TApplication application;
        TWSocket socket(nullptr);
        bool done = false;
        UINT_PTR timer = SetTimer(0, 0, 50, [&](HWND, UINT, UINT_PTR, DWORD) { application.Terminate(); });
        EXPECT_EQ(socket.WaitUntilReady(done), WSocketWaitTerminated);
        EXPECT_FALSE(done);
        KillTimer(0, timer);
    }
    TWSocket socket(nullptr);
    socket.SetMultiThreaded(true);
    bool done = false;
    PostQuitMessage(0);
    EXPECT_EQ(socket.WaitUntilReady(done), WSocketWaitTerminated);
}

TEST_F(LineTest, ATwoSecondWaitDoesNotSpin)
{
    TWSocket socket(nullptr);
    bool done = false;
    UINT_PTR timer = SetTimer(0, 0, 2000, [&](HWND, UINT, UINT_PTR, DWORD) { done = true; });
    double before = CpuSeconds();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(socket.WaitUntilReady(done), 0);
    double cpu = CpuSeconds() - before;
    KillTimer(0, timer);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1900));
    EXPECT_LT(cpu, 0.2) << "the wait used " << cpu << " s of processor time";
}

// 1 GB over loopback through a plain blocking POSIX socket pair (a writer
// thread, a reading main) and through a pair of TWSocket objects, each end
// driven by the message loop of its own thread as the plain pair's ends run
// on theirs; then once more with both TWSocket ends in one thread's loop,
// printed for information. Every run writes and reads in 64 KB pieces.
// Each figure is the best of three runs; the last line is the ratio of the
// two-thread runs.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bench/socket/PlainPair.h"
#include "net/TCustomSyncWSocket.h"
#include "platform/loop/Messages.h"

namespace {

constexpr long long Total = 1LL << 30;
constexpr int Piece = 65536;
constexpr int Runs = 3;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void RunLoopUntil(const std::function<bool()>& done)
{
    MSG msg;
    while (!done()) {
        if (PeekMessage(msg, 0, 0, 0, PM_REMOVE))
            DispatchMessage(msg);
        else
            MsgWaitForMultipleObjects({}, 10);
    }
}

// Keeps a few pieces queued, so the kernel never waits for the loop.
void Feed(TWSocket& sender, const std::vector<char>& piece, long long& sent)
{
    while (sent < Total && sender.QueuedBlocks() < 4 * Piece / 1460) {
        sender.Send(piece.data(), Piece);
        sent += Piece;
    }
}

// A listener that accepts one connection into a receiver counting what it
// reads; the count is atomic as a sender on another thread watches it.
struct ReceivingEnd {
    TWSocket Server{nullptr};
    TWSocket Receiver{nullptr};
    std::atomic<long long> Received = 0;
    std::vector<char> Buffer = std::vector<char>(Piece);

    ReceivingEnd()
    {
        Receiver.OnDataAvailable = [this](TObject*, WORD) {
            for (int n; (n = Receiver.Receive(Buffer.data(), Piece)) > 0;)
                Received += n;
        };
        Server.SetAddr("127.0.0.1");
        Server.SetPort("0");
        Server.OnSessionAvailable = [this](TObject*, WORD) { Receiver.Dup(Server.Accept()); };
        Server.Listen();
    }
    bool Done() const { return Received >= Total; }
};

// Connects `sender` to the listener at `port` and feeds it from its write notices.
void StartSending(TWSocket& sender, const std::string& port, const std::vector<char>& piece, long long& sent)
{
    sender.SetAddr("127.0.0.1");
    sender.SetPort(port);
    sender.OnDataSent = [&](TObject*, WORD) { Feed(sender, piece, sent); };
    sender.Connect();
}

double ThroughSocketsInOneLoop()
{
    std::vector<char> piece(Piece, 'g');
    ReceivingEnd end;
    TWSocket sender(nullptr);
    long long sent = 0;
    Clock::time_point start = Clock::now();
    StartSending(sender, end.Server.GetBoundPort(), piece, sent);
    RunLoopUntil([&] { return end.Done(); });
    return Seconds(start);
}

double ThroughSocketsInTwoLoops()
{
    ReceivingEnd end;
    std::string port = end.Server.GetBoundPort();
    std::promise<void> senderMade;
    std::future<void> senderReady = senderMade.get_future();
    Clock::time_point start = Clock::now();
    // The sender's window, and so its notices, belong to the writer thread.
    std::thread writer([&] {
        std::vector<char> piece(Piece, 'g');
        long long sent = 0;
        TWSocket sender(nullptr);
        senderMade.set_value();
        StartSending(sender, port, piece, sent);
        RunLoopUntil([&] { return end.Done(); });
    });
    senderReady.wait();
    RunLoopUntil([&] { return end.Done(); });
    double seconds = Seconds(start);
    writer.join();
    return seconds;
}

}  // namespace

// The best of a few runs: a busy machine slows single runs, never speeds them.
double Best(const std::function<double()>& run)
{
    double best = run();
    for (int i = 1; i < Runs; ++i)
        best = std::min(best, run());
    return best;
}

int main()
{
    double plain = Best([] { return ThroughPlainSockets(Total, Piece); });
    double twoLoops = Best(ThroughSocketsInTwoLoops);
    double oneLoop = Best(ThroughSocketsInOneLoop);
    std::printf("plain blocking pair:          %.3f s\n", plain);
    std::printf("TWSocket pair, one loop each: %.3f s\n", twoLoops);
    std::printf("TWSocket pair, one loop:      %.3f s\n", oneLoop);
    std::printf("socket/plain: %.2f\n", twoLoops / plain);
    return 0;
}

// The animation painter: its timing against a clock of the test's own, loops,
// events, stopping, and the frames it composes against ImageMagick's
// coalesced frames.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <mutex>

#include "GifTestSupport.h"
#include "animation_fixture.h"
#include "gif/GIFPainter.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"
#include "platform/loop/Messages.h"
#include "tests/support/Netpbm.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;


bool PumpUntil(const std::function<bool()>& done, int ms = 5000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        CheckSynchronize(5);
    }
    return true;
}

// Everything a run shows: the frame sequence and the events on their threads.
struct Recorder {
    std::vector<int> Frames;
    std::vector<int> WaitsMs;
    int Begins = 0, Restarts = 0, Ends = 0;
    bool AllOnMainThread = true;

    void Attach(TGIFImage& image)
    {
        auto here = [this] {
            if (GetCurrentThreadId() != MainThreadId())
                AllOnMainThread = false;
        };
        image.OnPaintBegin = [this, here](TObject*) { here(); ++Begins; };
        image.OnFrameDraw = [this, here](TObject* s) {
            here();
            WaitsMs.push_back(static_cast<TGIFPainter*>(s)->LastWait());
        };
        image.OnFrameDone = [this, here](TObject* s) {
            here();
            Frames.push_back(static_cast<TGIFPainter*>(s)->ActiveFrame());
        };
        image.OnLoopRestart = [this, here](TObject*) { here(); ++Restarts; };
        image.OnPaintEnd = [this, here](TObject*) { here(); ++Ends; };
    }
};

// Draws the picture into a bitmap and plays it to its end.
void Play(TGIFImage& image, TBitmap& target)
{
    image.Draw(target.Canvas(), TRect{0, 0, target.Width(), target.Height()});
    ASSERT_TRUE(PumpUntil([&] { return image.PainterCount() == 0; }));
}

TEST(GifPainter, WaitsFollowDelaysPaceAndLostTime)
{
    struct Case {
        const char* Name;
        std::uint16_t Flags;
        int Pace;
        int Lag;
        std::vector<int> Delays;
        std::vector<int> Waits;  // before frames 1..n-1 (frame 0 does not wait when asynchronous)
    };
    const std::uint16_t async = pfAsync | pfAnimate | pfTransparent;
    const std::uint16_t sync = pfAnimate | pfTransparent;
    const std::vector<Case> cases = {
        // 1 is raised to 3 units, 0 is the standard 10, 12 ms a unit.
        {"pace 100", async, 100, 0, {1, 0, 7, 2}, {36, 120, 84}},
        {"pace 200 halves", async, 200, 0, {1, 0, 7, 2}, {18, 60, 42}},
        {"pace 50 doubles", async, 50, 0, {1, 0, 7, 2}, {72, 240, 168}},
        // Half of the time lost beyond a wait comes off the next one.
        {"lost time", async, 100, 10, {10, 10, 10, 10}, {120, 115, 115}},
        {"long delays async", async, 100, 0, {5000, 5000, 1}, {60000, 60000}},
        // Without a thread: the first frame waits one unit, long delays stop at 1000 units.
        {"long delays sync", sync, 100, 0, {5000, 5000, 1}, {12, 12000, 12000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<FrameSpec> specs = Frames(static_cast<int>(c.Delays.size()));
        for (std::size_t i = 0; i < specs.size(); ++i)
            specs[i].Delay = c.Delays[i];
        auto image = MakeAnimation(8, 8, specs);
        auto clock = std::make_shared<FakeClock>();
        clock->Lag = c.Lag;
        image->PainterClock = clock;
        image->PaintFlags = c.Flags;
        image->FramePace = c.Pace;
        Recorder rec;
        rec.Attach(*image);
        TBitmap target(8, 8, pf24bit);
        Play(*image, target);
        std::vector<int> waits = rec.WaitsMs;
        if (c.Flags & pfAsync)
            waits.erase(waits.begin());
        EXPECT_EQ(waits, c.Waits);
        EXPECT_EQ(rec.Frames.size(), c.Delays.size());
        EXPECT_TRUE(rec.AllOnMainThread);
    }
}

// Renderings, waits and drawn frames in the order they happen.
struct OrderLog {
    std::mutex Mutex;
    std::vector<std::string> Entries;
    void Add(const std::string& entry)
    {
        std::lock_guard lock(Mutex);
        // A wait in slices is one wait.
        if (entry != "wait" || Entries.empty() || Entries.back() != "wait")
            Entries.push_back(entry);
    }
};

struct LoggingClock : FakeClock {
    explicit LoggingClock(OrderLog& log) : Log(log) {}
    bool WaitWake(TEvent& wake, DWORD ms) override
    {
        Log.Add("wait");
        return FakeClock::WaitWake(wake, ms);
    }
    void Sleep(DWORD ms) override
    {
        if (ms > 0)
            Log.Add("wait");
        FakeClock::Sleep(ms);
    }
    OrderLog& Log;
};

TEST(GifPainter, FramesAreRenderedBeforeTheirWait)
{
    struct Case {
        std::uint16_t Flags;
        std::vector<std::string> Order;
    };
    const std::vector<Case> cases = {
        // Frame 0 waits for nothing when the painter has a thread.
        {pfAsync | pfAnimate | pfTransparent,
         {"draw 0", "render 0", "render 1", "wait", "draw 1", "render 2", "wait", "draw 2"}},
        {pfAnimate | pfTransparent,
         {"render 0", "wait", "draw 0", "render 1", "wait", "draw 1", "render 2", "wait", "draw 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Flags & pfAsync ? "own thread" : "inside Draw");
        auto image = MakeAnimation(8, 8, Frames(3));
        OrderLog log;
        image->PainterClock = std::make_shared<LoggingClock>(log);
        image->PaintFlags = c.Flags;
        TGIFImage* picture = image.get();
        image->OnProgress = [&log, picture](TObject* sender, TProgressStage stage, int, bool, const TRect&,
                                            const std::string& text) {
            if (text != "Rendering..." || stage != psStarting)
                return;
            for (int i = 0; i < picture->Images().Count(); ++i)
                if (picture->Images().Items(i) == sender)
                    log.Add("render " + std::to_string(i));
        };
        image->OnFrameDraw = [&log](TObject* s) {
            log.Add("draw " + std::to_string(static_cast<TGIFPainter*>(s)->ActiveFrame()));
        };
        TBitmap target(8, 8, pf24bit);
        Play(*image, target);
        EXPECT_EQ(log.Entries, c.Order);
    }
}

TEST(GifPainter, APlayedAnimationKeepsNoFrameBitmapItRenderedAhead)
{
    for (const std::uint16_t flags : {std::uint16_t(pfAnimate), std::uint16_t(pfAsync | pfAnimate)}) {
        SCOPED_TRACE(flags & pfAsync ? "own thread" : "inside Draw");
        auto image = MakeAnimation(8, 8, Frames(3));
        image->PainterClock = std::make_shared<FakeClock>();
        image->PaintFlags = flags;
        TBitmap target(8, 8, pf24bit);
        Play(*image, target);
        for (int i = 0; i < image->Images().Count(); ++i)
            EXPECT_EQ(image->Images().Items(i)->KeptBitmap(), nullptr) << "frame " << i;
    }
}

TEST(GifPainter, NegativePaceShowsFramesWithoutWaiting)
{
    auto image = MakeAnimation(8, 8, Frames(4, 50));
    auto clock = std::make_shared<FakeClock>();
    image->PainterClock = clock;
    image->FramePace = -1;
    Recorder rec;
    rec.Attach(*image);
    TBitmap target(8, 8, pf24bit);
    Play(*image, target);
    EXPECT_EQ(rec.Frames, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(clock->TakenWaits().empty());
}

TEST(GifPainter, PaceZeroShowsTheFirstFrameAndWaitsUntilStopped)
{
    auto image = MakeAnimation(8, 8, Frames(3));
    auto clock = std::make_shared<FakeClock>();
    image->PainterClock = clock;
    image->FramePace = 0;
    Recorder rec;
    rec.Attach(*image);
    TBitmap target(8, 8, pf24bit);
    image->Draw(target.Canvas(), TRect{0, 0, 8, 8});
    ASSERT_TRUE(PumpUntil([&] { return !clock->TakenWaits().empty(); }));
    EXPECT_EQ(clock->TakenWaits(), (std::vector<DWORD>{INFINITE}));
    EXPECT_EQ(rec.Frames, (std::vector<int>{0}));
    const auto start = std::chrono::steady_clock::now();
    image->StopPainter();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(500));
    EXPECT_EQ(image->PainterCount(), 0);
    // A stopped painter fires nothing more, not even the end.
    EXPECT_EQ(rec.Ends, 0);
}

// The nice value of every thread of the process.
std::vector<int> ThreadNiceValues()
{
    std::vector<int> values;
    for (const auto& task : fs::directory_iterator("/proc/self/task")) {
        std::ifstream stat(task.path() / "stat");
        std::string line;
        std::getline(stat, line);
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        // Field 3 (the state) follows the name; the nice value is field 19.
        std::istringstream fields(line.substr(close + 1));
        std::string field;
        for (int n = 3; n <= 19 && fields >> field; ++n)
            if (n == 19)
                values.push_back(std::stoi(field));
    }
    return values;
}

TEST(GifPainter, AsynchronousPaintersRunAtThePicturesPriority)
{
    const int lowest = std::min(getpriority(PRIO_PROCESS, 0) + 10, 19);
    if (lowest == getpriority(PRIO_PROCESS, 0))
        GTEST_SKIP() << "the tests already run at the lowest priority";
    auto image = MakeAnimation(8, 8, Frames(3));
    image->PainterClock = std::make_shared<FakeClock>();
    image->FramePace = 0;  // frame 0, then a wait until stopped
    image->PainterPriority = tpLowest;
    const auto atLowest = [lowest] { return std::ranges::count(ThreadNiceValues(), lowest); };
    const auto before = atLowest();
    TBitmap target(8, 8, pf24bit);
    image->Draw(target.Canvas(), TRect{0, 0, 8, 8});
    ASSERT_NE(image->CurrentPainter(), nullptr);
    EXPECT_EQ(image->CurrentPainter()->Priority(), tpLowest);
    EXPECT_EQ(atLowest(), before + 1);
    image->StopAllPainters();
}

TEST(GifPainter, StopDuringARealWaitReturnsPromptly)
{
    // 5000 units: a minute of waiting on the system's clock.
    auto image = MakeAnimation(8, 8, Frames(3, 5000));
    TBitmap target(8, 8, pf24bit);
    image->Draw(target.Canvas(), TRect{0, 0, 8, 8});
    ASSERT_EQ(image->PainterCount(), 1);
    const auto start = std::chrono::steady_clock::now();
    image->StopPainter();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(image->PainterCount(), 0);
    EXPECT_EQ(image->CurrentPainter(), nullptr);
}

TEST(GifPainter, LoopCountsAndFlags)
{
    struct Case {
        const char* Name;
        std::uint16_t Flags;
        int Loops;  // -1: no loop extension
        int LoopFrame;
        std::vector<int> Frames;  // the run's frames, stopped after 12 when endless
        int Restarts;
    };
    const std::uint16_t async = pfAsync | pfAnimate | pfLoop | pfTransparent;
    const std::uint16_t sync = pfAnimate | pfLoop | pfTransparent;
    const std::vector<Case> cases = {
        {"count 3 is three passes", async, 3, 0, {0, 1, 2, 0, 1, 2, 0, 1, 2}, 2},
        {"count 3 without a thread", sync, 3, 0, {0, 1, 2, 0, 1, 2, 0, 1, 2}, 2},
        {"no extension plays once", async, -1, 0, {0, 1, 2}, 0},
        {"count 0 without a thread plays once", sync, 0, 0, {0, 1, 2}, 0},
        {"count 0 repeats until stopped", async, 0, 0, {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2}, 3},
        {"loop always without extension", async | pfLoopAlways, -1, 0, {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2}, 3},
        {"loop always without a thread", sync | pfLoopAlways, 0, 0, {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2}, 3},
        {"no pfLoop: one pass", (async & ~pfLoop), 3, 0, {0, 1, 2}, 0},
        {"no pfAnimate: frame 0 only", (async & ~pfAnimate), 3, 0, {0}, 0},
        // The second pass starts at the frame holding the extension.
        {"restart at the extension's frame", async, 2, 1, {0, 1, 2, 1, 2}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto image = MakeAnimation(8, 8, Frames(3), c.Loops, c.LoopFrame);
        image->PainterClock = std::make_shared<FakeClock>();
        Recorder rec;
        rec.Attach(*image);
        image->OnFrameDone = [&rec, inner = image->OnFrameDone](TObject* s) {
            inner(s);
            if (rec.Frames.size() == 12)
                static_cast<TGIFPainter*>(s)->Stop();
        };
        TBitmap target(8, 8, pf24bit);
        // Drawn through StartPainter: Draw shows a picture without pfAnimate as a still.
        TGIFPainter* painter = nullptr;
        if (TGIFPainter* p = image->StartPainter(&painter, target.Canvas(), c.Flags, TRect{0, 0, 8, 8}))
            p->Resume();
        ASSERT_TRUE(PumpUntil([&] { return image->PainterCount() == 0; }));
        EXPECT_EQ(painter, nullptr);
        EXPECT_EQ(rec.Frames, c.Frames);
        EXPECT_EQ(rec.Restarts, c.Restarts);
        EXPECT_EQ(rec.Begins, 1);
        EXPECT_TRUE(rec.AllOnMainThread);
    }
}

TEST(GifPainter, FrameDoneHandlerChoosesTheNextFrame)
{
    auto image = MakeAnimation(8, 8, Frames(3));
    image->PainterClock = std::make_shared<FakeClock>();
    Recorder rec;
    rec.Attach(*image);
    bool rewound = false;
    image->OnFrameDone = [&, inner = image->OnFrameDone](TObject* s) {
        inner(s);
        auto* painter = static_cast<TGIFPainter*>(s);
        if (painter->ActiveFrame() == 2 && !rewound) {
            rewound = true;
            painter->SetActiveFrame(0);
        }
    };
    TBitmap target(8, 8, pf24bit);
    Play(*image, target);
    EXPECT_EQ(rec.Frames, (std::vector<int>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(rec.Restarts, 0);
    EXPECT_EQ(rec.Ends, 1);
}

TEST(GifPainter, BuffersOnlyForDisposalsThatNeedThem)
{
    struct Case {
        int Disposal;
        std::uint16_t Extra;
        bool Buffered;
    };
    for (const Case c : {Case{0, 0, false}, Case{1, 0, false}, Case{4, 0, false}, Case{2, 0, true},
                         Case{3, 0, true}, Case{1, pfClearOnRestart, true}}) {
        SCOPED_TRACE(c.Disposal);
        std::vector<FrameSpec> specs = Frames(3);
        specs[1].Disposal = c.Disposal;
        auto image = MakeAnimation(8, 8, specs);
        image->PainterClock = std::make_shared<FakeClock>();
        image->PaintFlags |= c.Extra;
        std::vector<bool> buffered;
        image->OnPaintBegin = [&](TObject* s) { buffered.push_back(static_cast<TGIFPainter*>(s)->BackBuffer()); };
        TBitmap target(8, 8, pf24bit);
        Play(*image, target);
        EXPECT_EQ(buffered, std::vector<bool>{c.Buffered});
    }
}

TEST(GifPainter, DirectDrawingPaintsTheCallersCanvasAndReturnsAtOnce)
{
    auto image = MakeAnimation(8, 8, Frames(2));
    image->PainterClock = std::make_shared<FakeClock>();
    image->PaintFlags |= pfDirect;
    TBitmap target(20, 20, pf24bit);
    target.Fill(clWhite);
    image->Draw(target.Canvas(), TRect{4, 4, 12, 12});
    EXPECT_EQ(image->BufferBitmap(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return image->PainterCount() == 0; }));
    // Frame 1's first pixel, at the rectangle's corner; outside it white.
    const TGIFColor& c = image->GlobalColorMap().Entry(image->Images().Items(1)->Pixels(0, 0));
    EXPECT_EQ(target.Pixel(4, 4), RGB(c.Red, c.Green, c.Blue));
    EXPECT_EQ(target.Pixel(3, 3), clWhite);
    // Another rectangle: the first painter stops before a second starts.
    image->PainterClock = std::make_shared<FakeClock>();
    image->FramePace = 0;
    image->Draw(target.Canvas(), TRect{0, 0, 8, 8});
    TGIFPainter* first = image->CurrentPainter();
    ASSERT_NE(first, nullptr);
    image->Draw(target.Canvas(), TRect{0, 0, 8, 8});
    EXPECT_EQ(image->CurrentPainter(), first);
    EXPECT_EQ(image->PainterCount(), 1);
    image->Draw(target.Canvas(), TRect{2, 2, 10, 10});
    EXPECT_EQ(image->PainterCount(), 1);
    EXPECT_NE(image->CurrentPainter(), nullptr);
    EXPECT_EQ(image->CurrentPainter()->Rect(), (TRect{2, 2, 10, 10}));
}

TEST(GifPainter, BufferedDrawStartsOnePainterAndServesLaterDrawsFromTheBuffer)
{
    auto image = MakeAnimation(8, 8, Frames(3));
    image->PainterClock = std::make_shared<FakeClock>();
    image->FramePace = 0;
    int changes = 0;
    image->OnChange = [&](TObject*) { ++changes; };
    TBitmap target(8, 8, pf24bit);
    image->Draw(target.Canvas(), TRect{0, 0, 8, 8});
    // Draw waited for the first frame.
    ASSERT_NE(image->BufferBitmap(), nullptr);
    EXPECT_TRUE(image->CurrentPainter()->Painted());
    EXPECT_GT(changes, 0);
    TBitmap other(16, 16, pf24bit);
    image->Draw(other.Canvas(), TRect{0, 0, 16, 16});
    EXPECT_EQ(image->PainterCount(), 1);
    EXPECT_EQ(other.Pixel(15, 15), image->BufferBitmap()->Pixel(7, 7));
    image->StopAllPainters();
    EXPECT_EQ(image->PainterCount(), 0);
    EXPECT_EQ(image->BufferBitmap(), nullptr);
}

TEST(GifPainter, PainterEndingBeforeItsFirstFrameDoesNotHoldUpDraw)
{
    // An empty first frame ends the run before anything is painted.
    auto image = MakeAnimation(8, 8, Frames(2));
    image->Images().Items(0)->Clear();
    TBitmap target(8, 8, pf24bit);
    const auto start = std::chrono::steady_clock::now();
    image->Draw(target.Canvas(), TRect{0, 0, 8, 8});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    ASSERT_TRUE(PumpUntil([&] { return image->PainterCount() == 0; }));
    EXPECT_EQ(image->CurrentPainter(), nullptr);
}

TEST(GifPainter, PicturesDestroyedWhilePaintersRun)
{
    TBitmap target(8, 8, pf24bit);
    // Right after the start, and while waiting a real minute.
    for (const int delay : {2, 5000}) {
        auto image = MakeAnimation(8, 8, Frames(4, delay), 0);
        image->Draw(target.Canvas(), TRect{0, 0, 8, 8});
        const auto start = std::chrono::steady_clock::now();
        image.reset();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    }
    // Many at once, on the real clock, each looping for ever.
    std::vector<std::unique_ptr<TGIFImage>> many;
    std::vector<std::unique_ptr<TBitmap>> targets;
    int frames = 0;
    for (int i = 0; i < 24; ++i) {
        many.push_back(MakeAnimation(8, 8, Frames(3, 3 + i % 4), 0));
        targets.push_back(std::make_unique<TBitmap>(8, 8, pf24bit));
        many.back()->OnFrameDone = [&](TObject*) { ++frames; };
        many.back()->Draw(targets.back()->Canvas(), TRect{0, 0, 8, 8});
    }
    PumpUntil([&] { return frames >= 200; }, 3000);
    EXPECT_GE(frames, 200);
    for (std::size_t i = 0; i < many.size(); i += 2)
        many[i].reset();
    PumpUntil([] { return false; }, 100);
    many.clear();
}

TEST(GifPainter, PictureFreedInsideAnEventHandler)
{
    for (const std::uint16_t flags : {std::uint16_t(0x060F), std::uint16_t(0x060E)}) {
        SCOPED_TRACE(flags);
        auto image = MakeAnimation(8, 8, Frames(4), 0);
        image->PainterClock = std::make_shared<FakeClock>();
        image->PaintFlags = flags;
        TGIFImage* raw = image.get();
        int calls = 0;
        image->OnFrameDone = [&](TObject*) {
            if (++calls == 2)
                image.reset();
        };
        TBitmap target(8, 8, pf24bit);
        const auto start = std::chrono::steady_clock::now();
        raw->Draw(target.Canvas(), TRect{0, 0, 8, 8});
        PumpUntil([&] { return !image; });
        EXPECT_EQ(image, nullptr);
        EXPECT_EQ(calls, 2);
        PumpUntil([] { return false; }, 50);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
}

TEST(GifPainter, AFailureEndsThePainterAndReachesTheWarnings)
{
    for (const std::uint16_t flags : {std::uint16_t(0x060F), std::uint16_t(0x060E)}) {
        SCOPED_TRACE(flags);
        auto image = MakeAnimation(8, 8, Frames(3));
        image->PainterClock = std::make_shared<FakeClock>();
        image->PaintFlags = flags;
        std::vector<std::string> warnings;
        image->OnGIFWarning = [&](TObject*, int, const std::string& message) { warnings.push_back(message); };
        int frames = 0;
        image->OnFrameDone = [&](TObject*) {
            if (++frames == 2)
                throw Exception("handler failed");
        };
        TBitmap target(8, 8, pf24bit);
        Play(*image, target);
        EXPECT_EQ(frames, 2);
        EXPECT_EQ(warnings, std::vector<std::string>{"handler failed"});
    }
}

TEST(GifPainter, ThePictureAsABitmapIsFrameZeroWhilePaintersRun)
{
    // What thumbnails are made of: frame 0, whichever frame is on show.
    auto image = MakeAnimation(8, 8, Frames(3), 0);
    image->PainterClock = std::make_shared<FakeClock>();
    const std::shared_ptr<TBitmap> still = image->GetPictureBitmap();
    int frames = 0;
    image->OnFrameDone = [&](TObject*) { ++frames; };
    TBitmap target(8, 8, pf24bit);
    image->Draw(target.Canvas(), TRect{0, 0, 8, 8});
    ASSERT_TRUE(PumpUntil([&] { return frames >= 5; }));
    const std::shared_ptr<TBitmap> during = image->GetPictureBitmap();
    TBitmap copy;
    copy.Assign(*image);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(during->Pixel(x, y), still->Pixel(x, y));
            EXPECT_EQ(copy.Pixel(x, y), still->Pixel(x, y));
        }
    const TGIFColor& first = image->GlobalColorMap().Entry(image->Images().Items(0)->Pixels(0, 0));
    EXPECT_EQ(still->Pixel(0, 0), RGB(first.Red, first.Green, first.Blue));
}

TEST(GifPainter, KeepingFrameZeroLeavesADirectPainterRunning)
{
    auto image = MakeAnimation(8, 8, Frames(3));
    image->PainterClock = std::make_shared<FakeClock>();
    image->PaintFlags |= pfDirect;
    image->FramePace = 0;
    TBitmap target(8, 8, pf24bit);
    image->Draw(target.Canvas(), TRect{0, 0, 8, 8});
    ASSERT_EQ(image->PainterCount(), 1);
    ASSERT_TRUE(image->GetPictureBitmap());
    EXPECT_FALSE(PumpUntil([&] { return image->PainterCount() == 0; }, 100));
    image->StopAllPainters();
}

TEST(GifPainter, TilesOfAScreenWithoutSizeEnd)
{
    // A loaded file may say its screen is 0 x 0: a tile is then one cell.
    for (const std::uint16_t extra : {pfTile, std::uint16_t(pfTile | pfDirect)}) {
        SCOPED_TRACE(extra);
        std::vector<FrameSpec> specs = Frames(3);
        specs[0].Disposal = 2;
        specs[1].Transparent = true;
        auto image = MakeAnimation(0, 0, specs);
        image->PainterClock = std::make_shared<FakeClock>();
        image->PaintFlags |= extra;
        int frames = 0;
        image->OnFrameDone = [&](TObject*) { ++frames; };
        TBitmap target(16, 16, pf24bit);
        image->Draw(target.Canvas(), TRect{0, 0, 16, 16});
        EXPECT_TRUE(PumpUntil([&] { return image->PainterCount() == 0; }));
        if (extra & pfDirect) {
            EXPECT_EQ(frames, 3);
        }
    }
}

TEST(GifPainter, AQuitWhileDrawWaitsIsPostedAgain)
{
    auto image = MakeAnimation(8, 8, Frames(3));
    image->Images().Items(0)->SetBounds(0, 0, 8, 8);
    image->PainterClock = std::make_shared<FakeClock>();
    // The first frame is held back by a handler that asks to quit.
    image->OnFrameDraw = [](TObject*) { PostQuitMessage(3); };
    TBitmap target(8, 8, pf24bit);
    image->Draw(target.Canvas(), TRect{0, 0, 8, 8});
    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, 0, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    image.reset();
}

// ---- the composed frames against ImageMagick

using Pam = testsupport::NetpbmPicture;

std::vector<Pam> Coalesced(const std::string& gif, const std::string& folder)
{
    std::string output;
    if (RunCommand("convert '" + gif + "' -alpha set -coalesce '" + folder + "f_%03d.pam'", output) != 0) {
        ADD_FAILURE() << output;
        return {};
    }
    std::vector<Pam> frames;
    for (int i = 0;; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "f_%03d.pam", i);
        if (!fs::exists(folder + name))
            break;
        frames.push_back(testsupport::ReadNetpbm(folder + name));
    }
    return frames;
}

// The composite after every frame, taken from what the painter drew into.
std::vector<std::unique_ptr<TBitmap>> PaintedFrames(TGIFImage& image, TColor start, std::uint16_t flags)
{
    std::vector<std::unique_ptr<TBitmap>> shots;
    image.PainterClock = std::make_shared<FakeClock>();
    image.PaintFlags = flags;
    TBitmap target(image.Width(), image.Height(), pf24bit);
    target.Fill(start);
    image.OnFrameDone = [&](TObject* s) {
        auto* painter = static_cast<TGIFPainter*>(s);
        auto shot = std::make_unique<TBitmap>();
        shot->Assign(painter->Canvas()->Target());
        shots.push_back(std::move(shot));
    };
    image.Draw(target.Canvas(), TRect{0, 0, image.Width(), image.Height()});
    EXPECT_TRUE(PumpUntil([&] { return image.PainterCount() == 0; }));
    return shots;
}

// Transparent pixels of a coalesced frame show what was there at the start.
void ExpectSameFrames(const std::vector<std::unique_ptr<TBitmap>>& shots, const std::vector<Pam>& frames, TColor start)
{
    ASSERT_EQ(shots.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const Pam& f = frames[i];
        ASSERT_EQ(shots[i]->Width(), f.Width);
        ASSERT_EQ(shots[i]->Height(), f.Height);
        int wrong = 0;
        std::string first;
        for (int y = 0; y < f.Height; ++y)
            for (int x = 0; x < f.Width; ++x) {
                const unsigned char* p = f.At(x, y);
                TColor want = RGB(p[0], p[1], p[2]);
                if (f.Depth == 4 && p[3] < 128)
                    want = start;
                if (shots[i]->Pixel(x, y) != want && wrong++ == 0)
                    first = std::to_string(x) + "," + std::to_string(y);
            }
        EXPECT_EQ(wrong, 0) << "frame " << i << ", first at " << first;
    }
}

void CompareWithImageMagick(const std::string& gifPath, const std::string& folder)
{
    const TColor start = RGB(3, 200, 77);
    const std::vector<Pam> frames = Coalesced(gifPath, folder);
    // One pass: the suite's files loop for ever.
    for (const std::uint16_t flags : {std::uint16_t(0x0607), std::uint16_t(0x0606)}) {
        SCOPED_TRACE(flags & pfAsync ? "own thread" : "inside Draw");
        TLoadResult loaded = LoadGif(ReadBinaryFile(gifPath));
        ASSERT_EQ(loaded.Error, "");
        ExpectSameFrames(PaintedFrames(*loaded.Image, start, flags), frames, start);
    }
}

TEST(GifPainter, ComposedFramesEqualImageMagicksCoalescedFrames)
{
    if (!HaveTool("convert"))
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    struct Case {
        const char* Name;
        std::vector<FrameSpec> Specs;
    };
    const TRect whole{0, 0, 24, 16};
    const std::vector<Case> cases = {
        {"keep, transparent",
         {{whole, 1, 5, false}, {TRect{4, 2, 14, 10}, 1, 5, true}, {TRect{10, 6, 24, 16}, 0, 5, true}}},
        {"restore background",
         {{TRect{0, 0, 12, 16}, 2, 5, true}, {TRect{6, 4, 20, 12}, 2, 5, true}, {TRect{2, 2, 10, 10}, 1, 5, true}}},
        {"restore previous after keep",
         {{whole, 1, 5, false}, {TRect{4, 2, 14, 10}, 3, 5, true}, {TRect{8, 4, 22, 14}, 3, 5, true},
          {TRect{0, 0, 6, 6}, 1, 5, true}}},
        {"restore previous after restore background",
         {{whole, 1, 5, true}, {TRect{4, 2, 14, 10}, 2, 5, true}, {TRect{8, 4, 22, 14}, 3, 5, true},
          {TRect{2, 6, 12, 16}, 3, 5, false}, {TRect{0, 0, 6, 6}, 1, 5, true}}},
        {"first frame restores previous",
         {{TRect{0, 0, 10, 10}, 3, 5, true}, {TRect{5, 5, 20, 15}, 1, 5, true}}},
        {"partly off screen",
         {{whole, 1, 5, false}, {TRect{16, 10, 30, 20}, 2, 5, true}, {TRect{18, 0, 28, 8}, 1, 5, false}}},
    };
    testsupport::TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto image = MakeAnimation(24, 16, c.Specs);
        const std::string path = folder.Path() + "made.gif";
        WriteBinaryFile(path, SaveGif(*image));
        fs::remove_all(folder.Path() + "frames");
        fs::create_directory(folder.Path() + "frames");
        CompareWithImageMagick(path, folder.Path() + "frames/");
    }
}

TEST(GifPainter, ComposedFramesOfTheSuitesAnimations)
{
    const fs::path suite = fs::path(TestDataDir()) / "gif-suite";
    if (!fs::exists(suite))
        GTEST_SKIP() << "no GIF suite at " << suite;
    if (!HaveTool("convert"))
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    testsupport::TempFolder folder;
    int compared = 0;
    for (const char* name : {"animation.gif", "animation-multi-image.gif", "animation-no-delays.gif",
                             "animation-speed.gif", "animation-zero-delays.gif", "dispose-keep.gif",
                             "dispose-none.gif", "dispose-restore-background.gif", "dispose-restore-previous.gif",
                             "gif87a-animation.gif", "high-color.gif", "images-combine.gif", "images-overlap.gif",
                             "animation-multi-image-explicit-zero-delay.gif"}) {
        const fs::path file = suite / name;
        if (!fs::exists(file))
            continue;
        SCOPED_TRACE(name);
        const std::string frames = folder.Path() + std::to_string(compared) + "/";
        fs::create_directory(frames);
        CompareWithImageMagick(file.string(), frames);
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

}  // namespace

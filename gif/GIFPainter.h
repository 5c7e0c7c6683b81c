#pragma once

// The animation painter: shows the frames of a GIF picture one after another
// on a canvas, timed by their delays and the picture's pace, disposing of each
// frame through back buffers, looping by the loop extension or the flags.
//
// - With pfAsync it runs on its own thread, which only times the frames and
//   waits; everything that touches the picture, the frames or a canvas, and
//   every event, runs on the main thread through Synchronize. That includes
//   rendering the next frame ahead of its wait, into the bitmap the frame
//   keeps, so no frame is ever used by two threads. Without pfAsync the same
//   body runs inside the call that starts it.
// - It detaches from the picture on the main thread: through OnTerminate when
//   asynchronous, at its end otherwise. A detached painter (the picture gone)
//   runs no step any more and ends by itself.
// - Terminated is the only way to stop it from outside; Stop also cuts a wait
//   short through the wake event.

#include <cstdint>
#include <memory>
#include <string>

#include "gif/GIFImage.h"
#include "platform/graphics/TBitmap.h"
#include "platform/loop/Clock.h"
#include "platform/loop/TEvent.h"
#include "platform/loop/TThread.h"

// Milliseconds per delay unit; the delay of a frame without one; the shortest
// delay; the longest delay of a painter without its own thread (units).
inline constexpr int DelayUnitMs = 12;
inline constexpr int StandardDelay = 10;
inline constexpr int ShortestDelay = 3;
inline constexpr int LongestDelay = 1000;

// The painter's sense of time. Tests put in a clock of their own.
struct TGIFPainterClock {
    virtual ~TGIFPainterClock() = default;
    virtual DWORD Now() { return timeGetTime(); }
    // Waits up to `ms` (INFINITE: no limit) for the wake event; true when the
    // event ended the wait.
    virtual bool WaitWake(TEvent& wake, DWORD ms) { return wake.WaitFor(ms) == wrSignaled; }
    virtual void Sleep(DWORD ms) { ::Sleep(ms); }
};

class TGIFPainter : public TThread {
public:
    // Made suspended, freeing itself when it ends; `*owner` names it until then.
    TGIFPainter(TGIFImage& picture, std::uint16_t flags, const TRect& rect, TCanvas& canvas, TGIFPainter** owner);
    ~TGIFPainter() override;

    // The thread's body, run in the calling thread (painters without pfAsync).
    void RunHere();
    void Stop();
    void Resume();

    // Main thread only.
    TGIFImage* Image() const { return FImage; }
    TCanvas* Canvas() const { return FCanvas; }
    const TRect& Rect() const { return FRect; }
    std::uint16_t Flags() const { return FFlags; }
    int ActiveFrame() const { return FActiveFrame; }
    // An OnFrameDone handler that sets it decides the next frame.
    void SetActiveFrame(int frame) { FActiveFrame = frame; }
    bool Painted() const { return FPainted; }
    int Disposal() const { return FDisposal; }
    // The last wait computed, in milliseconds; -1 for an endless one.
    int LastWait() const { return FLastWait; }
    TBitmap* BackBuffer() const { return FBackBuffer.get(); }
    TColor BackgroundColor() const { return FBackground; }
    // True while one of its steps runs on the main thread (an event handler
    // may be what frees the picture then).
    bool InStep() const { return FInStep > 0; }

    TNotifyEvent OnPaintBegin;
    TNotifyEvent OnFrameDraw;
    TNotifyEvent OnFrameDone;
    TNotifyEvent OnLoopRestart;
    TNotifyEvent OnPaintEnd;

protected:
    void Execute() override;

private:
    friend class TGIFImage;
    void Body();
    // Runs `step` on the main thread unless the painter is terminated or
    // detached; false when it did not run.
    bool OnMainThread(const std::function<void()>& step);
    void Fire(const TNotifyEvent& event);
    void WaitBeforeFrame();
    void RenderAhead();
    void WaitHere(int ms);
    void DrawStep();
    void DrawDirect(TGIFSubImage& frame);
    void DrawBuffered(TGIFSubImage& frame);
    void EraseFrame(TGIFSubImage& frame, TCanvas& surface);
    void EraseAll();
    void Detach();
    bool Async() const { return FFlags & pfAsync; }

    TGIFImage* FImage;
    TCanvas* FCanvas;
    TRect FRect;
    std::uint16_t FFlags;
    int FPace;
    TGIFPainter** FOwner;
    std::shared_ptr<TGIFPainterClock> FClock;
    std::unique_ptr<TEvent> FWake;
    std::unique_ptr<TBitmap> FBackBuffer;
    std::unique_ptr<TBitmap> FSaveBuffer;
    std::unique_ptr<TBitmap> FSnapshot;
    TColor FBackground = 0;
    class TDeviceContext* FDC = nullptr;
    std::string FFailure;

    // Run state, handed between the threads only through Synchronize.
    int FInStep = 0;
    int FActiveFrame = -1;
    int FDisposal = 1;
    int FPreviousDisposal = 1;
    bool FPainted = false;
    int FPassesLeft = 1;
    int FLoopStart = 0;
    bool FLoopSeen = false;
    int FWaitUnits = 0;
    int FLastWait = 0;
    // The frame whose bitmap the painter rendered ahead, kept until it is drawn.
    const TGIFSubImage* FRenderedAhead = nullptr;
    DWORD FT0 = 0;
    std::int64_t FCarried = 0;
};

// The picture's side of the animation: the multi-frame Draw, and starting,
// stopping and detaching painters.

#include <algorithm>
#include <chrono>

#include "gif/GIFImage.h"
#include "gif/GIFPainter.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"
#include "platform/loop/Messages.h"

namespace {

// A picture waits this long for painters that were told to stop before it
// lets them end alone.
constexpr auto StopPatience = std::chrono::seconds(5);

bool OnMainThread() { return GetCurrentThreadId() == MainThreadId(); }

}  // namespace

bool TGIFImage::ServePainters()
{
    CheckSynchronize(5);
    MSG msg;
    if (PeekMessage(msg, 0, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    return true;
}

int TGIFImage::PainterCount()
{
    std::lock_guard lock(FPainterLock);
    return static_cast<int>(FPainters.size());
}

TBitmap& TGIFImage::MakeBufferBitmap()
{
    if (!FBitmap || !FBitmapIsBuffer)
        KeepBitmap(std::make_shared<TBitmap>(Width(), Height(), pf24bit), true);
    return *FBitmap;
}

void TGIFImage::ReleasePictureBitmap()
{
    if (FCurrentPainter)
        FCurrentPainter->Stop();
    DropBitmap();
}

void TGIFImage::DrawBuffer(TCanvas& canvas, const TRect& rect)
{
    TBitmap& buffer = *FBitmap;
    if (!(PaintFlags & pfTile)) {
        canvas.StretchDraw(rect, buffer);
        return;
    }
    // A screen without size is one cell.
    const int cellWidth = Width() > 0 ? Width() : rect.Right - rect.Left;
    const int cellHeight = Height() > 0 ? Height() : rect.Bottom - rect.Top;
    for (int x = rect.Left; x < rect.Right && cellWidth > 0; x += cellWidth)
        for (int y = rect.Top; y < rect.Bottom && cellHeight > 0; y += cellHeight)
            canvas.Draw(x, y, buffer);
}

void TGIFImage::DrawAnimated(TCanvas& canvas, const TRect& rect)
{
    // Frame 0 kept as the picture's bitmap is no animation: a painter starts
    // in its place.
    if (BufferBitmap() && !(PaintFlags & pfDirect)) {
        FDrawing = true;
        DrawBuffer(canvas, rect);
        FDrawing = false;
        return;
    }
    const std::weak_ptr<char> alive = FAlive;
    FDrawing = true;
    struct Guard {
        TGIFImage& Picture;
        const std::weak_ptr<char>& Alive;
        ~Guard()
        {
            if (!Alive.expired())
                Picture.FDrawing = false;
        }
    } guard{*this, alive};

    std::unique_lock lock(FPainterLock);
    if (FCurrentPainter && FCurrentPainter->Canvas() == &canvas && FCurrentPainter->Rect() == rect)
        return;
    StopPainter();
    TCanvas* target = &canvas;
    TRect targetRect = rect;
    if (!(PaintFlags & pfDirect)) {
        TBitmap& buffer = MakeBufferBitmap();
        targetRect = TRect{0, 0, buffer.Width(), buffer.Height()};
        buffer.Canvas().CopyRect(targetRect, canvas, rect);
        target = &buffer.Canvas();
    }
    TGIFPainter* painter = StartPainter(&FCurrentPainter, *target, PaintFlags, targetRect);
    if (alive.expired()) {
        lock.release();
        return;
    }
    if (!painter || (PaintFlags & pfDirect)) {
        if (painter)
            painter->Resume();
        if (!painter && !(PaintFlags & pfDirect) && BufferBitmap())
            DrawBuffer(canvas, rect);
        return;
    }
    painter->Resume();
    // Until the first frame is in the buffer, or the painter has gone.
    while (FCurrentPainter == painter && !painter->Painted())
        if (!ServePainters())
            return;
    if (BufferBitmap())
        DrawBuffer(canvas, rect);
}

TGIFPainter* TGIFImage::StartPainter(TGIFPainter** owner, TCanvas& canvas, std::uint16_t flags, const TRect& rect)
{
    if (Empty() || rect.Right <= rect.Left || rect.Bottom <= rect.Top) {
        if (owner)
            *owner = nullptr;
        return nullptr;
    }
    if (FImages.Count() == 1)
        flags &= static_cast<std::uint16_t>(~(pfAsync | pfAnimate));
    auto* painter = new TGIFPainter(*this, flags, rect, canvas, owner);
    {
        std::lock_guard lock(FPainterLock);
        FPainters.push_back(painter);
    }
    painter->OnPaintBegin = OnPaintBegin;
    painter->OnFrameDraw = OnFrameDraw;
    painter->OnFrameDone = OnFrameDone;
    painter->OnLoopRestart = OnLoopRestart;
    painter->OnPaintEnd = OnPaintEnd;
    if (flags & pfAsync) {
        painter->SetPriority(PainterPriority);
        return painter;
    }
    // The run may free this picture (its handlers pump messages): the
    // painter is freed without touching it then.
    painter->RunHere();
    delete painter;
    return nullptr;
}

void TGIFImage::StopPainter()
{
    const auto deadline = std::chrono::steady_clock::now() + StopPatience;
    for (;;) {
        {
            std::lock_guard lock(FPainterLock);
            if (!FCurrentPainter)
                break;
            FCurrentPainter->Stop();
            if (!(FCurrentPainter->Flags() & pfAsync))
                break;
            if (FCurrentPainter->InStep()) {
                KillPainters();
                break;
            }
        }
        if (!OnMainThread() || std::chrono::steady_clock::now() > deadline) {
            KillPainters();
            break;
        }
        if (!ServePainters())
            return;
    }
    ReleasePictureBitmap();
}

void TGIFImage::StopAllPainters()
{
    const auto deadline = std::chrono::steady_clock::now() + StopPatience;
    for (;;) {
        int async = 0;
        bool inStep = false;
        {
            std::lock_guard lock(FPainterLock);
            if (FPainters.empty())
                break;
            for (auto it = FPainters.rbegin(); it != FPainters.rend(); ++it) {
                (*it)->Stop();
                if ((*it)->Flags() & pfAsync)
                    ++async;
                // A painter whose handler is running cannot end before we return.
                inStep |= (*it)->InStep();
            }
        }
        if (async == 0)
            break;
        if (inStep || !OnMainThread() || std::chrono::steady_clock::now() > deadline || !ServePainters()) {
            KillPainters();
            break;
        }
    }
    ReleasePictureBitmap();
}

void TGIFImage::KillPainters()
{
    std::lock_guard lock(FPainterLock);
    for (auto it = FPainters.begin(); it != FPainters.end();) {
        TGIFPainter* painter = *it;
        if (!(painter->Flags() & pfAsync)) {
            ++it;
            continue;
        }
        // No thread can be ended from outside: it is told to stop and
        // forgets the picture; it frees itself when it gets there.
        painter->FImage = nullptr;
        if (painter->FOwner && *painter->FOwner == painter)
            *painter->FOwner = nullptr;
        painter->Stop();
        it = FPainters.erase(it);
    }
}

void TGIFImage::DetachPainters()
{
    std::lock_guard lock(FPainterLock);
    for (TGIFPainter* painter : FPainters) {
        painter->FImage = nullptr;
        if (painter->FOwner && *painter->FOwner == painter)
            *painter->FOwner = nullptr;
    }
    FPainters.clear();
}

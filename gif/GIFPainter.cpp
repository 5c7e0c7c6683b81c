#include "gif/GIFPainter.h"

#include <algorithm>
#include <climits>

#include "gif/GIFFrameBitmap.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/TCanvas.h"
#include "platform/loop/Messages.h"

namespace {

int RectWidth(const TRect& r) { return r.Right - r.Left; }
int RectHeight(const TRect& r) { return r.Bottom - r.Top; }

std::unique_ptr<TBitmap> AreaBitmap(const TRect& rect, TColor brush)
{
    auto bitmap = std::make_unique<TBitmap>(RectWidth(rect), RectHeight(rect), pf24bit);
    bitmap->Canvas().Brush().SetColor(brush);
    bitmap->Canvas().Brush().SetStyle(bsSolid);
    return bitmap;
}

void CopyArea(TCanvas& dest, const TRect& destRect, TCanvas& source, const TRect& sourceRect)
{
    dest.SetCopyMode(cmSrcCopy);
    dest.CopyRect(destRect, source, sourceRect);
}

}  // namespace

TGIFPainter::TGIFPainter(TGIFImage& picture, std::uint16_t flags, const TRect& rect, TCanvas& canvas,
                         TGIFPainter** owner)
    : FImage(&picture), FCanvas(&canvas), FRect(rect), FFlags(flags), FPace(picture.FramePace), FOwner(owner),
      FClock(picture.PainterClock ? picture.PainterClock : std::make_shared<TGIFPainterClock>())
{
    if (FOwner)
        *FOwner = this;
    SetFreeOnTerminate(true);
    OnTerminate = [this](TObject*) { Detach(); };
    const int frames = picture.Images().Count();
    if ((flags & pfAsync) && (flags & pfAnimate) && frames > 1 && FPace >= 0)
        FWake = std::make_unique<TEvent>(false, false);

    if (picture.BackdropColor != clNone)
        FBackground = picture.BackdropColor;
    else if (picture.GlobalColorMap().Count() == 0)
        FBackground = ColorToRGB(clWindow);
    else
        FBackground = picture.QueryBackgroundColour();

    bool restoreBackground = flags & pfClearOnRestart;
    bool restorePrevious = false;
    for (const auto& frame : picture.Images())
        if (const TGIFGraphicControlExtension* gce = frame->GraphicControlExtension()) {
            restoreBackground |= gce->Disposal() == 2;
            restorePrevious |= gce->Disposal() == 3;
        }
    const TRect area{0, 0, RectWidth(rect), RectHeight(rect)};
    if (restoreBackground && (flags & pfTransparent)) {
        FSnapshot = AreaBitmap(rect, FBackground);
        CopyArea(FSnapshot->Canvas(), area, canvas, rect);
    }
    if (restoreBackground || restorePrevious) {
        FBackBuffer = AreaBitmap(rect, FBackground);
        CopyArea(FBackBuffer->Canvas(), area, canvas, rect);
        FSaveBuffer = AreaBitmap(rect, FBackground);
    }
}

TGIFPainter::~TGIFPainter()
{
    if (!Async())
        Detach();
}

void TGIFPainter::Stop()
{
    Terminate();
    if (!Async())
        return;
    if (FWake)
        FWake->SetEvent();
    SetPriority(tpNormal);
    if (Suspended())
        Start();
}

void TGIFPainter::Resume()
{
    if (Async())
        Start();
}

void TGIFPainter::Detach()
{
    if (FImage) {
        TGIFImage& picture = *FImage;
        std::lock_guard lock(picture.FPainterLock);
        if (FOwner && *FOwner == this)
            *FOwner = nullptr;
        std::erase(picture.FPainters, this);
        FImage = nullptr;
        if (!FFailure.empty())
            picture.Warning(&picture, 1, FFailure);
    }
    FBackBuffer.reset();
    FSaveBuffer.reset();
    FSnapshot.reset();
    FWake.reset();
}

void TGIFPainter::Execute()
{
    try {
        Body();
    } catch (const std::exception& e) {
        Terminate();
        FFailure = e.what();
    }
}

void TGIFPainter::RunHere()
{
    Execute();
}

bool TGIFPainter::OnMainThread(const std::function<void()>& step)
{
    if (Terminated())
        return false;
    if (!Async()) {
        if (!FImage)
            return false;
        ++FInStep;
        struct Leave { int& Depth; ~Leave() { --Depth; } } leave{FInStep};
        step();
        return true;
    }
    bool ran = false;
    const bool served = RunOnThread(MainThreadId(), [&] {
        // A picture gone or a stop since the request: nothing of it is touched.
        if (!FImage || Terminated())
            return;
        ++FInStep;
        struct Leave { int& Depth; ~Leave() { --Depth; } } leave{FInStep};
        step();
        ran = true;
    });
    if (!served)
        Terminate();
    return ran;
}

void TGIFPainter::Fire(const TNotifyEvent& event)
{
    if (!event)
        return;
    OnMainThread([&] { event(this); });
}

void TGIFPainter::Body()
{
    if (FFlags & pfCheckCanvas)
        OnMainThread([&] { FDC = FCanvas->Handle(); });
    OnMainThread([&] { FActiveFrame = 0; });
    Fire(OnPaintBegin);
    OnMainThread([&] { FPainted = false; });
    FPassesLeft = 1;
    FLoopStart = 0;
    FLoopSeen = false;
    FWaitUnits = Async() ? 0 : 1;
    FPreviousDisposal = 1;
    FT0 = FClock->Now();
    FCarried = 0;

    while ((FPassesLeft != 0 || (FFlags & pfLoopAlways)) && !Terminated()) {
        OnMainThread([&] { FActiveFrame = FLoopStart; });
        if (FPainted)
            Fire(OnLoopRestart);
        while (!Terminated()) {
            bool more = false;
            OnMainThread([&] {
                const TGIFImageList& frames = FImage->Images();
                more = FActiveFrame >= 0 && FActiveFrame < frames.Count() && !frames.Items(FActiveFrame)->Empty();
            });
            if (!more)
                break;
            WaitBeforeFrame();
            if (Terminated())
                break;
            Fire(OnFrameDraw);
            if (Terminated())
                break;
            OnMainThread([&] { DrawStep(); });
            if (Terminated())
                break;
            int remembered = 0;
            OnMainThread([&] { remembered = FActiveFrame; });
            Fire(OnFrameDone);
            if (Terminated())
                break;
            OnMainThread([&] {
                if (FActiveFrame == remembered)
                    ++FActiveFrame;
            });
            if (!(FFlags & pfAnimate))
                break;
        }
        if (FPassesLeft > 0)
            --FPassesLeft;
        if (!((FFlags & pfAnimate) && (FFlags & pfLoop)))
            break;
    }
    OnMainThread([&] { FActiveFrame = -1; });
    Fire(OnPaintEnd);
}

void TGIFPainter::WaitBeforeFrame()
{
    if (FWaitUnits < 1) {
        FClock->Sleep(0);
        return;
    }
    // The frame is rendered before its wait, so that its rendering counts as
    // waiting time; on the main thread, which alone touches the frames.
    OnMainThread([&] { RenderAhead(); });
    const DWORD t1 = FClock->Now();
    int wait = 0;  // -1: endless
    if (FPace <= 0) {
        wait = Async() ? -1 : LongestDelay * DelayUnitMs;
    } else {
        const std::int64_t elapsed = std::int64_t(std::int32_t(t1 - FT0)) - FCarried;
        const std::int64_t number = std::int64_t(FWaitUnits) * DelayUnitMs - elapsed / 2;
        const std::int64_t product = number * 100;
        if (number < INT_MIN || number > INT_MAX || product / FPace < INT_MIN || product / FPace > INT_MAX) {
            wait = LongestDelay * DelayUnitMs;
            FCarried = 0;
        } else {
            wait = MulDiv(static_cast<int>(number), 100, FPace);
            FCarried = wait;
        }
    }
    FT0 = t1;
    FLastWait = wait;
    if (!Async()) {
        WaitHere(std::max(wait, 1));
        return;
    }
    if (wait <= 0 && FPace != 0)
        return;
    if (FWake) {
        if (FClock->WaitWake(*FWake, wait < 0 ? INFINITE : static_cast<DWORD>(wait))) {
            FCarried = 0;
            FT0 = FClock->Now();
        }
        return;
    }
    // No wake event (a painter started directly): sleep in slices, watching the stop.
    for (int left = wait; left > 0 && !Terminated(); left -= 100)
        FClock->Sleep(static_cast<DWORD>(std::min(left, 100)));
}

void TGIFPainter::RenderAhead()
{
    const TGIFImageList& frames = FImage->Images();
    if (FActiveFrame < 0 || FActiveFrame >= frames.Count())
        return;
    TGIFSubImage& frame = *frames.Items(FActiveFrame);
    // Drawn into the back buffer's whole area, or straight onto the target.
    const bool rendered =
        FBackBuffer ? RenderFrameAhead(frame, FBackBuffer->Canvas(), TRect{0, 0, RectWidth(FRect), RectHeight(FRect)},
                                       FFlags & pfTile)
                    : RenderFrameAhead(frame, *FCanvas, FRect, FFlags & pfTile);
    FRenderedAhead = rendered ? &frame : nullptr;
}

void TGIFPainter::WaitHere(int ms)
{
    DWORD t2 = FClock->Now();
    std::int64_t left = ms;
    while (left > 0 && !Terminated()) {
        FClock->Sleep(static_cast<DWORD>(std::min<std::int64_t>(left, 100)));
        const DWORD now = FClock->Now();
        left -= std::int32_t(now - t2);
        t2 = now;
        MSG msg;
        while (!Terminated() && PeekMessage(msg, 0, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                Terminate();
                break;
            }
            TranslateMessage(msg);
            DispatchMessage(msg);
        }
    }
}

void TGIFPainter::DrawStep()
{
    TGIFSubImage& frame = *FImage->Images().Items(FActiveFrame);
    FDisposal = 1;
    for (const auto& extension : frame.Extensions()) {
        if (auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(extension.get())) {
            if (!FLoopSeen) {
                FLoopSeen = true;
                FPassesLeft = ((loop->Loops() == 0 || (FFlags & pfLoopAlways)) && Async()) ? -1 : loop->Loops();
                FLoopStart = FActiveFrame;
            }
        } else if (auto* gce = dynamic_cast<const TGIFGraphicControlExtension*>(extension.get())) {
            FDisposal = gce->Disposal();
        }
    }
    if (FBackBuffer)
        DrawBuffered(frame);
    else
        DrawDirect(frame);
    // What was rendered only for this showing goes, so that a long animation
    // holds one frame's bitmap, not all of them.
    if (&frame == FRenderedAhead) {
        frame.FreeBitmap();
        frame.FreeMask();
    }
    FRenderedAhead = nullptr;
    FPreviousDisposal = FDisposal;
    if (Terminated())
        return;
    FWaitUnits = StandardDelay;
    if (const TGIFGraphicControlExtension* gce = frame.GraphicControlExtension(); gce && gce->Delay() > 0) {
        FWaitUnits = std::max<int>(gce->Delay(), ShortestDelay);
        if (!Async())
            FWaitUnits = std::min(FWaitUnits, LongestDelay);
    }
}

void TGIFPainter::DrawDirect(TGIFSubImage& frame)
{
    DrawFrame(frame, *FCanvas, FRect, FFlags & pfTransparent, FFlags & pfTile);
    FCanvas->Changed();
    FPainted = true;
}

void TGIFPainter::DrawBuffered(TGIFSubImage& frame)
{
    if ((FFlags & pfCheckCanvas) && GetObjectType(reinterpret_cast<HGDIOBJ>(FDC)) == 0) {
        Terminate();
        return;
    }
    if ((FFlags & pfClearOnRestart) && FActiveFrame == 0)
        EraseAll();
    // Disposals 4 to 7 are not defined: they keep the frame, as 1 does.
    const int d = FDisposal;
    const int p = FPreviousDisposal;
    const TRect area{0, 0, RectWidth(FRect), RectHeight(FRect)};
    const bool transparent = FFlags & pfTransparent;
    const bool tile = FFlags & pfTile;
    if (d == 3 && p != 2 && p != 3) {
        DrawFrame(frame, *FCanvas, FRect, transparent, tile);
        FCanvas->Changed();
    } else if (d == 3) {
        CopyArea(FSaveBuffer->Canvas(), area, FBackBuffer->Canvas(), area);
        DrawFrame(frame, FSaveBuffer->Canvas(), area, transparent, tile);
        CopyArea(*FCanvas, FRect, FSaveBuffer->Canvas(), area);
        FCanvas->Changed();
    } else {
        DrawFrame(frame, FBackBuffer->Canvas(), area, transparent, tile);
        CopyArea(*FCanvas, FRect, FBackBuffer->Canvas(), area);
        FCanvas->Changed();
        if (d == 2)
            EraseFrame(frame, FBackBuffer->Canvas());
    }
    FPainted = true;
}

void TGIFPainter::EraseAll()
{
    const TRect area{0, 0, RectWidth(FRect), RectHeight(FRect)};
    if (FSnapshot)
        CopyArea(FBackBuffer->Canvas(), area, FSnapshot->Canvas(), area);
    else
        FBackBuffer->Canvas().FillRect(area);
}

void TGIFPainter::EraseFrame(TGIFSubImage& frame, TCanvas& surface)
{
    // The erase is placed in the buffer's own area, which stands for the
    // painter's rectangle whether it draws into the picture's buffer or not.
    const int w = RectWidth(FRect);
    const int h = RectHeight(FRect);
    const int screenWidth = FImage->Width() > 0 ? FImage->Width() : frame.Width();
    const int screenHeight = FImage->Height() > 0 ? FImage->Height() : frame.Height();
    std::vector<TRect> cells;
    if (FFlags & pfTile) {
        // A screen without size is a single cell.
        const int stepX = screenWidth > 0 ? screenWidth : w;
        const int stepY = screenHeight > 0 ? screenHeight : h;
        for (int x = 0; x < w && stepX > 0; x += stepX)
            for (int y = 0; y < h && stepY > 0; y += stepY)
                cells.push_back(Bounds(x + frame.Left(), y + frame.Top(), frame.Width(), frame.Height()));
    } else if (screenWidth > 0 && screenHeight > 0) {
        cells.push_back(TRect{MulDiv(frame.Left(), w, screenWidth), MulDiv(frame.Top(), h, screenHeight),
                              MulDiv(frame.Left() + frame.Width(), w, screenWidth),
                              MulDiv(frame.Top() + frame.Height(), h, screenHeight)});
    }
    for (const TRect& cell : cells) {
        if (FSnapshot) {
            CopyArea(surface, cell, FSnapshot->Canvas(), cell);
        } else {
            surface.Brush().SetColor(FBackground);
            surface.Brush().SetStyle(bsSolid);
            surface.FillRect(cell);
        }
    }
}

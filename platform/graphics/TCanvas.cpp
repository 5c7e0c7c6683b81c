#include "platform/graphics/TCanvas.h"

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/GdiHandles.h"
#include "platform/graphics/TBitmap.h"

TCanvas::TCanvas(TBitmap& target) : FTarget(&target) {}

TCanvas::~TCanvas()
{
    if (FHandle) {
        UnregisterBorrowedHandle(FHandle.get());
        // What the program selected into the context is free to go now.
        if (FHandle->SelectedBrush) FHandle->SelectedBrush->SelectCount--;
        if (FHandle->SelectedPalette) FHandle->SelectedPalette->SelectCount--;
    }
}

TRect TCanvas::ClipRect() const
{
    TRect whole = Rect(0, 0, FTarget->Width(), FTarget->Height());
    return FClipSet ? IntersectRect(FClip, whole) : whole;
}

void TCanvas::SetClipRect(const TRect& clip)
{
    FClip = clip;
    FClipSet = true;
}

TDeviceContext* TCanvas::Handle()
{
    if (!FHandle) {
        FHandle = std::make_unique<TDeviceContext>(TDeviceContext::dkCanvas, this);
        FHandle->TextColor = ColorToRGB(FFont.Color());
        FHandle->BkColor = ColorToRGB(FBrush.Color());
        FHandle->BkMode = FBrush.Style() == bsClear ? TRANSPARENT : OPAQUE;
        RegisterBorrowedHandle(FHandle.get());
    }
    return FHandle.get();
}

void TCanvas::Changed()
{
    if (OnChange) OnChange(this);
}

// Size in points and Height in pixels at 96 dpi, as the platform converts them:
// a negative height is the character height, a positive one the cell height.
int TFont::Size() const { return -MulDiv(FHeight, 72, 96); }

void TFont::SetSize(int size) { FHeight = -MulDiv(size, 96, 72); }

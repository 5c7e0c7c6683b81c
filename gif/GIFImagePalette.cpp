#include <utility>

#include "gif/GIFImage.h"
#include "gif/GIFUtils.h"

bool ScreenHasPalette = false;
bool DitherOnPaletteScreen = false;

bool TGIFImage::NeedsDither() const
{
    return (PaintFlags & pfDither) && (!(PaintFlags & pfAutoDither) || DitherOnPaletteScreen);
}

HPALETTE TGIFImage::Palette()
{
    // Frame 0 without colours asks the picture again; that ends here.
    if (FPaletteGuard)
        GIFError("No global or local color table defined");
    FPaletteGuard = true;
    struct TGuardReset {
        bool& Flag;
        ~TGuardReset() { Flag = false; }
    } reset{FPaletteGuard};
    if (FPalette)
        return FPalette.get();
    if (NeedsDither()) {
        FPalette.reset(CreateColorCubePalette());
        FPaletteMade = true;
        return FPalette.get();
    }
    if (FHeader.ColorMap().Count() > 0) {
        FPalette.reset(FHeader.ColorMap().ExportPalette());
        FPaletteMade = true;
        return FPalette.get();
    }
    return Empty() ? nullptr : FImages.Items(0)->Palette();
}

void TGIFImage::SetPalette(HPALETTE palette)
{
    if (palette == FPalette.get())
        return;
    FPalette.reset(palette);
    FPaletteMade = false;
    ReleasePictureBitmap();
    SetPaletteModified(true);
    Changed();
}

void TGIFImage::GlobalColorsChanged()
{
    if (FPaletteMade)
        FPalette.reset();
    FPaletteMade = false;
}

HPALETTE TGIFSubImage::Palette()
{
    if (FPalette)
        return FPalette.get();
    TGIFImage* image = Image();
    if (image && image->NeedsDither()) {
        FPalette.reset(CreateColorCubePalette());
        return FPalette.get();
    }
    if (FColorMap.Count() > 0) {
        FPalette.reset(FColorMap.ExportPalette());
        return FPalette.get();
    }
    return image ? image->Palette() : nullptr;
}

void TGIFSubImage::SetPalette(HPALETTE palette)
{
    if (palette == FPalette.get())
        return;
    FPalette.reset(palette);
    DropBitmapOfOtherPalette();
}

#pragma once

// Pixel output of one canvas drawing call: canvas coordinates through the
// device origin, clipped. Internal to the canvas's .cpp files.

#include <algorithm>
#include <memory>
#include <optional>

#include "platform/graphics/Raster.h"
#include "platform/graphics/TCanvas.h"

class TCanvasRaster {
public:
    explicit TCanvasRaster(TCanvas& canvas);

    // Plain copy of one pixel.
    void Put(int x, int y, TColor rgb)
    {
        x += FOrigin.X;
        y += FOrigin.Y;
        if (Inside(x, y)) FView.Set(x, y, rgb);
    }
    // Pixel combined by a binary raster operation (R2_* code; 13 is a copy).
    void PutRop2(int x, int y, TColor rgb, int rop2)
    {
        x += FOrigin.X;
        y += FOrigin.Y;
        if (!Inside(x, y)) return;
        FView.Set(x, y, rop2 == 13 ? rgb : ApplyRop2(rop2, rgb, FView.Get(x, y)));
    }
    // Pixels x1..x2-1 of row y.
    void Span(int y, int x1, int x2, TColor rgb)
    {
        y += FOrigin.Y;
        if (y < FClip.Top || y >= FClip.Bottom) return;
        x1 = std::max(x1 + FOrigin.X, FClip.Left);
        x2 = std::min(x2 + FOrigin.X, FClip.Right);
        if (FRegion) FRegion->ForEachSpan(y, x1, x2, [&](int a, int b) { Row(y, a, b, rgb); });
        else Row(y, x1, x2, rgb);
    }
    // Pixels x1..x2-1 of row y with the canvas's brush (its hatch or pattern).
    void BrushSpan(int y, int x1, int x2);
    void BrushPixel(int x, int y) { BrushSpan(y, x, x + 1); }
    TColor Get(int x, int y) const
    {
        x += FOrigin.X;
        y += FOrigin.Y;
        return FView.Contains(x, y) ? FView.Get(x, y) : CLR_INVALID;
    }
    bool Visible(int x, int y) const { return Inside(x + FOrigin.X, y + FOrigin.Y); }
    // The clip rectangle in canvas coordinates.
    TRect Clip() const
    {
        return {FClip.Left - FOrigin.X, FClip.Top - FOrigin.Y, FClip.Right - FOrigin.X, FClip.Bottom - FOrigin.Y};
    }

private:
    bool Inside(int x, int y) const { return FClip.Contains({x, y}) && (!FRegion || FRegion->Contains(x, y)); }
    void Row(int y, int x1, int x2, TColor rgb) { FView.SetRow(y, x1, x2, rgb); }
    // The brush's colour at a target pixel; CLR_INVALID where it leaves the pixel.
    TColor BrushAt(int x, int y) const;

    TPixelView FView;
    TRect FClip;
    TPoint FOrigin;
    const TRegion* FRegion;
    TColor FBrushColor;
    int FHatch;  // -1: none
    std::optional<TColor> FHatchBack;
    const TBitmap* FPattern;
    std::unique_ptr<TPixelView> FPatternView;
};

// The R2_* code of a pen mode.
int PenModeRop2(TPenMode mode);

#pragma once

// Pixel output of one canvas drawing call: canvas coordinates through the
// device origin, clipped. Internal to the canvas's .cpp files.

#include <algorithm>

#include "platform/graphics/Raster.h"
#include "platform/graphics/TCanvas.h"

class TCanvasRaster {
public:
    explicit TCanvasRaster(TCanvas& canvas)
        : FView(canvas.Target()), FClip(canvas.ClipRect()), FOrigin(canvas.Origin())
    {
    }

    // Plain copy of one pixel.
    void Put(int x, int y, TColor rgb)
    {
        x += FOrigin.X;
        y += FOrigin.Y;
        if (FClip.Contains({x, y})) FView.Set(x, y, rgb);
    }
    // Pixel combined by a binary raster operation (R2_* code; 13 is a copy).
    void PutRop2(int x, int y, TColor rgb, int rop2)
    {
        x += FOrigin.X;
        y += FOrigin.Y;
        if (!FClip.Contains({x, y})) return;
        FView.Set(x, y, rop2 == 13 ? rgb : ApplyRop2(rop2, rgb, FView.Get(x, y)));
    }
    // Pixels x1..x2-1 of row y.
    void Span(int y, int x1, int x2, TColor rgb)
    {
        y += FOrigin.Y;
        if (y < FClip.Top || y >= FClip.Bottom) return;
        x1 = std::max(x1 + FOrigin.X, FClip.Left);
        x2 = std::min(x2 + FOrigin.X, FClip.Right);
        for (int x = x1; x < x2; ++x) FView.Set(x, y, rgb);
    }
    TColor Get(int x, int y) const
    {
        x += FOrigin.X;
        y += FOrigin.Y;
        return FView.Contains(x, y) ? FView.Get(x, y) : CLR_INVALID;
    }
    bool Visible(int x, int y) const { return FClip.Contains({x + FOrigin.X, y + FOrigin.Y}); }
    // The clip rectangle in canvas coordinates.
    TRect Clip() const
    {
        return {FClip.Left - FOrigin.X, FClip.Top - FOrigin.Y, FClip.Right - FOrigin.X, FClip.Bottom - FOrigin.Y};
    }

private:
    TPixelView FView;
    TRect FClip;
    TPoint FOrigin;
};

// The R2_* code of a pen mode.
int PenModeRop2(TPenMode mode);

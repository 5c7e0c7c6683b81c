#pragma once

// Windowless controls: drawn by their form into its surface, through a canvas
// whose origin is the control's top-left corner and whose clip is the part of
// the control its parents leave visible.
//
// Canvas() may be used outside Paint too (the drawing then lands on the surface
// at once). While the form paints a part of its surface, Canvas() keeps that
// part as the clip, so a control never draws over what is not repainted. A control that is not on a form has no canvas: EInvalidOperation.

#include <memory>

#include "platform/controls/TControl.h"

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;

    const char* ClassName() const override { return "TGraphicControl"; }

    TCanvas& Canvas();
    // The form's painting calls this with the part of the surface to repaint.
    void PaintTo(const TRect& formClip);

protected:
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> FCanvas;
    TBitmap* FCanvasTarget = nullptr;
    bool FPainting = false;
    TRect FPaintClip;
};

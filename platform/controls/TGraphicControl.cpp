#include "platform/controls/TGraphicControl.h"

#include "platform/controls/TCustomForm.h"

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

TGraphicControl::~TGraphicControl() = default;

TCanvas& TGraphicControl::Canvas()
{
    TCustomForm* form = ParentForm();
    if (!form) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    TBitmap& surface = form->Surface();
    if (surface.Width() != form->ClientWidth() || surface.Height() != form->ClientHeight())
        surface.SetSize(form->ClientWidth(), form->ClientHeight());
    if (!FCanvas || FCanvasTarget != &surface) {
        FCanvas = std::make_unique<TCanvas>(surface);
        FCanvasTarget = &surface;
        FCanvas->Font().Assign(Font());
    }
    FCanvas->SetOrigin(FormOrigin());
    FCanvas->SetClipRect(VisibleFormRect());
    return *FCanvas;
}

void TGraphicControl::PaintTo(const TRect& formClip)
{
    TCanvas& canvas = Canvas();
    canvas.SetClipRect(IntersectRect(VisibleFormRect(), formClip));
    Paint();
}

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
    FCanvas->SetClipRect(FPainting ? FPaintClip : VisibleFormRect());
    return *FCanvas;
}

void TGraphicControl::PaintTo(const TRect& formClip)
{
    struct TPaintScope {
        bool& Painting;
        explicit TPaintScope(bool& painting) : Painting(painting) { Painting = true; }
        ~TPaintScope() { Painting = false; }
    };
    FPaintClip = IntersectRect(VisibleFormRect(), formClip);
    const TPaintScope scope(FPainting);
    Canvas();
    Paint();
}

#include "platform/graphics/TCanvas.h"

#include "platform/graphics/TBitmap.h"

TCanvas::TCanvas(TBitmap& target) : FTarget(&target) {}

TCanvas::~TCanvas() = default;

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

void TCanvas::Draw(int x, int y, TGraphic& graphic)
{
    StretchDraw(Bounds(x, y, graphic.Width(), graphic.Height()), graphic);
}

// Nearest-neighbour copy of a bitmap, clipped; other graphics go through a
// bitmap of their own size.
void TCanvas::StretchDraw(const TRect& rect, TGraphic& graphic)
{
    if (graphic.Empty() || rect.IsEmpty()) return;
    auto* source = dynamic_cast<TBitmap*>(&graphic);
    TBitmap converted;
    if (!source) {
        converted.Assign(graphic);
        source = &converted;
    }
    const TRect target = Rect(rect.Left + FOrigin.X, rect.Top + FOrigin.Y, rect.Right + FOrigin.X,
                              rect.Bottom + FOrigin.Y);
    const TRect clip = IntersectRect(target, ClipRect());
    const int w = target.Width();
    const int h = target.Height();
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y - target.Top) * source->Height() / h);
        for (int x = clip.Left; x < clip.Right; ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x - target.Left) * source->Width() / w);
            FTarget->SetPixel(x, y, source->Pixel(sx, sy));
        }
    }
}

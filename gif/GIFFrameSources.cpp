#include "gif/GIFFrameBitmap.h"
#include "gif/GIFSubImage.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/TCanvas.h"
#include "platform/graphics/TIcon.h"
#include "platform/graphics/TMetafile.h"

namespace {

std::unique_ptr<TBitmap> Rendering(const TGraphic& source, TColor background)
{
    auto bitmap = std::make_unique<TBitmap>(source.Width(), source.Height(), pf24bit);
    bitmap->Fill(background);
    bitmap->Canvas().Draw(0, 0, const_cast<TGraphic&>(source));
    return bitmap;
}

// Non-zero where the metafile paints nothing: a rendering on white and one on
// black differ exactly there.
std::unique_ptr<TBitmap> MetafileMask(const TMetafile& metafile, const TBitmap& onWhite)
{
    std::unique_ptr<TBitmap> onBlack = Rendering(metafile, clBlack);
    auto mask = std::make_unique<TBitmap>(onWhite.Width(), onWhite.Height(), pf8bit);
    mask->SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
    for (int y = 0; y < mask->Height(); ++y) {
        std::uint8_t* row = mask->ScanLine(y);
        for (int x = 0; x < mask->Width(); ++x)
            row[x] = (onWhite.Pixel(x, y) ^ onBlack->Pixel(x, y)) != 0 ? 1 : 0;
    }
    return mask;
}

// The icon drawn on white as the platform draws icons; assigned when it
// cannot be drawn. The icon's own mask then says what is transparent.
void FrameFromIcon(TGIFSubImage& frame, const TIcon& icon)
{
    std::unique_ptr<TBitmap> drawn;
    try {
        drawn = Rendering(icon, clWhite);
    } catch (const Exception&) {
        drawn = std::make_unique<TBitmap>();
        drawn->Assign(icon);
    }
    FrameFromBitmap(frame, *drawn);
    ApplyMask(frame, icon.Mask());
}

}  // namespace

void FrameFromGraphic(TGIFSubImage& frame, const TGraphic& source)
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(const_cast<TGraphic*>(&source))) {
        FrameFromBitmap(frame, *bitmap);
        return;
    }
    frame.Clear();
    if (source.Empty())
        return;
    if (const auto* icon = dynamic_cast<const TIcon*>(&source)) {
        FrameFromIcon(frame, *icon);
        return;
    }
    if (const auto* metafile = dynamic_cast<const TMetafile*>(&source)) {
        std::unique_ptr<TBitmap> onWhite = Rendering(*metafile, clWhite);
        FrameFromBitmap(frame, *onWhite);
        ApplyMask(frame, *MetafileMask(*metafile, *onWhite));
        return;
    }
    // Other pictures give their bitmap, or are drawn when they cannot.
    TBitmap bitmap(source.Width(), source.Height(), pf24bit);
    try {
        bitmap.Assign(source);
    } catch (const EConvertError&) {
        bitmap.SetPixelFormat(pf24bit);
        bitmap.Canvas().Draw(0, 0, const_cast<TGraphic&>(source));
    }
    FrameFromBitmap(frame, bitmap);
}

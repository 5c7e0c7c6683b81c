#include "gif/GIFFrameBitmap.h"
#include "gif/GIFImage.h"
#include "gif/GIFSubImage.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/TCanvas.h"
#include "platform/graphics/TIcon.h"
#include "platform/graphics/TMetafile.h"
#include "platform/graphics/TPicture.h"

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

// What the picture gives when it cannot be drawn.
std::unique_ptr<TBitmap> AssignedBitmap(const TGraphic& source)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Assign(source);
    return bitmap;
}

// The icon drawn on white as the platform draws icons; assigned when it
// cannot be drawn. The icon's own mask then says what is transparent.
void FrameFromIcon(TGIFSubImage& frame, const TIcon& icon)
{
    std::unique_ptr<TBitmap> drawn;
    try {
        drawn = Rendering(icon, clWhite);
    } catch (const Exception&) {
        drawn = AssignedBitmap(icon);
    }
    FrameFromBitmap(frame, *drawn);
    ApplyMask(frame, icon.Mask());
}

// Drawn on white, transparent where it paints nothing; a metafile that
// cannot be drawn gives the bitmap it assigns, opaque.
void FrameFromMetafile(TGIFSubImage& frame, const TMetafile& metafile)
{
    std::unique_ptr<TBitmap> onWhite;
    try {
        onWhite = Rendering(metafile, clWhite);
    } catch (const Exception&) {
        FrameFromBitmap(frame, *AssignedBitmap(metafile));
        return;
    }
    FrameFromBitmap(frame, *onWhite);
    ApplyMask(frame, *MetafileMask(metafile, *onWhite));
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
        FrameFromMetafile(frame, *metafile);
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

void FrameFromPicture(TGIFSubImage& frame, const TPicture& source)
{
    if (const TGraphic* graphic = source.Graphic())
        FrameFromGraphic(frame, *graphic);
    else
        frame.Clear();
}

void TGIFImage::Assign(const TPicture& source)
{
    if (const TGraphic* graphic = source.Graphic()) {
        Assign(*graphic);
        return;
    }
    ClearPicture();
    Changed();
}

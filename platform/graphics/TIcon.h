#pragma once

// Icon pictures: ICO files of bitmap images with 1, 4, 8, 24 or 32 bits per
// pixel and their AND masks, registered with TPicture for ".ico".
//
// A file may hold several images; the picture takes the first 32 x 32 one
// with the most bits per pixel, or the first one when none is 32 x 32, and
// Width and Height are that image's. Loading reads the rest of the stream and
// raises EInvalidGraphic ("Icon image is not valid: <why>") for a file that is
// truncated, whose directory points past its end, whose sizes do not fit its
// bytes, or whose chosen image is PNG-coded; a failed load keeps what the
// picture held. A loaded icon saves the bytes it was loaded from.
//
// Drawing stretches the image into the rectangle as the platform draws an
// icon: the AND mask ANDed onto the canvas, then the colour image XORed onto
// it, so the canvas shows through where a mask bit is 1 (and is inverted
// where such a pixel has a colour). A 32-bit image whose alpha channel is not
// all 0 is blended by its alpha instead, and its mask is not used.
//
// The size of an icon is that of its image: SetWidth and SetHeight raise
// EInvalidGraphicOperation.

#include <memory>
#include <string>

#include "platform/graphics/TBitmap.h"

class TIcon : public TGraphic {
public:
    TIcon();
    ~TIcon() override;

    const char* ClassName() const override { return "TIcon"; }
    std::unique_ptr<TGraphic> Clone() const override;

    int Width() const override { return FImage->Width(); }
    int Height() const override { return FImage->Height(); }
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    bool Empty() const override { return FData.empty(); }

    // The chosen image's colours in their own format, and its AND mask
    // (1 bit per pixel, black and white: a 1 bit is transparent). Empty
    // bitmaps while nothing is loaded.
    const TBitmap& Image() const { return *FImage; }
    const TBitmap& Mask() const { return *FMask; }

    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // Reads an ICO file held in memory (the same rules as LoadFromStream).
    void LoadFromBytes(std::string bytes);

    void Draw(TCanvas& canvas, const TRect& rect) override;

protected:
    bool AssignFrom(const TGraphic& source) override;
    // A bitmap takes the icon drawn at its size on white (24 bits).
    bool AssignTo(TGraphic& dest) const override;

private:
    void DrawMasked(TCanvas& canvas, const TRect& rect) const;
    void DrawBlended(TCanvas& canvas, const TRect& rect) const;

    std::string FData;
    std::unique_ptr<TBitmap> FImage;
    std::unique_ptr<TBitmap> FMask;
    bool FAlpha = false;
};

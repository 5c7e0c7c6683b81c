#pragma once

// One frame of a GIF picture: its image descriptor, local colour map, the
// extensions before it in the file, and its pixels, one palette index per
// byte, rows top to bottom in display order whether or not it is interlaced.
// It keeps the bitmap it was rendered into (or made from) and its mask.
//
// Threads: a frame is part of its picture and used by the one thread that
// uses the picture; painters render frames ahead on the main thread, so a
// kept bitmap is never touched by two threads.

#include <array>
#include <cstdint>
#include <memory>

#include "gif/GIFColorMap.h"
#include "gif/GIFUtils.h"
#include "gif/GIFExtension.h"
#include "gif/GIFItem.h"
#include "gif/GIFPalettes.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/Types.h"

class TGIFSubImage;

class TGIFExtensionList : public TGIFList<TGIFExtension> {
public:
    explicit TGIFExtensionList(TGIFSubImage* subImage);
    // Reads the extensions that stand before an image, up to the image
    // separator or the trailer, and leaves the stream at that byte.
    void LoadFromStream(TStream& stream);

private:
    TGIFSubImage* FSubImage;
};

// A frame may hold at most this many pixels; larger descriptors are refused
// ("Out of memory") before anything is allocated.
constexpr std::int64_t MaxFramePixels = std::int64_t(1) << 28;
// And all frames of a picture together at most this many.
constexpr std::int64_t MaxPicturePixels = std::int64_t(1) << 30;

class TGIFSubImage : public TGIFItem {
public:
    explicit TGIFSubImage(TGIFImage* image);
    ~TGIFSubImage() override;

    int GetVersion() const override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

    void Clear();
    bool Empty() const;
    // Copies another frame, its extensions as new objects of this frame.
    void Assign(const TGIFSubImage& source);

    int Left() const { return ReadLE16(&FDescriptor[1]); }
    int Top() const { return ReadLE16(&FDescriptor[3]); }
    int Width() const { return ReadLE16(&FDescriptor[5]); }
    int Height() const { return ReadLE16(&FDescriptor[7]); }
    TRect BoundsRect() const { return Bounds(Left(), Top(), Width(), Height()); }
    // A new width or height replaces the pixels with zeros; a frame beyond
    // the logical screen grows the screen, with warnings.
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int value) { SetBounds(value, Top(), Width(), Height()); }
    void SetTop(int value) { SetBounds(Left(), value, Width(), Height()); }
    void SetWidth(int value) { SetBounds(Left(), Top(), value, Height()); }
    void SetHeight(int value) { SetBounds(Left(), Top(), Width(), value); }

    bool Interlaced() const { return FDescriptor[9] & 0x40; }
    void SetInterlaced(bool value);
    const std::array<std::uint8_t, 10>& Descriptor() const { return FDescriptor; }

    TGIFLocalColorMap& ColorMap() { return FColorMap; }
    const TGIFLocalColorMap& ColorMap() const { return FColorMap; }
    // The local map, unless it is empty and the global map has entries.
    TGIFColorMap& ActiveColorMap();
    int ColorResolution() const { return BitsPerPixel() - 1; }
    int BitsPerPixel() const { return FColorMap.BitsPerPixel(); }

    TGIFExtensionList& Extensions() { return FExtensions; }
    const TGIFExtensionList& Extensions() const { return FExtensions; }
    TGIFGraphicControlExtension* GraphicControlExtension() const { return FGCE; }
    bool Transparent() const { return FTransparent; }

    // Writing access: it drops the frame's bitmap and mask, which no longer
    // show the pixels.
    std::uint8_t* Data();
    const std::uint8_t* Data() const { return FData.get(); }
    std::int64_t DataSize() const { return FDataSize; }
    // "Invalid pixel coordinates" outside the frame.
    std::uint8_t Pixels(int x, int y) const;
    // Whether any pixel holds the index.
    bool UsesIndex(int index) const;
    // A row to write (it drops the bitmap and mask, as Data does) and a row
    // to read; "Image is empty" when the frame has no pixels to read.
    std::uint8_t* Scanline(int y);
    const std::uint8_t* Scanline(int y) const;
    // Allocates the pixels when there are none; "Image is empty" for no size.
    void NeedImage();

    // The frame's palette, which it keeps until its map changes: the web
    // palette when the picture dithers, else the local map's, else the
    // picture's own (not kept here).
    HPALETTE Palette();
    // Takes the handle; the old one is deleted.
    void SetPalette(HPALETTE palette);

    // The frame's bitmap, which it keeps (GIFFrameBitmap.cpp): rendered on
    // the first request, "Rendering..." reported, through the web palette
    // when the picture dithers. None for an empty frame, or when the
    // rendering was aborted (EAbort, which it swallows); other errors pass.
    // A kept bitmap made for the other dithering, or for another transparent
    // index, is rendered again.
    TBitmap* Bitmap();
    // The transparency mask of the kept bitmap (1 bit, 1 = transparent),
    // rendering again when a transparent frame's mask is still to be made;
    // none when no pixel is transparent.
    bool HasMask();
    const TBitmap* Mask() const { return FMask.get(); }
    bool MaskNeeded() const { return FMaskNeeded; }
    // The kept bitmap while it still shows what a rendering would show now
    // (a stale one is dropped); none when there is none.
    TBitmap* KeptBitmap();
    void FreeBitmap();
    void FreeMask();
    // The bitmap and mask that a rendering or the bitmap the frame was made
    // from gives; the frame keeps them while its pixels, colours and
    // transparency stay as they are.
    void KeepBitmap(std::unique_ptr<TBitmap> bitmap, std::unique_ptr<TBitmap> mask);
    // The transparent index a rendering masks now: -1 when none.
    int MaskedIndex() const;
    // A TBitmap target takes the frame's bitmap (empty when there is none).
    void AssignTo(TBitmap& target);

private:
    // After a palette change: a kept bitmap in other colours goes, and the
    // picture learns that its palette changed.
    void DropBitmapOfOtherPalette();
    friend class TGIFGraphicControlExtension;
    // The decoder writes every pixel, so it needs no zeros first.
    void AllocatePixels(bool zeroed = true);
    void DecodePixels(TStream& stream);
    void EncodePixels(TStream& stream);

    std::array<std::uint8_t, 10> FDescriptor{bsImageSeparator};
    TGIFLocalColorMap FColorMap;
    TGIFExtensionList FExtensions;
    std::unique_ptr<std::uint8_t[]> FData;
    std::int64_t FDataSize = 0;
    bool FTransparent = false;
    TGIFGraphicControlExtension* FGCE = nullptr;
    TPaletteHandle FPalette;
    std::unique_ptr<TBitmap> FBitmap;
    std::unique_ptr<TBitmap> FMask;
    bool FMaskNeeded = true;
    // What the kept bitmap was made for.
    bool FBitmapDithered = false;
    int FBitmapMaskedIndex = -1;
};

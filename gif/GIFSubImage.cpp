#include "gif/GIFSubImage.h"

#include <algorithm>
#include <cstring>

#include "gif/GIFEncoder.h"
#include "gif/GIFExtensionRegistry.h"
#include "gif/GIFImage.h"
#include "gif/LZWDecoder.h"
#include "platform/core/TStream.h"

// ---- TGIFExtensionList

TGIFExtensionList::TGIFExtensionList(TGIFSubImage* subImage)
    : TGIFList(subImage->Image()), FSubImage(subImage)
{
}

void TGIFExtensionList::LoadFromStream(TStream& stream)
{
    int b = ReadByte(stream);
    if (b < 0)
        return;
    while (b != bsImageSeparator && b != bsTrailer) {
        if (b != bsExtensionIntroducer) {
            Warning(1, "Invalid extension introducer");
            break;
        }
        const TGIFExtensionClass* extensionClass = FindExtensionClass(stream);
        // Browsers, ImageMagick and Pillow skip a block of an unknown label
        // and show the picture; we keep it raw so that saving loses nothing.
        if (!extensionClass) {
            Warning(1, "Unknown extension type");
            extensionClass = &TGIFUnknownExtension::Class;
        }
        Unread(stream);
        std::unique_ptr<TGIFExtension> extension = extensionClass->Create(FSubImage);
        extension->LoadFromStream(stream);
        Add(std::move(extension));
        b = ReadByte(stream);
        if (b < 0)
            return;
    }
    Unread(stream);
}

// ---- TGIFSubImage

TGIFSubImage::TGIFSubImage(TGIFImage* image) : TGIFItem(image), FColorMap(this), FExtensions(this) {}

TGIFSubImage::~TGIFSubImage()
{
    // Extensions tell their frame when they go, so they go while it is whole.
    FExtensions.Clear();
}

int TGIFSubImage::GetVersion() const
{
    return FColorMap.Optimized() || FExtensions.Count() > 0 ? 2 : 1;
}

void TGIFSubImage::Clear()
{
    FExtensions.Clear();
    FColorMap.Clear();
    FData.reset();
    FDataSize = 0;
    SetBounds(Left(), Top(), 0, 0);
    FTransparent = false;
    FGCE = nullptr;
    FreeBitmap();
    FreeMask();
}

void TGIFSubImage::FreeBitmap()
{
    FBitmap.reset();
}

void TGIFSubImage::FreeMask()
{
    FMask.reset();
    FMaskNeeded = true;
}

void TGIFSubImage::KeepBitmap(std::unique_ptr<TBitmap> bitmap, std::unique_ptr<TBitmap> mask)
{
    FBitmap = std::move(bitmap);
    FMask = std::move(mask);
    FMaskNeeded = false;
    FBitmapDithered = FImage && FImage->NeedsDither();
    FBitmapMaskedIndex = MaskedIndex();
}

int TGIFSubImage::MaskedIndex() const
{
    return FTransparent && FGCE ? FGCE->TransparentColorIndex() : -1;
}

bool TGIFSubImage::UsesIndex(int index) const
{
    const std::uint8_t* data = FData.get();
    return data && std::find(data, data + FDataSize, static_cast<std::uint8_t>(index)) != data + FDataSize;
}

bool TGIFSubImage::Empty() const
{
    return !FData || FDataSize <= 0 || Width() <= 0 || Height() <= 0;
}

void TGIFSubImage::AllocatePixels(bool zeroed)
{
    FData.reset();
    FDataSize = 0;
    const std::int64_t count = std::int64_t(Width()) * Height();
    if (count == 0)
        return;
    if (count > MaxFramePixels)
        GIFError("Out of memory");
    // Many huge frames in a small file must not claim memory without end.
    std::int64_t total = count;
    if (FImage)
        for (const auto& frame : FImage->Images())
            if (frame.get() != this)
                total += frame->DataSize();
    if (total > MaxPicturePixels)
        GIFError("Out of memory");
    FData = zeroed ? std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(count))
                   : std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(count));
    FDataSize = count;
}

void TGIFSubImage::NeedImage()
{
    if (!FData)
        AllocatePixels();
    if (FDataSize == 0)
        GIFError("Image is empty");
}

void TGIFSubImage::SetBounds(int left, int top, int width, int height)
{
    const bool resized = width != Width() || height != Height();
    WriteLE16(&FDescriptor[1], static_cast<std::uint16_t>(left));
    WriteLE16(&FDescriptor[3], static_cast<std::uint16_t>(top));
    WriteLE16(&FDescriptor[5], static_cast<std::uint16_t>(width));
    WriteLE16(&FDescriptor[7], static_cast<std::uint16_t>(height));
    if (resized) {
        FreeBitmap();
        FreeMask();
        AllocatePixels();
    }
    if (!FImage)
        return;
    TGIFHeader& header = FImage->Header();
    bool grown = false;
    if (header.Width() < left + width) {
        if (header.Width() >= 1) {
            Warning(1, "Image width too small for contained frames");
            grown = true;
        }
        header.SetWidth(left + width);
    }
    if (header.Height() < top + height) {
        if (header.Height() >= 1) {
            Warning(1, "Image height too small for contained frames");
            grown = true;
        }
        header.SetHeight(top + height);
    }
    if (grown)
        Warning(1, "Image exceeds Logical Screen size");
}

void TGIFSubImage::SetInterlaced(bool value)
{
    FDescriptor[9] = static_cast<std::uint8_t>(value ? FDescriptor[9] | 0x40 : FDescriptor[9] & ~0x40);
}

TGIFColorMap& TGIFSubImage::ActiveColorMap()
{
    if (FColorMap.Count() == 0 && FImage && FImage->GlobalColorMap().Count() > 0)
        return FImage->GlobalColorMap();
    return FColorMap;
}

std::uint8_t TGIFSubImage::Pixels(int x, int y) const
{
    if (x < 0 || x >= Width() || y < 0 || y >= Height())
        GIFError("Invalid pixel coordinates");
    if (!FData)
        return 0;
    return FData[static_cast<std::size_t>(std::int64_t(y) * Width() + x)];
}

std::uint8_t* TGIFSubImage::Scanline(int y)
{
    if (y < 0 || y >= Height())
        GIFError("Invalid pixel coordinates");
    NeedImage();
    FreeBitmap();
    FreeMask();
    return FData.get() + std::int64_t(y) * Width();
}

const std::uint8_t* TGIFSubImage::Scanline(int y) const
{
    if (y < 0 || y >= Height())
        GIFError("Invalid pixel coordinates");
    if (!FData)
        GIFError("Image is empty");
    return FData.get() + std::int64_t(y) * Width();
}

std::uint8_t* TGIFSubImage::Data()
{
    FreeBitmap();
    FreeMask();
    return FData.get();
}

void TGIFSubImage::LoadFromStream(TStream& stream)
{
    Clear();
    FExtensions.LoadFromStream(stream);
    const int next = ReadByte(stream);
    if (next < 0)
        return;
    Unread(stream);
    if (next == bsTrailer || next == 0)
        return;
    ReadExact(stream, FDescriptor.data(), FDescriptor.size());
    if (Width() == 0 || Height() == 0) {
        if (FImage) {
            WriteLE16(&FDescriptor[5], static_cast<std::uint16_t>(FImage->Header().Width()));
            WriteLE16(&FDescriptor[7], static_cast<std::uint16_t>(FImage->Header().Height()));
        }
        Warning(1, "Image exceeds Logical Screen size");
    }
    if (FDescriptor[9] & 0x80)
        FColorMap.LoadFromStream(stream, 2 << (FDescriptor[9] & 0x07));
    DecodePixels(stream);
}

void TGIFSubImage::DecodePixels(TStream& stream)
{
    // Refused before anything is allocated; the limit also keeps the
    // allocation below what a 32-bit count could hold.
    AllocatePixels(false);
    const std::uint8_t fill = FGCE && FGCE->Transparent() ? FGCE->TransparentColorIndex() : 0;
    const TDecoderWarning warning = [this](const std::string& message) { Warning(1, message); };
    if (FData) {
        DecodeLZW(stream, FData.get(), Width(), Height(), Interlaced(), fill, warning);
    } else {
        std::uint8_t none = 0;
        DecodeLZW(stream, &none, 0, 0, false, fill, warning);
    }
}

void TGIFSubImage::SaveToStream(TStream& stream)
{
    FExtensions.SaveToStream(stream);
    if (Empty())
        return;
    std::array<std::uint8_t, 10> descriptor = FDescriptor;
    descriptor[0] = bsImageSeparator;
    if (FColorMap.Count() > 0) {
        descriptor[9] = static_cast<std::uint8_t>(0x80 | (FColorMap.Optimized() ? 0x20 : 0) |
                                                  ((FColorMap.BitsPerPixel() - 1) & 0x07));
    } else {
        descriptor[9] &= 0x58;
    }
    stream.WriteBuffer(descriptor.data(), descriptor.size());
    FColorMap.SaveToStream(stream);
    EncodePixels(stream);
}

void TGIFSubImage::EncodePixels(TStream& stream)
{
    TGIFEncodeSource source;
    source.Pixels = FData.get();
    source.Width = Width();
    source.Height = Height();
    if (FColorMap.Count() > 0) {
        // Frames with their own table are always coded row by row.
        source.Interlaced = false;
        source.BitsPerPixel = FColorMap.BitsPerPixel();
        source.ColorCount = FColorMap.Count();
    } else {
        source.Interlaced = Interlaced();
        source.BitsPerPixel = FImage ? FImage->MaxBitsPerPixel() : 8;
        source.ColorCount = 1 << source.BitsPerPixel;
    }
    const TGIFEncoderKind kind = FImage && FImage->CodingMethod == gcRLE ? TGIFEncoderKind::RLE : TGIFEncoderKind::LZW;
    EncodeGIFImage(stream, source, kind);
}

void TGIFSubImage::Assign(const TGIFSubImage& source)
{
    if (&source == this)
        return;
    Clear();
    if (source.Empty())
        return;
    FDescriptor = source.FDescriptor;
    AllocatePixels();
    std::memcpy(FData.get(), source.FData.get(), static_cast<std::size_t>(FDataSize));
    FColorMap.Assign(source.FColorMap);
    TMemoryStream extensions;
    source.FExtensions.SaveToStream(extensions);
    extensions.SetPosition(0);
    FExtensions.LoadFromStream(extensions);
    FTransparent = source.FTransparent;
    if (source.FBitmap) {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->Assign(*source.FBitmap);
        std::unique_ptr<TBitmap> mask;
        if (source.FMask) {
            mask = std::make_unique<TBitmap>();
            mask->Assign(*source.FMask);
        }
        KeepBitmap(std::move(bitmap), std::move(mask));
        // Made for what the source's was made for, stale or not.
        FMaskNeeded = source.FMaskNeeded;
        FBitmapDithered = source.FBitmapDithered;
        FBitmapMaskedIndex = source.FBitmapMaskedIndex;
    }
}

#include "platform/graphics/TBitmap.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_map>

#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"
#include "platform/graphics/BitmapFormats.h"
#include "platform/graphics/BmpCodec.h"
#include "platform/graphics/TCanvas.h"

using namespace bitmap_detail;

namespace {

// Row and total byte counts of a bitmap, checked before anything is allocated.
struct TLayout {
    std::size_t RowBytes = 0;
    std::size_t TotalBytes = 0;
};

TLayout CheckedLayout(int width, int height, TPixelFormat format)
{
    if (width < 0 || height < 0)
        throw EInvalidGraphic("Invalid bitmap size " + std::to_string(width) + " x " + std::to_string(height));
    const std::uint64_t row = RowBytes(static_cast<std::uint64_t>(width), BitsPerPixel(format));
    // Division first, so the product cannot overflow.
    if (height != 0 && row > TBitmap::MaxBitmapBytes / static_cast<std::uint64_t>(height))
        throw EOutOfMemory("Out of memory: a bitmap of " + std::to_string(width) + " x " + std::to_string(height)
                           + " pixels is too large");
    return {static_cast<std::size_t>(row), static_cast<std::size_t>(row * static_cast<std::uint64_t>(height))};
}

TPixelBytes AllocateBits(std::size_t bytes)
{
    try {
        return TPixelBytes(bytes);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}

// Sets every pixel of the rows to one colour: the first row pixel by pixel,
// the others copied from it.
void FillRows(std::span<std::uint8_t> bits, std::size_t rowBytes, int width, TPixelFormat format,
              const std::vector<TRGBQuad>& palette, TColor rgb)
{
    if (bits.empty() || width == 0) return;
    std::uint8_t* first = bits.data();
    if (IsIndexed(format)) {
        const int index = std::max(NearestIndex(palette, rgb), 0);
        for (int x = 0; x < width; ++x) WriteIndex(first, x, BitsPerPixel(format), static_cast<unsigned>(index));
    } else {
        for (int x = 0; x < width; ++x) WriteDirect(first, x, format, rgb);
    }
    for (std::size_t offset = rowBytes; offset < bits.size(); offset += rowBytes)
        std::memcpy(first + offset, first, rowBytes);
}

}  // namespace

int BitsPerPixel(TPixelFormat format)
{
    switch (format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf15bit:
    case pf16bit:
        return 16;
    case pfDevice:
    case pf24bit:
        return 24;
    case pf32bit:
        return 32;
    case pfCustom:
        break;
    }
    return 0;
}

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format)
{
    if (format == pfCustom) throw EInvalidGraphic("Invalid pixel format");
    FPixelFormat = format;
    FPalette = DefaultPalette(format);
    Allocate(width, height, format);
}

TBitmap::~TBitmap() = default;

std::unique_ptr<TGraphic> TBitmap::Clone() const
{
    auto copy = std::make_unique<TBitmap>();
    copy->AssignFrom(*this);
    copy->SetModified(Modified());
    return copy;
}

// Replaces the pixels by a white bitmap of the given size and format.
void TBitmap::Allocate(int width, int height, TPixelFormat format)
{
    const TLayout layout = CheckedLayout(width, height, format);
    TPixelBytes bits = AllocateBits(layout.TotalBytes);
    FillRows(bits, layout.RowBytes, width, format, FPalette, clWhite);
    FWidth = width;
    FHeight = height;
    FPixelFormat = format;
    FRowBytes = layout.RowBytes;
    FBits = std::move(bits);
}

void TBitmap::SetSize(int width, int height)
{
    if (width == FWidth && height == FHeight) return;
    const TLayout layout = CheckedLayout(width, height, FPixelFormat);
    TPixelBytes bits = AllocateBits(layout.TotalBytes);
    FillRows(bits, layout.RowBytes, width, FPixelFormat, FPalette, clWhite);
    const int keepWidth = std::min(width, FWidth);
    const int keepHeight = std::min(height, FHeight);
    const int bpp = BitCount();
    // Whole bytes of the kept part are copied at once; the pixels of a last
    // partial byte one by one, so the white beside them stays.
    const std::size_t wholeBytes = static_cast<std::size_t>(keepWidth) * static_cast<std::size_t>(bpp) / 8;
    const int firstPartial = static_cast<int>(wholeBytes * 8 / static_cast<std::size_t>(bpp));
    for (int y = 0; y < keepHeight && keepWidth > 0; ++y) {
        const std::uint8_t* from = FBits.data() + static_cast<std::size_t>(y) * FRowBytes;
        std::uint8_t* to = bits.data() + static_cast<std::size_t>(y) * layout.RowBytes;
        std::memcpy(to, from, wholeBytes);
        for (int x = firstPartial; x < keepWidth; ++x) WriteIndex(to, x, bpp, ReadIndex(from, x, bpp));
    }
    FWidth = width;
    FHeight = height;
    FRowBytes = layout.RowBytes;
    FBits = std::move(bits);
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    if (format == FPixelFormat) return;
    if (format == pfCustom) throw EInvalidGraphic("Invalid pixel format");
    // The screen format is stored as 24 bits: only the name changes.
    if (BitsPerPixel(format) == 24 && BitCount() == 24) {
        FPixelFormat = format;
        Changed();
        return;
    }
    const bool toIndexed = IsIndexed(format);
    const std::size_t maxEntries = toIndexed ? std::size_t(1) << BitsPerPixel(format) : 256;
    // A palette that fits the new format is kept; an indexed bitmap then keeps its indexes.
    const bool keepPalette = !FPalette.empty() && FPalette.size() <= maxEntries;
    std::vector<TRGBQuad> palette = keepPalette || !toIndexed ? FPalette : DefaultPalette(format);

    const TLayout layout = CheckedLayout(FWidth, FHeight, format);
    TPixelBytes bits = AllocateBits(layout.TotalBytes);
    const int fromBits = BitCount();
    const int toBits = BitsPerPixel(format);
    const bool fromIndexed = IsIndexed(FPixelFormat);
    std::unordered_map<TColor, unsigned> nearest;
    auto indexOf = [&](TColor rgb) {
        auto [it, added] = nearest.try_emplace(rgb, 0u);
        if (added) it->second = static_cast<unsigned>(std::max(NearestIndex(palette, rgb), 0));
        return it->second;
    };
    for (int y = 0; y < FHeight; ++y) {
        const std::uint8_t* from = FBits.data() + static_cast<std::size_t>(y) * FRowBytes;
        std::uint8_t* to = bits.data() + static_cast<std::size_t>(y) * layout.RowBytes;
        for (int x = 0; x < FWidth; ++x) {
            if (fromIndexed && toIndexed && keepPalette) {
                const unsigned index = ReadIndex(from, x, fromBits);
                WriteIndex(to, x, toBits, index < palette.size() ? index : indexOf(clBlack));
                continue;
            }
            const TColor rgb = Pixel(x, y);
            if (toIndexed)
                WriteIndex(to, x, toBits, indexOf(rgb));
            else
                WriteDirect(to, x, format, rgb);
        }
    }
    FPixelFormat = format;
    FRowBytes = layout.RowBytes;
    FBits = std::move(bits);
    FPalette = std::move(palette);
    Changed();
}

std::uint8_t* TBitmap::ScanLine(int y)
{
    if (y < 0 || y >= FHeight || FBits.empty()) throw EInvalidGraphicOperation("Scan line index out of range");
    return FBits.data() + static_cast<std::size_t>(y) * FRowBytes;
}

const std::uint8_t* TBitmap::ScanLine(int y) const
{
    if (y < 0 || y >= FHeight || FBits.empty()) throw EInvalidGraphicOperation("Scan line index out of range");
    return FBits.data() + static_cast<std::size_t>(y) * FRowBytes;
}

TColor TBitmap::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return CLR_INVALID;
    const std::uint8_t* row = FBits.data() + static_cast<std::size_t>(y) * FRowBytes;
    if (IsIndexed(FPixelFormat)) {
        const unsigned index = ReadIndex(row, x, BitCount());
        // An index past the colour table shows black, as a short table does on the platform.
        return index < FPalette.size() ? QuadToColor(FPalette[index]) : clBlack;
    }
    return ReadDirect(row, x, FPixelFormat);
}

void TBitmap::SetPixel(int x, int y, TColor color)
{
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
    std::uint8_t* row = FBits.data() + static_cast<std::size_t>(y) * FRowBytes;
    const TColor rgb = ColorToRGB(color) & 0x00FFFFFF;
    if (IsIndexed(FPixelFormat))
        WriteIndex(row, x, BitCount(), static_cast<unsigned>(std::max(NearestIndex(FPalette, rgb), 0)));
    else
        WriteDirect(row, x, FPixelFormat, rgb);
}

void TBitmap::SetPalette(std::vector<TRGBQuad> palette)
{
    const std::size_t maxEntries = IsIndexed(FPixelFormat) ? std::size_t(1) << BitCount() : 256;
    if (palette.size() > maxEntries)
        throw EInvalidGraphic("A palette of " + std::to_string(palette.size()) + " colours does not fit the bitmap");
    // Indexed bitmaps always have a colour table.
    if (palette.empty() && IsIndexed(FPixelFormat)) palette = DefaultPalette(FPixelFormat);
    if (palette == FPalette) return;
    FPalette = std::move(palette);
    Changed();
}

int TBitmap::NearestPaletteIndex(TColor color) const
{
    return NearestIndex(FPalette, ColorToRGB(color) & 0x00FFFFFF);
}

void TBitmap::SetTransparentMode(TTransparentMode mode)
{
    if (mode == FTransparentMode) return;
    if (mode == tmAuto) {
        SetTransparentColor(clDefault);
        return;
    }
    // Fixing the colour of an empty bitmap fixes white, the colour its first pixels get.
    SetTransparentColor(Empty() ? clWhite : TransparentColor());
}

TColor TBitmap::TransparentColor() const
{
    if (FTransparentMode == tmFixed) return FTransparentColor;
    if (Empty()) return clDefault;
    return Pixel(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor color)
{
    const TTransparentMode mode = color == clDefault ? tmAuto : tmFixed;
    const TColor value = color == clDefault ? clDefault : ColorToRGB(color) & 0x00FFFFFF;
    if (mode == FTransparentMode && value == FTransparentColor) return;
    FTransparentMode = mode;
    FTransparentColor = value;
    Changed();
}

void TBitmap::LoadFromStream(TStream& stream)
{
    const std::int64_t start = stream.Position();
    // One read of the known rest, never more than the stream holds.
    std::string bytes;
    const std::int64_t remaining = stream.Size() - start;
    if (remaining > 0) {
        bytes.resize(static_cast<std::size_t>(remaining));
        bytes.resize(stream.Read(bytes.data(), bytes.size()));
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    TBitmap decoded;
    const std::size_t used = bmp::ReadBmp(std::span(data, bytes.size()), decoded);
    // A BMP inside a longer stream leaves the stream just after itself.
    stream.SetPosition(start + static_cast<std::int64_t>(used));
    TakeImage(decoded);
}

void TBitmap::LoadFromBytes(std::span<const std::uint8_t> bytes)
{
    TBitmap decoded;
    bmp::ReadBmp(bytes, decoded);
    TakeImage(decoded);
}

void TBitmap::SaveToStream(TStream& stream)
{
    bmp::WriteBmp(*this, stream);
}

void TBitmap::TakeImage(TBitmap& decoded)
{
    FWidth = decoded.FWidth;
    FHeight = decoded.FHeight;
    FPixelFormat = decoded.FPixelFormat;
    FRowBytes = decoded.FRowBytes;
    FBits = std::move(decoded.FBits);
    FPalette = std::move(decoded.FPalette);
    Changed();
}

void TBitmap::Fill(TColor color)
{
    FillRows(FBits, FRowBytes, FWidth, FPixelFormat, FPalette, ColorToRGB(color) & 0x00FFFFFF);
    Changed();
}

TCanvas& TBitmap::Canvas()
{
    if (!FCanvas) FCanvas = std::make_unique<TCanvas>(*this);
    return *FCanvas;
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect)
{
    canvas.StretchDraw(rect, *this);
}

bool TBitmap::AssignFrom(const TGraphic& source)
{
    const auto* other = dynamic_cast<const TBitmap*>(&source);
    if (!other) return false;
    TPixelBytes bits = AllocateBits(other->FBits.size());
    std::copy(other->FBits.begin(), other->FBits.end(), bits.begin());
    FWidth = other->FWidth;
    FHeight = other->FHeight;
    FPixelFormat = other->FPixelFormat;
    FRowBytes = other->FRowBytes;
    FBits = std::move(bits);
    FPalette = other->FPalette;
    FTransparentMode = other->FTransparentMode;
    FTransparentColor = other->FTransparentColor;
    // One change notice: SetTransparent gives it when the flag differs.
    if (Transparent() != other->Transparent())
        SetTransparent(other->Transparent());
    else
        Changed();
    return true;
}

#include "platform/graphics/BmpCodec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/graphics/BitmapFormats.h"
#include "platform/graphics/TBitmap.h"

using namespace bitmap_detail;

namespace {

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;

constexpr std::size_t FileHeaderSize = 14;

[[noreturn]] void Fail(const std::string& reason)
{
    throw EInvalidGraphic("Bitmap image is not valid: " + reason);
}

// Little-endian reads that check the bounds of the file at every field.
class TBytes {
public:
    explicit TBytes(std::span<const std::uint8_t> bytes) : FBytes(bytes) {}

    std::size_t Size() const { return FBytes.size(); }
    bool Holds(std::size_t offset, std::size_t count) const
    {
        return offset <= FBytes.size() && count <= FBytes.size() - offset;
    }
    void Need(std::size_t offset, std::size_t count, const char* what) const
    {
        if (!Holds(offset, count)) Fail(std::string("the file ends inside the ") + what);
    }
    std::uint8_t U8(std::size_t offset) const { return FBytes[offset]; }
    std::uint16_t U16(std::size_t offset) const
    {
        return static_cast<std::uint16_t>(FBytes[offset] | (FBytes[offset + 1] << 8));
    }
    std::uint32_t U32(std::size_t offset) const
    {
        return std::uint32_t(FBytes[offset]) | (std::uint32_t(FBytes[offset + 1]) << 8)
               | (std::uint32_t(FBytes[offset + 2]) << 16) | (std::uint32_t(FBytes[offset + 3]) << 24);
    }
    std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
    const std::uint8_t* At(std::size_t offset) const { return FBytes.data() + offset; }

private:
    std::span<const std::uint8_t> FBytes;
};

// One colour channel of a BI_BITFIELDS pixel.
struct TChannel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;

    std::uint8_t Of(std::uint32_t pixel) const { return ExpandChannel((pixel & Mask) >> Shift, Bits); }
};

TChannel MakeChannel(std::uint32_t mask, int pixelBits, const char* name)
{
    if (mask == 0) return {};
    if (pixelBits < 32 && (mask >> pixelBits) != 0) Fail(std::string("the ") + name + " mask lies outside the pixel");
    const int shift = std::countr_zero(mask);
    const std::uint64_t field = std::uint64_t(mask) >> shift;
    if ((field & (field + 1)) != 0) Fail(std::string("the ") + name + " mask is not contiguous");
    return {mask, shift, std::popcount(mask)};
}

struct THeader {
    std::int64_t Width = 0;
    std::int64_t Height = 0;  // rows, positive
    bool TopDown = false;
    int Bits = 0;
    std::uint32_t Compression = BI_RGB;
    std::uint32_t ImageSize = 0;
    TChannel Red, Green, Blue;
    std::vector<TRGBQuad> Palette;
    std::size_t DataStart = 0;
};

THeader ReadHeader(const TBytes& file)
{
    file.Need(0, FileHeaderSize + 4, "file header");
    if (file.U8(0) != 'B' || file.U8(1) != 'M') Fail("the file does not start with \"BM\"");
    const std::uint32_t offBits = file.U32(10);
    const std::uint32_t infoSize = file.U32(14);
    // Core, info, the two Adobe extensions with masks inside, V4 and V5.
    if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124)
        Fail("unknown header size " + std::to_string(infoSize));
    file.Need(FileHeaderSize, infoSize, "bitmap header");

    THeader h;
    std::uint32_t colorsUsed = 0;
    std::size_t entrySize = 4;
    std::int64_t height = 0;
    if (infoSize == 12) {
        h.Width = file.U16(18);
        height = file.U16(20);
        h.Bits = file.U16(24);
        entrySize = 3;
    } else {
        h.Width = file.I32(18);
        height = file.I32(22);
        h.Bits = file.U16(28);
        h.Compression = file.U32(30);
        h.ImageSize = file.U32(34);
        colorsUsed = file.U32(46);
    }
    if (h.Bits != 1 && h.Bits != 4 && h.Bits != 8 && h.Bits != 16 && h.Bits != 24 && h.Bits != 32)
        Fail("unsupported bits per pixel " + std::to_string(h.Bits));
    if (h.Width < 0) Fail("negative width");
    h.TopDown = height < 0;
    h.Height = height < 0 ? -height : height;
    if (h.Height > std::numeric_limits<int>::max()) Fail("height out of range");

    switch (h.Compression) {
    case BI_RGB:
        break;
    case BI_RLE8:
        if (h.Bits != 8) Fail("RLE8 needs 8 bits per pixel");
        break;
    case BI_RLE4:
        if (h.Bits != 4) Fail("RLE4 needs 4 bits per pixel");
        break;
    case BI_BITFIELDS:
        if (h.Bits != 16 && h.Bits != 32) Fail("bit fields need 16 or 32 bits per pixel");
        break;
    default:
        Fail("unsupported compression " + std::to_string(h.Compression));
    }
    if (h.TopDown && (h.Compression == BI_RLE8 || h.Compression == BI_RLE4))
        Fail("a run-length coded bitmap cannot be top-down");

    std::size_t pos = FileHeaderSize + infoSize;
    if (h.Compression == BI_BITFIELDS) {
        // A plain info header is followed by the masks; the longer ones hold them.
        std::size_t masks = FileHeaderSize + 40;
        if (infoSize == 40) {
            file.Need(pos, 12, "colour masks");
            pos += 12;
        }
        h.Red = MakeChannel(file.U32(masks), h.Bits, "red");
        h.Green = MakeChannel(file.U32(masks + 4), h.Bits, "green");
        h.Blue = MakeChannel(file.U32(masks + 8), h.Bits, "blue");
    }

    std::uint64_t entries = colorsUsed != 0 ? colorsUsed : (h.Bits <= 8 ? 1u << h.Bits : 0u);
    if (h.Bits <= 8 && entries > (1u << h.Bits))
        Fail(std::to_string(entries) + " palette entries for " + std::to_string(h.Bits) + " bits per pixel");
    if (entries > 256) Fail(std::to_string(entries) + " palette entries");
    if (offBits != 0) {
        if (offBits < pos) Fail("the pixel data starts inside the header");
        // Writers that store fewer colours than they declare say so by the
        // offset of the pixels; peers read what lies before it, and so do we.
        entries = std::min<std::uint64_t>(entries, (offBits - pos) / entrySize);
    }
    file.Need(pos, entries * entrySize, "palette");
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t at = pos + i * entrySize;
        h.Palette.push_back({file.U8(at), file.U8(at + 1), file.U8(at + 2), 0});
    }
    pos += entries * entrySize;
    h.DataStart = offBits != 0 ? offBits : pos;
    if (h.DataStart > file.Size()) Fail("the pixel data offset lies past the end of the file");
    return h;
}

bool IsMasks(const THeader& h, std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return h.Red.Mask == r && h.Green.Mask == g && h.Blue.Mask == b;
}

// The format the pixels keep in memory: the file's own where we store it
// bit for bit, 24 bits for bit fields we do not store.
TPixelFormat TargetFormat(const THeader& h)
{
    switch (h.Bits) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 16:
        if (h.Compression == BI_RGB || IsMasks(h, 0x7C00, 0x03E0, 0x001F)) return pf15bit;
        if (IsMasks(h, 0xF800, 0x07E0, 0x001F)) return pf16bit;
        return pf24bit;
    case 24:
        return pf24bit;
    default:
        if (h.Compression == BI_RGB || IsMasks(h, 0xFF0000, 0x00FF00, 0x0000FF)) return pf32bit;
        return pf24bit;
    }
}

std::size_t ReadUncompressed(const TBytes& file, const THeader& h, TBitmap& target)
{
    const std::uint64_t fileRow = RowBytes(static_cast<std::uint64_t>(h.Width), h.Bits);
    const std::uint64_t available = file.Size() - h.DataStart;
    if (fileRow > available / static_cast<std::uint64_t>(h.Height))
        Fail("the file holds less pixel data than its size needs");
    const std::uint64_t used = fileRow * static_cast<std::uint64_t>(h.Height);

    target.SetSize(static_cast<int>(h.Width), static_cast<int>(h.Height));
    const bool raw = BitsPerPixel(target.PixelFormat()) == h.Bits;
    const auto rows = static_cast<int>(h.Height);
    const auto width = static_cast<int>(h.Width);
    for (int i = 0; i < rows; ++i) {
        const std::uint8_t* from = file.At(h.DataStart + static_cast<std::size_t>(i) * fileRow);
        std::uint8_t* to = target.ScanLine(h.TopDown ? i : rows - 1 - i);
        if (raw) {
            std::memcpy(to, from, target.RowBytes());
            ClearPadding(to, target.RowBytes(), static_cast<std::uint64_t>(h.Width), h.Bits);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel =
                h.Bits == 16 ? std::uint32_t(from[2 * x] | (from[2 * x + 1] << 8))
                             : std::uint32_t(from[4 * x]) | (std::uint32_t(from[4 * x + 1]) << 8)
                                   | (std::uint32_t(from[4 * x + 2]) << 16) | (std::uint32_t(from[4 * x + 3]) << 24);
            WriteDirect(to, x, pf24bit, RGB(h.Red.Of(pixel), h.Green.Of(pixel), h.Blue.Of(pixel)));
        }
    }
    return h.DataStart + static_cast<std::size_t>(used);
}

std::size_t ReadRunLength(const TBytes& file, const THeader& h, TBitmap& target)
{
    std::size_t end = file.Size();
    if (h.ImageSize != 0 && h.ImageSize <= end - h.DataStart) end = h.DataStart + h.ImageSize;
    // Runs, skips and row ends let a few bytes describe a large picture, and
    // peers allocate whatever the header asks for. We refuse a picture of
    // more than 4096 pixels per byte of coded data (a megapixel at least), so
    // a tiny file cannot make us allocate gigabytes.
    const std::uint64_t pixels = static_cast<std::uint64_t>(h.Width) * static_cast<std::uint64_t>(h.Height);
    const std::uint64_t limit = std::max<std::uint64_t>(std::uint64_t(1) << 20, std::uint64_t(end - h.DataStart) * 4096);
    if (pixels > limit) Fail("the run-length data is too short for the picture's size");

    target.SetSize(static_cast<int>(h.Width), static_cast<int>(h.Height));
    // Pixels the runs do not reach keep index 0.
    std::ranges::fill(target.Bits(), std::uint8_t(0));

    const bool rle8 = h.Compression == BI_RLE8;
    const std::int64_t width = h.Width;
    const std::int64_t rows = h.Height;
    std::int64_t x = 0;
    std::int64_t y = 0;  // counted from the bottom row, as the file stores them
    auto checkRun = [&](std::int64_t count) {
        if (y >= rows) Fail("a run lies past the last row");
        if (x + count > width) Fail("a run lies past the end of its row");
    };
    auto put = [&](std::int64_t at, unsigned index) {
        std::uint8_t* row = target.ScanLine(static_cast<int>(rows - 1 - y));
        WriteIndex(row, static_cast<int>(at), h.Bits, index);
    };

    std::size_t p = h.DataStart;
    while (end - p >= 2) {
        const unsigned count = file.U8(p);
        const unsigned code = file.U8(p + 1);
        p += 2;
        if (count > 0) {
            checkRun(count);
            for (unsigned i = 0; i < count; ++i)
                put(x + i, rle8 ? code : (i % 2 == 0 ? code >> 4 : code & 0x0F));
            x += count;
        } else if (code == 0) {  // end of line
            x = 0;
            ++y;
        } else if (code == 1) {  // end of bitmap
            break;
        } else if (code == 2) {  // delta
            if (end - p < 2) {
                p = end;
                break;
            }
            x += file.U8(p);
            y += file.U8(p + 1);
            p += 2;
            if (x > width) Fail("a skip lies past the end of its row");
        } else {  // absolute run of `code` pixels, padded to a word
            checkRun(code);
            const std::size_t bytes = rle8 ? code : (code + 1) / 2;
            const std::size_t present = std::min(bytes, end - p);
            for (unsigned i = 0; i < code; ++i) {
                const std::size_t at = rle8 ? i : i / 2;
                if (at >= present) break;
                const unsigned byte = file.U8(p + at);
                put(x + i, rle8 ? byte : (i % 2 == 0 ? byte >> 4 : byte & 0x0F));
            }
            if (present < bytes) {
                p = end;
                break;
            }
            p += std::min((bytes + 1) & ~std::size_t(1), end - p);
            x += code;
        }
    }
    return p;
}

}  // namespace

namespace bmp {

std::size_t ReadBmp(std::span<const std::uint8_t> bytes, TBitmap& target)
{
    const TBytes file(bytes);
    const THeader h = ReadHeader(file);
    target.SetPixelFormat(TargetFormat(h));
    target.SetPalette(h.Palette);
    if (h.Width == 0 || h.Height == 0) {
        target.SetSize(static_cast<int>(h.Width), static_cast<int>(h.Height));
        return h.DataStart;
    }
    if (h.Compression == BI_RLE8 || h.Compression == BI_RLE4) return ReadRunLength(file, h, target);
    return ReadUncompressed(file, h, target);
}

}  // namespace bmp

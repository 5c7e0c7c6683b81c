#include "platform/graphics/BmpCodec.h"

#include <vector>

#include "platform/core/TStream.h"
#include "platform/graphics/BitmapFormats.h"
#include "platform/graphics/TBitmap.h"

using namespace bitmap_detail;

namespace {

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

namespace bmp {

void WriteBmp(const TBitmap& source, TStream& stream)
{
    const TPixelFormat format = source.PixelFormat();
    const int bits = source.BitCount();
    const bool fields = format == pf15bit || format == pf16bit;
    const std::size_t colors = IsIndexed(format) ? source.Palette().size() : 0;
    const std::size_t imageBytes = source.Bits().size();
    // The bitmap's size check keeps every count far below 4 GiB.
    const auto dataStart = static_cast<std::uint32_t>(14 + 40 + (fields ? 12 : 0) + colors * 4);

    std::vector<std::uint8_t> head;
    head.reserve(dataStart);
    head.push_back('B');
    head.push_back('M');
    Put32(head, dataStart + static_cast<std::uint32_t>(imageBytes));
    Put32(head, 0);  // reserved
    Put32(head, dataStart);

    Put32(head, 40);
    Put32(head, static_cast<std::uint32_t>(source.Width()));
    Put32(head, static_cast<std::uint32_t>(source.Height()));  // positive: bottom-up
    Put16(head, 1);  // planes
    Put16(head, static_cast<std::uint32_t>(bits));
    Put32(head, fields ? BI_BITFIELDS : BI_RGB);
    Put32(head, static_cast<std::uint32_t>(imageBytes));
    Put32(head, 0);  // pixels per metre, horizontally and vertically: unknown
    Put32(head, 0);
    Put32(head, static_cast<std::uint32_t>(colors));
    Put32(head, 0);  // all colours important

    if (format == pf15bit) {
        Put32(head, 0x7C00);
        Put32(head, 0x03E0);
        Put32(head, 0x001F);
    } else if (format == pf16bit) {
        Put32(head, 0xF800);
        Put32(head, 0x07E0);
        Put32(head, 0x001F);
    }
    for (std::size_t i = 0; i < colors; ++i) {
        const TRGBQuad& q = source.Palette()[i];
        head.push_back(q.rgbBlue);
        head.push_back(q.rgbGreen);
        head.push_back(q.rgbRed);
        head.push_back(0);
    }
    stream.WriteBuffer(head);

    const std::size_t rowBytes = source.RowBytes();
    if (rowBytes == 0) return;
    const std::span<const std::uint8_t> pixels = source.Bits();
    for (int y = source.Height() - 1; y >= 0; --y)
        stream.WriteBuffer(pixels.subspan(static_cast<std::size_t>(y) * rowBytes, rowBytes));
}

}  // namespace bmp

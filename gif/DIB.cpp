#include "gif/DIB.h"

#include <algorithm>
#include <new>

#include "gif/GIFPalettes.h"
#include "platform/core/Exceptions.h"

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;

void Put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

}  // namespace

void TDIB::CheckRow(int row) const
{
    if (row < 0 || row >= FHeight) throw EInvalidGraphicOperation("Bereichs\xFC" "berschreitung bei Zeilenindex");
}

TDIBReader::TDIBReader(TBitmap& source, TPixelFormat format)
    : TDIB(source.Width(), source.Height(), format), FSource(source)
{
    source.SetPixelFormat(format);
}

const std::uint8_t* TDIBReader::ScanLine(int row) const
{
    CheckRow(row);
    return FSource.ScanLine(row);
}

TDIBWriter::TDIBWriter(TBitmap& target, TPixelFormat format, int width, int height, HPALETTE palette)
    : TDIB(width, height, format), FTarget(target)
{
    if (width <= 0 || height <= 0) throw EInvalidGraphicOperation("Invalid image dimensions");
    if (format != pf8bit && format != pf24bit) throw EInvalidGraphicOperation("Unsupported PixelFormat");
    const int bits = format == pf8bit ? 8 : 24;
    const std::size_t tableSize = format == pf8bit ? 256 * 4 : 0;
    FRowBytes = (std::size_t(width) * std::size_t(bits) + 31) / 32 * 4;
    FPixelOffset = FileHeaderSize + InfoHeaderSize + tableSize;
    const std::uint64_t pixelBytes = std::uint64_t(FRowBytes) * std::uint64_t(height);
    if (pixelBytes > TBitmap::MaxBitmapBytes) throw EOutOfMemory("Failed to allocate memory for GIF DIB");
    try {
        FFile.assign(FPixelOffset + std::size_t(pixelBytes), 0);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Failed to allocate memory for GIF DIB");
    }

    std::uint8_t* file = FFile.data();
    file[0] = 'B';
    file[1] = 'M';
    Put32(file + 2, std::uint32_t(FFile.size()));
    Put32(file + 10, std::uint32_t(FPixelOffset));
    std::uint8_t* info = file + FileHeaderSize;
    Put32(info, InfoHeaderSize);
    Put32(info + 4, std::uint32_t(width));
    Put32(info + 8, std::uint32_t(height));
    Put16(info + 12, 1);
    Put16(info + 14, std::uint32_t(bits));
    Put32(info + 20, std::uint32_t(pixelBytes));
    if (format == pf8bit) {
        std::vector<PALETTEENTRY> entries = PaletteEntries(palette);
        if (entries.size() > 256) entries.resize(256);
        Put32(info + 32, 256);
        Put32(info + 36, std::uint32_t(entries.size()));
        std::uint8_t* table = info + InfoHeaderSize;
        for (const PALETTEENTRY& e : entries) {
            table[0] = e.peBlue;
            table[1] = e.peGreen;
            table[2] = e.peRed;
            table += 4;
        }
    }
}

std::uint8_t* TDIBWriter::ScanLine(int row)
{
    CheckRow(row);
    if (FFile.empty()) throw EInvalidGraphicOperation("Image has no DIB");
    return FFile.data() + FPixelOffset + std::size_t(FHeight - 1 - row) * FRowBytes;
}

void TDIBWriter::Store()
{
    if (FFile.empty()) throw EInvalidGraphicOperation("Image has no DIB");
    FTarget.LoadFromBytes(FFile);
    FFile = {};
}

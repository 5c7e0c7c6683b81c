#include "platform/graphics/IcoCodec.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/graphics/BitmapFormats.h"

using namespace bitmap_detail;

namespace {

constexpr std::size_t DirectorySize = 6;
constexpr std::size_t EntrySize = 16;
constexpr std::size_t InfoHeaderSize = 40;

[[noreturn]] void Fail(const std::string& reason)
{
    throw EInvalidGraphic("Icon image is not valid: " + reason);
}

std::string EntryName(int index) { return "entry " + std::to_string(index); }

// Little-endian fields; the caller has checked that they lie inside.
std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at)
{
    return std::uint32_t(U16(b, at)) | (std::uint32_t(U16(b, at + 2)) << 16);
}

struct TEntry {
    int Width = 0;   // 1..256
    int Height = 0;  // 1..256
    int ColorCount = 0;
    int BitCount = 0;
    std::uint32_t Size = 0;
    std::uint32_t Offset = 0;
};

std::vector<TEntry> ReadDirectory(std::span<const std::uint8_t> file)
{
    if (file.size() < DirectorySize) Fail("the file ends inside the icon directory");
    if (U16(file, 0) != 0 || U16(file, 2) != 1)
        Fail("the file does not start as an icon file (reserved 0, type 1)");
    const std::size_t count = U16(file, 4);
    if (count == 0) Fail("the directory holds no image");
    const std::size_t directoryEnd = DirectorySize + count * EntrySize;
    if (directoryEnd > file.size())
        Fail("the directory (" + std::to_string(count) + " entries) runs past the end of the file");

    std::vector<TEntry> entries;
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = DirectorySize + i * EntrySize;
        TEntry e;
        // A size byte of 0 stands for 256.
        e.Width = file[at] == 0 ? 256 : file[at];
        e.Height = file[at + 1] == 0 ? 256 : file[at + 1];
        e.ColorCount = file[at + 2];
        e.BitCount = U16(file, at + 6);
        e.Size = U32(file, at + 8);
        e.Offset = U32(file, at + 12);
        const std::string name = EntryName(static_cast<int>(i));
        if (e.Offset < directoryEnd) Fail(name + " starts inside the directory");
        if (e.Offset > file.size() || e.Size > file.size() - e.Offset)
            Fail(name + " (" + std::to_string(e.Size) + " bytes at " + std::to_string(e.Offset)
                 + ") lies past the end of the file of " + std::to_string(file.size()) + " bytes");
        entries.push_back(e);
    }
    return entries;
}

// Bits per pixel as the directory tells them; many writers leave the field 0
// and give only a colour count (0 for 256 colours or more).
int DirectoryBits(const TEntry& e)
{
    if (e.BitCount != 0) return e.BitCount;
    if (e.ColorCount == 0) return 8;
    return e.ColorCount <= 2 ? 1 : e.ColorCount <= 16 ? 4 : 8;
}

// The platform loads an icon picture at its large icon size, in the most
// colours the screen shows (a true-colour screen here), and falls back to the
// first image.
int ChooseEntry(const std::vector<TEntry>& entries)
{
    int chosen = -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TEntry& e = entries[i];
        if (e.Width != ico::PreferredSize || e.Height != ico::PreferredSize) continue;
        if (chosen < 0 || DirectoryBits(e) > DirectoryBits(entries[static_cast<std::size_t>(chosen)]))
            chosen = static_cast<int>(i);
    }
    return chosen < 0 ? 0 : chosen;
}

TPixelFormat FormatOf(int bits)
{
    switch (bits) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 24:
        return pf24bit;
    default:
        return pf32bit;
    }
}

// Copies bottom-up rows of the file's layout into the bitmap, clearing their padding.
void ReadRows(std::span<const std::uint8_t> rows, TBitmap& target)
{
    const int height = target.Height();
    const std::size_t rowBytes = target.RowBytes();
    for (int i = 0; i < height; ++i) {
        std::uint8_t* to = target.ScanLine(height - 1 - i);
        std::memcpy(to, rows.data() + static_cast<std::size_t>(i) * rowBytes, rowBytes);
        ClearPadding(to, rowBytes, static_cast<std::uint64_t>(target.Width()), target.BitCount());
    }
}

ico::TIconImage ReadImage(std::span<const std::uint8_t> file, const TEntry& entry, int index)
{
    const std::string name = EntryName(index);
    const auto data = file.subspan(entry.Offset, entry.Size);
    static constexpr std::uint8_t PngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (data.size() >= sizeof PngSignature && std::memcmp(data.data(), PngSignature, sizeof PngSignature) == 0)
        Fail(name + " is a PNG image; only bitmap icon images are read");
    if (data.size() < InfoHeaderSize) Fail(name + " ends inside its bitmap header");
    const std::uint32_t headerSize = U32(data, 0);
    if (headerSize != InfoHeaderSize) Fail(name + " has a bitmap header of " + std::to_string(headerSize) + " bytes");
    const auto width = static_cast<std::int32_t>(U32(data, 4));
    const auto doubleHeight = static_cast<std::int32_t>(U32(data, 8));
    const int bits = U16(data, 14);
    const std::uint32_t compression = U32(data, 16);
    const std::uint32_t colorsUsed = U32(data, 32);

    // The bitmap's height counts the colour rows and the mask rows.
    if (width != entry.Width || doubleHeight != 2 * entry.Height)
        Fail(name + " is " + std::to_string(entry.Width) + " x " + std::to_string(entry.Height)
             + " in the directory but its bitmap header says " + std::to_string(width) + " x "
             + std::to_string(doubleHeight) + " (colour and mask rows)");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        Fail(name + " has " + std::to_string(bits) + " bits per pixel; 1, 4, 8, 24 and 32 are read");
    if (compression != 0) Fail(name + " is compressed (" + std::to_string(compression) + ")");

    std::uint64_t colors = 0;
    if (bits <= 8) {
        const std::uint32_t most = 1u << bits;
        if (colorsUsed > most)
            Fail(name + " declares " + std::to_string(colorsUsed) + " colours for " + std::to_string(bits)
                 + " bits per pixel");
        colors = colorsUsed != 0 ? colorsUsed : most;
    }
    // Above 8 bits a colour count still puts a table, unused here, before the pixels.
    const std::uint64_t tableEntries = bits <= 8 ? colors : colorsUsed;
    const auto w = static_cast<std::uint64_t>(width);
    const auto h = static_cast<std::uint64_t>(entry.Height);
    const std::uint64_t colorRows = RowBytes(w, bits) * h;
    const std::uint64_t maskRows = RowBytes(w, 1) * h;
    const std::uint64_t needed = InfoHeaderSize + tableEntries * 4 + colorRows + maskRows;
    if (needed > data.size())
        Fail(name + " needs " + std::to_string(needed) + " bytes for " + std::to_string(width) + " x "
             + std::to_string(entry.Height) + " pixels of " + std::to_string(bits) + " bits but holds "
             + std::to_string(data.size()));

    std::vector<TRGBQuad> palette;
    for (std::uint64_t i = 0; i < colors; ++i) {
        const std::size_t at = InfoHeaderSize + static_cast<std::size_t>(i) * 4;
        palette.push_back({data[at], data[at + 1], data[at + 2], 0});
    }
    const std::size_t colorStart = InfoHeaderSize + static_cast<std::size_t>(tableEntries) * 4;

    ico::TIconImage result;
    result.Entry = index;
    result.Image = std::make_unique<TBitmap>();
    result.Image->SetPixelFormat(FormatOf(bits));
    if (!palette.empty()) result.Image->SetPalette(std::move(palette));
    result.Image->SetSize(entry.Width, entry.Height);
    ReadRows(data.subspan(colorStart, static_cast<std::size_t>(colorRows)), *result.Image);

    result.Mask = std::make_unique<TBitmap>(entry.Width, entry.Height, pf1bit);
    result.Mask->SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
    ReadRows(data.subspan(colorStart + static_cast<std::size_t>(colorRows), static_cast<std::size_t>(maskRows)),
             *result.Mask);
    return result;
}

}  // namespace

namespace ico {

TIconImage ReadIco(std::span<const std::uint8_t> file)
{
    const std::vector<TEntry> entries = ReadDirectory(file);
    const int chosen = ChooseEntry(entries);
    return ReadImage(file, entries[static_cast<std::size_t>(chosen)], chosen);
}

}  // namespace ico

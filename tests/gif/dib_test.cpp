#include "gif/DIB.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "gif/GIFPalettes.h"
#include "platform/core/Exceptions.h"
#include "tests/support/TempFolder.h"

namespace {

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

template <typename E>
void ExpectError(const std::function<void()>& action, const std::string& text)
{
    try {
        action();
        ADD_FAILURE() << "no error, expected \"" << text << "\"";
    } catch (const E& e) {
        EXPECT_EQ(std::string(e.what()), text);
    }
}

const std::string RowError = "Bereichs\xFC" "berschreitung bei Zeilenindex";

TEST(DIBWriter, RefusesSizesFormatsAndRowsWithItsTexts)
{
    TBitmap target;
    ExpectError<EInvalidGraphicOperation>([&] { TDIBWriter(target, pf8bit, 0, 5, nullptr); }, "Invalid image dimensions");
    ExpectError<EInvalidGraphicOperation>([&] { TDIBWriter(target, pf8bit, 5, 0, nullptr); }, "Invalid image dimensions");
    ExpectError<EInvalidGraphicOperation>([&] { TDIBWriter(target, pf8bit, -3, 5, nullptr); }, "Invalid image dimensions");
    for (const TPixelFormat format : {pf1bit, pf4bit, pf15bit, pf16bit, pf32bit, pfDevice})
        ExpectError<EInvalidGraphicOperation>([&] { TDIBWriter(target, format, 5, 5, nullptr); },
                                              "Unsupported PixelFormat");
    ExpectError<EOutOfMemory>([&] { TDIBWriter(target, pf24bit, 1 << 30, 1 << 30, nullptr); },
                              "Failed to allocate memory for GIF DIB");

    TDIBWriter writer(target, pf8bit, 4, 3, nullptr);
    for (const int row : {-1, 3}) ExpectError<EInvalidGraphicOperation>([&] { writer.ScanLine(row); }, RowError);
    writer.Store();
    ExpectError<EInvalidGraphicOperation>([&] { writer.ScanLine(0); }, "Image has no DIB");
    EXPECT_TRUE(target.Width() == 4 && target.Height() == 3);
}

TEST(DIBReader, ConvertsItsSourceAndChecksRows)
{
    TBitmap source(2, 2, pf32bit);
    source.SetPixel(1, 1, RGB(1, 2, 3));
    const TDIBReader reader(source, pf24bit);
    EXPECT_EQ(source.PixelFormat(), pf24bit);
    const std::uint8_t* row = reader.ScanLine(1);
    EXPECT_EQ(row[3], 3);
    EXPECT_EQ(row[4], 2);
    EXPECT_EQ(row[5], 1);
    ExpectError<EInvalidGraphicOperation>([&] { reader.ScanLine(2); }, RowError);
}

TEST(DIBWriter, WritesABottomUpFileWithTheFullColourTable)
{
    const PALETTEENTRY entries[] = {{10, 20, 30, PC_NOCOLLAPSE}, {40, 50, 60, PC_RESERVED}, {70, 80, 90, 0}};
    const TPaletteHandle palette(CreatePalette(entries));
    TBitmap target;
    TDIBWriter writer(target, pf8bit, 3, 2, palette.get());
    writer.ScanLine(0)[0] = 1;
    writer.ScanLine(1)[2] = 2;
    const std::span<const std::uint8_t> file = writer.FileBytes();
    const std::size_t offset = 14 + 40 + 1024;
    ASSERT_EQ(file.size(), offset + 2 * 4);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(U32(file, 2), file.size());
    EXPECT_EQ(U32(file, 6), 0u);
    EXPECT_EQ(U32(file, 10), offset);
    EXPECT_EQ(U32(file, 14), 40u);
    EXPECT_EQ(U32(file, 18), 3u);
    EXPECT_EQ(U32(file, 22), 2u);  // positive: bottom-up
    EXPECT_EQ(file[28], 8);
    EXPECT_EQ(U32(file, 30), 0u);  // uncompressed
    EXPECT_EQ(U32(file, 34), 8u);
    EXPECT_EQ(U32(file, 46), 256u);
    EXPECT_EQ(U32(file, 50), 3u);
    // Blue, green, red and a cleared flag; zeros after the palette.
    const std::vector<std::uint8_t> table(file.begin() + 54, file.begin() + 54 + 16);
    EXPECT_EQ(table, (std::vector<std::uint8_t>{30, 20, 10, 0, 60, 50, 40, 0, 90, 80, 70, 0, 0, 0, 0, 0}));
    // The top row is stored last.
    EXPECT_EQ(file[offset + 4], 1);
    EXPECT_EQ(file[offset + 2], 2);

    writer.Store();
    EXPECT_EQ(target.PixelFormat(), pf8bit);
    EXPECT_EQ(target.Palette().size(), 256u);
    EXPECT_EQ(target.Pixel(0, 0), RGB(40, 50, 60));
    EXPECT_EQ(target.Pixel(2, 1), RGB(70, 80, 90));
    EXPECT_EQ(target.Pixel(1, 1), RGB(10, 20, 30));
    EXPECT_TRUE(writer.FileBytes().empty());
}

std::string ImageMagick()
{
    for (const char* path : {"/usr/bin/convert", "/usr/local/bin/convert"})
        if (std::filesystem::exists(path)) return path;
    return {};
}

TEST(DIBWriter, ImageMagickReadsItsFilesAsWeDo)
{
    const std::string convert = ImageMagick();
    if (convert.empty()) GTEST_SKIP() << "ImageMagick's convert is not installed (Debian package imagemagick)";
    const testsupport::TempFolder folder;
    const std::string dir = folder.Path();
    std::vector<PALETTEENTRY> entries;
    for (int i = 0; i < 40; ++i) entries.push_back({BYTE(i * 6), BYTE(255 - i * 5), BYTE(i * 37), 0});
    const TPaletteHandle palette(CreatePalette(entries));
    for (const TPixelFormat format : {pf8bit, pf24bit}) {
        SCOPED_TRACE(format == pf8bit ? "8 bits" : "24 bits");
        // Odd widths pad their rows.
        const int width = 7, height = 5;
        TBitmap target;
        TDIBWriter writer(target, format, width, height, palette.get());
        std::vector<std::uint8_t> expected;
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = writer.ScanLine(y);
            for (int x = 0; x < width; ++x) {
                const int v = (x * 7 + y * 11) % 40;
                if (format == pf8bit) {
                    row[x] = std::uint8_t(v);
                    expected.insert(expected.end(), {entries[std::size_t(v)].peRed, entries[std::size_t(v)].peGreen,
                                                     entries[std::size_t(v)].peBlue});
                } else {
                    row[3 * x] = std::uint8_t(v);
                    row[3 * x + 1] = std::uint8_t(x * 30);
                    row[3 * x + 2] = std::uint8_t(y * 50);
                    expected.insert(expected.end(), {std::uint8_t(y * 50), std::uint8_t(x * 30), std::uint8_t(v)});
                }
            }
        }
        const std::string bmp = dir + "/out.bmp";
        {
            std::ofstream out(bmp, std::ios::binary);
            out.write(reinterpret_cast<const char*>(writer.FileBytes().data()), std::streamsize(writer.FileBytes().size()));
        }
        const std::string raw = dir + "/out.rgb";
        const std::string command = convert + " '" + bmp + "' -depth 8 'rgb:" + raw + "' 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        std::ifstream in(raw, std::ios::binary);
        const std::vector<std::uint8_t> theirs{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(theirs, expected);
        writer.Store();
        std::vector<std::uint8_t> ours;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const TColor c = target.Pixel(x, y);
                ours.insert(ours.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
            }
        EXPECT_EQ(ours, expected);
    }
}

}  // namespace

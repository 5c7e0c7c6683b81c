#include "platform/graphics/TBitmap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "bitmap_test_support.h"
#include "platform/core/Exceptions.h"

namespace {

using namespace bmptest;

struct RoundTripCase {
    const char* name;
    TPixelFormat format;
    std::size_t paletteSize;  // 0: the format's default (or none)
    TPixelFormat loadedFormat;
    int bits;
    std::uint32_t compression;
};

const RoundTripCase RoundTripCases[] = {
    {"Mono", pf1bit, 0, pf1bit, 1, 0},
    {"MonoOwnColours", pf1bit, 2, pf1bit, 1, 0},
    {"SixteenColours", pf4bit, 0, pf4bit, 4, 0},
    {"FiveColoursInFourBits", pf4bit, 5, pf4bit, 4, 0},
    {"Halftone", pf8bit, 0, pf8bit, 8, 0},
    {"TwoHundredColours", pf8bit, 200, pf8bit, 8, 0},
    {"Fifteen", pf15bit, 0, pf15bit, 16, 3},
    {"Sixteen", pf16bit, 0, pf16bit, 16, 3},
    {"TrueColour", pf24bit, 0, pf24bit, 24, 0},
    {"Device", pfDevice, 0, pf24bit, 24, 0},
    {"ThirtyTwo", pf32bit, 0, pf32bit, 32, 0},
};

class BmpRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(BmpRoundTrip, WriteThenReadGivesTheSameBitmap)
{
    const RoundTripCase& c = GetParam();
    // 13 x 7: odd, so every format has row padding, and 1 and 4 bits a partial byte.
    TBitmap source(13, 7, c.format);
    if (c.paletteSize) source.SetPalette(DistinctPalette(c.paletteSize));
    FillRandom(source, 42);

    const Bytes file = Save(source);
    auto loaded = Load(file);
    EXPECT_EQ(loaded->PixelFormat(), c.loadedFormat);
    EXPECT_EQ(loaded->Width(), 13);
    EXPECT_EQ(loaded->Height(), 7);
    EXPECT_EQ(loaded->Palette(), source.Palette());
    EXPECT_EQ(Pixels(*loaded), Pixels(source));
    // Bit for bit, the reserved byte of 32-bit pixels included.
    EXPECT_TRUE(std::ranges::equal(loaded->Bits(), source.Bits()));

    // The header says what a reader elsewhere needs.
    const std::size_t colours = c.format == pf1bit || c.format == pf4bit || c.format == pf8bit
                                    ? source.Palette().size() : 0;
    const std::size_t masks = c.compression == 3 ? 12 : 0;
    EXPECT_EQ(Peek32(file, 2), file.size());
    EXPECT_EQ(Peek32(file, 10), 14 + 40 + masks + colours * 4);
    EXPECT_EQ(Peek32(file, 14), 40u);
    EXPECT_EQ(Peek32(file, 22), 7u);  // positive: bottom-up
    EXPECT_EQ(Peek16(file, 28), static_cast<std::uint32_t>(c.bits));
    EXPECT_EQ(Peek32(file, 30), c.compression);
    EXPECT_EQ(Peek32(file, 34), source.Bits().size());
    EXPECT_EQ(Peek32(file, 46), colours);
    // The first row in the file is the bottom row.
    const std::size_t offset = Peek32(file, 10);
    EXPECT_TRUE(std::equal(file.begin() + static_cast<std::ptrdiff_t>(offset),
                           file.begin() + static_cast<std::ptrdiff_t>(offset + source.RowBytes()),
                           source.ScanLine(6)));
}

INSTANTIATE_TEST_SUITE_P(Formats, BmpRoundTrip, ::testing::ValuesIn(RoundTripCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BmpWrite, BitFieldMasks)
{
    for (auto [format, r, g, b] : {std::tuple{pf15bit, 0x7C00u, 0x03E0u, 0x001Fu},
                                   std::tuple{pf16bit, 0xF800u, 0x07E0u, 0x001Fu}}) {
        TBitmap bitmap(1, 1, format);
        const Bytes file = Save(bitmap);
        EXPECT_EQ(Peek32(file, 54), r);
        EXPECT_EQ(Peek32(file, 58), g);
        EXPECT_EQ(Peek32(file, 62), b);
    }
}

TEST(BmpWrite, EmptyBitmapRoundTrips)
{
    TBitmap empty;
    const Bytes file = Save(empty);
    EXPECT_EQ(file.size(), 54u);
    auto loaded = Load(file);
    EXPECT_TRUE(loaded->Empty());

    TBitmap tall(0, 5, pf8bit);
    auto loadedTall = Load(Save(tall));
    EXPECT_EQ(loadedTall->Height(), 5);
    EXPECT_EQ(loadedTall->PixelFormat(), pf8bit);
}

TEST(BmpWrite, SaveToFileAndLoadFromFile)
{
    TempDir dir;
    TBitmap source(5, 3, pf24bit);
    FillRandom(source, 1);
    source.SaveToFile(dir / "a.bmp");
    TBitmap loaded;
    loaded.LoadFromFile(dir / "a.bmp");
    EXPECT_EQ(Pixels(loaded), Pixels(source));
}

TEST(BmpFiles, ErrorsNameTheFileAndKeepTheirClass)
{
    TempDir dir;
    const std::string broken = dir / "broken.bmp";
    {
        std::ofstream out(broken, std::ios::binary);
        out << "BM not really a bitmap";
    }
    TBitmap b;
    try {
        b.LoadFromFile(broken);
        FAIL() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(typeid(e), typeid(EInvalidGraphic));
        EXPECT_EQ(std::string(e.what()).rfind(broken + ": Bitmap image is not valid", 0), 0u) << e.what();
    }
    EXPECT_THROW(b.LoadFromFile(dir / "missing.bmp"), EFOpenError);
    EXPECT_THROW(b.SaveToFile(dir / "no/such/folder/x.bmp"), EFCreateError);
}

// ---- ImageMagick reads what we write

std::string FindImageMagick()
{
    for (const char* candidate : {"/usr/bin/convert", "/usr/local/bin/convert"}) {
        std::FILE* pipe = popen((std::string(candidate) + " -version 2>/dev/null").c_str(), "r");
        if (!pipe) continue;
        char line[256] = {};
        const bool found = std::fgets(line, sizeof line, pipe) && std::string(line).find("ImageMagick") != std::string::npos;
        pclose(pipe);
        if (found) return candidate;
    }
    return {};
}

// A binary PPM (P6, maxval 255) as colours, top row first.
std::vector<TColor> ReadPpm(const std::string& path, int& width, int& height)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> width >> height >> maxval;
    in.get();
    std::vector<TColor> colors;
    if (magic != "P6" || maxval != 255) return colors;
    for (int i = 0; i < width * height; ++i) {
        const int r = in.get(), g = in.get(), b = in.get();
        colors.push_back(RGB(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)));
    }
    return colors;
}

TEST(BmpPeer, ImageMagickReadsTheSamePixels)
{
    const std::string convert = FindImageMagick();
    if (convert.empty()) GTEST_SKIP() << "ImageMagick's convert is not installed (Debian package imagemagick)";
    for (const RoundTripCase& c : RoundTripCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        TBitmap source(13, 7, c.format);
        if (c.paletteSize) source.SetPalette(DistinctPalette(c.paletteSize));
        FillRandom(source, 7);
        source.SaveToFile(dir / "in.bmp");
        const std::string command = convert + " " + dir / "in.bmp" + " -depth 8 ppm:" + dir / "out.ppm" + " 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        int width = 0, height = 0;
        const std::vector<TColor> theirs = ReadPpm(dir / "out.ppm", width, height);
        ASSERT_EQ(width, 13);
        ASSERT_EQ(height, 7);
        const std::vector<TColor> ours = Pixels(source);
        for (std::size_t i = 0; i < ours.size(); ++i) {
            // 5- and 6-bit channels scale up with a rounding of their own there.
            const int tolerance = c.bits == 16 ? 1 : 0;
            for (int shift : {0, 8, 16}) {
                const int a = static_cast<int>((ours[i] >> shift) & 0xFF);
                const int b = static_cast<int>((theirs[i] >> shift) & 0xFF);
                ASSERT_LE(std::abs(a - b), tolerance) << "pixel " << i << " channel " << shift / 8;
            }
        }
    }
}

}  // namespace

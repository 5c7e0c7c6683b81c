// Hand-made BMP files, one per header kind and coding the writer never
// produces, each with the pixels it must give.

#include "platform/graphics/TBitmap.h"

#include <gtest/gtest.h>

#include "bitmap_test_support.h"

namespace {

using namespace bmptest;

constexpr TColor Black = clBlack;
constexpr TColor Red = clRed;
constexpr TColor Green = clLime;
constexpr TColor Blue = clBlue;
constexpr TColor White = clWhite;

// 4 x 4, RLE8, four colours.
const std::uint8_t Rle8File[] = {
    'B', 'M',                // magic
    0x5A, 0, 0, 0,           // file size 90
    0, 0, 0, 0,              // reserved
    0x46, 0, 0, 0,           // pixel data at 70
    40, 0, 0, 0,             // BITMAPINFOHEADER
    4, 0, 0, 0,              // width 4
    4, 0, 0, 0,              // height 4, bottom-up
    1, 0,                    // planes
    8, 0,                    // 8 bits per pixel
    1, 0, 0, 0,              // BI_RLE8
    20, 0, 0, 0,             // image size: the coded bytes below
    0, 0, 0, 0, 0, 0, 0, 0,  // pixels per metre
    4, 0, 0, 0,              // 4 colours used
    0, 0, 0, 0,              // all important
    0, 0, 0, 0,              // 0 black
    0, 0, 255, 0,            // 1 red (blue, green, red, reserved)
    0, 255, 0, 0,            // 2 green
    255, 0, 0, 0,            // 3 blue
    // bottom row
    3, 1,                    // three pixels of colour 1
    0, 0,                    // end of line: the fourth pixel stays 0
    // second row from the bottom
    0, 2, 2, 1,              // delta: 2 right, 1 up; this row stays 0
    // third row, from x = 2
    2, 2,                    // two pixels of colour 2
    0, 0,                    // end of line
    // top row
    0, 3, 3, 1, 2, 0,        // absolute run of three pixels, padded to a word
    0, 1,                    // end of bitmap: the last pixel stays 0
};

// 6 x 2, RLE4, three colours.
const std::uint8_t Rle4File[] = {
    'B', 'M', 0x4E, 0, 0, 0, 0, 0, 0, 0,
    0x42, 0, 0, 0,           // pixel data at 66
    40, 0, 0, 0,
    6, 0, 0, 0,              // width 6
    2, 0, 0, 0,              // height 2
    1, 0,
    4, 0,                    // 4 bits per pixel
    2, 0, 0, 0,              // BI_RLE4
    0, 0, 0, 0,              // image size 0: up to the end of the file
    0, 0, 0, 0, 0, 0, 0, 0,
    3, 0, 0, 0,              // 3 colours
    0, 0, 0, 0,
    0, 0, 0, 0,              // 0 black
    255, 255, 255, 0,        // 1 white
    0, 0, 255, 0,            // 2 red
    // bottom row
    6, 0x12,                 // six pixels alternating 1 and 2
    0, 0,                    // end of line
    // top row
    0, 5, 0x21, 0x21, 0x20, 0,  // absolute run of five pixels: 3 bytes and a pad byte
    0, 1,                    // end of bitmap: the sixth pixel stays 0
};

// 2 x 2, 1 bit, OS/2 core header with a three-byte palette.
const std::uint8_t CoreFile[] = {
    'B', 'M', 0x28, 0, 0, 0, 0, 0, 0, 0,
    0x20, 0, 0, 0,           // pixel data at 32
    12, 0, 0, 0,             // BITMAPCOREHEADER
    2, 0,                    // width 2
    2, 0,                    // height 2
    1, 0,                    // planes
    1, 0,                    // 1 bit per pixel
    0, 0, 255,               // 0 red (blue, green, red)
    255, 0, 0,               // 1 blue
    0x40, 0, 0, 0,           // bottom row: 0 1
    0x80, 0, 0, 0,           // top row: 1 0
};

// 2 x 2, 24 bits, top-down, V5 header.
std::vector<std::uint8_t> TopDownV5File()
{
    Writer w;
    w.raw({'B', 'M'}).u32(14 + 124 + 16).u32(0).u32(14 + 124);
    w.u32(124)        // BITMAPV5HEADER
        .u32(2)       // width
        .u32(-2)      // height -2: top row first
        .u16(1).u16(24)
        .u32(0)       // BI_RGB
        .u32(16).u32(0).u32(0).u32(0).u32(0);
    for (int i = 0; i < 124 - 40; ++i) w.u8(0);  // masks, colour space, profile: unused for BI_RGB
    w.raw({0, 0, 255, 0, 255, 0, 0, 0});        // top row: red, green, padding
    w.raw({255, 0, 0, 255, 255, 255, 0, 0});    // bottom row: blue, white, padding
    return w.out;
}

// 2 x 2 at 16 bits with bit fields; `v4` puts the masks inside a V4 header.
std::vector<std::uint8_t> BitFields16File(std::uint32_t r, std::uint32_t g, std::uint32_t b,
                                          std::initializer_list<std::uint16_t> pixels, bool v4 = false)
{
    Writer w;
    const std::uint32_t headerSize = v4 ? 108 : 40;
    const std::uint32_t offset = 14 + headerSize + (v4 ? 0 : 12);
    w.raw({'B', 'M'}).u32(offset + 8).u32(0).u32(offset);
    w.u32(headerSize).u32(2).u32(2).u16(1).u16(16).u32(3 /* BI_BITFIELDS */).u32(8).u32(0).u32(0).u32(0).u32(0);
    w.u32(r).u32(g).u32(b);
    if (v4)
        for (std::uint32_t i = 0; i < headerSize - 52; ++i) w.u8(0);
    for (std::uint16_t p : pixels) w.u16(p);  // bottom row, then top row
    return w.out;
}

// 2 x 1 at 32 bits with bit fields.
std::vector<std::uint8_t> BitFields32File(std::uint32_t r, std::uint32_t g, std::uint32_t b,
                                          std::initializer_list<std::uint32_t> pixels)
{
    Writer w;
    w.raw({'B', 'M'}).u32(66 + 8).u32(0).u32(66);
    w.u32(40).u32(2).u32(1).u16(1).u16(32).u32(3).u32(8).u32(0).u32(0).u32(0).u32(0);
    w.u32(r).u32(g).u32(b);
    for (std::uint32_t p : pixels) w.u32(p);
    return w.out;
}

struct FixtureCase {
    const char* name;
    std::vector<std::uint8_t> file;
    TPixelFormat format;
    int width;
    int height;
    std::vector<TColor> pixels;  // top row first
};

class BmpFixture : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(BmpFixture, DecodesToTheExpectedPixels)
{
    const FixtureCase& c = GetParam();
    auto b = Load(c.file);
    EXPECT_EQ(b->PixelFormat(), c.format);
    EXPECT_EQ(b->Width(), c.width);
    EXPECT_EQ(b->Height(), c.height);
    EXPECT_EQ(Pixels(*b), c.pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BmpFixture,
    ::testing::Values(
        FixtureCase{"Rle8WithDeltaAndEndOfLine", {std::begin(Rle8File), std::end(Rle8File)}, pf8bit, 4, 4,
                    {Blue, Red, Green, Black,  //
                     Black, Black, Green, Green,  //
                     Black, Black, Black, Black,  //
                     Red, Red, Red, Black}},
        FixtureCase{"Rle4WithOddAbsoluteRun", {std::begin(Rle4File), std::end(Rle4File)}, pf4bit, 6, 2,
                    {Red, White, Red, White, Red, Black,  //
                     White, Red, White, Red, White, Red}},
        FixtureCase{"CoreHeader", {std::begin(CoreFile), std::end(CoreFile)}, pf1bit, 2, 2,
                    {Blue, Red, Red, Blue}},
        FixtureCase{"TopDownV5", TopDownV5File(), pf24bit, 2, 2, {Red, Green, Blue, White}},
        FixtureCase{"BitFields565", BitFields16File(0xF800, 0x07E0, 0x001F, {0xF800, 0x07E0, 0x001F, 0xFFFF}),
                    pf16bit, 2, 2, {Blue, White, Red, Green}},
        FixtureCase{"BitFields555InV4", BitFields16File(0x7C00, 0x03E0, 0x001F, {0x7C00, 0x03E0, 0x001F, 0x7FFF}, true),
                    pf15bit, 2, 2, {Blue, White, Red, Green}},
        // 4-4-4 and 1-5-5-5 style masks are not stored as they are: they become 24 bits.
        FixtureCase{"BitFields444", BitFields16File(0x0F00, 0x00F0, 0x000F, {0x0F00, 0x0080, 0x000F, 0x0FFF}),
                    pf24bit, 2, 2, {Blue, White, Red, RGB(0, 136, 0)}},
        FixtureCase{"BitFieldsWithAMissingChannel", BitFields16File(0xF800, 0, 0x001F, {0xFFFF, 0x07E0, 0, 0}),
                    pf24bit, 2, 2, {Black, Black, RGB(255, 0, 255), Black}},
        FixtureCase{"BitFields32Standard", BitFields32File(0xFF0000, 0xFF00, 0xFF, {0x00123456, 0xFF000000}),
                    pf32bit, 2, 1, {RGB(0x12, 0x34, 0x56), Black}},
        FixtureCase{"BitFields32Shifted", BitFields32File(0xFF000000, 0x00FF0000, 0x0000FF00, {0x12345600, 0x000000FF}),
                    pf24bit, 2, 1, {RGB(0x12, 0x34, 0x56), Black}},
        FixtureCase{"BitFields32TenBitChannels", BitFields32File(0x3FF00000, 0x000FFC00, 0x000003FF, {0x3FF00000, 0x00080200}),
                    pf24bit, 2, 1, {Red, RGB(0, 128, 128)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BmpFixture, Rle8KeepsItsPalette)
{
    auto b = Load(Rle8File);
    ASSERT_EQ(b->Palette().size(), 4u);
    EXPECT_EQ(b->Palette()[3], Quad(0, 0, 255));
    EXPECT_EQ(Indexes(*b), (std::vector<int>{3, 1, 2, 0, 0, 0, 2, 2, 0, 0, 0, 0, 1, 1, 1, 0}));
}

TEST(BmpFixture, RunLengthDataThatStopsEarlyLeavesZeros)
{
    // Cut inside the absolute run of the top row: its first pixel arrives,
    // the rest stay index 0, as does everything without an end-of-bitmap.
    std::vector<std::uint8_t> file(std::begin(Rle8File), std::end(Rle8File));
    file.resize(file.size() - 5);
    Poke32(file, 34, 0);  // image size: whatever is there
    auto b = Load(file);
    EXPECT_EQ(Indexes(*b), (std::vector<int>{3, 0, 0, 0, 0, 0, 2, 2, 0, 0, 0, 0, 1, 1, 1, 0}));

    // Cut right after the bottom row's run.
    file.resize(70 + 2);
    b = Load(file);
    EXPECT_EQ(Indexes(*b), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0}));
}

TEST(BmpFixture, PaletteShorterThanDeclaredEndsAtThePixelOffset)
{
    // Declares 0 colours (meaning 256) but places the pixels after two.
    Writer w;
    w.raw({'B', 'M'}).u32(14 + 40 + 8 + 4).u32(0).u32(14 + 40 + 8);
    w.u32(40).u32(2).u32(1).u16(1).u16(8).u32(0).u32(4).u32(0).u32(0).u32(0).u32(0);
    w.raw({0, 255, 0, 0, 255, 0, 0, 0});  // green, blue
    w.raw({1, 0, 0, 0});
    auto b = Load(w.out);
    EXPECT_EQ(b->Palette().size(), 2u);
    EXPECT_EQ(Pixels(*b), (std::vector<TColor>{Blue, Green}));
}

TEST(BmpFixture, PaddingBytesOfTheFileAreNotKept)
{
    // 1 bit, 3 pixels wide: the low 5 bits and three padding bytes hold junk.
    Writer w;
    w.raw({'B', 'M'}).u32(14 + 40 + 8 + 4).u32(0).u32(14 + 40 + 8);
    w.u32(40).u32(3).u32(1).u16(1).u16(1).u32(0).u32(4).u32(0).u32(0).u32(2).u32(0);
    w.raw({0, 0, 0, 0, 255, 255, 255, 0});
    w.raw({0xBF, 0xAA, 0xBB, 0xCC});  // pixels 1 0 1, then junk
    auto b = Load(w.out);
    EXPECT_EQ(Pixels(*b), (std::vector<TColor>{White, Black, White}));
    EXPECT_EQ(b->ScanLine(0)[0], 0xA0);
    EXPECT_EQ(b->ScanLine(0)[1], 0);
    EXPECT_EQ(b->ScanLine(0)[3], 0);
}

TEST(BmpFixture, LoadFromStreamStopsAfterTheBitmap)
{
    std::string bytes(std::begin(CoreFile), std::end(CoreFile));
    bytes = "xyz" + bytes + "tail";
    TMemoryStream stream(bytes);
    stream.SetPosition(3);
    TBitmap b;
    b.LoadFromStream(stream);
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(stream.Position(), 3 + static_cast<std::int64_t>(sizeof(CoreFile)));
}

TEST(BmpFixture, FailedLoadKeepsTheBitmap)
{
    TBitmap b(3, 3, pf8bit);
    b.SetPixel(1, 1, clRed);
    std::vector<std::uint8_t> file(std::begin(Rle8File), std::end(Rle8File));
    file[70] = 5;  // a run of five in a row of four
    EXPECT_THROW(b.LoadFromBytes(file), EInvalidGraphic);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Pixel(1, 1), clRed);
}

}  // namespace

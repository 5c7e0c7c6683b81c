// BMP files whose headers lie. Each must raise EInvalidGraphic: no crash, no
// read past the data, and no allocation the file's data does not back.

#include "platform/graphics/TBitmap.h"

#include <gtest/gtest.h>

#include <functional>

#include "bitmap_test_support.h"
#include "platform/core/Exceptions.h"

namespace {

using namespace bmptest;

// 4 x 2, 8 bits, two colours: the base that the cases below spoil.
const std::uint8_t PlainFile[] = {
    'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0,
    62, 0, 0, 0,              // 10: pixel data at 62
    40, 0, 0, 0,              // 14: header size
    4, 0, 0, 0,               // 18: width
    2, 0, 0, 0,               // 22: height
    1, 0,                     // 26: planes
    8, 0,                     // 28: bits per pixel
    0, 0, 0, 0,               // 30: BI_RGB
    8, 0, 0, 0,               // 34: image size
    0, 0, 0, 0, 0, 0, 0, 0,   // 38: pixels per metre
    2, 0, 0, 0,               // 46: colours used
    0, 0, 0, 0,               // 50: important colours
    0, 0, 0, 0, 255, 255, 255, 0,  // 54: black, white
    0, 1, 0, 1, 1, 0, 1, 0,   // 62: two rows
};

// 4 x 4, RLE8 (the same coding as the RLE8 fixture of the decoding tests).
const std::uint8_t RleFile[] = {
    'B', 'M', 90, 0, 0, 0, 0, 0, 0, 0, 70, 0, 0, 0,
    40, 0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0, 1, 0, 8, 0,
    1, 0, 0, 0,               // 30: BI_RLE8
    20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0,
    3, 1,                     // 70: run of three
    0, 0,                     // 72: end of line
    0, 2, 2, 1,               // 74: delta 2 right (76), 1 up (77)
    2, 2,                     // 78: run of two
    0, 0,                     // 80: end of line
    0, 3, 3, 1, 2, 0,         // 82: absolute run, count at 83
    0, 1,                     // 88: end of bitmap
};

// 2 x 2, 16 bits, bit fields after the header at 54.
const std::uint8_t FieldsFile[] = {
    'B', 'M', 74, 0, 0, 0, 0, 0, 0, 0, 66, 0, 0, 0,
    40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 16, 0,
    3, 0, 0, 0,               // 30: BI_BITFIELDS
    8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0x00, 0xF8, 0, 0,         // 54: red
    0xE0, 0x07, 0, 0,         // 58: green
    0x1F, 0x00, 0, 0,         // 62: blue
    0, 0, 0, 0, 0, 0, 0, 0,   // 66: pixels
};

using Bytes = std::vector<std::uint8_t>;

struct HostileCase {
    const char* name;
    const std::uint8_t* base;
    std::size_t baseSize;
    std::function<void(Bytes&)> spoil;
};

#define FROM(file) file, sizeof(file)

const HostileCase HostileCases[] = {
    {"Empty", FROM(PlainFile), [](Bytes& b) { b.clear(); }},
    {"OnlyTheMagic", FROM(PlainFile), [](Bytes& b) { b.resize(2); }},
    {"CutInsideTheHeader", FROM(PlainFile), [](Bytes& b) { b.resize(40); }},
    {"BadMagic", FROM(PlainFile), [](Bytes& b) { b[1] = 'A'; }},
    {"UnknownHeaderSize", FROM(PlainFile), [](Bytes& b) { Poke32(b, 14, 20); }},
    {"HeaderLongerThanTheFile", FROM(PlainFile), [](Bytes& b) { Poke32(b, 14, 124); }},
    {"ZeroBitsPerPixel", FROM(PlainFile), [](Bytes& b) { Poke16(b, 28, 0); }},
    {"TwoBitsPerPixel", FROM(PlainFile), [](Bytes& b) { Poke16(b, 28, 2); }},
    {"JpegCompression", FROM(PlainFile), [](Bytes& b) { Poke32(b, 30, 4); }},
    {"PngCompression", FROM(PlainFile), [](Bytes& b) { Poke32(b, 30, 5); }},
    {"NegativeWidth", FROM(PlainFile), [](Bytes& b) { Poke32(b, 18, static_cast<std::uint32_t>(-4)); }},
    {"WidthBeyondTheData", FROM(PlainFile), [](Bytes& b) { Poke32(b, 18, 100); }},
    {"HeightBeyondTheData", FROM(PlainFile), [](Bytes& b) { Poke32(b, 22, 3); }},
    {"TopDownHeightBeyondTheData", FROM(PlainFile), [](Bytes& b) { Poke32(b, 22, static_cast<std::uint32_t>(-3)); }},
    {"HugeDimensions", FROM(PlainFile), [](Bytes& b) { Poke32(b, 18, 0x7FFFFFFF); Poke32(b, 22, 0x7FFFFFFF); }},
    {"HugeTopDownDimensions", FROM(PlainFile), [](Bytes& b) { Poke32(b, 18, 0x7FFFFFFF); Poke32(b, 22, 0x80000001); }},
    {"HeightOfIntMin", FROM(PlainFile), [](Bytes& b) { Poke32(b, 22, 0x80000000); }},
    {"TruncatedPixels", FROM(PlainFile), [](Bytes& b) { b.pop_back(); }},
    {"PaletteOf257", FROM(PlainFile), [](Bytes& b) { Poke32(b, 46, 257); }},
    {"PaletteOfFourBillion", FROM(PlainFile), [](Bytes& b) { Poke32(b, 46, 0xFFFFFFFF); }},
    {"PaletteLargerThanTheBitsAllow", FROM(PlainFile), [](Bytes& b) { Poke16(b, 28, 1); Poke32(b, 46, 3); }},
    {"PalettePastTheEnd", FROM(PlainFile), [](Bytes& b) { Poke32(b, 10, 0); Poke32(b, 46, 200); }},
    {"OffsetPastTheEnd", FROM(PlainFile), [](Bytes& b) { Poke32(b, 10, 1000); }},
    {"OffsetInsideTheHeader", FROM(PlainFile), [](Bytes& b) { Poke32(b, 10, 20); }},
    {"Rle4WithEightBits", FROM(PlainFile), [](Bytes& b) { Poke32(b, 30, 2); }},
    {"Rle8WithFourBits", FROM(RleFile), [](Bytes& b) { Poke16(b, 28, 4); Poke32(b, 46, 4); }},
    {"RleTopDown", FROM(RleFile), [](Bytes& b) { Poke32(b, 22, static_cast<std::uint32_t>(-4)); }},
    {"RleRunPastTheRow", FROM(RleFile), [](Bytes& b) { b[70] = 5; }},
    {"RleAbsoluteRunPastTheRow", FROM(RleFile), [](Bytes& b) { b[83] = 5; }},
    {"RleDeltaPastTheRow", FROM(RleFile), [](Bytes& b) { b[76] = 9; }},
    {"RleDeltaPastTheLastRow", FROM(RleFile), [](Bytes& b) { b[77] = 5; }},
    {"RleRowEndsPastTheLastRow", FROM(RleFile),
     [](Bytes& b) { b.insert(b.begin() + 72, {0, 0, 0, 0, 0, 0}); }},
    {"RleHugeDimensions", FROM(RleFile), [](Bytes& b) { Poke32(b, 18, 100000); Poke32(b, 22, 100000); }},
    {"BitFieldsWith24Bits", FROM(FieldsFile), [](Bytes& b) { Poke16(b, 28, 24); }},
    {"BitFieldsCutInTheMasks", FROM(FieldsFile), [](Bytes& b) { b.resize(60); }},
    {"NonContiguousMask", FROM(FieldsFile), [](Bytes& b) { Poke32(b, 54, 0xF0F0); }},
    {"MaskOutsideThePixel", FROM(FieldsFile), [](Bytes& b) { Poke32(b, 62, 0x10000); }},
    {"BitFieldsTruncatedPixels", FROM(FieldsFile), [](Bytes& b) { b.resize(b.size() - 2); }},
};

#undef FROM

class BmpHostile : public ::testing::TestWithParam<HostileCase> {};

TEST_P(BmpHostile, RaisesInvalidGraphic)
{
    const HostileCase& c = GetParam();
    Bytes file(c.base, c.base + c.baseSize);
    ASSERT_NO_THROW(Load(file)) << "the base file must be valid";
    c.spoil(file);
    // Exactly sized, so the sanitizer sees any read past the end.
    const auto exact = std::make_unique<std::uint8_t[]>(file.size() + 1);
    std::copy(file.begin(), file.end(), exact.get());
    TBitmap b;
    try {
        b.LoadFromBytes(std::span(exact.get(), file.size()));
        FAIL() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Bitmap image is not valid", 0), 0u) << e.what();
    }
    EXPECT_TRUE(b.Empty());
}

INSTANTIATE_TEST_SUITE_P(Headers, BmpHostile, ::testing::ValuesIn(HostileCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BmpHostileStream, LoadFromStreamReadsOnlyWhatTheStreamHolds)
{
    Bytes file(std::begin(PlainFile), std::end(PlainFile));
    Poke32(file, 2, 0x7FFFFFFF);  // a file size field that lies
    TMemoryStream stream(std::string(file.begin(), file.end()));
    TBitmap b;
    b.LoadFromStream(stream);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(file.size()));

    TMemoryStream truncated(std::string(file.begin(), file.end() - 1));
    EXPECT_THROW(b.LoadFromStream(truncated), EInvalidGraphic);
}

}  // namespace

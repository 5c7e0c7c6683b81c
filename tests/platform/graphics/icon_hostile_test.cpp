// ICO files that are damaged or lie. Each must raise EInvalidGraphic that
// says why: no crash, no read past the data, no allocation the file's bytes
// do not back, and the icon keeps what it held.

#include "platform/graphics/TIcon.h"

#include <gtest/gtest.h>

#include <functional>

#include "icon_fixtures.h"
#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"

namespace {

using namespace icontest;

// One 5 x 3 image of 8 bits with 4 colours, 114 bytes:
//   0 reserved, 2 type, 4 count; the entry at 6: 6 width, 7 height, 8 colours,
//   10 planes, 12 bits, 14 size (92), 18 offset (22);
//   the image at 22: 22 header size, 26 width, 30 height (6), 34 planes,
//   36 bits, 38 compression, 54 colours used (4); palette at 62, colour rows
//   at 78 (3 x 8), mask rows at 102 (3 x 4).
Bytes OneImage() { return IcoFile({Pattern(8)}); }
// Two images; the second entry's offset is at 34.
Bytes TwoImages() { return IcoFile({Pattern(8), Pattern(4)}); }

struct HostileCase {
    const char* name;
    Bytes (*base)();
    std::function<void(Bytes&)> spoil;
    const char* reason;  // a part of the message
};

const HostileCase HostileCases[] = {
    {"Empty", OneImage, [](Bytes& b) { b.clear(); }, "the file ends inside the icon directory"},
    {"CutInTheDirectoryHeader", OneImage, [](Bytes& b) { b.resize(5); }, "the file ends inside the icon directory"},
    {"CursorFile", OneImage, [](Bytes& b) { Poke16(b, 2, 2); }, "does not start as an icon file"},
    {"ReservedNotZero", OneImage, [](Bytes& b) { b[0] = 1; }, "does not start as an icon file"},
    {"NoImages", OneImage, [](Bytes& b) { Poke16(b, 4, 0); }, "the directory holds no image"},
    {"CountBeyondTheFile", OneImage, [](Bytes& b) { Poke16(b, 4, 0xFFFF); },
     "the directory (65535 entries) runs past the end of the file"},
    {"CutInTheDirectory", OneImage, [](Bytes& b) { b.resize(20); },
     "the directory (1 entries) runs past the end of the file"},
    {"OffsetPastTheEnd", OneImage, [](Bytes& b) { Poke32(b, 18, 100000); },
     "entry 0 (92 bytes at 100000) lies past the end of the file of 114 bytes"},
    {"SizePastTheEnd", OneImage, [](Bytes& b) { Poke32(b, 14, 0xFFFFFFFF); }, "entry 0 (4294967295 bytes at 22)"},
    {"OffsetAndSizeWrapAround", OneImage, [](Bytes& b) { Poke32(b, 18, 0xFFFFFFF0); Poke32(b, 14, 0x20); },
     "lies past the end of the file"},
    {"OffsetInsideTheDirectory", OneImage, [](Bytes& b) { Poke32(b, 18, 6); }, "entry 0 starts inside the directory"},
    {"TruncatedImage", OneImage, [](Bytes& b) { b.pop_back(); }, "entry 0 (92 bytes at 22) lies past the end"},
    {"SizeTooSmallForThePixels", OneImage, [](Bytes& b) { b.pop_back(); Poke32(b, 14, 91); },
     "entry 0 needs 92 bytes for 5 x 3 pixels of 8 bits but holds 91"},
    {"SecondEntryPastTheEnd", TwoImages, [](Bytes& b) { Poke32(b, 34, 5000); }, "entry 1 ("},
    {"EntryShorterThanItsHeader", OneImage, [](Bytes& b) { Poke32(b, 14, 30); }, "entry 0 ends inside its bitmap header"},
    {"CoreHeader", OneImage, [](Bytes& b) { Poke32(b, 22, 12); }, "entry 0 has a bitmap header of 12 bytes"},
    {"HeaderWiderThanTheDirectory", OneImage, [](Bytes& b) { Poke32(b, 26, 6); },
     "entry 0 is 5 x 3 in the directory but its bitmap header says 6 x 6"},
    {"HeightWithoutTheMaskRows", OneImage, [](Bytes& b) { Poke32(b, 30, 3); }, "its bitmap header says 5 x 3"},
    {"DirectoryTallerThanTheHeader", OneImage, [](Bytes& b) { b[7] = 4; }, "entry 0 is 5 x 4 in the directory"},
    {"HugeHeaderSize", OneImage, [](Bytes& b) { Poke32(b, 26, 0x7FFFFFFF); Poke32(b, 30, 0xFFFFFFFE); },
     "its bitmap header says 2147483647 x -2"},
    {"LargestSizeWithoutItsBytes", OneImage,
     [](Bytes& b) { b[6] = 0; b[7] = 0; Poke32(b, 26, 256); Poke32(b, 30, 512); },
     "entry 0 needs 73784 bytes for 256 x 256 pixels of 8 bits but holds 92"},
    {"SixteenBits", OneImage, [](Bytes& b) { Poke16(b, 36, 16); }, "entry 0 has 16 bits per pixel"},
    {"ZeroBits", OneImage, [](Bytes& b) { Poke16(b, 36, 0); }, "entry 0 has 0 bits per pixel"},
    {"MoreBitsThanTheData", OneImage, [](Bytes& b) { Poke16(b, 36, 32); }, "pixels of 32 bits but holds 92"},
    {"MoreColoursThanTheBits", OneImage, [](Bytes& b) { Poke32(b, 54, 300); },
     "entry 0 declares 300 colours for 8 bits per pixel"},
    {"Compressed", OneImage, [](Bytes& b) { Poke32(b, 38, 1); }, "entry 0 is compressed (1)"},
    {"PngImage", OneImage, [](Bytes& b) { std::copy_n("\x89PNG\r\n\x1A\n", 8, b.begin() + 22); },
     "entry 0 is a PNG image"},
};

class IconHostile : public ::testing::TestWithParam<HostileCase> {};

TEST_P(IconHostile, RaisesInvalidGraphicSayingWhy)
{
    const HostileCase& c = GetParam();
    Bytes file = c.base();
    TIcon icon;
    icon.LoadFromBytes(std::string(file.begin(), file.end()));
    ASSERT_EQ(icon.Width(), 5) << "the base file must be valid";
    c.spoil(file);
    // A stream of exactly the file's bytes, so the sanitizer sees any read past them.
    TMemoryStream stream(std::string(file.begin(), file.end()));
    try {
        icon.LoadFromStream(stream);
        FAIL() << "no exception";
    } catch (const EInvalidGraphic& e) {
        const std::string message = e.what();
        EXPECT_EQ(message.rfind("Icon image is not valid: ", 0), 0u) << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
    EXPECT_EQ(icon.Width(), 5);
    EXPECT_EQ(icon.Image().Pixel(1, 0), PatternColors[1]);
}

INSTANTIATE_TEST_SUITE_P(Files, IconHostile, ::testing::ValuesIn(HostileCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

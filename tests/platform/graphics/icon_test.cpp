// Icon pictures: ICO images of every depth read pixel for pixel, drawn
// through their AND mask, chosen among several, loaded through TPicture, and
// ImageMagick reading the same files.

#include "platform/graphics/TIcon.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "icon_fixtures.h"
#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TCanvas.h"
#include "platform/graphics/TPicture.h"
#include "tests/support/CommandOutput.h"
#include "tests/support/Netpbm.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace icontest;

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

std::unique_ptr<TIcon> LoadIcon(const Bytes& file)
{
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromBytes(std::string(file.begin(), file.end()));
    return icon;
}

constexpr TColor Background = RGB(0x55, 0x66, 0x77);

// What an icon pixel leaves on the background: AND with the mask, XOR with
// the colour; an alpha channel, where there is one, in their place.
TColor OnBackground(int x, int y, int bits)
{
    if (bits == 32) return PatternMasked(x, y) ? Background : PatternColor(x, y, bits);
    const TColor under = PatternMasked(x, y) ? Background : 0;
    return under ^ PatternColor(x, y, bits);
}

class IconDepth : public ::testing::TestWithParam<int> {};

TEST_P(IconDepth, ReadsTheColoursAndTheMask)
{
    const int bits = GetParam();
    const auto icon = LoadIcon(IcoFile({Pattern(bits)}));
    ASSERT_EQ(icon->Width(), 5);
    ASSERT_EQ(icon->Height(), 3);
    EXPECT_EQ(icon->Image().BitCount(), bits);
    EXPECT_EQ(icon->Mask().BitCount(), 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            EXPECT_EQ(icon->Image().Pixel(x, y), PatternColor(x, y, bits));
            EXPECT_EQ(icon->Mask().Pixel(x, y), PatternMasked(x, y) ? clWhite : clBlack);
        }
}

TEST_P(IconDepth, DrawsThroughItsMask)
{
    const int bits = GetParam();
    const auto icon = LoadIcon(IcoFile({Pattern(bits)}));
    TBitmap target(9, 6, pf24bit);
    target.Fill(Background);
    target.Canvas().Draw(2, 1, *icon);
    EXPECT_EQ(target.Canvas().CopyMode(), cmSrcCopy);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            const bool inside = x >= 2 && x < 7 && y >= 1 && y < 4;
            EXPECT_EQ(target.Pixel(x, y), inside ? OnBackground(x - 2, y - 1, bits) : Background);
        }
}

INSTANTIATE_TEST_SUITE_P(Bits, IconDepth, ::testing::Values(1, 4, 8, 24, 32),
                         [](const auto& info) { return std::to_string(info.param) + "Bits"; });

TEST(Icon, AColourTableAheadOfTrueColourPixelsIsPassedOver)
{
    for (const int bits : {24, 32}) {
        SCOPED_TRACE(testing::Message() << bits << " bits");
        IconImage image = Pattern(bits);
        image.palette = {ColorToQuad(clRed), ColorToQuad(clLime), ColorToQuad(clBlue)};
        const auto icon = LoadIcon(IcoFile({image}));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                SCOPED_TRACE(testing::Message() << x << "," << y);
                EXPECT_EQ(icon->Image().Pixel(x, y), PatternColor(x, y, bits));
                EXPECT_EQ(icon->Mask().Pixel(x, y), PatternMasked(x, y) ? clWhite : clBlack);
            }
    }
}

TEST(Icon, StretchesIntoTheRectangle)
{
    const auto icon = LoadIcon(IcoFile({Pattern(24)}));
    TBitmap target(10, 6, pf24bit);
    target.Fill(Background);
    target.Canvas().StretchDraw(Rect(0, 0, 10, 6), *icon);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(target.Pixel(x, y), OnBackground(x / 2, y / 2, 24)) << x << "," << y;
}

TEST(Icon, AnAlphaChannelBlendsInPlaceOfTheMask)
{
    // Half-opaque orange over an unmasked pixel, nothing over a masked one,
    // and an opaque pixel that the mask marks (the alpha wins).
    IconImage image{3, 1, 32, {}, {0x80C86400, 0x00000000, 0xFF0000FF}, {0, 1, 1}};
    const auto icon = LoadIcon(IcoFile({image}));
    TBitmap target(3, 1, pf24bit);
    target.Fill(clWhite);
    target.Canvas().Draw(0, 0, *icon);
    // 200 * 128/255 + 255 * 127/255, and so on, rounded.
    EXPECT_EQ(target.Pixel(0, 0), RGB(227, 177, 127));
    EXPECT_EQ(target.Pixel(1, 0), clWhite);
    EXPECT_EQ(target.Pixel(2, 0), RGB(0, 0, 255));
}

TEST(Icon, ThirtyTwoBitsWithoutAlphaDrawThroughTheMask)
{
    IconImage image = Pattern(32);
    for (std::uint32_t& p : image.pixels) p &= 0xFFFFFF;
    const auto icon = LoadIcon(IcoFile({image}));
    TBitmap target(5, 3, pf24bit);
    target.Fill(Background);
    target.Canvas().Draw(0, 0, *icon);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(target.Pixel(x, y), OnBackground(x, y, 24)) << x << "," << y;
}

IconImage Plain(int size, int bits)
{
    IconImage image{size, size, bits, {}, {}, {}};
    if (bits <= 8) image.palette.assign(std::size_t(1) << bits, ColorToQuad(RGB(bits, size, 0)));
    const std::uint32_t pixel = bits <= 8 ? 0u : (std::uint32_t(bits) << 16) | (std::uint32_t(size) << 8);
    image.pixels.assign(std::size_t(size) * size, pixel);
    image.mask.assign(std::size_t(size) * size, 0);
    return image;
}

TEST(Icon, TakesTheLargeIconSizeInTheMostColours)
{
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> entries;  // size, bits
        int size, bits;
    };
    const Case cases[] = {
        {"ThirtyTwoInTheMostBits", {{16, 8}, {32, 4}, {32, 24}, {32, 8}, {48, 32}}, 32, 24},
        {"FirstOfEqualThirtyTwos", {{32, 8}, {32, 8}}, 32, 8},
        {"NoThirtyTwoGivesTheFirst", {{48, 8}, {16, 32}}, 48, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<IconImage> images;
        for (const auto& [size, bits] : c.entries) images.push_back(Plain(size, bits));
        const auto icon = LoadIcon(IcoFile(images));
        EXPECT_EQ(icon->Width(), c.size);
        EXPECT_EQ(icon->Height(), c.size);
        EXPECT_EQ(icon->Image().BitCount(), c.bits);
        EXPECT_EQ(icon->Image().Pixel(0, 0), RGB(c.bits, c.size, 0));
    }
}

TEST(Icon, ASizeByteOfZeroIsTwoHundredFiftySix)
{
    const auto icon = LoadIcon(IcoFile({Plain(256, 1)}));
    EXPECT_EQ(icon->Width(), 256);
    EXPECT_EQ(icon->Height(), 256);
}

TEST(Icon, PictureLoadsAndSavesTheFileAsItIs)
{
    testsupport::TempFolder dir;
    const Bytes file = IcoFile({Pattern(4), Pattern(8)});
    WriteBytes(dir / "app.ICO", file);
    EXPECT_NE(TPicture::GraphicFilter().find("|Icons (*.ico)|*.ico"), std::string::npos);

    TPicture picture;
    picture.LoadFromFile(dir / "app.ICO");
    auto* icon = dynamic_cast<TIcon*>(picture.Graphic());
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(picture.Width(), 5);
    EXPECT_EQ(icon->Image().BitCount(), 4);

    picture.SaveToFile(dir / "copy.ico");
    std::ifstream in(dir / "copy.ico", std::ios::binary);
    const Bytes saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(saved, file);

    TPicture copy;
    copy.Assign(picture);
    const auto* copied = dynamic_cast<TIcon*>(copy.Graphic());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->Mask().Pixel(2, 1), clWhite);
    EXPECT_THROW(icon->SetWidth(8), EInvalidGraphicOperation);

    // A bitmap takes the icon as it draws on white.
    TBitmap bitmap;
    bitmap.Assign(*icon);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(bitmap.Pixel(0, 0), clWhite);
    EXPECT_EQ(bitmap.Pixel(2, 1), clWhite ^ PatternColors[1]);
    EXPECT_EQ(bitmap.Pixel(1, 0), PatternColors[1]);
}

// ImageMagick shows an icon's AND mask as its alpha channel.
TEST(IconPeer, ImageMagickReadsTheSamePixelsAndMask)
{
    if (testsupport::RunShellCommand("convert -version 2>/dev/null").Output.find("ImageMagick") == std::string::npos)
        GTEST_SKIP() << "ImageMagick's convert is not installed (Debian package imagemagick)";
    for (const int bits : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(bits);
        testsupport::TempFolder dir;
        const Bytes file = IcoFile({Pattern(bits)});
        WriteBytes(dir / "in.ico", file);
        const std::string command = "convert '" + dir / "in.ico" + "' -depth 8 pam:'" + dir / "out.pam" + "' 2>&1";
        const testsupport::TCommandResult result = testsupport::RunShellCommand(command);
        ASSERT_EQ(result.Status, 0) << command << "\n" << result.Output;
        const testsupport::NetpbmPicture theirs = testsupport::ReadNetpbm(dir / "out.pam");
        ASSERT_EQ(theirs.Width, 5);
        ASSERT_EQ(theirs.Height, 3);
        ASSERT_EQ(theirs.Depth, 4);
        const auto ours = LoadIcon(file);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                SCOPED_TRACE(testing::Message() << x << "," << y);
                const unsigned char* p = theirs.At(x, y);
                EXPECT_EQ(p[3] == 0, ours->Mask().Pixel(x, y) == clWhite);
                if (p[3] != 0) {
                    EXPECT_EQ(ours->Image().Pixel(x, y), RGB(p[0], p[1], p[2]));
                }
            }
    }
}

TEST(Icon, FailedLoadKeepsTheIconAndNamesTheFile)
{
    testsupport::TempFolder dir;
    Bytes bad = IcoFile({Pattern(8)});
    bad.resize(30);
    WriteBytes(dir / "bad.ico", bad);
    const auto icon = LoadIcon(IcoFile({Pattern(1)}));
    try {
        icon->LoadFromFile(dir / "bad.ico");
        FAIL() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(std::string(e.what()).rfind(dir / "bad.ico: Icon image is not valid: ", 0), 0u) << e.what();
    }
    EXPECT_EQ(icon->Width(), 5);
    EXPECT_EQ(icon->Image().BitCount(), 1);
}

}  // namespace

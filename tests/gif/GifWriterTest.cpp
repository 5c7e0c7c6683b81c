// What the writer puts in a file: versions, packed bytes, tables, sub-blocks,
// extensions; and re-reading what it wrote.

#include <gtest/gtest.h>

#include "GifTestSupport.h"
#include "gif/GIFEncoder.h"
#include "gif/GIFWriter.h"
#include "platform/core/TStream.h"

namespace {

std::string B(std::initializer_list<int> bytes)
{
    std::string out;
    for (int b : bytes)
        out.push_back(static_cast<char>(b));
    return out;
}

// A picture of one width x height frame with `colors` global entries.
std::unique_ptr<TGIFImage> Picture(int width, int height, int colors)
{
    auto image = std::make_unique<TGIFImage>();
    for (int i = 0; i < colors; ++i)
        image->GlobalColorMap().Add(RGB(i, 2 * i, 3 * i));
    image->AddFrame(std::make_unique<TGIFSubImage>(image.get()));
    image->Images().Items(0)->SetBounds(0, 0, width, height);
    return image;
}

TEST(GifWriter, VersionAndScreenDescriptor)
{
    struct TCase {
        const char* Name;
        int Colors;
        bool Sorted;
        int Aspect;
        bool Extension;
        const char* Version;
        int Packed;
    };
    const TCase cases[] = {
        {"plain", 2, false, 0, false, "87a", 0x80 | (0 << 4) | 0},
        {"3 colours pad to 4", 3, false, 0, false, "87a", 0x80 | (1 << 4) | 1},
        {"256 colours", 256, false, 0, false, "87a", 0x80 | (7 << 4) | 7},
        {"sorted table", 16, true, 0, false, "89a", 0x80 | 0x08 | (3 << 4) | 3},
        {"aspect ratio", 2, false, 49, false, "89a", 0x80},
        {"an extension", 2, false, 0, true, "89a", 0x80},
        {"no global table, one local entry", 0, false, 0, false, "87a", 0x07},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        auto image = Picture(3, 2, c.Colors);
        image->GlobalColorMap().SetOptimized(c.Sorted);
        image->Header().SetAspectRatio(static_cast<std::uint8_t>(c.Aspect));
        if (c.Extension)
            image->Images().Items(0)->Extensions().Add(std::make_unique<TGIFCommentExtension>(image->Images().Items(0)));
        if (c.Colors == 0)
            image->Images().Items(0)->ColorMap().Add(RGB(1, 1, 1));
        const std::string file = SaveGif(*image);
        EXPECT_EQ(file.substr(0, 6), std::string("GIF") + c.Version);
        EXPECT_EQ(static_cast<std::uint8_t>(file[10]), c.Packed);
        const std::size_t tableBytes = c.Colors ? 3u << BitsForColorCount(c.Colors) : 0;
        // Padding entries are zero.
        for (std::size_t i = 13 + 3 * std::size_t(c.Colors); i < 13 + tableBytes; ++i)
            EXPECT_EQ(file[i], 0);
    }
}

TEST(GifWriter, PictureWithoutFramesIsRefused)
{
    TGIFImage image;
    TMemoryStream stream;
    try {
        image.SaveToStream(stream);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Unsupported GIF version");
    }
}

TEST(GifWriter, InterlacingSurvivesOnlyWithoutALocalTable)
{
    for (const bool local : {false, true}) {
        SCOPED_TRACE(local ? "local table" : "global table");
        auto image = Picture(3, 5, 4);
        TGIFSubImage& frame = *image->Images().Items(0);
        frame.SetInterlaced(true);
        if (local)
            for (int i = 0; i < 4; ++i)
                frame.ColorMap().Add(RGB(9, 9, i));
        for (int i = 0; i < 15; ++i)
            frame.Data()[i] = static_cast<std::uint8_t>(i / 3 % 4);
        TLoadResult again = LoadGif(SaveGif(*image));
        TGIFSubImage& read = *again.Image->Images().Items(0);
        EXPECT_EQ(read.Interlaced(), !local);
        EXPECT_TRUE(std::equal(frame.Data(), frame.Data() + 15, read.Data()));
    }
}

// Interlaced rows go out in pass order: height 3 is 0, 2, 1.
TEST(GifWriter, InterlacedRowOrder)
{
    const std::uint8_t pixels[] = {0, 1, 2};
    TGIFEncodeSource interlaced{pixels, 1, 3, true, 4, 2};
    TGIFEncodeSource reordered{(const std::uint8_t*)"\0\2\1", 1, 3, false, 4, 2};
    TMemoryStream a, b;
    EncodeGIFImage(a, interlaced, TGIFEncoderKind::LZW);
    EncodeGIFImage(b, reordered, TGIFEncoderKind::LZW);
    EXPECT_EQ(a.Bytes(), b.Bytes());
}

TEST(GifWriter, TwoColoursUseMinimumCodeSizeTwo)
{
    const std::uint8_t pixels[] = {0, 1};
    TMemoryStream out;
    EncodeGIFImage(out, {pixels, 2, 1, false, 2, 1}, TGIFEncoderKind::LZW);
    EXPECT_EQ(out.Bytes()[0], 2);
}

TEST(GifWriter, ColourBeyondTheTableIsRefused)
{
    auto image = Picture(2, 1, 2);
    image->Images().Items(0)->Data()[1] = 3;
    TMemoryStream stream;
    EXPECT_THROW(image->SaveToStream(stream), GIFException);
}

TEST(GifWriter, SubBlocksOf255WithoutAnEmptyOne)
{
    for (const int n : {255, 510, 600}) {
        SCOPED_TRACE(n);
        TMemoryStream target;
        {
            TGIFWriter writer(target);
            for (int i = 0; i < n; ++i)
                writer.WriteByte(7);
        }
        std::vector<int> counts;
        for (std::size_t at = 0; at < target.Bytes().size(); at += 1 + static_cast<std::uint8_t>(target.Bytes()[at]))
            counts.push_back(static_cast<std::uint8_t>(target.Bytes()[at]));
        const std::vector<int> expected = n == 255 ? std::vector<int>{255} : n == 510 ? std::vector<int>{255, 255} : std::vector<int>{255, 255, 90};
        EXPECT_EQ(counts, expected);
    }
    TMemoryStream target;
    TGIFWriter writer(target);
    char c;
    EXPECT_THROW(writer.Read(&c, 1), GIFException);
    EXPECT_THROW(writer.Seek(0, soBeginning), GIFException);
}

TEST(GifWriter, ExtensionsAsStoredAndAsRead)
{
    struct TCase {
        const char* Name;
        std::string Block;     // as in a file
        std::string Rewritten; // as we write it back
    };
    const std::string comment600 = std::string(600, 'x');
    const TCase cases[] = {
        {"graphic control of block size 5 keeps its size", B({0x21, 0xF9, 5, 0x1D, 10, 0, 3, 0}),
         B({0x21, 0xF9, 5, 0x1D, 10, 0, 3, 0})},
        {"application block of size 12 is written with 11", B({0x21, 0xFF, 12}) + "XMP DataXMPZ" + B({2, 'a', 'b', 0}),
         B({0x21, 0xFF, 11}) + "XMP DataXMP" + B({2, 'a', 'b', 0})},
        {"ANIMEXTS is a loop extension that keeps its name", B({0x21, 0xFF, 11}) + "ANIMEXTS1.0" + B({3, 1, 5, 0, 0}),
         B({0x21, 0xFF, 11}) + "ANIMEXTS1.0" + B({3, 1, 5, 0, 0})},
        {"loop with a buffer size", B({0x21, 0xFF, 11}) + "NETSCAPE2.0" + B({5, 2, 1, 2, 3, 4, 3, 1, 0, 0, 0}),
         B({0x21, 0xFF, 11}) + "NETSCAPE2.0" + B({3, 1, 0, 0, 5, 2, 1, 2, 3, 4, 0})},
        {"unknown application kept raw", B({0x21, 0xFF, 11}) + "ICCRGBG1012" + B({3, 1, 2, 3, 1, 9, 0}),
         B({0x21, 0xFF, 11}) + "ICCRGBG1012" + B({3, 1, 2, 3, 1, 9, 0})},
        {"block size 10 takes a zero eleventh byte", B({0x21, 0xFF, 10}) + "ABCDEFGH12" + B({1, 5, 0}),
         B({0x21, 0xFF, 11}) + "ABCDEFGH12" + B({0, 1, 5, 0})},
        {"unknown label kept raw with its label", B({0x21, 0x77, 3, 1, 2, 3, 1, 9, 0}), B({0x21, 0x77, 3, 1, 2, 3, 1, 9, 0})},
        {"graphic control terminator written as 0", B({0x21, 0xF9, 4, 0x1D, 10, 0, 3, 0x7F}),
         B({0x21, 0xF9, 4, 0x1D, 10, 0, 3, 0})},
        {"empty comment not written", B({0x21, 0xFE, 0}), ""},
        {"comment of empty strings not written", B({0x21, 0xFE, 1, 0, 2, 0, 0, 0}), ""},
        {"comment cut at a zero byte", B({0x21, 0xFE, 3, 'a', 0, 'b', 2, 'c', 'd', 0}), B({0x21, 0xFE, 1, 'a', 2, 'c', 'd', 0})},
        {"plain text", B({0x21, 0x01, 12, 1, 0, 2, 0, 3, 0, 4, 0, 5, 6, 7, 8, 2, 'h', 'i', 0}),
         B({0x21, 0x01, 12, 1, 0, 2, 0, 3, 0, 4, 0, 5, 6, 7, 8, 2, 'h', 'i', 0})},
    };
    const std::string head = B({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 9, 9, 9});
    const std::string frame = B({0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 0x01, 0});
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLoadResult r = LoadGif(head + c.Block + frame + B({0x3B}));
        ASSERT_EQ(r.Error, "");
        TMemoryStream out;
        r.Image->Images().Items(0)->Extensions().SaveToStream(out);
        EXPECT_EQ(out.Bytes(), c.Rewritten);
    }

    // A long comment goes out as 255, 255, 90 and comes back as three strings.
    TGIFImage image;
    auto frameObject = std::make_unique<TGIFSubImage>(&image);
    auto comment = std::make_unique<TGIFCommentExtension>(frameObject.get());
    comment->Comment().Add(comment600);
    TMemoryStream out;
    comment->SaveToStream(out);
    EXPECT_EQ(static_cast<std::uint8_t>(out.Bytes()[2]), 255);
    EXPECT_EQ(static_cast<std::uint8_t>(out.Bytes()[3 + 255]), 255);
    EXPECT_EQ(static_cast<std::uint8_t>(out.Bytes()[4 + 510]), 90);
    out.SetPosition(0);
    TGIFCommentExtension back(frameObject.get());
    back.LoadFromStream(out);
    EXPECT_EQ(back.Comment().Count(), 3);

    // A new loop extension writes 3, 1, 0, 0 and nothing for the buffer.
    TGIFAppExtNSLoop loop(frameObject.get());
    TMemoryStream loopOut;
    loop.SaveToStream(loopOut);
    EXPECT_EQ(loopOut.Bytes(), B({0x21, 0xFF, 11}) + "NETSCAPE2.0" + B({3, 1, 0, 0, 0}));
}

TEST(GifWriter, LoadSaveLoadKeepsBlocksAndPixels)
{
    for (const bool rle : {false, true}) {
        auto image = Picture(97, 41, 200);
        TGIFSubImage& frame = *image->Images().Items(0);
        for (int i = 0; i < 97 * 41; ++i)
            frame.Data()[i] = static_cast<std::uint8_t>(i % 97 < 50 ? (i / 97) % 200 : (i * 31) % 200);
        auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
        gce->SetDelay(7);
        gce->SetDisposal(2);
        frame.Extensions().Add(std::move(gce));
        image->CodingMethod = rle ? gcRLE : gcLZW;
        const std::string first = SaveGif(*image);
        TLoadResult again = LoadGif(first);
        EXPECT_TRUE(again.Warnings.empty());
        again.Image->CodingMethod = image->CodingMethod;
        EXPECT_EQ(SaveGif(*again.Image), first);
    }
}

} // namespace

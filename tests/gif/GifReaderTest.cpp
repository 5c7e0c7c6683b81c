// The reader's tolerances, warnings and refusals, and hostile input.

#include <gtest/gtest.h>

#include <filesystem>

#include "GifTestSupport.h"
#include "gif/GIFEncoder.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"

namespace {

using Bytes = std::string;

Bytes B(std::initializer_list<int> bytes)
{
    Bytes out;
    for (int b : bytes)
        out.push_back(static_cast<char>(b));
    return out;
}

// "GIF89a", a 2x2 screen with a 2-colour global table (black, white).
const Bytes Head = B({'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255});
// A 2x2 frame: descriptor, code size 2, one sub-block: clear, 1, 0, 6 (pixels 1, 0, 1, 0).
const Bytes Frame = B({0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0}) + B({2, 2, 0x0C, 0x0C, 0});
const Bytes Trailer = B({0x3B});

struct TReadCase {
    const char* Name;
    Bytes File;
    const char* Error;
    std::vector<std::string> Warnings;
    int Frames;
};

TEST(GifReader, TolerancesWarningsAndRefusals)
{
    const Bytes thousandEmptyComments = [] {
        Bytes b;
        for (int i = 0; i < 1000; ++i)
            b += B({0x21, 0xFE, 0});
        return b;
    }();
    const TReadCase cases[] = {
        {"plain file", Head + Frame + Trailer, "", {}, 1},
        {"four junk bytes before the signature", "junk" + Head + Frame + Trailer, "", {}, 1},
        {"five junk bytes", "junk!" + Head + Frame + Trailer, "Invalid GIF signature", {}, 0},
        {"lower-case signature", "gif89a" + Head.substr(6) + Frame + Trailer, "", {}, 1},
        {"unknown version", "GIF12x" + Head.substr(6) + Frame + Trailer, "", {}, 1},
        {"no trailer", Head + Frame, "", {}, 1},
        {"zero bytes between blocks", Head + B({0, 0}) + Frame + B({0, 0, 0}) + Frame + Trailer, "", {}, 2},
        {"unknown block after a frame", Head + Frame + B({0x99}) + Frame + Trailer, "",
         {"Unknown GIF block type", "Invalid Image trailer"}, 1},
        {"short header", Head.substr(0, 5), "Premature end of data", {}, 0},
        {"short screen descriptor", Head.substr(0, 10), "Premature end of data", {}, 0},
        {"short global table", Head.substr(0, 15), "Premature end of data", {}, 0},
        {"short image descriptor", Head + Frame.substr(0, 6), "Premature end of data", {}, 0},
        {"unknown extension label", Head + B({0x21, 0x77, 0}) + Frame + Trailer, "", {"Unknown extension type"}, 1},
        {"unknown extension label with data", Head + B({0x21, 0x77, 2, 'a', 'b', 1, 'c', 0}) + Frame + Trailer, "",
         {"Unknown extension type"}, 1},
        {"unknown extension label cut short", Head + B({0x21, 0x77, 9, 'a'}), "Premature end of data",
         {"Unknown extension type"}, 0},
        {"application block size below 10", Head + B({0x21, 0xFF, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0}) + Trailer,
         "Unsupported Application Extension block size", {}, 0},
        {"loop sub-block too short", Head + B({0x21, 0xFF, 11}) + "NETSCAPE2.0" + B({2, 1, 0, 0}) + Trailer,
         "Invalid GIF data", {}, 0},
        {"short graphic control", Head + B({0x21, 0xF9, 4, 1}), "", {"Premature end of data"}, 1},
        {"zero width takes the screen's", Head + B({0x2C, 0, 0, 0, 0, 0, 0, 2, 0, 0}) + Frame.substr(10) + Trailer, "",
         {"Image exceeds Logical Screen size"}, 1},
        {"a thousand empty extensions", Head + thousandEmptyComments + Frame + Trailer, "", {}, 1},
        {"code size over 11", Head + Frame.substr(0, 10) + B({12, 2, 0xFF, 0xFF, 0}) + Frame + Trailer, "",
         {"Invalid GIF data"}, 2},
        {"data past the end of the file", Head + Frame.substr(0, 11) + B({200, 0x8C}), "", {"Premature end of data"}, 1},
        {"frame of 65535 x 65535 in a few bytes", Head + B({0x2C, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 2, 0}),
         "Out of memory", {}, 0},
    };
    for (const TReadCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLoadResult r = LoadGif(c.File);
        EXPECT_EQ(r.Error, c.Error);
        EXPECT_EQ(r.Warnings, c.Warnings);
        EXPECT_EQ(r.Image->Images().Count(), c.Frames);
        if (*c.Error) {
            EXPECT_EQ(r.PositionAfter, 0) << "an error leaves the stream where loading began";
        }
    }
}

TEST(GifReader, UnknownBlockLeavesTheStreamAtThatBlock)
{
    const Bytes file = Head + Frame + B({0x99, 1, 2});
    TMemoryStream stream(file);
    TGIFImage image;
    image.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(Head.size() + Frame.size()));
}

TEST(GifReader, ScreenOf65535SquaredWithoutFramesLoadsEmpty)
{
    const Bytes file = B({'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x3B});
    TLoadResult r = LoadGif(file);
    EXPECT_EQ(r.Error, "");
    EXPECT_EQ(r.Image->Width(), 65535);
    EXPECT_TRUE(r.Image->Empty());
}

// Codes packed by hand: code size 2 gives 3-bit codes, clear 4, end 5.
Bytes PackCodes(std::initializer_list<int> codes, int bits = 3)
{
    Bytes out;
    unsigned acc = 0;
    int count = 0;
    for (int code : codes) {
        acc |= unsigned(code) << count;
        count += bits;
        while (count >= 8) {
            out.push_back(static_cast<char>(acc & 0xFF));
            acc >>= 8;
            count -= 8;
        }
    }
    if (count > 0)
        out.push_back(static_cast<char>(acc));
    return out;
}

Bytes OneFrame(int width, int height, const Bytes& data)
{
    return Head.substr(0, 6) + B({width, 0, height, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255}) +
           B({0x2C, 0, 0, 0, 0, width, 0, height, 0, 0}) + data + Trailer;
}

std::vector<int> FramePixels(const TGIFImage& image, int index)
{
    const TGIFSubImage& frame = *image.Images().Items(index);
    return {frame.Data(), frame.Data() + frame.DataSize()};
}

TEST(GifDecoder, EdgeCasesOfTheCodeStream)
{
    struct TCase {
        const char* Name;
        Bytes Data;  // code size byte, sub-blocks, terminator
        std::vector<int> Pixels;
        std::vector<std::string> Warnings;
    };
    const TCase cases[] = {
        {"no leading clear", B({2, 2}) + PackCodes({1, 0, 5}).substr(0, 2) + B({0}), {1, 0, 0, 0}, {}},
        {"end code right after a clear is a pixel", B({2, 2}) + PackCodes({4, 5, 1, 5}).substr(0, 2) + B({0}),
         {5, 1, 0, 0}, {}},
        {"KwKwK code", B({2, 2}) + PackCodes({4, 1, 6, 5}).substr(0, 2) + B({0}), {1, 1, 1, 0}, {}},
        // A code split over three sub-blocks of one byte: bits come only from bytes read.
        {"code across tiny sub-blocks", [] {
             const Bytes p = PackCodes({4, 1, 0, 6});
             Bytes out = B({2});
             for (char c : p)
                 out += B({1}) + Bytes(1, c);
             return out + B({0});
         }(),
         {1, 0, 1, 0}, {}},
        // A short last sub-block adds only the bits it holds.
        {"sub-block cut by the end of the file", B({2, 9}) + PackCodes({4, 1, 1}), {1, 1, 0, 0},
         {"Premature end of data"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLoadResult r = LoadGif(OneFrame(2, 2, c.Data));
        EXPECT_EQ(r.Error, "");
        ASSERT_EQ(r.Image->Images().Count(), 1);
        EXPECT_EQ(FramePixels(*r.Image, 0), c.Pixels);
        EXPECT_EQ(r.Warnings, c.Warnings);
    }
}

// Codes after the last pixel, in further sub-blocks, must not lose the next frame.
TEST(GifDecoder, AlwaysSkipsToTheTerminator)
{
    const Bytes data = B({2, 2}) + PackCodes({4, 1, 0, 1}).substr(0, 2) + B({2}) + PackCodes({0, 4, 1, 5}).substr(0, 2) + B({0});
    const Bytes file = OneFrame(2, 2, data).substr(0, OneFrame(2, 2, data).size() - 1) + Frame + Trailer;
    TLoadResult r = LoadGif(file);
    EXPECT_EQ(r.Error, "");
    EXPECT_TRUE(r.Warnings.empty());
    EXPECT_EQ(r.Image->Images().Count(), 2);
}

TEST(GifDecoder, CircularTableIsRefused)
{
    // After a clear, code 6 (the next free code) names itself as prefix.
    const Bytes data = B({2, 3}) + PackCodes({4, 6, 6, 6}).substr(0, 3) + B({0});
    TLoadResult r = LoadGif(OneFrame(4, 4, data));
    EXPECT_EQ(r.Error, "Circular decoder table entry");
}

TEST(GifDecoder, TransparentIndexFillsWhatTheDataNeverReaches)
{
    const Bytes gce = B({0x21, 0xF9, 4, 1, 0, 0, 1, 0});
    const Bytes data = B({2, 1}) + PackCodes({4, 0, 5}).substr(0, 1) + B({0});
    Bytes file = OneFrame(2, 2, data);
    file.insert(19, gce);
    TLoadResult r = LoadGif(file);
    EXPECT_EQ(FramePixels(*r.Image, 0), (std::vector<int>{0, 1, 1, 1}));
}

// Every prefix of a real file ends cleanly: a frame list, warnings or a GIF error.
TEST(GifReader, TruncatedAtEveryByte)
{
    TGIFImage source;
    auto frame = std::make_unique<TGIFSubImage>(&source);
    source.AddFrame(std::move(frame));
    TGIFSubImage& f = *source.Images().Items(0);
    for (int i = 0; i < 4; ++i)
        source.GlobalColorMap().Add(RGB(i * 60, 0, 0));
    f.SetBounds(0, 0, 40, 30);
    for (int i = 0; i < 40 * 30; ++i)
        f.Data()[i] = static_cast<std::uint8_t>((i * 7 / 3) % 4);
    auto loop = std::make_unique<TGIFAppExtNSLoop>(&f);
    f.Extensions().Add(std::move(loop));
    auto comment = std::make_unique<TGIFCommentExtension>(&f);
    comment->Comment().Add(std::string(300, 'c'));
    f.Extensions().Add(std::move(comment));
    const Bytes whole = SaveGif(source);
    for (std::size_t n = 0; n < whole.size(); ++n) {
        TLoadResult r = LoadGif(whole.substr(0, n));
        if (!r.Error.empty()) {
            EXPECT_EQ(r.PositionAfter, 0);
        }
    }
}

} // namespace

namespace {

TEST(GifPicture, ProgressOfLoadingAndSaving)
{
    std::vector<std::string> seen;
    TGIFImage image;
    image.OnProgress = [&](TObject*, TProgressStage stage, int percent, bool, const TRect&, const std::string& msg) {
        seen.push_back(msg + " " + std::to_string(int(stage)) + " " + std::to_string(percent));
    };
    TMemoryStream file(Head + Frame + Frame + Trailer);
    image.LoadFromStream(file);
    TMemoryStream out;
    image.SaveToStream(out);
    const std::vector<std::string> expected = {
        "Loading... 0 0", "Loading... 1 " + std::to_string(int((Head.size() + Frame.size()) * 100 / file.Size())),
        "Loading... 1 " + std::to_string(int((Head.size() + 2 * Frame.size()) * 100 / file.Size())), "Loading... 2 100",
        "Saving... 0 0", "Saving... 1 50", "Saving... 1 100", "Saving... 2 100"};
    EXPECT_EQ(seen, expected);

    seen.clear();
    TMemoryStream bad("GIF89a");
    EXPECT_THROW(image.LoadFromStream(bad), GIFException);
    EXPECT_EQ(seen, (std::vector<std::string>{"Loading... 0 0", "Loading... 2 0"}));
}

// Whatever the fuzzer once found stays a case here: it must end cleanly,
// drawn as the fuzzer draws it.
TEST(GifReader, FuzzFindingsEndCleanly)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(GALLERY_SOURCE_DIR) / "tests/data/gif/fuzz";
    if (!fs::exists(folder))
        GTEST_SKIP() << "no fuzz findings kept";
    for (const auto& entry : fs::directory_iterator(folder)) {
        SCOPED_TRACE(entry.path().string());
        TLoadResult r = LoadGif(ReadBinaryFile(entry.path()));
        if (!r.Error.empty()) {
            EXPECT_EQ(r.PositionAfter, 0);
            continue;
        }
        for (const bool tile : {false, true}) {
            TGIFImage& image = *r.Image;
            image.PaintFlags = static_cast<std::uint16_t>(tile ? image.PaintFlags | pfTile : image.PaintFlags & ~pfTile);
            TBitmap target(48, 40, pf24bit);
            EXPECT_NO_THROW(image.Draw(target.Canvas(), TRect{0, 0, 48, 40}));
        }
    }
}

} // namespace

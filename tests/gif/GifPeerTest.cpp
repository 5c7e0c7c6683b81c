// Our decoder and encoder against giflib, gifsicle and ImageMagick, on the
// conformance files and on a corpus the peers make.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "GifTestSupport.h"
#include "GiflibPeer.h"
#include "gif/GIFEncoder.h"
#include "platform/core/TStream.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ActiveColors(TGIFSubImage& frame)
{
    TGIFColorMap& map = frame.ActiveColorMap();
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < map.Count(); ++i) {
        rgb.push_back(map.Entry(i).Red);
        rgb.push_back(map.Entry(i).Green);
        rgb.push_back(map.Entry(i).Blue);
    }
    return rgb;
}

std::vector<std::uint8_t> Pixels(const TGIFSubImage& frame)
{
    if (!frame.Data())
        return {};
    return {frame.Data(), frame.Data() + frame.DataSize()};
}

// Our frames equal giflib's: place, size, indexes and colours.
void ExpectSameAsGiflib(const std::string& bytes, TGIFImage& ours, bool compareInterlace = true)
{
    const auto theirs = GiflibDecode(bytes);
    ASSERT_TRUE(theirs) << "giflib refuses the file";
    ASSERT_EQ(ours.Images().Count(), static_cast<int>(theirs->size()));
    for (int i = 0; i < ours.Images().Count(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        TGIFSubImage& frame = *ours.Images().Items(i);
        const TPeerFrame& peer = (*theirs)[static_cast<std::size_t>(i)];
        EXPECT_EQ(frame.Left(), peer.Left);
        EXPECT_EQ(frame.Top(), peer.Top);
        EXPECT_EQ(frame.Width(), peer.Width);
        EXPECT_EQ(frame.Height(), peer.Height);
        if (compareInterlace) {
            EXPECT_EQ(frame.Interlaced(), peer.Interlaced);
        }
        EXPECT_TRUE(Pixels(frame) == peer.Pixels);
        EXPECT_TRUE(ActiveColors(frame) == peer.Colors);
    }
}

// The corpus, made by few peer runs ({in} the source picture, {dir} the folder).
const char* const CorpusCommands[] = {
    "convert {in} \\( +clone -colors 2 -write {dir}/depth1.gif +delete \\) \\( +clone -colors 4 -write {dir}/depth2.gif +delete \\) "
    "\\( +clone -colors 8 -write {dir}/depth3.gif +delete \\) \\( +clone -colors 16 -write {dir}/depth4.gif +delete \\) "
    "\\( +clone -colors 32 -write {dir}/depth5.gif +delete \\) \\( +clone -colors 64 -write {dir}/depth6.gif +delete \\) "
    "\\( +clone -colors 128 -write {dir}/depth7.gif +delete \\) \\( +clone -colors 256 -write {dir}/depth8.gif +delete \\) "
    "\\( +clone -colors 200 -interlace GIF -write {dir}/interlaced.gif +delete \\) "
    "\\( +clone -colors 64 -fuzz 20% -transparent white -write {dir}/transparent.gif +delete \\) "
    "\\( +clone -colors 32 -set comment 'made for the test' -loop 0 -write {dir}/comment-and-loop.gif +delete \\) null:",
    "gifsicle -i {dir}/depth6.gif -o {dir}/interlaced-gifsicle.gif",
    "convert -dispose none -delay 5 -page 90x70+0+0 {in} -colors 16 -page +10+7 \\( {in} -negate -crop 40x30+5+5 +repage -colors 8 \\) "
    "-page +33+21 \\( {in} -flop -crop 17x13+0+0 +repage -colors 256 \\) -loop 0 {dir}/local-tables-offsets.gif",
    "convert -delay 2 {in} \\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) "
    "\\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) "
    "\\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) "
    "-colors 64 -loop 3 {dir}/many-frames.gif",
    "gifsicle -O3 --colors 64 {dir}/many-frames.gif -o {dir}/optimised.gif",
    "convert -size 400x300 xc: +noise Random -colors 256 {dir}/noise-with-clears.gif",
};

std::string Substituted(std::string command, const std::string& in, const std::string& dir)
{
    for (std::size_t at; (at = command.find("{in}")) != std::string::npos;)
        command.replace(at, 4, in);
    for (std::size_t at; (at = command.find("{dir}")) != std::string::npos;)
        command.replace(at, 5, dir);
    return command;
}

class GifCorpus : public ::testing::Test {
protected:
    // Made once per machine and kept: the peers take seconds to start.
    static void SetUpTestSuite()
    {
        if (!HaveTool("convert") || !HaveTool("gifsicle"))
            return;
        const fs::path folder = fs::temp_directory_path() / "gallery-gif-corpus-1";
        if (!fs::exists(folder / "done")) {
            const std::string work = TempFolder("corpus");
            const std::string source = work + "/source.ppm";
            std::string output;
            RunCommand("convert -seed 7 -size 90x70 plasma:fractal -blur 0x1 " + source, output);
            for (const char* command : CorpusCommands)
                if (RunCommand("env MAGICK_THREAD_LIMIT=1 " + Substituted(command, source, work), output) != 0) {
                    ADD_FAILURE() << command << ": " << output;
                    return;
                }
            fs::remove(source);
            WriteBinaryFile(work + "/done", "");
            std::error_code ignored;
            fs::rename(work, folder, ignored);
        }
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".gif")
                Files.push_back(entry.path().string());
        std::sort(Files.begin(), Files.end());
        Folder = TempFolder("written");
    }

    void SetUp() override
    {
        if (Files.empty())
            GTEST_SKIP() << "ImageMagick or gifsicle is not installed";
    }

    static inline std::string Folder;
    static inline std::vector<std::string> Files;
};

TEST_F(GifCorpus, DecodesAsGiflibDoes)
{
    for (const std::string& file : Files) {
        SCOPED_TRACE(file);
        const std::string bytes = ReadBinaryFile(file);
        TLoadResult loaded = LoadGif(bytes);
        EXPECT_EQ(loaded.Error, "");
        EXPECT_TRUE(loaded.Warnings.empty()) << loaded.Warnings.front();
        ExpectSameAsGiflib(bytes, *loaded.Image);
    }
}

TEST_F(GifCorpus, WhatWeWriteThePeersReadWithoutComplaint)
{
    for (const bool rle : {false, true}) {
        for (const std::string& file : Files) {
            SCOPED_TRACE(file + (rle ? " (run-length)" : " (LZW)"));
            TLoadResult loaded = LoadGif(ReadBinaryFile(file));
            loaded.Image->CodingMethod = rle ? gcRLE : gcLZW;
            const std::string written = SaveGif(*loaded.Image);
            const std::string path = Folder + "/" + fs::path(file).stem().string() + (rle ? ".rle.gif" : ".lzw.gif");
            WriteBinaryFile(path, written);

            // Indexes survive (interlacing may not, by design, for frames with own tables).
            ExpectSameAsGiflib(written, *loaded.Image, false);
            TLoadResult again = LoadGif(written);
            EXPECT_TRUE(again.Warnings.empty());
            ExpectSameAsGiflib(written, *again.Image, false);

            std::string output;
            EXPECT_EQ(RunCommand("giftext " + path + " > /dev/null", output), 0) << output;
            EXPECT_EQ(output, "");
            EXPECT_EQ(RunCommand("gifsicle --info " + path + " > /dev/null", output), 0) << output;
            EXPECT_EQ(output, "");
            EXPECT_EQ(RunCommand("identify " + path + " > /dev/null", output), 0) << output;
            EXPECT_EQ(output, "");
            // What a viewer shows is the same.
            EXPECT_EQ(RunCommand("gifdiff " + file + " " + path, output), 0) << output;
        }
    }
}

TEST(GifSuitePeer, DecodesEverySuiteFileAsGiflibDoes)
{
    const fs::path suite = fs::path(TestDataDir()) / "gif-suite";
    if (!fs::exists(suite))
        GTEST_SKIP() << "no conformance suite at " << suite;
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(suite)) {
        if (entry.path().extension() != ".gif")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::string bytes = ReadBinaryFile(entry.path());
        const auto theirs = GiflibDecode(bytes);
        TLoadResult ours = LoadGif(bytes);
        if (!theirs || !ours.Error.empty() || !ours.Warnings.empty())
            continue;  // damaged files: the conformance test says what each must give
        ExpectSameAsGiflib(bytes, *ours.Image);
        ++compared;
    }
    EXPECT_GT(compared, 50);
}

// Blocks other programs write and peers disagree on: what we write back from
// them, giflib (giftext) and gifsicle read, and the picture shows the same.
TEST(GifPeer, RewrittenOddBlocksAreReadByGiflibAndGifsicle)
{
    if (!HaveTool("giftext") || !HaveTool("gifsicle") || !HaveTool("gifdiff"))
        GTEST_SKIP() << "giflib's giftext or gifsicle is not installed";
    auto b = [](std::initializer_list<int> bytes) {
        std::string out;
        for (int v : bytes)
            out.push_back(static_cast<char>(v));
        return out;
    };
    // A 2 x 2 screen with black and white, and a frame of pixels 1, 0, 1, 0.
    const std::string head = b({'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255});
    const std::string frame = b({0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2, 2, 0x0C, 0x0C, 0, 0x3B});
    struct TCase {
        const char* Name;
        std::string Blocks;
        std::vector<std::string> Warnings;
    };
    const TCase cases[] = {
        {"empty comment", b({0x21, 0xFE, 0}), {}},
        {"graphic control with a terminator of 7", b({0x21, 0xF9, 4, 0, 0, 0, 0, 7}), {}},
        {"extension of an unknown label", b({0x21, 0x77, 3, 'a', 'b', 'c', 0}), {"Unknown extension type"}},
    };
    const std::string folder = TempFolder("odd-blocks");
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TLoadResult loaded = LoadGif(head + c.Blocks + frame);
        ASSERT_EQ(loaded.Error, "");
        EXPECT_EQ(loaded.Warnings, c.Warnings);
        ASSERT_EQ(loaded.Image->Images().Count(), 1);
        // The peers refuse some of these sources; the picture without the block is the same.
        const std::string plain = folder + "/plain.gif";
        const std::string written = folder + "/written.gif";
        WriteBinaryFile(plain, head + frame);
        WriteBinaryFile(written, SaveGif(*loaded.Image));
        std::string output;
        EXPECT_EQ(RunCommand("giftext " + written + " > /dev/null", output), 0) << output;
        EXPECT_EQ(RunCommand("gifsicle --info " + written + " > /dev/null", output), 0) << output;
        EXPECT_EQ(output, "");
        ExpectSameAsGiflib(SaveGif(*loaded.Image), *loaded.Image);
        EXPECT_EQ(RunCommand("gifdiff " + plain + " " + written, output), 0) << output;
    }
}

// The image data of our LZW coder equals giflib's byte for byte.
TEST(GifEncoderPeer, LZWDataEqualsGiflibs)
{
    struct TCase {
        int Bits;
        int Width;
        int Height;
        bool Interlaced;
        int Pattern;
    };
    std::vector<TCase> cases;
    for (int bits = 2; bits <= 8; ++bits)
        for (int width : {1, 2, 255, 256, 257})
            cases.push_back({bits, width, 37, false, bits});
    for (int height = 1; height <= 9; ++height)
        cases.push_back({4, 13, height, true, height});
    // Many codes: several clears of a full table.
    cases.push_back({8, 600, 400, false, 99});
    cases.push_back({8, 640, 480, true, 98});
    cases.push_back({1, 300, 200, false, 97});

    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Bits) + " bits " + std::to_string(c.Width) + "x" + std::to_string(c.Height) +
                     (c.Interlaced ? " interlaced" : ""));
        std::vector<std::uint8_t> pixels(std::size_t(c.Width) * std::size_t(c.Height));
        unsigned state = 1234u + unsigned(c.Pattern);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            state = state * 1103515245u + 12345u;
            // Runs and noise both, so strings of every length occur.
            pixels[i] = static_cast<std::uint8_t>(((state >> 16) % 5 == 0 ? (state >> 8) : (i / 7 + i / 131)) %
                                                  (1u << c.Bits));
        }
        TMemoryStream ours;
        TGIFEncodeSource source{pixels.data(), c.Width, c.Height, c.Interlaced, 1 << c.Bits, c.Bits};
        EncodeGIFImage(ours, source, TGIFEncoderKind::LZW);
        EXPECT_TRUE(ours.Bytes() == GiflibEncodeImageData(pixels, c.Width, c.Height, c.Interlaced, c.Bits));
    }
}

} // namespace

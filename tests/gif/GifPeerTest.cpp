// Our decoder and encoder against giflib, gifsicle and ImageMagick, on the
// conformance files and on a corpus the peers make.

#include <gtest/gtest.h>

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

struct TCorpusCase {
    const char* Name;
    const char* Command;  // {in} is a 24-bit source picture, {out} the GIF made
};

const TCorpusCase CorpusCases[] = {
    {"depth1", "convert {in} -colors 2 {out}"},
    {"depth2", "convert {in} -colors 4 {out}"},
    {"depth3", "convert {in} -colors 8 {out}"},
    {"depth4", "convert {in} -colors 16 {out}"},
    {"depth5", "convert {in} -colors 32 {out}"},
    {"depth6", "convert {in} -colors 64 {out}"},
    {"depth7", "convert {in} -colors 128 {out}"},
    {"depth8", "convert {in} -colors 256 {out}"},
    {"interlaced", "convert {in} -colors 200 -interlace GIF {out}"},
    {"interlaced-gifsicle", "convert {in} -colors 50 {out}.tmp.gif && gifsicle -i {out}.tmp.gif -o {out}"},
    {"transparent", "convert {in} -colors 64 -transparent-color white -fuzz 20% -transparent white {out}"},
    {"local-tables-offsets",
     "convert -dispose none -delay 5 -page 90x70+0+0 {in} -colors 16 -page +10+7 \\( {in} -negate -crop 40x30+5+5 +repage -colors 8 \\) "
     "-page +33+21 \\( {in} -flop -crop 17x13+0+0 +repage -colors 256 \\) -loop 0 {out}"},
    {"many-frames", "convert -delay 2 {in} \\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) "
                    "\\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) "
                    "\\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) \\( +clone -roll +3+1 \\) "
                    "-colors 64 -loop 3 {out}"},
    {"optimised", "convert -delay 3 {in} \\( +clone -roll +5+0 \\) \\( +clone -roll +5+0 \\) -colors 128 {out}.tmp.gif && "
                  "gifsicle -O3 {out}.tmp.gif -o {out}"},
    {"noise-with-clears", "convert -size 400x300 xc: +noise Random -colors 256 {out}"},
    {"comment-and-loop", "convert {in} -colors 32 -set comment 'made for the test' -loop 0 {out}"},
};

class GifCorpus : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!HaveTool("convert") || !HaveTool("gifsicle"))
            return;
        Folder = TempFolder("corpus");
        Source = Folder + "/source.ppm";
        std::string output;
        RunCommand("convert -seed 7 -size 90x70 plasma:fractal -blur 0x1 " + Source, output);
        for (const TCorpusCase& c : CorpusCases) {
            std::string command = c.Command;
            const std::string out = Folder + "/" + c.Name + ".gif";
            for (std::size_t at; (at = command.find("{in}")) != std::string::npos;)
                command.replace(at, 4, Source);
            for (std::size_t at; (at = command.find("{out}")) != std::string::npos;)
                command.replace(at, 5, out);
            if (RunCommand(command, output) == 0)
                Files.push_back(out);
            else
                ADD_FAILURE() << c.Name << ": " << output;
        }
    }

    void SetUp() override
    {
        if (Files.empty())
            GTEST_SKIP() << "ImageMagick or gifsicle is not installed";
    }

    static inline std::string Folder;
    static inline std::string Source;
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
            const std::string path = file + (rle ? ".rle.gif" : ".lzw.gif");
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

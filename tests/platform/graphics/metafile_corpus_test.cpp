// Files other programs wrote (Inkscape exports of the SVGs beside them), drawn
// by our playback and compared with a peer's rendering of the same file.
//
// The peer antialiases and we draw hard pixels, so the comparison is loose:
// both pictures are blurred over 5 x 5 pixels, then
//   - ink (pixels clearly darker or more coloured than the white paper) of
//     each must mostly have ink of the other within two pixels: this finds
//     lost text, lines, fills and bitmaps, and drawing outside the clip;
//   - the mean colour difference of the blurred pictures must stay small:
//     this finds wrong colours (solid hatches, missing gradients).

#include <gtest/gtest.h>

#include <png.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "canvas_test_support.h"
#include "platform/graphics/TMetafile.h"

using namespace canvastest;

namespace {

struct TImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Rgb;
    const std::uint8_t* At(int x, int y) const { return &Rgb[(std::size_t(y) * std::size_t(Width) + std::size_t(x)) * 3]; }
};

std::filesystem::path CorpusDir() { return std::filesystem::path(GALLERY_SOURCE_DIR) / "tests/platform/graphics/metafiles"; }

TImage ReadPng(const std::filesystem::path& file)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    TImage out;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return out;
    image.format = PNG_FORMAT_RGB;
    out.Width = int(image.width);
    out.Height = int(image.height);
    out.Rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.Rgb.data(), 0, nullptr)) return {};
    return out;
}

TImage FromBitmap(const TBitmap& b)
{
    TImage out{b.Width(), b.Height(), {}};
    out.Rgb.reserve(std::size_t(b.Width()) * std::size_t(b.Height()) * 3);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const TColor c = b.Pixel(x, y);
            out.Rgb.push_back(std::uint8_t(c & 0xFF));
            out.Rgb.push_back(std::uint8_t((c >> 8) & 0xFF));
            out.Rgb.push_back(std::uint8_t((c >> 16) & 0xFF));
        }
    return out;
}

void WritePng(const TImage& image, const std::filesystem::path& file)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(image.Width);
    png.height = png_uint_32(image.Height);
    png.format = PNG_FORMAT_RGB;
    png_image_write_to_file(&png, file.c_str(), 0, image.Rgb.data(), 0, nullptr);
}

TImage Blurred(const TImage& in, int radius)
{
    TImage out = in;
    for (int y = 0; y < in.Height; ++y)
        for (int x = 0; x < in.Width; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0, n = 0;
                for (int dy = -radius; dy <= radius; ++dy)
                    for (int dx = -radius; dx <= radius; ++dx) {
                        const int px = x + dx, py = y + dy;
                        if (px < 0 || py < 0 || px >= in.Width || py >= in.Height) continue;
                        sum += in.At(px, py)[c];
                        ++n;
                    }
                out.Rgb[(std::size_t(y) * std::size_t(in.Width) + std::size_t(x)) * 3 + std::size_t(c)] =
                    std::uint8_t(sum / n);
            }
    return out;
}

bool Ink(const std::uint8_t* p) { return (255 - p[0]) + (255 - p[1]) + (255 - p[2]) > 60; }

// The share of `a`'s ink that has ink of `b` within `reach` pixels.
double InkCovered(const TImage& a, const TImage& b, int reach)
{
    int ink = 0, covered = 0;
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x) {
            if (!Ink(a.At(x, y))) continue;
            ++ink;
            bool found = false;
            for (int dy = -reach; dy <= reach && !found; ++dy)
                for (int dx = -reach; dx <= reach && !found; ++dx) {
                    const int px = x + dx, py = y + dy;
                    found = px >= 0 && py >= 0 && px < b.Width && py < b.Height && Ink(b.At(px, py));
                }
            covered += found;
        }
    return ink ? double(covered) / ink : 1.0;
}

double MeanDifference(const TImage& a, const TImage& b)
{
    double sum = 0;
    for (std::size_t i = 0; i < a.Rgb.size(); ++i) sum += std::abs(int(a.Rgb[i]) - int(b.Rgb[i]));
    return sum / double(a.Rgb.size());
}

struct TCorpusCase {
    const char* File;
    double MinInk;      // each picture's ink the other covers
    double MaxMean;     // mean colour difference, 0..255
};

}  // namespace

TEST(MetafileCorpus, InkscapeExportsDrawAsThePeerRendersThem)
{
    // The peer sets lines of text a few pixels lower than their baselines in
    // the file and ignores the files' spacing arrays, so text matches less.
    const TCorpusCase cases[] = {
        {"text.emf", 0.75, 12}, {"text.wmf", 0.75, 12},   {"lines.emf", 0.9, 10}, {"lines.wmf", 0.9, 10},
        {"fills.emf", 0.9, 14}, {"fills.wmf", 0.9, 14},   {"clip.emf", 0.9, 12},  {"clip.wmf", 0.9, 12},
        {"image.emf", 0.9, 12}, {"image.wmf", 0.9, 12},
    };
    const std::filesystem::path out = std::filesystem::path(testing::TempDir()) / "metafile-corpus";
    std::filesystem::create_directories(out);
    for (const TCorpusCase& c : cases) {
        SCOPED_TRACE(c.File);
        const std::filesystem::path file = CorpusDir() / c.File;
        std::ifstream in(file, std::ios::binary);
        ASSERT_TRUE(in) << file;
        std::stringstream bytes;
        bytes << in.rdbuf();
        TMetafile m;
        ASSERT_NO_THROW(m.LoadFromBytes(bytes.str()));
        const TImage peer = ReadPng(CorpusDir() / (std::string(c.File) + ".png"));
        ASSERT_GT(peer.Width, 0);
        auto ours = Filled(peer.Width, peer.Height, clWhite);
        ours->Canvas().StretchDraw(Rect(0, 0, peer.Width, peer.Height), m);
        EXPECT_EQ(m.SkippedRecords(), 0) << m.SkippedSummary();
        const TImage mine = FromBitmap(*ours);
        WritePng(mine, out / (std::string(c.File) + ".png"));
        const TImage a = Blurred(mine, 2), b = Blurred(peer, 2);
        const double oursCovered = InkCovered(a, b, 2), peerCovered = InkCovered(b, a, 2);
        const double mean = MeanDifference(a, b);
        RecordProperty(c.File, std::to_string(oursCovered) + " " + std::to_string(peerCovered) + " " + std::to_string(mean));
        std::printf("%-10s ours covered %.3f, peer covered %.3f, mean difference %.1f\n", c.File, oursCovered,
                    peerCovered, mean);
        EXPECT_GE(oursCovered, c.MinInk);
        EXPECT_GE(peerCovered, c.MinInk);
        EXPECT_LE(mean, c.MaxMean);
    }
}

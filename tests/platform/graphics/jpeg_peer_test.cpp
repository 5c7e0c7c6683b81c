// Decoding and encoding checked against libjpeg's own command-line tools:
// cjpeg makes the files, djpeg decodes them with the settings our decoder
// promises, and the pixels must be identical.

#include "platform/graphics/TJPEGImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>

#include <jpeglib.h>

#include "jpeg_fixtures.h"

namespace {

using namespace jpegtest;

struct PeerCase {
    const char* name;
    const char* cjpegOptions;
    int width;
    int height;
};

void PrintTo(const PeerCase& c, std::ostream* os) { *os << c.name; }

const PeerCase PeerCases[] = {
    {"Baseline", "", 67, 45},
    {"Progressive", "-progressive", 67, 45},
    {"Subsampled420", "-sample 2x2", 67, 45},
    {"Subsampled422", "-sample 2x1", 67, 45},
    {"Full444", "-sample 1x1", 67, 45},
    {"Grayscale", "-grayscale", 67, 45},
    {"GrayscaleProgressive", "-grayscale -progressive", 67, 45},
    {"RestartEveryRow", "-restart 1", 67, 45},
    {"Arithmetic", "-arithmetic", 67, 45},
    {"OptimizedQuality100", "-optimize -quality 100 -sample 1x1", 67, 45},
    // Smaller than one MCU, so edge replication and upsampling meet.
    {"SinglePixel", "-sample 2x2", 1, 1},
    {"BelowOneMcuProgressive", "-progressive -sample 2x2", 17, 9},
    {"TallThin", "-sample 2x1", 3, 70},
};

class JpegPeerDecode : public ::testing::TestWithParam<PeerCase> {};

TEST_P(JpegPeerDecode, PixelsEqualDjpeg)
{
    if (!HasPeerTools()) GTEST_SKIP() << "cjpeg/djpeg not installed (Debian package libjpeg-turbo-progs)";
    const PeerCase& c = GetParam();
    TempDir dir;
    WriteAll(dir / "in.ppm", PnmFile(SyntheticPicture(c.width, c.height)));
    ASSERT_TRUE(RunTool("cjpeg " + std::string(c.cjpegOptions) + " -outfile " + Quoted(dir / "in.jpg") + " " +
                    Quoted(dir / "in.ppm")));
    ASSERT_TRUE(RunTool("djpeg -dct int -pnm -outfile " + Quoted(dir / "out.pnm") + " " + Quoted(dir / "in.jpg")));
    const Pnm expected = ParsePnm(ReadAll(dir / "out.pnm"));

    TJPEGImage jpeg;
    jpeg.LoadFromFile(dir / "in.jpg");
    EXPECT_TRUE(SamePixels(jpeg.Bitmap(), expected));
    EXPECT_EQ(jpeg.Grayscale(), expected.channels == 1);
    EXPECT_TRUE(SameBytes(jpeg.Data(), ReadAll(dir / "in.jpg")));
    EXPECT_EQ(jpeg.Width(), c.width);
    EXPECT_EQ(jpeg.Height(), c.height);
}

INSTANTIATE_TEST_SUITE_P(Cjpeg, JpegPeerDecode, ::testing::ValuesIn(PeerCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Our encoder is libjpeg's defaults plus the quality with baseline tables, as
// cjpeg's is with -baseline: the files must be the same bytes. The larger
// picture's files pass the 64 KiB the encoder writes at a time.
TEST(JpegPeerEncode, SameBytesAsCjpegAtEachQuality)
{
    if (!HasPeerTools()) GTEST_SKIP() << "cjpeg/djpeg not installed (Debian package libjpeg-turbo-progs)";
    TempDir dir;
    for (const Pnm& picture : {SyntheticPicture(67, 45, 7), SyntheticPicture(300, 211, 8)}) {
        WriteAll(dir / "in.ppm", PnmFile(picture));
        TBitmap bitmap;
        ToBitmap(picture, bitmap);
        for (int quality : {10, 50, 75, 90, 100}) {
            SCOPED_TRACE(std::to_string(picture.width) + " wide, quality " + std::to_string(quality));
            ASSERT_TRUE(RunTool("cjpeg -baseline -quality " + std::to_string(quality) + " -outfile " +
                                Quoted(dir / "q.jpg") + " " + Quoted(dir / "in.ppm")));
            const std::string ours = EncodeJpeg(bitmap, quality);
            EXPECT_TRUE(SameBytes(ours, ReadAll(dir / "q.jpg")));
            // Baseline JFIF: SOI, APP0 "JFIF", and a baseline frame (SOF0).
            EXPECT_EQ(ours.substr(0, 4), "\xFF\xD8\xFF\xE0");
            EXPECT_EQ(ours.substr(6, 5), std::string("JFIF\0", 5));
            EXPECT_NE(ours.find("\xFF\xC0"), std::string::npos);
            EXPECT_EQ(ours.find("\xFF\xC2"), std::string::npos);
        }
    }
}


TEST(JpegPeerDecode, CmykAndYcckConvertAsDjpeg)
{
    if (!HasPeerTools()) GTEST_SKIP() << "cjpeg/djpeg not installed (Debian package libjpeg-turbo-progs)";
    for (J_COLOR_SPACE stored : {JCS_CMYK, JCS_YCCK}) {
        SCOPED_TRACE(stored == JCS_CMYK ? "CMYK" : "YCCK");
        TempDir dir;
        const std::string file = CmykJpeg(stored, 37, 21);
        WriteAll(dir / "ink.jpg", file);
        ASSERT_TRUE(RunTool("djpeg -dct int -ppm -outfile " + Quoted(dir / "out.ppm") + " " + Quoted(dir / "ink.jpg")));
        TBitmap bitmap;
        bool grayscale = true;
        DecodeJpeg(file, bitmap, grayscale);
        EXPECT_TRUE(SamePixels(bitmap, ParsePnm(ReadAll(dir / "out.ppm"))));
        EXPECT_FALSE(grayscale);
    }
}

}  // namespace

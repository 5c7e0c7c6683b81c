#include "shared/veskotools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"
#include "tests/support/TempFolder.h"

namespace {

// Red holds x, green holds y, so a sampled pixel tells where it came from.
std::unique_ptr<TBitmap> Coordinates(int width, int height)
{
    auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bitmap->SetPixel(x, y, RGB(x & 0xFF, y & 0xFF, 0x40 + ((x >> 8) | ((y >> 8) << 4))));
        }
    }
    return bitmap;
}

// A pattern whose three bytes differ per pixel and from one pixel to the next.
void Scramble(TBitmap& bitmap, int seed)
{
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            bitmap.SetPixel(x, y, RGB((x * 37 + y * 11 + seed) & 0xFF, (x * 5 + y * 71 + 3 * seed) & 0xFF,
                                      (x * y + 13 * seed) & 0xFF));
        }
    }
}

std::unique_ptr<TBitmap> Pattern(int width, int height, TPixelFormat format = pf24bit, int seed = 1)
{
    auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
    Scramble(*bitmap, seed);
    if (format != pf24bit) {
        bitmap->SetPixelFormat(format);
    }
    return bitmap;
}

// A pattern with its row padding set too, so stray writes there show.
std::unique_ptr<TBitmap> PaddedPattern(int width, int height, int seed)
{
    auto bitmap = Pattern(width, height, pf24bit, seed);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap->ScanLine(y);
        for (std::size_t i = 3 * std::size_t(width); i < bitmap->RowBytes(); ++i) {
            row[i] = 0xAB;
        }
    }
    return bitmap;
}

void ExpectSamePixels(const TBitmap& actual, const TBitmap& expected)
{
    ASSERT_EQ(actual.Width(), expected.Width());
    ASSERT_EQ(actual.Height(), expected.Height());
    int mismatches = 0;
    for (int y = 0; y < expected.Height() && mismatches < 5; ++y) {
        for (int x = 0; x < expected.Width() && mismatches < 5; ++x) {
            if (actual.Pixel(x, y) != expected.Pixel(x, y)) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
                ++mismatches;
            }
        }
    }
}

// The turns written one pixel at a time, as they are defined.
std::unique_ptr<TBitmap> ReferenceTurn(const TBitmap& source, bool right)
{
    const int w = source.Width();
    const int h = source.Height();
    auto target = std::make_unique<TBitmap>(h, w, pf24bit);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (right) {
                target->SetPixel(h - 1 - y, x, source.Pixel(x, y));
            } else {
                target->SetPixel(y, w - 1 - x, source.Pixel(x, y));
            }
        }
    }
    return target;
}

// The resize written as defined: columns outside, rows inside, positions
// accumulated per column.
std::unique_ptr<TBitmap> ReferenceResize(const TBitmap& source, int width, int height)
{
    auto target = std::make_unique<TBitmap>(width, height, pf24bit);
    const int sw = source.Width();
    const int sh = source.Height();
    const double xStep = static_cast<double>(sw) / width;
    const double yStep = static_cast<double>(sh) / height;
    double xPos = xStep;
    for (int x = 0; x < width; ++x) {
        double yPos = yStep;
        for (int y = 0; y < height; ++y) {
            const int sx = std::min(RoundHalfEven(xPos), sw - 1);
            const int sy = std::min(RoundHalfEven(yPos), sh - 1);
            target->SetPixel(x, y, source.Pixel(sx, sy));
            if (sh > yPos + yStep) {
                yPos += yStep;
            }
        }
        if (sw > xPos + xStep) {
            xPos += xStep;
        }
    }
    return target;
}

TEST(RotateBitmap, SmallMappingAndInverse)
{
    const auto sourceBitmap = Coordinates(3, 2);
    const TBitmap& source = *sourceBitmap;
    const auto right = RotateBitmapRight(source);
    ASSERT_EQ(right->Width(), 2);
    ASSERT_EQ(right->Height(), 3);
    EXPECT_EQ(right->PixelFormat(), pf24bit);
    EXPECT_EQ(right->Pixel(1, 0), source.Pixel(0, 0));
    EXPECT_EQ(right->Pixel(0, 2), source.Pixel(2, 1));
    EXPECT_EQ(right->Pixel(0, 0), source.Pixel(0, 1));
    ExpectSamePixels(*RotateBitmapLeft(*right), source);

    const auto left = RotateBitmapLeft(source);
    EXPECT_EQ(left->Pixel(0, 2), source.Pixel(0, 0));
    EXPECT_EQ(left->Pixel(1, 0), source.Pixel(2, 1));
    ExpectSamePixels(*RotateBitmapRight(*left), source);
}

TEST(RotateBitmap, FourTurnsGiveTheStart)
{
    const auto source = Pattern(37, 70);
    for (bool right : {true, false}) {
        SCOPED_TRACE(right ? "right" : "left");
        auto turned = right ? RotateBitmapRight(*source) : RotateBitmapLeft(*source);
        for (int i = 0; i < 3; ++i) {
            turned = right ? RotateBitmapRight(*turned) : RotateBitmapLeft(*turned);
        }
        ExpectSamePixels(*turned, *source);
    }
}

// Odd sizes and sizes around the tile edge, for the row copy and for the
// formats that go through Pixel().
TEST(RotateBitmap, EqualsPixelByPixelDefinition)
{
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 9}, {9, 1}, {31, 33}, {33, 31}, {65, 3}, {100, 67}};
    for (TPixelFormat format : {pf24bit, pfDevice, pf32bit, pf8bit, pf1bit}) {
        for (const auto& [w, h] : sizes) {
            SCOPED_TRACE(testing::Message() << "format " << format << ", " << w << " x " << h);
            const auto source = Pattern(w, h, format);
            const auto right = RotateBitmapRight(*source);
            const auto left = RotateBitmapLeft(*source);
            EXPECT_EQ(right->PixelFormat(), pf24bit);
            EXPECT_EQ(left->PixelFormat(), pf24bit);
            ExpectSamePixels(*right, *ReferenceTurn(*source, true));
            ExpectSamePixels(*left, *ReferenceTurn(*source, false));
        }
    }
}

TEST(RotateBitmap, EmptySourceGivesEmptyTarget)
{
    const TBitmap source(0, 5, pf24bit);
    const auto right = RotateBitmapRight(source);
    EXPECT_EQ(right->Width(), 5);
    EXPECT_EQ(right->Height(), 0);
    EXPECT_TRUE(RotateBitmapLeft(TBitmap())->Empty());
}

struct SampleCase {
    int sourceWidth, sourceHeight, width, height;
    std::vector<int> columns, rows;
};

TEST(ResizeBitmap, SamplesFromOneStepIn)
{
    std::vector<int> every2nd;
    for (int c = 2; c <= 98; c += 2) {
        every2nd.push_back(c);
    }
    every2nd.push_back(98);
    const SampleCase cases[] = {
        {4, 4, 2, 2, {2, 2}, {2, 2}},
        {2, 2, 4, 4, {0, 1, 1, 1}, {0, 1, 1, 1}},
        {3, 3, 1, 1, {2}, {2}},
        {1, 1, 3, 2, {0, 0, 0}, {0, 0}},
        {100, 3, 50, 3, every2nd, {1, 2, 2}},
        {5, 10, 2, 4, {2, 2}, {2, 5, 8, 8}},
    };
    for (const SampleCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sourceWidth << " x " << c.sourceHeight << " to " << c.width << " x "
                                        << c.height);
        const auto target = ResizeBitmap(*Coordinates(c.sourceWidth, c.sourceHeight), c.width, c.height);
        ASSERT_EQ(target->Width(), c.width);
        ASSERT_EQ(target->Height(), c.height);
        EXPECT_EQ(target->PixelFormat(), pf24bit);
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const TColor color = target->Pixel(x, y);
                EXPECT_EQ(GetRValue(color), c.columns[std::size_t(x)]) << "column of (" << x << ", " << y << ")";
                EXPECT_EQ(GetGValue(color), c.rows[std::size_t(y)]) << "row of (" << x << ", " << y << ")";
            }
        }
    }
}

TEST(ResizeBitmap, EqualsPixelByPixelDefinition)
{
    struct Size { int sw, sh, w, h; };
    const Size sizes[] = {{7, 5, 3, 9}, {640, 480, 123, 77}, {33, 17, 100, 51}, {3, 300, 7, 7}, {10, 10, 10, 10},
                          {1000, 3, 333, 2}};
    for (TPixelFormat format : {pf24bit, pf32bit, pf8bit}) {
        for (const Size& s : sizes) {
            SCOPED_TRACE(testing::Message() << "format " << format << ", " << s.sw << " x " << s.sh << " to " << s.w
                                            << " x " << s.h);
            const auto source = Pattern(s.sw, s.sh, format);
            ExpectSamePixels(*ResizeBitmap(*source, s.w, s.h), *ReferenceResize(*source, s.w, s.h));
        }
    }
}

TEST(ResizeBitmap, ZeroSizesAndEmptySource)
{
    const auto sourceBitmap = Pattern(4, 4);
    const TBitmap& source = *sourceBitmap;
    const auto noWidth = ResizeBitmap(source, 0, 3);
    EXPECT_EQ(noWidth->Width(), 0);
    EXPECT_EQ(noWidth->Height(), 3);
    EXPECT_TRUE(ResizeBitmap(source, 3, 0)->Empty());

    const auto fromEmpty = ResizeBitmap(TBitmap(0, 0, pf24bit), 2, 2);
    ASSERT_EQ(fromEmpty->Width(), 2);
    ASSERT_EQ(fromEmpty->Height(), 2);
    EXPECT_EQ(fromEmpty->Pixel(1, 1), clWhite);

    EXPECT_THROW(ResizeBitmap(source, -1, 2), EInvalidGraphicOperation);
    EXPECT_THROW(ResizeBitmap(source, 2, -1), EInvalidGraphicOperation);
}

using AdjustRoutine = TBitmap& (*)(TBitmap&, const TBitmap&, int, int, int);

struct AdjustCase {
    const char* name;
    AdjustRoutine routine;
    unsigned channels; // bit 0 blue, bit 1 green, bit 2 red
};

const AdjustCase AdjustCases[] = {
    {"AdjustBlue", AdjustBlue, 1},
    {"AdjustGreen", AdjustGreen, 2},
    {"AdjustRed", AdjustRed, 4},
    {"AdjustBrightness", AdjustBrightness, 7},
};

// Checks the written area against the table and everything else, padding
// included, against the target's earlier bytes.
void ExpectShifted(const TBitmap& result, const TBitmap& before, const TBitmap& source, int rows, int pixels,
                   unsigned channels, int delta)
{
    for (int y = 0; y < result.Height(); ++y) {
        for (std::size_t i = 0; i < result.RowBytes(); ++i) {
            const int pixel = static_cast<int>(i / 3);
            const unsigned channel = static_cast<unsigned>(i % 3);
            std::uint8_t expected = before.ScanLine(y)[i];
            if (y < rows && pixel < pixels && (channels & (1u << channel))) {
                expected = static_cast<std::uint8_t>(std::clamp(source.ScanLine(y)[i] + delta, 0, 255));
            }
            ASSERT_EQ(result.ScanLine(y)[i], expected) << "row " << y << " byte " << i;
        }
    }
}

TEST(AdjustChannels, WriteOnlyTheirChannelThroughTheTable)
{
    for (const AdjustCase& c : AdjustCases) {
        for (int delta : {255, -255, 40, -40, 0}) {
            SCOPED_TRACE(testing::Message() << c.name << " delta " << delta);
            const auto source = Pattern(5, 3, pf24bit, 1);
            const auto target = PaddedPattern(5, 3, 2);
            TBitmap& result = c.routine(*target, *source, 3, 5, delta);
            EXPECT_EQ(&result, target.get());
            ExpectShifted(*target, *PaddedPattern(5, 3, 2), *source, 3, 5, c.channels, delta);
        }
    }
}

TEST(AdjustChannels, RedExtremes)
{
    const auto source = Pattern(4, 4, pf24bit, 1);
    const auto target = Pattern(4, 4, pf24bit, 2);
    const auto before = Pattern(4, 4, pf24bit, 2);
    for (int delta : {255, -255}) {
        SCOPED_TRACE(delta);
        AdjustRed(*target, *source, 4, 4, delta);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const TColor now = target->Pixel(x, y);
                const TColor was = before->Pixel(x, y);
                EXPECT_EQ(GetRValue(now), delta > 0 ? 255 : 0);
                EXPECT_EQ(GetGValue(now), GetGValue(was));
                EXPECT_EQ(GetBValue(now), GetBValue(was));
            }
        }
    }
}

// The counts come from callers; they never reach past either bitmap.
TEST(AdjustChannels, CountsAreCutToBothBitmaps)
{
    struct CountCase { int targetW, targetH, sourceW, sourceH, rows, pixels, expectRows, expectPixels; };
    const CountCase cases[] = {
        {4, 5, 3, 2, 1000, 1000, 2, 3},
        {3, 3, 6, 6, 100, 2, 3, 2},
        {4, 4, 4, 4, 2, 1, 2, 1},
        {4, 4, 4, 4, -3, 4, 0, 0},
        {4, 4, 4, 4, 4, -1, 0, 0},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows x " << c.pixels << " pixels");
        const auto source = Pattern(c.sourceW, c.sourceH, pf24bit, 3);
        const auto target = PaddedPattern(c.targetW, c.targetH, 4);
        AdjustBrightness(*target, *source, c.rows, c.pixels, 30);
        ExpectShifted(*target, *PaddedPattern(c.targetW, c.targetH, 4), *source, c.expectRows, c.expectPixels, 7, 30);
    }
}

TEST(AdjustChannels, SameBitmapAsTargetAndSource)
{
    const auto bitmap = PaddedPattern(6, 2, 5);
    AdjustGreen(*bitmap, *bitmap, 2, 6, -20);
    const auto before = PaddedPattern(6, 2, 5);
    ExpectShifted(*bitmap, *before, *before, 2, 6, 2, -20);
}

TEST(AdjustChannels, OtherFormatsAreRefused)
{
    const std::pair<TPixelFormat, TPixelFormat> formats[] = {{pf32bit, pf24bit}, {pf24bit, pf8bit}, {pf16bit, pf16bit}};
    for (const auto& [targetFormat, sourceFormat] : formats) {
        SCOPED_TRACE(testing::Message() << targetFormat << " from " << sourceFormat);
        TBitmap target(3, 3, targetFormat);
        const TBitmap source(3, 3, sourceFormat);
        for (const AdjustCase& c : AdjustCases) {
            EXPECT_THROW(c.routine(target, source, 3, 3, 10), EInvalidGraphicOperation) << c.name;
        }
        EXPECT_THROW(AdjustContrast(target, source, 10), EInvalidGraphicOperation);
    }
    // pfDevice keeps 24-bit rows and is accepted.
    TBitmap device(2, 2);
    EXPECT_NO_THROW(AdjustBlue(device, device, 2, 2, 5));
}

// Every byte value once, with the three channels out of step.
std::unique_ptr<TBitmap> AllBytes()
{
    auto bitmap = std::make_unique<TBitmap>(256, 1, pf24bit);
    for (int i = 0; i < 256; ++i) {
        bitmap->SetPixel(i, 0, RGB(i, (i + 85) % 256, (i + 170) % 256));
    }
    return bitmap;
}

TEST(AdjustContrast, TableValues)
{
    struct ContrastCase { int amount; std::vector<std::pair<int, int>> values; };
    const ContrastCase cases[] = {
        {50, {{0, 0}, {128, 128}, {200, 236}, {255, 255}, {129, 130}, {127, 126}, {131, 132}, {125, 124},
              {43, 0}, {44, 2}, {213, 255}, {212, 254}}},
        {255, {{130, 135}, {100, 29}, {164, 255}, {92, 0}}},
        {10, {{133, 134}, {123, 122}, {138, 139}}},
    };
    const auto sourceBitmap = AllBytes();
    const TBitmap& source = *sourceBitmap;
    for (const ContrastCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "amount " << c.amount);
        TBitmap target(256, 1, pf24bit);
        AdjustContrast(target, source, c.amount);
        // Find each source byte in every channel and check what it became.
        for (const auto& [in, out] : c.values) {
            SCOPED_TRACE(in);
            for (int x = 0; x < 256; ++x) {
                for (int ch = 0; ch < 3; ++ch) {
                    if (source.ScanLine(0)[3 * x + ch] == in) {
                        EXPECT_EQ(target.ScanLine(0)[3 * x + ch], out) << "pixel " << x << " byte " << ch;
                    }
                }
            }
        }
    }
}

TEST(AdjustContrast, AmountZeroIsIdentityOverTheTargetSize)
{
    const auto source = Pattern(7, 5);
    TBitmap target(7, 5, pf24bit);
    AdjustContrast(target, *source, 0);
    ExpectSamePixels(target, *source);

    // A source smaller than the target is read only where it exists.
    const auto small = Pattern(3, 2);
    const auto large = PaddedPattern(6, 4, 9);
    AdjustContrast(*large, *small, 0);
    ExpectShifted(*large, *PaddedPattern(6, 4, 9), *small, 2, 3, 7, 0);
}

class SaveJpegTest : public ::testing::Test {
protected:

    std::string Path(const std::string& name) const { return (FDir / name).string(); }

    testsupport::TempFolder FTemp;
    std::filesystem::path FDir = FTemp.Path();
};

// Fails its first saves, recording the quality each attempt was made at.
class FailingJpeg : public TJPEGImage {
public:
    int FFailures = 0;
    bool FForeignError = false;
    std::vector<int> FQualities;

    void SaveToStream(TStream& stream) override
    {
        FQualities.push_back(CompressionQuality());
        const int attempt = static_cast<int>(FQualities.size());
        if (attempt <= FFailures) {
            if (FForeignError) {
                throw std::logic_error("foreign " + std::to_string(attempt));
            }
            throw Exception("attempt " + std::to_string(attempt));
        }
        TJPEGImage::SaveToStream(stream);
    }
};

TEST_F(SaveJpegTest, RetriesAtLowerQualities)
{
    struct RetryCase { int failures; std::vector<int> qualities; };
    const RetryCase cases[] = {
        {0, {90}},
        {1, {90, 80}},
        {2, {90, 80, 50}},
    };
    for (const RetryCase& c : cases) {
        SCOPED_TRACE(c.failures);
        FailingJpeg image;
        image.Assign(*Pattern(16, 8));
        image.FFailures = c.failures;
        const std::string file = Path("out" + std::to_string(c.failures) + ".jpg");
        SaveJpegWithFallback(image, file);
        EXPECT_EQ(image.FQualities, c.qualities);
        TJPEGImage saved;
        saved.LoadFromFile(file);
        EXPECT_EQ(saved.Width(), 16);
        EXPECT_EQ(saved.Height(), 8);
    }
}

TEST_F(SaveJpegTest, ThirdFailurePropagates)
{
    FailingJpeg image;
    image.Assign(*Pattern(8, 8));
    image.FFailures = 3;
    try {
        SaveJpegWithFallback(image, Path("never.jpg"));
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("attempt 3"), std::string::npos) << e.what();
    }
    EXPECT_EQ(image.FQualities, (std::vector<int>{90, 80, 50}));
}

TEST_F(SaveJpegTest, ErrorsOfOtherClassesPropagateAtOnce)
{
    FailingJpeg image;
    image.Assign(*Pattern(8, 8));
    image.FFailures = 3;
    image.FForeignError = true;
    EXPECT_THROW(SaveJpegWithFallback(image, Path("never.jpg")), std::logic_error);
    EXPECT_EQ(image.FQualities, (std::vector<int>{90}));
}

TEST_F(SaveJpegTest, MissingFolderFailsThreeTimes)
{
    TJPEGImage image;
    image.Assign(*Pattern(8, 8));
    const std::string file = Path("missing/out.jpg");
    try {
        SaveJpegWithFallback(image, file);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
    }
    EXPECT_EQ(image.CompressionQuality(), 50);
    EXPECT_FALSE(FileExists(file));
}

} // namespace

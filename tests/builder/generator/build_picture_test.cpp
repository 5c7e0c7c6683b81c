// The picture work of a build round: the road by extension, the shrink to
// the limits with its quality search, thumbnail sizes, measured sizes and
// the copyright note.

#include "builder/generator/BuildPicture.h"

#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"
#include "tests/builder/wizard_fixture.h"

using namespace buildertest;

namespace {

TEST(PictureRoadTest, TakesTheFirstLiteralWithinTheLastFiveBytes)
{
    struct Case {
        const char* path;
        TPictureRoad road;
    };
    const Case cases[] = {
        {"/p/a.bmp", TPictureRoad::Bitmap},     {"/p/a.BMP", TPictureRoad::Bitmap},
        {"/p/a.gif", TPictureRoad::Gif},        {"/p/a.GIF", TPictureRoad::Gif},
        {"/p/a.wmf", TPictureRoad::Metafile},   {"/p/a.EMF", TPictureRoad::Metafile},
        {"/p/a.jpg", TPictureRoad::Jpeg},       {"/p/a.jpeg", TPictureRoad::Jpeg},
        {"/p/a.JPEG", TPictureRoad::Jpeg},      {"/p/a.JPG", TPictureRoad::Jpeg},
        {"/p/a.Jpg", TPictureRoad::Unknown},    {"/p/a.png", TPictureRoad::Unknown},
        {"/p/a.bmpx", TPictureRoad::Bitmap},    // ".bmpx": the literal lies within the five bytes
        {"/p/a.bmp.jpg", TPictureRoad::Jpeg},   // only the last five bytes count
        {"/p/x.jpg.bmp", TPictureRoad::Bitmap}, {".jpg", TPictureRoad::Jpeg},
        {"", TPictureRoad::Unknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(PictureRoadOf(c.path), c.road);
    }
}

TEST(ShrinkTest, StepIsAHundredthRoundedHalfToEven)
{
    struct Case {
        int side, step;
    };
    for (const Case& c : {Case{1200, 12}, Case{900, 9}, Case{250, 2}, Case{350, 4}, Case{50, 0}, Case{51, 1},
                          Case{149, 1}, Case{150, 2}, Case{0, 0}}) {
        SCOPED_TRACE(c.side);
        EXPECT_EQ(ShrinkStep(c.side), c.step);
    }
}

TEST(ShrinkTest, BothSidesShrinkTogetherUntilTheyFit)
{
    struct Case {
        const char* name;
        TPictureSize picture;
        int maxWidth, maxHeight;
        TPictureSize expected;
    };
    const Case cases[] = {
        // 56 steps of 12 and 9 pixels.
        {"1200 x 900 into 600 x 400", {1200, 900}, 600, 400, {528, 396}},
        {"width alone too large", {1000, 100}, 600, 400, {600, 60}},
        {"one step is always taken", {601, 400}, 600, 400, {595, 396}},
        // Sides of 50 pixels or less have the step 0: the side that is too
        // large still loses a pixel a step, the other keeps its size.
        {"small height too large", {40, 50}, 600, 30, {40, 30}},
        {"small width too large", {50, 20}, 10, 400, {10, 20}},
        {"a limit of 1", {1200, 900}, 1, 1, {1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ShrunkSize(c.picture, c.maxWidth, c.maxHeight), c.expected);
    }
    EXPECT_THROW(ShrunkSize({100, 100}, 0, 10), EConvertError);
}

TEST(ThumbnailSizeTest, PercentOfTheWidthKeepsTheAspect)
{
    struct Case {
        TPictureSize picture;
        int percent;
        TPictureSize expected;
    };
    const Case cases[] = {
        {{528, 396}, 25, {132, 99}},
        {{250, 100}, 1, {2, 1}},     // 2.5 goes to 2, then 0.8 to 1
        {{350, 100}, 1, {4, 1}},     // 3.5 goes to 4
        {{1000, 3}, 20, {200, 1}},   // 0.6 rounds up
        {{49, 49}, 1, {1, 1}},       // 0.49 would be 0: the sides stay at 1
        {{640, 480}, 100, {640, 480}},
        {{10, 1000}, 50, {5, 500}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.picture.Width) + " x " + std::to_string(c.picture.Height) + " at " +
                     std::to_string(c.percent));
        EXPECT_EQ(PercentThumbnailSize(c.picture, c.percent), c.expected);
    }
    EXPECT_THROW(PercentThumbnailSize({0, 10}, 20), EConvertError);
}

TEST(QualitySearchTest, LowersTheQualityUntilTheDataFits)
{
    TJPEGImage picture;
    picture.Assign(*TestBitmap(320, 240, 3, 200));
    std::vector<int> tried;
    CompressToLimit(picture, 1, [&](int q) { tried.push_back(q); });
    // Nothing fits one byte: every quality from 100 down to 10, and the
    // picture keeps the last one.
    ASSERT_EQ(tried.size(), 19u);
    EXPECT_EQ(tried.front(), 100);
    EXPECT_EQ(tried.back(), 10);
    EXPECT_EQ(picture.CompressionQuality(), 10);
    const std::string last = picture.Data();
    picture.SetCompressionQuality(10);
    picture.Compress();
    EXPECT_EQ(picture.Data(), last);

    tried.clear();
    CompressToLimit(picture, std::int64_t(1) << 40, [&](int q) { tried.push_back(q); });
    EXPECT_EQ(tried, std::vector<int>{100});
    EXPECT_EQ(picture.CompressionQuality(), 100);

    // A limit between: the first quality whose data fits.
    TJPEGImage at80;
    at80.Assign(*TestBitmap(320, 240, 3, 200));
    at80.SetCompressionQuality(80);
    at80.Compress();
    tried.clear();
    CompressToLimit(picture, static_cast<std::int64_t>(at80.Data().size()), [&](int q) { tried.push_back(q); });
    EXPECT_EQ(tried.back(), 80);
    EXPECT_EQ(picture.Data().size(), at80.Data().size());
}

TEST(SavedByteCountTest, AnUnchangedPictureCountsItsFileBytes)
{
    TempFolder folder;
    WriteJpeg(folder.Path() + "a.jpg", 64, 48, 2, 75);
    TJPEGImage picture;
    picture.LoadFromFile(folder.Path() + "a.jpg");
    EXPECT_EQ(SavedByteCount(picture), FileSize(folder.Path() + "a.jpg"));
    EXPECT_EQ(picture.CompressionQuality(), TJPEGImage::DefaultQuality);
}

TEST(LoadPictureTest, EveryRoadGivesAJpegPictureOrRaises)
{
    TempFolder folder;
    WriteJpeg(folder.Path() + "a.jpg", 60, 40);
    WriteBmp(folder.Path() + "b.bmp", 30, 20);
    WriteWmf(folder.Path() + "c.wmf", 120, 80, RGB(200, 0, 0));
    WriteEmf(folder.Path() + "d.emf", 120, 80, RGB(0, 0, 200));
    WriteFileBytes(folder.Path() + "broken.jpg", "no JPEG at all");
    WriteFileBytes(folder.Path() + "broken.bmp", "BM no bitmap");

    EXPECT_EQ(LoadPictureAsJpeg(folder.Path() + "a.jpg", TPictureRoad::Jpeg)->Width(), 60);
    const auto bmp = LoadPictureAsJpeg(folder.Path() + "b.bmp", TPictureRoad::Bitmap);
    EXPECT_EQ(bmp->Width(), 30);
    EXPECT_EQ(bmp->Height(), 20);

    struct Case {
        const char* file;
        TColor fill;
    };
    for (const Case& c : {Case{"c.wmf", RGB(200, 0, 0)}, Case{"d.emf", RGB(0, 0, 200)}}) {
        SCOPED_TRACE(c.file);
        const auto picture = LoadPictureAsJpeg(folder.Path() + c.file, TPictureRoad::Metafile);
        EXPECT_EQ(picture->Width(), 120);
        EXPECT_EQ(picture->Height(), 80);
        const TBitmap& pixels = picture->Bitmap();
        const TColor middle = pixels.Pixel(60, 40);
        EXPECT_NEAR(GetRValue(middle), GetRValue(c.fill), 12);
        EXPECT_NEAR(GetBValue(middle), GetBValue(c.fill), 12);
        const TColor corner = pixels.Pixel(5, 5);
        EXPECT_GT(GetGValue(corner), 240);  // the white around the drawing
    }

    for (const char* file : {"broken.jpg", "missing.jpg"})
        EXPECT_THROW(LoadPictureAsJpeg(folder.Path() + file, TPictureRoad::Jpeg), Exception) << file;
    EXPECT_THROW(LoadPictureAsJpeg(folder.Path() + "broken.bmp", TPictureRoad::Bitmap), Exception);
    EXPECT_THROW(LoadPictureAsJpeg(folder.Path() + "a.jpg", TPictureRoad::Gif), Exception);
}

TEST(CopyrightNoteTest, DrawsWhiteTextOnBlackFromTheTopLeftCorner)
{
    TJPEGImage picture;
    auto white = std::make_unique<TBitmap>(200, 60, pf24bit);
    white->Fill(clWhite);
    picture.Assign(*white);
    DrawCopyrightNote(picture, "(c) Vesko");
    const TBitmap& pixels = picture.Bitmap();
    // The text cell starts at (1, 1) and is filled black behind white glyphs;
    // the rest of the picture stays white.
    int dark = 0;
    int light = 0;
    for (int y = 1; y < 12; ++y)
        for (int x = 1; x < 60; ++x)
            (GetRValue(pixels.Pixel(x, y)) < 64 ? dark : light) += 1;
    EXPECT_GT(dark, 300);
    EXPECT_GT(light, 10);
    EXPECT_GT(GetRValue(pixels.Pixel(0, 0)), 200);
    EXPECT_GT(GetRValue(pixels.Pixel(190, 50)), 200);
}

}  // namespace

// Frames as bitmaps: frame 0 composited at the logical screen's size against
// ImageMagick's coalesced frame 0, masks, bitmaps made into frames, and
// drawing stretched and through the mask.

#include <gtest/gtest.h>

#include <filesystem>

#include "GifTestSupport.h"
#include "gif/GIFFrameBitmap.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"
#include "platform/graphics/TPicture.h"
#include "tests/support/GifPictures.h"

namespace {

namespace fs = std::filesystem;

// Frame 0 of the file as ImageMagick composes it: RGBA at the screen's size.
bool ImageMagickFrame0(const std::string& path, int width, int height, std::string& rgba)
{
    std::string output;
    const std::string out = TempFolder("frame0") + "/f.rgba";
    if (RunCommand("convert '" + path + "[0]' -coalesce -depth 8 rgba:" + out, output) != 0)
        return false;
    rgba = ReadBinaryFile(out);
    return rgba.size() == std::size_t(width) * height * 4;
}

TEST(GifFrameBitmap, Frame0MatchesImageMagickOnTheSuite)
{
    const fs::path suite = fs::path(TestDataDir()) / "gif-suite";
    if (!fs::exists(suite) || !HaveTool("convert"))
        GTEST_SKIP() << "no gif-suite or no ImageMagick";
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(suite)) {
        if (entry.path().extension() != ".gif")
            continue;
        TLoadResult loaded = LoadGif(ReadBinaryFile(entry.path().string()));
        TGIFImage& image = *loaded.Image;
        if (image.Empty() || image.Width() == 0 || image.Height() == 0)
            continue;
        TGIFSubImage& frame = *image.Images().Items(0);
        if (frame.Left() + frame.Width() > image.Width() || frame.Top() + frame.Height() > image.Height())
            continue;
        std::string rgba;
        if (!ImageMagickFrame0(entry.path().string(), image.Width(), image.Height(), rgba))
            continue;
        std::unique_ptr<TBitmap> bitmap = image.GetPictureBitmap();
        ASSERT_TRUE(bitmap) << entry.path();
        TGIFFrameBitmap rendered = RenderFrame(frame);
        int mismatches = 0;
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x) {
                const auto* p = reinterpret_cast<const std::uint8_t*>(&rgba[(std::size_t(y) * image.Width() + x) * 4]);
                const int fx = x - frame.Left();
                const int fy = y - frame.Top();
                const bool inside = fx >= 0 && fy >= 0 && fx < frame.Width() && fy < frame.Height();
                const bool masked = inside && rendered.Mask && rendered.Mask->Pixel(fx, fy) == clWhite;
                // Outside frame 0 ImageMagick paints its own choice of background.
                if (!inside)
                    continue;
                EXPECT_EQ(p[3] == 255, !masked) << entry.path() << " at " << x << "," << y;
                if (p[3] == 255 && bitmap->Pixel(x, y) != RGB(p[0], p[1], p[2]))
                    ++mismatches;
            }
        EXPECT_EQ(mismatches, 0) << entry.path();
        ++compared;
    }
    EXPECT_GT(compared, 20);
}

std::unique_ptr<TGIFImage> SmallGif(int width, int height, bool transparent)
{
    TBitmap source(width, height, pf24bit);
    source.Fill(clRed);
    for (int x = 0; x < width; ++x)
        source.SetPixel(x, 0, clLime);
    source.SetPixel(0, height - 1, clBlue);
    if (transparent) {
        source.SetTransparent(true);
        source.SetTransparentColor(clBlue);
    }
    auto gif = std::make_unique<TGIFImage>();
    gif->Assign(source);
    return gif;
}

TEST(GifFrameBitmap, BitmapBecomesOneFrameWithTheCubesColours)
{
    auto gif = SmallGif(8, 6, false);
    ASSERT_EQ(gif->Images().Count(), 1);
    EXPECT_EQ(gif->Width(), 8);
    EXPECT_EQ(gif->Height(), 6);
    EXPECT_FALSE(gif->QueryTransparent());
    std::unique_ptr<TBitmap> back = gif->GetPictureBitmap();
    EXPECT_EQ(back->Pixel(3, 3), clRed);
    EXPECT_EQ(back->Pixel(3, 0), clLime);
    EXPECT_EQ(back->Pixel(0, 5), clBlue);
    // Saved and loaded again, the pixels survive.
    TLoadResult again = LoadGif(SaveGif(*gif));
    ASSERT_TRUE(again.Error.empty()) << again.Error;
    EXPECT_EQ(again.Image->GetPictureBitmap()->Pixel(3, 0), clLime);
}

TEST(GifFrameBitmap, TransparentBitmapGivesTransparentIndex)
{
    auto gif = SmallGif(8, 6, true);
    EXPECT_TRUE(gif->QueryTransparent());
    TGIFSubImage& frame = *gif->Images().Items(0);
    const int index = frame.GraphicControlExtension()->TransparentColorIndex();
    EXPECT_EQ(frame.Pixels(0, 5), index);
    EXPECT_NE(frame.Pixels(1, 5), index);
    TGIFFrameBitmap rendered = RenderFrame(frame);
    ASSERT_TRUE(rendered.Mask);
    EXPECT_EQ(rendered.Mask->Pixel(0, 5), clWhite);
    EXPECT_EQ(rendered.Mask->Pixel(1, 5), clBlack);
}

TEST(GifFrameBitmap, ConvertingAndRenderingReportTheirProgressEvery32Rows)
{
    TBitmap photo(10, 70, pf24bit);
    photo.Fill(clRed);
    TGIFImage gif;
    std::vector<std::string> seen;
    std::vector<TObject*> senders;
    gif.OnProgress = [&](TObject* sender, TProgressStage stage, int percent, bool, const TRect&,
                         const std::string& text) {
        seen.push_back(text + " " + std::to_string(stage) + " " + std::to_string(percent));
        senders.push_back(sender);
    };
    gif.Assign(photo);
    auto stages = [](const std::string& text) {
        return std::vector<std::string>{text + " 0 0", text + " 1 0", text + " 1 45", text + " 1 91", text + " 2 100"};
    };
    EXPECT_EQ(seen, stages("Converting..."));
    ASSERT_EQ(gif.Images().Count(), 1);
    TGIFSubImage* frame = gif.Images().Items(0);
    for (TObject* sender : senders)
        EXPECT_EQ(sender, frame);
    seen.clear();
    RenderFrame(*frame);
    EXPECT_EQ(seen, stages("Rendering..."));
    seen.clear();
    gif.PaintFlags = pfDither;
    RenderFrame(*frame);
    EXPECT_EQ(seen, stages("Rendering...")) << "dithered";
}

TEST(GifFrameBitmap, DrawingStretchesAndHonoursTheMask)
{
    auto gif = SmallGif(8, 6, true);
    TBitmap target(16, 12, pf24bit);
    target.Fill(clYellow);
    target.Canvas().StretchDraw(TRect{0, 0, 16, 12}, *gif);
    EXPECT_EQ(target.Pixel(6, 6), clRed);
    EXPECT_EQ(target.Pixel(6, 1), clLime);
    // The transparent corner, two by two pixels, keeps what was there.
    EXPECT_EQ(target.Pixel(0, 11), clYellow);
    EXPECT_EQ(target.Pixel(1, 10), clYellow);
    EXPECT_EQ(target.Pixel(2, 11), clRed);

    gif->PaintFlags &= ~pfTransparent;
    target.Fill(clYellow);
    target.Canvas().StretchDraw(TRect{0, 0, 16, 12}, *gif);
    // Opaque, the transparent pixels show the black entry the mask added.
    EXPECT_EQ(target.Pixel(0, 11), clBlack);
}

TEST(GifFrameBitmap, PhotoSavedAsGifOpensInThePeersWithTheCubesColours)
{
    if (!HaveTool("convert") || !HaveTool("gifsicle") || !HaveTool("giftext"))
        GTEST_SKIP() << "no ImageMagick, gifsicle or giflib tools";
    // A smooth 24-bit picture of far more than 256 colours.
    TBitmap photo(120, 80, pf24bit);
    TGIFImage gif;
    gif.Assign(testsupport::PaintSmoothPhoto(photo));
    const std::string path = TempFolder("photo-gif") + "/photo.gif";
    WriteBinaryFile(path, SaveGif(gif));
    std::string output;
    EXPECT_EQ(RunCommand("gifsicle --info '" + path + "'", output), 0) << output;
    EXPECT_EQ(RunCommand("giftext '" + path + "'", output), 0) << output;
    std::string rgba;
    ASSERT_TRUE(ImageMagickFrame0(path, 120, 80, rgba));
    std::unique_ptr<TBitmap> ours = gif.GetPictureBitmap();
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x) {
            const auto* p = reinterpret_cast<const std::uint8_t*>(&rgba[(std::size_t(y) * 120 + x) * 4]);
            ASSERT_EQ(ours->Pixel(x, y), RGB(p[0], p[1], p[2])) << x << "," << y;
            // Every colour is one of the cube's: steps of 51.
            ASSERT_EQ(p[0] % 51 + p[1] % 51 + p[2] % 51, 0) << x << "," << y;
        }
}

TEST(GifFrameBitmap, TransparentIndexAgreesWithImageMagick)
{
    if (!HaveTool("identify"))
        GTEST_SKIP() << "no ImageMagick";
    auto gif = SmallGif(8, 6, true);
    const std::string path = TempFolder("transparent-gif") + "/t.gif";
    WriteBinaryFile(path, SaveGif(*gif));
    std::string output;
    ASSERT_EQ(RunCommand("convert '" + path + "' -format '%[fx:p{0,5}.a] %[fx:p{1,5}.a]' info:", output), 0);
    EXPECT_EQ(output, "0 1");
}

TEST(GifFrameBitmap, PictureRegistersGifWithTheContainer)
{
    EXPECT_TRUE(TPicture::IsFileFormatRegistered(".GIF"));
    const std::string folder = TempFolder("frame-picture");
    WriteBinaryFile(folder + "/a.gif", SaveGif(*SmallGif(4, 4, false)));
    TPicture picture;
    picture.LoadFromFile(folder + "/a.gif");
    ASSERT_TRUE(picture.Graphic());
    EXPECT_STREQ(picture.Graphic()->ClassName(), "TGIFImage");
    EXPECT_EQ(picture.Width(), 4);
}

}  // namespace

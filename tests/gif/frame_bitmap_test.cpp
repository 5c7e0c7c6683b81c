// Frames as bitmaps: frame 0 composited at the logical screen's size against
// ImageMagick's coalesced frame 0, masks, bitmaps made into frames, and
// drawing stretched and through the mask.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>

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

// A 32 x 32 screen and one frame of 65535 x 1321 at `at`,`at`, transparent,
// whose data holds a single pixel (the rest takes the transparent index).
std::string OffScreenFrameGif(int at)
{
    const std::uint8_t bytes[] = {
        'G', 'I', 'F', '8', '9', 'a',
        32, 0, 32, 0, 0x80, 0, 0,                       // screen, 2-colour global table
        0, 0, 0, 255, 255, 255,                         // black, white
        0x21, 0xF9, 4, 0x01, 0, 0, 0, 0,                // graphic control: transparent index 0
        0x2C, std::uint8_t(at), 0, std::uint8_t(at), 0, // image at at,at
        0xFF, 0xFF, 0x29, 0x05, 0,                      // 65535 x 1321
        2, 2, 0x44, 0x01, 0,                            // clear, 0, end
        0x3B};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// Runs `work` in a child process whose address space may grow by `bytes` at
// most; whether it ended well.
bool RunsWithinMemory(std::size_t bytes, const std::function<void()>& work)
{
    const pid_t child = fork();
    if (child == 0) {
        std::size_t pages = 0;
        if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%zu", &pages) != 1)
                pages = 0;
            std::fclose(statm);
        }
        const rlim_t limit = pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + bytes;
        const rlimit capped{limit, limit};
        if (pages == 0 || setrlimit(RLIMIT_AS, &capped) != 0)
            _exit(2);
        try {
            work();
        } catch (...) {
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
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
        std::shared_ptr<TBitmap> bitmap = image.GetPictureBitmap();
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
    std::shared_ptr<TBitmap> back = gif->GetPictureBitmap();
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
    std::shared_ptr<TBitmap> ours = gif.GetPictureBitmap();
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

namespace {

struct TPartCase {
    const char* Name;
    TRect Rect;  // where the screen is drawn
    bool Tile;
    bool Transparent;
    bool Dither;
    std::optional<TRect> Clip;
    TPoint Origin;
};

// A 12 x 10 screen whose one frame, at 4,3 and 20 x 15, reaches past it.
std::unique_ptr<TGIFImage> FramePastTheScreen(bool transparent)
{
    auto image = std::make_unique<TGIFImage>();
    for (const TColor c : {clRed, clLime, clBlue, clWhite, clFuchsia})
        image->GlobalColorMap().Add(c);
    auto frame = std::make_unique<TGIFSubImage>(image.get());
    TGIFSubImage& f = *frame;
    image->AddFrame(std::move(frame));
    f.SetBounds(4, 3, 20, 15);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 20; ++x)
            f.Scanline(y)[x] = static_cast<std::uint8_t>((x * 7 + y * 3) % 5);
    if (transparent) {
        auto gce = std::make_unique<TGIFGraphicControlExtension>(&f);
        gce->SetTransparent(true);
        gce->SetTransparentColorIndex(4);
        f.Extensions().Add(std::move(gce));
    }
    image->Header().SetWidth(12);
    image->Header().SetHeight(10);
    return image;
}

// What a drawing of the screen into `rect` shows at a point of the canvas's
// coordinates, or nothing where it leaves the canvas alone: the frame's
// rendered pixel nearest to it, on the screen only.
std::optional<TColor> Expected(TGIFImage& image, const TGIFFrameBitmap& whole, const TPartCase& c, int x, int y)
{
    TGIFSubImage& frame = *image.Images().Items(0);
    int fx, fy;
    if (c.Tile) {
        if (x < c.Rect.Left || y < c.Rect.Top)
            return {};
        const int tx = c.Rect.Left + (x - c.Rect.Left) / image.Width() * image.Width();
        const int ty = c.Rect.Top + (y - c.Rect.Top) / image.Height() * image.Height();
        if (tx >= c.Rect.Right || ty >= c.Rect.Bottom)
            return {};
        fx = x - tx - frame.Left();
        fy = y - ty - frame.Top();
        if (fx + frame.Left() >= image.Width() || fy + frame.Top() >= image.Height())
            return {};
    } else {
        if (!c.Rect.Contains({x, y}))
            return {};
        const int rw = c.Rect.Right - c.Rect.Left;
        const int rh = c.Rect.Bottom - c.Rect.Top;
        const TRect mapped{c.Rect.Left + MulDiv(frame.Left(), rw, image.Width()),
                           c.Rect.Top + MulDiv(frame.Top(), rh, image.Height()),
                           c.Rect.Left + MulDiv(frame.Left() + frame.Width(), rw, image.Width()),
                           c.Rect.Top + MulDiv(frame.Top() + frame.Height(), rh, image.Height())};
        if (!mapped.Contains({x, y}))
            return {};
        fx = (x - mapped.Left) * frame.Width() / (mapped.Right - mapped.Left);
        fy = (y - mapped.Top) * frame.Height() / (mapped.Bottom - mapped.Top);
    }
    if (fx < 0 || fy < 0 || fx >= frame.Width() || fy >= frame.Height())
        return {};
    if (c.Transparent && whole.Mask && whole.Mask->Pixel(fx, fy) != clBlack)
        return {};
    return whole.Bitmap->Pixel(fx, fy);
}

}  // namespace

// Drawing renders only what shows; what shows is the whole frame's pixels,
// stretched by nearest pixel, inside the screen and the canvas's clip.
TEST(GifFrameBitmap, DrawingShowsTheFramesPartOnTheScreenAndTheCanvas)
{
    const std::optional<TRect> none;
    const TRect clip{5, 4, 14, 11};
    const TPartCase cases[] = {
        // name, rect, tile, transparent, dither, clip, origin
        {"natural size", {0, 0, 12, 10}, false, false, false, none, {}},
        {"natural size, transparent", {0, 0, 12, 10}, false, true, false, none, {}},
        {"moved, dithered", {3, 2, 15, 12}, false, false, true, none, {}},
        {"stretched by 7/3", {2, 1, 30, 24}, false, false, false, none, {}},
        {"stretched by 7/3, transparent, dithered", {2, 1, 30, 24}, false, true, true, none, {}},
        {"shrunk", {1, 1, 6, 5}, false, true, false, none, {}},
        {"clipped", {1, 1, 25, 21}, false, true, false, clip, {}},
        {"clipped, dithered", {1, 1, 25, 21}, false, false, true, clip, {}},
        {"origin moved", {0, 0, 12, 10}, false, true, false, none, {7, 5}},
        {"larger than the canvas", {-20, -9, 40, 31}, false, true, false, none, {}},
        {"tiled", {0, 0, 30, 25}, true, false, false, none, {}},
        {"tiled, transparent, clipped", {2, 1, 30, 25}, true, true, false, TRect{6, 3, 20, 19}, {}},
        {"tiled, dithered", {0, 0, 30, 25}, true, false, true, none, {}},
    };
    for (const TPartCase& c : cases) {
        SCOPED_TRACE(c.Name);
        auto image = FramePastTheScreen(c.Transparent);
        image->PaintFlags = (c.Transparent ? pfTransparent : 0) | (c.Tile ? pfTile : 0) | (c.Dither ? pfDither : 0);
        const TGIFFrameBitmap whole = RenderFrame(*image->Images().Items(0));
        TBitmap target(32, 28, pf24bit);
        target.Fill(clYellow);
        if (c.Clip)
            target.Canvas().SetClipRect(*c.Clip);
        target.Canvas().SetOrigin(c.Origin);
        image->Draw(target.Canvas(), c.Rect);
        int wrong = 0;
        for (int y = 0; y < target.Height(); ++y)
            for (int x = 0; x < target.Width(); ++x) {
                std::optional<TColor> expected;
                if (!c.Clip || c.Clip->Contains({x, y}))
                    expected = Expected(*image, whole, c, x - c.Origin.X, y - c.Origin.Y);
                if (target.Pixel(x, y) != expected.value_or(clYellow) && ++wrong <= 3)
                    ADD_FAILURE() << "at " << x << "," << y;
            }
        EXPECT_EQ(wrong, 0);
    }
}

// A few bytes make a frame of 65535 x 1321 that lies (nearly) off a 32 x 32
// screen. Its pixels are paid for once, at loading; drawing must not render
// the whole frame again, which would take some 86 MB each time.
TEST(GifFrameBitmap, FrameOffTheScreenDrawsWithoutRenderingItWhole)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's shadow memory makes an address-space limit meaningless";
#endif
    for (const int at : {40, 16}) {
        SCOPED_TRACE(at);
        TLoadResult loaded = LoadGif(OffScreenFrameGif(at));
        ASSERT_EQ(loaded.Error, "");
        TGIFImage& image = *loaded.Image;
        image.PaintFlags |= pfTransparent;
        for (const bool tile : {false, true}) {
            SCOPED_TRACE(tile ? "tiled" : "stretched");
            image.PaintFlags = tile ? image.PaintFlags | pfTile : image.PaintFlags & ~pfTile;
            TBitmap target(64, 64, pf24bit);
            target.Fill(clYellow);
            EXPECT_TRUE(RunsWithinMemory(32 << 20, [&] { image.Draw(target.Canvas(), TRect{0, 0, 64, 64}); }));
        }
    }
}

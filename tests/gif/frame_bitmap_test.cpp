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
#include "animation_fixture.h"
#include "gif/GIFFrameBitmap.h"
#include "gif/GIFPalettes.h"
#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"
#include "platform/graphics/TMetafile.h"
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
        // A tile is drawn while it starts inside the rectangle.
        if (tx + frame.Left() >= c.Rect.Right || ty + frame.Top() >= c.Rect.Bottom)
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
        // Nor does a painter render it whole ahead of its wait.
        auto second = std::make_unique<TGIFSubImage>(&image);
        second->SetBounds(0, 0, 2, 2);
        image.AddFrame(std::move(second));
        image.PainterClock = std::make_shared<FakeClock>();
        // A painter's failure ends it quietly, as a warning.
        bool failed = false;
        image.OnGIFWarning = [&](TObject*, int, const std::string&) { failed = true; };
        for (const bool tile : {false, true}) {
            SCOPED_TRACE(tile ? "animated, tiled" : "animated");
            image.PaintFlags = pfAnimate | pfTransparent | (tile ? pfTile : 0);
            TBitmap target(64, 64, pf24bit);
            EXPECT_TRUE(RunsWithinMemory(32 << 20, [&] {
                image.Draw(target.Canvas(), TRect{0, 0, 64, 64});
                if (failed)
                    throw std::runtime_error("the painter failed");
            }));
        }
    }
}

namespace {

// A 24-bit bitmap whose pixel (x, y) shows colour (x + y * width) % colours.
std::unique_ptr<TBitmap> ManyColours(int width, int height, int colours)
{
    auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int n = (x + y * width) % colours;
            bitmap->SetPixel(x, y, RGB(n % 7 * 30, n / 7 % 7 * 30, n / 49 * 30 + 5));
        }
    return bitmap;
}

int WrongPixels(const TBitmap& a, const TBitmap& b)
{
    int wrong = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            wrong += a.Pixel(x, y) != b.Pixel(x, y);
    return wrong;
}

TEST(GifFrameBitmap, TrueColourBitmapsKeepTheirColoursWithoutReduction)
{
    // Reduction method 0 hands the frame the bitmap's own 24-bit colours.
    for (const int colours : {1, 5, 256}) {
        SCOPED_TRACE(colours);
        const std::unique_ptr<TBitmap> owned = ManyColours(20, 20, colours);
        const TBitmap& source = *owned;
        TGIFImage gif;
        gif.ReductionMethod = 0;
        gif.Assign(source);
        ASSERT_EQ(gif.Images().Count(), 1);
        EXPECT_EQ(gif.Images().Items(0)->ColorMap().Count(), colours);
        EXPECT_EQ(WrongPixels(*gif.GetPictureBitmap(), source), 0);
        TLoadResult again = LoadGif(SaveGif(gif));
        ASSERT_EQ(again.Error, "");
        EXPECT_EQ(WrongPixels(*again.Image->GetPictureBitmap(), source), 0) << "saved and loaded";
    }
}

TEST(GifFrameBitmap, TheTwoHundredFiftySeventhColourIsRefusedAndTheFrameKeepsWhatCameBefore)
{
    const std::unique_ptr<TBitmap> owned = ManyColours(20, 20, 300);
    TBitmap& source = *owned;
    TGIFImage gif;
    gif.ReductionMethod = 0;
    std::vector<std::string> ends;
    gif.OnProgress = [&](TObject*, TProgressStage stage, int percent, bool, const TRect&, const std::string& text) {
        if (stage == psEnding)
            ends.push_back(text + " " + std::to_string(percent));
    };
    TGIFSubImage frame(&gif);
    try {
        FrameFromBitmap(frame, source);
        FAIL() << "no refusal";
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Color table overflow");
    }
    EXPECT_EQ(ends, std::vector<std::string>{"Converting... 0"});
    EXPECT_EQ(frame.ColorMap().Count(), 256);
    // The first 256 pixels, in reading order, are in and right.
    for (int n = 0; n < 256; ++n) {
        const int x = n % 20;
        const int y = n / 20;
        const TGIFColor& c = frame.ColorMap().Entry(frame.Pixels(x, y));
        ASSERT_EQ(RGB(c.Red, c.Green, c.Blue), source.Pixel(x, y)) << x << "," << y;
    }
    // A picture refuses the bitmap and stays empty.
    EXPECT_THROW(gif.Assign(source), GIFException);
    EXPECT_TRUE(gif.Empty());
}

// A metafile whose drawing fails but that gives a bitmap of itself.
class TUndrawableMetafile : public TMetafile {
public:
    int Width() const override { return 4; }
    int Height() const override { return 3; }
    bool Empty() const override { return false; }
    void Draw(TCanvas&, const TRect&) override { throw EInvalidGraphic("cannot play"); }

protected:
    bool AssignTo(TGraphic& dest) const override
    {
        auto* bitmap = dynamic_cast<TBitmap*>(&dest);
        if (!bitmap)
            return false;
        bitmap->SetPixelFormat(pf24bit);
        bitmap->SetSize(4, 3);
        bitmap->Fill(clLime);
        bitmap->SetPixel(1, 1, clBlue);
        return true;
    }
};

TEST(GifFrameBitmap, AMetafileThatCannotBeDrawnGivesTheBitmapItAssigns)
{
    TUndrawableMetafile metafile;
    TGIFImage gif;
    gif.Assign(metafile);
    ASSERT_EQ(gif.Images().Count(), 1);
    EXPECT_FALSE(gif.QueryTransparent());
    std::shared_ptr<TBitmap> shown = gif.GetPictureBitmap();
    ASSERT_EQ(shown->Width(), 4);
    EXPECT_EQ(shown->Pixel(0, 0), clLime);
    EXPECT_EQ(shown->Pixel(1, 1), clBlue);
}

TEST(GifFrameBitmap, AnAbortWhileRenderingIsSwallowed)
{
    for (const bool dither : {false, true}) {
        SCOPED_TRACE(dither ? "dithered" : "direct");
        // Loaded, so that no bitmap is kept from the start.
        TLoadResult loaded = LoadGif(SaveGif(*SmallGif(8, 40, false)));
        TGIFImage* gif = loaded.Image.get();
        gif->PaintFlags = dither ? pfDither : 0;
        gif->OnProgress = [](TObject*, TProgressStage stage, int, bool, const TRect&, const std::string& text) {
            if (text == "Rendering..." && stage == psRunning)
                throw EAbort();
        };
        TBitmap target(8, 40, pf24bit);
        target.Fill(clYellow);
        EXPECT_NO_THROW(gif->Draw(target.Canvas(), TRect{0, 0, 8, 40}));
        EXPECT_EQ(target.Pixel(3, 3), clYellow);
        // Other failures pass on.
        gif->OnProgress = [](TObject*, TProgressStage, int, bool, const TRect&, const std::string& text) {
            if (text == "Rendering...")
                throw EInvalidGraphic("broken");
        };
        EXPECT_THROW(gif->Draw(target.Canvas(), TRect{0, 0, 8, 40}), EInvalidGraphic);
    }
}

TEST(GifFrameBitmap, TheEndOfRenderingAndConvertingAsksForARedrawAfterAPaletteChange)
{
    TLoadResult loaded = LoadGif(SaveGif(*SmallGif(8, 6, false)));
    TGIFImage* gif = loaded.Image.get();
    gif->PaintFlags = 0;
    std::vector<std::pair<std::string, bool>> ends;
    gif->OnProgress = [&](TObject*, TProgressStage stage, int, bool redraw, const TRect&, const std::string& text) {
        if (stage == psEnding)
            ends.emplace_back(text, redraw);
    };
    TGIFSubImage& frame = *gif->Images().Items(0);
    ASSERT_NE(frame.Bitmap(), nullptr);
    gif->SetPalette(CreateGreyScalePalette());
    frame.FreeBitmap();
    ASSERT_NE(frame.Bitmap(), nullptr);
    TBitmap colours(4, 4, pf8bit);
    colours.SetPalette({{0, 0, 255, 0}, {0, 255, 0, 0}});
    gif->AddFrame(colours);
    const std::vector<std::pair<std::string, bool>> expected{
        {"Rendering...", false}, {"Rendering...", true}, {"Converting...", true}};
    EXPECT_EQ(ends, expected);
}

TEST(GifFrameBitmap, AFrameOnTheGlobalMapDrawsInTheMapsNewColours)
{
    auto gif = std::make_unique<TGIFImage>();
    gif->PaintFlags = 0;
    gif->GlobalColorMap().Add(clRed);
    auto frame = std::make_unique<TGIFSubImage>(gif.get());
    frame->SetBounds(0, 0, 4, 4);
    gif->AddFrame(std::move(frame));
    TBitmap target(4, 4, pf24bit);
    gif->Draw(target.Canvas(), TRect{0, 0, 4, 4});
    EXPECT_EQ(target.Pixel(1, 1), clRed);
    gif->GlobalColorMap().Clear();
    gif->GlobalColorMap().Add(clBlue);
    gif->Draw(target.Canvas(), TRect{0, 0, 4, 4});
    EXPECT_EQ(target.Pixel(1, 1), clBlue);
}

TEST(GifFrameBitmap, TilesStopWhereTheFramesOwnTileStartsPastTheRectangle)
{
    // A 10 x 10 screen whose frame covers its right half.
    auto gif = std::make_unique<TGIFImage>();
    gif->GlobalColorMap().Add(clRed);
    auto frame = std::make_unique<TGIFSubImage>(gif.get());
    frame->SetBounds(5, 0, 5, 10);
    gif->AddFrame(std::move(frame));
    gif->PaintFlags = pfTile;
    TBitmap target(40, 40, pf24bit);
    target.Fill(clYellow);
    // Cells start at 0, 10 and 20; their tiles at 5, 15 and 25 across, the
    // last of which lies past the rectangle's right edge; downwards all do.
    gif->Draw(target.Canvas(), TRect{0, 0, 25, 25});
    EXPECT_EQ(target.Pixel(7, 2), clRed);
    EXPECT_EQ(target.Pixel(17, 22), clRed);
    EXPECT_EQ(target.Pixel(27, 2), clYellow);
    EXPECT_EQ(target.Pixel(27, 22), clYellow);
    // Rows whose tiles start above the bottom edge are drawn, whole.
    EXPECT_EQ(target.Pixel(17, 29), clRed);
    EXPECT_EQ(target.Pixel(17, 30), clYellow);
}

HPALETTE PaletteOf(std::initializer_list<TColor> colours)
{
    std::vector<PALETTEENTRY> entries;
    for (const TColor c : colours)
        entries.push_back({GetRValue(c), GetGValue(c), GetBValue(c), 0});
    return CreatePalette(entries);
}

TEST(GifFrameBitmap, DirectRenderingTakesTheFramesPalette)
{
    // Pixels 0 and 1 in a frame of its own: the first half 0, the rest 1.
    auto frameOfTwo = [](TGIFImage& gif) -> TGIFSubImage& {
        auto frame = std::make_unique<TGIFSubImage>(&gif);
        TGIFSubImage& f = *frame;
        gif.AddFrame(std::move(frame));
        f.SetBounds(0, 0, 4, 1);
        f.Scanline(0)[2] = f.Scanline(0)[3] = 1;
        return f;
    };
    auto colours = [](TGIFSubImage& frame) {
        const TGIFFrameBitmap rendered = RenderFrame(frame);
        return std::vector<TColor>{rendered.Bitmap->Pixel(0, 0), rendered.Bitmap->Pixel(3, 0)};
    };
    {
        SCOPED_TRACE("a palette given to the frame");
        TGIFImage gif;
        TGIFSubImage& frame = frameOfTwo(gif);
        frame.ColorMap().Add(clRed);
        frame.ColorMap().Add(clLime);
        frame.SetPalette(PaletteOf({clBlue, clYellow}));
        EXPECT_EQ(colours(frame), (std::vector<TColor>{clBlue, clYellow}));
    }
    {
        SCOPED_TRACE("the picture's palette");
        TGIFImage gif;
        gif.GlobalColorMap().Add(clRed);
        gif.GlobalColorMap().Add(clLime);
        TGIFSubImage& frame = frameOfTwo(gif);
        gif.SetPalette(PaletteOf({clFuchsia, clAqua}));
        EXPECT_EQ(colours(frame), (std::vector<TColor>{clFuchsia, clAqua}));
    }
    {
        SCOPED_TRACE("frame 0's colours for a later frame without any");
        TGIFImage gif;
        TGIFSubImage& first = frameOfTwo(gif);
        first.ColorMap().Add(clNavy);
        first.ColorMap().Add(clOlive);
        TGIFSubImage& second = frameOfTwo(gif);
        EXPECT_EQ(colours(second), (std::vector<TColor>{clNavy, clOlive}));
    }
    {
        SCOPED_TRACE("no colours anywhere: black, no failure");
        TGIFImage gif;
        TGIFSubImage& frame = frameOfTwo(gif);
        EXPECT_EQ(colours(frame), (std::vector<TColor>{clBlack, clBlack}));
    }
}

}  // namespace

namespace {

TEST(GifFrameBitmap, AFrameKeepsItsBitmapAndMaskUntilWhatTheyShowChanges)
{
    auto gif = SmallGif(8, 6, true);
    TGIFSubImage& frame = *gif->Images().Items(0);
    int renderings = 0;
    gif->OnProgress = [&](TObject*, TProgressStage stage, int, bool, const TRect&, const std::string& text) {
        renderings += text == "Rendering..." && stage == psStarting;
    };
    const int transparent = frame.GraphicControlExtension()->TransparentColorIndex();
    ASSERT_TRUE(frame.HasMask());
    EXPECT_EQ(renderings, 1);
    TBitmap* bitmap = frame.Bitmap();
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(frame.Bitmap(), bitmap);
    EXPECT_EQ(renderings, 1);
    EXPECT_EQ(frame.Mask()->Pixel(0, 5), clWhite);
    EXPECT_EQ(frame.Mask()->Pixel(1, 5), clBlack);
    TBitmap assigned;
    frame.AssignTo(assigned);
    EXPECT_EQ(WrongPixels(assigned, *bitmap), 0);
    // Drawing and the picture as a bitmap take the kept rendering.
    TBitmap target(8, 6, pf24bit);
    gif->Draw(target.Canvas(), TRect{0, 0, 8, 6});
    EXPECT_EQ(renderings, 1);
    EXPECT_EQ(target.Pixel(3, 3), clRed);

    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"freed", [&] { frame.FreeBitmap(); }},
        {"mask freed", [&] { frame.FreeMask(); }},
        {"a colour changed", [&] { frame.ColorMap().Add(clAqua); }},
        {"a pixel written", [&] { frame.Scanline(2)[2] = std::uint8_t(transparent); }},
        {"transparency off", [&] { frame.GraphicControlExtension()->SetTransparent(false); }},
        {"transparency on", [&] { frame.GraphicControlExtension()->SetTransparent(true); }},
        {"dithering on", [&] { gif->PaintFlags = pfDither | pfTransparent; }},
        {"resized", [&] { frame.SetBounds(0, 0, 9, 6); }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        frame.HasMask();
        frame.Bitmap();
        renderings = 0;
        change();
        frame.HasMask();
        EXPECT_NE(frame.Bitmap(), nullptr);
        EXPECT_EQ(renderings, 1);
    }
    EXPECT_FALSE(frame.HasMask()) << "a resized frame's pixels are all 0";
    // A copy of the frame takes a copy of its bitmap.
    TGIFSubImage copy(gif.get());
    copy.Assign(frame);
    ASSERT_NE(copy.KeptBitmap(), nullptr);
    EXPECT_NE(copy.KeptBitmap(), frame.KeptBitmap());
    EXPECT_EQ(WrongPixels(*copy.KeptBitmap(), *frame.Bitmap()), 0);
}

TEST(GifFrameBitmap, AFrameMadeFromABitmapKeepsItUntilItsColoursChange)
{
    const std::unique_ptr<TBitmap> owned = ManyColours(6, 4, 5);
    const TBitmap& source = *owned;
    TGIFImage gif;
    gif.ReductionMethod = 0;
    gif.Assign(source);
    TGIFSubImage& frame = *gif.Images().Items(0);
    // The frame keeps the 24-bit copy it was made from.
    ASSERT_NE(frame.Bitmap(), nullptr);
    EXPECT_EQ(frame.Bitmap()->PixelFormat(), pf24bit);
    EXPECT_EQ(WrongPixels(*frame.Bitmap(), source), 0);
    // A transparent bitmap's mask changes the colours: the frame renders.
    TBitmap transparent(source.Width(), source.Height(), pf24bit);
    transparent.Assign(source);
    transparent.SetTransparent(true);
    transparent.SetTransparentColor(source.Pixel(0, 0));
    TGIFSubImage other(&gif);
    FrameFromBitmap(other, transparent);
    EXPECT_EQ(other.KeptBitmap(), nullptr);
    ASSERT_TRUE(other.HasMask());
    EXPECT_EQ(other.Bitmap()->PixelFormat(), pf8bit);
    EXPECT_EQ(other.Mask()->Pixel(0, 0), clWhite);
    EXPECT_EQ(other.Mask()->Pixel(1, 0), clBlack);
}

TEST(GifFrameBitmap, APictureContainerGivesItsGraphic)
{
    TBitmap bitmap(3, 2, pf24bit);
    bitmap.Fill(clLime);
    bitmap.SetPixel(2, 1, clRed);
    TPicture picture;
    picture.SetGraphic(&bitmap);
    TGIFImage gif;
    gif.Assign(picture);
    ASSERT_EQ(gif.Images().Count(), 1);
    EXPECT_EQ(WrongPixels(*gif.GetPictureBitmap(), bitmap), 0);
    TGIFSubImage frame(&gif);
    FrameFromPicture(frame, picture);
    EXPECT_EQ(frame.Width(), 3);
    TGIFFrameBitmap rendered = RenderFrame(frame);
    EXPECT_EQ(rendered.Bitmap->Pixel(2, 1), clRed);
    // An empty container empties both.
    TPicture none;
    FrameFromPicture(frame, none);
    EXPECT_TRUE(frame.Empty());
    gif.Assign(none);
    EXPECT_TRUE(gif.Empty());
}

}  // namespace

// Frame optimisation: the frames look the same afterwards (gifdiff), and the
// stages do what they promise on small cases.

#include <gtest/gtest.h>

#include <filesystem>

#include "GifTestSupport.h"
#include "animation_fixture.h"
#include "gif/GIFOptimize.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

constexpr unsigned AllOptions = ooCrop | ooMerge | ooCleanup | ooColorMap | ooReduceColors;

// A still scene with a square that moves: most of each frame repeats the one before.
void PaintScene(TGIFImage& image, bool holes)
{
    for (int n = 0; n < image.Images().Count(); ++n) {
        TGIFSubImage& f = *image.Images().Items(n);
        for (int y = 0; y < f.Height(); ++y)
            for (int x = 0; x < f.Width(); ++x) {
                const int sx = x + f.Left();
                const int sy = y + f.Top();
                int index = (sx / 4 + sy / 3) % 5;
                if (sx >= n * 3 && sx < n * 3 + 6 && sy >= 4 && sy < 10)
                    index = 5 + n % 2;
                if (holes && f.Transparent() && (sx * 7 + sy * 3 + n) % 11 == 0)
                    index = TransparentIndex;
                f.Scanline(y)[x] = static_cast<std::uint8_t>(index);
            }
    }
}

std::vector<FrameSpec> SceneFrames(std::initializer_list<int> disposals, bool transparent)
{
    std::vector<FrameSpec> specs;
    int n = 0;
    for (int d : disposals) {
        const TRect r = n == 0 ? TRect{0, 0, 32, 20} : TRect{(n * 5) % 12, (n * 3) % 8, 32 - (n % 3) * 4, 20 - n % 2};
        specs.push_back({r, d, 4 + n, transparent && n > 0});
        ++n;
    }
    return specs;
}

bool SameAnimation(const std::string& a, const std::string& b, std::string& output)
{
    return RunCommand("gifdiff '" + a + "' '" + b + "'", output) == 0;
}

void ExpectOptimisedLooksTheSame(TGIFImage& image, const std::string& folder, const std::string& name)
{
    const std::string before = folder + name + "-before.gif";
    const std::string after = folder + name + "-after.gif";
    WriteBinaryFile(before, SaveGif(image));
    image.OptimizeFrames(AllOptions, 0);
    WriteBinaryFile(after, SaveGif(image));
    std::string output;
    EXPECT_TRUE(SameAnimation(before, after, output)) << output;
    EXPECT_EQ(RunCommand("gifsicle --info '" + after + "' > /dev/null", output), 0) << output;
}

TEST(GifOptimize, OptimisedAnimationsLookLikeTheirSources)
{
    if (!HaveTool("gifdiff"))
        GTEST_SKIP() << "gifsicle's gifdiff is not installed";
    testsupport::TempFolder folder;
    struct Case {
        const char* Name;
        std::vector<FrameSpec> Specs;
        bool Holes;
    };
    const std::vector<Case> cases = {
        {"keep", SceneFrames({1, 1, 1, 1, 1}, false), false},
        {"none, holes", SceneFrames({0, 0, 0, 0}, true), true},
        {"background", SceneFrames({2, 2, 1, 2, 1}, true), true},
        {"background covered", SceneFrames({2, 1, 2, 1}, false), false},
        {"previous", SceneFrames({1, 3, 3, 1, 3, 1}, true), true},
        {"previous after background", SceneFrames({1, 2, 3, 3, 2, 1}, true), true},
        {"every disposal", SceneFrames({0, 1, 2, 3, 1, 2, 0, 3, 1}, true), true},
        // Covering frames that restore afterwards: the earlier one must still restore.
        {"covered then restored", {{TRect{0, 0, 32, 20}, 1, 5, false}, {TRect{4, 4, 20, 12}, 2, 5, false},
                                   {TRect{0, 0, 32, 20}, 3, 5, false}, {TRect{2, 2, 10, 10}, 1, 5, false}}, false},
        // The next frame inside the one that restores does not cover it.
        {"inner next frame", {{TRect{0, 0, 32, 20}, 1, 5, false}, {TRect{0, 0, 32, 20}, 2, 5, false},
                              {TRect{8, 4, 16, 12}, 1, 5, false}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto image = MakeAnimation(32, 20, c.Specs, 0);
        PaintScene(*image, c.Holes);
        ExpectOptimisedLooksTheSame(*image, folder.Path(), "made");
    }
    const fs::path suite = fs::path(TestDataDir()) / "gif-suite";
    if (!fs::exists(suite))
        return;
    for (const char* name : {"animation.gif", "animation-multi-image.gif", "dispose-keep.gif", "dispose-none.gif",
                             "dispose-restore-background.gif", "dispose-restore-previous.gif", "images-combine.gif",
                             "images-overlap.gif", "high-color.gif"}) {
        SCOPED_TRACE(name);
        TLoadResult loaded = LoadGif(ReadBinaryFile((suite / name).string()));
        ASSERT_EQ(loaded.Error, "");
        ExpectOptimisedLooksTheSame(*loaded.Image, folder.Path(), "suite");
    }
}

// A transparent index past a four-colour table, with the table's order about
// to change: the index must not land on a colour in use.
std::unique_ptr<TGIFImage> IndexPastTheTable(bool pixelsUseIt)
{
    auto image = std::make_unique<TGIFImage>();
    auto frame = std::make_unique<TGIFSubImage>(image.get());
    TGIFSubImage& f = *frame;
    image->AddFrame(std::move(frame));
    f.SetBounds(0, 0, 8, 4);
    auto gce = std::make_unique<TGIFGraphicControlExtension>(&f);
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(7);  // stored as is: there is no table yet
    f.Extensions().Add(std::move(gce));
    for (const TColor c : {clRed, clLime, clBlue, clWhite})
        image->GlobalColorMap().Add(c);
    for (int i = 0; i < 32; ++i)
        f.Data()[i] = static_cast<std::uint8_t>(i % 4 == 0 ? 0 : i % 3 == 0 ? 1 : 2);
    if (pixelsUseIt)
        f.Data()[5] = 7;
    image->Header().SetWidth(8);
    image->Header().SetHeight(4);
    return image;
}

TEST(GifOptimize, TransparentIndexPastTheTableNeverBecomesAColourInUse)
{
    for (const bool used : {false, true}) {
        SCOPED_TRACE(used ? "pixels use the index" : "no pixel uses the index");
        auto image = IndexPastTheTable(used);
        std::vector<std::string> warnings;
        image->OnGIFWarning = [&](TObject*, int, const std::string& message) { warnings.push_back(message); };
        image->OptimizeFrames(ooColorMap, 0);
        const TGIFSubImage& frame = *image->Images().Items(0);
        EXPECT_EQ(image->GlobalColorMap().Entry(0), (TGIFColor{0, 0, 255}));  // the most used comes first
        EXPECT_EQ(frame.Transparent(), used);
        EXPECT_EQ(frame.GraphicControlExtension()->TransparentColorIndex(), 7);
        EXPECT_TRUE(warnings.empty()) << warnings.front();
    }
    if (!HaveTool("gifdiff"))
        GTEST_SKIP() << "gifsicle's gifdiff is not installed";
    // Pixels past the table cannot be written, so only the unused index goes to the peer.
    testsupport::TempFolder folder;
    auto image = IndexPastTheTable(false);
    ExpectOptimisedLooksTheSame(*image, folder.Path(), "past the table");
}

TEST(GifOptimize, CropKeepsTheOpaqueRectangle)
{
    auto image = MakeAnimation(32, 20, {{TRect{0, 0, 32, 20}, 1, 5, false}, {TRect{3, 2, 23, 14}, 1, 5, true},
                                        {TRect{0, 0, 10, 10}, 1, 9, true}});
    TGIFSubImage& frame = *image->Images().Items(1);
    std::fill(frame.Data(), frame.Data() + frame.DataSize(), TransparentIndex);
    frame.Scanline(7)[5] = 2;
    CropFrame(frame);
    EXPECT_EQ(frame.BoundsRect(), (TRect{8, 9, 9, 10}));
    EXPECT_EQ(frame.Pixels(0, 0), 2);
    EXPECT_EQ(image->Width(), 32);
    // Only transparent pixels: the crop stage removes the frame and keeps its time.
    TGIFSubImage& last = *image->Images().Items(2);
    std::fill(last.Data(), last.Data() + last.DataSize(), TransparentIndex);
    image->OptimizeFrames(ooCrop, 0);
    ASSERT_EQ(image->Images().Count(), 2);
    EXPECT_EQ(image->Images().Items(1)->GraphicControlExtension()->Delay(), 5 + 9);
}

TEST(GifOptimize, CropLeavesTheScreenAsItIs)
{
    // As loaded: a frame that reaches beyond the logical screen.
    auto image = MakeAnimation(16, 20, {{TRect{0, 0, 16, 20}, 1, 5, false}, {TRect{4, 2, 28, 14}, 1, 5, true}});
    std::vector<std::string> warnings;
    image->OnGIFWarning = [&](TObject*, int, const std::string& message) { warnings.push_back(message); };
    TGIFSubImage& frame = *image->Images().Items(1);
    std::fill(frame.Data(), frame.Data() + frame.DataSize(), TransparentIndex);
    frame.Scanline(5)[20] = 2;
    image->OptimizeFrames(ooCrop, 0);
    EXPECT_EQ(frame.BoundsRect(), (TRect{24, 7, 25, 8}));
    EXPECT_EQ(image->Width(), 16);
    EXPECT_EQ(image->Height(), 20);
    EXPECT_TRUE(warnings.empty()) << warnings.front();
}

TEST(GifOptimize, FramesThatRestoreTheBackgroundAreNotCropped)
{
    auto image = MakeAnimation(32, 20, {{TRect{0, 0, 32, 20}, 1, 5, false}, {TRect{0, 0, 20, 12}, 2, 5, true},
                                        {TRect{0, 0, 32, 20}, 1, 5, true}});
    TGIFSubImage& frame = *image->Images().Items(1);
    std::fill(frame.Data(), frame.Data() + frame.DataSize(), TransparentIndex);
    frame.Scanline(3)[3] = 1;
    image->OptimizeFrames(ooCrop, 0);
    EXPECT_EQ(image->Images().Items(1)->BoundsRect(), (TRect{0, 0, 20, 12}));
}

TEST(GifOptimize, MergeTurnsRepeatedPixelsTransparent)
{
    // An identical opaque frame on the global map: a black entry is added for it.
    {
        auto image = MakeAnimation(16, 16, {{TRect{0, 0, 16, 16}, 1, 5, false}, {TRect{0, 0, 16, 16}, 1, 5, false}});
        TGIFSubImage& first = *image->Images().Items(0);
        TGIFSubImage& second = *image->Images().Items(1);
        std::copy(first.Data(), first.Data() + first.DataSize(), second.Data());
        const int colours = image->GlobalColorMap().Count();
        MergeWithPrevious(second, &first);
        ASSERT_TRUE(second.Transparent());
        const int t = second.GraphicControlExtension()->TransparentColorIndex();
        EXPECT_EQ(t, colours);
        EXPECT_EQ(image->GlobalColorMap().Entry(t), TGIFColor{});
        EXPECT_TRUE(std::all_of(second.Data(), second.Data() + second.DataSize(), [t](auto p) { return p == t; }));
    }
    // Another transparent frame on the global map lends its index, but only one the frame does not use.
    for (const bool used : {false, true}) {
        SCOPED_TRACE(used);
        auto image = MakeAnimation(16, 16, {{TRect{0, 0, 16, 16}, 1, 5, false}, {TRect{0, 0, 16, 16}, 1, 5, false},
                                            {TRect{0, 0, 4, 4}, 1, 5, true}});
        TGIFSubImage& first = *image->Images().Items(0);
        TGIFSubImage& second = *image->Images().Items(1);
        std::copy(first.Data(), first.Data() + first.DataSize(), second.Data());
        second.Scanline(0)[0] = used ? TransparentIndex : 1;
        second.Scanline(0)[1] = 3;  // differs from the first frame
        first.Scanline(0)[1] = 4;
        const int colours = image->GlobalColorMap().Count();
        MergeWithPrevious(second, &first);
        const int t = second.GraphicControlExtension()->TransparentColorIndex();
        EXPECT_EQ(t, used ? colours : TransparentIndex);
        EXPECT_EQ(second.Scanline(0)[1], 3);
        if (used) {
            EXPECT_EQ(second.Scanline(0)[0], TransparentIndex);  // an opaque pixel stays opaque
        }
    }
    // A previous frame that restores is never merged into; the stage looks past disposal 3.
    for (const int disposal : {2, 3}) {
        auto image = MakeAnimation(16, 16, {{TRect{0, 0, 16, 16}, 1, 5, false}, {TRect{0, 0, 16, 16}, disposal, 5, false},
                                            {TRect{0, 0, 16, 16}, 1, 5, false}});
        TGIFSubImage& first = *image->Images().Items(0);
        TGIFSubImage& third = *image->Images().Items(2);
        std::copy(first.Data(), first.Data() + first.DataSize(), third.Data());
        MergeWithPrevious(third, image->Images().Items(1));
        EXPECT_FALSE(third.Transparent());
        image->OptimizeFrames(ooMerge, 0);
        EXPECT_EQ(third.Transparent(), disposal == 3);
    }
}

TEST(GifOptimize, AGraphicControlStandingAloneBeforeTheTrailerIsCleanedUp)
{
    std::string bytes = SaveGif(*MakeAnimation(8, 8, Frames(2)));
    ASSERT_EQ(bytes.back(), '\x3B');
    // Transparent, no delay, and no image after it.
    bytes.insert(bytes.size() - 1, std::string("\x21\xF9\x04\x01\x00\x00\x07\x00", 8));
    TLoadResult loaded = LoadGif(bytes);
    ASSERT_TRUE(loaded.Error.empty()) << loaded.Error;
    TGIFImage& image = *loaded.Image;
    ASSERT_EQ(image.Images().Count(), 3);
    ASSERT_TRUE(image.Images().Items(2)->Empty());
    image.OptimizeFrames(ooCleanup, 0);
    EXPECT_EQ(image.Images().Count(), 2);
}

TEST(GifOptimize, CleanUpOfAOneFramePicture)
{
    for (const bool transparent : {false, true}) {
        auto image = MakeAnimation(8, 8, {{TRect{0, 0, 8, 8}, 2, 5, transparent}}, 0);
        auto comment = std::make_unique<TGIFCommentExtension>(image->Images().Items(0));
        comment->Comment().Add("made here");
        image->Images().Items(0)->Extensions().Add(std::move(comment));
        image->OptimizeFrames(ooCleanup, 0);
        const TGIFSubImage& frame = *image->Images().Items(0);
        // The loop and the comment go; the graphic control stays only for the transparency.
        EXPECT_EQ(frame.Extensions().Count(), transparent ? 1 : 0);
        EXPECT_EQ(frame.GraphicControlExtension() != nullptr, transparent);
    }
    // A colour reduction asked for with the reserved method is refused when nothing else runs.
    auto image = MakeAnimation(8, 8, Frames(2));
    EXPECT_THROW(image->OptimizeFrames(ooReduceColors, 9), GIFException);
    EXPECT_NO_THROW(image->OptimizeFrames(ooReduceColors | ooCleanup, 9));
}

}  // namespace

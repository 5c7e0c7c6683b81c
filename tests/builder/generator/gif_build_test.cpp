// GIF pictures through the build run: the copyright note in their full
// pictures, animations that keep every frame through the shrink and the note,
// and the compress-progress window of a GIF that is shrunk. The published
// animations are read back by gifsicle and ImageMagick.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "builder/generator/BuildPicture.h"
#include "builder/generator/GifFrames.h"
#include "gif/GIFImage.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"
#include "platform/loop/FdWatch.h"
#include "tests/builder/road_fixture.h"
#include "tests/gif/animation_fixture.h"
#include "tests/support/CommandOutput.h"
#include "tests/support/GifPictures.h"
#include "tests/support/Netpbm.h"
#include "tests/support/TempFolder.h"

using namespace buildertest;

namespace {

const std::string Note = "(c) Gif";

// The note as DrawCopyrightNote draws it, fuchsia where it draws nothing.
std::unique_ptr<TBitmap> NoteAlone(int width, int height)
{
    auto layer = std::make_unique<TBitmap>(width, height, pf24bit);
    layer->Fill(clFuchsia);
    DrawCopyrightNote(*layer, Note);
    return layer;
}

// What a GIF shows over yellow: its transparent pixels are yellow.
std::unique_ptr<TBitmap> ShownOverYellow(TGIFImage& gif)
{
    auto shown = std::make_unique<TBitmap>(gif.Width(), gif.Height(), pf24bit);
    shown->Fill(clYellow);
    gif.Draw(shown->Canvas(), TRect{0, 0, gif.Width(), gif.Height()});
    return shown;
}

// Counts the pixels where `picture` differs from the note; `picture(x, y)`
// answers the colour shown there.
template <typename PixelAt>
int NoteMisses(const TBitmap& note, PixelAt picture)
{
    int misses = 0;
    for (int y = 0; y < note.Height(); ++y)
        for (int x = 0; x < note.Width(); ++x)
            if (note.Pixel(x, y) != clFuchsia && picture(x, y) != note.Pixel(x, y))
                ++misses;
    return misses;
}

// 200 x 100, three frames: a whole opaque one, a transparent one at an offset
// that is cleared to the background, and a transparent one at the top left;
// looping for ever.
void WriteAnimation(const std::string& path)
{
    const std::unique_ptr<TGIFImage> gif = MakeAnimation(200, 100,
                                                         {{TRect{0, 0, 200, 100}, 1, 7, false},
                                                          {TRect{60, 40, 180, 90}, 2, 9, true},
                                                          {TRect{0, 0, 120, 60}, 1, 11, true}},
                                                         0);
    gif->SaveToFile(path);
}

class GifBuildTest : public RoadTest {
protected:
    GifBuildTest() { CopyrightDialog->Edit1->SetText(Note); }

    // Limits of `height` x `width` pixels.
    void SetLimits(int height, int width)
    {
        Wizard->CheckBox9->SetChecked(true);
        LimitsDialog->Edit1->SetText(std::to_string(height));
        LimitsDialog->Edit2->SetText(std::to_string(width));
    }
};

TEST_F(GifBuildTest, TheNoteMarksStillGifFullPicturesKeepingTheirTransparency)
{
    testsupport::SaveOneColourGif(In.Path() + "plain.gif", 80, 50, clLime);
    // Transparent in the middle and along the bottom, under no part of the note.
    testsupport::SaveHoledGif(In.Path() + "holed.gif", 80, 50, clLime, TRect{30, 25, 60, 50});
    AddPictures({In.Path() + "plain.gif", In.Path() + "holed.gif"}, {"a", "b"});
    Script.AnswerModal("GalleryDoneDialog", mrCancel);
    RunBuild();

    const std::unique_ptr<TBitmap> note = NoteAlone(80, 50);
    for (const char* name : {"th_0_big.gif", "th_1_big.gif"}) {
        SCOPED_TRACE(name);
        TGIFImage full;
        full.LoadFromFile(Gallery + name);
        const std::unique_ptr<TBitmap> shown = ShownOverYellow(full);
        EXPECT_EQ(NoteMisses(*note, [&](int x, int y) { return shown->Pixel(x, y); }), 0);
        EXPECT_EQ(shown->Pixel(79, 0), clLime);
    }
    TGIFImage holed;
    holed.LoadFromFile(Gallery + "th_1_big.gif");
    const std::unique_ptr<TBitmap> shown = ShownOverYellow(holed);
    EXPECT_EQ(shown->Pixel(45, 40), clYellow);
    EXPECT_EQ(shown->Pixel(10, 40), clLime);
    // The thumbnails carry no note.
    TGIFImage thumbnail;
    thumbnail.LoadFromFile(Gallery + "th_0.gif");
    EXPECT_EQ(ShownOverYellow(thumbnail)->Pixel(2, 2), clLime);
}

TEST_F(GifBuildTest, TheNoteMarksTheGifsOfAPdfGallery)
{
    PutProgram("PDFIMAGES/plennix.exe");
    ChoosePdf();
    testsupport::SaveHoledGif(In.Path() + "holed.gif", 80, 50, clLime, TRect{30, 25, 60, 50});
    AddPictures({In.Path() + "holed.gif"}, {"a"});
    RunBuild();

    TGIFImage full;
    full.LoadFromFile(ProgramFolder() + "PDFIMAGES/0.gif");
    const std::unique_ptr<TBitmap> shown = ShownOverYellow(full);
    EXPECT_EQ(NoteMisses(*NoteAlone(80, 50), [&](int x, int y) { return shown->Pixel(x, y); }), 0);
    EXPECT_EQ(shown->Pixel(45, 40), clYellow);
}

TEST_F(GifBuildTest, AnAnimationKeepsEveryFrameThroughTheShrinkAndTheNote)
{
    if (testsupport::RunShellCommand("command -v gifsicle && command -v convert").Status != 0)
        GTEST_SKIP() << "gifsicle or ImageMagick is not installed";
    WriteAnimation(In.Path() + "anim.gif");
    AddPictures({In.Path() + "anim.gif"}, {"a"});
    SetLimits(100, 100);  // 200 x 100 shrinks to 100 x 50
    Script.AnswerModal("GalleryDoneDialog", mrCancel);
    RunBuild();

    // Each frame scaled with the screen (columns and rows 2, 4, 6, ... of the
    // source), with its delay, disposal and transparency; the loop kept.
    const std::string info = testsupport::CommandOutput("gifsicle --info '" + Gallery + "th_0_big.gif'");
    for (const char* part : {"3 images", "logical screen 100x50", "loop forever",
                             "+ image #0 100x50\n    disposal asis delay 0.07s",
                             "+ image #1 60x25 at 29,19 transparent 7\n    disposal background delay 0.09s",
                             "+ image #2 59x29 transparent 7\n    disposal asis delay 0.11s"})
        EXPECT_NE(info.find(part), std::string::npos) << part << " not in\n" << info;

    // Every shown frame holds the whole note at the top left.
    const std::string frames = Out.Path() + "frame-%d.ppm";
    ASSERT_EQ(testsupport::RunShellCommand("convert '" + Gallery + "th_0_big.gif' -coalesce '" + frames + "'").Status,
              0);
    const std::unique_ptr<TBitmap> note = NoteAlone(100, 50);
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        const testsupport::NetpbmPicture frame = testsupport::ReadNetpbm(Out.Path() + "frame-" + std::to_string(n) + ".ppm");
        ASSERT_EQ(frame.Width, 100);
        ASSERT_EQ(frame.Height, 50);
        EXPECT_EQ(NoteMisses(*note, [&](int x, int y) {
                      const unsigned char* p = frame.At(x, y);
                      return RGB(p[0], p[1], p[2]);
                  }),
                  0);
    }
    // The thumbnail stays one picture.
    EXPECT_NE(testsupport::CommandOutput("gifsicle --info '" + Gallery + "th_0.gif'").find("1 image"),
              std::string::npos);
}

TEST_F(GifBuildTest, AShrunkGifShowsTheCompressProgressWindow)
{
    WriteAnimation(In.Path() + "anim.gif");
    testsupport::SaveHoledGif(In.Path() + "holed.gif", 80, 50, clLime, TRect{30, 25, 60, 50});
    AddPictures({In.Path() + "anim.gif", In.Path() + "holed.gif"}, {"a", "b"});
    SetLimits(40, 40);
    std::vector<std::string> seen;
    const TLoopHookId hook = AddGatherHook([&] {
        const std::string state = std::to_string(Wizard->ProgressBar2->Position()) + " " +
                                  CompressProgressForm->Label2->Caption() +
                                  (CompressProgressForm->Visible() ? " shown" : " hidden");
        if (seen.empty() || seen.back() != state)
            seen.push_back(state);
    });
    Script.AnswerModal("GalleryDoneDialog", mrCancel);
    RunBuild();
    RemoveLoopHook(hook);

    for (const char* state : {"1 Please wait.. shown", "2 Please wait.. shown"})
        EXPECT_NE(std::find(seen.begin(), seen.end(), state), seen.end()) << state;
    for (const std::string& state : seen)
        EXPECT_EQ(state.find("Compress"), std::string::npos) << state;
    EXPECT_FALSE(CompressProgressForm->Visible());
    // The window's picture is the last GIF, white where it is transparent.
    const auto* shown = dynamic_cast<const TBitmap*>(CompressProgressForm->Image1->Picture().Graphic());
    ASSERT_NE(shown, nullptr);
    ASSERT_FALSE(shown->Empty());
    EXPECT_EQ(shown->Pixel(0, 0), clLime);
    EXPECT_EQ(shown->Pixel(shown->Width() * 45 / 80, shown->Height() * 45 / 50), clWhite);
}

// A frame thinner than the shrink's step keeps one pixel, so the animation
// keeps its frames; the note takes the frame's own black, never its
// transparent entry, and adds white to a map that lacks it.
TEST(GifFramesTest, ThinFramesStayAndTheNoteTakesOpaqueEntries)
{
    const std::unique_ptr<TGIFImage> gif =
        MakeAnimation(200, 100, {{TRect{0, 0, 200, 100}, 1, 5, false}, {TRect{61, 10, 62, 90}, 1, 5, false}});
    ShrinkGifFrames(*gif, {100, 50});
    ASSERT_EQ(gif->Images().Count(), 2);
    EXPECT_EQ(gif->Images().Items(1)->BoundsRect(), (TRect{30, 4, 31, 44}));

    TGIFImage keyed;
    keyed.GlobalColorMap().Add(clBlack);  // the transparent entry
    keyed.GlobalColorMap().Add(clLime);
    for (int n = 0; n < 2; ++n) {
        auto frame = std::make_unique<TGIFSubImage>(&keyed);
        TGIFSubImage& f = *frame;
        keyed.AddFrame(std::move(frame));
        f.SetBounds(0, 0, 100, 40);
        std::fill(f.Data(), f.Data() + f.DataSize(), std::uint8_t(1));
        auto gce = std::make_unique<TGIFGraphicControlExtension>(&f);
        gce->SetTransparent(true);
        gce->SetTransparentColorIndex(0);
        f.Extensions().Add(std::move(gce));
    }
    DrawCopyrightNoteIntoFrames(keyed, Note);
    const TGIFColorMap& map = keyed.GlobalColorMap();
    ASSERT_EQ(map.Count(), 4);
    const std::unique_ptr<TBitmap> note = NoteAlone(100, 40);
    for (int n = 0; n < 2; ++n) {
        const TGIFSubImage& frame = *keyed.Images().Items(n);
        EXPECT_EQ(NoteMisses(*note,
                             [&](int x, int y) {
                                 const TGIFColor& c = map.Entry(frame.Pixels(x, y));
                                 return frame.Pixels(x, y) == 0 ? clNone : RGB(c.Red, c.Green, c.Blue);
                             }),
                  0)
            << n;
    }
}

// Frame 1 clears the top left to the background, and frame 2 does not reach
// it: frame 2 grows over the note, transparent where it grew, so that the
// note shows in every frame and nothing else changes.
TEST(GifFramesTest, AFrameThatWouldMissTheNoteGrowsOverItTransparently)
{
    if (testsupport::RunShellCommand("command -v convert").Status != 0)
        GTEST_SKIP() << "ImageMagick is not installed";
    const std::unique_ptr<TGIFImage> gif = MakeAnimation(200, 100,
                                                         {{TRect{0, 0, 200, 100}, 1, 5, false},
                                                          {TRect{0, 0, 120, 60}, 2, 5, true},
                                                          {TRect{60, 40, 180, 90}, 1, 5, false}},
                                                         0);
    DrawCopyrightNoteIntoFrames(*gif, Note);
    EXPECT_EQ(gif->Images().Items(2)->BoundsRect(), (TRect{1, 1, 180, 90}));
    testsupport::TempFolder folder;
    gif->SaveToFile(folder.Path() + "noted.gif");
    ASSERT_EQ(testsupport::RunShellCommand("convert '" + folder.Path() + "noted.gif' -coalesce '" + folder.Path() +
                                           "frame-%d.ppm'")
                  .Status,
              0);
    const std::unique_ptr<TBitmap> note = NoteAlone(200, 100);
    std::vector<testsupport::NetpbmPicture> frames;
    for (int n = 0; n < 3; ++n) {
        frames.push_back(testsupport::ReadNetpbm(folder.Path() + "frame-" + std::to_string(n) + ".ppm"));
        const testsupport::NetpbmPicture& frame = frames.back();
        ASSERT_EQ(frame.Width, 200) << n;
        EXPECT_EQ(NoteMisses(*note,
                             [&](int x, int y) {
                                 const unsigned char* p = frame.At(x, y);
                                 return RGB(p[0], p[1], p[2]);
                             }),
                  0)
            << n;
    }
    // Where frame 2 grew beyond frame 1's cleared rectangle, frame 0 still shows.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(frames[2].At(150, 20)), 3),
              std::string(reinterpret_cast<const char*>(frames[0].At(150, 20)), 3));
}

}  // namespace

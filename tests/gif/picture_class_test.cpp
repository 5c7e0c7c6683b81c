// The picture class around its frames: palettes and their guard, dithering
// through the web palette, tiled and placed drawing, the clipboard, frames
// made from metafiles, the kept bitmap, copying, adding frames, and the
// codec-wide settings.

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>

#include "GifTestSupport.h"
#include "gif/GIFFrameBitmap.h"
#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"
#include "platform/graphics/Clipboard.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"
#include "platform/graphics/TPicture.h"
#include "tests/platform/graphics/metafile_test_support.h"

namespace {

// A one-frame picture of the bitmap, through the default reduction (the cube).
std::unique_ptr<TGIFImage> GifOf(TBitmap& bitmap)
{
    auto gif = std::make_unique<TGIFImage>();
    gif->Assign(bitmap);
    return gif;
}

std::unique_ptr<TBitmap> Stripes(int width, int height, std::initializer_list<TColor> colours)
{
    auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
    const std::vector<TColor> c(colours);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap->SetPixel(x, y, c[std::size_t(x) % c.size()]);
    return bitmap;
}

// Dithering on, as on a screen with a palette, for one test.
struct TPaletteScreen {
    bool Saved = DitherOnPaletteScreen;
    TPaletteScreen() { DitherOnPaletteScreen = true; }
    ~TPaletteScreen() { DitherOnPaletteScreen = Saved; }
};

TEST(GifPicturePalette, GlobalMapThenFrameZeroThenTheGuard)
{
    // From the global map, kept by the picture.
    TLoadResult loaded = LoadGif(SaveGif(*GifOf(*Stripes(4, 2, {clRed, clBlue}))));
    TGIFImage& image = *loaded.Image;
    ASSERT_GT(image.GlobalColorMap().Count() + image.Images().Items(0)->ColorMap().Count(), 0);

    // Neither the picture nor frame 0 has colours: each would ask the other.
    TGIFImage bare;
    auto frame = std::make_unique<TGIFSubImage>(&bare);
    frame->SetBounds(0, 0, 2, 2);
    frame->NeedImage();
    bare.AddFrame(std::move(frame));
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            bare.Palette();
            FAIL() << "a palette out of nothing";
        } catch (const GIFException& e) {
            EXPECT_STREQ(e.what(), "No global or local color table defined");
        }
    }

    // A local map gives frame 0's palette; a given palette replaces it.
    TGIFImage local;
    local.Assign(*Stripes(4, 2, {clRed, clBlue}));
    ASSERT_EQ(local.GlobalColorMap().Count(), 0);
    std::vector<PALETTEENTRY> entries = PaletteEntries(local.Palette());
    ASSERT_EQ(int(entries.size()), local.Images().Items(0)->ColorMap().Count());
    EXPECT_EQ(RGB(entries[0].peRed, entries[0].peGreen, entries[0].peBlue), local.Images().Items(0)->ColorMap().Colors(0));
    HPALETTE given = CreateGreyScalePalette();
    local.SetPalette(given);
    EXPECT_EQ(local.Palette(), given);
    local.SetPalette(given);
    EXPECT_EQ(local.Palette(), given) << "the same handle changes nothing";
    local.ClearPicture();
    EXPECT_EQ(local.Palette(), nullptr);

    // Dithering: the web palette, red outermost.
    TPaletteScreen screen;
    TGIFImage dithered;
    dithered.Assign(*Stripes(2, 2, {clRed}));
    entries = PaletteEntries(dithered.Palette());
    ASSERT_EQ(entries.size(), 216u);
    EXPECT_EQ(entries[1].peBlue, 51);
    EXPECT_EQ(entries[36].peRed, 51);
}

TEST(GifDitheredFrames, OnlyWhenTheScreenAsksAndThroughTheWebPalette)
{
    // A true-colour screen: the default flags never dither.
    EXPECT_FALSE(ScreenHasPalette);
    EXPECT_FALSE(DitherOnPaletteScreen);
    TBitmap grey(16, 8, pf8bit);
    grey.SetPalette({{0x60, 0x60, 0x60, 0}});
    grey.Fill(RGB(0x60, 0x60, 0x60));
    auto gif = GifOf(grey);
    EXPECT_FALSE(gif->NeedsDither());
    EXPECT_EQ(RenderFrame(*gif->Images().Items(0)).Bitmap->Pixel(3, 3), RGB(0x60, 0x60, 0x60));

    TPaletteScreen screen;
    EXPECT_TRUE(gif->NeedsDither());
    TGIFFrameBitmap rendered = RenderFrame(*gif->Images().Items(0));
    ASSERT_TRUE(rendered.Bitmap);
    EXPECT_FALSE(rendered.Mask);
    // 0x60 lies between 0x33 and 0x66: a mix of both whose mean is the grey.
    long sum = 0;
    std::set<TColor> seen;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            const TColor c = rendered.Bitmap->Pixel(x, y);
            seen.insert(c);
            sum += GetRValue(c);
        }
    EXPECT_EQ(seen, (std::set<TColor>{RGB(0x33, 0x33, 0x33), RGB(0x66, 0x66, 0x66)}));
    EXPECT_NEAR(double(sum) / 128, 0x60, 2);
    // Without pfAutoDither the screen does not matter.
    DitherOnPaletteScreen = false;
    EXPECT_FALSE(gif->NeedsDither());
    gif->PaintFlags &= ~pfAutoDither;
    EXPECT_TRUE(gif->NeedsDither());
}

TEST(GifDitheredFrames, TransparentPixelsAreMaskedAlongTheSerpentineAndTakeTheFillIndex)
{
    TPaletteScreen screen;
    // Row 1 runs right to left: its transparent pixels must still land on their own columns.
    TBitmap source(10, 3, pf24bit);
    source.Fill(clRed);
    source.SetPixel(9, 1, clBlue);
    source.SetPixel(2, 1, clBlue);
    source.SetPixel(0, 0, clBlue);
    source.SetTransparent(true);
    source.SetTransparentColor(clBlue);
    auto gif = GifOf(source);
    TGIFSubImage& frame = *gif->Images().Items(0);
    TGIFFrameBitmap rendered = RenderFrame(frame);
    ASSERT_TRUE(rendered.Mask);
    const int transparentIndex = frame.GraphicControlExtension()->TransparentColorIndex();
    const TColor transparentColour = frame.ActiveColorMap().Colors(transparentIndex);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool masked = source.Pixel(x, y) == clBlue;
            EXPECT_EQ(rendered.Mask->Pixel(x, y), masked ? clWhite : clBlack) << x << "," << y;
            if (masked)
                EXPECT_EQ(rendered.Bitmap->ScanLine(y)[x], DitherFillIndex(transparentColour)) << x << "," << y;
            else
                EXPECT_EQ(rendered.Bitmap->Pixel(x, y), clRed) << x << "," << y;
        }
    // The fill index comes from the colour and may lie past the 216 entries.
    EXPECT_EQ(DitherFillIndex(clBlack), 1);
    EXPECT_EQ(DitherFillIndex(clWhite), 216);
    EXPECT_EQ(DitherFillIndex(RGB(0, 0, 51)), 2);
}

TEST(GifDitheredFrames, ATransparentIndexWithoutTheTransparentFlagIsAColour)
{
    TPaletteScreen screen;
    auto gif = GifOf(*Stripes(6, 2, {clRed, clBlue}));
    TGIFSubImage& frame = *gif->Images().Items(0);
    auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
    gce->SetTransparentColorIndex(frame.Pixels(1, 0));
    gce->SetTransparent(false);
    frame.Extensions().Add(std::move(gce));
    ASSERT_FALSE(frame.Transparent());
    TGIFFrameBitmap rendered = RenderFrame(frame);
    EXPECT_FALSE(rendered.Mask);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(rendered.Bitmap->Pixel(x, y), x % 2 ? clBlue : clRed) << x << "," << y;
}

TEST(GifDrawing, TilesInCellsOfTheScreenAndAScreenWithoutSizeIsOneCell)
{
    auto gif = GifOf(*Stripes(10, 10, {clRed}));
    gif->PaintFlags |= pfTile;
    TBitmap cell(10, 10, pf24bit);
    cell.Fill(clLime);
    struct Case {
        int screen;
        TRect rect;
        std::vector<TPoint> painted, clear;
    } cases[] = {
        // 25 x 25 takes 3 x 3 cells; the last ones reach beyond the rectangle.
        {10, {0, 0, 25, 25}, {{0, 0}, {24, 24}, {29, 29}}, {{30, 30}}},
        {10, {5, 5, 25, 25}, {{5, 5}, {24, 24}}, {{4, 4}, {25, 25}}},
        // A loaded screen of 0 x 0 must not tile forever.
        {0, {0, 0, 25, 25}, {{0, 0}, {9, 9}}, {{10, 10}, {20, 20}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screen);
        gif->Header().SetWidth(c.screen);
        gif->Header().SetHeight(c.screen);
        for (bool picture : {false, true}) {
            TBitmap target(40, 40, pf24bit);
            target.Fill(clWhite);
            if (picture)
                gif->Draw(target.Canvas(), c.rect);
            else
                gif->DrawTiled(target.Canvas(), cell, c.rect);
            const TColor ink = picture ? clRed : clLime;
            for (TPoint p : c.painted)
                EXPECT_EQ(target.Pixel(p.X, p.Y), ink) << picture << " at " << p.X << "," << p.Y;
            for (TPoint p : c.clear)
                EXPECT_EQ(target.Pixel(p.X, p.Y), clWhite) << picture << " at " << p.X << "," << p.Y;
        }
    }
    // Without pfTile the bitmap is stretched into the rectangle.
    gif->PaintFlags &= ~pfTile;
    TBitmap target(40, 40, pf24bit);
    target.Fill(clWhite);
    gif->DrawTiled(target.Canvas(), cell, TRect{0, 0, 30, 20});
    EXPECT_EQ(target.Pixel(29, 19), clLime);
    EXPECT_EQ(target.Pixel(30, 19), clWhite);
}

TEST(GifDrawing, FramesArePlacedByMulDivWithHalvesAwayFromZero)
{
    // Screen 4 wide, the frame at 1..3: drawn 10 wide it spans 2.5..7.5, so 3..8.
    TGIFImage gif;
    gif.Assign(*Stripes(2, 1, {clRed}));
    TGIFSubImage& frame = *gif.Images().Items(0);
    frame.SetBounds(1, 0, 2, 1);
    gif.SetWidth(4);
    TBitmap target(12, 1, pf24bit);
    target.Fill(clWhite);
    gif.Draw(target.Canvas(), TRect{0, 0, 10, 1});
    EXPECT_EQ(target.Pixel(2, 0), clWhite);
    EXPECT_EQ(target.Pixel(3, 0), clRed);
    EXPECT_EQ(target.Pixel(7, 0), clRed);
    EXPECT_EQ(target.Pixel(8, 0), clWhite);
}

TEST(GifDrawing, MaskAndColoursAreStretchedByOneRule)
{
    // Opaque red and blue alternate with transparent columns.
    TBitmap source(7, 2, pf24bit);
    const TColor row[] = {clRed, clBlue, clYellow, clRed, clYellow, clBlue, clRed};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 7; ++x)
            source.SetPixel(x, y, row[x]);
    source.SetTransparent(true);
    source.SetTransparentColor(clYellow);
    auto gif = GifOf(source);
    for (int width : {3, 5, 11, 16}) {
        SCOPED_TRACE(width);
        TBitmap opaque(width, 2, pf24bit);
        TBitmap masked(width, 2, pf24bit);
        masked.Fill(clLime);
        gif->PaintFlags &= ~pfTransparent;
        gif->Draw(opaque.Canvas(), TRect{0, 0, width, 2});
        gif->PaintFlags |= pfTransparent;
        gif->Draw(masked.Canvas(), TRect{0, 0, width, 2});
        for (int x = 0; x < width; ++x) {
            const TColor o = opaque.Pixel(x, 0);
            // Shrinking picks pixels; it never combines red and blue into black.
            EXPECT_TRUE(o == clRed || o == clBlue || o == clBlack) << x;
            EXPECT_EQ(masked.Pixel(x, 0), o == clBlack ? clLime : o) << x;
        }
    }
}

TEST(GifClipboard, GifBytesBesideTheBitmapAndBackAgain)
{
    EXPECT_EQ(CF_GIF, RegisterClipboardFormat("gif image"));
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_GIF));
    auto gif = GifOf(*Stripes(6, 4, {clRed, clBlue, clLime}));

    Clipboard().Assign(*gif);
    EXPECT_TRUE(Clipboard().HasFormat(CF_GIF));
    EXPECT_TRUE(Clipboard().HasFormat(CF_BITMAP));
    TBitmap copied;
    ASSERT_TRUE(Clipboard().GetBitmap(copied));
    EXPECT_EQ(copied.Pixel(2, 3), clLime);

    ASSERT_TRUE(OpenClipboard());
    TPicture picture;
    picture.LoadFromClipboardFormat(CF_GIF, nullptr, nullptr);
    ASSERT_STREQ(picture.Graphic()->ClassName(), "TGIFImage");
    auto& back = static_cast<TGIFImage&>(*picture.Graphic());
    EXPECT_EQ(back.GetPictureBitmap()->Pixel(1, 0), clBlue);

    TGIFImage fromBitmap;
    fromBitmap.LoadFromClipboardFormat(CF_BITMAP, nullptr, nullptr);
    EXPECT_EQ(fromBitmap.Width(), 6);
    EXPECT_EQ(fromBitmap.GetPictureBitmap()->Pixel(2, 0), clLime);
    try {
        fromBitmap.LoadFromClipboardFormat(CF_TEXT, nullptr, nullptr);
        FAIL() << "text taken as a picture";
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Format der Zwischenablage wird nicht unterst\xFCtzt");
    }
    EXPECT_EQ(fromBitmap.Width(), 6) << "a refused format leaves the picture";
    CloseClipboard();

    // An empty picture gives nothing; a closed clipboard takes nothing.
    UINT format = 0;
    void* data = nullptr;
    HPALETTE palette = nullptr;
    TGIFImage empty;
    empty.SaveToClipboardFormat(format, data, palette);
    EXPECT_EQ(format, 0u);
    try {
        gif->SaveToClipboardFormat(format, data, palette);
        FAIL() << "stored on a closed clipboard";
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Failed to store GIF on clipboard");
    }
    EXPECT_EQ(data, nullptr);
    Clipboard().Clear();
}

TEST(GifFrameSources, AMetafileIsTransparentWhereItPaintsNothing)
{
    // 20 x 10 pixels; a red rectangle over the left half only.
    canvastest::WmfWriter wmf;
    wmf.Brush(0, clRed);
    wmf.Select(0);
    wmf.Pen(5, 0, 0);
    wmf.Select(1);
    wmf.Rectangle(0, 0, 10, 10);
    TMemoryStream stream;
    stream.WriteString(wmf.File(true, TRect{0, 0, 20, 10}, 96));
    stream.SetPosition(0);
    TMetafile metafile;
    metafile.LoadFromStream(stream);
    ASSERT_EQ(metafile.Width(), 20);

    TGIFImage gif;
    gif.Assign(metafile);
    ASSERT_EQ(gif.Images().Count(), 1);
    EXPECT_TRUE(gif.QueryTransparent());
    TGIFSubImage& frame = *gif.Images().Items(0);
    const int transparent = frame.GraphicControlExtension()->TransparentColorIndex();
    EXPECT_NE(frame.Pixels(4, 5), transparent);
    EXPECT_EQ(frame.ActiveColorMap().Colors(frame.Pixels(4, 5)), clRed);
    EXPECT_EQ(frame.Pixels(15, 5), transparent);
    EXPECT_EQ(frame.Pixels(19, 0), transparent);
}

TEST(GifFrameSources, ATransparentBitmapOfAllTwoHundredFiftySixColoursLosesItsTransparency)
{
    // An 8-bit bitmap is taken as it is; the mask needs a free entry.
    for (int colours : {2, 255, 256}) {
        SCOPED_TRACE(colours);
        TBitmap bitmap(16, 16, pf8bit);
        std::vector<TRGBQuad> palette;
        for (int i = 0; i < colours; ++i)
            palette.push_back({std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i / 2), 0});
        bitmap.SetPalette(palette);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                bitmap.ScanLine(y)[x] = std::uint8_t((y * 16 + x) % colours);
        bitmap.SetTransparent(true);
        bitmap.SetTransparentColor(QuadToColor(palette[1]));
        TGIFImage gif;
        gif.Assign(bitmap);
        EXPECT_EQ(gif.QueryTransparent(), colours < 256);
        TGIFSubImage& frame = *gif.Images().Items(0);
        if (colours < 256)
            EXPECT_EQ(frame.Pixels(1, 0), frame.GraphicControlExtension()->TransparentColorIndex());
        else
            EXPECT_EQ(frame.ColorMap().Count(), 256);
    }
}

// A codec-wide value set for one test.
template <typename T>
struct TSetFor {
    T& Value;
    T Saved;
    TSetFor(T& value, T set) : Value(value), Saved(value) { Value = set; }
    ~TSetFor() { Value = Saved; }
};

struct TProgressStep {
    TProgressStage Stage;
    int Percent;
    bool Redraw;
    std::string Text;
    bool operator==(const TProgressStep&) const = default;
};

TProgressEvent RecordProgress(std::vector<TProgressStep>& steps)
{
    return [&steps](TObject*, TProgressStage stage, int percent, bool redraw, const TRect&, const std::string& text) {
        steps.push_back({stage, percent, redraw, text});
    };
}

std::unique_ptr<TGIFImage> TwoFrames()
{
    auto gif = GifOf(*Stripes(4, 2, {clRed, clBlue}));
    gif->AddFrame(*Stripes(4, 2, {clLime}));
    return gif;
}

TEST(GifPictureSettings, NewPicturesStartFromTheProgramsDefaults)
{
    TGIFImageDefaults changed;
    changed.PaintFlags = pfAsync | pfTile;
    changed.ReductionMethod = 2;
    changed.QuantizeBits = 5;
    changed.DitherKind = 3;
    changed.CodingMethod = gcRLE;
    changed.PainterPriority = tpLowest;
    changed.FramePace = 50;
    TSetFor<TGIFImageDefaults> defaults(GIFImageDefaults, changed);
    TGIFImage image;
    EXPECT_EQ(image.PaintFlags, pfAsync | pfTile);
    EXPECT_EQ(image.ReductionMethod, 2);
    EXPECT_EQ(image.QuantizeBits, 5);
    EXPECT_EQ(image.DitherKind, 3);
    EXPECT_EQ(image.CodingMethod, gcRLE);
    EXPECT_EQ(image.PainterPriority, tpLowest);
    EXPECT_EQ(image.FramePace, 50);
    EXPECT_EQ(image.BackdropColor, TColor(0x1FFFFFFF));
}

TEST(GifPictureSettings, RenderAtLoadRendersEachFrameAndAsksForRedraws)
{
    const std::string bytes = SaveGif(*TwoFrames());
    for (const bool render : {false, true}) {
        SCOPED_TRACE(render);
        TSetFor<bool> renderAtLoad(RenderAtLoad, render);
        TGIFImage image;
        std::vector<TProgressStep> steps;
        image.OnProgress = RecordProgress(steps);
        TMemoryStream stream(bytes);
        image.LoadFromStream(stream);
        int loading = 0, rendering = 0;
        for (const TProgressStep& step : steps) {
            if (step.Text == "Rendering...")
                ++rendering;
            if (step.Text == "Loading..." && step.Stage == psRunning) {
                ++loading;
                EXPECT_EQ(step.Redraw, render);
            }
        }
        EXPECT_EQ(loading, 2);
        EXPECT_EQ(rendering > 0, render);
    }
}

TEST(GifPictureSettings, OptimizeAtWriteOptimisesOnlyTheComponentData)
{
    auto image = TwoFrames();
    auto comment = std::make_unique<TGIFCommentExtension>(image->Images().Items(1));
    comment->Comment().Add("made here");
    image->Images().Items(1)->Extensions().Add(std::move(comment));
    const std::string saved = SaveGif(*image);
    TMemoryStream plain;
    image->WriteData(plain);
    EXPECT_EQ(plain.Bytes(), saved) << "off: the picture's own bytes";

    TSetFor<bool> optimise(OptimizeAtWrite, true);
    EXPECT_EQ(SaveGif(*image), saved) << "saving never optimises";
    std::vector<TProgressStep> steps;
    image->OnProgress = RecordProgress(steps);
    TMemoryStream written;
    image->WriteData(written);
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front(), (TProgressStep{psStarting, 0, false, "Optimizing..."}));
    EXPECT_EQ(written.Bytes().find("made here"), std::string::npos);
    EXPECT_EQ(written.Bytes(), SaveGif(*image));
}

TEST(GifPictureCopy, AnotherGifIsCopiedUnderTheSourcesEventsAndLeavesNone)
{
    auto source = TwoFrames();
    source->PainterPriority = tpLower;
    source->BackdropColor = clAqua;
    source->PaintFlags = pfTransparent;
    source->ReductionMethod = 3;
    source->DitherKind = 2;
    source->QuantizeBits = 4;
    source->FramePace = 30;
    TGIFImage copy;
    std::vector<TProgressStep> sourceSteps, copySteps;
    std::vector<std::string> sourceWarnings, copyWarnings;
    source->OnProgress = [&](TObject* sender, TProgressStage stage, int percent, bool redraw, const TRect&,
                             const std::string& text) {
        sourceSteps.push_back({stage, percent, redraw, text});
        // A warning of the copy while it runs goes where its progress goes.
        if (sender == &copy && stage == psRunning)
            copy.Warning(&copy, 1, "during the copy");
    };
    source->OnGIFWarning = [&](TObject*, int, const std::string& m) { sourceWarnings.push_back(m); };
    copy.OnProgress = RecordProgress(copySteps);
    copy.OnGIFWarning = [&](TObject*, int, const std::string& m) { copyWarnings.push_back(m); };

    copy.Assign(*source);
    EXPECT_EQ(sourceSteps, (std::vector<TProgressStep>{{psStarting, 0, false, "Copying..."},
                                                       {psRunning, 50, false, "Copying..."},
                                                       {psRunning, 100, false, "Copying..."},
                                                       {psEnding, 100, false, "Copying..."}}));
    EXPECT_EQ(sourceWarnings, (std::vector<std::string>{"during the copy", "during the copy"}));
    EXPECT_TRUE(copySteps.empty());
    EXPECT_TRUE(copyWarnings.empty());
    EXPECT_FALSE(copy.OnProgress);
    EXPECT_FALSE(copy.OnGIFWarning);
    EXPECT_EQ(SaveGif(copy), SaveGif(*source));
    // The settings that travel with the picture, and those that do not.
    EXPECT_EQ(copy.PainterPriority, tpLower);
    EXPECT_EQ(copy.BackdropColor, clAqua);
    EXPECT_EQ(copy.PaintFlags, pfTransparent);
    EXPECT_EQ(copy.ReductionMethod, 3);
    EXPECT_EQ(copy.DitherKind, 2);
    EXPECT_EQ(copy.QuantizeBits, 8);
    EXPECT_EQ(copy.FramePace, 100);
}

// A picture that cannot give its pixels.
class TBrokenGraphic : public TGraphic {
public:
    const char* ClassName() const override { return "TBrokenGraphic"; }
    std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TBrokenGraphic>(); }
    int Width() const override { return 2; }
    int Height() const override { return 2; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return false; }
    void LoadFromStream(TStream&) override {}
    void SaveToStream(TStream&) override {}
    void Draw(TCanvas&, const TRect&) override { throw EInvalidGraphic("no pixels"); }

protected:
    bool AssignFrom(const TGraphic&) override { return false; }
};

TEST(GifPictureFrames, AddFrameTakesPicturesAndFramesAndRefusesTheRest)
{
    TGIFImage image;
    int changes = 0;
    image.OnChange = [&](TObject*) { ++changes; };
    // A picture becomes a new frame; the screen grows to hold it.
    EXPECT_EQ(image.AddFrame(*Stripes(3, 2, {clRed, clLime})), 0);
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.GetPictureBitmap()->Pixel(1, 1), clLime);
    // A frame is taken as it is, or copied when it stays the caller's.
    auto frame = std::make_unique<TGIFSubImage>(&image);
    TGIFSubImage* taken = frame.get();
    frame->Assign(*image.Images().Items(0));
    EXPECT_EQ(image.AddFrame(std::move(frame)), 1);
    EXPECT_EQ(image.Images().Items(1), taken);
    EXPECT_EQ(image.AddFrame(static_cast<const TObject&>(*taken)), 2);
    EXPECT_NE(image.Images().Items(2), taken);
    EXPECT_EQ(image.Images().Items(2)->Pixels(1, 0), taken->Pixels(1, 0));
    EXPECT_EQ(changes, 3);
    // Anything else, or a picture that fails to convert, adds nothing.
    struct TNotAPicture : TObject {};
    try {
        image.AddFrame(TNotAPicture{});
        FAIL() << "an object of no picture class became a frame";
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Object type not supported for operation");
    }
    EXPECT_THROW(image.AddFrame(TBrokenGraphic{}), EInvalidGraphic);
    EXPECT_EQ(image.Images().Count(), 3);
    EXPECT_EQ(changes, 3);
}

TEST(GifPictureBitmap, FrameZeroIsKeptUntilThePictureChanges)
{
    auto image = TwoFrames();
    int changes = 0;
    image->OnChange = [&](TObject*) { ++changes; };
    const std::shared_ptr<TBitmap> kept = image->GetPictureBitmap();
    ASSERT_TRUE(kept);
    EXPECT_EQ(image->GetPictureBitmap(), kept);
    TBitmap copy;
    copy.Assign(*image);
    EXPECT_EQ(image->GetPictureBitmap(), kept) << "assigning to a bitmap takes the kept one";
    EXPECT_EQ(copy.Pixel(1, 0), clBlue);
    // Its changes are the picture's.
    kept->Fill(clWhite);
    EXPECT_EQ(changes, 1);

    // Each change of the content lets it go; a released bitmap no longer
    // reaches the picture.
    const std::vector<std::pair<const char*, std::function<void(TGIFImage&)>>> releases = {
        {"release", [](TGIFImage& p) { p.ReleasePictureBitmap(); }},
        {"add a frame", [](TGIFImage& p) { p.AddFrame(*Stripes(4, 2, {clRed})); }},
        {"widen", [](TGIFImage& p) { p.SetWidth(p.Width() + 1); }},
        {"new palette", [](TGIFImage& p) { p.SetPalette(CreateGreyScalePalette()); }},
        {"clear", [](TGIFImage& p) { p.ClearPicture(); p.AddFrame(*Stripes(4, 2, {clRed})); }},
    };
    for (const auto& [name, release] : releases) {
        SCOPED_TRACE(name);
        const std::shared_ptr<TBitmap> before = image->GetPictureBitmap();
        release(*image);
        changes = 0;
        before->Fill(clBlack);
        EXPECT_EQ(changes, 0);
        EXPECT_NE(image->GetPictureBitmap(), before);
    }
    // One that outlives its picture is still a bitmap.
    const std::shared_ptr<TBitmap> orphan = image->GetPictureBitmap();
    image.reset();
    orphan->Fill(clBlack);
    EXPECT_EQ(orphan->Pixel(0, 0), clBlack);
}

TEST(GifPictureBitmap, ANewPaletteIsMarkedAndNotified)
{
    auto image = TwoFrames();
    int changes = 0;
    image->OnChange = [&](TObject*) { ++changes; };
    HPALETTE grey = CreateGreyScalePalette();
    image->SetPalette(grey);
    EXPECT_TRUE(image->PaletteModified());
    EXPECT_EQ(changes, 1);
    image->SetPaletteModified(false);
    image->SetPalette(grey);
    EXPECT_FALSE(image->PaletteModified()) << "the same handle changes nothing";
    EXPECT_EQ(changes, 1);
}

}  // namespace

#include "viewer/ViewerWindow.h"

#include <gtest/gtest.h>

#include "gif/GIFImage.h"
#include "platform/loop/TThread.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TJPEGImage.h"
#include "platform/loop/FdWatch.h"

#include <chrono>
#include <filesystem>
#include <set>

#include "shared/GalleryDataBlock.h"
#include "platform/controls/HeadlessInteraction.h"
#include "platform/controls/TApplication.h"
#include "platform/core/Files.h"
#include "shared/veskotools.h"
#include "viewer/ContentNotesDialog.h"
#include "viewer/LoadingWindow.h"
#include "viewer/MiniImage.h"
#include "viewer/ViewerInfoDialog.h"
#include "viewer/ViewerLayouts.h"
#include "tests/shared/program_file_fixtures.h"
#include "tests/support/TempFolder.h"

namespace {

class ViewerWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterViewerLayouts();
        FApp.CreateForm(ViewerWindow);
        FApp.CreateForm(LoadingWindow);
        FApp.CreateForm(ViewerInfoDialog);
        FApp.CreateForm(ContentNotesDialog);
        Window().ScrollBox2->SetBounds(150, 40, 834, 631);
        // The start timer would load the test program itself once a slow run
        // (sanitizers, a loaded machine) spends a second in the loop.
        Window().Timer1->SetEnabled(false);
    }

    TForm1& Window() { return *ViewerWindow; }
    TBitBtn& Button(int n) { return *dynamic_cast<TBitBtn*>(Window().FindComponent("BT" + std::to_string(n))); }

    std::string Gallery(std::string_view notes, const std::vector<std::pair<std::string, std::string>>& pictures)
    {
        TGalleryDataBlock block(TinyProgram(), notes);
        for (const auto& [bytes, comment] : pictures)
            block.AddPicture(bytes, false, comment);
        return block.Bytes();
    }

    TApplication FApp;
    THeadlessScript FScript;
};

// The program carries its tool-bar pictures: an EXE gallery runs far from
// any art folder.
TEST_F(ViewerWindowTest, ToolBarPicturesAreTheArtFiles)
{
    const std::pair<const TBitmap*, const char*> cases[] = {
        {&Window().BitBtn2->Glyph(), "Exit"},          {&Window().BitBtn3->Glyph(), "Save"},
        {&Window().BitBtn4->Glyph(), "Colour"},        {&Window().BitBtn6->Glyph(), "TurnLeft"},
        {&Window().BitBtn5->Glyph(), "TurnRight"},     {&Window().Image4->Picture().Bitmap(), "Info"},
    };
    for (const auto& [shown, name] : cases) {
        SCOPED_TRACE(name);
        TBitmap art;
        art.LoadFromFile(GALLERY_SOURCE_DIR "/resources/art/ViewerGlyph-" + std::string(name) + ".bmp");
        ASSERT_EQ(shown->Width(), art.Width());
        ASSERT_EQ(shown->Height(), art.Height());
        for (int y = 0; y < art.Height(); ++y)
            for (int x = 0; x < art.Width(); ++x)
                ASSERT_EQ(shown->Pixel(x, y), art.Pixel(x, y)) << x << "," << y;
    }
    EXPECT_TRUE(Window().Image4->Transparent());
}

TEST_F(ViewerWindowTest, TwoPicturesGiveButtonsAndHiddenPictures)
{
    const std::string red = SmallJpeg(1000, 700, clRed);
    const std::string blue = SmallJpeg(30, 20, clBlue);
    // One blank of notes, as the builder writes empty notes: no question.
    ASSERT_EQ(Window().LoadImages(Gallery("", {{red, "Beach"}, {blue, " "}})), TForm1::TLoadResult::Loaded);
    EXPECT_EQ(Window().LoadError(), "");
    EXPECT_TRUE(FScript.Asked().empty());
    ASSERT_EQ(Window().PictureCount(), 2);
    const std::pair<int, const char*> expected[] = {{10, "IMG 1"}, {132, "IMG 2"}};
    for (int n = 0; n < 2; ++n) {
        SCOPED_TRACE(n);
        TBitBtn& button = Button(n);
        EXPECT_EQ(button.Parent(), Window().ScrollBox1);
        EXPECT_EQ(button.Top(), expected[n].first);
        EXPECT_EQ(button.Left(), 1);
        EXPECT_EQ(button.Width(), 120);
        EXPECT_EQ(button.Height(), 120);
        EXPECT_EQ(button.Caption(), expected[n].second);
        EXPECT_EQ(button.Layout(), blGlyphTop);
        EXPECT_EQ(button.Glyph().Width(), 90);
        EXPECT_EQ(button.Glyph().Height(), 90);
        EXPECT_EQ(button.Glyph().TransparentColor(), TColor(0xFF00FF));
        auto* hidden = dynamic_cast<TImage*>(Window().FindComponent("IM" + std::to_string(n)));
        ASSERT_NE(hidden, nullptr);
        EXPECT_FALSE(hidden->Visible());
    }
    EXPECT_EQ(Button(0).Hint(), "Beach");
    EXPECT_EQ(LoadingWindow->Label1->Caption(), "Load: Picture: 2");
}

TEST_F(ViewerWindowTest, NotesAreAskedAndARefusalEndsTheLoad)
{
    FScript.AnswerModal("ContentNotesDialog", mrCancel);
    const std::string jpeg = SmallJpeg(8, 8, clRed);
    EXPECT_EQ(Window().LoadImages(Gallery("Photos (c) me", {{jpeg, "a"}})), TForm1::TLoadResult::NotesRefused);
    EXPECT_EQ(ContentNotesDialog->Memo1->Lines().Text(), "Photos (c) me\r\n");
    EXPECT_EQ(Window().PictureCount(), 0);
    EXPECT_EQ(FScript.Pending(), 0u);
}

TEST_F(ViewerWindowTest, AcceptedNotesLoadThePictures)
{
    FScript.AnswerModal("ContentNotesDialog", mrOk);
    const std::string jpeg = SmallJpeg(8, 8, clRed);
    EXPECT_EQ(Window().LoadImages(Gallery("ok", {{jpeg, "a"}})), TForm1::TLoadResult::Loaded);
    EXPECT_EQ(Window().PictureCount(), 1);
}

TEST_F(ViewerWindowTest, BareViewerSaysNoImages)
{
    FScript.AnswerMessage(IDOK, "No Images");
    EXPECT_EQ(Window().LoadImages(TinyProgram()), TForm1::TLoadResult::NoImages);
    EXPECT_EQ(FScript.Pending(), 0u);
}

TEST_F(ViewerWindowTest, DamagedGalleryKeepsThePicturesBeforeTheDamage)
{
    const std::string good = SmallJpeg(8, 8, clRed);
    struct Case {
        std::string name;
        std::string file;
        int pictures;
        std::string errorPart;
    };
    const std::string twoGood = Gallery("", {{good, "1"}, {good, "2"}});
    TGalleryDataBlock withGif(TinyProgram(), "");
    withGif.AddPicture(good, false, "1");
    withGif.AddPicture("GIF89a...", true, "2");
    const Case cases[] = {
        {"bytes that do not decode", Gallery("", {{good, "1"}, {"not a jpeg", "2"}, {good, "3"}}), 2,
         "Picture 2 cannot be shown: "},
        {"a truncated JPEG", Gallery("", {{good, "1"}, {good.substr(0, good.size() / 2), "2"}}), 1, "Picture 2"},
        {"cut inside the last picture", twoGood.substr(0, twoGood.size() - 30), 1, "picture 2 is cut off"},
        {"a GIF that does not decode", withGif.Bytes(), 1, "Picture 2 cannot be shown: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TForm1 window(nullptr);
        EXPECT_EQ(window.LoadImages(c.file), TForm1::TLoadResult::Loaded);
        EXPECT_EQ(window.PictureCount(), c.pictures);
        EXPECT_NE(window.LoadError().find(c.errorPart), std::string::npos) << window.LoadError();
    }
    // Damage to the block is said in both of the viewer's languages.
    {
        TForm1 window(nullptr);
        window.LoadImages(twoGood.substr(0, twoGood.size() - 30));
        EXPECT_NE(window.LoadError().find("Die Galerie ist besch\xE4" "digt."), std::string::npos);
    }
    // Nothing readable at all: the error and "No Images".
    FScript.AnswerMessage(IDOK, "No Images");
    TForm1 window(nullptr);
    EXPECT_EQ(window.LoadImages(Gallery("", {{"junk", "1"}})), TForm1::TLoadResult::NoImages);
    EXPECT_NE(FScript.Asked().back().Text.find("cannot be shown"), std::string::npos);
}

TEST_F(ViewerWindowTest, APictureThatDoesNotDecodeIsSkippedAndTheOthersLoad)
{
    const std::string good = SmallJpeg(8, 8, clRed);
    std::string extraneous = good;
    extraneous.insert(extraneous.size() - 2, "\x12\x34");  // libjpeg warns, every pixel is there
    const struct {
        const char* name;
        std::string first;
        int pictures;
        const char* message;  // nullptr: none
    } cases[] = {
        {"extraneous bytes before a marker", extraneous, 6, nullptr},
        {"a cut first picture", good.substr(0, good.size() / 2), 5, "Picture 1 cannot be shown: "},
        {"junk", "junk", 5, "Bild 1 kann nicht gezeigt werden."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::pair<std::string, std::string>> pictures = {{c.first, "1"}};
        for (int i = 2; i <= 6; ++i)
            pictures.push_back({good, std::to_string(i)});
        TForm1 window(nullptr);
        EXPECT_EQ(window.LoadImages(Gallery("", pictures)), TForm1::TLoadResult::Loaded);
        EXPECT_EQ(window.PictureCount(), c.pictures);
        if (!c.message) {
            EXPECT_EQ(window.LoadError(), "");
            continue;
        }
        EXPECT_NE(window.LoadError().find(c.message), std::string::npos) << window.LoadError();
        // One picture named, once; each button keeps its picture's number.
        EXPECT_EQ(window.LoadError().find("Picture 2"), std::string::npos);
        EXPECT_EQ(dynamic_cast<TBitBtn*>(window.FindComponent("BT0"))->Caption(), "IMG 2");
        EXPECT_EQ(dynamic_cast<TBitBtn*>(window.FindComponent("BT4"))->Caption(), "IMG 6");
    }
}

// A photograph-like JPEG: the glyphs of plain colours would hide a mix-up.
std::string NoisyJpeg(int width, int height, unsigned seed)
{
    TBitmap bitmap(width, height, pf24bit);
    unsigned state = seed;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            bitmap.SetPixel(x, y, RGB(x * 255 / width, y * 255 / height, (state >> 16) & 0xFF));
        }
    TJPEGImage jpeg;
    jpeg.Assign(bitmap);
    jpeg.Compress();
    return jpeg.Data();
}

std::string Pixels(const TBitmap& bitmap)
{
    std::string bytes = std::to_string(bitmap.Width()) + "x" + std::to_string(bitmap.Height()) + ":";
    for (int y = 0; y < bitmap.Height(); ++y)
        bytes.append(reinterpret_cast<const char*>(bitmap.ScanLine(y)), bitmap.RowBytes());
    return bytes;
}

// One worker or eight: the same buttons, glyphs, hidden pictures, working
// images and messages, each button made as soon as its picture is done, in
// block order, a damaged picture named in its place.
TEST_F(ViewerWindowTest, OneWorkerAndEightLoadTheSameGallery)
{
    TBitmap source(50, 40, pf24bit);
    source.Fill(clLime);
    TGIFImage gif;
    gif.Assign(source);
    TMemoryStream stream;
    gif.SaveToStream(stream);
    const std::string good = NoisyJpeg(300, 200, 1);
    for (const bool lastDamaged : {false, true}) {
        SCOPED_TRACE(lastDamaged ? "the last picture damaged" : "the last picture whole");
        TGalleryDataBlock block(TinyProgram(), "");
        for (int n = 0; n < 14; ++n) {
            if (n == 3 || n == 9 || (n == 13 && lastDamaged))
                block.AddPicture(good.substr(0, good.size() / 2), false, "cut " + std::to_string(n));
            else if (n == 6)
                block.AddPicture(stream.Bytes(), true, "gif");
            else
                block.AddPicture(NoisyJpeg(120 + 40 * n, 300 - 10 * n, unsigned(n)), false, "p" + std::to_string(n));
        }
        std::vector<std::string> seen[2];
        std::string report[2];
        for (const int workers : {1, 8}) {
            std::vector<std::string>& steps = seen[workers == 8];
            TForm1 window(nullptr);
            window.SetLoadWorkers(workers);
            const TLoopHookId hook = AddGatherHook([&] {
                const std::string step =
                    std::to_string(window.ScrollBox1->ControlCount()) + " " + LoadingWindow->Label1->Caption();
                if (steps.empty() || steps.back() != step)
                    steps.push_back(step);
            });
            ASSERT_EQ(window.LoadImages(block.Bytes()), TForm1::TLoadResult::Loaded);
            RemoveLoopHook(hook);
            EXPECT_EQ(window.PictureCount(), lastDamaged ? 11 : 12);
            std::string& r = report[workers == 8];
            r = window.LoadError() + "\n";
            for (int n = 0; n < window.PictureCount(); ++n) {
                auto* button = dynamic_cast<TBitBtn*>(window.FindComponent("BT" + std::to_string(n)));
                ASSERT_NE(button, nullptr);
                r += button->Caption() + " " + button->Hint() + " " + std::to_string(button->Top()) + " " +
                     Pixels(button->Glyph()) + "\n";
                const TComponent* hidden = window.FindComponent("IM" + std::to_string(n));
                if (!hidden)
                    hidden = window.FindComponent("GF" + std::to_string(n));
                ASSERT_NE(hidden, nullptr);
                const auto& picture = dynamic_cast<const TImage*>(hidden)->Picture();
                r += hidden->Name() + " " + std::to_string(picture.Width()) + "x" + std::to_string(picture.Height()) +
                     "\n";
            }
            r += Pixels(window.Image3->Picture().Bitmap()) + std::to_string(window.Image1->Picture().Width());
        }
        EXPECT_TRUE(report[0] == report[1]);
        EXPECT_EQ(seen[0], seen[1]);
        EXPECT_NE(report[1].find("Picture 4 cannot be shown"), std::string::npos);
        EXPECT_LT(report[1].find("Picture 4 cannot be shown"), report[1].find("Picture 10 cannot be shown"));
        // The first button exists by the first hand-over to the loop.
        ASSERT_FALSE(seen[1].empty());
        EXPECT_EQ(seen[1].front(), "1 Load: Picture: 1");
        // The last picture shown, by its number in the gallery.
        EXPECT_EQ(seen[1].back(), lastDamaged ? "11 Load: Picture: 13" : "12 Load: Picture: 14");
        EXPECT_NE(report[1].find("IMG 13 p12"), std::string::npos) << "after two skipped";
        EXPECT_EQ(report[1].find("IMG 14 p13") != std::string::npos, !lastDamaged);
    }
}

TEST_F(ViewerWindowTest, GifPicturesShowNextToJpegs)
{
    TBitmap source(30, 20, pf24bit);
    source.Fill(clBlue);
    TGIFImage gif;
    gif.Assign(source);
    TMemoryStream stream;
    gif.SaveToStream(stream);
    const std::string gifBytes = stream.Bytes();
    TGalleryDataBlock block(TinyProgram(), "");
    block.AddPicture(SmallJpeg(8, 8, clRed), false, "j");
    block.AddPicture(gifBytes, true, "g");
    ASSERT_EQ(Window().LoadImages(block.Bytes()), TForm1::TLoadResult::Loaded);
    EXPECT_EQ(Window().PictureCount(), 2);
    EXPECT_TRUE(Window().LoadError().empty()) << Window().LoadError();
    ASSERT_NE(Window().FindComponent("GF1"), nullptr);
    Button(1).Click();
    ASSERT_NE(Window().Image5->Picture().Graphic(), nullptr);
    EXPECT_STREQ(Window().Image5->Picture().Graphic()->ClassName(), "TGIFImage");
    EXPECT_EQ(Window().Image5->Picture().Width(), 30);
    EXPECT_EQ(Window().Edit1->Text(), "g");
}

// Three whole frames of one colour each, looping for ever.
std::string AnimatedGif(int delay)
{
    TGIFImage gif;
    for (TColor c : {clRed, clLime, clBlue})
        gif.GlobalColorMap().Add(c);
    for (int n = 0; n < 3; ++n) {
        auto frame = std::make_unique<TGIFSubImage>(&gif);
        TGIFSubImage& f = *frame;
        gif.AddFrame(std::move(frame));
        f.SetBounds(0, 0, 40, 30);
        std::fill(f.Data(), f.Data() + f.DataSize(), static_cast<std::uint8_t>(n));
        if (n == 0)
            f.Extensions().Add(std::make_unique<TGIFAppExtNSLoop>(&f));
        auto gce = std::make_unique<TGIFGraphicControlExtension>(&f);
        gce->SetDelay(static_cast<std::uint16_t>(delay));
        f.Extensions().Add(std::move(gce));
    }
    TMemoryStream stream;
    gif.SaveToStream(stream);
    return stream.Bytes();
}

TEST_F(ViewerWindowTest, AnAnimatedGifPlaysInThePictureAreaUntilAnotherPictureShows)
{
    TGalleryDataBlock block(TinyProgram(), "");
    block.AddPicture(AnimatedGif(2), true, "moving");
    block.AddPicture(SmallJpeg(8, 8, clRed), false, "still");
    ASSERT_EQ(Window().LoadImages(block.Bytes()), TForm1::TLoadResult::Loaded);
    Window().Show();
    Button(0).Click();
    auto* gif = dynamic_cast<TGIFImage*>(Window().Image5->Picture().Graphic());
    ASSERT_NE(gif, nullptr);
    int frames = 0;
    gif->OnFrameDone = [&](TObject*) { ++frames; };
    TImage& area = *Window().Image5;
    const TPoint centre = area.ClientToScreen({area.Width() / 2, area.Height() / 2});
    const TPoint at{centre.X - Window().Left(), centre.Y - Window().Top()};
    std::set<TColor> seen;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (seen.size() < 3 && std::chrono::steady_clock::now() < deadline) {
        Window().PaintSurface();
        seen.insert(Window().Surface().Pixel(at.X, at.Y));
        CheckSynchronize(10);
    }
    EXPECT_EQ(seen, (std::set<TColor>{clRed, clLime, clBlue}));
    EXPECT_EQ(gif->PainterCount(), 1);

    Button(1).Click();
    const int shown = frames;
    for (int i = 0; i < 30; ++i) {
        Window().PaintSurface();
        CheckSynchronize(10);
    }
    EXPECT_EQ(frames, shown);
    // The JPEG's red, near enough.
    const TColor still = Window().Surface().Pixel(at.X, at.Y);
    EXPECT_GT(still & 0xFF, 200u);
    EXPECT_LT(still >> 8 & 0xFFFF, 0x2020u);
}

TEST_F(ViewerWindowTest, SizeBoxRules)
{
    ASSERT_EQ(Window().LoadImages(Gallery("", {{SmallJpeg(1000, 700, clRed), "r"}, {SmallJpeg(2000, 1000, clBlue), "b"}})),
              TForm1::TLoadResult::Loaded);
    TImage& image = *Window().Image5;
    // "Size %": the picture's own size.
    Button(0).Click();
    EXPECT_EQ(Window().SelectedPictureName(), "BT0");
    EXPECT_EQ(Window().Edit1->Text(), "r");
    EXPECT_EQ(image.Width(), 1000);
    EXPECT_EQ(image.Left(), 1);  // larger than the area both ways
    Window().ComboBox1->SelectAsUser(5);  // "50"
    EXPECT_EQ(image.Width(), 500);
    EXPECT_EQ(image.Height(), 350);
    EXPECT_EQ(image.Left(), 167);
    EXPECT_EQ(image.Top(), 141);
    Button(1).Click();  // the size box stays; the new picture takes it
    Window().ComboBox1->SelectAsUser(0);  // "Optimale Größe"
    EXPECT_EQ(image.Width(), 830);
    EXPECT_EQ(image.Height(), 410);
    EXPECT_EQ(image.Left(), 2);
    EXPECT_EQ(image.Top(), 111);
    Window().ComboBox1->SelectAsUser(10);  // "100"
    EXPECT_EQ(image.Width(), 2000);
}

TEST_F(ViewerWindowTest, TurnsWorkOnTheDisplayCopy)
{
    TBitmap source;
    source.SetPixelFormat(pf24bit);
    source.SetSize(60, 40);
    source.Fill(clWhite);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            source.SetPixel(x, y, clBlack);  // a dark corner that shows every turn
    const std::string jpeg = EncodeJpeg(source, 100);
    ASSERT_EQ(Window().LoadImages(Gallery("", {{jpeg, ""}})), TForm1::TLoadResult::Loaded);
    Button(0).Click();
    TImage& image = *Window().Image5;
    TBitmap shown;
    shown.Assign(*image.Picture().Graphic());
    const auto onceRight = RotateBitmapRight(*getMiniImage(shown, 60, 40));

    Window().BitBtn5Click(nullptr);
    Window().BitBtn5Click(nullptr);
    Window().BitBtn6Click(nullptr);
    EXPECT_EQ(Window().RotationCount(), 1);
    EXPECT_EQ(image.Width(), 40);
    EXPECT_EQ(image.Height(), 60);
    EXPECT_EQ(image.Left(), 417 - 20);
    EXPECT_EQ(image.Top(), 316 - 30);
    TBitmap turned;
    turned.Assign(*image.Picture().Graphic());
    ASSERT_EQ(turned.Width(), onceRight->Width());
    for (int y = 0; y < turned.Height(); y += 7)
        for (int x = 0; x < turned.Width(); x += 7)
            ASSERT_EQ(turned.Pixel(x, y), onceRight->Pixel(x, y)) << x << "," << y;

    Button(0).Click();  // selecting again starts from the unturned picture
    EXPECT_EQ(Window().RotationCount(), 0);
    EXPECT_EQ(image.Width(), 60);
    EXPECT_EQ(image.Picture().Graphic()->ClassName(), std::string("TJPEGImage"));
}

TEST_F(ViewerWindowTest, SavingWritesThePictureAsItArrived)
{
    const testsupport::TempFolder folder;
    const std::filesystem::path dir = folder.Path();
    const std::string jpeg = SmallJpeg(64, 48, clGreen);
    ASSERT_EQ(Window().LoadImages(Gallery("", {{jpeg, ""}})), TForm1::TLoadResult::Loaded);

    FScript.AnswerMessage(IDOK, "Kein Bild ausgew\xE4hlt..");
    Window().BitBtn3Click(nullptr);

    Button(0).Click();
    Window().BitBtn5Click(nullptr);  // turned on screen, saved unturned
    FScript.AnswerSave((dir / "holiday").string());
    FScript.AnswerSave((dir / "holiday.jpg.old").string());
    Window().BitBtn3Click(nullptr);
    Window().BitBtn3Click(nullptr);
    EXPECT_EQ(Window().SavePictureDialog1->Filter(), "*.jpg (JPG-Dateien)|*.jpg");
    EXPECT_EQ(ReadFileBytes((dir / "holiday.jpg").string()), jpeg);
    EXPECT_EQ(ReadFileBytes((dir / "holiday.jpg.old").string()), jpeg);
    EXPECT_EQ(FScript.Pending(), 0u);
}

TEST_F(ViewerWindowTest, ColourChoiceAndResize)
{
    FScript.AnswerColor(clNavy);
    Window().BitBtn4Click(nullptr);
    EXPECT_EQ(Window().ScrollBox1->Color(), clNavy);
    EXPECT_EQ(Window().ScrollBox2->Color(), clNavy);
    FScript.CancelColor();
    Window().BitBtn4Click(nullptr);
    EXPECT_EQ(Window().ScrollBox2->Color(), clNavy);

    Window().SetBounds(0, 0, 1200, 800);
    Window().FormResize(nullptr);
    EXPECT_EQ(Window().Panel1->Width(), 1200 - 150 - 0 - 15);
    EXPECT_EQ(Window().ScrollBox2->Left(), 150);
}

}  // namespace

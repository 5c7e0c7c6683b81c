// An EXE gallery built by the wizard from real JPEG files, run as the program
// it is: once unattended, reporting what it read, and once on a private X
// server, where its screen must show the first picture.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "gif/GIFImage.h"
#include "platform/graphics/TBitmap.h"
#include "tests/support/GifPictures.h"
#include "tests/builder/road_fixture.h"
#include "tests/platform/display/x_server.h"

namespace buildertest {
namespace {

constexpr const char* Title = "VESKO THUMBNAILS - PICTURE VIEWER";

class ExeGalleryRunTest : public RoadTest {
protected:
    ExeGalleryRunTest()
    {
        PutViewer(ReadFileBytes(GLIMRA_PROGRAM));
        ChooseExe();
        WriteSolidJpeg("red.jpg", 300, 200, clRed);
        WriteSolidJpeg("blue.jpg", 200, 100, clBlue);
        AddPictures({In.Path() + "red.jpg", In.Path() + "blue.jpg"}, {"Red roof", " "});
    }

    void WriteSolidJpeg(const std::string& name, int width, int height, TColor color) const
    {
        TBitmap bitmap(width, height, pf24bit);
        bitmap.Fill(color);
        TJPEGImage jpeg;
        jpeg.Assign(bitmap);
        jpeg.SaveToFile(In.Path() + name);
    }

    std::string BuildGallery()
    {
        const std::string target = Out.Path() + "holiday.exe";
        Script.AnswerSave(Out.Path() + "holiday");
        Script.AnswerMessage(IDOK, "Complete! To run the application choose: " + target + "!");
        Script.AnswerMessage(IDOK, "Complete!");
        RunBuild();
        return target;
    }

    // What the gallery, run without a screen, says it read.
    std::string UnattendedReport(const std::string& gallery) const
    {
        const std::string report = Out.Path() + "report.txt";
        const std::string command = "env -u DISPLAY GLIMRA_REPORT='" + report + "' timeout 60 '" + gallery + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return ReadFileBytes(report);
    }
};

TEST_F(ExeGalleryRunTest, UnattendedItReportsThePicturesItRead)
{
    Wizard->Memo2->SetText("Photos (c) us");
    EXPECT_EQ(UnattendedReport(BuildGallery()), "result loaded\npictures 2\nnotes Photos (c) us\n"
                                     "picture 0 JPG 300x200 Red roof\npicture 1 JPG 200x100  \n");
}

using WindowGeometry = XServer::Geometry;

bool FindWindow(WindowGeometry& geometry) { return XServer::FindWindow(Title, geometry); }

// Screenshots of the window until `shows` holds for one, for up to `tries`
// times 250 ms. The window is looked up each time: it grows to the screen once
// it has loaded.
bool ShotUntil(const std::string& name, WindowGeometry& w, const std::function<bool(const std::string&)>& shows,
               int tries = 80)
{
    for (int i = 0; i < tries; ++i) {
        FindWindow(w);
        const std::string shot = XServer::Screenshot(name, w.X, w.Y, w.Width, w.Height);
        if (!shot.empty() && shows(shot))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return false;
}

// Runs the gallery on the private X server: its first thumbnail and, once
// clicked, its first picture (300 x 200, red) must show.
void ExpectFirstPictureShown(const std::string& gallery, const std::string& shotName)
{
    const pid_t viewer = XServer::Launch(gallery, "GLIMRA_REPORT");
    ASSERT_GT(viewer, 0);

    WindowGeometry window;
    const bool found = XServer::WaitForWindow(Title, window);
    EXPECT_TRUE(found) << "the gallery opened no window";
    if (found) {
        // The first thumbnail button: 120 x 120 at (1, 10) in the column, its
        // glyph (the picture in 90 x 90) above the caption.
        const int buttonX = 1 + 60;
        const int glyphY = 10 + 50;
        EXPECT_TRUE(ShotUntil(shotName + "-loaded", window, [&](const std::string& shot) {
            return XServer::Near(XServer::PixelOf(shot, buttonX, glyphY), 255, 0, 0);
        })) << "the first thumbnail shows no red";

        // The picture area fills the window right of the column, below the
        // tool bar; the picture stands in its middle at its own size. A click
        // while the viewer still loads, or while its window still grows, may
        // go nowhere: click again until the picture shows.
        bool shown = false;
        for (int click = 0; click < 10 && !shown; ++click) {
            FindWindow(window);
            if (!XServer::ClickAt(window.X + buttonX, window.Y + glyphY)) {
                ADD_FAILURE() << "xdotool could not click";
                break;
            }
            shown = ShotUntil(shotName + "-first-picture", window, [&](const std::string& shot) {
                const int areaX = 150 + (window.Width - 150) / 2;
                const int areaY = 40 + (window.Height - 40) / 2;
                return XServer::Near(XServer::PixelOf(shot, areaX, areaY), 255, 0, 0) &&
                       XServer::Near(XServer::PixelOf(shot, areaX - 140, areaY - 90), 255, 0, 0) &&
                       !XServer::Near(XServer::PixelOf(shot, areaX - 160, areaY), 255, 0, 0);
            }, 8);
        }
        EXPECT_TRUE(shown) << "the first picture is not shown at its size in the picture area";
    }
    kill(viewer, SIGTERM);
    waitpid(viewer, nullptr, 0);
}

TEST_F(ExeGalleryRunTest, OnAScreenItShowsTheFirstPicture)
{
    std::string why;
    if (!XServer::Start(why))
        GTEST_SKIP() << "no X server for the gallery's screen: " << why;
    ExpectFirstPictureShown(BuildGallery(), "exe-gallery");
    XServer::Stop();
}

// The same gallery of GIF pictures: a red one first, then a transparent one.
class ExeGifGalleryRunTest : public ExeGalleryRunTest {
protected:
    ExeGifGalleryRunTest()
    {
        testsupport::SaveOneColourGif(In.Path() + "red.gif", 300, 200, clRed);
        testsupport::SaveHoledGif(In.Path() + "holed.gif", 200, 100, clBlue, TRect{50, 25, 150, 75});
        Wizard->ListBox1->Clear();
        Wizard->ListBox2->Clear();
        AddPictures({In.Path() + "red.gif", In.Path() + "holed.gif"}, {"Red GIF", "Holed GIF"});
    }
};

TEST_F(ExeGifGalleryRunTest, OnAScreenItShowsTheFirstGif)
{
    std::string why;
    if (!XServer::Start(why))
        GTEST_SKIP() << "no X server for the gallery's screen: " << why;
    const std::string gallery = BuildGallery();
    EXPECT_EQ(UnattendedReport(gallery), "result loaded\npictures 2\nnotes \n"
                                     "picture 0 GIF 300x200 Red GIF\npicture 1 GIF 200x100 Holed GIF\n");
    ExpectFirstPictureShown(gallery, "exe-gif-gallery");
    XServer::Stop();
}

}  // namespace
}  // namespace buildertest

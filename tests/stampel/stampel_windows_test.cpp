// The plug-in program by hand under a private X server: its three windows,
// reached with real clicks, and a batch run from them, photographed into
// <build>/screenshots/.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "running_builder.h"
#include "running_stampel.h"
#include "stampel_places.h"
#include "platform/core/Files.h"
#include "platform/graphics/TJPEGImage.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace stampeltest;

const std::string Resources = std::filesystem::path(STAMPEL_PROGRAM).parent_path() / "resources";
constexpr const char* WorkWindow = "Norvale Watermark-PlugIn ";
// "Verzeichnis wählen..", its "ä" two bytes in the window's UTF-8 title.
constexpr const char* FolderDialog = "Verzeichnis w.+hlen\\.\\.";

std::unique_ptr<TBitmap> GreyBitmap(int width, int height)
{
    auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) bitmap->SetPixel(x, y, RGB(100 + x % 8, 100, 100 + y % 8));
    return bitmap;
}

TEST(StampelByHand, ThreeWindowsReachedByClicks)
{
    std::string why;
    if (!XServer::Start(why))
        GTEST_SKIP() << "no X server for the program check: " << why;
    const TStampelPlaces assistantPlaces(Resources, "WatermarkAssistant");
    const TStampelPlaces galleryPlaces(Resources, "GallerySelectDialog");
    TRunningStampel program;
    ASSERT_TRUE(program.Start(STAMPEL_PROGRAM, {}));

    thumbnailstest::TWindow assistant;
    ASSERT_TRUE(thumbnailstest::FindWindow("Watermark assist", assistant));
    const auto assistantShot = thumbnailstest::Shot(assistant, "stampel-assistant");
    EXPECT_GT(thumbnailstest::DarkPixels(*assistantShot, 0, 90, assistant.Width, 150), 200) << "the choices show";

    ASSERT_TRUE(ClickAt(assistant.X, assistant.Y, assistantPlaces.Centre("RadioButton1")));
    ASSERT_TRUE(ClickAt(assistant.X, assistant.Y, assistantPlaces.Centre("MTranBtn2")));
    thumbnailstest::TWindow gallery;
    ASSERT_TRUE(thumbnailstest::FindWindow("select gallery", gallery)) << "next step leads to the gallery choice";
    thumbnailstest::Shot(gallery, "stampel-gallery-dialog");
    EXPECT_FALSE(thumbnailstest::WindowShows("Watermark assist"));
    ASSERT_TRUE(ClickAt(gallery.X, gallery.Y, galleryPlaces.Centre("MTranBtn1")));
    ASSERT_TRUE(thumbnailstest::FindWindow("Watermark assist", assistant)) << "back leads to the assistant";

    ASSERT_TRUE(ClickAt(assistant.X, assistant.Y, assistantPlaces.Centre("RadioButton2")));
    ASSERT_TRUE(ClickAt(assistant.X, assistant.Y, assistantPlaces.Centre("MTranBtn2")));
    thumbnailstest::TWindow work;
    ASSERT_TRUE(thumbnailstest::FindWindow("Norvale Watermark-PlugIn ", work));
    thumbnailstest::Shot(work, "stampel-work-window-page1");
    ASSERT_TRUE(XServer::RequestClose("Norvale Watermark-PlugIn "));
    EXPECT_EQ(program.WaitForEnd(), 0) << "closing the work window ends the program";
}

// The message boxes the program shows in turn, each answered with Return;
// for each, the dark pixels of its shot: the more text, the more of them.
std::vector<int> AnswerMessages(const std::string& shotPrefix)
{
    std::vector<int> inks;
    thumbnailstest::TWindow box;
    if (!thumbnailstest::FindWindow("stampel", box, 20)) return inks;
    for (;;) {
        const std::string shot = shotPrefix + "-" + std::to_string(inks.size() + 1);
        EXPECT_EQ(XServer::Answer(box.Id, "key Return", shot), "");
        inks.push_back(DarkPixels(XServer::PixelsOf(XServer::ScreenshotPath(shot), 0, 0, box.Width, box.Height)));
        // The next box, if any, follows within moments of the answered one's
        // end: the batches here have little to stamp.
        if (!XServer::WaitForWindowId("stampel", 3) || !thumbnailstest::FindWindow("stampel", box, 5)) break;
    }
    return inks;
}

// The program started in `folder`, which its file list then shows, led by
// "Any use" to its work window, the file list's first `rows` files
// double-clicked onto the picture list; false at the first step that fails.
bool StartWithListFrom(TRunningStampel& program, const std::string& folder, int rows, thumbnailstest::TWindow& work)
{
    const TStampelPlaces assistantPlaces(Resources, "WatermarkAssistant");
    const TStampelPlaces places(Resources, "WatermarkWindow");
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    const bool started = program.Start(STAMPEL_PROGRAM, {});
    std::filesystem::current_path(here);
    thumbnailstest::TWindow assistant;
    if (!started || !thumbnailstest::FindWindow("Watermark assist", assistant) ||
        !ClickAt(assistant.X, assistant.Y, assistantPlaces.Centre("RadioButton2")) ||
        !ClickAt(assistant.X, assistant.Y, assistantPlaces.Centre("MTranBtn2")) ||
        !thumbnailstest::FindWindow(WorkWindow, work))
        return false;
    for (int row = 0; row < rows; ++row) {
        const TPoint at = places.At("FileListBox1", {30, 8 + 16 * row});
        if (!XServer::Tool("mousemove --sync " + std::to_string(work.X + at.X) + " " +
                           std::to_string(work.Y + at.Y) + " click --repeat 2 --delay 80 1"))
            return false;
    }
    return true;
}

// By hand, the list taken from the folder the program starts in: that folder
// as the output folder is refused before any picture is written; a folder
// that takes none of them ends with the count, not "complete!".
TEST(StampelByHand, TheOriginalsStayAndANothingWrittenBatchIsNotComplete)
{
    std::string why;
    if (!XServer::Start(why))
        GTEST_SKIP() << "no X server for the program check: " << why;
    testsupport::TempFolder pictures;
    GreyBitmap(60, 40)->SaveToFile(pictures / "a.bmp");
    TJPEGImage jpeg;
    jpeg.Assign(*GreyBitmap(60, 40));
    jpeg.SaveToFile(pictures / "b.jpg");
    // Folders where the stamped pictures would go: no file can take their names.
    ASSERT_TRUE(ForceDirectories(pictures / "out/a.bmp"));
    ASSERT_TRUE(ForceDirectories(pictures / "out/b.jpg"));
    const std::string bmp = ReadFileBytes(pictures / "a.bmp");
    const std::string jpg = ReadFileBytes(pictures / "b.jpg");

    const TStampelPlaces places(Resources, "WatermarkWindow");
    TRunningStampel program;
    thumbnailstest::TWindow work;
    ASSERT_TRUE(StartWithListFrom(program, pictures.Path(), 2, work));
    thumbnailstest::Shot(work, "stampel-by-hand-list");
    ASSERT_TRUE(ClickAt(work.X, work.Y, places.Tab("PageControl1", "TabSheet3")));

    // The folder dialog opens in the pictures' folder; Return takes it.
    ASSERT_TRUE(ClickAt(work.X, work.Y, places.Centre("BitBtn8")));
    ASSERT_EQ(XServer::Answer(FolderDialog, "key Return", "stampel-by-hand-own-folder"), "");
    ASSERT_TRUE(WaitUntilEnabled(work.X, work.Y, places.Centre("BitBtn9"))) << "Start stayed disabled";
    ASSERT_TRUE(ClickAt(work.X, work.Y, places.Centre("BitBtn9")));
    const std::vector<int> refusal = AnswerMessages("stampel-by-hand-refusal");
    EXPECT_EQ(refusal.size(), 1u) << "one message, and no batch after it";
    EXPECT_TRUE(ReadFileBytes(pictures / "a.bmp") == bmp) << "the BMP picture was replaced";
    EXPECT_TRUE(ReadFileBytes(pictures / "b.jpg") == jpg) << "the JPEG picture was replaced";

    // Its one subfolder, "out", chosen in the dialog's list.
    ASSERT_TRUE(ClickAt(work.X, work.Y, places.Centre("BitBtn8")));
    thumbnailstest::TWindow dialog;
    ASSERT_TRUE(thumbnailstest::FindWindow(FolderDialog, dialog));
    ASSERT_TRUE(ClickAt(dialog.X, dialog.Y, {60, 52}));
    ASSERT_EQ(XServer::Answer(dialog.Id, "key Return"), "");
    ASSERT_TRUE(ClickAt(work.X, work.Y, places.Centre("BitBtn9")));
    const std::vector<int> ending = AnswerMessages("stampel-by-hand-nothing-written");
    ASSERT_EQ(ending.size(), 2u) << "the pictures not stamped, then the end";
    EXPECT_TRUE(ReadFileBytes(pictures / "a.bmp") == bmp) << "the BMP picture was replaced";
    EXPECT_TRUE(DirectoryExists(pictures / "out/b.jpg"));

    // "complete!" once the folder takes them: the shortest text.
    ASSERT_TRUE(RemoveDir(pictures / "out/a.bmp"));
    ASSERT_TRUE(RemoveDir(pictures / "out/b.jpg"));
    ASSERT_TRUE(ClickAt(work.X, work.Y, places.Centre("BitBtn9")));
    const std::vector<int> complete = AnswerMessages("stampel-by-hand-complete");
    ASSERT_EQ(complete.size(), 1u);
    EXPECT_TRUE(FileExists(pictures / "out/b.jpg"));
    EXPECT_GT(ending[1], complete[0]) << "the end of a batch that wrote nothing is not \"complete!\"";

    ASSERT_TRUE(XServer::RequestClose(WorkWindow));
    EXPECT_EQ(program.WaitForEnd(), 0);
}

// By hand, "name + increment" writing where the user keeps a picture of that
// name: Start asks first; No leaves the user's picture, Yes replaces it.
TEST(StampelByHand, AUsersPictureInTheWayIsReplacedOnlyByYes)
{
    std::string why;
    if (!XServer::Start(why))
        GTEST_SKIP() << "no X server for the program check: " << why;
    testsupport::TempFolder pictures;
    TJPEGImage jpeg;
    jpeg.Assign(*GreyBitmap(60, 40));
    jpeg.SaveToFile(pictures / "a.b.jpg");
    jpeg.Assign(*GreyBitmap(30, 20));
    jpeg.SaveToFile(pictures / "pic1.jpg");
    const std::string users = ReadFileBytes(pictures / "pic1.jpg");

    const TStampelPlaces places(Resources, "WatermarkWindow");
    TRunningStampel program;
    thumbnailstest::TWindow work;
    // Only a.b.jpg, the first of the folder's two files, on the list.
    ASSERT_TRUE(StartWithListFrom(program, pictures.Path(), 1, work));
    ASSERT_TRUE(ClickAt(work.X, work.Y, places.Tab("PageControl1", "TabSheet3")));
    ASSERT_TRUE(ClickAt(work.X, work.Y, places.Centre("RadioButton13")));
    ASSERT_TRUE(ClickAt(work.X, work.Y, places.Centre("Edit5")));
    // "picture" becomes "pic".
    ASSERT_EQ(std::system(XServer::KeysTo(WorkWindow, "key End BackSpace BackSpace BackSpace BackSpace").c_str()), 0);
    ASSERT_TRUE(ClickAt(work.X, work.Y, places.Centre("BitBtn8")));
    ASSERT_EQ(XServer::Answer(FolderDialog, "key Return"), "");
    ASSERT_TRUE(WaitUntilEnabled(work.X, work.Y, places.Centre("BitBtn9"))) << "Start stayed disabled";
    thumbnailstest::Shot(work, "stampel-by-hand-name-and-counter");

    // No: the second button.
    ASSERT_TRUE(ClickAt(work.X, work.Y, places.Centre("BitBtn9")));
    thumbnailstest::TWindow box;
    ASSERT_TRUE(thumbnailstest::FindWindow("stampel", box, 20));
    ASSERT_EQ(XServer::Answer(box.Id, "key Right Return", "stampel-by-hand-replace-question"), "");
    EXPECT_GT(DarkPixels(XServer::PixelsOf(XServer::ScreenshotPath("stampel-by-hand-replace-question"), 0, 0,
                                           box.Width, box.Height)),
              100)
        << "the question shows its text";
    EXPECT_TRUE(ReadFileBytes(pictures / "pic1.jpg") == users) << "No replaced the user's picture";

    // Yes: the first button, then the end of the batch.
    ASSERT_TRUE(ClickAt(work.X, work.Y, places.Centre("BitBtn9")));
    ASSERT_TRUE(thumbnailstest::FindWindow("stampel", box, 20));
    ASSERT_EQ(XServer::Answer(box.Id, "key Return", "stampel-by-hand-replace-question-again"), "");
    const std::vector<int> ending = AnswerMessages("stampel-by-hand-replaced");
    EXPECT_EQ(ending.size(), 1u) << "\"complete!\" and nothing more";
    EXPECT_FALSE(ReadFileBytes(pictures / "pic1.jpg") == users) << "Yes kept the user's picture";
    TJPEGImage stamped;
    stamped.LoadFromFile(pictures / "pic1.jpg");
    EXPECT_EQ(stamped.Width(), 60) << "a.b.jpg's stamped copy";

    ASSERT_TRUE(XServer::RequestClose(WorkWindow));
    EXPECT_EQ(program.WaitForEnd(), 0);
}

}  // namespace

// A whole gallery made by hand: the real program, driven only by real clicks
// and typing through the X server, from the start screen through the
// gallery-kind dialog, the wizard, the file dialog and the folder chooser to
// the finished gallery folder. Screenshots go to <build>/screenshots/.

#include <filesystem>
#include <string>
#include <vector>

#include "builder_by_hand.h"
#include "platform/graphics/TCanvas.h"
#include "platform/graphics/TJPEGImage.h"
#include "shared/veskotools.h"

namespace {

using namespace thumbnailstest;

constexpr int PictureCount = 4;

class GalleryByHand : public BuilderByHand {
protected:
    void Prepare() override
    {
        std::filesystem::create_directory(Folder + "/pictures");
        std::filesystem::create_directory(Folder + "/gallery");
        for (int i = 0; i < PictureCount; ++i) {
            TBitmap bitmap(320 + 40 * i, 240, pf24bit);
            bitmap.Canvas().Brush().SetColor(static_cast<TColor>(0x203040 + 0x302010 * i));
            bitmap.Canvas().FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
            TJPEGImage jpeg;
            jpeg.Assign(bitmap);
            jpeg.SaveToFile(Picture(i));
        }
    }

    std::string Picture(int i) const { return Folder + "/pictures/holiday" + std::to_string(i) + ".jpg"; }
    std::string Gallery() const { return Folder + "/gallery/"; }

    void AddPicturesThroughTheOpenDialog(const TWindow& wizard)
    {
        std::vector<std::string> pictures;
        for (int i = 0; i < PictureCount; ++i)
            pictures.push_back(Picture(i));
        BuilderByHand::AddPicturesThroughTheOpenDialog(wizard, pictures, "by-hand-open-dialog");
    }

    void ChooseTheGalleryFolder(const std::string& shot)
    {
        BuilderByHand::ChooseTheGalleryFolder(Folder + "/gallery", shot);
    }

    void ExpectTheFolderHolds(const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
            EXPECT_TRUE(std::filesystem::exists(Gallery() + name)) << name << " is missing";
    }

    void ExpectThumbnailsOfTheDefaultSize(const std::string& stem)
    {
        for (int i = 0; i < PictureCount; ++i) {
            SCOPED_TRACE(i);
            TJPEGImage thumbnail;
            ASSERT_NO_THROW(thumbnail.LoadFromFile(Gallery() + stem + std::to_string(i) + ".jpg"));
            EXPECT_EQ(thumbnail.Width(), 100);
            EXPECT_EQ(thumbnail.Height(), 100);
        }
    }
};

TEST_F(GalleryByHand, AnEnglishHtmlGalleryFromTheStartScreenToTheDoneDialog)
{
    TWindow start;
    ASSERT_TRUE(FindWindow("VESKO THUMBNAILS", start)) << "the start screen did not show";
    TWindow wizard;
    ASSERT_NO_FATAL_FAILURE(OpenAnHtmlWizard(wizard, "by-hand-gallery-kind"));
    ASSERT_NO_FATAL_FAILURE(AddPicturesThroughTheOpenDialog(wizard));
    Shot(wizard, "by-hand-picture-list");

    Click(wizard, Places().Tab("TabSheet2"));
    Shot(wizard, "by-hand-gallery-page");
    Click(wizard, Places().Centre("WizardForm", "Image31"));
    ASSERT_NO_FATAL_FAILURE(ChooseTheGalleryFolder("by-hand-folder-chooser"));

    TWindow done;
    ASSERT_TRUE(FindWindow("Yes!", done, 30)) << "the build did not end in the gallery-done dialog";
    const auto shot = Shot(done, "by-hand-gallery-done");
    // The dialog names the gallery's index page.
    const TPoint label = Places().Centre("GalleryDoneDialog", "Label3");
    EXPECT_GT(DarkPixels(*shot, 10, label.Y - 6, done.Width - 20, 12), 100);
    Click(done, Places().Centre("GalleryDoneDialog", "BitBtn2"));
    EXPECT_TRUE(XServer::WaitUntilGone(done.Id, 3)) << "the gallery-done dialog stayed open";

    std::vector<std::string> names = {"start.html", "page1.html", "frame1.html", "frame_menu.html"};
    for (int i = 0; i < PictureCount; ++i)
        for (const char* suffix : {".jpg", "_big.jpg", "_big.html"})
            names.push_back("th_" + std::to_string(i) + suffix);
    ExpectTheFolderHolds(names);
    ExpectThumbnailsOfTheDefaultSize("th_");
    std::string index, page;
    LoadFileToString(Gallery() + "start.html", index);
    LoadFileToString(Gallery() + "page1.html", page);
    EXPECT_NE(index.find("page1.html"), std::string::npos);
    EXPECT_NE(page.find("th_3.jpg"), std::string::npos);
    // "Don't Show!" leaves the browser closed.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(std::filesystem::exists(OpenedList()));
    // While the web site's link on the start screen goes to the desktop.
    Click(start, Places().Centre("StartScreen", "Label2"));
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(OpenedList()); }, 3000)) << "the link opened nothing";
}

TEST_F(GalleryByHand, GermanThumbnailsOnlyKeepTheirOwnNames)
{
    TWindow start;
    ASSERT_TRUE(FindWindow("VESKO THUMBNAILS", start)) << "the start screen did not show";
    const int english = StartScreenBannerInk(*Shot(start, "by-hand-start-english"));
    Click(start, Places().Centre("StartScreen", "MTranBtn5"));
    // The wizard's half-second poll applies the language, the start screen's picture with it.
    const auto german = ShotOnceItShows(start, "by-hand-start-german",
                                        [&](const TBitmap& shot) { return StartScreenBannerInk(shot) != english; });
    ASSERT_NE(StartScreenBannerInk(*german), english) << "the start screen kept its language";
    Places().SetUp(TBuilderPlaces::TKind::Thumbnails, "ger");
    Click(start, Places().Centre("StartScreen", "MTranBtn4"));

    TWindow wizard;
    ASSERT_TRUE(FindWindow("VESKO THUMBNAILS - .*", wizard)) << "the wizard did not show";
    ASSERT_NO_FATAL_FAILURE(AddPicturesThroughTheOpenDialog(wizard));
    Click(wizard, Places().Tab("TabSheet6"));
    Click(wizard, Places().Centre("WizardForm", "CheckBox13"));
    Shot(wizard, "by-hand-thumbnails-page-german");
    Click(wizard, Places().Centre("WizardForm", "Image17"));
    ASSERT_NO_FATAL_FAILURE(ChooseTheGalleryFolder("by-hand-folder-chooser-german"));

    std::vector<std::string> names;
    for (int i = 0; i < PictureCount; ++i)
        names.push_back("holiday" + std::to_string(i) + ".jpg");
    const auto all = [&] {
        for (const std::string& name : names)
            if (!std::filesystem::exists(Gallery() + name))
                return false;
        return true;
    };
    ASSERT_TRUE(WaitFor(all, 20000)) << "the thumbnails were not all written";
    ASSERT_TRUE(WaitFor([] { return !WindowShows("Create"); }, 5000)) << "the build did not end";
    ExpectThumbnailsOfTheDefaultSize("holiday");
    EXPECT_FALSE(std::filesystem::exists(Gallery() + "start.html"));
    EXPECT_FALSE(std::filesystem::exists(Gallery() + "th_0.jpg"));
}

}  // namespace

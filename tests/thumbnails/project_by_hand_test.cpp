// Gallery projects through the real program: a gallery set up by clicks,
// built, saved as a project, the program ended and started again, the
// project loaded and the gallery built again gives the same files; an older
// ".vtn" project made from its byte layout loads and builds.

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "builder_by_hand.h"
#include "platform/graphics/TJPEGImage.h"
#include "shared/veskotools.h"

namespace {

using namespace thumbnailstest;

constexpr int PictureCount = 3;

std::map<std::string, std::string> FolderContents(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string bytes;
        LoadFileToString(entry.path().string(), bytes);
        files[entry.path().filename().string()] = bytes;
    }
    return files;
}

class ProjectByHand : public BuilderByHand {
protected:
    void Prepare() override
    {
        for (const char* folder : {"/pictures", "/first", "/second", "/older"})
            std::filesystem::create_directory(Folder + folder);
        for (int i = 0; i < PictureCount; ++i) {
            TBitmap bitmap(200 + 30 * i, 150, pf24bit);
            for (int y = 0; y < bitmap.Height(); ++y)
                for (int x = 0; x < bitmap.Width(); ++x)
                    bitmap.SetPixel(x, y, static_cast<TColor>((x * 255 / bitmap.Width()) | (y * 255 / 150) << 8 |
                                                              (40 * i) << 16));
            TJPEGImage jpeg;
            jpeg.Assign(bitmap);
            jpeg.SaveToFile(Picture(i));
        }
    }

    std::string Picture(int i) const { return Folder + "/pictures/trip" + std::to_string(i) + ".jpg"; }

    void BuildInto(const TWindow& wizard, const std::string& folder, const std::string& shot)
    {
        Click(wizard, Places().Tab("TabSheet2"));
        Click(wizard, Places().Centre("WizardForm", "Image31"));
        ASSERT_NO_FATAL_FAILURE(ChooseTheGalleryFolder(folder, shot));
        TWindow done;
        ASSERT_TRUE(FindWindow("Yes!", done, 30)) << "the build did not end in the gallery-done dialog";
        Click(done, Places().Centre("GalleryDoneDialog", "BitBtn2"));
        ASSERT_TRUE(XServer::WaitUntilGone(done.Id, 3)) << "the gallery-done dialog stayed open";
    }

    // File > Exit, "No" to saving, and the program's end.
    void Leave(const TWindow& wizard)
    {
        ASSERT_NO_FATAL_FAILURE(ChooseFromTheFileMenu(wizard, 2));
        TWindow prompt;
        ASSERT_TRUE(FindWindow("Save Dialog", prompt)) << "the save prompt did not show";
        Click(prompt, Places().Centre("SaveSettingsPrompt", "BitBtn2"));
        ASSERT_EQ(WaitForEnd(), 0) << "the program did not end";
    }
};

TEST_F(ProjectByHand, ASavedProjectBuildsTheSameGalleryAfterARestart)
{
    TWindow wizard;
    ASSERT_NO_FATAL_FAILURE(OpenAnHtmlWizard(wizard));
    std::vector<std::string> pictures;
    for (int i = 0; i < PictureCount; ++i)
        pictures.push_back(Picture(i));
    ASSERT_NO_FATAL_FAILURE(AddPicturesThroughTheOpenDialog(wizard, pictures));
    // Options away from their defaults, by clicks: percent sizes, no picture
    // infos, pages in a new window.
    Click(wizard, Places().Tab("TabSheet2"));
    Click(wizard, Places().Centre("WizardForm", "RadioButton1"));
    Click(wizard, Places().Centre("WizardForm", "CheckBox3"));
    Click(wizard, Places().Centre("WizardForm", "CheckBox8"));
    Shot(wizard, "project-gallery-page-before-saving");
    ASSERT_NO_FATAL_FAILURE(BuildInto(wizard, Folder + "/first", "project-first-folder"));

    ASSERT_NO_FATAL_FAILURE(ChooseFromTheFileMenu(wizard, 0));
    ASSERT_NO_FATAL_FAILURE(AnswerFileDialog("Save As", Folder + "/trip", "project-save-dialog"));
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(Folder + "/trip.vt2"); }, 5000));
    EXPECT_EQ(std::filesystem::file_size(Folder + "/trip.vt2"), 2628u);
    EXPECT_TRUE(std::filesystem::exists(Folder + "/trip._tn"));
    EXPECT_TRUE(std::filesystem::exists(Folder + "/trip._tk"));
    ASSERT_NO_FATAL_FAILURE(Leave(wizard));

    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_NO_FATAL_FAILURE(OpenAnHtmlWizard(wizard));
    ASSERT_NO_FATAL_FAILURE(ChooseFromTheFileMenu(wizard, 1));
    ASSERT_NO_FATAL_FAILURE(AnswerFileDialog("Open", Folder + "/trip.vt2", "project-open-dialog"));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Shot(wizard, "project-picture-list-after-loading");
    Click(wizard, Places().Tab("TabSheet2"));
    Shot(wizard, "project-gallery-page-after-loading");
    ASSERT_NO_FATAL_FAILURE(BuildInto(wizard, Folder + "/second", "project-second-folder"));

    const auto first = FolderContents(Folder + "/first");
    const auto second = FolderContents(Folder + "/second");
    EXPECT_GT(first.size(), 3u * PictureCount);
    ASSERT_EQ(first.size(), second.size());
    for (const auto& [name, bytes] : first) {
        SCOPED_TRACE(name);
        ASSERT_EQ(second.count(name), 1u);
        EXPECT_TRUE(second.at(name) == bytes) << "differs after loading";
    }
    // The options came back: percent thumbnails, 20 percent of each width.
    TJPEGImage thumbnail;
    thumbnail.LoadFromFile(Folder + "/second/th_1.jpg");
    EXPECT_EQ(thumbnail.Width(), 46);
}

// An older project: 836 bytes, two pictures, fixed thumbnails of 60 x 80.
class OlderProjectByHand : public ProjectByHand {
protected:
    void Prepare() override
    {
        ProjectByHand::Prepare();
        std::string record(836, '\0');
        const auto text = [&](std::size_t at, const std::string& t) {
            record[at] = static_cast<char>(t.size());
            record.replace(at + 1, t.size(), t);
        };
        record[0] = 1;               // pictures in "._tn"
        record[2] = 1;               // web kind
        text(3, Folder + "/older/");
        record[260] = 1;             // fixed size
        text(261, "20");
        text(265, "60");             // height
        text(276, "80");             // width
        record[287] = 0;             // linked full pictures
        text(288, "Older project");
        record[544] = 1;
        text(545, "2");
        text(549, "1");
        record[556] = record[557] = 1;
        record[814] = '\xFF';  // no font chosen
        text(815, "14");
        text(819, "9");
        text(823, "12");
        record[832] = record[833] = record[834] = '\xFF';  // white background
        std::ofstream(Folder + "/old.vtn", std::ios::binary) << record;
        std::ofstream(Folder + "/old._tn", std::ios::binary) << Picture(0) << "\r\n" << Picture(2) << "\r\n";
    }
};

TEST_F(OlderProjectByHand, LoadsAndBuilds)
{
    TWindow wizard;
    ASSERT_NO_FATAL_FAILURE(OpenAnHtmlWizard(wizard));
    ASSERT_NO_FATAL_FAILURE(ChooseFromTheFileMenu(wizard, 1));
    ASSERT_NO_FATAL_FAILURE(AnswerFileDialog("Open", Folder + "/old.vtn"));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Shot(wizard, "older-project-picture-list");
    ASSERT_NO_FATAL_FAILURE(BuildInto(wizard, Folder + "/older", "older-project-folder"));
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        TJPEGImage thumbnail;
        ASSERT_NO_THROW(thumbnail.LoadFromFile(Folder + "/older/th_" + std::to_string(i) + ".jpg"));
        EXPECT_EQ(thumbnail.Width(), 80);
        EXPECT_EQ(thumbnail.Height(), 60);
    }
    EXPECT_FALSE(std::filesystem::exists(Folder + "/older/th_2.jpg"));
    std::string page;
    LoadFileToString(Folder + "/older/start.html", page);
    EXPECT_NE(page.find("Older project"), std::string::npos);
}

}  // namespace

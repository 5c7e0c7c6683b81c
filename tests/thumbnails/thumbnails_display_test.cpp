// The real builder program on a private X server: it opens on its start
// screen, answers the mouse with its status text and ends through its exit
// button without writing its settings. Screenshots go to <build>/screenshots/.

#include "running_builder.h"

namespace {

using namespace thumbnailstest;

// Where the start screen's layout puts its parts (client coordinates).
constexpr int StatusLeft = 32, StatusTop = 212, StatusWidth = 656, StatusHeight = 20;
constexpr int TextLeft = 36, TextTop = 248, TextWidth = 640, TextHeight = 160;
constexpr int LinksLeft = 32, LinksTop = 470, LinksWidth = 240, LinksHeight = 16;
constexpr int ButtonsTop = 114, ButtonSize = 80, ButtonStep = 96, ButtonsLeft = 32;

TEST_F(RunningBuilder, StartScreenShowsTextsOnHoverAndTheExitButtonEndsIt)
{
    TWindow window;
    ASSERT_TRUE(FindWindow("VESKO THUMBNAILS", window)) << "the start screen did not show";
    EXPECT_EQ(window.Width, 720);
    EXPECT_EQ(window.Height, 500);

    MoveTo(window, 10, 300);
    const auto rest = Shot(window, "builder-start-screen");
    EXPECT_EQ(DarkPixels(*rest, StatusLeft, StatusTop, StatusWidth, StatusHeight), 0);
    EXPECT_EQ(DarkPixels(*rest, TextLeft, TextTop, TextWidth, TextHeight), 0);
    EXPECT_GT(DarkPixels(*rest, LinksLeft, LinksTop, LinksWidth, LinksHeight), 100);

    // The web gallery's button, then the thumbnails button: each shows its own texts.
    MoveTo(window, ButtonsLeft + ButtonStep + ButtonSize / 2, ButtonsTop + ButtonSize / 2);
    const auto web = Shot(window, "builder-start-screen-web");
    const int webStatus = DarkPixels(*web, StatusLeft, StatusTop, StatusWidth, StatusHeight);
    EXPECT_GT(webStatus, 100);
    EXPECT_GT(DarkPixels(*web, TextLeft, TextTop, TextWidth, TextHeight), 500);
    MoveTo(window, ButtonsLeft + 2 * ButtonStep + ButtonSize / 2, ButtonsTop + ButtonSize / 2);
    const auto thumbs = Shot(window, "builder-start-screen-thumbnails");
    EXPECT_GT(DarkPixels(*thumbs, StatusLeft, StatusTop, StatusWidth, StatusHeight), 50);
    EXPECT_NE(DarkPixels(*thumbs, StatusLeft, StatusTop, StatusWidth, StatusHeight), webStatus);
    // Repainting the texts leaves the link labels below them.
    EXPECT_GT(DarkPixels(*thumbs, LinksLeft, LinksTop, LinksWidth, LinksHeight), 100);

    // The language button: within the wizard's poll the screen turns German.
    MoveTo(window, ButtonsLeft + 5 * ButtonStep + ButtonSize / 2, ButtonsTop + ButtonSize / 2);
    ASSERT_TRUE(XServer::Tool("click 1"));
    MoveTo(window, ButtonsLeft + ButtonStep + ButtonSize / 2, ButtonsTop + ButtonSize / 2);
    const auto german = ShotOnceItShows(window, "builder-start-screen-german", [&](const TBitmap& shot) {
        return StartScreenBannerInk(shot) != StartScreenBannerInk(*web);
    });
    const int germanStatus = DarkPixels(*german, StatusLeft, StatusTop, StatusWidth, StatusHeight);
    EXPECT_GT(germanStatus, 100);
    EXPECT_NE(germanStatus, webStatus);
    EXPECT_NE(StartScreenBannerInk(*german), StartScreenBannerInk(*web)) << "the background kept its language";

    // The web button asks HTML or PHP first; cancelling leaves the start screen.
    ClickAt(window, ButtonsLeft + ButtonStep + ButtonSize / 2, ButtonsTop + ButtonSize / 2);
    TWindow kind;
    ASSERT_TRUE(FindWindow("HTML or PHP Gallery\\?", kind)) << "the gallery-kind dialog did not show";
    Shot(kind, "builder-gallery-kind");
    ClickAt(kind, 617 + 47, 370 + 14);
    EXPECT_TRUE(XServer::WaitUntilGone(kind.Id, 5)) << "still open";

    // The exit button: the program ends at once and writes no settings.
    MoveTo(window, ButtonsLeft + 6 * ButtonStep + ButtonSize / 2, ButtonsTop + ButtonSize / 2);
    ASSERT_TRUE(XServer::Tool("click 1"));
    EXPECT_EQ(WaitForEnd(), 0);
    EXPECT_FALSE(std::filesystem::exists(Folder + "/settings.dat"));
}

TEST_F(RunningBuilder, TheWizardsExitAsksToSaveThenWritesTheSettingsAndEnds)
{
    TWindow window;
    ASSERT_TRUE(FindWindow("VESKO THUMBNAILS", window)) << "the start screen did not show";
    // The thumbnails button opens the wizard without a question.
    MoveTo(window, ButtonsLeft + 2 * ButtonStep + ButtonSize / 2, ButtonsTop + ButtonSize / 2);
    ASSERT_TRUE(XServer::Tool("click 1"));
    TWindow wizard;
    ASSERT_TRUE(FindWindow("VESKO THUMBNAILS - Gallery Wizard", wizard)) << "the wizard did not show";
    Shot(wizard, "builder-wizard-thumbnails");
    // File, then Exit.
    MoveTo(wizard, 20, 9);
    ASSERT_TRUE(XServer::Tool("click 1"));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    MoveTo(wizard, 20, 78);
    ASSERT_TRUE(XServer::Tool("click 1"));
    TWindow prompt;
    ASSERT_TRUE(FindWindow("Save Dialog", prompt)) << "the save prompt did not show";
    Shot(prompt, "builder-save-prompt");
    MoveTo(prompt, 205, 70);  // "No"
    ASSERT_TRUE(XServer::Tool("click 1"));
    EXPECT_EQ(WaitForEnd(), 0);
    std::string settings;
    if (FILE* file = std::fopen((Folder + "/settings.dat").c_str(), "rb")) {
        char buffer[128];
        settings.assign(buffer, std::fread(buffer, 1, sizeof buffer, file));
        std::fclose(file);
    }
    EXPECT_EQ(settings, "SOUND=ON\r\nCOLOR=ON\r\nLANG=eng\r\n");
}

}  // namespace

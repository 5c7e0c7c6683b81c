// The real builder program on a private X server: it opens on its start
// screen, answers the mouse with its status text and ends through its exit
// button without writing its settings. Screenshots go to <build>/screenshots/.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "XServer.h"
#include "platform/graphics/TBitmap.h"

namespace {

struct TWindow {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

std::string Output(const std::string& command)
{
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        pclose(pipe);
    }
    return text;
}

int ShellValue(const std::string& text, const std::string& name)
{
    const std::size_t at = text.find(name + "=");
    return at == std::string::npos ? -1 : std::stoi(text.substr(at + name.size() + 1));
}

// A window of that title, once it shows (up to ten seconds).
bool FindWindow(const std::string& title, TWindow& window)
{
    const std::string geometry = Output("timeout 10 xdotool search --sync --onlyvisible --name '^" + title +
                                        "$' getwindowgeometry --shell");
    window = {ShellValue(geometry, "X"), ShellValue(geometry, "Y"), ShellValue(geometry, "WIDTH"),
              ShellValue(geometry, "HEIGHT")};
    return window.Width > 0;
}

// A screenshot of the window, kept as PNG and read back as a bitmap.
std::unique_ptr<TBitmap> Shot(const TWindow& window, const std::string& name)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const std::string png = XServer::Screenshot(name, window.X, window.Y, window.Width, window.Height);
    const std::string bmp = png + ".bmp";
    std::system(("convert '" + png + "' -type truecolor BMP3:'" + bmp + "'").c_str());
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromFile(bmp);
    std::filesystem::remove(bmp);
    return bitmap;
}

// Dark pixels (text) in a rectangle of a shot.
int DarkPixels(const TBitmap& shot, int left, int top, int width, int height)
{
    int dark = 0;
    for (int y = top; y < top + height && y < shot.Height(); ++y)
        for (int x = left; x < left + width && x < shot.Width(); ++x) {
            const TColor c = shot.Pixel(x, y);
            if ((c & 0xFF) + (c >> 8 & 0xFF) + (c >> 16 & 0xFF) < 3 * 90)
                ++dark;
        }
    return dark;
}

class RunningBuilder : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        if (!XServer::Start(why))
            GTEST_SKIP() << "no X server for the program check: " << why;
        // A program folder of its own: the program beside the build's
        // resources, and a settings file nobody else writes.
        std::string pattern = (std::filesystem::temp_directory_path() / "thumbnails-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        Folder = pattern;
        const std::filesystem::path built(THUMBNAILS_PROGRAM);
        std::filesystem::copy_file(built, Folder + "/thumbnails");
        std::filesystem::create_directory_symlink(built.parent_path() / "resources", Folder + "/resources");
        const std::string program = Folder + "/thumbnails";
        Program = fork();
        if (Program == 0) {
            if (chdir(Folder.c_str()) == 0)
                execl(program.c_str(), "thumbnails", static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_GT(Program, 0);
    }
    void TearDown() override
    {
        if (Program > 0 && waitpid(Program, nullptr, WNOHANG) == 0) {
            kill(Program, SIGTERM);
            waitpid(Program, nullptr, 0);
        }
        if (!Folder.empty()) {
            std::error_code error;
            std::filesystem::remove_all(Folder, error);
        }
    }

    void MoveTo(const TWindow& window, int x, int y)
    {
        ASSERT_TRUE(XServer::Tool("mousemove --sync " + std::to_string(window.X + x) + " " +
                                  std::to_string(window.Y + y)));
    }

    // The exit code, or -1 when the program has not ended within three seconds.
    int WaitForEnd()
    {
        for (int i = 0; i < 30; ++i) {
            int status = 0;
            if (waitpid(Program, &status, WNOHANG) == Program) {
                Program = 0;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return -1;
    }

    std::string Folder;
    pid_t Program = 0;
};

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
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    MoveTo(window, ButtonsLeft + ButtonStep + ButtonSize / 2, ButtonsTop + ButtonSize / 2);
    const auto german = Shot(window, "builder-start-screen-german");
    const int germanStatus = DarkPixels(*german, StatusLeft, StatusTop, StatusWidth, StatusHeight);
    EXPECT_GT(germanStatus, 100);
    EXPECT_NE(germanStatus, webStatus);
    EXPECT_NE(DarkPixels(*german, 0, 0, 720, 96), DarkPixels(*web, 0, 0, 720, 96)) << "the background kept its language";

    // The web button asks HTML or PHP first; cancelling leaves the start screen.
    ASSERT_TRUE(XServer::Tool("mousemove --sync " + std::to_string(window.X + ButtonsLeft + ButtonStep + ButtonSize / 2) +
                              " " + std::to_string(window.Y + ButtonsTop + ButtonSize / 2) + " click 1"));
    TWindow kind;
    ASSERT_TRUE(FindWindow("HTML or PHP Gallery\\?", kind)) << "the gallery-kind dialog did not show";
    Shot(kind, "builder-gallery-kind");
    ASSERT_TRUE(XServer::Tool("mousemove --sync " + std::to_string(kind.X + 617 + 47) + " " +
                              std::to_string(kind.Y + 370 + 14) + " click 1"));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(Output("xdotool search --onlyvisible --name '^HTML or PHP Gallery' | head -1"), "") << "still open";

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

// The real builder's "Update?" on a private X server, asking python's file
// server on loopback (the maker's server pointed there for the test only):
// once the current version, once a newer one with its dialog.

#include <fstream>
#include <sstream>
#include <vector>

#include "running_builder.h"
#include "tests/support/LoopbackPort.h"

namespace {

using namespace thumbnailstest;

constexpr int UpdateLeft = 204, UpdateTop = 470, UpdateWidth = 60, UpdateHeight = 16;

// A visible window of `title` other than the start screen (720 wide).
bool FindOtherWindow(const std::string& title, TWindow& window, int seconds = 10)
{
    return WaitFor(
        [&] {
            std::istringstream ids(Output("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null"));
            for (std::string id; std::getline(ids, id);) {
                const std::string geometry = Output("xdotool getwindowgeometry --shell " + id + " 2>/dev/null");
                window = WindowOf(geometry);
                if (window.Width > 0 && window.Width != 720)
                    return true;
            }
            return false;
        },
        seconds * 1000);
}

class UpdateCheckOnScreen : public RunningBuilder {
protected:
    void Prepare() override
    {
        std::filesystem::create_directory(Folder + "/www");
        std::ofstream(Folder + "/www/version_vx.html", std::ios::binary) << Page;
        const std::uint16_t port = testsupport::FreeLoopbackPort();
        Server = fork();
        if (Server == 0) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            execl("/usr/bin/python3", "python3", "-m", "http.server", "--bind", "127.0.0.1", "--directory",
                  (Folder + "/www").c_str(), std::to_string(port).c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_TRUE(WaitFor([&] { return testsupport::LoopbackAccepts(port); }, 5000)) << "python's file server did not start";
        setenv("THUMBNAILS_UPDATE_SERVER", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
    }
    void TearDown() override
    {
        RunningBuilder::TearDown();
        unsetenv("THUMBNAILS_UPDATE_SERVER");
        if (Server > 0) {
            kill(Server, SIGTERM);
            waitpid(Server, nullptr, 0);
        }
    }
    void ClickUpdate()
    {
        TWindow start;
        ASSERT_TRUE(FindWindow("VESKO THUMBNAILS", start)) << "the start screen did not show";
        ClickAt(start, UpdateLeft + UpdateWidth / 2, UpdateTop + UpdateHeight / 2);
    }
    void EndProgram()
    {
        TWindow start;
        ASSERT_TRUE(FindWindow("VESKO THUMBNAILS", start));
        ClickAt(start, 32 + 6 * 96 + 40, 114 + 40);
        EXPECT_EQ(WaitForEnd(), 0);
    }
    std::string Page;
    pid_t Server = 0;
};

class CurrentVersion : public UpdateCheckOnScreen {
protected:
    CurrentVersion() { Page = "<html><body>Thumbnails <version>3.3.1</version></body></html>"; }
};

class NewerVersion : public UpdateCheckOnScreen {
protected:
    NewerVersion()
    {
        Page = "<version>3.4</version><link>http://downloads.example.com/thumbnails-3.4.zip</link>"
               "Faster builds.\r\nPDF galleries with comments.\r\n";
    }
};

TEST_F(CurrentVersion, SaysTheVersionIsActual)
{
    ClickUpdate();
    TWindow box;
    ASSERT_TRUE(FindOtherWindow("VESKO THUMBNAILS", box)) << "no message box";
    const auto shot = Shot(box, "builder-update-current");
    EXPECT_GT(DarkPixels(*shot, 0, 0, box.Width, box.Height), 100);
    EXPECT_FALSE(WindowShows("Update Check"));
    ASSERT_TRUE(XServer::Tool("key Return"));
    EXPECT_TRUE(XServer::WaitUntilGone(box.Id, 3)) << "the message box stayed";
    EndProgram();
}

TEST_F(NewerVersion, ShowsTheDialogWhoseButtonOpensTheLink)
{
    ClickUpdate();
    TWindow dialog;
    ASSERT_TRUE(FindWindow("Update Check", dialog)) << "the update dialog did not show";
    const auto shot = Shot(dialog, "builder-update-found");
    // The memo (36..216) holds the version, the address and two description lines.
    EXPECT_GT(DarkPixels(*shot, 14, 40, 380, 90), 300);
    ClickAt(dialog, 12 + 110, 228 + 14);
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(OpenedList()); }, 3000));
    std::ifstream opened(OpenedList());
    std::string line;
    std::getline(opened, line);
    EXPECT_EQ(line, "http://downloads.example.com/thumbnails-3.4.zip");
    ClickAt(dialog, 312 + 45, 228 + 14);
    EXPECT_TRUE(XServer::WaitUntilGone(dialog.Id, 3)) << "the update dialog stayed";
    EndProgram();
}

}  // namespace

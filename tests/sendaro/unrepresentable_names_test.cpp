// The real uploader program on the private X server, driven by real clicks
// and keys, with a gallery folder holding a file whose name Windows-1252
// cannot write: the program names it, sends the rest and finishes; when
// nothing is left it says so, sends nothing and stays open.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "running_builder.h"
#include "running_stampel.h"
#include "stampel_places.h"
#include "shared/veskotools.h"
#include "tests/support/FolderTree.h"
#include "tests/support/TempFolder.h"
#include "tests/uploader/ftp_server.h"

namespace {

using thumbnailstest::FindWindow;
using thumbnailstest::TWindow;
using thumbnailstest::WaitFor;
using thumbnailstest::WindowShows;

const std::string Resources = std::filesystem::path(SENDARO_PROGRAM).parent_path() / "resources";
constexpr const char* MainWindow = "VESKO THUMBNAILS  - FTP Client";
// Cyrillic letters, written by their UTF-8 bytes as another program names a file.
const std::string Cyrillic = "\xD0\x9C\xD0\xB8\xD1\x80.jpg";

std::string AccountLine(const std::string& port)
{
    std::string line = "my web space~127.0.0.1~anna~secret~" + port + "~/~no";
    TScrambleTable table;
    BuildScrambleTable(table);
    ScrambleText(table, "4k7wq2ne8vz1mx5tr3ja9hd6yb0ul2pc8fg", line);
    return line;
}

// A message box of the uploader appears; it is shot and answered with Return.
void AnswerMessage(const std::string& shot)
{
    ASSERT_TRUE(WaitFor([] { return WindowShows("sendaro"); }, 20000)) << "no message for " << shot;
    ASSERT_EQ(std::system(XServer::KeysTo("sendaro", "key Return", shot).c_str()), 0);
    ASSERT_TRUE(WaitFor([] { return !WindowShows("sendaro"); }, 5000)) << shot << " stayed";
}

TEST(UnrepresentableNames, AreNamedAndTheRestIsSent)
{
    std::string why;
    if (!XServer::Start(why))
        GTEST_SKIP() << "no X server for the program check: " << why;
    if (!sendarotest::TFtpServer::Available())
        GTEST_SKIP() << "python3-pyftpdlib is not installed";
    for (const bool rest : {true, false}) {
        SCOPED_TRACE(rest ? "with files to send" : "nothing else");
        const std::string name = rest ? "sendaro-unrepresentable-with-rest" : "sendaro-unrepresentable-alone";
        testsupport::TempFolder gallery;
        ASSERT_EQ(::close(::creat((gallery.Path() + Cyrillic).c_str(), 0644)), 0);
        if (rest) {
            WriteFileBytes(gallery.Path() + "start.html", "<html>start</html>");
            WriteFileBytes(gallery.Path() + "th_0.jpg", std::string(3000, 'x'));
        }
        testsupport::TempFolder program;
        ForceDirectories(program.Path() + "ftp");
        std::filesystem::copy_file(SENDARO_PROGRAM, program.Path() + "ftp/sendaro.exe");
        std::filesystem::create_directory_symlink(Resources, program.Path() + "ftp/resources");
        testsupport::TempFolder serverRoot;
        sendarotest::TFtpServer server;
        ASSERT_TRUE(server.Start(ExcludeTrailingPathDelimiter(serverRoot.Path())));
        WriteFileBytes(program.Path() + "ftp/kto.dat", AccountLine(server.Port()) + "\r\n");

        const stampeltest::TStampelPlaces places(Resources, "UploaderWindow");
        stampeltest::TRunningStampel sendaro;
        ASSERT_TRUE(sendaro.Start(program.Path() + "ftp/sendaro.exe", {gallery.Path()}));
        TWindow main;
        ASSERT_TRUE(FindWindow(MainWindow, main)) << "the uploader did not show";
        const int menu = main.Height - 252;
        auto click = [&](const std::string& control) {
            const TPoint at = places.Centre(control);
            return XServer::Tool("mousemove --sync " + std::to_string(main.X + at.X) + " " +
                                 std::to_string(main.Y + menu + at.Y) + " click 1");
        };
        ASSERT_TRUE(click("ComboBox1"));
        ASSERT_TRUE(XServer::Tool("key Down Return"));
        ASSERT_TRUE(click("Button2"));
        ASSERT_NO_FATAL_FAILURE(AnswerMessage(name + "-named"));
        if (rest) {
            ASSERT_NO_FATAL_FAILURE(AnswerMessage(name + "-finish"));
            EXPECT_EQ(sendaro.WaitForEnd(), 0);
            EXPECT_EQ(testsupport::FolderTree(serverRoot.Path() + "mygallery"),
                      (std::map<std::string, std::string>{{"start.html", "<html>start</html>"},
                                                          {"th_0.jpg", std::string(3000, 'x')}}));
            continue;
        }
        // No finish message: the program stays, and nothing reached the server.
        EXPECT_EQ(sendaro.WaitForEnd(1000), -1);
        EXPECT_FALSE(WindowShows("sendaro"));
        EXPECT_FALSE(DirectoryExists(serverRoot.Path() + "mygallery"));
        thumbnailstest::Shot(main, name + "-still-open");
        EXPECT_TRUE(XServer::RequestClose(MainWindow));
        EXPECT_EQ(sendaro.WaitForEnd(), 0);
    }
}

}  // namespace

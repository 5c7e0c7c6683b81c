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
#include "running_sendaro.h"
#include "running_stampel.h"
#include "tests/support/FolderTree.h"
#include "tests/support/TempFolder.h"
#include "tests/uploader/ftp_server.h"

namespace {

using sendarotest::AccountLine;
using thumbnailstest::WindowShows;

// Cyrillic letters, written by their UTF-8 bytes as another program names a file.
const std::string Cyrillic = "\xD0\x9C\xD0\xB8\xD1\x80.jpg";

// A message box of the uploader appears; it is shot and answered with Return.
// The next message has the same title and may show at once.
void AnswerMessage(const std::string& shot)
{
    ASSERT_EQ(XServer::Answer("sendaro", "key Return", shot), "") << shot;
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
        std::filesystem::create_directory_symlink(sendarotest::ProgramResources, program.Path() + "ftp/resources");
        testsupport::TempFolder serverRoot;
        sendarotest::TFtpServer server;
        ASSERT_TRUE(server.Start(ExcludeTrailingPathDelimiter(serverRoot.Path())));
        WriteFileBytes(program.Path() + "ftp/kto.dat", AccountLine(server.Port()) + "\r\n");

        stampeltest::TRunningStampel sendaro;
        ASSERT_TRUE(sendaro.Start(program.Path() + "ftp/sendaro.exe", {gallery.Path()}));
        sendarotest::TSendaroMainWindow main;
        ASSERT_TRUE(main.Find()) << "the uploader did not show";
        ASSERT_TRUE(main.Click("ComboBox1"));
        ASSERT_TRUE(XServer::Tool("key Down Return"));
        ASSERT_TRUE(main.Click("Button2"));
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
        thumbnailstest::Shot(main.Window(), name + "-still-open");
        EXPECT_TRUE(XServer::RequestClose(sendarotest::MainWindowTitle));
        EXPECT_EQ(sendaro.WaitForEnd(), 0);
    }
}

}  // namespace

// A web gallery from the builder to an FTP server end to end: the builder's
// windows build it and Publish starts the uploader; the real uploader
// program, started with exactly those arguments from a program folder of its
// own on the private X server, is driven by real clicks and keys to send the
// gallery to pyftpdlib on loopback, in active and in passive mode. The
// server's folder must then equal the gallery byte for byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "running_builder.h"
#include "running_sendaro.h"
#include "running_stampel.h"
#include "stampel_places.h"
#include "builder/dialogs/FolderChooserDialog.h"
#include "platform/controls/InputDriver.h"
#include "platform/shell/ShellExecute.h"
#include "shared/veskotools.h"
#include "tests/builder/build_fixture.h"
#include "tests/support/FolderTree.h"
#include "tests/uploader/ftp_server.h"

namespace {

using buildertest::TempFolder;
using thumbnailstest::FindWindow;
using thumbnailstest::TWindow;

using sendarotest::AccountLine;

class PublishUpload : public buildertest::BuildTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PublishUpload, FromPublishToTheServerByteForByte)
{
    std::string why;
    if (!XServer::Start(why))
        GTEST_SKIP() << "no X server for the program check: " << why;
    if (!sendarotest::TFtpServer::Available())
        GTEST_SKIP() << "python3-pyftpdlib is not installed";
    Gallery = Out.Path() + "my gallery/";
    Wizard->Label2->SetCaption(Gallery);
    AddJpegs(3, 320, 240);
    Build();
    ASSERT_TRUE(Exists("start.html"));

    // Publish: the gallery folder chosen, the uploader started.
    TempFolder program;
    ForceDirectories(program.Path() + "ftp");
    std::filesystem::copy_file(SENDARO_PROGRAM, program.Path() + "ftp/sendaro.exe");
    std::filesystem::create_directory_symlink(sendarotest::ProgramResources, program.Path() + "ftp/resources");
    Wizard->ProgramFolder = program.Path();
    const std::string folder = Gallery;
    Script.AnswerModal("FolderChooserDialog", [folder](TCustomForm&) {
        FolderChooserDialog->DirectoryListBox1->SetDirectory(folder);
        InputDriver::Click(*FolderChooserDialog->BitBtn2);
    });
    Wizard->Image53Click(Wizard->Image53);
    std::vector<std::string> arguments;
    for (const TShellStart& start : RecordedShellStarts())
        if (start.File == program.Path() + "ftp/sendaro.exe")
            arguments = SplitShellParameters(start.Parameters);
    ASSERT_EQ(arguments, (std::vector<std::string>{Out.Path() + "my*gallery"}));

    TempFolder serverRoot;
    sendarotest::TFtpServer server;
    ASSERT_TRUE(server.Start(ExcludeTrailingPathDelimiter(serverRoot.Path())));
    WriteFileBytes(program.Path() + "ftp/kto.dat", AccountLine(server.Port()) + "\r\n");

    const std::string name = GetParam() ? "passive" : "active";
    stampeltest::TRunningStampel sendaro;
    ASSERT_TRUE(sendaro.Start(program.Path() + "ftp/sendaro.exe", arguments));
    sendarotest::TSendaroMainWindow main;
    ASSERT_TRUE(main.Find()) << "the uploader did not show";
    ASSERT_TRUE(main.Click("ComboBox1"));
    ASSERT_TRUE(XServer::Tool("key Down Return"));
    if (GetParam()) {
        ASSERT_TRUE(main.Click("RadioButton2"));
    }
    thumbnailstest::Shot(main.Window(), "sendaro-publish-" + name + "-account-chosen");
    ASSERT_TRUE(main.Click("Button2"));
    const XServer::WindowId finish = XServer::WaitForWindowId("sendaro");
    ASSERT_NE(finish, 0u) << "no finish message";
    TWindow protocol;
    if (FindWindow("Protocol", protocol, 2))
        thumbnailstest::Shot(protocol, "sendaro-publish-" + name + "-protocol");
    ASSERT_EQ(XServer::Answer(finish, "key Return", "sendaro-publish-" + name + "-finish"), "");
    EXPECT_EQ(sendaro.WaitForEnd(), 0);

    EXPECT_EQ(testsupport::FolderTree(serverRoot.Path() + "mygallery"), testsupport::FolderTree(Gallery));
    // The upload's own end leaves the transfer mode file alone.
    EXPECT_FALSE(FileExists(program.Path() + "ftp/ftpmod.dat"));
}

INSTANTIATE_TEST_SUITE_P(Modes, PublishUpload, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Passive" : "Active"; });

}  // namespace

// The uploader's five windows as real windows on the private X server, and
// an upload to pyftpdlib as the protocol window shows it. Screenshots go to
// <build>/screenshots/.

#include <gtest/gtest.h>

#include "shared/veskotools.h"
#include "tests/platform/display/display_loop.h"
#include "tests/platform/display/x_server.h"
#include "tests/uploader/ftp_server.h"
#include "tests/uploader/sendaro_fixture.h"

namespace sendarotest {
namespace {

using DisplayLoop::Shot;

const auto* const ServerEnvironment = ::testing::AddGlobalTestEnvironment(new DisplayLoop::TServerEnvironment);

class SendaroDisplay : public SendaroTest {
protected:
    static void SetUpTestSuite() { Skip = DisplayLoop::StartBackend(); }
    void SetUp() override
    {
        if (!Skip.empty())
            GTEST_SKIP() << Skip;
        SendaroTest::SetUp();
        Gallery = Folder.Path() + "my gallery/";
        ASSERT_TRUE(CreateDir(Gallery));
    }
    void TearDown() override
    {
        SendaroTest::TearDown();
        DisplayLoop::Pump(50);
    }
    void StartOn(const TAccount& account)
    {
        WriteAccountLines(ProgramDir + "kto.dat", {ScrambledAccountLine(account)});
        std::string argument = Gallery;
        ReplaceText(" ", "*", argument, 1);
        Start({argument});
    }

    static inline std::string Skip;
    std::string Gallery;
};

TEST_F(SendaroDisplay, EveryWindow)
{
    StartOn({"home", "ftp.example.org", "anna", "secret", "21", "/", "no"});
    TForm1& main = *UploaderWindow;
    main.Show();
    main.RadioButton2->OnMouseMove(main.RadioButton2, {}, 1, 1);
    EXPECT_FALSE(Shot("sendaro-main-window", main).empty());
    main.Bearbeiten1->Click();
    AccountChooser->ComboBox1->SelectAsUser(0);
    EXPECT_FALSE(Shot("sendaro-account-chooser", *AccountChooser).empty());
    AccountChooser->Button1->Click();
    EXPECT_FALSE(Shot("sendaro-account-editor", *AccountEditor).empty());
    AccountEditor->Hide();
    FolderExistsPrompt->Show();
    EXPECT_FALSE(Shot("sendaro-folder-exists-prompt", *FolderExistsPrompt).empty());
    FolderExistsPrompt->Hide();
    ProtocolWindow->Show();
    EXPECT_FALSE(Shot("sendaro-protocol-window-empty", *ProtocolWindow).empty());
}

TEST_F(SendaroDisplay, AnUploadInTheProtocolWindow)
{
    if (!TFtpServer::Available())
        GTEST_SKIP() << "python3-pyftpdlib is not installed";
    TFtpServer server;
    ASSERT_TRUE(CreateDir(Folder.Path() + "server"));
    ASSERT_TRUE(server.Start(Folder.Path() + "server"));
    for (const char* name : {"start.html", "page1.html", "th_0.jpg", "th_0_big.jpg"})
        WriteFileBytes(Gallery + name, std::string(3000, 'x'));
    StartOn({"my web space", "127.0.0.1", "anna", "secret", server.Port(), "/", "no"});
    UploaderWindow->Show();
    UploaderWindow->ComboBox1->SelectAsUser(0);
    UploaderWindow->RadioButton2->SetChecked(true);
    Script.AnswerMessage(IDOK, "Um Ihre Galerie zu starten");
    UploaderWindow->Button2->Click();
    ASSERT_TRUE(DisplayLoop::PumpUntil([] { return !UploaderWindow->UploadRunning(); }, 20000));
    EXPECT_TRUE(Windows->Terminated());
    EXPECT_EQ(ProtocolLines().back(), "\xDC" "bertragung beendet!");
    EXPECT_FALSE(Shot("sendaro-protocol-after-upload", *ProtocolWindow).empty());
    ProtocolWindow->Hide();
    EXPECT_EQ(UploaderWindow->Label3->Caption(), Gallery);
    EXPECT_FALSE(Shot("sendaro-main-after-upload", *UploaderWindow).empty());
}

// A long upload: the protocol window follows its newest lines.
TEST_F(SendaroDisplay, TheProtocolWindowShowsTheNewestLines)
{
    StartOn({"home", "ftp.example.org", "anna", "secret", "21", "/", "no"});
    ProtocolWindow->Show();
    DisplayLoop::Pump(100);
    for (int i = 0; i < 200; ++i)
        ProtocolWindow->Memo1->Lines().Add("page" + std::to_string(i) + ".html: 226 Transfer complete.");
    EXPECT_GT(ProtocolWindow->Memo1->TopLine(), 150);
    EXPECT_FALSE(Shot("sendaro-protocol-200-lines", *ProtocolWindow).empty());
}

}  // namespace
}  // namespace sendarotest

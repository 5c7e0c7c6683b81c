// The start screen's "Update?" against a scripted server on loopback.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <vector>

#include "builder/dialogs/UpdateFoundDialog.h"
#include "net/THttpCli.h"
#include "tests/builder/program_fixture.h"
#include "tests/net/FakeHttpServer.h"

namespace {

using buildertest::BuilderProgramTest;
using nettest::FakeHttpServer;

std::string Reply(const std::string& body, const std::string& status = "200 OK")
{
    return "HTTP/1.0 " + status + "\r\nContent-Type: text/html\r\n\r\n" + body;
}

class UpdateCheckTest : public BuilderProgramTest {
protected:
    UpdateCheckTest() { Start->Show(); }
    ~UpdateCheckTest() override { unsetenv("THUMBNAILS_UPDATE_SERVER"); }

    void PointAt(std::uint16_t port)
    {
        setenv("THUMBNAILS_UPDATE_SERVER", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
    }
    std::vector<std::string> MemoLines() const { return UpdateFoundDialog->Memo1->Lines().Items(); }
};

TEST_F(UpdateCheckTest, TheCurrentVersionIsSaidToBeActual)
{
    FakeHttpServer server([](int, const std::string&) {
        return Reply("<html>news\r\n<b><version>3.3.1</version></b>\r\nmore</html>");
    });
    PointAt(server.Port());
    Script.AnswerMessage(IDOK, "Your version is actual");
    Start->Label5->Click();
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_FALSE(UpdateFoundDialog->Visible());
    const std::string request = server.Request(0);
    EXPECT_EQ(request.substr(0, request.find("\r\n")), "GET /version_vx.html HTTP/1.0");
    EXPECT_NE(request.find("\r\nHost: 127.0.0.1\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nUser-Agent: Mozilla/3.0 (compatible)\r\n"), std::string::npos);
}

TEST_F(UpdateCheckTest, ANewerVersionShowsTheDialogAndOnlyAWebLinkIsOpened)
{
    std::string link = "http://downloads.example.com/thumbnails-3.4.zip";
    FakeHttpServer server([&](int, const std::string&) {
        return Reply("<version>3.4</version><link>" + link + "</link>Fixes\r\nand more");
    });
    PointAt(server.Port());
    Start->Label5->Click();
    ASSERT_TRUE(UpdateFoundDialog->Visible());
    EXPECT_EQ(MemoLines(), (std::vector<std::string>{"New Version: 3.4", "Download from:: " + link,
                                                     "Description: ", "Fixes", "and more"}));
    EXPECT_EQ(UpdateFoundDialog->DownloadLink, link);
    UpdateFoundDialog->BitBtn1->Click();
    ASSERT_EQ(RecordedShellStarts().size(), 1u);
    EXPECT_EQ(RecordedShellStarts()[0].File, link);
    UpdateFoundDialog->BitBtn2->Click();
    EXPECT_FALSE(UpdateFoundDialog->Visible());

    // A forged reply naming a file or program opens nothing.
    for (std::string forged : {"/usr/bin/xterm", "file:///etc/passwd", "httpx://host/", " http://host/"}) {
        ClearRecordedShellStarts();
        link = forged;
        Start->Label5->Click();
        EXPECT_EQ(UpdateFoundDialog->DownloadLink, forged);
        UpdateFoundDialog->BitBtn1->Click();
        EXPECT_TRUE(RecordedShellStarts().empty()) << forged;
    }
}

TEST_F(UpdateCheckTest, AReplyWithoutTagsGivesEmptyLines)
{
    FakeHttpServer server([](int, const std::string&) { return Reply("nothing to see"); });
    PointAt(server.Port());
    Start->Label5->Click();
    ASSERT_TRUE(UpdateFoundDialog->Visible());
    // Each missing tag leaves the whole rest to the next cut.
    EXPECT_EQ(MemoLines(),
              (std::vector<std::string>{"New Version: ", "Download from:: ", "Description: ", "nothing to see"}));
}

TEST_F(UpdateCheckTest, NoDocumentSaysTheConnectionIsNotReady)
{
    FakeHttpServer errors([](int, const std::string&) { return Reply("<version>3.4</version>", "404 Not Found"); });
    std::uint16_t nobody = FakeHttpServer([](int, const std::string&) { return std::string(); }).Port();
    for (std::uint16_t port : {nobody, errors.Port()}) {
        PointAt(port);
        Script.AnswerMessage(IDOK, "http connect is not ready. please check your internet network or try again later.");
        Start->Label5->Click();
        EXPECT_EQ(Script.Pending(), 0u);
        EXPECT_FALSE(UpdateFoundDialog->Visible());
    }
}

TEST_F(UpdateCheckTest, ASecondClickMeetsTheBusyCheck)
{
    FakeHttpServer server([](int, const std::string&) { return Reply("<version>3.3.1</version>"); });
    PointAt(server.Port());
    bool clicked = false;
    Start->HttpCli1->OnStateChange = [&](TObject*) {
        if (Start->HttpCli1->State() == httpWaitingHeader && !clicked) {
            clicked = true;
            RunGuarded(Start->Label5, [&] { Start->Label5->Click(); });
        }
    };
    Script.AnswerMessage(IDOK, "http connect is not ready")
        .AnswerMessage(IDOK, "HTTP component is busy")
        .AnswerMessage(IDOK, "Your version is actual");
    Start->Label5->Click();
    EXPECT_TRUE(clicked);
    EXPECT_EQ(Script.Pending(), 0u);
}

}  // namespace

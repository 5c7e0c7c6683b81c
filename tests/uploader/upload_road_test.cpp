#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

#include "platform/core/AnsiString.h"
#include "shared/veskotools.h"
#include "tests/support/FolderTree.h"
#include "tests/uploader/ftp_server.h"
#include "tests/uploader/silent_server.h"
#include "tests/uploader/sendaro_fixture.h"

namespace sendarotest {
namespace {

const char* const FinishMessage = "Um Ihre Galerie zu starten";
const int ManyFiles = 300;

std::string Bytes(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(seed >> 16);
    }
    return bytes;
}

class UploadRoad : public SendaroTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        SendaroTest::SetUp();
        if (!TFtpServer::Available())
            GTEST_SKIP() << "python3-pyftpdlib is not installed";
        ServerRoot = Folder.Path() + "server";
        Gallery = Folder.Path() + "my gallery/";
        ASSERT_TRUE(CreateDir(ServerRoot));
        ASSERT_TRUE(CreateDir(Gallery));
    }
    void Serve(const std::vector<std::string>& options = {})
    {
        ASSERT_TRUE(Server.Start(ServerRoot, options)) << "the FTP server did not start";
    }
    TAccount Account(const std::string& password = "secret") const
    {
        return {"home", "127.0.0.1", "anna", password, Server.Port(), "/", "no"};
    }
    // The windows started by Publish: the folder with its blanks as "*".
    void StartWith(const TAccount& account)
    {
        WriteAccountLines(ProgramDir + "kto.dat", {ScrambledAccountLine(account)});
        std::string argument = Gallery;
        ReplaceText(" ", "*", argument, 1);
        Start({argument});
        UploaderWindow->ComboBox1->SelectAsUser(0);
        (GetParam() ? UploaderWindow->RadioButton2 : UploaderWindow->RadioButton1)->SetChecked(true);
    }
    // "Send..", then the loop until the chain has finished or stopped.
    void Send(int ms = 20000)
    {
        UploaderWindow->Button2->Click();
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (UploaderWindow->UploadRunning() && !Windows->Terminated()) {
            if (std::chrono::steady_clock::now() > end) {
                const std::vector<std::string> lines = ProtocolLines();
                std::string tail;
                for (std::size_t i = lines.size() > 12 ? lines.size() - 12 : 0; i < lines.size(); ++i)
                    tail += "\n  " + lines[i];
                FAIL() << "the upload did not end; the protocol ends with:" << tail;
            }
            Windows->ProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    void Put(const std::string& name, const std::string& bytes) { WriteFileBytes(Gallery + name, bytes); }
    std::vector<std::string> AccountLines() const
    {
        return {"home", "127.0.0.1", "anna", Server.Port(), "/"};
    }

    TFtpServer Server;
    std::string ServerRoot;
    std::string Gallery;
};

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<std::string> LogIn = {"Executing Requested Command", "Antwort 5 Done.", "Status = 230",
                                        "Kein Fehler",                 "Antwort 37 Done.", "Status = 200",
                                        "Kein Fehler"};
const std::vector<std::string> Stored = {"Executing Requested Command", "Antwort 18 Done.", "Status = 226",
                                         "Kein Fehler"};

TEST_P(UploadRoad, TwoFilesGiveTheGoldenProtocol)
{
    Serve();
    Put("start.html", "<html>start</html>\r\n");
    Put("th_0.jpg", Bytes(20000, 1));
    StartWith(Account());
    Script.AnswerMessage(IDOK, FinishMessage);
    Send();
    std::vector<std::string> expected = Concat(AccountLines(), LogIn);
    expected = Concat(expected, {"Executing Requested Command", "Antwort 22 Done.", "Status = 257", "Kein Fehler",
                                 "Directory is \"/mygallery\""});
    expected = Concat(Concat(expected, Stored), Stored);
    expected.push_back("\xDC" "bertragung beendet!");
    EXPECT_EQ(ProtocolLines(), expected);
    EXPECT_TRUE(Windows->Terminated());
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_EQ(UploaderWindow->ProgressBar1->Max(), 6);
    EXPECT_EQ(UploaderWindow->ProgressBar1->Position(), 6);
    EXPECT_EQ(UploaderWindow->Label3->Caption(), Gallery);
    EXPECT_EQ(UploaderWindow->Label5->Caption().rfind("Bytes per File: ", 0), 0u);
    EXPECT_EQ(testsupport::FolderTree(ServerRoot + "/mygallery"), testsupport::FolderTree(Gallery));
    // The upload's own end leaves the transfer mode file alone.
    EXPECT_FALSE(FileExists(ProgramDir + "ftpmod.dat"));
}

TEST_P(UploadRoad, OnlyTheGalleryFilesOfTheFolderItselfGo)
{
    Serve();
    const std::map<std::string, std::string> going = {
        {"start.html", "<html/>"},      {"page1.php", Bytes(3000, 2)},   {"TH_1.JPG", Bytes(70000, 3)},
        {"anim.Gif", Bytes(1, 4)},      {"x.cnt", ""},                   {"y.ctt", Bytes(1460, 5)},
        {"z.ctx", Bytes(1461, 6)},      {"my pic 1.jpg", Bytes(5000, 7)}, {"K\xF6ln_big.jpg", Bytes(4096, 8)},
        {"big.jpg", Bytes(1 << 20, 9)},
    };
    for (const auto& [name, bytes] : going) Put(name, bytes);
    Put(".hidden.jpg", "no");
    Put("notes.txt", "no");
    Put("picture.jpeg", "no");
    Put("bad\nname.jpg", "no");
    ASSERT_TRUE(CreateDir(Gallery + "sub"));
    WriteFileBytes(Gallery + "sub/inner.jpg", "no");
    StartWith(Account());
    UploaderWindow->Edit1->SetText("Fotos 2024");
    Script.AnswerMessage(IDOK, "bad<LF>name.jpg");
    Script.AnswerMessage(IDOK, FinishMessage);
    Send(60000);
    EXPECT_TRUE(Windows->Terminated());
    EXPECT_EQ(Script.Pending(), 0u);
    std::map<std::string, std::string> expected;
    for (const auto& [name, bytes] : going) expected[ToSystemPath(name)] = bytes;
    EXPECT_EQ(testsupport::FolderTree(ServerRoot + "/Fotos 2024"), expected);
    EXPECT_EQ(UploaderWindow->ProgressBar1->Max(), static_cast<int>(going.size()) + 4);
}

TEST_P(UploadRoad, TheServerRulesOfAPhpGalleryGoWithIt)
{
    Serve();
    Put("start.html", "<html/>");
    Put("th_0.cnt", "0\r\n0,0\r\n0\r\n");
    Put(".htaccess", "<FilesMatch \"\\.(cnt|ctx)$\">\n</FilesMatch>\n");
    Put(".other", "no");
    StartWith(Account());
    Script.AnswerMessage(IDOK, FinishMessage);
    Send();
    EXPECT_TRUE(Windows->Terminated());
    const std::map<std::string, std::string> expected = {
        {".htaccess", "<FilesMatch \"\\.(cnt|ctx)$\">\n</FilesMatch>\n"},
        {"start.html", "<html/>"},
        {"th_0.cnt", "0\r\n0,0\r\n0\r\n"},
    };
    EXPECT_EQ(testsupport::FolderTree(ServerRoot + "/mygallery"), expected);
    EXPECT_EQ(UploaderWindow->ProgressBar1->Max(), 3 + 4);
}

TEST_P(UploadRoad, AGalleryWithNothingToSendSaysSoAndConnectsNowhere)
{
    Serve();
    // The only gallery file's name is Cyrillic, made as another program makes it.
    const std::string cyrillic = "\xD0\x9C\xD0\xB8\xD1\x80.jpg";
    for (const std::string& files : {std::string(), cyrillic}) {
        SCOPED_TRACE(files.empty() ? "an empty folder" : "one unrepresentable name");
        if (!files.empty()) {
            ASSERT_EQ(::close(::creat((Gallery + files).c_str(), 0644)), 0);
        }
        StartWith(Account());
        Script.AnswerMessage(IDOK, "nothing was sent");
        Send();
        ASSERT_EQ(Script.Pending(), 0u);
        const std::string told = Script.Asked().back().Text;
        EXPECT_EQ(told.find("\\xD0\\x9C\\xD0\\xB8\\xD1\\x80.jpg") != std::string::npos, !files.empty()) << told;
        EXPECT_TRUE(ProtocolLines().empty());
        EXPECT_FALSE(Windows->Terminated());
        EXPECT_TRUE(UploaderWindow->Button2->Enabled());
        EXPECT_FALSE(DirectoryExists(ServerRoot + "/mygallery"));
    }
}

TEST_P(UploadRoad, UnrepresentableNamesAreToldAndTheRestGo)
{
    Serve();
    const std::string cyrillic = "\xD0\x9C\xD0\xB8\xD1\x80.jpg";
    const std::string polish = "\xC5\x81\xC3\xB3" "d\xC5\xBA.html";
    for (const std::string& name : {cyrillic, polish})
        ASSERT_EQ(::close(::creat((Gallery + name).c_str(), 0644)), 0);
    Put("start.html", "<html/>");
    Put("K\xF6ln.jpg", Bytes(5000, 3));
    Put("bad\nname.jpg", "no");
    StartWith(Account());
    Script.AnswerMessage(IDOK, "bad<LF>name.jpg");
    Script.AnswerMessage(IDOK, FinishMessage);
    Send();
    ASSERT_EQ(Script.Pending(), 0u);
    ASSERT_GE(Script.Asked().size(), 2u);
    const std::string told = Script.Asked()[Script.Asked().size() - 2].Text;
    EXPECT_NE(told.find("\\xD0\\x9C\\xD0\\xB8\\xD1\\x80.jpg"), std::string::npos) << told;
    EXPECT_NE(told.find("\\xC5\\x81\\xC3\\xB3d\\xC5\\xBA.html"), std::string::npos) << told;
    EXPECT_TRUE(Windows->Terminated());
    EXPECT_EQ(testsupport::FolderTree(ServerRoot + "/mygallery"),
              (std::map<std::string, std::string>{{"start.html", "<html/>"},
                                                  {ToSystemPath("K\xF6ln.jpg"), Bytes(5000, 3)}}));
}

TEST_P(UploadRoad, AnExistingFolderIsAskedAbout)
{
    Serve();
    ASSERT_TRUE(CreateDir(ServerRoot + "/mygallery"));
    WriteFileBytes(ServerRoot + "/mygallery/start.html", "old");
    WriteFileBytes(ServerRoot + "/mygallery/keep.txt", "kept");
    Put("start.html", "new");
    // "no": the connection ends, the program stays, nothing is stored.
    StartWith(Account());
    Script.AnswerModal("FolderExistsPrompt", [](TCustomForm& prompt) {
        EXPECT_FALSE(UploaderWindow->Button2->Enabled()) << "Send.. is open during the upload";
        static_cast<TForm9&>(prompt).Button2->Click();
    });
    Send();
    EXPECT_FALSE(Windows->Terminated());
    EXPECT_FALSE(ProtocolWindow->Visible());
    EXPECT_EQ(UploaderWindow->ProgressBar1->Position(), 0);
    EXPECT_TRUE(UploaderWindow->Button2->Enabled());
    EXPECT_FALSE(UploaderWindow->FtpClient1->Connected());
    const std::vector<std::string> lines = ProtocolLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "Antwort 22 Done.");
    EXPECT_EQ(lines[lines.size() - 2], "Status = 550");
    EXPECT_EQ(lines.back().rfind("Fehler = 550 (550 ", 0), 0u) << lines.back();
    EXPECT_EQ(ReadFileBytes(ServerRoot + "/mygallery/start.html"), "old");
    // "yes": the files replace those of the same names.
    Script.AnswerModal("FolderExistsPrompt", mrOk);
    Script.AnswerMessage(IDOK, FinishMessage);
    Send();
    EXPECT_TRUE(Windows->Terminated());
    EXPECT_EQ(ProtocolLines().back(), "\xDC" "bertragung beendet!");
    EXPECT_EQ(ReadFileBytes(ServerRoot + "/mygallery/start.html"), "new");
    EXPECT_EQ(ReadFileBytes(ServerRoot + "/mygallery/keep.txt"), "kept");
}

TEST_P(UploadRoad, ThreeHundredFilesInOneWait)
{
    Serve();
    for (int i = 0; i < ManyFiles; ++i) Put("th_" + std::to_string(i) + ".jpg", Bytes(100 + i, unsigned(i)));
    StartWith(Account());
    Script.AnswerMessage(IDOK, FinishMessage);
    Send(60000);
    EXPECT_TRUE(Windows->Terminated());
    EXPECT_EQ(UploaderWindow->DeepestWait(), 1);
    EXPECT_EQ(testsupport::FolderTree(ServerRoot + "/mygallery"), testsupport::FolderTree(Gallery));
    const std::vector<std::string> lines = ProtocolLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Status = 226"), ManyFiles);
}

TEST_P(UploadRoad, AWrongPasswordStopsAndTheNextSendLogsInAfresh)
{
    Serve();
    Put("start.html", "x");
    StartWith(Account("wrong"));
    Send();
    EXPECT_FALSE(Windows->Terminated());
    std::vector<std::string> lines = ProtocolLines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[6], "Antwort 5 Done.");
    EXPECT_EQ(lines[7], "Status = 530");
    EXPECT_EQ(lines[8].rfind("Fehler = 530 (530 ", 0), 0u) << lines[8];
    EXPECT_TRUE(UploaderWindow->Button2->Enabled());
    // The account mended, a second Send succeeds in the same run.
    UploaderWindow->Bearbeiten1->Click();
    AccountChooser->ComboBox1->SelectAsUser(0);
    AccountChooser->Button1->Click();
    AccountEditor->Edit4->SetText("secret");
    AccountEditor->Button2->Click();
    Script.AnswerMessage(IDOK, FinishMessage);
    Send();
    EXPECT_TRUE(Windows->Terminated());
    EXPECT_EQ(testsupport::FolderTree(ServerRoot + "/mygallery"), testsupport::FolderTree(Gallery));
}

TEST_P(UploadRoad, TheServerStoppedMidUploadEndsWithAnErrorLine)
{
    Serve({"--die-after", "3"});
    for (int i = 0; i < 5; ++i) Put("th_" + std::to_string(i) + ".jpg", Bytes(50000, unsigned(i)));
    StartWith(Account());
    Send();
    EXPECT_FALSE(Windows->Terminated());
    const std::vector<std::string> lines = ProtocolLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Fehler = 500 (500 Control connection closed.)");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Status = 226"), 2);
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "\xDC" "bertragung beendet!"), lines.end());
    EXPECT_EQ(Script.Pending(), 0u);
    // The third file's store ended before a byte of it went, and the next
    // send has sent nothing yet when it fails.
    EXPECT_EQ(UploaderWindow->Label5->Caption(), "Bytes per File: 0");
    Send();
    EXPECT_EQ(UploaderWindow->Label5->Caption(), "");
}

TEST_P(UploadRoad, AFullDiskOnTheServerEndsWithAnErrorLine)
{
    Serve({"--quota", "100000"});
    for (int i = 0; i < 4; ++i) Put("th_" + std::to_string(i) + ".jpg", Bytes(40000, unsigned(i)));
    StartWith(Account());
    Send();
    EXPECT_FALSE(Windows->Terminated());
    const std::vector<std::string> lines = ProtocolLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Fehler = 452 (452 Insufficient storage space; transfer aborted.)");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Status = 226"), 2);
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "\xDC" "bertragung beendet!"), lines.end());
}

INSTANTIATE_TEST_SUITE_P(Modes, UploadRoad, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Passive" : "Active"; });

}  // namespace
}  // namespace sendarotest

namespace sendarotest {
namespace {

TEST_F(SendaroTest, ALogInThatGetsNoAnswerTimesOut)
{
    TSilentServer server;
    testsupport::TempFolder gallery;
    WriteFileBytes(gallery.Path() + "start.html", "x");
    WriteAccountLines(ProgramDir + "kto.dat",
                      {ScrambledAccountLine({"slow", "127.0.0.1", "anna", "secret", server.Port(), "/", "no"})});
    Start({gallery.Path()});
    UploaderWindow->ComboBox1->SelectAsUser(0);
    UploaderWindow->FtpClient1->SetTimeout(1);
    UploaderWindow->Button2->Click();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (UploaderWindow->UploadRunning() && std::chrono::steady_clock::now() < end) {
        Windows->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_FALSE(UploaderWindow->UploadRunning());
    EXPECT_EQ(ProtocolLines(), (std::vector<std::string>{"slow", "127.0.0.1", "anna", server.Port(), "/",
                                                         "Executing Requested Command", "Antwort 5 Done.",
                                                         "Status = 426", "Fehler = 426 (426 Timeout)"}));
    EXPECT_TRUE(UploaderWindow->Button2->Enabled());
    EXPECT_FALSE(Windows->Terminated());
}

}  // namespace
}  // namespace sendarotest

#include <gtest/gtest.h>

#include <functional>

#include "platform/controls/TScreen.h"
#include "tests/uploader/sendaro_fixture.h"

namespace sendarotest {
namespace {

const TAccount Home{"home", "ftp.example.org", "anna", "secret", "21", "/", "no"};
const TAccount Work{"work", "ftp.work.example", "bob", "pw", "2121", "/www/", "no"};

TEST_F(SendaroTest, StartUpReadsBothFilesAndSetsTheTexts)
{
    WriteAccountLines(ProgramDir + "kto.dat", {ScrambledAccountLine(Home), ScrambledAccountLine(Work)});
    WriteFileBytes(ProgramDir + "ftpmod.dat", "1\r\n");
    Start();
    TForm1& main = *UploaderWindow;
    EXPECT_EQ(main.Caption(), "VESKO THUMBNAILS  - FTP Client");
    EXPECT_EQ(BoxNames(*main.ComboBox1), (std::vector<std::string>{"home", "work"}));
    EXPECT_EQ(main.ComboBox1->Text(), "Choose FTP Account");
    EXPECT_EQ(main.AccountList.Count(), 2);
    EXPECT_TRUE(main.RadioButton2->Checked());
    EXPECT_FALSE(main.RadioButton1->Checked());
    EXPECT_EQ(main.Neu1->Caption(), "New");
    EXPECT_EQ(main.Bearbeiten1->Caption(), "Edit");
    EXPECT_EQ(main.ProgrammInfo1->Caption(), "program info");
    EXPECT_EQ(main.Edit1->Text(), "mygallery");
    EXPECT_EQ(main.ProgressBar1->Max(), 8);
    EXPECT_FALSE(main.FileListBox1->Visible());
    EXPECT_EQ(main.FileListBox1->Mask(), "*.jpg;*.html;*.gif;*.php;*.cnt;*.ctt;*.ctx");
    EXPECT_EQ(main.FtpClient1->Timeout(), 120);
    EXPECT_EQ(AccountEditor->Caption(), "FTP Account settings");
    EXPECT_EQ(AccountEditor->Edit5->Text(), "21");
    EXPECT_EQ(AccountEditor->Edit6->Text(), "/");
    EXPECT_EQ(AccountEditor->Edit4->PasswordChar(), '*');
    EXPECT_FALSE(AccountEditor->RadioButton1->Visible());
    EXPECT_EQ(AccountChooser->Caption(), "Konto w\xE4hlen");
    EXPECT_EQ(ProtocolWindow->Caption(), "Protocol");
    EXPECT_EQ(FolderExistsPrompt->Caption(), "dir info");
    for (TCustomForm* hidden : std::initializer_list<TCustomForm*>{AccountEditor, AccountChooser, ProtocolWindow,
                                                                 FolderExistsPrompt})
        EXPECT_FALSE(hidden->Visible()) << hidden->Caption();
}

TEST_F(SendaroTest, TransferModeFileAtStartAndAtBothCloses)
{
    Start();  // no file: active
    EXPECT_TRUE(UploaderWindow->RadioButton1->Checked());
    WriteFileBytes(ProgramDir + "ftpmod.dat", "0\r\n");
    Start();
    EXPECT_TRUE(UploaderWindow->RadioButton1->Checked());
    UploaderWindow->RadioButton2->SetChecked(true);
    UploaderWindow->BitBtn1->Click();
    EXPECT_EQ(ReadFileBytes(ProgramDir + "ftpmod.dat"), "1\r\n");
    EXPECT_TRUE(Windows->Terminated());
    Start();
    EXPECT_TRUE(UploaderWindow->RadioButton2->Checked());
    UploaderWindow->RadioButton1->SetChecked(true);
    UploaderWindow->Close();
    EXPECT_EQ(ReadFileBytes(ProgramDir + "ftpmod.dat"), "0\r\n");
}

TEST_F(SendaroTest, AFailedWriteOfTheTransferModeIsToldAndTheProgramEnds)
{
    // A file that cannot be replaced, as in a read-only program folder.
    ASSERT_TRUE(CreateDir(ProgramDir + "ftpmod.dat"));
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "the close box" : "\"Close\"");
        Start();
        Script.AnswerMessage(IDOK, "ftpmod.dat");
        if (closeBox)
            UploaderWindow->Close();
        else
            UploaderWindow->BitBtn1->Click();
        EXPECT_EQ(Script.Pending(), 0u);
        EXPECT_TRUE(Windows->Terminated());
    }
}

TEST_F(SendaroTest, NewAccountsAreAppendedAndListed)
{
    Start();
    AddAccount(Home);
    EXPECT_EQ(BoxNames(*UploaderWindow->ComboBox1), (std::vector<std::string>{"home"}));
    EXPECT_EQ(UploaderWindow->ComboBox1->Text(), "Konto w\xE4hlen..");
    EXPECT_FALSE(AccountEditor->Visible());
    // Saved twice: two lines, both names.
    AddAccount(Home);
    EXPECT_EQ(BoxNames(*UploaderWindow->ComboBox1), (std::vector<std::string>{"home", "home"}));
    EXPECT_EQ(StoredAccounts(), (std::vector<TAccount>{Home, Home}));
    EXPECT_EQ(ReadFileBytes(ProgramDir + "kto.dat"),
              ScrambledAccountLine(Home) + "\r\n" + ScrambledAccountLine(Home) + "\r\n");
    // Cancel only hides.
    UploaderWindow->Neu1->Click();
    EXPECT_TRUE(AccountEditor->Visible());
    EXPECT_EQ(AccountEditor->Edit1->Text(), "home");  // the last use's values
    AccountEditor->Button1->Click();
    EXPECT_FALSE(AccountEditor->Visible());
    EXPECT_EQ(StoredAccounts().size(), 2u);
}

TEST_F(SendaroTest, EditingReplacesTheChosenLineAndTheBoxKeepsItsName)
{
    WriteAccountLines(ProgramDir + "kto.dat", {ScrambledAccountLine(Home), ScrambledAccountLine(Work)});
    Start();
    UploaderWindow->Bearbeiten1->Click();
    ASSERT_TRUE(AccountChooser->Visible());
    EXPECT_EQ(BoxNames(*AccountChooser->ComboBox1), (std::vector<std::string>{"home", "work"}));
    AccountChooser->ComboBox1->SelectAsUser(1);
    AccountChooser->Button1->Click();
    EXPECT_FALSE(AccountChooser->Visible());
    ASSERT_TRUE(AccountEditor->Visible());
    EXPECT_EQ(AccountEditor->Edit3->Text(), "bob");
    EXPECT_EQ(AccountEditor->Edit6->Text(), "/www/");
    AccountEditor->Edit1->SetText("office");
    AccountEditor->Button2->Click();
    EXPECT_FALSE(AccountEditor->Visible());
    TAccount office = Work;
    office.Name = "office";
    EXPECT_EQ(StoredAccounts(), (std::vector<TAccount>{Home, office}));
    EXPECT_EQ(BoxNames(*UploaderWindow->ComboBox1), (std::vector<std::string>{"home", "work"}));
    // "New" right after shows that account, and saving adds a second one.
    AddAccount(office);
    EXPECT_EQ(StoredAccounts(), (std::vector<TAccount>{Home, office, office}));
}

TEST_F(SendaroTest, TheFlagOfTheLastLoadedAccountIsCarriedOver)
{
    TAccount flagged = Home;
    flagged.Flag = "yes";
    WriteAccountLines(ProgramDir + "kto.dat", {ScrambledAccountLine(flagged)});
    Start();
    AccountEditor->RadioButton1->SetChecked(false);
    UploaderWindow->Bearbeiten1->Click();
    AccountChooser->ComboBox1->SelectAsUser(0);
    AccountChooser->Button1->Click();
    EXPECT_TRUE(AccountEditor->RadioButton1->Checked());
    AccountEditor->Button1->Click();
    AddAccount(Work);
    TAccount work = Work;
    work.Flag = "yes";
    EXPECT_EQ(StoredAccounts(), (std::vector<TAccount>{flagged, work}));
}

TEST_F(SendaroTest, NoChoiceInTheChooserLeavesNothingToReplace)
{
    WriteAccountLines(ProgramDir + "kto.dat", {ScrambledAccountLine(Home)});
    const std::string before = ReadFileBytes(ProgramDir + "kto.dat");
    Start();
    UploaderWindow->Bearbeiten1->Click();
    AccountChooser->Button1->Click();  // nothing chosen
    EXPECT_TRUE(AccountEditor->Visible());
    Script.AnswerMessage(IDOK, "no account selected");
    AccountEditor->Button2->Click();
    EXPECT_EQ(ReadFileBytes(ProgramDir + "kto.dat"), before);
    EXPECT_EQ(Script.Pending(), 0u);
}

// However the chooser and its editor end, the account box and the account
// list name the same accounts, so the account shown is the one sent.
TEST_F(SendaroTest, TheAccountBoxAndTheAccountListStayInStep)
{
    WriteAccountLines(ProgramDir + "kto.dat", {ScrambledAccountLine(Home), ScrambledAccountLine(Work)});
    testsupport::TempFolder gallery;
    const struct {
        const char* name;
        std::function<void()> end;
    } cases[] = {
        {"no choice, the editor cancelled",
         [] {
             AccountChooser->Button1->Click();
             AccountEditor->Button1->Click();
         }},
        {"a choice, the editor cancelled",
         [] {
             AccountChooser->ComboBox1->SelectAsUser(0);
             AccountChooser->Button1->Click();
             AccountEditor->Button1->Click();
         }},
        {"the chooser closed", [] { AccountChooser->Close(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A gallery with nothing to send: the upload stops before it connects.
        Start({gallery.Path()});
        UploaderWindow->ComboBox1->SelectAsUser(1);
        UploaderWindow->Bearbeiten1->Click();
        ASSERT_TRUE(AccountChooser->Visible());
        c.end();
        EXPECT_EQ(UploaderWindow->AccountList.Count(), UploaderWindow->ComboBox1->Items().Count());
        EXPECT_EQ(UploaderWindow->ComboBox1->Text(), "work");
        Script.AnswerMessage(IDOK, "nothing was sent");
        UploaderWindow->Button2->Click();
        EXPECT_EQ(Script.Pending(), 0u);
        ASSERT_FALSE(Script.Asked().empty());
        EXPECT_EQ(Script.Asked().back().Text.find("no account selected"), std::string::npos);
        EXPECT_EQ(UploaderWindow->Label3->Caption(), gallery.Path()) << "the account was taken";
    }
}

TEST_F(SendaroTest, EditWithoutAnAccountFileShowsNothing)
{
    Start();
    UploaderWindow->Bearbeiten1->Click();
    EXPECT_FALSE(AccountChooser->Visible());
    EXPECT_EQ(UploaderWindow->EditMode, "B");
}

TEST_F(SendaroTest, AnAccountThatWouldReadBackChangedIsRefused)
{
    WriteAccountLines(ProgramDir + "kto.dat", {ScrambledAccountLine(Home)});
    const std::string before = ReadFileBytes(ProgramDir + "kto.dat");
    Start();
    UploaderWindow->Neu1->Click();
    TAccount tilde = Work;
    tilde.Password = "p~w";
    Type(tilde);
    Script.AnswerMessage(IDOK, "\"Password\"");
    AccountEditor->Button2->Click();
    EXPECT_TRUE(AccountEditor->Visible());
    EXPECT_EQ(ReadFileBytes(ProgramDir + "kto.dat"), before);
    // The same in edit mode: the chosen account stays as it was.
    UploaderWindow->Bearbeiten1->Click();
    AccountChooser->ComboBox1->SelectAsUser(0);
    AccountChooser->Button1->Click();
    AccountEditor->Edit6->SetText("/www/\r\n");
    Script.AnswerMessage(IDOK, "\"Directory\"");
    AccountEditor->Button2->Click();
    EXPECT_EQ(ReadFileBytes(ProgramDir + "kto.dat"), before);
    EXPECT_EQ(Script.Pending(), 0u);
}

TEST_F(SendaroTest, DamagedAccountLinesAreKeptAndNotSent)
{
    // A short line, a line never scrambled, and a whole one.
    const std::string shortLine = ScrambledAccountLine(Home).substr(0, 12);
    WriteFileBytes(ProgramDir + "kto.dat", shortLine + "\r\nplain~text\r\n" + ScrambledAccountLine(Work) + "\r\n");
    const std::string before = ReadFileBytes(ProgramDir + "kto.dat");
    testsupport::TempFolder gallery;
    Start({gallery.Path()});
    ASSERT_EQ(UploaderWindow->ComboBox1->Items().Count(), 3);
    EXPECT_EQ(UploaderWindow->ComboBox1->Items().Strings(2), "work");
    UploaderWindow->ComboBox1->SelectAsUser(0);
    Script.AnswerMessage(IDOK, "is damaged");
    UploaderWindow->Button2->Click();
    EXPECT_FALSE(ProtocolWindow->Visible());
    // Editing another account rewrites the damaged lines unchanged.
    UploaderWindow->Bearbeiten1->Click();
    AccountChooser->ComboBox1->SelectAsUser(2);
    AccountChooser->Button1->Click();
    AccountEditor->Button2->Click();
    EXPECT_EQ(ReadFileBytes(ProgramDir + "kto.dat"), before);
    EXPECT_EQ(Script.Pending(), 0u);
}

TEST_F(SendaroTest, SendingNeedsAnAccountAndAGalleryFolder)
{
    WriteAccountLines(ProgramDir + "kto.dat", {ScrambledAccountLine(Home)});
    Start();
    Script.AnswerMessage(IDOK, "no account selected");
    UploaderWindow->Button2->Click();
    // Started without a folder it says so and connects nowhere.
    UploaderWindow->ComboBox1->SelectAsUser(0);
    Script.AnswerMessage(IDOK, "No gallery folder given");
    UploaderWindow->Button2->Click();
    EXPECT_FALSE(ProtocolWindow->Visible());
    EXPECT_FALSE(UploaderWindow->FtpClient1->Connected());
    Start({Folder.Path() + "no*such*gallery/"});
    UploaderWindow->ComboBox1->SelectAsUser(0);
    Script.AnswerMessage(IDOK, "No gallery found");
    UploaderWindow->Button2->Click();
    EXPECT_FALSE(ProtocolWindow->Visible());
    EXPECT_EQ(UploaderWindow->Label3->Caption(), "");
    EXPECT_EQ(Script.Pending(), 0u);
}

TEST_F(SendaroTest, TransferModeHintsAndInfo)
{
    Start();
    TForm1& main = *UploaderWindow;
    main.RadioButton1->OnMouseMove(main.RadioButton1, {}, 1, 1);
    EXPECT_EQ(main.Label7->Caption(), "W\xE4hlen Sie Aktiv als Standartmodus zur FTP \xDC" "bertragung.");
    EXPECT_EQ(main.LastHint, 1);
    main.RadioButton2->OnMouseMove(main.RadioButton2, {}, 1, 1);
    EXPECT_EQ(main.Label7->Caption(),
              "W\xE4hlen Sie Passive wenn Sie eine Fehlermeldung \"ERROR 500\" o.\xE4. erhalten. (Router)");
    EXPECT_EQ(main.LastHint, 2);
    Screen->SetCursor(crHandPoint);
    main.OnMouseMove(&main, {}, 5, 5);
    EXPECT_EQ(Screen->Cursor(), crDefault);
    Script.AnswerMessage(IDOK, "V 1.0");
    main.ProgrammInfo1->Click();
    EXPECT_EQ(Script.Pending(), 0u);
}

}  // namespace
}  // namespace sendarotest

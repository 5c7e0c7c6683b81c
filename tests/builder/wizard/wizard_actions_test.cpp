// The wizard around its options: the half-second poll, Start and Publish
// through the folder chooser, the chooser's drive and new-folder actions,
// the meta tags editor and the hover marks.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder/language/Language.h"
#include "platform/controls/InputDriver.h"
#include "platform/controls/TScreen.h"
#include "platform/loop/Clock.h"
#include "platform/loop/Messages.h"
#include "tests/builder/build_fixture.h"

using namespace buildertest;

namespace {

class WizardActionsTest : public BuildTest {
protected:
    // The mouse reaches only what shows.
    WizardActionsTest() { Wizard->Show(); }

    // Runs the program's loop until `done` or `ms` milliseconds have passed.
    bool PumpUntil(const std::function<bool()>& done, DWORD ms)
    {
        const DWORD start = timeGetTime();
        while (!done()) {
            if (timeGetTime() - start > ms)
                return false;
            App.ProcessMessages();
            MsgWaitForMultipleObjects({}, 10);
        }
        return true;
    }

    // Answers the modal chooser by opening `folder` and pressing Ok!.
    void ChooseInModalChooser(const std::string& folder)
    {
        Script.AnswerModal("FolderChooserDialog", [folder](TCustomForm&) {
            FolderChooserDialog->DirectoryListBox1->SetDirectory(folder);
            InputDriver::Click(*FolderChooserDialog->BitBtn2);
        });
    }

    std::vector<TShellStart> UploaderStarts() const
    {
        std::vector<TShellStart> found;
        for (const TShellStart& start : RecordedShellStarts())
            if (start.File.find("sendaro") != std::string::npos)
                found.push_back(start);
        return found;
    }

    TForm2& Chooser() const { return *FolderChooserDialog; }

    // Moves the mouse onto a control of a page, with that page in front.
    void HoverOn(TTabSheet* page, TControl& control)
    {
        Wizard->PageControl1->SetActivePage(page);
        InputDriver::MoveTo(control, 2, 2);
    }
};

TEST_F(WizardActionsTest, BothTimersRunThePollAndItsRulesActWithinHalfASecond)
{
    for (TTimer* timer : {Wizard->Timer1, Wizard->Timer2}) {
        EXPECT_TRUE(timer->Enabled());
        EXPECT_EQ(timer->Interval(), 500u);
        ASSERT_TRUE(timer->OnTimer);
    }
    // Set behind the handlers' back, as a project file or the language table could.
    Wizard->ComboBox1->SetItemIndex(1);
    Wizard->CheckBox10->SetChecked(false);
    Wizard->Label27->Font().SetStyle(fsBold | fsUnderline);
    Wizard->Label27->FontChanged();
    EXPECT_TRUE(PumpUntil([&] { return !Wizard->CheckBox7->Enabled(); }, 1500));
    EXPECT_FALSE(Wizard->Label24->Enabled());
    EXPECT_FALSE(Wizard->UpDown6->Enabled());
    EXPECT_FALSE(Wizard->Edit9->Enabled());
    EXPECT_EQ(Wizard->Label27->Font().Style(), 0);

    Wizard->ComboBox1->SetItemIndex(0);
    EXPECT_TRUE(PumpUntil([&] { return Wizard->CheckBox7->Enabled(); }, 1500));
    EXPECT_TRUE(Wizard->UpDown6->Enabled());
}

TEST_F(WizardActionsTest, ALanguageChangeClearsTheBackgroundAndTheColoursOnce)
{
    const std::string back = In.Path() + "back.jpg";
    WriteJpeg(back, 40, 30);
    auto designed = [&] {
        BackgroundDialog->Image1->Picture().LoadFromFile(back);
        BackgroundDialog->Label1->SetCaption(back);
        FontOptionsDialog->Memo1->SetColor(clNavy);
        FontOptionsDialog->Memo1->Font().SetColor(clYellow);
        FontOptionsDialog->Edit4->SetText("#ffff00");
        FontOptionsDialog->Edit5->SetText("#000080");
    };
    designed();
    // The language is applied: the poll leaves the design alone.
    Wizard->Timer1Timer(Wizard->Timer1);
    EXPECT_FALSE(BackgroundDialog->Image1->Picture().Empty());
    EXPECT_EQ(FontOptionsDialog->BackgroundColor(), clNavy);

    LanguageApplied = false;
    Wizard->Timer1Timer(Wizard->Timer1);
    EXPECT_TRUE(LanguageApplied);
    EXPECT_TRUE(BackgroundDialog->Image1->Picture().Empty());
    EXPECT_EQ(BackgroundDialog->Label1->Caption(), back);
    EXPECT_EQ(FontOptionsDialog->BackgroundColor(), clWhite);
    EXPECT_EQ(FontOptionsDialog->TextColor(), clBlack);
    EXPECT_EQ(FontOptionsDialog->Edit4->Text(), "#000000");
    EXPECT_EQ(FontOptionsDialog->Edit5->Text(), "#FFFFFF");

    designed();
    Wizard->Timer1Timer(Wizard->Timer2);
    EXPECT_FALSE(BackgroundDialog->Image1->Picture().Empty());
    EXPECT_EQ(FontOptionsDialog->TextColor(), clYellow);
}

TEST_F(WizardActionsTest, StartOfAWebGalleryBuildsOnlyThroughTheChoosersOk)
{
    AddJpegs(2);
    Wizard->RadioButton3->SetChecked(true);
    Chooser().SetCaption("old");
    Wizard->Image31Click(Wizard->Image31);
    EXPECT_TRUE(Wizard->StartPending);
    EXPECT_TRUE(Chooser().Visible());
    EXPECT_FALSE(Chooser().Modal());
    EXPECT_EQ(Chooser().Caption(), "Select Directory / Zielorder ausw\xE4hlen..");
    EXPECT_EQ(Chooser().Label1->Caption(),
              "Select Gallary Destination / Wohin soll die Galerie gespeichert werden?:");
    EXPECT_FALSE(DirectoryExists(Gallery));

    ForceDirectories(Gallery);
    Chooser().DirectoryListBox1->SetDirectory(Gallery);
    Script.AnswerModal("GalleryDoneDialog", mrCancel);
    InputDriver::Click(*Chooser().BitBtn2);
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_FALSE(Chooser().Visible());
    EXPECT_EQ(Wizard->Label2->Caption(), Gallery);
    EXPECT_TRUE(Exists("start.html"));
    EXPECT_TRUE(Exists("th_1.jpg"));
    // A later Ok! builds again: the Start stays pending until a Publish.
    EXPECT_TRUE(Wizard->StartPending);
}

TEST_F(WizardActionsTest, OkAfterAPublishStartsNoBuild)
{
    AddJpegs(1);
    Wizard->RadioButton3->SetChecked(true);
    Wizard->Image31Click(Wizard->Image31);
    ASSERT_TRUE(Chooser().Visible());

    // The publish takes the open chooser over, modally, and clears the Start.
    TempFolder empty;
    std::string captionSeen, labelSeen;
    Script.AnswerModal("FolderChooserDialog", [&](TCustomForm& form) {
        captionSeen = form.Caption();
        labelSeen = Chooser().Label1->Caption();
        Chooser().DirectoryListBox1->SetDirectory(empty.Path());
        InputDriver::Click(*Chooser().BitBtn2);
    });
    Script.AnswerMessage(IDOK, "No gallery found");
    Wizard->Image53Click(Wizard->Image53);
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_FALSE(Wizard->StartPending);
    EXPECT_EQ(captionSeen, "Galerie ausw\xE4hlen / Select Gallery Folder");
    EXPECT_EQ(labelSeen, "Wo befindet sich Ihre Galerie / Select Your Gallery Folder");
    EXPECT_TRUE(UploaderStarts().empty());

    // Ok! of the chooser shown as a Start would show it: nothing is built.
    const std::string other = Out.Path() + "other";
    ForceDirectories(other);
    Chooser().Show();
    Chooser().DirectoryListBox1->SetDirectory(other);
    InputDriver::Click(*Chooser().BitBtn2);
    EXPECT_FALSE(FileExists(other + "/start.html"));
    EXPECT_EQ(Wizard->Label2->Caption(), Gallery);
}

TEST_F(WizardActionsTest, PublishHandsTheGalleryFolderToTheUploaderWithBlanksAsStars)
{
    TempFolder root;
    const std::string trip = root.Path() + "My Pictures/Trip";
    ForceDirectories(trip);
    WriteFileBytes(trip + "/start.html", "<html></html>");

    // The uploader below a program folder of its own.
    TempFolder program;
    Wizard->ProgramFolder = program.Path();
    ForceDirectories(program.Path() + "ftp");
    WriteFileBytes(program.Path() + "ftp/sendaro.exe", "#!/bin/sh\n");
    std::filesystem::permissions(program.Path() + "ftp/sendaro.exe", std::filesystem::perms::owner_all);

    ChooseInModalChooser(trip);
    Wizard->Image53Click(Wizard->Image53);
    EXPECT_EQ(Script.Pending(), 0u);
    const std::vector<TShellStart> starts = UploaderStarts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].Verb, "open");
    EXPECT_EQ(starts[0].File, Wizard->ProgramFolder + "ftp/sendaro.exe");
    EXPECT_EQ(starts[0].Parameters, root.Path() + "My*Pictures/Trip");
    EXPECT_EQ(starts[0].Directory, "");
    EXPECT_EQ(starts[0].ShowCommand, SW_SHOWNORMAL);

    // Cancel starts nothing and asks nothing.
    ClearRecordedShellStarts();
    Script.AnswerModal("FolderChooserDialog", mrCancel);
    Wizard->Image53Click(Wizard->Image53);
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_TRUE(UploaderStarts().empty());

    // An uploader that is not there is said, not kept silent.
    std::filesystem::remove(program.Path() + "ftp/sendaro.exe");
    ChooseInModalChooser(trip);
    Script.AnswerMessage(IDOK, "The uploader could not be started: " + program.Path() + "ftp/sendaro.exe");
    Wizard->Image53Click(Wizard->Image53);
    EXPECT_EQ(Script.Pending(), 0u);
}

TEST_F(WizardActionsTest, StartCopiesTheMailHeadingAndTheApplicationLimitsAndBuildsAtOnce)
{
    struct Case {
        const char* name;
        TRadioButton* kind;
        bool exeMode;
        TEdit* height;
    };
    const Case cases[] = {
        {"e-mail", Wizard->RadioButton4, false, nullptr},
        {"EXE", Wizard->RadioButton10, true, Wizard->Edit19},
        {"PDF", Wizard->RadioButton10, false, Wizard->Edit22},
    };
    Wizard->Edit14->SetText("Mail heading");
    Wizard->Edit19->SetText("601");
    Wizard->Edit20->SetText("801");
    Wizard->Edit21->SetText("101");
    Wizard->Edit22->SetText("602");
    Wizard->Edit23->SetText("802");
    Wizard->Edit24->SetText("102");
    Wizard->PageControl1->SetActivePage(Wizard->TabSheet5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.kind->SetChecked(true);
        Wizard->ExeGalleryMode = c.exeMode;
        Chooser().Hide();
        // The build runs at once; with no pictures it only says so.
        Script.AnswerMessage();
        Wizard->Image31Click(Wizard->Image16);
        EXPECT_EQ(Script.Pending(), 0u);
        EXPECT_FALSE(Chooser().Visible());
        if (c.height) {
            EXPECT_EQ(LimitsDialog->Edit1->Text(), c.height->Text());
            EXPECT_EQ(LimitsDialog->Edit2->Text(), c.exeMode ? "801" : "802");
            EXPECT_EQ(LimitsDialog->Edit3->Text(), c.exeMode ? "101" : "102");
        } else {
            EXPECT_EQ(Wizard->Edit4->Text(), "Mail heading");
        }
    }
    // The heading is copied only from the e-mail page itself.
    Wizard->RadioButton4->SetChecked(true);
    Wizard->Edit4->SetText("Web heading");
    Wizard->PageControl1->SetActivePage(Wizard->TabSheet1);
    Script.AnswerMessage();
    Wizard->Image31Click(Wizard->Image31);
    EXPECT_EQ(Wizard->Edit4->Text(), "Web heading");
}

TEST_F(WizardActionsTest, NewFolderDialogMakesTheFolderOrSaysItCannot)
{
    TempFolder root;
    const std::string base = ExcludeTrailingPathDelimiter(root.Path());
    ForceDirectories(base + "/taken");
    struct Case {
        const char* name;
        bool made;
    };
    const Case cases[] = {{"Holiday 2026", true}, {"taken", false}, {"", false}, {"a/b", false}, {"..", false}};
    Chooser().Show();
    InputDriver::Click(*Chooser().BitBtn1);
    EXPECT_TRUE(NewFolderDialog->Visible());
    EXPECT_EQ(NewFolderDialog->Caption(), "New Folder");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Chooser().DirectoryListBox1->SetDirectory(base);
        NewFolderDialog->Show();
        NewFolderDialog->Edit1->SetText(c.name);
        if (!c.made)
            Script.AnswerMessage(IDOK, "Error by create directory");
        InputDriver::Click(*NewFolderDialog->Button1);
        EXPECT_EQ(Script.Pending(), 0u);
        EXPECT_FALSE(NewFolderDialog->Visible());
        if (c.made) {
            EXPECT_TRUE(DirectoryExists(base + "/" + c.name));
            EXPECT_EQ(Chooser().DirectoryListBox1->Directory(), base + "/" + c.name);
            EXPECT_EQ(Chooser().ChosenFolder(), base + "/" + c.name);
            EXPECT_EQ(Chooser().StaticText1->Caption(), base + "/" + c.name);
        } else {
            EXPECT_EQ(Chooser().DirectoryListBox1->Directory(), base);
        }
    }
    EXPECT_FALSE(DirectoryExists(base + "/a"));
    // Cancel only hides.
    NewFolderDialog->Show();
    NewFolderDialog->Edit1->SetText("never");
    InputDriver::Click(*NewFolderDialog->Button2);
    EXPECT_FALSE(NewFolderDialog->Visible());
    EXPECT_FALSE(DirectoryExists(base + "/never"));
}

TEST_F(WizardActionsTest, ADriveThatIsGoneIsReportedAndTheFolderStays)
{
    TempFolder root;
    const std::string stick = root.Path() + "stick";
    const std::string folder = ExcludeTrailingPathDelimiter(root.Path());
    ForceDirectories(stick);
    TDriveComboBox& drives = *Chooser().DriveComboBox1;
    drives.Items().Add(stick);
    Chooser().DirectoryListBox1->SetDirectory(folder);

    drives.SelectAsUser(drives.Items().IndexOf(stick));
    EXPECT_EQ(Chooser().DirectoryListBox1->Directory(), stick);
    EXPECT_EQ(Chooser().StaticText1->Caption(), stick);

    drives.SelectAsUser(drives.Items().IndexOf("/"));
    EXPECT_EQ(Chooser().DirectoryListBox1->Directory(), "/");
    Chooser().DirectoryListBox1->SetDirectory(folder);
    RemoveDir(stick);
    Script.AnswerMessage(IDOK, "disc / medium not ready");
    drives.SelectAsUser(drives.Items().IndexOf(stick));
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_EQ(drives.Drive(), "/");
    EXPECT_EQ(Chooser().DirectoryListBox1->Directory(), folder);
}

TEST_F(WizardActionsTest, ClickingAFolderChoosesItWithoutOpeningIt)
{
    TempFolder root;
    const std::string base = ExcludeTrailingPathDelimiter(root.Path());
    ForceDirectories(base + "/inner");
    TDirectoryListBox& list = *Chooser().DirectoryListBox1;
    Chooser().Show();
    list.SetDirectory(base);
    const int inner = list.Items().IndexOf("inner");
    ASSERT_GE(inner, 0);
    InputDriver::ClickAt(list, 5, inner * list.ItemHeight() + 2);
    EXPECT_EQ(list.Directory(), base);
    EXPECT_EQ(Chooser().ChosenFolder(), base + "/inner");
    EXPECT_EQ(Chooser().StaticText1->Caption(), base + "/inner");
}

TEST_F(WizardActionsTest, MetaTagsEditorStoresOnlyOnSave)
{
    MetaHeadText = std::string(DefaultMetaHeadText);
    Wizard->PageControl1->SetActivePage(Wizard->TabSheet4);
    InputDriver::Click(*Wizard->Image51);
    ASSERT_TRUE(MetaTagsEditor->Visible());
    EXPECT_EQ(MetaTagsEditor->Memo1->Text(), DefaultMetaHeadText);

    MetaTagsEditor->Memo1->SetText("<head>\r\n<title>Mine</title>\r\n</head>\r\n");
    InputDriver::Click(*MetaTagsEditor->Button2);
    EXPECT_FALSE(MetaTagsEditor->Visible());
    EXPECT_EQ(MetaHeadText, DefaultMetaHeadText);

    Wizard->PageControl1->SetActivePage(Wizard->TabSheet4);
    InputDriver::Click(*Wizard->Image51);
    EXPECT_EQ(MetaTagsEditor->Memo1->Text(), DefaultMetaHeadText);
    MetaTagsEditor->Memo1->SetText("<head>\r\n<title>Mine</title>\r\n</head>\r\n");
    InputDriver::Click(*MetaTagsEditor->Button1);
    EXPECT_FALSE(MetaTagsEditor->Visible());
    EXPECT_EQ(MetaHeadText, "<head>\r\n<title>Mine</title>\r\n</head>\r\n");
}

TEST_F(WizardActionsTest, PageChangeResetsTheProgressToThePictureCount)
{
    AddJpegs(3);
    Wizard->ProgressBar1->SetMax(10);
    Wizard->ProgressBar1->SetPosition(7);
    Wizard->TabSheet2->SetTabVisible(true);
    const TRect tab = Wizard->PageControl1->TabRect(Wizard->TabSheet2);
    InputDriver::ClickAt(*Wizard->PageControl1, tab.Left + 3, tab.Top + 3);
    ASSERT_EQ(Wizard->PageControl1->ActivePage(), Wizard->TabSheet2);
    EXPECT_EQ(Wizard->ProgressBar1->Max(), 3);
    EXPECT_EQ(Wizard->ProgressBar1->Position(), 0);
}

struct TFrameLook {
    TColor fill;
    TColor outline;
    TPenStyle style;
};

TFrameLook Look(TShape& shape)
{
    return {shape.Brush().Color(), shape.Pen().Color(), shape.Pen().Style()};
}

bool operator==(const TFrameLook& a, const TFrameLook& b)
{
    return a.fill == b.fill && a.outline == b.outline && a.style == b.style;
}

TEST_F(WizardActionsTest, HoverMarksTheFrameOfItsGroupInEitherLook)
{
    const TFrameLook marked{clSilver, clGray, psSolid};
    const TFrameLook plain{clWhite, clSilver, psSolid};
    const TFrameLook markedOutline{clWhite, clGray, psSolid};
    const TFrameLook dotted{clWhite, clSilver, psDot};

    Wizard->Color1->SetChecked(true);
    HoverOn(Wizard->TabSheet4, *Wizard->Memo4);
    EXPECT_TRUE(Look(*Wizard->Shape7) == marked);
    HoverOn(Wizard->TabSheet4, *Wizard->Shape6);
    EXPECT_TRUE(Look(*Wizard->Shape6) == marked);
    EXPECT_TRUE(Look(*Wizard->Shape7) == plain);
    EXPECT_TRUE(Look(*Wizard->Shape8) == plain);

    // The other look: a solid outline against dotted ones, no grey fill left over.
    Wizard->Color1->SetChecked(false);
    HoverOn(Wizard->TabSheet4, *Wizard->Memo5);
    EXPECT_TRUE(Look(*Wizard->Shape8) == markedOutline);
    EXPECT_TRUE(Look(*Wizard->Shape6) == dotted);
    EXPECT_TRUE(Look(*Wizard->Shape7) == dotted);

    // The pictures page: frame and list together, reset over the page picture.
    Wizard->Color1->SetChecked(true);
    HoverOn(Wizard->TabSheet1, *Wizard->ListBox1);
    EXPECT_TRUE(Look(*Wizard->Shape4) == marked);
    EXPECT_EQ(Wizard->ListBox1->Color(), clSilver);
    HoverOn(Wizard->TabSheet1, *Wizard->Image2);
    EXPECT_TRUE(Look(*Wizard->Shape4) == plain);
    EXPECT_EQ(Wizard->ListBox1->Color(), clWhite);

    // The e-mail and EXE pages mark by the fill alone, in both looks.
    Wizard->Color1->SetChecked(false);
    HoverOn(Wizard->TabSheet5, *Wizard->Shape11);
    EXPECT_EQ(Wizard->Shape11->Brush().Color(), clSilver);
    HoverOn(Wizard->TabSheet5, *Wizard->Shape9);
    EXPECT_EQ(Wizard->Shape9->Brush().Color(), clSilver);
    EXPECT_EQ(Wizard->Shape11->Brush().Color(), clWhite);
    HoverOn(Wizard->TabSheet5, *Wizard->Image8);
    EXPECT_EQ(Wizard->Shape9->Brush().Color(), clWhite);
    HoverOn(Wizard->TabSheet7, *Wizard->Panel2);
    EXPECT_EQ(Wizard->Shape12->Brush().Color(), clSilver);
    EXPECT_EQ(Wizard->Panel2->Color(), clSilver);
    HoverOn(Wizard->TabSheet7, *Wizard->Image20);
    EXPECT_EQ(Wizard->Shape12->Brush().Color(), clWhite);
    EXPECT_EQ(Wizard->Panel2->Color(), clWhite);

    // The thumbnails frame loses its whole mark over the page picture.
    HoverOn(Wizard->TabSheet6, *Wizard->Shape1);
    EXPECT_TRUE(Look(*Wizard->Shape1) == markedOutline);
    HoverOn(Wizard->TabSheet6, *Wizard->Image18);
    EXPECT_TRUE(Look(*Wizard->Shape1) == dotted);

    // The gallery page's frames also give the screen its default cursor back.
    Wizard->Color1->SetChecked(true);
    Screen->SetCursor(crHourGlass);
    HoverOn(Wizard->TabSheet2, *Wizard->Shape3);
    EXPECT_TRUE(Look(*Wizard->Shape3) == marked);
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(WizardActionsTest, LinkLabelsUnderlineUnderTheMouseAndGoBackToBold)
{
    struct Case {
        TLabel* label;
        TControl* away;
        TFontStyles after;
    };
    const Case cases[] = {
        {Wizard->Label52, Wizard->Image3, fsBold},
        {Wizard->Label52, Wizard->Image2, fsBold},
        {Wizard->Label58, Wizard->Panel3, fsBold},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label->Name() + " then " + c.away->Name());
        TTabSheet* page = c.label == Wizard->Label58 ? Wizard->TabSheet8 : Wizard->TabSheet1;
        HoverOn(page, *c.label);
        EXPECT_EQ(c.label->Font().Style(), fsBold | fsUnderline);
        // Over the panel's free corner, not over a label inside it.
        HoverOn(page, *c.away);
        EXPECT_EQ(c.label->Font().Style(), c.after);
    }
    HoverOn(Wizard->TabSheet2, *Wizard->Label27);
    EXPECT_EQ(Wizard->Label27->Font().Style(), fsBold | fsUnderline);
    Wizard->Timer1Timer(Wizard->Timer1);
    EXPECT_EQ(Wizard->Label27->Font().Style(), 0);
}

}  // namespace

#include "builder/wizard/StartScreen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "builder/generator/BuildInProgress.h"
#include "builder/dialogs/LimitsDialog.h"
#include "builder/dialogs/OverwritePrompt.h"
#include "platform/controls/InputDriver.h"
#include "platform/core/DateTime.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TGraphic.h"
#include "shared/MakerHomePage.h"
#include "tests/builder/program_fixture.h"

namespace {

using buildertest::BuilderProgramTest;

std::string PictureBytes(TImage& image)
{
    TGraphic* graphic = image.Picture().Graphic();
    if (!graphic)
        return {};
    TMemoryStream stream;
    graphic->SaveToStream(stream);
    return std::string(stream.Bytes());
}

TEST(BuilderWindows, AllTwentyAreMadeOnceInTheProgramsOrder)
{
    SetLayoutDirectory(GALLERY_SOURCE_DIR "/resources");
    SetCurrentDir(std::filesystem::temp_directory_path().string());
    TApplication app;
    CreateBuilderWindows(app);
    std::vector<std::string> made;
    for (int i = 0; i < app.ComponentCount(); ++i)
        made.emplace_back(app.Components(i)->ClassName());
    const std::vector<std::string> order = {
        "TVM",     "TForm1",  "TForm2",  "TForm3",  "TForm4",  "TForm6",         "TForm7",
        "TForm8",  "TForm9",  "TForm10", "TForm11", "TForm12", "TForm13",        "TForm14",
        "TSchreibeDaten",     "TForm17", "TForm18", "TForm19", "TForm20", "TForm21"};
    EXPECT_EQ(made, order);
    EXPECT_EQ(app.MainForm(), StartScreen);
    for (int i = 0; i < app.ComponentCount(); ++i)
        EXPECT_FALSE(static_cast<TCustomForm*>(app.Components(i))->Visible()) << made[std::size_t(i)];
}

class StartScreenTest : public BuilderProgramTest {
protected:
    StartScreenTest() { Start->Show(); }

    void MoveOver(const TControl& control)
    {
        Start->MouseInput(TMouseInputKind::Move, mbLeft, 0, control.Left() + control.Width() / 2,
                          control.Top() + control.Height() / 2);
    }

    std::vector<TMTranBtn*> Buttons() const
    {
        return {Start->MTranBtn1, Start->MTranBtn2, Start->MTranBtn4, Start->MTranBtn7,
                Start->MTranBtn8, Start->MTranBtn5, Start->MTranBtn3};
    }

    std::vector<TMTranBtn*> KindButtons() const
    {
        return {Start->MTranBtn1, Start->MTranBtn2, Start->MTranBtn4, Start->MTranBtn7, Start->MTranBtn8};
    }

    std::vector<TTabSheet*> Pages() const
    {
        return {Wizard->TabSheet2, Wizard->TabSheet4, Wizard->TabSheet5, Wizard->TabSheet6,
                Wizard->TabSheet7, Wizard->TabSheet8, Wizard->TabSheet9};
    }

    // The pages of Pages() that are shown, by their numbers.
    std::vector<int> ShownPages() const
    {
        const int numbers[] = {2, 4, 5, 6, 7, 8, 9};
        std::vector<int> shown;
        for (std::size_t i = 0; i < Pages().size(); ++i)
            if (Pages()[i]->TabVisible())
                shown.push_back(numbers[i]);
        return shown;
    }

    // The gallery-kind dialog answered with a choice and its two fields.
    void AnswerKind(bool php, std::string password = {}, std::string email = {})
    {
        Script.AnswerModal("GalleryKindDialog", [=](TCustomForm& form) {
            auto& dialog = static_cast<TForm21&>(form);
            EXPECT_TRUE(dialog.Timer1->Enabled());
            (php ? dialog.RadioButton1 : dialog.RadioButton2)->SetChecked(true);
            dialog.Edit1->SetText(password);
            dialog.Edit2->SetText(email);
            dialog.BitBtn1->Click();
        });
    }
};

TEST_F(StartScreenTest, HoverShowsTheButtonsTextsInTheLanguageAndMarksOnlyIt)
{
    struct Step {
        const char* language;
        TMTranBtn* button;
        std::string status;
        TMemo* text;  // nullptr: empty
    };
    const Step steps[] = {
        {"eng", Start->MTranBtn2, "Create Internet Gallerys From Your Picures!", Start->Memo7},
        {"eng", Start->MTranBtn8, "Creating a PDF gallery:", Start->Memo12},
        {"ger", Start->MTranBtn1, "Versenden Sie Internet-Galerien via E-Mail!", Start->Memo3},
        {"ger", Start->MTranBtn7, "Erstellen Sie ein eigenst\xE4ndiges Bilderarchiv Programm.", Start->Memo5},
        {"ger", Start->MTranBtn8, "Eine PDF-Galerie erstellen..", Start->Memo11},
        {"ger", Start->MTranBtn3, "Programm beenden", nullptr},
        {"eng", Start->MTranBtn5, "Choose Your Language / W\xE4hlen Sie Ihre Sprache!", nullptr},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.status);
        CurrentLanguage = step.language;
        MoveOver(*step.button);
        EXPECT_EQ(Start->Label1->Caption(), step.status);
        EXPECT_EQ(Start->Memo1->Text(), step.text ? step.text->Text() : std::string());
        for (TMTranBtn* button : Buttons())
            EXPECT_EQ(button->Font().Color(), button == step.button ? clRed : clBlack) << button->Name();
    }

    MoveOver(*Start->Label2);
    MoveOver(*Start->Label5);
    EXPECT_TRUE(Start->Label2->Font().Style() & fsUnderline);
    EXPECT_TRUE(Start->Label5->Font().Style() & fsUnderline);
    Start->MouseInput(TMouseInputKind::Move, mbLeft, 0, 10, 300);
    EXPECT_EQ(Start->Label1->Caption(), "");
    EXPECT_EQ(Start->Memo1->Text(), "");
    EXPECT_FALSE(Start->Label2->Font().Style() & fsUnderline);
    EXPECT_FALSE(Start->Label5->Font().Style() & fsUnderline);
    for (TMTranBtn* button : Buttons())
        EXPECT_EQ(button->Font().Color(), clBlack) << button->Name();
}

TEST_F(StartScreenTest, TheLongTextsAreTheScreensOwnAndLieOutsideIt)
{
    EXPECT_EQ(Start->Memo3->Lines().Strings(2), "hinzu. Die Gr\xF6\xDF" "en der zu \xFC" "bertragenden  Bilder");
    EXPECT_EQ(Start->Memo7->Lines().Count(), 5);
    EXPECT_EQ(Start->Memo10->Lines().Strings(5), "file you also get a better view of your hard disk.");
    for (TMemo* memo : {Start->Memo2, Start->Memo3, Start->Memo4, Start->Memo5, Start->Memo7, Start->Memo8,
                        Start->Memo9, Start->Memo10, Start->Memo11, Start->Memo12, Start->Memo14})
        EXPECT_GE(memo->Left(), Start->ClientWidth()) << memo->Name();
    EXPECT_FALSE(Start->Memo11->Visible());
    EXPECT_FALSE(Start->Memo14->Visible());
    EXPECT_EQ(Kind->Memo1->Text(), Start->Memo14->Text());
}

TEST_F(StartScreenTest, TheLanguageButtonSwitchesEachTimeAndTheMenuOnlyChecks)
{
    struct Step {
        const char* name;
        TObject* clicked;
        const char* language;
        bool english;
        bool deutsch;
    };
    const Step steps[] = {
        {"button once", Start->MTranBtn5, "ger", false, true},
        {"button twice", Start->MTranBtn5, "eng", true, false},
        {"menu Deutsch", Wizard->Deutsch1, "ger", false, true},
        {"menu English", Wizard->English1, "eng", true, false},
        // Unchecking the checked item keeps the language.
        {"menu English again", Wizard->English1, "eng", false, false},
        {"button with neither checked", Start->MTranBtn5, "eng", true, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        LanguageApplied = true;
        if (auto* item = dynamic_cast<TMenuItem*>(step.clicked))
            item->Click();
        else
            static_cast<TControl*>(step.clicked)->Click();
        EXPECT_EQ(CurrentLanguage, step.language);
        EXPECT_EQ(Wizard->English1->Checked(), step.english);
        EXPECT_EQ(Wizard->Deutsch1->Checked(), step.deutsch);
    }
    LanguageApplied = true;
    Wizard->Deutsch1->Click();
    EXPECT_FALSE(LanguageApplied);
}

TEST_F(StartScreenTest, EachKindShowsItsPagesWithThePicturesPageActive)
{
    struct Case {
        TMTranBtn* button;
        TRadioButton* kind;
        std::vector<int> pages;
    };
    const Case cases[] = {
        {Start->MTranBtn1, Wizard->RadioButton4, {4, 5}},
        {Start->MTranBtn4, Wizard->RadioButton5, {6}},
        {Start->MTranBtn7, Wizard->RadioButton10, {7}},
        {Start->MTranBtn8, Wizard->RadioButton10, {8}},
        {Start->MTranBtn2, Wizard->RadioButton3, {2, 4, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button->Name());
        Wizard->Hide();
        Wizard->PageControl1->SetActivePage(Wizard->TabSheet1);
        for (TTabSheet* page : Pages())
            page->SetTabVisible(true);
        Wizard->PageControl1->SetActivePage(Wizard->TabSheet8);
        Wizard->PhpGallery = true;
        if (c.button == Start->MTranBtn2)
            AnswerKind(false);
        c.button->Click();
        EXPECT_EQ(ShownPages(), c.pages);
        EXPECT_TRUE(Wizard->TabSheet1->TabVisible());
        EXPECT_EQ(Wizard->PageControl1->ActivePage(), Wizard->TabSheet1);
        EXPECT_TRUE(c.kind->Checked());
        EXPECT_FALSE(Wizard->PhpGallery);
        EXPECT_TRUE(Wizard->Visible());
        EXPECT_TRUE(Start->Visible());
    }
}

TEST_F(StartScreenTest, PictureApplicationAndPdfTakeTheLimitsAndStartOptimised)
{
    LimitsDialog->Edit1->SetText("480");
    LimitsDialog->Edit2->SetText("640");
    LimitsDialog->Edit3->SetText("90");
    struct Case {
        TMTranBtn* button;
        TEdit* height;
        TEdit* width;
        TEdit* size;
        bool exeMode;
    };
    for (const Case& c : {Case{Start->MTranBtn7, Wizard->Edit19, Wizard->Edit20, Wizard->Edit21, true},
                          Case{Start->MTranBtn8, Wizard->Edit22, Wizard->Edit23, Wizard->Edit24, false}}) {
        SCOPED_TRACE(c.button->Name());
        Wizard->CheckBox9->SetChecked(false);
        Wizard->RadioButton12->SetChecked(true);
        Wizard->RadioButton14->SetChecked(true);
        Wizard->ExeGalleryMode = !c.exeMode;
        c.button->Click();
        EXPECT_EQ(c.height->Text(), "480");
        EXPECT_EQ(c.width->Text(), "640");
        EXPECT_EQ(c.size->Text(), "90");
        EXPECT_EQ(Wizard->ExeGalleryMode, c.exeMode);
        EXPECT_TRUE(Wizard->CheckBox9->Checked());
        EXPECT_TRUE(Wizard->RadioButton11->Checked());
    }
    EXPECT_TRUE(Wizard->RadioButton13->Checked());
    EXPECT_EQ(Wizard->Edit27->Text(), DateToStr(Date()));
}

TEST_F(StartScreenTest, PhpNeedsAPasswordOfThreeAndAnAddressOfSevenCharacters)
{
    struct Case {
        const char* name;
        std::string password;
        std::string email;
        const char* refusal;  // nullptr: accepted
    };
    const Case cases[] = {
        {"password of 2", "ab", "me@example.org", "Please enter a password  (nearly  3 characters) AND your e-mail adress"},
        {"address of 6", "abc", "a@b.de", "Please enter a password  (nearly  3 characters) AND your e-mail adress"},
        {"a comment end in the password", "ab*/c", "me@example.org", "must not contain"},
        {"a script end in the address", "abc", "me?>@example.org", "must not contain"},
        {"3 and 7", "abc", "a@bc.de", nullptr},
    };
    // Each refusal shows the dialog again; the last case is accepted.
    for (const Case& c : cases) {
        AnswerKind(true, c.password, c.email);
        if (c.refusal)
            Script.AnswerMessage(IDOK, c.refusal);
    }
    Kind->CheckBox3->SetChecked(false);
    Kind->CheckBox2->SetChecked(false);
    Wizard->RadioButton4->SetChecked(true);
    Start->MTranBtn2->Click();
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_FALSE(Kind->Timer1->Enabled());
    EXPECT_TRUE(Wizard->PhpGallery);
    EXPECT_TRUE(Wizard->PhpViewCount);
    EXPECT_FALSE(Wizard->PhpVoting);
    EXPECT_FALSE(Wizard->PhpPictureComments);
    EXPECT_TRUE(Wizard->PhpMailPicture);
    EXPECT_TRUE(Wizard->PhpChartViews);
    EXPECT_FALSE(Wizard->PhpChartVotes);
    EXPECT_TRUE(Wizard->PhpGalleryComments);
    EXPECT_TRUE(Wizard->RadioButton3->Checked());
    EXPECT_TRUE(Wizard->Visible());
}

TEST_F(StartScreenTest, HtmlNeedsNoFieldsAndCancelOnlyChangesTwoPages)
{
    AnswerKind(false);
    Start->MTranBtn2->Click();
    EXPECT_TRUE(Wizard->RadioButton3->Checked());
    EXPECT_FALSE(Wizard->PhpGallery);

    Wizard->Hide();
    Start->MTranBtn1->Click();  // e-mail: page 9 hidden, page 7 hidden
    Wizard->Hide();
    Wizard->TabSheet7->SetTabVisible(true);
    Script.AnswerModal("GalleryKindDialog", mrCancel);
    Start->MTranBtn2->Click();
    EXPECT_FALSE(Kind->Timer1->Enabled());
    EXPECT_TRUE(Wizard->RadioButton4->Checked());
    EXPECT_FALSE(Wizard->Visible());
    EXPECT_EQ(ShownPages(), (std::vector<int>{4, 5, 9}));
}

TEST_F(StartScreenTest, CancelInTheKindDialogTakesBackAClickOnPhp)
{
    AnswerKind(false);
    Start->MTranBtn2->Click();
    ASSERT_FALSE(Wizard->PhpGallery);
    Wizard->Hide();
    // By the picture and by the choice: both set the kind at once, Cancel undoes it.
    for (TControl* php : {static_cast<TControl*>(Kind->Image2), static_cast<TControl*>(Kind->RadioButton1)}) {
        SCOPED_TRACE(php->Name());
        Script.AnswerModal("GalleryKindDialog", [this, php](TCustomForm& form) {
            InputDriver::Click(*php);
            EXPECT_TRUE(Wizard->PhpGallery);
            InputDriver::Click(*static_cast<TForm21&>(form).BitBtn2);
        });
        Start->MTranBtn2->Click();
        EXPECT_EQ(Script.Pending(), 0u);
        EXPECT_FALSE(Wizard->PhpGallery);
        EXPECT_TRUE(Kind->RadioButton2->Checked());  // the dialog shows what holds
    }
}

TEST_F(StartScreenTest, TheKindDialogsChoicesPicturesAndTimer)
{
    const std::string htmlPreview = PictureBytes(*Kind->Image9);
    const std::string phpPreview = PictureBytes(*Kind->Image10);
    ASSERT_FALSE(htmlPreview.empty());
    ASSERT_NE(htmlPreview, phpPreview);
    struct Step {
        const char* name;
        TControl* clicked;
        bool php;
    };
    const Step steps[] = {
        {"PHP picture", Kind->Image2, true},
        {"HTML picture", Kind->Image1, false},
        {"PHP choice", Kind->RadioButton1, true},
        {"HTML choice", Kind->RadioButton2, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.clicked->Click();
        EXPECT_EQ(Kind->RadioButton1->Checked(), step.php);
        EXPECT_EQ(Kind->RadioButton2->Checked(), !step.php);
        EXPECT_EQ(Wizard->PhpGallery, step.php);
        EXPECT_EQ(PictureBytes(*Kind->Image7), step.php ? phpPreview : htmlPreview);
        EXPECT_EQ(PictureBytes(*Kind->Image8), step.php ? htmlPreview : phpPreview);
        Kind->Timer1Timer(Kind->Timer1);
        for (TWinControl* control : {static_cast<TWinControl*>(Kind->CheckBox1), static_cast<TWinControl*>(Kind->CheckBox7),
                                     static_cast<TWinControl*>(Kind->Edit1), static_cast<TWinControl*>(Kind->Edit2)})
            EXPECT_EQ(control->Enabled(), step.php) << control->Name();
    }
    Kind->CheckBox1->SetChecked(false);
    Kind->CheckBox2->SetChecked(false);
    EXPECT_FALSE(Kind->CheckBox5->Checked());
    EXPECT_FALSE(Kind->CheckBox6->Checked());
}

TEST_F(StartScreenTest, KindButtonsAreDisabledWhileABuildRuns)
{
    // A thumbnails build that meets an earlier gallery stops at the overwrite
    // prompt: there the build is running.
    Start->MTranBtn4->Click();
    Wizard->Label2->SetCaption(Folder.Path());
    buildertest::WriteJpeg(Folder.Path() + "th_0.jpg", 8, 8);
    buildertest::WriteJpeg(Folder.Path() + "picture.jpg", 32, 24);
    Wizard->ListBox1->Items().Add(Folder.Path() + "picture.jpg");
    Wizard->ListBox2->Items().Add(" ");
    std::vector<bool> enabledDuringBuild;
    Script.AnswerModal("OverwritePrompt", [&](TCustomForm& prompt) {
        for (TMTranBtn* button : KindButtons())
            enabledDuringBuild.push_back(button->Enabled());
        prompt.SetModalResult(mrNo);
    });
    Wizard->BitBtn2Click(nullptr);
    EXPECT_EQ(enabledDuringBuild, std::vector<bool>(5, false));
    for (TMTranBtn* button : KindButtons())
        EXPECT_TRUE(button->Enabled()) << button->Name();
    EXPECT_TRUE(Start->MTranBtn5->Enabled());
    EXPECT_TRUE(Start->MTranBtn3->Enabled());
}

TEST_F(StartScreenTest, TheSiteLinkOpensTheSite)
{
    Start->Label2->Click();
    const auto starts = RecordedShellStarts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].File, MakerHomePage);
    EXPECT_EQ(Start->Label2->Caption(), MakerHomePage);
}

}  // namespace

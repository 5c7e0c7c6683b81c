// The wizard's options: defaults from the window layouts, the picture-list
// operations, the mirror chains, the enabling rules and the small dialogs.

#include <gtest/gtest.h>

#include "builder/pages/ColorToHtml.h"
#include "platform/core/AnsiString.h"
#include "platform/controls/InputDriver.h"
#include "platform/core/DateTime.h"
#include "builder/dialogs/PictureEditorForm.h"
#include "tests/builder/wizard_fixture.h"

using namespace buildertest;

namespace {

std::vector<std::string> Lines(const TListBox& list)
{
    return list.Items().Items();
}

class WizardOptionsTest : public WizardTest {
protected:
    WizardOptionsTest() { Wizard->Show(); }

    // A click by the person, on whatever page of the wizard the control stands.
    void ClickOn(TControl& control)
    {
        for (TWinControl* p = control.Parent(); p; p = p->Parent())
            if (auto* sheet = dynamic_cast<TTabSheet*>(p))
                Wizard->PageControl1->SetActivePage(sheet);
        InputDriver::Click(control);
    }
};

TEST_F(WizardOptionsTest, StartsWithTheDefaultsOfEveryOption)
{
    struct Case {
        const char* name;
        std::string actual;
        std::string expected;
    };
    const Case texts[] = {
        {"ThumbPercent", Wizard->Edit1->Text(), "20"},
        {"ThumbHeight", Wizard->Edit2->Text(), "100"},
        {"ThumbWidth", Wizard->Edit3->Text(), "100"},
        {"GalleryHeading", Wizard->Edit4->Text(), "My Gallery"},
        {"PicturesPerRow", Wizard->Edit5->Text(), "3"},
        {"RowsPerPage", Wizard->Edit6->Text(), "3"},
        {"SlideShowSeconds", Wizard->Edit8->Text(), "10"},
        {"LinkUrl", Wizard->Edit9->Text(), "http://"},
        {"MaxPictureHeight", LimitsDialog->Edit1->Text(), "400"},
        {"MaxPictureWidth", LimitsDialog->Edit2->Text(), "600"},
        {"MaxPictureKB", LimitsDialog->Edit3->Text(), "150"},
        {"HeadingFontSize", FontOptionsDialog->Edit1->Text(), "14"},
        {"PictureFontSize", FontOptionsDialog->Edit2->Text(), "9"},
        {"TextFontSize", FontOptionsDialog->Edit3->Text(), "12"},
        {"TextColor text", FontOptionsDialog->Edit4->Text(), "#000000"},
        {"BackgroundColor text", FontOptionsDialog->Edit5->Text(), "#FFFFFF"},
        {"FontName", FontOptionsDialog->ComboBox1->Text(), "Font Name"},
        {"CopyrightNote", CopyrightDialog->Edit1->Text(), ""},
        {"LinkMode item 0", Wizard->ComboBox1->Text(), "Link to Orginal - Picture (Full View)"},
    };
    for (const Case& c : texts) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.actual, c.expected);
    }
    struct Switch {
        const char* name;
        bool actual;
        bool expected;
    };
    const Switch switches[] = {
        {"fixed size on the gallery page", Wizard->RadioButton2->Checked(), true},
        {"fixed size on the e-mail page", Wizard->RadioButton7->Checked(), true},
        {"fixed size on the thumbnails page", Wizard->RadioButton9->Checked(), true},
        {"percent", Wizard->RadioButton1->Checked(), false},
        {"web kind", Wizard->RadioButton3->Checked(), true},
        {"SlideShow", Wizard->CheckBox7->Checked(), false},
        {"ShowPictureInfos", Wizard->CheckBox3->Checked(), true},
        {"OpenInNewWindow", Wizard->CheckBox8->Checked(), false},
        {"LinkToWebpage", Wizard->CheckBox10->Checked(), false},
        {"InternetOptimize", Wizard->CheckBox9->Checked(), false},
        {"TextsOnIndex", Wizard->CheckBox4->Checked(), true},
        {"TextsOnGalleryPages", Wizard->CheckBox5->Checked(), true},
        {"TextsOnFullPages", Wizard->CheckBox6->Checked(), true},
        {"CommentsInGallery", Wizard->CheckBox11->Checked(), true},
        {"CommentsOnFullPages", Wizard->CheckBox12->Checked(), true},
        {"CommentsInEmail", Wizard->CheckBox2->Checked(), true},
        {"StartWatermarkPlugin", Wizard->CheckBox14->Checked(), false},
        {"WatermarkFullPictures", Wizard->CheckBox15->Checked(), true},
        {"WatermarkThumbnails", Wizard->CheckBox16->Checked(), false},
        {"KeepOriginalNames", Wizard->CheckBox13->Checked(), false},
        {"HTML gallery chosen", GalleryKindDialog->RadioButton2->Checked(), true},
        {"PHP view counts", GalleryKindDialog->CheckBox1->Checked(), true},
        {"PHP gallery comments", GalleryKindDialog->CheckBox7->Checked(), true},
        {"no background picture", BackgroundDialog->Image1->Picture().Empty(), true},
        {"no font chosen", FontOptionsDialog->ChosenFontName().empty(), true},
    };
    for (const Switch& s : switches) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(s.actual, s.expected);
    }
    EXPECT_EQ(FontOptionsDialog->TextColor(), clBlack);
    EXPECT_EQ(FontOptionsDialog->BackgroundColor(), clWhite);

    struct Range {
        const char* name;
        const TUpDown* upDown;
        int min, max;
    };
    const Range ranges[] = {
        {"ThumbPercent", Wizard->UpDown1, 1, 100},    {"ThumbHeight", Wizard->UpDown2, 1, 1000},
        {"ThumbWidth", Wizard->UpDown3, 1, 1000},     {"PicturesPerRow", Wizard->UpDown4, 1, 10},
        {"RowsPerPage", Wizard->UpDown5, 1, 20},      {"SlideShowSeconds", Wizard->UpDown6, 0, 100},
        {"e-mail pictures per row", Wizard->UpDown10, 1, 10},
        {"MaxPictureKB", LimitsDialog->UpDown1, 10, 1000},
        {"HeadingFontSize", FontOptionsDialog->UpDown1, 6, 100},
    };
    for (const Range& r : ranges) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(r.upDown->Min(), r.min);
        EXPECT_EQ(r.upDown->Max(), r.max);
    }

    std::string date = DateToStr(Date());
    for (char& c : date)
        if (c == '.')
            c = '-';
    EXPECT_EQ(Wizard->Label2->Caption(), Wizard->ProgramFolder + date + "/");
}

TEST_F(WizardOptionsTest, AddingPicturesAppendsPathsAndBlankCommentsAndSelectsTheLast)
{
    AddPictures({"/p/old.jpg"});
    Script.AnswerOpen({"/p/a.jpg", "/p/b.bmp", "/p/c.gif"});
    ClickOn(*Wizard->Image25);
    EXPECT_EQ(Lines(*Wizard->ListBox1), (std::vector<std::string>{"/p/old.jpg", "/p/a.jpg", "/p/b.bmp", "/p/c.gif"}));
    EXPECT_EQ(Lines(*Wizard->ListBox2), (std::vector<std::string>{" ", " ", " ", " "}));
    EXPECT_EQ(Wizard->ListBox1->ItemIndex(), 3);
    // Selected without being shown: the preview still holds its neutral picture.
    EXPECT_EQ(Wizard->Image3->Picture().Width(), Wizard->Image7->Picture().Width());

    Script.AnswerOpen({});
    ClickOn(*Wizard->Image25);
    EXPECT_EQ(Wizard->ListBox1->Count(), 4);
    const auto& asked = Script.Asked();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].Kind, TQuestionKind::OpenDialog);
}

TEST_F(WizardOptionsTest, SelectingShowsThePictureAndItsCommentAndTypingStoresIt)
{
    TempFolder folder;
    WriteJpeg(folder.Path() + "a.jpg", 40, 30);
    WriteJpeg(folder.Path() + "b.jpg", 20, 10);
    AddPictures({folder.Path() + "a.jpg", folder.Path() + "b.jpg", folder.Path() + "broken.jpg"},
                {"first", "second", "third"});
    WriteFileBytes(folder.Path() + "broken.jpg", "not a picture");

    Wizard->ListBox1->SelectAsUser(1);
    EXPECT_EQ(Wizard->Image3->Picture().Width(), 20);
    EXPECT_EQ(Wizard->Edit10->Text(), "second");

    Wizard->Edit10->SetText("");
    InputDriver::TypeText(*Wizard->Edit10, "Beach");
    EXPECT_EQ(Wizard->ListBox2->Items().Strings(1), "Beach");
    // Emptied, the field stores an empty line.
    for (int i = 0; i < 5; ++i)
        InputDriver::PressKey(*Wizard, VK_BACK);
    EXPECT_EQ(Wizard->ListBox2->Items().Strings(1), "");
    EXPECT_EQ(Lines(*Wizard->ListBox2), (std::vector<std::string>{"first", "", "third"}));

    // A picture that cannot be shown: one message, the comment field keeps its text.
    Script.AnswerMessage(IDOK, "file format not found");
    Wizard->ListBox1->SelectAsUser(2);
    EXPECT_EQ(Wizard->Edit10->Text(), "");
    EXPECT_EQ(Script.Pending(), 0u);

    // Without a selection a key changes no comment.
    Wizard->ListBox1->SetItemIndex(-1);
    InputDriver::TypeText(*Wizard->Edit10, "x");
    EXPECT_EQ(Lines(*Wizard->ListBox2), (std::vector<std::string>{"first", "", "third"}));
}

TEST_F(WizardOptionsTest, DeleteAndClearChangeBothListsTogether)
{
    AddPictures({"/p/0.jpg", "/p/1.jpg", "/p/2.jpg", "/p/3.jpg"}, {"c0", "c1", "c2", "c3"});
    Wizard->ListBox1->SetItemIndex(1);
    ClickOn(*Wizard->Image26);
    EXPECT_EQ(Lines(*Wizard->ListBox1), (std::vector<std::string>{"/p/0.jpg", "/p/2.jpg", "/p/3.jpg"}));
    EXPECT_EQ(Lines(*Wizard->ListBox2), (std::vector<std::string>{"c0", "c2", "c3"}));
    EXPECT_TRUE(Wizard->Image3->Picture().Empty());

    // Without a selection the preview gets the neutral picture and the lists stay.
    Wizard->ListBox1->SetItemIndex(-1);
    ClickOn(*Wizard->Image26);
    EXPECT_EQ(Wizard->ListBox1->Count(), 3);
    EXPECT_FALSE(Wizard->Image3->Picture().Empty());

    ClickOn(*Wizard->Image27);
    EXPECT_EQ(Wizard->ListBox1->Count(), 0);
    EXPECT_EQ(Wizard->ListBox2->Count(), 0);
    EXPECT_FALSE(Wizard->Image3->Picture().Empty());
}

TEST_F(WizardOptionsTest, MovingSwapsBothListsAndStopsAtTheEnds)
{
    AddPictures({"/p/0.jpg", "/p/1.jpg", "/p/2.jpg"}, {"c0", "c1", "c2"});
    Wizard->ApplyOptionRules();
    ASSERT_TRUE(Wizard->BitBtn6->Enabled());

    Wizard->ListBox1->SetItemIndex(2);
    ClickOn(*Wizard->BitBtn6);
    EXPECT_EQ(Lines(*Wizard->ListBox1), (std::vector<std::string>{"/p/0.jpg", "/p/2.jpg", "/p/1.jpg"}));
    EXPECT_EQ(Lines(*Wizard->ListBox2), (std::vector<std::string>{"c0", "c2", "c1"}));
    EXPECT_EQ(Wizard->ListBox1->ItemIndex(), 1);

    ClickOn(*Wizard->BitBtn12);
    EXPECT_EQ(Lines(*Wizard->ListBox1), (std::vector<std::string>{"/p/0.jpg", "/p/1.jpg", "/p/2.jpg"}));
    EXPECT_EQ(Lines(*Wizard->ListBox2), (std::vector<std::string>{"c0", "c1", "c2"}));
    EXPECT_EQ(Wizard->ListBox1->ItemIndex(), 2);

    // At the ends: nothing changes and nothing is said.
    ClickOn(*Wizard->BitBtn12);
    Wizard->ListBox1->SetItemIndex(0);
    ClickOn(*Wizard->BitBtn6);
    EXPECT_EQ(Lines(*Wizard->ListBox1), (std::vector<std::string>{"/p/0.jpg", "/p/1.jpg", "/p/2.jpg"}));
    EXPECT_TRUE(Script.Asked().empty());

    Wizard->ListBox1->SetItemIndex(-1);
    Script.AnswerMessage(IDOK, "No Picture select!\r\nKein Bild gew\xE4hlt!");
    Script.AnswerMessage(IDOK, "No Picture select!\r\nKein Bild gew\xE4hlt!");
    ClickOn(*Wizard->BitBtn6);
    ClickOn(*Wizard->BitBtn12);
    EXPECT_EQ(Script.Pending(), 0u);

    ClickOn(*Wizard->Image27);
    EXPECT_FALSE(Wizard->BitBtn6->Enabled());
    EXPECT_FALSE(Wizard->BitBtn12->Enabled());
}

TEST_F(WizardOptionsTest, EditPictureAsksForAJpegOrGifSelection)
{
    App.CreateForm(PictureEditorForm);
    TempFolder folder;
    WriteJpeg(folder.Path() + "b.JPG", 20, 10);
    AddPictures({"/p/a.bmp", folder.Path() + "b.JPG"});
    Script.AnswerMessage(IDOK, "Please choose a picture");
    ClickOn(*Wizard->Label52);
    Wizard->ListBox1->SetItemIndex(0);
    Script.AnswerMessage(IDOK, "Only JPG or GIF!");
    ClickOn(*Wizard->Label52);
    Wizard->ListBox1->SetItemIndex(1);
    Script.AnswerPopup("");
    ClickOn(*Wizard->Label52);
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_EQ(Script.Asked().back().Kind, TQuestionKind::Popup);
    // Each item opens the picture editor on the selected entry's picture.
    for (const char* item : {"Rotation1", "Brightness1", "Contrast1", "Colors1"}) {
        SCOPED_TRACE(item);
        Script.AnswerPopup(item);
        ClickOn(*Wizard->Label52);
        EXPECT_EQ(Script.Pending(), 0u);
        EXPECT_TRUE(PictureEditorForm->Visible());
        PictureEditorForm->Hide();
    }
}

TEST_F(WizardOptionsTest, SizeModeRadiosMirrorAcrossThePages)
{
    struct Case {
        const char* name;
        TRadioButton* TForm1::*clicked;
        bool percent;
    };
    const Case cases[] = {
        {"percent on the gallery page", &TForm1::RadioButton1, true},
        {"fixed on the e-mail page", &TForm1::RadioButton7, false},
        {"percent on the e-mail page", &TForm1::RadioButton6, true},
        {"fixed on the thumbnails page", &TForm1::RadioButton9, false},
        {"percent on the thumbnails page", &TForm1::RadioButton8, true},
        {"fixed on the gallery page", &TForm1::RadioButton2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClickOn(*(Wizard->*c.clicked));
        for (TRadioButton* r : {Wizard->RadioButton1, Wizard->RadioButton6, Wizard->RadioButton8})
            EXPECT_EQ(r->Checked(), c.percent) << r->Name();
        for (TRadioButton* r : {Wizard->RadioButton2, Wizard->RadioButton7, Wizard->RadioButton9})
            EXPECT_EQ(r->Checked(), !c.percent) << r->Name();
        // The thumbnail fields of the gallery page follow the mode.
        EXPECT_EQ(Wizard->Edit1->Enabled(), c.percent);
        EXPECT_EQ(Wizard->UpDown1->Enabled(), c.percent);
        EXPECT_EQ(Wizard->Edit2->Enabled(), !c.percent);
        EXPECT_EQ(Wizard->UpDown3->Enabled(), !c.percent);
    }
}

TEST_F(WizardOptionsTest, UpDownsMirrorTheirPositionsAndTheGeneratorsEdit)
{
    // Clicking UpDown12 from 149 to 150 sets the other two heights and Edit2.
    Wizard->Edit17->SetText("149");
    Wizard->UpDown12->ClickButton(btNext);
    EXPECT_EQ(Wizard->UpDown12->Position(), 150);
    EXPECT_EQ(Wizard->UpDown8->Position(), 150);
    EXPECT_EQ(Wizard->UpDown2->Position(), 150);
    EXPECT_EQ(Wizard->Edit2->Text(), "150");
    EXPECT_EQ(Wizard->Edit12->Text(), "150");

    struct Case {
        const char* name;
        TUpDown* TForm1::*clicked;
        std::vector<TUpDown* TForm1::*> mirrors;
        TEdit* TForm1::*generatorEdit;
        int expected;
    };
    const Case cases[] = {
        {"percent on the gallery page", &TForm1::UpDown1, {&TForm1::UpDown7, &TForm1::UpDown11}, &TForm1::Edit1, 21},
        {"percent on the e-mail page", &TForm1::UpDown7, {&TForm1::UpDown1, &TForm1::UpDown11}, &TForm1::Edit1, 22},
        {"percent on the thumbnails page", &TForm1::UpDown11, {&TForm1::UpDown1, &TForm1::UpDown7}, &TForm1::Edit1, 23},
        {"height on the gallery page", &TForm1::UpDown2, {&TForm1::UpDown8, &TForm1::UpDown12}, &TForm1::Edit2, 151},
        {"height on the e-mail page", &TForm1::UpDown8, {&TForm1::UpDown2, &TForm1::UpDown12}, &TForm1::Edit2, 152},
        {"width on the gallery page", &TForm1::UpDown3, {&TForm1::UpDown9, &TForm1::UpDown13}, &TForm1::Edit3, 101},
        {"width on the e-mail page", &TForm1::UpDown9, {&TForm1::UpDown3, &TForm1::UpDown13}, &TForm1::Edit3, 102},
        {"width on the thumbnails page", &TForm1::UpDown13, {&TForm1::UpDown3, &TForm1::UpDown9}, &TForm1::Edit3, 103},
        {"pictures per row of the gallery", &TForm1::UpDown4, {&TForm1::UpDown10}, &TForm1::Edit5, 4},
        {"pictures per row of the e-mail", &TForm1::UpDown10, {&TForm1::UpDown4}, &TForm1::Edit5, 5},
    };
    ClickOn(*Wizard->RadioButton1);  // the percent up-down clicks only while enabled
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.clicked == &TForm1::UpDown2 || c.clicked == &TForm1::UpDown3)
            ClickOn(*Wizard->RadioButton2);
        (Wizard->*c.clicked)->ClickButton(btNext);
        EXPECT_EQ((Wizard->*c.clicked)->Position(), c.expected);
        for (TUpDown* TForm1::*mirror : c.mirrors)
            EXPECT_EQ((Wizard->*mirror)->Position(), c.expected) << (Wizard->*mirror)->Name();
        EXPECT_EQ((Wizard->*c.generatorEdit)->Text(), std::to_string(c.expected));
    }
    // Text typed into a generator edit is not copied to the mirrors.
    Wizard->PageControl1->SetActivePage(Wizard->TabSheet2);
    Wizard->Edit5->SetText("");
    InputDriver::TypeText(*Wizard->Edit5, "7");
    EXPECT_EQ(Wizard->Edit15->Text(), "5");
}

TEST_F(WizardOptionsTest, OptimiseRadiosOfThePictureApplicationPagesSwitchInternetOptimize)
{
    struct Case {
        TRadioButton* TForm1::*clicked;
        bool on;
    };
    for (const Case& c : {Case{&TForm1::RadioButton11, true}, Case{&TForm1::RadioButton12, false},
                          Case{&TForm1::RadioButton13, true}, Case{&TForm1::RadioButton14, false}}) {
        SCOPED_TRACE((Wizard->*c.clicked)->Name());
        ClickOn(*(Wizard->*c.clicked));
        EXPECT_EQ(Wizard->CheckBox9->Checked(), c.on);
    }
}

TEST_F(WizardOptionsTest, EnablingRulesFollowTheirOptions)
{
    EXPECT_FALSE(Wizard->Edit9->Enabled());
    ClickOn(*Wizard->CheckBox10);
    EXPECT_TRUE(Wizard->Edit9->Enabled());

    EXPECT_TRUE(Wizard->CheckBox7->Enabled());
    Wizard->ComboBox1->SelectAsUser(1);
    EXPECT_FALSE(Wizard->CheckBox7->Enabled());
    EXPECT_FALSE(Wizard->Label24->Enabled());
    EXPECT_FALSE(Wizard->UpDown6->Enabled());
    Wizard->ComboBox1->SelectAsUser(0);
    EXPECT_TRUE(Wizard->UpDown6->Enabled());

    EXPECT_TRUE(Wizard->ComboBox1->Enabled());
    Wizard->RadioButton5->SetChecked(true);
    EXPECT_FALSE(Wizard->ComboBox1->Enabled());
    Wizard->RadioButton3->SetChecked(true);
    EXPECT_TRUE(Wizard->ComboBox1->Enabled());
}

TEST_F(WizardOptionsTest, LimitsDialogChecksItsFieldsInOrderBeforeCopying)
{
    struct Case {
        const char* height;
        const char* width;
        const char* size;
        const char* message;
    };
    const Case cases[] = {
        {"abc", "x", "y", "Invalid value (height)"},
        {"300", "6o0", "y", "Invalid value (width)"},
        {"300", "500", "", "Invalid value (file size)"},
    };
    LimitsDialog->Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        LimitsDialog->Edit1->SetText(c.height);
        LimitsDialog->Edit2->SetText(c.width);
        LimitsDialog->Edit3->SetText(c.size);
        Script.AnswerMessage(IDOK, c.message);
        InputDriver::Click(*LimitsDialog->BitBtn1);
        EXPECT_EQ(Script.Pending(), 0u);
        EXPECT_TRUE(LimitsDialog->Visible());
        for (TEdit* copy : {Wizard->Edit19, Wizard->Edit20, Wizard->Edit21, Wizard->Edit22, Wizard->Edit23,
                            Wizard->Edit24})
            EXPECT_TRUE(copy->Text() == "400" || copy->Text() == "600" || copy->Text() == "150") << copy->Name();
    }
    LimitsDialog->Edit1->SetText("300");
    LimitsDialog->Edit2->SetText("500");
    LimitsDialog->Edit3->SetText("90");
    InputDriver::Click(*LimitsDialog->BitBtn1);
    EXPECT_FALSE(LimitsDialog->Visible());
    EXPECT_EQ(Wizard->Edit19->Text(), "300");
    EXPECT_EQ(Wizard->Edit20->Text(), "500");
    EXPECT_EQ(Wizard->Edit21->Text(), "90");
    EXPECT_EQ(Wizard->Edit22->Text(), "300");
    EXPECT_EQ(Wizard->Edit23->Text(), "500");
    EXPECT_EQ(Wizard->Edit24->Text(), "90");
}

TEST_F(WizardOptionsTest, FontDialogSetsColoursFromTheColourDialogAndFromHexText)
{
    FontOptionsDialog->Show();
    Script.AnswerColor(RGB(0x12, 0xAB, 0xEF));
    InputDriver::Click(*FontOptionsDialog->BitBtn1);
    EXPECT_EQ(FontOptionsDialog->TextColor(), RGB(0x12, 0xAB, 0xEF));
    EXPECT_EQ(FontOptionsDialog->Edit4->Text(), "#12abef");

    Script.CancelColor();
    InputDriver::Click(*FontOptionsDialog->BitBtn2);
    EXPECT_EQ(FontOptionsDialog->BackgroundColor(), clWhite);

    FontOptionsDialog->Edit5->SetText("#FF8000");
    InputDriver::Click(*FontOptionsDialog->BitBtn5);
    EXPECT_EQ(FontOptionsDialog->BackgroundColor(), RGB(255, 128, 0));
    FontOptionsDialog->Edit4->SetText("#zz0000");
    InputDriver::Click(*FontOptionsDialog->BitBtn4);
    EXPECT_EQ(FontOptionsDialog->TextColor(), clBlack);

    FontOptionsDialog->ComboBox1->SelectAsUser(13);
    EXPECT_EQ(FontOptionsDialog->ChosenFontName(), "Verdana");
    EXPECT_EQ(FontOptionsDialog->Memo1->Font().Name(), "Verdana");
    FontOptionsDialog->Edit1->SetText("19");
    FontOptionsDialog->UpDown1->ClickButton(btNext);
    EXPECT_EQ(FontOptionsDialog->Memo1->Font().Size(), 20);
}

TEST(HexToColorTest, ReadsTheDigitsAfterTheFirstCharacter)
{
    struct Case {
        const char* text;
        TColor expected;
    };
    const Case cases[] = {
        {"#ff8000", RGB(255, 128, 0)}, {"#FF8000", RGB(255, 128, 0)}, {"#zz0000", clBlack},
        {"#000000", clBlack},           {"#ffffff", clWhite},          {"#12", RGB(0, 0, 0x12)},
        {"#", clBlack},                 {"", clBlack},                 {"#336699ff", RGB(0x33, 0x66, 0x99)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HexToColor(c.text), c.expected);
        if (std::string(c.text).size() == 7 && c.expected != clBlack) {
            EXPECT_EQ(ColorToHtml(HexToColor(c.text)), ::LowerCase(c.text));
        }
    }
}

TEST_F(WizardOptionsTest, GalleryKindDialogTakesTheChartsAlong)
{
    GalleryKindDialog->Show();
    InputDriver::Click(*GalleryKindDialog->CheckBox1);
    EXPECT_FALSE(GalleryKindDialog->CheckBox5->Checked());
    InputDriver::Click(*GalleryKindDialog->CheckBox2);
    EXPECT_FALSE(GalleryKindDialog->CheckBox6->Checked());
    InputDriver::Click(*GalleryKindDialog->CheckBox1);
    EXPECT_TRUE(GalleryKindDialog->CheckBox5->Checked());
    EXPECT_FALSE(GalleryKindDialog->CheckBox6->Checked());
}

TEST_F(WizardOptionsTest, DialogOpenersShowTheirDialogsAndLoadTexts)
{
    ClickOn(*Wizard->Label27);
    EXPECT_TRUE(LimitsDialog->Visible());
    ClickOn(*Wizard->Image21);
    EXPECT_TRUE(FontOptionsDialog->Visible());
    ClickOn(*Wizard->Image22);
    EXPECT_TRUE(BackgroundDialog->Visible());
    ClickOn(*Wizard->Image23);
    EXPECT_TRUE(CopyrightDialog->Visible());

    TempFolder folder;
    WriteFileBytes(folder.Path() + "above.txt", "Hello\r\n<b>World</b>\n");
    Script.AnswerOpen({folder.Path() + "above.txt"});
    ClickOn(*Wizard->Image28);
    EXPECT_EQ(Wizard->Memo3->Lines().Items(), (std::vector<std::string>{"Hello", "<b>World</b>"}));

    Script.AnswerOpen({folder.Path() + "pic.jpg"});
    WriteJpeg(folder.Path() + "pic.jpg", 30, 20);
    InputDriver::Click(*BackgroundDialog->BitBtn1);
    EXPECT_EQ(BackgroundDialog->Label1->Caption(), folder.Path() + "pic.jpg");
    EXPECT_EQ(BackgroundDialog->Image1->Picture().Width(), 30);
    InputDriver::Click(*BackgroundDialog->BitBtn2);
    EXPECT_TRUE(BackgroundDialog->Image1->Picture().Empty());
    EXPECT_EQ(BackgroundDialog->Label1->Caption(), "");
}

}  // namespace

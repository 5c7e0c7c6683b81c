// Dialogs, message boxes and menus through the user-interaction interface.

#include "platform/controls/TDialogs.h"

#include <gtest/gtest.h>

#include "platform/controls/HeadlessInteraction.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/TMenu.h"
#include "platform/controls/UnattendedInteraction.h"
#include "platform/core/Files.h"

namespace {

class DialogsTest : public ::testing::Test {
protected:
    DialogsTest() : FStartDir(GetCurrentDir()) {}
    ~DialogsTest() override { SetCurrentDir(FStartDir); }
    TApplication App;
    THeadlessScript Script;
    std::string FStartDir;
};

TEST_F(DialogsTest, AChosenFileChangesTheCurrentFolderUnlessTold)
{
    const std::string dir = FStartDir + "/dialogs_test_folder";
    CreateDir(dir);
    TSaveDialog save(nullptr);
    Script.AnswerSave(dir + "/gallery.gpf").AnswerSave("");
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName(), dir + "/gallery.gpf");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(GetCurrentDir()), dir);
    EXPECT_FALSE(save.Execute());  // cancelled
    SetCurrentDir(FStartDir);
    TOpenDialog open(nullptr);
    open.SetOptions(open.Options() | ofNoChangeDir);
    Script.AnswerOpen({dir + "/x.jpg"});
    ASSERT_TRUE(open.Execute());
    EXPECT_EQ(ExcludeTrailingPathDelimiter(GetCurrentDir()), ExcludeTrailingPathDelimiter(FStartDir));
    RemoveDir(dir);
}

TEST_F(DialogsTest, SeveralFilesNeedMultipleSelection)
{
    TOpenPictureDialog open(nullptr);
    open.SetOptions(open.Options() | ofNoChangeDir);
    Script.AnswerOpen({"/a.jpg", "/b.jpg"});
    EXPECT_THROW(open.Execute(), EUnscriptedInteraction);
    open.SetOptions(open.Options() | ofAllowMultiSelect);
    Script.AnswerOpen({"/a.jpg", "/b.jpg"});
    ASSERT_TRUE(open.Execute());
    EXPECT_EQ(open.Files().Count(), 2);
    EXPECT_EQ(open.FileName(), "/a.jpg");
}

TEST_F(DialogsTest, QuestionsMustComeInTheScriptedOrder)
{
    Script.AnswerColor(clRed).AnswerMessage(IDOK);
    EXPECT_THROW(ShowMessage("first"), EUnscriptedInteraction);
}

TEST_F(DialogsTest, MessageDlgAnswersModalResultsUnderItsCaption)
{
    App.SetTitle("Gallery");
    Script.AnswerMessage(IDNO).AnswerMessage(IDOK, "done");
    EXPECT_EQ(MessageDlg("Overwrite?", mtConfirmation, mbYes | mbNo), 7);
    ShowMessage("All done");
    ASSERT_EQ(Script.Asked().size(), 2u);
    EXPECT_EQ(Script.Asked()[0].Caption, "Confirm");
    EXPECT_EQ(Script.Asked()[1].Caption, "Gallery");
}

TEST_F(DialogsTest, MessageBoxesBreakLinesAtCrLfAndCrLf)
{
    using Lines = std::vector<std::string>;
    const struct {
        std::string text;
        Lines lines;
    } cases[] = {
        {"one line", {"one line"}},
        {"No Picture select!\rKein Bild gew\xE4hlt!", {"No Picture select!", "Kein Bild gew\xE4hlt!"}},
        {"a\r\nb\nc", {"a", "b", "c"}},
        {"a\n\rb", {"a", "", "b"}},  // LF then CR: two breaks
        {"a\r\r\nb\r\n", {"a", "", "b", ""}},
        {"", {""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MessageLines(c.text), c.lines) << c.text;
        Script.AnswerMessage(IDOK);
        ShowMessage(c.text);
        EXPECT_EQ(Script.Asked().back().Lines, c.lines) << c.text;
        EXPECT_EQ(Script.Asked().back().Text, c.text);  // the text itself as it was asked
    }
}

TEST_F(DialogsTest, ColourFontAndFolder)
{
    TColorDialog colour(nullptr);
    TFontDialog font(nullptr);
    TFont chosen;
    chosen.SetName("Verdana");
    Script.AnswerColor(clNavy).CancelColor().AnswerFont(chosen).AnswerFolder("/pics").AnswerFolder("");
    ASSERT_TRUE(colour.Execute());
    EXPECT_EQ(colour.Color(), clNavy);
    EXPECT_FALSE(colour.Execute());
    EXPECT_EQ(colour.Color(), clNavy);
    ASSERT_TRUE(font.Execute());
    EXPECT_EQ(font.Font().Name(), "Verdana");
    std::string folder = "unchanged";
    EXPECT_TRUE(BrowseForFolder("Choose", folder));
    EXPECT_EQ(folder, "/pics");
    EXPECT_FALSE(BrowseForFolder("Choose", folder));
}

TEST_F(DialogsTest, MenusRadioItemsAndPopups)
{
    TComponent owner(nullptr);
    TPopupMenu menu(&owner);
    menu.SetName("Popup");
    auto* english = new TMenuItem(&owner);
    english->SetName("English");
    english->SetRadioItem(true);
    auto* german = new TMenuItem(&owner);
    german->SetName("German");
    german->SetRadioItem(true);
    auto* toggle = new TMenuItem(&owner);
    toggle->SetAutoCheck(true);
    menu.Items().Add(english);
    menu.Items().Add(german);
    menu.Items().Add(toggle);
    int clicks = 0;
    german->OnClick = [&clicks](TObject*) { ++clicks; };
    english->SetChecked(true);
    german->SetChecked(true);  // unchecks its group, runs nothing
    EXPECT_FALSE(english->Checked());
    EXPECT_EQ(clicks, 0);
    toggle->Click();
    EXPECT_TRUE(toggle->Checked());
    Script.AnswerPopup("German").AnswerPopup("");
    menu.Popup(10, 10);
    menu.Popup(10, 10);  // dismissed
    EXPECT_EQ(clicks, 1);
    delete german;  // leaves its menu
    EXPECT_EQ(menu.Items().Count(), 2);
}

}  // namespace

TEST(UnattendedInteractionTest, KeepsMessagesAcceptsModalFormsAndChoosesNothing)
{
    TApplication app;
    TUnattendedInteraction unattended;
    ASSERT_EQ(InstalledUserInteraction(), &unattended);
    ShowMessage("first");
    EXPECT_EQ(MessageDlg("second", mtError, mbYes | mbNo), IDOK);
    EXPECT_EQ(unattended.Messages(), (std::vector<std::string>{"first", "second"}));
    TForm form(nullptr);
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_FALSE(form.Visible());
    // A form that will not close on OK fails instead of waiting for ever.
    form.OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
    EXPECT_THROW(form.ShowModal(), EUnscriptedInteraction);
    TOpenDialog open(nullptr);
    EXPECT_FALSE(open.Execute());
    std::string folder = "/";
    EXPECT_FALSE(BrowseForFolder("where", folder));
}

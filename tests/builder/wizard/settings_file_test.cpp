#include "builder/wizard/SettingsFile.h"

#include <gtest/gtest.h>

#include <string>

#include "builder/dialogs/SaveSettingsPrompt.h"
#include "platform/core/Files.h"
#include "tests/builder/program_fixture.h"

namespace {

using buildertest::BuilderProgramTest;

TEST(SettingsText, ContainsSelectsAndOnlyTheExactLineSwitchesOn)
{
    struct Case {
        const char* name;
        const char* text;
        TBuilderSettings before;
        bool sound;
        bool color;
    };
    const Case cases[] = {
        {"the file of an earlier German run", "SOUND=OFF\r\nCOLOR=ON\r\nLANG=deu\r\n", {true, false}, false, true},
        {"a blank after ON switches off", "SOUND=ON \r\n", {true, true}, false, true},
        {"exact ON switches on", "SOUND=ON\r\nCOLOR=ON\r\n", {false, false}, true, true},
        {"any line that contains the word selects", "MYCOLORS\r\nxSOUNDx\r\n", {true, true}, false, false},
        {"the word is case-sensitive", "sound=off\r\ncolor=off\r\n", {true, true}, true, true},
        {"bare LF lines and a last line without end", "SOUND=OFF\nCOLOR=OFF", {true, true}, false, false},
        {"a later line wins", "SOUND=OFF\r\nSOUND=ON\r\n", {true, true}, true, true},
        {"LANG and other lines change nothing", "LANG=eng\r\nHELLO\r\n\r\n", {false, true}, false, true},
        {"an empty file changes nothing", "", {false, true}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBuilderSettings settings = c.before;
        ApplySettingsText(c.text, settings);
        EXPECT_EQ(settings.SoundEffects, c.sound);
        EXPECT_EQ(settings.ColorEffects, c.color);
    }
}

TEST(SettingsText, WrittenInOrderWithCrLfAndEveryOtherLanguageAsDeu)
{
    EXPECT_EQ(SettingsText({true, false}, "eng"), "SOUND=ON\r\nCOLOR=OFF\r\nLANG=eng\r\n");
    EXPECT_EQ(SettingsText({false, true}, "ger"), "SOUND=OFF\r\nCOLOR=ON\r\nLANG=deu\r\n");
    for (bool sound : {false, true})
        for (bool color : {false, true}) {
            TBuilderSettings back{!sound, !color};
            ApplySettingsText(SettingsText({sound, color}, "ger"), back);
            EXPECT_EQ(back.SoundEffects, sound);
            EXPECT_EQ(back.ColorEffects, color);
        }
}

using StartUpSettings = BuilderProgramTest;

TEST_F(StartUpSettings, TheFileSetsTheAnimationSwitchesButNeverTheLanguage)
{
    WriteFileBytes(SettingsFile(), "SOUND=OFF\r\nCOLOR=ON\r\nLANG=deu\r\n");
    Wizard->Color1->SetChecked(false);
    Wizard->LoadSettings(SettingsFile());
    EXPECT_FALSE(Wizard->AnAus1->Checked());
    EXPECT_TRUE(Wizard->Color1->Checked());
    // What the start-up left: English, to be applied by the first poll.
    EXPECT_EQ(CurrentLanguage, "eng");
    EXPECT_TRUE(Wizard->English1->Checked());
    EXPECT_FALSE(Wizard->Deutsch1->Checked());
    EXPECT_FALSE(LanguageApplied);
}

TEST_F(StartUpSettings, AMissingFileChangesNothing)
{
    Wizard->AnAus1->SetChecked(false);
    Wizard->LoadSettings(SettingsFile());
    EXPECT_FALSE(Wizard->AnAus1->Checked());
    EXPECT_TRUE(Wizard->Color1->Checked());
    EXPECT_TRUE(Script.Asked().empty());
}

TEST_F(StartUpSettings, AnUnreadableFileIsReportedAndTheStartGoesOn)
{
    // A folder of that name cannot be read as a file.
    ASSERT_TRUE(CreateDir(SettingsFile()));
    Wizard->AnAus1->SetChecked(false);
    Script.AnswerMessage(IDOK, "settings.dat");
    EXPECT_NO_THROW(Wizard->LoadSettings(SettingsFile()));
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_FALSE(Wizard->AnAus1->Checked());
    EXPECT_TRUE(Wizard->Color1->Checked());
}

using LeavingTheBuilder = BuilderProgramTest;

class ExitInGerman : public BuilderProgramTest, public ::testing::WithParamInterface<int> {};

TEST_P(ExitInGerman, AsksThenWritesTheSwitchesAndTheLanguage)
{
    Start->MTranBtn5->Click();  // to German
    Start->MTranBtn4->Click();  // the wizard shows
    Wizard->AnAus1->Click();    // sounds off
    Script.AnswerModal("SaveSettingsPrompt", GetParam());
    if (GetParam() == mrYes)
        Script.AnswerSave(Folder.Path() + "leaving");
    Wizard->Exit1->Click();
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_EQ(FileExists(Folder.Path() + "leaving.vt2"), GetParam() == mrYes);
    EXPECT_EQ(ReadFileBytes(SettingsFile()), "SOUND=OFF\r\nCOLOR=ON\r\nLANG=deu\r\n");
    EXPECT_FALSE(Wizard->Visible());
    EXPECT_TRUE(App.Terminated());

    // The next start reads what this one wrote.
    Wizard->AnAus1->SetChecked(true);
    Wizard->Color1->SetChecked(false);
    Wizard->LoadSettings(SettingsFile());
    EXPECT_FALSE(Wizard->AnAus1->Checked());
    EXPECT_TRUE(Wizard->Color1->Checked());
}

INSTANTIATE_TEST_SUITE_P(SaveAnswers, ExitInGerman, ::testing::Values(int(mrNo), int(mrYes)),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == mrYes ? std::string("Yes") : std::string("No");
                         });

// A save asked for on leaving that does not happen keeps the wizard and its
// set-up: cancelled in the dialog, or failing on a folder that cannot be written.
TEST_F(LeavingTheBuilder, ASaveThatDidNotHappenKeepsTheWizardOpen)
{
    const std::string earlier = "SOUND=ON\r\nCOLOR=OFF\r\nLANG=eng\r\n";
    WriteFileBytes(SettingsFile(), earlier);
    Start->MTranBtn4->Click();
    for (const std::string& answer : {std::string(), Folder.Path() + "no-such-folder/leaving"}) {
        SCOPED_TRACE(answer.empty() ? "cancelled" : "failed");
        Script.AnswerModal("SaveSettingsPrompt", mrYes);
        Script.AnswerSave(answer);
        if (!answer.empty())
            Script.AnswerMessage(IDOK, "could not be saved");
        Wizard->Exit1->Click();
        EXPECT_EQ(Script.Pending(), 0u);
        EXPECT_TRUE(Wizard->Visible());
        EXPECT_FALSE(App.Terminated());
        EXPECT_EQ(ReadFileBytes(SettingsFile()), earlier);
    }
    // Saved at the next try, the wizard closes.
    Script.AnswerModal("SaveSettingsPrompt", mrYes);
    Script.AnswerSave(Folder.Path() + "leaving");
    Wizard->Exit1->Click();
    EXPECT_TRUE(FileExists(Folder.Path() + "leaving.vt2"));
    EXPECT_TRUE(App.Terminated());
}

TEST_F(LeavingTheBuilder, TheStartScreensExitButtonWritesNothing)
{
    const std::string earlier = "SOUND=ON\r\nCOLOR=OFF\r\nLANG=eng\r\n";
    WriteFileBytes(SettingsFile(), earlier);
    Start->MTranBtn5->Click();
    Wizard->AnAus1->Click();
    Start->MTranBtn3->Click();
    EXPECT_TRUE(App.Terminated());
    EXPECT_TRUE(Script.Asked().empty());
    EXPECT_EQ(ReadFileBytes(SettingsFile()), earlier);
}

TEST_F(LeavingTheBuilder, BackToAssistHidesTheWizardAndShowsTheStartScreen)
{
    Start->MTranBtn4->Click();
    Start->Hide();
    Wizard->BackToAssist1->Click();
    EXPECT_FALSE(Wizard->Visible());
    EXPECT_TRUE(Start->Visible());
    EXPECT_FALSE(App.Terminated());
}

}  // namespace

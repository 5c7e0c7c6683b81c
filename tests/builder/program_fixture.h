#pragma once

// The builder as the program makes it: all its windows in the program's
// order, the start screen the main window, headless with a scripted
// user-interaction, shell starts recorded only, and the program folder moved
// to a private temporary folder so that the settings file is the test's own.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "builder/program/BuilderWindows.h"
#include "builder/dialogs/GalleryKindDialog.h"
#include "builder/language/Language.h"
#include "builder/wizard/StartScreen.h"
#include "builder/wizard/WizardForm.h"
#include "platform/controls/HeadlessInteraction.h"
#include "platform/controls/LayoutReader.h"
#include "platform/controls/TApplication.h"
#include "platform/core/Files.h"
#include "platform/shell/ShellExecute.h"
#include "tests/builder/wizard_fixture.h"

namespace buildertest {

class BuilderProgramTest : public ::testing::Test {
protected:
    BuilderProgramTest()
    {
        // The folder lists start in the current folder, which an earlier
        // test's file dialog may have left in a folder since deleted.
        SetCurrentDir(Folder.Path());
        SetLayoutDirectory(GALLERY_SOURCE_DIR "/resources");
        SetShellRecordOnly(true);
        ClearRecordedShellStarts();
        CreateBuilderWindows(App);
        Start = StartScreen;
        Wizard = WizardForm;
        Kind = GalleryKindDialog;
        Wizard->ProgramFolder = Folder.Path();
    }

    ~BuilderProgramTest() override { SetCurrentDir(std::filesystem::temp_directory_path().string()); }

    std::string SettingsFile() const { return Folder.Path() + "settings.dat"; }

    TempFolder Folder;
    TApplication App;
    THeadlessScript Script;
    TVM* Start = nullptr;
    TForm1* Wizard = nullptr;
    TForm21* Kind = nullptr;
};

}  // namespace buildertest

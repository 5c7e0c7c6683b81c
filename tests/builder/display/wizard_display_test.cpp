// The wizard and its dialogs as real windows under a private X server: every
// page and dialog is shown and photographed into <build>/screenshots/, and
// real mouse moves and clicks reach the hover marks and the Start button.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "builder/generator/GalleryBuild.h"
#include "builder/dialogs/BackgroundDialog.h"
#include "builder/dialogs/BuildCancelWindow.h"
#include "builder/dialogs/FolderChooserDialog.h"
#include "builder/dialogs/FontOptionsDialog.h"
#include "builder/language/Language.h"
#include "builder/dialogs/LimitsDialog.h"
#include "builder/dialogs/MetaTagsEditor.h"
#include "builder/dialogs/NewFolderDialog.h"
#include "builder/wizard/WizardForm.h"
#include "platform/controls/TApplication.h"
#include "platform/display/DisplayBackend.h"
#include "platform/shell/ShellExecute.h"
#include "tests/builder/display/builder_display.h"
#include "tests/platform/display/display_loop.h"
#include "tests/platform/display/x_server.h"

namespace {

using DisplayLoop::Pump;
using DisplayLoop::PumpUntil;
using DisplayLoop::Shot;

const auto* const ServerEnvironment = ::testing::AddGlobalTestEnvironment(new DisplayLoop::TServerEnvironment);

class WizardDisplay : public TBuilderDisplay<::testing::Test> {
protected:
    void SetUp() override
    {
        StartApplication();
        if (IsSkipped())
            return;
        LanguageApplied = true;
        // The program's order, as far as these windows go.
        App->CreateForm(WizardForm);
        InstallGalleryBuild(*WizardForm);
        App->CreateForm(FolderChooserDialog);
        App->CreateForm(NewFolderDialog);
        App->CreateForm(BackgroundDialog);
        App->CreateForm(FontOptionsDialog);
        App->CreateForm(LimitsDialog);
        App->CreateForm(BuildCancelWindow);
        App->CreateForm(MetaTagsEditor);
        WizardForm->ConnectDialogs();
        Wizard = WizardForm;
    }
    static void MoveOnto(const TControl& control, int x, int y)
    {
        const TPoint p = control.ClientToScreen({x, y});
        ASSERT_TRUE(XServer::Tool("mousemove --sync " + std::to_string(p.X) + " " + std::to_string(p.Y)));
    }

    TForm1* Wizard = nullptr;
};

TEST_F(WizardDisplay, EveryPageShowsItsGroupsAndPictures)
{
    Wizard->Show();
    TPageControl& pages = *Wizard->PageControl1;
    for (int i = 0; i < pages.PageCount(); ++i) {
        TTabSheet* page = pages.Pages(i);
        SCOPED_TRACE(page->Name());
        pages.SetActivePage(page);
        EXPECT_FALSE(Shot("wizard-" + page->Name(), *Wizard).empty());
    }
}

TEST_F(WizardDisplay, EveryDialogOfTheWizardShows)
{
    for (TCustomForm* form : std::initializer_list<TCustomForm*>{FolderChooserDialog, NewFolderDialog,
                                                                 BuildCancelWindow, MetaTagsEditor}) {
        SCOPED_TRACE(form->Name());
        form->Show();
        EXPECT_FALSE(Shot("dialog-" + form->Name(), *form).empty());
        form->Hide();
    }
}

TEST_F(WizardDisplay, RealMouseMovesMarkFramesAndStartOpensTheChooser)
{
    Wizard->Show();
    Wizard->Color1->SetChecked(true);
    Wizard->PageControl1->SetActivePage(Wizard->TabSheet4);
    Pump(300);
    MoveOnto(*Wizard->Memo4, 20, 20);
    EXPECT_TRUE(PumpUntil([&] { return Wizard->Shape7->Brush().Color() == clSilver; }));
    MoveOnto(*Wizard->Shape8, 3, 3);
    EXPECT_TRUE(PumpUntil([&] { return Wizard->Shape8->Brush().Color() == clSilver; }));
    EXPECT_EQ(Wizard->Shape7->Brush().Color(), clWhite);
    Shot("wizard-hover-texts", *Wizard);

    Wizard->PageControl1->SetActivePage(Wizard->TabSheet2);
    Wizard->RadioButton3->SetChecked(true);
    Pump(300);
    // The check boxes of a marked group take its grey.
    MoveOnto(*Wizard->Shape3, 3, 3);
    EXPECT_TRUE(PumpUntil([&] { return Wizard->CheckBox3->Color() == clSilver; }));
    Shot("wizard-hover-gallery", *Wizard);
    const TPoint p = Wizard->Image31->ClientToScreen({24, 24});
    ASSERT_TRUE(XServer::Tool("mousemove --sync " + std::to_string(p.X) + " " + std::to_string(p.Y) + " click 1"));
    EXPECT_TRUE(PumpUntil([&] { return FolderChooserDialog->Visible(); }));
    EXPECT_TRUE(Wizard->StartPending);
    Shot("dialog-FolderChooserDialog-start", *FolderChooserDialog);
}

}  // namespace

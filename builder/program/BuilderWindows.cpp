#include "builder/generator/GalleryBuild.h"
#include "builder/program/BuilderWindows.h"

#include "builder/dialogs/BackgroundDialog.h"
#include "builder/dialogs/BuildCancelWindow.h"
#include "builder/dialogs/CompressProgressForm.h"
#include "builder/dialogs/CopyrightDialog.h"
#include "builder/dialogs/FolderChooserDialog.h"
#include "builder/dialogs/FontOptionsDialog.h"
#include "builder/dialogs/GalleryDoneDialog.h"
#include "builder/dialogs/GalleryKindDialog.h"
#include "builder/dialogs/LimitsDialog.h"
#include "builder/dialogs/MetaTagsEditor.h"
#include "builder/dialogs/NewFolderDialog.h"
#include "builder/dialogs/OverwritePrompt.h"
#include "builder/dialogs/PdfDoneDialog.h"
#include "builder/dialogs/PdfPageHolderForm.h"
#include "builder/dialogs/PictureEditorForm.h"
#include "builder/dialogs/PleaseWaitForm.h"
#include "builder/dialogs/SaveSettingsPrompt.h"
#include "builder/wizard/StartScreen.h"
#include "builder/dialogs/UpdateFoundDialog.h"
#include "builder/wizard/WizardForm.h"
#include "platform/controls/TApplication.h"

void CreateBuilderWindows(TApplication& application)
{
    application.CreateForm(StartScreen);
    application.CreateForm(WizardForm);
    InstallGalleryBuild(*WizardForm);
    application.CreateForm(FolderChooserDialog);
    application.CreateForm(NewFolderDialog);
    application.CreateForm(GalleryDoneDialog);
    application.CreateForm(BackgroundDialog);
    application.CreateForm(FontOptionsDialog);
    application.CreateForm(SaveSettingsPrompt);
    application.CreateForm(CopyrightDialog);
    application.CreateForm(CompressProgressForm);
    application.CreateForm(LimitsDialog);
    application.CreateForm(BuildCancelWindow);
    application.CreateForm(OverwritePrompt);
    application.CreateForm(MetaTagsEditor);
    application.CreateForm(PleaseWaitForm);
    application.CreateForm(PictureEditorForm);
    application.CreateForm(UpdateFoundDialog);
    application.CreateForm(PdfPageHolderForm);
    application.CreateForm(PdfDoneDialog);
    application.CreateForm(GalleryKindDialog);
    WizardForm->ConnectDialogs();
    WizardForm->OnBuildStateChange = [](TObject*) {
        if (StartScreen)
            StartScreen->BuildStateChanged();
    };
}

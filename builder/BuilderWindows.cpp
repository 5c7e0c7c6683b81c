#include "builder/BuilderWindows.h"

#include "builder/BackgroundDialog.h"
#include "builder/BuildCancelWindow.h"
#include "builder/CompressProgressForm.h"
#include "builder/CopyrightDialog.h"
#include "builder/FolderChooserDialog.h"
#include "builder/FontOptionsDialog.h"
#include "builder/GalleryDoneDialog.h"
#include "builder/GalleryKindDialog.h"
#include "builder/LimitsDialog.h"
#include "builder/MetaTagsEditor.h"
#include "builder/NewFolderDialog.h"
#include "builder/OverwritePrompt.h"
#include "builder/PdfDoneDialog.h"
#include "builder/PdfPageHolderForm.h"
#include "builder/PictureEditorForm.h"
#include "builder/PleaseWaitForm.h"
#include "builder/SaveSettingsPrompt.h"
#include "builder/StartScreen.h"
#include "builder/UpdateFoundDialog.h"
#include "builder/WizardForm.h"
#include "platform/controls/TApplication.h"

void CreateBuilderWindows(TApplication& application)
{
    application.CreateForm(StartScreen);
    application.CreateForm(WizardForm);
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
    WizardForm->OnBuildStateChange = [](TObject*) {
        if (StartScreen)
            StartScreen->BuildStateChanged();
    };
}

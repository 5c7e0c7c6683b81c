#include "uploader/SendaroWindows.h"

#include "platform/controls/TApplication.h"
#include "uploader/AccountChooser.h"
#include "uploader/AccountEditor.h"
#include "uploader/ProtocolWindow.h"
#include "uploader/UploaderWindow.h"

void CreateSendaroWindows(TApplication& application)
{
    application.CreateForm(UploaderWindow);
    application.CreateForm(AccountEditor);
    application.CreateForm(AccountChooser);
    application.CreateForm(ProtocolWindow);
    application.CreateForm(FolderExistsPrompt);
}

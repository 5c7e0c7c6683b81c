// "Save Gallery" and "Load Gallery": the dialogs around the project files.

#include "builder/wizard/WizardForm.h"

#include "builder/wizard/ProjectFile.h"
#include "platform/core/AnsiString.h"

bool TForm1::SaveProject()
{
    auto* dialog = SaveDialog1;
    dialog->SetInitialDir(ProgramFolder);
    if (!dialog->Execute())
        return false;
    std::string fileName = dialog->FileName();
    if (Pos(".vt2", fileName) == 0)
        fileName += ".vt2";
    try {
        WriteProjectFile(*this, fileName);
    } catch (const Exception& e) {
        ShowMessage("The gallery could not be saved to " + fileName + ":\r\n" + e.Message());
        return false;
    }
    return true;
}

void TForm1::LoadProject()
{
    auto* dialog = OpenDialog2;
    if (!dialog->Execute())
        return;
    const std::string fileName = dialog->FileName();
    try {
        if (Pos(".vtn", fileName) > 0 || Pos(".VTN", fileName) > 0)
            ReadProjectFileV1(*this, fileName);
        if (Pos(".vt2", fileName) > 0 || Pos(".VT2", fileName) > 0)
            ReadProjectFile(*this, fileName);
    } catch (const EProjectFileError& e) {
        ShowMessage(e.Message());
    } catch (const Exception& e) {
        ShowMessage("The gallery " + fileName + " could not be loaded:\r\n" + e.Message());
    }
}

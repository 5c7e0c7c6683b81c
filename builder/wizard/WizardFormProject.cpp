// "Save Gallery" and "Load Gallery": the dialogs around the project files.

#include "builder/wizard/WizardForm.h"

#include "builder/wizard/ProjectFile.h"
#include "platform/core/AnsiString.h"
#include "platform/core/Files.h"

bool TForm1::SaveProject()
{
    auto* dialog = SaveDialog1;
    dialog->SetInitialDir(ProgramFolder);
    if (!dialog->Execute())
        return false;
    // The name's own extension counts, not a ".vt2" somewhere in its folders.
    std::string fileName = dialog->FileName();
    if (!SameText(ExtractFileExt(fileName), ".vt2"))
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
    const std::string extension = ExtractFileExt(fileName);
    try {
        if (SameText(extension, ".vtn"))
            ReadProjectFileV1(*this, fileName);
        else if (SameText(extension, ".vt2"))
            ReadProjectFile(*this, fileName);
        else
            ShowMessage("The file " + fileName + " is not a gallery project (.vt2 or .vtn).");
    } catch (const EProjectFileError& e) {
        ShowMessage(e.Message());
    } catch (const Exception& e) {
        ShowMessage("The gallery " + fileName + " could not be loaded:\r\n" + e.Message());
    }
}

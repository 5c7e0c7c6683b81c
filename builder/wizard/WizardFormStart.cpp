// Start and Publish: the two ways out of the wizard, both through the
// gallery-folder chooser; and the meta tags editor's opener.

#include "builder/wizard/WizardForm.h"

#include "builder/dialogs/ButtonSounds.h"
#include "builder/dialogs/FolderChooserDialog.h"
#include "builder/dialogs/FormReference.h"
#include "builder/dialogs/LimitsDialog.h"
#include "builder/dialogs/MetaHeadText.h"
#include "builder/dialogs/MetaTagsEditor.h"
#include "platform/controls/TDialogs.h"
#include "platform/core/Files.h"
#include "platform/shell/ShellExecute.h"
#include "shared/veskotools.h"

void TForm1::Image31Click(TObject*)
{
    PlayButtonSound();
    StartPending = true;
    if (RadioButton4->Checked() && PageControl1->ActivePage() == TabSheet5)
        Edit4->SetText(Edit14->Text());
    if (RadioButton10->Checked()) {
        TForm11& limits = FormRef(LimitsDialog, "TForm11");
        TEdit* const height = ExeGalleryMode ? Edit19 : Edit22;
        TEdit* const width = ExeGalleryMode ? Edit20 : Edit23;
        TEdit* const size = ExeGalleryMode ? Edit21 : Edit24;
        limits.Edit1->SetText(height->Text());
        limits.Edit2->SetText(width->Text());
        limits.Edit3->SetText(size->Text());
    }
    TForm2& chooser = FormRef(FolderChooserDialog, "TForm2");
    chooser.SetCaption("Select Directory / Zielorder ausw\xE4hlen..");
    chooser.Label1->SetCaption("Select Gallary Destination / Wohin soll die Galerie gespeichert werden?:");
    if (RadioButton4->Checked() || RadioButton10->Checked())
        BitBtn2Click(this);
    else
        chooser.Show();
}

void TForm1::Image53Click(TObject*)
{
    StartPending = false;
    TForm2& chooser = FormRef(FolderChooserDialog, "TForm2");
    chooser.SetCaption("Galerie ausw\xE4hlen / Select Gallery Folder");
    chooser.Label1->SetCaption("Wo befindet sich Ihre Galerie / Select Your Gallery Folder");
    // A chooser still open from a Start is taken over, not shown twice.
    if (chooser.Visible())
        chooser.Hide();
    if (chooser.ShowModal() != mrOk)
        return;
    std::string folder = chooser.ChosenFolder();
    if (!FileExists(IncludeTrailingPathDelimiter(folder) + "start.html")) {
        ShowMessage("No gallery found");
        return;
    }
    // The uploader takes the folder as one argument, so its blanks travel as "*".
    ReplaceText(" ", "*", folder, 1);
    // Said, not kept silent: without the uploader nothing else would happen.
    const std::string uploader = ProgramFolder + "ftp/sendaro.exe";
    if (!ShellStarted(ShellExecute(Handle(), "open", uploader, folder, "", SW_SHOWNORMAL)))
        ShowMessage("The uploader could not be started: " + uploader);
}

void TForm1::Image51Click(TObject*)
{
    PlayButtonSound();
    TForm14& editor = FormRef(MetaTagsEditor, "TForm14");
    editor.Memo1->SetText(MetaHeadText);
    editor.Show();
}

#include "builder/dialogs/FolderChooserDialog.h"

#include "builder/dialogs/FormReference.h"
#include "builder/dialogs/NewFolderDialog.h"
#include "platform/controls/TDialogs.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

TForm2* FolderChooserDialog = nullptr;

namespace {

// The components TForm2 holds, by their names in the layout.
const TBindingTable FolderChooserDialogBindings = {
    {"Label1", &TForm2::Label1},
    {"DriveComboBox1", &TForm2::DriveComboBox1},
    {"DirectoryListBox1", &TForm2::DirectoryListBox1},
    {"StaticText1", &TForm2::StaticText1},
    {"Label2", &TForm2::Label2},
    {"BitBtn1", &TForm2::BitBtn1},
    {"BitBtn2", &TForm2::BitBtn2},
    {"FileListBox1", &TForm2::FileListBox1},
};

}  // namespace

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("DirectoryListBox1Change", this, &TForm2::DirectoryListBox1Change);
    handlers.Add("DriveComboBox1Change", this, &TForm2::DriveComboBox1Change);
    handlers.Add("BitBtn1Click", this, &TForm2::BitBtn1Click);
    handlers.Add("BitBtn2Click", this, &TForm2::BitBtn2Click);
    ReadLayout("FolderChooserDialog", handlers, &FolderChooserDialogBindings);
    StaticText1->SetCaption(ChosenFolder());
}

TForm2::~TForm2()
{
    if (FolderChooserDialog == this)
        FolderChooserDialog = nullptr;
}

std::string TForm2::ChosenFolder() const
{
    const int index = DirectoryListBox1->ItemIndex();
    if (index < 0)
        return DirectoryListBox1->Directory();
    return DirectoryListBox1->GetItemPath(index);
}

void TForm2::DriveComboBox1Change(TObject*)
{
    try {
        DirectoryListBox1->SetDrive(DriveComboBox1->Drive());
    } catch (const EInOutError&) {
        ShowMessage("disc / medium not ready");
        DriveComboBox1->SetDrive(DirectoryListBox1->Drive());
    }
    DirectoryListBox1->Update();
}

void TForm2::BitBtn1Click(TObject*)
{
    FormRef(NewFolderDialog, "TForm3").Show();
}

void TForm2::DirectoryListBox1Change(TObject*)
{
    StaticText1->SetCaption(ChosenFolder());
}

void TForm2::BitBtn2Click(TObject*)
{
    if (OnOk)
        OnOk(*this);
}

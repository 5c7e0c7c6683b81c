#include "builder/dialogs/NewFolderDialog.h"

#include "builder/dialogs/FolderChooserDialog.h"
#include "builder/dialogs/FormReference.h"
#include "platform/controls/TDialogs.h"
#include "platform/core/Files.h"

TForm3* NewFolderDialog = nullptr;

namespace {

// The components TForm3 holds, by their names in the layout.
const TBindingTable NewFolderDialogBindings = {
    {"Label1", &TForm3::Label1},
    {"Edit1", &TForm3::Edit1},
    {"Button1", &TForm3::Button1},
    {"Button2", &TForm3::Button2},
};

}  // namespace

TForm3::TForm3(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("Button1Click", this, &TForm3::Button1Click);
    handlers.Add("Button2Click", this, &TForm3::Button2Click);
    ReadLayout("NewFolderDialog", handlers, &NewFolderDialogBindings);
}

TForm3::~TForm3()
{
    if (NewFolderDialog == this)
        NewFolderDialog = nullptr;
}

void TForm3::Button1Click(TObject*)
{
    TForm2& chooser = FormRef(FolderChooserDialog, "TForm2");
    TDirectoryListBox& folders = *chooser.DirectoryListBox1;
    const std::string name = Edit1->Text();
    // An empty name, or one that climbs out of the chosen folder, would make
    // nothing new or something elsewhere: both fail like any other refusal.
    const bool nameUsable = !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
    // Inside the folder the chooser shows as chosen, which a single click selects
    // without opening it.
    const std::string path = IncludeTrailingPathDelimiter(chooser.ChosenFolder()) + name;
    if (!nameUsable || !CreateDir(path))
        ShowMessage("Error by create directory");
    else
        folders.SetDirectory(path);
    folders.Update();
    Hide();
}

void TForm3::Button2Click(TObject*)
{
    Hide();
}

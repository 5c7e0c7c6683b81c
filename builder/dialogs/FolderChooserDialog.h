#pragma once

// The gallery-folder chooser. Its Ok! (BitBtn2, modal result OK) hands the
// chooser to OnOk, where the wizard starts a build into the chosen folder when
// a Start is pending; otherwise it only closes a modal showing. The hidden file list FileListBox1 (mask "*.cnt") is the one a
// PHP build uses to find the old counter files of a gallery folder.

#include <functional>
#include <string>

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TFileControls.h"
#include "platform/controls/TLabel.h"

class TForm2 : public TForm {
public:
    explicit TForm2(TComponent* AOwner);
    ~TForm2() override;
    const char* ClassName() const override { return "TForm2"; }

    // The chosen folder, without a final "/" (except the root): the one
    // selected in the folder list, which is its open folder unless a click
    // picked another.
    std::string ChosenFolder() const;

    TLabel* Label1;
    TDriveComboBox* DriveComboBox1;
    TDirectoryListBox* DirectoryListBox1;
    TStaticText* StaticText1;
    TLabel* Label2;
    TBitBtn* BitBtn1;  // Create New Folder
    TBitBtn* BitBtn2;  // Ok!
    TFileListBox* FileListBox1;
    std::function<void(TForm2&)> OnOk;

private:
    // A drive that cannot be read gets "disc / medium not ready", and the
    // drive box goes back to the folder list's drive.
    void DriveComboBox1Change(TObject* Sender);
    // Shows the new-folder dialog.
    void BitBtn1Click(TObject* Sender);
    // Clicks and changes of the folder list: the chosen folder in StaticText1.
    void DirectoryListBox1Change(TObject* Sender);
    void BitBtn2Click(TObject* Sender);
};

extern TForm2* FolderChooserDialog;

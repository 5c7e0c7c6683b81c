#pragma once

// The gallery folder choice. Started remotely, its creation collects the
// gallery named on the command line at once and hands over to the work
// window; a second later its timer preselects overwriting the originals.

#include "platform/controls/TCustomForm.h"
#include "platform/controls/TFileControls.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TTimer.h"
#include "shared/Tranbtn.h"

class TForm3 : public TForm {
public:
    explicit TForm3(TComponent* AOwner);
    ~TForm3() override;
    const char* ClassName() const override { return "TForm3"; }

    TDriveComboBox* DriveComboBox1;
    TDirectoryListBox* DirectoryListBox1;
    TFileListBox* FileListBox1;  // hidden: the gallery's matching pictures
    TLabel* Label3;              // "x Full screens"
    TLabel* Label4;              // "x Thumbs"
    TMTranBtn* MTranBtn1;        // "back"
    TMTranBtn* MTranBtn2;        // "next"
    TTimer* Timer1;

    // The file list's matches, as full paths, become the work window's list.
    void CollectIntoPictureList();

private:
    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Timer1Timer(TObject* Sender);
    void MTranBtn1Click(TObject* Sender);
    void MTranBtn2Click(TObject* Sender);
    void DriveComboBox1Change(TObject* Sender);
};

extern TForm3* GallerySelectDialog;

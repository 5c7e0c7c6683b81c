#pragma once

// The plug-in's work window, three pages: the picture list (page 1), the
// mark and its preview (page 2), the save options and the batch run (page 3).

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCheckBox.h"
#include "platform/controls/TComboBox.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TFileControls.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TListBox.h"
#include "platform/controls/TPageControl.h"
#include "platform/controls/TPanel.h"
#include "platform/controls/TTimer.h"
#include "platform/controls/TTrackBar.h"
#include "platform/controls/TUpDown.h"
#include "platform/graphics/TBitmap.h"
#include "shared/Tranbtn.h"
#include "watermark/WatermarkStamp.h"

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;
    const char* ClassName() const override { return "TForm1"; }

    TMTranBtn* MTranBtn1;  // "<< Back to assist"
    TPageControl* PageControl1;
    TTabSheet* TabSheet1;  // 2. mark options
    TTabSheet* TabSheet2;  // 1. picture list
    TTabSheet* TabSheet3;  // 3. create and save

    // Page 1.
    TDriveComboBox* DriveComboBox1;
    TDirectoryListBox* DirectoryListBox1;
    TFileListBox* FileListBox1;
    TListBox* ListBox1;  // the picture list, one full path a line
    TBitBtn* BitBtn5;    // "<< Add picture"
    TBitBtn* BitBtn6;    // "Delete item"
    TBitBtn* BitBtn7;    // "Delete list"
    TImage* Image10;     // preview monitor
    TCheckBox* CheckBox6;
    TCheckBox* CheckBox7;
    TRadioButton* RadioButton10;  // original size
    TRadioButton* RadioButton11;  // monitor size

    // Page 2.
    TScrollBox* ScrollBox1;
    TImage* Image1;  // preview and result
    TImage* Image2;  // the current picture, hidden
    TRadioButton* RadioButton8;  // text
    TRadioButton* RadioButton9;  // picture
    TEdit* Edit1;
    TScrollBox* ScrollBox2;
    TLabel* Label1;  // the text mark's sample
    TComboBox* ComboBox1;  // fonts
    TEdit* Edit2;
    TUpDown* UpDown1;  // text size
    TBitBtn* BitBtn2;  // "Load Image"
    TOpenPictureDialog* OpenPictureDialog1;
    TImage* Image8;  // the loaded mark picture
    TImage* Image9;  // the mark as stamped (the picture, or its mask)
    TCheckBox* CheckBox4;  // black and white
    TEdit* Edit4;
    TUpDown* UpDown3;  // tolerance
    TMemo* Memo1;      // colour under the pointer
    TMemo* Memo2;
    TMemo* Memo3;
    TLabel* Label7;
    TTrackBar* TrackBar1;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label6;
    TEdit* Edit3;
    TUpDown* UpDown2;  // rotation
    TRadioButton* RadioButton3;  // top left
    TRadioButton* RadioButton4;  // bottom left
    TRadioButton* RadioButton5;  // top right
    TRadioButton* RadioButton6;  // bottom right
    TRadioButton* RadioButton7;  // centre
    TCheckBox* CheckBox1;  // red
    TCheckBox* CheckBox2;  // green
    TCheckBox* CheckBox3;  // blue
    TBitBtn* BitBtn1;      // "Run preview"
    TRadioButton* RadioButton1;  // full size
    TRadioButton* RadioButton2;  // stretch
    TBitBtn* BitBtn3;  // "< B"
    TBitBtn* BitBtn4;  // "N >"
    TComboBox* ComboBox2;  // "IMG direct"
    TCheckBox* CheckBox5;  // auto-preview

    // Page 3.
    TRadioButton* RadioButton12;  // original file name
    TRadioButton* RadioButton13;  // name + counter
    TEdit* Edit5;
    TRadioButton* RadioButton14;  // overwrite
    TBitBtn* BitBtn8;  // "select"
    TLabel* Label21;   // the output folder
    TBitBtn* BitBtn9;  // "Start"
    TLabel* Label23;   // progress
    TImage* Image14;
    TTimer* Timer1;

    // The mark; rebuilt at every rendering but the black-and-white mask.
    std::unique_ptr<TBitmap> WatermarkBitmap;

    void SetPictureList(const std::vector<std::string>& paths);
    // The remote start's second step, a second after the windows were made.
    void RemoteStartReady(const std::string& galleryDir);

    // "Run preview": the mark stamped into a copy of Image2, shown in Image1.
    void RenderWatermark();
    void RunBatch();
    // Whether "Start" may run now.
    bool OutputChosen() const;

    void PageControl1Change(TObject* Sender);
    void BitBtn4Click(TObject* Sender);
    void BitBtn3Click(TObject* Sender);
    void ComboBox2Change(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void BitBtn8Click(TObject* Sender);
    void Image8MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void BitBtn2Click(TObject* Sender);

private:
    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void MTranBtn1Click(TObject* Sender);
    void DriveComboBox1Change(TObject* Sender);
    void AddCurrentFile(TObject* Sender);
    void ListBox1DragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
    void ListBox1DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void BitBtn6Click(TObject* Sender);
    void BitBtn7Click(TObject* Sender);
    void FileListBox1Click(TObject* Sender);
    // Names the files of the file list's folder that it cannot show, once
    // for each reading that finds others than the last.
    void TellUnrepresentable();
    void ListBox1Click(TObject* Sender);
    void RadioButton10Click(TObject* Sender);
    void RadioButton11Click(TObject* Sender);
    void RadioButton12Click(TObject* Sender);
    void RadioButton13Click(TObject* Sender);
    void RadioButton14Click(TObject* Sender);
    void BitBtn9Click(TObject* Sender);

    // Page 2's own handlers.
    void BitBtn1Click(TObject* Sender);
    void Edit1Key(TObject* Sender, std::uint16_t& Key, TShiftState Shift);
    void Edit1Click(TObject* Sender);
    void ComboBox1Change(TObject* Sender);
    void UpDown1Changing(TObject* Sender, bool& AllowChange);
    void TrackBar1Change(TObject* Sender);
    void RadioButton8Click(TObject* Sender);
    void MarkKindClick(TObject* Sender);
    void CheckBox4Click(TObject* Sender);
    void Image8MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void RadioButton1Click(TObject* Sender);
    void RadioButton2Click(TObject* Sender);

    void ShowMonitorPicture(const std::string& path);
    void FillPictureChoice();
    // Image2 and the preview take list line `index`.
    void LoadListPicture(int index);
    void ShowCurrentPicture();
    void SetStrengthRange();
    void ApplyStretch();
    TMarkPosition MarkPosition() const;
    void BuildMark();

    bool FBatchRunning = false;
    // The folder and the names TellUnrepresentable named last.
    std::string FToldFolder;
    std::vector<std::string> FToldNames;
};

extern TForm1* WatermarkWindow;

// The folder tree follows the drive box; a drive that cannot be read is said
// and the box goes back to the tree's drive.
void FollowDrive(TDriveComboBox& drives, TDirectoryListBox& folders);

#include "watermark/GallerySelectDialog.h"

#include "platform/controls/TApplication.h"
#include "platform/controls/TDialogs.h"
#include "watermark/GalleryCollection.h"
#include "watermark/WatermarkAssistant.h"
#include "watermark/WatermarkWindow.h"

TForm3* GallerySelectDialog = nullptr;

namespace {

// The components TForm3 holds, by their names in the layout.
const TBindingTable GallerySelectDialogBindings = {
    {"DriveComboBox1", &TForm3::DriveComboBox1},
    {"DirectoryListBox1", &TForm3::DirectoryListBox1},
    {"FileListBox1", &TForm3::FileListBox1},
    {"Label3", &TForm3::Label3},
    {"Label4", &TForm3::Label4},
    {"MTranBtn1", &TForm3::MTranBtn1},
    {"MTranBtn2", &TForm3::MTranBtn2},
    {"Timer1", &TForm3::Timer1},
};

}  // namespace

TForm3::TForm3(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("FormCreate", this, &TForm3::FormCreate);
    handlers.Add("FormClose", this, &TForm3::FormClose);
    handlers.Add("Timer1Timer", this, &TForm3::Timer1Timer);
    handlers.Add("MTranBtn1Click", this, &TForm3::MTranBtn1Click);
    handlers.Add("MTranBtn2Click", this, &TForm3::MTranBtn2Click);
    handlers.Add("DriveComboBox1Change", this, &TForm3::DriveComboBox1Change);
    ReadLayout("GallerySelectDialog", handlers, &GallerySelectDialogBindings);
}

TForm3::~TForm3()
{
    if (GallerySelectDialog == this)
        GallerySelectDialog = nullptr;
}

void TForm3::CollectIntoPictureList()
{
    std::vector<std::string> names;
    const TStrings& items = FileListBox1->Items();
    for (int i = 0; i < items.Count(); ++i)
        names.push_back(items.Strings(i));
    WatermarkWindow->SetPictureList(CollectGallery(FileListBox1->Directory(), names));
}

void TForm3::FormCreate(TObject*)
{
    if (RemoteMode != "fern")
        return;
    FileListBox1->SetMask(WatermarkAssistant->ChosenGalleryMask());
    DirectoryListBox1->SetDirectory(GalleryDir);
    FileListBox1->SetDirectory(GalleryDir);
    CollectIntoPictureList();
    Hide();
    WatermarkWindow->Show();
    WatermarkAssistant->Hide();
    WatermarkAssistant->MTranBtn1->SetEnabled(false);
    WatermarkAssistant->MTranBtn2->SetEnabled(false);
    Timer1->SetEnabled(true);
}

void TForm3::Timer1Timer(TObject*)
{
    Timer1->SetEnabled(false);
    WatermarkAssistant->Hide();
    WatermarkAssistant->MTranBtn1->SetEnabled(true);
    WatermarkAssistant->MTranBtn2->SetEnabled(true);
    WatermarkWindow->RemoteStartReady(GalleryDir);
}

void TForm3::FormClose(TObject*, TCloseAction&)
{
    Application->Terminate();
}

void TForm3::MTranBtn1Click(TObject*)
{
    Hide();
    WatermarkAssistant->Show();
}

void TForm3::MTranBtn2Click(TObject*)
{
    FileListBox1->SetDirectory(DirectoryListBox1->Directory());
    if (FileListBox1->Items().Count() == 0) {
        ShowMessage("No gallery found..");
        return;
    }
    CollectIntoPictureList();
    WatermarkWindow->DirectoryListBox1->SetDirectory(DirectoryListBox1->Directory());
    Hide();
    WatermarkWindow->Show();
}

void TForm3::DriveComboBox1Change(TObject*)
{
    FollowDrive(*DriveComboBox1, *DirectoryListBox1);
}

#include "watermark/WatermarkWindow.h"

#include "platform/controls/TApplication.h"
#include "platform/controls/TScreen.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "watermark/BatchOutput.h"
#include "watermark/WatermarkAssistant.h"

TForm1* WatermarkWindow = nullptr;

namespace {

constexpr const char* NoFolder = "no dir selected";

std::unique_ptr<TBitmap> LoadedBitmap(const std::string& path)
{
    auto bitmap = std::make_unique<TBitmap>();
    LoadPictureBitmap(path, *bitmap);
    return bitmap;
}

// Asked once, before the batch writes anything, when files are already where it would write.
bool MayReplace(const std::vector<std::string>& existing)
{
    const std::string text =
        existing.size() == 1
            ? "\"" + existing.front() + "\" is already there and would be replaced by a stamped picture.\r\n"
              "Replace it?"
            : std::to_string(existing.size()) + " files are already there and would be replaced by stamped "
              "pictures; the first is \"" + existing.front() + "\".\r\nReplace them?";
    return Application->MessageBox(text, Application->Title(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace

namespace {

// The components TForm1 holds, by their names in the layout.
const TBindingTable WatermarkWindowBindings = {
    {"MTranBtn1", &TForm1::MTranBtn1},
    {"PageControl1", &TForm1::PageControl1},
    {"TabSheet1", &TForm1::TabSheet1},
    {"TabSheet2", &TForm1::TabSheet2},
    {"TabSheet3", &TForm1::TabSheet3},
    {"DriveComboBox1", &TForm1::DriveComboBox1},
    {"DirectoryListBox1", &TForm1::DirectoryListBox1},
    {"FileListBox1", &TForm1::FileListBox1},
    {"ListBox1", &TForm1::ListBox1},
    {"BitBtn5", &TForm1::BitBtn5},
    {"BitBtn6", &TForm1::BitBtn6},
    {"BitBtn7", &TForm1::BitBtn7},
    {"Image10", &TForm1::Image10},
    {"CheckBox6", &TForm1::CheckBox6},
    {"CheckBox7", &TForm1::CheckBox7},
    {"RadioButton10", &TForm1::RadioButton10},
    {"RadioButton11", &TForm1::RadioButton11},
    {"ScrollBox1", &TForm1::ScrollBox1},
    {"Image1", &TForm1::Image1},
    {"Image2", &TForm1::Image2},
    {"RadioButton8", &TForm1::RadioButton8},
    {"RadioButton9", &TForm1::RadioButton9},
    {"Edit1", &TForm1::Edit1},
    {"ScrollBox2", &TForm1::ScrollBox2},
    {"Label1", &TForm1::Label1},
    {"ComboBox1", &TForm1::ComboBox1},
    {"Edit2", &TForm1::Edit2},
    {"UpDown1", &TForm1::UpDown1},
    {"BitBtn2", &TForm1::BitBtn2},
    {"OpenPictureDialog1", &TForm1::OpenPictureDialog1},
    {"Image8", &TForm1::Image8},
    {"Image9", &TForm1::Image9},
    {"CheckBox4", &TForm1::CheckBox4},
    {"Edit4", &TForm1::Edit4},
    {"UpDown3", &TForm1::UpDown3},
    {"Memo1", &TForm1::Memo1},
    {"Memo2", &TForm1::Memo2},
    {"Memo3", &TForm1::Memo3},
    {"Label7", &TForm1::Label7},
    {"TrackBar1", &TForm1::TrackBar1},
    {"Label2", &TForm1::Label2},
    {"Label3", &TForm1::Label3},
    {"Label6", &TForm1::Label6},
    {"Edit3", &TForm1::Edit3},
    {"UpDown2", &TForm1::UpDown2},
    {"RadioButton3", &TForm1::RadioButton3},
    {"RadioButton4", &TForm1::RadioButton4},
    {"RadioButton5", &TForm1::RadioButton5},
    {"RadioButton6", &TForm1::RadioButton6},
    {"RadioButton7", &TForm1::RadioButton7},
    {"CheckBox1", &TForm1::CheckBox1},
    {"CheckBox2", &TForm1::CheckBox2},
    {"CheckBox3", &TForm1::CheckBox3},
    {"BitBtn1", &TForm1::BitBtn1},
    {"RadioButton1", &TForm1::RadioButton1},
    {"RadioButton2", &TForm1::RadioButton2},
    {"BitBtn3", &TForm1::BitBtn3},
    {"BitBtn4", &TForm1::BitBtn4},
    {"ComboBox2", &TForm1::ComboBox2},
    {"CheckBox5", &TForm1::CheckBox5},
    {"RadioButton12", &TForm1::RadioButton12},
    {"RadioButton13", &TForm1::RadioButton13},
    {"Edit5", &TForm1::Edit5},
    {"RadioButton14", &TForm1::RadioButton14},
    {"BitBtn8", &TForm1::BitBtn8},
    {"Label21", &TForm1::Label21},
    {"BitBtn9", &TForm1::BitBtn9},
    {"Label23", &TForm1::Label23},
    {"Image14", &TForm1::Image14},
    {"Timer1", &TForm1::Timer1},
};

}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("FormCreate", this, &TForm1::FormCreate);
    handlers.Add("FormClose", this, &TForm1::FormClose);
    handlers.Add("MTranBtn1Click", this, &TForm1::MTranBtn1Click);
    handlers.Add("PageControl1Change", this, &TForm1::PageControl1Change);
    handlers.Add("DriveComboBox1Change", this, &TForm1::DriveComboBox1Change);
    handlers.Add("FileListBox1DblClick", this, &TForm1::AddCurrentFile);
    handlers.Add("BitBtn5Click", this, &TForm1::AddCurrentFile);
    handlers.Add("ListBox1DragOver", this, &TForm1::ListBox1DragOver);
    handlers.Add("ListBox1DragDrop", this, &TForm1::ListBox1DragDrop);
    handlers.Add("BitBtn6Click", this, &TForm1::BitBtn6Click);
    handlers.Add("BitBtn7Click", this, &TForm1::BitBtn7Click);
    handlers.Add("FileListBox1Click", this, &TForm1::FileListBox1Click);
    handlers.Add("ListBox1Click", this, &TForm1::ListBox1Click);
    handlers.Add("RadioButton10Click", this, &TForm1::RadioButton10Click);
    handlers.Add("RadioButton11Click", this, &TForm1::RadioButton11Click);
    handlers.Add("BitBtn4Click", this, &TForm1::BitBtn4Click);
    handlers.Add("BitBtn3Click", this, &TForm1::BitBtn3Click);
    handlers.Add("ComboBox2Change", this, &TForm1::ComboBox2Change);
    handlers.Add("RadioButton12Click", this, &TForm1::RadioButton12Click);
    handlers.Add("RadioButton13Click", this, &TForm1::RadioButton13Click);
    handlers.Add("RadioButton14Click", this, &TForm1::RadioButton14Click);
    handlers.Add("BitBtn8Click", this, &TForm1::BitBtn8Click);
    handlers.Add("Timer1Timer", this, &TForm1::Timer1Timer);
    handlers.Add("BitBtn9Click", this, &TForm1::BitBtn9Click);
    handlers.Add("BitBtn1Click", this, &TForm1::BitBtn1Click);
    handlers.Add("Edit1KeyDown", this, &TForm1::Edit1Key);
    handlers.Add("Edit1KeyUp", this, &TForm1::Edit1Key);
    handlers.Add("Edit1Click", this, &TForm1::Edit1Click);
    handlers.Add("ComboBox1Change", this, &TForm1::ComboBox1Change);
    handlers.Add("UpDown1Changing", this, &TForm1::UpDown1Changing);
    handlers.Add("TrackBar1Change", this, &TForm1::TrackBar1Change);
    handlers.Add("RadioButton8Click", this, &TForm1::RadioButton8Click);
    handlers.Add("RadioButton9Click", this, &TForm1::MarkKindClick);
    handlers.Add("CheckBox4Click", this, &TForm1::CheckBox4Click);
    handlers.Add("BitBtn2Click", this, &TForm1::BitBtn2Click);
    handlers.Add("Image8MouseMove", this, &TForm1::Image8MouseMove);
    handlers.Add("Image8MouseDown", this, &TForm1::Image8MouseDown);
    handlers.Add("RadioButton1Click", this, &TForm1::RadioButton1Click);
    handlers.Add("RadioButton2Click", this, &TForm1::RadioButton2Click);
    ReadLayout("WatermarkWindow", handlers, &WatermarkWindowBindings);
    // A selection runs it too; only a reading with new names is told.
    FileListBox1->OnChange = [this](TObject*) { TellUnrepresentable(); };
}

TForm1::~TForm1()
{
    if (WatermarkWindow == this)
        WatermarkWindow = nullptr;
}

void TForm1::FormCreate(TObject*)
{
    WatermarkBitmap = std::make_unique<TBitmap>();
    ComboBox1->Items().Assign(Screen->Fonts());
}

void TForm1::FormClose(TObject*, TCloseAction&)
{
    Application->Terminate();
}

void TForm1::MTranBtn1Click(TObject*)
{
    Hide();
    WatermarkAssistant->Show();
}

void TForm1::SetPictureList(const std::vector<std::string>& paths)
{
    ListBox1->Items().Clear();
    for (const std::string& path : paths)
        ListBox1->Items().Add(path);
}

void TForm1::RemoteStartReady(const std::string& galleryDir)
{
    DirectoryListBox1->SetDirectory(galleryDir);
    RadioButton14->SetChecked(true);
    if (ListBox1->Items().Count() == 0) {
        // A folder without the gallery's pictures: said, and the list is left to compose.
        ShowMessage("No gallery found..\r\n" + galleryDir);
        return;
    }
    FillPictureChoice();
    try {
        LoadListPicture(0);
    } catch (const Exception& e) {
        ShowMessage(e.what());
    }
    PageControl1->SetActivePage(TabSheet1);
    ShowMessage("Now choose your watermark image or enter your watermark text and then run the progress.");
}

// ---- Page 1: the picture list.

void FollowDrive(TDriveComboBox& drives, TDirectoryListBox& folders)
{
    try {
        folders.SetDrive(drives.Drive());
    } catch (const EInOutError& e) {
        ShowMessage(e.what());
        drives.SetDrive(folders.Drive());
    }
}

void TForm1::DriveComboBox1Change(TObject*)
{
    FollowDrive(*DriveComboBox1, *DirectoryListBox1);
}

void TForm1::AddCurrentFile(TObject*)
{
    const std::string file = FileListBox1->FileName();
    if (!file.empty())
        ListBox1->Items().Add(file);
}

void TForm1::ListBox1DragOver(TObject*, TObject*, int, int, TDragState, bool& Accept)
{
    Accept = true;
}

void TForm1::ListBox1DragDrop(TObject*, TObject* Source, int, int)
{
    if (Source != FileListBox1)
        return;
    for (int i = 0; i < FileListBox1->Items().Count(); ++i)
        if (FileListBox1->Selected(i))
            ListBox1->Items().Add(IncludeTrailingPathDelimiter(FileListBox1->Directory()) +
                                  FileListBox1->Items().Strings(i));
}

void TForm1::BitBtn6Click(TObject*)
{
    const int index = ListBox1->ItemIndex();
    if (index >= 0 && index < ListBox1->Items().Count())
        ListBox1->Items().Delete(index);
}

void TForm1::BitBtn7Click(TObject*)
{
    ListBox1->Items().Clear();
}

void TForm1::ShowMonitorPicture(const std::string& path)
{
    try {
        Image10->Picture().SetGraphic(LoadedBitmap(path));
    } catch (const Exception& e) {
        ShowMessage(e.what());
    }
}

void TForm1::FileListBox1Click(TObject*)
{
    if (CheckBox6->Checked() && !FileListBox1->FileName().empty())
        ShowMonitorPicture(FileListBox1->FileName());
}

void TForm1::TellUnrepresentable()
{
    const std::vector<std::string>& names = FileListBox1->Unrepresentable();
    if (names.empty() || (FileListBox1->Directory() == FToldFolder && names == FToldNames))
        return;
    FToldFolder = FileListBox1->Directory();
    FToldNames = names;
    std::string text = "These files cannot be shown, their names hold letters outside Windows-1252 "
                       "(shown by their bytes):";
    for (const std::string& name : names)
        text += "\r\n" + name;
    ShowMessage(text);
}

void TForm1::ListBox1Click(TObject*)
{
    const int index = ListBox1->ItemIndex();
    if (CheckBox7->Checked() && index >= 0 && index < ListBox1->Items().Count())
        ShowMonitorPicture(ListBox1->Items().Strings(index));
}

void TForm1::RadioButton10Click(TObject*)
{
    Image10->SetStretch(false);
    Image10->SetAutoSize(true);
}

void TForm1::RadioButton11Click(TObject*)
{
    Image10->SetAutoSize(false);
    if (TWinControl* box = Image10->Parent())
        Image10->SetBounds(0, 0, box->ClientWidth(), box->ClientHeight());
    Image10->SetStretch(true);
}

// ---- Pages and navigation.

void TForm1::FillPictureChoice()
{
    ComboBox2->Items().Clear();
    for (int i = 1; i <= ListBox1->Items().Count(); ++i)
        ComboBox2->Items().Add("Bild " + std::to_string(i));
}

void TForm1::LoadListPicture(int index)
{
    ListBox1->SetItemIndex(index);
    const std::string& path = ListBox1->Items().Strings(index);
    auto bitmap = LoadedBitmap(path);
    Image1->Picture().SetGraphic(bitmap.get());
    Image2->Picture().SetGraphic(std::move(bitmap));
}

void TForm1::PageControl1Change(TObject*)
{
    if (PageControl1->ActivePage() != TabSheet1 && PageControl1->ActivePage() != TabSheet3)
        return;
    if (ListBox1->Items().Count() == 0) {
        ShowMessage("Please compose a picture list before run");
        PageControl1->SetActivePage(TabSheet2);
        return;
    }
    FillPictureChoice();
    try {
        LoadListPicture(0);
    } catch (const Exception& e) {
        ShowMessage(e.what());
    }
}

void TForm1::ShowCurrentPicture()
{
    const int index = ListBox1->ItemIndex();
    if (index < 0 || index >= ListBox1->Items().Count())
        return;
    try {
        Image2->Picture().SetGraphic(LoadedBitmap(ListBox1->Items().Strings(index)));
    } catch (const Exception& e) {
        ShowMessage(e.what());
        return;
    }
    if (CheckBox5->Checked()) {
        RenderWatermark();
        return;
    }
    Image1->Picture().Assign(Image2->Picture());
    if (RadioButton2->Checked())
        ApplyStretch();
}

void TForm1::BitBtn4Click(TObject*)
{
    const int index = ListBox1->ItemIndex();
    if (index + 1 >= ListBox1->Items().Count())
        return;
    ListBox1->SetItemIndex(index + 1);
    ShowCurrentPicture();
}

void TForm1::BitBtn3Click(TObject*)
{
    const int index = ListBox1->ItemIndex();
    if (index <= 0)
        return;
    ListBox1->SetItemIndex(index - 1);
    ShowCurrentPicture();
}

void TForm1::ComboBox2Change(TObject*)
{
    const int index = ComboBox2->ItemIndex();
    if (index < 0 || index >= ListBox1->Items().Count())
        return;
    ListBox1->SetItemIndex(index);
    ShowCurrentPicture();
}

// ---- Page 3: saving.

void TForm1::RadioButton12Click(TObject*)
{
    BitBtn8->SetEnabled(true);
    Edit5->SetColor(0xC0C0C0);
    Edit5->SetEnabled(false);
}

void TForm1::RadioButton13Click(TObject*)
{
    BitBtn8->SetEnabled(true);
    Edit5->SetColor(clWhite);
    Edit5->SetEnabled(true);
}

void TForm1::RadioButton14Click(TObject*)
{
    BitBtn8->SetEnabled(false);
}

void TForm1::BitBtn8Click(TObject*)
{
    std::string folder;
    if (!BrowseForFolder("Verzeichnis w\xE4hlen..", folder))
        folder.clear();
    Label21->SetCaption(folder);
}

bool TForm1::OutputChosen() const
{
    // A cancelled choice leaves no folder, not the root of the disk.
    const std::string& folder = Label21->Caption();
    return (folder != NoFolder && !folder.empty()) || RadioButton14->Checked();
}

void TForm1::Timer1Timer(TObject*)
{
    BitBtn9->SetEnabled(OutputChosen());
}

void TForm1::BitBtn9Click(TObject*)
{
    RunBatch();
}

void TForm1::RunBatch()
{
    // "Start" stays clickable while the batch processes messages; a second run would interleave.
    if (FBatchRunning || !OutputChosen())
        return;
    FBatchRunning = true;
    struct TRunEnd {
        bool& Running;
        ~TRunEnd() { Running = false; }
    } runEnd{FBatchRunning};
    const TSaveChoice choice = RadioButton14->Checked()   ? TSaveChoice::Overwrite
                               : RadioButton13->Checked() ? TSaveChoice::NameAndCounter
                                                          : TSaveChoice::OriginalName;
    std::vector<std::string> paths;
    for (int i = 0; i < ListBox1->Items().Count(); ++i)
        paths.push_back(ListBox1->Items().Strings(i));
    // The user's originals are replaced only by the choice that says so.
    const std::string original = ListedFileWrittenOver(paths, choice, Label21->Caption(), Edit5->Text());
    if (!original.empty()) {
        ShowMessage("The output folder holds the pictures themselves: \"" + original +
                    "\" would be replaced by its stamped copy.\r\nChoose another output folder, or choose "
                    "\"Overwrite the original files\" to replace the pictures.");
        return;
    }
    // The builder's remote start overwrites its gallery in place and asks nothing.
    if (RemoteMode != "fern") {
        const std::vector<std::string> existing = FilesWrittenOver(paths, choice, Label21->Caption(), Edit5->Text());
        if (!existing.empty() && !MayReplace(existing))
            return;
    }
    Label23->SetCaption("Start..");
    Application->ProcessMessages();
    const int n = static_cast<int>(paths.size());
    std::string failures;
    int stamped = 0;
    int counter = 1;
    for (int i = 0; i < n; ++i) {
        const std::string& path = paths[i];
        // One picture that cannot be read or written is named at the end; the others are still stamped.
        try {
            if (i < ListBox1->Items().Count())
                ListBox1->SetItemIndex(i);
            Image2->Picture().SetGraphic(LoadedBitmap(path));
            Image14->Picture().Assign(Image2->Picture());
            Application->ProcessMessages();
            RenderWatermark();
            const std::string target = BatchTarget(path, choice, Label21->Caption(), Edit5->Text(), counter);
            SaveStampedPicture(Image1->Picture().Bitmap(), target, IsJpegPath(path));
            ++stamped;
        } catch (const Exception& e) {
            failures += std::string(e.what()) + "\r\n";
        }
        Application->ProcessMessages();
        Label23->SetCaption("Datei " + std::to_string(i + 1) + " / " + std::to_string(n) + " fertig..");
        Application->ProcessMessages();
        ++counter;
    }
    Screen->SetCursor(crDefault);
    if (!failures.empty())
        ShowMessage("Not stamped:\r\n" + failures);
    // "complete!" only when every picture was written.
    ShowMessage(stamped == n ? std::string("complete!")
                             : std::to_string(stamped) + " of " + std::to_string(n) + " pictures stamped.");
    Label23->SetCaption("");
    Image14->Picture().SetGraphic(static_cast<const TGraphic*>(nullptr));
}

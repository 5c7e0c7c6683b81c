#include "builder/wizard/WizardForm.h"

#include "builder/dialogs/BackgroundDialog.h"
#include "builder/dialogs/BuildCancelWindow.h"
#include "builder/dialogs/ButtonSounds.h"
#include "builder/dialogs/CopyrightDialog.h"
#include "builder/dialogs/FolderChooserDialog.h"
#include "builder/dialogs/FontOptionsDialog.h"
#include "builder/dialogs/GalleryKindDialog.h"
#include "builder/dialogs/LimitsDialog.h"
#include "builder/dialogs/PictureEditorForm.h"
#include "pdf/PReport.h"
#include "platform/core/DateTime.h"
#include "platform/core/Files.h"
#include "shared/veskotools.h"

TForm1* WizardForm = nullptr;

namespace {

// The components TForm1 holds, by their names in the layout.
const TBindingTable WizardFormBindings = {
    {"MainMenu1", &TForm1::MainMenu1},
    {"PReport1", &TForm1::PReport1},
    {"Gallery1", &TForm1::Gallery1},
    {"Save1", &TForm1::Save1},
    {"Load1", &TForm1::Load1},
    {"Exit1", &TForm1::Exit1},
    {"AnAus1", &TForm1::AnAus1},
    {"Color1", &TForm1::Color1},
    {"English1", &TForm1::English1},
    {"Deutsch1", &TForm1::Deutsch1},
    {"BackToAssist1", &TForm1::BackToAssist1},
    {"Rotation1", &TForm1::Rotation1},
    {"Brightness1", &TForm1::Brightness1},
    {"Contrast1", &TForm1::Contrast1},
    {"Colors1", &TForm1::Colors1},

    {"Timer1", &TForm1::Timer1},
    {"Timer2", &TForm1::Timer2},

    {"PageControl1", &TForm1::PageControl1},
    {"TabSheet1", &TForm1::TabSheet1},
    {"TabSheet2", &TForm1::TabSheet2},
    {"TabSheet4", &TForm1::TabSheet4},
    {"TabSheet5", &TForm1::TabSheet5},
    {"TabSheet6", &TForm1::TabSheet6},
    {"TabSheet7", &TForm1::TabSheet7},
    {"TabSheet8", &TForm1::TabSheet8},
    {"TabSheet9", &TForm1::TabSheet9},
    {"Image1", &TForm1::Image1},
    {"Image2", &TForm1::Image2},
    {"Image5", &TForm1::Image5},
    {"Image8", &TForm1::Image8},
    {"Image18", &TForm1::Image18},
    {"Image20", &TForm1::Image20},
    {"Image57", &TForm1::Image57},
    {"Image58", &TForm1::Image58},
    {"Shape1", &TForm1::Shape1},
    {"Shape2", &TForm1::Shape2},
    {"Shape3", &TForm1::Shape3},
    {"Shape4", &TForm1::Shape4},
    {"Shape5", &TForm1::Shape5},
    {"Shape6", &TForm1::Shape6},
    {"Shape7", &TForm1::Shape7},
    {"Shape8", &TForm1::Shape8},
    {"Shape9", &TForm1::Shape9},
    {"Shape10", &TForm1::Shape10},
    {"Shape11", &TForm1::Shape11},
    {"Shape12", &TForm1::Shape12},
    {"Shape13", &TForm1::Shape13},
    {"Shape14", &TForm1::Shape14},
    {"Panel2", &TForm1::Panel2},
    {"Panel3", &TForm1::Panel3},
    {"Image6", &TForm1::Image6},
    {"Image16", &TForm1::Image16},
    {"Image17", &TForm1::Image17},
    {"Image19", &TForm1::Image19},
    {"Image56", &TForm1::Image56},
    {"Image53", &TForm1::Image53},
    {"Image54", &TForm1::Image54},
    {"Image55", &TForm1::Image55},
    {"Image51", &TForm1::Image51},

    {"ListBox1", &TForm1::ListBox1},
    {"ListBox2", &TForm1::ListBox2},
    {"Image3", &TForm1::Image3},
    {"Image7", &TForm1::Image7},
    {"Image52", &TForm1::Image52},
    {"Edit10", &TForm1::Edit10},
    {"Image25", &TForm1::Image25},
    {"Image26", &TForm1::Image26},
    {"Image27", &TForm1::Image27},
    {"BitBtn1", &TForm1::BitBtn1},
    {"BitBtn3", &TForm1::BitBtn3},
    {"BitBtn4", &TForm1::BitBtn4},
    {"BitBtn6", &TForm1::BitBtn6},
    {"BitBtn12", &TForm1::BitBtn12},
    {"Label52", &TForm1::Label52},
    {"PopupMenu1", &TForm1::PopupMenu1},
    {"OpenPictureDialog1", &TForm1::OpenPictureDialog1},

    {"RadioButton3", &TForm1::RadioButton3},
    {"RadioButton4", &TForm1::RadioButton4},
    {"RadioButton5", &TForm1::RadioButton5},
    {"RadioButton10", &TForm1::RadioButton10},
    {"Label2", &TForm1::Label2},
    {"Image31", &TForm1::Image31},
    {"BitBtn2", &TForm1::BitBtn2},
    {"ProgressBar1", &TForm1::ProgressBar1},
    {"ProgressBar2", &TForm1::ProgressBar2},
    {"ProgressBar3", &TForm1::ProgressBar3},
    {"ProgressBar4", &TForm1::ProgressBar4},
    {"ProgressBar5", &TForm1::ProgressBar5},
    {"FileListBox1", &TForm1::FileListBox1},
    {"SaveDialog2", &TForm1::SaveDialog2},
    {"OpenDialog1", &TForm1::OpenDialog1},
    {"SaveDialog1", &TForm1::SaveDialog1},
    {"OpenDialog2", &TForm1::OpenDialog2},
    {"CheckBox1", &TForm1::CheckBox1},

    {"RadioButton1", &TForm1::RadioButton1},
    {"RadioButton2", &TForm1::RadioButton2},
    {"Edit1", &TForm1::Edit1},
    {"UpDown1", &TForm1::UpDown1},
    {"Edit2", &TForm1::Edit2},
    {"UpDown2", &TForm1::UpDown2},
    {"Edit3", &TForm1::Edit3},
    {"UpDown3", &TForm1::UpDown3},
    {"Edit4", &TForm1::Edit4},
    {"Edit5", &TForm1::Edit5},
    {"UpDown4", &TForm1::UpDown4},
    {"Edit6", &TForm1::Edit6},
    {"UpDown5", &TForm1::UpDown5},
    {"ComboBox1", &TForm1::ComboBox1},
    {"CheckBox7", &TForm1::CheckBox7},
    {"Label24", &TForm1::Label24},
    {"Edit8", &TForm1::Edit8},
    {"UpDown6", &TForm1::UpDown6},
    {"CheckBox3", &TForm1::CheckBox3},
    {"CheckBox8", &TForm1::CheckBox8},
    {"CheckBox10", &TForm1::CheckBox10},
    {"Edit9", &TForm1::Edit9},
    {"CheckBox9", &TForm1::CheckBox9},
    {"Label27", &TForm1::Label27},
    {"CheckBox11", &TForm1::CheckBox11},
    {"CheckBox12", &TForm1::CheckBox12},
    {"CheckBox14", &TForm1::CheckBox14},
    {"CheckBox15", &TForm1::CheckBox15},
    {"CheckBox16", &TForm1::CheckBox16},
    {"Image21", &TForm1::Image21},
    {"Image22", &TForm1::Image22},
    {"Image23", &TForm1::Image23},

    {"Memo3", &TForm1::Memo3},
    {"Memo4", &TForm1::Memo4},
    {"Memo5", &TForm1::Memo5},
    {"CheckBox4", &TForm1::CheckBox4},
    {"CheckBox5", &TForm1::CheckBox5},
    {"CheckBox6", &TForm1::CheckBox6},
    {"Image28", &TForm1::Image28},
    {"Image29", &TForm1::Image29},
    {"Image30", &TForm1::Image30},

    {"RadioButton6", &TForm1::RadioButton6},
    {"RadioButton7", &TForm1::RadioButton7},
    {"Edit11", &TForm1::Edit11},
    {"UpDown7", &TForm1::UpDown7},
    {"Edit12", &TForm1::Edit12},
    {"UpDown8", &TForm1::UpDown8},
    {"Edit13", &TForm1::Edit13},
    {"UpDown9", &TForm1::UpDown9},
    {"Edit14", &TForm1::Edit14},
    {"Edit15", &TForm1::Edit15},
    {"UpDown10", &TForm1::UpDown10},
    {"CheckBox2", &TForm1::CheckBox2},
    {"Image15", &TForm1::Image15},

    {"RadioButton8", &TForm1::RadioButton8},
    {"RadioButton9", &TForm1::RadioButton9},
    {"Edit16", &TForm1::Edit16},
    {"UpDown11", &TForm1::UpDown11},
    {"Edit17", &TForm1::Edit17},
    {"UpDown12", &TForm1::UpDown12},
    {"Edit18", &TForm1::Edit18},
    {"UpDown13", &TForm1::UpDown13},
    {"CheckBox13", &TForm1::CheckBox13},

    {"RadioButton11", &TForm1::RadioButton11},
    {"RadioButton12", &TForm1::RadioButton12},
    {"Edit19", &TForm1::Edit19},
    {"Edit20", &TForm1::Edit20},
    {"Edit21", &TForm1::Edit21},
    {"Memo2", &TForm1::Memo2},
    {"Label51", &TForm1::Label51},
    {"Label54", &TForm1::Label54},

    {"RadioButton13", &TForm1::RadioButton13},
    {"RadioButton14", &TForm1::RadioButton14},
    {"Edit22", &TForm1::Edit22},
    {"Edit23", &TForm1::Edit23},
    {"Edit24", &TForm1::Edit24},
    {"Edit25", &TForm1::Edit25},
    {"Edit26", &TForm1::Edit26},
    {"Edit27", &TForm1::Edit27},
    {"Label58", &TForm1::Label58},
};

}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable h;
    AddStartAndExitHandlers(h);
    h.Add("FormCreate", this, &TForm1::FormCreate);
    h.Add("OptionChanged", this, &TForm1::OptionChanged);
    h.Add("BitBtn2Click", this, &TForm1::BitBtn2Click);
    h.Add("ListBox1Click", this, &TForm1::ListBox1Click);
    h.Add("Edit10KeyUp", this, &TForm1::Edit10KeyUp);
    h.Add("Image25Click", this, &TForm1::Image25Click);
    h.Add("BitBtn1Click", this, &TForm1::BitBtn1Click);
    h.Add("Image26Click", this, &TForm1::Image26Click);
    h.Add("BitBtn3Click", this, &TForm1::BitBtn3Click);
    h.Add("Image27Click", this, &TForm1::Image27Click);
    h.Add("BitBtn4Click", this, &TForm1::BitBtn4Click);
    h.Add("BitBtn6Click", this, &TForm1::BitBtn6Click);
    h.Add("BitBtn12Click", this, &TForm1::BitBtn12Click);
    h.Add("Label52Click", this, &TForm1::Label52Click);
    for (const char* item : {"Rotation1Click", "Brightness1Click", "Contrast1Click", "Colors1Click"})
        h.Add(item, this, &TForm1::EditPictureItemClick);
    h.Add("RadioButton1Click", this, &TForm1::RadioButton1Click);
    h.Add("RadioButton6Click", this, &TForm1::RadioButton6Click);
    h.Add("RadioButton2Click", this, &TForm1::RadioButton2Click);
    h.Add("RadioButton7Click", this, &TForm1::RadioButton7Click);
    h.Add("UpDown1Click", this, &TForm1::UpDown1Click);
    h.Add("UpDown7Click", this, &TForm1::UpDown7Click);
    h.Add("UpDown11Click", this, &TForm1::UpDown11Click);
    h.Add("UpDown2Click", this, &TForm1::UpDown2Click);
    h.Add("UpDown3Click", this, &TForm1::UpDown3Click);
    h.Add("HeightMirrorClick", this, &TForm1::HeightMirrorClick);
    h.Add("WidthMirrorClick", this, &TForm1::WidthMirrorClick);
    h.Add("UpDown4Click", this, &TForm1::UpDown4Click);
    h.Add("UpDown10Click", this, &TForm1::UpDown10Click);
    h.Add("RadioButton11Click", this, &TForm1::RadioButton11Click);
    h.Add("RadioButton12Click", this, &TForm1::RadioButton12Click);
    h.Add("Label27Click", this, &TForm1::Label27Click);
    h.Add("Image21Click", this, &TForm1::Image21Click);
    h.Add("Image22Click", this, &TForm1::Image22Click);
    h.Add("Image23Click", this, &TForm1::Image23Click);
    h.Add("Image28Click", this, &TForm1::Image28Click);
    h.Add("Image29Click", this, &TForm1::Image29Click);
    h.Add("Image30Click", this, &TForm1::Image30Click);
    h.Add("Label54Click", this, &TForm1::Label54Click);
    h.Add("Image15Click", this, &TForm1::Image15Click);
    h.Add("Image51Click", this, &TForm1::Image51Click);
    h.Add("Image31Click", this, &TForm1::Image31Click);
    h.Add("Image53Click", this, &TForm1::Image53Click);
    h.Add("Timer1Timer", this, &TForm1::Timer1Timer);
    h.Add("PageControl1MouseDown", this, &TForm1::PageControl1MouseDown);
    h.Add("PageControl1Change", this, &TForm1::PageControl1Change);
    h.Add("GalleryFrameMouseMove", this, &TForm1::GalleryFrameMouseMove);
    h.Add("Shape1MouseMove", this, &TForm1::Shape1MouseMove);
    h.Add("Image18MouseMove", this, &TForm1::Image18MouseMove);
    h.Add("TextFrameMouseMove", this, &TForm1::TextFrameMouseMove);
    h.Add("Shape4MouseMove", this, &TForm1::Shape4MouseMove);
    h.Add("Image2MouseMove", this, &TForm1::Image2MouseMove);
    h.Add("MailFrameMouseMove", this, &TForm1::MailFrameMouseMove);
    h.Add("Image8MouseMove", this, &TForm1::Image8MouseMove);
    h.Add("Shape12MouseMove", this, &TForm1::Shape12MouseMove);
    h.Add("Image20MouseMove", this, &TForm1::Image20MouseMove);
    h.Add("LinkLabelMouseMove", this, &TForm1::LinkLabelMouseMove);
    h.Add("Image3MouseMove", this, &TForm1::Image3MouseMove);
    h.Add("Panel3MouseMove", this, &TForm1::Panel3MouseMove);
    RegisterPReportComponents();
    ReadLayout("WizardForm", h, &WizardFormBindings);
}

TForm1::~TForm1()
{
    if (WizardForm == this)
        WizardForm = nullptr;
    if (ButtonSoundSwitch() == AnAus1)
        SetButtonSoundSwitch(nullptr);
}

void TForm1::ConnectDialogs()
{
    SetButtonSoundSwitch(AnAus1);
    if (LimitsDialog)
        LimitsDialog->OnAccept = [this](const TForm11& limits) {
            for (TEdit* height : {Edit19, Edit22})
                height->SetText(limits.Edit1->Text());
            for (TEdit* width : {Edit20, Edit23})
                width->SetText(limits.Edit2->Text());
            for (TEdit* size : {Edit21, Edit24})
                size->SetText(limits.Edit3->Text());
        };
    if (FolderChooserDialog)
        FolderChooserDialog->OnOk = [this](TForm2& chooser) {
            if (!StartPending)
                return;
            chooser.Hide();
            // The root is already its own folder with its "/"; every other folder gets one.
            Label2->SetCaption(IncludeTrailingPathDelimiter(chooser.ChosenFolder()));
            BitBtn2Click(&chooser);
        };
    if (GalleryKindDialog)
        GalleryKindDialog->OnChoose = [this](bool php) { PhpGallery = php; };
    if (BuildCancelWindow)
        BuildCancelWindow->OnCancel = [this](TObject*) { ProgressBar1->SetPosition(0); };
}

void TForm1::FormCreate(TObject*)
{
    BackupPictureCount = 0;
    RadioButton2->SetChecked(true);
    RadioButton7->SetChecked(true);
    RadioButton9->SetChecked(true);
    AppPath(ProgramFolder);
    StartUp();
    std::string date = DateToStr(Date());
    ReplaceText(".", "-", date, 1);
    Label2->SetCaption(ProgramFolder + date + "/");
    ComboBox1->SetItemIndex(0);
    ApplyOptionRules();
}

void TForm1::BitBtn2Click(TObject*)
{
    if (OnRunBuild)
        OnRunBuild(*this);
}

void TForm1::ApplyOptionRules()
{
    Edit9->SetEnabled(CheckBox10->Checked());
    const bool linked = ComboBox1->ItemIndex() != 1;
    CheckBox7->SetEnabled(linked);
    Label24->SetEnabled(linked);
    UpDown6->SetEnabled(linked);
    const bool pictures = ListBox1->Count() > 0;
    BitBtn6->SetEnabled(pictures);
    BitBtn12->SetEnabled(pictures);
    ComboBox1->SetEnabled(RadioButton3->Checked());
    const bool percent = RadioButton1->Checked();
    Edit1->SetEnabled(percent);
    UpDown1->SetEnabled(percent);
    const bool fixed = RadioButton2->Checked();
    Edit2->SetEnabled(fixed);
    UpDown2->SetEnabled(fixed);
    Edit3->SetEnabled(fixed);
    UpDown3->SetEnabled(fixed);
}

void TForm1::OptionChanged(TObject*)
{
    ApplyOptionRules();
}

void TForm1::Label27Click(TObject*)
{
    FormRef(LimitsDialog, "TForm11").Show();
}

void TForm1::Image15Click(TObject*)
{
    PlayButtonSound();
    FormRef(FontOptionsDialog, "TForm7").Show();
}

void TForm1::Image21Click(TObject*)
{
    PlayButtonSound();
    FormRef(FontOptionsDialog, "TForm7").Show();
}

void TForm1::Image22Click(TObject*)
{
    PlayButtonSound();
    FormRef(BackgroundDialog, "TForm6").Show();
}

void TForm1::Image23Click(TObject*)
{
    PlayButtonSound();
    FormRef(CopyrightDialog, "TForm9").Show();
}

void TForm1::LoadTextInto(TMemo& memo)
{
    if (OpenDialog1->Execute())
        memo.Lines().LoadFromFile(OpenDialog1->FileName());
}

void TForm1::Image28Click(TObject*)
{
    PlayButtonSound();
    LoadTextInto(*Memo3);
}

void TForm1::Image29Click(TObject*)
{
    PlayButtonSound();
    LoadTextInto(*Memo4);
}

void TForm1::Image30Click(TObject*)
{
    PlayButtonSound();
    LoadTextInto(*Memo5);
}

void TForm1::Label54Click(TObject*)
{
    LoadTextInto(*Memo2);
}

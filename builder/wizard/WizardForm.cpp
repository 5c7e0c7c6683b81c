#include "builder/wizard/WizardForm.h"

#include "builder/dialogs/BackgroundDialog.h"
#include "builder/dialogs/ButtonSounds.h"
#include "builder/dialogs/CopyrightDialog.h"
#include "builder/dialogs/FontOptionsDialog.h"
#include "builder/dialogs/LimitsDialog.h"
#include "builder/dialogs/PictureEditorForm.h"
#include "pdf/PReport.h"
#include "platform/core/DateTime.h"
#include "shared/veskotools.h"

TForm1* WizardForm = nullptr;

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
    ReadLayout("WizardForm", h);
    FindControls();
}

TForm1::~TForm1()
{
    if (WizardForm == this)
        WizardForm = nullptr;
}

void TForm1::FindControls()
{
    MainMenu1 = Child<TMainMenu>("MainMenu1");
    PReport1 = Child<TPReport>("PReport1");
    Gallery1 = Child<TMenuItem>("Gallery1");
    Save1 = Child<TMenuItem>("Save1");
    Load1 = Child<TMenuItem>("Load1");
    Exit1 = Child<TMenuItem>("Exit1");
    AnAus1 = Child<TMenuItem>("AnAus1");
    Color1 = Child<TMenuItem>("Color1");
    English1 = Child<TMenuItem>("English1");
    Deutsch1 = Child<TMenuItem>("Deutsch1");
    BackToAssist1 = Child<TMenuItem>("BackToAssist1");

    Timer1 = Child<TTimer>("Timer1");
    Timer2 = Child<TTimer>("Timer2");

    PageControl1 = Child<TPageControl>("PageControl1");
    TabSheet1 = Child<TTabSheet>("TabSheet1");
    TabSheet2 = Child<TTabSheet>("TabSheet2");
    TabSheet4 = Child<TTabSheet>("TabSheet4");
    TabSheet5 = Child<TTabSheet>("TabSheet5");
    TabSheet6 = Child<TTabSheet>("TabSheet6");
    TabSheet7 = Child<TTabSheet>("TabSheet7");
    TabSheet8 = Child<TTabSheet>("TabSheet8");
    TabSheet9 = Child<TTabSheet>("TabSheet9");
    Image1 = Child<TImage>("Image1");
    Image2 = Child<TImage>("Image2");
    Image5 = Child<TImage>("Image5");
    Image8 = Child<TImage>("Image8");
    Image18 = Child<TImage>("Image18");
    Image20 = Child<TImage>("Image20");
    Image57 = Child<TImage>("Image57");
    Image58 = Child<TImage>("Image58");
    Shape1 = Child<TShape>("Shape1");
    Shape2 = Child<TShape>("Shape2");
    Shape3 = Child<TShape>("Shape3");
    Shape4 = Child<TShape>("Shape4");
    Shape5 = Child<TShape>("Shape5");
    Shape6 = Child<TShape>("Shape6");
    Shape7 = Child<TShape>("Shape7");
    Shape8 = Child<TShape>("Shape8");
    Shape9 = Child<TShape>("Shape9");
    Shape10 = Child<TShape>("Shape10");
    Shape11 = Child<TShape>("Shape11");
    Shape12 = Child<TShape>("Shape12");
    Shape13 = Child<TShape>("Shape13");
    Shape14 = Child<TShape>("Shape14");
    Panel2 = Child<TPanel>("Panel2");
    Panel3 = Child<TPanel>("Panel3");
    Image6 = Child<TImage>("Image6");
    Image16 = Child<TImage>("Image16");
    Image17 = Child<TImage>("Image17");
    Image19 = Child<TImage>("Image19");
    Image56 = Child<TImage>("Image56");
    Image53 = Child<TImage>("Image53");
    Image51 = Child<TImage>("Image51");

    ListBox1 = Child<TListBox>("ListBox1");
    ListBox2 = Child<TListBox>("ListBox2");
    Image3 = Child<TImage>("Image3");
    Image7 = Child<TImage>("Image7");
    Image52 = Child<TImage>("Image52");
    Edit10 = Child<TEdit>("Edit10");
    Image25 = Child<TImage>("Image25");
    Image26 = Child<TImage>("Image26");
    Image27 = Child<TImage>("Image27");
    BitBtn1 = Child<TBitBtn>("BitBtn1");
    BitBtn3 = Child<TBitBtn>("BitBtn3");
    BitBtn4 = Child<TBitBtn>("BitBtn4");
    BitBtn6 = Child<TBitBtn>("BitBtn6");
    BitBtn12 = Child<TBitBtn>("BitBtn12");
    Label52 = Child<TLabel>("Label52");
    PopupMenu1 = Child<TPopupMenu>("PopupMenu1");
    OpenPictureDialog1 = Child<TOpenPictureDialog>("OpenPictureDialog1");

    RadioButton3 = Child<TRadioButton>("RadioButton3");
    RadioButton4 = Child<TRadioButton>("RadioButton4");
    RadioButton5 = Child<TRadioButton>("RadioButton5");
    RadioButton10 = Child<TRadioButton>("RadioButton10");
    Label2 = Child<TLabel>("Label2");
    Image31 = Child<TImage>("Image31");
    BitBtn2 = Child<TBitBtn>("BitBtn2");
    ProgressBar1 = Child<TProgressBar>("ProgressBar1");
    ProgressBar2 = Child<TProgressBar>("ProgressBar2");
    ProgressBar3 = Child<TProgressBar>("ProgressBar3");
    ProgressBar4 = Child<TProgressBar>("ProgressBar4");
    ProgressBar5 = Child<TProgressBar>("ProgressBar5");
    FileListBox1 = Child<TFileListBox>("FileListBox1");
    SaveDialog2 = Child<TSaveDialog>("SaveDialog2");
    OpenDialog1 = Child<TOpenDialog>("OpenDialog1");

    RadioButton1 = Child<TRadioButton>("RadioButton1");
    RadioButton2 = Child<TRadioButton>("RadioButton2");
    Edit1 = Child<TEdit>("Edit1");
    UpDown1 = Child<TUpDown>("UpDown1");
    Edit2 = Child<TEdit>("Edit2");
    UpDown2 = Child<TUpDown>("UpDown2");
    Edit3 = Child<TEdit>("Edit3");
    UpDown3 = Child<TUpDown>("UpDown3");
    Edit4 = Child<TEdit>("Edit4");
    Edit5 = Child<TEdit>("Edit5");
    UpDown4 = Child<TUpDown>("UpDown4");
    Edit6 = Child<TEdit>("Edit6");
    UpDown5 = Child<TUpDown>("UpDown5");
    ComboBox1 = Child<TComboBox>("ComboBox1");
    CheckBox7 = Child<TCheckBox>("CheckBox7");
    Label24 = Child<TLabel>("Label24");
    Edit8 = Child<TEdit>("Edit8");
    UpDown6 = Child<TUpDown>("UpDown6");
    CheckBox3 = Child<TCheckBox>("CheckBox3");
    CheckBox8 = Child<TCheckBox>("CheckBox8");
    CheckBox10 = Child<TCheckBox>("CheckBox10");
    Edit9 = Child<TEdit>("Edit9");
    CheckBox9 = Child<TCheckBox>("CheckBox9");
    Label27 = Child<TLabel>("Label27");
    CheckBox11 = Child<TCheckBox>("CheckBox11");
    CheckBox12 = Child<TCheckBox>("CheckBox12");
    CheckBox14 = Child<TCheckBox>("CheckBox14");
    CheckBox15 = Child<TCheckBox>("CheckBox15");
    CheckBox16 = Child<TCheckBox>("CheckBox16");
    Image21 = Child<TImage>("Image21");
    Image22 = Child<TImage>("Image22");
    Image23 = Child<TImage>("Image23");

    Memo3 = Child<TMemo>("Memo3");
    Memo4 = Child<TMemo>("Memo4");
    Memo5 = Child<TMemo>("Memo5");
    CheckBox4 = Child<TCheckBox>("CheckBox4");
    CheckBox5 = Child<TCheckBox>("CheckBox5");
    CheckBox6 = Child<TCheckBox>("CheckBox6");
    Image28 = Child<TImage>("Image28");
    Image29 = Child<TImage>("Image29");
    Image30 = Child<TImage>("Image30");

    RadioButton6 = Child<TRadioButton>("RadioButton6");
    RadioButton7 = Child<TRadioButton>("RadioButton7");
    Edit11 = Child<TEdit>("Edit11");
    UpDown7 = Child<TUpDown>("UpDown7");
    Edit12 = Child<TEdit>("Edit12");
    UpDown8 = Child<TUpDown>("UpDown8");
    Edit13 = Child<TEdit>("Edit13");
    UpDown9 = Child<TUpDown>("UpDown9");
    Edit14 = Child<TEdit>("Edit14");
    Edit15 = Child<TEdit>("Edit15");
    UpDown10 = Child<TUpDown>("UpDown10");
    CheckBox2 = Child<TCheckBox>("CheckBox2");
    Image15 = Child<TImage>("Image15");

    RadioButton8 = Child<TRadioButton>("RadioButton8");
    RadioButton9 = Child<TRadioButton>("RadioButton9");
    Edit16 = Child<TEdit>("Edit16");
    UpDown11 = Child<TUpDown>("UpDown11");
    Edit17 = Child<TEdit>("Edit17");
    UpDown12 = Child<TUpDown>("UpDown12");
    Edit18 = Child<TEdit>("Edit18");
    UpDown13 = Child<TUpDown>("UpDown13");
    CheckBox13 = Child<TCheckBox>("CheckBox13");

    RadioButton11 = Child<TRadioButton>("RadioButton11");
    RadioButton12 = Child<TRadioButton>("RadioButton12");
    Edit19 = Child<TEdit>("Edit19");
    Edit20 = Child<TEdit>("Edit20");
    Edit21 = Child<TEdit>("Edit21");
    Memo2 = Child<TMemo>("Memo2");
    Label51 = Child<TLabel>("Label51");
    Label54 = Child<TLabel>("Label54");

    RadioButton13 = Child<TRadioButton>("RadioButton13");
    RadioButton14 = Child<TRadioButton>("RadioButton14");
    Edit22 = Child<TEdit>("Edit22");
    Edit23 = Child<TEdit>("Edit23");
    Edit24 = Child<TEdit>("Edit24");
    Edit25 = Child<TEdit>("Edit25");
    Edit26 = Child<TEdit>("Edit26");
    Edit27 = Child<TEdit>("Edit27");
    Label58 = Child<TLabel>("Label58");
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

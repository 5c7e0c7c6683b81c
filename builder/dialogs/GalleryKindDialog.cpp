#include "builder/dialogs/GalleryKindDialog.h"

#include <initializer_list>

#include "builder/wizard/WizardForm.h"

TForm21* GalleryKindDialog = nullptr;

TForm21::TForm21(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("CheckBox1Click", this, &TForm21::CheckBox1Click);
    handlers.Add("CheckBox2Click", this, &TForm21::CheckBox2Click);
    handlers.Add("RadioButton1Click", this, &TForm21::RadioButton1Click);
    handlers.Add("RadioButton2Click", this, &TForm21::RadioButton2Click);
    handlers.Add("Image1Click", this, &TForm21::Image1Click);
    handlers.Add("Image2Click", this, &TForm21::Image2Click);
    handlers.Add("Timer1Timer", this, &TForm21::Timer1Timer);
    ReadLayout("GalleryKindDialog", handlers);
    Label1 = Child<TLabel>("Label1");
    Label2 = Child<TLabel>("Label2");
    Label3 = Child<TLabel>("Label3");
    Label4 = Child<TLabel>("Label4");
    Label5 = Child<TLabel>("Label5");
    Label6 = Child<TLabel>("Label6");
    RadioButton1 = Child<TRadioButton>("RadioButton1");
    RadioButton2 = Child<TRadioButton>("RadioButton2");
    CheckBox1 = Child<TCheckBox>("CheckBox1");
    CheckBox2 = Child<TCheckBox>("CheckBox2");
    CheckBox3 = Child<TCheckBox>("CheckBox3");
    CheckBox4 = Child<TCheckBox>("CheckBox4");
    CheckBox5 = Child<TCheckBox>("CheckBox5");
    CheckBox6 = Child<TCheckBox>("CheckBox6");
    CheckBox7 = Child<TCheckBox>("CheckBox7");
    Edit1 = Child<TEdit>("Edit1");
    Edit2 = Child<TEdit>("Edit2");
    Memo1 = Child<TMemo>("Memo1");
    Memo2 = Child<TMemo>("Memo2");
    BitBtn1 = Child<TBitBtn>("BitBtn1");
    BitBtn2 = Child<TBitBtn>("BitBtn2");
    Image1 = Child<TImage>("Image1");
    Image2 = Child<TImage>("Image2");
    Image7 = Child<TImage>("Image7");
    Image8 = Child<TImage>("Image8");
    Image9 = Child<TImage>("Image9");
    Image10 = Child<TImage>("Image10");
    Timer1 = Child<TTimer>("Timer1");
}

TForm21::~TForm21()
{
    if (GalleryKindDialog == this)
        GalleryKindDialog = nullptr;
}

void TForm21::CheckBox1Click(TObject*)
{
    CheckBox5->SetChecked(CheckBox1->Checked());
}

void TForm21::CheckBox2Click(TObject*)
{
    CheckBox6->SetChecked(CheckBox2->Checked());
}

void TForm21::Choose(bool php)
{
    if (WizardForm)
        WizardForm->PhpGallery = php;
    (php ? RadioButton1 : RadioButton2)->SetChecked(true, TChangeNotify::Silent);
    Image7->Picture().Assign((php ? Image10 : Image9)->Picture());
    Image8->Picture().Assign((php ? Image9 : Image10)->Picture());
}

void TForm21::RadioButton1Click(TObject*)
{
    Choose(true);
}

void TForm21::RadioButton2Click(TObject*)
{
    Choose(false);
}

void TForm21::Image1Click(TObject*)
{
    Choose(false);
}

void TForm21::Image2Click(TObject*)
{
    Choose(true);
}

void TForm21::Timer1Timer(TObject*)
{
    const bool php = RadioButton1->Checked();
    for (TWinControl* control : std::initializer_list<TWinControl*>{
             CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6, CheckBox7, Edit1, Edit2})
        control->SetEnabled(php);
}

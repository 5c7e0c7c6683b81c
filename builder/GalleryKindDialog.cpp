#include "builder/GalleryKindDialog.h"

TForm21* GalleryKindDialog = nullptr;

TForm21::TForm21(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("CheckBox1Click", this, &TForm21::CheckBox1Click);
    handlers.Add("CheckBox2Click", this, &TForm21::CheckBox2Click);
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

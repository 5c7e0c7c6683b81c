#include "builder/dialogs/GalleryKindDialog.h"

#include <initializer_list>


TForm21* GalleryKindDialog = nullptr;

namespace {

// The components TForm21 holds, by their names in the layout.
const TBindingTable GalleryKindDialogBindings = {
    {"Label1", &TForm21::Label1},
    {"Label2", &TForm21::Label2},
    {"Label3", &TForm21::Label3},
    {"Label4", &TForm21::Label4},
    {"Label5", &TForm21::Label5},
    {"Label6", &TForm21::Label6},
    {"RadioButton1", &TForm21::RadioButton1},
    {"RadioButton2", &TForm21::RadioButton2},
    {"CheckBox1", &TForm21::CheckBox1},
    {"CheckBox2", &TForm21::CheckBox2},
    {"CheckBox3", &TForm21::CheckBox3},
    {"CheckBox4", &TForm21::CheckBox4},
    {"CheckBox5", &TForm21::CheckBox5},
    {"CheckBox6", &TForm21::CheckBox6},
    {"CheckBox7", &TForm21::CheckBox7},
    {"Edit1", &TForm21::Edit1},
    {"Edit2", &TForm21::Edit2},
    {"Memo1", &TForm21::Memo1},
    {"Memo2", &TForm21::Memo2},
    {"BitBtn1", &TForm21::BitBtn1},
    {"BitBtn2", &TForm21::BitBtn2},
    {"Image1", &TForm21::Image1},
    {"Image2", &TForm21::Image2},
    {"Image7", &TForm21::Image7},
    {"Image8", &TForm21::Image8},
    {"Image9", &TForm21::Image9},
    {"Image10", &TForm21::Image10},
    {"Timer1", &TForm21::Timer1},
};

}  // namespace

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
    ReadLayout("GalleryKindDialog", handlers, &GalleryKindDialogBindings);
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
    if (OnChoose)
        OnChoose(php);
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

#include "builder/dialogs/BackgroundDialog.h"

TForm6* BackgroundDialog = nullptr;

TForm6::TForm6(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("BitBtn1Click", this, &TForm6::BitBtn1Click);
    handlers.Add("BitBtn2Click", this, &TForm6::BitBtn2Click);
    handlers.Add("BitBtn3Click", this, &TForm6::BitBtn3Click);
    ReadLayout("BackgroundDialog", handlers);
    Image1 = Child<TImage>("Image1");
    Label1 = Child<TLabel>("Label1");
    BitBtn1 = Child<TBitBtn>("BitBtn1");
    BitBtn2 = Child<TBitBtn>("BitBtn2");
    BitBtn3 = Child<TBitBtn>("BitBtn3");
    OpenDialog1 = Child<TOpenDialog>("OpenDialog1");
}

TForm6::~TForm6()
{
    if (BackgroundDialog == this)
        BackgroundDialog = nullptr;
}

void TForm6::BitBtn1Click(TObject*)
{
    if (!OpenDialog1->Execute())
        return;
    Label1->SetCaption(OpenDialog1->FileName());
    Image1->Picture().LoadFromFile(OpenDialog1->FileName());
}

void TForm6::BitBtn2Click(TObject*)
{
    Label1->SetCaption("");
    Image1->Picture().SetGraphic(nullptr);
}

void TForm6::BitBtn3Click(TObject*)
{
    Hide();
}

#include "builder/dialogs/CopyrightDialog.h"

TForm9* CopyrightDialog = nullptr;

TForm9::TForm9(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("BitBtn1Click", this, &TForm9::BitBtn1Click);
    ReadLayout("CopyrightDialog", handlers);
    Label1 = Child<TLabel>("Label1");
    Memo1 = Child<TMemo>("Memo1");
    Edit1 = Child<TEdit>("Edit1");
    BitBtn1 = Child<TBitBtn>("BitBtn1");
}

TForm9::~TForm9()
{
    if (CopyrightDialog == this)
        CopyrightDialog = nullptr;
}

void TForm9::BitBtn1Click(TObject*)
{
    Hide();
}

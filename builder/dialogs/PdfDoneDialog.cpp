#include "builder/dialogs/PdfDoneDialog.h"

TForm20* PdfDoneDialog = nullptr;

TForm20::TForm20(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("PdfDoneDialog", THandlerTable());
    Label1 = Child<TLabel>("Label1");
    Label2 = Child<TLabel>("Label2");
    BitBtn1 = Child<TBitBtn>("BitBtn1");
    BitBtn2 = Child<TBitBtn>("BitBtn2");
}

TForm20::~TForm20()
{
    if (PdfDoneDialog == this)
        PdfDoneDialog = nullptr;
}

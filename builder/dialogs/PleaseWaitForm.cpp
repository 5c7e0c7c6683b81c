#include "builder/dialogs/PleaseWaitForm.h"

TSchreibeDaten* PleaseWaitForm = nullptr;

TSchreibeDaten::TSchreibeDaten(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("PleaseWaitForm", THandlerTable());
    Label1 = Child<TLabel>("Label1");
}

TSchreibeDaten::~TSchreibeDaten()
{
    if (PleaseWaitForm == this)
        PleaseWaitForm = nullptr;
}

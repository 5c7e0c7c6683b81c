#include "builder/dialogs/OverwritePrompt.h"

TForm13* OverwritePrompt = nullptr;

TForm13::TForm13(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("OverwritePrompt", THandlerTable());
    Label1 = Child<TLabel>("Label1");
    BitBtn1 = Child<TBitBtn>("BitBtn1");
    BitBtn2 = Child<TBitBtn>("BitBtn2");
}

TForm13::~TForm13()
{
    if (OverwritePrompt == this)
        OverwritePrompt = nullptr;
}

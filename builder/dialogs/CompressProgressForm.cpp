#include "builder/dialogs/CompressProgressForm.h"

TForm10* CompressProgressForm = nullptr;

TForm10::TForm10(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("CompressProgressForm", THandlerTable());
    Label1 = Child<TLabel>("Label1");
    Label2 = Child<TLabel>("Label2");
    Image1 = Child<TImage>("Image1");
}

TForm10::~TForm10()
{
    if (CompressProgressForm == this)
        CompressProgressForm = nullptr;
}

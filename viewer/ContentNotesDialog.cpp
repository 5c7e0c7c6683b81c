#include "viewer/ContentNotesDialog.h"

TForm4* ContentNotesDialog = nullptr;

TForm4::TForm4(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("ContentNotesDialog", THandlerTable());
    Memo1 = Child<TMemo>("Memo1");
    Button1 = Child<TButton>("Button1");
    Button2 = Child<TButton>("Button2");
}

TForm4::~TForm4()
{
    if (ContentNotesDialog == this)
        ContentNotesDialog = nullptr;
}

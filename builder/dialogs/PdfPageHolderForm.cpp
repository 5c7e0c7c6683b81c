#include "builder/dialogs/PdfPageHolderForm.h"

TForm19* PdfPageHolderForm = nullptr;

TForm19::TForm19(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("PdfPageHolderForm", THandlerTable());
}

TForm19::~TForm19()
{
    if (PdfPageHolderForm == this)
        PdfPageHolderForm = nullptr;
}

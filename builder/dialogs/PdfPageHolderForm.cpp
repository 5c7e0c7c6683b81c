#include "builder/dialogs/PdfPageHolderForm.h"

#include "pdf/PReport.h"

TForm19* PdfPageHolderForm = nullptr;

TForm19::TForm19(TComponent* AOwner) : TForm(AOwner)
{
    RegisterPReportComponents();
    ReadLayout("PdfPageHolderForm", THandlerTable());
    PRPage1 = Child<TPRPage>("PRPage1");
    PRLayoutPanel1 = Child<TPRLayoutPanel>("PRLayoutPanel1");
}

TForm19::~TForm19()
{
    if (PdfPageHolderForm == this)
        PdfPageHolderForm = nullptr;
}

#include "builder/dialogs/PdfPageHolderForm.h"

#include "pdf/PReport.h"

TForm19* PdfPageHolderForm = nullptr;

namespace {

// The components TForm19 holds, by their names in the layout.
const TBindingTable PdfPageHolderFormBindings = {
    {"PRPage1", &TForm19::PRPage1},
    {"PRLayoutPanel1", &TForm19::PRLayoutPanel1},
};

}  // namespace

TForm19::TForm19(TComponent* AOwner) : TForm(AOwner)
{
    RegisterPReportComponents();
    ReadLayout("PdfPageHolderForm", THandlerTable(), &PdfPageHolderFormBindings);
}

TForm19::~TForm19()
{
    if (PdfPageHolderForm == this)
        PdfPageHolderForm = nullptr;
}

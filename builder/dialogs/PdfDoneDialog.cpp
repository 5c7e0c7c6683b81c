#include "builder/dialogs/PdfDoneDialog.h"

TForm20* PdfDoneDialog = nullptr;

namespace {

// The components TForm20 holds, by their names in the layout.
const TBindingTable PdfDoneDialogBindings = {
    {"Label1", &TForm20::Label1},
    {"Label2", &TForm20::Label2},
    {"BitBtn1", &TForm20::BitBtn1},
    {"BitBtn2", &TForm20::BitBtn2},
};

}  // namespace

TForm20::TForm20(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("PdfDoneDialog", THandlerTable(), &PdfDoneDialogBindings);
}

TForm20::~TForm20()
{
    if (PdfDoneDialog == this)
        PdfDoneDialog = nullptr;
}

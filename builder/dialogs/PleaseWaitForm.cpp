#include "builder/dialogs/PleaseWaitForm.h"

TSchreibeDaten* PleaseWaitForm = nullptr;

namespace {

// The components TSchreibeDaten holds, by their names in the layout.
const TBindingTable PleaseWaitFormBindings = {
    {"Label1", &TSchreibeDaten::Label1},
};

}  // namespace

TSchreibeDaten::TSchreibeDaten(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("PleaseWaitForm", THandlerTable(), &PleaseWaitFormBindings);
}

TSchreibeDaten::~TSchreibeDaten()
{
    if (PleaseWaitForm == this)
        PleaseWaitForm = nullptr;
}

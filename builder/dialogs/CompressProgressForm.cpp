#include "builder/dialogs/CompressProgressForm.h"

TForm10* CompressProgressForm = nullptr;

namespace {

// The components TForm10 holds, by their names in the layout.
const TBindingTable CompressProgressFormBindings = {
    {"Label1", &TForm10::Label1},
    {"Label2", &TForm10::Label2},
    {"Image1", &TForm10::Image1},
};

}  // namespace

TForm10::TForm10(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("CompressProgressForm", THandlerTable(), &CompressProgressFormBindings);
}

TForm10::~TForm10()
{
    if (CompressProgressForm == this)
        CompressProgressForm = nullptr;
}

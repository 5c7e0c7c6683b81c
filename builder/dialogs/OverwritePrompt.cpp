#include "builder/dialogs/OverwritePrompt.h"

TForm13* OverwritePrompt = nullptr;

namespace {

// The components TForm13 holds, by their names in the layout.
const TBindingTable OverwritePromptBindings = {
    {"Label1", &TForm13::Label1},
    {"BitBtn1", &TForm13::BitBtn1},
    {"BitBtn2", &TForm13::BitBtn2},
};

}  // namespace

TForm13::TForm13(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("OverwritePrompt", THandlerTable(), &OverwritePromptBindings);
}

TForm13::~TForm13()
{
    if (OverwritePrompt == this)
        OverwritePrompt = nullptr;
}

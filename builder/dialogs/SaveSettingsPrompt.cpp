#include "builder/dialogs/SaveSettingsPrompt.h"

TForm8* SaveSettingsPrompt = nullptr;

namespace {

// The components TForm8 holds, by their names in the layout.
const TBindingTable SaveSettingsPromptBindings = {
    {"Label1", &TForm8::Label1},
    {"BitBtn1", &TForm8::BitBtn1},
    {"BitBtn2", &TForm8::BitBtn2},
};

}  // namespace

TForm8::TForm8(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("SaveSettingsPrompt", THandlerTable(), &SaveSettingsPromptBindings);
}

TForm8::~TForm8()
{
    if (SaveSettingsPrompt == this)
        SaveSettingsPrompt = nullptr;
}

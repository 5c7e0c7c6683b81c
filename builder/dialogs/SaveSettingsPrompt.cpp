#include "builder/dialogs/SaveSettingsPrompt.h"

TForm8* SaveSettingsPrompt = nullptr;

TForm8::TForm8(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("SaveSettingsPrompt", THandlerTable());
    Label1 = Child<TLabel>("Label1");
    BitBtn1 = Child<TBitBtn>("BitBtn1");
    BitBtn2 = Child<TBitBtn>("BitBtn2");
}

TForm8::~TForm8()
{
    if (SaveSettingsPrompt == this)
        SaveSettingsPrompt = nullptr;
}

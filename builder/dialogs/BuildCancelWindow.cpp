#include "builder/dialogs/BuildCancelWindow.h"

#include "builder/wizard/WizardForm.h"

bool BuildRunning = false;
TForm12* BuildCancelWindow = nullptr;

TForm12::TForm12(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("BitBtn1Click", this, &TForm12::BitBtn1Click);
    ReadLayout("BuildCancelWindow", handlers);
    BitBtn1 = Child<TBitBtn>("BitBtn1");
}

TForm12::~TForm12()
{
    if (BuildCancelWindow == this)
        BuildCancelWindow = nullptr;
}

void TForm12::BitBtn1Click(TObject*)
{
    BuildRunning = false;
    Hide();
    if (WizardForm)
        WizardForm->ProgressBar1->SetPosition(0);
}

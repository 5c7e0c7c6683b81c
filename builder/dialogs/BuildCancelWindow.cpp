#include "builder/dialogs/BuildCancelWindow.h"

bool BuildRunning = false;
TForm12* BuildCancelWindow = nullptr;

namespace {

// The components TForm12 holds, by their names in the layout.
const TBindingTable BuildCancelWindowBindings = {
    {"BitBtn1", &TForm12::BitBtn1},
};

}  // namespace

TForm12::TForm12(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("BitBtn1Click", this, &TForm12::BitBtn1Click);
    ReadLayout("BuildCancelWindow", handlers, &BuildCancelWindowBindings);
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
    if (OnCancel)
        OnCancel(this);
}

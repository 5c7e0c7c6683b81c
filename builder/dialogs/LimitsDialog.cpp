#include "builder/dialogs/LimitsDialog.h"

#include "platform/controls/TDialogs.h"
#include "platform/core/AnsiString.h"

TForm11* LimitsDialog = nullptr;

namespace {

// The components TForm11 holds, by their names in the layout.
const TBindingTable LimitsDialogBindings = {
    {"Label1", &TForm11::Label1},
    {"Label2", &TForm11::Label2},
    {"Label3", &TForm11::Label3},
    {"Memo1", &TForm11::Memo1},
    {"Edit1", &TForm11::Edit1},
    {"Edit2", &TForm11::Edit2},
    {"Edit3", &TForm11::Edit3},
    {"UpDown1", &TForm11::UpDown1},
    {"BitBtn1", &TForm11::BitBtn1},
};

}  // namespace

TForm11::TForm11(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("BitBtn1Click", this, &TForm11::BitBtn1Click);
    ReadLayout("LimitsDialog", handlers, &LimitsDialogBindings);
}

TForm11::~TForm11()
{
    if (LimitsDialog == this)
        LimitsDialog = nullptr;
}

void TForm11::BitBtn1Click(TObject*)
{
    int value = 0;
    if (!TryStrToInt(Edit1->Text(), value)) {
        ShowMessage("Invalid value (height)");
        return;
    }
    if (!TryStrToInt(Edit2->Text(), value)) {
        ShowMessage("Invalid value (width)");
        return;
    }
    if (!TryStrToInt(Edit3->Text(), value)) {
        ShowMessage("Invalid value (file size)");
        return;
    }
    if (OnAccept)
        OnAccept(*this);
    Hide();
}

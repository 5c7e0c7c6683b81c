#include "builder/dialogs/CopyrightDialog.h"

TForm9* CopyrightDialog = nullptr;

namespace {

// The components TForm9 holds, by their names in the layout.
const TBindingTable CopyrightDialogBindings = {
    {"Label1", &TForm9::Label1},
    {"Memo1", &TForm9::Memo1},
    {"Edit1", &TForm9::Edit1},
    {"BitBtn1", &TForm9::BitBtn1},
};

}  // namespace

TForm9::TForm9(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("BitBtn1Click", this, &TForm9::BitBtn1Click);
    ReadLayout("CopyrightDialog", handlers, &CopyrightDialogBindings);
}

TForm9::~TForm9()
{
    if (CopyrightDialog == this)
        CopyrightDialog = nullptr;
}

void TForm9::BitBtn1Click(TObject*)
{
    Hide();
}

#include "builder/dialogs/UpdateFoundDialog.h"

#include "platform/shell/ShellExecute.h"

TForm18* UpdateFoundDialog = nullptr;

TForm18::TForm18(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("BitBtn1Click", this, &TForm18::BitBtn1Click);
    handlers.Add("BitBtn2Click", this, &TForm18::BitBtn2Click);
    ReadLayout("UpdateFoundDialog", handlers);
    Label1 = Child<TLabel>("Label1");
    Memo1 = Child<TMemo>("Memo1");
    BitBtn1 = Child<TBitBtn>("BitBtn1");
    BitBtn2 = Child<TBitBtn>("BitBtn2");
}

TForm18::~TForm18()
{
    if (UpdateFoundDialog == this)
        UpdateFoundDialog = nullptr;
}

void TForm18::BitBtn1Click(TObject*)
{
    if (!DownloadLink.empty())
        ShellExecute(0, "open", DownloadLink, "", "", SW_SHOWNORMAL);
}

void TForm18::BitBtn2Click(TObject*)
{
    Hide();
}

#include "builder/dialogs/UpdateFoundDialog.h"

#include "platform/shell/ShellExecute.h"

TForm18* UpdateFoundDialog = nullptr;

namespace {

// The components TForm18 holds, by their names in the layout.
const TBindingTable UpdateFoundDialogBindings = {
    {"Label1", &TForm18::Label1},
    {"Memo1", &TForm18::Memo1},
    {"BitBtn1", &TForm18::BitBtn1},
    {"BitBtn2", &TForm18::BitBtn2},
};

}  // namespace

TForm18::TForm18(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("BitBtn1Click", this, &TForm18::BitBtn1Click);
    handlers.Add("BitBtn2Click", this, &TForm18::BitBtn2Click);
    ReadLayout("UpdateFoundDialog", handlers, &UpdateFoundDialogBindings);
}

TForm18::~TForm18()
{
    if (UpdateFoundDialog == this)
        UpdateFoundDialog = nullptr;
}

void TForm18::BitBtn1Click(TObject*)
{
    // The link comes from an unauthenticated reply: only a web address is
    // handed to the shell, never a file or program.
    if (IsWebAddress(DownloadLink))
        ShellExecute(0, "open", DownloadLink, "", "", SW_SHOWNORMAL);
}

bool TForm18::IsWebAddress(const std::string& link)
{
    return link.rfind("http://", 0) == 0 || link.rfind("https://", 0) == 0;
}

void TForm18::BitBtn2Click(TObject*)
{
    Hide();
}

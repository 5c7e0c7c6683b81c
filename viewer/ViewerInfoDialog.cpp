#include "viewer/ViewerInfoDialog.h"

#include "platform/shell/ShellExecute.h"

TForm3* ViewerInfoDialog = nullptr;

namespace {

// The components TForm3 holds, by their names in the layout.
const TBindingTable ViewerInfoDialogBindings = {
    {"Label2", &TForm3::Label2},
    {"Button1", &TForm3::Button1},
};

}  // namespace

TForm3::TForm3(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("Button1Click", this, &TForm3::Button1Click);
    handlers.Add("Label2Click", this, &TForm3::Label2Click);
    ReadLayout("ViewerInfoDialog", handlers, &ViewerInfoDialogBindings);
    Label2->SetCaption("Informationen zur Software: " + std::string(MakerHomePage));
}

TForm3::~TForm3()
{
    if (ViewerInfoDialog == this)
        ViewerInfoDialog = nullptr;
}

void TForm3::Button1Click(TObject*)
{
    Hide();
}

void TForm3::Label2Click(TObject*)
{
    ShellExecute(0, "open", MakerHomePage, "", "", 5);
}

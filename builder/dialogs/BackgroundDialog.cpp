#include "builder/dialogs/BackgroundDialog.h"

TForm6* BackgroundDialog = nullptr;

namespace {

// The components TForm6 holds, by their names in the layout.
const TBindingTable BackgroundDialogBindings = {
    {"Image1", &TForm6::Image1},
    {"Label1", &TForm6::Label1},
    {"BitBtn1", &TForm6::BitBtn1},
    {"BitBtn2", &TForm6::BitBtn2},
    {"BitBtn3", &TForm6::BitBtn3},
    {"OpenDialog1", &TForm6::OpenDialog1},
};

}  // namespace

TForm6::TForm6(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("BitBtn1Click", this, &TForm6::BitBtn1Click);
    handlers.Add("BitBtn2Click", this, &TForm6::BitBtn2Click);
    handlers.Add("BitBtn3Click", this, &TForm6::BitBtn3Click);
    ReadLayout("BackgroundDialog", handlers, &BackgroundDialogBindings);
}

TForm6::~TForm6()
{
    if (BackgroundDialog == this)
        BackgroundDialog = nullptr;
}

void TForm6::BitBtn1Click(TObject*)
{
    if (!OpenDialog1->Execute())
        return;
    Label1->SetCaption(OpenDialog1->FileName());
    Image1->Picture().LoadFromFile(OpenDialog1->FileName());
}

void TForm6::BitBtn2Click(TObject*)
{
    Label1->SetCaption("");
    Image1->Picture().SetGraphic(nullptr);
}

void TForm6::BitBtn3Click(TObject*)
{
    Hide();
}

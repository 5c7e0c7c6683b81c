#include "builder/dialogs/LimitsDialog.h"

#include "builder/wizard/WizardForm.h"
#include "platform/controls/TDialogs.h"
#include "platform/core/AnsiString.h"

TForm11* LimitsDialog = nullptr;

TForm11::TForm11(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("BitBtn1Click", this, &TForm11::BitBtn1Click);
    ReadLayout("LimitsDialog", handlers);
    Label1 = Child<TLabel>("Label1");
    Label2 = Child<TLabel>("Label2");
    Label3 = Child<TLabel>("Label3");
    Memo1 = Child<TMemo>("Memo1");
    Edit1 = Child<TEdit>("Edit1");
    Edit2 = Child<TEdit>("Edit2");
    Edit3 = Child<TEdit>("Edit3");
    UpDown1 = Child<TUpDown>("UpDown1");
    BitBtn1 = Child<TBitBtn>("BitBtn1");
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
    TForm1& wizard = FormRef(WizardForm, "TForm1");
    wizard.Edit19->SetText(Edit1->Text());
    wizard.Edit20->SetText(Edit2->Text());
    wizard.Edit21->SetText(Edit3->Text());
    wizard.Edit22->SetText(Edit1->Text());
    wizard.Edit23->SetText(Edit2->Text());
    wizard.Edit24->SetText(Edit3->Text());
    Hide();
}

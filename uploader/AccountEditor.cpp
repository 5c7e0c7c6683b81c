#include "uploader/AccountEditor.h"

#include "platform/controls/TDialogs.h"
#include "uploader/AccountChooser.h"
#include "uploader/UploaderWindow.h"

TForm2* AccountEditor = nullptr;

namespace {

// The components TForm2 holds, by their names in the layout.
const TBindingTable AccountEditorBindings = {
    {"Edit1", &TForm2::Edit1},
    {"Edit2", &TForm2::Edit2},
    {"Edit3", &TForm2::Edit3},
    {"Edit4", &TForm2::Edit4},
    {"Edit5", &TForm2::Edit5},
    {"Edit6", &TForm2::Edit6},
    {"RadioButton1", &TForm2::RadioButton1},
    {"Button1", &TForm2::Button1},
    {"Button2", &TForm2::Button2},
};

}  // namespace

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("FormCreate", this, &TForm2::FormCreate);
    handlers.Add("Button1Click", this, &TForm2::Button1Click);
    handlers.Add("Button2Click", this, &TForm2::Button2Click);
    ReadLayout("AccountEditor", handlers, &AccountEditorBindings);
}

TForm2::~TForm2()
{
    if (AccountEditor == this)
        AccountEditor = nullptr;
}

void TForm2::FormCreate(TObject*)
{
    CurrentFlag = "no";
}

TAccount TForm2::EnteredAccount() const
{
    return {Edit1->Text(), Edit2->Text(), Edit3->Text(), Edit4->Text(), Edit5->Text(), Edit6->Text(), CurrentFlag};
}

void TForm2::ShowAccount(const TAccount& account)
{
    Edit1->SetText(account.Name);
    Edit2->SetText(account.Host);
    Edit3->SetText(account.User);
    Edit4->SetText(account.Password);
    Edit5->SetText(account.Port);
    Edit6->SetText(account.Directory);
    CurrentFlag = account.Flag;
    if (CurrentFlag == "yes")
        RadioButton1->SetChecked(true);
}

void TForm2::Button1Click(TObject*)
{
    Hide();
}

void TForm2::Button2Click(TObject*)
{
    TForm1& main = *UploaderWindow;
    const TAccount account = EnteredAccount();
    if (const std::string refusal = AccountRefusal(account); !refusal.empty()) {
        ShowMessage(refusal);
        return;
    }
    const std::string line = ScrambledAccountLine(account);
    if (main.EditMode == "B") {
        // The chooser may have ended without a choice.
        const int index = AccountChooser->ComboBox1->ItemIndex();
        if (index < 0 || index >= main.AccountList.Count()) {
            ShowMessage("no account selected");
            return;
        }
        main.AccountList.SetStrings(index, line);
        WriteAccountLines(main.AccountFile(), main.AccountList.Items());
        Hide();
        return;
    }
    AppendAccountLine(main.AccountFile(), line);
    main.ComboBox1->Clear();
    main.ComboBox1->SetText("Konto w\xE4hlen..");
    main.LoadAccounts(*main.ComboBox1);
    Hide();
    ShowMessage("enter account");
}

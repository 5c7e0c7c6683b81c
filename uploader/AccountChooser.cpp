#include "uploader/AccountChooser.h"

#include "uploader/AccountEditor.h"
#include "uploader/UploaderWindow.h"

TForm4* AccountChooser = nullptr;

namespace {

// The components TForm4 holds, by their names in the layout.
const TBindingTable AccountChooserBindings = {
    {"Label1", &TForm4::Label1},
    {"ComboBox1", &TForm4::ComboBox1},
    {"Button1", &TForm4::Button1},
};

}  // namespace

TForm4::TForm4(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("Button1Click", this, &TForm4::Button1Click);
    ReadLayout("AccountChooser", handlers, &AccountChooserBindings);
}

TForm4::~TForm4()
{
    if (AccountChooser == this)
        AccountChooser = nullptr;
}

void TForm4::Button1Click(TObject*)
{
    Hide();
    // Without a choice the editor keeps the values of its last use, and its
    // "save ->" finds no account to replace.
    const TStringList& list = UploaderWindow->AccountList;
    const int index = ComboBox1->ItemIndex();
    if (index >= 0 && index < list.Count())
        AccountEditor->ShowAccount(UnscrambledAccount(list.Strings(index)));
    AccountEditor->Show();
}

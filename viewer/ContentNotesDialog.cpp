#include "viewer/ContentNotesDialog.h"

TForm4* ContentNotesDialog = nullptr;

namespace {

// The components TForm4 holds, by their names in the layout.
const TBindingTable ContentNotesDialogBindings = {
    {"Memo1", &TForm4::Memo1},
    {"Button1", &TForm4::Button1},
    {"Button2", &TForm4::Button2},
};

}  // namespace

TForm4::TForm4(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("ContentNotesDialog", THandlerTable(), &ContentNotesDialogBindings);
}

TForm4::~TForm4()
{
    if (ContentNotesDialog == this)
        ContentNotesDialog = nullptr;
}

#include "builder/dialogs/MetaTagsEditor.h"

#include "builder/dialogs/MetaHeadText.h"

TForm14* MetaTagsEditor = nullptr;

namespace {

// The components TForm14 holds, by their names in the layout.
const TBindingTable MetaTagsEditorBindings = {
    {"Memo1", &TForm14::Memo1},
    {"Button1", &TForm14::Button1},
    {"Button2", &TForm14::Button2},
};

}  // namespace

TForm14::TForm14(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("Button1Click", this, &TForm14::Button1Click);
    handlers.Add("Button2Click", this, &TForm14::Button2Click);
    ReadLayout("MetaTagsEditor", handlers, &MetaTagsEditorBindings);
}

TForm14::~TForm14()
{
    if (MetaTagsEditor == this)
        MetaTagsEditor = nullptr;
}

void TForm14::Button1Click(TObject*)
{
    MetaHeadText = Memo1->Text();
    Hide();
}

void TForm14::Button2Click(TObject*)
{
    Hide();
}

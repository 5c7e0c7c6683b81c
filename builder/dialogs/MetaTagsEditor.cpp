#include "builder/dialogs/MetaTagsEditor.h"

#include "builder/dialogs/MetaHeadText.h"

TForm14* MetaTagsEditor = nullptr;

TForm14::TForm14(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("Button1Click", this, &TForm14::Button1Click);
    handlers.Add("Button2Click", this, &TForm14::Button2Click);
    ReadLayout("MetaTagsEditor", handlers);
    Memo1 = Child<TMemo>("Memo1");
    Button1 = Child<TButton>("Button1");
    Button2 = Child<TButton>("Button2");
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

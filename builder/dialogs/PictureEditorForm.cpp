#include "builder/dialogs/PictureEditorForm.h"

TForm17* PictureEditorForm = nullptr;

TForm17::TForm17(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("PictureEditorForm", THandlerTable());
}

TForm17::~TForm17()
{
    if (PictureEditorForm == this)
        PictureEditorForm = nullptr;
}

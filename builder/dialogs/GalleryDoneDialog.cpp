#include "builder/dialogs/GalleryDoneDialog.h"

TForm4* GalleryDoneDialog = nullptr;

TForm4::TForm4(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("GalleryDoneDialog", THandlerTable());
    Label1 = Child<TLabel>("Label1");
    Label2 = Child<TLabel>("Label2");
    Label3 = Child<TLabel>("Label3");
    BitBtn1 = Child<TBitBtn>("BitBtn1");
    BitBtn2 = Child<TBitBtn>("BitBtn2");
}

TForm4::~TForm4()
{
    if (GalleryDoneDialog == this)
        GalleryDoneDialog = nullptr;
}

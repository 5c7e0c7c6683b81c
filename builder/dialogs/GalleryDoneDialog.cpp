#include "builder/dialogs/GalleryDoneDialog.h"

TForm4* GalleryDoneDialog = nullptr;

namespace {

// The components TForm4 holds, by their names in the layout.
const TBindingTable GalleryDoneDialogBindings = {
    {"Label1", &TForm4::Label1},
    {"Label2", &TForm4::Label2},
    {"Label3", &TForm4::Label3},
    {"BitBtn1", &TForm4::BitBtn1},
    {"BitBtn2", &TForm4::BitBtn2},
};

}  // namespace

TForm4::TForm4(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("GalleryDoneDialog", THandlerTable(), &GalleryDoneDialogBindings);
}

TForm4::~TForm4()
{
    if (GalleryDoneDialog == this)
        GalleryDoneDialog = nullptr;
}

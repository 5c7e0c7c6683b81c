#include "viewer/LoadingWindow.h"

TForm2* LoadingWindow = nullptr;

namespace {

// The components TForm2 holds, by their names in the layout.
const TBindingTable LoadingWindowBindings = {
    {"Label1", &TForm2::Label1},
};

}  // namespace

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("LoadingWindow", THandlerTable(), &LoadingWindowBindings);
}

TForm2::~TForm2()
{
    if (LoadingWindow == this)
        LoadingWindow = nullptr;
}

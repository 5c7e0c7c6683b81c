#include "viewer/LoadingWindow.h"

TForm2* LoadingWindow = nullptr;

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("LoadingWindow", THandlerTable());
    Label1 = Child<TLabel>("Label1");
}

TForm2::~TForm2()
{
    if (LoadingWindow == this)
        LoadingWindow = nullptr;
}

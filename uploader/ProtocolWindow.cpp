#include "uploader/ProtocolWindow.h"

TForm6* ProtocolWindow = nullptr;
TForm9* FolderExistsPrompt = nullptr;

TForm6::TForm6(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("ProtocolWindow", THandlerTable());
    Memo1 = Child<TMemo>("Memo1");
}

TForm6::~TForm6()
{
    if (ProtocolWindow == this)
        ProtocolWindow = nullptr;
}

TForm9::TForm9(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("FolderExistsPrompt", THandlerTable());
    Label1 = Child<TLabel>("Label1");
    Button1 = Child<TButton>("Button1");
    Button2 = Child<TButton>("Button2");
}

TForm9::~TForm9()
{
    if (FolderExistsPrompt == this)
        FolderExistsPrompt = nullptr;
}

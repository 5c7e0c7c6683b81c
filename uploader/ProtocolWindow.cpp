#include "uploader/ProtocolWindow.h"

TForm6* ProtocolWindow = nullptr;
TForm9* FolderExistsPrompt = nullptr;

namespace {

// The components TForm6 holds, by their names in the layout.
const TBindingTable ProtocolWindowBindings = {
    {"Memo1", &TForm6::Memo1},
};

}  // namespace

TForm6::TForm6(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("ProtocolWindow", THandlerTable(), &ProtocolWindowBindings);
}

TForm6::~TForm6()
{
    if (ProtocolWindow == this)
        ProtocolWindow = nullptr;
}

namespace {

// The components TForm9 holds, by their names in the layout.
const TBindingTable FolderExistsPromptBindings = {
    {"Label1", &TForm9::Label1},
    {"Button1", &TForm9::Button1},
    {"Button2", &TForm9::Button2},
};

}  // namespace

TForm9::TForm9(TComponent* AOwner) : TForm(AOwner)
{
    ReadLayout("FolderExistsPrompt", THandlerTable(), &FolderExistsPromptBindings);
}

TForm9::~TForm9()
{
    if (FolderExistsPrompt == this)
        FolderExistsPrompt = nullptr;
}

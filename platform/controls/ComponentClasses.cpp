// The standard component classes, registered for the layout reader on first use.

#include "platform/controls/Properties.h"
#include "platform/controls/TButton.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TMenu.h"

void RegisterStandardComponentClasses()
{
    RegisterComponentClass<TForm>("TForm");
    RegisterComponentClass<TButton>("TButton");
    RegisterComponentClass<TMainMenu>("TMainMenu");
    RegisterComponentClass<TPopupMenu>("TPopupMenu");
    RegisterComponentClass<TMenuItem>("TMenuItem");
    RegisterComponentClass<TOpenDialog>("TOpenDialog");
    RegisterComponentClass<TSaveDialog>("TSaveDialog");
    RegisterComponentClass<TOpenPictureDialog>("TOpenPictureDialog");
    RegisterComponentClass<TSavePictureDialog>("TSavePictureDialog");
    RegisterComponentClass<TColorDialog>("TColorDialog");
    RegisterComponentClass<TFontDialog>("TFontDialog");
}

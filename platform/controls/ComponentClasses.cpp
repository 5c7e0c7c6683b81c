// The standard component classes, registered for the layout reader on first use.

#include "platform/controls/Properties.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TButton.h"
#include "platform/controls/TCheckBox.h"
#include "platform/controls/TComboBox.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TFileControls.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TListBox.h"
#include "platform/controls/TMenu.h"
#include "platform/controls/TPageControl.h"
#include "platform/controls/TPanel.h"
#include "platform/controls/TTimer.h"
#include "platform/controls/TToolBar.h"
#include "platform/controls/TTrackBar.h"
#include "platform/controls/TUpDown.h"

void RegisterStandardComponentClasses()
{
    RegisterComponentClass<TForm>("TForm");
    RegisterComponentClass<TLabel>("TLabel");
    RegisterComponentClass<TStaticText>("TStaticText");
    RegisterComponentClass<TEdit>("TEdit");
    RegisterComponentClass<TMemo>("TMemo");
    RegisterComponentClass<TButton>("TButton");
    RegisterComponentClass<TBitBtn>("TBitBtn");
    RegisterComponentClass<TSpeedButton>("TSpeedButton");
    RegisterComponentClass<TCheckBox>("TCheckBox");
    RegisterComponentClass<TRadioButton>("TRadioButton");
    RegisterComponentClass<TListBox>("TListBox");
    RegisterComponentClass<TComboBox>("TComboBox");
    RegisterComponentClass<TTrackBar>("TTrackBar");
    RegisterComponentClass<TProgressBar>("TProgressBar");
    RegisterComponentClass<TUpDown>("TUpDown");
    RegisterComponentClass<TPageControl>("TPageControl");
    RegisterComponentClass<TTabSheet>("TTabSheet");
    RegisterComponentClass<TToolBar>("TToolBar");
    RegisterComponentClass<TToolButton>("TToolButton");
    RegisterComponentClass<TPanel>("TPanel");
    RegisterComponentClass<TScrollBox>("TScrollBox");
    RegisterComponentClass<TSplitter>("TSplitter");
    RegisterComponentClass<TImage>("TImage");
    RegisterComponentClass<TPaintBox>("TPaintBox");
    RegisterComponentClass<TShape>("TShape");
    RegisterComponentClass<TTimer>("TTimer");
    RegisterComponentClass<TMainMenu>("TMainMenu");
    RegisterComponentClass<TPopupMenu>("TPopupMenu");
    RegisterComponentClass<TMenuItem>("TMenuItem");
    RegisterComponentClass<TDriveComboBox>("TDriveComboBox");
    RegisterComponentClass<TDirectoryListBox>("TDirectoryListBox");
    RegisterComponentClass<TFileListBox>("TFileListBox");
    RegisterComponentClass<TOpenDialog>("TOpenDialog");
    RegisterComponentClass<TSaveDialog>("TSaveDialog");
    RegisterComponentClass<TOpenPictureDialog>("TOpenPictureDialog");
    RegisterComponentClass<TSavePictureDialog>("TSavePictureDialog");
    RegisterComponentClass<TColorDialog>("TColorDialog");
    RegisterComponentClass<TFontDialog>("TFontDialog");
}

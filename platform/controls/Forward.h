#pragma once

// Forward declarations of the component and control classes.

class TComponent;
class TControl;
class TWinControl;
class TGraphicControl;
class TCustomForm;
class TForm;
class TApplication;
class TScreen;
class TMenuItem;
class TMainMenu;
class TPopupMenu;
class TPropertyTable;
class THandlerTable;
class TControlPeer;
class TUserInteraction;

#pragma once

// The peers of the control classes, one maker each (internal to this folder).
// Every maker builds the peer, gives it its widget and fills it from the model.

#include <memory>

#include "platform/controls/ControlPeer.h"
#include "platform/controls/Forward.h"

class TButton;
class TCheckBox;
class TRadioButton;
class TStaticText;
class TCustomEdit;
class TListBox;
class TComboBox;
class TTrackBar;
class TProgressBar;
class TUpDown;
class TPageControl;
class TScrollBox;

std::unique_ptr<TControlPeer> MakeFormPeer(TCustomForm& form);
std::unique_ptr<TControlPeer> MakeButtonPeer(TButton& button);  // bitmap buttons too
std::unique_ptr<TControlPeer> MakeCheckBoxPeer(TCheckBox& box);
std::unique_ptr<TControlPeer> MakeRadioButtonPeer(TRadioButton& button);
std::unique_ptr<TControlPeer> MakeStaticTextPeer(TStaticText& text);
std::unique_ptr<TControlPeer> MakeEditPeer(TCustomEdit& edit);  // edits and memos
std::unique_ptr<TControlPeer> MakeListBoxPeer(TListBox& list);  // file and folder lists too
std::unique_ptr<TControlPeer> MakeComboBoxPeer(TComboBox& combo);  // drive boxes too
std::unique_ptr<TControlPeer> MakeTrackBarPeer(TTrackBar& bar);
std::unique_ptr<TControlPeer> MakeProgressBarPeer(TProgressBar& bar);
std::unique_ptr<TControlPeer> MakeUpDownPeer(TUpDown& upDown);
std::unique_ptr<TControlPeer> MakePageControlPeer(TPageControl& pages);
std::unique_ptr<TControlPeer> MakeScrollBoxPeer(TScrollBox& box);
// Panels, scroll boxes, tab sheets, tool bars and any other windowed control:
// the form's surface shows through them, with their children on top.
std::unique_ptr<TControlPeer> MakeContainerPeer(TWinControl& control);

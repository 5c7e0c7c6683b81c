#include "platform/display/PeerFactory.h"

#include "platform/controls/TButton.h"
#include "platform/controls/TCheckBox.h"
#include "platform/controls/TComboBox.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TListBox.h"
#include "platform/controls/TPageControl.h"
#include "platform/controls/TPanel.h"
#include "platform/controls/TTrackBar.h"
#include "platform/controls/TUpDown.h"
#include "platform/display/Peers.h"

std::unique_ptr<TControlPeer> TToolkitPeerFactory::CreatePeer(TWinControl& control)
{
    if (auto* form = dynamic_cast<TCustomForm*>(&control)) return MakeFormPeer(*form);
    if (auto* button = dynamic_cast<TButton*>(&control)) return MakeButtonPeer(*button);
    if (auto* box = dynamic_cast<TCheckBox*>(&control)) return MakeCheckBoxPeer(*box);
    if (auto* radio = dynamic_cast<TRadioButton*>(&control)) return MakeRadioButtonPeer(*radio);
    if (auto* text = dynamic_cast<TStaticText*>(&control)) return MakeStaticTextPeer(*text);
    if (auto* edit = dynamic_cast<TCustomEdit*>(&control)) return MakeEditPeer(*edit);
    if (auto* list = dynamic_cast<TListBox*>(&control)) return MakeListBoxPeer(*list);
    if (auto* combo = dynamic_cast<TComboBox*>(&control)) return MakeComboBoxPeer(*combo);
    if (auto* track = dynamic_cast<TTrackBar*>(&control)) return MakeTrackBarPeer(*track);
    if (auto* progress = dynamic_cast<TProgressBar*>(&control)) return MakeProgressBarPeer(*progress);
    if (auto* upDown = dynamic_cast<TUpDown*>(&control)) return MakeUpDownPeer(*upDown);
    if (auto* pages = dynamic_cast<TPageControl*>(&control)) return MakePageControlPeer(*pages);
    if (auto* box = dynamic_cast<TScrollBox*>(&control)) return MakeScrollBoxPeer(*box);
    return MakeContainerPeer(control);
}

#include "platform/display/DisplayBackend.h"

#include <FL/Fl.H>

#include "platform/controls/TCustomForm.h"
#include "platform/controls/TScreen.h"
#include "platform/controls/UserInteraction.h"
#include "platform/display/DropDownList.h"
#include "platform/display/HintWindow.h"
#include "platform/display/MenuWindows.h"
#include "platform/display/PeerFactory.h"
#include "platform/display/TDisplay.h"
#include "platform/display/TDisplayInteraction.h"
#include "platform/display/TFormPeer.h"

namespace {

struct TBackend {
    TToolkitPeerFactory Factory;
    TDisplayInteraction Interaction;
    TUserInteraction* Previous = nullptr;
    bool Installed = false;
};

TBackend& Backend()
{
    static TBackend backend;
    return backend;
}

// Shown at once: the code that sets the hourglass works without pumping.
void ShowScreenCursor()
{
    TDisplay* display = TDisplay::Current();
    if (!display) return;
    for (TFormPeer* form : display->Forms())
        form->FollowCursor();
    Fl::flush();
}

}  // namespace

bool InstallDisplayBackend()
{
    TBackend& backend = Backend();
    if (backend.Installed) return true;
    if (!TDisplay::Open()) return false;
    backend.Previous = InstalledUserInteraction();
    SetPeerFactory(&backend.Factory);
    SetUserInteraction(&backend.Interaction);
    TScreen::SetCursorNotice(ShowScreenCursor);
    backend.Installed = true;
    return true;
}

bool DisplayBackendInstalled() { return Backend().Installed; }

void UninstallDisplayBackend()
{
    TBackend& backend = Backend();
    if (!backend.Installed) return;
    CloseMenus();
    HideHintWindow();
    DestroyHintWindow();
    TScreen::SetCursorNotice(nullptr);
    SetPeerFactory(nullptr);
    SetUserInteraction(backend.Previous);
    backend.Installed = false;
    TDisplay::Close();
}

TRect DisplayWindowRect(const TCustomForm& form)
{
    const auto* peer = dynamic_cast<const TFormPeer*>(form.Peer());
    if (!peer || !peer->Widget()) return {};
    const Fl_Widget& window = *peer->Widget();
    return Bounds(window.x(), window.y(), window.w(), window.h());
}

bool DisplayShowsCursor(const TCustomForm& form, TCursor cursor)
{
    const auto* peer = dynamic_cast<const TFormPeer*>(form.Peer());
    return peer && peer->ShowsCursor(cursor);
}

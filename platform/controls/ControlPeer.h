#pragma once

// The seam between the headless control model and a display backend.
//
// Controls never draw real windows themselves. When a backend is installed
// (SetPeerFactory), every windowed control of a form gets a peer once the form
// is first shown, and hears through it of every change that a real widget must
// follow; the peer reads the control's properties back as it needs them.
// Input goes the other way, through the same entry points the headless input
// driver uses (TCustomForm::MouseInput, KeyInput). Windowless controls have no
// peer: they paint into their form's surface, which the form's peer shows.
//
// Headless (no factory installed) no peer is ever made.

#include <memory>

#include "platform/controls/Forward.h"
#include "platform/graphics/Types.h"

enum class TPeerChange {
    Bounds, Text, Visible, Enabled, Font, Color, Items, Value, Focus, ZOrder, Style, Parent,
};

class TControlPeer {
public:
    virtual ~TControlPeer() = default;
    virtual void Changed(TPeerChange change) = 0;
    // Part of the form's surface was repainted (form peers only).
    virtual void SurfacePainted(const TRect& rect) = 0;
};

class TPeerFactory {
public:
    virtual ~TPeerFactory() = default;
    virtual std::unique_ptr<TControlPeer> CreatePeer(TWinControl& control) = 0;
};

// The installed backend; nullptr headless. The factory must outlive every peer.
TPeerFactory* PeerFactory();
void SetPeerFactory(TPeerFactory* factory);

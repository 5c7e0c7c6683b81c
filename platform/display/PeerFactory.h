#pragma once

// The display's peer factory: one peer per windowed control, by class.

#include "platform/controls/ControlPeer.h"

class TToolkitPeerFactory : public TPeerFactory {
public:
    std::unique_ptr<TControlPeer> CreatePeer(TWinControl& control) override;
};

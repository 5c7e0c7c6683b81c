#pragma once

// The sound device: plays one wave to its end or until `stop` turns true.

#include <atomic>

#include "platform/shell/TWaveData.h"

// False when there is no sound device (or it refuses the wave's format): the
// sound is then silent. Blocks while playing; `stop` is looked at every few
// tens of milliseconds.
bool PlayOnSoundDevice(const TWaveData& wave, const std::atomic<bool>& stop);

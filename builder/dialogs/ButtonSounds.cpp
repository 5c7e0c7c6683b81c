#include "builder/dialogs/ButtonSounds.h"

#include "platform/controls/TMenu.h"
#include "platform/shell/Sound.h"

namespace {

const TMenuItem* SoundSwitch = nullptr;

bool SoundEffectsOn() { return SoundSwitch && SoundSwitch->Checked(); }

void PlayButtonResource(const char* name)
{
    if (SoundEffectsOn())
        PlaySound(name, SND_RESOURCE | SND_ASYNC);
}

}  // namespace

void SetButtonSoundSwitch(const TMenuItem* soundEffects) { SoundSwitch = soundEffects; }
const TMenuItem* ButtonSoundSwitch() { return SoundSwitch; }

void PlayHoverSound() { PlayButtonResource("PLAY1"); }
void PlayButtonSound() { PlayButtonResource("PLAY2"); }

#include "builder/dialogs/ButtonSounds.h"

#include "builder/wizard/WizardForm.h"
#include "platform/shell/Sound.h"

namespace {

bool SoundEffectsOn() { return WizardForm && WizardForm->AnAus1 && WizardForm->AnAus1->Checked(); }

void PlayButtonResource(const char* name)
{
    if (SoundEffectsOn())
        PlaySound(name, SND_RESOURCE | SND_ASYNC);
}

}  // namespace

void PlayHoverSound() { PlayButtonResource("PLAY1"); }
void PlayButtonSound() { PlayButtonResource("PLAY2"); }

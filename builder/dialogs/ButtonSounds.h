#pragma once

// The two button sounds, played asynchronously from the program's wave
// resources while the switch given to SetButtonSoundSwitch (the wizard's
// "Sound Effects") is checked; a new sound cuts the one playing. Without a
// switch they are silent.

class TMenuItem;

void SetButtonSoundSwitch(const TMenuItem* soundEffects);
const TMenuItem* ButtonSoundSwitch();

// "PLAY1": the mouse came onto a start-screen button or a wizard frame.
void PlayHoverSound();
// "PLAY2": a start-screen button or a wizard picture button was pressed, or a
// page tab.
void PlayButtonSound();

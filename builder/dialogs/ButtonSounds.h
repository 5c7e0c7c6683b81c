#pragma once

// The two button sounds, played asynchronously from the program's wave
// resources while the wizard's "Sound Effects" is checked; a new sound cuts
// the one playing.

// "PLAY1": the mouse came onto a start-screen button or a wizard frame.
void PlayHoverSound();
// "PLAY2": a start-screen button or a wizard picture button was pressed, or a
// page tab.
void PlayButtonSound();

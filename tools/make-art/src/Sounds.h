#pragma once

// The two button sounds, synthesised: PCM, 16 bits, mono, 22050 Hz.

#include <cstdint>
#include <span>
#include <string>

inline constexpr unsigned SoundRate = 22050;

// A soft short tick for the mouse coming onto a button, about 50 ms.
std::string MakeHoverTick();
// A click for a pressed button, about 120 ms.
std::string MakeButtonClick();
// A RIFF WAVE file of the samples.
std::string WaveFile(std::span<const std::int16_t> samples);

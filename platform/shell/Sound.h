#pragma once

// Wave sounds, played from registered resources or files.
//
// One sound plays at a time, process-wide: a new sound cuts the one playing,
// and PlaySound(nullptr, ...) or SND_PURGE stops it. SND_ASYNC returns at once
// and plays on a worker thread; without it the call plays to the end. Without
// a sound device every sound is silent and PlaySound still succeeds, so the
// programs behave the same on machines without audio.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/loop/Messages.h"

inline constexpr DWORD SND_SYNC = 0x00000000;
inline constexpr DWORD SND_ASYNC = 0x00000001;
inline constexpr DWORD SND_NODEFAULT = 0x00000002;  // there is no default sound anyway
inline constexpr DWORD SND_MEMORY = 0x00000004;     // alone not supported: answers false
inline constexpr DWORD SND_LOOP = 0x00000008;       // with SND_ASYNC, until stopped
inline constexpr DWORD SND_NOSTOP = 0x00000010;     // false instead of cutting a playing sound
inline constexpr DWORD SND_PURGE = 0x00000040;
inline constexpr DWORD SND_FILENAME = 0x00020000;
inline constexpr DWORD SND_RESOURCE = 0x00040004;

// Resources by name (case-insensitive, like Windows resource names). A later
// registration of the same name replaces the earlier one.
void RegisterWaveResource(const std::string& name, std::vector<std::uint8_t> bytes);
// Reads a wave file (CP1252 name) into a resource; throws EFOpenError when it
// cannot be read.
void RegisterWaveResourceFile(const std::string& name, const std::string& fileName);
void UnregisterWaveResource(const std::string& name);

// False for an unknown resource or file, data that is no PCM wave, SND_MEMORY,
// or SND_NOSTOP while a sound plays. With SND_RESOURCE the name is a resource;
// with SND_FILENAME a file; with neither, a resource and then a file.
bool PlaySound(const char* name, DWORD flags);

// True while the sound device plays a sound (never without a device).
bool SoundPlaying();

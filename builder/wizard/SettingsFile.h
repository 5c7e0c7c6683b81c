#pragma once

// The builder's settings file "settings.dat" in the program folder: three
// lines ended by CR LF, "SOUND=ON"/"SOUND=OFF", "COLOR=ON"/"COLOR=OFF" and
// "LANG=eng"/"LANG=deu".
//
// Reading: a line that contains "SOUND" (or "COLOR") selects that switch, and
// only the exact line "SOUND=ON" (or "COLOR=ON") switches it on, so
// "SOUND=ON " with a blank switches it off. Every other line, the LANG line
// among them, changes nothing: the builder always starts in English. A
// missing file changes nothing; a file that cannot be read raises the
// platform's file exception (EFOpenError, EInOutError).

#include <string>
#include <string_view>

struct TBuilderSettings {
    bool SoundEffects = true;
    bool ColorEffects = true;
};

// Applies the lines of a settings text (CR LF, LF or CR ends a line).
void ApplySettingsText(std::string_view text, TBuilderSettings& settings);
// The file's text: "LANG=eng" for the language "eng", "LANG=deu" for any other.
std::string SettingsText(const TBuilderSettings& settings, std::string_view language);

void ReadSettingsFile(const std::string& fileName, TBuilderSettings& settings);
// Creates or truncates the file; raises EFCreateError / EInOutError.
void WriteSettingsFile(const std::string& fileName, const TBuilderSettings& settings, std::string_view language);

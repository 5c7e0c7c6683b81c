#pragma once

// Where an EXE gallery is saved and how it is written.

#include <string>
#include <string_view>

// The save target: the chosen name when it contains ".exe" anywhere (case
// matters), else the name + ".exe".
std::string ExeGalleryTarget(const std::string& chosenName);
// Replaces the target whole and gives it the execute permission, without
// which the gallery would not start.
void WriteExeGallery(const std::string& target, std::string_view bytes);
std::string ExeGalleryCompleteMessage(const std::string& target);

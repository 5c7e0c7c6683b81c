#pragma once

// Saving and loading a gallery project between the wizard's controls (and
// those of its dialogs) and a project file with its side files: "._tn" the
// picture list, "._tk" the comments, ".tx1" to ".tx3" the three extra texts,
// named from the project file's stem and kept in its folder.
//
// Saving writes each file under a new name and renames it over the old one,
// so a failed save leaves the earlier project whole. Loading reads and checks
// everything first (record size, text lengths, side files, numbers, the
// background picture) and only then sets the controls: a refused load raises
// EProjectFileError naming the file and changes nothing.

#include <string>

#include "builder/wizard/ProjectRecord.h"

class TForm1;

void WriteProjectFile(TForm1& wizard, const std::string& fileName);
// A ".vt2" project: every option it holds.
void ReadProjectFile(TForm1& wizard, const std::string& fileName);
// An older ".vtn" project: the pictures (each with the comment " "), the
// page, size, text and font options; the rest keeps its values.
void ReadProjectFileV1(TForm1& wizard, const std::string& fileName);

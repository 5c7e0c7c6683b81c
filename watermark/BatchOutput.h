#pragma once

// Where the batch run writes each stamped picture, and how: a picture is
// never replaced by a half-written file.

#include <string>
#include <vector>

class TBitmap;

enum class TSaveChoice { OriginalName, NameAndCounter, Overwrite };

// A path whose text holds ".jpg" or ".JPG" is a JPEG picture; any other a BMP picture.
bool IsJpegPath(const std::string& path);

// The file name without its folder and without its last extension
// ('a.b.jpg' gives 'a.b', 'readme' stays 'readme').
std::string OutputBaseName(const std::string& path);

// The output file for list line `path`: in `folder` under the picture's own
// name (JPEG as ".jpg", BMP keeping its name), under name + counter, or the
// path itself.
std::string BatchTarget(const std::string& path, TSaveChoice choice, const std::string& folder,
                        const std::string& name, int counter);

// The files already there that a batch with this choice would replace, in
// list order, each once. Overwriting the originals is meant to, and gives none.
std::vector<std::string> FilesWrittenOver(const std::vector<std::string>& paths, TSaveChoice choice,
                                          const std::string& folder, const std::string& name);

// The first list file that a batch with this choice would write over (the
// same file after resolving the path, links included), or "" when none does.
// Overwriting the originals is the one choice meant to, and gives "".
std::string ListedFileWrittenOver(const std::vector<std::string>& paths, TSaveChoice choice,
                                  const std::string& folder, const std::string& name);

// The picture loaded as a bitmap (a JPEG path decoded); the picture classes'
// error when it cannot be read.
void LoadPictureBitmap(const std::string& path, TBitmap& bitmap);

// Writes the bitmap as JPEG (quality 90) or BMP to a new file beside the
// target and renames it over the target; on any failure the target is as it
// was and the error names it.
void SaveStampedPicture(TBitmap& bitmap, const std::string& target, bool jpeg);

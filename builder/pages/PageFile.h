#pragma once

// One file of a web gallery as it is to be written: its name inside the gallery
// folder and its whole text. Pages are assembled in memory and written whole;
// some kinds end with a CR LF that the text itself does not hold.

#include <string>

struct TPageFile {
    std::string Name;
    std::string Text;
    bool FinalLineEnd = false;

    friend bool operator==(const TPageFile&, const TPageFile&) = default;
};

// Writes `text` whole to `fileName`, replacing the file, followed by CR LF when
// `finalLineEnd`. Raises EFCreateError / EInOutError as WriteFileBytes does.
void WritePageText(const std::string& fileName, const std::string& text, bool finalLineEnd);
// Writes `file` into `folder` (which ends with its "/").
void WritePageFile(const std::string& folder, const TPageFile& file);

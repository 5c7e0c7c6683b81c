#pragma once

// The plug-in's start arguments as the builder writes them: the gallery
// folder with every blank as "%20", then "/V" (full pictures), "/T"
// (thumbnails) or "/A" (both), compared exactly. Anything else in the second
// place leaves full pictures only.

#include <string>

struct TStartArguments {
    bool Remote = false;     // a gallery folder was given
    std::string GalleryDir;  // "%20" turned back into blanks
    bool FullPictures = true;
    bool Thumbnails = false;
};

TStartArguments ReadStartArguments(const std::string& folder, const std::string& kinds);

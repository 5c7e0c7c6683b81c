#pragma once

// The words of the generated pages' navigation links. They start in English;
// the language table replaces them, and every build reads them when it starts.

#include <string>

extern std::string NavIndexText;
extern std::string NavGalleryText;
extern std::string NavNextText;
extern std::string NavBackText;
extern std::string NavPicturesText;

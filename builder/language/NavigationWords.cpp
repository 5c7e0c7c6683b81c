#include "builder/language/NavigationWords.h"

std::string NavIndexText = "Index";
std::string NavGalleryText = "Gallery";
std::string NavNextText = "Next";
std::string NavBackText = "Back";
std::string NavPicturesText = "Pictures";

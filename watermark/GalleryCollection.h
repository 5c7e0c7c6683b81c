#pragma once

// A gallery's pictures as the builder names them: full pictures "*_big.jpg",
// thumbnails "th_" with one to three digits.

#include <string>
#include <vector>

std::string GalleryMask(bool fullPictures, bool thumbnails);

// folder + "/" + name for every name, in order, leaving out a path that the
// text collected so far already contains.
std::vector<std::string> CollectGallery(const std::string& folder, const std::vector<std::string>& names);

#pragma once

// The viewer's nearest-neighbour scaling for thumbnails and the first turn:
// column i samples the source at round((i + 1) x step), step = source size /
// target size, the sample taken as size - 1 once it reaches the size. The
// aspect ratio is not kept. An empty source or a target side below 1 gives
// an empty (0 x 0 sized side) pf24bit bitmap.

#include <memory>

class TBitmap;

std::unique_ptr<TBitmap> getMiniImage(const TBitmap& source, int width, int height);

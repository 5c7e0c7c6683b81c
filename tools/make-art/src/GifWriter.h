#pragma once

// A GIF 89a file of a bitmap, its colours mapped to a fixed palette (a
// 6x6x6 cube and grey steps). The LZW stream restarts before codes grow past
// nine bits: bigger than needed, which does not matter for small icons.

#include <string>

#include "platform/graphics/TBitmap.h"

std::string EncodeGif(const TBitmap& bitmap);

#pragma once

// The start screen's background and its seven image buttons.

#include <memory>

#include "platform/graphics/TBitmap.h"

enum class TStartButton { Mail, Web, Thumbs, Exe, Pdf, Language, Exit };

// 720 x 500: the title band with the product name and a subtitle in the
// language, then a calm area for the buttons, texts and links.
std::unique_ptr<TBitmap> DrawStartScreen(bool german);
// 64 x 64 with the transparent key colour around the tile.
std::unique_ptr<TBitmap> DrawStartButton(TStartButton button);

#pragma once

// The viewer's tool bar glyphs, with the transparent key colour in their
// bottom-left pixel where the bitmap buttons take it from.

#include <memory>

#include "platform/graphics/TBitmap.h"

enum class TViewerGlyph { Exit, Save, Colour, TurnLeft, TurnRight, Info };

// 24 x 24; Info 28 x 28.
std::unique_ptr<TBitmap> DrawViewerGlyph(TViewerGlyph glyph);

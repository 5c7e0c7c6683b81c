#pragma once

// The watermark plug-in's pictures: the assistant's backdrop, its image
// buttons (keyed like the other button pictures) and the five small pictures
// of the mark's positions.

#include <memory>

#include "platform/graphics/TBitmap.h"

enum class TStampelButton { Cancel, Next, Back };
enum class TStampelPosition { TopLeft, BottomLeft, TopRight, BottomRight, Centre };

// 520 x 330, white where the assistant's choices lie.
std::unique_ptr<TBitmap> DrawStampelAssistant();
// 32 x 32.
std::unique_ptr<TBitmap> DrawStampelButton(TStampelButton button);
// 32 x 24.
std::unique_ptr<TBitmap> DrawStampelPosition(TStampelPosition position);

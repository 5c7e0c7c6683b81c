#pragma once

// The wizard pages' pictures, the gallery-kind previews and the instruction
// picture that shows how a finished gallery is linked from a home page.

#include <memory>

#include "platform/graphics/TBitmap.h"

enum class TPagePicture { Pictures, Gallery, Texts, Mail, Thumbs, Exe, Pdf };

// 160 x 120.
std::unique_ptr<TBitmap> DrawPagePicture(TPagePicture page);
// 200 x 150: a page of the HTML or the PHP gallery.
std::unique_ptr<TBitmap> DrawKindPreview(bool php);
// 740 x 400, with German and English words.
std::unique_ptr<TBitmap> DrawInstructions();

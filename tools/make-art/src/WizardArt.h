#pragma once

// The wizard's picture buttons and icons, and the gallery-kind dialog's two
// kind pictures. All opaque, drawn on the dialogs' button face.

#include <memory>

#include "platform/graphics/TBitmap.h"

enum class TWizardButton { Add, Delete, Clear, Fonts, Background, Copyright, LoadText };
enum class TWizardIcon { Start, Publish, MetaTags };

// 104 x 28: a pill with a small icon and the word of the language.
std::unique_ptr<TBitmap> DrawWizardButton(TWizardButton role, bool german);
// The word on a button (CP1252).
const char* WizardButtonWord(TWizardButton role, bool german);
// 48 x 48.
std::unique_ptr<TBitmap> DrawWizardIcon(TWizardIcon icon);
// 48 x 48: a page marked HTML or PHP.
std::unique_ptr<TBitmap> DrawKindIcon(bool php);

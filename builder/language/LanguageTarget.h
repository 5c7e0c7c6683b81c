#pragma once

// Finds the target of a language row among the application's windows and
// gives it the row's text or picture, as the target's class takes it:
// captions of labels, buttons, radio buttons, check boxes, page tabs, menu
// items and windows; the text of text boxes (lines split at CR LF) and combo
// boxes; one item of a combo box; the picture of an image.
//
// A combo box that gets a text that is none of its items loses its selection,
// so what the box shows is what the build reads (no item chosen).
//
// A target that does not exist, or cannot take what the row gives, is a fault
// of the table: ApplyLanguageRow then changes nothing and returns false, and
// LanguageRowFits finds it for the tests.

#include "builder/language/LanguageTable.h"

// Applies one row; false when its target or its source is missing or unfit.
bool ApplyLanguageRow(const TLanguageRow& row);
// Whether the row's target and source exist and fit, without changing them.
bool LanguageRowFits(const TLanguageRow& row);

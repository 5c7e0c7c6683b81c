#pragma once

// The toolkit's text drawn as the canvas draws its own, so that a caption
// looks the same on a button, in an edit, in a dialog and on a label beside
// them: hard, fully hinted glyphs (the canvas's must stay hard, its pixels
// go into the pictures the programs write), and one size for the one face,
// the widgets' default font's, in menus, dialogs, message boxes and hints.

namespace Toolkit {

// Sets the toolkit's rendering and normal size; once, before any widget.
void UseCanvasText();
// The pixel size of the toolkit's own text.
int TextSize();

}  // namespace Toolkit

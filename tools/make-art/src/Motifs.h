#pragma once

// Small drawings that several pictures share, each fitted into a box.

#include "tools/make-art/src/ArtPainter.h"

namespace Motif {

// A landscape photo: sky, sun and hills; `variant` shifts the scene so that
// rows of photos do not repeat. With a white border like a print when
// `framed`.
void Photo(TArtPainter& p, const TBox& box, int variant, bool framed = true);
// A soft shadow under a card-like shape.
void Shadow(TArtPainter& p, const TBox& box, double radius, double depth = 2);
// A white card with a thin border.
void Card(TArtPainter& p, const TBox& box, double radius);
// A browser window with its bar; returns the page area inside it.
TBox Browser(TArtPainter& p, const TBox& box, double scale = 1);
// A grid of photos inside a box.
void PhotoGrid(TArtPainter& p, const TBox& box, int columns, int rows, double gap, int firstVariant);
// An envelope, its flap in `flap`.
void Envelope(TArtPainter& p, const TBox& box, TColor body, TColor flap, TColor lines);
// A globe of meridians and parallels, drawn as lines of `width`.
void Globe(TArtPainter& p, const TBox& box, double width, const TPaint& paint);
// A sheet with a folded corner.
void Sheet(TArtPainter& p, const TBox& box, TColor paper, TColor fold, TColor border);
// A row of text lines, like body copy.
void TextLines(TArtPainter& p, const TBox& box, int lines, double thickness, TColor colour);
// A big arrow from a to b.
void Arrow(TArtPainter& p, TPt a, TPt b, double width, const TPaint& paint);
// A five-pointed star, one point up.
void Star(TArtPainter& p, TPt centre, double radius, const TPaint& paint);
// An arc of a circle from `from` to `to` degrees (counter-clockwise, 0 at
// three o'clock) with an arrow head at its end.
void CircleArrow(TArtPainter& p, TPt centre, double radius, double from, double to, double width,
                 const TPaint& paint);

}  // namespace Motif

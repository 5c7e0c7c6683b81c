#pragma once

// The full picture of an animated GIF, worked frame by frame so that it keeps
// every frame: the shrink to the limits and the copyright note. Each frame
// keeps its extensions (delay, disposal, transparency, the loop count) and
// its own colours; only its pixels and its place on the screen change.

#include <string>

#include "builder/generator/BuildPicture.h"

class TGIFImage;

// Shrinks the logical screen to `size` by nearest neighbour, each frame with
// it: a frame keeps the screen pixels that ResizeBitmap of the whole screen
// samples inside it, so every shown state of the animation is that state
// resized. A frame that no sample meets keeps one pixel where it lay.
void ShrinkGifFrames(TGIFImage& gif, TPictureSize size);

// Draws the note as DrawCopyrightNote draws it at the logical screen's
// (1, 1), into every frame by the part of it that the frame covers, in the
// frame's own black and white: an entry of that colour other than the
// transparent one, else one added to the frame's colours, else the nearest.
// So that every shown frame shows the whole note, a frame that comes when
// the screen does not show it (the first, or one after a frame cleared or
// restored over it) and does not cover it is grown over it, transparent
// where it grew.
void DrawCopyrightNoteIntoFrames(TGIFImage& gif, const std::string& note);

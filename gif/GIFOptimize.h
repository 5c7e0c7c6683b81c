#pragma once

// Making an animation smaller before it is written: colour maps sorted by
// use, transparency that serves nothing dropped, pixels that repeat what the
// previous frame shows turned transparent, frames cut to their opaque part,
// extensions that change nothing removed. The frames look the same after it.

class TGIFSubImage;

// Pixels of `frame` that show what `previous` shows there become transparent.
// Nothing happens when `previous` restores its area afterwards, when the two
// do not meet, or when the frame has no room for a transparent colour.
void MergeWithPrevious(TGIFSubImage& frame, TGIFSubImage* previous);

// Cuts a transparent frame to the rectangle of its opaque pixels; a frame with
// none becomes empty. The logical screen stays.
void CropFrame(TGIFSubImage& frame);

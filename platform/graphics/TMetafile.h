#pragma once

// Windows metafiles (WMF, placeable or plain) and enhanced metafiles (EMF),
// kept as their bytes and played back through our own canvas.
//
// Size: a placeable WMF's bounds at its units per inch, a plain WMF's first
// window extent taken as pixels, an EMF's picture frame (0.01 mm): all in
// pixels at 96 dpi. Loading checks the header only and raises
// EInvalidGraphic for data that is no metafile or whose size is not positive
// or passes 16384 pixels a side (a file's name is added by LoadFromFile).
// Drawing maps the picture onto the rectangle and plays the records; a record
// that is truncated or lies about its size ends the playback there, so a
// damaged file draws what comes before the damage.
// Played: mapping modes, window, viewport and world transforms, saved states,
// pens, brushes, fonts and stock objects, lines, poly-lines, polygons,
// Bezier curves, rectangles, rounded rectangles, ellipses, arcs, pies, chords,
// pixels, text (with its alignment, background and advances), paths, clip
// rectangles and the bitmap records (DIB blits and stretches, pattern blits).
// Where one clip rectangle and the canvas cannot follow the platform the
// playback approximates (MetafilePlayer.h lists how); palettes are ignored.
// Saving writes the bytes as loaded. SetWidth/SetHeight change the size the
// picture reports, not its records.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/graphics/TGraphic.h"

class TMetafile : public TGraphic {
public:
    TMetafile() = default;
    const char* ClassName() const override { return "TMetafile"; }
    std::unique_ptr<TGraphic> Clone() const override;

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    bool Empty() const override { return FData.empty(); }
    bool Enhanced() const { return FEnhanced; }
    const std::string& Data() const { return FData; }

    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // Reads a metafile held in memory (the same rules as LoadFromStream).
    void LoadFromBytes(std::string bytes);

    void Draw(TCanvas& canvas, const TRect& rect) override;

protected:
    bool AssignFrom(const TGraphic& source) override;
    // A bitmap takes the picture drawn at its size on white.
    bool AssignTo(TGraphic& dest) const override;

private:
    std::string FData;
    bool FEnhanced = false;
    int FWidth = 0;
    int FHeight = 0;
};

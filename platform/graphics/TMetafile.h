#pragma once

// Windows metafiles (WMF, placeable or plain) and enhanced metafiles (EMF),
// kept as their bytes and played back through our own canvas.
//
// Size: a placeable WMF's bounds at its units per inch, a plain WMF's first
// window extent taken as pixels (without one, the bounds of what it draws),
// an EMF's picture frame (0.01 mm) in pixels of the reference device its
// header names. Loading checks the header only and raises
// EInvalidGraphic for data that is no metafile or whose size is not positive
// or passes 16384 pixels a side (a file's name is added by LoadFromFile).
// Drawing maps the picture onto the rectangle and plays the records; a record
// that is truncated or lies about its size ends the playback there, so a
// damaged file draws what comes before the damage.
// Played: mapping and world transforms, saved states, pens (geometric ones
// with caps, joins and dashes), solid, hatched and pattern brushes, fonts
// (escapement, CP1252 8-bit text), lines, curves, shapes, arcs in either
// direction, text with alignment and spacing, paths, clip regions, region
// records, gradients, flood fills and the bitmap records with their raster
// operations, masks, transparency and alpha. Palettes are ignored; records
// not drawn are counted (SkippedRecords).
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
    // What the last Draw left out: the count of records it does not draw and
    // a line naming their types ("" when it drew everything), for debugging.
    int SkippedRecords() const { return FSkipped; }
    const std::string& SkippedSummary() const { return FSkippedSummary; }

protected:
    bool AssignFrom(const TGraphic& source) override;
    // A bitmap takes the picture drawn at its size on white.
    bool AssignTo(TGraphic& dest) const override;

private:
    std::string FData;
    bool FEnhanced = false;
    int FWidth = 0;
    int FHeight = 0;
    int FSkipped = 0;
    std::string FSkippedSummary;
};

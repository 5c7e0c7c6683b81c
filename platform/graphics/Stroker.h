#pragma once

// Outlines of wide lines as GDI's geometric pens draw them: end caps, joins,
// dash patterns, all in device pixels. The outline is a set of closed
// polygons turning the same way, so that filling them with the winding rule
// gives their union and every pixel is painted once. Internal to the
// graphics layer.

#include <span>
#include <vector>

#include "platform/graphics/PolygonScan.h"

struct TStrokeStyle {
    double Width = 1;
    enum TCap { capRound, capSquare, capFlat } Cap = capRound;
    enum TJoin { joinRound, joinBevel, joinMiter } Join = joinRound;
    double MiterLimit = 10;
    // On and off lengths, alternately, in pixels; empty: a solid line.
    std::vector<double> Dashes;
};

struct TOutline {
    std::vector<TPointF> Points;
    std::vector<int> Counts;
};

// Appends the outline of the line along `points` (closed: back to the first).
void StrokeOutline(std::span<const TPointF> points, bool closed, const TStrokeStyle& style, TOutline& out);

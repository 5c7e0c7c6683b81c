#pragma once

// Dither engines: they map the pixels of a picture, row by row, through a
// colour lookup. Rows run serpentine: the first left to right, the next right
// to left, and so on. A caller asks the engine for the column of the next
// pixel, hands it that pixel and calls NextLine after each row.
//
// The error-diffusion engines spread each channel's error e (the adjusted
// value minus the palette colour's) to pixels not yet mapped, by weights over
// a divisor; "ahead" follows the row's direction. A pixel's adjusted value is
// its channel plus (the errors it received + divisor div 2) div divisor,
// truncated toward zero, then clamped to 0..255. Errors that fall outside
// the row are dropped.

#include <span>
#include <vector>

#include "gif/ColorLookup.h"

class TDitherEngine {
public:
    TDitherEngine(int width, TColorLookup& lookup);
    virtual ~TDitherEngine() = default;

    int Column() const { return FColumn; }
    int Direction() const { return FDirection; }
    int Width() const { return FWidth; }

    // Maps the pixel at Column to a palette index, then moves one column on.
    virtual int Dither(int red, int green, int blue);
    // Leaves the pixel at Column unmapped (it receives and spreads nothing).
    void SkipColumn() { FColumn += FDirection; }
    virtual void NextLine();

protected:
    TColorLookup& FLookup;
    int FWidth;
    int FColumn = 0;
    int FDirection = 1;
};

// One weight of a kernel: `Row` rows below (0 this row), `Ahead` columns
// further in the direction of travel (negative: behind).
struct TDitherWeight {
    int Row;
    int Ahead;
    int Weight;
};

class TErrorDiffusionDitherer : public TDitherEngine {
public:
    // `rows` error rows, each padded by `reach` columns on either side.
    TErrorDiffusionDitherer(int width, TColorLookup& lookup, int divisor, int rows, int reach,
                            std::span<const TDitherWeight> weights);
    int Dither(int red, int green, int blue) override;
    void NextLine() override;

private:
    int* Entry(int row, int column) { return FErrors.data() + FRowStart[std::size_t(row)] + 3 * (column + FReach); }

    int FDivisor;
    int FReach;
    std::vector<TDitherWeight> FWeights;
    // Three interleaved channels per column; FRowStart rotates, the rows stay.
    std::vector<int> FErrors;
    std::vector<std::size_t> FRowStart;
};

class TFloydSteinbergDitherer : public TErrorDiffusionDitherer {
public:
    TFloydSteinbergDitherer(int width, TColorLookup& lookup);
};

// The kernels over this row and the two below, five columns wide.
class T5by3Ditherer : public TErrorDiffusionDitherer {
public:
    // `weights`: this row ahead 1 and 2, then the next row and the row after,
    // each behind 2, behind 1, below, ahead 1, ahead 2.
    T5by3Ditherer(int width, TColorLookup& lookup, int divisor, std::span<const int, 12> weights);
};

class TStuckiDitherer : public T5by3Ditherer {
public:
    TStuckiDitherer(int width, TColorLookup& lookup);
};

class TSierraDitherer : public T5by3Ditherer {
public:
    TSierraDitherer(int width, TColorLookup& lookup);
};

class TJaJuNiDitherer : public T5by3Ditherer {
public:
    TJaJuNiDitherer(int width, TColorLookup& lookup);
};

class TSteveArcheDitherer : public TErrorDiffusionDitherer {
public:
    TSteveArcheDitherer(int width, TColorLookup& lookup);
};

class TBurkesDitherer : public TErrorDiffusionDitherer {
public:
    TBurkesDitherer(int width, TColorLookup& lookup);
};

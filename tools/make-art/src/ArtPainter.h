#pragma once

// A drawing surface for the programs' pictures: shapes and text are drawn by
// the canvas at four times the size and averaged down, so edges and letters
// come out smooth although the canvas itself draws hard pixels. Coordinates
// are in pixels of the finished picture and may be fractional.
//
// Every shape is first drawn in white on a mask (through TCanvas, clipped to
// the shape's box) and then filled through the mask with its paint: one
// colour, a gradient across the shape's box, and an opacity.
//
// Pixels that nothing was drawn on keep the backdrop colour; ResolveKeyed
// turns exactly those into a key colour, so a picture shown with one
// transparent colour blends into the backdrop it was drawn against.

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"

struct TPt {
    double X = 0;
    double Y = 0;
};

struct TBox {
    double X = 0;
    double Y = 0;
    double W = 0;
    double H = 0;
    double Right() const { return X + W; }
    double Bottom() const { return Y + H; }
    TPt Centre() const { return {X + W / 2, Y + H / 2}; }
    TBox Inset(double d) const { return {X + d, Y + d, W - 2 * d, H - 2 * d}; }
    TBox Moved(double dx, double dy) const { return {X + dx, Y + dy, W, H}; }
};

enum class TGradient { None, Vertical, Horizontal, Diagonal };

struct TPaint {
    TColor From = clBlack;
    TColor To = clBlack;
    TGradient Direction = TGradient::None;
    double Opacity = 1.0;
};

inline TPaint Solid(TColor colour, double opacity = 1.0) { return {colour, colour, TGradient::None, opacity}; }
inline TPaint Vertical(TColor top, TColor bottom) { return {top, bottom, TGradient::Vertical, 1.0}; }
inline TPaint Horizontal(TColor left, TColor right) { return {left, right, TGradient::Horizontal, 1.0}; }
inline TPaint Diagonal(TColor topLeft, TColor bottomRight) { return {topLeft, bottomRight, TGradient::Diagonal, 1.0}; }

// Font names are the Windows names the canvas maps (see FontEngine.h); Size
// is the character height in pixels of the finished picture.
struct TTextStyle {
    std::string Font = "Arial";
    double Size = 12;
    bool Bold = false;
    bool Italic = false;
};

// Mixes two colours; t = 0 gives a, t = 1 gives b.
TColor Mix(TColor a, TColor b, double t);

class TArtPainter {
public:
    static constexpr int Scale = 4;

    TArtPainter(int width, int height, TColor backdrop);
    TArtPainter(const TArtPainter&) = delete;
    TArtPainter& operator=(const TArtPainter&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }

    void FillRect(const TBox& box, const TPaint& paint);
    void FillRoundRect(const TBox& box, double radius, const TPaint& paint);
    void FillEllipse(const TBox& box, const TPaint& paint);
    void FillPolygon(std::span<const TPt> points, const TPaint& paint);
    // An open path with round ends and joins.
    void StrokeLine(std::span<const TPt> points, double width, const TPaint& paint);
    // Rings: the outline of the shape, `width` wide, inside its box.
    void StrokeRoundRect(const TBox& box, double radius, double width, const TPaint& paint);
    void StrokeEllipse(const TBox& box, double width, const TPaint& paint);
    // CP1252 text; y is the top of the character cell.
    void Text(double x, double y, std::string_view text, const TTextStyle& style, const TPaint& paint);
    // Text centred horizontally on cx, its capitals centred vertically on cy.
    void TextCentred(double cx, double cy, std::string_view text, const TTextStyle& style, const TPaint& paint);

    double TextWidth(std::string_view text, const TTextStyle& style);
    double CellHeight(const TTextStyle& style);
    double Ascent(const TTextStyle& style);

    std::unique_ptr<TBitmap> Resolve() const;
    std::unique_ptr<TBitmap> ResolveKeyed(TColor key) const;

private:
    struct TArea {
        int Left, Top, Right, Bottom;
    };
    TArea SubArea(double left, double top, double right, double bottom) const;
    // Clears the mask in the area, lets `draw` paint it white, fills through it.
    template <class F>
    void Paint(TArea area, const TPaint& paint, F draw);
    TCanvas& Mask(TArea area);
    void UseFont(TCanvas& canvas, const TTextStyle& style);

    int FWidth;
    int FHeight;
    TBitmap FPixels;
    TBitmap FMask;
    std::vector<std::uint8_t> FInk;
};

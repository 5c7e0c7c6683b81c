#include <gtest/gtest.h>

#include <vector>

#include "canvas_test_support.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/Stroker.h"

using namespace canvastest;

namespace {

// The pixels of a region inside a window, for comparison with a rule.
PixelSet RegionPixels(const TRegion& r, const TRect& window)
{
    PixelSet pixels;
    for (int y = window.Top; y < window.Bottom; ++y)
        for (int x = window.Left; x < window.Right; ++x)
            if (r.Contains(x, y)) pixels.insert({x, y});
    return pixels;
}

// A stroke's outline filled as the players fill it: winding rule, pixel centres.
PixelSet StrokePixels(std::vector<TPointF> points, bool closed, const TStrokeStyle& style)
{
    TOutline outline;
    StrokeOutline(points, closed, style, outline);
    PixelSet pixels;
    ScanPolygons(outline.Points, outline.Counts, true, -100, 200, -100, 200,
                 [&](int y, int x1, int x2) {
                     for (int x = x1; x < x2; ++x) {
                         // Every pixel once: the outline's pieces form one area.
                         EXPECT_TRUE(pixels.insert({x, y}).second) << x << "," << y;
                     }
                 });
    return pixels;
}

}  // namespace

TEST(Regions, CombineAsTheirModesSayPixelByPixel)
{
    // An L shape (two rectangles) against a rectangle across its corner.
    const TRect parts[2] = {{2, 2, 10, 6}, {2, 6, 5, 14}};
    const TRegion a = TRegion::FromRects(parts);
    const TRegion b(TRect{4, 4, 12, 9});
    struct Case {
        int Mode;
        bool (*Rule)(bool, bool);
    };
    const Case cases[] = {
        {RGN_AND, [](bool p, bool q) { return p && q; }}, {RGN_OR, [](bool p, bool q) { return p || q; }},
        {RGN_XOR, [](bool p, bool q) { return p != q; }}, {RGN_DIFF, [](bool p, bool q) { return p && !q; }},
        {RGN_COPY, [](bool p, bool) { return p; }},
    };
    const TRect window{0, 0, 16, 16};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Mode);
        PixelSet expected;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (c.Rule(a.Contains(x, y), b.Contains(x, y))) expected.insert({x, y});
        const TRegion combined = a.Combined(b, c.Mode);
        EXPECT_EQ(RegionPixels(combined, window), expected);
        // Its rectangles cover the same pixels, none twice.
        PixelSet fromRects;
        for (const TRect& r : combined.Rects())
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right; ++x) EXPECT_TRUE(fromRects.insert({x, y}).second);
        EXPECT_EQ(fromRects, expected);
    }
    EXPECT_EQ(a.Bounds(), (TRect{2, 2, 10, 14}));
    EXPECT_TRUE(a.Combined(TRegion(TRect{20, 20, 30, 30}), RGN_AND).Empty());
    TRegion moved = b;
    moved.Offset(-4, 10);
    EXPECT_EQ(moved.Bounds(), (TRect{0, 14, 8, 19}));
}

TEST(Regions, PolygonRegionsTakeThePixelsAFilledPolygonPaints)
{
    const std::vector<TPoint> star = {{10, 1}, {16, 19}, {1, 7}, {19, 7}, {4, 19}};
    std::vector<TPointF> exact;
    for (TPoint p : star) exact.push_back({double(p.X), double(p.Y)});
    const int counts[1] = {5};
    for (int mode : {1, 2}) {
        SCOPED_TRACE(mode);
        auto b = Filled(24, 24, clWhite);
        b->Canvas().Pen().SetStyle(psClear);
        b->Canvas().Brush().SetColor(clRed);
        b->Canvas().SetPolyFillMode(mode);
        b->Canvas().Polygon(star);
        const TRegion region = TRegion::FromPolygons(exact, counts, mode, {0, 0, 24, 24});
        EXPECT_EQ(RegionPixels(region, {0, 0, 24, 24}), PixelsOf(*b, clRed));
    }
    // A polygon far larger than its limit costs only the limit's rows.
    const std::vector<TPointF> huge = {{-1e9, -1e9}, {1e9, -1e9}, {1e9, 1e9}, {-1e9, 1e9}};
    const int four[1] = {4};
    EXPECT_EQ(TRegion::FromPolygons(huge, four, 1, {0, 0, 50, 40}), TRegion(TRect{0, 0, 50, 40}));
}

TEST(Regions, CanvasClipRegionHoldsForShapesTextAndBlits)
{
    const TRect holes[2] = {{0, 0, 10, 30}, {20, 0, 30, 30}};  // two bands with a gap between them
    const TRegion clip = TRegion::FromRects(holes);
    auto b = Filled(30, 30, clWhite);
    TCanvas& c = b->Canvas();
    c.SetClipRegion(clip);
    c.Brush().SetColor(clBlue);
    c.FillRect(Rect(0, 0, 30, 10));
    c.Pen().SetColor(clBlue);
    c.MoveTo(0, 15);
    c.LineTo(30, 15);
    c.Font().SetName("Arial");
    c.Font().SetHeight(-10);
    c.Font().SetColor(clBlue);
    c.Brush().SetStyle(bsClear);
    c.TextOut(0, 18, "WWWWWW");
    TBitmap red(30, 30, pf24bit);
    red.Fill(clRed);
    BitBlt(c.Handle(), 0, 25, 30, 5, red.Canvas().Handle(), 0, 0, SRCCOPY);
    for (const auto& [x, y] : PixelsNot(*b, clWhite)) EXPECT_TRUE(clip.Contains(x, y)) << x << "," << y;
    EXPECT_EQ(b->Pixel(5, 5), clBlue);
    EXPECT_EQ(b->Pixel(25, 27), clRed);
    EXPECT_EQ(b->Pixel(15, 27), clWhite);
    c.SetClipRegion(std::nullopt);
    c.Brush().SetColor(clLime);
    c.FillRect(Rect(10, 0, 20, 5));
    EXPECT_EQ(b->Pixel(15, 2), clLime);
}

TEST(Brushes, HatchesAndPatternsTileFromTheTargetsOrigin)
{
    struct Case {
        TBrushStyle Style;
        bool (*On)(int x, int y);
    };
    const Case cases[] = {
        {bsHorizontal, [](int, int y) { return y % 8 == 0; }},
        {bsVertical, [](int x, int) { return x % 8 == 0; }},
        {bsFDiagonal, [](int x, int y) { return x % 8 == y % 8; }},
        {bsBDiagonal, [](int x, int y) { return (x + y) % 8 == 7; }},
        {bsCross, [](int x, int y) { return x % 8 == 0 || y % 8 == 0; }},
        {bsDiagCross, [](int x, int y) { return x % 8 == y % 8 || (x + y) % 8 == 7; }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.Style));
        auto b = Filled(24, 24, clWhite);
        TCanvas& c = b->Canvas();
        c.Brush().SetColor(clRed);
        c.Brush().SetStyle(k.Style);
        c.FillRect(Rect(0, 0, 24, 24));
        PixelSet expected;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                if (k.On(x, y)) expected.insert({x, y});
        EXPECT_EQ(PixelsOf(*b, clRed), expected);
        EXPECT_EQ(PixelsOf(*b, clWhite).size(), 24u * 24u - expected.size());  // a transparent background
        c.SetHatchBackground(clYellow);
        c.FillRect(Rect(0, 0, 24, 24));
        EXPECT_EQ(PixelsOf(*b, clYellow).size(), 24u * 24u - expected.size());
    }
    // A pattern bitmap fills in its own colours, in polygons too.
    auto pattern = std::make_shared<TBitmap>(2, 2, pf24bit);
    pattern->Fill(clBlue);
    pattern->SetPixel(0, 0, clLime);
    auto b = Filled(10, 10, clWhite);
    b->Canvas().Brush().SetBitmap(pattern);
    b->Canvas().Pen().SetStyle(psClear);
    const TPoint square[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    b->Canvas().Polygon(square);
    EXPECT_EQ(b->Pixel(4, 6), clLime);
    EXPECT_EQ(b->Pixel(5, 6), clBlue);
    EXPECT_EQ(PixelsOf(*b, clLime).size(), 25u);
}

TEST(Strokes, CapsJoinsAndDashesOfWidePens)
{
    const std::vector<TPointF> line = {{20, 20}, {60, 20}};
    struct CapCase {
        TStrokeStyle::TCap Cap;
        int Left, Right;     // the centre row's first and last pixel
        bool CornerCovered;  // the pixel at the cap's outer corner
    };
    const CapCase caps[] = {
        {TStrokeStyle::capFlat, 20, 59, false},
        {TStrokeStyle::capSquare, 15, 64, true},
        {TStrokeStyle::capRound, 15, 64, false},
    };
    for (const CapCase& k : caps) {
        SCOPED_TRACE(int(k.Cap));
        TStrokeStyle s;
        s.Width = 10;
        s.Cap = k.Cap;
        const PixelSet p = StrokePixels(line, false, s);
        const TRect box = BoundsOf(p);
        EXPECT_EQ(box.Left, k.Left);
        EXPECT_EQ(box.Right - 1, k.Right);
        EXPECT_EQ(box.Top, 15);
        EXPECT_EQ(box.Bottom, 25);
        EXPECT_EQ(p.count({k.Left, 15}) == 1, k.CornerCovered || k.Cap == TStrokeStyle::capFlat);
    }

    // A right-angled corner: miter fills the square corner, bevel cuts it.
    const std::vector<TPointF> corner = {{20, 60}, {20, 20}, {60, 20}};
    for (auto [join, tip] : {std::pair{TStrokeStyle::joinMiter, true}, std::pair{TStrokeStyle::joinBevel, false},
                             std::pair{TStrokeStyle::joinRound, false}}) {
        SCOPED_TRACE(int(join));
        TStrokeStyle s;
        s.Width = 10;
        s.Cap = TStrokeStyle::capFlat;
        s.Join = join;
        const PixelSet p = StrokePixels(corner, false, s);
        EXPECT_EQ(p.count({15, 15}) == 1, tip);
        EXPECT_EQ(p.count({17, 17}), 1u);  // inside the corner's round part or its bevel
    }
    // A miter sharper than the limit falls back to a bevel.
    TStrokeStyle sharp;
    sharp.Width = 6;
    sharp.Join = TStrokeStyle::joinMiter;
    sharp.Cap = TStrokeStyle::capFlat;
    sharp.MiterLimit = 2;
    const PixelSet spike = StrokePixels({{10, 80}, {40, 10}, {70, 80}}, false, sharp);
    EXPECT_GE(BoundsOf(spike).Top, 5);

    // Dashes: 8 on, 4 off along 48 pixels give four dashes.
    TStrokeStyle dashed;
    dashed.Width = 3;
    dashed.Cap = TStrokeStyle::capFlat;
    dashed.Dashes = {8, 4};
    const PixelSet d = StrokePixels({{0, 50}, {48, 50}}, false, dashed);
    int runs = 0;
    for (int x = 0; x < 50; ++x) runs += d.count({x, 50}) && !d.count({x - 1, 50});
    EXPECT_EQ(runs, 4);
    EXPECT_EQ(d.count({9, 50}), 0u);
    EXPECT_EQ(d.count({13, 50}), 1u);
    // Dashes along a huge line stay bounded; a pattern under a pixel is a plain line.
    TStrokeStyle small = dashed;
    small.Dashes = {1, 1};
    TOutline outline;
    const std::vector<TPointF> far = {{0, 0}, {1e9, 0}};
    StrokeOutline(far, false, small, outline);
    EXPECT_LE(outline.Counts.size(), 4097u);
    small.Dashes = {0.01, 0.01};
    TOutline plain;
    StrokeOutline(far, false, small, plain);
    EXPECT_EQ(plain.Counts.size(), 1u);
}

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

#include "canvas_test_support.h"

using namespace canvastest;

namespace {

struct Fixture {
    std::unique_ptr<TBitmap> bitmap;
    TCanvas* canvas;
    explicit Fixture(int w = 20, int h = 20) : bitmap(Filled(w, h, clWhite)), canvas(&bitmap->Canvas())
    {
        canvas->Pen().SetColor(clBlack);
        canvas->Brush().SetColor(clRed);
    }
};

}  // namespace

TEST(CanvasLines, LeaveOutTheirEndPointAndMoveThePen)
{
    struct Case {
        const char* name;
        TPoint from, to;
        PixelSet expected;
    };
    const Case cases[] = {
        {"horizontal", {2, 3}, {6, 3}, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},
        {"leftwards", {6, 3}, {2, 3}, {{6, 3}, {5, 3}, {4, 3}, {3, 3}}},
        {"vertical", {1, 1}, {1, 4}, {{1, 1}, {1, 2}, {1, 3}}},
        {"diagonal", {0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
        {"shallow", {0, 0}, {4, 2}, {{0, 0}, {1, 1}, {2, 1}, {3, 2}}},
        {"point", {5, 5}, {5, 5}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.canvas->MoveTo(c.from.X, c.from.Y);
        f.canvas->LineTo(c.to.X, c.to.Y);
        EXPECT_EQ(PixelsOf(*f.bitmap, clBlack), c.expected) << Art(*f.bitmap, clBlack);
        EXPECT_EQ(f.canvas->PenPos(), c.to);
    }
}

TEST(CanvasLines, PolylineLeavesOutItsLastPointPolygonClosesAndCoversEveryVertex)
{
    Fixture f;
    const TPoint points[3] = {{2, 2}, {6, 2}, {6, 6}};
    f.canvas->Polyline(points);
    PixelSet expected = {{2, 2}, {3, 2}, {4, 2}, {5, 2}, {6, 2}, {6, 3}, {6, 4}, {6, 5}};
    EXPECT_EQ(PixelsOf(*f.bitmap, clBlack), expected);

    Fixture g;
    g.canvas->Brush().SetStyle(bsClear);
    const TPoint square[4] = {{2, 2}, {6, 2}, {6, 6}, {2, 6}};
    g.canvas->Polygon(square);
    PixelSet frame = RectPixels(2, 2, 7, 7);
    for (auto p : RectPixels(3, 3, 6, 6)) frame.erase(p);
    EXPECT_EQ(PixelsOf(*g.bitmap, clBlack), frame) << Art(*g.bitmap, clBlack);
}

TEST(CanvasLines, PolygonFillLeavesRightAndBottomEdgesToTheOutline)
{
    Fixture f;
    f.canvas->Pen().SetStyle(psClear);
    const TPoint square[4] = {{2, 2}, {6, 2}, {6, 6}, {2, 6}};
    f.canvas->Polygon(square);
    EXPECT_EQ(PixelsOf(*f.bitmap, clRed), RectPixels(2, 2, 6, 6));

    // A self-overlapping star: the alternate rule leaves the middle empty,
    // winding fills it.
    const TPoint star[5] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    Fixture a, w;
    a.canvas->Pen().SetStyle(psClear);
    w.canvas->Pen().SetStyle(psClear);
    w.canvas->SetPolyFillMode(2);
    a.canvas->Polygon(star);
    w.canvas->Polygon(star);
    EXPECT_EQ(a.bitmap->Pixel(10, 11), clWhite);
    EXPECT_EQ(w.bitmap->Pixel(10, 11), clRed);
    EXPECT_EQ(a.bitmap->Pixel(10, 3), clRed);
}

TEST(CanvasLines, DashPatternsAndTheirGaps)
{
    Fixture f(40, 2);
    f.canvas->Pen().SetStyle(psDot);
    f.canvas->Brush().SetColor(clLime);
    f.canvas->MoveTo(0, 0);
    f.canvas->LineTo(12, 0);
    std::string row;
    for (int x = 0; x < 13; ++x) row += f.bitmap->Pixel(x, 0) == clBlack ? '#' : f.bitmap->Pixel(x, 0) == clLime ? '-' : '.';
    EXPECT_EQ(row, "###---###---.");

    f.canvas->Pen().SetStyle(psDash);
    f.canvas->Brush().SetStyle(bsClear);
    f.canvas->MoveTo(0, 1);
    f.canvas->LineTo(30, 1);
    int black = 0;
    for (int x = 0; x < 30; ++x) black += f.bitmap->Pixel(x, 1) == clBlack;
    EXPECT_EQ(black, 18 + 6);                          // 18 on, 6 off, then 6 of the next dash
    EXPECT_EQ(f.bitmap->Pixel(20, 1), clWhite);        // a clear brush leaves the gaps alone
}

TEST(CanvasLines, WidePensAreSolidAndCentredOnThePath)
{
    Fixture f;
    f.canvas->Pen().SetWidth(3);
    f.canvas->Pen().SetStyle(psDot);  // ignored for wide pens
    f.canvas->MoveTo(4, 10);
    f.canvas->LineTo(14, 10);
    const TRect ink = BoundsOf(PixelsOf(*f.bitmap, clBlack));
    EXPECT_EQ(ink.Top, 9);
    EXPECT_EQ(ink.Bottom, 12);
    EXPECT_LE(ink.Left, 4);
    EXPECT_GE(ink.Right, 15);  // round cap around the end point
    for (int x = 4; x <= 14; ++x) EXPECT_EQ(f.bitmap->Pixel(x, 10), clBlack) << x;
}

TEST(CanvasLines, XorPenModeUndoesItself)
{
    Fixture f;
    f.bitmap->SetPixel(3, 3, clBlue);
    f.canvas->Pen().SetMode(pmXor);
    f.canvas->Pen().SetColor(clYellow);
    for (int k = 0; k < 2; ++k) {
        f.canvas->MoveTo(0, 3);
        f.canvas->LineTo(10, 3);
        if (k == 0) {
            EXPECT_EQ(f.bitmap->Pixel(3, 3), clBlue ^ clYellow);
        }
    }
    EXPECT_EQ(f.bitmap->Pixel(3, 3), clBlue);
    EXPECT_EQ(f.bitmap->Pixel(5, 3), clWhite);
}

TEST(CanvasLines, DrawingFarOutsideClipsQuickly)
{
    Fixture f;
    const auto start = std::chrono::steady_clock::now();
    f.canvas->MoveTo(-2000000000, 5);
    f.canvas->LineTo(2000000000, 5);
    f.canvas->MoveTo(-2000000000, -2000000000);
    f.canvas->LineTo(2000000000, 2000000000);
    f.canvas->Ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
    f.canvas->Rectangle(-100000, -100000, 100000, 100000);
    const TPoint triangle[3] = {{-2000000000, 0}, {2000000000, 0}, {0, 2000000000}};
    f.canvas->Polygon(triangle);
    f.canvas->Pen().SetWidth(100000);
    f.canvas->MoveTo(-1000000, 10);
    f.canvas->LineTo(1000000, 10);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    for (int x = 0; x < 20; ++x) EXPECT_EQ(f.bitmap->Pixel(x, 5), clBlack);
}

TEST(CanvasShapes, RectangleOutlinesAndFillsAsTheBoxSays)
{
    Fixture f;
    f.canvas->Rectangle(2, 3, 8, 7);
    PixelSet frame = RectPixels(2, 3, 8, 7);
    for (auto p : RectPixels(3, 4, 7, 6)) frame.erase(p);
    EXPECT_EQ(PixelsOf(*f.bitmap, clBlack), frame);
    EXPECT_EQ(PixelsOf(*f.bitmap, clRed), RectPixels(3, 4, 7, 6));

    Fixture g;
    g.canvas->Pen().SetStyle(psClear);
    g.canvas->Rectangle(2, 3, 8, 7);
    EXPECT_EQ(PixelsOf(*g.bitmap, clRed), RectPixels(2, 3, 7, 6));

    Fixture h;
    h.canvas->Pen().SetWidth(2);
    h.canvas->Pen().SetStyle(psInsideFrame);
    h.canvas->Brush().SetStyle(bsClear);
    h.canvas->Rectangle(2, 2, 10, 10);
    PixelSet ring = RectPixels(2, 2, 10, 10);
    for (auto p : RectPixels(4, 4, 8, 8)) ring.erase(p);
    EXPECT_EQ(PixelsOf(*h.bitmap, clBlack), ring);
}

TEST(CanvasShapes, FillRectAndFrameRectUseTheBrush)
{
    Fixture f;
    f.canvas->FillRect(Rect(1, 1, 4, 3));
    EXPECT_EQ(PixelsOf(*f.bitmap, clRed), RectPixels(1, 1, 4, 3));
    Fixture g;
    g.canvas->FrameRect(Rect(1, 1, 5, 4));
    PixelSet frame = RectPixels(1, 1, 5, 4);
    for (auto p : RectPixels(2, 2, 4, 3)) frame.erase(p);
    EXPECT_EQ(PixelsOf(*g.bitmap, clRed), frame);
    g.canvas->Brush().SetStyle(bsClear);
    g.canvas->FillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(PixelsOf(*g.bitmap, clRed), frame);
}

// Fills go by rows; each format's bytes come out as pixel by pixel, the
// fourth byte of 32-bit pixels and the pixels beside the span untouched.
TEST(CanvasShapes, FillsWriteEveryFormatAsSinglePixelsDo)
{
    const std::vector<TRGBQuad> palette = {{0, 0, 0, 0}, {0, 0, 200, 0}, {200, 0, 0, 0}, {90, 90, 90, 0}};
    struct Case {
        TPixelFormat format;
        bool paletted;
    };
    const Case cases[] = {{pf1bit, false}, {pf1bit, true}, {pf4bit, true}, {pf8bit, true},
                          {pf15bit, false}, {pf16bit, false}, {pf24bit, false}, {pf32bit, false}, {pfDevice, false}};
    const TRegion twoParts = TRegion::FromRects(std::vector<TRect>{Rect(0, 0, 9, 7), Rect(14, 2, 30, 5)});
    for (const Case& c : cases)
        for (TColor color : {TColor(RGB(90, 90, 90)), TColor(RGB(210, 10, 5)), clWhite, clBlack})
            for (const TRegion* region : {static_cast<const TRegion*>(nullptr), &twoParts}) {
                TBitmap rows(37, 7, c.format);
                if (c.paletted) rows.SetPalette(std::vector<TRGBQuad>(palette.begin(), palette.begin() + (c.format == pf1bit ? 2 : 4)));
                for (std::size_t i = 0; i < rows.Bits().size(); ++i) rows.Bits()[i] = std::uint8_t(i * 37 + 11);
                TBitmap single;
                single.Assign(rows);
                const TRect box = Rect(3, 1, 34, 6);
                for (TBitmap* b : {&rows, &single}) {
                    b->Canvas().SetClipRegion(region ? std::optional<TRegion>(*region) : std::nullopt);
                    b->Canvas().Brush().SetColor(color);
                }
                rows.Canvas().FillRect(box);
                for (int y = box.Top; y < box.Bottom; ++y)
                    for (int x = box.Left; x < box.Right; ++x)
                        if (!region || region->Contains(x, y)) single.Canvas().SetPixel(x, y, color);
                ASSERT_TRUE(std::equal(rows.Bits().begin(), rows.Bits().end(), single.Bits().begin()))
                    << "format " << c.format << (c.paletted ? " with palette" : "") << ", colour " << color
                    << (region ? ", in a region" : "");
            }
}

TEST(CanvasShapes, EllipsesStayInTheirBoxTouchEverySideAndAreSymmetric)
{
    const TRect boxes[] = {Rect(2, 3, 18, 12), Rect(0, 0, 7, 7), Rect(5, 5, 6, 15), Rect(1, 1, 20, 4),
                           Rect(3, 3, 5, 5)};
    for (const TRect& box : boxes) {
        SCOPED_TRACE(testing::Message() << box.Left << "," << box.Top << "," << box.Right << "," << box.Bottom);
        Fixture f;
        f.canvas->Ellipse(box);
        const PixelSet painted = PixelsNot(*f.bitmap, clWhite);
        EXPECT_EQ(BoundsOf(painted), box) << Art(*f.bitmap, clBlack);
        for (auto [x, y] : painted) {
            const int mx = box.Left + box.Right - 1 - x;
            const int my = box.Top + box.Bottom - 1 - y;
            EXPECT_EQ(f.bitmap->Pixel(mx, y), f.bitmap->Pixel(x, y));
            EXPECT_EQ(f.bitmap->Pixel(x, my), f.bitmap->Pixel(x, y));
        }
        // Each row of the outline is closed: inside pixels never touch white.
        for (auto [x, y] : PixelsOf(*f.bitmap, clRed))
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                EXPECT_NE(f.bitmap->Pixel(x + dx, y + dy), clWhite);
    }
}

TEST(CanvasShapes, PieAndChordFillOnlyTheirPart)
{
    Fixture pie;
    // From the right (3 o'clock) counter-clockwise to the top (12 o'clock).
    pie.canvas->Pie(0, 0, 20, 20, 20, 10, 10, 0);
    EXPECT_EQ(pie.bitmap->Pixel(14, 5), clRed);    // upper right quarter
    EXPECT_EQ(pie.bitmap->Pixel(5, 5), clWhite);   // upper left
    EXPECT_EQ(pie.bitmap->Pixel(14, 15), clWhite); // lower right
    Fixture arc;
    arc.canvas->Arc(0, 0, 20, 20, 20, 10, 10, 0);
    EXPECT_TRUE(PixelsOf(*arc.bitmap, clRed).empty());
    EXPECT_FALSE(PixelsOf(*arc.bitmap, clBlack).empty());
    const TRect arcInk = BoundsOf(PixelsOf(*arc.bitmap, clBlack));
    EXPECT_GE(arcInk.Left, 9);
    EXPECT_LE(arcInk.Left, 10);
    EXPECT_EQ(arcInk.Right, 20);
    EXPECT_EQ(arcInk.Top, 0);
    Fixture chord;
    chord.canvas->Chord(0, 0, 20, 20, 20, 10, 10, 0);
    EXPECT_EQ(chord.bitmap->Pixel(16, 4), clRed);
    EXPECT_EQ(chord.bitmap->Pixel(11, 9), clWhite);  // the pie's corner is not in the chord
}

TEST(CanvasShapes, FloodFillBySurfaceAndByBorder)
{
    Fixture f;
    f.canvas->Brush().SetStyle(bsClear);
    f.canvas->Rectangle(2, 2, 10, 10);
    f.canvas->Brush().SetColor(clBlue);
    f.canvas->FloodFill(5, 5, clWhite, true);
    EXPECT_EQ(PixelsOf(*f.bitmap, clBlue), RectPixels(3, 3, 9, 9));
    Fixture g;
    g.canvas->Brush().SetStyle(bsClear);
    g.canvas->Rectangle(2, 2, 10, 10);
    g.bitmap->SetPixel(4, 4, clLime);
    g.canvas->Brush().SetColor(clBlue);
    g.canvas->FloodFill(5, 5, clBlack, false);
    EXPECT_EQ(PixelsOf(*g.bitmap, clBlue), RectPixels(3, 3, 9, 9));
}

TEST(CanvasShapes, Frame3DPaintsTopLeftAndBottomRightAndShrinks)
{
    Fixture f;
    TRect r = Rect(1, 1, 6, 5);
    Frame3D(*f.canvas, r, clBtnHighlight, clBtnShadow, 1);
    EXPECT_EQ(r, Rect(2, 2, 5, 4));
    const TColor light = ColorToRGB(clBtnHighlight);
    const TColor dark = ColorToRGB(clBtnShadow);
    ASSERT_NE(light, dark);
    EXPECT_EQ(f.bitmap->Pixel(1, 1), light);
    EXPECT_EQ(f.bitmap->Pixel(4, 1), light);
    EXPECT_EQ(f.bitmap->Pixel(5, 1), dark);  // top-right corner belongs to the shadow
    EXPECT_EQ(f.bitmap->Pixel(1, 3), light);
    EXPECT_EQ(f.bitmap->Pixel(1, 4), dark);  // bottom-left corner too
    EXPECT_EQ(f.bitmap->Pixel(5, 4), dark);
    EXPECT_EQ(f.bitmap->Pixel(3, 3), clWhite);
}

TEST(CanvasState, OriginAndClipRectangleApplyToEveryCall)
{
    auto b = Filled(10, 10, clWhite);
    TCanvas canvas(*b);
    canvas.SetOrigin({3, 2});
    canvas.SetClipRect(Rect(3, 2, 7, 6));
    canvas.Brush().SetColor(clRed);
    canvas.FillRect(Rect(-5, -5, 50, 50));
    EXPECT_EQ(PixelsOf(*b, clRed), RectPixels(3, 2, 7, 6));
    canvas.SetPixel(0, 0, clBlue);
    EXPECT_EQ(b->Pixel(3, 2), clBlue);
    EXPECT_EQ(canvas.Pixel(0, 0), clBlue);
    EXPECT_EQ(canvas.Pixel(10, 0), CLR_INVALID);
}

TEST(CanvasCopy, CopyRectStretchesThroughTheCopyMode)
{
    auto source = Filled(2, 2, clBlue);
    source->SetPixel(1, 1, clRed);
    auto dest = Filled(4, 4, clLime);
    TCanvas s(*source), d(*dest);
    d.CopyRect(Rect(0, 0, 4, 4), s, Rect(0, 0, 2, 2));
    EXPECT_EQ(PixelsOf(*dest, clRed), RectPixels(2, 2, 4, 4));
    d.SetCopyMode(cmSrcPaint);
    dest->Fill(clLime);
    d.CopyRect(Rect(0, 0, 2, 2), s, Rect(0, 0, 2, 2));
    EXPECT_EQ(dest->Pixel(0, 0), clLime | clBlue);
    EXPECT_EQ(dest->Pixel(1, 1), clLime | clRed);
}

TEST(CanvasCopy, CopyRectFromMonochromeTakesFontAndBrushColours)
{
    TBitmap mono(2, 1, pf1bit);
    mono.SetPixel(0, 0, clBlack);
    mono.SetPixel(1, 0, clWhite);
    auto dest = Filled(2, 1, clLime);
    TCanvas d(*dest);
    d.Font().SetColor(clRed);
    d.Brush().SetColor(clBlue);
    d.CopyRect(Rect(0, 0, 2, 1), mono.Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(dest->Pixel(0, 0), clRed);
    EXPECT_EQ(dest->Pixel(1, 0), clBlue);
}

// An unstretched draw between 24-bit pictures copies rows; offset, clipped
// and off the edges it puts each source pixel where a pixel copy would.
TEST(CanvasCopy, DrawCopiesEachPixelToItsPlace)
{
    for (TPixelFormat format : {pf24bit, pfDevice, pf32bit})
        for (TPoint at : {TPoint{3, 2}, TPoint{-4, -3}, TPoint{20, 15}}) {
            TBitmap source(11, 9, format);
            for (int y = 0; y < 9; ++y)
                for (int x = 0; x < 11; ++x) source.SetPixel(x, y, RGB(x * 20, y * 25, (x * y) & 0xFF));
            auto dest = Filled(24, 18, clLime);
            dest->Canvas().SetClipRect(Rect(1, 1, 22, 16));
            dest->Canvas().Draw(at.X, at.Y, source);
            for (int y = 0; y < 18; ++y)
                for (int x = 0; x < 24; ++x) {
                    const int sx = x - at.X, sy = y - at.Y;
                    const bool covered = sx >= 0 && sy >= 0 && sx < 11 && sy < 9 && x >= 1 && y >= 1 && x < 22 && y < 16;
                    ASSERT_EQ(dest->Pixel(x, y), covered ? source.Pixel(sx, sy) : clLime)
                        << "format " << format << " at " << at.X << "," << at.Y << ": pixel " << x << "," << y;
                }
        }
}

TEST(CanvasCopy, DrawAndStretchDrawHonourTransparency)
{
    auto picture = Filled(2, 2, clFuchsia);
    picture->SetPixel(0, 0, clRed);
    picture->SetTransparentColor(clFuchsia);
    auto dest = Filled(6, 6, clWhite);
    TCanvas d(*dest);
    d.Draw(1, 1, *picture);
    EXPECT_EQ(PixelsOf(*dest, clFuchsia).size(), 3u);
    picture->SetTransparent(true);
    dest->Fill(clWhite);
    d.StretchDraw(Rect(0, 0, 4, 4), *picture);
    EXPECT_EQ(PixelsOf(*dest, clRed), RectPixels(0, 0, 2, 2));
    EXPECT_TRUE(PixelsOf(*dest, clFuchsia).empty());
}

// The record families that real files use beyond simple shapes: text,
// clipping, brushes, pens, gradients, regions, bitmaps and picture sizes.

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "canvas_test_support.h"
#include "metafile_test_support.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/Region.h"

using namespace canvastest;

namespace {

void Put16(std::string& s, std::uint16_t v)
{
    s.push_back(char(v & 0xFF));
    s.push_back(char(v >> 8));
}

// EXTCREATEFONTINDIRECTW: a LOGFONTW with the face in UTF-16.
void EmfFont(EmfWriter& e, int index, int height, int escapement, const std::string& face, int charset = 1)
{
    std::string logfont;
    for (std::int32_t v : {height, 0, escapement, escapement, 400}) EmfWriter::Put32(logfont, std::uint32_t(v));
    logfont += std::string(3, '\0');
    logfont.push_back(char(charset));
    logfont += std::string(4, '\0');
    std::string name(64, '\0');
    for (std::size_t i = 0; i < face.size(); ++i) name[2 * i] = face[i];
    e.Record(82, {index}, logfont + name);
    e.Record(37, {index});
}

// EXTTEXTOUTW or, with `ansi`, EXTTEXTOUTA of `text` (bytes) at (x, y), with advances when given.
void EmfText(EmfWriter& e, int x, int y, const std::string& text, bool ansi, std::vector<int> dx = {})
{
    std::string tail;
    for (unsigned char c : text) {
        if (ansi) tail.push_back(char(c));
        else Put16(tail, c);
    }
    while (tail.size() % 4) tail.push_back('\0');
    const int offDx = dx.empty() ? 0 : int(76 + tail.size());
    for (int d : dx) EmfWriter::Put32(tail, std::uint32_t(d));
    e.Record(ansi ? 83 : 84, {0, 0, 0, 0, 1, 0, 0, x, y, int(text.size()), 76, 0, 0, 0, 0, 0, offDx}, tail);
}

std::unique_ptr<TBitmap> CanvasText(int x, int y, const std::string& text, int height = -16)
{
    auto b = Filled(96, 96, clWhite);
    TCanvas& c = b->Canvas();
    c.Font().SetName("Arial");
    c.Font().SetHeight(height);
    c.Font().SetColor(clBlack);
    c.Brush().SetStyle(bsClear);
    c.TextOut(x, y, text);
    return b;
}

std::unique_ptr<TBitmap> PlayedEmf(const EmfWriter& e) { return Played(*Load(e.File()), 96, 96, Rect(0, 0, 96, 96)); }

// A RGNDATA of rectangles.
std::string RegionData(std::initializer_list<TRect> rects)
{
    std::string d;
    for (std::uint32_t v : {32u, 1u, std::uint32_t(rects.size()), std::uint32_t(rects.size() * 16)}) EmfWriter::Put32(d, v);
    for (int k = 0; k < 4; ++k) EmfWriter::Put32(d, 0);
    for (const TRect& r : rects)
        for (int v : {r.Left, r.Top, r.Right, r.Bottom}) EmfWriter::Put32(d, std::uint32_t(v));
    return d;
}

// A blue rectangle over the whole picture, without outline.
void FillAll(EmfWriter& e, TColor color = clBlue)
{
    e.Record(39, {9, 0, int(color), 0});
    e.Record(37, {9});
    e.Record(37, {int(0x80000008)});  // NULL_PEN
    e.Record(43, {0, 0, 97, 97});
}

}  // namespace

TEST(MetafileText, EightBitTextIsCp1252AndSmallTextOutDrawsLikeTextOut)
{
    // Bytes 0x80 to 0x9F are letters in CP1252: the euro sign, quotes, the oe ligature.
    const std::string letters = "\x80\x93\x9C\x8A";
    for (bool wmf : {true, false}) {
        SCOPED_TRACE(wmf ? "META_EXTTEXTOUT" : "EMR_EXTTEXTOUTA");
        std::unique_ptr<TBitmap> played;
        if (wmf) {
            WmfWriter w;
            w.Record(0x02FB, {-16, 0, 0, 0, 400, 0, 0 /* ANSI_CHARSET */, 0, 0, 'A' | ('r' << 8), 'i' | ('a' << 8), 'l',
                              0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
            ++w.objects;
            w.Select(0);
            w.Record(0x0102, {1});  // transparent
            w.Record(0x0A32, {20, 10, 4, 0, 0x9380 - 0x10000, 0x8A9C - 0x10000});
            played = Played(*Load(w.File(true, Rect(0, 0, 96, 96), 96)), 96, 96, Rect(0, 0, 96, 96));
        } else {
            EmfWriter e;
            EmfFont(e, 1, -16, 0, "Arial", 0);
            e.Record(18, {1});
            EmfText(e, 10, 20, letters, true);
            played = PlayedEmf(e);
        }
        const auto direct = CanvasText(10, 20, letters);
        EXPECT_FALSE(PixelsNot(*played, clWhite).empty());
        EXPECT_EQ(CountDifferences(*played, *direct), 0) << Art(*played, clBlack);
    }

    // SMALLTEXTOUT without a rectangle, in 8-bit and 16-bit characters.
    for (bool small : {true, false}) {
        SCOPED_TRACE(small);
        EmfWriter e;
        EmfFont(e, 1, -16, 0, "Arial");
        e.Record(18, {1});
        std::string chars;
        for (char c : std::string("Ab\x80")) {
            if (small) chars.push_back(c);
            else Put16(chars, c == '\x80' ? 0x20AC : std::uint16_t(c));
        }
        while (chars.size() % 4) chars.push_back('\0');
        e.Record(108, {10, 20, 3, 0x100 | (small ? 0x200 : 0), 1, 0, 0}, chars);
        const auto played = PlayedEmf(e);
        EXPECT_EQ(CountDifferences(*played, *CanvasText(10, 20, "Ab\x80")), 0) << Art(*played, clBlack);
    }
}

TEST(MetafileText, SpacingHeightEscapementAndTheCurrentPosition)
{
    // The spacing array places each character, whatever our font's advances.
    {
        EmfWriter e;
        EmfFont(e, 1, -16, 0, "Arial");
        e.Record(18, {1});
        EmfText(e, 5, 20, "ii", false, {30, 30});
        const auto played = PlayedEmf(e);
        auto direct = Filled(96, 96, clWhite);
        direct->Canvas().Font().SetName("Arial");
        direct->Canvas().Font().SetHeight(-16);
        direct->Canvas().Font().SetColor(clBlack);
        direct->Canvas().Brush().SetStyle(bsClear);
        direct->Canvas().TextOut(5, 20, "i");
        direct->Canvas().TextOut(35, 20, "i");
        EXPECT_EQ(CountDifferences(*played, *direct), 0) << Art(*played, clBlack);
    }
    // A positive height is the cell's, a negative one the characters': the same number draws smaller.
    int inkHeight[2] = {};
    for (int sign : {1, -1}) {
        EmfWriter e;
        EmfFont(e, 1, 40 * sign, 0, "Arial");
        EmfText(e, 5, 5, "H", false);
        const TRect box = BoundsOf(PixelsNot(*PlayedEmf(e), clWhite));
        inkHeight[sign > 0] = box.Height();
    }
    EXPECT_LT(inkHeight[1], inkHeight[0]);
    EXPECT_GE(inkHeight[0], 27);  // a capital of a 40-pixel character height

    // Escapement 90 degrees: the line runs upwards from the reference point,
    // the characters' tops to its left.
    {
        EmfWriter e;
        EmfFont(e, 1, -16, 900, "Arial");
        e.Record(18, {1});
        EmfText(e, 40, 80, "HHHH", false);
        const TRect box = BoundsOf(PixelsNot(*PlayedEmf(e), clWhite));
        EXPECT_GT(box.Height(), 2 * box.Width());
        EXPECT_LE(box.Bottom, 81);
        EXPECT_GE(box.Left, 39);
        EXPECT_LE(box.Right, 40 + 20);
    }
    // TA_UPDATECP: the second text goes on where the first ended.
    {
        EmfWriter e;
        EmfFont(e, 1, -16, 0, "Arial");
        e.Record(18, {1});
        e.Record(22, {1});        // SETTEXTALIGN TA_UPDATECP
        e.Record(27, {10, 20});   // MOVETOEX
        EmfText(e, 0, 0, "AB", false);
        EmfText(e, 0, 0, "CD", false);
        const auto played = PlayedEmf(e);
        EXPECT_EQ(CountDifferences(*played, *CanvasText(10, 20, "ABCD")), 0) << Art(*played, clBlack);
    }
}

TEST(MetafileClipping, RectanglesRegionsPathsAndSavedStates)
{
    struct Case {
        const char* Name;
        void (*Build)(EmfWriter&);
        TRegion Expected;
    };
    const TRect two[2] = {{10, 10, 30, 20}, {50, 60, 70, 90}};
    const TRect ring[4] = {{20, 20, 60, 30}, {20, 30, 30, 50}, {50, 30, 60, 50}, {20, 50, 60, 60}};
    const Case cases[] = {
        {"intersect", [](EmfWriter& e) { e.Record(30, {20, 20, 60, 60}); }, TRegion(TRect{20, 20, 60, 60})},
        {"intersect then exclude",
         [](EmfWriter& e) {
             e.Record(30, {20, 20, 60, 60});
             e.Record(29, {30, 30, 50, 50});
         },
         TRegion::FromRects(ring)},
        {"exclude undone by restore",
         [](EmfWriter& e) {
             e.Record(30, {20, 20, 60, 60});
             e.Record(33, {});
             e.Record(29, {30, 30, 50, 50});
             e.Record(34, {-1});
         },
         TRegion(TRect{20, 20, 60, 60})},
        {"region of two rectangles, not their bounds",
         [](EmfWriter& e) {
             const std::string rgn = RegionData({{10, 10, 30, 20}, {50, 60, 70, 90}});
             e.Record(75, {int(rgn.size()), RGN_COPY}, rgn);
         },
         TRegion::FromRects(two)},
        {"region and-ed with a rectangle",
         [](EmfWriter& e) {
             e.Record(30, {0, 0, 60, 96});
             const std::string rgn = RegionData({{10, 10, 30, 20}, {50, 60, 70, 90}});
             e.Record(75, {int(rgn.size()), RGN_AND}, rgn);
         },
         TRegion::FromRects(std::vector<TRect>{{10, 10, 30, 20}, {50, 60, 60, 90}})},
        {"no region: no clip",
         [](EmfWriter& e) {
             e.Record(30, {20, 20, 60, 60});
             e.Record(75, {0, RGN_COPY});
         },
         TRegion(TRect{0, 0, 96, 96})},
        {"clip path",
         [](EmfWriter& e) {
             e.Record(59, {});
             e.Record(27, {10, 10});
             e.Record(54, {80, 10});
             e.Record(54, {10, 80});
             e.Record(61, {});
             e.Record(60, {});
             e.Record(67, {RGN_COPY});
         },
         [] {
             const std::vector<TPointF> t = {{10, 10}, {80, 10}, {10, 80}};
             const int n[1] = {3};
             return TRegion::FromPolygons(t, n, 1, {0, 0, 96, 96});
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EmfWriter e;
        c.Build(e);
        FillAll(e);
        const auto played = PlayedEmf(e);
        PixelSet expected;
        for (int y = 0; y < 96; ++y)
            for (int x = 0; x < 96; ++x)
                if (c.Expected.Contains(x, y)) expected.insert({x, y});
        EXPECT_EQ(PixelsOf(*played, clBlue), expected) << Art(*played, clBlue);
    }

    // A clip region of the caller's canvas stays in force under the file's own.
    EmfWriter e;
    e.Record(30, {0, 0, 50, 96});
    FillAll(e);
    auto m = Load(e.File());
    auto b = Filled(96, 96, clWhite);
    b->Canvas().SetClipRegion(TRegion(TRect{40, 0, 96, 10}));
    b->Canvas().StretchDraw(Rect(0, 0, 96, 96), *m);
    EXPECT_EQ(PixelsOf(*b, clBlue), RectPixels(40, 0, 50, 10));
    EXPECT_NE(b->Canvas().ClipRegion(), nullptr);
}

TEST(MetafileFills, HatchesGradientsAndRegionRecords)
{
    // A hatched brush: lines in its colour, between them the background colour or nothing.
    for (int mode : {1, 2}) {
        SCOPED_TRACE(mode);
        EmfWriter e;
        e.Record(18, {mode});
        e.Record(25, {int(clYellow)});
        e.Record(39, {1, 2 /* BS_HATCHED */, int(clRed), 4 /* HS_CROSS */});
        e.Record(37, {1});
        e.Record(37, {int(0x80000008)});
        e.Record(43, {0, 0, 33, 33});
        const auto played = PlayedEmf(e);
        EXPECT_EQ(PixelsOf(*played, clRed).size(), 32u * 32u - 28u * 28u);
        EXPECT_EQ(PixelsOf(*played, clYellow).size(), mode == 2 ? 28u * 28u : 0u);
    }
    // GRADIENTFILL, horizontal: red at the left, blue at the right, mixed between.
    {
        EmfWriter e;
        std::string v;
        for (auto [x, y, r, b] : {std::tuple{10, 10, 0xFF00, 0}, std::tuple{90, 30, 0, 0xFF00}}) {
            EmfWriter::Put32(v, std::uint32_t(x));
            EmfWriter::Put32(v, std::uint32_t(y));
            for (int c : {r, 0, b, 0}) Put16(v, std::uint16_t(c));
        }
        EmfWriter::Put32(v, 0);
        EmfWriter::Put32(v, 1);
        e.Record(118, {0, 0, 96, 96, 2, 1, 0}, v);
        const auto played = PlayedEmf(e);
        EXPECT_GE(GetRValue(played->Pixel(10, 20)), 250);
        EXPECT_LE(GetBValue(played->Pixel(10, 20)), 5);
        EXPECT_GE(GetBValue(played->Pixel(89, 20)), 250);
        const TColor mid = played->Pixel(50, 20);
        EXPECT_NEAR(GetRValue(mid), 128, 4);
        EXPECT_NEAR(GetBValue(mid), 128, 4);
        EXPECT_EQ(played->Pixel(50, 31), clWhite);
    }
    // FILLRGN, FRAMERGN, INVERTRGN and META_FILLREGION.
    {
        EmfWriter e;
        e.Record(39, {1, 0, int(clRed), 0});
        const std::string rgn = RegionData({{10, 10, 30, 30}, {40, 10, 50, 20}});
        e.Record(71, {0, 0, 0, 0, int(rgn.size()), 1}, rgn);
        const std::string frame = RegionData({{60, 60, 80, 80}});
        e.Record(72, {0, 0, 0, 0, int(frame.size()), 1, 2, 3}, frame);
        const std::string inv = RegionData({{0, 90, 96, 96}});
        e.Record(73, {0, 0, 0, 0, int(inv.size())}, inv);
        const auto played = PlayedEmf(e);
        PixelSet red = RectPixels(10, 10, 30, 30);
        red.merge(RectPixels(40, 10, 50, 20));
        PixelSet ring = RectPixels(60, 60, 80, 80);
        for (const auto& p : RectPixels(62, 63, 78, 77)) ring.erase(p);
        red.merge(ring);
        EXPECT_EQ(PixelsOf(*played, clRed), red) << Art(*played, clRed);
        EXPECT_EQ(PixelsOf(*played, clBlack), RectPixels(0, 90, 96, 96));
    }
    {
        WmfWriter w;
        w.Brush(0, clLime);
        // CREATEREGION: header words, bounds, one scan of two spans 2..6 and 10..14 over rows 3..8.
        w.Record(0x06FF, {0, 6, 0, 0, 0, 1, 0, 2, 3, 14, 8, 4, 3, 8, 2, 6, 10, 14, 4});
        ++w.objects;
        w.Record(0x0228, {1, 0});  // FILLREGION region 1 with brush 0
        const auto played = Played(*Load(w.File(true, Rect(0, 0, 20, 20), 96)), 20, 20, Rect(0, 0, 20, 20));
        PixelSet lime = RectPixels(2, 3, 6, 8);
        lime.merge(RectPixels(10, 3, 14, 8));
        EXPECT_EQ(PixelsOf(*played, clLime), lime) << Art(*played, clLime);
    }
}

TEST(MetafilePens, GeometricPensArcDirectionAndRotatedArcs)
{
    // EXTCREATEPEN: geometric, flat caps, width 10; and a user style of 6 on, 6 off.
    const auto pen = [](EmfWriter& e, std::uint32_t style, std::vector<int> dashes) {
        std::vector<std::int32_t> v = {1, 0, 0, 0, 0, int(style), 10, 0, int(clRed), 0, int(dashes.size())};
        std::string tail;
        for (int d : dashes) EmfWriter::Put32(tail, std::uint32_t(d));
        std::string body;
        for (std::int32_t x : v) EmfWriter::Put32(body, std::uint32_t(x));
        e.Record(95, {}, body + tail);
        e.Record(37, {1});
    };
    {
        EmfWriter e;
        pen(e, 0x00010000 | 0x0200, {});
        e.Record(27, {20, 40});
        e.Record(54, {70, 40});
        const TRect box = BoundsOf(PixelsOf(*PlayedEmf(e), clRed));
        EXPECT_EQ(box, (TRect{20, 35, 70, 45}));
    }
    {
        EmfWriter e;
        pen(e, 0x00010000 | 0x0200 | 7, {6, 6});
        e.Record(27, {0, 40});
        e.Record(54, {48, 40});
        const auto played = PlayedEmf(e);
        int runs = 0;
        for (int x = 0; x < 60; ++x) runs += played->Pixel(x, 40) == clRed && (x == 0 || played->Pixel(x - 1, 40) != clRed);
        EXPECT_EQ(runs, 4);
    }
    // A plain wide pen keeps its dash style: PS_DASH 4 pixels wide gives dashes of 12 and gaps of 4.
    {
        EmfWriter e;
        e.Record(38, {1, 1, 4, 0, int(clRed)});
        e.Record(37, {1});
        e.Record(27, {0, 40});
        e.Record(54, {64, 40});
        const auto played = PlayedEmf(e);
        int runs = 0;
        for (int x = 0; x < 70; ++x) runs += played->Pixel(x, 40) == clRed && (x == 0 || played->Pixel(x - 1, 40) != clRed);
        EXPECT_EQ(runs, 4);
        EXPECT_EQ(played->Pixel(13, 40), clWhite);
    }
    // Arc direction: the same ARC record draws the upper half counter-clockwise, the lower half clockwise.
    for (int direction : {1, 2}) {
        SCOPED_TRACE(direction);
        EmfWriter e;
        e.Record(38, {1, 0, 1, 0, int(clRed)});
        e.Record(37, {1});
        e.Record(57, {direction});
        e.Record(45, {10, 10, 90, 90, 90, 50, 10, 50});
        const TRect box = BoundsOf(PixelsOf(*PlayedEmf(e), clRed));
        if (direction == 1) EXPECT_LE(box.Bottom, 52);
        else EXPECT_GE(box.Top, 48);
    }
    // An arc under a rotating world transform is drawn, turned.
    {
        EmfWriter e;
        e.Record(38, {1, 0, 1, 0, int(clRed)});
        e.Record(37, {1});
        // 90 degrees about the origin, then moved right by 96.
        e.Record(35, {0, 0x3F800000, int(0xBF800000), 0, 0x42C00000, 0});
        e.Record(45, {10, 10, 90, 50, 90, 30, 10, 30});
        const TRect box = BoundsOf(PixelsOf(*PlayedEmf(e), clRed));
        EXPECT_FALSE(box.IsEmpty());
        EXPECT_GT(box.Height(), box.Width());
    }
}

TEST(MetafileBitmaps, DeviceBitmapsAlphaMasksAndSizes)
{
    // META_BITBLT with a monochrome Bitmap16 of 2 x 2: bits 1 0 / 0 1.
    {
        WmfWriter w;
        w.Record(0x0922, {0x0020, 0x00CC, 0, 0, 2, 2, 10, 10, 0, 2, 2, 2, 0x0101, 0x80, 0x40});
        const auto played = Played(*Load(w.File(true, Rect(0, 0, 20, 20), 96)), 20, 20, Rect(0, 0, 20, 20));
        EXPECT_EQ(played->Pixel(10, 10), clWhite);
        EXPECT_EQ(played->Pixel(11, 10), clBlack);
        EXPECT_EQ(played->Pixel(10, 11), clBlack);
        EXPECT_EQ(played->Pixel(11, 11), clWhite);
    }
    // ALPHABLEND of a red 1 x 1 bitmap at constant alpha 128 over white.
    {
        std::string bmi;
        for (std::int32_t v : {40, 1, 1}) EmfWriter::Put32(bmi, std::uint32_t(v));
        EmfWriter::Put32(bmi, 1 | (24 << 16));
        for (int k = 0; k < 6; ++k) EmfWriter::Put32(bmi, 0);
        const std::string bits("\x00\x00\xFF\x00", 4);
        EmfWriter e;
        std::vector<std::int32_t> v = {0, 0, 0, 0, 10, 10, 20, 20, 128 << 16, 0, 0};
        for (int k = 0; k < 6; ++k) v.push_back(0);  // source transform
        for (std::int32_t x : {0, 0, 108, 40, 148, 4, 1, 1}) v.push_back(x);
        std::string body;
        for (std::int32_t x : v) EmfWriter::Put32(body, std::uint32_t(x));
        e.Record(114, {}, body + bmi + bits);
        const auto played = PlayedEmf(e);
        const TColor c = played->Pixel(15, 15);
        EXPECT_NEAR(GetRValue(c), 255, 1);
        EXPECT_NEAR(GetGValue(c), 127, 2);
        EXPECT_EQ(played->Pixel(5, 5), clWhite);
    }
    // Sizes: a plain WMF without a window takes what it draws; an EMF is measured
    // on its reference device; one drawn wholly outside its frame is drawn by its bounds.
    {
        WmfWriter w;
        w.Brush(0, clBlue);
        w.Select(0);
        w.Rectangle(100, 50, 160, 90);
        auto m = Load(w.File(false));
        EXPECT_EQ(m->Width(), 60);
        EXPECT_EQ(m->Height(), 40);
        EXPECT_EQ(Played(*m, 60, 40, Rect(0, 0, 60, 40))->Pixel(30, 20), clBlue);
    }
    {
        EmfWriter e;
        FillAll(e);
        std::string bytes = e.File();
        // A reference device of 1200 dpi: 4724 x 4724 pixels on 100 x 100 mm.
        for (auto [at, v] : {std::pair{72, 4724}, std::pair{76, 4724}, std::pair{80, 100}, std::pair{84, 100}})
            for (int k = 0; k < 4; ++k) bytes[std::size_t(at + k)] = char((v >> (8 * k)) & 0xFF);
        EXPECT_EQ(Load(bytes)->Width(), 1200);
    }
    {
        EmfWriter e;
        e.Record(39, {1, 0, int(clBlue), 0});
        e.Record(37, {1});
        e.Record(43, {500, 500, 596, 596});
        std::string bytes = e.File();
        // Bounds (500, 500)-(595, 595): nowhere near the frame (0, 0)-(95, 95).
        for (auto [at, v] : {std::pair{8, 500}, std::pair{12, 500}, std::pair{16, 595}, std::pair{20, 595}})
            for (int k = 0; k < 4; ++k) bytes[std::size_t(at + k)] = char((v >> (8 * k)) & 0xFF);
        const auto played = Played(*Load(bytes), 96, 96, Rect(0, 0, 96, 96));
        EXPECT_EQ(played->Pixel(48, 48), clBlue);
    }
}

TEST(MetafileRecords, RecordsNotDrawnAreCountedAndNamed)
{
    EmfWriter e;
    FillAll(e);
    e.Record(79, {0, 0, 0, 0});  // PLGBLT
    e.Record(200, {1});          // unknown
    e.Record(200, {2});
    auto m = Load(e.File());
    auto b = Played(*m, 96, 96, Rect(0, 0, 96, 96));
    EXPECT_EQ(b->Pixel(50, 50), clBlue);
    EXPECT_EQ(m->SkippedRecords(), 3);
    EXPECT_NE(m->SkippedSummary().find("0x004F x1"), std::string::npos) << m->SkippedSummary();
    EXPECT_NE(m->SkippedSummary().find("0x00C8 x2"), std::string::npos) << m->SkippedSummary();
    EmfWriter clean;
    FillAll(clean);
    auto n = Load(clean.File());
    Played(*n, 96, 96, Rect(0, 0, 96, 96));
    EXPECT_EQ(n->SkippedRecords(), 0);
    EXPECT_EQ(n->SkippedSummary(), "");
}

// Damaged copies of files made of the records above: loading succeeds or
// raises EInvalidGraphic, drawing never fails and stays quick.
TEST(MetafileRecords, RandomDamageOfEveryRecordFamily)
{
    EmfWriter e;
    EmfFont(e, 1, -14, 450, "Arial", 0);
    EmfText(e, 10, 40, "\x80 turned", true, {7, 7, 7, 7, 7, 7, 7, 7});
    e.Record(108, {10, 20, 2, 0x300, 1, 0, 0}, std::string("Ab\0\0", 4));
    e.Record(29, {30, 30, 50, 50});
    const std::string rgn = RegionData({{10, 10, 30, 20}, {50, 60, 70, 90}});
    e.Record(75, {int(rgn.size()), RGN_OR}, rgn);
    e.Record(33, {});
    e.Record(39, {2, 2, int(clRed), 5});
    e.Record(37, {2});
    e.Record(95, {3, 0, 0, 0, 0, int(0x00010000 | 0x2000 | 7), 8, 0, int(clBlue), 0, 2, 5, 3});
    e.Record(37, {3});
    e.Record(58, {0x40000000});
    e.Record(57, {2});
    e.Record(47, {10, 10, 80, 70, 80, 40, 10, 40});
    e.Record(59, {});
    e.Record(27, {5, 5});
    e.Record(88, {0, 0, 0, 0, 3, 40 | (5 << 16), 80 | (60 << 16), 5 | (90 << 16)});
    e.Record(61, {});
    e.Record(60, {});
    e.Record(67, {RGN_AND});
    e.Record(34, {-1});
    std::string v;
    for (int k = 0; k < 3; ++k) {
        EmfWriter::Put32(v, std::uint32_t(10 + 30 * k));
        EmfWriter::Put32(v, std::uint32_t(10 + 20 * (k % 2)));
        for (int c = 0; c < 4; ++c) Put16(v, std::uint16_t(0x4000 * k));
    }
    for (int k = 0; k < 3; ++k) EmfWriter::Put32(v, std::uint32_t(k));
    e.Record(118, {0, 0, 96, 96, 3, 1, 2}, v);
    e.Record(71, {0, 0, 0, 0, int(rgn.size()), 2}, rgn);
    e.Record(72, {0, 0, 0, 0, int(rgn.size()), 2, 2, 2}, rgn);
    e.Record(73, {0, 0, 0, 0, int(rgn.size())}, rgn);
    std::string bmi;
    for (std::int32_t x : {40, 2, 2}) EmfWriter::Put32(bmi, std::uint32_t(x));
    EmfWriter::Put32(bmi, 1 | (32 << 16));
    for (int k = 0; k < 6; ++k) EmfWriter::Put32(bmi, 0);
    const std::string bits(16, '\x80');
    std::string blend;
    for (std::int32_t x : {0, 0, 0, 0, 5, 5, 30, 30, int(0x01FF0000), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 108, 40, 148, 16, 2, 2})
        EmfWriter::Put32(blend, std::uint32_t(x));
    e.Record(114, {}, blend + bmi + bits);
    e.Record(116, {}, blend + bmi + bits);
    e.Record(94, {4, 0, 32, 40, 72, 16}, bmi + bits);
    e.Record(37, {4});
    e.Record(43, {0, 0, 50, 50});
    const std::string emf = e.File();

    WmfWriter w;
    w.Record(0x02FB, {-12, 0, 900, 900, 400, 0, 0, 0, 0, 'A' | ('r' << 8), 'i' | ('a' << 8), 'l', 0, 0, 0, 0, 0, 0,
                      0, 0, 0, 0, 0, 0, 0, 0});
    ++w.objects;
    w.Select(0);
    w.Record(0x0A32, {40, 10, 3, 0, 0x9380 - 0x10000, 'x', 5, 5, 5});
    w.Record(0x06FF, {0, 6, 0, 0, 0, 1, 0, 2, 3, 14, 8, 4, 3, 8, 2, 6, 10, 14, 4});
    ++w.objects;
    w.Record(0x012C, {1});
    w.Brush(2, clRed);
    w.Record(0x0228, {1, 2});
    w.Record(0x0429, {2, 2, 2, 1});
    w.Record(0x012A, {1});
    w.Record(0x0415, {10, 10, 5, 5});
    w.Record(0x0922, {0x0020, 0x00CC, 0, 0, 2, 2, 10, 10, 0, 2, 2, 2, 0x0101, 0x80, 0x40});
    w.Record(0x0B23, {0x0020, 0x00CC, 2, 2, 0, 0, 8, 8, 1, 1, 0, 2, 2, 4, 0x1801, 0, 0, 0, 0});
    w.Record(0x0548, {1, 0, 0, 5, 5});
    const std::string wmf = w.File(true, Rect(0, 0, 50, 50), 96);

    std::mt19937 random(20261211);
    const auto start = std::chrono::steady_clock::now();
    for (const std::string* original : {&wmf, &emf}) PlayDamagedCopies(*original, random, 300);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(MetafilePens, PolyDrawAngleArcAndMonochromeBrushes)
{
    // POLYDRAW16: move, line, line with close figure: a closed triangle's outline.
    {
        EmfWriter e;
        e.Record(38, {1, 0, 1, 0, int(clRed)});
        e.Record(37, {1});
        std::string types("\x06\x02\x03\x00", 4);
        e.Record(92, {0, 0, 0, 0, 3, 10 | (10 << 16), 50 | (10 << 16), 30 | (40 << 16)}, types);
        auto direct = Filled(96, 96, clWhite);
        TCanvas& c = direct->Canvas();
        c.Pen().SetColor(clRed);
        c.MoveTo(10, 10);
        c.LineTo(50, 10);
        c.LineTo(30, 40);
        c.LineTo(10, 10);
        const auto played = PlayedEmf(e);
        EXPECT_EQ(CountDifferences(*played, *direct), 0) << Art(*played, clRed);
    }
    // ANGLEARC: a line from the current position to the arc, then half a circle upwards.
    {
        EmfWriter e;
        e.Record(38, {1, 0, 1, 0, int(clRed)});
        e.Record(37, {1});
        e.Record(27, {10, 50});
        e.Record(41, {50, 50, 20, 0, 0x43340000});  // start 0 degrees, sweep 180
        const TRect box = BoundsOf(PixelsOf(*PlayedEmf(e), clRed));
        EXPECT_EQ(box.Left, 10);
        EXPECT_NEAR(box.Top, 30, 1);
        EXPECT_LE(box.Bottom, 51);
        EXPECT_GE(box.Right, 69);
    }
    // A one-pixel dashed pen: gaps in the background colour when it is opaque, else left alone.
    for (int mode : {1, 2}) {
        SCOPED_TRACE(mode);
        EmfWriter e;
        e.Record(38, {1, 1 /* PS_DASH */, 1, 0, int(clRed)});
        e.Record(37, {1});
        e.Record(18, {mode});
        e.Record(25, {int(clYellow)});
        e.Record(27, {0, 50});
        e.Record(54, {90, 50});
        const auto played = PlayedEmf(e);
        EXPECT_GT(PixelsOf(*played, clRed).size(), 40u);
        EXPECT_EQ(PixelsOf(*played, clYellow).size(), mode == 2 ? 90u - PixelsOf(*played, clRed).size() : 0u);
    }
    // CREATEMONOBRUSH: 0 bits in the text colour, 1 bits in the background colour.
    {
        std::string bmi;
        for (std::int32_t v : {40, 2, 2}) EmfWriter::Put32(bmi, std::uint32_t(v));
        EmfWriter::Put32(bmi, 1 | (1 << 16));
        for (int k = 0; k < 6; ++k) EmfWriter::Put32(bmi, 0);
        EmfWriter::Put32(bmi, 0x000000);
        EmfWriter::Put32(bmi, 0xFFFFFF);
        const std::string bits("\x40\0\0\0\x80\0\0\0", 8);  // bottom row 0 1, top row 1 0
        EmfWriter e;
        e.Record(24, {int(clRed)});
        e.Record(25, {int(clYellow)});
        e.Record(93, {1, 0, 32, 48, 80, 8}, bmi + bits);
        e.Record(37, {1});
        e.Record(37, {int(0x80000008)});
        e.Record(43, {0, 0, 11, 11});
        const auto played = PlayedEmf(e);
        EXPECT_EQ(PixelsOf(*played, clRed).size(), 50u);
        EXPECT_EQ(PixelsOf(*played, clYellow).size(), 50u);
        EXPECT_EQ(played->Pixel(0, 0), clYellow);
        EXPECT_EQ(played->Pixel(1, 0), clRed);
    }
}

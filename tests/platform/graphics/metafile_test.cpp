#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "canvas_test_support.h"
#include "platform/graphics/TPicture.h"
#include "metafile_test_support.h"
#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TGraphic.h"
#include "platform/graphics/TMetafile.h"

using namespace canvastest;

TEST(Metafiles, PlaceableWmfDrawsAsTheSameCallsOnACanvas)
{
    WmfWriter w;
    w.Pen(0, 0, clRed);
    w.Brush(0, clBlue);
    w.Select(0);
    w.Select(1);
    w.Rectangle(10, 10, 50, 40);
    w.Ellipse(55, 5, 95, 35);
    w.MoveTo(2, 70);
    w.LineTo(90, 60);
    w.Polygon({{20, 45}, {40, 75}, {5, 75}});
    auto m = Load(w.File(true, Rect(0, 0, 100, 80), 96));
    EXPECT_FALSE(m->Enhanced());
    EXPECT_EQ(m->Width(), 100);
    EXPECT_EQ(m->Height(), 80);

    auto direct = Filled(100, 80, clWhite);
    TCanvas& c = direct->Canvas();
    c.Pen().SetColor(clRed);
    c.Brush().SetColor(clBlue);
    c.Rectangle(10, 10, 50, 40);
    c.Ellipse(55, 5, 95, 35);
    c.MoveTo(2, 70);
    c.LineTo(90, 60);
    const TPoint triangle[3] = {{20, 45}, {40, 75}, {5, 75}};
    c.Polygon(triangle);
    auto played = Played(*m, 100, 80, Rect(0, 0, 100, 80));
    EXPECT_EQ(CountDifferences(*played, *direct), 0) << Art(*played, clRed);
    // The canvas's own pen and brush are left as they were.
    EXPECT_EQ(played->Canvas().Pen().Color(), clBlack);

    // Twice the size: coordinates double, the cosmetic pen stays one pixel.
    auto twice = Filled(200, 160, clWhite);
    TCanvas& t = twice->Canvas();
    t.Pen().SetColor(clRed);
    t.Brush().SetColor(clBlue);
    t.Rectangle(20, 20, 100, 80);
    auto big = Played(*m, 200, 160, Rect(0, 0, 200, 160));
    EXPECT_EQ(big->Pixel(20, 20), clRed);
    EXPECT_EQ(big->Pixel(99, 79), clRed);
    EXPECT_EQ(big->Pixel(21, 21), clBlue);
    EXPECT_EQ(big->Pixel(100, 50), clWhite);
}

TEST(Metafiles, WindowRecordsMapOntoTheTarget)
{
    // A plain metafile: no placeable header; its window gives the size.
    WmfWriter w;
    w.Record(0x0103, {8});            // MM_ANISOTROPIC
    w.Record(0x020B, {-100, -100});   // window origin (-100, -100)
    w.Record(0x020C, {200, 200});     // window extent 200 x 200
    w.Brush(0, clLime);
    w.Select(0);
    w.Pen(5, 0, clBlack);             // no outline
    w.Select(1);
    w.Rectangle(-100, -100, 0, 0);
    auto m = Load(w.File(false));
    EXPECT_EQ(m->Width(), 200);
    EXPECT_EQ(m->Height(), 200);
    auto played = Played(*m, 50, 50, Rect(0, 0, 50, 50));
    // The top-left quarter, one pixel less to the right and bottom without a pen.
    EXPECT_EQ(PixelsOf(*played, clLime), RectPixels(0, 0, 24, 24));
}

TEST(Metafiles, EmfDrawsAsTheSameCallsOnACanvas)
{
    EmfWriter e;
    e.Record(38, {1, 0, 1, 0, int(clRed)});             // CREATEPEN 1: solid, width 1
    e.Record(39, {2, 0, int(clYellow), 0});             // CREATEBRUSHINDIRECT 2: solid
    e.Record(37, {1});
    e.Record(37, {2});
    e.Record(43, {5, 5, 40, 30});                       // RECTANGLE
    e.Record(42, {50, 10, 90, 60});                     // ELLIPSE
    e.Record(27, {0, 90});                              // MOVETOEX
    e.Record(54, {95, 70});                             // LINETO
    e.Record(37, {int(0x80000005)});                    // NULL_BRUSH
    e.Record(43, {10, 40, 30, 80});
    auto m = Load(e.File());
    EXPECT_TRUE(m->Enhanced());
    EXPECT_EQ(m->Width(), 96);
    EXPECT_EQ(m->Height(), 96);

    auto direct = Filled(96, 96, clWhite);
    TCanvas& c = direct->Canvas();
    c.Pen().SetColor(clRed);
    c.Brush().SetColor(clYellow);
    c.Rectangle(5, 5, 40, 30);
    c.Ellipse(50, 10, 90, 60);
    c.MoveTo(0, 90);
    c.LineTo(95, 70);
    c.Brush().SetStyle(bsClear);
    c.Rectangle(10, 40, 30, 80);
    auto played = Played(*m, 96, 96, Rect(0, 0, 96, 96));
    EXPECT_EQ(CountDifferences(*played, *direct), 0) << Art(*played, clRed);
}

TEST(Metafiles, EmfMappingModesAndSavedStates)
{
    EmfWriter e;
    e.Record(17, {8});                  // SETMAPMODE anisotropic
    e.Record(9, {1000, 1000});          // window extent
    e.Record(11, {96, 96});             // viewport extent
    e.Record(39, {1, 0, int(clBlue), 0});
    e.Record(37, {1});
    e.Record(37, {int(0x80000008)});    // NULL_PEN
    e.Record(33, {});                   // SAVEDC
    e.Record(37, {int(0x80000004)});    // BLACK_BRUSH
    e.Record(34, {-1});                 // RESTOREDC: the blue brush again
    e.Record(43, {100, 100, 500, 500});
    auto m = Load(e.File());
    auto played = Played(*m, 96, 96, Rect(0, 0, 96, 96));
    auto direct = Filled(96, 96, clWhite);
    direct->Canvas().Pen().SetStyle(psClear);
    direct->Canvas().Brush().SetColor(clBlue);
    direct->Canvas().Rectangle(10, 10, 48, 48);
    EXPECT_EQ(CountDifferences(*played, *direct), 0) << Art(*played, clBlue);
}

TEST(Metafiles, EmfTextMatchesTextOutInTheSameFont)
{
    EmfWriter e;
    // EXTCREATEFONTINDIRECTW 1: height -16, weight 400, face "Arial".
    std::string face(64, '\0');
    const std::string name = "Arial";
    for (std::size_t i = 0; i < name.size(); ++i) face[2 * i] = name[i];
    std::string logfont;
    for (std::int32_t v : {-16, 0, 0, 0, 400}) EmfWriter::Put32(logfont, std::uint32_t(v));
    logfont += std::string(8, '\0');
    e.Record(82, {1}, logfont + face);
    e.Record(37, {1});
    e.Record(24, {int(clBlue)});        // SETTEXTCOLOR
    e.Record(18, {1});                  // SETBKMODE transparent
    // EXTTEXTOUTW: bounds, mode, scales, reference (10, 20), 2 chars, string at 76, options 0, rect, no dx.
    std::string text;
    EmfWriter::Put32(text, 'H' | ('i' << 16));
    e.Record(84, {0, 0, 0, 0, 1, 0, 0, 10, 20, 2, 76, 0, 0, 0, 0, 0, 0}, text);
    auto m = Load(e.File());
    auto played = Played(*m, 96, 96, Rect(0, 0, 96, 96));
    auto direct = Filled(96, 96, clWhite);
    TCanvas& c = direct->Canvas();
    c.Font().SetName("Arial");
    c.Font().SetHeight(-16);
    c.Font().SetColor(clBlue);
    c.Brush().SetStyle(bsClear);
    c.TextOut(10, 20, "Hi");
    EXPECT_FALSE(PixelsOf(*played, clBlue).empty());
    EXPECT_EQ(CountDifferences(*played, *direct), 0) << Art(*played, clBlue);
}

TEST(Metafiles, EmfBitmapRecordsStretchTheirPixels)
{
    // STRETCHDIBITS of a 2 x 2 bottom-up 24-bit bitmap into 20 x 20 at (10, 10).
    std::string bmi;
    for (std::int32_t v : {40, 2, 2}) EmfWriter::Put32(bmi, std::uint32_t(v));
    EmfWriter::Put32(bmi, 1 | (24 << 16));
    for (int k = 0; k < 6; ++k) EmfWriter::Put32(bmi, 0);
    // Rows bottom first, blue-green-red, padded to 4 bytes.
    const std::string bits = std::string("\x00\x00\xFF" "\x00\xFF\x00" "\x00\x00", 8) +
                             std::string("\xFF\x00\x00" "\xFF\xFF\xFF" "\x00\x00", 8);
    const std::int32_t offBmi = 80, offBits = 80 + 40;
    EmfWriter e;
    e.Record(81, {0, 0, 0, 0, 10, 10, 0, 0, 2, 2, offBmi, 40, offBits, 16, 0, int(0x00CC0020), 20, 20}, bmi + bits);
    auto m = Load(e.File());
    auto played = Played(*m, 96, 96, Rect(0, 0, 96, 96));
    EXPECT_EQ(PixelsOf(*played, clBlue), RectPixels(10, 10, 20, 20));   // top row first: blue, white
    EXPECT_EQ(PixelsOf(*played, clRed), RectPixels(10, 20, 20, 30));
    EXPECT_EQ(PixelsOf(*played, clLime), RectPixels(20, 20, 30, 30));
    EXPECT_EQ(played->Pixel(25, 15), clWhite);
}

TEST(Metafiles, DamagedFilesFailAtLoadOrDrawWhatComesBeforeTheDamage)
{
    WmfWriter w;
    w.Brush(0, clBlue);
    w.Select(0);
    w.Rectangle(0, 0, 10, 10);
    const std::string good = w.File(true, Rect(0, 0, 20, 20), 96);
    struct Case {
        const char* name;
        std::string bytes;
    };
    std::string cut = good.substr(0, 30);
    std::string absurd = good;
    absurd[10] = char(0xFF);  // right edge 32767
    absurd[11] = char(0x7F);
    absurd[14] = 1;           // at one unit per inch
    absurd[15] = 0;
    std::string noInch = good;
    noInch[14] = noInch[15] = 0;
    EmfWriter e;
    const std::string emf = e.File();
    std::string emfHuge = emf;
    emfHuge[32] = char(0xFF);  // frame right edge far away
    emfHuge[33] = char(0xFF);
    emfHuge[34] = char(0xFF);
    emfHuge[35] = 0x7F;
    std::string emfShortHeader = emf;
    emfShortHeader[4] = 8;    // header record that claims 8 bytes
    const Case bad[] = {
        {"empty", ""},
        {"not a metafile", "GIF89a and more bytes than a header needs"},
        {"cut header", cut},
        {"absurd extents", absurd},
        {"no units per inch", noInch},
        {"emf absurd frame", emfHuge},
        {"emf short header", emfShortHeader},
    };
    for (const Case& c : bad) {
        SCOPED_TRACE(c.name);
        TMetafile m;
        EXPECT_THROW(m.LoadFromBytes(c.bytes), EInvalidGraphic);
        EXPECT_TRUE(m.Empty());
    }

    // Records that lie: the picture draws up to the damage and stops.
    const std::size_t rectangle = good.size() - 6 - 14;  // the rectangle record
    std::string lying = good;
    lying[rectangle + 2] = char(0x7F);  // its size: far past the end
    std::string zero = good;
    zero[rectangle] = zero[rectangle + 1] = zero[rectangle + 2] = zero[rectangle + 3] = 0;
    std::string truncated = good.substr(0, good.size() - 10);
    for (const std::string* bytes : {&lying, &zero, &truncated}) {
        TMetafile m;
        ASSERT_NO_THROW(m.LoadFromBytes(*bytes));
        const auto start = std::chrono::steady_clock::now();
        auto played = Played(m, 20, 20, Rect(0, 0, 20, 20));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_TRUE(PixelsOf(*played, clBlue).empty());
    }
    // A polygon that claims 30000 points in a short record draws nothing.
    WmfWriter p;
    p.Record(0x0324, {30000, 1, 1, 5, 5});
    TMetafile m;
    m.LoadFromBytes(p.File(true, Rect(0, 0, 20, 20), 96));
    auto played = Played(m, 20, 20, Rect(0, 0, 20, 20));
    EXPECT_TRUE(PixelsNot(*played, clWhite).empty());
}

TEST(Metafiles, FilesThroughPicturesAndBitmaps)
{
    WmfWriter w;
    w.Brush(0, clRed);
    w.Select(0);
    w.Pen(5, 0, clBlack);
    w.Select(1);
    w.Rectangle(0, 0, 1440, 1440);
    const std::string bytes = w.File(true, Rect(0, 0, 1440, 1440), 1440);  // one inch: 96 pixels
    const std::string dir = testing::TempDir() + "metafile_" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    const std::string file = dir + "/picture.WMF";
    std::ofstream(file, std::ios::binary) << bytes;

    TPicture picture;
    picture.LoadFromFile(file);
    ASSERT_NE(dynamic_cast<TMetafile*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 96);
    // As the builder draws it: into (0, 0)-(w - 1, h - 1) of a bitmap of its size.
    TBitmap b(96, 96);
    b.Fill(clWhite);
    b.Canvas().StretchDraw(Rect(0, 0, 95, 95), *picture.Graphic());
    EXPECT_EQ(b.Pixel(0, 0), clRed);
    EXPECT_EQ(b.Pixel(93, 93), clRed);
    EXPECT_EQ(b.Pixel(95, 95), clWhite);

    TBitmap assigned;
    assigned.Assign(*picture.Graphic());
    EXPECT_EQ(assigned.Width(), 96);
    EXPECT_EQ(assigned.Pixel(50, 50), clRed);

    TMemoryStream saved;
    picture.Graphic()->SaveToStream(saved);
    EXPECT_EQ(saved.Bytes(), bytes);

    const std::string broken = dir + "/broken.emf";
    std::ofstream(broken, std::ios::binary) << "not a metafile at all, but long enough for a header.......";
    try {
        picture.LoadFromFile(broken);
        FAIL() << "no error";
    } catch (const EInvalidGraphic& error) {
        EXPECT_NE(std::string(error.what()).find("broken.emf"), std::string::npos) << error.what();
    }
    std::filesystem::remove_all(dir);
}

// Damaged copies of files that use many kinds of records: every byte may lie.
// Loading either succeeds or raises EInvalidGraphic; drawing never fails.
TEST(Metafiles, RandomDamageNeverBreaksLoadingOrDrawing)
{
    WmfWriter w;
    w.Pen(2, 3, clRed);
    w.Brush(0, clBlue);
    w.Select(0);
    w.Select(1);
    w.Record(0x0103, {8});
    w.Record(0x020C, {50, 50});
    w.Rectangle(1, 1, 30, 30);
    w.Polygon({{1, 1}, {40, 3}, {20, 45}});
    w.Record(0x0538, {2, 3, 3, 0, 0, 10, 0, 5, 9, 20, 20, 30, 20, 25, 30});
    w.Record(0x0817, {0, 50, 50, 0, 40, 40, 0, 0});
    w.Record(0x02FB, {-12, 0, 0, 0, 700, 0, 0, 0, 0, 'A' | ('r' << 8), 'i' | ('a' << 8), 'l', 0, 0, 0, 0, 0, 0, 0,
                      0, 0, 0, 0, 0, 0, 0});
    w.Select(2);
    w.Record(0x0A32, {10, 5, 3, 6, 0, 0, 40, 20, 'a' | ('b' << 8), 'c', 4, 4, 4});
    w.Record(0x0940, {0x0020, 0x00CC, 0, 0, 1, 1, 5, 5, 40, 0, 1, 0, 1, 0, 1, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                      0, 0, 0, 0, 0x00FF, 0});
    const std::string wmf = w.File(true, Rect(0, 0, 50, 50), 96);

    EmfWriter e;
    e.Record(38, {1, 1, 2, 0, int(clRed)});
    e.Record(37, {1});
    e.Record(36, {0x3F800000, 0x3E800000, 0, 0x3F800000, 0, 0, 2});  // a shear
    e.Record(43, {5, 5, 40, 30});
    e.Record(59, {});
    e.Record(27, {1, 1});
    e.Record(54, {50, 10});
    e.Record(61, {});
    e.Record(60, {});
    e.Record(63, {0, 0, 0, 0});
    e.Record(86, {0, 0, 0, 0, 3, 1 | (2 << 16), 30 | (40 << 16), 60 | (5 << 16)});
    e.Record(91, {0, 0, 0, 0, 1, 3, 3, 0, 10 << 16, 10 | (10 << 16)});
    e.Record(75, {32, 5, 32, 1, 1, 0, 0, 0, 90, 90});
    std::string text;
    EmfWriter::Put32(text, 'H' | ('i' << 16));
    e.Record(84, {0, 0, 0, 0, 1, 0, 0, 10, 20, 2, 76, 2, 0, 0, 30, 30, 0}, text);
    const std::string emf = e.File();

    std::mt19937 random(20261210);
    for (const std::string* original : {&wmf, &emf}) PlayDamagedCopies(*original, random, 300);
}

TEST(Metafiles, WmfTextAndEmfPathsMatchTheCanvas)
{
    // TEXTOUT "Note" at (5, 8) in a 14-pixel bold Arial, opaque on yellow.
    WmfWriter w;
    // height, width, escapement, orientation, weight, 8 bytes of flags, the face.
    w.Record(0x02FB, {-14, 0, 0, 0, 700, 0, 0, 0, 0, 'A' | ('r' << 8), 'i' | ('a' << 8), 'l', 0, 0, 0, 0, 0, 0,
                      0, 0, 0, 0, 0, 0, 0, 0});
    ++w.objects;
    w.Select(0);
    w.Record(0x0209, {int(clRed & 0xFFFF), int(clRed >> 16)});        // text colour
    w.Record(0x0201, {int(clYellow & 0xFFFF), int(clYellow >> 16)});  // background colour
    w.Record(0x0521, {4, 'N' | ('o' << 8), 't' | ('e' << 8), 8, 5});
    auto m = Load(w.File(true, Rect(0, 0, 60, 30), 96));
    auto played = Played(*m, 60, 30, Rect(0, 0, 60, 30));
    auto direct = Filled(60, 30, clWhite);
    TCanvas& c = direct->Canvas();
    c.Font().SetName("Arial");
    c.Font().SetHeight(-14);
    c.Font().SetStyle(fsBold);
    c.Font().SetColor(clRed);
    c.Brush().SetColor(clYellow);
    c.TextOut(5, 8, "Note");
    EXPECT_FALSE(PixelsOf(*played, clYellow).empty());
    EXPECT_EQ(CountDifferences(*played, *direct), 0) << Art(*played, clRed);

    // A closed path of a triangle, filled and stroked.
    EmfWriter e;
    e.Record(39, {1, 0, int(clBlue), 0});
    e.Record(37, {1});
    e.Record(59, {});
    e.Record(27, {10, 10});
    e.Record(54, {60, 20});
    e.Record(54, {30, 70});
    e.Record(61, {});
    e.Record(60, {});
    e.Record(63, {0, 0, 0, 0});
    auto path = Load(e.File());
    auto fromPath = Played(*path, 96, 96, Rect(0, 0, 96, 96));
    auto polygon = Filled(96, 96, clWhite);
    polygon->Canvas().Brush().SetColor(clBlue);
    const TPoint triangle[3] = {{10, 10}, {60, 20}, {30, 70}};
    polygon->Canvas().Polygon(triangle);
    EXPECT_EQ(CountDifferences(*fromPath, *polygon), 0) << Art(*fromPath, clBlack);
}

#include <gtest/gtest.h>

#include <filesystem>

#include "canvas_test_support.h"
#include "platform/graphics/FontEngine.h"

using namespace canvastest;

namespace {

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

struct TextFixture {
    std::unique_ptr<TBitmap> bitmap;
    TCanvas* canvas;
    explicit TextFixture(int w = 200, int h = 60) : bitmap(Filled(w, h, clWhite)), canvas(&bitmap->Canvas())
    {
        canvas->Font().SetName("Arial");
        canvas->Font().SetSize(12);
        canvas->Font().SetColor(clBlack);
        canvas->Brush().SetStyle(bsClear);
    }
};

}  // namespace

TEST(Fonts, WindowsNamesResolveToTheDebianFamilies)
{
    struct Case {
        const char* name;
        bool bold, italic;
        const char* file;
    };
    const Case cases[] = {
        {"Arial", false, false, "LiberationSans-Regular.ttf"},
        {"arial", true, false, "LiberationSans-Bold.ttf"},
        {"MS Sans Serif", false, false, "LiberationSans-Regular.ttf"},
        {"Tahoma", false, true, "LiberationSans-Italic.ttf"},
        {"Helvetica", false, false, "LiberationSans-Regular.ttf"},
        {"Times New Roman", false, false, "LiberationSerif-Regular.ttf"},
        {"Times New Roman", true, true, "LiberationSerif-BoldItalic.ttf"},
        {"Courier New", false, false, "LiberationMono-Regular.ttf"},
        {"Verdana", false, false, "DejaVuSans.ttf"},
        {"Arial Black", false, false, "DejaVuSans-Bold.ttf"},
        {"DejaVu Sans Mono", false, false, "DejaVuSansMono.ttf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = ResolveFontFile(c.name, c.bold, c.italic);
        EXPECT_EQ(FileName(file), c.file);
        EXPECT_TRUE(std::filesystem::exists(file));
    }
    // A name no font has still gives a file.
    EXPECT_TRUE(std::filesystem::exists(ResolveFontFile("No Such Font Family 12345", false, false)));
    EXPECT_EQ(FileName(ResolveFontFile(TFont::DefaultName, false, false)), "LiberationSans-Regular.ttf");
}

TEST(Fonts, SizeAndHeightConvertAtNinetySixDpi)
{
    struct Case {
        int size, height;
    };
    for (const Case& c : {Case{8, -11}, Case{9, -12}, Case{12, -16}, Case{10, -13}, Case{72, -96}}) {
        TFont font;
        font.SetSize(c.size);
        EXPECT_EQ(font.Height(), c.height) << c.size;
        EXPECT_EQ(font.Size(), c.size) << c.size;
    }
    TFont font;
    EXPECT_EQ(font.Name(), "MS Sans Serif");
    EXPECT_EQ(font.Size(), 8);
    font.SetHeight(20);  // a positive height is the cell height
    EXPECT_EQ(font.Size(), -15);
}

TEST(CanvasText, WidthsAddUpAndHeightIsTheCell)
{
    TextFixture f;
    TCanvas& c = *f.canvas;
    EXPECT_EQ(c.TextWidth(""), 0);
    EXPECT_EQ(c.TextWidth("Wall"), c.TextWidth("W") + c.TextWidth("a") + 2 * c.TextWidth("l"));
    EXPECT_GT(c.TextWidth("W"), c.TextWidth("i"));
    const int cell = c.TextHeight("W");
    EXPECT_EQ(c.TextHeight("g"), cell);
    EXPECT_EQ(c.TextExtent("ab"), (TPoint{c.TextWidth("ab"), cell}));
    EXPECT_GE(cell, 16);  // at least the character height of 12 points
    EXPECT_LE(cell, 20);
    c.Font().SetName("Courier New");
    EXPECT_EQ(c.TextWidth("iii"), c.TextWidth("WWW"));
    c.Font().SetSize(24);
    EXPECT_GT(c.TextHeight("W"), cell);
    // CP1252 bytes map to their characters: the euro sign is a real glyph.
    c.Font().SetName("Arial");
    EXPECT_GT(c.TextWidth("\x80"), 0);
}

TEST(CanvasText, TextOutInksOnlyItsCellInTheFontColour)
{
    TextFixture f;
    f.canvas->Font().SetColor(clBlue);
    f.canvas->TextOut(10, 5, "Hg");
    const PixelSet ink = PixelsNot(*f.bitmap, clWhite);
    ASSERT_FALSE(ink.empty());
    EXPECT_EQ(PixelsOf(*f.bitmap, clBlue), ink);  // hard glyphs: no in-between shades
    const TRect box = BoundsOf(ink);
    const int w = f.canvas->TextWidth("Hg");
    const int h = f.canvas->TextHeight("Hg");
    EXPECT_GE(box.Left, 10);
    EXPECT_LE(box.Right, 10 + w + 1);
    EXPECT_GE(box.Top, 5);
    EXPECT_LE(box.Bottom, 5 + h);
    EXPECT_EQ(f.canvas->PenPos(), (TPoint{10 + w, 5}));
    // The descender of g reaches below the baseline.
    EXPECT_GT(box.Bottom, 5 + f.canvas->FontAscent());
}

TEST(CanvasText, OpaqueBrushFillsTheCell)
{
    TextFixture f;
    f.canvas->Brush().SetStyle(bsSolid);
    f.canvas->Brush().SetColor(clBlack);
    f.canvas->Font().SetColor(clWhite);
    f.canvas->TextOut(1, 1, " Note ");
    const int w = f.canvas->TextWidth(" Note ");
    const int h = f.canvas->TextHeight(" Note ");
    const PixelSet cell = RectPixels(1, 1, 1 + w, 1 + h);
    for (auto p : PixelsOf(*f.bitmap, clBlack)) EXPECT_TRUE(cell.count(p));
    PixelSet notWhite = PixelsNot(*f.bitmap, clWhite);
    EXPECT_LT(notWhite.size(), cell.size());  // white glyphs inside the black cell
    EXPECT_EQ(f.bitmap->Pixel(1, 1), clBlack);
    EXPECT_EQ(f.bitmap->Pixel(w, h), clBlack);
    EXPECT_EQ(f.bitmap->Pixel(w + 1, h), clWhite);
}

TEST(CanvasText, DrawTextCentresAndExpandsTabsLikeTextOutAtTheComputedPlace)
{
    TextFixture a, b;
    TRect r = Rect(0, 10, 200, 40);
    a.canvas->DrawText("next", r, DT_CENTER | DT_EXPANDTABS);
    const int w = b.canvas->TextWidth("next");
    b.canvas->TextOut((200 - w) / 2, 10, "next");
    EXPECT_EQ(CountDifferences(*a.bitmap, *b.bitmap), 0);

    TextFixture c, d;
    TRect r2 = Rect(0, 0, 200, 40);
    c.canvas->DrawText("a\tb", r2, DT_EXPANDTABS | DT_NOPREFIX);
    const int tab = 8 * FontInstance({"Arial", -16, false, false})->Metrics().AveCharWidth;
    d.canvas->TextOut(0, 0, "a");
    d.canvas->TextOut(tab, 0, "b");
    EXPECT_EQ(CountDifferences(*c.bitmap, *d.bitmap), 0);
}

TEST(CanvasText, DrawTextMeasuresClipsAndTakesPrefixes)
{
    TextFixture f;
    TRect r = Rect(5, 5, 6, 6);
    const int h = f.canvas->DrawText("one\r\ntwo three", r, DT_CALCRECT);
    EXPECT_EQ(h, 2 * f.canvas->TextHeight("x"));
    EXPECT_EQ(r, Rect(5, 5, 5 + f.canvas->TextWidth("two three"), 5 + h));
    EXPECT_TRUE(PixelsNot(*f.bitmap, clWhite).empty());

    TRect small = Rect(0, 0, 8, 8);
    f.canvas->DrawText("WWWW", small, DT_SINGLELINE);
    EXPECT_EQ(BoundsOf(PixelsNot(*f.bitmap, clWhite)).Right <= 8, true);

    TRect calc = Rect(0, 0, 1, 1);
    f.canvas->DrawText("&&a&b", calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(calc.Width(), f.canvas->TextWidth("&ab"));
}

TEST(CanvasText, UnderlineDrawsBelowTheBaseline)
{
    TextFixture plain, under;
    under.canvas->Font().SetStyle(fsUnderline);
    plain.canvas->TextOut(0, 0, "ab");
    under.canvas->TextOut(0, 0, "ab");
    PixelSet extra = PixelsNot(*under.bitmap, clWhite);
    for (auto p : PixelsNot(*plain.bitmap, clWhite)) extra.erase(p);
    ASSERT_FALSE(extra.empty());
    EXPECT_GT(BoundsOf(extra).Top, under.canvas->FontAscent() - 1);
    EXPECT_GE(BoundsOf(extra).Width(), under.canvas->TextWidth("ab") - 2);
}

TEST(CanvasText, WordBreakWrapsAtBlanksAndCutsLongWords)
{
    TextFixture a, b;
    const int width = b.canvas->TextWidth("one two");
    TRect r = Rect(0, 0, width, 60);
    const int h = a.canvas->DrawText("one two three", r, DT_WORDBREAK);
    const int cell = b.canvas->TextHeight("x");
    EXPECT_EQ(h, 2 * cell);
    b.canvas->TextOut(0, 0, "one two");
    b.canvas->TextOut(0, cell, "three");
    EXPECT_EQ(CountDifferences(*a.bitmap, *b.bitmap), 0);

    TextFixture c;
    TRect narrow = Rect(0, 0, c.canvas->TextWidth("WW"), 60);
    EXPECT_EQ(c.canvas->DrawText("WWWWW", narrow, DT_WORDBREAK | DT_CALCRECT), 3 * cell);
}

// The standard fonts: their dictionaries and width tables.

#include <gtest/gtest.h>

#include "pdf/PdfFonts.h"
#include "platform/core/Files.h"
#include "tests/pdf/pdf_peers.h"

namespace pdftest {
namespace {

class PdfFontsTest : public ::testing::Test {
protected:
    PdfFontsTest()
    {
        RegisterPdfFonts();
        Doc.NewDoc();
    }
    TPdfFont& Font(const std::string& name) { return Doc.GetFont(name); }
    int Width(const std::string& font, unsigned char code)
    {
        const std::string text(1, static_cast<char>(code));
        return Font(font).CharWidth(text, 1);
    }
    TPdfDoc Doc;
};

TEST_F(PdfFontsTest, TellingRows)
{
    const char* const fonts[] = {"Arial", "Arial-Bold", "Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic"};
    const struct {
        unsigned char code;
        int widths[6];
    } rows[] = {
        {32, {278, 278, 250, 250, 250, 250}},   {34, {355, 474, 408, 555, 420, 555}},
        {37, {889, 889, 833, 1000, 833, 833}},  {65, {667, 722, 722, 722, 611, 667}},
        {97, {556, 556, 444, 500, 500, 500}},   {128, {556, 556, 500, 500, 500, 500}},
        {255, {500, 556, 500, 500, 444, 444}},
    };
    for (const auto& row : rows)
        for (int f = 0; f < 6; ++f)
            EXPECT_EQ(Width(fonts[f], row.code), row.widths[f]) << fonts[f] << " code " << int(row.code);
    for (unsigned char zero : {127, 129, 141, 143, 144, 157, 160, 173})
        for (const char* font : fonts)
            EXPECT_EQ(Width(font, zero), 0) << font << " code " << int(zero);
    for (int code = 32; code < 256; ++code) {
        EXPECT_EQ(Width("Arial-Italic", code), Width("Arial", code)) << code;
        EXPECT_EQ(Width("Arial-BoldItalic", code), Width("Arial-Bold", code)) << code;
        for (const char* courier : {"FixedWidth", "FixedWidth-Bold", "FixedWidth-BoldItalic", "FixedWidth-Italic"})
            EXPECT_EQ(Width(courier, code), 600) << courier << " " << code;
    }
}

TEST_F(PdfFontsTest, DictionaryOfEveryClass)
{
    const struct {
        const char* name;
        const char* baseFont;
    } fonts[] = {
        {"FixedWidth", "Courier"}, {"FixedWidth-Bold", "Courier-Bold"},
        {"FixedWidth-BoldItalic", "Courier-BoldOblique"}, {"FixedWidth-Italic", "Courier-Oblique"},
        {"Arial", "Helvetica"}, {"Arial-Bold", "Helvetica-Bold"}, {"Arial-BoldItalic", "Helvetica-BoldOblique"},
        {"Arial-Italic", "Helvetica-Oblique"}, {"Times-Roman", "Times-Roman"}, {"Times-Bold", "Times-Bold"},
        {"Times-Italic", "Times-Italic"}, {"Times-BoldItalic", "Times-BoldItalic"},
    };
    int number = 0;
    for (const auto& f : fonts) {
        const std::string written = Value(*Font(f.name).Data());
        const std::string head = "<<\r\n/Type /Font\r\n/Subtype /Type1\r\n/Encoding /WinAnsiEncoding\r\n/FirstChar 32\r\n"
                                 "/LastChar 255\r\n/BaseFont /" + std::string(f.baseFont) + "\r\n/Widths [";
        EXPECT_EQ(written.substr(0, head.size()), head);
        const std::string tail = " ]\r\n/Name /F" + std::to_string(number++) + "\r\n>>";
        EXPECT_EQ(written.substr(written.size() - tail.size()), tail);
        EXPECT_EQ(Font(f.name).Data()->PdfArrayByName("Widths")->ItemCount(), 224);
    }
    RegisterPdfFonts();  // a second start registers nothing twice
    EXPECT_TRUE(IsClassRegistered("Times-BoldItalic"));
}

TEST_F(PdfFontsTest, CharWidthReadsThePositionsOfItsText)
{
    EXPECT_EQ(Font("Arial").CharWidth("A", 1), 667);
    EXPECT_EQ(Font("Arial").CharWidth("aA", 2), 667);
    EXPECT_EQ(Font("FixedWidth-Bold").CharWidth("\xE4", 1), 600);
    for (int position : {0, -1, 2, 1000})
        EXPECT_EQ(Font("Arial").CharWidth("A", position), 0) << position;
    EXPECT_EQ(Font("Arial").CharWidth("", 1), 0);
}

TEST(PdfType1Font, WidthsReadBackStayInsideTheTable)
{
    const struct {
        int first, last, count, missing;
        unsigned char probe;
        int expected;
    } cases[] = {
        {32, 255, 224, 250, 20, 250},  // no entry for code 20: MissingWidth
        {32, 255, 224, -1, 20, 0},     // nor a MissingWidth
        {32, 255, 224, -1, 32, 500},
        {250, 255, 40, -1, 255, 500},  // more widths than codes: the rest is dropped
        {65, 66, 10, 100, 67, 100},    // LastChar bounds the copy
    };
    for (const auto& c : cases) {
        TPdfDictionary dictionary;
        if (c.missing >= 0)
            dictionary.AddItem("MissingWidth", std::make_unique<TPdfNumber>(c.missing));
        dictionary.AddItem("FirstChar", std::make_unique<TPdfNumber>(c.first));
        dictionary.AddItem("LastChar", std::make_unique<TPdfNumber>(c.last));
        auto widths = std::make_unique<TPdfArray>();
        for (int i = 0; i < c.count; ++i)
            widths->AddItem(std::make_unique<TPdfNumber>(500));
        dictionary.AddItem("Widths", std::move(widths));
        TPdfType1Font font;
        font.SetData(&dictionary);
        EXPECT_EQ(font.CharWidth(std::string(1, static_cast<char>(c.probe)), 1), c.expected)
            << c.first << ".." << c.last << " probe " << int(c.probe);
    }
}

// The committed table is what the script makes of the AFM files.
TEST(PdfFontWidths, AreThoseOfTheAfmFiles)
{
    if (!FileExists("/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.afm"))
        GTEST_SKIP() << "no AFM files (Debian package fonts-urw-base35)";
    const std::string source = GALLERY_SOURCE_DIR;
    const TCommandResult made = RunCommand("python3 '" + source + "/tools/make-font-widths/make_font_widths.py'");
    ASSERT_EQ(made.Status, 0) << made.Output;
    EXPECT_EQ(made.Output, ReadFileBytes(source + "/pdf/PdfFontWidths.cpp"));
}

}  // namespace
}  // namespace pdftest

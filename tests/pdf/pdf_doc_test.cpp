// The document: numbering, fonts and text state, outlines, and the saved file
// as qpdf and poppler read it.

#include <gtest/gtest.h>

#include <string_view>
#include <utility>
#include <vector>

#include "pdf/PdfDoc.h"
#include "pdf/PdfFonts.h"
#include "tests/pdf/pdf_peers.h"

namespace pdftest {
namespace {

class PdfDocTest : public ::testing::Test {
protected:
    PdfDocTest()
    {
        RegisterPdfFonts();
        Doc.NewDoc();
        Doc.AddPage();
    }
    std::string Content() { return Doc.Canvas().ContentStream()->Stream().Bytes(); }
    std::string Type(int number) const
    {
        auto* dictionary = dynamic_cast<TPdfDictionary*>(Doc.ObjectMgr().ObjectByNumber(number));
        return dictionary ? dictionary->DictionaryType() : "(not a dictionary)";
    }
    TPdfDoc Doc;
    TempFolder Out;
};

TEST_F(PdfDocTest, ObjectsAreNumberedInTheOrderOfMaking)
{
    const TPdfXref& xref = Doc.ObjectMgr();
    EXPECT_EQ(xref.Items(0).EntryType(), "f");
    EXPECT_EQ(xref.Items(0).GenerationNumber(), 65535);
    EXPECT_EQ(Type(1), "Catalog");
    EXPECT_EQ(Written(*dynamic_cast<TPdfDictionary*>(xref.ObjectByNumber(2))->ValueByName("Producer")),
              "(Vellumark version 0.9)");
    EXPECT_EQ(Type(3), "Pages");
    EXPECT_EQ(Type(4), "Page");
    EXPECT_NE(dynamic_cast<TPdfStream*>(xref.ObjectByNumber(5)), nullptr);
    EXPECT_EQ(Type(6), "Font") << "the default font comes after the page";
    EXPECT_EQ(xref.ItemCount(), 7);
    EXPECT_EQ(Value(*Doc.CurrentPages()), "<<\r\n/Type /Pages\r\n/Kids [4 0 R ]\r\n/Count 1\r\n>>");
    EXPECT_EQ(Value(*Doc.ObjectMgr().ObjectByNumber(4)),
              "<<\r\n/Type /Page\r\n/Parent 3 0 R\r\n/MediaBox [0 0 596 842 ]\r\n"
              "/Resources <<\r\n/Font <<\r\n/F0 6 0 R\r\n>>\r\n/XObject <<\r\n>>\r\n/ProcSet [/PDF /Text /ImageC ]\r\n>>\r\n"
              "/Contents 5 0 R\r\n>>");
}

TEST_F(PdfDocTest, FontSelectionNamesTheResourceAndIsWrittenOnce)
{
    EXPECT_EQ(Content(), "/F0 10 Tf\n");
    Doc.Canvas().SetFont("Arial", 10);
    EXPECT_EQ(Content(), "/F0 10 Tf\n") << "the same font and size again write nothing";
    Doc.Canvas().SetFont("Times-Roman", 12.5);
    Doc.Canvas().SetFont("Arial", 8);
    EXPECT_EQ(Content(), "/F0 10 Tf\n/F1 12.5 Tf\n/F0 8 Tf\n");
    EXPECT_EQ(Doc.FontCount(), 2);
    EXPECT_EQ(&Doc.GetFont("Times-Roman"), &Doc.GetFont("Times-Roman"));

    Doc.Canvas().SetIsVirtual(true);
    Doc.Canvas().SetFont("FixedWidth", 9);
    Doc.Canvas().TextOut(1, 2, "x");
    EXPECT_EQ(Content(), "/F0 10 Tf\n/F1 12.5 Tf\n/F0 8 Tf\n") << "a virtual canvas writes nothing";
    EXPECT_NE(PageResource(Doc.Canvas().GetPage(), "Font"), nullptr);
    EXPECT_NE(dynamic_cast<TPdfDictionary*>(PageResource(Doc.Canvas().GetPage(), "Font"))->ValueByName("F2"), nullptr)
        << "but the resources still follow";
}

TEST_F(PdfDocTest, CanvasDrawsTextAndImagesInPoints)
{
    Doc.Canvas().TextOut(32, 800.5, "Beach (1)");
    Doc.Canvas().DrawXObject("Im0", 10, 20, 300.25, 200);
    EXPECT_EQ(Content(), "/F0 10 Tf\nBT\n32 800.5 Td\n(Beach \\(1\\)) Tj\nET\nq\n300.25 0 0 200 10 20 cm\n/Im0 Do\nQ\n");
    EXPECT_FLOAT_EQ(Doc.Canvas().TextWidth("AA"), 13.34f) << "Helvetica A is 667 at size 10";
}

TEST_F(PdfDocTest, AttributeSettersGuardTheirRanges)
{
    TPdfCanvas& canvas = Doc.Canvas();
    const struct {
        std::function<void()> set;
        const char* message;
    } refused[] = {
        {[&] { canvas.SetWordSpace(-0.1f); }, "SetWordSpace --invalid word space"},
        {[&] { canvas.SetCharSpace(-31); }, "SetCharSpace --invalid char space"},
        {[&] { canvas.SetCharSpace(301); }, "SetCharSpace --invalid char space"},
        {[&] { canvas.SetFontSize(301); }, "SetCharSpace --invalid font size"},
        {[&] { canvas.SetFont("Arial", 301); }, "SetCharSpace --invalid font size"},
        {[&] { canvas.SetHorizontalScaling(9); }, "SetHorizontalScaling --invalid font size"},
        {[&] { canvas.SetHorizontalScaling(301); }, "SetHorizontalScaling --invalid font size"},
        {[&] { canvas.SetLeading(-1); }, "SetLeading --invalid font size"},
    };
    for (const auto& c : refused) {
        try {
            c.set();
            ADD_FAILURE() << c.message;
        } catch (const EPdfInvalidValue& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    EXPECT_EQ(canvas.Attribute().FontSize(), 10) << "a refused value changes nothing";
    EXPECT_EQ(canvas.Attribute().HorizontalScaling(), 100);
    canvas.SetCharSpace(-30);
    canvas.SetHorizontalScaling(300);
    canvas.SetFontSize(0);
    EXPECT_EQ(canvas.Attribute().CharSpace(), -30);
}

TEST_F(PdfDocTest, EachPageKeepsItsTextStateInItemsThatAreNeverWritten)
{
    Doc.Canvas().SetFont("Times-Bold", 14);
    Doc.Canvas().SetCharSpace(2);
    auto* first = &Doc.Canvas().GetPage();
    Doc.AddPage();
    EXPECT_EQ(Doc.Canvas().Attribute().Font()->Name(), "Arial") << "a new page starts with the default";
    EXPECT_EQ(Doc.Canvas().Attribute().CharSpace(), 0);
    EXPECT_EQ(first->PdfNameByName("_Font")->Value(), "Times-Bold");
    EXPECT_EQ(Value(*first).find("_Font"), std::string::npos);
    Doc.Canvas().SetPage(first);
    EXPECT_EQ(Doc.Canvas().Attribute().Font()->Name(), "Times-Bold");
    EXPECT_EQ(Doc.Canvas().Attribute().FontSize(), 14);
    EXPECT_EQ(Doc.Canvas().Attribute().CharSpace(), 2);
    EXPECT_EQ(Doc.CurrentPages()->PdfNumberByName("Count")->Value(), 2);
}

TEST(PdfDoc, OperationsThatNeedADocument)
{
    TPdfDoc doc;
    const struct {
        std::function<void()> call;
        const char* message;
    } refused[] = {
        {[&] { doc.GetFont("Arial"); }, "GetFont --document is null."},
        {[&] { doc.AddPage(); }, "AddPage --current pages null."},
        {[&] { doc.Canvas().GetPage(); }, "GetPage --the Page is nil"},
    };
    for (const auto& c : refused) {
        try {
            c.call();
            ADD_FAILURE() << c.message;
        } catch (const EPdfInvalidOperation& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    RegisterPdfFonts();
    doc.NewDoc();
    try {
        doc.GetFont("Helvetica");
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "CreateFont --InvalidFontName:Helvetica");
    }
    doc.FreeDoc();
    EXPECT_FALSE(doc.HasDoc());
    EXPECT_EQ(doc.Root(), nullptr);
    doc.FreeDoc();
}

TEST(PdfDoc, CatalogueSettingsAndAnnotationKindsAreNamedByTheirValues)
{
    const std::vector<std::pair<TPdfPageLayout, std::string_view>> layouts = {
        {plSinglePage, "SinglePage"}, {plOneColumn, "OneColumn"},
        {plTwoColumnLeft, "TwoColumnLeft"}, {plTwoColumnRight, "TwoColumnRight"}};
    for (const auto& [value, name] : layouts)
        EXPECT_EQ(PdfPageLayoutNames.at(value), name);
    const std::vector<std::pair<TPdfPageMode, std::string_view>> modes = {
        {pmUseNone, "UseNone"}, {pmUseOutlines, "UseOutlines"},
        {pmUseThumbs, "UseThumbs"}, {pmFullScreen, "FullScreen"}};
    for (const auto& [value, name] : modes)
        EXPECT_EQ(PdfPageModeNames.at(value), name);
    const std::vector<std::pair<TPdfAnnotationSubType, std::string_view>> annotations = {
        {asText, "Text"},           {asLink, "Link"},         {asSound, "Sound"},
        {asFreeText, "FreeText"},   {asStamp, "Stamp"},       {asSquare, "Square"},
        {asCircle, "Circle"},       {asStrikeOut, "StrikeOut"}, {asHighlight, "Highlight"},
        {asUnderline, "Underline"}, {asInk, "Ink"},           {asFileAttachment, "FileAttachment"},
        {asPopup, "Popup"}};
    ASSERT_EQ(annotations.size(), PdfAnnotationSubTypeNames.size());
    for (const auto& [value, name] : annotations)
        EXPECT_EQ(PdfAnnotationSubTypeNames.at(value), name);

    // The catalogue gets none of them, and compression stays none.
    TPdfDoc doc;
    EXPECT_EQ(doc.CompressionMethod(), cmNone);
    doc.NewDoc();
    EXPECT_EQ(doc.CompressionMethod(), cmNone);
    EXPECT_EQ(doc.Root()->Data()->ValueByName("PageLayout"), nullptr);
    EXPECT_EQ(doc.Root()->Data()->ValueByName("PageMode"), nullptr);
}

TEST(PdfOutline, DestinationArrays)
{
    TPdfXref xref;
    auto& page = xref.Add(std::make_unique<TPdfDictionary>(&xref));
    const struct {
        TPdfDestination destination;
        const char* written;
    } cases[] = {
        {{dtXYZ, &page, 10, 20, 0, 0, 1.5f}, "[1 0 R /XYZ 10 20 1.5 ]"},
        {{dtXYZ, &page, -101, -100, 0, 0, -2}, "[1 0 R /XYZ null -100 0 ]"},
        {{dtFit, &page, 1, 2, 3, 4, 0}, "[1 0 R /Fit ]"},
        {{dtFitB, &page, 1, 2, 3, 4, 0}, "[1 0 R /FitB ]"},
        {{dtFitH, &page, 1, 2, 3, 4, 0}, "[1 0 R /FitH 2 ]"},
        {{dtFitBH, &page, 1, -200, 3, 4, 0}, "[1 0 R /FitBH null ]"},
        {{dtFitV, &page, 1, 2, 3, 4, 0}, "[1 0 R /FitV 1 ]"},
        {{dtFitBV, &page, -101, 2, 3, 4, 0}, "[1 0 R /FitBV null ]"},
        {{dtFitR, &page, 1, 2, 3, 4, 0}, "[1 0 R /FitR 1 4 3 2 ]"},
        {{dtFitR, &page, -101, -102, 3, -103, 0}, "[1 0 R /FitR null null 3 null ]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Value(*DestinationArray(c.destination, &xref)), c.written);
}

TEST(PdfOutline, EntriesLinkAndCount)
{
    RegisterPdfFonts();
    TPdfDoc doc;
    doc.SetUseOutlines(true);
    doc.NewDoc();
    doc.AddPage();
    EXPECT_THROW(TPdfOutlineEntry::CreateEntry(nullptr), Exception);
    TPdfOutlineEntry& a = TPdfOutlineEntry::CreateEntry(doc.OutlineRoot());
    TPdfOutlineEntry& b = TPdfOutlineEntry::CreateEntry(doc.OutlineRoot());
    TPdfOutlineEntry& child = TPdfOutlineEntry::CreateEntry(&b);
    a.Title = "First";
    b.Title = "Second";
    b.Opened = true;
    child.Title = "Inner";
    b.SetDestination({dtFit, &doc.Canvas().GetPage()});
    doc.OutlineRoot()->Save();
    EXPECT_EQ(Value(*doc.OutlineRoot()->Data()), "<<\r\n/Type /Outlines\r\n/Count 3\r\n/First 8 0 R\r\n/Last 9 0 R\r\n>>");
    EXPECT_EQ(Value(*b.Data()), "<<\r\n/Count 1\r\n/Title (Second)\r\n/Parent 2 0 R\r\n/Dest [5 0 R /Fit ]\r\n"
                                "/First 10 0 R\r\n/Last 10 0 R\r\n/Prev 8 0 R\r\n>>");
    EXPECT_EQ(Value(*a.Data()), "<<\r\n/Count 0\r\n/Title (First)\r\n/Parent 2 0 R\r\n/Next 9 0 R\r\n>>");
}

TEST_F(PdfDocTest, TheSavedFileHasExactOffsets)
{
    const std::string file = Saved(Doc);
    ASSERT_EQ(file.substr(0, 9), "%PDF-1.3\n");
    const std::size_t xref = file.rfind("xref\n0 7\n");
    ASSERT_NE(xref, std::string::npos);
    EXPECT_EQ(file.substr(xref + 9, 20), "0000000000 65535 f\r\n");
    for (int n = 1; n < 7; ++n) {
        const std::size_t offset = std::stoul(file.substr(xref + 9 + 20 * n, 10));
        EXPECT_EQ(file.substr(offset, std::to_string(n).size() + 6), std::to_string(n) + " 0 obj") << n;
    }
    EXPECT_NE(file.find("trailer\n<<\r\n/Size 7\r\n/Root 1 0 R\r\n/Info 2 0 R\r\n>>\nstartxref\n" + std::to_string(xref) +
                        "\n%%EOF\n"),
              std::string::npos);
}

TEST_F(PdfDocTest, PeersReadTheSavedFile)
{
    SKIP_WITHOUT_PEERS();
    Doc.Info()->SetTitle("M\xFCller \x80 Trip");
    Doc.Canvas().SetFont("Times-BoldItalic", 20);
    Doc.Canvas().TextOut(50, 700, "Hello (PDF)");
    Doc.Canvas().SetFont("FixedWidth", 10);
    const std::string path = WriteTo(Out.Path() + "doc.pdf", Doc);
    EXPECT_EQ(QpdfProblems(path), "");

    const std::string info = RunCommand("pdfinfo '" + path + "'").Output;
    EXPECT_NE(info.find("Producer:        Vellumark version 0.9"), std::string::npos) << info;
    EXPECT_NE(info.find("Title:           M\xC3\xBCller \xE2\x82\xAC Trip"), std::string::npos) << info;
    EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
    EXPECT_NE(info.find("Page size:       596 x 842 pts"), std::string::npos) << info;
    EXPECT_NE(info.find("CreationDate:"), std::string::npos) << info;

    const std::string fonts = RunCommand("pdffonts '" + path + "'").Output;
    for (const char* name : {"Helvetica ", "Times-BoldItalic ", "Courier "})
        EXPECT_NE(fonts.find(std::string(name)), std::string::npos) << name << fonts;
    EXPECT_NE(fonts.find("Type 1            WinAnsi          no  no  no"), std::string::npos) << fonts;

    const std::string text = RunCommand("pdftotext '" + path + "' -").Output;
    EXPECT_NE(text.find("Hello (PDF)"), std::string::npos) << text;
}

TEST(PdfOutline, PeersReadOutlines)
{
    SKIP_WITHOUT_PEERS();
    RegisterPdfFonts();
    TPdfDoc doc;
    doc.SetUseOutlines(true);
    doc.NewDoc();
    doc.AddPage();
    TPdfOutlineEntry& entry = TPdfOutlineEntry::CreateEntry(doc.OutlineRoot());
    entry.Title = "Page one";
    entry.SetDestination({dtXYZ, &doc.Canvas().GetPage(), 0, 842, 0, 0, 0});
    TempFolder out;
    const std::string path = WriteTo(out.Path() + "outline.pdf", doc);
    EXPECT_EQ(QpdfProblems(path), "");
    const std::string json = RunCommand("qpdf --json --json-key=outlines '" + path + "'").Output;
    EXPECT_NE(json.find("\"title\": \"Page one\""), std::string::npos) << json;
}

// Readers take a literal string as PDFDocEncoding, where CP1252's quotes and
// euro stand for other characters.
TEST(PdfOutline, TitlesBeyondAsciiAreWrittenAsTheDocumentInformation)
{
    SKIP_WITHOUT_PEERS();
    SKIP_WITHOUT_MUTOOL();
    RegisterPdfFonts();
    TPdfDoc doc;
    doc.SetUseOutlines(true);
    doc.NewDoc();
    doc.AddPage();
    const std::string title = "\x80 \x84Zitat\x93 \x91" "a\x92";
    const std::string utf8 = "\xE2\x82\xAC \xE2\x80\x9EZitat\xE2\x80\x9C \xE2\x80\x98" "a\xE2\x80\x99";
    doc.Info()->SetTitle(title);
    TPdfOutlineEntry& entry = TPdfOutlineEntry::CreateEntry(doc.OutlineRoot());
    entry.Title = title;
    entry.SetDestination({dtFit, &doc.Canvas().GetPage()});
    TPdfOutlineEntry& plain = TPdfOutlineEntry::CreateEntry(doc.OutlineRoot());
    plain.Title = "Plain (ASCII)";
    TempFolder out;
    const std::string path = WriteTo(out.Path() + "titles.pdf", doc);
    EXPECT_EQ(QpdfProblems(path), "");
    EXPECT_NE(Value(*entry.Data()).find("/Title <FEFF20AC0020201E005A0069007400610074201C002020180061" "2019>"),
              std::string::npos);
    EXPECT_NE(Value(*plain.Data()).find("/Title (Plain \\(ASCII\\))"), std::string::npos) << "ASCII stays literal";

    EXPECT_NE(RunCommand("pdfinfo '" + path + "'").Output.find("Title:           " + utf8), std::string::npos);
    const std::string outline = RunCommand("mutool show '" + path + "' outline").Output;
    EXPECT_NE(outline.find("\"" + utf8 + "\""), std::string::npos) << outline;
    EXPECT_NE(outline.find("\"Plain (ASCII)\""), std::string::npos) << outline;
}

}  // namespace
}  // namespace pdftest

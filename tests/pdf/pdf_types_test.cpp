// Golden bytes of the PDF values and their escapes.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "pdf/PdfDoc.h"
#include "pdf/PdfFonts.h"
#include "tests/pdf/pdf_peers.h"

namespace pdftest {
namespace {

TEST(PdfValues, EachClassWritesItsSyntax)
{
    EXPECT_EQ(Value(TPdfNull()), "null");
    EXPECT_EQ(Value(TPdfNumber(-42)), "-42");
    EXPECT_EQ(Value(TPdfNumber(7)), "7");
    EXPECT_EQ(Value(TPdfReal(0.5)), "0.5");
    EXPECT_EQ(Value(TPdfReal(10)), "10");
    EXPECT_EQ(Value(TPdfText("a(b)c")), "(a\\(b\\)c)");
    EXPECT_EQ(Value(TPdfName("Type")), "/Type");

    TPdfArray array;
    array.AddItem(std::make_unique<TPdfNumber>(1));
    array.AddItem(std::make_unique<TPdfName>("A"));
    EXPECT_EQ(Value(array), "[1 /A ]");
    EXPECT_EQ(Value(TPdfArray()), "[]");

    TPdfDictionary dictionary;
    dictionary.AddItem("Type", std::make_unique<TPdfName>("Page"));
    dictionary.AddItem("Count", std::make_unique<TPdfNumber>(2));
    EXPECT_EQ(Value(dictionary), "<<\r\n/Type /Page\r\n/Count 2\r\n>>");

    TPdfBinary binary;
    WriteTextBytes("<00FF>", binary.Stream());
    EXPECT_EQ(Value(binary), "<00FF>");

    TPdfStream stream;
    WriteTextBytes("abc", stream.Stream());
    EXPECT_EQ(Value(stream), "<<\r\n/Length 3\r\n/Filter []\r\n>>\r\nstream\r\nabc\nendstream");
}

TEST(PdfValues, TextEscapes)
{
    const struct {
        std::string text, written;
    } cases[] = {
        {"", "()"},
        {"(x)", "(\\(x\\))"},
        {"a\\b", "(a\\\\b)"},
        {"\r\n\t\b\f", "(\\r\\n\\t\\b\\f)"},
        {"\xE4\x80\x7F", "(\xE4\x80\x7F)"},  // other bytes stay as they are
        {std::string("a\0b", 3), std::string("(a\0b)", 5)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Value(TPdfText(c.text)), c.written) << c.text;
}

TEST(PdfValues, NameEscapes)
{
    const struct {
        std::string name, written;
    } cases[] = {
        {"A B", "/A#20B"},
        {"a#b", "/a#23b"},
        {"%()/<>[]{}", "/#25#28#29#2F#3C#3E#5B#5D#7B#7D"},
        {"\xE4!~", "/#E4!~"},
        {"F0", "/F0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Value(TPdfName(c.name)), c.written) << c.name;
}

TEST(PdfValues, RealsAreFixedPointWithADotUnderEveryLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // where installed
    const struct {
        double value;
        const char* written;
    } cases[] = {
        {0.5, "0.5"}, {10, "10"}, {12.25, "12.25"}, {-3.75, "-3.75"}, {0, "0"},
        {1e-5, "0.00001"}, {1.0 / 3, "0.333333333333333"},
        {-2.5e-7, "-0.00000025"}, {1e-20, "0.00000000000000000001"},
        // Bounded to what readers hold: whole parts of 32 bits, float magnitudes.
        {2147483647, "2147483647"}, {1.5e15, "2147483647"}, {-3e9, "-2147483647"}, {1e300, "2147483647"},
        {1e-300, "0"}, {-1e-39, "0"}, {1.5e-38, "0.000000000000000000000000000000000000015"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToPdfText(c.value), c.written) << c.value;
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(PdfValues, PeersReadRealsAsTheNumbersWritten)
{
    SKIP_WITHOUT_PEERS();
    SKIP_WITHOUT_MUTOOL();
    const struct {
        double value, read;
    } cases[] = {
        {0.5, 0.5}, {1.0 / 3, 1.0 / 3}, {-2.5e-7, -2.5e-7}, {1e-20, 1e-20}, {2147483647, 2147483647},
        {1.5e15, 2147483647}, {1e20, 2147483647}, {-3e9, -2147483647}, {1e-300, 0}, {1.5e-38, 1.5e-38},
    };
    RegisterPdfFonts();
    TPdfDoc doc;
    doc.NewDoc();
    doc.AddPage();
    for (std::size_t i = 0; i < std::size(cases); ++i)
        doc.Info()->Data()->AddItem("R" + std::to_string(i), std::make_unique<TPdfReal>(cases[i].value));
    TempFolder out;
    const std::string path = WriteTo(out.Path() + "reals.pdf", doc);
    EXPECT_EQ(QpdfProblems(path), "");
    // mutool gives each key on a line of its own: "  /R0 .5".
    std::istringstream shown(RunCommand("mutool show '" + path + "' trailer/Info").Output);
    std::vector<double> read(std::size(cases), std::nan(""));
    for (std::string key, value; shown >> key;)
        if (key.size() > 2 && key.starts_with("/R") && shown >> value)
            read.at(std::stoul(key.substr(2))) = std::strtod(value.c_str(), nullptr);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_NEAR(read[i], cases[i].read, std::fabs(cases[i].read) * 1e-6) << FloatToPdfText(cases[i].value);
}

// 2 GiB of data: the one test that needs that much memory.
TEST(PdfValues, StreamLengthsBeyond32Bits)
{
    // Keeps what comes before the data and counts the rest.
    class THead : public TStream {
    public:
        std::size_t Read(void*, std::size_t) override { return 0; }
        std::size_t Write(const void* buffer, std::size_t count) override
        {
            if (Head.size() < 64)
                Head.append(static_cast<const char*>(buffer), std::min<std::size_t>(count, 64));
            Count += count;
            return count;
        }
        std::int64_t Seek(std::int64_t, TSeekOrigin) override { return static_cast<std::int64_t>(Count); }
        std::string Head;
        std::size_t Count = 0;
    } head;
    TPdfStream stream;
    const std::size_t size = (std::size_t(1) << 31) + 5;
    stream.Stream().Bytes().resize(size, 'x');
    stream.WriteObjectValue(head);
    EXPECT_EQ(head.Head.substr(0, 24), "<<\r\n/Length 2147483653\r\n");
    EXPECT_GT(head.Count, size);
}

TEST(PdfValues, RoutinesOfTheUnit)
{
    EXPECT_EQ(RealToText(10), "10");
    EXPECT_EQ(RealToText(12.345), "12.35");
    EXPECT_EQ(RealToText(9.999), "10");
    EXPECT_EQ(BytesToHex("en"), "656E");
    EXPECT_EQ(BytesToHex(std::string("\x00\xFF", 2)), "00FF");
    EXPECT_EQ(AnsiToUtf16Hex("A\x80\xE4"), "004120AC00E4");
    EXPECT_EQ(PdfDateText(EncodeDate(2003, 2, 1) + (13 * 3600 + 4 * 60 + 5) / 86400.0), "D:20030201130405");
}

TEST(PdfValues, PlaceholdersStandForNumberedObjects)
{
    EXPECT_THROW(TPdfVirtualObject(), Exception);
    try {
        TPdfVirtualObject object;
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "virtualObject must be create by CreateVirtual method.");
    }
    auto placeholder = TPdfVirtualObject::CreateVirtual(7);
    EXPECT_EQ(placeholder->ObjectType(), TPdfObjectType::otVirtualObject);
    EXPECT_EQ(Written(*placeholder), "7 0 R");
    EXPECT_EQ(Value(*placeholder), "");

    TPdfXref xref;
    auto& shared = xref.Add(std::make_unique<TPdfNumber>(5));
    EXPECT_EQ(shared.ObjectNumber(), 1);
    EXPECT_EQ(Written(shared), "1 0 R") << "a registered object stands as a reference";
    EXPECT_EQ(Value(shared), "5");

    TPdfArray first(&xref), second(&xref);
    first.AddItem(shared);
    second.AddItem(shared);
    EXPECT_EQ(Value(first), "[1 0 R ]");
    EXPECT_EQ(Value(second), "[1 0 R ]");
    EXPECT_EQ(first.Items(0), &shared) << "resolved through the object manager";
    TPdfArray unmanaged;
    unmanaged.AddItem(shared);
    EXPECT_EQ(unmanaged.Items(0), nullptr);

    EXPECT_THROW(first.AddItem(TPdfNumber(1)), EPdfInvalidOperation) << "a direct object is handed over";
    try {
        xref.AddObject(TPdfVirtualObject::CreateVirtual(1));
        ADD_FAILURE();
    } catch (const EPdfInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "AddObject --wrong object type.");
    }
}

TEST(PdfValues, DictionaryKeysAndLookUps)
{
    TPdfXref xref;
    auto& target = xref.Add(std::make_unique<TPdfDictionary>(&xref));
    TPdfDictionary dictionary(&xref);
    dictionary.AddItem("A", std::make_unique<TPdfNumber>(1));
    dictionary.AddItem("B", std::make_unique<TPdfNumber>(2));
    dictionary.AddItem("A", std::make_unique<TPdfNumber>(3));
    dictionary.AddItem("Ref", target);
    dictionary.AddInternalItem("_Hidden", std::make_unique<TPdfNumber>(9));
    EXPECT_EQ(Value(dictionary), "<<\r\n/B 2\r\n/A 3\r\n/Ref 1 0 R\r\n>>") << "a second value goes to the end";
    EXPECT_EQ(dictionary.PdfNumberByName("A")->Value(), 3);
    EXPECT_EQ(dictionary.PdfNumberByName("_Hidden")->Value(), 9);
    EXPECT_EQ(dictionary.PdfDictionaryByName("Ref"), &target);
    EXPECT_EQ(dictionary.ValueByName("a"), nullptr) << "keys are case-sensitive";
    EXPECT_EQ(dictionary.PdfNameByName("A"), nullptr) << "a typed look-up of another type";
    EXPECT_EQ(dictionary.DictionaryType(), "");
    dictionary.RemoveItem("B");
    EXPECT_EQ(dictionary.ItemCount(), 3);

    TPdfArray names;
    names.AddItem(std::make_unique<TPdfName>("FlateDecode"));
    names.AddItem(std::make_unique<TPdfName>("DCTDecode"));
    EXPECT_NE(names.FindName("DCTDecode"), nullptr);
    EXPECT_TRUE(names.RemoveName("FlateDecode"));
    EXPECT_FALSE(names.RemoveName("FlateDecode"));
    EXPECT_EQ(Value(names), "[/DCTDecode ]");
}

TEST(PdfValues, StreamsDropFlateAndCountTheirData)
{
    TPdfStream stream;
    stream.Attributes().PdfArrayByName("Filter")->AddItem(std::make_unique<TPdfName>("FlateDecode"));
    stream.Attributes().PdfArrayByName("Filter")->AddItem(std::make_unique<TPdfName>("DCTDecode"));
    WriteTextBytes(std::string(1000, 'x'), stream.Stream());
    const std::string written = Value(stream);
    EXPECT_EQ(written.substr(0, 40), "<<\r\n/Length 1000\r\n/Filter [/DCTDecode ]\r");
    EXPECT_EQ(written.size(), std::string("<<\r\n/Length 1000\r\n/Filter [/DCTDecode ]\r\n>>\r\nstream\r\n\nendstream").size() + 1000);
}

}  // namespace
}  // namespace pdftest

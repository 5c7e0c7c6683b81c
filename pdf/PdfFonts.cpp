#include "pdf/PdfFonts.h"

#include <algorithm>

namespace {

struct TStandardFont {
    const char* RegisteredName;
    const char* BaseFont;
    const pdfwidths::TWidthRow& Widths;
};

const TStandardFont StandardFonts[] = {
    {"FixedWidth", "Courier", pdfwidths::CourierWidths},
    {"FixedWidth-Bold", "Courier-Bold", pdfwidths::CourierWidths},
    {"FixedWidth-BoldItalic", "Courier-BoldOblique", pdfwidths::CourierWidths},
    {"FixedWidth-Italic", "Courier-Oblique", pdfwidths::CourierWidths},
    {"Arial", "Helvetica", pdfwidths::HelveticaWidths},
    {"Arial-Bold", "Helvetica-Bold", pdfwidths::HelveticaBoldWidths},
    {"Arial-BoldItalic", "Helvetica-BoldOblique", pdfwidths::HelveticaBoldWidths},
    {"Arial-Italic", "Helvetica-Oblique", pdfwidths::HelveticaWidths},
    {"Times-Roman", "Times-Roman", pdfwidths::TimesRomanWidths},
    {"Times-Bold", "Times-Bold", pdfwidths::TimesBoldWidths},
    {"Times-Italic", "Times-Italic", pdfwidths::TimesItalicWidths},
    {"Times-BoldItalic", "Times-BoldItalic", pdfwidths::TimesBoldItalicWidths},
};

template <int... I>
void RegisterAll(std::integer_sequence<int, I...>)
{
    (RegisterClass(StandardFonts[I].RegisteredName, [] { return std::make_unique<TPdfStandardFont<I>>(); }), ...);
}

}  // namespace

template <int Index>
void TPdfStandardFont<Index>::Create(TPdfObjectMgr& objectMgr, const std::string& name)
{
    TPdfFont::Create(objectMgr, name);
    MakeFontDictionary(objectMgr, StandardFonts[Index].BaseFont, StandardFonts[Index].Widths);
}

void TPdfType1Font::MakeFontDictionary(TPdfObjectMgr& objectMgr, const char* baseFont,
                                       const pdfwidths::TWidthRow& widths)
{
    auto& font = static_cast<TPdfDictionary&>(objectMgr.AddObject(std::make_unique<TPdfDictionary>(&objectMgr)));
    font.AddItem("Type", std::make_unique<TPdfName>("Font"));
    font.AddItem("Subtype", std::make_unique<TPdfName>("Type1"));
    font.AddItem("Encoding", std::make_unique<TPdfName>("WinAnsiEncoding"));
    font.AddItem("FirstChar", std::make_unique<TPdfNumber>(32));
    font.AddItem("LastChar", std::make_unique<TPdfNumber>(255));
    font.AddItem("BaseFont", std::make_unique<TPdfName>(baseFont));
    auto array = std::make_unique<TPdfArray>(&objectMgr);
    for (std::uint16_t width : widths)
        array->AddItem(std::make_unique<TPdfNumber>(width));
    font.AddItem("Widths", std::move(array));
    SetData(&font);
}

void TPdfType1Font::SetData(TPdfDictionary* data)
{
    TPdfFont::SetData(data);
    const TPdfNumber* missing = data->PdfNumberByName("MissingWidth");
    FWidths.fill(static_cast<std::uint16_t>(missing ? missing->Value() : 0));
    const TPdfNumber* first = data->PdfNumberByName("FirstChar");
    const TPdfNumber* last = data->PdfNumberByName("LastChar");
    const int firstChar = first ? static_cast<int>(std::clamp<std::int64_t>(first->Value(), 0, 255)) : 0;
    const int lastChar = last ? static_cast<int>(std::clamp<std::int64_t>(last->Value(), 0, 255)) : 255;
    FFirstChar = static_cast<std::uint8_t>(firstChar);
    FLastChar = static_cast<std::uint8_t>(lastChar);
    const TPdfArray* widths = data->PdfArrayByName("Widths");
    if (!widths)
        return;
    // Only the codes from FirstChar to LastChar, which the table has room for.
    for (int i = 0; i < widths->ItemCount() && firstChar + i <= lastChar; ++i)
        if (const auto* width = dynamic_cast<const TPdfNumber*>(widths->Items(i)))
            FWidths[static_cast<std::size_t>(firstChar + i)] = static_cast<std::uint16_t>(width->Value());
}

int TPdfType1Font::CharWidth(std::string_view text, int position) const
{
    if (position < 1 || position > static_cast<int>(text.size()))
        return 0;
    return FWidths[static_cast<unsigned char>(text[static_cast<std::size_t>(position - 1)])];
}

void RegisterPdfFonts()
{
    if (IsClassRegistered(StandardFonts[0].RegisteredName))
        return;
    RegisterAll(std::make_integer_sequence<int, 12>());
}

void UnRegisterPdfFonts()
{
    for (const TStandardFont& font : StandardFonts)
        UnRegisterClass(font.RegisteredName);
}


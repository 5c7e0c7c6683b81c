#pragma once

// The twelve standard Type 1 fonts, created by a document by their registered
// names ("FixedWidth", "Arial", "Times-Roman" and their styles). Each builds
// its WinAnsiEncoding font dictionary and answers character widths.

#include <array>
#include <cstdint>

#include "pdf/PdfDoc.h"
#include "pdf/PdfFontWidths.h"

class TPdfType1Font : public TPdfFont {
public:
    void SetData(TPdfDictionary* data) override;
    // 0 for a position outside the text.
    int CharWidth(std::string_view text, int position) const override;
    int FirstChar() const { return FFirstChar; }
    int LastChar() const { return FLastChar; }

protected:
    // Makes, registers and fills the font dictionary.
    void MakeFontDictionary(TPdfObjectMgr& objectMgr, const char* baseFont, const pdfwidths::TWidthRow& widths);

private:
    std::array<std::uint16_t, 256> FWidths{};
    std::uint8_t FFirstChar = 0;
    std::uint8_t FLastChar = 0;
};

// One class per font; the registered name and BaseFont in the table of PdfFonts.cpp.
template <int Index>
class TPdfStandardFont : public TPdfType1Font {
public:
    void Create(TPdfObjectMgr& objectMgr, const std::string& name) override;
};

using TPdfFixedWidth = TPdfStandardFont<0>;
using TPdfFixedWidthBold = TPdfStandardFont<1>;
using TPdfFixedWidthBoldItalic = TPdfStandardFont<2>;
using TPdfFixedWidthItalic = TPdfStandardFont<3>;
using TPdfArial = TPdfStandardFont<4>;
using TPdfArialBold = TPdfStandardFont<5>;
using TPdfArialBoldItalic = TPdfStandardFont<6>;
using TPdfArialItalic = TPdfStandardFont<7>;
using TPdfTimesRoman = TPdfStandardFont<8>;
using TPdfTimesBold = TPdfStandardFont<9>;
using TPdfTimesItalic = TPdfStandardFont<10>;
using TPdfTimesBoldItalic = TPdfStandardFont<11>;

// Enters the twelve classes in the class registry (once, however often called)
// and takes them out again.
void RegisterPdfFonts();
void UnRegisterPdfFonts();

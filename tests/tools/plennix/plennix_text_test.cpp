// The converter's texts as they are set on the page.

#include <gtest/gtest.h>

#include <regex>

#include "platform/core/Files.h"
#include "tests/pdf/pdf_peers.h"
#include "tests/platform/graphics/jpeg_fixtures.h"
#include "tools/plennix/PdfGallery.h"

namespace {

// The position and string of every line of text, in page order.
std::vector<std::string> TextLines(const std::string& pdf)
{
    static const std::regex line(R"([-0-9.]+ [-0-9.]+ Td\n\([^\n]*\) Tj)");
    std::vector<std::string> lines;
    for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), line); it != std::sregex_iterator(); ++it)
        lines.push_back(it->str());
    return lines;
}

std::string Gallery(const std::string& picture, const std::string& comment, const std::string& title)
{
    TPdfGalleryArguments arguments;
    arguments.Title = title;
    arguments.Author = title;
    TMemoryStream pdf;
    EXPECT_EQ(WritePdfGallery({{picture, comment}}, arguments, pdf).Pages, 1);
    return pdf.Bytes();
}

// The fonts' tables give a no-break space and a soft hyphen no width: set as
// they are, the letters around them would overlap.
TEST(PlennixText, NoBreakSpacesAreSpacesAndSoftHyphensAreLeftOut)
{
    pdftest::TempFolder folder;
    const std::string picture = folder.Path() + "0.jpg";
    WriteFileBytes(picture, jpegtest::LibjpegFile(jpegtest::SyntheticPicture(40, 30), 85, false, false));
    const struct {
        const char* name;
        std::string comment, title;         // as the user typed them
        std::string printed, printedTitle;  // the same texts in plain characters
    } cases[] = {
        {"no-break space", "10\xA0\x80 for\xA0two", "A\xA0" "B", "10 \x80 for two", "A B"},
        {"soft hyphens", "Trenn\xADung und Sil\xAD" "ben\xADtren\xADnung", "Ti\xADtel", "Trennung und Silbentrennung",
         "Titel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> expected = TextLines(Gallery(picture, c.printed, c.printedTitle));
        ASSERT_EQ(expected.size(), 3u) << "title, footer, comment";
        EXPECT_EQ(TextLines(Gallery(picture, c.comment, c.title)), expected)
            << "the same positions and strings as the plain texts";
    }

    // 56 w and "www" fill a line: a no-break space takes its neighbour along.
    const std::string full(56, 'w');
    const std::vector<std::string> lines = TextLines(Gallery(picture, full + " www\xA0www", "T"));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[2].find("(" + full + ") Tj"), std::string::npos) << lines[2];
    EXPECT_NE(lines[3].find("(www www) Tj"), std::string::npos) << lines[3];
}

}  // namespace

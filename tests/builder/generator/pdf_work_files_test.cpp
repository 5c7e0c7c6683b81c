#include "builder/generator/PdfWorkFiles.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PdfWorkFiles, NamesListsAndArgumentLine)
{
    EXPECT_EQ(PdfPictureFileName(0, false), "0.jpg");
    EXPECT_EQ(PdfPictureFileName(12, true), "12.gif");
    const std::vector<std::string> lines = {"/p/PDFIMAGES/0.jpg", "", "c"};
    EXPECT_EQ(PdfListText(lines), "/p/PDFIMAGES/0.jpg\r\n\r\nc\r\n");
    EXPECT_EQ(PdfListText({}), "");

    EXPECT_EQ(PdfArgumentLine(true, "My Trip", "A. B.", "01.02.2003"), "1 My~Trip A.~B. 01.02.2003");
    // An empty author becomes "-" first; the line keeps four fields.
    EXPECT_EQ(PdfTextOrDash(""), "-");
    EXPECT_EQ(PdfTextOrDash(" "), " ");
    EXPECT_EQ(PdfArgumentLine(false, "T", PdfTextOrDash(""), "d"), "0 T - d");
    EXPECT_EQ(PdfArgumentLine(false, "  two  ", "-", "-"), "0 ~~two~~ - -");
}

}  // namespace

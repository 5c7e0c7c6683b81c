#include "builder/pages/MailPage.h"

#include <gtest/gtest.h>

#include "builder/pages/GalleryPages.h"
#include "tests/builder/page_test_helpers.h"

namespace {

TEST(MailPage, WholePageOfTwoPicturesInRowsOfThree)
{
    TMailPage page(SummerSettings(), 3, true);
    page.AddPicture(0, false, "Beach");
    page.AddPicture(1, true, " ");
    const std::string head = "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n<html>\r\n"
                             "<head><title>Summer</title></head>\r\n" +
                             StyleSheetText(SummerSettings()) +
                             "<body  bgcolor=#ffffff text=#336699 alink=#336699 vlink=#336699 link=#336699>\r\n";
    const std::string expected =
        head + Crlf("<center>\n<font class=tx>\nAbove\n</font>\n<p>\n<font class=ub>\n<b>Summer 2003</b>\n<p>\n"
                    "<font class=tx>\nBelow\n</font>\n</font>\n<p>\n<table><tr>"
                    "<td><img src=cid:th_0.jpg><p><center><font class=pi>Beach&#160;</font></center><p></td>\n"
                    "<td><img src=cid:th_1.gif><p><center><font class=pi> &#160;</font></center><p></td>\n"
                    "<td></td></tr></table><p><center><font class=tx>\nUnder\n</font></center></body></html>");
    EXPECT_EQ(page.Finish(), expected);
    EXPECT_EQ(page.Finish().find("background"), std::string::npos);
}

TEST(MailPage, LastRowIsFilledOnlyWhenShort)
{
    struct Case {
        int pictures, perRow, rows, fillers;
    };
    const Case cases[] = {{5, 3, 2, 1}, {6, 3, 2, 0}, {1, 1, 1, 0}, {0, 3, 1, 3}, {7, 3, 3, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.pictures) + " in rows of " + std::to_string(c.perRow));
        TMailPage page(TGalleryPageSettings{}, c.perRow, false);
        for (int n = 0; n < c.pictures; ++n)
            page.AddPicture(n, false, "no comment shown");
        const std::string text = page.Finish();
        EXPECT_EQ(Occurrences(text, "</tr><tr>") + 1, c.rows);
        EXPECT_EQ(Occurrences(text, "<td></td>"), c.fillers);
        EXPECT_EQ(Occurrences(text, "cid:"), c.pictures);
        EXPECT_EQ(text.find("no comment shown"), std::string::npos);
        EXPECT_NE(text.substr(text.size() - 7), "\r\n");
    }
    TMailPage five(TGalleryPageSettings{}, 3, false);
    for (int n = 0; n < 5; ++n)
        five.AddPicture(n, false, "");
    const std::string text = five.Finish();
    const std::string secondRow = text.substr(text.find("</tr><tr>"));
    EXPECT_EQ(Occurrences(secondRow, "<img"), 2);
    EXPECT_NE(secondRow.find("<img src=cid:th_4.jpg></td>\r\n<td></td></tr></table>"), std::string::npos);
}

}  // namespace

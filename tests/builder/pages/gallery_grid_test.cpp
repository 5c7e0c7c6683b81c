#include "builder/pages/GalleryGrid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/builder/page_test_helpers.h"
#include "platform/core/Exceptions.h"

namespace {

struct TBuiltGallery {
    std::vector<TPageFile> Pages;
    std::vector<int> ClosingPictures;  // the picture whose grid step closed each page
};

// Runs the grid as the build does: the step, then the picture's cell.
TBuiltGallery BuildPages(const TGalleryPageSettings& settings, int count, int perRow, int rows)
{
    TBuiltGallery built;
    TGalleryGrid grid(settings, perRow, rows);
    for (int n = 0; n < count; ++n) {
        if (std::optional<TPageFile> closed = grid.BeginCell()) {
            built.Pages.push_back(std::move(*closed));
            built.ClosingPictures.push_back(n);
        }
        grid.AppendThumbnailCell({n, false, "", std::nullopt});
    }
    built.Pages.push_back(grid.Finish());
    return built;
}

TGalleryPageSettings PlainCellSettings()
{
    TGalleryPageSettings settings = SummerSettings();
    settings.CommentsInGallery = false;
    settings.ShowPictureInfos = false;
    return settings;
}

TEST(GalleryGrid, TenPicturesThreeByThreeWholePages)
{
    const TBuiltGallery built = BuildPages(PlainCellSettings(), 10, 3, 3);
    ASSERT_EQ(built.Pages.size(), 2u);
    EXPECT_EQ(built.ClosingPictures, std::vector<int>{9});

    const std::string page1 = GoldenPage("summer_page1_of_10_3x3.html");
    EXPECT_EQ(built.Pages[0], (TPageFile{"page1.html", page1, false}));

    const std::string page2 = GoldenPage("summer_page2_of_10_3x3.html");
    EXPECT_EQ(built.Pages[1], (TPageFile{"page2.html", page2, false}));
}

TEST(GalleryGrid, NinePicturesThreeByThreeIsOnePage)
{
    TGalleryPageSettings settings = PlainCellSettings();
    settings.TextsOnGalleryPages = false;
    const TBuiltGallery built = BuildPages(settings, 9, 3, 3);
    ASSERT_EQ(built.Pages.size(), 1u);
    EXPECT_EQ(built.Pages[0].Name, "page1.html");
    EXPECT_TRUE(built.Pages[0].Text.ends_with("<img src=th_8.jpg border=1 ></a><br>\r\n</center>\r\n"
                                              "</td>\r\n\r\n</tr>\r\n</table>\r\n<p>\r\n<font class=tx>\r\n"
                                              "<a href=start.html>Index</a><p>\r\n\r\n</font>\r\n"
                                              "</center></body></html>"))
        << built.Pages[0].Text;
}

TEST(GalleryGrid, SevenPicturesThreeByTwoInGerman)
{
    TGalleryPageSettings settings = PlainCellSettings();
    settings.NavNextText = "Weiter";
    settings.NavBackText = "Zur\xFC" "ck";
    settings.PageExtension = "php";
    const TBuiltGallery built = BuildPages(settings, 7, 3, 2);
    ASSERT_EQ(built.Pages.size(), 2u);
    EXPECT_EQ(built.ClosingPictures, std::vector<int>{6});
    EXPECT_EQ(built.Pages[0].Name, "page1.php");
    EXPECT_EQ(built.Pages[1].Name, "page2.php");
    // Page 1 ends with the empty cell of its third row, then Index and Next.
    EXPECT_TRUE(built.Pages[0].Text.ends_with(
        "th_5.jpg border=1 ></a><br>\r\n</center>\r\n</td>\r\n\r\n</tr>\r\n<tr>\r\n\r\n<td valign=top>\r\n"
        "</td>\r\n\r\n</tr>\r\n</table>\r\n<p>\r\n<font class=tx>\r\n"
        "<a href=start.html>Index</a>&#160;|&#160;<a href=page2.php>Weiter</a>\r\n<p>\r\n\r\nUnder\r\n\r\n</font>\r\n"
        "</center></body></html>"))
        << built.Pages[0].Text;
    EXPECT_TRUE(built.Pages[1].Text.ends_with(
        "<table>\r\n<tr>\r\n\r\n<td>\r\n<center><a href=th_6_big.php ><img src=th_6.jpg border=1 ></a><br>\r\n"
        "</center>\r\n</td>\r\n\r\n</tr>\r\n</table>\r\n<p>\r\n<font class=tx>\r\n"
        "<a href=start.html>Index</a>&#160;|&#160;<a href=page1.php>Zur\xFC" "ck</a>\r\n<p>\r\n\r\nUnder\r\n\r\n"
        "</font>\r\n</center></body></html>"))
        << built.Pages[1].Text;
}

TEST(GalleryGrid, MiddlePageLinksBackAndNext)
{
    const TBuiltGallery built = BuildPages(PlainCellSettings(), 9, 2, 2);
    ASSERT_EQ(built.Pages.size(), 3u);
    EXPECT_EQ(built.ClosingPictures, (std::vector<int>{4, 8}));
    EXPECT_NE(built.Pages[1].Text.find("<a href=start.html>Index</a>&#160;|&#160;<a href=page1.html>Back</a>"
                                       "&#160;|&#160;<a href=page3.html>Next</a>\r\n<p>\r\n"),
              std::string::npos);
    EXPECT_NE(built.Pages[2].Text.find("<a href=start.html>Index</a>&#160;|&#160;<a href=page2.html>Back</a>\r\n"),
              std::string::npos);
    EXPECT_EQ(built.Pages[2].Text.find("Next"), std::string::npos);
}

TEST(GalleryGrid, PagesAgreeWithTheIndexForEveryLayout)
{
    for (int perRow = 1; perRow <= 4; ++perRow) {
        for (int rows = 1; rows <= 3; ++rows) {
            for (int count = 1; count <= 30; ++count) {
                SCOPED_TRACE(std::to_string(count) + " in " + std::to_string(perRow) + "x" + std::to_string(rows));
                const TBuiltGallery built = BuildPages(PlainCellSettings(), count, perRow, rows);
                ASSERT_EQ(std::int64_t(built.Pages.size()), IndexPageCount(count, perRow, rows));
                const int perPage = perRow * rows;
                for (std::size_t k = 0; k < built.Pages.size(); ++k) {
                    EXPECT_EQ(built.Pages[k].Name, "page" + std::to_string(k + 1) + ".html");
                    if (k < built.ClosingPictures.size()) {
                        EXPECT_EQ(built.ClosingPictures[k], int(k + 1) * perPage);
                    }
                    // Each page holds exactly the pictures the index gives its row.
                    const int from = int(k) * perPage;
                    const int to = std::min(count, from + perPage) - 1;
                    const std::string& text = built.Pages[k].Text;
                    EXPECT_NE(text.find("th_" + std::to_string(from) + ".jpg"), std::string::npos);
                    EXPECT_NE(text.find("th_" + std::to_string(to) + ".jpg"), std::string::npos);
                    EXPECT_EQ(text.find("th_" + std::to_string(to + 1) + ".jpg"), std::string::npos);
                    if (from > 0) {
                        EXPECT_EQ(text.find("th_" + std::to_string(from - 1) + ".jpg"), std::string::npos);
                    }
                }
            }
        }
    }
}

TEST(GalleryGrid, ColumnRowAndPagesFollowTheSteps)
{
    TGalleryGrid grid(TGalleryPageSettings{}, 3, 2);
    EXPECT_EQ(grid.Column(), 0);
    EXPECT_EQ(grid.Row(), 0);
    const struct {
        int column, row, pages;
        bool closes;
    } steps[] = {
        {1, 0, 0, false}, {2, 0, 0, false}, {3, 0, 0, false}, {1, 1, 0, false},
        {2, 1, 0, false}, {3, 1, 0, false}, {1, 0, 1, true},  {2, 0, 1, false},
    };
    int n = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE("picture " + std::to_string(n++));
        EXPECT_EQ(grid.BeginCell().has_value(), s.closes);
        EXPECT_EQ(grid.Column(), s.column);
        EXPECT_EQ(grid.Row(), s.row);
        EXPECT_EQ(grid.PagesWritten(), s.pages);
    }
    EXPECT_EQ(grid.Finish().Name, "page2.html");
    EXPECT_EQ(grid.PagesWritten(), 2);
}

TEST(GalleryGrid, FirstCellOfTheGalleryIsTheFirstOneBegun)
{
    // A picture that the build skips before its grid step leaves no cell, so
    // the first picture that does get one still opens the row properly.
    TGalleryGrid grid(TGalleryPageSettings{}, 3, 3);
    grid.BeginCell();
    EXPECT_TRUE(grid.PageText().ends_with("<table>\r\n<tr>\r\n\r\n<td valign=top>\r\n"));
}

TEST(GalleryGrid, OneByOneClosesOnEverySecondPicture)
{
    const TBuiltGallery built = BuildPages(PlainCellSettings(), 3, 1, 1);
    ASSERT_EQ(built.Pages.size(), 3u);
    EXPECT_EQ(built.ClosingPictures, (std::vector<int>{1, 2}));
    EXPECT_NE(built.Pages[0].Text.find("</a><br>\r\n</center>\r\n</td>\r\n\r\n</tr>\r\n<tr>\r\n\r\n<td valign=top>"
                                       "\r\n</td>\r\n\r\n</tr>\r\n</table>"),
              std::string::npos);
}

TEST(GalleryGrid, MisuseAndBadLayoutsRaise)
{
    EXPECT_THROW(TGalleryGrid(TGalleryPageSettings{}, 0, 3), EConvertError);
    EXPECT_THROW(TGalleryGrid(TGalleryPageSettings{}, 3, 0), EConvertError);
    TGalleryGrid grid(TGalleryPageSettings{}, 3, 3);
    grid.BeginCell();
    grid.Finish();
    EXPECT_THROW(grid.Finish(), Exception);
    EXPECT_THROW(grid.BeginCell(), Exception);
    EXPECT_THROW(grid.AppendCell("x"), Exception);
}

TEST(GalleryGrid, PhpInsertsLandInHeadsAndPageEnds)
{
    TGalleryPageSettings settings = PlainCellSettings();
    settings.PageExtension = "php";
    settings.Php.Functions = "[functions]";
    settings.Php.GalleryPageEnd = [](int page) { return "[end " + std::to_string(page) + "]"; };
    const TBuiltGallery built = BuildPages(settings, 4, 3, 1);
    ASSERT_EQ(built.Pages.size(), 2u);
    const std::string body = std::string(SummerStyleAndBody).substr(SummerStyleAndBody.find("<body"));
    EXPECT_NE(built.Pages[0].Text.find(body + "\r\n[functions]\r\n<center>\r\n<font class=ub>"), std::string::npos);
    EXPECT_NE(built.Pages[1].Text.find(body + "\r\n[functions]\r\n<center><font class=ub>"), std::string::npos);
    EXPECT_TRUE(built.Pages[0].Text.ends_with("Under\r\n\r\n</font>\r\n[end 1]</center></body></html>"));
    EXPECT_TRUE(built.Pages[1].Text.ends_with("Under\r\n\r\n</font>\r\n[end 2]</center></body></html>"));
}

}  // namespace

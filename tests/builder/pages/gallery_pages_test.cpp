#include "builder/pages/GalleryPages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "builder/pages/ColorToHtml.h"
#include "builder/pages/PageFile.h"
#include "tests/builder/page_test_helpers.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(StyleSheetText, NoFontChosenGivesVerdanaAndSizesWithoutUnit)
{
    TGalleryPageSettings settings;
    settings.HeadingFontSize = "14";
    settings.PictureFontSize = "9";
    settings.TextFontSize = "12";
    EXPECT_EQ(StyleSheetText(settings),
              "<style type=\"text/css\">\r\n"
              ".ub {font-family:Verdana;font-size:14}\r\n"
              ".pi {font-family:Verdana;font-size:9}\r\n"
              ".tx {font-family:Verdana;font-size:12}\r\n"
              "</style>\r\n");
}

TEST(StyleSheetText, ChosenFontAndSizesAsTyped)
{
    TGalleryPageSettings settings;
    settings.FontName = "Comic Sans MS";
    settings.HeadingFontSize = "020";
    settings.PictureFontSize = "6";
    settings.TextFontSize = "100";
    EXPECT_EQ(StyleSheetText(settings),
              "<style type=\"text/css\">\r\n"
              ".ub {font-family:Comic Sans MS;font-size:020}\r\n"
              ".pi {font-family:Comic Sans MS;font-size:6}\r\n"
              ".tx {font-family:Comic Sans MS;font-size:100}\r\n"
              "</style>\r\n");
}

TEST(ColorToHtml, RedGreenBlueInLowerCaseHex)
{
    const struct {
        TColor color;
        const char* html;
    } cases[] = {
        {clBlack, "#000000"},
        {clWhite, "#ffffff"},
        {clRed, "#ff0000"},
        {clBlue, "#0000ff"},
        {RGB(0x12, 0xAB, 0xFE), "#12abfe"},
        // A control's own colour is resolved, not written as its index bytes.
        {clWindow, "#ffffff"},
        {clBtnFace, "#f0f0f0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.html);
        EXPECT_EQ(ColorToHtml(c.color), c.html);
    }
}

TEST(BodyTag, TwoBlanksBeforeBgcolorWithOrWithoutBackground)
{
    TGalleryPageSettings settings;
    settings.TextColor = RGB(0x80, 0x00, 0x40);
    settings.BackgroundColor = RGB(0x00, 0x20, 0xC0);
    EXPECT_EQ(BodyTag(settings),
              "<body  bgcolor=#0020c0 text=#800040 alink=#800040 vlink=#800040 link=#800040>");
    SetRunTexts(settings, false, false, "", true);
    EXPECT_EQ(BodyTag(settings), "<body background=background.jpg  bgcolor=#0020c0 text=#800040 alink=#800040 "
                                 "vlink=#800040 link=#800040>");
}

TEST(SetRunTexts, TextsFollowTheSwitches)
{
    const struct {
        const char* name;
        bool php, newWindow, webLink, background;
        const char* extension;
        const char* target;
        const char* linkOpen;
        const char* linkClose;
        const char* backgroundAttribute;
    } cases[] = {
        {"all off", false, false, false, false, "html", "", "", "", ""},
        {"php", true, false, false, false, "php", "", "", "", ""},
        {"new window", false, true, false, false, "html", " target=_blank", "", "", ""},
        {"web link", false, false, true, false, "html", "", "<a href=http://example.org/ target=_blank>", "</a>", ""},
        {"background", false, false, false, true, "html", "", "", "", "background=background.jpg "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TGalleryPageSettings settings;
        settings.OpenInNewWindow = c.newWindow;
        SetRunTexts(settings, c.php, c.webLink, "http://example.org/", c.background);
        EXPECT_EQ(settings.PageExtension, c.extension);
        EXPECT_EQ(settings.NewWindowTarget, c.target);
        EXPECT_EQ(settings.WebLinkOpen, c.linkOpen);
        EXPECT_EQ(settings.WebLinkClose, c.linkClose);
        EXPECT_EQ(settings.BackgroundAttribute, c.backgroundAttribute);
    }
}

TEST(IsGifPicture, LooksAtTheLastFiveBytesCaseSensitively)
{
    const struct {
        const char* path;
        bool gif;
    } cases[] = {
        {"/pics/logo.gif", true},
        {"/pics/LOGO.GIF", true},
        {"/pics/logo.Gif", false},  // neither literal: not taken as a GIF
        {"/pics/a.gif.jpg", false},
        {"/pics/a.gifx", true},     // ".gif" still within the last five bytes
        {"/pics/a.bmp", false},
        {"/pics/photo.jpeg", false},
        {".gif", true},             // shorter than five bytes: taken whole
        {"gif", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(IsGifPicture(c.path), c.gif);
    }
}

TEST(IndexPageCount, RoundsUpAndRejectsEmptyLayouts)
{
    const struct {
        int count, perRow, rows;
        std::int64_t pages;
    } cases[] = {
        {10, 3, 3, 2}, {9, 3, 3, 1}, {7, 3, 2, 2}, {6, 3, 2, 1}, {1, 3, 3, 1},
        {0, 3, 3, 0},  {21, 1, 20, 2},
        // The product of the layout numbers does not wrap.
        {2147483647, 65536, 65536, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + " in " + std::to_string(c.perRow) + "x" + std::to_string(c.rows));
        EXPECT_EQ(IndexPageCount(c.count, c.perRow, c.rows), c.pages);
    }
    EXPECT_THROW(IndexPageCount(10, 0, 3), EConvertError);
    EXPECT_THROW(IndexPageCount(10, 3, 0), EConvertError);
    EXPECT_THROW(IndexPageCount(10, -1, 3), EConvertError);
}

TEST(IndexPageText, TenPicturesInThreeByThreeWhole)
{
    const std::string expected = GoldenPage("summer_index_of_10_3x3.html");
    EXPECT_EQ(IndexPageText(SummerSettings(), 3, 3, 10), expected);
}

TEST(IndexPageText, RangesAndWordsWithTextsOff)
{
    TGalleryPageSettings settings = SummerSettings();
    settings.TextsOnIndex = false;
    settings.NavPicturesText = "Bilder";
    settings.PageExtension = "php";
    const std::string page = IndexPageText(settings, 3, 2, 7);
    EXPECT_NE(page.find("<font class=tx></font>\r\n<p>\r\n<font class=ub>"), std::string::npos);
    EXPECT_EQ(page.find("Above"), std::string::npos);
    const std::string rows = "<table><tr>\r\n<td>\r\n<font class=tx><a href=page1.php>Bilder: 1 - 6</a></font>\r\n"
                             "</td>\r\n</tr><tr>\r\n<td>\r\n<font class=tx><a href=page2.php>Bilder: 7 - 7</a></font>"
                             "\r\n</td>\r\n</tr></table>\r\n<font class=tx><p><p></font>\r\n</center>";
    EXPECT_NE(page.find(rows), std::string::npos) << page;
}

TEST(IndexPageText, ExactlyFullPagesHaveNoEmptyRangeRow)
{
    const std::string page = IndexPageText(TGalleryPageSettings{}, 3, 3, 18);
    EXPECT_NE(page.find("<a href=page2.html>Pictures: 10 - 18</a>"), std::string::npos);
    EXPECT_EQ(page.find("page3.html"), std::string::npos);
}

const std::vector<std::string> MixedPictures = {"/pics/beach.jpg", "/pics/Sea.JPG", "/pics/logo.gif",
                                                "/pics/map.bmp"};

TEST(FrameMenus, BothListEveryPictureWithItsThumbnailKind)
{
    const std::string head = Crlf(R"(<html>
<head><title>Summer</title></head>
)") + std::string(SummerStyleAndBody) + Crlf(R"(
<center>
<font class=tx>)");
    const TGalleryPageSettings settings = SummerSettings();
    EXPECT_EQ(FrameMenuText(settings, MixedPictures),
              head +
                  "<a href=th_0_big.html target=fc><img src=th_0.jpg border=0></a><p>"
                  "<a href=th_1_big.html target=fc><img src=th_1.jpg border=0></a><p>"
                  "<a href=th_2_big.html target=fc><img src=th_2.gif border=0></a><p>"
                  "<a href=th_3_big.html target=fc><img src=th_3.jpg border=0></a><p>"
                  "</body></html>");
    EXPECT_EQ(FrameMenuRowText(settings, MixedPictures),
              head +
                  "<div id=b1 style=\"position:absolute;left:10px;top:10px;z-index:0\"><table bgcolor=#ffffff><tr>"
                  "<td><a href=th_0_big.html target=fc><img src=th_0.jpg border=0></a></td>"
                  "<td><a href=th_1_big.html target=fc><img src=th_1.jpg border=0></a></td>"
                  "<td><a href=th_2_big.html target=fc><img src=th_2.gif border=0></a></td>"
                  "<td><a href=th_3_big.html target=fc><img src=th_3.jpg border=0></a></td>"
                  "</tr></table></div></body></html>");
}

TEST(FrameMenus, SkippedPicturesAreLeftOutAndTheFrameSetsShowTheFirstWritten)
{
    const TGalleryPageSettings settings = SummerSettings();
    const std::vector<int> skipped{0, 2};
    const std::string menu = FrameMenuText(settings, MixedPictures, skipped);
    const std::string row = FrameMenuRowText(settings, MixedPictures, skipped);
    for (const std::string* text : {&menu, &row}) {
        for (const char* gone : {"th_0_big.html", "th_0.jpg", "th_2_big.html", "th_2.gif"})
            EXPECT_EQ(text->find(gone), std::string::npos) << gone;
        for (const char* kept : {"<a href=th_1_big.html target=fc><img src=th_1.jpg border=0></a>",
                                 "<a href=th_3_big.html target=fc><img src=th_3.jpg border=0></a>"})
            EXPECT_NE(text->find(kept), std::string::npos) << kept;
    }
    for (const TPageFile& page : CreateFrameSet(settings, 10, 10, 1))
        EXPECT_NE(page.Text.find("<frame src=th_1_big.html name=fc"), std::string::npos) << page.Name;
    for (const TPageFile& page : CreateFrameSet(settings, 0, 0, std::nullopt))
        EXPECT_NE(page.Text.find("<frame src=start.html name=fc"), std::string::npos) << page.Name;
}

TEST(Indexprint, FilesInWriteOrderWithTheirLineEnds)
{
    TGalleryPageSettings settings = SummerSettings();
    const std::vector<TPageFile> files = indexprint(settings, 3, 3, MixedPictures);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0], (TPageFile{"frame_menu.html", FrameMenuText(settings, MixedPictures), true}));
    EXPECT_EQ(files[1], (TPageFile{"frame_menu_h.html", FrameMenuRowText(settings, MixedPictures), true}));
    EXPECT_EQ(files[2], (TPageFile{"start.html", IndexPageText(settings, 3, 3, 4), false}));
    EXPECT_THROW(indexprint(settings, 0, 3, MixedPictures), EConvertError);
}

TEST(Indexprint, PhpChartPagesAndLinksGoWhereTheIndexPutsThem)
{
    TGalleryPageSettings settings = SummerSettings();
    settings.PageExtension = "php";
    settings.Php.ChartLinks = "[charts]";
    std::string headSeen;
    settings.Php.ChartPages = [&headSeen](const std::string& indexHead) {
        headSeen = indexHead;
        return std::vector<TPageFile>{{"chartview.php", "[view]", false}};
    };
    const std::vector<TPageFile> files = indexprint(settings, 3, 3, MixedPictures);
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files[2].Name, "chartview.php");
    EXPECT_EQ(files[3].Name, "start.html");
    EXPECT_EQ(headSeen, IndexHeadText(settings));
    EXPECT_TRUE(headSeen.ends_with("<p>\r\n<table>"));
    EXPECT_NE(files[3].Text.find("</table>\r\n<font class=tx><p>[charts]<p>\r\nUnder"), std::string::npos);
    EXPECT_NE(files[0].Text.find("<a href=th_2_big.php target=fc><img src=th_2.gif border=0>"),
              std::string::npos);
}

TEST(CreateFrameSet, MenuSizedByTheLargestThumbnail)
{
    const std::vector<TPageFile> expected = {
        {"frame1.html",
         "<html><frameset cols=182,* border=0><frame src=frame_menu.html name=fm scrolling=yes>"
         "<frame src=th_0_big.html name=fc scrolling=yes></frameset></html>",
         true},
        {"frame2.html",
         "<html><frameset cols=*,182 border=0><frame src=th_0_big.html name=fc scrolling=yes>"
         "<frame src=frame_menu.html name=fm scrolling=yes></frameset></html>",
         true},
        {"frame3.html",
         "<html><frameset rows=149,* border=0><frame src=frame_menu_h.html name=fm scrolling=yes>"
         "<frame src=th_0_big.html name=fc scrolling=yes></frameset></html>",
         true},
        {"frame4.html",
         "<html><frameset rows=*,149 border=0><frame src=th_0_big.html name=fc scrolling=yes>"
         "<frame src=frame_menu_h.html name=fm scrolling=yes></frameset></html>",
         true},
    };
    EXPECT_EQ(CreateFrameSet(TGalleryPageSettings{}, 132, 99), expected);

    TGalleryPageSettings php;
    php.PageExtension = "php";
    EXPECT_NE(CreateFrameSet(php, 0, 0)[0].Text.find("cols=50,*"), std::string::npos);
    EXPECT_NE(CreateFrameSet(php, 0, 0)[0].Text.find("<frame src=th_0_big.php name=fc"), std::string::npos);
}

class PageFileWriting : public ::testing::Test {
protected:
    const std::string& Folder() const { return FTemp.Path(); }

private:
    testsupport::TempFolder FTemp;
};

TEST_F(PageFileWriting, WithAndWithoutFinalLineEnd)
{
    WritePageFile(Folder(), {"start.html", "<html>\r\n</html>", false});
    WritePageFile(Folder(), {"frame1.html", "<html></html>", true});
    EXPECT_EQ(ReadFileBytes(Folder() + "start.html"), "<html>\r\n</html>");
    EXPECT_EQ(ReadFileBytes(Folder() + "frame1.html"), "<html></html>\r\n");
    // A second write replaces the file whole.
    WritePageText(Folder() + "frame1.html", "", true);
    EXPECT_EQ(ReadFileBytes(Folder() + "frame1.html"), "\r\n");
}

TEST_F(PageFileWriting, MissingFolderRaises)
{
    EXPECT_THROW(WritePageFile(Folder() + "missing/", {"start.html", "x", false}), EFCreateError);
}

}  // namespace

#include "builder/pages/GalleryPages.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/builder/page_test_helpers.h"
#include "platform/core/Exceptions.h"

namespace {

TEST(FullPicturePageText, SinglePictureHasNeitherBackNorNext)
{
    const TFullPicture picture{0, false, "Sunset", 0, 1};
    EXPECT_EQ(FullPicturePageText(SummerSettings(), picture), GoldenPage("summer_full_page_of_1.html"));
}

TEST(FullPicturePageText, SinglePictureSlideShowRefreshesItself)
{
    TGalleryPageSettings settings = SummerSettings();
    settings.SlideShow = true;
    settings.SlideShowSeconds = std::string("5");
    const TFullPicture picture{0, false, "Sunset", 0, 1};
    // The same page with the refresh line after its first.
    std::string refreshing = GoldenPage("summer_full_page_of_1.html");
    refreshing.insert(std::string("<html>\r\n").size(), "<meta http-equiv=refresh content=\"5; URL=th_0_big.html\">\r\n");
    EXPECT_EQ(FullPicturePageText(settings, picture), refreshing);
}

TEST(FullPicturePageText, MiddlePictureWithWebLinkAndNothingOptional)
{
    TGalleryPageSettings settings;
    settings.GalleryHeading = std::string("H");
    settings.TextsOnFullPages = false;
    settings.CommentsOnFullPages = false;
    settings.SlideShow = true;
    settings.NavBackText = std::string("Zur\xFC" "ck");
    settings.NavGalleryText = "Galerie";
    settings.NavNextText = "Weiter";
    SetRunTexts(settings, false, true, "http://example.org/", false);
    const TFullPicture picture{4, true, "ignored", 1, 7};
    EXPECT_EQ(FullPicturePageText(settings, picture),
              "<html>\r\n<meta http-equiv=refresh content=\"10; URL=th_5_big.html\">\r\n" +
                  StyleSheetText(settings) +
                  "<body  bgcolor=#ffffff text=#000000 alink=#000000 vlink=#000000 link=#000000>"
                  "<center><font class=ub>\r\n<p><b>H</b>\r\n<p>\r\n</font>\r\n<p>\r\n"
                  "<a href=http://example.org/ target=_blank><img src=th_4_big.gif border=0></a><p>"
                  "<font class=tx><a href=th_3_big.html>Zur\xFC" "ck</a></font>&#160;"
                  "<font class=tx><a href=page2.html>Galerie</a></font>&#160;"
                  "<font class=tx><a href=th_5_big.html>Weiter</a></font>&#160;"
                  "<br><font class=tx><a href=start.html>Index</a></font>&#160;</body></html>");
}

TEST(FullPicturePageText, NewWindowDropsGalleryAndIndexLinks)
{
    TGalleryPageSettings settings;
    settings.TextsOnFullPages = false;
    settings.OpenInNewWindow = true;
    settings.SlideShow = true;
    SetRunTexts(settings, false, false, "", false);
    const std::string last = FullPicturePageText(settings, {6, false, "c", 1, 7});
    EXPECT_TRUE(last.starts_with("<html>\r\n<meta http-equiv=refresh content=\"10; URL=th_0_big.html\">\r\n"));
    EXPECT_TRUE(last.ends_with("<img src=th_6_big.jpg border=0><p><font class=pi>c</font><p>\r\n"
                               "<font class=tx><a href=th_5_big.html>Back</a></font>&#160;</body></html>"));
    EXPECT_EQ(last.find("page2.html"), std::string::npos);
    EXPECT_EQ(last.find("start.html"), std::string::npos);

    const std::string first = FullPicturePageText(settings, {0, false, "c", 0, 7});
    EXPECT_TRUE(first.ends_with("<p>\r\n<font class=tx><a href=th_1_big.html>Next</a></font>&#160;</body></html>"));
}

TEST(FullPicturePageText, PhpInsertsAfterHeadAndBeforeEnd)
{
    TGalleryPageSettings settings;
    settings.TextsOnFullPages = false;
    SetRunTexts(settings, true, false, "", false);
    settings.Php.FullPageScript = [](int n) { return "[script " + std::to_string(n) + "]"; };
    settings.Php.FullPageFeatures = [](int n, bool gif) {
        return "[features " + std::to_string(n) + (gif ? " gif]" : " jpg]");
    };
    const std::string page = FullPicturePageText(settings, {2, true, "c", 0, 3});
    EXPECT_NE(page.find("link=#000000><center><font class=ub>\r\n[script 2]<p><b>My Gallery</b>"),
              std::string::npos);
    EXPECT_TRUE(page.ends_with("<a href=start.html>Index</a></font>&#160;[features 2 gif]</body></html>"));
    EXPECT_NE(page.find("<a href=th_1_big.php>Back</a>"), std::string::npos);
    EXPECT_NE(page.find("<a href=page1.php>Gallery</a>"), std::string::npos);
}

TEST(FullPicturePageText, BackNextAndTheSlideShowStepOverSkippedPictures)
{
    TGalleryPageSettings settings;
    settings.SlideShow = true;
    SetRunTexts(settings, false, false, "", false);
    const auto link = [](int n, const char* word) {
        return "<a href=th_" + std::to_string(n) + "_big.html>" + word + "</a>";
    };
    const auto refresh = [](int n) { return "URL=th_" + std::to_string(n) + "_big.html\">"; };
    struct Case {
        const char* name;
        TFullPicture picture;
        int back;  // -1: no Back link
        int next;  // -1: no Next link
        int shown;  // the slide show's next page
    };
    const Case cases[] = {
        {"none skipped", {2, false, "", 0, 5}, 1, 3, 3},
        {"a run on either side", {2, false, "", 0, 7, {0, 1, 3, 4}}, -1, 5, 5},
        {"the neighbours", {3, false, "", 0, 7, {2, 4}}, 1, 5, 5},
        {"the last ones, the show goes round", {1, false, "", 0, 4, {0, 2, 3}}, -1, -1, 1},
        {"the first ones", {4, false, "", 0, 5, {0, 1}}, 3, -1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string page = FullPicturePageText(settings, c.picture);
        EXPECT_EQ(page.find(">Back</a>") != std::string::npos, c.back >= 0);
        EXPECT_EQ(page.find(">Next</a>") != std::string::npos, c.next >= 0);
        if (c.back >= 0) {
            EXPECT_NE(page.find(link(c.back, "Back")), std::string::npos);
        }
        if (c.next >= 0) {
            EXPECT_NE(page.find(link(c.next, "Next")), std::string::npos);
        }
        EXPECT_NE(page.find(refresh(c.shown)), std::string::npos);
    }
}

TEST(FullPicturePageText, PictureOutsideTheListRaises)
{
    const TGalleryPageSettings settings;
    EXPECT_THROW(FullPicturePageText(settings, {1, false, "", 0, 1}), Exception);
    EXPECT_THROW(FullPicturePageText(settings, {-1, false, "", 0, 1}), Exception);
    EXPECT_THROW(FullPicturePageText(settings, {0, false, "", 0, 0}), Exception);
}

}  // namespace

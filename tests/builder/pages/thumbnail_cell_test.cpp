#include "builder/pages/GalleryPages.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/core/Exceptions.h"

namespace {

struct CellCase {
    const char* name;
    bool gif;
    bool showInfos;
    bool newWindow;
    bool comments;
    TLinkMode linkMode;
    std::string expected;
};

TEST(ThumbnailCellText, EveryKindOfCell)
{
    const TPictureSizeInfo jpegInfo{396, 528, 40123};
    const TPictureSizeInfo gifInfo{10, 20, 999};
    const CellCase cases[] = {
        {"jpeg", false, false, false, true, TLinkMode::FullPicture,
         "<center><a href=th_3_big.html ><img src=th_3.jpg border=1 ></a><br>\r\n"
         "\r\n<font class=pi>Beach&#160;</font><br></center>\r\n"},
        {"jpeg with size infos", false, true, false, true, TLinkMode::FullPicture,
         "<center><a href=th_3_big.html><img src=th_3.jpg border=1 ></a><br>\r\n"
         "\r\n<font class=pi>Beach&#160;</font><br>"
         "\r\n<font class=pi>396 X 528 Pixel\r\n<br>\r\n40123 Byte\r\n</font>\r\n</center>\r\n"},
        {"jpeg in new window: two blanks", false, false, true, true, TLinkMode::FullPicture,
         "<center><a href=th_3_big.html  target=_blank><img src=th_3.jpg border=1 ></a><br>\r\n"
         "\r\n<font class=pi>Beach&#160;</font><br></center>\r\n"},
        {"jpeg in new window with size infos: one blank", false, true, true, true, TLinkMode::FullPicture,
         "<center><a href=th_3_big.html target=_blank><img src=th_3.jpg border=1 ></a><br>\r\n"
         "\r\n<font class=pi>Beach&#160;</font><br>"
         "\r\n<font class=pi>396 X 528 Pixel\r\n<br>\r\n40123 Byte\r\n</font>\r\n</center>\r\n"},
        {"jpeg without comment", false, false, false, false, TLinkMode::FullPicture,
         "<center><a href=th_3_big.html ><img src=th_3.jpg border=1 ></a><br>\r\n</center>\r\n"},
        {"gif", true, false, false, true, TLinkMode::FullPicture,
         "<center><a href=th_3_big.html ><img src=th_3.gif border=0></a><br>\r\n"
         "\r\n<font class=pi>Beach</font><br></center>\r\n"},
        {"gif with size infos: no line end", true, true, false, true, TLinkMode::FullPicture,
         "<center><a href=th_3_big.html ><img src=th_3.gif border=0></a><br>\r\n"
         "\r\n<font class=pi>Beach</font><br>"
         "\r\n<font class=pi>10 X 20 Pixel\r\n<br>\r\n999 Byte\r\n</font>\r\n</center>"},
        {"gif in new window keeps both blanks with size infos", true, true, true, false, TLinkMode::FullPicture,
         "<center><a href=th_3_big.html  target=_blank><img src=th_3.gif border=0></a><br>\r\n"
         "\r\n<font class=pi>10 X 20 Pixel\r\n<br>\r\n999 Byte\r\n</font>\r\n</center>"},
        {"no link: size infos and new window ignored", false, true, true, true, TLinkMode::NoLink,
         "<img src=th_3.jpg border=0>\r\n\r\n<font class=pi>Beach&#160;</font><br>\r\n"},
        {"no link gif without comment", true, false, false, false, TLinkMode::NoLink,
         "<img src=th_3.gif border=0>\r\n\r\n"},
    };
    for (const CellCase& c : cases) {
        SCOPED_TRACE(c.name);
        TGalleryPageSettings settings;
        settings.ShowPictureInfos = c.showInfos;
        settings.OpenInNewWindow = c.newWindow;
        settings.CommentsInGallery = c.comments;
        settings.LinkMode = c.linkMode;
        SetRunTexts(settings, false, false, "", false);
        TThumbnailCell cell{3, c.gif, "Beach", std::nullopt};
        if (CellShowsSizeInfo(settings))
            cell.SizeInfo = c.gif ? gifInfo : jpegInfo;
        EXPECT_EQ(ThumbnailCellText(settings, cell), c.expected);
    }
}

TEST(ThumbnailCellText, SizeInfosNeededButMissingRaise)
{
    TGalleryPageSettings settings;
    ASSERT_TRUE(CellShowsSizeInfo(settings));
    EXPECT_THROW(ThumbnailCellText(settings, {0, false, " ", std::nullopt}), Exception);
}

TEST(ThumbnailCellText, PhpBarOnlyUnderLinkedCells)
{
    TGalleryPageSettings settings;
    settings.ShowPictureInfos = false;
    SetRunTexts(settings, true, false, "", false);
    settings.Php.CellBar = [](int n, bool gif) {
        return "[bar " + std::to_string(n) + (gif ? " gif]" : " jpg]");
    };
    EXPECT_EQ(ThumbnailCellText(settings, {7, false, "x", std::nullopt}),
              "<center><a href=th_7_big.php ><img src=th_7.jpg border=1 ></a><br>\r\n"
              "\r\n<font class=pi>x&#160;</font><br>[bar 7 jpg]</center>\r\n");
    EXPECT_EQ(ThumbnailCellText(settings, {7, true, "x", std::nullopt}),
              "<center><a href=th_7_big.php ><img src=th_7.gif border=0></a><br>\r\n"
              "\r\n<font class=pi>x</font><br>[bar 7 gif]</center>\r\n");
    settings.LinkMode = TLinkMode::NoLink;
    EXPECT_EQ(ThumbnailCellText(settings, {7, false, "x", std::nullopt}),
              "<img src=th_7.jpg border=0>\r\n\r\n<font class=pi>x&#160;</font><br>\r\n");
}

}  // namespace

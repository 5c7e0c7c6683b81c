#include "builder/build/GalleryDataBlock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "builder/pages/GalleryPages.h"
#include "tests/builder/page_test_helpers.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

namespace {

TEST(GalleryDataBlock, TwoPicturesWithCommentsAndNotes)
{
    const std::string viewer("\x7f" "ELF\0\1code", 10);
    const std::string jpeg1("\xFF\xD8one\xFF\xD9", 7);
    const std::string jpeg2("\xFF\xD8two\0\xFF\xD9", 8);
    TGalleryDataBlock block(viewer, "Hello");
    block.AddPicture(jpeg1, false, "Beach");
    block.AddPicture(jpeg2, false, " ");
    const std::string expected = viewer + "<PICTURES>Hello <LICENCENOTES>" + jpeg1 + "<PEND>JPG<FORMAT>Beach<KOMM>" +
                                 jpeg2 + "<PEND>JPG<FORMAT> <KOMM>";
    EXPECT_EQ(block.Bytes(), expected);
    EXPECT_EQ(block.PictureCount(), 2);
}

TEST(GalleryDataBlock, EmptyNotesAndGifFormat)
{
    TGalleryDataBlock block("V", "");
    EXPECT_EQ(block.Bytes(), "V<PICTURES> <LICENCENOTES>");
    block.AddPicture("GIF89a", true, "x");
    EXPECT_EQ(block.Bytes(), "V<PICTURES> <LICENCENOTES>GIF89a<PEND>GIF<FORMAT>x<KOMM>");
}

TEST(GalleryDataBlock, NotesKeepTheirLineEndsExactly)
{
    TGalleryDataBlock block("", "a\r\nb\r\n");
    EXPECT_EQ(block.Bytes(), "<PICTURES>a\r\nb\r\n <LICENCENOTES>");
}

TEST(GalleryDataBlock, TextsThatWouldCutTheBlockAreRefused)
{
    const std::vector<std::string> names = {"a.jpg", "b.jpg"};
    struct Case {
        std::string notes;
        std::vector<std::string> comments;
        std::string messagePart;  // empty: accepted
    };
    const Case cases[] = {
        {"Hello", {"Beach", " "}, ""},
        {"<LICENCENOTES>", {" "}, ""},  // without the blank the reader still finds the real end
        {"x <LICENCENOTES> y", {" "}, "notes"},
        {"", {"ok", "a<KOMM>b"}, "picture 2 (b.jpg)"},
        {"", {"<PEND>", "ok"}, "picture 1 (a.jpg)"},
        {"", {"ok", "ok", "<KOMM>"}, "picture 3"},
        {"", {"<KOMM"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.notes + " | " + c.comments.back());
        if (c.messagePart.empty()) {
            EXPECT_NO_THROW(CheckDataBlockTexts(c.notes, c.comments, names));
            continue;
        }
        try {
            CheckDataBlockTexts(c.notes, c.comments, names);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find(c.messagePart), std::string::npos) << e.Message();
        }
    }
}

TEST(GalleryDataBlock, ExeTargetNaming)
{
    const std::pair<std::string, std::string> cases[] = {
        {"gallery.exe.bak", "gallery.exe.bak"},
        {"gallery", "gallery.exe"},
        {"Gallery.EXE", "Gallery.EXE.exe"},
        {"/home/u/MyGallery", "/home/u/MyGallery.exe"},
        {"/home/u.exe/MyGallery", "/home/u.exe/MyGallery"},
    };
    for (const auto& [chosen, target] : cases)
        EXPECT_EQ(ExeGalleryTarget(chosen), target) << chosen;
    EXPECT_EQ(ExeGalleryCompleteMessage("/t/g.exe"), "Complete! To run the application choose: /t/g.exe!");
}

TEST(GalleryDataBlock, ExeGalleryIsWrittenExecutableAndReplaced)
{
    const auto dir = std::filesystem::temp_directory_path() / ("gdb_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string target = (dir / "g.exe").string();
    WriteFileBytes(target, "an older and longer file");
    WriteExeGallery(target, std::string("ab\0c", 4));
    EXPECT_EQ(ReadFileBytes(target), std::string("ab\0c", 4));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXUSR);
    std::filesystem::remove_all(dir);
}

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

#include "builder/build/GalleryDataBlock.h"

#include <gtest/gtest.h>

#include "platform/core/Exceptions.h"

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

}  // namespace

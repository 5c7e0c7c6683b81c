// The converter's reading of its argument line and work lists.

#include <gtest/gtest.h>

#include "tools/plennix/PdfGallery.h"

namespace {

TEST(PlennixArguments, FlagTextsBlanksAndDashes)
{
    const struct {
        std::vector<std::string> line;
        bool comments;
        const char *title, *author, *date;
        std::vector<std::string> missing;
    } cases[] = {
        {{"1", "My~Trip", "A.~B.", "01.02.2003"}, true, "My Trip", "A. B.", "01.02.2003", {}},
        {{"0", "-", "-", "-"}, false, "", "", "", {}},
        {{"1", "~a~~b~", "-x-", "~"}, true, " a  b ", "-x-", " ", {}},
        {{"1", "Trip"}, true, "Trip", "", "", {"author", "date"}},
        {{}, true, "", "", "", {"comment flag", "title", "author", "date"}},
    };
    for (const auto& c : cases) {
        const TPdfGalleryArguments parsed = ParsePdfGalleryArguments(c.line);
        EXPECT_EQ(parsed.Comments, c.comments);
        EXPECT_EQ(parsed.Title, c.title);
        EXPECT_EQ(parsed.Author, c.author);
        EXPECT_EQ(parsed.Date, c.date);
        EXPECT_EQ(parsed.Missing, c.missing);
    }
}

TEST(PlennixLists, LinesEndInCrLfOrLf)
{
    EXPECT_EQ(ListLines("a\r\nb\r\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(ListLines("a\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(ListLines("\r\n \r\n"), (std::vector<std::string>{"", " "}));
    EXPECT_TRUE(ListLines("").empty());
}

TEST(PlennixLists, PicturesTakeTheCommentOfTheirNumber)
{
    const std::vector<std::string> comments = {"c0", "c1", "c2", "c3"};
    const struct {
        std::vector<std::string> pictures;
        std::vector<std::string> expected;  // the comments, in order
    } cases[] = {
        {{"/w/0.jpg", "/w/1.jpg", "/w/2.jpg"}, {"c0", "c1", "c2"}},
        {{"/w/0.jpg", "/w/2.jpg", "/w/3.gif"}, {"c0", "c2", "c3"}},  // picture 1 skipped by the build
        {{"/w/7.jpg"}, {""}},                                       // no comment line for it
        {{"/w/x.jpg", "/w/y.jpg"}, {"c0", "c1"}},                   // no number: its own line
        {{"/w/0.jpg", "", "/w/2.jpg"}, {"c0", "c2"}},               // blank lines are no pictures
    };
    for (const auto& c : cases) {
        std::vector<std::string> got;
        for (const TGalleryPicture& picture : PairPicturesWithComments(c.pictures, comments))
            got.push_back(picture.Comment);
        EXPECT_EQ(got, c.expected);
    }
    EXPECT_EQ(PairPicturesWithComments({"/w/1.jpg"}, {}).at(0).Comment, "") << "an empty k.dat";
}

}  // namespace

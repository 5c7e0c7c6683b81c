// The e-mail gallery through the build run: the page and the thumbnails in
// the program's "OutMail" folder and the start of the mail program.

#include <gtest/gtest.h>

#include "platform/core/TStream.h"
#include "tests/builder/road_fixture.h"

namespace buildertest {
namespace {

class MailBuildTest : public RoadTest {
protected:
    MailBuildTest() { ChooseMail(); }
    std::string Mail() const { return ProgramFolder() + "OutMail/"; }
};

TEST_F(MailBuildTest, RowsThumbnailsAndTheMailProgramsArgument)
{
    PutProgram("OutMail/VEV.exe");
    struct Case {
        int pictures;
        int rowStarts;  // "</tr><tr>" between rows
        int fillers;    // "<td></td>" after the last picture
    };
    for (const Case c : {Case{5, 1, 1}, Case{6, 1, 0}, Case{1, 0, 2}}) {
        SCOPED_TRACE(c.pictures);
        Wizard->ListBox1->Clear();
        Wizard->ListBox2->Clear();
        AddJpegs(c.pictures, 80, 60);
        ClearRecordedShellStarts();
        RunBuild();  // no message

        const std::string page = ReadFileBytes(Mail() + "index.html");
        EXPECT_EQ(Occurrences(page, "</tr><tr>"), c.rowStarts);
        EXPECT_EQ(Occurrences(page, "<td></td>"), c.fillers);
        EXPECT_EQ(Occurrences(page, "<img src=cid:"), c.pictures);
        EXPECT_NE(page.find("<img src=cid:th_0.jpg><p><center><font class=pi>c0&#160;</font></center><p></td>"),
                  std::string::npos);
        EXPECT_EQ(page.find("background="), std::string::npos);
        EXPECT_EQ(page.substr(page.size() - 7), "</html>");
        for (int n = 0; n < c.pictures; ++n) {
            TJPEGImage thumbnail;
            thumbnail.LoadFromFile(Mail() + "th_" + std::to_string(n) + ".jpg");
            EXPECT_EQ(thumbnail.Width(), 100);  // the fixed size of a new wizard
            EXPECT_EQ(thumbnail.Height(), 100);
        }
        EXPECT_FALSE(FileExists(Mail() + "th_" + std::to_string(c.pictures) + ".jpg"))
            << "the last gallery's thumbnails are gone";
        const auto starts = RecordedShellStarts();
        ASSERT_EQ(starts.size(), 1u);
        EXPECT_EQ(starts[0].File, Mail() + "VEV.exe");
        EXPECT_EQ(starts[0].Parameters, std::to_string(c.pictures));
    }
}

TEST_F(MailBuildTest, OnlyOldPicturesAreClearedAndCommentsFollowTheirSwitch)
{
    PutProgram("OutMail/VEV.exe");
    ForceDirectories(Mail());
    for (const char* name : {"old.jpg", "old.gif", "keep.txt", "gallery.eml"})
        WriteFileBytes(Mail() + name, "old");
    AddJpegs(2);
    Wizard->CheckBox2->SetChecked(false);
    RunBuild();
    EXPECT_FALSE(FileExists(Mail() + "old.jpg"));
    EXPECT_FALSE(FileExists(Mail() + "old.gif"));
    EXPECT_TRUE(FileExists(Mail() + "keep.txt"));
    EXPECT_TRUE(FileExists(Mail() + "VEV.exe"));
    EXPECT_EQ(ReadFileBytes(Mail() + "index.html").find("class=pi>"), std::string::npos);
}

TEST_F(MailBuildTest, AMissingMailProgramIsNamed)
{
    AddJpegs(1);
    Script.AnswerMessage(IDOK, "The mail program could not be started: " + Mail() + "VEV.exe");
    RunBuild();
    EXPECT_TRUE(FileExists(Mail() + "index.html"));
    EXPECT_TRUE(FileExists(Mail() + "th_0.jpg"));
}

}  // namespace
}  // namespace buildertest

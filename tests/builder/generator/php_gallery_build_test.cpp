// The PHP gallery's pages and files as the build run writes them, with small
// stand-in templates whose texts show where each one went.

#include <gtest/gtest.h>

#include "builder/pages/PhpGalleryPages.h"
#include "builder/dialogs/GalleryKindDialog.h"
#include "builder/dialogs/BuildCancelWindow.h"
#include "platform/controls/InputDriver.h"
#include "platform/loop/FdWatch.h"
#include "tests/builder/build_fixture.h"

using namespace buildertest;

namespace {

// Line ends of every kind, and a last line without one: pages get CR LF.
const std::pair<const char*, const char*> Templates[] = {
    {"vesko.sc", "V1\nV2"},   {"vote.sc", "O1\r\n"},     {"com_count.sc", "C1\r"}, {"full.sc", "F1\nF2\n"},
    {"gcom.sc", "G1"},        {"js_gcom.sc", "JG"},      {"js_com.sc", "JC"},      {"js_pop.sc", "JP"},
    {"chart_view.sc", "CV"},  {"chart_vote.sc", "CT"},   {"switchedoff.sc", "OFF\n"},
    {"mailpicturesend.sc", "<?php\nmail(\"$email\",\"\",\"\",$headers);\nmail(\"$email\",\"\",\"\",$headers);"},
};
const char* const Copies[] = {"eye.gif", "mail.gif", "vote.gif", "sub2.jpg", "votesubmit.gif", "com.gif",
                              "vt_logo.jpg", "admin.sc", "comedit.php", "comeditsave.php", "comeditdel.php",
                              "setup.php", "picturesetup.php", "mailpicture.php", "admin.jpg", "htaccess.sc"};

const std::string CommentForm =
    "<center><table width=550 border=0><tr><td valign=top><font class=tx>Name*</font><br>"
    "<input type=text size=20 name=user><br><font class=tx>E-Mail</font><br>"
    "<input type=text size=20 name=email><br><font class=tx>Homepage</font><br>"
    "<input type=text size=20 name=page value=http://><br></td><td width=70% valign=top> "
    "<font class=tx>Message*</font><br> <textarea name=com cols=40 rows=6></textarea></td>"
    "<td colspan=2><input type=hidden name=st value=\"msg\">"
    "<input type=image src=sub2.jpg alt=\"submit\" align=right onclick=\"return check_form()\">"
    "</td></tr></table><br></center></form><p>";

constexpr std::string_view CharsetLine = "<?php header('Content-Type: text/html; charset=windows-1252'); ?>";

class PhpGalleryBuildTest : public BuildTest {
protected:
    PhpGalleryBuildTest()
    {
        Wizard->ProgramFolder = Program.Path();
        ForceDirectories(Program.Path() + "php_temps");
        for (const auto& [name, text] : Templates)
            WriteFileBytes(Program.Path() + "php_temps/" + name, text);
        for (const char* name : Copies)
            WriteFileBytes(Program.Path() + "php_temps/" + name, std::string("bytes of ") + name + std::string("\n\r\0x", 4));
        Wizard->RadioButton3->SetChecked(true);
        Wizard->PhpGallery = true;
        GalleryKindDialog->Edit1->SetText("secret");
        GalleryKindDialog->Edit2->SetText("owner@example.org");
    }
    void AllOptions(bool on)
    {
        for (bool* option : {&Wizard->PhpViewCount, &Wizard->PhpVoting, &Wizard->PhpPictureComments,
                             &Wizard->PhpMailPicture, &Wizard->PhpChartViews, &Wizard->PhpChartVotes,
                             &Wizard->PhpGalleryComments})
            *option = on;
    }
    TempFolder Program;
};

}  // namespace

TEST_F(PhpGalleryBuildTest, AllOptionsOnWriteEveryInsertAndFile)
{
    AddJpegs(2);
    AllOptions(true);
    Wizard->Edit4->SetText("Sommer \"$x\" \\");
    Build();
    const std::string page = Read("page1.php");
    EXPECT_NE(page.find(std::string(DefaultBody) + "\r\nV1\r\nV2\r\nO1\r\nC1\r\n\r\n<center>"), std::string::npos);
    EXPECT_NE(page.find("<p><font class=pi>| <img src=eye.gif alt=\"Views\"> <?php @vesko(\"th_1.cnt\")?> | "
                        "<img src=vote.gif alt=\"Voting\"> <?php @vote(\"th_1.cnt\")?>  | "
                        "<img src=com.gif alt=\"your comment\"> <?php @com_count(\"th_1.cnt\")?> | "
                        "<a href=th_1_big.php ><img src=mail.gif alt=\"send a image via e-mail\" border=0></a> | "
                        "</font><br></center>"),
              std::string::npos);
    EXPECT_NE(page.find("\r\nG1\r\n\r\n<hr size=1><font class=tx><b>Comments</font></b>\r\nJG\r\n\r\n"
                        "<?php @add_gmsg(); ?>\r\n<form action=page1.php method=POST>" + CommentForm +
                        "<?php @read_gmsg(\"gcom.ctx\"); ?><p><a href=admin.php><img src=admin.jpg border=0></a>"
                        "\r\n</center></body></html>"),
              std::string::npos);

    const std::string full = Read("th_1_big.php");
    EXPECT_NE(full.find("<center><font class=ub>\r\n\r\nF1\r\nF2\r\n\r\n<?php if (!$_POST) { @check(\"th_1.cnt\");} "
                        "else {@vote(\"th_1.cnt\"); @add_msg(\"th_1.cnt\"); } ?>\r\n"),
              std::string::npos);
    const std::string features =
        "\r\nJP\r\n\r\n<font class=tx><br><a href=chartview.php>Top10 <img src=eye.gif border=0 alt=\"Top 10 Views\"></a> | "
        "<a href=chartvote.php>Top10 <img src=vote.gif border=0 alt=\"Top 10 Voting\"> </a> |"
        "<a href=\"Javascript:pop('mailpicture.php?pic=th_1.jpg')\"> Send picture <img src=mail.gif border=0 "
        "alt=\"E-Mail\"></a><p></font><font class=tx><?php @vote_erg(\"th_1.cnt\",\"users have given a average vote "
        "of: \"); ?><p><b>Your Voting: </b><form action=th_1_big.php method=POST>|1<input type=radio name=vote value=1 "
        "checked>|2<input type=radio name=vote value=2>|3<input type=radio name=vote value=3>|4<input type=radio "
        "name=vote value=4>|5<input type=radio name=vote value=5>|6<input type=radio name=vote value=6>&#160;<input "
        "type=hidden name=st value=\"vote\"><input type=image src=votesubmit.gif></form></font>"
        "<hr size=1><font class=tx><b>Comments</font></b>\r\nJC\r\n\r\n<form action=th_1_big.php method=POST>" +
        CommentForm + "<?php @read_msg(\"th_1.cnt\"); ?><p><center><a href=admin.php?d=th_1.jpg>"
                      "<img src=admin.jpg border=0></a></center></body></html>";
    EXPECT_NE(full.find(features), std::string::npos);

    EXPECT_NE(Read("start.html").find("<font class=tx><p><font class=tx><a href=chartview.php>Top 10 (Views) <img "
                                      "src=eye.gif border=0></a> </font><font class=tx> <a href=chartvote.php>Top 10 "
                                      "(Votes) <img src=vote.gif border=0></a></font><p>"),
              std::string::npos);
    const std::string chart = Read("chartview.php");
    EXPECT_EQ(chart.substr(chart.size() - 35), "<table>CV\r\n</table></body></html>\r\n");
    EXPECT_NE(Read("chartvote.php").find("<table>CT\r\n</table>"), std::string::npos);

    for (const char* name : {"page1.php", "th_0_big.php", "th_1_big.php", "chartview.php", "chartvote.php"})
        EXPECT_EQ(Read(name).rfind(std::string(CharsetLine) + "<html>", 0), 0u) << name;
    for (const char* name : Copies) {
        const std::string target = std::string(name) == "admin.sc"      ? "admin.php"
                                   : std::string(name) == "htaccess.sc" ? ".htaccess"
                                                                        : name;
        EXPECT_EQ(Read(target), std::string("bytes of ") + name + std::string("\n\r\0x", 4)) << name;
    }
    // Only the first call gets the heading, escaped for its PHP string.
    EXPECT_EQ(Read("mailpicturesend.php"),
              "<?php\r\nmail(\"$email\",\"Sommer \\\"\\$x\\\" \\\\ | Galeriebild\",\"\",$headers);\r\n"
              "mail(\"$email\",\"\",\"\",$headers);\r\n");
    EXPECT_EQ(Read("pa.php"), "<?php /*\r\nsecret\r\nowner@example.org\r\nyes\r\n10000\r\n*/ ?>\r\n"
                              "<html><frameset cols=100%,*><frame src=admin.php name=admin></frameset></html>\r\n");
    EXPECT_EQ(Read("gcom.ctx"), "");
    EXPECT_EQ(Read("th_0.cnt"), std::string("0\r\n0,0\r\n0\r\n"));
    EXPECT_EQ(Read("th_0.cnt").size(), 11u);
}

TEST_F(PhpGalleryBuildTest, OptionsOffLeaveOnlyTheFilesAndAdminLinks)
{
    AddJpegs(1);
    AllOptions(false);
    Build();
    const std::string page = Read("page1.php");
    // Its only PHP is the charset it declares before its first byte.
    EXPECT_EQ(page.rfind(std::string(CharsetLine) + "<html>\r\n", 0), 0u);
    EXPECT_EQ(page.find("<?php", CharsetLine.size()), std::string::npos);
    EXPECT_EQ(page.find("font class=pi>|"), std::string::npos);
    EXPECT_NE(page.find(std::string(DefaultBody) + "\r\n\r\n<center>"), std::string::npos);
    EXPECT_NE(page.find("<p><a href=admin.php><img src=admin.jpg border=0></a>\r\n</center></body></html>"),
              std::string::npos);
    const std::string full = Read("th_0_big.php");
    EXPECT_NE(full.find("<font class=tx><br> | <p></font><p><center><a href=admin.php?d=th_0.jpg><img src=admin.jpg "
                        "border=0></a></center></body></html>"),
              std::string::npos);
    EXPECT_EQ(full.find("<form"), std::string::npos);
    EXPECT_FALSE(Exists("chartview.php"));
    for (const char* name : {"admin.php", "pa.php", "gcom.ctx", "th_0.cnt", "eye.gif"})
        EXPECT_TRUE(Exists(name)) << name;
    // Both mail pages refuse, also in place of those of an earlier build.
    EXPECT_EQ(Read("mailpicture.php"), "OFF\n");
    EXPECT_EQ(Read("mailpicturesend.php"), "OFF\n");
}

TEST_F(PhpGalleryBuildTest, CommentsWithoutVotingTakeTheGalleryCommentScript)
{
    AddJpegs(1);
    Wizard->PhpPictureComments = true;
    Build();
    const std::string full = Read("th_0_big.php");
    EXPECT_NE(full.find("<b>Comments</font></b>\r\nJG\r\n\r\n<form action=th_0_big.php method=POST>"),
              std::string::npos);
    EXPECT_EQ(full.find("vote_erg"), std::string::npos);
}

TEST_F(PhpGalleryBuildTest, StopAfterThirdPictureStillWritesEveryCounterFile)
{
    AddJpegs(12);
    const TLoopHookId hook = AddGatherHook([] {
        if (WizardForm->ProgressBar2->Position() == 3 && BuildCancelWindow->Visible())
            InputDriver::Click(*BuildCancelWindow->BitBtn1);
    });
    Build();
    RemoveLoopHook(hook);
    EXPECT_FALSE(Exists("th_11_big.php"));
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ(Read("th_" + std::to_string(n) + ".cnt"), "0\r\n0,0\r\n0\r\n") << n;
}

TEST_F(PhpGalleryBuildTest, MissingTemplateEndsTheBuildWithItsFileError)
{
    AddJpegs(2);
    Wizard->PhpMailPicture = true;
    DeleteFile(Program.Path() + "php_temps/js_pop.sc");
    try {
        Build(false);
        FAIL() << "the build went on without its template";
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.FileName().find("js_pop.sc"), std::string::npos);
    }
    // What the build wrote before the first full-picture page stays.
    EXPECT_TRUE(Exists("start.html"));
    EXPECT_FALSE(Exists("pa.php"));
}

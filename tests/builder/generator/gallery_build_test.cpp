// Whole web builds into a gallery folder, compared byte for byte with page
// texts written out by hand (here and in tests/data/pages/).

#include <gtest/gtest.h>

#include "platform/controls/InputDriver.h"
#include "platform/loop/FdWatch.h"
#include "shared/veskotools.h"
#include "tests/builder/build_fixture.h"

using namespace buildertest;

namespace {

class GalleryBuildTest : public BuildTest {
protected:
    GalleryBuildTest() { Wizard->CheckBox3->SetChecked(false); }  // no size infos unless a test asks
};

// The expected texts below have plain line ends; every one of them is CR LF.
std::string Style()
{
    return Crlf(R"(<style type="text/css">
.ub {font-family:Verdana;font-size:14}
.pi {font-family:Verdana;font-size:9}
.tx {font-family:Verdana;font-size:12}
</style>
)");
}

std::string Cell(int n, const std::string& comment)
{
    return Crlf("<center><a href=th_" + std::to_string(n) + "_big.html ><img src=th_" + std::to_string(n) +
                ".jpg border=1 ></a><br>\n\n<font class=pi>" + comment + "&#160;</font><br></center>\n");
}

TEST_F(GalleryBuildTest, SevenPicturesThreePerRowTwoRows)
{
    AddJpegs(7);
    Wizard->Edit6->SetText("2");
    Build();

    EXPECT_EQ(Files(), (std::vector<std::string>{
                           "frame1.html", "frame2.html", "frame3.html", "frame4.html", "frame_menu.html",
                           "frame_menu_h.html", "page1.html", "page2.html", "start.html", "th_0.jpg", "th_0_big.html",
                           "th_0_big.jpg", "th_1.jpg", "th_1_big.html", "th_1_big.jpg", "th_2.jpg", "th_2_big.html",
                           "th_2_big.jpg", "th_3.jpg", "th_3_big.html", "th_3_big.jpg", "th_4.jpg", "th_4_big.html",
                           "th_4_big.jpg", "th_5.jpg", "th_5_big.html", "th_5_big.jpg", "th_6.jpg", "th_6_big.html",
                           "th_6_big.jpg"}));

    for (const char* page : {"start.html", "page1.html", "page2.html", "th_0_big.html", "th_6_big.html"}) {
        SCOPED_TRACE(page);
        EXPECT_EQ(Read(page), GoldenPage(std::string("seven_of_3x2/") + page));
    }
    // Picture 5 is on page 1 still.
    EXPECT_NE(Read("th_5_big.html").find("<a href=page1.html>Gallery</a>"), std::string::npos);

    std::string menuLinks;
    std::string rowLinks;
    for (int n = 0; n < 7; ++n) {
        const std::string link = "<a href=th_" + std::to_string(n) + "_big.html target=fc><img src=th_" +
                                 std::to_string(n) + ".jpg border=0></a>";
        menuLinks += link + "<p>";
        rowLinks += "<td>" + link + "</td>";
    }
    const std::string menuHead = Crlf(R"(<html>
<head><title>Test</title></head>
)") + Style() + Crlf(R"(<body  bgcolor=#ffffff text=#000000 alink=#000000 vlink=#000000 link=#000000>
<center>
<font class=tx>)");
    EXPECT_EQ(Read("frame_menu.html"), menuHead + menuLinks + "</body></html>\r\n");
    EXPECT_EQ(Read("frame_menu_h.html"),
              menuHead + "<div id=b1 style=\"position:absolute;left:10px;top:10px;z-index:0\"><table bgcolor=#ffffff><tr>" +
                  rowLinks + "</tr></table></div></body></html>\r\n");

    // The thumbnails are 100 x 100, the fixed size.
    EXPECT_EQ(Read("frame1.html"), "<html><frameset cols=150,* border=0><frame src=frame_menu.html name=fm "
                                   "scrolling=yes><frame src=th_0_big.html name=fc scrolling=yes></frameset></html>\r\n");
    EXPECT_EQ(Read("frame2.html"), "<html><frameset cols=*,150 border=0><frame src=th_0_big.html name=fc "
                                   "scrolling=yes><frame src=frame_menu.html name=fm scrolling=yes></frameset></html>\r\n");
    EXPECT_EQ(Read("frame3.html"), "<html><frameset rows=150,* border=0><frame src=frame_menu_h.html name=fm "
                                   "scrolling=yes><frame src=th_0_big.html name=fc scrolling=yes></frameset></html>\r\n");
    EXPECT_EQ(Read("frame4.html"), "<html><frameset rows=*,150 border=0><frame src=th_0_big.html name=fc "
                                   "scrolling=yes><frame src=frame_menu_h.html name=fm scrolling=yes></frameset></html>\r\n");

    // Full pictures within the limits are the list's own files; thumbnails have the fixed size.
    EXPECT_EQ(Read("th_3_big.jpg"), ReadFileBytes(In.Path() + "p3.jpg"));
    TJPEGImage thumbnail;
    thumbnail.LoadFromFile(Gallery + "th_3.jpg");
    EXPECT_EQ(thumbnail.Width(), 100);
    EXPECT_EQ(thumbnail.Height(), 100);

    // The end: the gallery-done dialog names the start page, the progress is back at 0.
    EXPECT_EQ(GalleryDoneDialog->Label3->Caption(), Gallery + "start.html");
    EXPECT_EQ(Wizard->ProgressBar1->Position(), 0);
    EXPECT_EQ(Wizard->ProgressBar3->Max(), 7);
    EXPECT_TRUE(RecordedShellStarts().empty());
    EXPECT_FALSE(BuildCancelWindow->Visible());
    EXPECT_TRUE(Wizard->PageControl1->Enabled());
    EXPECT_TRUE(Wizard->Image31->Enabled());
}

TEST_F(GalleryBuildTest, TenPicturesInThreeByThreeEndPageOneWithAnEmptyCell)
{
    AddJpegs(10);
    Build();
    const std::string start = Read("start.html");
    EXPECT_NE(start.find("<a href=page1.html>Pictures: 1 - 9</a>"), std::string::npos);
    EXPECT_NE(start.find("<a href=page2.html>Pictures: 10 - 10</a>"), std::string::npos);
    EXPECT_FALSE(Exists("page3.html"));

    const std::string page1 = Read("page1.html");
    EXPECT_EQ(page1.find("th_9.jpg"), std::string::npos);
    const std::string tail = Cell(8, "c8") + Crlf(R"(</td>

</tr>
<tr>

<td valign=top>
</td>

</tr>
</table>
<p>
<font class=tx>
<a href=start.html>Index</a>&#160;|&#160;<a href=page2.html>Next</a>
<p>)");
    EXPECT_NE(page1.find(tail), std::string::npos);
    const std::string page2 = Read("page2.html");
    EXPECT_NE(page2.find(Crlf("<tr>\n\n<td>\n") + Cell(9, "c9") + Crlf("</td>\n\n</tr>\n</table>")), std::string::npos);
    EXPECT_NE(page2.find("<a href=start.html>Index</a>&#160;|&#160;<a href=page1.html>Back</a>"), std::string::npos);
    EXPECT_NE(Read("th_9_big.html").find("<a href=page2.html>Gallery</a>"), std::string::npos);
}

TEST_F(GalleryBuildTest, NinePicturesInThreeByThreeMakeOnePage)
{
    AddJpegs(9);
    Build();
    EXPECT_TRUE(Exists("page1.html"));
    EXPECT_FALSE(Exists("page2.html"));
    const std::string page1 = Read("page1.html");
    EXPECT_NE(page1.find(Cell(8, "c8") + Crlf(R"(</td>

</tr>
</table>
<p>
<font class=tx>
<a href=start.html>Index</a><p>

Under

</font>
</center></body></html>)")),
              std::string::npos);
    EXPECT_EQ(page1.find("<a href=page2.html>"), std::string::npos);
    EXPECT_NE(Read("start.html").find("<a href=page1.html>Pictures: 1 - 9</a></font>\r\n</td>\r\n</tr></table>"),
              std::string::npos);
}

TEST_F(GalleryBuildTest, SinglePictureWithAndWithoutSlideShow)
{
    AddJpegs(1);
    Wizard->CheckBox6->SetChecked(false);  // no texts on the full-picture page: a short page
    Wizard->CheckBox12->SetChecked(false);
    Build();
    const std::string body = Crlf(R"(
)") + Style() + Crlf(R"(<body  bgcolor=#ffffff text=#000000 alink=#000000 vlink=#000000 link=#000000><center><font class=ub>
<p><b>My Gallery</b>
<p>
</font>
<p>
<img src=th_0_big.jpg border=0><p><font class=tx><a href=page1.html>Gallery</a></font>&#160;<br><font class=tx><a href=start.html>Index</a></font>&#160;</body></html>)");
    EXPECT_EQ(Read("th_0_big.html"), "<html>" + body);
    EXPECT_NE(Read("page1.html").find("<a href=start.html>Index</a><p>\r\n"), std::string::npos);

    Wizard->CheckBox7->SetChecked(true);
    Wizard->Edit8->SetText("7");
    Script.AnswerModal("OverwritePrompt", mrYes);
    Build();
    // The show runs in a circle: the only picture refreshes to itself.
    EXPECT_EQ(Read("th_0_big.html"), "<html>\r\n<meta http-equiv=refresh content=\"7; URL=th_0_big.html\">" + body);
}

TEST_F(GalleryBuildTest, SlideShowLeadsFromEachPictureToTheNextAndBack)
{
    AddJpegs(3);
    Wizard->CheckBox7->SetChecked(true);
    Build();
    EXPECT_EQ(Read("th_0_big.html").find("<html>\r\n<meta http-equiv=refresh content=\"10; URL=th_1_big.html\">\r\n"), 0u);
    EXPECT_EQ(Read("th_1_big.html").find("<html>\r\n<meta http-equiv=refresh content=\"10; URL=th_2_big.html\">\r\n"), 0u);
    EXPECT_EQ(Read("th_2_big.html").find("<html>\r\n<meta http-equiv=refresh content=\"10; URL=th_0_big.html\">\r\n"), 0u);
}

TEST_F(GalleryBuildTest, ShrinksLargePicturesToTheLimitsAndSizesTheThumbnailsFromThem)
{
    WriteJpeg(In.Path() + "large.jpg", 1200, 900, 5);
    AddPictures({In.Path() + "large.jpg"}, {"big"});
    Wizard->CheckBox9->SetChecked(true);  // limits 400 high, 600 wide, 150 KB
    Wizard->CheckBox3->SetChecked(true);  // size infos
    Wizard->RadioButton1->SetChecked(true);
    Wizard->Edit1->SetText("25");
    Build();

    TJPEGImage full;
    full.LoadFromFile(Gallery + "th_0_big.jpg");
    EXPECT_EQ(full.Width(), 528);
    EXPECT_EQ(full.Height(), 396);
    EXPECT_LE(FileSize(Gallery + "th_0_big.jpg"), 150000);
    TJPEGImage thumbnail;
    thumbnail.LoadFromFile(Gallery + "th_0.jpg");
    EXPECT_EQ(thumbnail.Width(), 132);
    EXPECT_EQ(thumbnail.Height(), 99);
    EXPECT_NE(Read("frame1.html").find("cols=182,*"), std::string::npos);
    EXPECT_NE(Read("frame3.html").find("rows=149,*"), std::string::npos);
    EXPECT_EQ(Read("frame1.html").substr(Read("frame1.html").size() - 2), "\r\n");

    // The cell measures the shrunk picture, height first, and the bytes it is saved with.
    const std::string sizeInfo = Crlf("<center><a href=th_0_big.html><img src=th_0.jpg border=1 ></a><br>\n\n"
                                      "<font class=pi>big&#160;</font><br>\n<font class=pi>396 X 528 Pixel\n<br>\n") +
                                 IntToStr(FileSize(Gallery + "th_0_big.jpg")) + Crlf(" Byte\n</font>\n</center>\n");
    EXPECT_NE(Read("page1.html").find(sizeInfo), std::string::npos);
    EXPECT_FALSE(CompressProgressForm->Visible());
    EXPECT_EQ(CompressProgressForm->Label2->Caption().rfind("Compress ", 0), 0u);
}

TEST_F(GalleryBuildTest, PictureWithinTheLimitsIsWrittenUnchangedWhateverItsFileSize)
{
    WriteJpeg(In.Path() + "noisy.jpg", 500, 350, 9, 100, 255);
    AddPictures({In.Path() + "noisy.jpg"});
    Wizard->CheckBox9->SetChecked(true);
    LimitsDialog->Edit3->SetText("10");
    ASSERT_GT(FileSize(In.Path() + "noisy.jpg"), 10000);
    Build();
    EXPECT_EQ(Read("th_0_big.jpg"), ReadFileBytes(In.Path() + "noisy.jpg"));
}

TEST_F(GalleryBuildTest, StopThroughTheCancelWindowEndsAfterTheCurrentPicture)
{
    AddJpegs(20, 320, 240);
    // The build hands pending messages to the loop after every picture; the
    // person presses the cancel window's button while picture 4's are handled.
    const TLoopHookId hook = AddGatherHook([] {
        if (WizardForm->ProgressBar2->Position() == 5 && BuildCancelWindow->Visible())
            InputDriver::Click(*BuildCancelWindow->BitBtn1);
    });
    Build();
    RemoveLoopHook(hook);
    for (int n = 0; n < 5; ++n) {
        SCOPED_TRACE(n);
        EXPECT_TRUE(Exists("th_" + std::to_string(n) + ".jpg"));
        EXPECT_TRUE(Exists("th_" + std::to_string(n) + "_big.html"));
    }
    EXPECT_FALSE(Exists("th_5.jpg"));
    EXPECT_FALSE(Exists("th_5_big.html"));
    EXPECT_FALSE(BuildRunning);
    // The end still runs whole: the last page, the frame sets and the dialog.
    EXPECT_TRUE(Exists("frame4.html"));
    const std::string page1 = Read("page1.html");
    EXPECT_NE(page1.find(Cell(4, "c4") + Crlf("</td>\n\n</tr>\n</table>\n<p>\n<font class=tx>\n<a href=start.html>Index</a><p>")),
              std::string::npos);
    // The index and the menus were written first, for the whole list.
    EXPECT_NE(Read("start.html").find("Pictures: 19 - 20"), std::string::npos);
    EXPECT_NE(Read("frame_menu.html").find("th_19.jpg"), std::string::npos);
}

TEST_F(GalleryBuildTest, OverwritePromptAnsweredNoWritesNothing)
{
    AddJpegs(2);
    ForceDirectories(Gallery);
    WriteFileBytes(Gallery + "th_0.jpg", "old thumbnail");
    Script.AnswerModal("OverwritePrompt", mrNo);
    Build(false);
    EXPECT_EQ(Files(), std::vector<std::string>{"th_0.jpg"});
    EXPECT_EQ(Read("th_0.jpg"), "old thumbnail");
    EXPECT_EQ(Script.Asked().size(), 1u);

    Script.AnswerModal("OverwritePrompt", mrYes);
    Build();
    EXPECT_TRUE(Exists("start.html"));
    EXPECT_NE(Read("th_0.jpg"), "old thumbnail");
}

TEST_F(GalleryBuildTest, OnlyAJpegThumbnailCountsAsAnOldGallery)
{
    AddJpegs(1);
    ForceDirectories(Gallery);
    WriteFileBytes(Gallery + "th_0.gif", "GIF89a");
    Build();  // no prompt
    EXPECT_TRUE(Exists("start.html"));
}

TEST_F(GalleryBuildTest, NewWindowLinksDropTheWayBackFromTheFullPictures)
{
    AddJpegs(3);
    Wizard->CheckBox8->SetChecked(true);
    Build();
    EXPECT_NE(Read("page1.html").find("<center><a href=th_0_big.html  target=_blank><img src=th_0.jpg border=1 ></a>"),
              std::string::npos);
    const std::string middle = Read("th_1_big.html");
    EXPECT_NE(middle.find("<img src=th_1_big.jpg border=0><p><font class=pi>c1</font><p>\r\n"
                          "<font class=tx><a href=th_0_big.html>Back</a></font>&#160;"
                          "<font class=tx><a href=th_2_big.html>Next</a></font>&#160;<font class=tx><p>\r\nUnder"),
              std::string::npos);
    EXPECT_EQ(middle.find("Gallery</a>"), std::string::npos);
    EXPECT_EQ(middle.find("start.html"), std::string::npos);

    // With size infos a JPEG cell has one blank before the target.
    Wizard->CheckBox3->SetChecked(true);
    Script.AnswerModal("OverwritePrompt", mrYes);
    Build();
    EXPECT_NE(Read("page1.html").find("<center><a href=th_0_big.html target=_blank><img src=th_0.jpg border=1 ></a>"),
              std::string::npos);
}

TEST_F(GalleryBuildTest, WebLinkWrapsTheFullPicturesOnly)
{
    AddJpegs(2);
    Wizard->CheckBox10->SetChecked(true);
    Wizard->Edit9->SetText("http://example.org/");
    Build();
    EXPECT_NE(Read("th_1_big.html").find("<p>\r\n<a href=http://example.org/ target=_blank><img src=th_1_big.jpg "
                                         "border=0></a><p>"),
              std::string::npos);
    EXPECT_NE(Read("page1.html").find("<a href=th_1_big.html ><img src=th_1.jpg"), std::string::npos);
    EXPECT_EQ(Read("page1.html").find("example.org"), std::string::npos);
}

TEST_F(GalleryBuildTest, NoLinkCellsShowPlainThumbnailsWithoutFullPictures)
{
    AddJpegs(2);
    Wizard->ComboBox1->SetItemIndex(1);
    Wizard->CheckBox3->SetChecked(true);  // no size infos without links all the same
    Build();
    EXPECT_NE(Read("page1.html").find(Crlf("<td valign=top>\n<img src=th_0.jpg border=0>\n\n<font class=pi>c0&#160;</font><br>\n"
                                           "</td>")),
              std::string::npos);
    EXPECT_FALSE(Exists("th_0_big.html"));
    EXPECT_FALSE(Exists("th_0_big.jpg"));
    EXPECT_TRUE(Exists("th_1.jpg"));
}

TEST_F(GalleryBuildTest, FontsColoursAndBackgroundPictureGoIntoEveryPage)
{
    AddJpegs(1);
    FontOptionsDialog->ComboBox1->SetItemIndex(0);  // Arial
    FontOptionsDialog->Edit1->SetText("16");
    FontOptionsDialog->Edit2->SetText("10");
    FontOptionsDialog->Edit3->SetText("11");
    FontOptionsDialog->Memo1->Font().SetColor(RGB(0x33, 0x66, 0x99));
    FontOptionsDialog->Memo1->SetColor(RGB(0xFF, 0xFF, 0xCC));
    WriteJpeg(In.Path() + "back.jpg", 32, 32, 7);
    BackgroundDialog->Image1->Picture().LoadFromFile(In.Path() + "back.jpg");
    Build();

    const std::string style = Crlf(R"(<style type="text/css">
.ub {font-family:Arial;font-size:16}
.pi {font-family:Arial;font-size:10}
.tx {font-family:Arial;font-size:11}
</style>
)");
    const std::string body =
        "<body background=background.jpg  bgcolor=#ffffcc text=#336699 alink=#336699 vlink=#336699 link=#336699>";
    for (const char* page : {"start.html", "page1.html", "th_0_big.html", "frame_menu.html", "frame_menu_h.html"}) {
        SCOPED_TRACE(page);
        EXPECT_NE(Read(page).find(style + body), std::string::npos);
    }
    EXPECT_NE(Read("frame_menu_h.html").find("<table bgcolor=#ffffcc>"), std::string::npos);
    EXPECT_EQ(Read("background.jpg"), ReadFileBytes(In.Path() + "back.jpg"));
}

TEST_F(GalleryBuildTest, DefaultHeadTextStandsInEveryPageHead)
{
    AddJpegs(1);
    MetaHeadText = std::string(DefaultMetaHeadText);
    Build();
    EXPECT_EQ(Read("start.html").find(Crlf(R"(<html>

<head>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<meta name="generator" content="VESKO THUMBNAILS">
<meta name="keywords" content="VThumbnails">
</head>

<style type="text/css">)")),
              0u);
    EXPECT_EQ(Read("page1.html").find(Crlf("<html>\n\n<head>\n")), 0u);
    EXPECT_NE(Read("page1.html").find(Crlf("</head>\n<style type=")), std::string::npos);
}

TEST_F(GalleryBuildTest, DoneDialogOpensTheGalleryInTheBrowser)
{
    AddJpegs(1);
    Script.AnswerModal("GalleryDoneDialog", mrOk);
    Build(false);
    const std::vector<TShellStart> starts = RecordedShellStarts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].Verb, "Open");
    EXPECT_EQ(starts[0].File, Gallery + "start.html");
    EXPECT_EQ(starts[0].ShowCommand, SW_SHOW);
}

TEST_F(GalleryBuildTest, WatermarkPluginStartsWithTheFolderAndItsSwitch)
{
    struct Case {
        bool full, thumbnails;
        const char* sw;
    };
    AddJpegs(1);
    Gallery = Out.Path() + "my gallery/";
    Wizard->Label2->SetCaption(Gallery);
    Wizard->CheckBox14->SetChecked(true);
    std::string program;
    AppPath(program);
    for (const Case& c : {Case{true, false, "/V"}, Case{false, true, "/T"}, Case{true, true, "/A"},
                          Case{false, false, ""}}) {
        SCOPED_TRACE(c.sw);
        Wizard->CheckBox15->SetChecked(c.full);
        Wizard->CheckBox16->SetChecked(c.thumbnails);
        ClearRecordedShellStarts();
        if (Exists("th_0.jpg"))
            Script.AnswerModal("OverwritePrompt", mrYes);
        Script.AnswerMessage(IDOK, "Watermark-Plugin running..");
        Build();
        const std::vector<TShellStart> starts = RecordedShellStarts();
        ASSERT_EQ(starts.size(), 1u);
        EXPECT_EQ(starts[0].File, program + "stampel/stampel.exe");
        EXPECT_EQ(starts[0].Parameters, Out.Path() + "my%20gallery/ " + c.sw);
        EXPECT_EQ(starts[0].Verb, "Open");
    }
}

TEST_F(GalleryBuildTest, BitmapAndMetafilePicturesBecomeJpegFiles)
{
    WriteBmp(In.Path() + "a.bmp", 80, 60);
    WriteWmf(In.Path() + "b.wmf", 120, 80, RGB(200, 0, 0));
    WriteEmf(In.Path() + "c.EMF", 96, 64, RGB(0, 0, 200));
    WriteJpeg(In.Path() + "d.JPEG", 50, 40);
    AddPictures({In.Path() + "a.bmp", In.Path() + "b.wmf", In.Path() + "c.EMF", In.Path() + "d.JPEG"});
    Build();
    struct Case {
        int number, width, height;
    };
    for (const Case& c : {Case{0, 80, 60}, Case{1, 120, 80}, Case{2, 96, 64}, Case{3, 50, 40}}) {
        SCOPED_TRACE(c.number);
        TJPEGImage full;
        full.LoadFromFile(Gallery + "th_" + std::to_string(c.number) + "_big.jpg");
        EXPECT_EQ(full.Width(), c.width);
        EXPECT_EQ(full.Height(), c.height);
        EXPECT_TRUE(Exists("th_" + std::to_string(c.number) + ".jpg"));
    }
    EXPECT_NE(Read("frame_menu.html").find("<a href=th_1_big.html target=fc><img src=th_1.jpg border=0></a>"),
              std::string::npos);
}

TEST_F(GalleryBuildTest, CopyrightNoteMarksTheFullPicturesButNotTheThumbnails)
{
    TempFolder white;
    auto bitmap = std::make_unique<TBitmap>(200, 150, pf24bit);
    bitmap->Fill(clWhite);
    bitmap->SaveToFile(In.Path() + "white.bmp");
    AddPictures({In.Path() + "white.bmp"});
    Wizard->RadioButton1->SetChecked(true);
    Wizard->Edit1->SetText("100");
    CopyrightDialog->Edit1->SetText("(c) 2003 Vesko");
    Build();
    TJPEGImage full;
    full.LoadFromFile(Gallery + "th_0_big.jpg");
    TJPEGImage thumbnail;
    thumbnail.LoadFromFile(Gallery + "th_0.jpg");
    int darkFull = 0;
    int darkThumbnail = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 100; ++x) {
            darkFull += GetRValue(full.Bitmap().Pixel(x, y)) < 100;
            darkThumbnail += GetRValue(thumbnail.Bitmap().Pixel(x, y)) < 100;
        }
    EXPECT_GT(darkFull, 200);
    EXPECT_EQ(darkThumbnail, 0);
}

}  // namespace

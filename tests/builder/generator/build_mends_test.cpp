// Builds that go wrong or would go wrong: refused fields, pictures that cannot
// be loaded, write errors, the kinds not built yet, and the thumbnails kind.

#include <gtest/gtest.h>

#include "gif/GIFImage.h"
#include "platform/graphics/TCanvas.h"
#include "tests/support/GifPictures.h"
#include "platform/graphics/TBitmap.h"

#include <filesystem>
#include <regex>

#include "tests/builder/build_fixture.h"

using namespace buildertest;

namespace {

class BuildMendsTest : public BuildTest {
protected:
    // Every file a page of the gallery names (links, pictures, frames, the
    // slide show's next page) was written.
    void ExpectEveryLinkWritten() const
    {
        const std::regex target(R"((?:href|src|URL)=([^ >"]+))");
        for (const std::string& page : Files()) {
            if (!page.ends_with(".html"))
                continue;
            const std::string text = Read(page);
            for (std::sregex_iterator it(text.begin(), text.end(), target), end; it != end; ++it) {
                const std::string name = (*it)[1];
                if (name.starts_with("http:"))
                    continue;
                EXPECT_TRUE(Exists(name)) << page << " links " << name;
            }
        }
    }
};

TEST_F(BuildMendsTest, NumberFieldsOutsideTheirRangesAreRefusedBeforeAnythingIsWritten)
{
    AddJpegs(2);
    struct Case {
        const char* name;
        TEdit* edit;
        const char* text;
        const char* message;
        bool percent = false;
        bool optimise = false;
    };
    const Case cases[] = {
        {"no pictures per row", Wizard->Edit5, "0", "Invalid value (pictures per row): a whole number from 1 to 10"},
        {"too many pictures per row", Wizard->Edit5, "11", "Invalid value (pictures per row)"},
        {"pictures per row no number", Wizard->Edit5, "abc", "Invalid value (pictures per row)"},
        {"no rows", Wizard->Edit6, "0", "Invalid value (rows per page): a whole number from 1 to 20"},
        {"too many rows", Wizard->Edit6, "21", "Invalid value (rows per page)"},
        {"no percent", Wizard->Edit1, "0", "Invalid value (thumbnail percent)", true},
        {"percent above 100", Wizard->Edit1, "101", "Invalid value (thumbnail percent)", true},
        {"no height", Wizard->Edit2, "0", "Invalid value (thumbnail height)"},
        {"empty width", Wizard->Edit3, "", "Invalid value (thumbnail width): a whole number from 1 to 1000"},
        {"width above 1000", Wizard->Edit3, "1001", "Invalid value (thumbnail width)"},
        {"height limit 0", LimitsDialog->Edit1, "0", "Invalid value (height)", false, true},
        {"width limit no number", LimitsDialog->Edit2, "6OO", "Invalid value (width)", false, true},
        {"size limit no number", LimitsDialog->Edit3, "1.5", "Invalid value (file size)", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string old = c.edit->Text();
        c.edit->SetText(c.text);
        (c.percent ? Wizard->RadioButton1 : Wizard->RadioButton2)->SetChecked(true);
        Wizard->CheckBox9->SetChecked(c.optimise);
        Script.AnswerMessage(IDOK, c.message);
        Build(false);
        EXPECT_FALSE(DirectoryExists(ExcludeTrailingPathDelimiter(Gallery)));
        c.edit->SetText(old);
    }
    // A field of the other size mode is not read.
    Wizard->RadioButton2->SetChecked(true);
    Wizard->Edit1->SetText("0");
    Build();
    EXPECT_TRUE(Exists("start.html"));
}

TEST_F(BuildMendsTest, PicturesThatCannotBeLoadedAreSkippedKeepingTheNumbers)
{
    AddJpegs(1);
    WriteFileBytes(In.Path() + "broken.jpg", "no JPEG here");
    WriteFileBytes(In.Path() + "anim.gif", "GIF89a");
    WriteJpeg(In.Path() + "photo.png", 30, 30);
    WriteJpeg(In.Path() + "last.jpg", 30, 30);
    AddPictures({In.Path() + "broken.jpg", In.Path() + "anim.gif", In.Path() + "photo.png", In.Path() + "last.jpg"},
                {"c1", "c2", "c3", "c4"});
    Wizard->Edit5->SetText("5");
    Wizard->CheckBox3->SetChecked(false);
    Script.AnswerMessage(IDOK, "file format not found");
    Script.AnswerMessage(IDOK, "file format not found");  // a GIF of six bytes
    Script.AnswerMessage(IDOK, "file format not found");
    Build();

    EXPECT_TRUE(Exists("th_0.jpg"));
    EXPECT_TRUE(Exists("th_4.jpg"));
    EXPECT_TRUE(Exists("th_4_big.html"));
    for (const char* name : {"th_1.jpg", "th_1_big.html", "th_1_big.jpg", "th_2.gif", "th_2.jpg", "th_3.jpg"})
        EXPECT_FALSE(Exists(name)) << name;
    // Every picture keeps its place: three empty cells between the first and the last.
    const std::string empty = "</td>\r\n\r\n<td valign=top>\r\n";
    EXPECT_NE(Read("page1.html").find("</center>\r\n" + empty + empty + empty + empty +
                                      "<center><a href=th_4_big.html ><img src=th_4.jpg"),
              std::string::npos);
    // The links step over the skipped pictures.
    EXPECT_NE(Read("th_4_big.html").find("<a href=th_0_big.html>Back</a>"), std::string::npos);
    EXPECT_NE(Read("th_0_big.html").find("<a href=th_4_big.html>Next</a>"), std::string::npos);
    EXPECT_EQ(Read("frame_menu.html").find("th_2"), std::string::npos);
    EXPECT_NE(Read("start.html").find("Pictures: 1 - 5"), std::string::npos);
    ExpectEveryLinkWritten();
}

TEST_F(BuildMendsTest, NoPageLinksAFileTheBuildDidNotWrite)
{
    // A broken picture first, in the middle and last, in a slide show over
    // several pages, and one where none loads at all.
    WriteFileBytes(In.Path() + "broken.jpg", "no JPEG here");
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
        WriteJpeg(In.Path() + name, 30, 30);
    const std::string broken = In.Path() + "broken.jpg";
    const auto in = [this](const char* name) { return In.Path() + name; };
    const struct {
        const char* name;
        std::vector<std::string> pictures;
        int skipped;
    } cases[] = {
        {"first, middle and last", {broken, in("a.jpg"), in("b.jpg"), broken, broken, in("c.jpg"), broken}, 4},
        {"two in a row before the last", {in("a.jpg"), in("b.jpg"), in("c.jpg"), broken, broken, in("d.jpg")}, 2},
        {"none loads", {broken, broken}, 2},
    };
    Wizard->Edit5->SetText("2");
    Wizard->Edit6->SetText("1");
    Wizard->CheckBox7->SetChecked(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(ExcludeTrailingPathDelimiter(Gallery));
        Wizard->ListBox1->Items().Clear();
        Wizard->ListBox2->Items().Clear();
        AddPictures(c.pictures, std::vector<std::string>(c.pictures.size(), "c"));
        for (int i = 0; i < c.skipped; ++i)
            Script.AnswerMessage(IDOK, "file format not found");
        Build();
        EXPECT_EQ(Script.Pending(), 0u);
        ExpectEveryLinkWritten();
    }
}

TEST_F(BuildMendsTest, ADamagedSourcePictureIsRefusedAHarmlessWarningIsNot)
{
    WriteJpeg(In.Path() + "whole.jpg", 30, 30);
    const std::string whole = ReadFileBytes(In.Path() + "whole.jpg");
    WriteFileBytes(In.Path() + "cut.jpg", whole.substr(0, whole.size() * 2 / 3));
    std::string extraneous = whole;
    extraneous.insert(extraneous.size() - 2, "\x12\x34");
    WriteFileBytes(In.Path() + "extra.jpg", extraneous);
    AddPictures({In.Path() + "cut.jpg", In.Path() + "extra.jpg"}, {"c1", "c2"});
    Script.AnswerMessage(IDOK, "file format not found");
    Build();
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_FALSE(Exists("th_0.jpg"));
    EXPECT_FALSE(Exists("th_0_big.jpg"));
    EXPECT_TRUE(Exists("th_1.jpg"));
}

TEST_F(BuildMendsTest, GifPicturesTakeTheirOwnRoadNextToJpegs)
{
    AddJpegs(1);
    // Transparent at the left, wide enough to be in the thumbnail too.
    testsupport::SaveHoledGif(In.Path() + "clear.gif", 60, 40, clLime, TRect{0, 0, 12, 40});
    testsupport::SaveOneColourGif(In.Path() + "plain.GIF", 60, 40, clLime);
    std::vector<std::string> pictures{In.Path() + "clear.gif", In.Path() + "plain.GIF"};
    // Real GIFs: interlaced, animated, with a local table, transparent.
    const std::string suite = std::string(GALLERY_TESTDATA_DIR) + "/gif-suite/";
    for (const char* name : {"interlace.gif", "animation.gif", "local-color-table.gif", "transparent.gif"})
        if (std::filesystem::exists(suite + name))
            pictures.push_back(suite + name);
    AddPictures(pictures, std::vector<std::string>(pictures.size(), "g"));
    Build();

    for (const char* name : {"th_0.jpg", "th_1.gif", "th_1_big.gif", "th_2.gif", "th_2_big.gif"})
        EXPECT_TRUE(Exists(name)) << name;
    EXPECT_NE(Read("page1.html").find("<img src=th_1.gif"), std::string::npos);
    EXPECT_NE(Read("th_1_big.html").find("th_1_big.gif"), std::string::npos);
    // The full picture is the picture, not a recompression of it.
    TGIFImage big;
    big.LoadFromFile(Gallery + "th_1_big.gif");
    EXPECT_EQ(big.Width(), 60);
    EXPECT_TRUE(big.QueryTransparent());
    // A transparent GIF gives a transparent thumbnail; a plain one does not.
    TGIFImage thumbnail;
    thumbnail.LoadFromFile(Gallery + "th_1.gif");
    EXPECT_TRUE(thumbnail.QueryTransparent());
    thumbnail.LoadFromFile(Gallery + "th_2.gif");
    EXPECT_FALSE(thumbnail.QueryTransparent());
}

// The thumbnail of a GIF drawn with its transparency over yellow.
std::unique_ptr<TBitmap> ShownOverYellow(const std::string& path)
{
    TGIFImage thumbnail;
    thumbnail.LoadFromFile(path);
    auto shown = std::make_unique<TBitmap>(thumbnail.Width(), thumbnail.Height(), pf24bit);
    shown->Fill(clYellow);
    thumbnail.Draw(shown->Canvas(), TRect{0, 0, thumbnail.Width(), thumbnail.Height()});
    return shown;
}

TEST_F(BuildMendsTest, TransparentGifThumbnailsAreTransparentWhereThePictureIsAndNowhereElse)
{
    // Transparent by its flag, but no pixel has the transparent index.
    TBitmap lime(60, 40, pf24bit);
    lime.Fill(clLime);
    TGIFImage flagged;
    flagged.Assign(lime);
    TGIFSubImage& frame = *flagged.Images().Items(0);
    auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
    gce->SetTransparentColorIndex(frame.Pixels(0, 0) == 0 ? 1 : 0);
    gce->SetTransparent(true);
    frame.Extensions().Add(std::move(gce));
    flagged.SaveToFile(In.Path() + "flagged.gif");
    // A transparent hole in the middle; the corners are opaque lime.
    testsupport::SaveHoledGif(In.Path() + "holed.gif", 60, 40, clLime, TRect{20, 10, 40, 30});
    AddPictures({In.Path() + "flagged.gif", In.Path() + "holed.gif"}, {"a", "b"});
    Build();

    const auto flaggedShown = ShownOverYellow(Gallery + "th_0.gif");
    for (int y = 0; y < flaggedShown->Height(); ++y)
        for (int x = 0; x < flaggedShown->Width(); ++x)
            ASSERT_EQ(flaggedShown->Pixel(x, y), clLime) << x << "," << y;
    const auto holedShown = ShownOverYellow(Gallery + "th_1.gif");
    const int w = holedShown->Width();
    const int h = holedShown->Height();
    EXPECT_EQ(holedShown->Pixel(0, 0), clLime);
    EXPECT_EQ(holedShown->Pixel(w - 1, h - 1), clLime);
    EXPECT_EQ(holedShown->Pixel(w / 2, h / 2), clYellow);
}

TEST_F(BuildMendsTest, AWriteErrorEndsTheBuildButGivesTheWizardBack)
{
    AddJpegs(3);
    std::filesystem::create_directories(ToSystemPath(Gallery + "th_1_big.html"));
    EXPECT_THROW(Build(false), EFCreateError);
    EXPECT_TRUE(Wizard->PageControl1->Enabled());
    EXPECT_TRUE(Wizard->Image31->Enabled());
    EXPECT_FALSE(BuildCancelWindow->Visible());
    EXPECT_TRUE(Exists("th_0.jpg"));
    EXPECT_FALSE(Exists("th_1.jpg"));
}

TEST_F(BuildMendsTest, BackgroundPictureLandsInAFolderThatDidNotExist)
{
    WriteJpeg(In.Path() + "back.jpg", 16, 16);
    BackgroundDialog->Image1->Picture().LoadFromFile(In.Path() + "back.jpg");
    Gallery = Out.Path() + "new/";
    Wizard->Label2->SetCaption(Gallery);
    // An empty list still leaves the background picture, and goes back to the first page.
    Wizard->PageControl1->SetActivePage(Wizard->TabSheet2);
    Script.AnswerMessage(IDOK, "No pictures found in list. You go one step back!");
    Build(false);
    EXPECT_EQ(Files(), std::vector<std::string>{"background.jpg"});
    EXPECT_EQ(Wizard->PageControl1->ActivePage(), Wizard->TabSheet1);
}

TEST_F(BuildMendsTest, EmptyListWritesNothing)
{
    Script.AnswerMessage(IDOK, "No pictures found in list. You go one step back!");
    Build(false);
    EXPECT_FALSE(DirectoryExists(ExcludeTrailingPathDelimiter(Gallery)));
}

TEST_F(BuildMendsTest, ThumbnailsAreAtLeastOnePixel)
{
    AddJpegs(1, 40, 30);
    Wizard->RadioButton1->SetChecked(true);
    Wizard->Edit1->SetText("1");  // 0.4 x 0.3 pixels
    Build();
    TJPEGImage thumbnail;
    thumbnail.LoadFromFile(Gallery + "th_0.jpg");
    EXPECT_EQ(thumbnail.Width(), 1);
    EXPECT_EQ(thumbnail.Height(), 1);
    EXPECT_NE(Read("frame1.html").find("cols=51,*"), std::string::npos);
}

TEST_F(BuildMendsTest, KindNotBuiltYetIsRefusedWithAMessage)
{
    AddJpegs(1);
    struct Case {
        const char* name;
        TRadioButton* kind;
        bool php;
        const char* message;
    };
    const Case cases[] = {
        {"PHP", Wizard->RadioButton3, true, "PHP galleries cannot be built yet."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.kind->SetChecked(true);
        Wizard->PhpGallery = c.php;
        Wizard->PhpParts.reset();
        Script.AnswerMessage(IDOK, c.message);
        Build(false);
        EXPECT_FALSE(DirectoryExists(ExcludeTrailingPathDelimiter(Gallery)));
    }
}

// Stands in for the PHP gallery unit: no inserts, and a note of its call.
class TRecordingPhpParts : public TPhpGalleryParts {
public:
    explicit TRecordingPhpParts(std::vector<std::string>& calls) : FCalls(calls) {}
    TPhpInserts PageInserts(TForm1&) override
    {
        FCalls.push_back("inserts");
        TPhpInserts inserts;
        inserts.Functions = "<?php functions ?>";
        return inserts;
    }
    void WriteFiles(TForm1&, const std::string& folder) override { FCalls.push_back("files " + folder); }

private:
    std::vector<std::string>& FCalls;
};

TEST_F(BuildMendsTest, PhpGalleryTakesItsPartsAndReplacesOldCounterFiles)
{
    AddJpegs(2);
    std::vector<std::string> calls;
    Wizard->PhpGallery = true;
    Wizard->PhpParts = std::make_unique<TRecordingPhpParts>(calls);
    ForceDirectories(Gallery);
    WriteFileBytes(Gallery + "th_0.jpg", "old");
    WriteFileBytes(Gallery + "th_0.cnt", "0\r\n0,0\r\n0\r\n");
    WriteFileBytes(Gallery + "TH_7.CNT", "x");
    WriteFileBytes(Gallery + "keep.txt", "x");
    Script.AnswerModal("OverwritePrompt", mrYes);
    Build();
    EXPECT_FALSE(Exists("th_0.cnt"));
    EXPECT_FALSE(Exists("TH_7.CNT"));
    EXPECT_TRUE(Exists("keep.txt"));
    EXPECT_EQ(calls, (std::vector<std::string>{"inserts", "files " + Gallery}));
    EXPECT_TRUE(Exists("page1.php"));
    EXPECT_TRUE(Exists("th_1_big.php"));
    EXPECT_NE(Read("start.html").find("<a href=page1.php>"), std::string::npos);
    EXPECT_NE(Read("page1.php").find("<?php functions ?>"), std::string::npos);
    EXPECT_NE(Read("frame1.html").find("<frame src=th_0_big.php name=fc"), std::string::npos);
}

TEST_F(BuildMendsTest, ThumbnailsKindWritesThumbnailsOnly)
{
    AddJpegs(2);
    Wizard->RadioButton5->SetChecked(true);
    Wizard->RadioButton8->SetChecked(true);
    Wizard->Edit1->SetText("50");
    Build(false);
    EXPECT_EQ(Files(), (std::vector<std::string>{"th_0.jpg", "th_1.jpg"}));
    TJPEGImage thumbnail;
    thumbnail.LoadFromFile(Gallery + "th_1.jpg");
    EXPECT_EQ(thumbnail.Width(), 32);
    EXPECT_EQ(thumbnail.Height(), 24);

    // "Complete!" only after the EXE kind was chosen in the same program run.
    Wizard->ExeGalleryMode = true;
    Script.AnswerModal("OverwritePrompt", mrYes);
    Script.AnswerMessage(IDOK, "Complete!");
    Build(false);
}

TEST_F(BuildMendsTest, KeptNamesApplyOnlyFromTheThumbnailsPage)
{
    WriteJpeg(In.Path() + "holiday.JPG", 64, 48);
    AddPictures({In.Path() + "holiday.JPG"});
    Wizard->RadioButton5->SetChecked(true);
    Wizard->CheckBox13->SetChecked(true);
    Wizard->PageControl1->SetActivePage(Wizard->TabSheet6);
    Build(false);
    EXPECT_EQ(Files(), std::vector<std::string>{"holiday.JPG"});

    std::filesystem::remove_all(ToSystemPath(Gallery));
    Wizard->PageControl1->SetActivePage(Wizard->TabSheet1);
    Build(false);
    EXPECT_EQ(Files(), std::vector<std::string>{"th_0.jpg"});
}

TEST_F(BuildMendsTest, KeptNameNeverReplacesThePictureItself)
{
    // The gallery folder is the folder of the first picture; the second comes
    // from elsewhere and gets its thumbnail there under its own name.
    ForceDirectories(Out.Path() + "elsewhere");
    WriteJpeg(In.Path() + "holiday.jpg", 64, 48);
    WriteJpeg(Out.Path() + "elsewhere/beach.jpg", 64, 48, 2);
    const std::string original = ReadFileBytes(In.Path() + "holiday.jpg");
    AddPictures({In.Path() + "holiday.jpg", Out.Path() + "elsewhere/beach.jpg"});
    Gallery = In.Path();
    Wizard->Label2->SetCaption(Gallery);
    Wizard->RadioButton5->SetChecked(true);
    Wizard->CheckBox13->SetChecked(true);
    Wizard->PageControl1->SetActivePage(Wizard->TabSheet6);
    Script.AnswerMessage(IDOK, "The thumbnail would replace its own picture and is not written: " + In.Path() +
                                   "holiday.jpg");
    Build(false);
    EXPECT_EQ(ReadFileBytes(In.Path() + "holiday.jpg"), original);
    TJPEGImage beach;
    beach.LoadFromFile(In.Path() + "beach.jpg");
    EXPECT_EQ(beach.Width(), 100);
}

TEST_F(BuildMendsTest, FolderChooserStartsTheBuildOnlyWhileAStartIsPending)
{
    AddJpegs(1);
    ForceDirectories(Gallery);
    FolderChooserDialog->DirectoryListBox1->SetDirectory(ExcludeTrailingPathDelimiter(Gallery));
    EXPECT_EQ(FolderChooserDialog->StaticText1->Caption(), ExcludeTrailingPathDelimiter(Gallery));
    Wizard->Label2->SetCaption("/nowhere/");
    FolderChooserDialog->Show();
    FolderChooserDialog->BitBtn2->Click();
    EXPECT_EQ(Wizard->Label2->Caption(), "/nowhere/");
    EXPECT_FALSE(Exists("start.html"));

    Wizard->StartPending = true;
    Script.AnswerModal("GalleryDoneDialog", mrCancel);
    FolderChooserDialog->BitBtn2->Click();
    EXPECT_FALSE(FolderChooserDialog->Visible());
    EXPECT_EQ(Wizard->Label2->Caption(), Gallery);
    EXPECT_TRUE(Exists("start.html"));
}

}  // namespace

// The picture application through the build run: the EXE gallery (the
// viewer's file with the pictures appended, the save dialog and its naming)
// and the PDF converter's work files.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "builder/dialogs/LimitsDialog.h"
#include "platform/controls/InputDriver.h"
#include "platform/loop/FdWatch.h"
#include "platform/core/TStream.h"
#include "tests/builder/road_fixture.h"

namespace buildertest {
namespace {

const std::string Viewer("\x7f" "ELF\2\1\1 a stand-in for the viewer\0\xFF", 36);

class ExeBuildTest : public RoadTest {
protected:
    ExeBuildTest()
    {
        PutViewer(Viewer);
        ChooseExe();
    }

    // Answers the save dialog with `chosen` and the two completion messages.
    void BuildSavedAs(const std::string& chosen, const std::string& target)
    {
        Script.AnswerSave(chosen);
        Script.AnswerMessage(IDOK, "Complete! To run the application choose: " + target + "!");
        Script.AnswerMessage(IDOK, "Complete!");
        RunBuild();
    }

    // The bytes of the single picture of a one-picture gallery.
    static std::string OnlyPicture(const std::string& gallery)
    {
        const std::string head = Viewer + "<PICTURES> <LICENCENOTES>";
        EXPECT_EQ(gallery.compare(0, head.size(), head), 0);
        const auto end = gallery.find("<PEND>JPG<FORMAT>");
        EXPECT_NE(end, std::string::npos);
        return gallery.substr(head.size(), end - head.size());
    }
};

TEST_F(ExeBuildTest, TwoPicturesWithCommentsAndNotesFollowTheViewer)
{
    AddJpegs(2);
    Wizard->ListBox2->Items().SetStrings(0, "Beach");
    Wizard->ListBox2->Items().SetStrings(1, " ");
    Wizard->Memo2->SetText("Hello");
    const std::string target = Out.Path() + "gallery.exe";
    BuildSavedAs(Out.Path() + "gallery", target);

    // Pictures within the limits travel as their own file bytes.
    const std::string expected = Viewer + "<PICTURES>Hello <LICENCENOTES>" + ReadFileBytes(In.Path() + "p0.jpg") +
                                 "<PEND>JPG<FORMAT>Beach<KOMM>" + ReadFileBytes(In.Path() + "p1.jpg") +
                                 "<PEND>JPG<FORMAT> <KOMM>";
    EXPECT_EQ(ReadFileBytes(target), expected);
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0111, 0111u) << "the gallery must start as a program";
    EXPECT_TRUE(Wizard->PageControl1->Enabled());
    EXPECT_FALSE(FileExists(Gallery + "th_0.jpg")) << "an EXE gallery writes no thumbnails";
}

TEST_F(ExeBuildTest, SaveNamesGetExeUnlessTheyHoldIt)
{
    AddJpegs(1);
    const std::pair<const char*, const char*> cases[] = {
        {"gallery", "gallery.exe"},
        {"gallery.exe.bak", "gallery.exe.bak"},
        {"Gallery.EXE", "Gallery.EXE.exe"},  // the test minds case
        {"my gallery.exe", "my gallery.exe"},
    };
    for (const auto& [chosen, written] : cases) {
        SCOPED_TRACE(chosen);
        BuildSavedAs(Out.Path() + chosen, Out.Path() + written);
        EXPECT_TRUE(FileExists(Out.Path() + written));
        EXPECT_EQ(Wizard->SaveDialog2->Filter(), "Programmdatei (exe)|*.exe");
    }
}

TEST_F(ExeBuildTest, CancelledSaveWritesNothing)
{
    AddJpegs(1);
    Script.AnswerSave("");
    Script.AnswerMessage(IDOK, "Complete!");
    RunBuild();
    EXPECT_EQ(Script.Asked().size(), 2u) << "no message about the cancel";
    EXPECT_TRUE(FindFiles(ExcludeTrailingPathDelimiter(Out.Path()), "*.exe").empty());
}

TEST_F(ExeBuildTest, OptimisedPicturesAreShrunkAndCarryTheNote)
{
    WriteJpeg(In.Path() + "wide.jpg", 1200, 900);
    AddPictures({In.Path() + "wide.jpg"});
    Wizard->CheckBox9->SetChecked(true);
    FormRef(CopyrightDialog, "TForm9").Edit1->SetText("(c) us");
    const std::string target = Out.Path() + "g.exe";
    BuildSavedAs(target, target);

    TMemoryStream stream(OnlyPicture(ReadFileBytes(target)));
    TJPEGImage picture;
    picture.LoadFromStream(stream);
    EXPECT_EQ(picture.Width(), 528);
    EXPECT_EQ(picture.Height(), 396);
    // The note is drawn white on black at the top left corner.
    const TColor corner = picture.Bitmap().Pixel(2, 2);
    EXPECT_LT(int(corner & 0xFF) + int(corner >> 8 & 0xFF) + int(corner >> 16 & 0xFF), 120);
    EXPECT_LE(stream.Size(), 150 * 1000);
}

TEST_F(ExeBuildTest, RefusalsComeBeforeAnythingIsWritten)
{
    AddJpegs(2);
    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* message;
    };
    const Case cases[] = {
        {"comment with the comment marker", [&] { Wizard->ListBox2->Items().SetStrings(1, "a<KOMM>b"); },
         "The comment of picture 2"},
        {"comment with the picture marker", [&] { Wizard->ListBox2->Items().SetStrings(0, "<PEND>"); },
         "picture 1 ("},
        {"notes with the notes marker", [&] { Wizard->Memo2->SetText("x <LICENCENOTES>"); }, "The notes"},
        {"no viewer", [&] { DeleteFile(ViewerPath()); }, "The picture viewer could not be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Wizard->ListBox2->Items().SetStrings(0, "c0");
        Wizard->ListBox2->Items().SetStrings(1, "c1");
        Wizard->Memo2->SetText("");
        PutViewer(Viewer);
        c.arrange();
        Script.AnswerMessage(IDOK, c.message);
        RunBuild();
        EXPECT_FALSE(DirectoryExists(ExcludeTrailingPathDelimiter(Gallery)));
        EXPECT_TRUE(Wizard->PageControl1->Enabled());
    }
}

TEST_F(ExeBuildTest, AFailedWriteGivesTheWizardBack)
{
    AddJpegs(1);
    Script.AnswerSave(Out.Path() + "no folder/g.exe");
    EXPECT_THROW(RunBuild(), EFCreateError);
    EXPECT_TRUE(Wizard->PageControl1->Enabled());
    EXPECT_TRUE(Wizard->Image31->Enabled());
    EXPECT_FALSE(PleaseWaitForm->Visible());
}

TEST_F(ExeBuildTest, TheViewerItselfIsNeverReplaced)
{
    AddJpegs(1);
    Script.AnswerSave(ViewerPath());
    Script.AnswerMessage(IDOK, "The picture viewer itself cannot be replaced");
    Script.AnswerMessage(IDOK, "Complete!");
    RunBuild();
    EXPECT_EQ(ReadFileBytes(ViewerPath()), Viewer);
}

class PdfBuildTest : public RoadTest {
protected:
    PdfBuildTest()
    {
        ChoosePdf();
        AddJpegs(3);
        Wizard->Edit26->SetText("My Trip");
        Wizard->Edit25->SetText("");
        Wizard->Edit27->SetText("01.02.2003");
    }
    std::string Work() const { return ProgramFolder() + "PDFIMAGES/"; }
};

TEST_F(PdfBuildTest, WorkFilesListsAndConverterStart)
{
    PutProgram("PDFIMAGES/plennix.exe");
    RunBuild();  // no message: neither "Complete!" nor one of the converter

    EXPECT_EQ(ReadFileBytes(Work() + "f.dat"),
              Work() + "0.jpg\r\n" + Work() + "1.jpg\r\n" + Work() + "2.jpg\r\n");
    EXPECT_EQ(ReadFileBytes(Work() + "k.dat"), "c0\r\nc1\r\nc2\r\n");
    EXPECT_EQ(ReadFileBytes(Work() + "1.jpg"), ReadFileBytes(In.Path() + "p1.jpg"));
    EXPECT_EQ(Wizard->Edit25->Text(), "-") << "the empty author shows as a dash";
    const auto starts = RecordedShellStarts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].File, Work() + "plennix.exe");
    EXPECT_EQ(starts[0].Parameters, "1 My~Trip - 01.02.2003");
    EXPECT_EQ(starts[0].Verb, "open");

    Wizard->CheckBox11->SetChecked(false);
    Wizard->Edit26->SetText("");
    RunBuild();
    EXPECT_EQ(RecordedShellStarts().back().Parameters, "0 - - 01.02.2003");
}

TEST_F(PdfBuildTest, AMissingConverterIsNamedAndTheWorkFilesStay)
{
    Script.AnswerMessage(IDOK, "The PDF converter could not be started: " + Work() + "plennix.exe");
    RunBuild();
    EXPECT_TRUE(FileExists(Work() + "f.dat"));
    EXPECT_TRUE(FileExists(Work() + "k.dat"));
    EXPECT_TRUE(FileExists(Work() + "2.jpg"));
}

TEST_F(PdfBuildTest, AStoppedBuildListsItsPicturesAndEveryComment)
{
    PutProgram("PDFIMAGES/plennix.exe");
    const TLoopHookId hook = AddGatherHook([] {
        if (WizardForm->ProgressBar2->Position() == 2 && BuildCancelWindow->Visible())
            InputDriver::Click(*BuildCancelWindow->BitBtn1);
    });
    RunBuild();
    RemoveLoopHook(hook);
    EXPECT_EQ(ReadFileBytes(Work() + "f.dat"), Work() + "0.jpg\r\n" + Work() + "1.jpg\r\n");
    EXPECT_EQ(ReadFileBytes(Work() + "k.dat"), "c0\r\nc1\r\nc2\r\n");
    EXPECT_FALSE(FileExists(Work() + "2.jpg"));
}

}  // namespace
}  // namespace buildertest

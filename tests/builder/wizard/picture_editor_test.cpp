// The picture editor on the wizard's selected picture: its controls, the
// delayed preview, quarter turns, Reset, and "Ok!" writing numbered backup
// copies while the user's own file stays as it was.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "builder/dialogs/PictureEditorForm.h"
#include "gif/GIFImage.h"
#include "platform/controls/TScreen.h"
#include "platform/core/Files.h"
#include "platform/core/TStream.h"
#include "platform/loop/Clock.h"
#include "platform/loop/Messages.h"
#include "shared/veskotools.h"
#include "tests/builder/wizard_fixture.h"

using namespace buildertest;

namespace {

// Every pixel of two bitmaps, or the first that differs.
::testing::AssertionResult SamePixels(const TBitmap& actual, const TBitmap& expected)
{
    if (actual.Width() != expected.Width() || actual.Height() != expected.Height())
        return ::testing::AssertionFailure() << "size " << actual.Width() << "x" << actual.Height() << ", expected "
                                             << expected.Width() << "x" << expected.Height();
    for (int y = 0; y < actual.Height(); ++y)
        for (int x = 0; x < actual.Width(); ++x)
            if (actual.Pixel(x, y) != expected.Pixel(x, y))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex
                                                     << actual.Pixel(x, y) << ", expected " << expected.Pixel(x, y);
    return ::testing::AssertionSuccess();
}

std::unique_ptr<TBitmap> Copy(const TBitmap& source)
{
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(source);
    copy->SetPixelFormat(pf24bit);
    return copy;
}

std::unique_ptr<TBitmap> Decoded(const std::string& fileName)
{
    TPicture picture;
    picture.LoadFromFile(fileName);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Assign(*picture.Graphic());
    bitmap->SetPixelFormat(pf24bit);
    return bitmap;
}

// A few flat colours of the web palette, so a GIF holds them exactly.
std::unique_ptr<TBitmap> Blocks(int width, int height)
{
    auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap->SetPixel(x, y, static_cast<TColor>(x < width / 2 ? (y < height / 2 ? 0x3366CC : 0x00CC33)
                                                                     : (y < height / 2 ? 0xCC9900 : 0x666666)));
    return bitmap;
}

class PictureEditorTest : public WizardTest {
protected:
    PictureEditorTest()
    {
        App.CreateForm(PictureEditorForm);
        Editor = PictureEditorForm;
        Wizard->ProgramFolder = Folder.Path();
        CreateDir(Folder.Path() + "backups");
        WriteJpeg(Photo(), 40, 30, 3);
        AddPictures({Photo()}, {"a comment"});
    }

    std::string Photo() const { return Folder.Path() + "photo.jpg"; }
    std::string Backup(int n, const char* extension = ".jpg") const
    {
        return Folder.Path() + "backups/BackUpPicture" + std::to_string(n) + extension;
    }

    // Selects line `index` and chooses `item` of the "Edit Picture.." menu.
    void Open(const std::string& item, int index = 0)
    {
        Wizard->ListBox1->SetItemIndex(index);
        Wizard->ListBox1->Click();
        Script.AnswerPopup(item);
        Wizard->Label52->Click();
        ASSERT_EQ(Script.Pending(), 0u);
        ASSERT_TRUE(Editor->Visible());
    }

    void PreviewStep() { Editor->Timer1->OnTimer(Editor->Timer1); }
    TBitmap& Preview() { return Editor->Image1->Picture().Bitmap(); }
    std::unique_ptr<TBitmap> Start() { return Copy(Wizard->Child<TImage>("Image55")->Picture().Bitmap()); }
    std::string Entry() const { return Wizard->ListBox1->Items().Strings(0); }

    TempFolder Folder;
    TForm17* Editor = nullptr;
};

TEST_F(PictureEditorTest, EachMenuItemOpensItsOwnControlsOnAPreviewOfThePicture)
{
    const struct {
        const char* Item;
        bool Rotation, Brightness, Contrast, Colours;
    } cases[] = {{"Rotation1", true, false, false, false},
                 {"Brightness1", false, true, false, false},
                 {"Contrast1", false, false, true, false},
                 {"Colors1", false, false, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Item);
        Editor->TrackBar2->SetPosition(30);
        ASSERT_NO_FATAL_FAILURE(Open(c.Item));
        EXPECT_EQ(Editor->BitBtn1->Enabled(), c.Rotation);
        EXPECT_EQ(Editor->BitBtn2->Enabled(), c.Rotation);
        EXPECT_EQ(Editor->TrackBar1->Enabled(), c.Brightness);
        EXPECT_EQ(Editor->TrackBar5->Enabled(), c.Contrast);
        EXPECT_EQ(Editor->TrackBar3->Enabled(), c.Colours);
        EXPECT_EQ(Editor->TrackBar2->Position(), 0);
        EXPECT_EQ(Editor->LastEditOperation, "");
        EXPECT_EQ(RotationQuarterTurns, 0);
        Editor->Hide();
    }
    const struct {
        TTrackBar* Bar;
        int Min, Max, Frequency;
    } ranges[] = {{Editor->TrackBar1, -255, 255, 51}, {Editor->TrackBar5, 0, 99, 10},
                  {Editor->TrackBar2, -255, 255, 51}, {Editor->TrackBar3, -255, 255, 51},
                  {Editor->TrackBar4, -255, 255, 51}};
    for (const auto& r : ranges) {
        EXPECT_EQ(r.Bar->Min(), r.Min);
        EXPECT_EQ(r.Bar->Max(), r.Max);
        EXPECT_EQ(r.Bar->Frequency(), r.Frequency);
    }
    EXPECT_EQ(Editor->TrackBar1->LineSize(), 5);
    // The three working pictures: the picture resized to the preview, aspect not kept.
    const auto expected = ResizeBitmap(*Copy(*Decoded(Photo())), 177, 177);
    EXPECT_TRUE(SamePixels(*Copy(Preview()), *expected));
    EXPECT_TRUE(SamePixels(*Start(), *expected));
}

TEST_F(PictureEditorTest, TheWizardRefusesWhatTheEditorCannotDo)
{
    Script.AnswerMessage(IDOK, "Please choose a picture");
    Wizard->Label52->Click();
    WriteBmp(Folder.Path() + "flat.bmp", 8, 8);
    AddPictures({Folder.Path() + "flat.bmp"});
    Wizard->ListBox1->SetItemIndex(1);
    Script.AnswerMessage(IDOK, "Only JPG or GIF!");
    Wizard->Label52->Click();
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_FALSE(Editor->Visible());
}

TEST_F(PictureEditorTest, QuarterTurnsCountBothWays)
{
    ASSERT_NO_FATAL_FAILURE(Open("Rotation1"));
    const auto start = Start();
    for (int expected : {1, 2, -1}) {
        Editor->BitBtn2->Click();
        EXPECT_EQ(RotationQuarterTurns, expected);
    }
    EXPECT_EQ(EditOperation, "rota1");
    // Three turns to the right show as one to the left.
    EXPECT_TRUE(SamePixels(*Copy(Preview()), *RotateBitmapLeft(*start)));
    Editor->BitBtn5->Click();
    for (int expected : {-1, -2, 1}) {
        Editor->BitBtn1->Click();
        EXPECT_EQ(RotationQuarterTurns, expected);
    }
    EXPECT_EQ(EditOperation, "rota2");
}

TEST_F(PictureEditorTest, ABurstOfSliderMovesGivesOnePreviewStepFromTheBase)
{
    ASSERT_NO_FATAL_FAILURE(Open("Brightness1"));
    PreviewStep();  // the step that opening's zeroing started
    const auto start = Start();
    Editor->TrackBar1->SetPosition(40);
    EXPECT_TRUE(Editor->Timer1->Enabled());
    Editor->TrackBar1->SetPosition(-20);
    EXPECT_EQ(SliderChangeCount, 2);
    PreviewStep();
    EXPECT_FALSE(Editor->Timer1->Enabled());
    EXPECT_EQ(SliderChangeCount, 0);
    auto expected = Copy(*start);
    AdjustBrightness(*expected, *start, 177, 177, -20);
    EXPECT_TRUE(SamePixels(*Copy(Preview()), *expected));
    // One pixel by hand: every channel 20 lower, none below 0.
    const TColor before = start->Pixel(5, 5);
    const TColor after = Preview().Pixel(5, 5);
    for (int shift : {0, 8, 16})
        EXPECT_EQ(static_cast<int>(after >> shift & 0xFF), std::max(0, static_cast<int>(before >> shift & 0xFF) - 20));
}

TEST_F(PictureEditorTest, AnotherOperationStartsFromThePreviousResult)
{
    ASSERT_NO_FATAL_FAILURE(Open("Brightness1"));
    const auto start = Start();
    Editor->TrackBar1->SetEnabled(true);
    Editor->TrackBar2->SetEnabled(true);
    Editor->TrackBar1->SetPosition(30);
    PreviewStep();
    Editor->TrackBar2->SetPosition(50);
    PreviewStep();
    EXPECT_EQ(Editor->LastEditOperation, "rot");
    auto bright = Copy(*start);
    AdjustBrightness(*bright, *start, 177, 177, 30);
    auto both = Copy(*bright);
    AdjustRed(*both, *bright, 177, 177, 50);
    EXPECT_TRUE(SamePixels(*Copy(Preview()), *both));
}

TEST_F(PictureEditorTest, ThePreviewFollowsASecondAfterTheFirstChange)
{
    ASSERT_NO_FATAL_FAILURE(Open("Colors1"));
    const auto start = Start();
    Editor->TrackBar4->SetPosition(-100);
    const DWORD begin = timeGetTime();
    while (Editor->Timer1->Enabled() && timeGetTime() - begin < 3000) {
        App.ProcessMessages();
        MsgWaitForMultipleObjects({}, 10);
    }
    EXPECT_GE(timeGetTime() - begin, 900u);
    ASSERT_FALSE(Editor->Timer1->Enabled()) << "the preview step never came";
    auto expected = Copy(*start);
    AdjustBlue(*expected, *start, 177, 177, -100);
    EXPECT_TRUE(SamePixels(*Copy(Preview()), *expected));
    // Red and green are the start's.
    EXPECT_EQ(Preview().Pixel(7, 9) & 0xFFFF, start->Pixel(7, 9) & 0xFFFF);
}

TEST_F(PictureEditorTest, OkTurnsAndChangesTheFullPictureIntoABackupCopy)
{
    const std::string original = ReadFileBytes(Photo());
    ASSERT_NO_FATAL_FAILURE(Open("Rotation1"));
    for (int i = 0; i < 3; ++i)
        Editor->BitBtn2->Click();
    Editor->TrackBar1->SetPosition(25);
    Editor->TrackBar3->SetPosition(-40);
    Editor->BitBtn3->Click();

    EXPECT_FALSE(Editor->Visible());
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_EQ(Editor->Label2->Caption(), "");
    EXPECT_EQ(Entry(), Backup(1));
    EXPECT_EQ(Wizard->ListBox2->Items().Strings(0), "a comment");
    EXPECT_EQ(ReadFileBytes(Photo()), original);
    // The same road by hand: one turn to the left, brightness, then green.
    auto work = RotateBitmapLeft(*Copy(*Decoded(Photo())));
    auto bright = Copy(*work);
    AdjustBrightness(*bright, *work, work->Height(), work->Width(), 25);
    auto green = Copy(*bright);
    AdjustGreen(*green, *bright, work->Height(), work->Width(), -40);
    TJPEGImage expected;
    expected.Assign(*green);
    TMemoryStream bytes;
    expected.SaveToStream(bytes);
    EXPECT_EQ(ReadFileBytes(Backup(1)), bytes.Bytes());
    EXPECT_EQ(Wizard->Image3->Picture().Width(), 30);  // the preview shows the turned picture

    // The entry is a backup now: editing it again overwrites that copy.
    ASSERT_NO_FATAL_FAILURE(Open("Colors1"));
    Editor->TrackBar2->SetPosition(-255);
    Editor->BitBtn3->Click();
    EXPECT_EQ(Entry(), Backup(1));
    EXPECT_FALSE(FileExists(Backup(2)));
    EXPECT_EQ(BackupPictureCount, 1);
    EXPECT_EQ(ReadFileBytes(Photo()), original);
    EXPECT_EQ(Decoded(Backup(1))->Pixel(3, 3) & 0xFF, 0u);  // no red left
}

// Adding selects the new last entry without showing it; the editor must
// still turn that entry's picture, never the one the preview held before.
TEST_F(PictureEditorTest, TheEditorTurnsTheSelectedEntryEvenWhenThePreviewShowedAnother)
{
    const std::string other = Folder.Path() + "other.jpg";
    WriteJpeg(other, 24, 16, 7);
    for (const bool shownBefore : {false, true}) {
        SCOPED_TRACE(shownBefore ? "another picture shown" : "nothing shown yet");
        Wizard->ListBox1->Clear();
        Wizard->ListBox2->Clear();
        AddPictures({Photo()});
        if (shownBefore) {
            Wizard->ListBox1->SetItemIndex(0);
            Wizard->ListBox1->Click();
        }
        Script.AnswerOpen({other});
        Wizard->BitBtn1->Click();
        ASSERT_EQ(Wizard->ListBox1->ItemIndex(), 1);
        Script.AnswerPopup("Rotation1");
        Wizard->Label52->Click();
        ASSERT_EQ(Script.Pending(), 0u);
        ASSERT_TRUE(Editor->Visible());
        Editor->BitBtn2->Click();
        Editor->BitBtn3->Click();
        EXPECT_EQ(Entry(), Photo());
        const std::string backup = Wizard->ListBox1->Items().Strings(1);
        ASSERT_NE(backup, other);
        const auto saved = Decoded(backup);
        EXPECT_EQ(saved->Width(), 16);
        EXPECT_EQ(saved->Height(), 24);
    }
}

TEST_F(PictureEditorTest, ResetRestoresThePreviewButKeepsTheSliders)
{
    ASSERT_NO_FATAL_FAILURE(Open("Contrast1"));
    const auto start = Start();
    Editor->TrackBar5->SetPosition(60);
    PreviewStep();
    EXPECT_FALSE(SamePixels(*Copy(Preview()), *start));
    Editor->BitBtn5->Click();
    EXPECT_TRUE(SamePixels(*Copy(Preview()), *start));
    EXPECT_EQ(Editor->TrackBar5->Position(), 60);
    EXPECT_EQ(Editor->LastEditOperation, "");
    Editor->BitBtn3->Click();
    ASSERT_EQ(Entry(), Backup(1));
    auto work = Copy(*Decoded(Photo()));
    auto contrast = Copy(*work);
    AdjustContrast(*contrast, *work, 60);
    TJPEGImage expected;
    expected.Assign(*contrast);
    TMemoryStream bytes;
    expected.SaveToStream(bytes);
    EXPECT_EQ(ReadFileBytes(Backup(1)), bytes.Bytes());
}

TEST_F(PictureEditorTest, NothingChangedSavesNothing)
{
    ASSERT_NO_FATAL_FAILURE(Open("Rotation1"));
    Editor->BitBtn2->Click();
    Editor->BitBtn1->Click();
    Editor->BitBtn3->Click();
    EXPECT_FALSE(Editor->Visible());
    EXPECT_EQ(Entry(), Photo());
    EXPECT_TRUE(FindFiles(Folder.Path() + "backups", "*").empty());
    // Cancel applies nothing either.
    ASSERT_NO_FATAL_FAILURE(Open("Brightness1"));
    Editor->TrackBar1->SetPosition(100);
    Editor->BitBtn4->Click();
    EXPECT_FALSE(Editor->Visible());
    EXPECT_EQ(Entry(), Photo());
}

TEST_F(PictureEditorTest, BackupsOfAnEarlierRunAreNeverOverwritten)
{
    EXPECT_EQ(BackupPictureCount, 0);
    WriteFileBytes(Backup(1), "an earlier run's copy");
    WriteFileBytes(Backup(2), "another");
    ASSERT_NO_FATAL_FAILURE(Open("Rotation1"));
    Editor->BitBtn2->Click();
    Editor->BitBtn3->Click();
    EXPECT_EQ(Entry(), Backup(3));
    EXPECT_EQ(ReadFileBytes(Backup(1)), "an earlier run's copy");
    EXPECT_EQ(ReadFileBytes(Backup(2)), "another");
}

TEST_F(PictureEditorTest, AGifIsEditedAndSavedThroughTheGifClass)
{
    const auto blocks = Blocks(6, 4);
    TGIFImage gif;
    gif.Assign(*blocks);
    const std::string path = Folder.Path() + "flat.gif";
    gif.SaveToFile(path);
    const std::string original = ReadFileBytes(path);
    AddPictures({path}, {"gif comment"});
    ASSERT_NO_FATAL_FAILURE(Open("Rotation1", 1));
    Editor->BitBtn2->Click();
    Editor->BitBtn3->Click();
    ASSERT_EQ(Wizard->ListBox1->Items().Strings(1), Backup(1, ".gif"));
    EXPECT_EQ(ReadFileBytes(path), original);
    TGIFImage saved;
    saved.LoadFromFile(Backup(1, ".gif"));
    EXPECT_TRUE(SamePixels(*Copy(*saved.GetPictureBitmap()), *RotateBitmapRight(*blocks)));
    EXPECT_EQ(Wizard->ListBox2->Items().Strings(1), "gif comment");
}

// The entry becomes the backup's path and stays selected, so the menu edits
// it again without choosing it anew.
TEST_F(PictureEditorTest, OkKeepsTheEditedEntrySelected)
{
    TGIFImage gif;
    gif.Assign(*Blocks(6, 4));
    const std::string path = Folder.Path() + "flat.gif";
    gif.SaveToFile(path);
    AddPictures({path}, {"gif comment"});
    for (const int index : {0, 1}) {
        SCOPED_TRACE(index == 0 ? "a JPEG" : "a GIF");
        ASSERT_NO_FATAL_FAILURE(Open("Rotation1", index));
        Editor->BitBtn2->Click();
        Editor->BitBtn3->Click();
        ASSERT_NE(Wizard->ListBox1->Items().Strings(index).find("backups/BackUpPicture"), std::string::npos);
        EXPECT_EQ(Wizard->ListBox1->ItemIndex(), index);
        Script.AnswerPopup("Colors1");
        Wizard->Label52->Click();
        EXPECT_EQ(Script.Pending(), 0u);
        EXPECT_TRUE(Editor->Visible());
        Editor->Hide();
    }
}

TEST_F(PictureEditorTest, AFailedSaveIsReportedAndTheEditorStaysUsable)
{
    RemoveDir(Folder.Path() + "backups");
    ASSERT_NO_FATAL_FAILURE(Open("Rotation1"));
    Editor->BitBtn2->Click();
    Script.AnswerMessage(IDOK, "BackUpPicture1.jpg");
    Editor->BitBtn3->Click();
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_TRUE(Editor->Visible());
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_EQ(Editor->Label2->Caption(), "");
    EXPECT_EQ(Entry(), Photo());
    EXPECT_EQ(Wizard->Image3->Picture().Width(), 40);  // still the unedited picture
}

}  // namespace

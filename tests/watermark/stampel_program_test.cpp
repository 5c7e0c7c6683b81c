#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/core/Files.h"
#include "tests/watermark/stampel_fixture.h"
#include "watermark/BatchOutput.h"
#include "watermark/GalleryCollection.h"
#include "watermark/StartArguments.h"

namespace stampeltest {
namespace {

TEST(StartArguments, AsTheBuilderWritesThem)
{
    struct Case {
        const char* folder;
        const char* kinds;
        bool remote;
        const char* dir;
        bool full, thumbnails;
    } cases[] = {
        {"C:\\My%20Gallery", "/T", true, "C:\\My Gallery", false, true},
        {"/home/a%20b%20c/", "/V", true, "/home/a b c/", true, false},
        {"/g/", "/A", true, "/g/", true, true},
        {"/g/", "/v", true, "/g/", true, false},  // not recognised: the defaults
        {"/g/", "", true, "/g/", true, false},
        {"", "", false, "", true, false},
        {"/100%2020/", "/T", true, "/100 20/", false, true},
    };
    for (const Case& c : cases) {
        const TStartArguments a = ReadStartArguments(c.folder, c.kinds);
        EXPECT_EQ(a.Remote, c.remote) << c.folder;
        EXPECT_EQ(a.GalleryDir, c.dir);
        EXPECT_EQ(a.FullPictures, c.full) << c.kinds;
        EXPECT_EQ(a.Thumbnails, c.thumbnails) << c.kinds;
    }
}

TEST(BatchOutput, NamesAndCounter)
{
    const char* names[][2] = {{"/p/photo.jpg", "photo"}, {"/p/a.b.jpg", "a.b"}, {"/p/readme", "readme"},
                              {"/p.d/x", "x"}, {"/p/.jpg", ""}};
    for (const auto& n : names) EXPECT_EQ(OutputBaseName(n[0]), n[1]) << n[0];
    EXPECT_EQ(BatchTarget("/in/a.b.jpg", TSaveChoice::OriginalName, "/out", "picture", 1), "/out/a.b.jpg");
    EXPECT_EQ(BatchTarget("/in/x.b.jpg", TSaveChoice::OriginalName, "/out", "picture", 1), "/out/x.b.jpg");
    EXPECT_EQ(BatchTarget("/in/Pic.JPG", TSaveChoice::OriginalName, "/out/", "picture", 1), "/out/Pic.jpg");
    EXPECT_EQ(BatchTarget("/in/s.bmp", TSaveChoice::OriginalName, "/out", "picture", 1), "/out/s.bmp");
    EXPECT_EQ(BatchTarget("/in/s.bmp", TSaveChoice::NameAndCounter, "/out", "picture", 1), "/out/picture1.bmp");
    EXPECT_EQ(BatchTarget("/in/s.jpg", TSaveChoice::NameAndCounter, "/out", "picture", 12), "/out/picture12.jpg");
    EXPECT_EQ(BatchTarget("/in/s.jpg", TSaveChoice::Overwrite, "/out", "picture", 3), "/in/s.jpg");
    EXPECT_TRUE(IsJpegPath("/a.JPG"));
    EXPECT_TRUE(IsJpegPath("/a.jpg.bmp"));
    EXPECT_FALSE(IsJpegPath("/a.Jpg"));
}

TEST_F(StampelWindows, GalleryMasksTakeFullPicturesAndThumbnailsByKind)
{
    const std::string gallery = Folder + "My Gallery/";
    ASSERT_TRUE(CreateDir(gallery));
    for (const char* name : {"th_0.jpg", "th_12.jpg", "th_999.jpg", "th_1000.jpg", "th_1_big.jpg", "TH_3.JPG",
                             "th_x.jpg", "0_big.jpg", "start.html", "th_0.jpg.bak"})
        WriteJpeg(gallery + name, 8, 8);
    struct Case {
        const char* kinds;
        std::vector<std::string> names;
    } cases[] = {
        {"/T", {"th_0.jpg", "th_12.jpg", "TH_3.JPG", "th_999.jpg", "th_x.jpg"}},
        {"/V", {"0_big.jpg", "th_1_big.jpg"}},
        {"/A", {"0_big.jpg", "th_0.jpg", "th_12.jpg", "th_1_big.jpg", "TH_3.JPG", "th_999.jpg", "th_x.jpg"}},
    };
    for (const Case& c : cases) {
        Start({Folder + "My%20Gallery/", c.kinds});
        std::vector<std::string> expected;
        for (const std::string& n : c.names) expected.push_back(gallery + n);
        EXPECT_EQ(PictureList(), expected) << c.kinds;
        EXPECT_EQ(GalleryDir, gallery);
        EXPECT_TRUE(WatermarkWindow->Visible());
        EXPECT_FALSE(WatermarkAssistant->MTranBtn2->Enabled());
        Windows.reset();
    }
}

TEST(GalleryCollection, LeavesOutWhatItHasAlready)
{
    EXPECT_EQ(CollectGallery("/g", {"a_big.jpg", "b_big.jpg", "a_big.jpg"}),
              (std::vector<std::string>{"/g/a_big.jpg", "/g/b_big.jpg"}));
    EXPECT_EQ(GalleryMask(true, false), "*_big.jpg;");
    EXPECT_EQ(GalleryMask(false, true), "th_?.jpg;th_??.jpg;th_???.jpg;");
    EXPECT_EQ(GalleryMask(false, false), "");
}

TEST_F(StampelWindows, WithoutArgumentsTheAssistantWaitsForAnyUse)
{
    Start({});
    EXPECT_EQ(RemoteMode, "");
    EXPECT_TRUE(WatermarkAssistant->RadioButton2->Checked());
    EXPECT_TRUE(WatermarkAssistant->CheckBox1->Checked());
    EXPECT_FALSE(WatermarkAssistant->CheckBox2->Checked());
    EXPECT_FALSE(GallerySelectDialog->Timer1->Enabled());
    EXPECT_EQ(WatermarkWindow->ListBox1->Items().Count(), 0);
    WatermarkAssistant->MTranBtn2->Click();
    EXPECT_TRUE(WatermarkWindow->Visible());
    EXPECT_FALSE(WatermarkAssistant->Visible());
}

TEST_F(StampelWindows, RemoteStartStampsTheFullPicturesInPlace)
{
    WriteJpeg(Folder + "1_big.jpg", 200, 100);
    WriteJpeg(Folder + "2_big.jpg", 120, 90);
    WriteJpeg(Folder + "th_1.jpg", 40, 30);
    chmod((Folder + "1_big.jpg").c_str(), 0640);
    const std::string thumbnail = FileText(Folder + "th_1.jpg");
    Start({Folder, "/V"});
    WatermarkWindow->Timer1->OnTimer(nullptr);
    EXPECT_FALSE(WatermarkWindow->BitBtn9->Enabled()) << "before the second step nothing is chosen";
    Script.AnswerMessage(IDOK, "Now choose your watermark image");
    RunRemoteTimer();
    EXPECT_FALSE(GallerySelectDialog->Timer1->Enabled());
    EXPECT_TRUE(WatermarkWindow->RadioButton14->Checked());
    EXPECT_EQ(WatermarkWindow->PageControl1->ActivePage(), WatermarkWindow->TabSheet1);
    ASSERT_EQ(WatermarkWindow->ComboBox2->Items().Count(), 2);
    EXPECT_EQ(WatermarkWindow->ComboBox2->Items().Strings(1), "Bild 2");
    EXPECT_EQ(WatermarkWindow->Image2->Picture().Width(), 200);
    WatermarkWindow->Timer1->OnTimer(nullptr);
    EXPECT_TRUE(WatermarkWindow->BitBtn9->Enabled());

    WatermarkWindow->Edit1->SetText("Proof");
    std::uint16_t key = 'f';
    WatermarkWindow->Edit1->OnKeyUp(WatermarkWindow->Edit1, key, 0);
    EXPECT_EQ(WatermarkWindow->Label1->Caption(), "Proof");
    const auto before = ReadPicture(Folder + "1_big.jpg");
    Script.AnswerMessage(IDOK, "complete!");
    WatermarkWindow->BitBtn9->Click();
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_EQ(FileText(Folder + "th_1.jpg"), thumbnail) << "thumbnails stay with /V";
    struct stat info {};
    ASSERT_EQ(stat((Folder + "1_big.jpg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "the replaced picture keeps its permissions";
    const auto after = ReadPicture(Folder + "1_big.jpg");
    ASSERT_EQ(after->Width(), 200);
    // The text lies at the top left and brightens by 30; the far corner keeps its level.
    int brighter = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 40; ++x)
            if (GetRValue(after->Pixel(x, y)) >= GetRValue(before->Pixel(x, y)) + 20) ++brighter;
    EXPECT_GT(brighter, 40);
    EXPECT_NEAR(GetRValue(after->Pixel(190, 90)), GetRValue(before->Pixel(190, 90)), 3);
    EXPECT_EQ(WatermarkWindow->Label23->Caption(), "");
    for (const auto& entry : std::filesystem::directory_iterator(Folder))
        EXPECT_EQ(entry.path().filename().string().find(".stampel-"), std::string::npos) << entry.path();
}

TEST_F(StampelWindows, IndividualNamesCountOverAllLines)
{
    const std::string out = Folder + "out/";
    ASSERT_TRUE(CreateDir(out));
    GreyPicture(30, 20)->SaveToFile(Folder + "s.bmp");
    WriteJpeg(Folder + "a.b.jpg", 30, 20);
    WriteJpeg(Folder + "c.jpg", 30, 20);
    Start({});
    WatermarkWindow->SetPictureList({Folder + "s.bmp", Folder + "a.b.jpg", Folder + "c.jpg"});
    WatermarkWindow->RadioButton13->SetChecked(true);
    EXPECT_TRUE(WatermarkWindow->Edit5->Enabled());
    Script.AnswerFolder(out);
    WatermarkWindow->BitBtn8->Click();
    WatermarkWindow->Timer1->OnTimer(nullptr);
    EXPECT_TRUE(WatermarkWindow->BitBtn9->Enabled());
    Script.AnswerMessage(IDOK, "complete!");
    WatermarkWindow->RunBatch();
    for (const char* name : {"picture1.bmp", "picture2.jpg", "picture3.jpg"})
        EXPECT_TRUE(FileExists(out + name)) << name;
    EXPECT_EQ(ReadPicture(out + "picture1.bmp")->Width(), 30);

    WatermarkWindow->RadioButton12->SetChecked(true);
    EXPECT_FALSE(WatermarkWindow->Edit5->Enabled());
    EXPECT_EQ(WatermarkWindow->Edit5->Color(), 0xC0C0C0u);
    Script.AnswerMessage(IDOK, "complete!");
    WatermarkWindow->RunBatch();
    for (const char* name : {"s.bmp", "a.b.jpg", "c.jpg"}) EXPECT_TRUE(FileExists(out + name)) << name;
}

TEST_F(StampelWindows, ComposingTheListByButtonsAndDrops)
{
    for (const char* name : {"a.jpg", "B.JPG", "c.bmp", "notes.txt"}) WriteFileBytes(Folder + name, "x");
    Start({});
    TForm1& w = *WatermarkWindow;
    w.DirectoryListBox1->SetDirectory(Folder);
    ASSERT_EQ(w.FileListBox1->Items().Count(), 3) << "the mask takes BMP and JPEG files only";
    w.FileListBox1->SetItemIndex(1);
    w.BitBtn5->Click();
    w.FileListBox1->SetSelected(0, true);
    w.FileListBox1->SetSelected(2, true);
    EXPECT_TRUE(w.ListBox1->DispatchDragDrop(w.FileListBox1, 5, 5));
    // Every selected file in list order, the current one included.
    EXPECT_EQ(PictureList(),
              (std::vector<std::string>{Folder + "B.JPG", Folder + "a.jpg", Folder + "B.JPG", Folder + "c.bmp"}));
    w.ListBox1->SetItemIndex(-1);
    w.BitBtn6->Click();
    EXPECT_EQ(PictureList().size(), 4u) << "nothing selected, nothing deleted";
    w.ListBox1->SetItemIndex(1);
    w.BitBtn6->Click();
    EXPECT_EQ(PictureList(), (std::vector<std::string>{Folder + "B.JPG", Folder + "B.JPG", Folder + "c.bmp"}));
    w.BitBtn7->Click();
    EXPECT_TRUE(PictureList().empty());
}

TEST_F(StampelWindows, TheFileListShowsTheOthersAndNamesWhatItCannotShowOnce)
{
    // Cyrillic and Polish names, made by their UTF-8 bytes as another program would.
    for (const char* name : {"\xD0\x9C\xD0\xB8\xD1\x80.jpg", "\xC5\x81\xC3\xB3" "d\xC5\xBA.bmp"})
        ASSERT_EQ(::close(::creat((Folder + name).c_str(), 0644)), 0);
    WriteFileBytes(Folder + "a.jpg", "x");
    Start({});
    TForm1& w = *WatermarkWindow;
    Script.AnswerMessage(IDOK, "\\xC5\\x81\\xC3\\xB3d\\xC5\\xBA.bmp\r\n\\xD0\\x9C\\xD0\\xB8\\xD1\\x80.jpg");
    w.DirectoryListBox1->SetDirectory(Folder);
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_EQ(w.FileListBox1->Items().Items(), (std::vector<std::string>{"a.jpg"}));
    // Choosing a file or reading the folder again tells nothing new.
    w.FileListBox1->SelectAsUser(0);
    w.FileListBox1->Update();
    EXPECT_EQ(Script.Asked().size(), 1u);
}

TEST_F(StampelWindows, StartNeedsAChosenFolderOrOverwriting)
{
    Start({});
    TForm1& w = *WatermarkWindow;
    const auto startEnabled = [&] {
        w.Timer1->OnTimer(nullptr);
        return w.BitBtn9->Enabled();
    };
    EXPECT_FALSE(startEnabled());
    Script.AnswerFolder("");  // cancelled
    w.BitBtn8->Click();
    EXPECT_EQ(w.Label21->Caption(), "");
    EXPECT_FALSE(startEnabled()) << "a cancelled choice is no folder";
    Script.AnswerFolder(Folder);
    w.BitBtn8->Click();
    EXPECT_TRUE(startEnabled());
    Script.AnswerFolder("");
    w.BitBtn8->Click();
    EXPECT_FALSE(startEnabled());
    w.RadioButton14->SetChecked(true);
    EXPECT_FALSE(w.BitBtn8->Enabled());
    EXPECT_TRUE(startEnabled());
}

TEST_F(StampelWindows, PagesTwoAndThreeNeedAList)
{
    Start({});
    TForm1& w = *WatermarkWindow;
    for (TTabSheet* page : {w.TabSheet1, w.TabSheet3}) {
        Script.AnswerMessage(IDOK, "Please compose a picture list before run");
        w.PageControl1->SetActivePage(page);
        w.PageControl1Change(w.PageControl1);
        EXPECT_EQ(w.PageControl1->ActivePage(), w.TabSheet2);
    }
    EXPECT_EQ(Script.Pending(), 0u);
}

TEST_F(StampelWindows, NavigationStopsAtBothEnds)
{
    for (int i = 0; i < 3; ++i) WriteJpeg(Folder + std::to_string(i) + ".jpg", 20 + i, 10);
    Start({});
    TForm1& w = *WatermarkWindow;
    w.SetPictureList({Folder + "0.jpg", Folder + "1.jpg", Folder + "2.jpg"});
    w.PageControl1->SetActivePage(w.TabSheet1);
    w.PageControl1Change(w.PageControl1);
    EXPECT_EQ(w.ListBox1->ItemIndex(), 0);
    w.BitBtn3Click(nullptr);
    EXPECT_EQ(w.ListBox1->ItemIndex(), 0);
    w.BitBtn4Click(nullptr);
    w.BitBtn4Click(nullptr);
    EXPECT_EQ(w.ListBox1->ItemIndex(), 2);
    EXPECT_EQ(w.Image2->Picture().Width(), 22);
    w.BitBtn4Click(nullptr);
    EXPECT_EQ(w.ListBox1->ItemIndex(), 2);
    w.ComboBox2->SetItemIndex(1);
    w.ComboBox2Change(nullptr);
    EXPECT_EQ(w.Image2->Picture().Width(), 21);
    EXPECT_EQ(w.Image1->Picture().Width(), 21) << "without auto-preview the preview shows the picture";
}

TEST_F(StampelWindows, BrokenPicturesAreNamedAndTheOthersStamped)
{
    WriteJpeg(Folder + "1_big.jpg", 60, 40);
    WriteFileBytes(Folder + "2_big.jpg", "\xFF\xD8\xFF broken");
    WriteJpeg(Folder + "3_big.jpg", 60, 40);
    const std::string first = FileText(Folder + "1_big.jpg");
    const std::string third = FileText(Folder + "3_big.jpg");
    Start({Folder, "/V"});
    Script.AnswerMessage(IDOK, "Now choose");
    RunRemoteTimer();
    Script.AnswerMessage(IDOK, Folder + "2_big.jpg").AnswerMessage(IDOK, "2 of 3 pictures stamped.");
    WatermarkWindow->RunBatch();
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_EQ(FileText(Folder + "2_big.jpg"), "\xFF\xD8\xFF broken") << "the broken file is left as it was";
    EXPECT_NE(FileText(Folder + "1_big.jpg"), first);
    EXPECT_NE(FileText(Folder + "3_big.jpg"), third) << "the picture after the broken one is stamped too";
}

TEST_F(StampelWindows, AGalleryFolderWithoutPicturesIsNamed)
{
    WriteJpeg(Folder + "th_1.jpg", 20, 20);  // thumbnails only, full pictures asked for
    Start({Folder, "/V"});
    Script.AnswerMessage(IDOK, "No gallery found..\r\n" + Folder);
    RunRemoteTimer();
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_EQ(WatermarkWindow->PageControl1->ActivePage(), WatermarkWindow->TabSheet2);
    EXPECT_TRUE(WatermarkWindow->RadioButton14->Checked());
}

TEST_F(StampelWindows, AFirstPictureThatDoesNotDecodeIsNamedAtTheRemoteStart)
{
    WriteFileBytes(Folder + "1_big.jpg", "not a picture");
    WriteJpeg(Folder + "2_big.jpg", 20, 20);
    Start({Folder, "/V"});
    Script.AnswerMessage(IDOK, Folder + "1_big.jpg").AnswerMessage(IDOK, "Now choose");
    RunRemoteTimer();
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_EQ(WatermarkWindow->PageControl1->ActivePage(), WatermarkWindow->TabSheet1);
}

TEST_F(StampelWindows, AnOutputFolderThatTakesNoFilesIsNamed)
{
    WriteJpeg(Folder + "1.jpg", 60, 40);
    WriteJpeg(Folder + "2.jpg", 60, 40);
    const std::string first = FileText(Folder + "1.jpg");
    // Read-only for an ordinary user; root writes anywhere, but not below a plain file.
    std::string out = Folder + "out";
    if (geteuid() == 0) {
        WriteFileBytes(out, "a file");
        out += "/below";
    } else {
        ASSERT_TRUE(CreateDir(out));
        chmod(out.c_str(), 0555);
    }
    Start({});
    WatermarkWindow->SetPictureList({Folder + "1.jpg", Folder + "2.jpg"});
    WatermarkWindow->Label21->SetCaption(out);
    Script.AnswerMessage(IDOK, out + "/1.jpg").AnswerMessage(IDOK, "0 of 2 pictures stamped.");
    WatermarkWindow->RunBatch();
    chmod(out.c_str(), 0755);
    ASSERT_EQ(Script.Asked().size(), 2u);
    EXPECT_NE(Script.Asked()[0].Text.find(out + "/2.jpg"), std::string::npos);
    EXPECT_EQ(Script.Asked()[1].Text, "0 of 2 pictures stamped.") << "nothing written is not complete";
    EXPECT_EQ(FileText(Folder + "1.jpg"), first);
    EXPECT_FALSE(FileExists(out + "/1.jpg"));
}

// Which file a name reaches: a written picture is a new file in its place.
ino_t FileIdentity(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

TEST_F(StampelWindows, ThePicturesThemselvesAreReplacedOnlyByTheChoiceToOverwrite)
{
    const std::string out = Folder + "out/";
    const std::string a = Folder + "a.jpg", s = Folder + "s.bmp", picture2 = Folder + "picture2.jpg";
    struct Case {
        const char* name;
        TSaveChoice choice;
        std::string folder;
        std::vector<std::string> list;
        std::string named;                 // the original the refusal names; "" when the batch runs
        std::vector<std::string> written;  // when it runs
        bool replacesACopy = false;        // asked about first, and answered Yes
    } cases[] = {
        {"their own folder", TSaveChoice::OriginalName, Folder, {a, s}, a, {}},
        {"their folder by a link", TSaveChoice::OriginalName, Folder + "link", {s}, s, {}},
        {"a link to one of them", TSaveChoice::OriginalName, out, {s, a}, a, {}},
        {"a later line's name", TSaveChoice::NameAndCounter, Folder, {a, picture2}, picture2, {}},
        {"a copy from an earlier run", TSaveChoice::OriginalName, out, {s}, "", {out + "s.bmp"}, true},
        {"the choice to overwrite", TSaveChoice::Overwrite, "", {a, s}, "", {a, s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(Folder);
        ASSERT_TRUE(ForceDirectories(out));
        WriteJpeg(a, 40, 30);
        WriteJpeg(picture2, 40, 30);
        GreyPicture(30, 20)->SaveToFile(s);
        std::filesystem::create_directory_symlink(Folder, Folder + "link");
        std::filesystem::create_symlink(a, out + "a.jpg");
        GreyPicture(30, 20)->SaveToFile(out + "s.bmp");
        const std::vector<std::string> files{a, s, picture2, out + "s.bmp"};
        std::vector<ino_t> before;
        for (const std::string& file : files) before.push_back(FileIdentity(file));

        Start({});
        TForm1& w = *WatermarkWindow;
        w.SetPictureList(c.list);
        (c.choice == TSaveChoice::Overwrite        ? w.RadioButton14
         : c.choice == TSaveChoice::NameAndCounter ? w.RadioButton13
                                                   : w.RadioButton12)
            ->SetChecked(true);
        if (!c.folder.empty()) {
            Script.AnswerFolder(c.folder);
            w.BitBtn8->Click();
        }
        w.Timer1->OnTimer(nullptr);
        ASSERT_TRUE(w.BitBtn9->Enabled());
        const std::size_t asked = Script.Asked().size();
        const bool refused = !c.named.empty();
        if (c.replacesACopy) Script.AnswerMessage(IDYES, out + "s.bmp\"");
        Script.AnswerMessage(IDOK, refused ? "Overwrite the original files" : "complete!");
        w.BitBtn9->Click();
        EXPECT_EQ(Script.Pending(), 0u);
        ASSERT_EQ(Script.Asked().size(), asked + 1 + c.replacesACopy) << "one message, before any picture";
        for (std::size_t i = 0; i < files.size(); ++i) {
            const bool written = std::find(c.written.begin(), c.written.end(), files[i]) != c.written.end();
            EXPECT_EQ(FileIdentity(files[i]) != before[i], written) << files[i];
        }
        if (refused) {
            EXPECT_NE(Script.Asked().back().Text.find("\"" + c.named + "\""), std::string::npos)
                << Script.Asked().back().Text;
            EXPECT_EQ(w.Label23->Caption(), "") << "not started";
        }
        Windows.reset();
    }
}

// The files of a folder, by name.
std::vector<std::string> FolderFiles(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file()) names.push_back(entry.path().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The user's files where a batch would write, other than its own pictures, are
// replaced only after one question before anything is written; No writes nothing.
TEST_F(StampelWindows, FilesInTheWayAreReplacedOnlyByTheUsersWord)
{
    const std::string out = Folder + "out/";
    const std::string ab = Folder + "a.b.jpg", again = Folder + "sub/a.b.jpg", s = Folder + "s.bmp",
                      c = Folder + "c.jpg", big = Folder + "1_big.jpg";
    struct Case {
        const char* name;
        TSaveChoice choice;
        std::string folder;
        std::vector<std::string> list;
        std::vector<std::string> users;    // the user's files in the way
        int answer;                        // to the question; 0 when none may come
        std::string first;                 // the file the question names
        std::vector<std::string> written;  // the batch's files
        bool remote = false;
    } cases[] = {
        {"one, No", TSaveChoice::NameAndCounter, Folder, {ab}, {Folder + "pic1.jpg"}, IDNO, Folder + "pic1.jpg", {}},
        {"one, Yes", TSaveChoice::NameAndCounter, Folder, {ab}, {Folder + "pic1.jpg"}, IDYES, Folder + "pic1.jpg",
         {Folder + "pic1.jpg"}},
        {"the same name in the way, No", TSaveChoice::OriginalName, out, {ab}, {out + "a.b.jpg"}, IDNO,
         out + "a.b.jpg", {}},
        {"several by original names, No", TSaveChoice::OriginalName, out, {ab, again, s, c},
         {out + "s.bmp", out + "a.b.jpg"}, IDNO, out + "a.b.jpg", {}},
        {"several by original names, Yes", TSaveChoice::OriginalName, out, {ab, again, s, c},
         {out + "s.bmp", out + "a.b.jpg"}, IDYES, out + "a.b.jpg", {out + "a.b.jpg", out + "s.bmp", out + "c.jpg"}},
        {"several by counter, No", TSaveChoice::NameAndCounter, out, {ab, s, c}, {out + "pic3.jpg", out + "pic2.bmp"},
         IDNO, out + "pic2.bmp", {}},
        {"none in the way", TSaveChoice::OriginalName, out, {ab, s}, {}, 0, "", {out + "a.b.jpg", out + "s.bmp"}},
        {"remote use", TSaveChoice::NameAndCounter, out, {big}, {out + "pic1.jpg"}, 0, "", {out + "pic1.jpg"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(Folder);
        ASSERT_TRUE(ForceDirectories(out));
        ASSERT_TRUE(ForceDirectories(Folder + "sub"));
        for (const std::string& picture : c.list)
            IsJpegPath(picture) ? WriteJpeg(picture, 40, 30) : GreyPicture(30, 20)->SaveToFile(picture);
        for (const std::string& file : c.users) WriteFileBytes(file, "the user's own " + file);
        const std::vector<std::string> before = FolderFiles(c.folder);

        if (c.remote) {
            Start({Folder, "/V"});
            Script.AnswerMessage(IDOK, "Now choose");
            RunRemoteTimer();
            ASSERT_EQ(PictureList().size(), 1u);
        } else {
            Start({});
            WatermarkWindow->SetPictureList(c.list);
        }
        TForm1& w = *WatermarkWindow;
        (c.choice == TSaveChoice::NameAndCounter ? w.RadioButton13 : w.RadioButton12)->SetChecked(true);
        w.Edit5->SetText("pic");
        Script.AnswerFolder(c.folder);
        w.BitBtn8->Click();
        w.Timer1->OnTimer(nullptr);
        ASSERT_TRUE(w.BitBtn9->Enabled());
        const std::size_t asked = Script.Asked().size();
        if (c.answer != 0) Script.AnswerMessage(c.answer, "\"" + c.first + "\"");
        const bool runs = c.answer != IDNO;
        if (runs) Script.AnswerMessage(IDOK, "complete!");
        w.BitBtn9->Click();
        EXPECT_EQ(Script.Pending(), 0u);
        ASSERT_EQ(Script.Asked().size(), asked + (c.answer != 0) + runs);
        if (c.answer != 0) {
            const TQuestion& question = Script.Asked()[asked];
            const std::string several = std::to_string(c.users.size()) + " files";
            EXPECT_EQ(question.Text.find(several) != std::string::npos, c.users.size() > 1) << question.Text;
        }

        std::vector<std::string> after = before;
        after.insert(after.end(), c.written.begin(), c.written.end());
        std::sort(after.begin(), after.end());
        after.erase(std::unique(after.begin(), after.end()), after.end());
        EXPECT_EQ(FolderFiles(c.folder), after);
        for (const std::string& file : c.users) {
            const bool replaced = std::find(c.written.begin(), c.written.end(), file) != c.written.end();
            EXPECT_EQ(FileText(file) != "the user's own " + file, replaced) << file;
        }
        if (!runs) {
            EXPECT_EQ(w.Label23->Caption(), "") << "not started";
        }
        Windows.reset();
    }
}

TEST_F(StampelWindows, MarkPictureAndItsMask)
{
    auto mark = GreyPicture(8, 4, 0);
    mark->SetPixel(0, 0, RGB(0, 255, 0));
    mark->SetPixel(1, 0, RGB(0, 255, 0));
    mark->SaveToFile(Folder + "mark.bmp");
    WriteFileBytes(Folder + "bad.bmp", "BM nothing");
    Start({});
    TForm1& w = *WatermarkWindow;
    Script.AnswerOpen({Folder + "mark.bmp"});
    w.BitBtn2Click(nullptr);
    EXPECT_TRUE(w.RadioButton9->Checked());
    EXPECT_EQ(w.Image9->Picture().Width(), 8);
    EXPECT_EQ(w.TrackBar1->Max(), 100);
    EXPECT_EQ(w.TrackBar1->Position(), 50);
    EXPECT_EQ(w.Label2->Caption(), "Vollbild");

    Script.AnswerOpen({Folder + "bad.bmp"}).AnswerMessage(IDOK, "bad.bmp");
    w.BitBtn2Click(nullptr);
    EXPECT_EQ(w.Image9->Picture().Width(), 8) << "the mark in use stays";

    w.CheckBox4->SetChecked(true);
    EXPECT_EQ(w.TrackBar1->Min(), -255);
    EXPECT_EQ(w.Label3->Caption(), "Heller");
    EXPECT_EQ(w.Memo2->Lines().Count(), 5);
    w.Edit4->SetText("0");
    w.Image8MouseDown(nullptr, mbLeft, 0, 0, 0);
    const TBitmap& made = w.Image9->Picture().Bitmap();
    EXPECT_EQ(made.Pixel(1, 0), 0xFFFFFFu);
    EXPECT_EQ(made.Pixel(2, 0), 0u);
    EXPECT_EQ(w.Memo1->Color(), RGB(0, 255, 0));

    // Stamped: the key's pixels are white in the mask, so they stay; the rest darkens.
    WriteJpeg(Folder + "p.jpg", 16, 16);
    w.SetPictureList({Folder + "p.jpg"});
    w.PageControl1->SetActivePage(w.TabSheet1);
    w.PageControl1Change(nullptr);
    w.TrackBar1->SetPosition(-50);
    w.RenderWatermark();
    const TBitmap& before = w.Image2->Picture().Bitmap();
    const TBitmap& after = w.Image1->Picture().Bitmap();
    EXPECT_EQ(after.Pixel(0, 0), before.Pixel(0, 0));
    EXPECT_EQ(GetRValue(after.Pixel(2, 0)), GetRValue(before.Pixel(2, 0)) - 50);
    EXPECT_EQ(after.Pixel(9, 0), before.Pixel(9, 0));
}

TEST_F(StampelWindows, TextMarkFollowsTheSizeBoxAndRotation)
{
    WriteJpeg(Folder + "p.jpg", 640, 480);
    Start({});
    TForm1& w = *WatermarkWindow;
    w.SetPictureList({Folder + "p.jpg"});
    w.PageControl1->SetActivePage(w.TabSheet1);
    w.PageControl1Change(nullptr);
    w.Edit2->SetText("24");
    bool allow = true;
    w.UpDown1->OnChanging(w.UpDown1, allow);
    EXPECT_EQ(w.Label1->Font().Size(), 24);
    w.RadioButton6->SetChecked(true);
    w.Edit3->SetText("270");
    w.RenderWatermark();
    const auto expected = DrawTextMark("Label1", "Arial Black", 24, w.Label1->Font().Color());
    ASSERT_EQ(w.WatermarkBitmap->Width(), expected->Height());
    ASSERT_EQ(w.WatermarkBitmap->Height(), expected->Width());
    const TBitmap& before = w.Image2->Picture().Bitmap();
    const TBitmap& after = w.Image1->Picture().Bitmap();
    // Every pixel: the mark's ink brightened by 30, the rest untouched.
    const int x0 = 640 - expected->Height(), y0 = 480 - expected->Width();
    int changed = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const bool ink = x >= x0 && y >= y0 &&
                             w.WatermarkBitmap->Pixel(x - x0, y - y0) != 0xFFFFFFu;
            const int b = GetRValue(before.Pixel(x, y));
            ASSERT_EQ(GetRValue(after.Pixel(x, y)), ink ? std::min(b + 30, 255) : b) << x << "," << y;
            changed += ink;
        }
    EXPECT_GT(changed, 100);
}

}  // namespace
}  // namespace stampeltest

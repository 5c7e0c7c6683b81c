// Gallery project files: the record's bytes at their offsets, the older
// record, the side files, the dialogs, and loads that are refused whole.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "builder/dialogs/MetaHeadText.h"
#include "builder/wizard/ProjectFile.h"
#include "builder/wizard/ProjectRecord.h"
#include "platform/core/Files.h"
#include "tests/builder/wizard_fixture.h"

using namespace buildertest;

namespace {

// A record made from the offsets alone, not by the code under test.
class TRecordBytes {
public:
    explicit TRecordBytes(std::size_t size = GalleryProjectRecordSize) : FBytes(size, '\0') {}
    TRecordBytes& Byte(std::size_t at, int value)
    {
        FBytes.at(at) = static_cast<char>(value);
        return *this;
    }
    TRecordBytes& Text(std::size_t at, const std::string& text)
    {
        FBytes.at(at) = static_cast<char>(text.size());
        FBytes.replace(at + 1, text.size(), text);
        return *this;
    }
    TRecordBytes& Colour(std::size_t at, std::uint32_t rgb)
    {
        for (int i = 0; i < 4; ++i)
            FBytes.at(at + i) = static_cast<char>(rgb >> (8 * i) & 0xFF);
        return *this;
    }
    const std::string& Bytes() const { return FBytes; }

private:
    std::string FBytes;
};

std::string Field(const std::string& record, std::size_t at)
{
    const std::size_t length = static_cast<unsigned char>(record.at(at));
    return record.substr(at + 1, length);
}

class ProjectFileTest : public WizardTest {
protected:
    ProjectFileTest() { Wizard->ProgramFolder = Folder.Path(); }

    TempFolder Folder;

    std::string Path(const std::string& name) const { return Folder.Path() + name; }

    // Every option the record holds, set to a value unlike its default.
    void SetTellingValues()
    {
        AddPictures({"/pictures/a.jpg", "/pictures/b.gif"}, {"first", "second"});
        Wizard->Child<TCheckBox>("CheckBox1")->SetChecked(false);
        Wizard->RadioButton4->SetChecked(true);  // e-mail kind
        Wizard->Label2->SetCaption("/galleries/trip/");
        Wizard->RadioButton1->SetChecked(true);
        Wizard->Edit1->SetText("37");
        Wizard->Edit2->SetText("123");
        Wizard->Edit3->SetText("456");
        Wizard->ComboBox1->SetItemIndex(1);
        Wizard->Edit4->SetText("Heading");
        Wizard->CheckBox3->SetChecked(false);
        Wizard->Edit5->SetText("7");
        Wizard->Edit6->SetText("11");
        Wizard->Memo3->Lines().SetText("above\r\n");
        Wizard->Memo5->Lines().SetText("below 1\r\nbelow 2\r\n");
        Wizard->CheckBox4->SetChecked(false);
        Wizard->CheckBox5->SetChecked(true);
        BackgroundDialog->Label1->SetCaption("");
        FontOptionsDialog->ComboBox1->SetItemIndex(3);
        FontOptionsDialog->Edit1->SetText("21");
        FontOptionsDialog->Edit2->SetText("8");
        FontOptionsDialog->Edit3->SetText("99");
        FontOptionsDialog->Memo1->Font().SetColor(static_cast<TColor>(0x332211));
        FontOptionsDialog->Memo1->SetColor(static_cast<TColor>(0x665544));
        CopyrightDialog->Edit1->SetText("(c) me");
        Wizard->CheckBox8->SetChecked(true);
        Wizard->CheckBox9->SetChecked(true);
        Wizard->CheckBox10->SetChecked(false);
        Wizard->Edit9->SetText("http://example.org/");
        Wizard->CheckBox7->SetChecked(true);
        Wizard->Edit8->SetText("25");
        LimitsDialog->Edit1->SetText("480");
        LimitsDialog->Edit2->SetText("640");
        LimitsDialog->Edit3->SetText("90");
        Wizard->CheckBox11->SetChecked(false);
        Wizard->CheckBox12->SetChecked(true);
        Wizard->CheckBox2->SetChecked(false);
        Wizard->CheckBox14->SetChecked(true);
        Wizard->CheckBox15->SetChecked(false);
        Wizard->CheckBox16->SetChecked(true);
        MetaHeadText = "<meta name=\"x\">";
    }

    // What a load must leave alone when it is refused.
    std::vector<std::string> State() const
    {
        return {Wizard->ListBox1->Items().Text(), Wizard->ListBox2->Items().Text(), Wizard->Label2->Caption(),
                Wizard->Edit1->Text(),           Wizard->Edit2->Text(),           Wizard->Edit4->Text(),
                Wizard->Memo3->Lines().Text(),           BackgroundDialog->Label1->Caption(),
                FontOptionsDialog->Edit1->Text(), CopyrightDialog->Edit1->Text(), Wizard->Edit9->Text(),
                std::to_string(Wizard->RadioButton3->Checked()), std::to_string(Wizard->UpDown2->Position())};
    }
};

TEST_F(ProjectFileTest, SavingWritesEveryOptionAtItsOffset)
{
    SetTellingValues();
    Script.AnswerSave(Path("holiday"));
    Wizard->Save1->Click();
    ASSERT_TRUE(FileExists(Path("holiday.vt2")));
    const std::string r = ReadFileBytes(Path("holiday.vt2"));
    ASSERT_EQ(r.size(), 2628u);
    const struct {
        std::size_t At;
        int Value;
    } bytes[] = {{0, 1},   {1, 0},   {2, 0},   {259, 1}, {260, 0}, {287, 1}, {544, 0}, {553, 1}, {554, 0},
                 {555, 1}, {556, 0}, {557, 1}, {814, 3}, {827, 0}, {828, 0x11}, {829, 0x22}, {830, 0x33},
                 {831, 0}, {832, 0x44}, {833, 0x55}, {834, 0x66}, {835, 0}};
    for (const auto& b : bytes)
        EXPECT_EQ(static_cast<unsigned char>(r[b.At]), b.Value) << "byte " << b.At;
    const struct {
        std::size_t At;
        std::string Text;
    } texts[] = {{3, "/galleries/trip/"}, {261, "37"},     {265, "123"}, {276, "456"}, {288, "Heading"},
                 {545, "7"},          {549, "11"},         {558, ""},    {815, "21"},  {819, "8"},
                 {823, "99"},         {836, "(c) me"},     {1348, "<meta name=\"x\">"}, {1604, "MAIL"},
                 {1860, "101"},
                 {1092, "DATA:$1$1$0$http://example.org/$1$25$480$640$90$0$1$0"}};
    for (const auto& t : texts)
        EXPECT_EQ(Field(r, t.At), t.Text) << "text at " << t.At;
    // The unused tail of a text and the reserved bytes are 0.
    EXPECT_EQ(r.substr(3 + 1 + 16, 255 - 16), std::string(255 - 16, '\0'));
    EXPECT_EQ(r.substr(2116), std::string(512, '\0'));
    // Side files by the stem, in the project's folder, lines ended by CR LF.
    EXPECT_EQ(ReadFileBytes(Path("holiday._tn")), "/pictures/a.jpg\r\n/pictures/b.gif\r\n");
    EXPECT_EQ(ReadFileBytes(Path("holiday._tk")), "first\r\nsecond\r\n");
    EXPECT_EQ(ReadFileBytes(Path("holiday.tx1")), "above\r\n");
    EXPECT_FALSE(FileExists(Path("holiday.tx2")));
    EXPECT_EQ(ReadFileBytes(Path("holiday.tx3")), "below 1\r\nbelow 2\r\n");
    EXPECT_FALSE(FileExists(Path("holiday.vt2.new")));
    // The dialog starts in the program folder with the project filter.
    auto* dialog = Wizard->Child<TSaveDialog>("SaveDialog1");
    EXPECT_EQ(dialog->InitialDir(), Folder.Path());
    EXPECT_EQ(dialog->Filter(), "Vesko Thumbnails Files|*.vt2");
}

TEST_F(ProjectFileTest, LoadingAHandMadeRecordSetsEveryControl)
{
    TRecordBytes r;
    r.Byte(0, 1).Byte(1, 0).Byte(2, 0).Text(3, "/g/folder/").Byte(259, 1).Byte(260, 0);
    r.Text(261, "55").Text(265, "1000").Text(276, "321").Byte(287, 255).Text(288, "Loaded heading");
    r.Byte(544, 0).Text(545, "4").Text(549, "6").Byte(553, 0).Byte(554, 1).Byte(555, 0).Byte(556, 0).Byte(557, 0);
    r.Text(558, "").Byte(814, 255).Text(815, "30").Text(819, "10").Text(823, "16");
    r.Colour(828, 0x0000FF).Colour(832, 0x00FF00).Text(836, "note");
    r.Text(1092, "DATA:$1$0$1$http://x/$1$42$300$200$77$0$0$0");
    r.Text(1348, "no head").Text(1604, "THUMB").Text(1860, "011");
    WriteFileBytes(Path("loaded.vt2"), r.Bytes());
    WriteFileBytes(Path("loaded._tn"), "/p/one.jpg\r\n/p/two.jpg\r\n/p/three.jpg\r\n");
    WriteFileBytes(Path("loaded._tk"), "c1\r\nc2\r\nc3\r\n");
    WriteFileBytes(Path("loaded.tx2"), "line a\r\nline b\r\n");
    Wizard->Memo3->Lines().SetText("kept\r\n");

    Script.AnswerOpen({Path("loaded.vt2")});
    Wizard->Load1->Click();
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_EQ(Wizard->Child<TOpenDialog>("OpenDialog2")->Filter(), "Vesko Thumbnails Files|*.vt2;*.vtn");

    EXPECT_EQ(Wizard->ListBox1->Items().Text(), "/p/one.jpg\r\n/p/two.jpg\r\n/p/three.jpg\r\n");
    EXPECT_EQ(Wizard->ListBox2->Items().Text(), "c1\r\nc2\r\nc3\r\n");
    EXPECT_FALSE(Wizard->Child<TCheckBox>("CheckBox1")->Checked());
    EXPECT_EQ(Wizard->Label2->Caption(), "/g/folder/");
    EXPECT_TRUE(Wizard->RadioButton1->Checked());
    EXPECT_EQ(Wizard->Edit1->Text(), "55");
    EXPECT_EQ(Wizard->UpDown1->Position(), 55);
    // The up-down is detached while set, so the edit keeps the text as saved.
    EXPECT_EQ(Wizard->Edit2->Text(), "1000");
    EXPECT_EQ(Wizard->UpDown2->Position(), 1000);
    EXPECT_EQ(Wizard->UpDown2->Associate(), Wizard->Edit2);
    EXPECT_EQ(Wizard->Edit3->Text(), "321");
    EXPECT_EQ(Wizard->ComboBox1->ItemIndex(), -1);
    EXPECT_EQ(Wizard->Edit4->Text(), "Loaded heading");
    EXPECT_FALSE(Wizard->CheckBox3->Checked());
    EXPECT_EQ(Wizard->UpDown4->Position(), 4);
    EXPECT_EQ(Wizard->UpDown5->Position(), 6);
    EXPECT_EQ(Wizard->Memo3->Lines().Text(), "kept\r\n");  // its flag is clear
    EXPECT_EQ(Wizard->Memo4->Lines().Text(), "line a\r\nline b\r\n");
    EXPECT_FALSE(Wizard->CheckBox4->Checked());
    EXPECT_FALSE(Wizard->CheckBox5->Checked());
    EXPECT_EQ(FontOptionsDialog->ComboBox1->ItemIndex(), -1);
    EXPECT_EQ(FontOptionsDialog->UpDown1->Position(), 30);
    EXPECT_EQ(FontOptionsDialog->Edit3->Text(), "16");
    EXPECT_EQ(FontOptionsDialog->TextColor(), static_cast<TColor>(0x0000FF));
    EXPECT_EQ(FontOptionsDialog->BackgroundColor(), static_cast<TColor>(0x00FF00));
    EXPECT_EQ(FontOptionsDialog->Edit4->Text(), "#ff0000");
    EXPECT_EQ(FontOptionsDialog->Edit5->Text(), "#00ff00");
    EXPECT_EQ(CopyrightDialog->Edit1->Text(), "note");
    EXPECT_TRUE(Wizard->CheckBox8->Checked());
    EXPECT_FALSE(Wizard->CheckBox9->Checked());
    EXPECT_TRUE(Wizard->CheckBox10->Checked());
    EXPECT_EQ(Wizard->Edit9->Text(), "http://x/");
    EXPECT_TRUE(Wizard->CheckBox7->Checked());
    EXPECT_EQ(Wizard->Edit8->Text(), "42");
    EXPECT_EQ(Wizard->UpDown6->Position(), 42);
    EXPECT_EQ(LimitsDialog->Edit1->Text(), "300");
    EXPECT_EQ(LimitsDialog->Edit2->Text(), "200");
    EXPECT_EQ(LimitsDialog->UpDown1->Position(), 77);
    EXPECT_FALSE(Wizard->CheckBox11->Checked());
    EXPECT_FALSE(Wizard->CheckBox12->Checked());
    EXPECT_FALSE(Wizard->CheckBox2->Checked());
    EXPECT_EQ(MetaHeadText, DefaultMetaHeadText);  // no "<meta" in the field
    EXPECT_TRUE(Wizard->RadioButton5->Checked());
    EXPECT_FALSE(Wizard->CheckBox14->Checked());
    EXPECT_TRUE(Wizard->CheckBox15->Checked());
    EXPECT_TRUE(Wizard->CheckBox16->Checked());
}

TEST_F(ProjectFileTest, ASavedProjectComesBackAfterTheWizardChanged)
{
    SetTellingValues();
    Wizard->Edit4->SetText(std::string(300, 'h'));
    Wizard->Edit1->SetText("100");
    ASSERT_NO_THROW(WriteProjectFile(*Wizard, Path("trip.2004.vt2")));
    EXPECT_TRUE(FileExists(Path("trip.2004._tn")));
    Wizard->ListBox1->Clear();
    Wizard->ListBox2->Clear();
    Wizard->Edit4->SetText("other");
    Wizard->Edit1->SetText("5");
    Wizard->RadioButton3->SetChecked(true);
    FontOptionsDialog->Memo1->SetColor(clWhite);
    Wizard->CheckBox16->SetChecked(false);
    MetaHeadText = std::string(DefaultMetaHeadText);

    ASSERT_NO_THROW(ReadProjectFile(*Wizard, Path("trip.2004.vt2")));
    EXPECT_EQ(Wizard->ListBox1->Count(), 2);
    EXPECT_EQ(Wizard->ListBox2->Items().Strings(1), "second");
    EXPECT_EQ(Wizard->Edit4->Text(), std::string(255, 'h'));
    EXPECT_EQ(Wizard->Edit1->Text(), "100");
    EXPECT_TRUE(Wizard->RadioButton4->Checked());
    EXPECT_EQ(FontOptionsDialog->BackgroundColor(), static_cast<TColor>(0x665544));
    EXPECT_TRUE(Wizard->CheckBox16->Checked());
    EXPECT_EQ(MetaHeadText, "<meta name=\"x\">");
    EXPECT_EQ(Wizard->Memo5->Lines().Text(), "below 1\r\nbelow 2\r\n");
}

TEST_F(ProjectFileTest, AnEmptyListWritesNoListFilesAndLoadingKeepsTheLists)
{
    ASSERT_NO_THROW(WriteProjectFile(*Wizard, Path("empty.vt2")));
    EXPECT_EQ(ReadFileBytes(Path("empty.vt2"))[0], 0);
    EXPECT_FALSE(FileExists(Path("empty._tn")));
    EXPECT_FALSE(FileExists(Path("empty._tk")));
    AddPictures({"/x/kept.jpg"}, {"kept"});
    ASSERT_NO_THROW(ReadProjectFile(*Wizard, Path("empty.vt2")));
    EXPECT_EQ(Wizard->ListBox1->Items().Text(), "/x/kept.jpg\r\n");
    EXPECT_EQ(Wizard->ListBox2->Items().Text(), "kept\r\n");
}

// Projects named apart only after a "." keep side files of their own; a
// project written with the older, shorter stem still finds its side files.
TEST_F(ProjectFileTest, ProjectsNamedApartAfterADotKeepTheirOwnPictures)
{
    AddPictures({"/2004/a.jpg"}, {"old trip"});
    Wizard->Memo3->Lines().SetText("2004 text\r\n");
    ASSERT_NO_THROW(WriteProjectFile(*Wizard, Path("trip.2004.vt2")));
    Wizard->ListBox1->Clear();
    Wizard->ListBox2->Clear();
    AddPictures({"/2005/b.jpg", "/2005/c.jpg"});
    Wizard->Memo3->Lines().SetText("2005 text\r\n");
    ASSERT_NO_THROW(WriteProjectFile(*Wizard, Path("trip.2005.vt2")));
    EXPECT_TRUE(FileExists(Path("trip.2004._tn")));
    EXPECT_TRUE(FileExists(Path("trip.2005.tx1")));

    ASSERT_NO_THROW(ReadProjectFile(*Wizard, Path("trip.2004.vt2")));
    EXPECT_EQ(Wizard->ListBox1->Items().Text(), "/2004/a.jpg\r\n");
    EXPECT_EQ(Wizard->ListBox2->Items().Text(), "old trip\r\n");
    EXPECT_EQ(Wizard->Memo3->Lines().Text(), "2004 text\r\n");

    CopyFileTo(Path("trip.2005.vt2"), Path("older.2003.vt2"));
    CopyFileTo(Path("trip.2005._tn"), Path("older._tn"));
    CopyFileTo(Path("trip.2005._tk"), Path("older._tk"));
    CopyFileTo(Path("trip.2005.tx1"), Path("older.tx1"));
    ASSERT_NO_THROW(ReadProjectFile(*Wizard, Path("older.2003.vt2")));
    EXPECT_EQ(Wizard->ListBox1->Items().Text(), "/2005/b.jpg\r\n/2005/c.jpg\r\n");
    EXPECT_EQ(Wizard->Memo3->Lines().Text(), "2005 text\r\n");
}

// The options share one 255-character field: a long link address is cut
// there, never the sizes and switches saved after it.
TEST_F(ProjectFileTest, ALongLinkAddressKeepsTheOptionsAfterIt)
{
    for (const std::size_t length : {219u, 220u, 231u, 400u}) {
        SCOPED_TRACE(length);
        const std::string address = "http://example.org/" + std::string(length - 19, 'a');
        Wizard->Edit9->SetText(address);
        Wizard->Edit8->SetText("25");
        LimitsDialog->Edit3->SetText("90");
        Wizard->CheckBox2->SetChecked(false);
        const std::string file = Path("long" + std::to_string(length) + ".vt2");
        ASSERT_NO_THROW(WriteProjectFile(*Wizard, file));
        Wizard->Edit8->SetText("10");
        LimitsDialog->Edit3->SetText("150");
        Wizard->CheckBox2->SetChecked(true);
        ASSERT_NO_THROW(ReadProjectFile(*Wizard, file));
        EXPECT_EQ(Wizard->Edit8->Text(), "25");
        EXPECT_EQ(LimitsDialog->Edit3->Text(), "90");
        EXPECT_FALSE(Wizard->CheckBox2->Checked());
        EXPECT_EQ(address.compare(0, Wizard->Edit9->Text().size(), Wizard->Edit9->Text()), 0);
        EXPECT_GE(Wizard->Edit9->Text().size(), 200u);
    }
}

TEST_F(ProjectFileTest, TheCommentListIsKeptInStepWithThePictures)
{
    const struct {
        const char* Name;
        const char* Comments;  // nullptr: no "._tk"
        const char* Expected;
    } cases[] = {
        {"fewer", "only\r\n", "only\r\n \r\n \r\n"},
        {"more", "a\r\nb\r\nc\r\nd\r\ne\r\n", "a\r\nb\r\nc\r\n"},
        {"none", nullptr, " \r\n \r\n \r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string stem = Path(c.Name);
        WriteFileBytes(stem + ".vt2", TRecordBytes().Byte(0, 1).Text(265, "1").Text(276, "1").Text(261, "1")
                                          .Text(545, "1").Text(549, "1").Text(815, "9").Text(819, "9")
                                          .Text(823, "9").Bytes());
        WriteFileBytes(stem + "._tn", "/1.jpg\r\n/2.jpg\r\n/3.jpg\r\n");
        if (c.Comments)
            WriteFileBytes(stem + "._tk", c.Comments);
        ASSERT_NO_THROW(ReadProjectFile(*Wizard, stem + ".vt2"));
        EXPECT_EQ(Wizard->ListBox2->Items().Text(), c.Expected);
    }
}

TEST_F(ProjectFileTest, TheOlderRecordLoadsItsPartOnly)
{
    TRecordBytes r(GalleryProjectRecordV1Size);
    r.Byte(0, 1).Byte(2, 1).Text(3, "/old/").Byte(259, 0).Byte(260, 1).Text(261, "20").Text(265, "150");
    r.Text(276, "170").Byte(287, 0).Text(288, "Old").Byte(544, 1).Text(545, "2").Text(549, "5");
    r.Byte(553, 1).Byte(556, 1).Byte(557, 1).Byte(814, 2).Text(815, "12").Text(819, "7").Text(823, "11");
    r.Colour(828, 0x010203).Colour(832, 0x040506);
    WriteFileBytes(Path("old.vtn"), r.Bytes());
    WriteFileBytes(Path("old._tn"), "/o/1.jpg\r\n/o/2.jpg\r\n/o/3.jpg\r\n");
    WriteFileBytes(Path("old._tk"), "ignored\r\n");
    WriteFileBytes(Path("old.tx1"), "old text\r\n");
    CopyrightDialog->Edit1->SetText("mine");
    Wizard->Edit9->SetText("http://kept/");
    Wizard->CheckBox14->SetChecked(true);

    Script.AnswerOpen({Path("old.vtn")});
    Wizard->Load1->Click();
    EXPECT_EQ(Wizard->ListBox1->Count(), 3);
    EXPECT_EQ(Wizard->ListBox2->Items().Text(), " \r\n \r\n \r\n");
    EXPECT_EQ(Wizard->Label2->Caption(), "/old/");
    EXPECT_EQ(Wizard->Edit2->Text(), "150");
    EXPECT_EQ(Wizard->UpDown2->Position(), 150);
    EXPECT_EQ(Wizard->UpDown3->Position(), 170);
    EXPECT_EQ(Wizard->Edit5->Text(), "2");
    EXPECT_EQ(Wizard->Memo3->Lines().Text(), "old text\r\n");
    EXPECT_EQ(FontOptionsDialog->ComboBox1->ItemIndex(), 2);
    EXPECT_EQ(FontOptionsDialog->Edit2->Text(), "7");
    EXPECT_EQ(FontOptionsDialog->TextColor(), static_cast<TColor>(0x010203));
    // What the older record does not hold keeps its value.
    EXPECT_EQ(CopyrightDialog->Edit1->Text(), "mine");
    EXPECT_EQ(Wizard->Edit9->Text(), "http://kept/");
    EXPECT_TRUE(Wizard->CheckBox14->Checked());
}

TEST_F(ProjectFileTest, ARefusedLoadNamesTheFileAndChangesNothing)
{
    SetTellingValues();
    ASSERT_NO_THROW(WriteProjectFile(*Wizard, Path("good.vt2")));
    const std::string good = ReadFileBytes(Path("good.vt2"));
    Wizard->Edit4->SetText("current");
    const std::vector<std::string> before = State();

    std::string longText = good;
    longText[261] = 4;  // a 3-character room claiming 4
    std::string noNumber = good;
    noNumber[265] = 0;  // an empty thumbnail height
    const struct {
        const char* Name;
        std::string Bytes;
        const char* RemoveSide;  // a side file taken away
    } cases[] = {
        {"short", good.substr(0, 2627), nullptr},
        {"long", good + '\0', nullptr},
        {"length", longText, nullptr},
        {"number", noNumber, nullptr},
        {"pictures", good, "._tn"},
        {"text", good, ".tx3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string stem = Path(std::string("bad-") + c.Name);
        WriteFileBytes(stem + ".vt2", c.Bytes);
        for (const char* side : {"._tn", "._tk", ".tx1", ".tx3"})
            if (!c.RemoveSide || std::string(side) != c.RemoveSide)
                CopyFileTo(Path(std::string("good") + side), stem + side);
        Script.AnswerOpen({stem + ".vt2"}).AnswerMessage(IDOK, stem);
        Wizard->Load1->Click();
        EXPECT_EQ(Script.Pending(), 0u) << "no message named the file";
        EXPECT_EQ(State(), before);
    }
    // A file of neither kind is said to be none and read by no reader.
    Script.AnswerOpen({Path("good._tn")}).AnswerMessage(IDOK, "is not a gallery project");
    Wizard->Load1->Click();
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_EQ(State(), before);
    // The older reader refuses a record of the newer size.
    CopyFileTo(Path("good.vt2"), Path("wrong.vtn"));
    Script.AnswerOpen({Path("wrong.vtn")}).AnswerMessage(IDOK, "wrong.vtn");
    Wizard->Load1->Click();
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_EQ(State(), before);
}

TEST_F(ProjectFileTest, AMovedBackgroundPictureIsToldAndTheRestLoads)
{
    SetTellingValues();
    ASSERT_NO_THROW(WriteProjectFile(*Wizard, Path("moved.vt2")));
    // What the project loads as while its background is where it was.
    Script.AnswerOpen({Path("moved.vt2")});
    Wizard->Load1->Click();
    std::vector<std::string> expected = State();
    expected[7] = "";

    std::string bytes = ReadFileBytes(Path("moved.vt2"));
    bytes[558] = 10;
    bytes.replace(559, 10, "/not/there");
    WriteFileBytes(Path("moved.vt2"), bytes);
    Wizard->Edit4->SetText("current");
    Script.AnswerOpen({Path("moved.vt2")}).AnswerMessage(IDOK, "/not/there");
    Wizard->Load1->Click();
    EXPECT_EQ(Script.Pending(), 0u) << "no message named the picture";
    EXPECT_EQ(State(), expected) << "everything but the background is the project's";
    EXPECT_TRUE(BackgroundDialog->Image1->Picture().Empty());
}

TEST_F(ProjectFileTest, SaveAddsTheExtensionAndReplacesAnOlderProject)
{
    WriteFileBytes(Path("same.vt2"), "old bytes");
    Wizard->Edit4->SetText("fresh");
    Script.AnswerSave(Path("same.vt2"));
    Wizard->Save1->Click();
    EXPECT_EQ(Field(ReadFileBytes(Path("same.vt2")), 288), "fresh");
    EXPECT_FALSE(FileExists(Path("same.vt2.vt2")));
    // Cancel writes nothing.
    Script.AnswerSave("");
    Wizard->Save1->Click();
    EXPECT_EQ(FindFiles(Folder.Path(), "*.vt2").size(), 1u);
    // Only the name's own extension counts, in either case.
    Script.AnswerSave(Path("TRIP.VT2"));
    Wizard->Save1->Click();
    EXPECT_TRUE(FileExists(Path("TRIP.VT2")));
    EXPECT_FALSE(FileExists(Path("TRIP.VT2.vt2")));
    ASSERT_TRUE(CreateDir(Path("old.vt2s")));
    Script.AnswerSave(Path("old.vt2s/trip"));
    Wizard->Save1->Click();
    EXPECT_TRUE(FileExists(Path("old.vt2s/trip.vt2")));
    // A folder that cannot be written is reported with the file's name.
    Script.AnswerSave(Path("missing/folder/p.vt2")).AnswerMessage(IDOK, "p.vt2");
    Wizard->Save1->Click();
    EXPECT_EQ(Script.Pending(), 0u);
}

TEST(ProjectOptions, OlderTextsAndADollarInTheAddress)
{
    TProjectOptions defaults;
    EXPECT_EQ(ComposeProjectOptions(defaults), "DATA:$0$0$0$http://$0$10$400$600$150$1$1$1");
    const auto older = ParseProjectOptions("DATA:$1$0$1$http://a/$0$5$100$200$300");
    ASSERT_TRUE(older);
    EXPECT_EQ(older->MaxPictureKB, "300");
    EXPECT_FALSE(older->CommentsInGallery);
    EXPECT_FALSE(older->CommentsOnFullPages);
    EXPECT_FALSE(older->CommentsInEmail);
    // A "$" in the address does not shift the later fields.
    for (const char* address : {"http://a/$b", "http://a/?p=$1$$x$"}) {
        SCOPED_TRACE(address);
        TProjectOptions options;
        options.LinkUrl = address;
        options.SlideShow = true;
        options.SlideShowSeconds = "7";
        options.MaxPictureKB = "90";
        options.CommentsOnFullPages = false;
        const auto back = ParseProjectOptions(ComposeProjectOptions(options));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->LinkUrl, address);
        EXPECT_TRUE(back->SlideShow);
        EXPECT_EQ(back->SlideShowSeconds, "7");
        EXPECT_EQ(back->MaxPictureHeight, "400");
        EXPECT_EQ(back->MaxPictureKB, "90");
        EXPECT_EQ(back->CommentsInGallery, std::optional<bool>(true));
        EXPECT_EQ(back->CommentsOnFullPages, std::optional<bool>(false));
        EXPECT_EQ(back->CommentsInEmail, std::optional<bool>(true));
    }
    EXPECT_FALSE(ParseProjectOptions("no options"));
    EXPECT_EQ(ProjectSideFileStem("/a.b/trip.2004.vt2"), "/a.b/trip.2004");
    EXPECT_EQ(OlderProjectSideFileStem("/a.b/trip.2004.vt2"), "/a.b/trip");
}

}  // namespace

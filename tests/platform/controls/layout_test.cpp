// A form read from a layout holding one of every control, driven headless,
// and the layout reader's and writer's rules.

#include "platform/controls/LayoutReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/HeadlessInteraction.h"
#include "platform/controls/InputDriver.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCheckBox.h"
#include "platform/controls/TComboBox.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TFileControls.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TListBox.h"
#include "platform/controls/TMenu.h"
#include "platform/controls/TPageControl.h"
#include "platform/controls/TPanel.h"
#include "platform/controls/TTimer.h"
#include "platform/controls/TToolBar.h"
#include "platform/controls/TTrackBar.h"
#include "platform/controls/TUpDown.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "platform/loop/Clock.h"
#include "tests/support/TempFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class TEveryForm : public TForm {
public:
    explicit TEveryForm(TComponent* owner, const std::string& layout = "everycontrol") : TForm(owner)
    {
        THandlerTable h;
        h.Add("FormCreate", this, &TEveryForm::FormCreate);
        h.Add("FormShow", this, &TEveryForm::FormShow);
        h.Add("FormClose", this, &TEveryForm::FormClose);
        h.Add("Edit1Change", this, &TEveryForm::Edit1Change);
        h.Add("Edit2Change", this, &TEveryForm::Edit2Change);
        h.Add("UpDown1Click", this, &TEveryForm::UpDown1Click);
        h.Add("Button1Click", this, &TEveryForm::Button1Click);
        h.Add("BitBtn1Click", this, &TEveryForm::BitBtn1Click);
        h.Add("SpeedButton1Click", this, &TEveryForm::Note);
        h.Add("CheckBox1Click", this, &TEveryForm::CheckBox1Click);
        h.Add("RadioClick", this, &TEveryForm::RadioClick);
        h.Add("ListBox1Click", this, &TEveryForm::ListBox1Click);
        h.Add("ComboBox1Change", this, &TEveryForm::ComboBox1Change);
        h.Add("TrackBar1Change", this, &TEveryForm::TrackBar1Change);
        h.Add("PageControl1Change", this, &TEveryForm::Note);
        h.Add("ToolButton1Click", this, &TEveryForm::Note);
        h.Add("Image1Click", this, &TEveryForm::Note);
        h.Add("PaintBox1Paint", this, &TEveryForm::PaintBox1Paint);
        h.Add("Timer1Timer", this, &TEveryForm::Timer1Timer);
        h.Add("Open1Click", this, &TEveryForm::Open1Click);
        h.Add("Copy1Click", this, &TEveryForm::Note);
        ReadLayout(layout, h);
        Edit1 = Child<TEdit>("Edit1");
        Edit2 = Child<TEdit>("Edit2");
        UpDown1 = Child<TUpDown>("UpDown1");
        CheckBox1 = Child<TCheckBox>("CheckBox1");
        RadioButton2 = Child<TRadioButton>("RadioButton2");
        ListBox1 = Child<TListBox>("ListBox1");
        ComboBox1 = Child<TComboBox>("ComboBox1");
        TrackBar1 = Child<TTrackBar>("TrackBar1");
        Timer1 = Child<TTimer>("Timer1");
        OpenPictureDialog1 = Child<TOpenPictureDialog>("OpenPictureDialog1");
        ColorDialog1 = Child<TColorDialog>("ColorDialog1");
    }

    std::vector<std::string> Log;
    TEdit* Edit1;
    TEdit* Edit2;
    TUpDown* UpDown1;
    TCheckBox* CheckBox1;
    TRadioButton* RadioButton2;
    TListBox* ListBox1;
    TComboBox* ComboBox1;
    TTrackBar* TrackBar1;
    TTimer* Timer1;
    TOpenPictureDialog* OpenPictureDialog1;
    TColorDialog* ColorDialog1;

private:
    static std::string NameOf(TObject* sender)
    {
        auto* c = dynamic_cast<TComponent*>(sender);
        return c ? c->Name() : "?";
    }
    void Note(TObject* sender) { Log.push_back(NameOf(sender)); }
    void FormCreate(TObject*) { Log.push_back("FormCreate"); }
    void FormShow(TObject*) { Log.push_back("FormShow"); }
    void FormClose(TObject*, TCloseAction& action) { Log.push_back("FormClose"); }
    void Edit1Change(TObject*) { Log.push_back("Edit1Change " + Edit1->Text()); }
    void Edit2Change(TObject*) { Log.push_back("Edit2Change " + Edit2->Text()); }
    void UpDown1Click(TObject*, TUDBtnType) { Log.push_back("UpDown1Click " + std::to_string(UpDown1->Position())); }
    void Button1Click(TObject*) { Log.push_back("Button1Click"); }
    void BitBtn1Click(TObject*)
    {
        const int answer = MessageDlg("Really?", mtConfirmation, mbYes | mbNo);
        Log.push_back("BitBtn1Click " + std::to_string(answer));
    }
    void CheckBox1Click(TObject*) { Log.push_back("CheckBox1Click " + std::to_string(CheckBox1->Checked())); }
    void RadioClick(TObject* sender) { Log.push_back("RadioClick " + NameOf(sender)); }
    void ListBox1Click(TObject*) { Log.push_back("ListBox1Click " + ListBox1->Items().Strings(ListBox1->ItemIndex())); }
    void ComboBox1Change(TObject*) { Log.push_back("ComboBox1Change " + ComboBox1->Text()); }
    void TrackBar1Change(TObject*) { Log.push_back("TrackBar1Change " + std::to_string(TrackBar1->Position())); }
    void PaintBox1Paint(TObject*) { ++Paints; }
    void Timer1Timer(TObject*)
    {
        Timer1->SetEnabled(false);
        Log.push_back("Timer1Timer");
    }
    void Open1Click(TObject*)
    {
        if (OpenPictureDialog1->Execute())
            for (int i = 0; i < OpenPictureDialog1->Files().Count(); ++i)
                Log.push_back("chosen " + OpenPictureDialog1->Files().Strings(i));
        if (ColorDialog1->Execute()) Log.push_back("colour " + std::to_string(ColorDialog1->Color()));
    }

public:
    int Paints = 0;
};

class LayoutTest : public ::testing::Test {
protected:
    LayoutTest() { SetLayoutDirectory(GALLERY_SOURCE_DIR "/tests/data/controls"); }
    TApplication App;
    THeadlessScript Script;
};

void PumpUntil(const std::function<bool()>& done)
{
    const DWORD start = timeGetTime();
    while (!done() && timeGetTime() - start < 2000) {
        Application->ProcessMessages();
        Sleep(2);
    }
}

TEST_F(LayoutTest, EveryControlDrivenHeadlessRunsItsHandlersInOrder)
{
    TEveryForm* form = nullptr;
    App.CreateForm(form);
    EXPECT_EQ(form->Caption(), "Every control \xFC");  // UTF-8 in the file, CP1252 inside
    EXPECT_EQ(form->Child<TLabel>("Label1")->Caption(), "Name:\there");
    EXPECT_EQ(form->Child<TStaticText>("StaticText1")->Caption(), "It's static");
    EXPECT_EQ(form->Child<TLabel>("Label1")->Font().Style(), fsBold | fsUnderline);
    EXPECT_EQ(form->Child<TLabel>("Label1")->Font().Name(), "Arial");  // from the form
    EXPECT_EQ(form->Child<TMemo>("Memo1")->Text(), "first line\r\nsecond line");
    EXPECT_EQ(form->Edit2->Text(), "5");  // associating does not rewrite it
    EXPECT_EQ(form->ComboBox1->Text(), "Arial");
    EXPECT_EQ(form->Child<TPageControl>("PageControl1")->ActivePage(), form->Child<TTabSheet>("TabSheet1"));
    EXPECT_EQ(form->Menu(), form->Child<TMainMenu>("MainMenu1"));
    EXPECT_EQ(form->Child<TMenuItem>("File1")->Count(), 4);
    EXPECT_EQ(form->Child<TImage>("Image1")->Cursor(), crHandPoint);
    EXPECT_EQ(form->Child<TShape>("Shape1")->PenStyle(), psDot);
    EXPECT_EQ(form->Child<TToolBar>("ToolBar1")->Align(), alBottom);
    EXPECT_EQ(form->Child<TToolBar>("ToolBar1")->Top(), form->ClientHeight() - 29);
    EXPECT_EQ(form->Child<TToolBar>("ToolBar1")->Width(), form->ClientWidth());
    EXPECT_TRUE(form->Child<TRadioButton>("RadioButton1")->Checked());
    EXPECT_EQ(App.MainForm(), form);

    form->Show();
    InputDriver::Click(*form->Child<TButton>("Button1"));
    InputDriver::PressKey(*form, VK_RETURN);  // the default button
    InputDriver::Click(*form->CheckBox1);
    InputDriver::Click(*form->RadioButton2);
    InputDriver::TypeText(*form->Edit1, "7");
    form->UpDown1->ClickButton(btNext);
    form->TrackBar1->SetFocus();
    InputDriver::PressKey(*form, VK_LEFT);
    InputDriver::ClickAt(*form->ListBox1, 5, form->ListBox1->ItemHeight() + 2);
    form->ComboBox1->SelectAsUser(1);
    PumpUntil([form] { return !form->Timer1->Enabled(); });
    Script.AnswerMessage(IDYES, "Really?");
    InputDriver::Click(*form->Child<TBitBtn>("BitBtn1"));
    Script.AnswerOpen({"/pics/a.jpg", "/pics/b.jpg"}).AnswerColor(clRed);
    form->Child<TMenuItem>("Open1")->Click();
    Script.AnswerPopup("Copy1");
    InputDriver::ClickAt(*form->Child<TPanel>("Panel1"), 150, 80, mbRight);
    auto* pages = form->Child<TPageControl>("PageControl1");
    const TRect tab = pages->TabRect(form->Child<TTabSheet>("TabSheet2"));
    InputDriver::ClickAt(*pages, tab.Left + 2, tab.Top + 2);
    InputDriver::Click(*form->Child<TToolButton>("ToolButton1"));
    InputDriver::Click(*form->Child<TImage>("Image1"));
    InputDriver::Click(*form->Child<TSpeedButton>("SpeedButton1"));

    const std::vector<std::string> expected = {
        "FormCreate",
        "FormShow",
        "Button1Click",
        "Button1Click",
        "CheckBox1Click 1",
        "RadioClick RadioButton2",
        "Edit1Change 7",
        "Edit2Change 6",
        "UpDown1Click 6",
        "TrackBar1Change 9",
        "ListBox1Click beta",
        "ComboBox1Change Verdana",
        "Timer1Timer",
        "BitBtn1Click 6",
        "chosen /pics/a.jpg",
        "chosen /pics/b.jpg",
        "colour 255",
        "Copy1",
        "PageControl1",
        "ToolButton1",
        "Image1",
        "SpeedButton1",
    };
    EXPECT_EQ(form->Log, expected);
    EXPECT_EQ(Script.Pending(), 0u);
    EXPECT_TRUE(form->Child<TSpeedButton>("SpeedButton1")->Down());
    App.ProcessMessages();
    EXPECT_GE(form->Paints, 1);

    // Closing the main form ends the application.
    form->Close();
    EXPECT_TRUE(App.Terminated());
    EXPECT_EQ(form->Log.back(), "FormClose");
}

TEST_F(LayoutTest, FileListsFollowTheirFolder)
{
    const std::string dir = GetCurrentDir() + "/layout_test_folder";
    ForceDirectories(dir + "/sub");
    for (const char* name : {"b.JPG", "a.gif", "c.txt", ".hidden.jpg"}) WriteFileBytes(dir + "/" + name, "x");
    TEveryForm* form = nullptr;
    App.CreateForm(form);
    auto* dirs = form->Child<TDirectoryListBox>("DirectoryListBox1");
    auto* files = form->Child<TFileListBox>("FileListBox1");
    int changes = 0;
    dirs->OnChange = [&changes](TObject*) { ++changes; };
    dirs->SetDirectory(dir);
    EXPECT_EQ(files->Directory(), dir);
    EXPECT_EQ(files->Items().Items(), (std::vector<std::string>{"a.gif", "b.JPG"}));
    EXPECT_EQ(dirs->Items().Strings(dirs->Items().Count() - 1), "sub");
    EXPECT_EQ(dirs->GetItemPath(dirs->ItemIndex()), dir);
    dirs->OpenAsUser(dirs->Items().Count() - 1);
    EXPECT_EQ(files->Directory(), dir + "/sub");
    EXPECT_EQ(files->Count(), 0);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(form->Child<TDriveComboBox>("DriveComboBox1")->Items().Items(), (std::vector<std::string>{"/"}));
    for (const char* name : {"b.JPG", "a.gif", "c.txt", ".hidden.jpg"}) DeleteFile(dir + "/" + name);
    RemoveDir(dir + "/sub");
    RemoveDir(dir);
}

TEST_F(LayoutTest, FileListsShowWhatCp1252HoldsAndKeepTheRestToTell)
{
    testsupport::TempFolder folder;
    const std::string dir = ExcludeTrailingPathDelimiter(folder.Path());
    // Cyrillic and Polish names, made by their UTF-8 bytes as another program would.
    const std::string cyrillic = "\xD0\x9C\xD0\xB8\xD1\x80.jpg";
    const std::string polish = "\xC5\x81\xC3\xB3" "d\xC5\xBA";
    ASSERT_EQ(::close(::creat((folder.Path() + cyrillic).c_str(), 0644)), 0);
    ASSERT_EQ(::mkdir((folder.Path() + polish).c_str(), 0755), 0);
    ForceDirectories(dir + "/sub");
    WriteFileBytes(dir + "/a.gif", "x");
    TEveryForm* form = nullptr;
    App.CreateForm(form);
    auto* dirs = form->Child<TDirectoryListBox>("DirectoryListBox1");
    auto* files = form->Child<TFileListBox>("FileListBox1");
    dirs->SetDirectory(dir);
    EXPECT_EQ(files->Items().Items(), (std::vector<std::string>{"a.gif"}));
    EXPECT_EQ(files->Unrepresentable(), (std::vector<std::string>{"\\xD0\\x9C\\xD0\\xB8\\xD1\\x80.jpg"}));
    EXPECT_EQ(dirs->Items().Strings(dirs->Items().Count() - 1), "sub");
    files->SetMask("*.gif");
    EXPECT_TRUE(files->Unrepresentable().empty()) << "each reading tells its own";
}

TEST_F(LayoutTest, AFolderListSwitchesDrivesAndRefusesOneThatIsGone)
{
    // A medium listed as a drive and then taken out.
    const std::string stick = GetCurrentDir() + "/layout_test_stick";
    ForceDirectories(stick + "/photos");
    TEveryForm* form = nullptr;
    App.CreateForm(form);
    auto* drives = form->Child<TDriveComboBox>("DriveComboBox1");
    auto* dirs = form->Child<TDirectoryListBox>("DirectoryListBox1");
    drives->Items().Add(stick);
    drives->SetDrive(stick);
    EXPECT_EQ(drives->Drive(), stick);

    dirs->SetDrive(drives->Drive());
    EXPECT_EQ(dirs->Directory(), stick);
    dirs->SetDirectory(stick + "/photos");
    EXPECT_EQ(dirs->Drive(), stick);
    dirs->SetDrive("/");
    EXPECT_EQ(dirs->Directory(), "/");
    EXPECT_EQ(dirs->Drive(), "/");

    RemoveDir(stick + "/photos");
    RemoveDir(stick);
    EXPECT_THROW(dirs->SetDrive(stick), EInOutError);
    EXPECT_EQ(dirs->Directory(), "/");
    EXPECT_EQ(dirs->Drive(), "/");

    // Listing again drops the drive that is gone and falls back to the root.
    drives->Update();
    EXPECT_EQ(drives->Items().IndexOf(stick), -1);
    EXPECT_EQ(drives->Drive(), "/");
}

TEST_F(LayoutTest, WrittenLayoutsReadBackToTheSameComponents)
{
    TEveryForm* form = nullptr;
    App.CreateForm(form);
    form->ListBox1->SetItemIndex(2);
    form->Edit1->SetText("it's\r\n\"new\" \xE4");
    const std::string first = WriteComponentLayout(*form);
    RegisterLayoutResource("everycontrol-copy", first);
    auto* copy = new TEveryForm(nullptr, "everycontrol-copy");
    const std::unique_ptr<TEveryForm> owned(copy);
    EXPECT_EQ(copy->Edit1->Text(), form->Edit1->Text());
    EXPECT_EQ(copy->ListBox1->ItemIndex(), 2);
    EXPECT_EQ(copy->Child<TPageControl>("PageControl1")->PageCount(), 3);
    EXPECT_FALSE(copy->Child<TTabSheet>("TabSheet3")->TabVisible());
    EXPECT_EQ(copy->Child<TCheckBox>("CheckBox2")->Parent(), copy->Child<TTabSheet>("TabSheet1"));
    EXPECT_EQ(copy->UpDown1->Associate(), copy->Edit2);
    EXPECT_EQ(WriteComponentLayout(*copy), first);
    EXPECT_NE(first.find("OnClick = Button1Click"), std::string::npos);
    EXPECT_EQ(first.find("\n  Name = "), std::string::npos);  // names stand in the object lines
}

TEST_F(LayoutTest, BrokenLayoutsFailLoudlyAtFormCreation)
{
    struct Case {
        const char* Name;
        const char* Body;
        const char* Message;
    } cases[] = {
        {"unknown class", "object X: TNoSuchControl\nend", "unknown class TNoSuchControl"},
        {"unknown property", "object X: TButton\n Colour = 1\nend", "unknown property TButton.Colour"},
        {"unknown handler", "object X: TButton\n OnClick = Missing\nend", "unknown handler Missing"},
        {"handler of another kind", "object X: TButton\n OnMouseDown = Click\nend", "does not fit"},
        {"text for a number", "object X: TButton\n Left = 'ten'\nend", "expected a number"},
        {"unknown enumeration value", "object X: TPanel\n BevelOuter = bvDeep\nend", "unknown value bvDeep"},
        {"unknown set member", "object X: TLabel\n Font.Style = [fsHeavy]\nend", "unknown set member"},
        {"reference to nothing", "object X: TUpDown\n Associate = Nowhere\nend", "no fitting component"},
        {"reference of another class", "object X: TUpDown\n Associate = Timer\nend\nobject Timer: TTimer\nend",
         "no fitting component"},
        {"unterminated text", "object X: TButton\n Caption = 'abc\nend", "unterminated text"},
        {"missing end", "object X: TButton\n", "missing end"},
        {"duplicate name", "object X: TButton\nend\nobject X: TEdit\nend", "exists already"},
        {"number out of range", "object X: TButton\n Left = 99999999999\nend", "out of range"},
        {"odd binary", "object X: TImage\n Picture.Data = {ABC}\nend", "odd number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        THandlerTable handlers;
        handlers.AddFunction<TNotifyEvent>("Click", [](TObject*) {});
        TForm form(nullptr);
        const std::string text = std::string("object Broken: TForm\n") + c.Body + "\nend\n";
        try {
            form.ReadLayoutText(text, handlers, "broken");
            ADD_FAILURE() << "no error";
        } catch (const ELayoutError& e) {
            EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("broken line"), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(LayoutResource("no-such-layout"), ELayoutError);
}

// A form whose members come from its binding table.
class TBoundForm : public TForm {
public:
    using TForm::TForm;
    TButton* Button = nullptr;
    TEdit* Field = nullptr;
};

TEST_F(LayoutTest, BindingTablesFillTheMembersAndFailOnANameTheLayoutLacks)
{
    const TBindingTable bindings = {{"Button1", &TBoundForm::Button}, {"Edit1", &TBoundForm::Field}};
    const THandlerTable handlers;
    const std::string both = "object F: TForm\nobject Button1: TButton\nend\nobject Edit1: TEdit\nend\nend\n";
    TBoundForm form(nullptr);
    form.ReadLayoutText(both, handlers, "bound", &bindings);
    EXPECT_EQ(form.Button, form.FindComponent("Button1"));
    EXPECT_EQ(form.Field, form.FindComponent("Edit1"));

    struct Case {
        const char* Name;
        const char* Text;
    } cases[] = {
        {"name missing", "object F: TForm\nobject Button1: TButton\nend\nend\n"},
        {"another class", "object F: TForm\nobject Button1: TButton\nend\nobject Edit1: TLabel\nend\nend\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TBoundForm broken(nullptr);
        try {
            broken.ReadLayoutText(c.Text, handlers, "bound", &bindings);
            ADD_FAILURE() << "no error";
        } catch (const ELayoutError& e) {
            EXPECT_NE(std::string(e.what()).find("bound: no component Edit1"), std::string::npos) << e.what();
        }
    }
    // A table of another form's members does not fit this one.
    TForm other(nullptr);
    EXPECT_THROW(other.ReadLayoutText(both, handlers, "other", &bindings), ELayoutError);
}

// A panel that keeps what is placed on it on an inner panel.
class TFramedPanel : public TPanel {
public:
    explicit TFramedPanel(TComponent* owner) : TPanel(owner), FInner(new TPanel(this)) { FInner->SetParent(this); }
    const char* ClassName() const override { return "TFramedPanel"; }
    TComponent& ChildParent() override { return *FInner; }
    TPanel& Inner() const { return *FInner; }

private:
    TPanel* FInner;
};

TEST_F(LayoutTest, ChildrenGoToAndAreWrittenFromTheirParentsChildParent)
{
    RegisterComponentClass<TFramedPanel>("TFramedPanel");
    const std::string text =
        "object F: TForm\n"
        "  object Frame: TFramedPanel\n"
        "    object Label1: TLabel\n"
        "      Caption = 'inside'\n"
        "    end\n"
        "  end\n"
        "end\n";
    TForm form(nullptr);
    ReadComponentLayout(form, text, nullptr, "framed");
    auto* frame = form.Child<TFramedPanel>("Frame");
    EXPECT_EQ(form.Child<TLabel>("Label1")->Parent(), &frame->Inner());
    const std::string written = WriteComponentLayout(form);
    EXPECT_NE(written.find("  object Frame: TFramedPanel\n"
                           "    object Label1: TLabel\n"),
              std::string::npos)
        << written;
    TForm copy(nullptr);
    ReadComponentLayout(copy, written, nullptr, "framed-copy");
    EXPECT_EQ(copy.Child<TLabel>("Label1")->Parent(), &copy.Child<TFramedPanel>("Frame")->Inner());
    EXPECT_EQ(WriteComponentLayout(copy), written);
}

TEST_F(LayoutTest, ComponentsReadFromStoredPropertiesKeepTheirValues)
{
    // A non-visual component streams like a control, without a parent.
    TForm form(nullptr);
    THandlerTable handlers;
    form.ReadLayoutText("object F: TForm\n object T: TTimer\n  Enabled = False\n  Interval = 250\n end\nend\n", handlers,
                        "timer");
    auto* timer = form.Child<TTimer>("T");
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 250u);
    EXPECT_FALSE(timer->Running());
    EXPECT_NE(WriteComponentLayout(form).find("Interval = 250"), std::string::npos);
}

// A bitmap that stores a different picture in a layout than it saves.
class TLayoutBitmap : public TBitmap {
public:
    using TBitmap::TBitmap;
    void WriteData(TStream& stream) override
    {
        TBitmap stored(3, 1, pf24bit);
        stored.Fill(clRed);
        stored.SaveToStream(stream);
    }
};

TEST_F(LayoutTest, AnImageStoresWhatItsPictureWritesAsComponentData)
{
    TForm form(nullptr);
    form.SetName("F");
    auto* image = new TImage(&form);
    image->SetName("Image1");
    image->SetParent(&form);
    image->Picture().SetGraphic(std::make_unique<TLayoutBitmap>(1, 1, pf24bit));
    TForm copy(nullptr);
    ReadComponentLayout(copy, WriteComponentLayout(form), nullptr, "copy");
    const TPicture& stored = copy.Child<TImage>("Image1")->Picture();
    EXPECT_EQ(stored.Width(), 3);
    EXPECT_EQ(stored.Graphic() ? static_cast<TBitmap*>(stored.Graphic())->Pixel(2, 0) : clNone, clRed);
}

}  // namespace

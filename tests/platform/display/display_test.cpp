// The display backend under a private X server: the form with one of every
// control and the image button shown as real windows, driven by real X input
// (xdotool), with screenshots in <build>/screenshots/.

#include "platform/display/DisplayBackend.h"

#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "display_loop.h"
#include "x_server.h"
#include "platform/controls/LayoutReader.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/TScreen.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCheckBox.h"
#include "platform/controls/TComboBox.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TListBox.h"
#include "platform/controls/TMenu.h"
#include "platform/controls/TPanel.h"
#include "platform/controls/TTimer.h"
#include "platform/controls/TTrackBar.h"
#include "platform/controls/TUpDown.h"
#include "platform/core/Files.h"
#include "platform/display/HintWindow.h"
#include "platform/display/Toolkit.h"
#include "platform/loop/Clock.h"
#include "platform/loop/Messages.h"
#include "platform/loop/TEvent.h"
#include "shared/Tranbtn.h"
#include "tests/support/TempFolder.h"

namespace {

using DisplayLoop::Pump;
using DisplayLoop::PumpUntil;
using DisplayLoop::Shot;

TEST(DisplayHeadless, WithoutAServerNothingIsInstalled)
{
    // Runs before the display tests open their connection.
    if (DisplayBackendInstalled()) GTEST_SKIP() << "a display is already installed in this run";
    const char* saved = std::getenv("DISPLAY");
    const std::string keep = saved ? saved : "";
    for (const char* value : {"", ":97531"}) {
        SCOPED_TRACE(value);
        setenv("DISPLAY", value, 1);
        EXPECT_FALSE(InstallDisplayBackend());
        EXPECT_EQ(PeerFactory(), nullptr);
        EXPECT_EQ(InstalledUserInteraction(), nullptr);
    }
    if (saved) setenv("DISPLAY", keep.c_str(), 1);
    else unsetenv("DISPLAY");
}

class TEveryForm : public TForm {
public:
    explicit TEveryForm(TComponent* owner) : TForm(owner)
    {
        THandlerTable h;
        for (const char* name : {"FormCreate", "FormShow", "SpeedButton1Click", "PageControl1Change",
                                 "ToolButton1Click", "Image1Click", "Copy1Click"})
            h.Add(name, this, &TEveryForm::Note);
        h.Add("FormClose", this, &TEveryForm::FormClose);
        h.Add("Edit1Change", this, &TEveryForm::Edit1Change);
        h.Add("Edit2Change", this, &TEveryForm::Note);
        h.Add("UpDown1Click", this, &TEveryForm::UpDown1Click);
        h.Add("Button1Click", this, &TEveryForm::Button1Click);
        h.Add("BitBtn1Click", this, &TEveryForm::BitBtn1Click);
        h.Add("CheckBox1Click", this, &TEveryForm::CheckBox1Click);
        h.Add("RadioClick", this, &TEveryForm::Note);
        h.Add("ListBox1Click", this, &TEveryForm::ListBox1Click);
        h.Add("ComboBox1Change", this, &TEveryForm::ComboBox1Change);
        h.Add("TrackBar1Change", this, &TEveryForm::TrackBar1Change);
        h.Add("PaintBox1Paint", this, &TEveryForm::PaintBox1Paint);
        h.Add("Timer1Timer", this, &TEveryForm::Timer1Timer);
        h.Add("Open1Click", this, &TEveryForm::Open1Click);
        ReadLayout("everycontrol", h);
    }

    bool Logged(const std::string& entry) const { return std::find(Log.begin(), Log.end(), entry) != Log.end(); }
    template <class T>
    T& Get(const std::string& name) const
    {
        return *Child<T>(name);
    }

    std::vector<std::string> Log;

private:
    static std::string NameOf(TObject* sender)
    {
        auto* c = dynamic_cast<TComponent*>(sender);
        return c ? c->Name() : "?";
    }
    void Note(TObject* sender) { Log.push_back(NameOf(sender)); }
    void FormClose(TObject*, TCloseAction&) { Log.push_back("FormClose"); }
    void Edit1Change(TObject*) { Log.push_back("Edit1Change " + Get<TEdit>("Edit1").Text()); }
    void UpDown1Click(TObject*, TUDBtnType) { Log.push_back("UpDown1Click " + std::to_string(Get<TUpDown>("UpDown1").Position())); }
    void Button1Click(TObject*) { Log.push_back("Button1Click"); }
    void BitBtn1Click(TObject*) { Log.push_back("BitBtn1Click " + std::to_string(MessageDlg("Really?", mtConfirmation, mbYes | mbNo))); }
    void CheckBox1Click(TObject*) { Log.push_back("CheckBox1Click " + std::to_string(Get<TCheckBox>("CheckBox1").Checked())); }
    void ListBox1Click(TObject*)
    {
        const TListBox& list = Get<TListBox>("ListBox1");
        Log.push_back("ListBox1Click " + list.Items().Strings(list.ItemIndex()));
    }
    void ComboBox1Change(TObject*) { Log.push_back("ComboBox1Change " + Get<TComboBox>("ComboBox1").Text()); }
    void TrackBar1Change(TObject*) { Log.push_back("TrackBar1Change " + std::to_string(Get<TTrackBar>("TrackBar1").Position())); }
    void PaintBox1Paint(TObject* sender)
    {
        auto* box = dynamic_cast<TGraphicControl*>(sender);
        box->Canvas().Brush().SetColor(clNavy);
        box->Canvas().FillRect(Rect(5, 5, 45, 45));
    }
    void Timer1Timer(TObject*) { Get<TTimer>("Timer1").SetEnabled(false); }
    void Open1Click(TObject*) { Log.push_back("Open1Click"); }
};

const auto* const ServerEnvironment = ::testing::AddGlobalTestEnvironment(new DisplayLoop::TServerEnvironment);

class Display : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string why;
        if (!XServer::Start(why)) Skip = "no X server for the display tests: " + why;
        else if (!InstallDisplayBackend()) Skip = "the X server does not answer";
    }
    void SetUp() override
    {
        if (!Skip.empty()) GTEST_SKIP() << Skip;
        SetLayoutDirectory(GALLERY_SOURCE_DIR "/tests/data/controls");
        App = std::make_unique<TApplication>();
    }
    void TearDown() override
    {
        App.reset();
        Pump(50);
    }

    // A click at a control's point (its client coordinates) through the X server.
    static void ClickAt(const TControl& control, int x, int y, int button = 1)
    {
        const TPoint p = control.ClientToScreen({x, y});
        ASSERT_TRUE(XServer::Tool("mousemove --sync " + std::to_string(p.X) + " " + std::to_string(p.Y) + " click " +
                                  std::to_string(button)));
    }
    static void Click(const TControl& control) { ClickAt(control, control.Width() / 2, control.Height() / 2); }

    static inline std::string Skip;
    std::unique_ptr<TApplication> App;
};

TEST_F(Display, AllControlsShowAndAnswerRealInput)
{
    TEveryForm* form = nullptr;
    App->CreateForm(form);
    form->Show();
    ASSERT_NE(form->Peer(), nullptr);
    ASSERT_NE(form->Get<TButton>("Button1").Peer(), nullptr);
    Pump(400);

    Click(form->Get<TButton>("Button1"));
    EXPECT_TRUE(PumpUntil([&] { return form->Logged("Button1Click"); }));

    auto& edit = form->Get<TEdit>("Edit1");
    Click(edit);
    EXPECT_TRUE(PumpUntil([&] { return edit.Focused(); }));
    // Typed while the loop runs: xdotool maps keys for characters the layout lacks.
    XServer::Later("xdotool key End type --delay 40 'Zur\xC3\xBC" "ck'");
    EXPECT_TRUE(PumpUntil([&] { return edit.Text() == "10Zur\xFC" "ck"; })) << edit.Text();
    EXPECT_TRUE(form->Logged("Edit1Change 10Z"));

    // A character CP1252 cannot hold is dropped.
    XServer::Later("xdotool type --delay 40 '\xCE\xA9!'");
    EXPECT_TRUE(PumpUntil([&] { return edit.Text() == "10Zur\xFC" "ck!"; })) << edit.Text();

    auto& list = form->Get<TListBox>("ListBox1");
    ClickAt(list, 20, 2 + list.ItemHeight() + list.ItemHeight() / 2);
    EXPECT_TRUE(PumpUntil([&] { return form->Logged("ListBox1Click beta"); }));
    EXPECT_EQ(list.ItemIndex(), 1);

    Click(form->Get<TCheckBox>("CheckBox1"));
    EXPECT_TRUE(PumpUntil([&] { return form->Logged("CheckBox1Click 1"); }));
    Click(form->Get<TRadioButton>("RadioButton2"));
    EXPECT_TRUE(PumpUntil([&] { return form->Get<TRadioButton>("RadioButton2").Checked(); }));

    auto& track = form->Get<TTrackBar>("TrackBar1");
    ClickAt(track, track.Width() - 8, 10);
    EXPECT_TRUE(PumpUntil([&] { return form->Logged("TrackBar1Change 20"); }));

    auto& upDown = form->Get<TUpDown>("UpDown1");
    ClickAt(upDown, upDown.Width() / 2, 3);
    EXPECT_TRUE(PumpUntil([&] { return form->Logged("UpDown1Click 6"); }));
    EXPECT_EQ(form->Get<TEdit>("Edit2").Text(), "6");

    const std::string shot = Shot("all-controls", *form);
    EXPECT_FALSE(shot.empty());
}

TEST_F(Display, EditsSelectCopyAndPasteWithOneChangeEach)
{
    TEveryForm* form = nullptr;
    App->CreateForm(form);
    form->Show();
    Pump(300);
    auto& edit = form->Get<TEdit>("Edit1");
    Click(edit);
    EXPECT_TRUE(PumpUntil([&] { return edit.Focused(); }));
    form->Log.clear();
    // Select all and copy "10", select the last character with Shift, paste over it.
    XServer::Later(XServer::KeysTo("Every control.*", "key ctrl+a ctrl+c End shift+Left ctrl+v"));
    EXPECT_TRUE(PumpUntil([&] { return edit.Text() == "110"; })) << edit.Text();
    EXPECT_EQ(form->Log, std::vector<std::string>{"Edit1Change 110"});
    EXPECT_EQ(edit.SelStart(), 3);
}

TEST_F(Display, ImageButtonsShowThroughTheSurfaceAndClick)
{
    auto* form = new TForm(App.get());
    form->SetCaption("Image buttons");
    form->SetBounds(200, 200, 300, 140);
    TBitmap picture(40, 40, pf24bit);
    picture.Fill(clFuchsia);
    {
        TCanvas canvas(picture);
        canvas.Brush().SetColor(RGB(30, 120, 200));
        canvas.Pen().SetColor(RGB(10, 60, 120));
        canvas.Ellipse(2, 2, 38, 38);
        canvas.Brush().SetColor(clYellow);
        canvas.Ellipse(12, 12, 28, 28);
    }
    std::vector<std::string> log;
    const BStyle styles[] = {BSnone, BsNormal, BsIe};
    for (int i = 0; i < 3; ++i) {
        auto* button = new TMTranBtn(form);
        button->SetName("Image" + std::to_string(i));
        button->SetParent(form);
        button->SetBounds(20 + i * 90, 20, 70, 80);
        button->SetCaption(i == 0 ? "None" : i == 1 ? "Normal" : "Hot");
        button->SetBitMap(picture);
        button->SetBorder(styles[i]);
        button->OnClick = [&log, button](TObject*) { log.push_back(button->Name()); };
    }
    form->Show();
    Pump(300);
    auto* normal = form->Child<TMTranBtn>("Image1");
    Click(*normal);
    EXPECT_TRUE(PumpUntil([&] { return !log.empty(); }));
    EXPECT_EQ(log, std::vector<std::string>{"Image1"});
    // Hot tracking repaints the surface, and the window shows it.
    auto* hot = form->Child<TMTranBtn>("Image2");
    const TPoint p = hot->ClientToScreen({hot->Width() / 2, hot->Height() / 2});
    ASSERT_TRUE(XServer::Tool("mousemove --sync " + std::to_string(p.X) + " " + std::to_string(p.Y)));
    EXPECT_TRUE(PumpUntil([&] { return hot->Hot(); }));
    EXPECT_FALSE(Shot("image-buttons", *form).empty());
}

TEST_F(Display, BitButtonGlyphsLeaveOutTheirTransparentColour)
{
    auto* form = new TForm(App.get());
    form->SetCaption("Glyph buttons");
    form->SetBounds(200, 200, 260, 120);
    TBitmap solid(40, 40, pf24bit);
    solid.Fill(clRed);
    TBitmap framed(40, 40, pf24bit);
    framed.Fill(clFuchsia);
    {
        TCanvas canvas(framed);
        canvas.Brush().SetColor(clBlue);
        canvas.Pen().SetColor(clBlue);
        canvas.Rectangle(10, 10, 30, 30);
    }
    struct Case {
        const char* name;
        TBitmap* glyph;
        bool fixed;  // a fixed transparent colour that the glyph does not hold
    };
    const Case cases[] = {{"Fixed", &solid, true}, {"Auto", &framed, false}};
    for (int i = 0; i < 2; ++i) {
        auto* button = new TBitBtn(form);
        button->SetName(cases[i].name);
        button->SetParent(form);
        button->SetBounds(20 + i * 110, 10, 100, 100);
        button->SetLayout(blGlyphTop);
    }
    form->Show();
    Pump(200);
    // Glyphs given to shown buttons, as a viewer gives them while it loads.
    for (const Case& c : cases) {
        if (c.fixed) c.glyph->SetTransparentColor(clFuchsia);
        form->Child<TBitBtn>(c.name)->SetGlyph(*c.glyph);
    }
    const std::string shot = Shot("glyph-buttons", *form);
    ASSERT_FALSE(shot.empty());
    auto pixelAt = [&](const char* name, int x, int y) {
        const TControl& button = *form->Child<TBitBtn>(name);
        return XServer::PixelOf(shot, button.Left() + x, button.Top() + y);
    };
    // A fixed colour: every pixel of a glyph without it shows, its corners too.
    const int top = (100 - 40) / 2;  // the glyph stands over an empty caption
    EXPECT_TRUE(XServer::Near(pixelAt("Fixed", 50, top + 20), 255, 0, 0));
    EXPECT_TRUE(XServer::Near(pixelAt("Fixed", 32, top + 2), 255, 0, 0));
    // The bottom-left pixel's colour shows the button face.
    EXPECT_TRUE(XServer::Near(pixelAt("Auto", 50, top + 20), 0, 0, 255));
    const XServer::Rgb face = pixelAt("Auto", 32, top + 2);
    EXPECT_FALSE(XServer::Near(face, 255, 0, 255)) << face.R << "," << face.G << "," << face.B;
}

TEST_F(Display, HintsShowOverTheirControlAndGoOnAClick)
{
    TEveryForm* form = nullptr;
    App->CreateForm(form);
    auto& button = form->Get<TButton>("Button1");
    button.SetHint("Start the build|Builds the gallery from the chosen pictures");
    button.SetShowHint(true);
    form->Show();
    Pump(300);
    const TPoint p = button.ClientToScreen({10, 10});
    ASSERT_TRUE(XServer::Tool("mousemove --sync " + std::to_string(p.X) + " " + std::to_string(p.Y)));
    EXPECT_TRUE(PumpUntil([] { return ShownHint() == "Start the build"; }));
    ASSERT_TRUE(XServer::Tool("click 1"));
    EXPECT_TRUE(PumpUntil([] { return ShownHint().empty(); }));
}

// An xdotool command that moves the pointer there (screen coordinates).
std::string MoveTo(TPoint p) { return "mousemove --sync " + std::to_string(p.X) + " " + std::to_string(p.Y); }

TEST_F(Display, HintsGoWithAModalWindowTheFocusAndThePointer)
{
    TEveryForm* form = nullptr;
    App->CreateForm(form);
    auto& button = form->Get<TButton>("Button1");
    button.SetHint("Start");
    button.SetShowHint(true);
    form->Show();
    Pump(300);
    const std::string onButton = MoveTo(button.ClientToScreen({10, 10}));
    const std::string outside = MoveTo({form->Left() + form->Width() + 40, form->Top() + 40});
    auto hintShows = [&] {
        return XServer::Tool(onButton) && PumpUntil([] { return ShownHint() == "Start"; });
    };
    {
        SCOPED_TRACE("a message box opens before the hint is due");
        ASSERT_TRUE(XServer::Tool(onButton));
        Pump(100);
        auto* look = new TTimer(App.get());
        look->SetInterval(900);
        std::string seen = "(not looked)";
        look->OnTimer = [&](TObject*) {
            look->SetEnabled(false);
            seen = ShownHint();
        };
        XServer::Later("sleep 1.5; " + XServer::KeysTo("Busy", "key Return", "hint-under-message-box"));
        Application->MessageBox("The mail program starts.", "Busy", MB_OK);
        EXPECT_EQ(seen, "");
        ASSERT_TRUE(XServer::Tool(outside));
        Pump(100);
    }
    {
        SCOPED_TRACE("the pointer leaves the window");
        ASSERT_TRUE(hintShows());
        ASSERT_TRUE(XServer::Tool(outside));
        EXPECT_TRUE(PumpUntil([] { return ShownHint().empty(); }, 2000));
        // Back on it, the hint shows again; leaving before it is due, none comes.
        ASSERT_TRUE(hintShows());
        ASSERT_TRUE(XServer::Tool(outside));
        ASSERT_TRUE(XServer::Tool(onButton));
        Pump(100);
        ASSERT_TRUE(XServer::Tool(outside));
        Pump(900);
        EXPECT_EQ(ShownHint(), "");
    }
    {
        SCOPED_TRACE("another window takes the focus");
        auto* other = new TForm(App.get());
        other->SetCaption("Next program");
        other->SetBounds(form->Left() + form->Width() + 20, form->Top(), 200, 120);
        other->Show();
        Pump(300);
        ASSERT_TRUE(XServer::Tool("search --sync --onlyvisible --name '^Every control.*$' windowfocus"));
        Pump(200);
        ASSERT_TRUE(hintShows());
        ASSERT_TRUE(XServer::Tool("search --sync --onlyvisible --name '^Next program$' windowfocus"));
        EXPECT_TRUE(PumpUntil([] { return ShownHint().empty(); }, 2000));
        Shot("hint-gone-with-the-focus", *form);
    }
}

TEST_F(Display, QuickClicksAreEachAPressAndTheSecondOfAPairAlsoADoubleClick)
{
    TEveryForm* form = nullptr;
    App->CreateForm(form);
    auto& list = form->Get<TListBox>("ListBox1");
    int opened = 0;
    list.OnDblClick = [&opened](TObject*) { ++opened; };
    form->Show();
    Pump(300);
    auto& upDown = form->Get<TUpDown>("UpDown1");
    ASSERT_TRUE(XServer::Tool(MoveTo(upDown.ClientToScreen({upDown.Width() / 2, 3})) + " click --repeat 5 --delay 200 1"));
    EXPECT_TRUE(PumpUntil([&] { return upDown.Position() == 10; })) << upDown.Position();
    Pump(300);
    EXPECT_EQ(upDown.Position(), 10);
    EXPECT_EQ(form->Get<TEdit>("Edit2").Text(), "10");
    form->Log.clear();
    auto& go = form->Get<TButton>("Button1");
    ASSERT_TRUE(XServer::Tool(MoveTo(go.ClientToScreen({10, 10})) + " click --repeat 3 --delay 150 1"));
    auto turns = [form] { return std::count(form->Log.begin(), form->Log.end(), "Button1Click"); };
    EXPECT_TRUE(PumpUntil([&] { return turns() == 3; })) << turns();
    // A double-click on a row opens it once, the row chosen.
    ASSERT_TRUE(XServer::Tool(MoveTo(list.ClientToScreen({20, 2 + list.ItemHeight() + list.ItemHeight() / 2})) +
                              " click --repeat 2 --delay 100 1"));
    EXPECT_TRUE(PumpUntil([&] { return opened > 0; }));
    Pump(300);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(list.ItemIndex(), 1);
}

TEST_F(Display, AModalFormWaitsForTheClickThatEndsIt)
{
    auto* owner = new TForm(App.get());
    owner->SetBounds(100, 100, 300, 200);
    owner->Show();
    auto* dialog = new TForm(App.get());
    dialog->SetCaption("Limits");
    dialog->SetBounds(400, 300, 240, 120);
    auto* ask = new TButton(dialog);
    ask->SetParent(dialog);
    ask->SetBounds(20, 60, 90, 25);
    ask->SetCaption("Ask");
    auto* ok = new TButton(dialog);
    ok->SetParent(dialog);
    ok->SetBounds(130, 60, 90, 25);
    ok->SetCaption("OK");
    ok->SetModalResult(mrOk);
    int answer = 0;
    // A message box from a click inside the modal loop: a wait inside a wait.
    ask->OnClick = [&answer](TObject*) { answer = Application->MessageBox("Keep the limits?", "Question", MB_YESNO); };
    const TPoint askAt = ask->ClientToScreen({45, 12});
    const TPoint okAt = ok->ClientToScreen({45, 12});
    XServer::Later("sleep 0.5; xdotool mousemove --sync " + std::to_string(askAt.X) + " " + std::to_string(askAt.Y) +
                   " click 1; " + XServer::KeysTo("Question", "key Return") + "; sleep 0.5; xdotool mousemove --sync " +
                   std::to_string(okAt.X) + " " + std::to_string(okAt.Y) + " click 1");
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(answer, IDYES);
    EXPECT_FALSE(dialog->Visible());
}

TEST_F(Display, MessageBoxesAreWindowsAnsweredByKeys)
{
    auto* form = new TForm(App.get());
    form->SetBounds(300, 300, 200, 100);
    form->Show();
    Pump(200);
    XServer::Later(XServer::KeysTo("Thumbnails", "key Return", "message-box"));
    EXPECT_EQ(Application->MessageBox("The gallery is ready.", "Thumbnails", MB_OK | MB_ICONINFORMATION), IDOK);
    XServer::Later(XServer::KeysTo("Thumbnails", "key Tab key Return"));
    EXPECT_EQ(Application->MessageBox("Overwrite the old pictures?", "Thumbnails", MB_YESNO | MB_ICONQUESTION), IDNO);
    XServer::Later(XServer::KeysTo("Thumbnails", "key Escape"));
    EXPECT_EQ(Application->MessageBox("Stop the upload?", "Thumbnails", MB_OKCANCEL), IDCANCEL);
}

// The height of a PNG file's picture; 0 when it cannot be read.
int PngHeight(const std::string& path)
{
    const std::string bytes = ReadFileBytes(path);
    if (bytes.size() < 24) return 0;
    const auto b = [&](int i) { return static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]); };
    return (b(20) << 24) | (b(21) << 16) | (b(22) << 8) | b(23);
}

TEST_F(Display, MessageBoxesBreakLinesAtCrAndLf)
{
    auto* form = new TForm(App.get());
    form->SetBounds(300, 300, 200, 100);
    form->Show();
    Pump(200);
    const char* texts[] = {"No Picture select!", "No Picture select!\rKein Bild gew\xE4hlt!",
                           "No Picture select!\r\nKein Bild gew\xE4hlt!\nNo Images"};
    std::vector<int> heights;
    for (int i = 0; i < 3; ++i) {
        const std::string name = "message-box-lines-" + std::to_string(i + 1);
        XServer::Later(XServer::KeysTo("Lines", "key Return", name));
        EXPECT_EQ(Application->MessageBox(texts[i], "Lines", MB_OK), IDOK);
        heights.push_back(PngHeight(XServer::ScreenshotPath(name)));
    }
    // One more line each: a CR shown as a character would leave one line.
    ASSERT_GT(heights[0], 0);
    EXPECT_GT(heights[1], heights[0] + 8);
    EXPECT_GT(heights[2], heights[1] + 8);
}

// A folder with pictures, another file and a subfolder.
class DisplayDialogs : public Display {
protected:
    void SetUp() override
    {
        Display::SetUp();
        Dir = Temp.Path().substr(0, Temp.Path().size() - 1);
        for (const char* name : {"a.jpg", "B.GIF", "c.txt"}) WriteFileBytes(Dir + "/" + name, "x");
        CreateDir(Dir + "/sub");
    }
    testsupport::TempFolder Temp;
    std::string Dir;  // Temp's, without the final "/"
};

TEST_F(DisplayDialogs, OpenChoosesOneOrSeveralFilesOfTheFilter)
{
    TOpenDialog dialog(nullptr);
    dialog.SetInitialDir(Dir);
    dialog.SetFilter("Pictures (*.jpg;*.gif)|*.jpg;*.gif|All files|*.*");
    dialog.SetOptions(ofAllowMultiSelect | ofFileMustExist | ofNoChangeDir);
    XServer::Later(XServer::KeysTo("Open", "type a.jpg; xdotool key Return", "open-dialog"));
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), Dir + "/a.jpg");
    XServer::Later(XServer::KeysTo("Open", "type '\"a.jpg\" \"B.GIF\"'; xdotool key Return"));
    ASSERT_TRUE(dialog.Execute());
    ASSERT_EQ(dialog.Files().Count(), 2);
    EXPECT_EQ(dialog.Files().Strings(1), Dir + "/B.GIF");
    XServer::Later(XServer::KeysTo("Open", "key Escape"));
    EXPECT_FALSE(dialog.Execute());
}

TEST_F(DisplayDialogs, TheNameFieldOpensSelectedSoATypedNameOrPathReplacesIt)
{
    TOpenDialog dialog(nullptr);
    dialog.SetInitialDir(Dir);
    dialog.SetFileName(Dir + "/a.jpg");
    XServer::Later(XServer::KeysTo("Open", "type c.txt; xdotool key Return", "open-dialog-name-selected"));
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), Dir + "/c.txt");
    // A folder's path goes there, and a name typed then is in that folder.
    XServer::Later(XServer::KeysTo("Open", "type '" + Dir + "/sub'; xdotool key Return; sleep 0.5; xdotool type x.txt; xdotool key Return"));
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), Dir + "/sub/x.txt");
    XServer::Later(XServer::KeysTo("Open", "type '" + Dir + "/B.GIF'; xdotool key Return"));
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), Dir + "/B.GIF");
}

TEST_F(Display, AnEditOfAFormOpenedAgainHasItsTextSelected)
{
    auto* form = new TForm(App.get());
    form->SetCaption("New Folder");
    form->SetBounds(200, 200, 320, 100);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(72, 16, 224, 22);
    form->Show();
    edit->SetFocus();
    Pump(300);
    XServer::Later(XServer::KeysTo("New Folder", "type html2"));
    // The window's screenshot and the keys take their time on a busy machine.
    ASSERT_TRUE(PumpUntil([&] { return edit->Text() == "html2"; }, 10000)) << edit->Text();
    form->Hide();
    Pump(200);
    form->Show();
    Pump(200);
    XServer::Later(XServer::KeysTo("New Folder", "type html3", "new-folder-opened-again"));
    EXPECT_TRUE(PumpUntil([&] { return edit->Text() == "html3"; }, 10000)) << edit->Text();
}

TEST_F(DisplayDialogs, SaveAddsTheDefaultExtensionAndAsksBeforeReplacing)
{
    TSaveDialog dialog(nullptr);
    dialog.SetInitialDir(Dir);
    dialog.SetDefaultExt("txt");
    dialog.SetOptions(ofOverwritePrompt | ofNoChangeDir);
    XServer::Later(XServer::KeysTo("Save As", "type new; xdotool key Return"));
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), Dir + "/new.txt");
    // "c" is there: the question comes, and Yes replaces it.
    XServer::Later(XServer::KeysTo("Save As", "type c; xdotool key Return; sleep 0.5; xdotool key Return"));
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), Dir + "/c.txt");
}

TEST_F(DisplayDialogs, FolderColourAndFontDialogs)
{
    std::string folder = Dir;
    XServer::Later(XServer::KeysTo("Choose a folder", "key Return", "folder-dialog"));
    ASSERT_TRUE(BrowseForFolder("Choose a folder", folder));
    EXPECT_EQ(folder, Dir);

    TColorDialog colors(nullptr);
    colors.SetColor(clRed);
    XServer::Later(XServer::KeysTo("Color", "key Return", "color-dialog"));
    ASSERT_TRUE(colors.Execute());
    EXPECT_EQ(colors.Color(), RGB(255, 0, 0));

    TFontDialog fonts(nullptr);
    fonts.Font().SetName("Arial");
    fonts.Font().SetSize(12);
    fonts.Font().SetStyle(fsBold);
    XServer::Later(XServer::KeysTo("Font", "key Return", "font-dialog"));
    ASSERT_TRUE(fonts.Execute());
    EXPECT_EQ(fonts.Font().Name(), "Arial");
    EXPECT_EQ(fonts.Font().Size(), 12);
    EXPECT_EQ(fonts.Font().Style(), fsBold);
    XServer::Later(XServer::KeysTo("Font", "key Escape"));
    EXPECT_FALSE(fonts.Execute());
}

TEST_F(Display, TimersRunWhileAMessageBoxWaits)
{
    auto* timer = new TTimer(App.get());
    timer->SetInterval(20);
    int ticks = 0;
    timer->OnTimer = [&ticks](TObject*) { ++ticks; };
    XServer::Later("sleep 0.3; " + XServer::KeysTo("Waiting", "key Return"));
    Application->MessageBox("Timers run meanwhile.", "Waiting", MB_OK);
    EXPECT_GE(ticks, 5);
}

TEST_F(Display, PopupMenusOpenAtTheMouseAndChoose)
{
    TEveryForm* form = nullptr;
    App->CreateForm(form);
    form->Show();
    Pump(300);
    auto& panel = form->Get<TPanel>("Panel1");
    const TPoint p = panel.ClientToScreen({150, 60});
    XServer::Later("sleep 0.5; xdotool mousemove --sync " + std::to_string(p.X + 30) + " " + std::to_string(p.Y + 14) +
                   " click 1");
    ClickAt(panel, 150, 60, 3);
    EXPECT_TRUE(PumpUntil([&] { return form->Logged("Copy1"); }));
}

TEST_F(Display, MainMenuItemsClick)
{
    TEveryForm* form = nullptr;
    App->CreateForm(form);
    form->Show();
    Pump(300);
    // The menu bar lies above the client area; "File" is its first item.
    const TPoint bar = form->ClientToScreen({16, -11});
    ASSERT_TRUE(XServer::Tool("mousemove --sync " + std::to_string(bar.X) + " " + std::to_string(bar.Y) + " click 1"));
    Pump(300);
    EXPECT_FALSE(Shot("menu-open", *form).empty());
    ASSERT_TRUE(XServer::Tool("mousemove --sync " + std::to_string(bar.X + 20) + " " + std::to_string(bar.Y + 11 + 14) +
                              " click 1"));
    EXPECT_TRUE(PumpUntil([&] { return form->Logged("Open1Click"); }));

    // A shortcut clicks its item before the focused control sees the key.
    form->Log.clear();
    form->Child<TMenuItem>("Open1")->SetShortCut(0x4000 | 'O');
    XServer::Later(XServer::KeysTo("Every control.*", "key ctrl+o"));
    EXPECT_TRUE(PumpUntil([&] { return form->Logged("Open1Click"); }));
}

TEST_F(Display, TheCloseBoxClosesTheForm)
{
    TEveryForm* form = nullptr;
    App->CreateForm(form);
    form->SetCaption("Closable");
    form->Show();
    Pump(200);
    // No window manager runs here: the request is the one its close box sends.
    ASSERT_TRUE(XServer::RequestClose("Closable"));
    EXPECT_TRUE(PumpUntil([&] { return form->Logged("FormClose"); }));
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(Display, AFormWithoutASystemMenuRefusesToBeClosedFromOutside)
{
    TEveryForm* form = nullptr;
    App->CreateForm(form);
    form->SetCaption("Not closable");
    form->SetBorderIcons(biMinimize);
    form->Show();
    Pump(200);
    ASSERT_TRUE(XServer::RequestClose("Not closable"));
    Pump(500);
    EXPECT_FALSE(form->Logged("FormClose"));
    EXPECT_TRUE(form->Visible());
    EXPECT_FALSE(Application->Terminated());
}

}  // namespace

namespace {

// A busy task sets the hourglass and works without pumping: the window must
// show it from the moment it is set.
// Lines added one by one scroll the memo as the platform's does: its last line
// shows at the bottom, the toolkit's vertical bar at its right edge.
TEST_F(Display, AMemoReceivingLinesShowsItsLastOnes)
{
    auto* form = new TForm(App.get());
    form->SetCaption("Memo lines");
    form->SetBounds(100, 100, 360, 260);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(10, 10, 300, 200);
    memo->SetReadOnly(true);
    memo->SetScrollBars(ssVertical);
    form->Show();
    Pump(200);
    for (int i = 0; i < 199; ++i) memo->Lines().Add("");
    memo->Lines().Add("MMMMMMMMMMMMMMMMMMMM");
    const std::string shot = Shot("memo-last-lines", *form);
    const int w = 100;
    const int h = 196;
    const auto pixels = XServer::PixelsOf(shot, 12, 12, w, h);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(w * h));
    int firstInk = -1;
    for (int i = 0; i < w * h && firstInk < 0; ++i)
        if (pixels[static_cast<std::size_t>(i)].R < 100) firstInk = i / w;
    EXPECT_GT(firstInk, h / 2);
    EXPECT_FALSE(XServer::Near(XServer::PixelOf(shot, 10 + 300 - 9, 10 + 100), 255, 255, 255, 4));
}

TEST_F(Display, TheScreenCursorShowsBeforeTheNextPump)
{
    TEveryForm* form = nullptr;
    App->CreateForm(form);
    form->Show();
    Pump(200);
    ASSERT_TRUE(DisplayShowsCursor(*form, crDefault));
    Screen->SetCursor(crHourGlass);
    EXPECT_TRUE(DisplayShowsCursor(*form, crHourGlass));
    Screen->SetCursor(crDefault);
    EXPECT_TRUE(DisplayShowsCursor(*form, crDefault));
}

}  // namespace

namespace {

TEST_F(Display, AnUnfocusedSelectionReadsOnTheListsColour)
{
    auto* form = new TForm(App.get());
    form->SetCaption("Selection");
    form->SetBounds(200, 200, 300, 140);
    auto* list = new TListBox(form);
    list->SetParent(form);
    list->SetBounds(10, 10, 150, 100);
    list->SetColor(clSilver);  // the wizard's hover look
    list->Items().Add("first");
    list->Items().Add("second");
    list->SetItemIndex(1);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(170, 10, 100, 24);
    form->Show();
    Pump(200);
    edit->SetFocus();
    const std::string shot = Shot("list-selection-unfocused", *form);
    const int rowY = 10 + list->ItemHeight() + list->ItemHeight() / 2;
    const XServer::Rgb background = XServer::PixelOf(shot, 10 + 140, 10 + list->ItemHeight() * 3 + 5);
    const XServer::Rgb selection = XServer::PixelOf(shot, 10 + 140, rowY);
    ASSERT_TRUE(XServer::Near(background, 192, 192, 192, 4));
    const TColor fill = RGB(static_cast<std::uint8_t>(selection.R), static_cast<std::uint8_t>(selection.G),
                            static_cast<std::uint8_t>(selection.B));
    EXPECT_GE(ContrastRatio(fill, clSilver), 1.6);
}

}  // namespace

namespace {

TEST_F(Display, MenusDialogsAndWidgetsShareOneFace)
{
    // The toolkit's own face (menus, message boxes, hints) is the widgets' default one.
    TFont widgets;
    const std::pair<Fl_Font, TFontStyles> faces[] = {{FL_HELVETICA, 0}, {FL_HELVETICA_BOLD, fsBold}};
    for (const auto& [toolkit, style] : faces) {
        widgets.SetStyle(style);
        EXPECT_STREQ(Fl::get_font(toolkit), Fl::get_font(Toolkit::Font(widgets)));
    }
    EXPECT_STREQ(Fl::get_font(FL_HELVETICA), " Liberation Sans");
}

}  // namespace

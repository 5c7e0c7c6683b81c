// The notification rules of the controls: which setters run which handlers.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/controls/HeadlessInteraction.h"
#include "platform/controls/InputDriver.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/TCheckBox.h"
#include "platform/controls/TComboBox.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TListBox.h"
#include "platform/controls/TPageControl.h"
#include "platform/controls/TPanel.h"
#include "platform/controls/TTimer.h"
#include "platform/controls/TTrackBar.h"
#include "platform/controls/TUpDown.h"
#include "platform/loop/Clock.h"

namespace {

class Semantics : public ::testing::Test {
protected:
    Semantics()
    {
        Form = new TForm(&App);
        Form->SetBounds(0, 0, 400, 300);
        Form->Show();
    }
    template <class T>
    T* Make(const std::string& name, TWinControl* parent = nullptr)
    {
        auto* c = new T(Form);
        c->SetName(name);
        c->SetParent(parent ? parent : Form);
        return c;
    }
    TNotifyEvent Logger(const std::string& what)
    {
        return [this, what](TObject*) { Log.push_back(what); };
    }

    TApplication App;
    THeadlessScript Script;
    TForm* Form;
    std::vector<std::string> Log;
};

TEST_F(Semantics, CheckBoxCheckedRunsOnClickOnEveryChange)
{
    auto* box = Make<TCheckBox>("Box");
    box->OnClick = Logger("click");
    box->SetChecked(true);
    box->SetChecked(true);  // no change
    box->SetChecked(false);
    box->SetChecked(true, TChangeNotify::Silent);
    EXPECT_EQ(Log.size(), 2u);
    InputDriver::Click(*box);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(Log.size(), 3u);
}

TEST_F(Semantics, RadioButtonCheckedRunsOnClickAndUnchecksSiblingsOfItsParentOnly)
{
    auto* panel = Make<TPanel>("Panel");
    panel->SetBounds(200, 0, 150, 100);
    auto* a = Make<TRadioButton>("A");
    auto* b = Make<TRadioButton>("B");
    b->SetTop(30);
    auto* other = Make<TRadioButton>("Other", panel);
    a->OnClick = Logger("A");
    b->OnClick = Logger("B");
    other->OnClick = Logger("Other");
    other->SetChecked(true);
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(other->Checked());  // another parent, another group
    b->SetChecked(false);           // unchecking runs nothing
    InputDriver::Click(*a);
    InputDriver::Click(*a);  // already checked: nothing
    EXPECT_FALSE(b->Checked());
    EXPECT_EQ(Log, (std::vector<std::string>{"Other", "A", "B", "A"}));
}

TEST_F(Semantics, UpDownPositionWritesItsEditButRunsNoClick)
{
    auto* edit = Make<TEdit>("Edit");
    auto* updown = Make<TUpDown>("UpDown");
    edit->SetText("keep");
    updown->SetAssociate(edit);
    EXPECT_EQ(edit->Text(), "keep");  // attaching does not rewrite
    edit->OnChange = Logger("edit change");
    updown->OnClick = [this](TObject*, TUDBtnType b) { Log.push_back(b == btNext ? "up next" : "up prev"); };
    updown->SetMax(2000);
    updown->SetPosition(1234);
    EXPECT_EQ(edit->Text(), "1.234");
    updown->SetThousands(false);
    updown->SetPosition(5000);  // clamped
    EXPECT_EQ(updown->Position(), 2000);
    EXPECT_EQ(edit->Text(), "2000");
    EXPECT_EQ(Log, (std::vector<std::string>{"edit change", "edit change"}));
    Log.clear();
    edit->SetText("41");  // typed by the person, then an arrow click
    updown->ClickButton(btNext);
    EXPECT_EQ(updown->Position(), 42);
    EXPECT_EQ(edit->Text(), "42");
    EXPECT_EQ(Log, (std::vector<std::string>{"edit change", "edit change", "up next"}));
}

TEST_F(Semantics, UpDownChangingMayRefuseAndWrapGoesRound)
{
    auto* updown = Make<TUpDown>("UpDown");
    updown->SetMax(3);
    updown->OnChanging = [](TObject*, bool& allow) { allow = false; };
    updown->ClickButton(btNext);
    EXPECT_EQ(updown->Position(), 0);
    updown->OnChanging = nullptr;
    updown->SetWrap(true);
    updown->ClickButton(btPrev);
    EXPECT_EQ(updown->Position(), 3);
    updown->ClickButton(btNext);
    EXPECT_EQ(updown->Position(), 0);
}

TEST_F(Semantics, TrackBarPositionRunsOnChangeWhenTheValueChanges)
{
    auto* bar = Make<TTrackBar>("Bar");
    bar->OnChange = [this, bar](TObject*) { Log.push_back("change " + std::to_string(bar->Position())); };
    bar->SetMax(20);
    bar->SetPosition(5);
    bar->SetPosition(5);
    bar->SetPosition(99);  // clamped to 20
    bar->SetMax(10);       // the narrowed range moves it
    bar->SetPosition(3, TChangeNotify::Silent);
    bar->SetFocus();
    InputDriver::PressKey(*Form, VK_RIGHT);
    EXPECT_EQ(Log, (std::vector<std::string>{"change 5", "change 20", "change 10", "change 4"}));
}

TEST_F(Semantics, ListBoxItemIndexFromCodeRunsNoClickButTheUsersSelectionDoes)
{
    auto* list = Make<TListBox>("List");
    list->SetBounds(0, 0, 100, 160);
    for (const char* s : {"a", "b", "c"}) list->Items().Add(s);
    list->OnClick = [this, list](TObject*) { Log.push_back("click " + std::to_string(list->ItemIndex())); };
    list->SetItemIndex(1);
    EXPECT_EQ(list->ItemIndex(), 1);
    list->SetItemIndex(7);
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_TRUE(Log.empty());
    InputDriver::ClickAt(*list, 5, 2 * list->ItemHeight() + 3);  // the third row
    list->SetFocus();
    InputDriver::PressKey(*Form, VK_UP);
    list->SelectAsUser(0);
    EXPECT_EQ(Log, (std::vector<std::string>{"click 2", "click 1", "click 0"}));
}

TEST_F(Semantics, ListBoxSelectionFollowsItsItemAndLeavesWithIt)
{
    auto* list = Make<TListBox>("List");
    for (const char* s : {"a", "b", "c"}) list->Items().Add(s);
    list->SetItemIndex(1);
    list->Items().Add("d");
    EXPECT_EQ(list->ItemIndex(), 1);
    list->Items().Delete(0);
    EXPECT_EQ(list->ItemIndex(), 0);  // "b" moved up
    list->Items().SetStrings(0, "x");
    EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(Semantics, DragAndDropAsksTheTargetFirst)
{
    auto* from = Make<TListBox>("From");
    auto* to = Make<TListBox>("To");
    EXPECT_FALSE(InputDriver::DragDrop(*from, *to, 5, 5));  // no OnDragOver: refused
    bool accept = false;
    to->OnDragOver = [&accept](TObject*, TObject* source, int, int, TDragState, bool& a) { a = accept; };
    to->OnDragDrop = [this](TObject*, TObject* source, int x, int y) {
        Log.push_back(static_cast<TComponent*>(source)->Name() + " at " + std::to_string(x) + "," + std::to_string(y));
    };
    EXPECT_FALSE(InputDriver::DragDrop(*from, *to, 5, 5));
    accept = true;
    EXPECT_TRUE(InputDriver::DragDrop(*from, *to, 5, 6));
    EXPECT_EQ(Log, (std::vector<std::string>{"From at 5,6"}));
}

TEST_F(Semantics, ComboBoxItemIndexAndTextFromCodeRunNothing)
{
    auto* combo = Make<TComboBox>("Combo");
    for (const char* s : {"Arial", "Verdana"}) combo->Items().Add(s);
    combo->OnChange = Logger("change");
    combo->OnClick = Logger("click");
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), "Verdana");
    combo->SetText("Fonts");  // a text that is no item
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->SetItemIndex(5);  // out of range: none
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
    EXPECT_TRUE(Log.empty());
    combo->SetItemIndex(0);
    combo->Items().SetStrings(0, "Arial Black");  // replacing the selected item drops it
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SelectAsUser(1);
    combo->TypeAsUser("Ver");
    EXPECT_EQ(Log, (std::vector<std::string>{"click", "change", "change"}));
}

TEST_F(Semantics, EditOnChangeRunsForCodeAndTyping)
{
    auto* edit = Make<TEdit>("Edit");
    edit->OnChange = [this, edit](TObject*) { Log.push_back(edit->Text()); };
    edit->SetText("ab");
    edit->SetText("ab");
    InputDriver::TypeText(*edit, "x");  // focus selects all: typing replaces
    InputDriver::TypeText(*edit, "yz\b");
    edit->SetReadOnly(true);
    InputDriver::TypeText(*edit, "q");
    EXPECT_EQ(Log, (std::vector<std::string>{"ab", "x", "xy", "xyz", "xy"}));
}

TEST_F(Semantics, AFormThatOpensAgainSelectsTheTextOfTheEditHoldingItsFocus)
{
    auto* edit = Make<TEdit>("Edit");
    edit->SetBounds(10, 10, 100, 21);
    auto* memo = Make<TMemo>("Memo");
    memo->SetBounds(10, 40, 100, 60);
    InputDriver::TypeText(*edit, "html2");
    Form->Hide();
    Form->Show();
    InputDriver::TypeText(*edit, "html3");
    EXPECT_EQ(edit->Text(), "html3");
    // Opened by ShowModal alike, with the text its handler gave it.
    Form->Hide();
    Form->OnShow = [edit](TObject*) { edit->SetText("trip.2004.vt2"); };
    Script.AnswerModal(Form->Name(), [edit](TCustomForm& form) {
        InputDriver::TypeText(*edit, "cut.vt2");
        form.SetModalResult(mrOk);
    });
    EXPECT_EQ(Form->ShowModal(), mrOk);
    EXPECT_EQ(edit->Text(), "cut.vt2");
    // A memo keeps its caret, as it does when it takes the focus.
    Form->OnShow = nullptr;
    Form->Show();
    InputDriver::TypeText(*memo, "ab");
    Form->Hide();
    Form->Show();
    InputDriver::TypeText(*memo, "c");
    EXPECT_EQ(memo->Text(), "abc");
}

TEST_F(Semantics, MemoTextIsItsLinesJoinedByCrLf)
{
    auto* memo = Make<TMemo>("Memo");
    int changes = 0;
    memo->OnChange = [&changes](TObject*) { ++changes; };
    memo->Lines().Add("one");
    memo->Lines().Add("two");
    EXPECT_EQ(memo->Text(), "one\r\ntwo");
    memo->SetText("a\r\nb\nc");
    EXPECT_EQ(memo->Lines().Count(), 3);
    InputDriver::Click(*memo);  // the caret goes to the end
    InputDriver::TypeText(*memo, "d\re");
    EXPECT_EQ(memo->Lines().Count(), 4);
    EXPECT_EQ(memo->Lines().Strings(3), "e");
    EXPECT_EQ(changes, 6);
}

// Lines that arrive one by one scroll the memo to its last line, as a log
// window needs; a whole new text is shown from the top.
TEST_F(Semantics, MemoAddingLinesScrollsTheCaretLineIntoView)
{
    auto* memo = Make<TMemo>("Memo");
    memo->SetBounds(0, 0, 200, 100);
    const int visible = memo->VisibleLineCount();
    ASSERT_GT(visible, 2);
    ASSERT_LT(visible, 20);
    for (int i = 0; i < 200; ++i) memo->Lines().Add("line " + std::to_string(i));
    EXPECT_EQ(memo->TopLine(), 200 - visible);
    EXPECT_EQ(memo->SelStart(), static_cast<int>(memo->Text().size()));

    struct Case {
        const char* what;
        std::function<void()> change;
        int top;
    };
    const std::vector<Case> cases = {
        {"insert at the top: the caret after it, on line 1", [&] { memo->Lines().Insert(0, "first"); }, 1},
        {"append again: back to the end", [&] { memo->Lines().Add("last"); }, 202 - visible},
        {"insert in view: no scrolling", [&] { memo->Lines().Insert(200, "near the end"); }, 202 - visible},
        {"Return typed at the caret", [&] { InputDriver::TypeText(*memo, "\rtyped"); }, 203 - visible},
        {"text set anew", [&] { memo->SetText("a\r\nb\r\n" + memo->Text()); }, 0},
        {"lines set anew", [&] { memo->Lines().SetText(memo->Text()); }, 0},
        {"cleared", [&] { memo->Lines().Clear(); }, 0},
        {"one line in an empty memo", [&] { memo->Lines().Add("only"); }, 0},
    };
    for (const Case& c : cases) {
        c.change();
        EXPECT_EQ(memo->TopLine(), c.top) << c.what;
    }
}

// The painted memo shows its last lines as a memo holding just those does.
TEST_F(Semantics, MemoPaintsFromItsTopLine)
{
    auto* filled = Make<TMemo>("Filled");
    filled->SetBounds(10, 10, 180, 90);
    auto* shortOne = Make<TMemo>("Short");
    shortOne->SetBounds(200, 10, 180, 90);
    for (int i = 0; i < 60; ++i) filled->Lines().Add("protocol line " + std::to_string(i));
    const int top = filled->TopLine();
    ASSERT_GT(top, 0);
    for (int i = top; i < 60; ++i) shortOne->Lines().Add("protocol line " + std::to_string(i));
    ASSERT_EQ(shortOne->TopLine(), 0);
    Form->PaintSurface();
    int inked = 0;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 180; ++x) {
            const TColor pixel = Form->Surface().Pixel(10 + x, 10 + y);
            ASSERT_EQ(pixel, Form->Surface().Pixel(200 + x, 10 + y)) << x << "," << y;
            inked += pixel == clBlack;
        }
    EXPECT_GT(inked, 100);
}

TEST_F(Semantics, PageControlActivePageFromCodeRunsNothingButATabClickDoes)
{
    auto* pages = Make<TPageControl>("Pages");
    pages->SetBounds(0, 0, 300, 200);
    auto* one = Make<TTabSheet>("One", pages);
    auto* two = Make<TTabSheet>("Two", pages);
    auto* three = Make<TTabSheet>("Three", pages);
    one->SetCaption("One");
    two->SetCaption("Two");
    three->SetCaption("Three");
    pages->OnChanging = [this](TObject*, bool&) { Log.push_back("changing"); };
    pages->OnChange = Logger("change");
    EXPECT_EQ(pages->ActivePage(), one);
    pages->SetActivePage(three);
    EXPECT_TRUE(three->Visible());
    EXPECT_FALSE(one->Visible());
    EXPECT_TRUE(Log.empty());
    two->SetTabVisible(false);
    const TRect tab = pages->TabRect(one);
    InputDriver::ClickAt(*pages, tab.Left + 3, tab.Top + 3);
    EXPECT_EQ(pages->ActivePage(), one);
    EXPECT_TRUE(pages->TabRect(two).IsEmpty());
    EXPECT_EQ(Log, (std::vector<std::string>{"changing", "change"}));
    // A disabled page control disables what its sheets hold.
    auto* box = Make<TCheckBox>("Box", one);
    pages->SetEnabled(false);
    EXPECT_FALSE(box->EffectivelyEnabled());
}

TEST_F(Semantics, PageControlTabIsAsWideAsTheCaptionItShows)
{
    auto* pages = Make<TPageControl>("Pages");
    pages->SetBounds(0, 0, 400, 200);
    auto* sheet = Make<TTabSheet>("Sheet", pages);
    auto* next = Make<TTabSheet>("Next", pages);
    next->SetCaption("x");
    // caption, one as long as it is drawn
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Create && save", "Create x save"},
        {"&Options", "Options"},
        {"a&&&b", "axb"},
        {"&&&&", "xx"},
    };
    for (const auto& [caption, shown] : cases) {
        sheet->SetCaption(shown);
        const TRect plain = pages->TabRect(sheet);
        sheet->SetCaption(caption);
        EXPECT_EQ(pages->TabRect(sheet), plain) << caption;
        EXPECT_EQ(pages->TabRect(next).Left, plain.Right) << caption;
    }
}

TEST_F(Semantics, TimersFireInsideProcessMessagesAndWhileTheirFormIsHidden)
{
    auto* timer = new TTimer(Form);
    timer->SetInterval(10);
    int ticks = 0;
    timer->OnTimer = [&ticks](TObject*) { ++ticks; };
    Form->Hide();
    const DWORD start = timeGetTime();
    while (ticks < 3 && timeGetTime() - start < 2000) {
        App.ProcessMessages();
        Sleep(5);
    }
    EXPECT_GE(ticks, 3);
    timer->SetEnabled(false);
    const int stopped = ticks;
    Sleep(30);
    App.ProcessMessages();
    EXPECT_EQ(ticks, stopped);
}

TEST_F(Semantics, ATimerHandlerMayFreeItsTimer)
{
    auto* timer = new TTimer(Form);
    timer->SetInterval(10);
    TComponentWatch watch(timer);
    timer->OnTimer = [timer](TObject*) { delete timer; };
    const DWORD start = timeGetTime();
    while (watch.Alive() && timeGetTime() - start < 2000) {
        App.ProcessMessages();
        Sleep(5);
    }
    EXPECT_FALSE(watch.Alive());
    App.ProcessMessages();
}

TEST_F(Semantics, TimerEndsAModalLoop)
{
    auto* dialog = new TForm(&App);
    dialog->SetName("Waiting");
    auto* timer = new TTimer(dialog);
    timer->SetInterval(20);
    timer->OnTimer = [dialog, timer](TObject*) {
        timer->SetEnabled(false);
        dialog->SetModalResult(mrOk);
    };
    Script.AnswerModal("Waiting", [](TCustomForm&) {});
    EXPECT_EQ(dialog->ShowModal(), mrOk);
}

}  // namespace

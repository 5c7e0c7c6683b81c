#include "platform/controls/TCustomForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/controls/HeadlessInteraction.h"
#include "platform/controls/InputDriver.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/TButton.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TListBox.h"
#include "platform/controls/TUpDown.h"
#include "platform/controls/TScreen.h"
#include "platform/loop/Window.h"

namespace {

class FormTest : public ::testing::Test {
protected:
    TApplication App;
    THeadlessScript Script;
    std::vector<std::string> Log;

    TForm* MakeForm(const std::string& name)
    {
        auto* form = new TForm(&App);
        form->SetName(name);
        form->SetCaption(name + " caption");
        return form;
    }
    TButton* MakeButton(TForm* form, const std::string& name, int modalResult)
    {
        auto* b = new TButton(form);
        b->SetName(name);
        b->SetParent(form);
        b->SetBounds(10, 10, 80, 25);
        b->SetModalResult(modalResult);
        b->OnClick = [this, name](TObject*) { Log.push_back(name + ".OnClick"); };
        return b;
    }
};

TEST_F(FormTest, ButtonModalResultEndsTheModalLoopAfterItsOnClick)
{
    TForm* dialog = MakeForm("Dialog");
    TButton* yes = MakeButton(dialog, "Yes", mrYes);
    dialog->OnClose = [this](TObject*, TCloseAction& a) { Log.push_back("OnClose " + std::to_string(a)); };
    Script.AnswerModal("Dialog", [yes](TCustomForm&) { InputDriver::Click(*yes); });
    EXPECT_EQ(dialog->ShowModal(), mrYes);
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(dialog->Modal());
    EXPECT_EQ(Log, (std::vector<std::string>{"Yes.OnClick", "OnClose 1"}));
}

TEST_F(FormTest, ButtonModalResultDoesNothingToAModelessForm)
{
    TForm* form = MakeForm("Modeless");
    TButton* ok = MakeButton(form, "Ok", mrOk);
    form->Show();
    InputDriver::Click(*ok);
    App.ProcessMessages();
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(Log, (std::vector<std::string>{"Ok.OnClick"}));
}

TEST_F(FormTest, CloseOfAModalFormGivesCancel)
{
    TForm* dialog = MakeForm("Dialog");
    Script.AnswerModal("Dialog", [](TCustomForm& f) { f.Close(); });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
}

TEST_F(FormTest, OnCloseWithCaNoneKeepsTheModalLoopRunning)
{
    TForm* dialog = MakeForm("Dialog");
    int asked = 0;
    dialog->OnClose = [&asked](TObject*, TCloseAction& a) {
        if (++asked == 1) a = caNone;
    };
    // The first result is refused; a posted close then ends the loop.
    Script.AnswerModal("Dialog", [](TCustomForm& f) {
        f.SetModalResult(mrOk);
        PostMessage(f.Handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(asked, 2);
}

TEST_F(FormTest, ModalLoopsNestInHandlers)
{
    TForm* outer = MakeForm("Outer");
    TForm* inner = MakeForm("Inner");
    TButton* open = MakeButton(outer, "Open", mrNone);
    TButton* innerOk = MakeButton(inner, "InnerOk", mrOk);
    open->OnClick = [this, inner](TObject*) {
        Log.push_back("inner gives " + std::to_string(inner->ShowModal()));
        Log.push_back("outer still modal " + std::to_string(inner->ParentForm() != nullptr));
    };
    TButton* outerNo = MakeButton(outer, "OuterNo", mrNo);
    outerNo->SetTop(50);
    Script.AnswerModal("Outer", [open, outerNo](TCustomForm&) {
        InputDriver::Click(*open);
        InputDriver::Click(*outerNo);
    });
    Script.AnswerModal("Inner", [innerOk](TCustomForm&) { InputDriver::Click(*innerOk); });
    EXPECT_EQ(outer->ShowModal(), mrNo);
    EXPECT_EQ(Log, (std::vector<std::string>{"InnerOk.OnClick", "inner gives 1", "outer still modal 1",
                                             "OuterNo.OnClick"}));
    EXPECT_EQ(Script.Pending(), 0u);
}

TEST_F(FormTest, UnscriptedQuestionsFailAtOnce)
{
    TForm* dialog = MakeForm("Dialog");
    EXPECT_THROW(dialog->ShowModal(), EUnscriptedInteraction);
    EXPECT_FALSE(dialog->Modal());
    EXPECT_THROW(ShowMessage("Hello"), EUnscriptedInteraction);
    Script.AnswerModal("Other", mrOk);
    EXPECT_THROW(dialog->ShowModal(), EUnscriptedInteraction);
}

TEST_F(FormTest, AScriptedModalThatNeverEndsFailsAfterItsTimeout)
{
    TForm* dialog = MakeForm("Dialog");
    Script.SetModalTimeout(50);
    Script.AnswerModal("Dialog", [](TCustomForm&) {});
    EXPECT_THROW(dialog->ShowModal(), EUnscriptedInteraction);
}

TEST_F(FormTest, NothingInstalledRefusesEveryQuestion)
{
    SetUserInteraction(nullptr);
    EXPECT_THROW(ShowMessage("x"), EUnscriptedInteraction);
    SetUserInteraction(&Script);
}

TEST_F(FormTest, ReleaseDeletesTheFormAfterTheHandlerReturns)
{
    TForm* form = MakeForm("Transient");
    TButton* b = MakeButton(form, "Free", mrNone);
    TComponentWatch watch(form);
    b->OnClick = [this, form, &watch](TObject*) {
        form->Release();
        Log.push_back(watch.Alive() ? "alive in handler" : "gone in handler");
    };
    form->Show();
    InputDriver::Click(*b);
    EXPECT_TRUE(watch.Alive());
    App.ProcessMessages();
    EXPECT_FALSE(watch.Alive());
    EXPECT_EQ(Log, (std::vector<std::string>{"alive in handler"}));
}

TEST_F(FormTest, ReleaseInsideANestedModalLoop)
{
    TForm* outer = MakeForm("Outer");
    TForm* transient = MakeForm("Transient");
    TComponentWatch watch(transient);
    Script.AnswerModal("Outer", [transient, &watch](TCustomForm& f) {
        transient->Release();
        // The nested loop handles the release before the outer form ends.
        f.SetModalResult(mrNone);
        PostMessage(f.Handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(outer->ShowModal(), mrCancel);
    EXPECT_FALSE(watch.Alive());
}

TEST_F(FormTest, MessagesToADestroyedFormAreDropped)
{
    class TCounting : public TForm {
    public:
        using TForm::TForm;
        int* Count = nullptr;

    protected:
        LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override
        {
            if (message == WM_USER + 1) ++*Count;
            return TForm::WndProc(message, w, l);
        }
    };
    int first = 0;
    int second = 0;
    auto* a = new TCounting(&App);
    a->Count = &first;
    const HWND old = a->Handle();
    PostMessage(old, WM_USER + 1, 0, 0);
    delete a;
    auto* b = new TCounting(&App);
    b->Count = &second;
    PostMessage(b->Handle(), WM_USER + 1, 0, 0);
    EXPECT_NE(b->Handle(), old);
    App.ProcessMessages();
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
}

TEST_F(FormTest, HandlerExceptionsShowTheStandardErrorBox)
{
    App.SetTitle("Gallery");
    TForm* form = MakeForm("Main");
    TButton* b = MakeButton(form, "Boom", mrNone);
    form->Show();
    b->OnClick = [](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
    Script.AnswerMessage(IDOK, "'x' is not a valid integer value.");
    InputDriver::Click(*b);
    ASSERT_EQ(Script.Asked().size(), 1u);
    EXPECT_EQ(Script.Asked()[0].Caption, "Gallery");

    b->OnClick = [](TObject*) { throw EAbort(); };
    InputDriver::Click(*b);  // silent
    EXPECT_EQ(Script.Asked().size(), 1u);

    std::string seen;
    App.OnException = [&seen](TObject*, const std::exception& e) { seen = e.what(); };
    b->OnClick = [](TObject*) { throw Exception("own"); };
    InputDriver::Click(*b);
    EXPECT_EQ(seen, "own");
}

TEST_F(FormTest, FirstCreatedFormIsTheMainFormAndClosingItEndsRun)
{
    class TFirst : public TForm {
    public:
        explicit TFirst(TComponent* owner) : TForm(owner) {}
    };
    TFirst* first = nullptr;
    TFirst* second = nullptr;
    int created = 0;
    App.CreateForm(first);
    first->OnCreate = [&created](TObject*) { ++created; };
    App.CreateForm(second);
    EXPECT_EQ(App.MainForm(), first);
    PostMessage(first->Handle(), WM_CLOSE, 0, 0);
    App.Run();
    EXPECT_TRUE(App.Terminated());
    EXPECT_TRUE(first->Visible());
}

TEST_F(FormTest, MouseGoesToTheTopmostEnabledControlAndCapturesUntilRelease)
{
    TForm* form = MakeForm("Main");
    form->SetBounds(0, 0, 200, 200);
    TButton* below = MakeButton(form, "Below", mrNone);
    TButton* above = MakeButton(form, "Above", mrNone);
    above->SetBounds(50, 10, 80, 25);
    form->Show();
    InputDriver::ClickAt(*form, 60, 20);
    EXPECT_EQ(Log, (std::vector<std::string>{"Above.OnClick"}));
    Log.clear();
    above->SetEnabled(false);
    InputDriver::ClickAt(*form, 60, 20);
    EXPECT_EQ(Log, (std::vector<std::string>{"Below.OnClick"}));
    Log.clear();
    // Pressed on Below, released outside it: captured, but no click.
    std::vector<std::string> moves;
    below->OnMouseUp = [&moves](TObject*, TMouseButton, TShiftState, int x, int y) {
        moves.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    };
    InputDriver::MouseDown(*form, 20, 20);
    EXPECT_EQ(form->CaptureControl(), below);
    InputDriver::MouseUp(*form, 150, 150);
    EXPECT_EQ(form->CaptureControl(), nullptr);
    EXPECT_EQ(moves, (std::vector<std::string>{"up 140,140"}));
    EXPECT_TRUE(Log.empty());
}

// Presses in quick succession as a display delivers them: the second of each
// pair comes as a double-click (a series that keeps counting sends only those).
void QuickPresses(TCustomForm& form, int x, int y, const std::vector<TMouseInputKind>& presses)
{
    for (TMouseInputKind kind : presses) {
        form.MouseInput(kind, mbLeft, kind == TMouseInputKind::DblClick ? ssDouble : 0, x, y);
        form.MouseInput(TMouseInputKind::Up, mbLeft, 0, x, y);
    }
}

TEST_F(FormTest, EveryQuickPressIsAPressAndADoubleClickComesWithTheSecond)
{
    using enum TMouseInputKind;
    TForm* form = MakeForm("Main");
    form->SetBounds(0, 0, 300, 200);
    auto* upDown = new TUpDown(form);
    upDown->SetParent(form);
    upDown->SetBounds(10, 10, 17, 40);
    upDown->SetMax(100);
    TButton* turn = MakeButton(form, "Turn", mrNone);
    turn->SetBounds(50, 10, 80, 25);
    auto* list = new TListBox(form);
    list->SetParent(form);
    list->SetBounds(150, 10, 100, 100);
    list->Items().Add("one");
    list->Items().Add("two");
    list->OnClick = [&](TObject*) { Log.push_back("list click " + std::to_string(list->ItemIndex())); };
    list->OnDblClick = [&](TObject*) { Log.push_back("list open " + std::to_string(list->ItemIndex())); };
    list->OnMouseDown = [&](TObject*, TMouseButton, TShiftState shift, int, int) {
        Log.push_back(shift & ssDouble ? "list down double" : "list down");
    };
    form->Show();
    for (const auto& presses : {std::vector{Down, DblClick, Down, DblClick, Down}, std::vector{Down, DblClick, DblClick, DblClick, DblClick}}) {
        upDown->SetPosition(0);
        QuickPresses(*form, 18, 15, presses);
        EXPECT_EQ(upDown->Position(), 5);
    }
    QuickPresses(*form, 60, 20, {Down, DblClick, Down});
    EXPECT_EQ(Log, (std::vector<std::string>(3, "Turn.OnClick")));
    Log.clear();
    const int second = list->ItemHeight() + list->ItemHeight() / 2;
    QuickPresses(*form, 170, 10 + second, {Down, DblClick});
    EXPECT_EQ(Log, (std::vector<std::string>{"list click 1", "list down", "list click 1", "list down double", "list open 1"}));
    Log.clear();
    InputDriver::DoubleClick(*list);
    EXPECT_EQ(std::count(Log.begin(), Log.end(), "list open 1"), 1);
}

TEST_F(FormTest, ReturnAndEscapeClickTheDefaultAndCancelButtons)
{
    TForm* form = MakeForm("Main");
    TButton* ok = MakeButton(form, "Ok", mrNone);
    TButton* cancel = MakeButton(form, "Cancel", mrNone);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    form->Show();
    InputDriver::PressKey(*form, VK_RETURN);
    InputDriver::PressKey(*form, VK_ESCAPE);
    cancel->SetFocus();
    InputDriver::PressKey(*form, VK_RETURN);  // the focused button takes Return
    EXPECT_EQ(Log, (std::vector<std::string>{"Ok.OnClick", "Cancel.OnClick", "Cancel.OnClick"}));
}

TEST_F(FormTest, StyleAndPlacement)
{
    TForm* form = MakeForm("Tool");
    form->SetBorderStyle(bsToolWindow);
    form->SetFormStyle(fsStayOnTop);
    form->SetPosition(poScreenCenter);
    form->SetBounds(0, 0, 200, 100);
    EXPECT_TRUE(form->IsToolWindow());
    form->Show();
    EXPECT_EQ(form->Left(), (Screen->Width() - 200) / 2);
    EXPECT_EQ(form->Top(), (Screen->Height() - 100) / 2);
    EXPECT_EQ(Screen->Width(), 1280);
    EXPECT_EQ(Screen->Height(), 1024);
}

TEST_F(FormTest, ResizeFiresOnResizeAndResizesTheSurface)
{
    TForm* form = MakeForm("Main");
    int resized = 0;
    form->OnResize = [&resized](TObject*) { ++resized; };
    form->SetBounds(0, 0, 300, 200);
    form->SetBounds(5, 5, 300, 200);  // moved only
    EXPECT_EQ(resized, 1);
    form->Show();
    App.ProcessMessages();
    EXPECT_EQ(form->Surface().Width(), 300);
    EXPECT_EQ(form->Surface().Height(), 200);
}

TEST_F(FormTest, APartialRepaintDrawsPicturesOnlyInsideTheRepaintedPart)
{
    // A picture under a label: repainting another part of the picture must
    // leave the label's pixels, which are not repainted, as they are.
    TForm* form = MakeForm("Main");
    form->SetBounds(0, 0, 200, 100);
    auto* image = new TImage(form);
    image->SetParent(form);
    image->SetBounds(0, 0, 200, 100);
    TBitmap picture(200, 100, pf24bit);
    picture.Fill(clBlue);
    image->Picture().Assign(&picture);
    auto* label = new TPaintBox(form);
    label->SetParent(form);
    label->SetBounds(10, 70, 50, 20);
    label->OnPaint = [label](TObject*) { label->Canvas().Brush().SetColor(clRed); label->Canvas().FillRect({0, 0, 50, 20}); };
    form->Show();
    App.ProcessMessages();
    ASSERT_EQ(form->Surface().Pixel(20, 80), clRed);
    form->InvalidateRect({0, 0, 200, 40});
    form->PaintSurface();
    EXPECT_EQ(form->Surface().Pixel(20, 80), clRed);
    EXPECT_EQ(form->Surface().Pixel(20, 20), clBlue);
}

TEST_F(FormTest, AnImageTakesInANewPaletteOfItsPicture)
{
    TForm* form = MakeForm("Main");
    auto* image = new TImage(form);
    image->SetParent(form);
    TBitmap& bitmap = image->Picture().Bitmap();
    bitmap.SetPaletteModified(true);
    bitmap.SetSize(4, 4);
    EXPECT_FALSE(bitmap.PaletteModified());
}

TEST_F(FormTest, TransparentImagesLeaveOutTheirPicturesKeyColour)
{
    TForm* form = MakeForm("Main");
    form->SetBounds(0, 0, 100, 60);
    form->SetColor(clWhite);
    TBitmap keyed(10, 10, pf24bit);
    keyed.Fill(clFuchsia);  // the bottom-left pixel's colour is the key
    keyed.SetPixel(5, 5, clBlue);
    struct Case {
        int left;
        bool transparentBefore;  // set before the picture is put in, or after
    };
    for (const Case c : {Case{10, true}, Case{40, false}}) {
        auto* image = new TImage(form);
        image->SetParent(form);
        image->SetBounds(c.left, 10, 10, 10);
        if (c.transparentBefore) image->SetTransparent(true);
        image->Picture().Bitmap().Assign(keyed);
        if (!c.transparentBefore) image->SetTransparent(true);
    }
    auto* plain = new TImage(form);
    plain->SetParent(form);
    plain->SetBounds(70, 10, 10, 10);
    plain->Picture().Bitmap().Assign(keyed);
    form->Show();
    form->PaintSurface();
    for (int left : {10, 40}) {
        SCOPED_TRACE(left);
        EXPECT_EQ(form->Surface().Pixel(left + 1, 11), ColorToRGB(clWhite));
        EXPECT_EQ(form->Surface().Pixel(left + 5, 15), ColorToRGB(clBlue));
    }
    EXPECT_EQ(form->Surface().Pixel(71, 11), ColorToRGB(clFuchsia));
}

}  // namespace

namespace {

TEST(ScreenTest, FontsComeFromFontconfigSortedAndUnique)
{
    const TStrings& fonts = Screen->Fonts();
    ASSERT_GT(fonts.Count(), 0);
    EXPECT_TRUE(fonts.IndexOf("DejaVu Sans") >= 0 || fonts.IndexOf("Liberation Sans") >= 0);
    for (int i = 1; i < fonts.Count(); ++i) EXPECT_LT(fonts.Strings(i - 1), fonts.Strings(i));
}

TEST(ScreenTest, CursorIsTheProgramsToSet)
{
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    Screen->SetCursor(crDefault);
}

}  // namespace

// The hover effects of the wizard's pages: the frame around the group under
// the mouse is marked, the other frames of its group unmarked, and a soft
// tick sounds when a frame becomes marked. "Color Effects" chooses between
// a grey fill and a solid (against dotted) outline as the mark.

#include "builder/wizard/WizardForm.h"

#include <initializer_list>

#include "builder/dialogs/ButtonSounds.h"
#include "platform/controls/TCheckBox.h"
#include "platform/controls/TScreen.h"

namespace {

constexpr TColor Silver = clSilver;
constexpr TColor DarkGrey = clGray;

// The check boxes and radio buttons inside a frame paint their own
// background: they take the frame's fill so the group reads as one.
void FillGroup(TShape& frame, TColor fill)
{
    frame.Brush().SetColor(fill);
    TWinControl* parent = frame.Parent();
    if (!parent)
        return;
    const TRect area = frame.BoundsRect();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* control = parent->Controls(i);
        if (!dynamic_cast<TCheckBox*>(control) && !dynamic_cast<TRadioButton*>(control))
            continue;
        const TRect r = control->BoundsRect();
        if (r.Left >= area.Left && r.Top >= area.Top && r.Right <= area.Right && r.Bottom <= area.Bottom)
            control->SetColor(fill);
    }
}

void SetFrame(TShape& frame, TColor fill, TColor outline, TPenStyle style)
{
    FillGroup(frame, fill);
    frame.Pen().SetColor(outline);
    frame.Pen().SetStyle(style);
    frame.StyleChanged();
}

void SetFill(TShape& frame, TColor fill)
{
    FillGroup(frame, fill);
    frame.StyleChanged();
}

// Marks `frame` in the full look and unmarks `others`. The tick sounds only
// when the frame was not marked yet, so moving inside a frame stays quiet in
// either look.
void MarkFrame(TShape& frame, std::initializer_list<TShape*> others, bool colorEffects)
{
    if (frame.Pen().Color() != DarkGrey)
        PlayHoverSound();
    if (colorEffects) {
        SetFrame(frame, Silver, DarkGrey, psSolid);
        for (TShape* other : others)
            SetFrame(*other, clWhite, Silver, psSolid);
    } else {
        // White fills: a grey one left from the other look would read as a mark.
        SetFrame(frame, clWhite, DarkGrey, psSolid);
        for (TShape* other : others)
            SetFrame(*other, clWhite, Silver, psDot);
    }
}

// The pages whose frames show the mark by their fill alone.
void MarkFill(std::initializer_list<TShape*> marked, std::initializer_list<TShape*> others)
{
    for (TShape* frame : marked) {
        if (frame->Brush().Color() == clWhite)
            PlayHoverSound();
        SetFill(*frame, Silver);
    }
    for (TShape* other : others)
        SetFill(*other, clWhite);
}

void SetLinkLook(TLabel& label, TFontStyles style)
{
    if (label.Font().Style() == style)
        return;
    label.Font().SetStyle(style);
    label.FontChanged();
}

}  // namespace

bool TForm1::ColorEffects() const
{
    return Color1->Checked();
}

void TForm1::GalleryFrameMouseMove(TObject* Sender, TShiftState, int, int)
{
    // Each frame of the gallery page stands by itself: the others keep their look.
    for (TShape* frame : {Shape2, Shape3, Shape10, Shape14})
        if (frame == Sender)
            MarkFrame(*frame, {}, ColorEffects());
    if (ColorEffects())
        Screen->SetCursor(crDefault);
}

void TForm1::Shape1MouseMove(TObject*, TShiftState, int, int)
{
    MarkFrame(*Shape1, {Shape2, Shape3, Shape10}, ColorEffects());
}

void TForm1::Image18MouseMove(TObject*, TShiftState, int, int)
{
    // The whole mark goes, outline too, so the next visit sounds again.
    SetFrame(*Shape1, clWhite, Silver, ColorEffects() ? psSolid : psDot);
}

void TForm1::TextFrameMouseMove(TObject* Sender, TShiftState, int, int)
{
    if (Sender == Shape6 || Sender == Memo3)
        MarkFrame(*Shape6, {Shape7, Shape8}, ColorEffects());
    else if (Sender == Shape7 || Sender == Memo4)
        MarkFrame(*Shape7, {Shape6, Shape8}, ColorEffects());
    else if (Sender == Shape8 || Sender == Memo5)
        MarkFrame(*Shape8, {Shape6, Shape7}, ColorEffects());
}

void TForm1::Shape4MouseMove(TObject*, TShiftState, int, int)
{
    MarkFrame(*Shape4, {}, ColorEffects());
    if (ColorEffects())
        ListBox1->SetColor(Silver);
}

void TForm1::Image2MouseMove(TObject*, TShiftState, int, int)
{
    if (ColorEffects()) {
        SetFrame(*Shape4, clWhite, Silver, psSolid);
        ListBox1->SetColor(clWhite);
    } else {
        SetFrame(*Shape4, clWhite, Silver, psDot);
    }
    SetLinkLook(*Label52, fsBold);
}

void TForm1::MailFrameMouseMove(TObject* Sender, TShiftState, int, int)
{
    if (Sender == Shape9)
        MarkFill({Shape9}, {Shape11});
    else
        MarkFill({Shape11}, {Shape9});
}

void TForm1::Image8MouseMove(TObject*, TShiftState, int, int)
{
    MarkFill({}, {Shape9, Shape11});
}

void TForm1::Shape12MouseMove(TObject*, TShiftState, int, int)
{
    MarkFill({Shape12}, {});
    Panel2->SetColor(Silver);
}

void TForm1::Image20MouseMove(TObject*, TShiftState, int, int)
{
    MarkFill({}, {Shape12});
    Panel2->SetColor(clWhite);
}

void TForm1::LinkLabelMouseMove(TObject* Sender, TShiftState, int, int)
{
    for (TLabel* label : {Label52, Label27, Label58})
        if (label == Sender)
            SetLinkLook(*label, fsBold | fsUnderline);
}

void TForm1::Image3MouseMove(TObject*, TShiftState, int, int)
{
    SetLinkLook(*Label52, fsBold);
}

void TForm1::Panel3MouseMove(TObject*, TShiftState, int, int)
{
    SetLinkLook(*Label58, fsBold);
}

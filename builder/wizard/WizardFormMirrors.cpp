// The mirror chains: options shown on several wizard pages kept in step. A
// checked radio button runs its click handler and a set up-down position runs
// none, so each chain settles after one round.

#include "builder/wizard/WizardForm.h"

#include "platform/core/AnsiString.h"

void TForm1::RadioButton1Click(TObject*)
{
    RadioButton6->SetChecked(true);
    RadioButton8->SetChecked(true);
    ApplyOptionRules();
}

// RadioButton6 and RadioButton8.
void TForm1::RadioButton6Click(TObject*)
{
    RadioButton1->SetChecked(true);
}

// RadioButton2 and RadioButton9.
void TForm1::RadioButton2Click(TObject*)
{
    RadioButton7->SetChecked(true);
    RadioButton9->SetChecked(true);
    ApplyOptionRules();
}

void TForm1::RadioButton7Click(TObject*)
{
    RadioButton2->SetChecked(true);
}

void TForm1::UpDown1Click(TObject*, TUDBtnType)
{
    UpDown7->SetPosition(UpDown1->Position());
    UpDown11->SetPosition(UpDown1->Position());
}

void TForm1::UpDown7Click(TObject*, TUDBtnType)
{
    UpDown1->SetPosition(UpDown7->Position());
    UpDown11->SetPosition(UpDown7->Position());
    Edit1->SetText(IntToStr(UpDown7->Position()));
}

void TForm1::UpDown11Click(TObject*, TUDBtnType)
{
    UpDown7->SetPosition(UpDown11->Position());
    UpDown1->SetPosition(UpDown11->Position());
    Edit1->SetText(IntToStr(UpDown11->Position()));
}

void TForm1::UpDown2Click(TObject*, TUDBtnType)
{
    UpDown8->SetPosition(UpDown2->Position());
    UpDown12->SetPosition(UpDown2->Position());
}

void TForm1::UpDown3Click(TObject*, TUDBtnType)
{
    UpDown9->SetPosition(UpDown3->Position());
    UpDown13->SetPosition(UpDown3->Position());
}

// UpDown8 and UpDown12, the height on the e-mail and the thumbnails page.
void TForm1::HeightMirrorClick(TObject* Sender, TUDBtnType)
{
    auto* source = dynamic_cast<TUpDown*>(Sender);
    if (!source)
        return;
    for (TUpDown* other : {UpDown2, UpDown8, UpDown12})
        if (other != source)
            other->SetPosition(source->Position());
    Edit2->SetText(IntToStr(source->Position()));
}

// UpDown9 and UpDown13, the width on the e-mail and the thumbnails page.
void TForm1::WidthMirrorClick(TObject* Sender, TUDBtnType)
{
    auto* source = dynamic_cast<TUpDown*>(Sender);
    if (!source)
        return;
    for (TUpDown* other : {UpDown3, UpDown9, UpDown13})
        if (other != source)
            other->SetPosition(source->Position());
    Edit3->SetText(IntToStr(source->Position()));
}

void TForm1::UpDown4Click(TObject*, TUDBtnType)
{
    UpDown10->SetPosition(UpDown4->Position());
}

void TForm1::UpDown10Click(TObject*, TUDBtnType)
{
    UpDown4->SetPosition(UpDown10->Position());
}

// RadioButton11 (EXE page) and RadioButton13 (PDF page).
void TForm1::RadioButton11Click(TObject*)
{
    CheckBox9->SetChecked(true);
}

// RadioButton12 and RadioButton14.
void TForm1::RadioButton12Click(TObject*)
{
    CheckBox9->SetChecked(false);
}

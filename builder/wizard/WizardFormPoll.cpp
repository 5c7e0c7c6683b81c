// The wizard's poll and its page control: the half-second round that keeps
// the enabling rules and the language of every window up to date.

#include "builder/wizard/WizardForm.h"

#include "builder/dialogs/BackgroundDialog.h"
#include "builder/dialogs/ButtonSounds.h"
#include "builder/dialogs/FontOptionsDialog.h"
#include "builder/dialogs/FormReference.h"
#include "builder/language/Language.h"

void TForm1::Timer1Timer(TObject*)
{
    Label27->Font().SetStyle(0);
    Label27->FontChanged();
    if (!LanguageApplied) {
        // A language change starts the design over: no background picture
        // (its path stays shown), black text on white.
        FormRef(BackgroundDialog, "TForm6").Image1->Picture().Assign(static_cast<const TGraphic*>(nullptr));
        TForm7& fonts = FormRef(FontOptionsDialog, "TForm7");
        fonts.Memo1->SetColor(clWhite);
        fonts.Memo1->Font().SetColor(clBlack);
        fonts.Memo1->FontChanged();
        fonts.Edit4->SetText("#000000");
        fonts.Edit5->SetText("#FFFFFF");
        SetLang(CurrentLanguage);
        LanguageApplied = true;
    }
    ApplyOptionRules();
}

void TForm1::PageControl1MouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    PlayButtonSound();
}

void TForm1::PageControl1Change(TObject*)
{
    ProgressBar1->SetMax(ListBox1->Count());
    ProgressBar1->SetPosition(0);
}

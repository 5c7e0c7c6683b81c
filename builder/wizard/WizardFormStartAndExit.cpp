// The wizard's part in the program's start-up, its menu and the ways to leave it.

#include "builder/wizard/WizardForm.h"

#include "builder/language/Language.h"
#include "builder/dialogs/SaveSettingsPrompt.h"
#include "builder/wizard/SettingsFile.h"
#include "builder/wizard/StartScreen.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/TDialogs.h"

void TForm1::AddStartAndExitHandlers(THandlerTable& h)
{
    h.Add("FormClose", this, &TForm1::FormClose);
    h.Add("Save1Click", this, &TForm1::Save1Click);
    h.Add("Load1Click", this, &TForm1::Load1Click);
    h.Add("Exit1Click", this, &TForm1::Exit1Click);
    h.Add("AnAus1Click", this, &TForm1::AnAus1Click);
    h.Add("Color1Click", this, &TForm1::Color1Click);
    h.Add("English1Click", this, &TForm1::English1Click);
    h.Add("Deutsch1Click", this, &TForm1::Deutsch1Click);
    h.Add("BackToAssist1Click", this, &TForm1::BackToAssist1Click);
}

void TForm1::StartUp()
{
    LoadSettings(ProgramFolder + "settings.dat");
    // The language is never taken from the file: every start is English.
    CurrentLanguage = "eng";
    English1->SetChecked(true);
    Deutsch1->SetChecked(false);
    LanguageApplied = false;
}

void TForm1::LoadSettings(const std::string& fileName)
{
    TBuilderSettings settings{AnAus1->Checked(), Color1->Checked()};
    try {
        ReadSettingsFile(fileName, settings);
    } catch (const Exception& e) {
        // Reported, and the start goes on: an unreadable file must not keep
        // the program from starting.
        if (!Application)
            throw;
        Application->HandleException(this, e);
        return;
    }
    AnAus1->SetChecked(settings.SoundEffects);
    Color1->SetChecked(settings.ColorEffects);
}

void TForm1::WriteSettings()
{
    WriteSettingsFile(ProgramFolder + "settings.dat", TBuilderSettings{AnAus1->Checked(), Color1->Checked()},
                      CurrentLanguage);
}

// A save the user asked for that did not happen (cancelled or failed) keeps
// the wizard open, so the set-up is not lost with the program.
void TForm1::FormClose(TObject*, TCloseAction& Action)
{
    if (FormRef(SaveSettingsPrompt, "TForm8").ShowModal() == mrYes && !SaveProject()) {
        Action = caNone;
        return;
    }
    FCloseAccepted = true;
    WriteSettings();
}

void TForm1::Save1Click(TObject*)
{
    SaveProject();
}

void TForm1::Load1Click(TObject*)
{
    LoadProject();
}

void TForm1::Exit1Click(TObject*)
{
    FCloseAccepted = false;
    Close();
    if (FCloseAccepted && Application)
        Application->Terminate();
}

void TForm1::AnAus1Click(TObject*)
{
    AnAus1->SetChecked(!AnAus1->Checked());
}

void TForm1::Color1Click(TObject*)
{
    Color1->SetChecked(!Color1->Checked());
}

void TForm1::English1Click(TObject*)
{
    English1->SetChecked(!English1->Checked());
    if (English1->Checked()) {
        CurrentLanguage = "eng";
        LanguageApplied = false;
    }
}

void TForm1::Deutsch1Click(TObject*)
{
    Deutsch1->SetChecked(!Deutsch1->Checked());
    if (Deutsch1->Checked()) {
        CurrentLanguage = "ger";
        LanguageApplied = false;
    }
}

void TForm1::BackToAssist1Click(TObject*)
{
    Hide();
    FormRef(StartScreen, "TVM").Show();
}

void TForm1::SetBuildsRunning(int count)
{
    const bool changed = (count > 0) != (FBuildsRunning > 0);
    FBuildsRunning = count;
    if (changed && OnBuildStateChange)
        OnBuildStateChange(this);
}

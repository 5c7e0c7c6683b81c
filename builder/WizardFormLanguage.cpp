#include "builder/Language.h"
#include "builder/WizardForm.h"

std::string CurrentLanguage = "eng";
bool LanguageApplied = false;

void TForm1::SetLang(const std::string&) {}

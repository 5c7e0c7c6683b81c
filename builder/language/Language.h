#pragma once

// The language of the builder's windows and of the generated pages' words.

#include <string>

// "ger" or "eng"; the wizard's start-up sets "eng".
extern std::string CurrentLanguage;
// False after every language change, until the wizard's poll has applied the
// language (TForm1::SetLang).
extern bool LanguageApplied;

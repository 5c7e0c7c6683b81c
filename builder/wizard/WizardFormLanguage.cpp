#include "builder/language/Language.h"
#include "builder/language/LanguageTable.h"
#include "builder/language/LanguageTarget.h"
#include "builder/wizard/WizardForm.h"

std::string CurrentLanguage = "eng";
bool LanguageApplied = false;

void TForm1::SetLang(const std::string& lang)
{
    if (LanguageApplied)
        return;
    const std::span<const TLanguageRow> rows = LanguageRows(lang);
    if (rows.empty())
        return;
    // A row whose window is missing changes nothing; the table's tests make
    // sure that every row finds its target in the running program.
    for (const TLanguageRow& row : rows)
        ApplyLanguageRow(row);
    // Every application starts the link mode afresh on the linked thumbnails.
    ComboBox1->SetItemIndex(0);
    ApplyOptionRules();
}

#include "platform/controls/UnattendedInteraction.h"

#include "platform/controls/TCustomForm.h"

TUnattendedInteraction::TUnattendedInteraction() : FPrevious(InstalledUserInteraction())
{
    SetUserInteraction(this);
}

TUnattendedInteraction::~TUnattendedInteraction()
{
    if (InstalledUserInteraction() == this)
        SetUserInteraction(FPrevious);
}

void TUnattendedInteraction::BeginModal(TCustomForm& form)
{
    form.SetModalResult(mrOk);
}

void TUnattendedInteraction::ModalIdle(TCustomForm& form)
{
    // A form that refused to close on OK would wait for ever.
    throw EUnscriptedInteraction("modal form " + form.Name() + " does not end unattended");
}

int TUnattendedInteraction::MessageBox(const std::string& text, const std::string&, unsigned)
{
    FMessages.push_back(text);
    return IDOK;
}

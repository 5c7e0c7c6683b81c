#pragma once

// The meta tags editor: Memo1 shows MetaHeadText when the wizard opens it;
// "Speichern" stores the memo's whole text back and hides, "Abbruch" hides
// without storing.

#include "platform/controls/TButton.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TEdit.h"

class TForm14 : public TForm {
public:
    explicit TForm14(TComponent* AOwner);
    ~TForm14() override;
    const char* ClassName() const override { return "TForm14"; }

    TMemo* Memo1;
    TButton* Button1;  // Speichern
    TButton* Button2;  // Abbruch

private:
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
};

extern TForm14* MetaTagsEditor;

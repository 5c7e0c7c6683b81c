#pragma once

// Asks the viewer's user to accept the gallery maker's notes on its pictures.

#include "platform/controls/TButton.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TEdit.h"

class TForm4 : public TForm {
public:
    explicit TForm4(TComponent* AOwner);
    ~TForm4() override;
    const char* ClassName() const override { return "TForm4"; }

    TMemo* Memo1;
    TButton* Button1;
    TButton* Button2;
};

extern TForm4* ContentNotesDialog;

#pragma once

// The account chooser of "Edit": its choice is loaded into the editor. The
// main window's account list stays as "Edit" read it, whatever the chooser
// ends with, so it keeps in step with the main window's account box.

#include "platform/controls/TButton.h"
#include "platform/controls/TComboBox.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TLabel.h"

class TForm4 : public TForm {
public:
    explicit TForm4(TComponent* AOwner);
    ~TForm4() override;
    const char* ClassName() const override { return "TForm4"; }

    TLabel* Label1;
    TComboBox* ComboBox1;
    TButton* Button1;  // "ok ->"

    void Button1Click(TObject* Sender);
};

extern TForm4* AccountChooser;

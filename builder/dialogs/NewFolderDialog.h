#pragma once

// The new-folder dialog of the gallery-folder chooser. OK! makes the folder
// Edit1 names inside the chooser's folder and moves the chooser's folder list
// into it; a folder that cannot be made gets "Error by create directory".
// Either way the dialog hides; Cancel only hides it.

#include "platform/controls/TButton.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"

class TForm3 : public TForm {
public:
    explicit TForm3(TComponent* AOwner);
    ~TForm3() override;
    const char* ClassName() const override { return "TForm3"; }

    TLabel* Label1;
    TEdit* Edit1;
    TButton* Button1;  // OK!
    TButton* Button2;  // Cancel

private:
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
};

extern TForm3* NewFolderDialog;

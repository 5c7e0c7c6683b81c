#pragma once

// The upload's protocol window and the prompt for a gallery folder that
// already exists on the server ("yes" answers mrOk, "no" mrCancel).

#include <string>

#include "platform/controls/TButton.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"

class TForm6 : public TForm {
public:
    explicit TForm6(TComponent* AOwner);
    ~TForm6() override;
    const char* ClassName() const override { return "TForm6"; }

    TMemo* Memo1;
};

class TForm9 : public TForm {
public:
    explicit TForm9(TComponent* AOwner);
    ~TForm9() override;
    const char* ClassName() const override { return "TForm9"; }

    TLabel* Label1;
    TButton* Button1;  // "yes"
    TButton* Button2;  // "no"
};

extern TForm6* ProtocolWindow;
extern TForm9* FolderExistsPrompt;

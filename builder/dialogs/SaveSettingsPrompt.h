#pragma once

// The prompt of the wizard's closing: "Yes" answers mrYes (6), "No" mrNo (7).

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TLabel.h"

class TForm8 : public TForm {
public:
    explicit TForm8(TComponent* AOwner);
    ~TForm8() override;
    const char* ClassName() const override { return "TForm8"; }

    TLabel* Label1;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn2;
};

extern TForm8* SaveSettingsPrompt;

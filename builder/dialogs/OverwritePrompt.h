#pragma once

// The overwrite prompt: asked before a build writes into a folder that already
// holds a gallery. "Yes" answers mrYes (6), "No" mrNo (7).

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TLabel.h"

class TForm13 : public TForm {
public:
    explicit TForm13(TComponent* AOwner);
    ~TForm13() override;
    const char* ClassName() const override { return "TForm13"; }

    TLabel* Label1;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn2;
};

extern TForm13* OverwritePrompt;

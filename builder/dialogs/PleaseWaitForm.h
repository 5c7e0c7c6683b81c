#pragma once

// The please-wait window, shown while a build writes a large output file.

#include "platform/controls/TCustomForm.h"
#include "platform/controls/TLabel.h"

class TSchreibeDaten : public TForm {
public:
    explicit TSchreibeDaten(TComponent* AOwner);
    ~TSchreibeDaten() override;
    const char* ClassName() const override { return "TSchreibeDaten"; }

    TLabel* Label1;
};

extern TSchreibeDaten* PleaseWaitForm;

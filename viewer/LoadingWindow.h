#pragma once

// The small window that counts the pictures while the gallery loads.

#include "platform/controls/TCustomForm.h"
#include "platform/controls/TLabel.h"

class TForm2 : public TForm {
public:
    explicit TForm2(TComponent* AOwner);
    ~TForm2() override;
    const char* ClassName() const override { return "TForm2"; }

    TLabel* Label1;
};

extern TForm2* LoadingWindow;

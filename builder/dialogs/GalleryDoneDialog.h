#pragma once

// The gallery-done dialog: names the new gallery's start page in Label3.
// "Show" answers mrOk (1), "Don't Show!" mrCancel (2).

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TLabel.h"

class TForm4 : public TForm {
public:
    explicit TForm4(TComponent* AOwner);
    ~TForm4() override;
    const char* ClassName() const override { return "TForm4"; }

    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn2;
};

extern TForm4* GalleryDoneDialog;

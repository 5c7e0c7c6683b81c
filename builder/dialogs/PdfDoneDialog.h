#pragma once

// The dialog at the end of a PDF gallery: "show" answers mrOk (1), "dont
// show" mrCancel (2).

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TLabel.h"

class TForm20 : public TForm {
public:
    explicit TForm20(TComponent* AOwner);
    ~TForm20() override;
    const char* ClassName() const override { return "TForm20"; }

    TLabel* Label1;
    TLabel* Label2;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn2;
};

extern TForm20* PdfDoneDialog;

#pragma once

// The window that holds the PDF page with its layout panel; it is never shown.

#include "platform/controls/TCustomForm.h"

class TPRPage;
class TPRLayoutPanel;

class TForm19 : public TForm {
public:
    explicit TForm19(TComponent* AOwner);
    ~TForm19() override;
    const char* ClassName() const override { return "TForm19"; }

    TPRPage* PRPage1;
    TPRLayoutPanel* PRLayoutPanel1;
};

extern TForm19* PdfPageHolderForm;

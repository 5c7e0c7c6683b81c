#pragma once

// The window that holds the PDF page components; it is never shown. The
// components come with the PDF page components.

#include "platform/controls/TCustomForm.h"

class TForm19 : public TForm {
public:
    explicit TForm19(TComponent* AOwner);
    ~TForm19() override;
    const char* ClassName() const override { return "TForm19"; }
};

extern TForm19* PdfPageHolderForm;

#pragma once

// The background-picture dialog: the picture in Image1 (empty: no background
// picture) and its file path in Label1.

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TLabel.h"

class TForm6 : public TForm {
public:
    explicit TForm6(TComponent* AOwner);
    ~TForm6() override;
    const char* ClassName() const override { return "TForm6"; }

    TImage* Image1;
    TLabel* Label1;
    TBitBtn* BitBtn1;  // Load Picture
    TBitBtn* BitBtn2;  // Clear
    TBitBtn* BitBtn3;  // OK
    TOpenDialog* OpenDialog1;

private:
    void BitBtn1Click(TObject* Sender);
    void BitBtn2Click(TObject* Sender);
    void BitBtn3Click(TObject* Sender);
};

extern TForm6* BackgroundDialog;

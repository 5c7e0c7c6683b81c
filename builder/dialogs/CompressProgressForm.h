#pragma once

// The progress window shown while a build shrinks a picture and searches its
// JPEG quality: Label2 tells the step, Image1 shows the picture.

#include "platform/controls/TCustomForm.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TLabel.h"

class TForm10 : public TForm {
public:
    explicit TForm10(TComponent* AOwner);
    ~TForm10() override;
    const char* ClassName() const override { return "TForm10"; }

    TLabel* Label1;
    TLabel* Label2;
    TImage* Image1;
};

extern TForm10* CompressProgressForm;

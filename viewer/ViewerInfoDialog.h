#pragma once

// The info box behind the viewer's info picture.

#include <string_view>

#include "platform/controls/TButton.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TLabel.h"
#include "shared/MakerHomePage.h"

class TForm3 : public TForm {
public:
    explicit TForm3(TComponent* AOwner);
    ~TForm3() override;
    const char* ClassName() const override { return "TForm3"; }

    TLabel* Label2;
    TButton* Button1;

    void Button1Click(TObject* Sender);
    void Label2Click(TObject* Sender);
};

extern TForm3* ViewerInfoDialog;

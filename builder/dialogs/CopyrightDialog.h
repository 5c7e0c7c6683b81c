#pragma once

// The copyright-note dialog: the text in Edit1 is drawn into every full picture
// of a build (empty: no note).

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"

class TForm9 : public TForm {
public:
    explicit TForm9(TComponent* AOwner);
    ~TForm9() override;
    const char* ClassName() const override { return "TForm9"; }

    TLabel* Label1;
    TMemo* Memo1;
    TEdit* Edit1;
    TBitBtn* BitBtn1;

private:
    void BitBtn1Click(TObject* Sender);
};

extern TForm9* CopyrightDialog;

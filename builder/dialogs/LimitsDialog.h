#pragma once

// The limits dialog: the largest height and width (pixels) and file size (KB)
// of the full pictures of an internet-optimised build, read by the build from
// Edit1 to Edit3. Its OK hands the three checked values to OnAccept, which
// the wizard installs to keep its own copies of them.

#include <functional>

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TUpDown.h"

class TForm11 : public TForm {
public:
    explicit TForm11(TComponent* AOwner);
    ~TForm11() override;
    const char* ClassName() const override { return "TForm11"; }

    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TMemo* Memo1;
    TEdit* Edit1;  // height
    TEdit* Edit2;  // width
    TEdit* Edit3;  // file size
    TUpDown* UpDown1;
    TBitBtn* BitBtn1;
    // The three fields, once they are whole numbers.
    std::function<void(const TForm11&)> OnAccept;

private:
    // OK: the three fields must be whole numbers, checked in order; then they go
    // to OnAccept and the dialog hides.
    void BitBtn1Click(TObject* Sender);
};

extern TForm11* LimitsDialog;

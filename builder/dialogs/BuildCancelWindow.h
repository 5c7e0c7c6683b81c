#pragma once

// The build-cancel window, shown beside the wizard while a build runs. Its one
// button clears BuildRunning, which the build looks at before every picture,
// and then tells OnCancel (the wizard clears its progress bar).

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCustomForm.h"

// True while a build's picture loop may go on; the build sets it when its loop
// begins and never clears it itself.
extern bool BuildRunning;

class TForm12 : public TForm {
public:
    explicit TForm12(TComponent* AOwner);
    ~TForm12() override;
    const char* ClassName() const override { return "TForm12"; }

    TBitBtn* BitBtn1;
    TNotifyEvent OnCancel;

private:
    void BitBtn1Click(TObject* Sender);
};

extern TForm12* BuildCancelWindow;

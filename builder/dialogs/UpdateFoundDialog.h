#pragma once

// The dialog that tells of a newer version: Memo1 describes it, "Download
// now!" opens DownloadLink in the browser when it is a web address ("http://"
// or "https://"), "Exit" hides the dialog. The start screen's update check
// fills it.

#include <string>

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"

class TForm18 : public TForm {
public:
    explicit TForm18(TComponent* AOwner);
    ~TForm18() override;
    const char* ClassName() const override { return "TForm18"; }

    TLabel* Label1;
    TMemo* Memo1;
    TBitBtn* BitBtn1;  // download
    TBitBtn* BitBtn2;  // exit

    // The download address of the last reply.
    std::string DownloadLink;

    static bool IsWebAddress(const std::string& link);

private:
    void BitBtn1Click(TObject* Sender);
    void BitBtn2Click(TObject* Sender);
};

extern TForm18* UpdateFoundDialog;

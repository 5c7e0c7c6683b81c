#pragma once

// The account editor: the six fields of an FTP account. "save ->" adds a new
// account or replaces the chosen one, depending on the main window's edit
// mode; an account whose fields could not be read back as typed is refused.

#include <string>

#include "platform/controls/TButton.h"
#include "platform/controls/TCheckBox.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"
#include "uploader/AccountStore.h"

class TForm2 : public TForm {
public:
    explicit TForm2(TComponent* AOwner);
    ~TForm2() override;
    const char* ClassName() const override { return "TForm2"; }

    TEdit* Edit1;  // account name
    TEdit* Edit2;  // host
    TEdit* Edit3;  // user name
    TEdit* Edit4;  // password
    TEdit* Edit5;  // port
    TEdit* Edit6;  // remote directory
    TRadioButton* RadioButton1;  // hidden "use password"
    TButton* Button1;  // "cancel"
    TButton* Button2;  // "save ->"

    // The flag the next save writes: "no", or the one of the account last loaded.
    std::string CurrentFlag = "no";

    TAccount EnteredAccount() const;
    void ShowAccount(const TAccount& account);

    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);

private:
    void FormCreate(TObject* Sender);
};

extern TForm2* AccountEditor;

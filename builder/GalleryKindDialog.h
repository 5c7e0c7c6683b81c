#pragma once

// The gallery-kind dialog of web galleries: HTML or PHP, the seven PHP options
// and the PHP gallery's administration password and e-mail address. The
// wizard's PHP switches are copied from here when the web kind is chosen.
// "Dererivur" (view counts) takes "Chart - Views" along, "Voting" takes
// "Chart - Votes".

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCheckBox.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"

class TForm21 : public TForm {
public:
    explicit TForm21(TComponent* AOwner);
    ~TForm21() override;
    const char* ClassName() const override { return "TForm21"; }

    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TLabel* Label5;
    TLabel* Label6;
    TRadioButton* RadioButton1;  // PHP
    TRadioButton* RadioButton2;  // HTML
    TCheckBox* CheckBox1;        // view counts
    TCheckBox* CheckBox2;        // voting
    TCheckBox* CheckBox3;        // comments per picture
    TCheckBox* CheckBox4;        // mail a picture
    TCheckBox* CheckBox5;        // chart of views
    TCheckBox* CheckBox6;        // chart of votes
    TCheckBox* CheckBox7;        // gallery comments
    TEdit* Edit1;                // admin password
    TEdit* Edit2;                // admin e-mail
    TMemo* Memo1;
    TMemo* Memo2;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn2;

private:
    void CheckBox1Click(TObject* Sender);
    void CheckBox2Click(TObject* Sender);
};

extern TForm21* GalleryKindDialog;

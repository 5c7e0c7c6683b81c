#pragma once

// The gallery-kind dialog of web galleries: HTML or PHP, the seven PHP options
// and the PHP gallery's administration password and e-mail address. The
// wizard's PHP switches are copied from here when the web kind is chosen.
// "Dererivur" (view counts) takes "Chart - Views" along, "Voting" takes
// "Chart - Votes".
//
// Each choice can also be made through its picture (Image1 HTML, Image2 PHP);
// a choice goes to OnChoose (the wizard's PhpGallery) and puts its pair of
// preview pictures (Image9, Image10) into Image7 and Image8. While Timer1 runs (the start
// screen runs it while it asks), the PHP options and fields are enabled
// exactly while PHP is chosen.

#include <functional>

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCheckBox.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TTimer.h"

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
    TImage* Image1;   // HTML
    TImage* Image2;   // PHP
    TImage* Image7;   // the previews shown
    TImage* Image8;
    TImage* Image9;   // the HTML gallery's preview
    TImage* Image10;  // the PHP gallery's preview
    TTimer* Timer1;

    void Timer1Timer(TObject* Sender);
    // Sets the kind, its choice and its previews.
    void Choose(bool php);
    // Told every choice: true for PHP.
    std::function<void(bool)> OnChoose;

private:
    void CheckBox1Click(TObject* Sender);
    void CheckBox2Click(TObject* Sender);
    void RadioButton1Click(TObject* Sender);
    void RadioButton2Click(TObject* Sender);
    void Image1Click(TObject* Sender);
    void Image2Click(TObject* Sender);
};

extern TForm21* GalleryKindDialog;

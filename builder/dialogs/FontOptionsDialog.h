#pragma once

// The font options dialog: the pages' font (ComboBox1; none chosen means the
// pages use "Verdana"), the three font sizes as typed (Edit1 to Edit3), and the
// text and background colours, held as the font colour and the colour of the
// preview memo Memo1 and shown as "#rrggbb" in Edit4 and Edit5.

#include <string>

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TComboBox.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TUpDown.h"

class TForm7 : public TForm {
public:
    explicit TForm7(TComponent* AOwner);
    ~TForm7() override;
    const char* ClassName() const override { return "TForm7"; }

    // The chosen font's name; "" when the combo box has no selected item.
    std::string ChosenFontName() const;
    TColor TextColor() const { return Memo1->Font().Color(); }
    TColor BackgroundColor() const { return Memo1->Color(); }

    TComboBox* ComboBox1;
    TMemo* Memo1;
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TLabel* Label5;
    TLabel* Label7;
    TEdit* Edit1;
    TEdit* Edit2;
    TEdit* Edit3;
    TEdit* Edit4;
    TEdit* Edit5;
    TUpDown* UpDown1;
    TUpDown* UpDown2;
    TUpDown* UpDown3;
    TBitBtn* BitBtn1;  // text colour
    TBitBtn* BitBtn2;  // background colour
    TBitBtn* BitBtn3;  // OK
    TBitBtn* BitBtn4;  // hex text colour
    TBitBtn* BitBtn5;  // hex background colour
    TColorDialog* ColorDialog1;

private:
    void ComboBox1Change(TObject* Sender);
    void BitBtn1Click(TObject* Sender);
    void BitBtn2Click(TObject* Sender);
    void BitBtn3Click(TObject* Sender);
    void BitBtn4Click(TObject* Sender);
    void BitBtn5Click(TObject* Sender);
    void SizeClick(TObject* Sender, TUDBtnType Button);
    void SetTextColor(TColor color);
};

extern TForm7* FontOptionsDialog;

#include "builder/dialogs/FontOptionsDialog.h"

#include "builder/pages/ColorToHtml.h"
#include "platform/core/AnsiString.h"

TForm7* FontOptionsDialog = nullptr;

TForm7::TForm7(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("ComboBox1Change", this, &TForm7::ComboBox1Change);
    handlers.Add("BitBtn1Click", this, &TForm7::BitBtn1Click);
    handlers.Add("BitBtn2Click", this, &TForm7::BitBtn2Click);
    handlers.Add("BitBtn3Click", this, &TForm7::BitBtn3Click);
    handlers.Add("BitBtn4Click", this, &TForm7::BitBtn4Click);
    handlers.Add("BitBtn5Click", this, &TForm7::BitBtn5Click);
    handlers.Add("SizeClick", this, &TForm7::SizeClick);
    ReadLayout("FontOptionsDialog", handlers);
    ComboBox1 = Child<TComboBox>("ComboBox1");
    Memo1 = Child<TMemo>("Memo1");
    Label1 = Child<TLabel>("Label1");
    Label2 = Child<TLabel>("Label2");
    Label3 = Child<TLabel>("Label3");
    Label4 = Child<TLabel>("Label4");
    Label5 = Child<TLabel>("Label5");
    Label7 = Child<TLabel>("Label7");
    Edit1 = Child<TEdit>("Edit1");
    Edit2 = Child<TEdit>("Edit2");
    Edit3 = Child<TEdit>("Edit3");
    Edit4 = Child<TEdit>("Edit4");
    Edit5 = Child<TEdit>("Edit5");
    UpDown1 = Child<TUpDown>("UpDown1");
    UpDown2 = Child<TUpDown>("UpDown2");
    UpDown3 = Child<TUpDown>("UpDown3");
    BitBtn1 = Child<TBitBtn>("BitBtn1");
    BitBtn2 = Child<TBitBtn>("BitBtn2");
    BitBtn3 = Child<TBitBtn>("BitBtn3");
    BitBtn4 = Child<TBitBtn>("BitBtn4");
    BitBtn5 = Child<TBitBtn>("BitBtn5");
    ColorDialog1 = Child<TColorDialog>("ColorDialog1");
}

TForm7::~TForm7()
{
    if (FontOptionsDialog == this)
        FontOptionsDialog = nullptr;
}

std::string TForm7::ChosenFontName() const
{
    const int index = ComboBox1->ItemIndex();
    return index < 0 ? std::string() : ComboBox1->Items().Strings(index);
}

void TForm7::SetTextColor(TColor color)
{
    Memo1->Font().SetColor(color);
    Memo1->FontChanged();
}

void TForm7::ComboBox1Change(TObject*)
{
    const std::string name = ComboBox1->Text();
    Memo1->Font().SetName(name);
    Memo1->FontChanged();
    ComboBox1->SetText(name);
}

void TForm7::BitBtn1Click(TObject*)
{
    ColorDialog1->SetColor(TextColor());
    if (!ColorDialog1->Execute())
        return;
    SetTextColor(ColorDialog1->Color());
    Edit4->SetText(ColorToHtml(ColorDialog1->Color()));
}

void TForm7::BitBtn2Click(TObject*)
{
    ColorDialog1->SetColor(BackgroundColor());
    if (!ColorDialog1->Execute())
        return;
    Memo1->SetColor(ColorDialog1->Color());
    Edit5->SetText(ColorToHtml(ColorDialog1->Color()));
}

void TForm7::BitBtn3Click(TObject*)
{
    Hide();
}

void TForm7::BitBtn4Click(TObject*)
{
    SetTextColor(HexToColor(Edit4->Text()));
}

void TForm7::BitBtn5Click(TObject*)
{
    Memo1->SetColor(HexToColor(Edit5->Text()));
}

void TForm7::SizeClick(TObject* Sender, TUDBtnType)
{
    TEdit* edit = Sender == UpDown1 ? Edit1 : Sender == UpDown2 ? Edit2 : Edit3;
    int size = 0;
    // A size typed beside the arrows may be no number; the preview then keeps its size.
    if (TryStrToInt(edit->Text(), size)) {
        Memo1->Font().SetSize(size);
        Memo1->FontChanged();
    }
}

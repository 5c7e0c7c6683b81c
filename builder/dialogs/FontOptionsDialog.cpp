#include "builder/dialogs/FontOptionsDialog.h"

#include "builder/pages/ColorToHtml.h"
#include "platform/core/AnsiString.h"

TForm7* FontOptionsDialog = nullptr;

namespace {

// The components TForm7 holds, by their names in the layout.
const TBindingTable FontOptionsDialogBindings = {
    {"ComboBox1", &TForm7::ComboBox1},
    {"Memo1", &TForm7::Memo1},
    {"Label1", &TForm7::Label1},
    {"Label2", &TForm7::Label2},
    {"Label3", &TForm7::Label3},
    {"Label4", &TForm7::Label4},
    {"Label5", &TForm7::Label5},
    {"Label7", &TForm7::Label7},
    {"Edit1", &TForm7::Edit1},
    {"Edit2", &TForm7::Edit2},
    {"Edit3", &TForm7::Edit3},
    {"Edit4", &TForm7::Edit4},
    {"Edit5", &TForm7::Edit5},
    {"UpDown1", &TForm7::UpDown1},
    {"UpDown2", &TForm7::UpDown2},
    {"UpDown3", &TForm7::UpDown3},
    {"BitBtn1", &TForm7::BitBtn1},
    {"BitBtn2", &TForm7::BitBtn2},
    {"BitBtn3", &TForm7::BitBtn3},
    {"BitBtn4", &TForm7::BitBtn4},
    {"BitBtn5", &TForm7::BitBtn5},
    {"ColorDialog1", &TForm7::ColorDialog1},
};

}  // namespace

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
    ReadLayout("FontOptionsDialog", handlers, &FontOptionsDialogBindings);
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

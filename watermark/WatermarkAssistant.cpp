#include "watermark/WatermarkAssistant.h"

#include "platform/controls/TApplication.h"
#include "platform/core/Program.h"
#include "watermark/GalleryCollection.h"
#include "watermark/GallerySelectDialog.h"
#include "watermark/StartArguments.h"
#include "watermark/WatermarkWindow.h"

std::string RemoteMode;
std::string GalleryDir;
TForm2* WatermarkAssistant = nullptr;

namespace {

// The components TForm2 holds, by their names in the layout.
const TBindingTable WatermarkAssistantBindings = {
    {"Image1", &TForm2::Image1},
    {"RadioButton1", &TForm2::RadioButton1},
    {"RadioButton2", &TForm2::RadioButton2},
    {"CheckBox1", &TForm2::CheckBox1},
    {"CheckBox2", &TForm2::CheckBox2},
    {"MTranBtn1", &TForm2::MTranBtn1},
    {"MTranBtn2", &TForm2::MTranBtn2},
};

}  // namespace

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("FormCreate", this, &TForm2::FormCreate);
    handlers.Add("MTranBtn1Click", this, &TForm2::MTranBtn1Click);
    handlers.Add("MTranBtn2Click", this, &TForm2::MTranBtn2Click);
    ReadLayout("WatermarkAssistant", handlers, &WatermarkAssistantBindings);
}

TForm2::~TForm2()
{
    if (WatermarkAssistant == this)
        WatermarkAssistant = nullptr;
}

void TForm2::FormCreate(TObject*)
{
    RemoteMode = "";
    const TStartArguments arguments = ReadStartArguments(ParamStr(1), ParamStr(2));
    if (arguments.Remote) {
        RadioButton1->SetChecked(true);
        RemoteMode = "fern";
        GalleryDir = arguments.GalleryDir;
    }
    CheckBox1->SetChecked(arguments.FullPictures);
    CheckBox2->SetChecked(arguments.Thumbnails);
}

std::string TForm2::ChosenGalleryMask()
{
    const bool full = CheckBox1->Checked();
    const bool thumbnails = CheckBox2->Checked();
    if (GallerySelectDialog) {
        GallerySelectDialog->Label3->SetVisible(full);
        GallerySelectDialog->Label4->SetVisible(thumbnails);
    }
    return GalleryMask(full, thumbnails);
}

void TForm2::MTranBtn1Click(TObject*)
{
    Application->Terminate();
}

void TForm2::MTranBtn2Click(TObject*)
{
    const std::string mask = ChosenGalleryMask();
    GallerySelectDialog->FileListBox1->SetMask(mask);
    Hide();
    if (RadioButton2->Checked())
        WatermarkWindow->Show();
    else
        GallerySelectDialog->Show();
}

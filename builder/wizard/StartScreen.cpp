#include "builder/wizard/StartScreen.h"

#include <cstdlib>

#include "builder/dialogs/ButtonSounds.h"
#include "builder/dialogs/FormReference.h"
#include "builder/dialogs/UpdateFoundDialog.h"
#include "builder/language/Language.h"
#include "builder/wizard/WizardForm.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/TDialogs.h"
#include "platform/shell/ShellExecute.h"
#include "platform/core/AnsiString.h"
#include "platform/core/TStringList.h"
#include "shared/MakerHomePage.h"
#include "shared/veskotools.h"

TVM* StartScreen = nullptr;

namespace {

constexpr char ThisVersion[] = "3.3.1";

// The maker's server, unless the environment names another for a test.
std::string UpdateServer()
{
    const char* server = std::getenv("THUMBNAILS_UPDATE_SERVER");
    return server && *server ? std::string(server) : std::string(MakerWebServer);
}

void SetUnderlined(TLabel& label, bool underlined)
{
    const TFontStyles style = underlined ? TFontStyles(label.Font().Style() | fsUnderline)
                                         : TFontStyles(label.Font().Style() & ~fsUnderline);
    if (style == label.Font().Style())
        return;
    label.Font().SetStyle(style);
    label.FontChanged();
}

void SetMarkColor(TMTranBtn& button, TColor color)
{
    if (button.Font().Color() == color)
        return;
    button.Font().SetColor(color);
    button.FontChanged();
}

}  // namespace

namespace {

// The components TVM holds, by their names in the layout.
const TBindingTable StartScreenBindings = {
    {"Image1", &TVM::Image1},
    {"Image2", &TVM::Image2},
    {"Image3", &TVM::Image3},
    {"MTranBtn1", &TVM::MTranBtn1},
    {"MTranBtn2", &TVM::MTranBtn2},
    {"MTranBtn4", &TVM::MTranBtn4},
    {"MTranBtn7", &TVM::MTranBtn7},
    {"MTranBtn8", &TVM::MTranBtn8},
    {"MTranBtn5", &TVM::MTranBtn5},
    {"MTranBtn3", &TVM::MTranBtn3},
    {"Label1", &TVM::Label1},
    {"Memo1", &TVM::Memo1},
    {"Label2", &TVM::Label2},
    {"Label3", &TVM::Label3},
    {"Label5", &TVM::Label5},
    {"Memo2", &TVM::Memo2},
    {"Memo3", &TVM::Memo3},
    {"Memo4", &TVM::Memo4},
    {"Memo5", &TVM::Memo5},
    {"Memo7", &TVM::Memo7},
    {"Memo8", &TVM::Memo8},
    {"Memo9", &TVM::Memo9},
    {"Memo10", &TVM::Memo10},
    {"Memo11", &TVM::Memo11},
    {"Memo12", &TVM::Memo12},
    {"Memo14", &TVM::Memo14},
    {"HttpCli1", &TVM::HttpCli1},
};

}  // namespace

TVM::TVM(TComponent* AOwner) : TForm(AOwner)
{
    RegisterTranBtn();
    RegisterHttpCli();
    THandlerTable h;
    h.Add("MTranBtn1Click", this, &TVM::MTranBtn1Click);
    h.Add("MTranBtn2Click", this, &TVM::MTranBtn2Click);
    h.Add("MTranBtn4Click", this, &TVM::MTranBtn4Click);
    h.Add("MTranBtn7Click", this, &TVM::MTranBtn7Click);
    h.Add("MTranBtn8Click", this, &TVM::MTranBtn8Click);
    h.Add("MTranBtn5Click", this, &TVM::MTranBtn5Click);
    h.Add("MTranBtn3Click", this, &TVM::MTranBtn3Click);
    for (const char* name : {"MTranBtn1MouseMove", "MTranBtn2MouseMove", "MTranBtn4MouseMove", "MTranBtn7MouseMove",
                             "MTranBtn8MouseMove", "MTranBtn5MouseMove", "MTranBtn3MouseMove"})
        h.Add(name, this, &TVM::ButtonMouseMove);
    h.Add("Image1MouseMove", this, &TVM::Image1MouseMove);
    h.Add("Label2MouseMove", this, &TVM::Label2MouseMove);
    h.Add("Label5MouseMove", this, &TVM::Label5MouseMove);
    h.Add("Label2Click", this, &TVM::Label2Click);
    h.Add("Label5Click", this, &TVM::Label5Click);
    h.Add("HttpCli1DocEnd", this, &TVM::HttpCli1DocEnd);
    ReadLayout("StartScreen", h, &StartScreenBindings);
    Label2->SetCaption(std::string(MakerHomePage));
}

TVM::~TVM()
{
    if (StartScreen == this)
        StartScreen = nullptr;
}

std::array<TVM::THoverText, 7> TVM::HoverTexts() const
{
    return {{
        {MTranBtn1, "Versenden Sie Internet-Galerien via E-Mail!", "Send Internet galleries via e-mail", Memo3, Memo8},
        {MTranBtn2, "Erstellen Sie Internet Galerien aus Ihren Fotos!", "Create Internet Gallerys From Your Picures!",
         Memo2, Memo7},
        {MTranBtn4, "Erstellen Sie Vorschaubilder zu jedem beliebigem Zweck.", "Create preview pictures for any use",
         Memo4, Memo9},
        {MTranBtn7, "Erstellen Sie ein eigenst\xE4ndiges Bilderarchiv Programm.",
         "Create an independent photo archive program", Memo5, Memo10},
        {MTranBtn8, "Eine PDF-Galerie erstellen..", "Creating a PDF gallery:", Memo11, Memo12},
        {MTranBtn5, "Choose Your Language / W\xE4hlen Sie Ihre Sprache!",
         "Choose Your Language / W\xE4hlen Sie Ihre Sprache!", nullptr, nullptr},
        {MTranBtn3, "Programm beenden", "Exit Programm!", nullptr, nullptr},
    }};
}

void TVM::MarkButton(const TMTranBtn* marked)
{
    for (const THoverText& entry : HoverTexts())
        SetMarkColor(*entry.Button, entry.Button == marked ? clRed : clBlack);
}

void TVM::ButtonMouseMove(TObject* Sender, TShiftState, int, int)
{
    for (const THoverText& entry : HoverTexts()) {
        if (entry.Button != Sender)
            continue;
        if (entry.Button->Font().Color() == clBlack)
            PlayHoverSound();
        const bool english = CurrentLanguage == "eng";
        Label1->SetCaption(std::string(english ? entry.English : entry.German));
        if (TMemo* text = english ? entry.EnglishText : entry.GermanText)
            Memo1->Lines().Assign(text->Lines());
        else
            Memo1->Lines().Clear();
        MarkButton(entry.Button);
        return;
    }
}

void TVM::Image1MouseMove(TObject*, TShiftState, int, int)
{
    SetUnderlined(*Label2, false);
    SetUnderlined(*Label5, false);
    Label1->SetCaption("");
    Memo1->Lines().Clear();
    MarkButton(nullptr);
    // The focus goes where typing shows nothing.
    Memo2->SetFocus();
}

void TVM::Label2MouseMove(TObject*, TShiftState, int, int)
{
    SetUnderlined(*Label2, true);
}

void TVM::Label5MouseMove(TObject*, TShiftState, int, int)
{
    SetUnderlined(*Label5, true);
}

void TVM::Label2Click(TObject*)
{
    ShellExecute(0, "Open", MakerHomePage, "", "", SW_SHOWNORMAL);
}

void TVM::Label5Click(TObject*)
{
    // A click while a check runs only meets the client's busy refusal; the
    // running check keeps its stream.
    if (HttpCli1->State() == httpReady) {
        UpdateReplyStream = std::make_unique<TMemoryStream>();
        HttpCli1->URL = "http://" + UpdateServer() + "/version_vx.html";
        HttpCli1->ReceiveStream = UpdateReplyStream.get();
        FUpdateAnswered = false;
    }
    const char* notReady = "http connect is not ready. please check your internet network or try again later.";
    try {
        HttpCli1->Get();
    } catch (const Exception&) {
        if (!FUpdateAnswered)
            ShowMessage(notReady);
        throw;
    }
    if (!FUpdateAnswered)
        ShowMessage(notReady);
}

void TVM::HttpCli1DocEnd(TObject*)
{
    // An error page is no version reply.
    if (HttpCli1->StatusCode() != 200 || !UpdateReplyStream)
        return;
    FUpdateAnswered = true;
    TStringList lines;
    UpdateReplyStream->SetPosition(0);
    lines.LoadFromStream(*UpdateReplyStream);
    const std::string text = lines.Text();
    if (Pos(std::string("<version>") + ThisVersion + "</version>", text) > 0) {
        ShowMessage("Your version is actual");
    } else {
        TForm18& dialog = FormRef(UpdateFoundDialog, "TForm18");
        dialog.Memo1->Lines().Clear();
        std::string before, rest, version, link, description;
        SplitAtText("<version>", text, before, rest);
        SplitAtText("</version>", rest, version, rest);
        SplitAtText("<link>", rest, before, rest);
        SplitAtText("</link>", rest, link, description);
        dialog.Memo1->Lines().Add("New Version: " + version);
        dialog.Memo1->Lines().Add("Download from:: " + link);
        dialog.Memo1->Lines().Add("Description: ");
        for (const std::string& line : SplitLines(description))
            dialog.Memo1->Lines().Add(line);
        dialog.DownloadLink = link;
        dialog.Show();
    }
    UpdateReplyStream->Clear();
}

void TVM::MTranBtn5Click(TObject*)
{
    PlayButtonSound();
    TForm1& wizard = FormRef(WizardForm, "TForm1");
    const bool english = wizard.English1->Checked();
    wizard.Deutsch1->SetChecked(english);
    wizard.English1->SetChecked(!english);
    if (wizard.English1->Checked())
        CurrentLanguage = "eng";
    if (wizard.Deutsch1->Checked())
        CurrentLanguage = "ger";
    LanguageApplied = false;
}

void TVM::MTranBtn3Click(TObject*)
{
    PlayButtonSound();
    if (Application)
        Application->Terminate();
}

void TVM::BuildStateChanged()
{
    const bool idle = !WizardForm || !WizardForm->BuildInProgress();
    for (TMTranBtn* button : {MTranBtn1, MTranBtn2, MTranBtn4, MTranBtn7, MTranBtn8})
        button->SetEnabled(idle);
}

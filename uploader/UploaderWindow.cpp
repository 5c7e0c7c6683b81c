#include "uploader/UploaderWindow.h"

#include "platform/controls/TApplication.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TScreen.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "shared/veskotools.h"
#include "uploader/AccountChooser.h"
#include "uploader/AccountEditor.h"
#include "uploader/AccountStore.h"

TForm1* UploaderWindow = nullptr;

namespace {

// The components TForm1 holds, by their names in the layout.
const TBindingTable UploaderWindowBindings = {
    {"Label1", &TForm1::Label1},
    {"Label2", &TForm1::Label2},
    {"Label3", &TForm1::Label3},
    {"Label4", &TForm1::Label4},
    {"Label5", &TForm1::Label5},
    {"Label6", &TForm1::Label6},
    {"Label7", &TForm1::Label7},
    {"ComboBox1", &TForm1::ComboBox1},
    {"Edit1", &TForm1::Edit1},
    {"RadioButton1", &TForm1::RadioButton1},
    {"RadioButton2", &TForm1::RadioButton2},
    {"Button2", &TForm1::Button2},
    {"BitBtn1", &TForm1::BitBtn1},
    {"ProgressBar1", &TForm1::ProgressBar1},
    {"FileListBox1", &TForm1::FileListBox1},
    {"MainMenu1", &TForm1::MainMenu1},
    {"Neu1", &TForm1::Neu1},
    {"Bearbeiten1", &TForm1::Bearbeiten1},
    {"ProgrammInfo1", &TForm1::ProgrammInfo1},
};

}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("FormCreate", this, &TForm1::FormCreate);
    handlers.Add("FormClose", this, &TForm1::FormClose);
    handlers.Add("FormMouseMove", this, &TForm1::FormMouseMove);
    handlers.Add("Neu1Click", this, &TForm1::Neu1Click);
    handlers.Add("Bearbeiten1Click", this, &TForm1::Bearbeiten1Click);
    handlers.Add("ProgrammInfo1Click", this, &TForm1::ProgrammInfo1Click);
    handlers.Add("BitBtn1Click", this, &TForm1::BitBtn1Click);
    handlers.Add("Button2Click", this, &TForm1::Button2Click);
    handlers.Add("RadioButton1MouseMove", this, &TForm1::RadioButton1MouseMove);
    handlers.Add("RadioButton2MouseMove", this, &TForm1::RadioButton2MouseMove);
    AppPath(ProgramFolder);
    ReadLayout("UploaderWindow", handlers, &UploaderWindowBindings);

    FtpClient1 = new TFtpClient(this);
    FtpClient1->SetName("FtpClient1");
    FtpClient1->SetTimeout(120);
    FtpClient1->SetMultiThreaded(false);
    FtpClient1->SetPort("ftp");
    FtpClient1->SetLocalAddr("0.0.0.0");
    FtpClient1->SetDisplayFileFlag(false);
    FtpClient1->SetBinary(true);
    FtpClient1->SetShareMode(ftpShareExclusive);
    FtpClient1->SetOptions(FtpOption(ftpAcceptLF));
    FtpClient1->SetConnectionType(ftpDirect);
    FtpClient1->OnProgress = [this](TObject* s, int count, bool& abort) { FtpClient1Progress(s, count, abort); };
    FtpClient1->OnRequestDone = [this](TObject* s, TFtpRequest rq, WORD error) { FtpClient1RequestDone(s, rq, error); };
    // A request the client refuses to start ends nowhere else.
    FtpClient1->OnError = [this](TObject* s, const std::string& msg) { FtpClient1Error(s, msg); };
}

TForm1::~TForm1()
{
    if (UploaderWindow == this)
        UploaderWindow = nullptr;
}

std::string TForm1::AccountFile() const
{
    return ProgramFolder + std::string(AccountFileName);
}

std::string TForm1::TransferModeFile() const
{
    return ProgramFolder + std::string(TransferModeFileName);
}

void TForm1::LoadAccounts(TComboBox& box)
{
    AccountList.Clear();
    for (const std::string& line : ReadAccountLines(AccountFile())) {
        AccountList.Add(line);
        box.Items().Add(StoredAccountName(line));
    }
}

void TForm1::FormCreate(TObject*)
{
    ReadProgramFiles();
    Neu1->SetCaption("New");
    Bearbeiten1->SetCaption("Edit");
    ProgrammInfo1->SetCaption("program info");
}

void TForm1::ReadProgramFiles()
{
    // A missing or unreadable file leaves active mode.
    (ReadTransferMode(TransferModeFile()).value_or(false) ? RadioButton2 : RadioButton1)->SetChecked(true);
    ComboBox1->Items().Clear();
    LoadAccounts(*ComboBox1);
}

void TForm1::SaveTransferMode()
{
    // A preference that cannot be kept is told, and must not keep the program open.
    try {
        WriteTransferMode(TransferModeFile(), RadioButton2->Checked());
    } catch (const Exception& e) {
        Application->ShowException(e);
    }
}

void TForm1::FormClose(TObject*, TCloseAction&)
{
    SaveTransferMode();
}

void TForm1::BitBtn1Click(TObject*)
{
    SaveTransferMode();
    Application->Terminate();
}

void TForm1::Neu1Click(TObject*)
{
    EditMode = "N";
    AccountEditor->Show();
}

void TForm1::Bearbeiten1Click(TObject*)
{
    EditMode = "B";
    AccountChooser->ComboBox1->Clear();
    if (!FileExists(AccountFile()))
        return;
    LoadAccounts(*AccountChooser->ComboBox1);
    AccountChooser->Show();
}

void TForm1::ProgrammInfo1Click(TObject*)
{
    MessageDlg("sendaro - FTP Client V 1.0\r\n\r\n"
               "Sends your finished galleries to your web space.\r\n"
               "Part of the VESKO THUMBNAILS gallery programs.",
               mtInformation, mbOK);
}

void TForm1::RadioButton1MouseMove(TObject*, TShiftState, int, int)
{
    if (LastHint == 1)
        return;
    Label7->SetCaption("W\xE4hlen Sie Aktiv als Standartmodus zur FTP \xDC" "bertragung.");
    LastHint = 1;
}

void TForm1::RadioButton2MouseMove(TObject*, TShiftState, int, int)
{
    if (LastHint == 2)
        return;
    Label7->SetCaption("W\xE4hlen Sie Passive wenn Sie eine Fehlermeldung \"ERROR 500\" o.\xE4. erhalten. (Router)");
    LastHint = 2;
}

void TForm1::FormMouseMove(TObject*, TShiftState, int, int)
{
    Screen->SetCursor(crDefault);
}

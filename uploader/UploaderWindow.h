#pragma once

// The uploader's main window: the account choice, the gallery folder's name
// on the server, the transfer mode, and the upload of the gallery folder
// (the start argument) with its FTP client.
//
// The upload is a chain of steps: 1 log-in, 2 TYPE I, 3 MKD of the gallery
// folder, 4 .. N + 3 one STOR per file, N + 4 the finish. Each step starts
// from the request-done event of the step before; the step runner takes the
// next step only after the blocking call of the current one has returned, so
// the stack stays at one wait whatever the number of files.

#include <string>
#include <vector>

#include "net/TFtpClient.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TButton.h"
#include "platform/controls/TCheckBox.h"
#include "platform/controls/TComboBox.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TFileControls.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TMenu.h"
#include "platform/controls/TTrackBar.h"
#include "platform/core/TStringList.h"

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;
    const char* ClassName() const override { return "TForm1"; }

    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;  // the gallery folder being uploaded
    TLabel* Label4;
    TLabel* Label5;  // bytes of the current file
    TLabel* Label6;
    TLabel* Label7;  // the transfer mode's hint
    TComboBox* ComboBox1;  // the accounts
    TEdit* Edit1;          // the gallery folder's name on the server
    TRadioButton* RadioButton1;  // "Aktiv"
    TRadioButton* RadioButton2;  // "Passive"
    TButton* Button2;            // "Send.."
    TBitBtn* BitBtn1;            // "Close"
    TProgressBar* ProgressBar1;
    TFileListBox* FileListBox1;
    TMainMenu* MainMenu1;
    TMenuItem* Neu1;
    TMenuItem* Bearbeiten1;
    TMenuItem* ProgrammInfo1;
    TFtpClient* FtpClient1;

    // The stored lines of "kto.dat"; line i belongs to item i of ComboBox1.
    TStringList AccountList;
    // "N" a new account, "B" an existing one.
    std::string EditMode = "N";

    // The program's folder, ending with "/": "kto.dat" and "ftpmod.dat" live there.
    std::string ProgramFolder;
    // The start-up's reading of both files (the account box is filled afresh).
    void ReadProgramFiles();
    std::string AccountFile() const;
    std::string TransferModeFile() const;
    // Replaces the account list by the lines of "kto.dat" and adds their
    // names to `box`.
    void LoadAccounts(TComboBox& box);
    // Writes "ftpmod.dat"; a failed write is shown in the error box, not raised.
    void SaveTransferMode();

    void Neu1Click(TObject* Sender);
    void Bearbeiten1Click(TObject* Sender);
    void ProgrammInfo1Click(TObject* Sender);
    void BitBtn1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void RadioButton1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void RadioButton2MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void FormMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);

    // The upload's state.
    int StepCounter = 0;
    int FileIndex = 0;
    int LastFileIndex = -1;
    int LastHint = 0;  // 0 none, 1 active, 2 passive
    bool UploadRunning() const { return FRunning; }
    // The deepest nesting of blocking waits one upload reached.
    int DeepestWait() const { return FDeepestWait; }

    void commands(int step);
    void FtpClient1RequestDone(TObject* Sender, TFtpRequest RqType, WORD Error);
    void FtpClient1Progress(TObject* Sender, int Count, bool& Abort);

private:
    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FtpClient1Error(TObject* Sender, const std::string& Msg);

    void Protocol(const std::string& line);
    // Runs `step` and every step it leads to, or, inside a running step,
    // leaves it to that step's runner.
    void RunSteps(int step);
    void ExecuteCmd(TFtpRequest request, bool (TFtpClient::*method)());
    // Starts `method` as the request whose end drives the chain.
    void Await(TFtpRequest request, bool (TFtpClient::*method)());
    void TypeSet();
    void MKDIR();
    void PUT();
    void Finish();
    // The chain stopped: "Send.." may start another upload.
    void StopChain();

    std::string FGalleryFolder;
    std::vector<std::string> FUploadNames;
    bool FRunning = false;
    bool FInSteps = false;
    int FNextStep = 0;
    // The request whose end drives the chain; ftpRqNone between steps.
    TFtpRequest FAwaited = ftpRqNone;
    int FWaitDepth = 0;
    int FDeepestWait = 0;
};

extern TForm1* UploaderWindow;

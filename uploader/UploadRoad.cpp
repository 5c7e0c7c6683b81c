// The gallery upload: "Send..", the chain of steps and its protocol.

#include "platform/controls/TApplication.h"
#include "platform/controls/TDialogs.h"
#include "platform/core/AnsiString.h"
#include "platform/core/Files.h"
#include "platform/core/Program.h"
#include "uploader/AccountStore.h"
#include "uploader/ProtocolWindow.h"
#include "uploader/UploadPlan.h"
#include "uploader/UploaderWindow.h"

namespace {

std::string BytesPerFile(int count)
{
    return "Bytes per File: " + IntToStr(count);
}

}  // namespace

void TForm1::Protocol(const std::string& line)
{
    ProtocolWindow->Memo1->Lines().Add(line);
}

void TForm1::Button2Click(TObject*)
{
    const int index = ComboBox1->ItemIndex();
    if (index < 0 || index >= AccountList.Count()) {
        ShowMessage("no account selected");
        return;
    }
    const std::string argument = ParamCount() >= 1 ? ParamStr(1) : std::string();
    if (argument.empty()) {
        ShowMessage("No gallery folder given. Start the upload with Publish in the gallery program.");
        return;
    }
    const std::string folder = GalleryFolderFromArgument(argument);
    if (!DirectoryExists(folder)) {
        ShowMessage("No gallery found");
        return;
    }
    const std::string& line = AccountList.Strings(index);
    if (!IsWholeAccountLine(line)) {
        ShowMessage("The account \"" + StoredAccountName(line) +
                    "\" is damaged in kto.dat. Please enter it again with New.");
        return;
    }
    FGalleryFolder = folder;
    FileListBox1->SetDirectory(folder);
    Label3->SetCaption(folder);
    TUploadPlan plan = PlanUpload(WithServerRules(folder, FileListBox1->Items().Items()),
                                  FileListBox1->Unrepresentable());
    const std::string refused = RefusedFilesMessage(plan);
    if (!refused.empty())
        ShowMessage(refused);
    // With nothing to send there is nothing to connect for, and no finish to tell.
    if (plan.Names.empty())
        return;
    FUploadNames = std::move(plan.Names);
    const int count = static_cast<int>(FUploadNames.size());

    FileIndex = 0;
    LastFileIndex = count - 1;
    ProgressBar1->SetPosition(0);
    ProgressBar1->SetMax(count + 4);
    ProgressBar1->SetStep(1);
    // No file of this upload has been sent yet.
    Label5->SetCaption("");
    ProtocolWindow->Memo1->Lines().Clear();

    const TAccount account = UnscrambledAccount(line);
    Protocol(account.Name);
    Protocol(account.Host);
    Protocol(account.User);
    Protocol(account.Port);
    Protocol(account.Directory);
    FtpClient1->SetHostName(account.Host);
    FtpClient1->SetUserName(account.User);
    FtpClient1->SetPassWord(account.Password);
    FtpClient1->SetPort(account.Port);
    FtpClient1->SetHostDirName(account.Directory);
    FtpClient1->SetDisplayFileFlag(false);

    ProtocolWindow->Show();
    FRunning = true;
    FDeepestWait = 0;
    Button2->SetEnabled(false);
    StepCounter = 1;
    RunSteps(StepCounter);
}

void TForm1::RunSteps(int step)
{
    FNextStep = step;
    if (FInSteps)
        return;
    FInSteps = true;
    try {
        while (FNextStep > 0 && FRunning) {
            const int next = FNextStep;
            FNextStep = 0;
            commands(next);
        }
    } catch (...) {
        FInSteps = false;
        StopChain();
        throw;
    }
    FInSteps = false;
}

void TForm1::commands(int step)
{
    FtpClient1->SetPassive(RadioButton2->Checked());
    ProgressBar1->StepIt();
    Application->ProcessMessages();
    const int files = LastFileIndex + 1;
    if (step == 1) {
        // A connection left open by a refused log-in would refuse the next one.
        if (FtpClient1->Connected()) {
            FtpClient1->Abort();
            Application->ProcessMessages();
        }
        ExecuteCmd(ftpRqConnect, &TFtpClient::Connect);
    } else if (step == 2) {
        TypeSet();
    } else if (step == 3) {
        MKDIR();
    } else if (step >= 4 && step <= files + 3) {
        PUT();
    } else if (step == files + 4) {
        Finish();
    }
}

void TForm1::ExecuteCmd(TFtpRequest request, bool (TFtpClient::*method)())
{
    Protocol("Executing Requested Command");
    Await(request, method);
}

void TForm1::Await(TFtpRequest request, bool (TFtpClient::*method)())
{
    FAwaited = request;
    ++FWaitDepth;
    FDeepestWait = std::max(FDeepestWait, FWaitDepth);
    (FtpClient1->*method)();
    --FWaitDepth;
}

void TForm1::TypeSet()
{
    FtpClient1->SetBinary(true);
    Await(ftpRqTypeSet, &TFtpClient::TypeSet);
}

void TForm1::MKDIR()
{
    FtpClient1->SetHostFileName(RemoteGalleryFolder(FtpClient1->HostDirName(), Edit1->Text()));
    FtpClient1->SetDisplayFileFlag(false);
    ExecuteCmd(ftpRqMkd, &TFtpClient::Mkd);
}

void TForm1::PUT()
{
    const std::string& name = FUploadNames[static_cast<std::size_t>(FileIndex)];
    FtpClient1->SetHostFileName(RemoteGalleryFile(FtpClient1->HostDirName(), Edit1->Text(), name));
    FtpClient1->SetLocalFileName(LocalGalleryFile(FGalleryFolder, name));
    FtpClient1->SetBinary(true);
    FtpClient1->SetDisplayFileFlag(false);
    ++FileIndex;
    // A store that fails before its data flows reports no progress at all.
    Label5->SetCaption(BytesPerFile(0));
    ExecuteCmd(ftpRqPut, &TFtpClient::Put);
}

void TForm1::Finish()
{
    FAwaited = ftpRqNone;
    FRunning = false;
    FtpClient1->Abort();
    Protocol("\xDC" "bertragung beendet!");
    ShowMessage("Um Ihre Galerie zu starten geben sie nach dem Zielverzeichnis: \"start.html\" oder "
                "\"page1.html bzw. page1.php\" ein.");
    Application->Terminate();
}

void TForm1::StopChain()
{
    FRunning = false;
    FAwaited = ftpRqNone;
    FNextStep = 0;
    Button2->SetEnabled(true);
}

void TForm1::FtpClient1RequestDone(TObject*, TFtpRequest RqType, WORD Error)
{
    // Only the end of the step in flight drives the chain; an abort's own
    // report after the finish or a stop is not part of it.
    if (!FRunning || RqType != FAwaited)
        return;
    FAwaited = ftpRqNone;
    Protocol("Antwort " + IntToStr(RqType) + " Done.");
    Protocol("Status = " + IntToStr(FtpClient1->StatusCode()));
    if (Error == 0)
        Protocol("Kein Fehler");
    else
        Protocol("Fehler = " + IntToStr(Error) + " (" + FtpClient1->ErrorMessage() + ")");
    if (Error == 0) {
        if (RqType == ftpRqMkd)
            Protocol("Directory is \"" + FtpClient1->DirectoryReply() + "\"");
        ++StepCounter;
        RunSteps(StepCounter);
        return;
    }
    if (Error == 550 && StepCounter == 3) {
        if (FolderExistsPrompt->ShowModal() == mrOk) {
            ++StepCounter;
            RunSteps(StepCounter);
            return;
        }
        ProtocolWindow->Hide();
        StopChain();
        FtpClient1->Abort();
        ProgressBar1->SetPosition(0);
        return;
    }
    StopChain();
}

void TForm1::FtpClient1Error(TObject*, const std::string& Msg)
{
    if (!FRunning)
        return;
    Protocol("Fehler (" + Msg + ")");
    StopChain();
}

void TForm1::FtpClient1Progress(TObject*, int Count, bool&)
{
    Label5->SetCaption(BytesPerFile(Count));
}

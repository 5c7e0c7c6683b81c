// TCustomFtpCli: properties, the command and reply machine, the session
// opening, the high-level sequences and the abort.

#include "net/TCustomFtpCli.h"

#include <algorithm>
#include <cstring>

#include "net/LineBreaks.h"
#include "platform/core/AnsiString.h"
#include "platform/core/Tick.h"
#include "platform/loop/Messages.h"
#include "platform/loop/Window.h"

namespace {

constexpr std::uint32_t Bit(int step) { return 1u << step; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A number after blanks, with an optional sign; `pos` moves behind it.
int ReadNumber(const std::string& text, std::size_t& pos)
{
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long long value = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        if (value < 0x7FFFFFFF)
            value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    value = std::min<long long>(value, 0x7FFFFFFF);
    return static_cast<int>(negative ? -value : value);
}

// The quoted text after the code ("" when there is none); a doubled quote
// inside stands for one.
std::string QuotedName(const std::string& text, std::size_t pos)
{
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (pos >= text.size() || text[pos] != '"')
        return {};
    std::string name;
    for (++pos; pos < text.size(); ++pos) {
        if (text[pos] == '"') {
            if (pos + 1 < text.size() && text[pos + 1] == '"') {
                name += '"';
                ++pos;
                continue;
            }
            break;
        }
        name += text[pos];
    }
    return name;
}

// "Connection refused (Winsock error #10061)".
std::string WinsockErrorText(int error)
{
    return SocketErrorText(error) + " (Winsock error #" + std::to_string(error) + ")";
}

}  // namespace

std::string ExceptionClassName(const std::exception& e)
{
    if (dynamic_cast<const ESocketException*>(&e))
        return "ESocketException";
    if (dynamic_cast<const FtpException*>(&e))
        return "FtpException";
    if (dynamic_cast<const EFOpenError*>(&e))
        return "EFOpenError";
    if (dynamic_cast<const EInOutError*>(&e))
        return "EInOutError";
    return "Exception";
}

// ---------------------------------------------------------------- life

TCustomFtpCli::TCustomFtpCli(TComponent* AOwner) : TComponent(AOwner)
{
    FWindowHandle = AllocateHWnd([this](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        TMessage msg{message, wParam, lParam, 0};
        WndProc(msg);
        return msg.Result;
    });
    FControlSocket = new TWSocket(this);
    FDataSocket = new TWSocket(this);
    FControlSocket->OnSessionConnected = [this](TObject* s, WORD e) { ControlSocketSessionConnected(s, e); };
    FControlSocket->OnDataAvailable = [this](TObject* s, WORD e) { ControlSocketDataAvailable(s, e); };
    FControlSocket->OnSessionClosed = [this](TObject* s, WORD e) { ControlSocketSessionClosed(s, e); };
    FControlSocket->OnDnsLookupDone = [this](TObject* s, WORD e) { ControlSocketDnsLookupDone(s, e); };
    for (TWSocket* socket : {FControlSocket, FDataSocket})
        socket->OnSocksError = [this](TObject*, int, const std::string& Msg) { FSocksFailure = Msg; };
}

TCustomFtpCli::~TCustomFtpCli()
{
    FLocalStream.reset();
    for (TWSocket* socket : {FDataSocket, FControlSocket}) {
        if (!socket)
            continue;
        socket->OnSessionConnected = nullptr;
        socket->OnDataAvailable = nullptr;
        socket->OnSessionClosed = nullptr;
        socket->OnDnsLookupDone = nullptr;
        socket->OnSessionAvailable = nullptr;
        socket->OnDataSent = nullptr;
        socket->OnSocksError = nullptr;
        delete socket;
    }
    if (FWindowHandle)
        DeallocateHWnd(FWindowHandle);
}

void TCustomFtpCli::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == FControlSocket)
        FControlSocket = nullptr;
    else if (component == FDataSocket)
        FDataSocket = nullptr;
}

// ---------------------------------------------------------------- properties

TFtpShareMode TCustomFtpCli::ShareMode() const
{
    switch (FShareMode) {
    case fmShareCompat: return ftpShareCompat;
    case fmShareDenyWrite: return ftpShareDenyWrite;
    case fmShareDenyRead: return ftpShareDenyRead;
    case fmShareDenyNone: return ftpShareDenyNone;
    default: return ftpShareExclusive;
    }
}

void TCustomFtpCli::SetShareMode(TFtpShareMode value)
{
    switch (value) {
    case ftpShareCompat: FShareMode = fmShareCompat; break;
    case ftpShareDenyWrite: FShareMode = fmShareDenyWrite; break;
    case ftpShareDenyRead: FShareMode = fmShareDenyRead; break;
    case ftpShareDenyNone: FShareMode = fmShareDenyNone; break;
    default: FShareMode = fmShareExclusive;
    }
}

void TCustomFtpCli::SetConnectionType(TFtpConnectionType value)
{
    if (FConnected) {
        HandleError("FTP component connected");
        return;
    }
    FConnectionType = value;
    switch (value) {
    case ftpDirect:
    case ftpProxy:
        FSocksAuthentication = socksNoAuthentication;
        break;
    case ftpSocks4: FSocksLevel = "4"; FSocksAuthentication = socksAuthenticateUsercode; break;
    case ftpSocks4A: FSocksLevel = "4A"; FSocksAuthentication = socksAuthenticateUsercode; break;
    case ftpSocks5: FSocksLevel = "5"; FSocksAuthentication = socksAuthenticateUsercode; break;
    }
    if (value != ftpDirect)
        FPassive = true;
    for (TWSocket* socket : {FControlSocket, FDataSocket}) {
        if (!socket || socket->State() != wsClosed)
            continue;
        socket->SetSocksAuthentication(SocksAuthenticationInUse());
        if (value >= ftpSocks4)
            socket->SetSocksLevel(FSocksLevel);
    }
}

void TCustomFtpCli::SetPassive(bool value) { FPassive = FConnectionType == ftpDirect ? value : true; }

void TCustomFtpCli::SetSocksServer(const std::string& value) { FSocksServer = value; }
void TCustomFtpCli::SetSocksPort(const std::string& value) { FSocksPort = value; }
void TCustomFtpCli::SetSocksUserCode(const std::string& value) { FSocksUserCode = value; }
void TCustomFtpCli::SetSocksPassword(const std::string& value) { FSocksPassword = value; }

void TCustomFtpCli::ApplySocks(TWSocket& socket)
{
    // A socket forgets its SOCKS settings at every close, so each connection
    // gets them again.
    socket.SetSocksServer(FConnectionType >= ftpSocks4 ? FSocksServer : std::string());
    socket.SetSocksPort(FSocksPort);
    if (FConnectionType >= ftpSocks4)
        socket.SetSocksLevel(FSocksLevel);
    socket.SetSocksAuthentication(SocksAuthenticationInUse());
    socket.SetSocksUsercode(FSocksUserCode);
    socket.SetSocksPassword(FSocksPassword);
    FSocksFailure.clear();
}

TSocksAuthentication TCustomFtpCli::SocksAuthenticationInUse() const
{
    // Offering only user/password to a proxy that wants none gets refused.
    return FSocksUserCode.empty() ? socksNoAuthentication : FSocksAuthentication;
}

std::string TCustomFtpCli::ConnectFailureText(int error, const std::string& plain) const
{
    if (FSocksFailure.empty())
        return plain;
    return "SOCKS proxy: " + FSocksFailure + " (error #" + std::to_string(error) + ")";
}

// ---------------------------------------------------------------- events and errors

void TCustomFtpCli::FireDisplay(const std::string& Msg) { Fire(*this, OnDisplay, this, Msg); }
void TCustomFtpCli::FireDisplayFile(const std::string& Msg) { Fire(*this, OnDisplayFile, this, Msg); }
void TCustomFtpCli::FireError(const std::string& Msg) { Fire(*this, OnError, this, Msg); }
void TCustomFtpCli::FireReadyToTransmit(bool& bCancel) { Fire(*this, OnReadyToTransmit, this, bCancel); }

void TCustomFtpCli::HandleError(const std::string& Msg)
{
    FRefused = true;
    FRefusal = Msg;
    if (OnError)
        FireError(Msg);
    else
        throw FtpException(Msg);
}

bool TCustomFtpCli::CheckReady()
{
    if (FState == ftpStateReady || FState == ftpStateBetweenSteps)
        return true;
    HandleError("FTP component not ready");
    return false;
}

bool TCustomFtpCli::CheckCommandText(const std::string& text)
{
    if (!HoldsLineBreak(text))
        return true;
    HandleError("invalid character in command");
    return false;
}

void TCustomFtpCli::SetState(TFtpClientState value)
{
    if (value == FState)
        return;
    FState = value;
    Fire(*this, OnStateChange, this);
}

void TCustomFtpCli::BeginRequest()
{
    FRequestDoneFlag = false;
    ++FRequestSerial;
}

void TCustomFtpCli::SetFailure(int code, const std::string& text)
{
    FReplyText = text;
    FStatusCode = code;
    FRequestResult = code;
    FErrorMessage = text;
}

void TCustomFtpCli::SetErrorMessage()
{
    if (FErrorMessage.empty())
        FErrorMessage = FReplyText;
}

void TCustomFtpCli::FailRequest(int code, const std::string& text)
{
    SetFailure(code, text);
    FNext = nullptr;
    FNextRequest = nullptr;
    FireRequestDone(static_cast<WORD>(code));
}

void TCustomFtpCli::HandleEventException(const std::exception& e)
{
    // Whatever CanClose says, the component goes on as it is.
    FireBgException(OnBgException, this, e);
}

void TCustomFtpCli::WndProc(TMessage& msg)
{
    try {
        switch (msg.Msg) {
        case WM_FTP_REQUEST_DONE:
            // The request number travels with the message: a request started
            // before this one is dispatched must not lend it its number.
            Fire(*this, OnRequestDone, this, static_cast<TFtpRequest>(msg.WParam),
                 static_cast<WORD>(msg.LParam & 0xFFFF));
            break;
        case WM_FTP_SENDDATA:
            FStartTime = GetTickCount();
            DataSocketPutDataSent(FDataSocket, 0);
            break;
        default: msg.Result = DefWindowProc(FWindowHandle, msg.Msg, msg.WParam, msg.LParam);
        }
    } catch (const std::exception& e) {
        HandleEventException(e);
    }
}

// ---------------------------------------------------------------- commands

void TCustomFtpCli::SendCommand(const std::string& Cmd)
{
    std::string command = Cmd;
    if (OnCommand && !Fire(*this, OnCommand, this, command))
        return;
    if (!CheckCommandText(command))
        return;
    FireDisplay("> " + command);
    if (FControlSocket && FControlSocket->State() == wsConnected)
        FControlSocket->SendText(command + "\r\n");
}

void TCustomFtpCli::StartCommand(TFtpRequest request, const std::string& command, std::initializer_list<int> codes,
                                 TFtpNextProc next)
{
    if (command != "ABOR" && command != "STAT" && command != "QUIT") {
        if (!CheckReady())
            return;
        if (!FConnected) {
            HandleError("FTP component not connected");
            return;
        }
    }
    if (!CheckCommandText(command))
        return;
    if (!FHighLevelFlag)
        FRequestType = request;
    int count = 0;
    for (int code : codes) {
        if (count >= 15)
            break;
        FOkResponses[count++] = code;
    }
    FOkResponses[count] = 0;
    BeginRequest();
    FNext = &TCustomFtpCli::CheckReply;
    FDoneAsync = next;
    FErrorMessage.clear();
    FQuitReplied = false;
    SetState(ftpStateWaitReply);
    SendCommand(command);
}

void TCustomFtpCli::StartUser()
{
    if (FUserName.empty()) {
        HandleError("UserName emtpy");
        return;
    }
    std::string command = "USER " + FUserName;
    if (FConnectionType == ftpProxy) {
        command += "@" + FHostName;
        if (!SameText(FPort, "ftp") && !SameText(FPort, "21"))
            command += ":" + FPort;
    }
    FCurrentStep = 2;
    StartCommand(ftpRqUser, command, {331, 230}, nullptr);
}

void TCustomFtpCli::StartPass()
{
    if (FPassWord.empty()) {
        HandleError("Password emtpy");
        return;
    }
    FCurrentStep = 3;
    StartCommand(ftpRqPass, "PASS " + FPassWord, {230}, nullptr);
}

void TCustomFtpCli::StartCwd()
{
    if (FHostDirName.empty()) {
        HandleError("HostDirName emtpy");
        return;
    }
    FCurrentStep = 4;
    StartCommand(ftpRqCwd, "CWD " + FHostDirName, {200, 250, 257}, nullptr);
}

void TCustomFtpCli::StartSize()
{
    FSizeReply = 0;
    FCurrentStep = 5;
    StartCommand(ftpRqSize, "SIZE " + FHostFileName, {213}, nullptr);
}

void TCustomFtpCli::StartMkd()
{
    FCurrentStep = 6;
    StartCommand(ftpRqMkd, "MKD " + FHostFileName, {250, 257}, nullptr);
}

void TCustomFtpCli::StartRmd()
{
    FCurrentStep = 7;
    StartCommand(ftpRqRmd, "RMD " + FHostFileName, {250, 257}, nullptr);
}

void TCustomFtpCli::StartRnfr()
{
    FCurrentStep = 8;
    StartCommand(ftpRqRenFrom, "RNFR " + FHostFileName, {350}, nullptr);
}

void TCustomFtpCli::StartRnto()
{
    FCurrentStep = 9;
    StartCommand(ftpRqRenTo, "RNTO " + FLocalFileName, {200, 250, 257}, nullptr);
}

void TCustomFtpCli::StartQuit()
{
    FreeLocalStream();
    FCurrentStep = 12;
    StartCommand(ftpRqQuit, "QUIT", {221}, &TCustomFtpCli::QuitAsync);
}

void TCustomFtpCli::QuitAsync()
{
    // The request is reported by the close that follows.
    FQuitReplied = true;
    if (FControlSocket)
        FControlSocket->Close();
}

void TCustomFtpCli::StartSyst()
{
    FCurrentStep = 13;
    StartCommand(ftpRqSyst, "SYST", {215}, nullptr);
}

void TCustomFtpCli::StartDele()
{
    FCurrentStep = 14;
    StartCommand(ftpRqDele, "DELE " + FHostFileName, {250, 257}, nullptr);
}

void TCustomFtpCli::StartPwd()
{
    FCurrentStep = 15;
    StartCommand(ftpRqPwd, "PWD", {250, 257}, nullptr);
}

void TCustomFtpCli::StartQuote()
{
    FCurrentStep = 16;
    StartCommand(ftpRqQuote, FLocalFileName, {}, nullptr);
}

void TCustomFtpCli::StartTypeSet()
{
    FCurrentStep = 18;
    StartCommand(ftpRqTypeSet, std::string("TYPE ") + FType, {200}, nullptr);
}

void TCustomFtpCli::StartTypeBinary()
{
    SetBinary(true);
    StartTypeSet();
}

void TCustomFtpCli::StartTypeAscii()
{
    SetBinary(false);
    StartTypeSet();
}

void TCustomFtpCli::StartCdup()
{
    FCurrentStep = 20;
    StartCommand(ftpRqCdup, "CDUP", {250, 257}, nullptr);
}

void TCustomFtpCli::StartAbor()
{
    FCurrentStep = 24;
    StartCommand(ftpRqAbor, "ABOR", {}, nullptr);
}

// ---------------------------------------------------------------- replies

bool TCustomFtpCli::ReplyIsIntermediate(const std::string& line)
{
    if (line.empty() || !IsDigit(line[0]))
        return true;
    std::size_t pos = 0;
    while (pos < line.size() && IsDigit(line[pos]))
        ++pos;
    return pos < line.size() && line[pos] == '-';
}

void TCustomFtpCli::CheckReply()
{
    FireDisplay("< " + FReplyText);
    if (ReplyIsIntermediate(FReplyText))
        return;
    int code = FStatusCode;
    if (FOkResponses[0] == 0) {
        if (code < 500) {
            FRequestResult = 0;
        } else {
            FRequestResult = code;
            SetErrorMessage();
        }
    } else {
        FRequestResult = code;
        for (int entry : FOkResponses) {
            if (entry == 0)
                break;
            if (entry == code) {
                FRequestResult = 0;
                break;
            }
        }
        if (FRequestResult != 0)
            SetErrorMessage();
    }
    if (FPassive && code == 227)
        FPasvResponse = FReplyText;
    PostProcessReply(FCurrentStep);
    if (FDoneAsync)
        (this->*FDoneAsync)();
    else
        FireRequestDone(static_cast<WORD>(FRequestResult));
}

void TCustomFtpCli::PostProcessReply(int step)
{
    if (FRequestResult != 0)
        return;
    std::size_t pos = 0;
    switch (step) {
    case 5:
        ReadNumber(FReplyText, pos);
        FSizeReply = ReadNumber(FReplyText, pos);
        break;
    case 4:
    case 6:
    case 15:
    case 20:
        ReadNumber(FReplyText, pos);
        FDirectoryReply = QuotedName(FReplyText, pos);
        break;
    default: break;
    }
}

void TCustomFtpCli::HandleReplyLine(const std::string& line, WORD error)
{
    switch (FState) {
    case ftpStateWaitBanner: {
        FireDisplay("< " + line);
        if (line.empty() || !IsDigit(line[0]))
            return;
        std::size_t pos = 0;
        FStatusCode = ReadNumber(line, pos);
        if (pos < line.size() && line[pos] == '-')
            return;
        if (FStatusCode != 220) {
            SetErrorMessage();
            FRequestResult = FStatusCode;
            FBannerRefused = true;
            FControlSocket->Close();
            return;
        }
        SetState(ftpStateConnected);
        Fire(*this, OnSessionConnected, this, error);
        FireRequestDone(0);
        return;
    }
    case ftpStateWaitReply: {
        if (line.empty() || !IsDigit(line[0])) {
            FireDisplay("< " + line);
            return;
        }
        std::size_t pos = 0;
        FStatusCode = ReadNumber(line, pos);
        if (pos < line.size() && line[pos] == '-') {
            FireDisplay("< " + line);
            return;
        }
        if (!FNext) {
            HandleError("Program error: FNext is nil");
            return;
        }
        (this->*FNext)();
        return;
    }
    default: FireDisplay("< " + line);
    }
}

// ---------------------------------------------------------------- request end

void TCustomFtpCli::FireRequestDone(WORD error)
{
    if (FRequestDoneFlag)
        return;
    FRequestDoneFlag = true;
    // A failed step still lets a pending QUIT end the session politely.
    bool quitPending = FHighLevelFlag && (FPendingSteps & Bit(12)) && FCurrentStep != 12;
    if (FNextRequest && (error == 0 || quitPending)) {
        if (error != 0)
            FRequestResult = error;
        if (FState != ftpStateAborting)
            SetState(ftpStateBetweenSteps);
        (this->*FNextRequest)();
        return;
    }
    SetState(ftpStateReady);
    if (FDataSocket && FDataSocket->State() != wsClosed)
        CloseDataSocket();
    if (FHighLevelFlag && FSavedStatus >= 0) {
        FReplyText = FSavedResponse;
        FStatusCode = FSavedStatus;
    }
    FHighLevelFlag = false;
    FNextRequest = nullptr;
    FRequestResult = error;
    PostMessage(FWindowHandle, WM_FTP_REQUEST_DONE, FRequestType, error);
}

// ---------------------------------------------------------------- high-level requests

void TCustomFtpCli::StartSequence(TFtpRequest request, std::initializer_list<int> steps)
{
    std::uint32_t set = 0;
    for (int step : steps)
        set |= Bit(step);
    if (FConnected && (set & Bit(1))) {
        HandleError("FTP component already connected");
        return;
    }
    if (!CheckReady())
        return;
    for (const std::string* value : {&FUserName, &FPassWord, &FHostDirName, &FHostFileName, &FLocalFileName})
        if (!CheckCommandText(*value))
            return;
    FSavedResponse = FReplyText;
    FSavedStatus = -1;
    FRequestType = request;
    FRequestResult = 0;
    FPendingSteps = set;
    FCurrentStep = 0;
    FHighLevelResult = 0;
    FHighLevelFlag = true;
    FReplyText.clear();
    FErrorMessage.clear();
    FNextRequest = nullptr;
    FStartingSequence = true;
    RunNextStep();
}

void TCustomFtpCli::RunNextStep()
{
    bool starting = FStartingSequence;
    FStartingSequence = false;
    if (FState == ftpStateAborting) {
        FPendingSteps = 0;
        FHighLevelResult = 426;
        FErrorMessage = "426 Operation aborted.";
    }
    FNextRequest = &TCustomFtpCli::RunNextStep;
    if (FRequestResult != 0) {
        if (FHighLevelResult == 0) {
            FHighLevelResult = FRequestResult;
            // The first failure's text outlives the QUIT that follows it.
            FFailureMessage = FErrorMessage;
        }
        FPendingSteps = (FPendingSteps & Bit(12)) && FCurrentStep != 12 && FConnected ? Bit(12) : 0;
    }
    static constexpr int order[] = {1, 2, 3, 4, 20, 18, 23, 19, 10, 17, 22, 11, 21, 13, 6, 7, 8, 9, 5, 14, 15, 24, 16, 12};
    for (int step : order) {
        if (!(FPendingSteps & Bit(step)))
            continue;
        FPendingSteps &= ~Bit(step);
        int previous = FCurrentStep;
        if (step == 3 && previous == 2 && FStatusCode != 331)
            continue;
        if (step == 4 && FHostDirName.empty())
            continue;
        if (step == 10 && !(previous == 19 && FRestartOffset >= 0 && FStatusCode == 350))
            FRestartOffset = 0;
        if (step == 12) {
            FSavedResponse = FReplyText;
            FSavedStatus = FStatusCode;
        }
        FCurrentStep = static_cast<std::uint8_t>(step);
        RunStep(step, starting);
        return;
    }
    FPendingSteps = 0;
    FNextRequest = nullptr;
    FRequestDoneFlag = false;
    if (FHighLevelResult != 0 && !FFailureMessage.empty())
        FErrorMessage = FFailureMessage;
    FFailureMessage.clear();
    FireRequestDone(static_cast<WORD>(FHighLevelResult));
}

void TCustomFtpCli::RunStep(int step, bool starting)
{
    static constexpr TFtpNextProc methods[25] = {
        nullptr,
        &TCustomFtpCli::StartOpen,
        &TCustomFtpCli::StartUser,
        &TCustomFtpCli::StartPass,
        &TCustomFtpCli::StartCwd,
        &TCustomFtpCli::StartSize,
        &TCustomFtpCli::StartMkd,
        &TCustomFtpCli::StartRmd,
        &TCustomFtpCli::StartRnfr,
        &TCustomFtpCli::StartRnto,
        &TCustomFtpCli::StartRetr,
        &TCustomFtpCli::StartList,
        &TCustomFtpCli::StartQuit,
        &TCustomFtpCli::StartSyst,
        &TCustomFtpCli::StartDele,
        &TCustomFtpCli::StartPwd,
        &TCustomFtpCli::StartQuote,
        &TCustomFtpCli::StartStor,
        &TCustomFtpCli::StartTypeSet,
        &TCustomFtpCli::StartRest,
        &TCustomFtpCli::StartCdup,
        &TCustomFtpCli::StartNlst,
        &TCustomFtpCli::StartAppe,
        &TCustomFtpCli::StartPort,
        &TCustomFtpCli::StartAbor,
    };
    // Refused before anything was sent: the request never started.
    auto forgetSequence = [this] {
        FHighLevelFlag = false;
        FNextRequest = nullptr;
        FPendingSteps = 0;
    };
    std::uint32_t serial = FRequestSerial;
    FRefused = false;
    std::string refusal;
    try {
        (this->*methods[step])();
    } catch (const Exception& e) {
        if (starting) {
            forgetSequence();
            throw;
        }
        refusal = FRefused ? FRefusal : ExceptionClassName(e) + ": " + e.Message();
    }
    if (serial != FRequestSerial && refusal.empty())
        return;
    if (refusal.empty())
        refusal = FRefused ? FRefusal : "step not started";
    if (starting) {
        forgetSequence();
        return;
    }
    // A step refused in the middle of a sequence ends it as a failure.
    FRequestDoneFlag = false;
    SetFailure(500, "500 " + refusal);
    FNext = nullptr;
    RunNextStep();
}

void TCustomFtpCli::StartConnect() { StartSequence(ftpRqConnect, {1, 2, 3}); }
void TCustomFtpCli::StartRetrieve() { StartSequence(ftpRqGet, {10, 23}); }
void TCustomFtpCli::StartRetrieveSession() { StartSequence(ftpRqReceiveSession, {1, 2, 3, 4, 10, 12, 18, 23}); }
void TCustomFtpCli::StartPut() { StartSequence(ftpRqPut, {17, 23}); }
void TCustomFtpCli::StartStoreSession() { StartSequence(ftpRqTransmitSession, {1, 2, 3, 4, 12, 17, 18, 23}); }
void TCustomFtpCli::StartAppendData() { StartSequence(ftpRqAppend, {22, 23}); }
void TCustomFtpCli::StartAppendSession() { StartSequence(ftpRqTransmitSession, {1, 2, 3, 4, 12, 18, 22, 23}); }
void TCustomFtpCli::StartListDir() { StartSequence(ftpRqDirectory, {11, 23}); }
void TCustomFtpCli::StartListNames() { StartSequence(ftpRqLs, {21, 23}); }
void TCustomFtpCli::StartListDirSession() { StartSequence(ftpRqDirectorySession, {1, 2, 3, 4, 11, 12, 23}); }
void TCustomFtpCli::StartListNamesSession() { StartSequence(ftpRqLsSession, {1, 2, 3, 4, 12, 21, 23}); }
void TCustomFtpCli::StartSystemSession() { StartSequence(ftpRqSystemSession, {1, 2, 3, 12, 13}); }
void TCustomFtpCli::StartSizeSession() { StartSequence(ftpRqSize, {1, 2, 3, 4, 5, 12}); }
void TCustomFtpCli::StartMkdSession() { StartSequence(ftpRqMkdSession, {1, 2, 3, 4, 6, 12}); }
void TCustomFtpCli::StartRmdSession() { StartSequence(ftpRqRmdSession, {1, 2, 3, 4, 7, 12}); }
void TCustomFtpCli::StartDeleSession() { StartSequence(ftpRqDeleSession, {1, 2, 3, 4, 12, 14}); }
void TCustomFtpCli::StartRename() { StartSequence(ftpRqRename, {8, 9}); }
void TCustomFtpCli::StartRenameSession() { StartSequence(ftpRqRenameSession, {1, 2, 3, 4, 8, 9, 12}); }
void TCustomFtpCli::StartQuoteSession() { StartSequence(ftpRqQuoteSession, {1, 2, 3, 4, 12, 16}); }
void TCustomFtpCli::StartResumeRetrieve() { StartSequence(ftpRqResumeGet, {10, 19, 23}); }
void TCustomFtpCli::StartResumeRetrieveSession()
{
    StartSequence(ftpRqResumeGetSession, {1, 2, 3, 4, 10, 12, 18, 19, 23});
}
void TCustomFtpCli::StartResumeStore() { StartSequence(ftpRqResumePut, {17, 19, 23}); }
void TCustomFtpCli::StartResumeStoreSession()
{
    StartSequence(ftpRqResumePutSession, {1, 2, 3, 4, 12, 17, 18, 19, 23});
}

// ---------------------------------------------------------------- session opening

void TCustomFtpCli::StartOpen()
{
    if (!CheckReady())
        return;
    if (FConnected) {
        HandleError("FTP component already connected");
        return;
    }
    if (!FHighLevelFlag)
        FRequestType = ftpRqOpen;
    FCurrentStep = 1;
    BeginRequest();
    FReceiveLen = 0;
    FRequestResult = 0;
    FBannerRefused = false;
    FQuitReplied = false;
    SetState(ftpStateResolving);
    try {
        FControlSocket->DnsLookup(FConnectionType == ftpProxy ? FProxyServer : FHostName);
    } catch (const Exception& e) {
        SetFailure(500, "500 " + ExceptionClassName(e) + ": " + e.Message());
        FireRequestDone(500);
    }
}

void TCustomFtpCli::ControlSocketDnsLookupDone(TObject*, WORD Error)
{
    if (FState != ftpStateResolving && FState != ftpStateAborting)
        return;
    if (Error != 0) {
        SetFailure(500, "500 " + WinsockErrorText(Error));
        FireRequestDone(Error);
        return;
    }
    try {
        TWSocket& socket = *FControlSocket;
        socket.SetAddr(socket.DnsResult());
        socket.SetLocalAddr(FLocalAddr);
        socket.SetProto("tcp");
        socket.SetPort(FConnectionType == ftpProxy && !FProxyPort.empty() ? FProxyPort : FPort);
        ApplySocks(socket);
        SetState(ftpStateWaitBanner);
        socket.Connect();
    } catch (const Exception& e) {
        SetFailure(500, "500 " + ExceptionClassName(e) + ": " + e.Message());
        FireRequestDone(500);
    }
}

void TCustomFtpCli::ControlSocketSessionConnected(TObject*, WORD Error)
{
    if (Error == 0) {
        FConnected = true;
        return;
    }
    SetFailure(500, "500 " + ConnectFailureText(Error, WinsockErrorText(Error)));
    FNextRequest = nullptr;
    FireRequestDone(Error);
    FControlSocket->Close();
    SetState(ftpStateReady);
}

void TCustomFtpCli::ControlSocketDataAvailable(TObject*, WORD Error)
{
    constexpr int limit = static_cast<int>(sizeof FReceiveBuffer) - 1;
    if (FReceiveLen >= limit) {
        // A reply line that fills the whole buffer can never end: the
        // request fails and the connection goes.
        FReceiveLen = 0;
        FailRequest(500, "500 Reply line too long");
        FControlSocket->Close();
        return;
    }
    int count = FControlSocket->Receive(FReceiveBuffer + FReceiveLen, limit - FReceiveLen);
    if (count == 0) {
        FControlSocket->Close();
        return;
    }
    if (count < 0)
        return;
    FReceiveLen += count;
    FReceiveBuffer[FReceiveLen] = 0;
    bool acceptLF = (FOptions & FtpOption(ftpAcceptLF)) != 0;
    while (FReceiveLen > 0) {
        const char* begin = FReceiveBuffer;
        const char* end = begin + FReceiveLen;
        const char* lineEnd = nullptr;
        std::size_t consumed = 0;
        if (acceptLF) {
            lineEnd = std::find(begin, end, '\n');
            if (lineEnd == end)
                break;
            consumed = static_cast<std::size_t>(lineEnd - begin) + 1;
        } else {
            lineEnd = begin;
            for (;;) {
                lineEnd = std::find(lineEnd, end, '\r');
                if (lineEnd == end || lineEnd + 1 >= end)
                    break;
                if (lineEnd[1] == '\n')
                    break;
                ++lineEnd;
            }
            if (lineEnd + 1 >= end)
                break;
            consumed = static_cast<std::size_t>(lineEnd - begin) + 2;
        }
        std::string line(begin, lineEnd);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.pop_back();
        std::memmove(FReceiveBuffer, FReceiveBuffer + consumed, static_cast<std::size_t>(FReceiveLen) - consumed);
        FReceiveLen -= static_cast<int>(consumed);
        FReceiveBuffer[FReceiveLen] = 0;
        FReplyText = line;
        TComponentWatch watch(this);
        Fire(*this, OnResponse, this);
        if (!watch.Alive())
            return;
        bool wasBanner = FState == ftpStateWaitBanner;
        HandleReplyLine(line, Error);
        if (!watch.Alive() || (wasBanner && FBannerRefused))
            return;
        if (!FControlSocket || FControlSocket->State() != wsConnected)
            return;
    }
}

void TCustomFtpCli::ControlSocketSessionClosed(TObject*, WORD Error)
{
    bool aborting = FState == ftpStateAborting;
    if (FConnected) {
        FConnected = false;
        if (!aborting)
            SetState(ftpStateClosed);
        Fire(*this, OnSessionClosed, this, Error);
    }
    if (!aborting)
        SetState(ftpStateBetweenSteps);
    if (Error != 0 && !FQuitReplied) {
        SetFailure(500, "500 Control connection closed. " + WinsockErrorText(Error));
    } else if (!FRequestDoneFlag && !FQuitReplied && FRequestResult == 0) {
        // The request lost its connection before its final reply: that is
        // no success, whether we aborted or the server went away.
        if (aborting)
            SetFailure(426, "426 Operation aborted.");
        else
            SetFailure(500, "500 Control connection closed.");
    }
    if (FRequestDoneFlag) {
        // Nothing left to report: an idle connection went.
        if (!aborting)
            SetState(ftpStateReady);
        return;
    }
    // After QUIT's reply a sequence ends as its steps went; any other
    // close ends it here.
    if (!FQuitReplied)
        FNextRequest = nullptr;
    FireRequestDone(static_cast<WORD>(FRequestResult));
}

// ---------------------------------------------------------------- abort

void TCustomFtpCli::StartAbort()
{
    TFtpClientState before = FState;
    SetState(ftpStateAborting);
    FreeLocalStream();
    if (before == ftpStateResolving && FControlSocket)
        FControlSocket->CancelDnsLookup();
    if (FControlSocket && FControlSocket->State() != wsClosed)
        FControlSocket->Close();
    if (FDataSocket && FDataSocket->State() != wsClosed)
        CloseDataSocket();
    if (!FRequestDoneFlag && before != ftpStateReady) {
        // A request between two steps (a passive store waiting for its data
        // connection) has no connection event left to end it.
        SetFailure(426, "426 Operation aborted.");
        FNextRequest = nullptr;
        FireRequestDone(426);
    }
    FreeLocalStream();
    FConnected = false;
    SetState(ftpStateReady);
}

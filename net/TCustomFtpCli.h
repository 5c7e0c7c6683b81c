#pragma once

// The asynchronous FTP client: a control connection that sends commands and
// parses replies, and a data connection for transfers and listings.
//
// - Every Start... method returns at once; the work goes on in socket events
//   of the thread's message loop. Each request that starts ends with exactly
//   one OnRequestDone, posted to the component's own window after State is
//   back at ftpStateReady, never fired inside the event that ended it.
// - A request refused at its start (not ready, not connected, empty name, a
//   command holding CR, LF or NUL) raises FtpException, or fires OnError when
//   assigned, changes no state and fires no OnRequestDone.
// - Nothing that failed is reported as success: a control connection lost
//   before the final reply reports 500 (426 after StartAbort), a transfer the
//   client cut short after a local error reports 426 even when the server
//   answered 226, a malformed PASV reply fails like a refused data connection.
// - Passive data connections go to the control connection's peer with the
//   port of the 227 reply; the address in that reply is not trusted. The
//   active listener is bound to the control connection's local address.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/TCustomSyncWSocket.h"
#include "platform/core/TStream.h"

// The component's exception class.
class FtpException : public Exception {
public:
    using Exception::Exception;
};

enum TFtpOption { ftpAcceptLF, ftpNoAutoResumeAt };
// A set of TFtpOption: bit n is option n.
using TFtpOptions = std::uint8_t;
inline constexpr TFtpOptions FtpOption(TFtpOption option) { return static_cast<TFtpOptions>(1u << option); }

enum TFtpShareMode { ftpShareCompat, ftpShareExclusive, ftpShareDenyWrite, ftpShareDenyRead, ftpShareDenyNone };
enum TFtpConnectionType { ftpDirect, ftpProxy, ftpSocks4, ftpSocks4A, ftpSocks5 };

enum TFtpClientState : std::uint8_t {
    ftpStateClosed = 0,
    ftpStateReady = 1,
    ftpStateBetweenSteps = 2,
    ftpStateResolving = 3,
    ftpStateConnected = 4,
    ftpStateAborting = 5,
    ftpStateWaitBanner = 7,
    ftpStateWaitReply = 8,
};

// The request number OnRequestDone reports.
enum TFtpRequest : std::uint8_t {
    ftpRqNone = 0,
    ftpRqOpen = 1,
    ftpRqUser = 2,
    ftpRqPass = 3,
    ftpRqCwd = 4,
    ftpRqConnect = 5,
    ftpRqReceiveSession = 6,
    ftpRqDirectory = 7,
    ftpRqLs = 8,
    ftpRqPort = 9,
    ftpRqGet = 10,
    ftpRqDirectorySession = 11,
    ftpRqLsSession = 12,
    ftpRqSystemSession = 13,
    ftpRqSyst = 14,
    ftpRqQuit = 15,
    ftpRqAbor = 16,
    ftpRqSize = 17,
    ftpRqPut = 18,
    ftpRqAppend = 19,
    ftpRqMkd = 22,
    ftpRqRmd = 23,
    ftpRqRenameSession = 24,
    ftpRqDele = 25,
    ftpRqRename = 26,
    ftpRqRenTo = 27,
    ftpRqRenFrom = 28,
    ftpRqDeleSession = 29,
    ftpRqMkdSession = 30,
    ftpRqRmdSession = 31,
    ftpRqPwd = 32,
    ftpRqQuote = 33,
    ftpRqCdup = 34,
    ftpRqQuoteSession = 35,
    ftpRqTransmitSession = 36,
    ftpRqTypeSet = 37,
    ftpRqRestart = 38,
    ftpRqResumeGet = 39,
    ftpRqResumeGetSession = 40,
    ftpRqResumePut = 41,
    ftpRqResumePutSession = 42,
};

using TFtpDisplay = std::function<void(TObject* Sender, const std::string& Msg)>;
using TFtpCommand = std::function<void(TObject* Sender, std::string& Cmd)>;
using TFtpRequestDone = std::function<void(TObject* Sender, TFtpRequest RqType, WORD Error)>;
using TFtpProgress = std::function<void(TObject* Sender, int Count, bool& Abort)>;
using TFtpReadyToTransmit = std::function<void(TObject* Sender, bool& bCancel)>;

// The class name a failure text shows for an exception.
std::string ExceptionClassName(const std::exception& e);

// Messages of the component's own window.
inline constexpr UINT WM_FTP_REQUEST_DONE = WM_USER + 1;
inline constexpr UINT WM_FTP_SENDDATA = WM_USER + 2;

class TCustomFtpCli : public TComponent {
public:
    explicit TCustomFtpCli(TComponent* AOwner);
    ~TCustomFtpCli() override;

    const char* ClassName() const override { return "TCustomFtpCli"; }

    virtual void SendCommand(const std::string& Cmd);
    virtual void WndProc(TMessage& msg);

    // One-command requests.
    virtual void StartOpen();
    virtual void StartUser();
    virtual void StartPass();
    virtual void StartQuit();
    virtual void StartAbort();
    virtual void StartRetr();
    virtual void StartStor();
    virtual void StartAppe();
    virtual void StartList();
    virtual void StartNlst();
    virtual void StartTypeSet();
    virtual void StartTypeBinary();
    virtual void StartTypeAscii();
    virtual void StartPwd();
    virtual void StartCwd();
    virtual void StartCdup();
    virtual void StartSyst();
    virtual void StartSize();
    virtual void StartMkd();
    virtual void StartRmd();
    virtual void StartDele();
    virtual void StartRnfr();
    virtual void StartRnto();
    virtual void StartQuote();
    virtual void StartAbor();
    virtual void StartRest();
    virtual void StartPort();
    // High-level requests.
    virtual void StartConnect();
    virtual void StartRetrieve();
    virtual void StartRetrieveSession();
    virtual void StartPut();
    virtual void StartStoreSession();
    virtual void StartAppendData();
    virtual void StartAppendSession();
    virtual void StartListDir();
    virtual void StartListNames();
    virtual void StartListDirSession();
    virtual void StartListNamesSession();
    virtual void StartSystemSession();
    virtual void StartSizeSession();
    virtual void StartMkdSession();
    virtual void StartRmdSession();
    virtual void StartDeleSession();
    virtual void StartRename();
    virtual void StartRenameSession();
    virtual void StartQuoteSession();
    virtual void StartResumeRetrieve();
    virtual void StartResumeRetrieveSession();
    virtual void StartResumeStore();
    virtual void StartResumeStoreSession();

    // Properties.
    const std::string& HostName() const { return FHostName; }
    void SetHostName(const std::string& value) { FHostName = value; }
    const std::string& Port() const { return FPort; }
    void SetPort(const std::string& value) { FPort = value; }
    const std::string& LocalAddr() const { return FLocalAddr; }
    void SetLocalAddr(const std::string& value) { FLocalAddr = value; }
    const std::string& UserName() const { return FUserName; }
    void SetUserName(const std::string& value) { FUserName = value; }
    const std::string& PassWord() const { return FPassWord; }
    void SetPassWord(const std::string& value) { FPassWord = value; }
    const std::string& HostDirName() const { return FHostDirName; }
    void SetHostDirName(const std::string& value) { FHostDirName = value; }
    const std::string& HostFileName() const { return FHostFileName; }
    void SetHostFileName(const std::string& value) { FHostFileName = value; }
    const std::string& LocalFileName() const { return FLocalFileName; }
    void SetLocalFileName(const std::string& value) { FLocalFileName = value; }
    bool DisplayFileFlag() const { return FDisplayFileFlag; }
    void SetDisplayFileFlag(bool value) { FDisplayFileFlag = value; }
    bool Binary() const { return FType == 'I'; }
    void SetBinary(bool value) { FType = value ? 'I' : 'A'; }
    const std::string& ErrorMessage() const { return FErrorMessage; }
    // Reads back ftpShareExclusive for a stored value that is no share mode.
    TFtpShareMode ShareMode() const;
    void SetShareMode(TFtpShareMode value);
    TFtpOptions Options() const { return FOptions; }
    void SetOptions(TFtpOptions value) { FOptions = value; }
    TFtpConnectionType ConnectionType() const { return FConnectionType; }
    // Refused with "FTP component connected" while connected.
    void SetConnectionType(TFtpConnectionType value);
    const std::string& ProxyServer() const { return FProxyServer; }
    void SetProxyServer(const std::string& value) { FProxyServer = value; }
    const std::string& ProxyPort() const { return FProxyPort; }
    void SetProxyPort(const std::string& value) { FProxyPort = value; }
    std::string SocksServer() const { return FSocksServer; }
    void SetSocksServer(const std::string& value);
    std::string SocksPort() const { return FSocksPort; }
    void SetSocksPort(const std::string& value);
    std::string SocksUserCode() const { return FSocksUserCode; }
    void SetSocksUserCode(const std::string& value);
    std::string SocksPassword() const { return FSocksPassword; }
    void SetSocksPassword(const std::string& value);
    bool Passive() const { return FPassive; }
    // Stores the value only for ftpDirect; every other type forces True.
    void SetPassive(bool value);

    int StatusCode() const { return FStatusCode; }
    const std::string& ReplyText() const { return FReplyText; }
    int SizeReply() const { return FSizeReply; }
    const std::string& DirectoryReply() const { return FDirectoryReply; }
    int RestartOffset() const { return FRestartOffset; }
    void SetRestartOffset(int value) { FRestartOffset = value; }
    int TransferredBytes() const { return FByteCount; }
    TFtpClientState State() const { return FState; }
    TFtpRequest RequestType() const { return FRequestType; }
    int ResultCode() const { return FRequestResult; }
    bool Connected() const { return FConnected; }
    HWND Handle() const { return FWindowHandle; }
    TWSocket& ControlSocket() { return *FControlSocket; }
    TWSocket& DataSocket() { return *FDataSocket; }

    TFtpDisplay OnDisplay;
    TFtpDisplay OnDisplayFile;
    TFtpCommand OnCommand;
    TNotifyEvent OnResponse;
    TSessionConnected OnSessionConnected;
    TSessionClosed OnSessionClosed;
    TNotifyEvent OnStateChange;
    TFtpRequestDone OnRequestDone;
    TFtpProgress OnProgress;
    TFtpReadyToTransmit OnReadyToTransmit;
    TBgExceptionEvent OnBgException;
    // When assigned, refusals go here instead of being raised.
    TFtpDisplay OnError;

protected:
    using TFtpNextProc = void (TCustomFtpCli::*)();

    void Notification(TComponent* component, TOperation operation) override;

    virtual void FireDisplay(const std::string& Msg);
    virtual void FireReadyToTransmit(bool& bCancel);
    virtual void FireDisplayFile(const std::string& Msg);
    virtual void FireError(const std::string& Msg);
    // False when the progress handler asked for an abort.
    virtual bool FireProgress();
    virtual void DisplayTransferStats();
    virtual void HandleEventException(const std::exception& e);

    void HandleError(const std::string& Msg);
    bool CheckReady();
    // Refuses a text that would end the command line early.
    bool CheckCommandText(const std::string& text);
    // A request (or a step of one) starts: it is not reported yet.
    void BeginRequest();
    void RunStep(int step, bool starting);
    void QuitAsync();
    void ApplySocks(TWSocket& socket);
    // User/password only when there is a user code to give.
    TSocksAuthentication SocksAuthenticationInUse() const;
    // A failed connect's text: `plain`, or the SOCKS failure's reason when there was one.
    std::string ConnectFailureText(int error, const std::string& plain) const;
    void SetState(TFtpClientState value);
    void StartCommand(TFtpRequest request, const std::string& command, std::initializer_list<int> codes,
                      TFtpNextProc next);
    void StartSequence(TFtpRequest request, std::initializer_list<int> steps);
    void RunNextStep();
    void FireRequestDone(WORD error);
    void CheckReply();
    void PostProcessReply(int step);
    // The connection ended a request that had no final reply (or the reply
    // machine gave up): the request ends with `code` and `text`.
    void FailRequest(int code, const std::string& text);
    // ReplyText := `text`, StatusCode and ResultCode := `code`, ErrorMessage.
    void SetFailure(int code, const std::string& text);
    void SetErrorMessage();
    static bool ReplyIsIntermediate(const std::string& line);

    // Control connection.
    void ControlSocketDnsLookupDone(TObject* Sender, WORD Error);
    void ControlSocketSessionConnected(TObject* Sender, WORD Error);
    void ControlSocketDataAvailable(TObject* Sender, WORD Error);
    void ControlSocketSessionClosed(TObject* Sender, WORD Error);
    void HandleReplyLine(const std::string& line, WORD error);

    // Data connections and transfers.
    // What every transfer clears at its start.
    void BeginTransfer();
    void StartReceive(TFtpRequest request);
    void StartTransmit();
    // The data connection's target from the 227 reply; false for a malformed one.
    bool ParsePasvReply(std::string& port);
    // Connects the data socket for a passive transfer; false when the request
    // has ended with `failCode`.
    bool ConnectPassive(bool sending, int failCode);
    // The active listener's connection goes to the transfer that has
    // started; one that comes before the transfer waits for it.
    void DataSocketSessionAvailable(WORD Error);
    void TakePendingConnection();
    TSocket AcceptDataConnection();
    void DataSocketGetSessionAvailable(TObject* Sender, WORD Error);
    void DataSocketGetSessionConnected(TObject* Sender, WORD Error);
    // The passive data connection could not be made: the request ends, 550.
    void FailDataConnection(WORD error);
    void DataSocketGetDataAvailable(TObject* Sender, WORD Error);
    void DataSocketGetSessionClosed(TObject* Sender, WORD Error);
    void DataSocketPutSessionAvailable(TObject* Sender, WORD Error);
    void DataSocketPutSessionConnected(TObject* Sender, WORD Error);
    void DataSocketPutDataAvailable(TObject* Sender, WORD Error);
    void DataSocketPutDataSent(TObject* Sender, WORD Error);
    void DataSocketPutSessionClosed(TObject* Sender, WORD Error);
    void SendNextBlock();
    // Displays a reply of a transfer; false for a line that decides nothing.
    bool TransferReply();
    // The server refused the transfer: it ends with the reply's code, after
    // `note` (nullptr: none) is displayed.
    void RefuseTransfer(const char* note);
    void NextGetAsync();
    void NextGetAsync2();
    void NextPutAsync();
    void NextPutAsync2();
    void TransferEndCheck();
    // A local failure that cuts the transfer short: displayed, the file and
    // the data connection ended; the request reports 426 at its end.
    void LocalTransferFailure(const std::string& note);
    void BindReceiving();
    void CloseDataSocket();
    void FreeLocalStream();
    // Writes what waits for the file; false (and the transfer failed) when
    // the write fails.
    bool FlushLocalStream();
    void SendTransferCommand();

    TFtpClientState FState = ftpStateReady;
    std::string FHostName;
    std::string FPort = "ftp";
    std::string FLocalAddr = "0.0.0.0";
    std::string FUserName;
    std::string FPassWord;
    std::string FHostDirName;
    std::string FHostFileName;
    std::string FLocalFileName;
    bool FDisplayFileFlag = false;
    char FType = 'I';
    std::string FErrorMessage;
    unsigned FShareMode = fmShareExclusive;
    TFtpOptions FOptions = FtpOption(ftpAcceptLF);
    TFtpConnectionType FConnectionType = ftpDirect;
    std::string FProxyServer;
    std::string FProxyPort = "ftp";
    std::string FSocksServer;
    std::string FSocksPort;
    std::string FSocksUserCode;
    std::string FSocksPassword;
    bool FPassive = false;

    int FStatusCode = 0;
    std::string FReplyText;
    int FSizeReply = 0;
    std::string FDirectoryReply;
    int FRestartOffset = 0;
    int FByteCount = 0;
    TFtpRequest FRequestType = ftpRqNone;
    int FRequestResult = 0;
    bool FRequestDoneFlag = false;
    bool FConnected = false;

    TFtpNextProc FNext = nullptr;
    TFtpNextProc FDoneAsync = nullptr;
    int FOkResponses[16] = {};
    std::uint8_t FCurrentStep = 0;
    std::uint32_t FPendingSteps = 0;
    bool FHighLevelFlag = false;
    int FHighLevelResult = 0;
    std::string FSavedResponse;
    int FSavedStatus = -1;
    TFtpNextProc FNextRequest = nullptr;
    // Changes whenever a request or a step starts.
    std::uint32_t FRequestSerial = 0;
    // The last call was refused (with OnError assigned nothing is raised).
    bool FRefused = false;
    std::string FRefusal;
    bool FStartingSequence = false;
    std::string FFailureMessage;
    bool FQuitReplied = false;
    bool FBannerRefused = false;
    std::string FSocksLevel = "5";
    TSocksAuthentication FSocksAuthentication = socksNoAuthentication;
    // The reason of the last SOCKS negotiation that failed, "" when none.
    std::string FSocksFailure;

    char FReceiveBuffer[4096] = {};
    int FReceiveLen = 0;

    HWND FWindowHandle = 0;
    TWSocket* FControlSocket = nullptr;  // owned as a component
    TWSocket* FDataSocket = nullptr;     // owned as a component
    std::unique_ptr<TStream> FLocalStream;
    std::vector<char> FWriteBuffer;
    std::vector<char> FReadBuffer;
    std::size_t FReadPos = 0;

    std::string FPasvResponse;
    std::string FDataCommand;
    bool FAppendFlag = false;
    WORD FDataSocketError = 0;
    bool FFinalReplyFlag = false;
    bool FDataClosedFlag = false;
    bool FEofFlag = false;
    bool FStorAnswerRcvd = false;
    bool FPutSessionOpened = false;
    enum TDataAcceptor { daNone, daGet, daPut };
    TDataAcceptor FDataAcceptor = daNone;
    bool FAcceptPending = false;
    // A local read/write failure, an abort or a send error of this transfer.
    bool FLocalFailure = false;
    std::string FLocalFailureText;
    std::uint32_t FStartTime = 0;
    std::uint32_t FStopTime = 0;
};

// TCustomFtpCli: the data connection (PORT or PASV), the receiving and the
// sending transfers, the restart offset, progress and statistics.

#include "net/TCustomFtpCli.h"

#include <limits>

#include "platform/core/Files.h"
#include "platform/core/Tick.h"
#include "platform/loop/Messages.h"

using namespace winsock;

namespace {

// What one data-sent turn hands to the socket, which queues it in its own
// 1460-byte blocks: a turn per packet would cost the loop a round each.
constexpr std::size_t SendTurnSize = 65536;
constexpr int ReceiveBlockSize = 4096;
constexpr int DiscardBlockSize = 2048;
constexpr std::size_t WriteBlockSize = 65536;
constexpr std::size_t ReadBlockSize = 65536;

// Strict decimal 0..255; false for anything else.
bool ReadByte(const std::string& text, int& value)
{
    std::size_t first = text.find_first_not_of(' ');
    std::size_t last = text.find_last_not_of(' ');
    if (first == std::string::npos)
        return false;
    std::string digits = text.substr(first, last - first + 1);
    if (digits.empty() || digits.size() > 3)
        return false;
    value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return value <= 255;
}

}  // namespace

void TCustomFtpCli::FreeLocalStream()
{
    FLocalStream.reset();
    FWriteBuffer.clear();
    FReadBuffer.clear();
    FReadPos = 0;
}

bool TCustomFtpCli::FlushLocalStream()
{
    if (!FLocalStream || FWriteBuffer.empty())
        return true;
    try {
        FLocalStream->WriteBuffer(FWriteBuffer.data(), FWriteBuffer.size());
        FWriteBuffer.clear();
        return true;
    } catch (const std::exception&) {
        LocalTransferFailure("Error writing local file");
        return false;
    }
}

void TCustomFtpCli::CloseDataSocket()
{
    if (FDataSocket && FDataSocket->State() != wsClosed)
        FDataSocket->Close();
}

bool TCustomFtpCli::FireProgress()
{
    bool abort = false;
    Fire(*this, OnProgress, this, FByteCount + FRestartOffset, abort);
    if (abort) {
        LocalTransferFailure("Abort requested");
        return false;
    }
    return true;
}

void TCustomFtpCli::LocalTransferFailure(const std::string& note)
{
    FireDisplay("! " + note);
    if (!FLocalFailure) {
        FLocalFailure = true;
        FLocalFailureText = "426 " + note;
    }
    // No byte more may go to or come from the file.
    FreeLocalStream();
    CloseDataSocket();
}

void TCustomFtpCli::BeginTransfer()
{
    FFinalReplyFlag = false;
    FDataClosedFlag = false;
    FLocalFailure = false;
    FLocalFailureText.clear();
    BeginRequest();
    FByteCount = 0;
    FDataSocketError = 0;
    FErrorMessage.clear();
}

void TCustomFtpCli::DisplayTransferStats()
{
    FStopTime = GetTickCount();
    std::uint32_t elapsed = TickDiff(FStopTime, FStartTime);
    std::string text = std::to_string(FByteCount) + " bytes received/sent in " + std::to_string(elapsed / 1000) +
                       " seconds";
    if (elapsed != 0) {
        long long rate = FByteCount < 32768 ? static_cast<long long>(FByteCount) * 1000 / elapsed
                                            : static_cast<long long>(FByteCount) / elapsed * 1000;
        text += " (" + std::to_string(rate) + " Bytes/sec)";
    }
    FireDisplay("! " + text);
}

void TCustomFtpCli::TransferEndCheck()
{
    if (!FFinalReplyFlag || !FDataClosedFlag)
        return;
    DisplayTransferStats();
    FRestartOffset = 0;
    FRequestResult = FDataSocketError;
    if (FLocalFailure) {
        // The server saw a whole transfer; we did not.
        FRequestResult = 426;
        FStatusCode = 426;
        FErrorMessage = FLocalFailureText;
    } else if (FDataSocketError != 0) {
        FErrorMessage = "Data connection closed, error #" + std::to_string(FDataSocketError);
    }
    FireRequestDone(static_cast<WORD>(FRequestResult));
}

// ---------------------------------------------------------------- PORT / PASV

void TCustomFtpCli::StartPort()
{
    if (!CheckReady())
        return;
    if (!FConnected) {
        HandleError("FTP component not connected");
        return;
    }
    TWSocket& data = *FDataSocket;
    data.OnSessionAvailable = nullptr;
    data.OnSessionClosed = nullptr;
    data.OnDataAvailable = nullptr;
    data.OnDataSent = nullptr;
    data.OnSessionConnected = nullptr;
    CloseDataSocket();
    FDataAcceptor = daNone;
    FAcceptPending = false;
    sockaddr_in local;
    int length = sizeof local;
    FControlSocket->GetSockName(local, length);
    std::uint32_t a = ntohl(local.sin_addr.s_addr);
    data.SetProto("tcp");
    data.SetPort("0");
    std::string command;
    if (FPassive) {
        data.SetAddr("0.0.0.0");
        command = "PASV";
    } else {
        // Only the server should reach the listener: it listens where the
        // control connection is, not on every address of the machine.
        data.SetAddr(inet_ntoa(local.sin_addr));
        data.SetLingerOnOff(wsLingerOn);
        data.SetLingerTimeout(10);
        data.Listen();
        data.OnSessionAvailable = [this](TObject*, WORD e) { DataSocketSessionAvailable(e); };
        sockaddr_in bound;
        int boundLength = sizeof bound;
        data.GetSockName(bound, boundLength);
        int port = ntohs(bound.sin_port);
        int hi = port >> 8, lo = port & 0xFF;
        if (FControlSocket->Addr() == "127.0.0.1")
            command = "PORT 127,0,0,1," + std::to_string(hi) + "," + std::to_string(lo);
        else
            command = "PORT " + std::to_string(a >> 24) + "," + std::to_string((a >> 16) & 0xFF) + "," +
                      std::to_string((a >> 8) & 0xFF) + "," + std::to_string(a & 0xFF) + "," + std::to_string(hi) +
                      "," + std::to_string(lo);
    }
    FByteCount = 0;
    FCurrentStep = 23;
    StartCommand(ftpRqPort, command, {200, 227}, nullptr);
}

void TCustomFtpCli::DataSocketSessionAvailable(WORD Error)
{
    switch (FDataAcceptor) {
    case daGet: DataSocketGetSessionAvailable(FDataSocket, Error); break;
    case daPut: DataSocketPutSessionAvailable(FDataSocket, Error); break;
    case daNone: FAcceptPending = true; break;
    }
}

void TCustomFtpCli::TakePendingConnection()
{
    // Servers connect as soon as PORT is answered, often before the
    // transfer's command is sent.
    if (FAcceptPending && !FPassive) {
        FAcceptPending = false;
        DataSocketSessionAvailable(0);
    }
}

bool TCustomFtpCli::ParsePasvReply(std::string& port)
{
    // "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)"; the host part is read
    // for its form only: the data connection goes to the control peer.
    std::size_t open = FPasvResponse.find('(');
    if (open == std::string::npos)
        return false;
    std::size_t close = FPasvResponse.find(')', open);
    if (close == std::string::npos)
        return false;
    std::string inside = FPasvResponse.substr(open + 1, close - open - 1);
    int parts[6];
    std::size_t start = 0;
    for (int i = 0; i < 6; ++i) {
        std::size_t comma = inside.find(',', start);
        if ((i < 5) != (comma != std::string::npos))
            return false;
        std::string piece = inside.substr(start, i < 5 ? comma - start : std::string::npos);
        if (!ReadByte(piece, parts[i]))
            return false;
        start = comma + 1;
    }
    port = std::to_string(static_cast<std::uint16_t>(parts[4] * 256 + parts[5]));
    return true;
}

bool TCustomFtpCli::ConnectPassive(bool sending, int failCode)
{
    std::string prefix = std::to_string(failCode) + " ";
    std::string port;
    if (!ParsePasvReply(port)) {
        SetFailure(failCode, prefix + "Invalid PASV reply");
        CloseDataSocket();
        FreeLocalStream();
        FireRequestDone(static_cast<WORD>(failCode));
        return false;
    }
    try {
        TWSocket& data = *FDataSocket;
        CloseDataSocket();
        data.SetAddr(FControlSocket->Addr());
        data.SetPort(port);
        data.SetLocalAddr(FLocalAddr);
        data.SetLingerOnOff(wsLingerOff);
        data.SetLingerTimeout(0);
        ApplySocks(data);
        if (sending)
            data.OnSessionConnected = [this](TObject* s, WORD e) { DataSocketPutSessionConnected(s, e); };
        else
            data.OnSessionConnected = [this](TObject* s, WORD e) { DataSocketGetSessionConnected(s, e); };
        data.Connect();
    } catch (const Exception& e) {
        SetFailure(failCode, prefix + ExceptionClassName(e) + ": " + e.Message());
        CloseDataSocket();
        FreeLocalStream();
        FireRequestDone(static_cast<WORD>(failCode));
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- receiving

void TCustomFtpCli::StartRetr()
{
    FCurrentStep = 10;
    StartReceive(ftpRqGet);
}

void TCustomFtpCli::StartList()
{
    FCurrentStep = 11;
    StartReceive(ftpRqDirectory);
}

void TCustomFtpCli::StartNlst()
{
    FCurrentStep = 21;
    StartReceive(ftpRqLs);
}

void TCustomFtpCli::StartReceive(TFtpRequest request)
{
    std::string command = request == ftpRqDirectory ? "LIST" : request == ftpRqLs ? "NLST" : "RETR";
    if (!FConnected) {
        HandleError(command + ": not connected");
        return;
    }
    if (FLocalFileName.empty() && !FDisplayFileFlag) {
        HandleError("LocalFileName empty");
        return;
    }
    if (!FHostFileName.empty())
        command += " " + FHostFileName;
    if (!CheckCommandText(command))
        return;
    if (!FHighLevelFlag)
        FRequestType = request;
    FDataCommand = command.substr(0, 4);
    BeginTransfer();
    FDataAcceptor = daGet;
    if (!FDisplayFileFlag) {
        try {
            FreeLocalStream();
            if (FRestartOffset > 0) {
                FLocalStream = std::make_unique<TFileStream>(FLocalFileName, fmOpenWrite | FShareMode);
                FLocalStream->Seek(FRestartOffset, soBeginning);
            } else {
                FLocalStream = std::make_unique<TFileStream>(FLocalFileName, fmCreate);
            }
        } catch (const std::exception&) {
            FreeLocalStream();
            SetFailure(550, "Unable to open local file " + FLocalFileName);
            CloseDataSocket();
            FireRequestDone(550);
            return;
        }
    }
    if (FPassive && !ConnectPassive(false, 550))
        return;
    TakePendingConnection();
    SetState(ftpStateWaitReply);
    FNext = &TCustomFtpCli::NextGetAsync;
    SendCommand(command);
}

void TCustomFtpCli::BindReceiving()
{
    TWSocket& data = *FDataSocket;
    data.OnSessionClosed = [this](TObject* s, WORD e) { DataSocketGetSessionClosed(s, e); };
    data.OnDataAvailable = [this](TObject* s, WORD e) { DataSocketGetDataAvailable(s, e); };
    data.OnDataSent = nullptr;
}

TSocket TCustomFtpCli::AcceptDataConnection()
{
    // The listener makes way for the connection it accepted.
    TWSocket& data = *FDataSocket;
    TSocket accepted = data.Accept();
    if (accepted == INVALID_SOCKET)
        return accepted;
    data.OnSessionAvailable = nullptr;
    FDataAcceptor = daNone;
    data.Close();
    return accepted;
}

void TCustomFtpCli::DataSocketGetSessionAvailable(TObject*, WORD)
{
    TWSocket& data = *FDataSocket;
    TSocket accepted = AcceptDataConnection();
    if (accepted == INVALID_SOCKET)
        return;
    BindReceiving();
    data.Dup(accepted);
    FStartTime = GetTickCount();
}

void TCustomFtpCli::DataSocketGetSessionConnected(TObject*, WORD Error)
{
    BindReceiving();
    FStartTime = GetTickCount();
    if (Error != 0)
        FailDataConnection(Error);
}

void TCustomFtpCli::FailDataConnection(WORD error)
{
    SetFailure(550, "Unable to establish data connection, " + ConnectFailureText(error, "error #" + std::to_string(error)));
    FreeLocalStream();
    CloseDataSocket();
    FireRequestDone(550);
}

void TCustomFtpCli::DataSocketGetDataAvailable(TObject*, WORD)
{
    if (!FireProgress())
        return;
    char buffer[ReceiveBlockSize];
    TWSocket& data = *FDataSocket;
    int count = data.Receive(buffer, sizeof buffer);
    if (count == 0)
        return;
    if (count < 0) {
        if (data.State() == wsConnected && data.LastError() != WSAEWOULDBLOCK)
            LocalTransferFailure("Data: Receive error " + std::to_string(data.LastError()));
        return;
    }
    FByteCount += count;
    if (FLocalStream) {
        // Blocks arrive by 4 KB; the file gets them by 64 KB.
        FWriteBuffer.insert(FWriteBuffer.end(), buffer, buffer + count);
        if (FWriteBuffer.size() >= WriteBlockSize && !FlushLocalStream())
            return;
    }
    if (FDisplayFileFlag) {
        int pos = 0;
        while (pos < count) {
            int start = pos;
            while (pos < count && buffer[pos] != '\r' && buffer[pos] != '\n')
                ++pos;
            if (!Fire(*this, OnDisplayFile, this, std::string(buffer + start, buffer + pos)))
                return;
            while (pos < count && (buffer[pos] == '\r' || buffer[pos] == '\n'))
                ++pos;
        }
    }
}

void TCustomFtpCli::DataSocketGetSessionClosed(TObject*, WORD Error)
{
    FlushLocalStream();
    FreeLocalStream();
    FDataClosedFlag = true;
    FDataSocketError = Error;
    TransferEndCheck();
}

bool TCustomFtpCli::TransferReply()
{
    FireDisplay("< " + FReplyText);
    return !ReplyIsIntermediate(FReplyText);
}

void TCustomFtpCli::RefuseTransfer(const char* note)
{
    int code = FStatusCode;
    SetErrorMessage();
    FNext = nullptr;
    CloseDataSocket();
    FreeLocalStream();
    if (note)
        FireDisplay(note);
    FRestartOffset = 0;
    FRequestResult = code;
    FireRequestDone(static_cast<WORD>(code));
}

void TCustomFtpCli::NextGetAsync()
{
    if (!TransferReply())
        return;
    int code = FStatusCode;
    if ((code >= 150 && code <= 159) || code == 125)
        FNext = &TCustomFtpCli::NextGetAsync2;
    else
        RefuseTransfer(nullptr);
}

void TCustomFtpCli::NextGetAsync2()
{
    if (!TransferReply())
        return;
    int code = FStatusCode;
    if (code != 125 && code != 226 && code != 250) {
        RefuseTransfer("! RETR/LIST/NLST Failed");
        return;
    }
    FFinalReplyFlag = true;
    TransferEndCheck();
}

// ---------------------------------------------------------------- sending

void TCustomFtpCli::StartStor()
{
    FCurrentStep = 17;
    FAppendFlag = false;
    FRequestType = ftpRqPut;
    StartTransmit();
}

void TCustomFtpCli::StartAppe()
{
    FCurrentStep = 22;
    FAppendFlag = true;
    FRequestType = ftpRqAppend;
    StartTransmit();
}

void TCustomFtpCli::SendTransferCommand()
{
    SetState(ftpStateWaitReply);
    FNext = &TCustomFtpCli::NextPutAsync;
    SendCommand((FAppendFlag ? "APPE " : "STOR ") + FHostFileName);
}

void TCustomFtpCli::StartTransmit()
{
    if (!FConnected) {
        HandleError("STOR/APPE: not connected");
        return;
    }
    if (FLocalFileName.empty()) {
        HandleError("LocalFileName empty");
        return;
    }
    if (!CheckCommandText(FHostFileName))
        return;
    BeginTransfer();
    FPutSessionOpened = false;
    FStorAnswerRcvd = false;
    FStartTime = 0;
    bool cancel = false;
    FireReadyToTransmit(cancel);
    if (cancel) {
        FErrorMessage = "426 Transmit cancelled by application";
        FStatusCode = 426;
        FireDisplay("! " + FErrorMessage);
        FRequestResult = 426;
        FireRequestDone(426);
        return;
    }
    FDataAcceptor = daPut;
    try {
        FreeLocalStream();
        FLocalStream = std::make_unique<TFileStream>(FLocalFileName, fmOpenRead | FShareMode);
        FEofFlag = false;
        if (FRestartOffset > 0)
            FLocalStream->Seek(FRestartOffset, soBeginning);
    } catch (const std::exception&) {
        FreeLocalStream();
        FErrorMessage = "426 Unable to open local file " + FLocalFileName;
        FStatusCode = 426;
        FireDisplay("! " + FErrorMessage);
        CloseDataSocket();
        FRequestResult = 426;
        FireRequestDone(426);
        return;
    }
    if (FPassive) {
        // The command goes out once the data connection stands.
        ConnectPassive(true, 426);
        return;
    }
    TakePendingConnection();
    SendTransferCommand();
}

void TCustomFtpCli::DataSocketPutSessionAvailable(TObject*, WORD)
{
    TWSocket& data = *FDataSocket;
    TSocket accepted = AcceptDataConnection();
    if (accepted == INVALID_SOCKET)
        return;
    data.OnSessionClosed = [this](TObject* s, WORD e) { DataSocketPutSessionClosed(s, e); };
    data.OnDataAvailable = [this](TObject* s, WORD e) { DataSocketPutDataAvailable(s, e); };
    data.OnDataSent = [this](TObject* s, WORD e) { DataSocketPutDataSent(s, e); };
    data.SetLingerOnOff(wsLingerOff);
    data.SetLingerTimeout(10);
    data.Dup(accepted);
    int size = 0;
    int length = sizeof size;
    if (getsockopt(data.HSocket(), SOL_SOCKET, SO_SNDBUF, &size, length) != 0) {
        HandleError("winsock.getsockopt(SO_SNDBUF) failed");
        return;
    }
    FPutSessionOpened = true;
    if (FStorAnswerRcvd && FStartTime == 0)
        PostMessage(FWindowHandle, WM_FTP_SENDDATA, 0, 0);
}

void TCustomFtpCli::DataSocketPutSessionConnected(TObject*, WORD Error)
{
    TWSocket& data = *FDataSocket;
    data.OnSessionClosed = [this](TObject* s, WORD e) { DataSocketPutSessionClosed(s, e); };
    data.OnDataAvailable = nullptr;
    data.OnDataSent = nullptr;
    FPutSessionOpened = true;
    FStartTime = GetTickCount();
    if (Error != 0) {
        FailDataConnection(Error);
        return;
    }
    SendTransferCommand();
}

void TCustomFtpCli::DataSocketPutDataSent(TObject*, WORD Error)
{
    if (!FLocalStream || !FireProgress())
        return;
    if (Error != 0) {
        LocalTransferFailure("Error #" + std::to_string(Error) + " sending data");
        return;
    }
    if (FEofFlag || !FStorAnswerRcvd || !FPutSessionOpened)
        return;
    // The file is read and sent by 64 KB, one piece a turn.
    if (FReadPos >= FReadBuffer.size()) {
        FReadBuffer.resize(ReadBlockSize);
        std::size_t got = 0;
        try {
            got = FLocalStream->Read(FReadBuffer.data(), FReadBuffer.size());
        } catch (const std::exception&) {
            LocalTransferFailure("Error reading file");
            return;
        }
        FReadBuffer.resize(got);
        FReadPos = 0;
    }
    std::size_t count = std::min(SendTurnSize, FReadBuffer.size() - FReadPos);
    const char* buffer = FReadBuffer.data() + FReadPos;
    FReadPos += count;
    if (count == 0) {
        // Every block before this one has left our queue (the event comes
        // only then). The end goes out behind the last byte, as a close
        // would send it, but the connection stays open while the kernel
        // still holds bytes: the wait follows what the server takes of them.
        // The server's close or its final reply closes it.
        FEofFlag = true;
        FDataSocket->Shutdown(SD_SEND);
        return;
    }
    FByteCount += static_cast<int>(count);
    FDataSocket->Send(buffer, static_cast<int>(count));
}

void TCustomFtpCli::DataSocketPutDataAvailable(TObject*, WORD)
{
    char buffer[DiscardBlockSize];
    FDataSocket->Receive(buffer, sizeof buffer);
}

void TCustomFtpCli::DataSocketPutSessionClosed(TObject*, WORD Error)
{
    if (FLocalStream && !FEofFlag && FStorAnswerRcvd && !FLocalFailure && Error == 0)
        // The server closed before the whole file was sent.
        LocalTransferFailure("Data connection closed before the end of the file");
    FreeLocalStream();
    FDataClosedFlag = true;
    FDataSocketError = Error;
    TransferEndCheck();
}

void TCustomFtpCli::NextPutAsync()
{
    if (!TransferReply())
        return;
    int code = FStatusCode;
    if (code != 150 && code != 125) {
        RefuseTransfer(nullptr);
        return;
    }
    FStorAnswerRcvd = true;
    FNext = &TCustomFtpCli::NextPutAsync2;
    if (FPassive) {
        FDataSocket->OnDataSent = [this](TObject* s, WORD e) { DataSocketPutDataSent(s, e); };
        DataSocketPutDataSent(FDataSocket, 0);
    } else if (FPutSessionOpened && FStartTime == 0) {
        PostMessage(FWindowHandle, WM_FTP_SENDDATA, 0, 0);
    }
}

void TCustomFtpCli::NextPutAsync2()
{
    if (!TransferReply())
        return;
    int code = FStatusCode;
    if (code != 226 && code != 250) {
        RefuseTransfer("! STOR Failed");
        return;
    }
    FFinalReplyFlag = true;
    if (FEofFlag && !FDataClosedFlag) {
        // The server has the whole file; the close ends the transfer.
        CloseDataSocket();
        if (FDataClosedFlag)
            return;
    }
    TransferEndCheck();
}

// ---------------------------------------------------------------- restart offset

void TCustomFtpCli::StartRest()
{
    bool resumeStore = FRequestType == ftpRqResumePut || FRequestType == ftpRqResumePutSession;
    if (!resumeStore && !(FOptions & FtpOption(ftpNoAutoResumeAt))) {
        std::int64_t size = FileSize(ExpandFileName(FLocalFileName));
        if (size > std::numeric_limits<std::int32_t>::max()) {
            // The offset is 32 bits wide: a resume past it would write in the
            // wrong place.
            HandleError("Local file too large to resume");
            return;
        }
        FRestartOffset = static_cast<int>(size);
    }
    FCurrentStep = 19;
    if (FRestartOffset <= 0) {
        if (!FHighLevelFlag)
            FRequestType = ftpRqRestart;
        BeginRequest();
        FNext = &TCustomFtpCli::CheckReply;
        FDoneAsync = nullptr;
        FireRequestDone(0);
        return;
    }
    StartCommand(ftpRqRestart, "REST " + std::to_string(FRestartOffset), {}, nullptr);
}

#include "net/TCustomSocksWSocket.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/core/AnsiString.h"

using namespace winsock;

namespace {

std::string ClassNameOf(const std::exception& e)
{
    if (dynamic_cast<const ESocketException*>(&e))
        return "ESocketException";
    return "Exception";
}

void PutPort(std::string& request, int port)
{
    request += static_cast<char>((port >> 8) & 0xFF);
    request += static_cast<char>(port & 0xFF);
}

struct Socks5Failure {
    int Code;
    const char* Text;
};

Socks5Failure Socks5ReplyFailure(int reply)
{
    switch (reply) {
    case 1: return {20004, "general SOCKS server failure"};
    case 2: return {20005, "connection not allowed by ruleset"};
    case 3: return {20006, "network unreachable"};
    case 4: return {20007, "host unreachable"};
    case 5: return {20008, "connection refused"};
    case 6: return {20009, "time to live expired"};
    case 7: return {20010, "command not supported"};
    case 8: return {20011, "address type not supported"};
    default: return {20012, nullptr};
    }
}

}  // namespace

TCustomSocksWSocket::TCustomSocksWSocket(TComponent* AOwner) : TCustomWSocket(AOwner) { ResetSocks(); }

void TCustomSocksWSocket::ResetToDefaults()
{
    TCustomWSocket::ResetToDefaults();
    ResetSocks();
}

void TCustomSocksWSocket::ResetSocks()
{
    FSocksState = 0;
    FSocksServer.clear();
    FSocksPort.clear();
    FSocksLevel = "5";
    FSocksRcvdCnt = 0;
    FSocksPortAssigned = false;
    FSocksServerAssigned = false;
}

// ---------------------------------------------------------------- setters

void TCustomSocksWSocket::SetSocksLevel(const std::string& value)
{
    if (FState != wsClosed) {
        RaiseException("Can't change socks level if not closed");
        return;
    }
    if (value != "4" && value != "5" && value != "4A" && value != "4a") {
        RaiseException("Invalid socks level. Must be 4, 4A or 5.");
        return;
    }
    FSocksLevel = value == "4a" ? "4A" : value;
}

void TCustomSocksWSocket::SetSocksPort(const std::string& value)
{
    if (FState != wsClosed) {
        RaiseException("Can't change socks port if not closed");
        return;
    }
    FSocksPort = Trim(value);
    FSocksPortAssigned = !FSocksPort.empty();
}

void TCustomSocksWSocket::SetSocksServer(const std::string& value)
{
    if (FState != wsClosed) {
        RaiseException("Can't change socks server if not closed");
        return;
    }
    FSocksServer = Trim(value);
    FSocksServerAssigned = !FSocksServer.empty();
}

// ---------------------------------------------------------------- connect

void TCustomSocksWSocket::Listen()
{
    if (FSocksServerAssigned) {
        RaiseException("Listening is not supported thru socks server");
        return;
    }
    TCustomWSocket::Listen();
}

void TCustomSocksWSocket::Connect()
{
    if (!FSocksServerAssigned) {
        TCustomWSocket::Connect();
        return;
    }
    if (LowerCase(FProtoStr) != "tcp") {
        RaiseException("tcp is the only protocol supported thru socks server");
        return;
    }
    try {
        BindWinsockLibrary();
        // The socket address names the SOCKS server; the target stays in
        // Addr and the port number.
        if (!FPortResolved) {
            Fsin.sin_port = htons(WSocketResolvePort(FSocksPort, FProtoStr));
            FPortResolved = true;
        }
        if (!FAddrResolved) {
            Fsin.sin_addr.s_addr = WSocketResolveHost(FSocksServer);
            FAddrResolved = true;
        }
        FPortNum = WSocketResolvePort(FPortStr, FProtoStr);
        FSocksState = 1;
        FRcvCnt = 0;
    } catch (const Exception& e) {
        RaiseException("connect: " + e.Message());
        return;
    }
    TCustomWSocket::Connect();
}

void TCustomSocksWSocket::FireSessionConnected(WORD error)
{
    if (FSocksState == 1) {
        FireSocksConnected(error);
        if (error != 0)
            FSocksState = 0;  // the server was never reached: nothing to negotiate
        if (error == 0) {
            if (FSocksLevel[0] == '4') {
                SendSocksRequest();
            } else {
                FSocksAuthNumber = FSocksAuthentication == socksAuthenticateUsercode ? 2 : 0;
                std::string request{'\x05', '\x01', static_cast<char>(FSocksAuthNumber)};
                SendRequest(request);
            }
            return;
        }
    }
    TCustomWSocket::FireSessionConnected(error);
}

void TCustomSocksWSocket::FireSessionClosed(WORD error)
{
    if (FSocksState == 0) {
        TCustomWSocket::FireSessionClosed(error);
        return;
    }
    // The server ended the negotiation (a truncated reply, a refusal by
    // closing): reported like every other failure, so the user who never got
    // connected hears of it.
    if (FSocksState == 2)
        FireSocksAuthState(socksAuthFailed);
    FSocksState = 0;
    WORD code = error != 0 ? error : static_cast<WORD>(WSAECONNABORTED);
    FireSocksError(code, "socks server closed the connection");
    TCustomWSocket::FireSessionConnected(code);
    TCustomWSocket::FireSessionClosed(code);
}

void TCustomSocksWSocket::SendRequest(const std::string& request)
{
    try {
        if (request.size() > SocksBufferSize)
            throw ESocketException("socks request longer than " + std::to_string(SocksBufferSize) + " bytes");
        Send(request.data(), static_cast<int>(request.size()));
    } catch (const std::exception& e) {
        FailSocks(20017, ClassNameOf(e) + " " + e.what());
    }
}

void TCustomSocksWSocket::SendSocksAuth()
{
    FSocksState = 2;
    FireSocksAuthState(socksAuthStarted);
    std::string request;
    request += '\x01';
    request += static_cast<char>(FSocksUsercode.size() & 0xFF);
    request += FSocksUsercode;
    request += static_cast<char>(FSocksPassword.size() & 0xFF);
    request += FSocksPassword;
    SendRequest(request);
}

void TCustomSocksWSocket::SendSocksRequest()
{
    FSocksState = 3;
    std::string request;
    try {
        if (FSocksLevel[0] == '5') {
            // The target always goes as a name, also when it is dotted.
            request = std::string{'\x05', '\x01', '\x00', '\x03'};
            request += static_cast<char>(FAddrStr.size() & 0xFF);
            request += FAddrStr;
            PutPort(request, FPortNum);
        } else {
            request = std::string{'\x04', '\x01'};
            PutPort(request, FPortNum);
            std::uint32_t address = FSocksLevel == "4A" ? htonl(1) : WSocketResolveHost(FAddrStr);
            request.append(reinterpret_cast<const char*>(&address), 4);
            request += FSocksUsercode;
            request += '\0';
            if (FSocksLevel == "4A") {
                request += FAddrStr;
                request += '\0';
            }
        }
    } catch (const std::exception& e) {
        FailSocks(20017, ClassNameOf(e) + " " + e.what());
        return;
    }
    SendRequest(request);
}

void TCustomSocksWSocket::FailSocks(int error, const std::string& message)
{
    FireSocksError(error, message);
    FSocksState = 0;
    FireSessionConnected(static_cast<WORD>(error));
    CloseCore(true, static_cast<WORD>(error));
}

// ---------------------------------------------------------------- replies

bool TCustomSocksWSocket::FireDataAvailable(WORD error)
{
    if (FSocksState == 0)
        return TCustomWSocket::FireDataAvailable(error);
    return HandleSocksData(error);
}

bool TCustomSocksWSocket::ReadReply(int limit)
{
    int count = Receive(FRcvBuf + FRcvCnt, limit - FRcvCnt);
    if (count < 0)
        return false;
    FRcvCnt += count;
    return true;
}

bool TCustomSocksWSocket::HandleSocksData(WORD error)
{
    if (error != 0) {
        FailSocks(error, "data receive error");
        return false;
    }
    switch (FSocksState) {
    case 1:
        if (!ReadReply(SocksBufferSize - 1))
            return true;
        if (FSocksLevel[0] == '4') {
            FailSocks(20001, "TWSocket logic error");
        } else if (FRcvCnt >= 2) {
            FRcvCnt = 0;
            if (FRcvBuf[0] != 5) {
                FailSocks(20002, "socks version error");
            } else if (FRcvBuf[1] == 0) {
                if (FSocksAuthNumber == 2)
                    FireSocksAuthState(socksAuthNotNeeded);
                SendSocksRequest();
            } else if (FRcvBuf[1] == 2) {
                SendSocksAuth();
            } else {
                FailSocks(20003, "authentification method not acceptable");
            }
        }
        return true;
    case 2:
        if (!ReadReply(SocksBufferSize - 1))
            return true;
        if (FRcvCnt >= 1 && FRcvBuf[0] != 1) {
            FailSocks(20002, "socks version error");
        } else if (FRcvCnt == 2) {
            if (FRcvBuf[1] != 0) {
                FailSocks(20015, "socks authentication failed");
            } else {
                FRcvCnt = 0;
                FireSocksAuthState(socksAuthSucceeded);
                SendSocksRequest();
            }
        } else if (FRcvCnt > 2) {
            FailSocks(20001, "too much data availaible");
        }
        return true;
    case 3:
        if (FSocksLevel[0] == '5') {
            if (!ReadReply(SocksBufferSize - 1))
                return true;
            if (FRcvCnt >= 1 && FRcvBuf[0] != 5) {
                FailSocks(20002, "socks version error");
                return true;
            }
            if (FRcvCnt >= 2 && FRcvBuf[1] != 0) {
                Socks5Failure failure = Socks5ReplyFailure(FRcvBuf[1]);
                FailSocks(failure.Code, failure.Text ? failure.Text
                                                     : "unassigned error #" + std::to_string(FRcvBuf[1]));
                return true;
            }
            if (FRcvCnt < 5)
                return true;
            int length;
            if (FRcvBuf[3] == 1) {
                length = 10;
            } else if (FRcvBuf[3] == 3) {
                length = FRcvBuf[4] + 7;
            } else {
                FailSocks(20011, "address type not supported");
                return true;
            }
            // A reply that cannot fit the reply area would never complete.
            if (length > SocksBufferSize - 1) {
                FailSocks(20001, "too much data availaible");
                return true;
            }
            if (FRcvCnt < length)
                return true;
            FSocksState = 0;
            FSocksRcvdCnt = std::max(0, FRcvCnt - length);
            FSocksRcvdPtr = length;
            FRcvCnt = 0;
            FireSessionConnected(0);
            if (FSocksRcvdCnt > 0 && FHSocket != INVALID_SOCKET)
                return FireDataAvailable(0);
            return true;
        }
        if (!ReadReply(8))
            return true;
        if (FRcvCnt < 8)
            return true;
        FRcvCnt = 0;
        if (FRcvBuf[0] != 0) {
            FailSocks(20002, "socks version error");
        } else if (FRcvBuf[1] == 90) {
            FSocksState = 0;
            FireSessionConnected(0);
        } else if (FRcvBuf[1] == 91) {
            FailSocks(20016, "request rejected or failed");
        } else if (FRcvBuf[1] == 92) {
            FailSocks(20008, "connection refused");
        } else if (FRcvBuf[1] == 93) {
            FailSocks(20015, "authentification failed");
        } else {
            FailSocks(20012, "unassigned error #" + std::to_string(FRcvBuf[1]));
        }
        return true;
    default:
        FailSocks(20013, "internal error");
        return false;
    }
}

int TCustomSocksWSocket::RecvRaw(void* buffer, int length, int flags)
{
    if (FSocksRcvdCnt <= 0)
        return TCustomWSocket::RecvRaw(buffer, length, flags);
    int count = std::min(std::max(length, 0), FSocksRcvdCnt);
    std::memcpy(buffer, FRcvBuf + FSocksRcvdPtr, static_cast<std::size_t>(count));
    FSocksRcvdPtr += count;
    FSocksRcvdCnt -= count;
    return count;
}

int TCustomSocksWSocket::GetRcvdCount()
{
    return FSocksRcvdCnt > 0 ? FSocksRcvdCnt : TCustomWSocket::GetRcvdCount();
}

// ---------------------------------------------------------------- events

void TCustomSocksWSocket::FireSocksConnected(WORD error) { Fire(*this, OnSocksConnected, this, error); }

void TCustomSocksWSocket::FireSocksError(int error, const std::string& message)
{
    Fire(*this, OnSocksError, this, error, message);
}

void TCustomSocksWSocket::FireSocksAuthState(TSocksAuthState state) { Fire(*this, OnSocksAuthState, this, state); }

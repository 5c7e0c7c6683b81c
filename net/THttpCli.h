#pragma once

// An HTTP/1.0 client component on one TWSocket: one request per connection,
// the body is what arrives until the server closes (or until the announced
// content-length is reached). GET, POST and HEAD, a proxy, Basic
// authorisation, cookies, ranges, If-Modified-Since, relocations and SOCKS.
//
// - Every step runs in a socket event or a message of the component's own
//   hidden window; Get pumps messages until the component is ready again, so
//   OnDocEnd runs inside Get and OnRequestDone after it has returned.
// - Local failures (lookup, connect, time-out, a reply that cannot be read,
//   an exception in an event handler) end the request normally with
//   StatusCode 404 and a reason text, and exactly once; OnDocEnd then does
//   not fire.
// - A reply of status 400 or more is closed after its header; what of its
//   body had arrived is delivered.
// - A relocation is followed only to http (scheme without case), at most
//   MaxRelocations times; otherwise the relocating reply ends the request.
// - NoDataTimeout milliseconds without any data end the request with 404
//   "Timeout".
// - Chunked replies are refused: 404 "chunked transfer is not supported".
// - A body that ends before its announced Content-Length is a failure
//   (404 "body cut short: ..."), not a document.
// - A URL holding CR or LF is refused before anything is sent; a reply
//   header over MaxReplyHeader bytes ends the request as a failure.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "net/TCustomSyncWSocket.h"
#include "platform/core/AnsiString.h"  // Base64Encode, for Basic authorisation
#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"
#include "platform/core/TStringList.h"
#include "platform/controls/TComponent.h"

enum THttpRequest { httpNone = 0, httpGET = 1, httpPOST = 2, httpHEAD = 3 };

enum THttpClientState {
    httpReady = 0,
    httpNotConnected = 1,
    httpConnected = 2,
    httpDnsLookup = 3,
    httpDnsLookupDone = 4,
    httpWaitingHeader = 5,
    httpWaitingBody = 6,
    httpAborting = 7
};

class EHttpException : public Exception {
public:
    EHttpException(const std::string& message, WORD errorCode) : Exception(message), FErrorCode(errorCode) {}
    WORD ErrorCode() const { return FErrorCode; }

private:
    WORD FErrorCode;
};

using TDocDataEvent = std::function<void(TObject* Sender, const void* Buffer, int Len)>;
using TOnCommand = std::function<void(TObject* Sender, std::string& S)>;
using TCookieRcvdEvent = std::function<void(TObject* Sender, const std::string& Data, bool& Accept)>;
using THttpRequestDone = std::function<void(TObject* Sender, THttpRequest RqType, WORD Error)>;
using TBeforeHeaderSendEvent =
    std::function<void(TObject* Sender, const std::string& Method, TStrings* Headers)>;

// The parts of a URL; `Path` keeps a query.
struct THttpUrlParts {
    std::string Proto, User, Pass, Host, Port, Path;
};

// The scheme before "://" when there is a well-formed one, in lower case; "" otherwise.
std::string SchemeOf(std::string_view url);
// Splits `url`; `base` is the current path against which "./" and "../"
// forms are resolved.
THttpUrlParts ParseURL(std::string_view url, std::string_view base = "");
// The file name of a document path: "document.htm" for a folder, otherwise
// the last segment (at most 255 characters), without a query.
std::string DocumentNameOf(std::string_view path);
// "Mon, 01 Jan 1900 00:00:00" for If-Modified-Since (the caller adds " GMT").
std::string HttpDateText(TDateTime date);

class THttpCli : public TComponent {
public:
    explicit THttpCli(TComponent* AOwner);
    ~THttpCli() override;

    const char* ClassName() const override { return "THttpCli"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    // Requests. Get blocks (pumping messages); StartRequest returns at once.
    void Get() { RunRequest(httpGET); }
    virtual void StartRequest(THttpRequest kind);
    virtual void RunRequest(THttpRequest kind);

    // Published properties.
    std::string URL;
    std::string LocalAddr = "0.0.0.0";
    std::string Proxy;
    std::string ProxyPort = "80";
    std::string Sender;
    std::string Agent = "Mozilla/3.0 (compatible)";
    std::string Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    std::string AcceptLanguage;
    std::string Reference;
    std::string Username;
    std::string Password;
    std::string ProxyUsername;
    std::string ProxyPassword;
    bool NoCache = false;
    TDateTime ModifiedSince = 0;
    std::string Cookie;
    std::string ContentTypePost = "application/x-www-form-urlencoded";
    std::string ContentRangeBegin;
    std::string ContentRangeEnd;
    const std::string& AcceptRanges() const { return FAcceptRanges; }
    bool MultiThreaded() const { return FMultiThreaded; }
    virtual void SetMultiThreaded(bool value);
    // SOCKS goes through the socket's own setters, so a value reads back as
    // the socket took it ("4a" as "4A", names trimmed) and a refusal (a bad
    // level, a change during a request) comes as the socket's would:
    // OnSocketError when assigned, else ESocketException. The client keeps
    // what the socket took and gives it back before every connect and after
    // every request, since the socket forgets it at each close.
    const std::string& SocksServer() const { return FSocks.Server; }
    void SetSocksServer(const std::string& value);
    const std::string& SocksLevel() const { return FSocks.Level; }
    void SetSocksLevel(const std::string& value);
    const std::string& SocksPort() const { return FSocks.Port; }
    void SetSocksPort(const std::string& value);
    const std::string& SocksUsercode() const { return FSocks.Usercode; }
    void SetSocksUsercode(const std::string& value);
    const std::string& SocksPassword() const { return FSocks.Password; }
    void SetSocksPassword(const std::string& value);
    TSocksAuthentication SocksAuthentication() const { return FSocks.Authentication; }
    void SetSocksAuthentication(TSocksAuthentication value);

    // Published events.
    TNotifyEvent OnStateChange, OnSessionConnected, OnRequestHeaderBegin, OnRequestHeaderEnd, OnHeaderBegin,
        OnHeaderEnd, OnHeaderData, OnDocBegin, OnDocEnd, OnSendBegin, OnSendEnd, OnLocationChange, OnTrace,
        OnSocketError;
    TDocDataEvent OnDocData, OnSendData;
    TOnCommand OnCommand;
    TCookieRcvdEvent OnCookie;
    THttpRequestDone OnRequestDone;
    TBeforeHeaderSendEvent OnBeforeHeaderSend;
    TSessionConnected OnSocksConnected;
    TSocksErrorEvent OnSocksError;
    TSocksAuthStateEvent OnSocksAuthState;

    // Public state.
    TStream* ReceiveStream = nullptr;
    TStream* PostStream = nullptr;
    int StatusCode() const { return FStatusCode; }
    const std::string& ReasonPhrase() const { return FReasonPhrase; }
    int ContentLength() const { return FContentLength; }
    const std::string& ContentType() const { return FContentType; }
    int RcvdCount() const { return FRcvdCount; }
    int PostedBytes() const { return FPostedBytes; }
    TStringList& ReplyHeader() { return FReplyHeader; }
    const std::string& DocumentName() const { return FDocName; }
    const std::string& Location() const { return FLocation; }
    THttpClientState State() const { return FState; }
    TDataAvailable OnDataAvailable;

    // Not published: the silence that ends a request, and the relocations
    // followed before one is refused.
    int NoDataTimeout = 30000;
    static constexpr int MaxRelocations = 10;
    // What a browser also accepts as one reply header.
    static constexpr int MaxReplyHeader = 256 * 1024;

    TWSocket& Socket() { return *FCtrlSocket; }
    HWND Handle() const { return FWindowHandle; }

protected:
    virtual void ReadHeaderLine(std::string_view line);
    virtual void ReadBodyLine(std::string_view data);
    virtual void SendCommand(const std::string& command);
    virtual void StartLookup();
    virtual void CloseConnection();
    virtual void ResetReply();
    virtual void HandleSocketLookupDone(WORD error);
    virtual void HandleSocketClosed(WORD error);
    virtual void HandleSocketConnected(WORD error);
    virtual void HandleSocketSent(WORD error);
    virtual void HandleSocketData(WORD error);
    virtual void HandleRelocationClosed(WORD error);
    virtual void SetState(THttpClientState state);
    virtual void FireStateChange();
    virtual void FireCookie(const std::string& data, bool& accept);
    virtual void FireSessionConnected();
    virtual void FireBeforeHeaderSend(const std::string& method, TStrings& headers);
    virtual void FireRequestHeaderBegin();
    virtual void FireRequestHeaderEnd();
    virtual void FireHeaderBegin();
    virtual void FireHeaderEnd();
    virtual void FireDocBegin();
    virtual void FireDocData(const void* buffer, int length);
    virtual void FireDocEnd();
    virtual void FireSendBegin();
    virtual void FireSendData(const void* buffer, int length);
    virtual void FireSendEnd();
    virtual void FireRequestDone();
    virtual void MarkReady();
    // The connection ended before the announced body was all there.
    bool BodyCutShort() const;
    virtual void DeriveDocName();
    virtual void AllocateWindow();
    virtual void DeallocateWindow();

    void SendRequest(const std::string& method, const std::string& version);
    void WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Ends the request with a local failure: 404, `reason`, `error`.
    void Fail(const std::string& reason, WORD error);
    void ProcessLocation(const std::string& value);
    // `firstLine`: the first body line of a reply without a header.
    void EnterBody(const std::string* firstLine);
    void RestartTimeout();
    void HandleTimeout();
    // Ends the request after an exception inside a socket event: 404 with
    // its message.
    void HandleBgException(const std::exception& e);
    void BindSessionClosed(bool relocation);
    // Runs one of the socket's SOCKS setters; false when the socket refused.
    bool SetOnSocket(const std::function<void(TWSocket&)>& set);
    // Gives the kept SOCKS settings to a closed socket.
    void ApplySocks();

private:
    using TLineHandler = void (THttpCli::*)(std::string_view);

    struct TSocksSettings {
        std::string Server;
        std::string Level = "5";
        std::string Port;
        std::string Usercode;
        std::string Password;
        TSocksAuthentication Authentication = socksNoAuthentication;
    };

    std::unique_ptr<TWSocket> FCtrlSocket;
    HWND FWindowHandle = 0;
    THttpRequest FRequestType = httpNone;
    std::string FPath;
    std::string FHostName;
    std::string FConnectHost;
    std::string FPort;
    std::string FProxyConnectPort;
    std::string FDnsResult;
    bool FConnected = false;
    bool FHeaderInProgress = false;
    bool FHeaderEnded = false;
    bool FLocationPending = false;
    // A location that is not followed: its reply ends the request unread.
    bool FLocationRefused = false;
    bool FChunked = false;
    int FRelocations = 0;
    int FHeaderLineCount = 0;
    int FHeaderBytes = 0;
    int FBodyLineCount = 0;
    int FDocBytes = 0;
    WORD FRequestDoneError = 0;
    // A local failure decided the status; nothing overrides it.
    bool FFailed = false;
    // Ready has been posted for the current request.
    bool FEnded = false;
    // The request serial that the ready message carries.
    WPARAM FSerial = 0;
    bool FSocketErrorFired = false;
    bool FMultiThreaded = false;
    TLineHandler FNext = nullptr;
    TMemoryStream FReqStream;
    static constexpr int ReceiveBufferSize = 8192;
    std::array<char, ReceiveBufferSize + 1> FReceiveBuffer{};
    int FReceiveLen = 0;
    std::string FLastLine;
    std::array<char, 8193> FSendBuffer{};
    bool FAllowedToSend = false;

    int FStatusCode = 0;
    std::string FReasonPhrase;
    int FContentLength = -1;
    std::string FContentType;
    int FRcvdCount = 0;
    int FPostedBytes = 0;
    TStringList FReplyHeader;
    std::string FDocName;
    std::string FLocation;
    std::string FAcceptRanges;
    THttpClientState FState = httpReady;
    TSocksSettings FSocks;
};

// Makes THttpCli known to window layouts.
void RegisterHttpCli();

#include "net/THttpCli.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "net/ESocketException.h"
#include "net/LineBreaks.h"
#include "platform/controls/Properties.h"
#include "platform/controls/TApplication.h"
#include "platform/core/AnsiString.h"
#include "platform/loop/Messages.h"
#include "platform/loop/Window.h"

namespace {

constexpr UINT WM_HTTP_REQUEST_DONE = WM_USER + 1;
constexpr UINT WM_HTTP_SET_READY = WM_USER + 2;
constexpr UINT WM_HTTP_LOGIN = WM_USER + 3;
constexpr UINT_PTR TimeoutTimerId = 1;

std::string CutBefore(std::string_view s, char c) { return std::string(s.substr(0, s.find(c))); }

std::string WithPort(const std::string& host, const std::string& port)
{
    return port.empty() || port == "80" ? host : host + ":" + port;
}

}  // namespace

// ---------------------------------------------------------------- life

THttpCli::THttpCli(TComponent* AOwner) : TComponent(AOwner)
{
    AllocateWindow();
    FCtrlSocket = std::make_unique<TWSocket>(nullptr);
    TWSocket& s = *FCtrlSocket;
    BindSessionClosed(false);
    s.OnDataAvailable = [this](TObject*, WORD error) { HandleSocketData(error); };
    s.OnSessionConnected = [this](TObject*, WORD error) { HandleSocketConnected(error); };
    s.OnDataSent = [this](TObject*, WORD error) { HandleSocketSent(error); };
    s.OnDnsLookupDone = [this](TObject*, WORD error) { HandleSocketLookupDone(error); };
    s.OnSocksError = [this](TObject*, int error, const std::string& msg) {
        Fire(*this, OnSocksError, this, error, msg);
    };
    s.OnSocksConnected = [this](TObject*, WORD error) { Fire(*this, OnSocksConnected, this, error); };
    s.OnError = [this](TObject*) {
        FSocketErrorFired = true;
        Fire(*this, OnSocketError, this);
    };
    s.OnBgException = [this](TObject*, const std::exception& e, bool&) { HandleBgException(e); };
}

THttpCli::~THttpCli()
{
    if (FWindowHandle)
        KillTimer(FWindowHandle, TimeoutTimerId);
    TWSocket& s = *FCtrlSocket;
    s.OnSessionClosed = nullptr;
    s.OnDataAvailable = nullptr;
    s.OnSessionConnected = nullptr;
    s.OnDataSent = nullptr;
    s.OnDnsLookupDone = nullptr;
    s.OnBgException = nullptr;
    FCtrlSocket.reset();
    DeallocateWindow();
}

void THttpCli::AllocateWindow()
{
    FWindowHandle = AllocateHWnd([this](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_HTTP_REQUEST_DONE || message == WM_HTTP_SET_READY || message == WM_HTTP_LOGIN ||
            message == WM_TIMER) {
            WndProc(message, wParam, lParam);
            return 0;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    });
}

void THttpCli::DeallocateWindow()
{
    if (FWindowHandle)
        DeallocateHWnd(FWindowHandle);
    FWindowHandle = 0;
}

void THttpCli::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_HTTP_REQUEST_DONE:
        Fire(*this, OnRequestDone, this, static_cast<THttpRequest>(wParam), static_cast<WORD>(lParam));
        break;
    case WM_HTTP_SET_READY:
        if (wParam == FSerial) {
            ApplySocks();
            SetState(httpReady);
        }
        break;
    case WM_HTTP_LOGIN:
        if (wParam == FSerial && !FEnded)
            StartLookup();
        break;
    case WM_TIMER:
        if (wParam == TimeoutTimerId)
            HandleTimeout();
        break;
    default: break;
    }
}

const TPropertyTable& THttpCli::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TComponent::PropertyTable());
        auto text = [&t](const char* name, std::string THttpCli::*member) {
            t.String<THttpCli>(name, [member](const THttpCli& c) -> const std::string& { return c.*member; },
                               [member](THttpCli& c, const std::string& v) { c.*member = v; });
        };
        text("URL", &THttpCli::URL);
        text("LocalAddr", &THttpCli::LocalAddr);
        text("Proxy", &THttpCli::Proxy);
        text("ProxyPort", &THttpCli::ProxyPort);
        text("Sender", &THttpCli::Sender);
        text("Agent", &THttpCli::Agent);
        text("Accept", &THttpCli::Accept);
        text("AcceptLanguage", &THttpCli::AcceptLanguage);
        text("Reference", &THttpCli::Reference);
        text("Username", &THttpCli::Username);
        text("Password", &THttpCli::Password);
        text("ProxyUsername", &THttpCli::ProxyUsername);
        text("ProxyPassword", &THttpCli::ProxyPassword);
        t.Bool<THttpCli>("NoCache", [](const THttpCli& c) { return c.NoCache; },
                         [](THttpCli& c, bool v) { c.NoCache = v; });
        t.DateTime<THttpCli>("ModifiedSince", [](const THttpCli& c) { return c.ModifiedSince; },
                             [](THttpCli& c, TDateTime v) { c.ModifiedSince = v; });
        text("Cookie", &THttpCli::Cookie);
        text("ContentTypePost", &THttpCli::ContentTypePost);
        text("ContentRangeBegin", &THttpCli::ContentRangeBegin);
        text("ContentRangeEnd", &THttpCli::ContentRangeEnd);
        t.Bool<THttpCli>("MultiThreaded", &THttpCli::MultiThreaded, &THttpCli::SetMultiThreaded);
        t.String<THttpCli>("SocksServer", &THttpCli::SocksServer, &THttpCli::SetSocksServer);
        t.String<THttpCli>("SocksLevel", &THttpCli::SocksLevel, &THttpCli::SetSocksLevel);
        t.String<THttpCli>("SocksPort", &THttpCli::SocksPort, &THttpCli::SetSocksPort);
        t.String<THttpCli>("SocksUsercode", &THttpCli::SocksUsercode, &THttpCli::SetSocksUsercode);
        t.String<THttpCli>("SocksPassword", &THttpCli::SocksPassword, &THttpCli::SetSocksPassword);
        t.Enum<THttpCli, TSocksAuthentication>("SocksAuthentication", &THttpCli::SocksAuthentication,
                                               &THttpCli::SetSocksAuthentication,
                                               {"socksNoAuthentication", "socksAuthenticateUsercode"});
        for (auto [name, member] : std::initializer_list<std::pair<const char*, TNotifyEvent THttpCli::*>>{
                 {"OnStateChange", &THttpCli::OnStateChange},
                 {"OnSessionConnected", &THttpCli::OnSessionConnected},
                 {"OnRequestHeaderBegin", &THttpCli::OnRequestHeaderBegin},
                 {"OnRequestHeaderEnd", &THttpCli::OnRequestHeaderEnd},
                 {"OnHeaderBegin", &THttpCli::OnHeaderBegin},
                 {"OnHeaderEnd", &THttpCli::OnHeaderEnd},
                 {"OnHeaderData", &THttpCli::OnHeaderData},
                 {"OnDocBegin", &THttpCli::OnDocBegin},
                 {"OnDocEnd", &THttpCli::OnDocEnd},
                 {"OnSendBegin", &THttpCli::OnSendBegin},
                 {"OnSendEnd", &THttpCli::OnSendEnd},
                 {"OnLocationChange", &THttpCli::OnLocationChange},
                 {"OnTrace", &THttpCli::OnTrace},
                 {"OnSocketError", &THttpCli::OnSocketError}})
            t.EventHandler<THttpCli>(name, member);
        t.EventHandler<THttpCli>("OnDocData", &THttpCli::OnDocData);
        t.EventHandler<THttpCli>("OnSendData", &THttpCli::OnSendData);
        t.EventHandler<THttpCli>("OnCommand", &THttpCli::OnCommand);
        t.EventHandler<THttpCli>("OnCookie", &THttpCli::OnCookie);
        t.EventHandler<THttpCli>("OnRequestDone", &THttpCli::OnRequestDone);
        t.EventHandler<THttpCli>("OnBeforeHeaderSend", &THttpCli::OnBeforeHeaderSend);
        t.EventHandler<THttpCli>("OnSocksConnected", &THttpCli::OnSocksConnected);
        t.EventHandler<THttpCli>("OnSocksError", &THttpCli::OnSocksError);
        t.EventHandler<THttpCli>("OnSocksAuthState", &THttpCli::OnSocksAuthState);
        return t;
    }();
    return table;
}

void RegisterHttpCli() { RegisterComponentClass<THttpCli>("THttpCli"); }

void THttpCli::SetMultiThreaded(bool value)
{
    FMultiThreaded = value;
    FCtrlSocket->SetMultiThreaded(value);
}

// ---------------------------------------------------------------- SOCKS

bool THttpCli::SetOnSocket(const std::function<void(TWSocket&)>& set)
{
    // The socket's error event carries the client's request failures; while
    // a setter runs it is taken away, so the socket raises its refusal.
    TWSocket& s = *FCtrlSocket;
    TNotifyEvent requestErrors = std::exchange(s.OnError, nullptr);
    try {
        set(s);
    } catch (const ESocketException&) {
        s.OnError = std::move(requestErrors);
        if (!OnSocketError)
            throw;
        Fire(*this, OnSocketError, this);
        return false;
    }
    s.OnError = std::move(requestErrors);
    return true;
}

void THttpCli::SetSocksServer(const std::string& value)
{
    if (SetOnSocket([&](TWSocket& s) { s.SetSocksServer(value); }))
        FSocks.Server = FCtrlSocket->SocksServer();
}

void THttpCli::SetSocksLevel(const std::string& value)
{
    if (SetOnSocket([&](TWSocket& s) { s.SetSocksLevel(value); }))
        FSocks.Level = FCtrlSocket->SocksLevel();
}

void THttpCli::SetSocksPort(const std::string& value)
{
    if (SetOnSocket([&](TWSocket& s) { s.SetSocksPort(value); }))
        FSocks.Port = FCtrlSocket->SocksPort();
}

void THttpCli::SetSocksUsercode(const std::string& value)
{
    FCtrlSocket->SetSocksUsercode(value);
    FSocks.Usercode = FCtrlSocket->SocksUsercode();
}

void THttpCli::SetSocksPassword(const std::string& value)
{
    FCtrlSocket->SetSocksPassword(value);
    FSocks.Password = FCtrlSocket->SocksPassword();
}

void THttpCli::SetSocksAuthentication(TSocksAuthentication value)
{
    FCtrlSocket->SetSocksAuthentication(value);
    FSocks.Authentication = FCtrlSocket->SocksAuthentication();
}

void THttpCli::ApplySocks()
{
    TWSocket& s = *FCtrlSocket;
    if (s.State() != wsClosed)
        return;
    s.SetSocksServer(FSocks.Server);
    s.SetSocksLevel(FSocks.Level);
    s.SetSocksPort(FSocks.Port);
    s.SetSocksUsercode(FSocks.Usercode);
    s.SetSocksPassword(FSocks.Password);
    s.SetSocksAuthentication(FSocks.Authentication);
}

// ---------------------------------------------------------------- requests

void THttpCli::RunRequest(THttpRequest kind)
{
    StartRequest(kind);
    // One message at a time, so that the request-done message posted when
    // the component turns ready is left for after the return.
    while (FState != httpReady) {
        if (Application && Application->Terminated())
            break;
        bool handled;
        if (FMultiThreaded || !Application) {
            MSG msg;
            handled = PeekMessage(msg, 0, 0, 0, PM_REMOVE);
            if (handled && msg.message == WM_QUIT) {
                // Left for the thread's own loop.
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (handled) {
                TranslateMessage(msg);
                DispatchMessage(msg);
            }
        } else {
            handled = ProcessOneMessage();
        }
        if (!handled && FState != httpReady)
            MsgWaitForMultipleObjects({}, 10);
    }
}

void THttpCli::StartRequest(THttpRequest kind)
{
    if (FState != httpReady)
        throw EHttpException("HTTP component is busy", 1);
    if (kind == httpPOST && !PostStream)
        throw EHttpException("HTTP component has nothing to post", 2);
    // Either would end the request line early and let the rest pass for
    // headers of the URL's own choosing.
    if (HoldsLineBreak(URL) || HoldsLineBreak(Proxy))
        throw EHttpException("URL holds a line break", 5);
    BindSessionClosed(false);
    ++FSerial;
    FEnded = false;
    FFailed = false;
    FRelocations = 0;
    SetState(httpNotConnected);
    FRequestType = kind;
    ResetReply();

    THttpUrlParts url;
    if (Proxy.empty()) {
        url = ParseURL(URL, FPath);
        FPath = url.Path;
        FPort = url.Port.empty() ? "80" : url.Port;
        FHostName = url.Host;
    } else {
        url = ParseURL(URL, "");
        FPath = (url.Proto.empty() ? std::string("http") : url.Proto) + "://" + url.Host +
                (url.Port.empty() ? "" : ":" + url.Port) + (url.Path.empty() ? "/" : url.Path);
        THttpUrlParts proxy = ParseURL(Proxy, "");
        FHostName = proxy.Host;
        FPort = proxy.Port.empty() ? ProxyPort : proxy.Port;
        FProxyConnectPort = FPort;
    }
    FConnectHost = url.Host;
    FDocName = url.Path;
    if (!url.User.empty())
        Username = url.User;
    if (!url.Pass.empty())
        Password = url.Pass;
    if (FPath.empty())
        FPath = "/";
    DeriveDocName();
    StartLookup();
}

void THttpCli::ResetReply()
{
    FReplyHeader.Clear();
    FRequestDoneError = 0;
    FDocName.clear();
    FStatusCode = 0;
    FReasonPhrase.clear();
    FRcvdCount = 0;
    FPostedBytes = 0;
    FHeaderLineCount = 0;
    FHeaderBytes = 0;
    FBodyLineCount = 0;
    FDocBytes = 0;
    FContentLength = -1;
    FContentType.clear();
    FAllowedToSend = false;
    FLocation = URL;
    FHeaderInProgress = false;
    FHeaderEnded = false;
    FLocationPending = false;
    FLocationRefused = false;
    FChunked = false;
    FReceiveLen = 0;
    FNext = nullptr;
}

void THttpCli::DeriveDocName() { FDocName = DocumentNameOf(FDocName); }

void THttpCli::Fail(const std::string& reason, WORD error)
{
    if (FFailed)
        return;
    FFailed = true;
    FStatusCode = 404;
    FReasonPhrase = reason;
    if (error != 0)
        FRequestDoneError = error;
}

// ---------------------------------------------------------------- connecting

void THttpCli::StartLookup()
{
    FDnsResult.clear();
    SetState(httpDnsLookup);
    RestartTimeout();
    FSocketErrorFired = false;
    try {
        FCtrlSocket->SetLocalAddr(LocalAddr);
        FCtrlSocket->DnsLookup(FHostName);
    } catch (const Exception& e) {
        FConnected = false;
        Fail(e.Message(), 0);
        MarkReady();
        return;
    }
    if (FSocketErrorFired && FState == httpDnsLookup && !FEnded) {
        int error = FCtrlSocket->LastError() ? FCtrlSocket->LastError() : winsock::WSAEINVAL;
        Fail("can't resolve hostname to IP address", static_cast<WORD>(error));
        HandleSocketClosed(static_cast<WORD>(error));
    }
}

void THttpCli::HandleSocketLookupDone(WORD error)
{
    if (FEnded || FState != httpDnsLookup)
        return;
    if (error != 0) {
        Fail("can't resolve hostname to IP address", error);
        HandleSocketClosed(error);
        return;
    }
    FDnsResult = FCtrlSocket->DnsResult();
    SetState(httpDnsLookupDone);
    TWSocket& s = *FCtrlSocket;
    FSocketErrorFired = false;
    s.SetAddr(FDnsResult);
    s.SetLocalAddr(LocalAddr);
    s.SetPort(FPort);
    s.SetProto("tcp");
    ApplySocks();
    if (!FSocketErrorFired)
        s.Connect();
    // A failure inside Connect is only reported through OnError: end the
    // request here as a refused connection would.
    if (FEnded || FState != httpDnsLookupDone)
        return;
    if (FSocketErrorFired || (s.State() != wsConnecting && s.State() != wsConnected)) {
        int failure = s.LastError() ? s.LastError() : winsock::WSAEINVAL;
        Fail(SocketErrorText(failure) + " (Error #" + std::to_string(failure) + ")", static_cast<WORD>(failure));
        if (s.State() != wsClosed)
            CloseConnection();
        HandleSocketClosed(static_cast<WORD>(failure));
    }
}

void THttpCli::HandleSocketConnected(WORD error)
{
    if (FEnded)
        return;
    if (error != 0) {
        Fail(SocketErrorText(error) + " (Error #" + std::to_string(error) + ")", error);
        HandleSocketClosed(error);
        return;
    }
    FConnected = true;
    SetState(httpConnected);
    FireSessionConnected();
    FNext = &THttpCli::ReadHeaderLine;
    SetState(httpWaitingHeader);
    RestartTimeout();
    try {
        switch (FRequestType) {
        case httpPOST:
            SendRequest("POST", "1.0");
            FireSendBegin();
            FAllowedToSend = true;
            HandleSocketSent(0);
            break;
        case httpHEAD: SendRequest("HEAD", "1.0"); break;
        default: SendRequest("GET", "1.0"); break;
        }
    } catch (const Exception&) {
        CloseConnection();
    }
}

void THttpCli::CloseConnection()
{
    FCtrlSocket->Close();
    FConnected = false;
}

// ---------------------------------------------------------------- sending

void THttpCli::SendCommand(const std::string& command)
{
    std::string line = command;
    Fire(*this, OnCommand, this, line);
    if (!line.empty())
        FReqStream.WriteString(line);
    FReqStream.WriteString("\r\n");
}

void THttpCli::SendRequest(const std::string& method, const std::string& version)
{
    FReqStream.Clear();
    FireRequestHeaderBegin();
    TStringList headers;
    headers.Add(method + " " + FPath + " HTTP/" + version);
    if (!Sender.empty())
        headers.Add("From: " + Sender);
    if (!Accept.empty())
        headers.Add("Accept: " + Accept);
    if (!Reference.empty())
        headers.Add("Referer: " + Reference);
    if (!AcceptLanguage.empty())
        headers.Add("Accept-Language: " + AcceptLanguage);
    if (method == "POST" && !ContentTypePost.empty())
        headers.Add("Content-Type: " + ContentTypePost);
    if (!Agent.empty())
        headers.Add("User-Agent: " + Agent);
    headers.Add("Host: " + FConnectHost);
    if (NoCache)
        headers.Add("Pragma: no-cache");
    if (method == "POST")
        headers.Add("Content-Length: " + std::to_string(PostStream ? PostStream->Size() : 0));
    if (ModifiedSince != 0)
        headers.Add("If-Modified-Since: " + HttpDateText(ModifiedSince) + " GMT");
    if (!Username.empty())
        headers.Add("Authorization: Basic " + Base64Encode(Username + ":" + Password));
    if (!Proxy.empty() && !ProxyUsername.empty())
        headers.Add("Proxy-Authorization: Basic " + Base64Encode(ProxyUsername + ":" + ProxyPassword));
    if (!Cookie.empty())
        headers.Add("Cookie: " + Cookie);
    if (!ContentRangeBegin.empty() || !ContentRangeEnd.empty()) {
        headers.Add("Range: bytes=" + ContentRangeBegin + "-" + ContentRangeEnd);
        ContentRangeBegin.clear();
        ContentRangeEnd.clear();
    }
    FAcceptRanges.clear();
    FireBeforeHeaderSend(method, headers);
    for (const std::string& line : headers.Items())
        SendCommand(line);
    FireRequestHeaderEnd();
    SendCommand("");
    const std::string& bytes = FReqStream.Bytes();
    FCtrlSocket->Send(bytes.data(), static_cast<int>(bytes.size()));
    FReqStream.Clear();
}

void THttpCli::HandleSocketSent(WORD)
{
    if (!FAllowedToSend || !PostStream)
        return;
    std::size_t count = PostStream->Read(FSendBuffer.data(), FSendBuffer.size());
    if (count > 0) {
        FPostedBytes += static_cast<int>(count);
        FireSendData(FSendBuffer.data(), static_cast<int>(count));
        FCtrlSocket->Send(FSendBuffer.data(), static_cast<int>(count));
    } else {
        FAllowedToSend = false;
        FireSendEnd();
    }
}

// ---------------------------------------------------------------- receiving

void THttpCli::HandleSocketData(WORD error)
{
    int space = ReceiveBufferSize - FReceiveLen;
    if (space <= 0)
        throw EHttpException("HTTP line too long", 4);
    int count = FCtrlSocket->Receive(FReceiveBuffer.data() + FReceiveLen, space);
    if (FRequestType == httpNone || count <= 0)
        return;
    FReceiveLen += count;
    FReceiveBuffer[static_cast<std::size_t>(FReceiveLen)] = 0;
    RestartTimeout();
    if (FState == httpWaitingBody) {
        FLastLine.assign(FReceiveBuffer.data(), static_cast<std::size_t>(FReceiveLen));
        FReceiveLen = 0;
        if (FNext)
            (this->*FNext)(FLastLine);
        else
            MarkReady();
        return;
    }
    while (FReceiveLen > 0) {
        const char* start = FReceiveBuffer.data();
        const char* lf = static_cast<const char*>(std::memchr(start, '\n', static_cast<std::size_t>(FReceiveLen)));
        if (!lf)
            break;
        std::size_t length = static_cast<std::size_t>(lf - start);
        FLastLine.assign(start, length > 0 && start[length - 1] == '\r' ? length - 1 : length);
        int used = static_cast<int>(length) + 1;
        std::memmove(FReceiveBuffer.data(), start + used, static_cast<std::size_t>(FReceiveLen - used) + 1);
        FReceiveLen -= used;
        if (FState == httpWaitingHeader || FState == httpWaitingBody) {
            if (FNext)
                (this->*FNext)(FLastLine);
            else
                MarkReady();
        } else {
            Fire(*this, OnDataAvailable, this, error);
        }
    }
    // A header line that can no longer end inside the buffer.
    if (FState == httpWaitingHeader && FReceiveLen >= ReceiveBufferSize)
        throw EHttpException("HTTP line too long", 4);
}

void THttpCli::BindSessionClosed(bool relocation)
{
    FCtrlSocket->OnSessionClosed = [this, relocation](TObject*, WORD error) {
        // An exception of an event handler must not unwind through the
        // socket's close.
        try {
            if (relocation)
                HandleRelocationClosed(error);
            else
                HandleSocketClosed(error);
        } catch (const Exception& e) {
            HandleBgException(e);
        }
    };
}

void THttpCli::HandleBgException(const std::exception& e)
{
    if (FState == httpReady || FEnded)
        return;
    FLocationPending = false;
    Fail(e.what(), 0);
    BindSessionClosed(false);
    try {
        if (FCtrlSocket->State() != wsClosed)
            CloseConnection();
        HandleSocketClosed(0);
    } catch (const Exception&) {
        MarkReady();
    }
}

void THttpCli::ReadHeaderLine(std::string_view line)
{
    if (FHeaderLineCount == 0)
        FireHeaderBegin();
    ++FHeaderLineCount;
    FHeaderBytes += static_cast<int>(line.size()) + 2;
    if (FHeaderBytes > MaxReplyHeader)
        throw EHttpException("HTTP reply header too large", 6);
    if (UpperCase(line.substr(0, 6)) == "<HTML>") {
        if (FContentType.empty())
            FContentType = "text/html";
        std::string first(line);
        EnterBody(&first);
        return;
    }
    if (!line.empty()) {
        FReplyHeader.Add(std::string(line));
        if (line.starts_with("HTTP/1.0") || line.starts_with("HTTP/1.1")) {
            FStatusCode = StrToInt(Copy(line, 10, 3));
            FReasonPhrase = Copy(line, 14, static_cast<int>(line.size()));
        } else if (std::size_t colon = line.find(':'); colon != std::string_view::npos) {
            std::string name = LowerCase(line.substr(0, colon));
            std::string_view rest = line.substr(colon + 1);
            std::string value(rest.substr(std::min(rest.find_first_not_of(" \t"), rest.size())));
            if (name == "location") {
                ProcessLocation(value);
            } else if (name == "content-length") {
                FContentLength = StrToInt(Trim(value));
            } else if (name == "content-range") {
                std::size_t dash = value.find('-', std::min<std::size_t>(6, value.size()));
                std::size_t slash = value.find('/', dash == std::string::npos ? value.size() : dash);
                ContentRangeBegin = value.size() > 6 ? value.substr(6, dash == std::string::npos ? std::string::npos
                                                                                                 : dash - 6)
                                                     : std::string();
                ContentRangeEnd = dash == std::string::npos
                                      ? std::string()
                                      : value.substr(dash + 1, slash == std::string::npos ? std::string::npos
                                                                                          : slash - dash - 1);
            } else if (name == "accept-ranges") {
                FAcceptRanges = value;
            } else if (name == "content-type") {
                FContentType = LowerCase(value);
            } else if (name == "set-cookie") {
                bool accept = true;
                FireCookie(value, accept);
            } else if (name == "transfer-encoding" && !SameText(Trim(value), "identity")) {
                FChunked = true;
            }
        }
        Fire(*this, OnHeaderData, this);
        return;
    }
    FHeaderEnded = true;
    if (FLocationPending && !FFailed) {
        FireHeaderEnd();
        FReceiveLen = 0;
        FHeaderLineCount = 0;
        FBodyLineCount = 0;
        BindSessionClosed(true);
        FCtrlSocket->Close();
    } else if (FLocationRefused || FFailed) {
        FireHeaderEnd();
        FReceiveLen = 0;
        CloseConnection();
    } else if (FChunked) {
        // The body would arrive framed; it is refused rather than handed on
        // as if it were the document.
        Fail("chunked transfer is not supported", 0);
        FireHeaderEnd();
        FReceiveLen = 0;
        CloseConnection();
    } else if (FContentLength != 0) {
        EnterBody(nullptr);
    } else {
        FireHeaderEnd();
        MarkReady();
        CloseConnection();
    }
}

void THttpCli::EnterBody(const std::string* firstLine)
{
    std::size_t dot = FDocName.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : LowerCase(FDocName.substr(dot));
    if ((extension == ".exe" || extension.empty()) && FContentType == "text/html")
        FDocName = (dot == std::string::npos ? FDocName : FDocName.substr(0, dot)) + ".htm";
    SetState(httpWaitingBody);
    FNext = &THttpCli::ReadBodyLine;
    FireHeaderEnd();
    if (firstLine)
        ReadBodyLine(*firstLine);
    if (FReceiveLen > 0 && !FEnded) {
        std::string rest(FReceiveBuffer.data(), static_cast<std::size_t>(FReceiveLen));
        FReceiveLen = 0;
        ReadBodyLine(rest);
    }
    FReceiveLen = 0;
    if (FStatusCode >= 400 && FConnected)
        CloseConnection();
}

void THttpCli::ReadBodyLine(std::string_view data)
{
    if (FEnded)
        return;
    // What a server sends past the announced length is not the document.
    bool complete = false;
    if (FContentLength >= 0 && FDocBytes + static_cast<int>(data.size()) >= FContentLength) {
        data = data.substr(0, static_cast<std::size_t>(FContentLength - FDocBytes));
        complete = true;
    }
    if (!data.empty()) {
        if (FBodyLineCount == 0)
            FireDocBegin();
        ++FBodyLineCount;
        FRcvdCount += static_cast<int>(data.size());
        FDocBytes += static_cast<int>(data.size());
        if (ReceiveStream)
            ReceiveStream->WriteBuffer(data.data(), data.size());
        FireDocData(data.data(), static_cast<int>(data.size()));
    }
    if (complete && FConnected)
        CloseConnection();
}

// ---------------------------------------------------------------- relocation

void THttpCli::ProcessLocation(const std::string& value)
{
    std::string scheme = SchemeOf(value);
    if ((!scheme.empty() && scheme != "http") || FLocationRefused || HoldsLineBreak(value)) {
        FLocationRefused = true;
        FLocationPending = false;
        return;
    }
    if (FRelocations >= MaxRelocations) {
        FLocationRefused = true;
        FLocationPending = false;
        FReasonPhrase = "too many relocations";
        return;
    }
    FLocationPending = true;
    const bool absolute = scheme == "http";
    // The folder of the current path, before any query.
    auto joined = [this](const std::string& relative) {
        std::string base = CutBefore(FPath, '?');
        std::size_t cut = base.find_last_of("/:");
        return (cut == std::string::npos ? std::string() : base.substr(0, cut + 1)) + relative;
    };
    if (Proxy.empty()) {
        if (value.starts_with("/")) {
            FPath = value;
            FLocation = "http://" + WithPort(FHostName, FPort) + FPath;
        } else if (!absolute) {
            FPath = joined(value);
            FLocation = "http://" + WithPort(FHostName, FPort) + (FPath.starts_with("/") ? "" : "/") + FPath;
        } else {
            THttpUrlParts url = ParseURL(value, FPath);
            FPort = url.Port.empty() ? "80" : url.Port;
            if (!url.User.empty() && !url.Pass.empty()) {
                Username = url.User;
                Password = url.Pass;
            }
            FPath = url.Path.empty() ? "/" : url.Path;
            if (!url.Host.empty()) {
                FHostName = url.Host;
                FConnectHost = url.Host;
            } else {
                FHostName = FConnectHost;
            }
            FLocation = url.Proto + "://" + WithPort(FHostName, url.Port) + (url.Path.empty() ? "" : url.Path);
        }
        return;
    }
    if (value.starts_with("/")) {
        THttpUrlParts current = ParseURL(FPath, "");
        FLocation = current.Proto + "://" + current.Host + (current.Port.empty() ? "" : ":" + current.Port) + value;
        FPath = FLocation;
    } else if (absolute) {
        THttpUrlParts url = ParseURL(value, "");
        if (!url.Host.empty())
            FConnectHost = url.Host;
        FLocation = url.Proto + "://" + url.Host + (url.Port.empty() ? "" : ":" + url.Port) +
                    (url.Path.empty() ? "/" : url.Path);
        FPath = FLocation;
    } else {
        FPath = joined(value);
        FLocation = FPath;
    }
}

void THttpCli::HandleRelocationClosed(WORD)
{
    if (FEnded)
        return;
    FDocName = ParseURL(CutBefore(FLocation, '#'), "").Path;
    DeriveDocName();
    FConnected = false;
    FLocationPending = false;
    if (FRequestType == httpPOST)
        FRequestType = httpGET;
    BindSessionClosed(false);
    Fire(*this, OnLocationChange, this);
    FReplyHeader.Clear();
    FHeaderLineCount = 0;
    FHeaderBytes = 0;
    FBodyLineCount = 0;
    FDocBytes = 0;
    FContentLength = -1;
    FContentType.clear();
    FStatusCode = 0;
    FHeaderInProgress = false;
    FHeaderEnded = false;
    FChunked = false;
    FReceiveLen = 0;
    ++FRelocations;
    if (!Proxy.empty())
        FPort = FProxyConnectPort;
    PostMessage(FWindowHandle, WM_HTTP_LOGIN, FSerial, 0);
}

// ---------------------------------------------------------------- the end

void THttpCli::HandleSocketClosed(WORD error)
{
    FConnected = false;
    if (FEnded)
        return;
    if (error != 0)
        FRequestDoneError = error;
    if (FHeaderInProgress) {
        FireHeaderEnd();
        if (FLocationPending && !FFailed) {
            HandleRelocationClosed(error);
            return;
        }
    }
    if (!FHeaderEnded && FState != httpWaitingBody)
        Fail("connection closed before the reply header ended", error);
    else if (BodyCutShort())
        Fail("body cut short: " + std::to_string(FDocBytes) + " of " + std::to_string(FContentLength) +
                 " bytes received",
             error);
    // The document is complete: a handler that takes its time (a message
    // box) is no silence of the server.
    KillTimer(FWindowHandle, TimeoutTimerId);
    if (FBodyLineCount > 0 && !FFailed)
        FireDocEnd();
    MarkReady();
}

bool THttpCli::BodyCutShort() const
{
    // A HEAD reply announces a body it never sends; one of 400 or more is
    // closed on purpose after its header.
    return FState == httpWaitingBody && FRequestType != httpHEAD && FStatusCode < 400 && FContentLength >= 0 &&
           FDocBytes < FContentLength;
}

void THttpCli::MarkReady()
{
    if (FEnded)
        return;
    FEnded = true;
    KillTimer(FWindowHandle, TimeoutTimerId);
    PostMessage(FWindowHandle, WM_HTTP_SET_READY, FSerial, 0);
}

void THttpCli::RestartTimeout()
{
    if (NoDataTimeout > 0)
        SetTimer(FWindowHandle, TimeoutTimerId, static_cast<UINT>(NoDataTimeout));
}

void THttpCli::HandleTimeout()
{
    KillTimer(FWindowHandle, TimeoutTimerId);
    if (FState == httpReady || FEnded)
        return;
    Fail("Timeout", winsock::WSAETIMEDOUT);
    FLocationPending = false;
    BindSessionClosed(false);
    FCtrlSocket->CancelDnsLookup();
    if (FCtrlSocket->State() != wsClosed)
        FCtrlSocket->Abort();
    HandleSocketClosed(0);
}

void THttpCli::SetState(THttpClientState state)
{
    if (FState == state)
        return;
    FState = state;
    FireStateChange();
    if (state == httpReady)
        FireRequestDone();
}

// ---------------------------------------------------------------- triggers

void THttpCli::FireStateChange() { Fire(*this, OnStateChange, this); }
void THttpCli::FireCookie(const std::string& data, bool& accept) { Fire(*this, OnCookie, this, data, accept); }
void THttpCli::FireSessionConnected() { Fire(*this, OnSessionConnected, this); }
void THttpCli::FireBeforeHeaderSend(const std::string& method, TStrings& headers)
{
    Fire(*this, OnBeforeHeaderSend, this, method, &headers);
}
void THttpCli::FireRequestHeaderBegin() { Fire(*this, OnRequestHeaderBegin, this); }
void THttpCli::FireRequestHeaderEnd() { Fire(*this, OnRequestHeaderEnd, this); }
void THttpCli::FireHeaderBegin()
{
    FHeaderInProgress = true;
    Fire(*this, OnHeaderBegin, this);
}
void THttpCli::FireHeaderEnd()
{
    FHeaderInProgress = false;
    Fire(*this, OnHeaderEnd, this);
}
void THttpCli::FireDocBegin() { Fire(*this, OnDocBegin, this); }
void THttpCli::FireDocData(const void* buffer, int length) { Fire(*this, OnDocData, this, buffer, length); }
void THttpCli::FireDocEnd() { Fire(*this, OnDocEnd, this); }
void THttpCli::FireSendBegin() { Fire(*this, OnSendBegin, this); }
void THttpCli::FireSendData(const void* buffer, int length) { Fire(*this, OnSendData, this, buffer, length); }
void THttpCli::FireSendEnd() { Fire(*this, OnSendEnd, this); }
void THttpCli::FireRequestDone()
{
    PostMessage(FWindowHandle, WM_HTTP_REQUEST_DONE, static_cast<WPARAM>(FRequestType),
                static_cast<LPARAM>(FRequestDoneError));
}

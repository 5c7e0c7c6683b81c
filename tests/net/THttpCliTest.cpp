#include "net/THttpCli.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FakeHttpServer.h"
#include "NetTestSupport.h"
#include "net/ESocketException.h"
#include "platform/controls/LayoutReader.h"
#include "platform/core/DateTime.h"

using namespace nettest;

namespace {

// ---------------------------------------------------------------- text rules

TEST(HttpUrlTest, SplitsEveryForm)
{
    struct Case {
        std::string Url, Base;
        THttpUrlParts Want;  // Proto, User, Pass, Host, Port, Path
    };
    const std::vector<Case> cases = {
        {"", "/a/b", {}},
        {"http://user:pw@host:8080/dir/page.html?x=1", "", {"http", "user", "pw", "host", "8080", "/dir/page.html?x=1"}},
        {"http://host", "", {"http", "", "", "host", "", ""}},
        {"http://host?q=1/2", "", {"http", "", "", "host", "", "?q=1/2"}},
        {"http://me@host/", "", {"http", "me", "", "host", "", "/"}},
        {"http://me:@host:81", "", {"http", "me", "", "host", "81", ""}},
        {"ftp://a:b@c:d@host/x", "", {"ftp", "a", "b@c:d", "host", "", "/x"}},
        {"HTTP://Host/x", "", {"http", "", "", "Host", "", "/x"}},
        {"h_t://host/x", "", {"http", "", "", "h_t", "", "//host/x"}},
        {"/abs/path", "/a/b", {"http", "", "", "", "", "/abs/path"}},
        {"/", "", {"http", "", "", "", "", "/"}},
        {"http:/rel/x", "", {"http", "", "", "", "", "/rel/x"}},
        {"http:rel", "", {"http", "", "", "", "", "rel"}},
        {"mailto:joe@example.org", "", {"mailto", "joe", "", "example.org", "", ""}},
        {"www.example.org:8000/x", "", {"", "", "", "www.example.org", "8000", "/x"}},
        {"./x.html", "/a/b/c.html", {"", "", "", "", "", "/a/b/x.html"}},
        {"./x.html", "nodir", {"", "", "", "", "", "/x.html"}},
        {"../x.html", "/a/b/c.html", {"", "", "", "", "", "/a/x.html"}},
        {"../../x.html", "/a/b/c.html", {"", "", "", "", "", "/x.html"}},
        {"../../../x.html", "/a/b/c.html", {"", "", "", "", "", "/x.html"}},
    };
    for (const Case& c : cases) {
        THttpUrlParts got = ParseURL(c.Url, c.Base);
        EXPECT_EQ((std::vector<std::string>{got.Proto, got.User, got.Pass, got.Host, got.Port, got.Path}),
                  (std::vector<std::string>{c.Want.Proto, c.Want.User, c.Want.Pass, c.Want.Host, c.Want.Port,
                                            c.Want.Path}))
            << c.Url << " against " << c.Base;
    }
}

TEST(HttpUrlTest, DocumentNames)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "document.htm"},
        {"/", "document.htm"},
        {"/dir/", "document.htm"},
        {"/dir/?x=a/b", "document.htm"},
        {"/dir/page.html?x=1", "page.html"},
        {"/page", "page"},
        {"/" + std::string(300, 'n'), std::string(255, 'n')},
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(DocumentNameOf(path), name) << path;
}

TEST(HttpUrlTest, DateAndBase64)
{
    EXPECT_EQ(HttpDateText(EncodeDate(1900, 1, 1)), "Mon, 01 Jan 1900 00:00:00");
    EXPECT_EQ(HttpDateText(EncodeDate(2026, 12, 10) + (13 * 3600 + 5 * 60 + 9) / 86400.0),
              "Thu, 10 Dec 2026 13:05:09");
    EXPECT_EQ(HttpDateText(EncodeDate(1899, 12, 30)), "Sat, 30 Dec 1899 00:00:00");
    EXPECT_EQ(Base64Encode("user:"), "dXNlcjo=");
    EXPECT_EQ(Base64Encode("Aladdin:open sesame"), "QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
    EXPECT_EQ(Base64Encode(std::string("\0\xff", 2)), "AP8=");
}

// ---------------------------------------------------------------- requests on a fake server

std::string Reply(const std::string& head, const std::string& body = "")
{
    return head + "\r\n\r\n" + body;
}

// `request` raises EHttpException with `code` and `text`.
void ExpectRefusal(const std::function<void()>& request, WORD code, const char* text)
{
    try {
        request();
        ADD_FAILURE() << "no exception";
    } catch (const EHttpException& e) {
        EXPECT_EQ(e.ErrorCode(), code);
        EXPECT_STREQ(e.what(), text);
    }
}

class HttpCliTest : public testing::Test {
protected:
    void SetUp() override
    {
        Http = std::make_unique<THttpCli>(nullptr);
        Http->ReceiveStream = &Body;
        Http->NoDataTimeout = 3000;
        Http->OnRequestDone = [this](TObject*, THttpRequest kind, WORD error) {
            Log.push_back("done " + std::to_string(kind) + " " + std::to_string(error));
        };
        Http->OnDocEnd = [this](TObject*) { Log.push_back("docend"); };
        Http->OnLocationChange = [this](TObject*) { Log.push_back("location " + Http->Location()); };
    }
    // Runs one GET of `url` and waits for OnRequestDone.
    void Get(const std::string& url)
    {
        Http->URL = url;
        Http->Get();
        ASSERT_TRUE(PumpUntil([&] { return Done() > 0; }, 8000)) << testing::PrintToString(Log);
    }
    int Done() const
    {
        int n = 0;
        for (const std::string& line : Log)
            n += line.rfind("done", 0) == 0;
        return n;
    }
    std::unique_ptr<THttpCli> Http;
    TMemoryStream Body;
    std::vector<std::string> Log;
};

TEST_F(HttpCliTest, GoldenRequestTexts)
{
    FakeHttpServer server([](int, const std::string&) { return Reply("HTTP/1.0 200 OK", "x"); });
    Http->Sender = "me@example.org";
    Http->AcceptLanguage = "de";
    Http->Reference = "http://ref/";
    Http->NoCache = true;
    Http->ModifiedSince = EncodeDate(1900, 1, 1);
    Http->Cookie = "a=1";
    Http->ContentRangeBegin = "100";
    Http->ProxyUsername = "pu";  // no proxy: not sent
    Get("http://user@127.0.0.1:" + std::to_string(server.Port()) + "/dir/page.html?x=1");
    EXPECT_EQ(server.Request(0),
              "GET /dir/page.html?x=1 HTTP/1.0\r\n"
              "From: me@example.org\r\n"
              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
              "Referer: http://ref/\r\n"
              "Accept-Language: de\r\n"
              "User-Agent: Mozilla/3.0 (compatible)\r\n"
              "Host: 127.0.0.1\r\n"
              "Pragma: no-cache\r\n"
              "If-Modified-Since: Mon, 01 Jan 1900 00:00:00 GMT\r\n"
              "Authorization: Basic dXNlcjo=\r\n"
              "Cookie: a=1\r\n"
              "Range: bytes=100-\r\n"
              "\r\n");
    EXPECT_EQ(Http->DocumentName(), "page.html");
    EXPECT_TRUE(Http->ContentRangeBegin.empty());
    EXPECT_EQ(Http->Username, "user");

    // Through a proxy: the absolute URL as path, a port in Proxy honoured,
    // and the proxy's credentials. OnCommand emptying a line keeps its CR LF.
    Log.clear();
    Http->Sender.clear();
    Http->AcceptLanguage.clear();
    Http->Reference.clear();
    Http->NoCache = false;
    Http->ModifiedSince = 0;
    Http->Cookie.clear();
    Http->Username.clear();
    Http->Proxy = "127.0.0.1:" + std::to_string(server.Port());
    Http->ProxyPort = "1";
    Http->ProxyPassword = "pp";
    Http->OnCommand = [](TObject*, std::string& line) {
        if (line.rfind("Accept:", 0) == 0)
            line.clear();
    };
    Http->OnBeforeHeaderSend = [](TObject*, const std::string& method, TStrings* headers) {
        headers->Add("X-Method: " + method);
    };
    Get("http://www.example.org:8000");
    EXPECT_EQ(server.Request(1),
              "GET http://www.example.org:8000/ HTTP/1.0\r\n"
              "\r\n"
              "User-Agent: Mozilla/3.0 (compatible)\r\n"
              "Host: www.example.org\r\n"
              "Proxy-Authorization: Basic cHU6cHA=\r\n"
              "X-Method: GET\r\n"
              "\r\n");
    EXPECT_EQ(Http->DocumentName(), "document.htm");
}

TEST_F(HttpCliTest, HeadAsksForTheHeaderOnly)
{
    FakeHttpServer server([](int, const std::string&) { return Reply("HTTP/1.0 200 OK\r\nContent-Length: 1234"); });
    Http->URL = server.Url("/big.zip");
    Http->RunRequest(httpHEAD);
    ASSERT_TRUE(PumpUntil([&] { return Done() > 0; }));
    const std::string request = server.Request(0);
    EXPECT_EQ(request.substr(0, request.find("\r\n")), "HEAD /big.zip HTTP/1.0");
    EXPECT_EQ(Http->StatusCode(), 200);
    EXPECT_EQ(Http->ContentLength(), 1234);
    EXPECT_EQ(Http->RcvdCount(), 0);
    EXPECT_EQ(Log, (std::vector<std::string>{"done 3 0"}));
}

TEST_F(HttpCliTest, PostSendsItsBodyAndRelocatesAsGet)
{
    FakeHttpServer server([](int index, const std::string&) -> std::optional<std::string> {
        if (index == 0)
            return Reply("HTTP/1.0 302 Found\r\nLocation: /done.html", "ignored");
        return Reply("HTTP/1.0 200 OK\r\nContent-Type: text/plain", "fine");
    });
    TMemoryStream post(std::string(20000, 'p'));
    Http->PostStream = &post;
    Http->URL = server.Url("/form.php");
    std::vector<std::string> sends;
    Http->OnSendBegin = [&](TObject*) { sends.push_back("begin"); };
    Http->OnSendEnd = [&](TObject*) { sends.push_back("end"); };
    Http->RunRequest(httpPOST);
    ASSERT_TRUE(PumpUntil([&] { return Done() > 0; }));
    EXPECT_EQ(server.Request(0),
              "POST /form.php HTTP/1.0\r\n"
              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
              "Content-Type: application/x-www-form-urlencoded\r\n"
              "User-Agent: Mozilla/3.0 (compatible)\r\n"
              "Host: 127.0.0.1\r\n"
              "Content-Length: 20000\r\n"
              "\r\n" +
                  std::string(20000, 'p'));
    EXPECT_EQ(server.Request(1).substr(0, 25), "GET /done.html HTTP/1.0\r\n");
    EXPECT_EQ(Http->PostedBytes(), 20000);
    EXPECT_EQ(sends, (std::vector<std::string>{"begin", "end"}));
    EXPECT_EQ(Body.Bytes(), "fine");
    EXPECT_EQ(Log, (std::vector<std::string>{"location http://127.0.0.1:" + std::to_string(server.Port()) +
                                                 "/done.html",
                                             "docend", "done 1 0"}));
    EXPECT_EQ(Http->DocumentName(), "done.html");
}

TEST_F(HttpCliTest, StatusAndHeaders)
{
    FakeHttpServer server([](int index, const std::string&) -> std::optional<std::string> {
        switch (index) {
        case 0:
            return Reply("HTTP/1.1 200 OK\r\nContent-Type: Text/HTML\r\nContent-Range: bytes 100-199/1000\r\n"
                         "Accept-Ranges: bytes\r\nSet-Cookie: s=1; path=/\r\nX-Folded: one\r\n  two\r\n"
                         "Content-Length:   4",
                         "body");
        case 1: return Reply("HTTP/1.0 404 Not Found\r\nContent-Length: 9", "not here!");
        default: return Reply("HTTP/1.0 204", "");
        }
    });
    std::vector<std::string> cookies;
    int headerData = 0;
    Http->OnCookie = [&](TObject*, const std::string& data, bool& accept) {
        EXPECT_TRUE(accept);
        cookies.push_back(data);
    };
    Http->OnHeaderData = [&](TObject*) { ++headerData; };
    Get(server.Url("/setup.exe"));
    EXPECT_EQ(Http->StatusCode(), 200);
    EXPECT_EQ(Http->ReasonPhrase(), "OK");
    EXPECT_EQ(Http->ContentType(), "text/html");
    EXPECT_EQ(Http->ContentLength(), 4);
    EXPECT_EQ(Http->ContentRangeBegin, "100");
    EXPECT_EQ(Http->ContentRangeEnd, "199");
    EXPECT_EQ(Http->AcceptRanges(), "bytes");
    EXPECT_EQ(cookies, (std::vector<std::string>{"s=1; path=/"}));
    EXPECT_EQ(Http->ReplyHeader().Count(), 8);
    EXPECT_EQ(headerData, 8);
    EXPECT_EQ(Http->ReplyHeader()[6], "  two");
    EXPECT_EQ(Http->DocumentName(), "setup.htm");
    EXPECT_EQ(Body.Bytes(), "body");

    // 404 with a body: closed after the header, what came is delivered.
    Log.clear();
    Body.Clear();
    Get(server.Url("/missing"));
    EXPECT_EQ(Http->StatusCode(), 404);
    EXPECT_EQ(Http->ReasonPhrase(), "Not Found");
    EXPECT_EQ(Body.Bytes(), "not here!");

    // A status line without a reason.
    Log.clear();
    Body.Clear();
    Get(server.Url("/empty"));
    EXPECT_EQ(Http->StatusCode(), 204);
    EXPECT_EQ(Http->ReasonPhrase(), "");
    EXPECT_EQ(Http->RcvdCount(), 0);
    EXPECT_EQ(Log, (std::vector<std::string>{"done 1 0"}));
}

TEST_F(HttpCliTest, EventsAndStatesOfOneGet)
{
    FakeHttpServer server([](int, const std::string&) { return Reply("HTTP/1.0 200 OK", "hello"); });
    std::vector<int> states;
    std::vector<std::string> events;
    Http->OnStateChange = [&](TObject*) { states.push_back(Http->State()); };
    Http->OnSessionConnected = [&](TObject*) { events.push_back("connected"); };
    Http->OnHeaderBegin = [&](TObject*) { events.push_back("headerbegin"); };
    Http->OnHeaderEnd = [&](TObject*) { events.push_back("headerend"); };
    Http->OnDocBegin = [&](TObject*) { events.push_back("docbegin"); };
    Http->OnDocData = [&](TObject*, const void*, int length) { events.push_back("data " + std::to_string(length)); };
    Http->OnDocEnd = [&](TObject*) { events.push_back("docend"); };
    bool doneInsideGet = false;
    Http->OnRequestDone = [&](TObject*, THttpRequest kind, WORD error) {
        events.push_back("done " + std::to_string(kind) + " " + std::to_string(error));
    };
    Http->URL = server.Url("/");
    Http->Get();
    doneInsideGet = !events.empty() && events.back().rfind("done", 0) == 0;
    ASSERT_TRUE(PumpUntil([&] { return !events.empty() && events.back().rfind("done", 0) == 0; }));
    EXPECT_FALSE(doneInsideGet);
    EXPECT_EQ(states, (std::vector<int>{1, 3, 4, 2, 5, 6, 0}));
    EXPECT_EQ(events, (std::vector<std::string>{"connected", "headerbegin", "headerend", "docbegin", "data 5",
                                                "docend", "done 1 0"}));
}

TEST_F(HttpCliTest, BodiesByByteCount)
{
    const std::string binary("\0\1\2\n\0\r\n\xff\0", 9);
    FakeHttpServer server([&](int index, const std::string&) -> std::optional<std::string> {
        switch (index) {
        case 0: return Reply("HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream", binary);
        case 1: return Reply("HTTP/1.0 200 OK\r\nContent-Length: 5", "12345 and more that was not announced");
        case 2: return "<html><body>old\r\n</body></html>";
        default: return Reply("HTTP/1.0 200 OK\r\nContent-Length: 0");
        }
    });
    Get(server.Url("/bin"));
    EXPECT_EQ(Body.Bytes(), binary);
    EXPECT_EQ(Http->RcvdCount(), 9);

    Log.clear();
    Body.Clear();
    Get(server.Url("/long"));
    EXPECT_EQ(Body.Bytes(), "12345");
    EXPECT_EQ(Http->StatusCode(), 200);

    // HTTP/0.9: no header, the first line (its line end lost) comes first.
    Log.clear();
    Body.Clear();
    Get(server.Url("/old.exe"));
    EXPECT_EQ(Body.Bytes(), "<html><body>old</body></html>");
    EXPECT_EQ(Http->ContentType(), "text/html");
    EXPECT_EQ(Http->StatusCode(), 0);
    EXPECT_EQ(Http->DocumentName(), "old.htm");

    // Content-Length 0 ends the request before the server closes.
    Log.clear();
    Body.Clear();
    server.HoldAfterReply = true;
    auto start = std::chrono::steady_clock::now();
    Get(server.Url("/zero"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(Http->StatusCode(), 200);
    EXPECT_EQ(Log, (std::vector<std::string>{"done 1 0"}));
}

TEST_F(HttpCliTest, BadRepliesEndCleanly)
{
    struct Case {
        std::string Name, Reply;
        int Status;
        std::string Reason;
    };
    const std::vector<Case> cases = {
        {"long status line", "HTTP/1.0 200 " + std::string(9000, 'x') + "\r\n\r\nbody", 404, "HTTP line too long"},
        {"long header", "HTTP/1.0 200 OK\r\nX-Big: " + std::string(20000, 'y') + "\r\n\r\nbody", 404,
         "HTTP line too long"},
        {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nbody\r\n0\r\n\r\n", 404,
         "chunked transfer is not supported"},
        {"ends mid-header", "HTTP/1.0 200 OK\r\nContent-Ty", 404, "connection closed before the reply header ended"},
        {"nothing at all", "", 404, "connection closed before the reply header ended"},
        {"status not a number", "HTTP/1.0 2x0 OK\r\n\r\nbody", 404, "'2x0' is not a valid integer value"},
        {"length not a number", "HTTP/1.0 200 OK\r\nContent-Length: many\r\n\r\nbody", 404,
         "'many' is not a valid integer value"},
        {"header without end", "HTTP/1.0 200 OK\r\n" + [] {
             std::string lines;
             for (int i = 0; i < 30000; ++i)
                 lines += "X-Line: " + std::to_string(i) + "\r\n";
             return lines;
         }() + "\r\nbody",
         404, "HTTP reply header too large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        FakeHttpServer server([&](int, const std::string&) { return c.Reply; });
        Log.clear();
        Body.Clear();
        Get(server.Url("/"));
        EXPECT_EQ(Http->StatusCode(), c.Status);
        EXPECT_EQ(Http->ReasonPhrase(), c.Reason);
        EXPECT_EQ(Body.Bytes(), "");
        PumpFor(50);
        EXPECT_EQ(Done(), 1);
        EXPECT_EQ(Http->State(), httpReady);
    }
}

TEST_F(HttpCliTest, ABodyShorterThanItsLengthIsAFailure)
{
    struct Case {
        std::string Name, Reply;
        THttpRequest Kind;
        int Status;
        std::string Reason;
        std::vector<std::string> Log;
    };
    const std::string part(100, 'p');
    const std::vector<Case> cases = {
        {"cut", Reply("HTTP/1.0 200 OK\r\nContent-Length: 1000", part), httpGET, 404,
         "body cut short: 100 of 1000 bytes received", {"done 1 0"}},
        {"nothing of it", Reply("HTTP/1.0 200 OK\r\nContent-Length: 10"), httpGET, 404,
         "body cut short: 0 of 10 bytes received", {"done 1 0"}},
        {"whole", Reply("HTTP/1.0 200 OK\r\nContent-Length: 100", part), httpGET, 200, "OK", {"docend", "done 1 0"}},
        // These announce more than they send, by their nature.
        {"head", Reply("HTTP/1.0 200 OK\r\nContent-Length: 1000"), httpHEAD, 200, "OK", {"done 3 0"}},
        {"refusal", Reply("HTTP/1.0 404 Not Found\r\nContent-Length: 1000", part), httpGET, 404, "Not Found",
         {"docend", "done 1 0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        FakeHttpServer server([&](int, const std::string&) { return c.Reply; });
        Log.clear();
        Http->URL = server.Url("/");
        Http->RunRequest(c.Kind);
        ASSERT_TRUE(PumpUntil([&] { return Done() > 0; }));
        EXPECT_EQ(Http->StatusCode(), c.Status);
        EXPECT_EQ(Http->ReasonPhrase(), c.Reason);
        EXPECT_EQ(Log, c.Log);
    }
}

TEST_F(HttpCliTest, ALineBreakInAUrlIsRefusedBeforeAnythingIsSent)
{
    FakeHttpServer server([](int, const std::string& request) -> std::string {
        if (request.starts_with("GET /moved "))
            return Reply("HTTP/1.0 302 Found\r\nLocation: /next\rX-Injected: 1");
        return Reply("HTTP/1.0 200 OK", "x");
    });
    const std::string base = server.Url("/a");
    for (const auto& [url, proxy] : std::vector<std::pair<std::string, std::string>>{
             {base + "\r\nX-Injected: 1", ""}, {base + "\nX-Injected: 1", ""}, {base + "\rb", ""},
             {base, "http://127.0.0.1:" + std::to_string(server.Port()) + "\r\nX-Injected: 1"}}) {
        SCOPED_TRACE(testing::PrintToString(url + " " + proxy));
        Http->URL = url;
        Http->Proxy = proxy;
        ExpectRefusal([&] { Http->Get(); }, 5, "URL holds a line break");
        EXPECT_EQ(Http->State(), httpReady);
    }
    Http->Proxy.clear();
    PumpFor(100);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(Done(), 0);

    // A relocation holding one is not followed.
    Get(server.Url("/moved"));
    EXPECT_EQ(Http->StatusCode(), 302);
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(HttpCliTest, AHandlerThatThrowsStillEndsTheRequest)
{
    FakeHttpServer server([](int, const std::string&) { return Reply("HTTP/1.0 200 OK", "body"); });
    for (bool inData : {false, true}) {
        SCOPED_TRACE(inData ? "OnDocData" : "OnDocEnd");
        Log.clear();
        Http->OnDocEnd = nullptr;
        Http->OnDocData = nullptr;
        if (inData)
            Http->OnDocData = [](TObject*, const void*, int) { throw Exception("handler failed"); };
        else
            Http->OnDocEnd = [](TObject*) { throw Exception("handler failed"); };
        Get(server.Url("/"));
        EXPECT_EQ(Http->StatusCode(), 404);
        EXPECT_EQ(Http->ReasonPhrase(), "handler failed");
        PumpFor(30);
        EXPECT_EQ(Done(), 1);
    }
    Http->OnDocData = nullptr;
    Http->OnDocEnd = [this](TObject*) { Log.push_back("docend"); };
    Log.clear();
    Body.Clear();
    Get(server.Url("/"));
    EXPECT_EQ(Http->StatusCode(), 200);
    EXPECT_EQ(Log, (std::vector<std::string>{"docend", "done 1 0"}));
}

TEST_F(HttpCliTest, RelocationRules)
{
    FakeHttpServer target([](int, const std::string& request) {
        return Reply("HTTP/1.0 200 OK", request.substr(0, request.find("\r\n")));
    });
    const std::string targetPort = std::to_string(target.Port());
    FakeHttpServer server([&](int, const std::string& request) -> std::string {
        const std::string line = request.substr(0, request.find("\r\n"));
        if (line.find("/abs ") != std::string::npos)
            return Reply("HTTP/1.0 301 Moved\r\nLocation: /elsewhere/x.html");
        if (line.find("/rel?") != std::string::npos)
            return Reply("HTTP/1.0 302 Found\r\nLocation: next.html");
        if (line.find("/far") != std::string::npos)
            return Reply("HTTP/1.0 302 Found\r\nLocation: HTTP://127.0.0.1:" + targetPort + "/there");
        if (line.find("/tls") != std::string::npos)
            return Reply("HTTP/1.0 301 Moved Permanently\r\nLocation: https://127.0.0.1/", "moved");
        if (line.find("/loop") != std::string::npos)
            return Reply("HTTP/1.0 302 Again\r\nLocation: /loop");
        return Reply("HTTP/1.0 200 OK", line);
    });
    const std::string base = "http://127.0.0.1:" + std::to_string(server.Port());

    Get(base + "/abs");
    EXPECT_EQ(Body.Bytes(), "GET /elsewhere/x.html HTTP/1.0");
    EXPECT_EQ(Http->Location(), base + "/elsewhere/x.html");
    EXPECT_EQ(Http->DocumentName(), "x.html");

    Log.clear();
    Body.Clear();
    Get(base + "/dir/rel?a=b/c");
    EXPECT_EQ(Body.Bytes(), "GET /dir/next.html HTTP/1.0");
    EXPECT_EQ(Http->Location(), base + "/dir/next.html");

    Log.clear();
    Body.Clear();
    Get(base + "/far");
    EXPECT_EQ(Body.Bytes(), "GET /there HTTP/1.0");
    EXPECT_EQ(target.Requests().size(), 1u);
    EXPECT_NE(target.Request(0).find("\r\nHost: 127.0.0.1\r\n"), std::string::npos);

    // Another scheme is not followed: the relocating reply ends the request.
    Log.clear();
    Body.Clear();
    Get(base + "/tls");
    EXPECT_EQ(Http->StatusCode(), 301);
    EXPECT_EQ(Http->ReasonPhrase(), "Moved Permanently");
    EXPECT_EQ(Http->RcvdCount(), 0);
    EXPECT_EQ(Log, (std::vector<std::string>{"done 1 0"}));

    // A loop stops after ten relocations.
    Log.clear();
    Body.Clear();
    const std::size_t before = server.Requests().size();
    Get(base + "/loop");
    EXPECT_EQ(server.Requests().size() - before, 11u);
    EXPECT_EQ(Http->StatusCode(), 302);
    EXPECT_EQ(Http->ReasonPhrase(), "too many relocations");
    EXPECT_EQ(Done(), 1);
}

TEST_F(HttpCliTest, RelocationThroughAProxy)
{
    FakeHttpServer proxy([](int index, const std::string& request) -> std::string {
        if (index == 0)
            return Reply("HTTP/1.0 302 Found\r\nLocation: /second");
        if (index == 1)
            return Reply("HTTP/1.0 302 Found\r\nLocation: http://other.example:81/third");
        return Reply("HTTP/1.0 200 OK", request.substr(0, request.find("\r\n")));
    });
    Http->Proxy = "127.0.0.1:" + std::to_string(proxy.Port());
    Http->ProxyPort = "1";
    Get("http://www.example.org:8000/first");
    EXPECT_EQ(proxy.Request(0).substr(0, proxy.Request(0).find("\r\n")),
              "GET http://www.example.org:8000/first HTTP/1.0");
    EXPECT_EQ(proxy.Request(1).substr(0, proxy.Request(1).find("\r\n")),
              "GET http://www.example.org:8000/second HTTP/1.0");
    EXPECT_EQ(Body.Bytes(), "GET http://other.example:81/third HTTP/1.0");
    EXPECT_NE(proxy.Request(2).find("\r\nHost: other.example\r\n"), std::string::npos);
}

TEST_F(HttpCliTest, BusyAndNothingToPost)
{
    FakeHttpServer server([](int, const std::string&) { return Reply("HTTP/1.0 200 OK", "x"); });
    Http->URL = server.Url("/");
    Http->StartRequest(httpGET);
    ExpectRefusal([&] { Http->Get(); }, 1, "HTTP component is busy");
    ASSERT_TRUE(PumpUntil([&] { return Done() == 1; }));
    EXPECT_EQ(Body.Bytes(), "x");
    ExpectRefusal([&] { Http->StartRequest(httpPOST); }, 2, "HTTP component has nothing to post");
    EXPECT_EQ(Http->State(), httpReady);
}

TEST_F(HttpCliTest, SocksSettingsGoThroughTheSocketsSetters)
{
    TWSocket& socket = Http->Socket();
    Http->SetSocksServer("  proxy.example  ");
    Http->SetSocksPort(" 1080 ");
    Http->SetSocksLevel("4a");
    Http->SetSocksUsercode("me");
    Http->SetSocksAuthentication(socksAuthenticateUsercode);
    EXPECT_EQ(Http->SocksServer(), "proxy.example");
    EXPECT_EQ(Http->SocksPort(), "1080");
    EXPECT_EQ(Http->SocksLevel(), "4A");
    EXPECT_EQ(socket.SocksServer(), "proxy.example");
    EXPECT_EQ(socket.SocksLevel(), "4A");
    EXPECT_EQ(socket.SocksUsercode(), "me");
    EXPECT_EQ(socket.SocksAuthentication(), socksAuthenticateUsercode);

    // A bad level is refused as it is set, as the socket refuses it.
    try {
        Http->SetSocksLevel("6");
        ADD_FAILURE() << "level 6 taken";
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Invalid socks level. Must be 4, 4A or 5.");
    }
    int errors = 0;
    Http->OnSocketError = [&](TObject* sender) {
        EXPECT_EQ(sender, Http.get());
        ++errors;
    };
    Http->SetSocksLevel("4B");
    EXPECT_EQ(errors, 1) << "with a handler the refusal is an event";
    EXPECT_EQ(Http->SocksLevel(), "4A");
    EXPECT_EQ(socket.SocksLevel(), "4A");
    Http->OnSocketError = nullptr;

    // While a request holds the connection the socket refuses any change.
    Http->SetSocksServer("");
    FakeHttpServer server([](int, const std::string&) { return std::nullopt; });
    Http->NoDataTimeout = 300;
    Http->URL = server.Url("/");
    Http->StartRequest(httpGET);
    ASSERT_TRUE(PumpUntil([&] { return Http->State() == httpWaitingHeader; }));
    EXPECT_THROW(Http->SetSocksServer("127.0.0.1"), ESocketException);
    EXPECT_EQ(Http->SocksServer(), "");
    ASSERT_TRUE(PumpUntil([&] { return Done() == 1; }));
}

TEST(HttpCliLayoutTest, ALayoutSetsModifiedSinceAndSocksThroughTheSocket)
{
    RegisterHttpCli();
    TComponent root(nullptr);
    ReadComponentLayout(root,
                        "object StartScreen: TForm\n"
                        "  object HttpCli1: THttpCli\n"
                        "    NoCache = True\n"
                        "    ModifiedSince = '02.01.1900 12:30:15'\n"
                        "    Cookie = 'a=1'\n"
                        "    SocksServer = ' 127.0.0.1 '\n"
                        "    SocksLevel = '4a'\n"
                        "    SocksAuthentication = socksAuthenticateUsercode\n"
                        "  end\n"
                        "end\n",
                        nullptr, "start");
    auto* http = dynamic_cast<THttpCli*>(root.FindComponent("HttpCli1"));
    ASSERT_TRUE(http);
    EXPECT_DOUBLE_EQ(http->ModifiedSince, EncodeDate(1900, 1, 2) + (12 * 3600 + 30 * 60 + 15) / 86400.0);
    EXPECT_EQ(http->SocksServer(), "127.0.0.1");
    EXPECT_EQ(http->SocksLevel(), "4A");
    EXPECT_EQ(http->Socket().SocksLevel(), "4A");
    EXPECT_EQ(http->SocksAuthentication(), socksAuthenticateUsercode);

    // Written back in the order of the property table, as the socket took them.
    const std::string written = WriteComponentLayout(root);
    EXPECT_NE(written.find("    NoCache = True\n"
                           "    ModifiedSince = '02.01.1900 12:30:15'\n"
                           "    Cookie = 'a=1'\n"),
              std::string::npos)
        << written;
    EXPECT_NE(written.find("    SocksServer = '127.0.0.1'\n"
                           "    SocksLevel = '4A'\n"),
              std::string::npos)
        << written;

    TComponent broken(nullptr);
    EXPECT_THROW(ReadComponentLayout(broken,
                                     "object S: TForm\n  object H: THttpCli\n    SocksLevel = '6'\n  end\nend\n",
                                     nullptr, "broken"),
                 ELayoutError);
}

TEST_F(HttpCliTest, LocalFailuresEndTheRequestOnce)
{
    struct Case {
        std::string Name, Url, Reason;
        WORD Error;
    };
    const std::vector<Case> cases = {
        {"refused", "http://127.0.0.1:" + std::to_string(FreePort()) + "/", "Connection refused (Error #10061)",
         10061},
        {"unknown host", "http://nosuch.invalid/", "can't resolve hostname to IP address", 11001},
        // Fails inside Connect, where only OnError hears of it.
        {"bad port", "http://127.0.0.1:abc/", "Invalid argument (Error #10022)", 10022},
    };
    FakeHttpServer server([](int, const std::string&) { return Reply("HTTP/1.0 200 OK", "after"); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Log.clear();
        Body.Clear();
        Get(c.Url);
        EXPECT_EQ(Http->StatusCode(), 404);
        EXPECT_EQ(Http->ReasonPhrase(), c.Reason);
        EXPECT_EQ(Log, (std::vector<std::string>{"done 1 " + std::to_string(c.Error)}));
        EXPECT_EQ(Http->RcvdCount(), 0);
        // Nothing of the failed request ends the next one early.
        Log.clear();
        Get(server.Url("/"));
        PumpFor(30);
        EXPECT_EQ(Body.Bytes(), "after");
        EXPECT_EQ(Log, (std::vector<std::string>{"docend", "done 1 0"}));
    }
}

TEST_F(HttpCliTest, SilenceEndsTheRequest)
{
    FakeHttpServer server([](int index, const std::string&) -> std::optional<std::string> {
        if (index == 0)
            return std::nullopt;
        return Reply("HTTP/1.0 200 OK", "x");
    });
    Http->NoDataTimeout = 300;
    auto start = std::chrono::steady_clock::now();
    Get(server.Url("/"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(Http->StatusCode(), 404);
    EXPECT_EQ(Http->ReasonPhrase(), "Timeout");
    EXPECT_EQ(Log, (std::vector<std::string>{"done 1 10060"}));
    Log.clear();
    Get(server.Url("/"));
    EXPECT_EQ(Http->StatusCode(), 200);
}

TEST_F(HttpCliTest, OnlySilenceCountsNotTheWholeTime)
{
    FakeHttpServer server([](int, const std::string&) {
        return std::string("HTTP/1.0 200 OK\r\n\x01\r\none\x01 two\x01 three\x01 four");
    });
    server.PauseMs = 150;
    Http->NoDataTimeout = 400;
    Get(server.Url("/"));
    EXPECT_EQ(Http->StatusCode(), 200);
    EXPECT_EQ(Body.Bytes(), "one two three four");
}

}  // namespace

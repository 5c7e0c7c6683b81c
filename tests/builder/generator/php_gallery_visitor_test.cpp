// A served PHP gallery against a hostile or unlucky visitor: the charset its
// pages declare and store, the limits on mails, comments and log-ins (told on
// the page), what its served files give away, what a page stores, the owner's
// edits, sessions, array parameters and counted words.

#include "tests/builder/generator/php_server_fixture.h"

using namespace phpservertest;

namespace {

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Base64Decoded(const std::string& text)
{
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        const std::size_t value = alphabet.find(c);
        if (value == std::string::npos)
            continue;
        bits = (bits << 6) | static_cast<unsigned>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return out;
}

const std::string Password = "password=s3cret pass";

// Headless Chromium: the page's DOM as the browser decoded it (UTF-8), after
// its scripts ran; then a screenshot of it (or of `shotUrl`, where loading
// the page again would post again) for a person to look at.
std::string Browse(const std::string& url, const std::string& shot, std::string shotUrl = "")
{
    TempFolder profile;
    std::string shots;
    AppPath(shots);
    shots += "chromium-screenshots/";
    ForceDirectories(shots);
    const std::string options = "timeout 60 /usr/bin/chromium --headless --no-sandbox --disable-gpu "
                                "--disable-background-networking --disable-extensions --no-first-run "
                                "--window-size=1000,1300 --virtual-time-budget=4000 --user-data-dir=";
    const std::string dom = Shell(options + profile.Path() + " --dump-dom '" + url + "' 2>/dev/null");
    if (shotUrl.empty())
        shotUrl = url;
    Shell(options + profile.Path() + " --screenshot=" + shots + shot + ".png '" + shotUrl + "' >/dev/null 2>&1");
    return dom;
}

bool HasChromium() { return access("/usr/bin/chromium", X_OK) == 0; }

class PhpGalleryLettersTest : public PhpGalleryServerTest {
protected:
    void Choose() override { Wizard->Edit4->SetText("Gr\xFC\xDF" "e"); }
};

class PhpGalleryWithoutVotesTest : public PhpGalleryServerTest {
protected:
    void Choose() override
    {
        Wizard->PhpVoting = false;
        Wizard->PhpPictureComments = false;
    }
};

}  // namespace

TEST_F(PhpGalleryLettersTest, EveryPageDeclaresItsCharsetAndStoresPostedTextInIt)
{
    const std::string jar = " -c '" + Out.Path() + "jar' -b '" + Out.Path() + "jar'";
    Send("admin.php", Password, jar);
    for (const char* page : {"page1.php", "th_0_big.php", "chartview.php", "chartvote.php", "admin.php",
                             "picturesetup.php?d=th_0.jpg", "mailpicture.php?pic=th_0.jpg"}) {
        SCOPED_TRACE(page);
        EXPECT_TRUE(Has(Lower(Send(page, "", jar).Headers), "content-type: text/html; charset=windows-1252"));
    }
    // What a browser of a Windows-1252 page posts, and UTF-8 that comes anyway.
    Post("th_0_big.php", "st=msg&user=J\xFCrgen&com=caf\xE9 \x80");
    Post("th_0_big.php", "st=msg&user=Z\xC3\xB6" "e&com=caf\xC3\xA9 \xE2\x82\xAC");
    for (const std::string& page : {Get("th_0_big.php"), Get("picturesetup.php?d=th_0.jpg", jar)}) {
        EXPECT_EQ(Occurrences(page, "caf\xE9 \x80"), 2) << page;
        EXPECT_TRUE(Has(page, "J\xFCrgen"));
        EXPECT_TRUE(Has(page, "Z\xF6" "e"));
    }
    const std::string list = Get("picturesetup.php?d=th_0.jpg", jar);
    const std::smatch id = Match(list, std::regex("name=id value=\"([0-9a-f]+)\""));
    ASSERT_FALSE(id.empty());
    EXPECT_TRUE(Has(Get("comedit.php?f=th_0.cnt&id=" + id[1].str(), jar), "caf\xE9 \x80</textarea>"));
}

TEST_F(PhpGalleryLettersTest, ChromiumShowsTheLettersOfPagesFormsAndTheAdminList)
{
    if (!HasChromium())
        GTEST_SKIP() << "Chromium is not installed";
    // A visitor's comment typed into the page's own form, as the browser
    // posts it; the page that answers is shown in the helper's place.
    const std::string show = "document.body.innerHTML = this.contentDocument.body.innerHTML;";
    WriteFileBytes(Gallery + "type-comment.html",
                   "<html><body><iframe id=f src=th_1_big.php></iframe><script>var sent = false;\n"
                   "document.getElementById('f').onload = function () {\n"
                   "  if (sent) { " + show + " return; }\n"
                   "  var text = this.contentDocument.getElementsByName('com');\n"
                   "  var form = text[text.length - 1].form;\n"
                   "  form.user.value = 'Andr\\u00e9'; form.com.value = 'caf\\u00e9 \\u20ac';\n"
                   "  sent = true; form.submit();\n"
                   "};</script></body></html>");
    WriteFileBytes(Gallery + "log-in.html",
                   "<html><body onload=\"document.forms[0].submit()\"><form method=POST action=admin.php target=f>"
                   "<input name=password value=\"s3cret pass\"></form><iframe name=f id=f></iframe><script>\n"
                   "document.getElementById('f').onload = function () {\n"
                   "  var at = this.contentWindow.location.pathname;\n"
                   "  if (at === '/admin.php') this.src = 'picturesetup.php?d=th_1.jpg';\n"
                   "  if (at === '/picturesetup.php') { " + show + " }\n"
                   "};</script></body></html>");
    const std::string full = Browse(Url("type-comment.html"), "php-letters-full-picture", Url("th_1_big.php"));
    EXPECT_TRUE(Has(full, "Gr\xC3\xBC\xC3\x9F" "e")) << full;
    EXPECT_TRUE(Has(full, "Andr\xC3\xA9"));
    EXPECT_TRUE(Has(full, "caf\xC3\xA9 \xE2\x82\xAC"));
    EXPECT_EQ(Counter(1)[2], "1");
    Post("page1.php", "st=msg&user=Ren\xE9" "e&com=\x80 caf\xE9");
    const std::string gallery = Browse(Url("page1.php"), "php-letters-gallery-page");
    EXPECT_TRUE(Has(gallery, "Gr\xC3\xBC\xC3\x9F" "e")) << gallery;
    EXPECT_TRUE(Has(gallery, "\xE2\x82\xAC caf\xC3\xA9"));
    const std::string admin = Browse(Url("log-in.html"), "php-letters-admin-comments");
    EXPECT_TRUE(Has(admin, "Andr\xC3\xA9")) << admin;
    EXPECT_TRUE(Has(admin, "caf\xC3\xA9 \xE2\x82\xAC"));
    EXPECT_FALSE(Has(full + gallery + admin, "\xEF\xBF\xBD")) << "a letter was not decoded";
}

TEST_F(PhpGalleryServerTest, PictureMailsAreBoundedPerVisitorAndPerGallery)
{
    const std::string mail = "pic=th_1.jpg&email=friend@example.org&user=Eve&com=Hi";
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Send("mailpicturesend.php", mail).Status, "200");
    const TReply refused = Send("mailpicturesend.php", mail);
    EXPECT_EQ(refused.Status, "429");
    EXPECT_TRUE(Has(refused.Body, "The limit of 5 pictures sent from your address in an hour was reached"))
        << refused.Body;
    // Other visitors go on until the gallery has sent its share of the day.
    int sent = 5;
    TReply last;
    for (int address = 2; address <= 8; ++address)
        for (int i = 0; i < 5; ++i)
            if ((last = Send("mailpicturesend.php", mail, From(address))).Status == "200")
                ++sent;
    EXPECT_EQ(sent, 30);
    EXPECT_EQ(last.Status, "429");
    EXPECT_TRUE(Has(last.Body, "The limit of 30 pictures sent from this gallery in a day was reached")) << last.Body;
    EXPECT_EQ(Occurrences(Sent(), "--END--"), 30);
    EXPECT_TRUE(Has(Read("limits.php").substr(0, 15), "<?php exit; ?>"));
    EXPECT_EQ(Send("limits.php").Body, "") << "the limits file is handed out";
}

TEST_F(PhpGalleryServerTest, PictureMailSaysWhereItCameFromAndKeepsTheNameInItsBody)
{
    Send("mailpicturesend.php", "pic=th_1.jpg&email=friend@example.org&user=Mallory Boss&"
                                "com=one\r\ntwo\nthree\rfour\r\n\r\nsix");
    const std::string sent = Sent();
    const std::size_t text = sent.find("This picture was sent to you through the page of the web gallery \"Summer\"");
    ASSERT_NE(text, std::string::npos) << sent;
    EXPECT_FALSE(Has(sent.substr(0, text), "Mallory")) << "the visitor's name stands in a header";
    EXPECT_TRUE(Has(sent, "Mallory Boss sends you a picture."));
    EXPECT_TRUE(Has(sent, "\r\n\r\none\r\ntwo\r\nthree\r\nfour\r\n\r\nsix\r\n--gallery-")) << sent;
    EXPECT_FALSE(Has(sent, "\r\r"));
}

TEST_F(PhpGalleryServerTest, WrongPasswordsAfterTheFirstFewMakeTheNextTryWait)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Send("admin.php", "password=wrong").Status, "403");
    const TReply early = Send("admin.php", Password);
    EXPECT_EQ(early.Status, "429");
    EXPECT_TRUE(Has(early.Body, "After a wrong password, please wait a second before the next try.")) << early.Body;
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_TRUE(Has(Send("admin.php", Password).Body, "value=Logout"));
}

TEST_F(PhpGalleryServerTest, TooManyWrongPasswordsLockTheVisitorForAWhile)
{
    SetLimit("login_free", "5");
    SetLimit("login_lock_after", "3");
    SetLimit("login_lock", "2");
    EXPECT_EQ(Send("admin.php", "password=wrong 1").Status, "403");
    EXPECT_EQ(Send("admin.php", "password=wrong 2").Status, "403");
    const TReply locking = Send("admin.php", "password=wrong 3");
    EXPECT_EQ(locking.Status, "429");
    EXPECT_TRUE(Has(locking.Body, "Log-in is locked after too many wrong passwords; please try again in 2 seconds."))
        << locking.Body;
    const TReply locked = Send("admin.php", Password);
    EXPECT_EQ(locked.Status, "429");
    EXPECT_TRUE(Has(locked.Body, "Log-in is locked"));
    EXPECT_FALSE(Has(locked.Body, "value=Logout"));
    EXPECT_TRUE(Has(Send("admin.php", Password, From(2)).Body, "value=Logout")) << "another visitor is locked too";
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_TRUE(Has(Send("admin.php", Password).Body, "value=Logout"));
}

TEST_F(PhpGalleryServerTest, CommentersAddressesStayOutOfEveryServedFile)
{
    Post("th_0_big.php", "st=msg&user=Anna&email=anna@example.org&com=Hello");
    Post("page1.php", "st=msg&user=Ben&email=ben@example.org&com=Hi");
    std::vector<std::string> names = Files();
    names.push_back(".htaccess");
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string served = Get(name);
        std::string decoded;
        for (const std::string& line : SplitLinesOf(served)) decoded += Base64Decoded(line);
        for (const char* address : {"anna@example.org", "ben@example.org"})
            EXPECT_FALSE(Has(served, address) || Has(decoded, address)) << address;
    }
    // The owner still sees them.
    const std::string jar = " -c '" + Out.Path() + "jar' -b '" + Out.Path() + "jar'";
    Send("admin.php", Password, jar);
    const std::string list = Get("picturesetup.php?d=gcom.ctx", jar);
    const std::smatch id = Match(list, std::regex("name=id value=\"([0-9a-f]+)\""));
    ASSERT_FALSE(id.empty());
    EXPECT_TRUE(Has(Get("comedit.php?f=gcom.ctx&id=" + id[1].str(), jar), "name=email value=\"ben@example.org\""));
    const std::string rules = Read(".htaccess");
    EXPECT_TRUE(Has(rules, "<FilesMatch \"\\.(cnt|ctx)$\">")) << rules;
    EXPECT_TRUE(Has(rules, "Require all denied"));
}

TEST_F(PhpGalleryWithoutVotesTest, AFullPicturePageStoresOnlyWhatItsGalleryOffers)
{
    const TReply vote = Send("th_0_big.php", "st=vote&vote=5");
    EXPECT_EQ(vote.Status, "403");
    EXPECT_TRUE(Has(vote.Body, "This page takes no votes.")) << vote.Body;
    const TReply comment = Send("th_0_big.php", "st=msg&user=Eve&com=Stored anyway");
    EXPECT_EQ(comment.Status, "403");
    EXPECT_TRUE(Has(comment.Body, "This page takes no comments."));
    EXPECT_EQ(Counter(0), (std::vector<std::string>{"0", "0,0", "0"}));
    // The gallery pages take the comments this gallery offers.
    Post("page1.php", "st=msg&user=Ben&com=Gallery words");
    EXPECT_TRUE(Has(Get("page1.php"), "Gallery words"));
}

TEST_F(PhpGalleryServerTest, ACommentOverALimitIsToldAndStaysInTheForm)
{
    struct Case {
        const char* name;
        std::string fields;
        std::string told;
    };
    const Case cases[] = {
        {"message", "st=msg&user=Max&com=" + std::string(10001, 'x'),
         "Your message has 10001 characters; at most 10000 are taken."},
        {"name", "st=msg&user=" + std::string(201, 'n') + "&com=Kept words",
         "Your name has 201 characters; at most 200 are taken."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* page : {"th_0_big.php", "page1.php"}) {
            const TReply reply = Send(page, c.fields);
            EXPECT_EQ(reply.Status, "400");
            EXPECT_TRUE(Has(reply.Body, c.told)) << reply.Body.substr(0, 2000);
        }
    }
    EXPECT_EQ(Counter(0)[2], "0");
    EXPECT_EQ(Read("gcom.ctx"), "");
    if (!HasChromium())
        GTEST_SKIP() << "Chromium is not installed";
    WriteFileBytes(Gallery + "long-name.html",
                   "<html><body onload=\"document.forms[0].submit()\"><form method=POST action=th_0_big.php>"
                   "<input name=st value=msg><input name=user value=\"" + std::string(201, 'n') +
                   "\"><input name=email value=\"k@example.org\"><input name=com value=\"Kept words\"></form>"
                   "</body></html>");
    const std::string dom = Browse(Url("long-name.html"), "php-comment-over-limit");
    EXPECT_TRUE(Has(dom, "Your name has 201 characters")) << dom;
    EXPECT_TRUE(Has(dom, "<textarea name=\"com\" cols=\"40\" rows=\"6\">Kept words</textarea>"));
    EXPECT_TRUE(Has(dom, "name=\"user\" value=\"" + std::string(201, 'n') + "\""));
    EXPECT_TRUE(Has(dom, "name=\"email\" value=\"k@example.org\""));
}

TEST_F(PhpGalleryServerTest, ACommentFloodFromOneAddressIsBounded)
{
    const std::string words(9000, 'w');
    Shell("for i in $(seq 30); do curl -s -o /dev/null --max-time 20 -d 'st=msg&user=Flood&com=" + words + "' '" +
          Url("th_0_big.php") + "' & done; wait");
    EXPECT_EQ(Counter(0)[2], "10");
    const TReply refused = Send("th_0_big.php", "st=msg&user=Flood&com=more");
    EXPECT_EQ(refused.Status, "429");
    EXPECT_TRUE(Has(refused.Body, "The limit of 10 comments from your address in 10 minutes was reached"))
        << refused.Body.substr(0, 2000);
    Send("page1.php", "st=msg&user=Flood&com=more");
    EXPECT_EQ(Read("gcom.ctx"), "") << "the limit holds on the gallery pages too";
    Send("th_0_big.php", "st=msg&user=Other&com=Fine", From(2));
    EXPECT_EQ(Counter(0)[2], "11");
}

TEST_F(PhpGalleryServerTest, TheOwnersEditTakesOnlyWebHomepages)
{
    Post("th_2_big.php", "st=msg&user=Carl&com=Words");
    const std::string jar = " -c '" + Out.Path() + "jar' -b '" + Out.Path() + "jar'";
    Send("admin.php", Password, jar);
    const std::string setup = Get("picturesetup.php?d=th_2.jpg", jar);
    const std::smatch token = Match(setup, std::regex("name=token value=\"([0-9a-f]+)\""));
    const std::smatch id = Match(setup, std::regex("name=id value=\"([0-9a-f]+)\""));
    ASSERT_FALSE(token.empty());
    ASSERT_FALSE(id.empty());
    const std::pair<const char*, const char*> pages[] = {
        {"javascript:alert(1)", nullptr}, {"JavaScript:alert(1)", nullptr}, {"data:text/html,x", nullptr},
        {"http://", nullptr},             {"https://ok.example/a", "https://ok.example/a"},
    };
    for (const auto& [page, linked] : pages) {
        SCOPED_TRACE(page);
        Post("comeditsave.php", "f=th_2.cnt&id=" + id[1].str() + "&token=" + token[1].str() +
                                    "&user=Carl&email=&com=Words&page=" + page, jar);
        const std::string full = Get("th_2_big.php");
        EXPECT_EQ(Has(full, "rel=\"nofollow\""), linked != nullptr);
        if (linked) {
            EXPECT_TRUE(Has(full, std::string("<a href=\"") + linked + "\" rel=\"nofollow\""));
        }
        EXPECT_FALSE(Has(Lower(full), ":alert(1)") || Has(full, "data:text"));
    }
}

TEST_F(PhpGalleryServerTest, AdminVisitsWithoutALogInLeaveNoSession)
{
    for (int i = 0; i < 10; ++i) {
        Get("admin.php");
        Get("picturesetup.php?d=th_0.jpg");
        Get("admin.php", "-b 'galleryadmin=forged" + std::to_string(i) + "'");
        Send("admin.php", "password=wrong");
    }
    EXPECT_EQ(FindFiles(Sessions, "*"), std::vector<std::string>{});
    EXPECT_TRUE(Has(Send("admin.php", Password, From(2)).Body, "value=Logout"));
    EXPECT_EQ(FindFiles(Sessions, "*").size(), 1u);
}

TEST_F(PhpGalleryServerTest, ArrayParametersAreReadAsNothingWithoutAWarning)
{
    const std::string jar = " -c '" + Out.Path() + "jar' -b '" + Out.Path() + "jar'";
    Send("admin.php", Password, From(2) + jar);
    const std::pair<const char*, const char*> requests[] = {
        {"admin.php?d[]=1", ""},
        {"admin.php", "password[]=x"},
        {"picturesetup.php?d[]=th_0.jpg", ""},
        {"picturesetup.php?d=th_0.jpg", "reset[]=1&token[]=x"},
        {"comedit.php?f[]=th_0.cnt&id[]=x", ""},
        {"comeditsave.php", "f[]=th_0.cnt&id[]=x&token[]=x&user[]=x"},
        {"comeditdel.php", "f[]=th_0.cnt&id[]=x&token[]=x"},
        {"mailpicture.php?pic[]=th_0.jpg", ""},
        {"mailpicturesend.php", "pic[]=th_0.jpg&email[]=a@example.org"},
        {"th_0_big.php", "st[]=vote&vote[]=1"},
        {"th_0_big.php", "st=msg&user[]=x&com[]=y&page[]=z"},
        {"page1.php", "st=msg&user=x&com=y&email[]=z"},
    };
    for (const auto& [page, fields] : requests) {
        SCOPED_TRACE(std::string(page) + " " + fields);
        const TReply reply = Send(page, fields, From(2) + jar);
        EXPECT_FALSE(reply.Status.empty());
        EXPECT_FALSE(Has(reply.Body, "Warning") || Has(reply.Body, "Deprecated"));
    }
    for (const char* kind : {"Warning", "Notice", "Deprecated", "Fatal"})
        EXPECT_FALSE(Has(Errors(), kind)) << Errors();
}

TEST_F(PhpGalleryServerTest, OneViewAndOneVoteAreCountedInTheSingular)
{
    Get("th_0_big.php");
    Get("th_1_big.php");
    Get("th_1_big.php");
    Post("th_0_big.php", "st=vote&vote=4");
    EXPECT_TRUE(Has(Get("chartvote.php"), "4.00 (1 vote)</font>"));
    const std::string views = Get("chartview.php");
    EXPECT_TRUE(Has(views, "<font class=tx>1 view</font>")) << views;
    EXPECT_TRUE(Has(views, "<font class=tx>2 views</font>"));
    EXPECT_TRUE(Has(Get("th_0_big.php"), "<b>4.00</b> (1 vote)"));
}

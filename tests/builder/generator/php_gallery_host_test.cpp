// A served PHP gallery as its owner built it and as a host set PHP up: an
// option switched off in a rebuild acts on no request, the owner's texts are
// never run as PHP whatever short_open_tag says, and no page logs a warning
// whether PHP buffers its output or not.

#include "tests/builder/generator/php_server_fixture.h"

using namespace phpservertest;

namespace {

const std::string Password = "password=s3cret pass";

class PhpGalleryHostTest : public PhpGalleryServerTest {
protected:
    // Builds again over the gallery the server serves, as an owner does
    // after changing the options.
    void Rebuild()
    {
        Script.AnswerModal("OverwritePrompt", mrYes);
        Build();
    }
    // A server of its own settings in place of the first one, logging to `errors`.
    void Serve(const std::vector<std::string>& settings, const std::string& errors)
    {
        Server = std::make_unique<TPhpServer>(Gallery, Sendmail, Sessions, settings, Out.Path() + errors);
        ASSERT_TRUE(Accepts(Server->Port)) << "php -S did not start";
    }
};

}  // namespace

TEST_F(PhpGalleryHostTest, AnOptionSwitchedOffInARebuildActsOnNoRequest)
{
    struct Case {
        const char* name;
        bool TForm1::*option;
        const char* page;
        std::string fields;
        const char* status;
        const char* field;  // of the form the page no longer offers
        std::function<bool()> nothingDone;
    };
    const Case cases[] = {
        {"picture mail", &TForm1::PhpMailPicture, "mailpicturesend.php",
         "pic=th_1.jpg&email=friend@example.org&user=Eve&com=Hi", "403", "name=email", [&] { return Sent().empty(); }},
        {"picture mail form", &TForm1::PhpMailPicture, "mailpicture.php?pic=th_1.jpg", "", "403", "name=email",
         [] { return true; }},
        {"votes", &TForm1::PhpVoting, "th_0_big.php", "st=vote&vote=5", "403", "name=vote",
         [&] { return Counter(0)[1] == "0,0"; }},
        {"picture comments", &TForm1::PhpPictureComments, "th_0_big.php", "st=msg&user=Eve&com=Hi", "403", "name=com",
         [&] { return Counter(0)[2] == "0"; }},
        {"gallery comments", &TForm1::PhpGalleryComments, "page1.php", "st=msg&user=Eve&com=Hi", "200", "name=com",
         [&] { return Read("gcom.ctx").empty(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Wizard->*c.option = false;
        Rebuild();
        const TReply reply = Send(c.page, c.fields);
        EXPECT_EQ(reply.Status, c.status) << reply.Body.substr(0, 2000);
        EXPECT_FALSE(Has(reply.Body, c.field)) << "the page still offers it";
        EXPECT_TRUE(c.nothingDone());
        Wizard->*c.option = true;
    }
    // Switched on again, the next build sends mails again.
    Rebuild();
    EXPECT_TRUE(Has(Send("mailpicturesend.php", cases[0].fields).Body, "The picture was sent")) << Errors();
    EXPECT_EQ(Occurrences(Sent(), "--END--"), 1);
}

TEST_F(PhpGalleryHostTest, AGalleryPageLeftFromAnEarlierBuildTakesNoCommentsTheGalleryNoLongerOffers)
{
    Wizard->Edit5->SetText("1");
    Wizard->Edit6->SetText("1");
    Rebuild();
    ASSERT_TRUE(Exists("page4.php"));
    // One page now, and no gallery comments: pages 2 to 4 stay from the build before.
    Wizard->Edit5->SetText("4");
    Wizard->PhpGalleryComments = false;
    Rebuild();
    const TReply left = Send("page3.php", "st=msg&user=Eve&com=Kept anyway");
    EXPECT_EQ(left.Status, "403") << left.Body.substr(0, 2000);
    EXPECT_TRUE(Has(left.Body, "This page takes no comments."));
    EXPECT_EQ(Read("gcom.ctx"), "");
    // With the comments on again, every gallery page takes them.
    Wizard->PhpGalleryComments = true;
    Rebuild();
    EXPECT_EQ(Send("page3.php", "st=msg&user=Ann&com=Taken").Status, "200");
    EXPECT_TRUE(Has(Get("page1.php"), "Taken"));
}

TEST_F(PhpGalleryHostTest, TheOwnersTextsReachTheBrowserAsTheyDoFromTheHtmlGallery)
{
    const std::string heading = "<?xml version=\"1.0\"?> data";
    const std::string above = "sum is <?= 6*7 ?> here";
    const std::string below = "<?php echo 'ran'; ?> below";
    const std::string under = "end <?\r\nnext line <?";
    Wizard->Edit4->SetText(heading);
    Wizard->Memo3->SetText(above);
    Wizard->Memo4->SetText(below);
    Wizard->Memo5->SetText(under);
    MetaHeadText = "<head><title>Owner <?= 'x' ?></title></head>";
    Wizard->ListBox2->Items().SetStrings(0, above);
    Wizard->ListBox2->Items().SetStrings(1, heading);
    Rebuild();
    // The same gallery as HTML, whose pages are the browser's bytes as they are.
    const std::string html = Out.Path() + "html/";
    Wizard->Label2->SetCaption(html);
    Wizard->PhpGallery = false;
    Build();
    const auto page = [&](const std::string& name) { return ReadFileBytes(html + name); };
    struct Case {
        const char* page;
        const char* htmlPage;
        std::vector<std::string> parts;
    };
    const Case cases[] = {
        {"page1.php", "page1.html",
         {"<html>\r\n" + MetaHeadText + "<style", "<font class=tx>\r\n" + above + "\r\n</font>",
          "<b>" + heading + "</b>", "<font class=tx>\r\n" + below + "\r\n</font>",
          "<font class=pi>" + above + "&#160;</font>", "<font class=pi>" + heading + "&#160;</font>",
          "<p>\r\n\r\n" + under + "\r\n\r\n</font>"}},
        {"th_0_big.php", "th_0_big.html",
         {"<font class=tx>\r\n" + above + "\r\n</font>", "<p><b>" + heading + "</b>",
          "<font class=tx>\r\n" + below + "\r\n</font>", "<font class=pi>" + above + "</font>",
          "<font class=tx><p>\r\n" + under + "\r\n</font>"}},
        {"th_1_big.php", "th_1_big.html", {"<font class=pi>" + heading + "</font>"}},
        {"chartview.php", "start.html",
         {"<html>\r\n" + MetaHeadText + "\r\n<style", "<b>" + heading + "</b>",
          "<font class=tx>\r\n" + above + "\r\n</font>", "<font class=tx>\r\n" + below + "\r\n</font>"}},
    };
    for (const char* shortTags : {"short_open_tag=0", "short_open_tag=1"}) {
        SCOPED_TRACE(shortTags);
        Serve({shortTags}, std::string("errors-") + shortTags + ".txt");
        for (const Case& c : cases) {
            SCOPED_TRACE(c.page);
            const TReply reply = Send(c.page);
            EXPECT_EQ(reply.Status, "200");
            for (const std::string& part : c.parts) {
                EXPECT_TRUE(Has(page(c.htmlPage), part)) << part;
                EXPECT_TRUE(Has(reply.Body, part)) << part << "\n" << reply.Body.substr(0, 3000);
            }
        }
        // Inside the mail page's PHP the heading is a string, and stays one.
        Send("mailpicturesend.php", "pic=th_1.jpg&email=friend@example.org&user=Eve&com=Hi");
        EXPECT_TRUE(Has(Sent(), "Subject: " + heading + " | Galeriebild")) << Sent();
        const std::string errors = ReadFileBytes(Out.Path() + "errors-" + shortTags + ".txt");
        EXPECT_FALSE(Has(errors, "error") || Has(errors, "Warning")) << errors;
    }
}

TEST_F(PhpGalleryHostTest, NoPageWarnsWhetherOrNotPhpBuffersItsOutput)
{
    struct Case {
        const char* name;
        std::string page;
        std::string fields;
        const char* status;  // "" where only a buffered page can still set it
    };
    const Case visitor[] = {
        {"admin page", "admin.php", "", "200"},
        {"wrong password", "admin.php", "password=wrong", "403"},
        {"picture setup", "picturesetup.php?d=th_0.jpg", "", "403"},
        {"comment editor", "comedit.php?f=th_0.cnt&id=x", "", "403"},
        {"comment save", "comeditsave.php", "f=th_0.cnt&id=x&token=x", "403"},
        {"comment delete", "comeditdel.php", "f=th_0.cnt&id=x&token=x", "403"},
        {"mail form", "mailpicture.php?pic=th_0.jpg", "", "200"},
        {"mail form of no picture", "mailpicture.php?pic=th_99.jpg", "", "404"},
        {"mail page asked", "mailpicturesend.php", "", "400"},
        {"mail to no address", "mailpicturesend.php", "pic=th_0.jpg&email=nobody", "400"},
        {"gallery page", "page1.php", "", "200"},
        {"gallery comment", "page1.php", "st=msg&user=Ann&com=Hi", "200"},
        {"full page", "th_0_big.php", "", "200"},
        {"vote", "th_0_big.php", "st=vote&vote=4", "200"},
        {"vote out of range", "th_0_big.php", "st=vote&vote=9", "200"},
        {"comment without a name", "th_0_big.php", "st=msg&user=&com=Hi", ""},
        {"chart of views", "chartview.php", "", "200"},
        {"chart of votes", "chartvote.php", "", "200"},
    };
    const Case owner[] = {
        {"log-in", "admin.php", Password, "200"},
        {"admin page", "admin.php?d=th_0.jpg", "", "200"},
        {"picture setup", "picturesetup.php?d=th_0.jpg", "", "200"},
        {"reset without the token", "picturesetup.php?d=th_0.jpg", "reset=1&token=bad", "200"},
        {"comment editor of no comment", "comedit.php?f=th_0.cnt&id=x", "", "404"},
        {"comment save without the token", "comeditsave.php", "f=th_0.cnt&id=x&token=bad", "403"},
    };
    int address = 1;
    for (const char* buffering : {"output_buffering=0", "output_buffering=4096"}) {
        SCOPED_TRACE(buffering);
        const std::string errors = std::string("errors-") + buffering + ".txt";
        Serve({buffering}, errors);
        const std::string from = From(++address);
        // curl takes a -b with "=" in it for a cookie, not a file.
        const std::string jarFile = Out.Path() + "jar" + std::to_string(address);
        const std::string jar = " -c '" + jarFile + "' -b '" + jarFile + "'";
        const auto run = [&](const Case& c, const std::string& options) {
            SCOPED_TRACE(c.name);
            const TReply reply = Send(c.page, c.fields, from + options);
            for (const char* kind : {"Warning", "Notice", "Deprecated"})
                EXPECT_FALSE(Has(reply.Body, kind)) << reply.Body.substr(0, 2000);
            if (*c.status) {
                EXPECT_EQ(reply.Status, c.status) << reply.Body.substr(0, 2000);
            }
            return reply;
        };
        for (const Case& c : visitor)
            run(c, "");
        for (const Case& c : visitor)
            run(c, " -b 'galleryadmin=forged'");
        for (const Case& c : owner)
            run(c, jar);
        const std::string list = run(owner[1], jar).Body;
        const std::smatch token = Match(list, std::regex("name=token value=\"([0-9a-f]+)\""));
        ASSERT_FALSE(token.empty());
        run({"log-out", "admin.php", "logout=1&token=" + token[1].str(), "200"}, jar);
        EXPECT_TRUE(Has(run(visitor[0], jar).Body, "type=password")) << "the log-out did not end the session";
        for (const Case& c : visitor)
            run(c, jar);
        const std::string log = ReadFileBytes(Out.Path() + errors);
        for (const char* kind : {"Warning", "Notice", "Deprecated", "Fatal"})
            EXPECT_FALSE(Has(log, kind)) << log;
    }
}

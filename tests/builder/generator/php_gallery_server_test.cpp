// A PHP gallery built with the program's own templates runs under PHP's
// built-in server on the loopback address, driven over HTTP by curl: views,
// votes, comments, charts, the picture mail (through a sendmail stand-in that
// records what it gets) and the administration pages, and every injection
// attempt refused. Headless Chromium shows a gallery page and a full-picture
// page through the server. Skipped without php.

#include "tests/builder/generator/php_server_fixture.h"

using namespace phpservertest;

TEST_F(PhpGalleryServerTest, ViewsVotesCommentsAndChartsWork)
{
    for (int i = 0; i < 3; ++i) Get("th_2_big.php");
    Get("th_1_big.php");
    EXPECT_EQ(Counter(2)[0], "3");
    const std::string page = Get("page1.php");
    EXPECT_TRUE(Has(page, "<img src=eye.gif alt=\"Views\"> 3 |")) << page.substr(0, 3000);

    Post("th_1_big.php", "st=vote&vote=6");
    Post("th_1_big.php", "st=vote&vote=3");
    EXPECT_EQ(Counter(1)[1], "9,2");
    EXPECT_TRUE(Has(Get("th_1_big.php"), "users have given a average vote of: <b>4.50</b> (2 votes)"));
    EXPECT_TRUE(Has(Get("page1.php"), "<?php") == false);

    Post("th_3_big.php", "st=msg&user=Anna&email=a@example.org&page=http://example.org/a&com=Lovely light");
    EXPECT_EQ(Counter(3)[2], "1");
    const std::string full = Get("th_3_big.php");
    EXPECT_TRUE(Has(full, "<a href=\"http://example.org/a\" rel=\"nofollow\" target=_blank>Anna</a>"));
    EXPECT_TRUE(Has(full, "Lovely light"));
    EXPECT_TRUE(Has(Get("page1.php"), "<img src=com.gif alt=\"your comment\"> 1 |"));

    Post("page1.php", "st=msg&user=Ben&email=&page=http://&com=Whole gallery, nice");
    const std::string gallery = Get("page1.php");
    EXPECT_TRUE(Has(gallery, "<b>Ben</b>"));
    EXPECT_TRUE(Has(gallery, "Whole gallery, nice"));
    EXPECT_FALSE(Has(Get("th_3_big.php"), "Whole gallery"));

    const std::string views = Get("chartview.php");
    const std::size_t first = views.find("th_2_big.php"), second = views.find("th_1_big.php");
    ASSERT_NE(first, std::string::npos) << views;
    EXPECT_LT(first, second);
    const std::string votes = Get("chartvote.php");
    EXPECT_TRUE(Has(votes, "4.50 (2 votes)"));
    EXPECT_FALSE(Has(votes, "th_0_big.php")) << "pictures without votes are not ranked";
    EXPECT_EQ(Errors().find("Fatal"), std::string::npos) << Errors();
}

TEST_F(PhpGalleryServerTest, FiftyParallelVotesAreAllCounted)
{
    Shell("for i in $(seq 50); do curl -s -o /dev/null --max-time 20 -d 'st=vote&vote=5' '" + Url("th_0_big.php") +
        "' & done; wait");
    EXPECT_EQ(Counter(0)[1], "250,50");
}

TEST_F(PhpGalleryServerTest, InjectionAttemptsAreRefused)
{
    struct Case {
        const char* name;
        const char* page;
        const char* fields;
    };
    const Case votes[] = {
        {"vote 0", "th_0_big.php", "st=vote&vote=0"},
        {"vote 7", "th_0_big.php", "st=vote&vote=7"},
        {"vote text", "th_0_big.php", "st=vote&vote=5 or 1"},
        {"vote fraction", "th_0_big.php", "st=vote&vote=5.5"},
        {"vote array", "th_0_big.php", "st=vote&vote[]=5"},
    };
    for (const Case& c : votes) {
        SCOPED_TRACE(c.name);
        Post(c.page, c.fields);
        EXPECT_EQ(Counter(0)[1], "0,0");
    }

    Post("th_0_big.php", "st=msg&user=<script>alert(1)</script>&email=x\"><b>&"
                         "page=javascript:alert(2)&com=</textarea><img src=x onerror=alert(3)>\r\nline two");
    Post("page1.php", "st=msg&user=<i onmouseover=x>Eve</i>&page=http://a\" onclick=\"x&com=<script>y</script>");
    const std::string full = Get("th_0_big.php");
    EXPECT_FALSE(Has(full, "<script>alert(1)"));
    EXPECT_TRUE(Has(full, "&lt;script&gt;alert(1)&lt;/script&gt;"));
    EXPECT_FALSE(Has(full, "<img src=x onerror"));
    EXPECT_FALSE(Has(full, "javascript:alert(2)"));
    const std::string gallery = Get("page1.php");
    EXPECT_FALSE(Has(gallery, "<i onmouseover"));
    EXPECT_FALSE(Has(gallery, "onclick=\"x"));
    EXPECT_FALSE(Has(gallery, "<script>y"));
    // The line breaks and quotes of the message did not break the stored file.
    EXPECT_EQ(Counter(0).size(), 4u);
    EXPECT_EQ(Counter(0)[2], "1");
    EXPECT_EQ(SplitLinesOf(Read("gcom.ctx")).size(), 1u);

    // Comments without a name or a message, or longer than pa.php allows, are not taken.
    Post("th_0_big.php", "st=msg&user=&com=no name");
    Post("th_0_big.php", "st=msg&user=Max&com=");
    Post("th_0_big.php", "st=msg&user=Max&com=" + std::string(10001, 'x'));
    EXPECT_EQ(Counter(0)[2], "1");

    // Names from requests: only counter files and pictures of this gallery.
    const Case mails[] = {
        {"CR LF in the address", "mailpicturesend.php", "pic=th_0.jpg&email=a@example.org\r\nBcc: b@example.org"},
        {"LF in the name", "mailpicturesend.php", "pic=th_0.jpg&email=a@example.org&user=x\nBcc: b@example.org"},
        {"two addresses", "mailpicturesend.php", "pic=th_0.jpg&email=a@example.org,b@example.org"},
        {"path out of the folder", "mailpicturesend.php", "pic=../../etc/passwd&email=a@example.org"},
        {"other file", "mailpicturesend.php", "pic=pa.php&email=a@example.org"},
        {"missing picture", "mailpicturesend.php", "pic=th_99.jpg&email=a@example.org"},
    };
    for (const Case& c : mails) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Status(c.page, c.fields), "400");
    }
    EXPECT_FALSE(FileExists(Out.Path() + "sent.txt")) << "a refused mail was sent";
    EXPECT_EQ(Status("mailpicture.php?pic=../pa.php"), "404");

    // Admin pages: a wrong password, no way round the login, nothing in the URL or cookie.
    const std::string jar = Out.Path() + "cookies.txt";
    EXPECT_EQ(Status("admin.php", "password=wrong"), "403");
    EXPECT_TRUE(Has(Post("admin.php", "password=wrong", "-c '" + jar + "'"), "Wrong password"));
    EXPECT_EQ(Status("picturesetup.php?d=th_0.jpg"), "403");
    EXPECT_EQ(Status("comeditdel.php", "f=th_0.cnt&id=x"), "403");
    Post("admin.php", "password=s3cret pass", "-c '" + jar + "' -b '" + jar + "'");
    EXPECT_FALSE(Has(ReadFileBytes(jar), "s3cret"));
    EXPECT_TRUE(Has(Get("picturesetup.php?d=../pa.php", "-b '" + jar + "'"), "No such picture"));
    EXPECT_TRUE(Has(Get("picturesetup.php?d=th_0.cnt/../../x", "-b '" + jar + "'"), "No such picture"));
    EXPECT_EQ(Get("pa.php").find("s3cret"), std::string::npos) << "the password file shows its password";
}

TEST_F(PhpGalleryServerTest, PictureMailSendsTheOnePictureWithTheHeading)
{
    EXPECT_TRUE(Has(Get("mailpicture.php?pic=th_1.jpg"), "name=pic value=\"th_1.jpg\""));
    const std::string answer = Post("mailpicturesend.php", "pic=th_1.jpg&email=friend@example.org&user=Anna&com=Look");
    EXPECT_TRUE(Has(answer, "The picture was sent to friend@example.org")) << answer << Errors();
    const std::string sent = ReadFileBytes(Out.Path() + "sent.txt");
    EXPECT_TRUE(Has(sent, "To: friend@example.org"));
    EXPECT_TRUE(Has(sent, "Subject: Summer | Galeriebild"));
    EXPECT_TRUE(Has(sent, "From: owner@example.org"));
    EXPECT_TRUE(Has(sent, "filename=\"th_1_big.jpg\""));
    EXPECT_TRUE(Has(sent, "Anna sends you a picture."));
    EXPECT_EQ(Occurrences(sent, "--END--"), 1);
}

TEST_F(PhpGalleryServerTest, OwnerEditsAndDeletesCommentsAndResetsCounters)
{
    Post("th_2_big.php", "st=msg&user=Carl&com=First words");
    Post("th_2_big.php", "st=vote&vote=4");
    Get("th_2_big.php");
    const std::string jar = " -c '" + Out.Path() + "jar' -b '" + Out.Path() + "jar'";
    const std::string list = Post("admin.php?d=th_2.jpg", "password=s3cret pass", jar);
    EXPECT_TRUE(Has(list, "picturesetup.php?d=th_2.jpg")) << list;
    const std::string setup = Get("picturesetup.php?d=th_2.jpg", jar);
    EXPECT_TRUE(Has(setup, "First words"));
    const std::smatch token = Match(setup, std::regex("name=token value=\"([0-9a-f]+)\""));
    const std::smatch id = Match(setup, std::regex("name=id value=\"([0-9a-f]+)\""));
    ASSERT_FALSE(token.empty());
    ASSERT_FALSE(id.empty());

    // Without the session's token a change is refused, even with the session.
    EXPECT_TRUE(Has(Post("comeditdel.php", "f=th_2.cnt&id=" + id[1].str() + "&token=bad", jar), "log in"));
    Post("comeditsave.php", "f=th_2.cnt&id=" + id[1].str() + "&token=" + token[1].str() +
                                "&user=Carl&email=&page=&com=Edited words", jar);
    EXPECT_TRUE(Has(Get("th_2_big.php"), "Edited words"));
    Post("picturesetup.php?d=th_2.jpg", "reset=1&token=" + token[1].str(), jar);
    EXPECT_EQ(Counter(2)[0], "0");
    EXPECT_EQ(Counter(2)[1], "0,0");
    Post("comeditdel.php", "f=th_2.cnt&id=" + id[1].str() + "&token=" + token[1].str(), jar);
    EXPECT_EQ(Counter(2)[2], "0");
    EXPECT_EQ(Counter(2).size(), 3u);
    EXPECT_FALSE(Has(Get("th_2_big.php"), "Edited words"));
}

TEST_F(PhpGalleryServerTest, ChromiumShowsPagesThroughTheServer)
{
    if (access("/usr/bin/chromium", X_OK) != 0)
        GTEST_SKIP() << "Chromium is not installed";
    Post("th_0_big.php", "st=msg&user=Anna&com=Lovely light");
    Post("th_0_big.php", "st=vote&vote=5");
    std::string shots;
    AppPath(shots);
    shots += "chromium-screenshots/";
    ForceDirectories(shots);
    for (const auto& [page, name] : {std::pair<std::string, std::string>{"page1.php", "php-gallery-page"},
                                     {"th_0_big.php", "php-full-picture"}}) {
        SCOPED_TRACE(page);
        TempFolder profile;
        const std::string png = shots + name + ".png";
        DeleteFile(png);
        Shell("timeout 60 /usr/bin/chromium --headless --no-sandbox --disable-gpu --disable-background-networking "
            "--disable-extensions --no-first-run --user-data-dir=" + profile.Path() +
            " --window-size=1000,1300 --virtual-time-budget=3000 --screenshot=" + png + " '" + Url(page) +
            "' >/dev/null 2>&1");
        EXPECT_TRUE(FileExists(png));
    }
}

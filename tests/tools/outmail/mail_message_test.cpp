#include "tools/outmail/MailMessage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(MailMessage, CidNamesInPageOrderOnce)
{
    const std::string page = "<img src=cid:th_0.jpg><img src=cid:th_1.gif>\r\n<img src=\"cid:th_0.jpg\">cid:";
    EXPECT_EQ(CidNames(page), (std::vector<std::string>{"th_0.jpg", "th_1.gif"}));
}

TEST(MailMessage, Base64)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"f", "Zg==\r\n"}, {"fo", "Zm8=\r\n"}, {"foo", "Zm9v\r\n"}, {std::string("\0\xFF", 2), "AP8=\r\n"}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(Base64Lines(in), out);
    EXPECT_EQ(Base64Lines(std::string(57, 'a')).size(), 76u + 2u);  // one full line
}

TEST(MailMessage, MissingPictureAndHostileNamesRaise)
{
    auto none = [](const std::string& name) -> std::string { throw EFOpenError(name, 2); };
    EXPECT_THROW(ComposeMailMessage("<img src=cid:th_0.jpg>", none), EFOpenError);
    auto any = [](const std::string&) { return std::string("x"); };
    EXPECT_THROW(ComposeMailMessage("<img src=cid:a<b>", any), Exception);
}

// The real program on a real folder; Python's email module reads the result.
TEST(MailMessage, ProgramWritesAMessageEveryCidFinds)
{
    const testsupport::TempFolder folder;
    const std::filesystem::path dir = folder.Path();
    const std::string program = (dir / "VEV.exe").string();
    std::filesystem::copy_file(VEV_PROGRAM, program);
    const std::string page =
        "<html><body><table><tr><td><img src=cid:th_0.jpg></td>\r\n<td><img src=cid:th_1.gif></td>\r\n"
        "</tr></table></body></html>";
    WriteFileBytes((dir / "index.html").string(), page);
    WriteFileBytes((dir / "th_0.jpg").string(), std::string("\xFF\xD8\xFF\xE0jpeg\0bytes\xFF\xD9", 16));
    WriteFileBytes((dir / "th_1.gif").string(), "GIF89a gif bytes");

    ASSERT_EQ(std::system(("GALLERY_SHELL=record '" + program + "' 2").c_str()), 0);
    const std::string eml = (dir / "gallery.eml").string();
    ASSERT_TRUE(FileExists(eml));

    const std::string script = (dir / "check.py").string();
    WriteFileBytes(script,
                   "import email, re, sys\n"
                   "from email import policy\n"
                   "m = email.message_from_binary_file(open(sys.argv[1], 'rb'), policy=policy.default)\n"
                   "assert m.get_content_type() == 'multipart/related', m.get_content_type()\n"
                   "parts = list(m.iter_parts())\n"
                   "html = [p for p in parts if p.get_content_type() == 'text/html'][0].get_content()\n"
                   "ids = {p['Content-ID'].strip('<>'): p for p in parts if p['Content-ID']}\n"
                   "cids = re.findall(r'cid:([^ >\"]+)', html)\n"
                   "assert cids == ['th_0.jpg', 'th_1.gif'], cids\n"
                   "for c in cids:\n"
                   "    assert c in ids, c\n"
                   "    assert ids[c].get_content() == open(sys.argv[2] + '/' + c, 'rb').read(), c\n"
                   "assert ids['th_0.jpg'].get_content_type() == 'image/jpeg'\n"
                   "assert ids['th_1.gif'].get_content_type() == 'image/gif'\n");
    EXPECT_EQ(std::system(("python3 '" + script + "' '" + eml + "' '" + dir.string() + "'").c_str()), 0);

    // A page naming a picture that is not there: no message, a failure exit.
    std::filesystem::remove(eml);
    std::filesystem::remove(dir / "th_1.gif");
    EXPECT_NE(std::system(("GALLERY_SHELL=record '" + program + "' 2 2>/dev/null").c_str()), 0);
    EXPECT_FALSE(FileExists(eml));
}

}  // namespace

// An e-mail gallery built by the wizard from real JPEG files, handed to the
// real mail program as the shell would start it; Python's email module reads
// the message it composed.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/core/Files.h"
#include "platform/shell/ShellExecute.h"
#include "tests/builder/road_fixture.h"

namespace buildertest {
namespace {

class MailProgramTest : public RoadTest {};

TEST_F(MailProgramTest, EveryCidOfABuiltGalleryHasItsPart)
{
    const std::string mail = ProgramFolder() + "OutMail/";
    ForceDirectories(mail);
    std::filesystem::copy_file(VEV_PROGRAM, mail + "VEV.exe");
    ChooseMail();
    AddJpegs(5, 120, 90);
    RunBuild();

    const auto starts = RecordedShellStarts();
    ASSERT_EQ(starts.size(), 1u);
    ASSERT_EQ(starts[0].Target, TShellTarget::Program);
    std::string command = "GALLERY_SHELL=record '" + starts[0].Program + "'";
    for (const std::string& argument : starts[0].Arguments)
        command += " '" + argument + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);

    const std::string script = Out.Path() + "check.py";
    WriteFileBytes(script,
                   "import email, re, sys\n"
                   "from email import policy\n"
                   "folder = sys.argv[1]\n"
                   "m = email.message_from_binary_file(open(folder + 'gallery.eml', 'rb'), policy=policy.default)\n"
                   "assert m.get_content_type() == 'multipart/related', m.get_content_type()\n"
                   "parts = list(m.iter_parts())\n"
                   "html = [p for p in parts if p.get_content_type() == 'text/html'][0].get_content()\n"
                   "assert html == open(folder + 'index.html', encoding='cp1252', newline='').read()\n"
                   "ids = {p['Content-ID'].strip('<>'): p for p in parts if p['Content-ID']}\n"
                   "cids = re.findall(r'cid:([^ >\"]+)', html)\n"
                   "assert cids == ['th_%d.jpg' % n for n in range(5)], cids\n"
                   "for c in cids:\n"
                   "    assert ids[c].get_content_type() == 'image/jpeg', c\n"
                   "    assert ids[c].get_content() == open(folder + c, 'rb').read(), c\n");
    EXPECT_EQ(std::system(("python3 '" + script + "' '" + mail + "'").c_str()), 0);
}

}  // namespace
}  // namespace buildertest

// VEV: the e-mail gallery's mail program. It composes a message from the
// page "index.html" and the thumbnails beside it, saves it as "gallery.eml"
// there and hands it to the desktop's mail program. Its one argument, the
// picture count, is not needed: the page names its pictures.

#include <exception>
#include <iostream>

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/Program.h"
#include "platform/display/DesktopNotice.h"
#include "platform/shell/ShellExecute.h"
#include "tools/outmail/MailMessage.h"

namespace {

// The builder starts this program detached: what it has to say goes to a
// window when there is a desktop, and to the error output in any case.
void Tell(const std::string& text) { TellOnDesktop("VEV", "E-Mail", text); }

}  // namespace

int main(int argc, char** argv)
{
    try {
        InitProgram(argc, argv);
        const std::string folder = ExtractFilePath(ProgramFileName());
        const std::string page = ReadFileBytes(folder + "index.html");
        const std::string message = ComposeMailMessage(page, [&](const std::string& name) {
            if (name.find('/') != std::string::npos || name == "." || name == "..")
                throw Exception("The page names a picture outside its folder: " + name);
            return ReadFileBytes(folder + name);
        });
        const std::string target = folder + "gallery.eml";
        WriteFileBytes(target, message);
        const auto result = ShellExecute(0, "open", target, "", "", SW_SHOW);
        if (!ShellStarted(result)) {
            Tell("The e-mail message was written to\r\n" + target +
                 "\r\nbut no mail program could be opened for it. Open it with your mail program, "
                 "or attach it to a new message.");
            return 2;
        }
    } catch (const std::exception& e) {
        std::cerr << "VEV: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

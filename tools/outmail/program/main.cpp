// VEV: the e-mail gallery's mail program. It composes a message from the
// page "index.html" and the thumbnails beside it, saves it as "gallery.eml"
// there and hands it to the desktop's mail program. Its one argument, the
// picture count, is not needed: the page names its pictures.

#include <exception>
#include <iostream>

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/Program.h"
#include "platform/shell/ShellExecute.h"
#include "tools/outmail/MailMessage.h"

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
            std::cerr << "VEV: the mail program could not be started for " << target << "\n";
            return 2;
        }
    } catch (const std::exception& e) {
        std::cerr << "VEV: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

// plennix: the PDF gallery's converter. The builder leaves the pictures, the
// list "f.dat" of their paths and the list "k.dat" of the comments beside
// this program and starts it with the comment flag, title, author and date.
// It writes "gallery.pdf" there, names what it skipped in "plennix.log" and
// hands the PDF to the desktop's viewer; when there is none, or no PDF could
// be written, a window says so.

#include <exception>
#include <iostream>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/Program.h"
#include "platform/display/DesktopNotice.h"
#include "platform/shell/ShellExecute.h"
#include "tools/plennix/PdfGallery.h"

namespace {

std::string ReadList(const std::string& path, std::vector<std::string>& notes)
{
    try {
        return ReadFileBytes(path);
    } catch (const Exception& e) {
        notes.push_back(path + " could not be read: " + e.what());
        return {};
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> notes;
    // The one thing the user must hear of; the rest goes to the log.
    std::string tell;
    int status = 0;
    std::string folder;
    try {
        InitProgram(argc, argv);
        folder = ExtractFilePath(ProgramFileName());
        std::vector<std::string> arguments;
        for (int i = 1; i <= ParamCount(); ++i)
            arguments.push_back(ParamStr(i));
        const TPdfGalleryArguments gallery = ParsePdfGalleryArguments(arguments);
        for (const std::string& missing : gallery.Missing)
            notes.push_back("The argument line has no " + missing + ".");

        const std::string list = ReadList(folder + "f.dat", notes);
        const std::string comments = ReadList(folder + "k.dat", notes);
        const auto pictures = PairPicturesWithComments(ListLines(list), ListLines(comments));

        // Written aside first, so a failure never leaves half a PDF under the real name.
        const std::string target = folder + "gallery.pdf";
        const std::string partial = target + ".part";
        TPdfGalleryResult result;
        try {
            TFileStream file(partial, fmCreate);
            result = WritePdfGallery(pictures, gallery, file);
        } catch (...) {
            DeleteFile(partial);
            throw;
        }
        for (const std::string& skipped : result.Skipped)
            notes.push_back("Skipped " + skipped);
        if (result.Pages == 0) {
            DeleteFile(partial);
            throw Exception("no picture could be read.");
        }
        DeleteFile(target);
        if (!RenameFile(partial, target))
            throw Exception("The PDF could not be named " + target);
        if (!ShellStarted(ShellExecute(0, "open", target, "", "", SW_SHOW))) {
            notes.push_back("No viewer could be started for " + target);
            tell = "The PDF gallery was written to\r\n" + target +
                   "\r\nbut no PDF viewer could be opened for it. Open it with your PDF viewer.";
        }
    } catch (const std::exception& e) {
        notes.push_back(std::string("No PDF was written: ") + e.what());
        tell = std::string("No PDF gallery was written: ") + e.what();
        status = 1;
    }
    std::string log;
    for (const std::string& note : notes) {
        std::cerr << "plennix: " << note << "\n";
        log += note + "\r\n";
    }
    if (!folder.empty()) {
        try {
            WriteFileBytes(folder + "plennix.log", log);
        } catch (const Exception&) {
        }
    }
    // The builder starts this program detached, so a window says it.
    if (!tell.empty())
        TellOnDesktop("plennix", "PDF", tell);
    return status;
}
